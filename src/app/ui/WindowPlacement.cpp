#include "WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace WindowPlacement {

namespace {

bool Reachable(const QRect& window, const QRect& screen) {
  QRect grip(window.left(), window.top(), window.width(), std::min(window.height(), kGripHeight));
  QRect on = grip & screen;
  return on.height() == grip.height() && on.width() >= std::min(window.width(), kGripWidth);
}

// Squared distance between the two rectangles (0 when they meet).
long long Distance(const QRect& a, const QRect& b) {
  long long dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
  long long dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
  return dx * dx + dy * dy;
}

}  // namespace

QRect PlaceOnScreens(const QRect& saved, const QList<QRect>& screens) {
  const QRect* nearest = nullptr;
  long long best = std::numeric_limits<long long>::max();
  for (const QRect& screen : screens) {
    if (screen.isEmpty()) continue;
    if (Reachable(saved, screen)) return saved;
    long long d = Distance(saved, screen);
    if (d < best) {
      best = d;
      nearest = &screen;
    }
  }
  if (!nearest) return saved;
  QRect placed(saved.topLeft(), QSize(std::min(saved.width(), nearest->width()),
                                      std::min(saved.height(), nearest->height())));
  placed.moveLeft(
      std::clamp(placed.left(), nearest->left(), nearest->right() + 1 - placed.width()));
  placed.moveTop(std::clamp(placed.top(), nearest->top(), nearest->bottom() + 1 - placed.height()));
  return placed;
}

}  // namespace WindowPlacement
