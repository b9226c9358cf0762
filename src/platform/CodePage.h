// Code page 932 (Shift-JIS): the lead-byte test and conversion to and from UTF-16 and UTF-8.
// Toward Unicode every byte string decodes (undefined bytes become U+30FB). Toward code page
// 932 a character converts only when it converts back unchanged; the checked conversions
// report what could not be represented and write it as the caller asks.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace CodePage {

// Bytes 0x81-0x9F and 0xE0-0xFC start a double-byte character.
constexpr bool IsDBCSLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr char16_t kUnicodeDefaultChar = u'\u30FB';
constexpr char kAnsiDefaultChar = '?';

// How a character that code page 932 cannot hold is written.
enum class TUnmapped {
  Question,  // "?"
  CharRef,   // an HTML numeric character reference, "&#128512;"
  Percent,   // its UTF-8 bytes percent-encoded, "%F0%9F%98%80" (for URLs)
};

struct TConversion {
  std::string Text;               // code page 932
  size_t Unmapped = 0;            // characters that could not be represented
  std::vector<char32_t> Samples;  // the first few of them, each once (U+FFFD: broken input)
  bool Lossless() const { return Unmapped == 0; }
};
constexpr size_t kMaxSamples = 5;

std::u16string ToUtf16(std::string_view cp932);
std::string ToUtf8(std::string_view cp932);

TConversion ConvertUtf16(std::u16string_view utf16, TUnmapped as);
TConversion ConvertUtf8(std::string_view utf8, TUnmapped as);
// The same with "?" for what does not map, for text that cannot be refused.
std::string FromUtf16(std::u16string_view utf16);
std::string FromUtf8(std::string_view utf8);

// "U+1F600".
std::string CodePointName(char32_t c);

// Appends the UTF-8 bytes of the code point `c`.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace CodePage
