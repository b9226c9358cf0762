// The web shortcuts: the program's own list of named web pages, one "name=URL" line each in
// code page 932, kept in the ".kdw" file beside the settings.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace WebShortcuts {

// The file's lines: split at CR LF, a lone CR or a lone LF; a break at the very end starts no
// further line and a NUL byte ends the text.
std::vector<std::string> Parse(std::string_view bytes);
// Every line, the last one included, ended by CR LF; no lines give an empty text.
std::string Format(const std::vector<std::string>& lines);

// A line's name is what stands before its first "=", its URL everything after (a query string
// may hold more "="). A line without "=" has an empty name and no URL.
std::string_view Name(std::string_view line);
std::string_view Url(std::string_view line);
std::string Line(std::string_view name, std::string_view url);

// Names match without regard to the case of letters (ASCII and the full-width Latin, Greek and
// Cyrillic letters of code page 932); the second byte of a double-byte character is never
// taken for an ASCII letter.
bool SameName(std::string_view a, std::string_view b);
// The URL of the first line with "=" whose name matches; empty when there is none. Of two
// entries "News" and "news" both menu items open the first one's page.
std::string UrlForName(const std::vector<std::string>& lines, std::string_view name);
// A name as it matches: two names are the same exactly when their folded forms are equal.
std::string FoldName(std::string_view name);
// For every line, the index of the line whose URL its name finds (as UrlForName), or npos
// when there is none; one pass over the list through a hash of the folded names.
constexpr size_t kNoUrl = static_cast<size_t>(-1);
std::vector<size_t> UrlSources(const std::vector<std::string>& lines);

enum class TReadResult { Read, Missing, Unreadable };
// Reads the file's lines; a missing file gives no lines and Missing. Unreadable (with a reason
// in `error` when given) leaves `lines` empty.
TReadResult Read(const std::string& path, std::vector<std::string>& lines,
                 std::string* error = nullptr);
// Replaces the file in one step; false, with a reason, leaves the old file as it was.
bool Write(const std::string& path, const std::vector<std::string>& lines,
           std::string* error = nullptr);

}  // namespace WebShortcuts
