#include "platform/WindowHost.h"

#include <cstdlib>

int ScrollUncovered(const TRect& rect, int dx, int dy, TRect out[2]) {
  if (rect.IsEmpty() || (dx == 0 && dy == 0)) return 0;
  if (std::abs(dx) >= rect.Width() || std::abs(dy) >= rect.Height()) {
    out[0] = rect;
    return 1;
  }
  int n = 0;
  if (dx > 0) out[n++] = TRect{rect.Left, rect.Top, rect.Left + dx, rect.Bottom};
  if (dx < 0) out[n++] = TRect{rect.Right + dx, rect.Top, rect.Right, rect.Bottom};
  if (dy > 0) out[n++] = TRect{rect.Left, rect.Top, rect.Right, rect.Top + dy};
  if (dy < 0) out[n++] = TRect{rect.Left, rect.Bottom + dy, rect.Right, rect.Bottom};
  return n;
}
