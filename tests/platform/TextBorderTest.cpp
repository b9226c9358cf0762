#include <gtest/gtest.h>

#include <vector>

#include "platform/TextBorder.h"

using CodePage::TUnmapped;

TEST(TextBorder, DesktopLineEndsBecomeCrLfAndBack) {
  EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n\r\n", TextBorder::ToCrLf("a\nb\r\nc\rd\n\r"));
  EXPECT_EQ("\r\n\r\n", TextBorder::ToCrLf("\r\r"));
  EXPECT_EQ("a\nb\nc\nd\n\n", TextBorder::ToLf("a\nb\r\nc\rd\r\n\r"));
  // Double-byte characters never hold CR or LF bytes: "あ" then a line end.
  EXPECT_EQ("\x82\xa0\r\n", TextBorder::ToCrLf("\x82\xa0\n"));
}

TEST(TextBorder, EditorTextFollowsTheOptionAndIsReported) {
  std::vector<CodePage::TConversion> reports;
  TextBorder::TReporter old =
      TextBorder::SetReporter([&](const CodePage::TConversion& c) { reports.push_back(c); });
  TextBorder::SetEditorUnmapped(TUnmapped::CharRef);
  EXPECT_EQ("a&#128512;", TextBorder::ForEditor(u"a\U0001F600"));
  ASSERT_EQ(1u, reports.size());
  EXPECT_EQ(1u, reports[0].Unmapped);
  EXPECT_EQ(std::vector<char32_t>{0x1F600}, reports[0].Samples);

  TextBorder::SetEditorUnmapped(TUnmapped::Question);
  EXPECT_EQ(TUnmapped::Question, TextBorder::EditorUnmapped());
  EXPECT_EQ("a?", TextBorder::ForEditor(u"a\u00E9"));
  EXPECT_EQ(2u, reports.size());
  // Text that fits reports nothing.
  EXPECT_EQ("\x93\xfa", TextBorder::ForEditor(u"\u65E5"));
  EXPECT_EQ(2u, reports.size());
  // Percent-encoding is for URLs, never for the editor.
  TextBorder::SetEditorUnmapped(TUnmapped::Percent);
  EXPECT_EQ(TUnmapped::CharRef, TextBorder::EditorUnmapped());
  TextBorder::SetReporter(std::move(old));
}
