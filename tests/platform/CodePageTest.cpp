#include <gtest/gtest.h>

#include "platform/CodePage.h"
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
  EXPECT_EQ("a?b", CodePage::FromUtf8("a\xF0\x9F\x98\x80"
                                      "b"));  // emoji
  EXPECT_EQ("a?b", CodePage::FromUtf8("a\xFF"
                                      "b"));  // invalid UTF-8
  EXPECT_EQ("a?b", CodePage::FromUtf16(u"a\xD800"
                                       u"b"));  // lone surrogate
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

using CodePage::TUnmapped;

TEST(CodePage, FiveSystemBytesRoundTrip) {
  const std::string bytes = "\x80\xA0\xFD\xFE\xFF";
  EXPECT_EQ(u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3", CodePage::ToUtf16(bytes));
  EXPECT_EQ(Hex(bytes), Hex(CodePage::FromUtf16(CodePage::ToUtf16(bytes))));
  EXPECT_EQ(Hex(bytes), Hex(CodePage::FromUtf8(CodePage::ToUtf8(bytes))));
  EXPECT_TRUE(CodePage::ConvertUtf8("\xEF\xA3\xB0", TUnmapped::Question).Lossless());
}

TEST(CodePage, UndefinedPairIsOneDefaultChar) {
  EXPECT_EQ(
      u"a\u30FB"
      u"b",
      CodePage::ToUtf16("a\x85\x40"
                        "b"));
  EXPECT_EQ(
      "a\u30FB"
      "b",
      CodePage::ToUtf8("a\x85\x40"
                       "b"));
  // A lead byte before a byte that cannot trail: the byte after it is its own character.
  EXPECT_EQ(u"\u30FB\r\n", CodePage::ToUtf16("\x81\r\n"));
}

TEST(CodePage, EveryDefinedCharacterEncodesBackToItself) {
  int defined = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!CodePage::IsDBCSLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string u = CodePage::ToUtf16(pair);
      ASSERT_EQ(1u, u.size()) << Hex(pair);
      if (u[0] == CodePage::kUnicodeDefaultChar && pair != "\x81\x45") continue;
      ++defined;
      CodePage::TConversion back = CodePage::ConvertUtf16(u, TUnmapped::Question);
      ASSERT_TRUE(back.Lossless()) << Hex(pair);
      EXPECT_EQ(u, CodePage::ToUtf16(back.Text)) << Hex(pair);
    }
  }
  EXPECT_GT(defined, 7000);
}

TEST(CodePage, DuplicatesEncodeAsTheSystemDoes) {
  EXPECT_EQ(Hex("\xFA\x5C"), Hex(CodePage::FromUtf16(u"\u7E8A")));  // also at 0xED40
  EXPECT_EQ(Hex("\x81\xE0"), Hex(CodePage::FromUtf16(u"\u2252")));  // also at 0x8790
  EXPECT_EQ(Hex("\x81\x60"), Hex(CodePage::FromUtf16(u"\uFF5E")));
}

TEST(CodePage, OneWayMappingsAreNotRepresentable) {
  // Each would come back as a different character (U+005C, U+2225, U+FF5E).
  for (char16_t c : {u'\u00A5', u'\u2016', u'\u301C'}) {
    CodePage::TConversion r = CodePage::ConvertUtf16(std::u16string(1, c), TUnmapped::Question);
    EXPECT_EQ("?", r.Text) << static_cast<int>(c);
    EXPECT_EQ(1u, r.Unmapped);
  }
}

TEST(CodePage, UnmappedWrittenAsAsked) {
  const std::string text = "a\xF0\x9F\x98\x80\xED\x95\x9C\xE6\x97\xA5";  // a😀한日
  CodePage::TConversion q = CodePage::ConvertUtf8(text, TUnmapped::Question);
  EXPECT_EQ("a??\x93\xFA", q.Text);
  EXPECT_EQ(2u, q.Unmapped);
  EXPECT_EQ((std::vector<char32_t>{0x1F600, 0xD55C}), q.Samples);
  EXPECT_EQ("a&#128512;&#54620;\x93\xFA", CodePage::ConvertUtf8(text, TUnmapped::CharRef).Text);
  EXPECT_EQ("a%F0%9F%98%80%ED%95%9C\x93\xFA", CodePage::ConvertUtf8(text, TUnmapped::Percent).Text);
  // UTF-16 gives the same, surrogate pairs as one character.
  CodePage::TConversion w = CodePage::ConvertUtf16(u"a\U0001F600\uD55C\u65E5", TUnmapped::CharRef);
  EXPECT_EQ("a&#128512;&#54620;\x93\xFA", w.Text);
  EXPECT_EQ(2u, w.Unmapped);
}

TEST(CodePage, SamplesAreDistinctAndFew) {
  std::u16string s;
  for (char16_t c = 0xAC00; c < 0xAC00 + 20; ++c) s += std::u16string(2, c);
  CodePage::TConversion r = CodePage::ConvertUtf16(s, TUnmapped::Question);
  EXPECT_EQ(40u, r.Unmapped);
  ASSERT_EQ(CodePage::kMaxSamples, r.Samples.size());
  EXPECT_EQ(0xAC01u, r.Samples[1]);
  EXPECT_EQ("U+AC00", CodePage::CodePointName(r.Samples[0]));
  EXPECT_EQ("U+1F600", CodePage::CodePointName(0x1F600));
}

TEST(CodePage, BrokenInputIsAQuestionMarkEvenForReferences) {
  // Overlong "/", an encoded surrogate, a cut-off sequence; a lone UTF-16 surrogate.
  CodePage::TConversion r =
      CodePage::ConvertUtf8("\xC0\xAF|\xED\xA0\x80|\xE6\x97", TUnmapped::CharRef);
  EXPECT_EQ("??|???|??", r.Text);
  EXPECT_EQ(std::vector<char32_t>{0xFFFD}, r.Samples);
  EXPECT_EQ("?x", CodePage::ConvertUtf16(u"\xDC00x", TUnmapped::CharRef).Text);
}
