// Line lists and replacement over code page 932 text, as the text commands use them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace TextLines {

// Cuts text into lines at CR LF, a lone CR or a lone LF. A break at the very end starts no
// further line, an empty text has no lines, and a NUL byte ends the text.
std::vector<std::string> Split(std::string_view text);

// Every line, the last one included, followed by CR LF.
std::string Join(const std::vector<std::string>& lines);

// Every occurrence of what, left to right and without overlaps, replaced by with; the inserted
// text is not searched again. A match counts only where it starts a character, never on the
// second byte of a double-byte character. NUL bytes are kept and never matched.
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);

}  // namespace TextLines
