#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <vector>

#include "platform/qt/QtSurface.h"

namespace {

const std::string kKanji = "\x8a\xbf\x8e\x9a";  // 漢字

// A surface on its own white image, remembering what it reported as touched.
struct Canvas {
  QImage image{200, 60, QImage::Format_RGB32};
  QtSurface surface;
  std::vector<QRect> touched;
  Canvas() {
    image.fill(Qt::white);
    surface.SetTarget(&image, [this](const QRect& r) { touched.push_back(r); });
    surface.SelectFont(TFontSpec{"FixedSys", 19, false, false, false, clBlack});
  }
  QImage Done() { return image; }
};

// Pixels in the rectangle that are not the given colour.
int CountNot(const QImage& img, QRect r, QRgb colour) {
  int n = 0;
  r = r.intersected(img.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF)) ++n;
  return n;
}

bool HaveJapaneseFace() {
  for (const QString& f : QtSurface::JapaneseFallbacks())
    if (QFontDatabase::hasFamily(f)) return true;
  return false;
}

TEST(QtSurface, MissingFaceFallsBackToAJapaneseGrid) {
  if (!HaveJapaneseFace()) GTEST_SKIP() << "no Japanese font installed";
  Canvas c;
  EXPECT_TRUE(QtSurface::JapaneseFallbacks().contains(c.surface.FaceFamily()));
  TTextMetrics m = c.surface.GetTextMetrics();
  EXPECT_EQ(19, m.Height);  // the cell height asked for, whatever the face size
  EXPECT_GT(m.AveCharWidth, 4);
  EXPECT_EQ(2 * m.AveCharWidth, m.MaxCharWidth);
  EXPECT_GT(m.Ascent, 0);
  EXPECT_LT(m.Ascent, 19);
  // Widths count cells: a double byte is exactly two half-width cells.
  EXPECT_EQ(4 * m.AveCharWidth, c.surface.TextWidth(kKanji));
  EXPECT_EQ(6 * m.AveCharWidth, c.surface.TextWidth("ab" + kKanji));
  EXPECT_EQ(c.surface.TextWidth("ab"), c.surface.TextWidth("\x82\xa0"));  // あ
  EXPECT_EQ((TSize{2 * m.AveCharWidth, 19}), c.surface.TextExtent("\x81\x40"));
}

TEST(QtSurface, JapaneseTextLeavesInkInItsCellsOnly) {
  if (!HaveJapaneseFace()) GTEST_SKIP() << "no Japanese font installed";
  Canvas c;
  const int half = c.surface.GetTextMetrics().AveCharWidth;
  c.surface.SetBkColor(clWhite);
  c.surface.TextOut(10, 5, TRect{0, 5, 200, 24}, kKanji + "i");
  QImage img = c.Done();
  // 漢 fills its two cells: ink in the left and in the right half.
  EXPECT_GT(CountNot(img, QRect(10, 5, half, 19), 0xFFFFFF), 10);
  EXPECT_GT(CountNot(img, QRect(10 + half, 5, half, 19), 0xFFFFFF), 10);
  EXPECT_GT(CountNot(img, QRect(10 + 2 * half, 5, 2 * half, 19), 0xFFFFFF), 10);  // 字
  // Nothing left of the text, nothing right of "i"'s cell.
  EXPECT_EQ(0, CountNot(img, QRect(0, 0, 10, 60), 0xFFFFFF));
  EXPECT_EQ(0, CountNot(img, QRect(10 + 5 * half + 1, 0, 200, 60), 0xFFFFFF));
  EXPECT_EQ(0, CountNot(img, QRect(0, 24, 200, 36), 0xFFFFFF));
}

TEST(QtSurface, OpaqueTextFillsAndStaysInsideItsRectangle) {
  Canvas c;
  c.surface.SetTextColor(clWhite);
  c.surface.SetBkColor(RGB(0, 0, 255));
  // Text starting left of the rectangle and running past it is cut at both edges.
  c.surface.TextOut(0, 10, TRect{30, 10, 60, 29}, "MMMMMMMMMMMMMMMMMMMMMMMM");
  QImage img = c.Done();
  EXPECT_EQ(QColor(0, 0, 255).rgb(), img.pixel(30, 10));
  EXPECT_EQ(0, CountNot(img, QRect(0, 0, 30, 60), 0xFFFFFF));
  EXPECT_EQ(0, CountNot(img, QRect(60, 0, 140, 60), 0xFFFFFF));
  EXPECT_EQ(0, CountNot(img, QRect(30, 29, 30, 31), 0xFFFFFF));
  // Inside, the background and white glyph pixels: nothing else.
  int other = 0;
  for (int y = 10; y < 29; ++y)
    for (int x = 30; x < 60; ++x) {
      QColor p = img.pixelColor(x, y);
      if (p.blue() != 255) ++other;
    }
  EXPECT_EQ(0, other);
  ASSERT_EQ(1u, c.touched.size());
  EXPECT_EQ(QRect(30, 10, 30, 19), c.touched[0]);
}

TEST(QtSurface, LinesPixelsAndFillsAreExact) {
  Canvas c;
  c.surface.Line(5, 5, 10, 5, clRed);      // x 5..9
  c.surface.Line(20, 10, 20, 4, clGreen);  // y 10..5
  c.surface.Line(30, 10, 33, 7, clBlue);   // the diagonal stroke of a mark: 3 pixels
  c.surface.SetPixel(40, 40, clHighlight);
  c.surface.FillRect(TRect{50, 50, 53, 52}, clTeal);
  QImage img = c.Done();
  EXPECT_EQ(5, CountNot(img, QRect(0, 5, 15, 1), 0xFFFFFF));
  EXPECT_EQ(QColor(255, 0, 0).rgb(), img.pixel(9, 5));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), img.pixel(10, 5));
  EXPECT_EQ(6, CountNot(img, QRect(20, 0, 1, 20), 0xFFFFFF));
  EXPECT_EQ(QColor(0, 128, 0).rgb(), img.pixel(20, 10));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), img.pixel(20, 4));
  EXPECT_EQ(QColor(0, 0, 255).rgb(), img.pixel(30, 10));
  EXPECT_EQ(QColor(0, 0, 255).rgb(), img.pixel(32, 8));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), img.pixel(33, 7));
  EXPECT_EQ(QColor(10, 36, 106).rgb(), img.pixel(40, 40));
  EXPECT_EQ(6, CountNot(img, QRect(45, 45, 15, 15), 0xFFFFFF));
  EXPECT_EQ(QColor(0, 128, 128).rgb(), img.pixel(52, 51));
}

TEST(QtSurface, ClipLimitsEveryKindOfDrawing) {
  Canvas c;
  TRect clip{10, 10, 20, 20};
  c.surface.SetClipRect(&clip);
  c.surface.FillRect(TRect{0, 0, 200, 60}, clBlack);
  c.surface.Line(0, 30, 100, 30, clBlack);
  c.surface.SetBkColor(clBlack);
  c.surface.TextOut(0, 0, TRect{0, 0, 200, 60}, "MMMM");
  c.surface.SetClipRect(nullptr);
  c.surface.SetPixel(0, 0, clBlack);
  QImage img = c.Done();
  EXPECT_EQ(100 + 1, CountNot(img, img.rect(), 0xFFFFFF));
}

TEST(QtSurface, UnderlinedTextHasALineInsideTheCell) {
  Canvas plain, underlined;
  underlined.surface.SelectFont(TFontSpec{"FixedSys", 19, false, false, true, clBlue});
  plain.surface.SetBkColor(clWhite);
  underlined.surface.SetBkColor(clWhite);
  plain.surface.TextOut(0, 0, TRect{0, 0, 100, 19}, "    ");
  underlined.surface.TextOut(0, 0, TRect{0, 0, 100, 19}, "    ");
  EXPECT_EQ(0, CountNot(plain.Done(), QRect(0, 0, 100, 19), 0xFFFFFF));
  QImage img = underlined.Done();
  int width = underlined.surface.TextWidth("    ");
  EXPECT_GE(CountNot(img, QRect(0, 0, width, 19), 0xFFFFFF), width);
  EXPECT_EQ(0, CountNot(img, QRect(width, 0, 100, 19), 0xFFFFFF));
  EXPECT_EQ(0, CountNot(img, QRect(0, 19, 200, 41), 0xFFFFFF));
}

TEST(QtSurface, FontsAreCachedPerCellHeightAndStyle) {
  if (!HaveJapaneseFace()) GTEST_SKIP() << "no Japanese font installed";
  Canvas c;
  int small = c.surface.FacePixelSize();
  c.surface.SelectFont(TFontSpec{"FixedSys", 38, false, false, false, clBlack});
  EXPECT_EQ(38, c.surface.GetTextMetrics().Height);
  EXPECT_GT(c.surface.FacePixelSize(), small);
  // A colour change alone keeps the face and only sets the text colour.
  c.surface.SelectFont(TFontSpec{"FixedSys", 19, false, false, false, clRed});
  EXPECT_EQ(small, c.surface.FacePixelSize());
  EXPECT_EQ(clRed, c.surface.TextColor());
}

}  // namespace

namespace {

TEST(QtSurface, GlyphCellsAreKeptPerColourPair) {
  Canvas c;
  const int w = c.surface.TextWidth("M");
  c.surface.SetTextColor(clBlack);
  c.surface.SetBkColor(clWhite);
  c.surface.TextOut(0, 0, TRect{0, 0, w, 19}, "M");
  c.surface.SetTextColor(clWhite);
  c.surface.SetBkColor(clBlack);
  c.surface.TextOut(0, 20, TRect{0, 20, w, 39}, "M");
  c.surface.SetTextColor(clBlack);
  c.surface.SetBkColor(clWhite);
  c.surface.TextOut(0, 40, TRect{0, 40, w, 59}, "M");
  QImage img = c.Done();
  int ink = 0;
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < w; ++x) {
      QRgb first = img.pixel(x, y), inverted = img.pixel(x, y + 20), again = img.pixel(x, y + 40);
      EXPECT_EQ(first, again);
      // Black on white and white on black put their ink in the same places (edges blend
      // differently, so only clear ink and clear background are compared).
      if (qGray(first) < 64) {
        EXPECT_GT(qGray(inverted), 160) << x << "," << y;
      }
      if (qGray(first) > 250) {
        EXPECT_LT(qGray(inverted), 32) << x << "," << y;
      }
      if (qGray(first) < 64) ++ink;
    }
  EXPECT_GT(ink, 10);
}

TEST(QtSurface, DrawsInDevicePixelsOnAScaledImage) {
  QImage image(200, 120, QImage::Format_RGB32);
  image.setDevicePixelRatio(2);
  image.fill(Qt::white);
  QtSurface surface;
  std::vector<QRect> touched;
  surface.SetTarget(&image, [&](const QRect& r) { touched.push_back(r); });
  surface.SelectFont(TFontSpec{"FixedSys", 19, false, false, false, clBlack});
  surface.FillRect(TRect{10, 10, 20, 15}, clRed);
  EXPECT_EQ(QColor(255, 0, 0).rgb(), image.pixel(20, 20));
  EXPECT_EQ(QColor(255, 0, 0).rgb(), image.pixel(39, 29));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(40, 30));
  EXPECT_EQ(QRect(10, 10, 10, 5), touched.back());  // reported in logical pixels
  surface.SetBkColor(clWhite);
  surface.TextOut(0, 30, TRect{0, 30, 100, 49}, "\x8a\xbf");  // 漢
  const int full = surface.TextWidth("\x8a\xbf");
  EXPECT_GT(CountNot(image, QRect(0, 60, 2 * full, 38), 0xFFFFFF), 40);
  EXPECT_EQ(0, CountNot(image, QRect(2 * full + 1, 60, 200, 38), 0xFFFFFF));
}

}  // namespace

namespace {

TEST(QtSurface, GlyphsDrawTheSameAfterTheCellStoreStartsAfresh) {
  if (!HaveJapaneseFace()) GTEST_SKIP() << "no Japanese font installed";
  Canvas c;
  c.surface.SetCellLimit(50);
  const std::string kan = "\x8a\xbf";  // 漢
  c.surface.SetBkColor(clWhite);
  c.surface.TextOut(0, 0, TRect{0, 0, 40, 19}, kan);
  QImage before = c.image.copy(0, 0, 40, 19);
  // Kanji in three colour pairs: more cells than are kept.
  const TColor colours[] = {clBlack, clRed, clBlue};
  for (TColor colour : colours) {
    c.surface.SetTextColor(colour);
    for (int trail = 0x40; trail <= 0x7E; ++trail) {
      const char ch[2] = {'\x88', static_cast<char>(trail)};
      c.surface.TextOut(100, 30, TRect{100, 30, 140, 49}, std::string_view(ch, 2));
    }
  }
  c.surface.SetTextColor(clBlack);
  c.surface.TextOut(0, 0, TRect{0, 0, 40, 19}, kan);
  EXPECT_EQ(before, c.image.copy(0, 0, 40, 19));
}

}  // namespace
