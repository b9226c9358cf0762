#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

TEST(CodePage, LeadByteRanges) {
  for (int b = 0; b < 256; ++b) {
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(lead, CodePage::IsDBCSLeadByte(static_cast<unsigned char>(b))) << b;
  }
}

TEST(CodePage, JapaneseRoundTrips) {
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea abc \x81\x40\xb1";  // 日本語 abc 　ｱ
  const std::string utf8 = "日本語 abc \u3000ｱ";
  EXPECT_EQ(utf8, CodePage::ToUtf8(sjis));
  EXPECT_EQ(Hex(sjis), Hex(CodePage::FromUtf8(utf8)));
  EXPECT_EQ(u"日本語 abc \u3000ｱ", CodePage::ToUtf16(sjis));
  EXPECT_EQ(Hex(sjis), Hex(CodePage::FromUtf16(u"日本語 abc \u3000ｱ")));
}

TEST(CodePage, UnmappableBecomesQuestionMarkAndRestSurvives) {
  EXPECT_EQ("a?b", CodePage::FromUtf8("a\xF0\x9F\x98\x80" "b"));  // emoji
  EXPECT_EQ("a?b", CodePage::FromUtf8("a\xFF" "b"));              // invalid UTF-8
  EXPECT_EQ("a?b", CodePage::FromUtf16(u"a\xD800" u"b"));          // lone surrogate
  EXPECT_EQ("?", CodePage::FromUtf16(u"\U0001F600"));
}

TEST(CodePage, InvalidShiftJisKeepsGoing) {
  // Lone lead byte at the end.
  EXPECT_EQ("ab\u30FB", CodePage::ToUtf8("ab\x82"));
  // Lead byte followed by an invalid trail byte: the trail byte is kept as a character.
  std::string u = CodePage::ToUtf8("x\x81\x0Ay");
  EXPECT_EQ("x\u30FB\ny", u);
  std::u16string w = CodePage::ToUtf16(std::string("\x82\xA0\x00z", 4));
  EXPECT_EQ(u"\u3042" + std::u16string(1, u'\0') + u"z", w);  // NUL passes through
}
