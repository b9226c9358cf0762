// The preview page: the frame around the text, one line per display row.
#include <gtest/gtest.h>

#include <vector>

#include "FenEdit/Fenstrings.h"
#include "platform/CodePage.h"
#include "web/PreviewPage.h"

namespace {

std::string Sjis(const char* utf8) {
  return CodePage::FromUtf8(utf8);
}

std::string PageOf(const std::string& text) {
  TFenStrings rows;
  rows.SetText(text);
  return web::PreviewPage(rows);
}

// A last row as the editor keeps it.
std::string End(const char* text) {
  return std::string(text) + '\0' + '\0';
}

std::string PageOfRows(std::vector<std::string> list) {
  TFenStrings rows;
  rows.SetRows(std::move(list));
  return web::PreviewPage(rows);
}

// The lines between the body's opening cell and its end.
std::string Body(const std::string& page) {
  const std::string open = "<tr bgcolor=\"#122021\"><td>\r\n";
  size_t from = page.find(open);
  size_t to = page.find("</td></tr>\r\n");
  if (from == std::string::npos || to == std::string::npos) return "(no body)";
  from += open.size();
  return page.substr(from, to - from);
}

}  // namespace

TEST(PreviewPageTest, WholePageForOneLine) {
  std::string expected = Sjis(
      "<html>\r\n"
      "<head><title>プレビュー</title></head>\r\n"
      "<body text=\"#E1E1E1\" bgcolor=\"#000040\" link=\"#E1E1E1\" vlink=\"#34A995\" "
      "alink=\"#99FF99\">\r\n"
      "<table width=\"100%\" border=\"0\">\r\n"
      "<tr bgcolor=\"#1F5C63\"><td><strong>プレビュー</strong></td>\r\n"
      "<tr bgcolor=\"#1F5C63\"><td>この発言は以下のように表示されます。</td>\r\n"
      "<tr bgcolor=\"#122021\"><td>\r\n"
      "ひよこ<br>\r\n"
      "</td></tr>\r\n"
      "</table>\r\n"
      "</body>\r\n"
      "</html>\r\n");
  EXPECT_EQ(PageOf(Sjis("ひよこ")), expected);
}

TEST(PreviewPageTest, EveryRowBecomesALineWithoutItsTerminator) {
  EXPECT_EQ(Body(PageOf("a\r\nb")), "a<br>\r\nb<br>\r\n");
  // The editor's rows: a final line end leaves an empty last row, which still gets its break;
  // a lone CR inside a line is an ordinary byte of its row.
  EXPECT_EQ(Body(PageOfRows({"a\r\n", End("")})), "a<br>\r\n<br>\r\n");
  EXPECT_EQ(Body(PageOfRows({End("")})), "<br>\r\n");
  EXPECT_EQ(Body(PageOfRows({"a\rb\r\n", End("c")})), "a\rb<br>\r\nc<br>\r\n");
}

TEST(PreviewPageTest, WrappedRowsAreLinesOfTheirOwn) {
  // One logical line wrapped into two rows (the first has no terminator), then another.
  EXPECT_EQ(Body(PageOfRows({"abcdef", "gh\r\n", End("ij")})),
            "abcdef<br>\r\ngh<br>\r\nij<br>\r\n");
}

TEST(PreviewPageTest, MarkupInTheTextIsKept) {
  EXPECT_EQ(Body(PageOf("<b>x</b> & <i>y</i>")), "<b>x</b> & <i>y</i><br>\r\n");
}

TEST(PreviewPageTest, RowTextDropsOnlyARealTerminator) {
  EXPECT_EQ(web::RowText("ab\r\n"), "ab");
  EXPECT_EQ(web::RowText(std::string("ab") + '\0' + '\0'), "ab");
  EXPECT_EQ(web::RowText("ab"), "ab");
  EXPECT_EQ(web::RowText("ab\n"), "ab\n");
  EXPECT_EQ(web::RowText("\r\n"), "");
}
