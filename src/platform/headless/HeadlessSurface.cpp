#include "platform/headless/HeadlessSurface.h"

#include <algorithm>
#include <cstdlib>

#include "platform/CodePage.h"

namespace {
// Length of the character starting at i: 2 for a lead byte with a byte after it.
size_t CharLen(std::string_view s, size_t i) {
  return CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}
}  // namespace

void HeadlessSurface::SetMetrics(int singleWidth, int doubleWidth, int height) {
  single_ = singleWidth;
  double_ = doubleWidth;
  height_ = height;
}

void HeadlessSurface::SelectFont(const TFontSpec& font) {
  font_ = font;
  text_ = ColorToRGB(font.Color);
}

TTextMetrics HeadlessSurface::GetTextMetrics() {
  return TTextMetrics{height_, height_ - height_ / 4, single_, double_};
}

int HeadlessSurface::WidthOfChar(std::string_view ch) const {
  return ch.size() == 2 ? double_ : single_;
}

int HeadlessSurface::TextWidth(std::string_view s) {
  int w = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharLen(s, i);
    w += n == 2 ? double_ : single_;
    i += n;
  }
  return w;
}

TSize HeadlessSurface::TextExtent(std::string_view s) {
  return TSize{TextWidth(s), height_};
}

void HeadlessSurface::SetTextColor(TColor c) {
  text_ = ColorToRGB(c);
}
void HeadlessSurface::SetBkColor(TColor c) {
  bk_ = ColorToRGB(c);
}

void HeadlessSurface::TextOut(int x, int y, const TRect& rect, std::string_view s) {
  DrawCall c;
  c.kind = DrawCall::Text;
  c.rect = rect;
  c.x = x;
  c.y = y;
  c.text.assign(s);
  c.color = text_;
  c.bkColor = bk_;
  c.font = font_;
  c.clip = clip_;
  calls_.push_back(std::move(c));
}

void HeadlessSurface::FillRect(const TRect& rect, TColor color) {
  DrawCall c;
  c.kind = DrawCall::Fill;
  c.rect = rect;
  c.color = ColorToRGB(color);
  c.clip = clip_;
  calls_.push_back(std::move(c));
}

void HeadlessSurface::Line(int x1, int y1, int x2, int y2, TColor color) {
  DrawCall c;
  c.kind = DrawCall::Line;
  c.x = x1;
  c.y = y1;
  c.x2 = x2;
  c.y2 = y2;
  c.rect = TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
  c.color = ColorToRGB(color);
  c.clip = clip_;
  calls_.push_back(std::move(c));
}

void HeadlessSurface::SetPixel(int x, int y, TColor color) {
  DrawCall c;
  c.kind = DrawCall::Pixel;
  c.x = x;
  c.y = y;
  c.rect = TRect{x, y, x + 1, y + 1};
  c.color = ColorToRGB(color);
  c.clip = clip_;
  calls_.push_back(std::move(c));
}

void HeadlessSurface::SetClipRect(const TRect* rect) {
  clip_ = rect ? *rect : TRect{};
}

std::vector<const DrawCall*> HeadlessSurface::TextCalls() const {
  std::vector<const DrawCall*> out;
  for (const DrawCall& c : calls_)
    if (c.kind == DrawCall::Text) out.push_back(&c);
  return out;
}

std::vector<const DrawCall*> HeadlessSurface::FindText(std::string_view needle) const {
  std::vector<const DrawCall*> out;
  for (const DrawCall& c : calls_)
    if (c.kind == DrawCall::Text && c.text.find(needle) != std::string::npos) out.push_back(&c);
  return out;
}

bool HeadlessSurface::Covers(const DrawCall& c, int x, int y) const {
  TPoint p{x, y};
  if (!c.clip.IsEmpty() && !PtInRect(c.clip, p)) return false;
  if (c.kind != DrawCall::Line) return PtInRect(c.rect, p);
  // Lines are straight here (horizontal, vertical or diagonal strokes of marks): walk them.
  int dx = c.x2 - c.x, dy = c.y2 - c.y;
  int steps = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i < steps; ++i) {
    int px = c.x + (dx * i) / steps, py = c.y + (dy * i) / steps;
    if (px == x && py == y) return true;
  }
  return false;
}

const DrawCall* HeadlessSurface::LastAt(int x, int y) const {
  for (auto it = calls_.rbegin(); it != calls_.rend(); ++it)
    if (Covers(*it, x, y)) return &*it;
  return nullptr;
}

std::optional<TextHit> HeadlessSurface::TextAt(int x, int y) const {
  const DrawCall* c = LastAt(x, y);
  if (c == nullptr || c->kind != DrawCall::Text) return std::nullopt;
  TextHit hit;
  hit.call = c;
  if (y < c->y || y >= c->y + height_) return hit;
  int cx = c->x;
  const std::string& s = c->text;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharLen(s, i);
    int w = n == 2 ? double_ : single_;
    if (x >= cx && x < cx + w) {
      hit.byte = static_cast<int>(i);
      hit.ch = s.substr(i, n);
      return hit;
    }
    cx += w;
    i += n;
  }
  return hit;
}

std::optional<TColor> HeadlessSurface::ColorAt(int x, int y) const {
  const DrawCall* c = LastAt(x, y);
  if (c == nullptr) return std::nullopt;
  if (c->kind != DrawCall::Text) return c->color;
  std::optional<TextHit> hit = TextAt(x, y);
  if (hit && hit->byte >= 0 && hit->ch != " " && hit->ch != "\x81\x40") return c->color;
  return c->bkColor;
}
