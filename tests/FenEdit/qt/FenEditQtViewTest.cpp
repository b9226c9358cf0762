#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <memory>
#include <string>

#include "FenEdit/FenEdit.h"
#include "platform/qt/QtWindowHost.h"

namespace {

QRgb Rgb(TColor c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// The editor in a real Qt window, offscreen, with blinking stopped and no caret shown.
class QtEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    edit = std::make_unique<TFenEdit>();
    edit->SetSelColor(clBlue);
    host.Attach(edit.get());
    host.SetCaretBlinking(false);
    host.resize(500, 300);
    host.show();
    edit->CreateHandle();
    QApplication::processEvents();
  }
  void TearDown() override { edit.reset(); }
  QImage Screen() {
    QApplication::processEvents();
    return host.viewport()->grab().toImage();
  }
  int Top(int row) const { return edit->GetTopMargin() + row * edit->LineHeight(); }
  int X(const std::string& bytes) const {
    return edit->TextLeft() + edit->Canvas()->TextWidth(bytes);
  }
  // Whether some pixel of the rectangle has the colour.
  static bool Any(const QImage& img, QRect r, QRgb c) {
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (img.valid(x, y) && img.pixel(x, y) == c) return true;
    return false;
  }

  QtWindowHost host;
  std::unique_ptr<TFenEdit> edit;
};

TEST_F(QtEdit, PaintsMarksSelectionAndLinksAtTheirPixels) {
  edit->SetText("abc\r\n\r\nsee http://example.com/x\r\nend");
  const int ch = edit->CharHeight();
  ASSERT_GT(ch, 8);
  const int a = static_cast<int>(0.2 * ch + 0.5), b = static_cast<int>(0.8 * ch + 0.5);
  QImage img = Screen();
  // The line-break arrow of row 0: its stem 4 px after the text, in the mark colour.
  const int ax = X("abc") + 4;
  EXPECT_EQ(img.pixel(ax, Top(0) + a + 1), Rgb(clTeal));
  EXPECT_EQ(img.pixel(ax, Top(0) + b - 1), Rgb(clTeal));
  EXPECT_EQ(img.pixel(ax + 2, Top(0) + a + 1), Rgb(clWhite));
  // "[EOF]" after the last row, in the mark colour.
  QRect eof(X("end"), Top(3), edit->Canvas()->TextWidth("[EOF]"), ch);
  EXPECT_TRUE(Any(img, eof, Rgb(clTeal)));
  EXPECT_FALSE(Any(img, eof, Rgb(clBlack)));
  // The link: blue glyphs and a blue underline, and only there.
  QRect link(X("see "), Top(2), X("see http://example.com/x") - X("see "), ch);
  EXPECT_TRUE(Any(img, link, Rgb(clBlue)));
  EXPECT_FALSE(Any(img, QRect(edit->TextLeft(), Top(2), X("see") - edit->TextLeft(), ch),
                   Rgb(clBlue)));
  int blueInBottomHalf = 0;
  for (int y = Top(2) + ch / 2; y < Top(2) + ch; ++y) {
    int n = 0;
    for (int x = link.left(); x <= link.right(); ++x) n += img.pixel(x, y) == Rgb(clBlue);
    blueInBottomHalf = std::max(blueInBottomHalf, n);
  }
  EXPECT_GT(blueInBottomHalf, link.width() * 8 / 10);  // an underline runs along the link

  // Selecting the empty line shows its line break as an 8-pixel block.
  edit->SetSel(0, 1, 2, 0);
  img = Screen();
  const int l = edit->TextLeft();
  EXPECT_EQ(img.pixel(l, Top(1) + 1), Rgb(clBlue));
  EXPECT_EQ(img.pixel(l + 7, Top(1) + 1), Rgb(clBlue));
  EXPECT_EQ(img.pixel(l + 8, Top(1) + 1), Rgb(clWhite));
  EXPECT_EQ(img.pixel(l + 4, Top(1) + a + 1), qRgb(255, 127, 127));  // the inverted arrow
  EXPECT_EQ(img.pixel(l + 1, Top(0) + 1), Rgb(clWhite));  // row 0 stays plain
}

TEST_F(QtEdit, ResizeWithAutoWrapRewraps) {
  edit->SetAutoWrap(true);
  edit->SetText(std::string(200, 'x'));
  const int perRow = static_cast<int>(edit->GetStore().Get(0).size());
  ASSERT_LT(perRow, 72);
  host.resize(host.width() / 2, 300);
  QApplication::processEvents();
  const int narrow = static_cast<int>(edit->GetStore().Get(0).size());
  EXPECT_LT(narrow, perRow);
  EXPECT_EQ(edit->GetText(), std::string(200, 'x'));
  EXPECT_EQ(edit->GetStore().Count(), (200 + narrow - 1) / narrow);
  // The narrower rows are what the window shows: the last column is painted in the text colour.
  QImage img = Screen();
  QRect lastCell(X(std::string(static_cast<size_t>(narrow - 1), 'x')), Top(0),
                 edit->Canvas()->TextWidth("x"), edit->CharHeight());
  EXPECT_TRUE(Any(img, lastCell, Rgb(clBlack)));
}

TEST_F(QtEdit, JapaneseTextHasFullWidthCellsOfTwoHalfWidths) {
  Surface* c = edit->Canvas();
  EXPECT_EQ(c->TextWidth("\x82\xA0"), 2 * c->TextWidth("a"));
  edit->SetText("\x82\xA0\x82\xA2");
  QImage img = Screen();
  QRect glyph(edit->TextLeft(), Top(0), c->TextWidth("\x82\xA0"), edit->CharHeight());
  EXPECT_TRUE(Any(img, glyph, Rgb(clBlack)));
}

}  // namespace
