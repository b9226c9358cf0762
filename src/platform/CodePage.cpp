#include "CodePage.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {

bool IsAscii(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  return true;
}

constexpr int kLeads = 60;  // 0x81-0x9F and 0xE0-0xFC
constexpr int kTrails = 0xFD - 0x40;

int LeadIndex(unsigned char b) {
  return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31;
}
bool IsTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Both directions as tables, built once from the system's converter. The decoding table is
// the truth: a character encodes only to bytes that decode back to it, so whatever the
// converter maps one way only (U+00A5 to "\", U+301C to 0x8160, ...) counts as unmappable.
struct Tables {
  std::array<char16_t, 256> single{};             // 0 for lead bytes
  std::array<char16_t, kLeads * kTrails> pair{};  // 0 where the pair is undefined
  std::array<uint16_t, 0x10000> encode{};         // 0: none; < 0x100 one byte, else two

  Tables() {
    iconv_t toU = iconv_open("UTF-16LE", "CP932");
    iconv_t fromU = iconv_open("CP932", "UTF-16LE");
    if (toU == reinterpret_cast<iconv_t>(-1) || fromU == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv cannot convert CP932");
    for (int b = 0; b < 0x80; ++b) single[b] = static_cast<char16_t>(b);
    for (int b = 0xA1; b <= 0xDF; ++b) single[b] = static_cast<char16_t>(0xFF61 + b - 0xA1);
    // What the system code page gives these five bytes, which the converter leaves out.
    single[0x80] = u'\u0080';
    single[0xA0] = u'\uF8F0';
    single[0xFD] = u'\uF8F1';
    single[0xFE] = u'\uF8F2';
    single[0xFF] = u'\uF8F3';
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!CodePage::IsDBCSLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        char out[8];
        char* src = in;
        char* dst = out;
        size_t srcLeft = 2, dstLeft = sizeof out;
        iconv(toU, nullptr, nullptr, nullptr, nullptr);
        if (iconv(toU, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) ||
            sizeof out - dstLeft != 2)
          continue;
        char16_t u = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                           (static_cast<unsigned char>(out[1]) << 8));
        if (u != 0) pair[LeadIndex(static_cast<unsigned char>(lead)) * kTrails + trail - 0x40] = u;
      }
    }
    for (int b = 0x80; b < 0x100; ++b)
      if (single[b] != 0) encode[single[b]] = static_cast<uint16_t>(b);
    // Several pairs may decode to one character; encode it as the converter would.
    for (int i = 0; i < kLeads * kTrails; ++i) {
      char16_t u = pair[i];
      if (u == 0 || encode[u] != 0) continue;
      int lead = i / kTrails < 31 ? 0x81 + i / kTrails : 0xE0 + i / kTrails - 31;
      uint16_t first = static_cast<uint16_t>(lead << 8 | (0x40 + i % kTrails));
      char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
      char out[4];
      char* src = in;
      char* dst = out;
      size_t srcLeft = 2, dstLeft = sizeof out;
      iconv(fromU, nullptr, nullptr, nullptr, nullptr);
      uint16_t chosen = first;
      if (iconv(fromU, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) &&
          sizeof out - dstLeft == 2) {
        uint16_t theirs = static_cast<uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                                static_cast<unsigned char>(out[1]));
        if (DecodePair(theirs >> 8, theirs & 0xFF) == u) chosen = theirs;
      }
      encode[u] = chosen;
    }
    iconv_close(toU);
    iconv_close(fromU);
  }

  char16_t DecodePair(unsigned lead, unsigned trail) const {
    if (!CodePage::IsDBCSLeadByte(static_cast<unsigned char>(lead)) ||
        !IsTrailByte(static_cast<unsigned char>(trail)))
      return 0;
    return pair[LeadIndex(static_cast<unsigned char>(lead)) * kTrails + trail - 0x40];
  }
};

const Tables& T() {
  static const std::unique_ptr<Tables> tables = std::make_unique<Tables>();
  return *tables;
}

// Calls put(code point) for every character of code page 932 text.
template <class Put>
void Decode(std::string_view s, Put put) {
  const Tables& t = T();
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (!CodePage::IsDBCSLeadByte(b)) {
      put(t.single[b]);
    } else if (i + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(s[i + 1]))) {
      char16_t u = t.DecodePair(b, static_cast<unsigned char>(s[i + 1]));
      put(u != 0 ? u : CodePage::kUnicodeDefaultChar);  // one for the whole pair
      ++i;
    } else {
      put(CodePage::kUnicodeDefaultChar);  // the next byte stands on its own
    }
  }
}

constexpr char32_t kBroken = 0xFFFD;

class Encoder {
 public:
  Encoder(CodePage::TUnmapped as, size_t reserve) : as_(as) { result_.Text.reserve(reserve); }

  // kBroken stands for input that is not valid UTF-8 / UTF-16.
  void Put(char32_t c, bool broken) {
    std::string& out = result_.Text;
    if (c < 0x80 && !broken) {
      out += static_cast<char>(c);
      return;
    }
    if (!broken && c < 0x10000) {
      uint16_t code = tables_.encode[c];
      if (code != 0) {
        if (code >= 0x100) out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
        return;
      }
    }
    ++result_.Unmapped;
    char32_t sample = broken ? kBroken : c;
    if (result_.Samples.size() < CodePage::kMaxSamples) {
      bool seen = false;
      for (char32_t s : result_.Samples) seen = seen || s == sample;
      if (!seen) result_.Samples.push_back(sample);
    }
    if (broken || as_ == CodePage::TUnmapped::Question) {
      out += CodePage::kAnsiDefaultChar;
    } else if (as_ == CodePage::TUnmapped::CharRef) {
      out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    } else {
      std::string utf8;
      CodePage::AppendUtf8(utf8, c);
      static const char kHex[] = "0123456789ABCDEF";
      for (unsigned char b : utf8) {
        out += '%';
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
      }
    }
  }

  CodePage::TConversion Take() { return std::move(result_); }

 private:
  const Tables& tables_ = T();
  CodePage::TUnmapped as_;
  CodePage::TConversion result_;
};

}  // namespace

namespace CodePage {

std::u16string ToUtf16(std::string_view cp932) {
  if (IsAscii(cp932.data(), cp932.size())) return std::u16string(cp932.begin(), cp932.end());
  std::u16string out;
  out.reserve(cp932.size());
  Decode(cp932, [&](char16_t u) { out += u; });
  return out;
}

std::string ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932.data(), cp932.size())) return std::string(cp932);
  std::string out;
  out.reserve(cp932.size() * 3 / 2 + 8);
  Decode(cp932, [&](char16_t u) { CodePage::AppendUtf8(out, u); });
  return out;
}

TConversion ConvertUtf16(std::u16string_view s, TUnmapped as) {
  Encoder enc(as, s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      enc.Put(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00), false);
      ++i;
    } else {
      enc.Put(c, c >= 0xD800 && c <= 0xDFFF);
    }
  }
  return enc.Take();
}

TConversion ConvertUtf8(std::string_view s, TUnmapped as) {
  Encoder enc(as, s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      enc.Put(b, false);
      ++i;
      continue;
    }
    size_t n = b >= 0xF0 && b <= 0xF4   ? 4
               : b >= 0xE0 && b <= 0xEF ? 3
               : b >= 0xC2 && b <= 0xDF ? 2
                                        : 0;
    char32_t c = n == 4 ? b & 0x07 : n == 3 ? b & 0x0F : b & 0x1F;
    bool ok = n != 0 && i + n <= s.size();
    for (size_t k = 1; ok && k < n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      ok = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are broken input.
    if (ok && ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
               (c >= 0xD800 && c <= 0xDFFF)))
      ok = false;
    if (ok) {
      enc.Put(c, false);
      i += n;
    } else {
      enc.Put(kBroken, true);
      ++i;
    }
  }
  return enc.Take();
}

std::string FromUtf16(std::u16string_view utf16) {
  bool ascii = true;
  for (char16_t c : utf16) ascii = ascii && c < 0x80;
  if (ascii) return std::string(utf16.begin(), utf16.end());
  return ConvertUtf16(utf16, TUnmapped::Question).Text;
}

std::string FromUtf8(std::string_view utf8) {
  if (IsAscii(utf8.data(), utf8.size())) return std::string(utf8);
  return ConvertUtf8(utf8, TUnmapped::Question).Text;
}

std::string CodePointName(char32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace CodePage
