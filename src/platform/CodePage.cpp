#include "CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

namespace {

bool IsAscii(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  return true;
}

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // skipBad(p, left) says how many input bytes an unconvertible sequence at p occupies.
  template <class SkipFn>
  std::string Run(const char* in, size_t inLen, std::string_view replacement, SkipFn skipBad) {
    std::string out;
    out.resize(inLen * 2 + 16);
    char* src = const_cast<char*>(in);
    size_t srcLeft = inLen;
    size_t used = 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
      } else {  // EILSEQ or EINVAL: replace the bad sequence and go on
        size_t skip = skipBad(src, srcLeft);
        if (skip == 0 || skip > srcLeft) skip = srcLeft;
        src += skip;
        srcLeft -= skip;
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

size_t SkipCp932(const char*, size_t) { return 1; }

size_t SkipUtf8(const char* p, size_t left) {
  unsigned char c = static_cast<unsigned char>(p[0]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (n > left) return 1;
  for (size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
  return n;
}

size_t SkipUtf16(const char* p, size_t left) {
  if (left < 2) return left;
  char16_t u = static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                     (static_cast<unsigned char>(p[1]) << 8));
  if (u >= 0xD800 && u <= 0xDBFF && left >= 4) {
    char16_t v = static_cast<char16_t>(static_cast<unsigned char>(p[2]) |
                                       (static_cast<unsigned char>(p[3]) << 8));
    if (v >= 0xDC00 && v <= 0xDFFF) return 4;
  }
  return 2;
}

const std::string_view kUtf16Default("\xFB\x30", 2);
const std::string_view kUtf8Default("\xE3\x83\xBB", 3);
const std::string_view kAnsiDefault("?", 1);

}  // namespace

namespace CodePage {

std::u16string ToUtf16(std::string_view cp932) {
  if (IsAscii(cp932.data(), cp932.size())) return std::u16string(cp932.begin(), cp932.end());
  thread_local Converter conv("UTF-16LE", "CP932");
  std::string bytes = conv.Run(cp932.data(), cp932.size(), kUtf16Default, SkipCp932);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}

std::string FromUtf16(std::u16string_view utf16) {
  bool ascii = true;
  for (char16_t c : utf16)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return std::string(utf16.begin(), utf16.end());
  std::string bytes(utf16.size() * 2, '\0');
  for (size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
  }
  thread_local Converter conv("CP932", "UTF-16LE");
  return conv.Run(bytes.data(), bytes.size(), kAnsiDefault, SkipUtf16);
}

std::string ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932.data(), cp932.size())) return std::string(cp932);
  thread_local Converter conv("UTF-8", "CP932");
  return conv.Run(cp932.data(), cp932.size(), kUtf8Default, SkipCp932);
}

std::string FromUtf8(std::string_view utf8) {
  if (IsAscii(utf8.data(), utf8.size())) return std::string(utf8);
  thread_local Converter conv("CP932", "UTF-8");
  return conv.Run(utf8.data(), utf8.size(), kAnsiDefault, SkipUtf8);
}

}  // namespace CodePage
