// The matcher the main window installs as the editor's OnFind: plain byte comparison that
// respects code page 932 character boundaries.
#pragma once
#include <string_view>

// Position (from 1) of the first occurrence of what in str, or 0 when there is none. An
// occurrence never starts on the second byte of a double-byte character (a lead byte followed
// by CR, LF or the end is a character of its own); bytes are compared exactly; both strings
// end at their first NUL; an empty what or str gives 0. str must start at a character start.
int FindMatch(std::string_view str, std::string_view what);
