// The bulletin-board preview page: the editor's text framed as a post would appear on the
// board, one page line per display row, so the preview wraps where the editor does.
#pragma once
#include <string>
#include <string_view>

class TFenStrings;

namespace web {

// A row without its terminator (CR LF, or the two NULs that end the text).
std::string_view RowText(std::string_view row);

// The whole page in code page 932, every line ended by CR LF. The rows go in unencoded:
// tags typed in the text take effect, as they would in the post.
std::string PreviewPage(const TFenStrings& rows);

}  // namespace web
