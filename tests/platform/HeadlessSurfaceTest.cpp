#include <gtest/gtest.h>

#include "platform/headless/HeadlessSurface.h"
#include "support/TempDir.h"

namespace {
const std::string kNihon = "\x93\xfa\x96\x7b";  // 日本
}

TEST(HeadlessSurface, WidthsCountHalfAndFullCells) {
  HeadlessSurface s;
  EXPECT_EQ(0, s.TextWidth(""));
  EXPECT_EQ(8 + 32 + 8, s.TextWidth("a" + kNihon + "b"));
  // A lead byte with nothing after it is one half cell, never a whole character.
  EXPECT_EQ(16 + 8, s.TextWidth("\x93\xfa\x93"));
  // Half-width katakana is single byte.
  EXPECT_EQ(16, s.TextWidth("\xb1\xb2"));
  s.SetMetrics(7, 13, 20);
  EXPECT_EQ(7 + 13, s.TextWidth("a\x82\xa0"));
  TTextMetrics m = s.GetTextMetrics();
  EXPECT_EQ(20, m.Height);
  EXPECT_EQ(7, m.AveCharWidth);
  EXPECT_EQ(13, m.MaxCharWidth);
  EXPECT_EQ((TSize{20, 20}), s.TextExtent("a\x82\xa0"));
}

TEST(HeadlessSurface, RecordsTextWithColoursFontAndClip) {
  HeadlessSurface s;
  TFontSpec font{"FixedSys", 16, false, false, true, clBlue};
  s.SelectFont(font);
  EXPECT_EQ(clBlue, s.TextColor());
  s.SetBkColor(clHighlight);  // a system colour is stored as its RGB
  TRect clip{0, 0, 100, 100};
  s.SetClipRect(&clip);
  s.TextOut(10, 20, TRect{5, 20, 200, 36}, "ab" + kNihon);
  s.SetClipRect(nullptr);
  ASSERT_EQ(1u, s.Calls().size());
  const DrawCall& c = s.Calls()[0];
  EXPECT_EQ(DrawCall::Text, c.kind);
  EXPECT_EQ(Hex("ab" + kNihon), Hex(c.text));
  EXPECT_EQ(clBlue, c.color);
  EXPECT_EQ(RGB(10, 36, 106), c.bkColor);
  EXPECT_TRUE(c.font.Underline);
  EXPECT_EQ(clip, c.clip);
  EXPECT_EQ((TRect{5, 20, 200, 36}), c.rect);
}

TEST(HeadlessSurface, PixelQueriesFollowTheLastCallAndHonourClips) {
  HeadlessSurface s;
  s.SetTextColor(clRed);
  s.SetBkColor(clWhite);
  s.TextOut(10, 0, TRect{0, 0, 100, 16}, "a " + kNihon);  // a at 10, space at 18, 日 at 26
  EXPECT_EQ(clWhite, s.ColorAt(5, 5));                    // opaque margin left of the text
  EXPECT_EQ(clRed, s.ColorAt(10, 5));
  EXPECT_EQ(clWhite, s.ColorAt(20, 5));  // the space
  auto hit = s.TextAt(30, 5);
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(2, hit->byte);
  EXPECT_EQ(Hex("\x93\xfa"), Hex(hit->ch));
  EXPECT_EQ(4, s.TextAt(42, 5)->byte);   // second half of 本's cell, still 本
  EXPECT_EQ(-1, s.TextAt(60, 5)->byte);  // right of the text, inside the opaque rectangle
  EXPECT_FALSE(s.ColorAt(100, 5).has_value());

  s.FillRect(TRect{0, 0, 12, 16}, clGreen);
  EXPECT_EQ(clGreen, s.ColorAt(10, 5));
  EXPECT_FALSE(s.TextAt(10, 5).has_value());

  TRect clip{50, 0, 60, 16};
  s.SetClipRect(&clip);
  s.FillRect(TRect{0, 0, 100, 16}, clBlack);
  s.SetClipRect(nullptr);
  EXPECT_EQ(clBlack, s.ColorAt(55, 5));
  EXPECT_EQ(clGreen, s.ColorAt(10, 5));  // clipped away: the fill did not reach it
}

TEST(HeadlessSurface, LinesLeaveOutTheirEndPoint) {
  HeadlessSurface s;
  s.Line(4, 2, 4, 8, clTeal);
  s.Line(4, 8, 1, 5, clTeal);
  EXPECT_EQ(clTeal, s.ColorAt(4, 2));
  EXPECT_EQ(clTeal, s.ColorAt(4, 7));
  EXPECT_EQ(clTeal, s.ColorAt(4, 8));  // start of the second stroke
  EXPECT_EQ(clTeal, s.ColorAt(2, 6));
  EXPECT_FALSE(s.ColorAt(1, 5).has_value());
  s.SetPixel(9, 9, clRed);
  EXPECT_EQ(clRed, s.ColorAt(9, 9));
  EXPECT_FALSE(s.ColorAt(10, 9).has_value());
}

TEST(HeadlessSurface, FindTextAndClear) {
  HeadlessSurface s;
  s.TextOut(0, 0, TRect{0, 0, 10, 10}, "hello");
  s.FillRect(TRect{0, 0, 1, 1}, clRed);
  s.TextOut(0, 16, TRect{0, 16, 10, 32}, "[EOF]");
  EXPECT_EQ(2u, s.TextCalls().size());
  ASSERT_EQ(1u, s.FindText("EOF").size());
  EXPECT_EQ(16, s.FindText("EOF")[0]->y);
  s.ClearCalls();
  EXPECT_TRUE(s.Calls().empty());
}
