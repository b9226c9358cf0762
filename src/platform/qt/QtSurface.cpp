#include "platform/qt/QtSurface.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/CodePage.h"

namespace {

QColor ToQColor(TColor c) {
  TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}

// The character a single byte stands for; 0 for bytes drawn as blank cells.
char16_t SingleByteChar(unsigned char b) {
  if (b >= 0x20 && b <= 0x7E) return b;
  if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
  return 0;
}

// Ink extent of a face per pixel of its size, measured on letters that reach high and low.
struct Extent {
  double top = 0, bottom = 0;
};

Extent MeasureExtent(const QRawFont& primary, const QRawFont* fallback) {
  Extent e;
  const QString samples = QString::fromUtf8("漢あHgjy(");
  for (QChar ch : samples) {
    const QRawFont* f = &primary;
    if (!primary.supportsCharacter(ch) && fallback) f = fallback;
    quint32 glyph = 0;
    int n = 1;
    if (!f->glyphIndexesForChars(&ch, 1, &glyph, &n) || glyph == 0) continue;
    QRectF r = f->boundingRect(glyph);
    e.top = std::max(e.top, -r.top() / f->pixelSize());
    e.bottom = std::max(e.bottom, r.bottom() / f->pixelSize());
  }
  if (e.top + e.bottom <= 0) e = Extent{0.88, 0.25};
  return e;
}

double Advance(const QRawFont& f, char16_t c) {
  QChar ch(c);
  quint32 glyph = 0;
  int n = 1;
  if (!f.glyphIndexesForChars(&ch, 1, &glyph, &n) || glyph == 0) return -1;
  QList<QPointF> a = f.advancesForGlyphIndexes(QList<quint32>{glyph});
  return a.isEmpty() ? -1 : a[0].x();
}

}  // namespace

struct QtSurface::Face {
  struct CharInfo {
    int width = -1;  // -1: not looked up yet
    quint32 glyph = 0;
    quint8 face = 0;  // 0 primary, 1 fallback, 2 nothing to draw
    float dx = 0;     // glyph offset inside its cell (centring on the grid)
    int index = 0;    // byte, or lead byte * 256 + trail byte: where its cells are kept
  };
  // Glyph cells already drawn in one text colour on one background, by CharInfo::index.
  struct Colours {
    TColor fg = 0, bg = 0;
    std::unordered_map<int, QImage> cells;
  };

  QFont font;
  QRawFont primary, fallback;
  bool hasFallback = false;
  bool grid = false;  // fixed pitch: every byte is one half-width cell
  int pixelSize = 0, height = 0, ascent = 0, half = 0, full = 0;
  int underlinePos = 0, underlineThickness = 1;
  quint32 spaceGlyph = 0;  // blank: nothing to draw over the background
  CharInfo single[256];
  std::unique_ptr<CharInfo[]> pages[256];  // double bytes, by lead byte, made on first use
  std::vector<std::unique_ptr<Colours>> colours;
  size_t cellCount = 0;  // over all colour pairs; the cells start afresh past a bound

  const QImage& Cell(const CharInfo& ci, TColor fg, TColor bg, qreal dpr, size_t limit);

  const CharInfo& Single(unsigned char b) {
    CharInfo& ci = single[b];
    if (ci.width < 0) {
      ci.index = b;
      Fill(ci, SingleByteChar(b), false);
    }
    return ci;
  }

  const CharInfo& Double(unsigned char lead, unsigned char trail) {
    std::unique_ptr<CharInfo[]>& page = pages[lead];
    if (!page) page.reset(new CharInfo[256]);
    CharInfo& ci = page[trail];
    if (ci.width < 0) {
      ci.index = lead * 256 + trail;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string u = CodePage::ToUtf16(std::string_view(bytes, 2));
      Fill(ci, u.empty() ? CodePage::kUnicodeDefaultChar : u[0], true);
    }
    return ci;
  }

  void Fill(CharInfo& ci, char16_t c, bool dbcs) {
    ci.face = 2;
    ci.glyph = 0;
    double adv = 0;
    if (c != 0) {
      QChar ch(c);
      int n = 1;
      quint32 glyph = 0;
      if (primary.glyphIndexesForChars(&ch, 1, &glyph, &n) && glyph != 0) {
        ci.face = 0;
      } else if (hasFallback && fallback.glyphIndexesForChars(&ch, 1, &glyph, &n) && glyph != 0) {
        ci.face = 1;
      }
      if (ci.face != 2) {
        ci.glyph = glyph;
        const QRawFont& f = ci.face == 0 ? primary : fallback;
        QList<QPointF> a = f.advancesForGlyphIndexes(QList<quint32>{glyph});
        adv = a.isEmpty() ? 0 : a[0].x();
      }
    }
    if (grid) {
      ci.width = dbcs ? full : half;
      ci.dx = ci.face == 2 ? 0.f : static_cast<float>((ci.width - adv) / 2);
    } else {
      ci.width = ci.face == 2 ? (dbcs ? full : half) : static_cast<int>(std::lround(adv));
      ci.dx = 0;
    }
  }
};

const QStringList& QtSurface::JapaneseFallbacks() {
  static const QStringList faces = {
      "Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "VL Gothic",
      "TakaoGothic",           "Noto Serif CJK JP"};
  return faces;
}

QtSurface::QtSurface() = default;

QtSurface::~QtSurface() = default;

void QtSurface::SetTarget(QImage* image, std::function<void(const QRect&)> touched) {
  image_ = image;
  touched_ = std::move(touched);
}

void QtSurface::Touched(const QRect& r) {
  if (touched_ && !r.isEmpty()) touched_(r);
}

QRect QtSurface::Clip(const QRect& r) const {
  QRect out = hasClip_ ? r.intersected(clip_) : r;
  if (image_ != nullptr) {
    qreal dpr = image_->devicePixelRatio();
    out = out.intersected(QRect(0, 0, static_cast<int>(std::ceil(image_->width() / dpr)),
                                static_cast<int>(std::ceil(image_->height() / dpr))));
  }
  return out;
}

void QtSurface::SetClipRect(const TRect* rect) {
  hasClip_ = rect != nullptr;
  clip_ = rect ? ToQRect(*rect) : QRect();
}

QtSurface::Face& QtSurface::Current() {
  if (face_ == nullptr) SelectFont(spec_);
  return *face_;
}

void QtSurface::SelectFont(const TFontSpec& font) {
  spec_ = font;
  text_ = ColorToRGB(font.Color);
  int height = std::max(1, font.Height);
  auto key = std::make_tuple(font.Name, height, font.Bold, font.Italic);
  auto it = faces_.find(key);
  if (it != faces_.end()) {
    face_ = it->second.get();
    return;
  }

  auto f = std::make_unique<Face>();
  f->height = height;
  auto makeFont = [&](const QString& family, int px) {
    QFont q(family);
    q.setPixelSize(std::max(1, px));
    q.setBold(font.Bold);
    q.setItalic(font.Italic);
    q.setStyleHint(QFont::TypeWriter);
    q.setKerning(false);
    return q;
  };
  auto firstJapanese = [&]() -> QString {
    for (const QString& name : JapaneseFallbacks())
      if (QFontDatabase::hasFamily(name)) return name;
    return QString();
  };

  // A face that is not installed (FixedSys on this system) becomes a Japanese one; an
  // installed face without Japanese glyphs keeps its letters and borrows the rest.
  QString family = QString::fromStdString(CodePage::ToUtf8(font.Name));
  QString japanese = firstJapanese();
  if (family.isEmpty() || !QFontDatabase::hasFamily(family)) {
    family = japanese.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont).family()
                                : japanese;
  }
  const int probe = 64;
  QRawFont primary = QRawFont::fromFont(makeFont(family, probe));
  QRawFont fallback;
  bool hasFallback = false;
  if (!primary.supportsCharacter(QChar(0x3042)) && !japanese.isEmpty() && japanese != family) {
    fallback = QRawFont::fromFont(makeFont(japanese, probe));
    hasFallback = fallback.isValid();
  }

  double a0 = Advance(primary, u'0');
  f->grid = a0 > 0 && a0 == Advance(primary, u'i') && a0 == Advance(primary, u'W') &&
            a0 == Advance(primary, u'.');
  Extent e = MeasureExtent(primary, hasFallback ? &fallback : nullptr);

  // The largest size whose ink fits the cell; one smaller when that puts the grid on whole
  // pixels (half-width advance a whole number and full width exactly two of them).
  int base = std::max(1, static_cast<int>(std::floor(height / (e.top + e.bottom))));
  int chosen = base;
  if (f->grid) {
    for (int px : {base, base - 1}) {
      if (px < 1) continue;
      QRawFont r = QRawFont::fromFont(makeFont(family, px));
      double h = Advance(r, u'0');
      double w = Advance(hasFallback ? QRawFont::fromFont(makeFont(japanese, px)) : r, u'\u6F22');
      bool whole = std::abs(h - std::round(h)) < 0.01;
      if (whole && (w < 0 || std::abs(w - 2 * h) < 0.01)) {
        chosen = px;
        break;
      }
    }
  }
  f->pixelSize = chosen;
  {
    QChar space(u' ');
    int n = 1;
    QRawFont r = QRawFont::fromFont(makeFont(family, chosen));
    r.glyphIndexesForChars(&space, 1, &f->spaceGlyph, &n);
  }
  f->font = makeFont(family, chosen);
  f->primary = QRawFont::fromFont(f->font);
  if (hasFallback) {
    f->fallback = QRawFont::fromFont(makeFont(japanese, chosen));
    f->hasFallback = f->fallback.isValid();
  }

  double adv0 = Advance(f->primary, u'0');
  if (f->grid) {
    f->half = std::max(1, static_cast<int>(std::lround(adv0)));
    f->full = 2 * f->half;
  } else {
    double x = Advance(f->primary, u'x');
    f->half = std::max(1, static_cast<int>(std::lround(x > 0 ? x : chosen / 2.0)));
    double kanji = Advance(f->hasFallback ? f->fallback : f->primary, u'\u6F22');
    f->full = kanji > 0 ? static_cast<int>(std::lround(kanji)) : 2 * f->half;
  }

  int top = static_cast<int>(std::ceil(e.top * chosen));
  int bottom = static_cast<int>(std::ceil(e.bottom * chosen));
  f->ascent = std::clamp(top + (height - top - bottom) / 2, 1, height);
  f->underlineThickness = std::max(1, static_cast<int>(std::lround(chosen / 16.0)));
  f->underlinePos = std::min(f->ascent + std::max(1, static_cast<int>(std::lround(chosen * 0.08))),
                             height - f->underlineThickness);

  face_ = f.get();
  faces_.emplace(key, std::move(f));
}

TTextMetrics QtSurface::GetTextMetrics() {
  Face& f = Current();
  return TTextMetrics{f.height, f.ascent, f.half, f.full};
}

int QtSurface::TextWidth(std::string_view s) {
  Face& f = Current();
  const size_t n = s.size();
  int w = 0;
  if (f.grid) {
    // Every byte is a half cell, a lone lead byte at the end too.
    return static_cast<int>(n) * f.half;
  }
  for (size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (CodePage::IsDBCSLeadByte(b) && i + 1 < n) {
      w += f.Double(b, static_cast<unsigned char>(s[i + 1])).width;
      i += 2;
    } else {
      w += f.Single(b).width;
      ++i;
    }
  }
  return w;
}

TSize QtSurface::TextExtent(std::string_view s) {
  return TSize{TextWidth(s), Current().height};
}

void QtSurface::SetTextColor(TColor c) {
  text_ = ColorToRGB(c);
}
void QtSurface::SetBkColor(TColor c) {
  bk_ = ColorToRGB(c);
}

// Device pixels: logical edges are scaled and floored, so rectangles that touch in logical
// pixels touch in device pixels too, whatever the ratio.
QRect QtSurface::Device(const QRect& logical) const {
  qreal dpr = image_->devicePixelRatio();
  if (dpr == 1) return logical.intersected(image_->rect());
  auto d = [dpr](int v) { return static_cast<int>(std::floor(v * dpr)); };
  QRect r(QPoint(d(logical.left()), d(logical.top())),
          QPoint(d(logical.right() + 1) - 1, d(logical.bottom() + 1) - 1));
  return r.intersected(image_->rect());
}

void QtSurface::FillDevice(const QRect& logical, TColor c) {
  QRect r = Device(logical);
  if (r.isEmpty()) return;
  const quint32 pixel = 0xFF000000u | (static_cast<quint32>(GetRValue(c)) << 16) |
                        (static_cast<quint32>(GetGValue(c)) << 8) |
                        static_cast<quint32>(GetBValue(c));
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto* row = reinterpret_cast<quint32*>(bits + y * stride);
    std::fill(row + r.left(), row + r.right() + 1, pixel);
  }
}

const QImage& QtSurface::Face::Cell(const CharInfo& ci, TColor fg, TColor bg, qreal dpr,
                                    size_t limit) {
  // A few colour pairs are in use at a time (text, selection, quotes, links, marks).
  Colours* pair = nullptr;
  for (auto& c : colours)
    if (c->fg == fg && c->bg == bg) pair = c.get();
  if (pair == nullptr) {
    if (colours.size() >= 16) {
      cellCount -= colours.front()->cells.size();
      colours.erase(colours.begin());
    }
    colours.push_back(std::make_unique<Colours>());
    pair = colours.back().get();
    pair->fg = fg;
    pair->bg = bg;
  }
  auto it = pair->cells.find(ci.index);
  if (it != pair->cells.end() && it->second.devicePixelRatio() == dpr) return it->second;
  // A text with thousands of different kanji in many colours would grow without end.
  if (it == pair->cells.end() && ++cellCount > limit) {
    for (auto& c : colours) c->cells.clear();
    cellCount = 1;
  }
  QImage& cell = pair->cells[ci.index];
  cell = QImage(static_cast<int>(std::ceil(ci.width * dpr)),
                static_cast<int>(std::ceil(height * dpr)), QImage::Format_RGB32);
  cell.setDevicePixelRatio(dpr);
  cell.fill(ToQColor(bg));
  QPainter p(&cell);
  p.setPen(ToQColor(fg));
  QGlyphRun run;
  run.setRawFont(ci.face == 0 ? primary : fallback);
  quint32 glyph = ci.glyph;
  QPointF at(ci.dx, ascent);
  run.setRawData(&glyph, &at, 1);
  p.drawGlyphRun(QPointF(0, 0), run);
  return cell;
}

void QtSurface::BlitCell(const QImage& cell, int x, int y, const QRect& deviceClip) {
  qreal dpr = image_->devicePixelRatio();
  const int left = dpr == 1 ? x : static_cast<int>(std::floor(x * dpr));
  const int top = dpr == 1 ? y : static_cast<int>(std::floor(y * dpr));
  QRect area = QRect(left, top, cell.width(), cell.height()).intersected(deviceClip);
  if (area.isEmpty()) return;
  const uchar* from =
      cell.constBits() + (area.top() - top) * cell.bytesPerLine() + (area.left() - left) * 4;
  uchar* to = image_->bits() + area.top() * image_->bytesPerLine() + area.left() * 4;
  const size_t bytes = static_cast<size_t>(area.width()) * 4;
  for (int row = 0; row < area.height(); ++row) {
    std::memcpy(to, from, bytes);
    from += cell.bytesPerLine();
    to += image_->bytesPerLine();
  }
}

void QtSurface::TextOut(int x, int y, const TRect& rect, std::string_view s) {
  if (image_ == nullptr) return;
  QRect clip = Clip(ToQRect(rect));
  if (clip.isEmpty()) return;
  Face& f = Current();
  const qreal dpr = image_->devicePixelRatio();
  FillDevice(clip, bk_);
  const QRect deviceClip = Device(clip);
  const size_t n = s.size();
  int cx = x;
  for (size_t i = 0; i < n && cx <= clip.right();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    const Face::CharInfo* ci;
    if (CodePage::IsDBCSLeadByte(b) && i + 1 < n) {
      ci = &f.Double(b, static_cast<unsigned char>(s[i + 1]));
      i += 2;
    } else {
      ci = &f.Single(b);
      ++i;
    }
    bool blank = ci->face == 2 || (ci->face == 0 && ci->glyph == f.spaceGlyph);
    if (!blank && cx + ci->width > clip.left()) {
      BlitCell(f.Cell(*ci, text_, bk_, dpr, cellLimit_), cx, y, deviceClip);
    }
    cx += ci->width;
  }
  if (spec_.Underline && cx > x) {
    FillDevice(QRect(x, y + f.underlinePos, cx - x, f.underlineThickness).intersected(clip), text_);
  }
  Touched(clip);
}

void QtSurface::FillRect(const TRect& rect, TColor c) {
  if (image_ == nullptr) return;
  QRect r = Clip(ToQRect(rect));
  if (r.isEmpty()) return;
  FillDevice(r, ColorToRGB(c));
  Touched(r);
}

void QtSurface::Line(int x1, int y1, int x2, int y2, TColor c) {
  if (image_ == nullptr || (x1 == x2 && y1 == y2)) return;
  TColor rgb = ColorToRGB(c);
  if (x1 == x2 || y1 == y2) {
    // Straight lines as one rectangle; the end point is not drawn, as LineTo does.
    QRect r = x1 == x2 ? QRect(x1, std::min(y1, y2 + 1), 1, std::abs(y2 - y1))
                       : QRect(std::min(x1, x2 + 1), y1, std::abs(x2 - x1), 1);
    r = Clip(r);
    if (r.isEmpty()) return;
    FillDevice(r, rgb);
    Touched(r);
    return;
  }
  // Bresenham, end point excluded: the mark strokes are short.
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  QRect box;
  while (!(x == x2 && y == y2)) {
    QRect px = Clip(QRect(x, y, 1, 1));
    if (!px.isEmpty()) {
      FillDevice(px, rgb);
      box |= px;
    }
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
  Touched(box);
}

void QtSurface::SetPixel(int x, int y, TColor c) {
  if (image_ == nullptr) return;
  QRect r = Clip(QRect(x, y, 1, 1));
  if (r.isEmpty()) return;
  FillDevice(r, ColorToRGB(c));
  Touched(r);
}

QFont QtSurface::CurrentQFont() {
  return Current().font;
}
int QtSurface::FacePixelSize() {
  return Current().pixelSize;
}
QString QtSurface::FaceFamily() {
  return Current().primary.familyName();
}
