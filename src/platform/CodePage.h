// Code page 932 (Shift-JIS): the lead-byte test and conversion to and from UTF-16 and UTF-8.
// Conversions never fail: what cannot be represented becomes the replacement character
// ('?' toward code page 932, U+30FB toward Unicode) and the rest of the text is still converted.
#pragma once
#include <string>
#include <string_view>

namespace CodePage {

// Bytes 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool IsDBCSLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr char16_t kUnicodeDefaultChar = u'\u30FB';
constexpr char kAnsiDefaultChar = '?';

std::u16string ToUtf16(std::string_view cp932);
std::string FromUtf16(std::u16string_view utf16);
std::string ToUtf8(std::string_view cp932);
std::string FromUtf8(std::string_view utf8);

}  // namespace CodePage
