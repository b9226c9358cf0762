#include "PreviewPage.h"

#include "FenEdit/Fenstrings.h"
#include "platform/CodePage.h"

namespace web {

std::string_view RowText(std::string_view row) {
  if (RowHasTerminator(row)) row.remove_suffix(2);
  return row;
}

std::string PreviewPage(const TFenStrings& rows) {
  // The board's own frame; the two title rows are left open as the board writes them.
  static const char* const kHead[] = {
      "<html>",
      "<head><title>プレビュー</title></head>",
      "<body text=\"#E1E1E1\" bgcolor=\"#000040\" link=\"#E1E1E1\" vlink=\"#34A995\" "
      "alink=\"#99FF99\">",
      "<table width=\"100%\" border=\"0\">",
      "<tr bgcolor=\"#1F5C63\"><td><strong>プレビュー</strong></td>",
      "<tr bgcolor=\"#1F5C63\"><td>この発言は以下のように表示されます。</td>",
      "<tr bgcolor=\"#122021\"><td>",
  };
  static const char* const kTail[] = {"</td></tr>", "</table>", "</body>", "</html>"};
  static const std::string head = [] {
    std::string s;
    for (const char* line : kHead) s += CodePage::FromUtf8(line) + "\r\n";
    return s;
  }();

  std::string page = head;
  page.reserve(head.size() + rows.TextLength() + static_cast<size_t>(rows.Count()) * 6 + 64);
  rows.ForEachRow([&page](const std::string& row) {
    page += RowText(row);
    page += "<br>\r\n";
    return true;
  });
  for (const char* line : kTail) {
    page += line;
    page += "\r\n";
  }
  return page;
}

}  // namespace web
