#include "TextEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "CodePage.h"

namespace TextEncoding {

void TReplacements::Add(char32_t codePoint) {
  ++Count;
  if (First.size() < kKeep) First.push_back(codePoint);
}

namespace {

// Progress is reported about once per this many input bytes.
constexpr size_t kChunk = size_t{1} << 20;

constexpr std::string_view kUtf8Bom("\xEF\xBB\xBF", 3);
constexpr std::string_view kUtf16LeBom("\xFF\xFE", 2);
constexpr std::string_view kUtf16BeBom("\xFE\xFF", 2);
constexpr std::string_view kReplacementUtf8("\xEF\xBF\xBD", 3);

// The iconv name of each encoding. EUC-JP is read and written with Microsoft's mapping, the
// one code page 932 uses, so that its WAVE DASH and NEC symbols go both ways.
const char* IconvName(TEncoding e) {
  switch (e) {
    case TEncoding::Cp932:
      return "CP932";
    case TEncoding::Utf8:
    case TEncoding::Utf8Bom:
      return "UTF-8";
    case TEncoding::Utf16Le:
      return "UTF-16LE";
    case TEncoding::Utf16Be:
      return "UTF-16BE";
    case TEncoding::EucJp:
      return "EUC-JP-MS";
    case TEncoding::Iso2022Jp:
      return "ISO-2022-JP";
  }
  return "CP932";
}

std::string_view Bom(TEncoding e) {
  switch (e) {
    case TEncoding::Utf8Bom:
      return kUtf8Bom;
    case TEncoding::Utf16Le:
      return kUtf16LeBom;
    case TEncoding::Utf16Be:
      return kUtf16BeBom;
    default:
      return {};
  }
}

bool IsUtf(TEncoding e) {
  return e == TEncoding::Utf8 || e == TEncoding::Utf8Bom || e == TEncoding::Utf16Le ||
         e == TEncoding::Utf16Be;
}

// ---- iconv

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Converts all of `in` onto the end of `out`. On a sequence it cannot convert, `bad` is
  // given the rest of the input and returns how many bytes to skip; it may append to `out`
  // (through Feed, so that a stateful encoding stays in step).
  template <class BadFn>
  void Run(std::string_view in, std::string& out, BadFn bad, const TProgress& progress,
           uint64_t progressBase, uint64_t progressTotal) {
    Reset();
    const char* src = in.data();
    size_t left = in.size();
    size_t sinceReport = 0;
    while (left > 0) {
      size_t take = std::min(left, kChunk);
      const bool atEnd = take == left;
      size_t takeLeft = take;
      Feed(src, takeLeft, out);
      const int err = errno;
      size_t used = take - takeLeft;
      left -= used;
      sinceReport += used;
      // An incomplete sequence at the end of a chunk waits for the next one.
      if (takeLeft > 0 && (err != EINVAL || atEnd || used == 0)) {
        size_t skip = std::clamp<size_t>(bad(std::string_view(src, left), out), 1, left);
        src += skip;
        left -= skip;
      }
      if (progress && sinceReport >= kChunk) {
        sinceReport = 0;
        progress(progressBase + (in.size() - left), progressTotal);
      }
    }
  }

  // Converts as much of [src, src + left) as it can onto `out`; errno tells why it stopped
  // when `left` is not 0 afterwards.
  void Feed(const char*& src, size_t& left, std::string& out) {
    errno = 0;
    while (left > 0) {
      size_t used = out.size();
      out.resize(used + left * 4 + 64);
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      char* in = const_cast<char*>(src);
      size_t r = iconv(cd_, &in, &left, &dst, &dstLeft);
      int err = errno;
      src = in;
      out.resize(out.size() - dstLeft);
      if (r != static_cast<size_t>(-1)) return;
      errno = err;
      if (err != E2BIG) return;
    }
  }

  // Writes the shift sequence that returns a stateful encoding to its initial state.
  void Finish(std::string& out) {
    size_t used = out.size();
    out.resize(used + 16);
    char* dst = out.data() + used;
    size_t dstLeft = 16;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.resize(out.size() - dstLeft);
  }

 private:
  iconv_t cd_;
};

// One converter per pair of names and thread, for the character-by-character checks.
Iconv& Converter(const char* to, const char* from) {
  thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Iconv>> cache;
  auto& slot = cache[{to, from}];
  if (!slot) slot = std::make_unique<Iconv>(to, from);
  return *slot;
}

// True when all of `in` converts; the result goes to `out` (with the closing shift).
bool ConvertWhole(const char* to, const char* from, std::string_view in, std::string& out) {
  Iconv& cd = Converter(to, from);
  cd.Reset();
  out.clear();
  const char* src = in.data();
  size_t left = in.size();
  cd.Feed(src, left, out);
  if (left != 0) return false;
  cd.Finish(out);
  return true;
}

// ---- UTF-8

// Decodes one strict UTF-8 character at p (no overlong forms, surrogates or values past
// U+10FFFF); returns its length, 0 when the bytes are not one.
size_t Utf8Char(const unsigned char* p, size_t left, char32_t& cp) {
  unsigned char c = p[0];
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  size_t n;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
    min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
    min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (left < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// Length of the run of 7-bit bytes at the start of [p, end).
size_t AsciiRun(const char* p, const char* end) {
  const char* q = p;
  while (end - q >= 8) {
    uint64_t w;
    std::memcpy(&w, q, 8);
    if (w & 0x8080808080808080ull) break;
    q += 8;
  }
  while (q < end && static_cast<unsigned char>(*q) < 0x80) ++q;
  return static_cast<size_t>(q - p);
}

// ---- the character maps, filled from iconv as characters are met

// A code page 932 character as its index: the byte, or lead * 256 + trail.
constexpr uint32_t kUnknown = 0;
constexpr uint32_t kUnrepresentable = 0x80000000u;

// Code page 932 character -> the Unicode character it is written as in an encoding, as
// UTF-8 packed (length << 24 | bytes), or kUnrepresentable | code point (0: invalid bytes).
class EncodeMap {
 public:
  explicit EncodeMap(TEncoding e) : encoding_(e), entries_(0x10000, kUnknown) {}

  uint32_t Get(std::string_view c) {
    uint32_t index =
        c.size() == 1 ? static_cast<unsigned char>(c[0])
                      : (static_cast<unsigned char>(c[0]) << 8) | static_cast<unsigned char>(c[1]);
    uint32_t& e = entries_[index];
    if (e == kUnknown) e = Compute(c);
    return e;
  }

 private:
  static uint32_t Pack(std::string_view utf8) {
    uint32_t v = 0;
    for (char ch : utf8) v = (v << 8) | static_cast<unsigned char>(ch);
    return (static_cast<uint32_t>(utf8.size()) << 24) | v;
  }

  bool CanWrite(std::string_view utf8) {
    std::string out;
    return IsUtf(encoding_) || ConvertWhole(IconvName(encoding_), "UTF-8", utf8, out);
  }

  uint32_t Compute(std::string_view c) {
    std::string u1;
    if (!ConvertWhole("UTF-8", "CP932", c, u1) || u1.empty() || u1.size() > 3)
      return kUnrepresentable;
    if (CanWrite(u1)) return Pack(u1);
    // JIS-based encodings hold some characters at the same code as code page 932 but under
    // another Unicode name (WAVE DASH for FULLWIDTH TILDE): found through that code.
    std::string euc, u2;
    if (ConvertWhole("EUC-JP-MS", "CP932", c, euc) && ConvertWhole("UTF-8", "EUC-JP", euc, u2) &&
        !u2.empty() && u2.size() <= 3 && CanWrite(u2))
      return Pack(u2);
    char32_t cp = 0;
    Utf8Char(reinterpret_cast<const unsigned char*>(u1.data()), u1.size(), cp);
    return kUnrepresentable | cp;
  }

  TEncoding encoding_;
  std::vector<uint32_t> entries_;
};

// Unicode character of the basic plane -> code page 932 bytes (length << 16 | bytes), or
// kUnrepresentable when writing them back in the encoding would not give the character.
class DecodeMap {
 public:
  explicit DecodeMap(EncodeMap& back) : back_(back), entries_(0x10000, kUnknown) {}

  uint32_t Get(char32_t cp) {
    uint32_t& e = entries_[cp];
    if (e == kUnknown) e = Compute(cp);
    return e;
  }

 private:
  uint32_t Compute(char32_t cp) {
    std::string utf8, c;
    CodePage::AppendUtf8(utf8, cp);
    if (!ConvertWhole("CP932", "UTF-8", utf8, c) || c.empty() || c.size() > 2)
      return kUnrepresentable;
    uint32_t packed = 0;
    for (char ch : c) packed = (packed << 8) | static_cast<unsigned char>(ch);
    uint32_t again = static_cast<unsigned char>(c[0]) < 0x80 && c.size() == 1
                         ? ((1u << 24) | static_cast<unsigned char>(c[0]))
                         : back_.Get(c);
    uint32_t expected = 0;
    for (char ch : utf8) expected = (expected << 8) | static_cast<unsigned char>(ch);
    expected |= static_cast<uint32_t>(utf8.size()) << 24;
    if (again != expected) return kUnrepresentable;
    return (static_cast<uint32_t>(c.size()) << 16) | packed;
  }

  EncodeMap& back_;
  std::vector<uint32_t> entries_;
};

struct Maps {
  std::unique_ptr<EncodeMap> encode;
  std::unique_ptr<DecodeMap> decode;
};

Maps& MapsFor(TEncoding e) {
  thread_local Maps maps[7];
  Maps& m = maps[static_cast<int>(e)];
  if (!m.encode) {
    m.encode = std::make_unique<EncodeMap>(e);
    m.decode = std::make_unique<DecodeMap>(*m.encode);
  }
  return m;
}

// An output buffer written through a pointer, grown as needed: the per-character loops
// below are the whole cost of opening and saving large files.
class Output {
 public:
  explicit Output(std::string& s, size_t expected) : s_(s), used_(s.size()) {
    s_.resize(used_ + expected + 64);
    o_ = s_.data() + used_;
    end_ = s_.data() + s_.size();
  }
  ~Output() { s_.resize(static_cast<size_t>(o_ - s_.data())); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Room for at least n more bytes.
  char* Reserve(size_t n) {
    if (static_cast<size_t>(end_ - o_) < n) {
      size_t used = static_cast<size_t>(o_ - s_.data());
      s_.resize(s_.size() + s_.size() / 2 + n + 64);
      o_ = s_.data() + used;
      end_ = s_.data() + s_.size();
    }
    return o_;
  }
  char*& Pos() { return o_; }
  size_t Room() const { return static_cast<size_t>(end_ - o_); }

 private:
  std::string& s_;
  size_t used_;
  char* o_;
  char* end_;
};

char* PutReference(char* o, char32_t cp) {
  char digits[12];
  int n = 0;
  uint32_t v = static_cast<uint32_t>(cp);
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  *o++ = '&';
  *o++ = '#';
  while (n) *o++ = digits[--n];
  *o++ = ';';
  return o;
}

// Copies 7-bit bytes from p until a byte with the high bit or the end.
inline void CopyAscii(const unsigned char*& p, const unsigned char* end, Output& out) {
  for (;;) {
    size_t room = out.Room();
    char*& o = out.Pos();
    const unsigned char* stop = p + std::min(static_cast<size_t>(end - p), room);
    while (stop - p >= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      if (w & 0x8080808080808080ull) break;
      std::memcpy(o, p, 8);
      o += 8;
      p += 8;
    }
    while (p < stop && *p < 0x80) *o++ = static_cast<char>(*p++);
    if (p == end || *p >= 0x80) return;
    out.Reserve(64);
  }
}

// UTF-8 (as the file had it, or as iconv made it) -> code page 932. When `strict`, stops
// and returns false at the first byte that is not strict UTF-8; else such a byte becomes
// '?'. `multibyte` (when given) says whether any non-ASCII character was met.
bool Utf8ToCp932(std::string_view in, TEncoding e, std::string& outString, TReplacements* replaced,
                 const TProgress& progress, uint64_t base, uint64_t total, bool strict = false,
                 bool* multibyte = nullptr) {
  DecodeMap& map = *MapsFor(e).decode;
  Output out(outString, in.size());
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* const begin = p;
  const unsigned char* end = p + in.size();
  const unsigned char* nextReport = p + std::min(kChunk, in.size());
  bool any = false;
  while (p < end) {
    if (*p < 0x80) {
      CopyAscii(p, end, out);
      continue;
    }
    out.Reserve(16);
    char*& o = out.Pos();
    char32_t cp = 0;
    size_t n;
    // The common case, a three-byte character, inline.
    if ((p[0] & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
      cp = (static_cast<char32_t>(p[0] & 0x0F) << 12) | (static_cast<char32_t>(p[1] & 0x3F) << 6) |
           (p[2] & 0x3F);
      n = (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) ? 3 : 0;
    } else {
      n = Utf8Char(p, static_cast<size_t>(end - p), cp);
    }
    if (n == 0) {
      if (strict) return false;
      *o++ = '?';
      if (replaced) replaced->Add(0xFFFD);
      ++p;
      continue;
    }
    any = true;
    p += n;
    uint32_t c = cp < 0x10000 ? map.Get(cp) : kUnrepresentable;
    if (c == kUnrepresentable) {
      o = PutReference(o, cp);
      if (replaced) replaced->Add(cp);
    } else if ((c >> 16) == 2) {
      *o++ = static_cast<char>((c >> 8) & 0xFF);
      *o++ = static_cast<char>(c & 0xFF);
    } else {
      *o++ = static_cast<char>(c & 0xFF);
    }
    if (p >= nextReport) {
      nextReport = p + std::min(kChunk, static_cast<size_t>(end - p));
      if (progress) progress(base + static_cast<uint64_t>(p - begin), total);
    }
  }
  if (multibyte) *multibyte = any;
  return true;
}

// Code page 932 -> UTF-8 of the Unicode characters the encoding will be written with.
void Cp932ToUtf8(std::string_view in, TEncoding e, std::string& outString, TReplacements* replaced,
                 const TProgress& progress, uint64_t base, uint64_t total) {
  EncodeMap& map = *MapsFor(e).encode;
  Output out(outString, in.size() + in.size() / 2);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* const begin = p;
  const unsigned char* end = p + in.size();
  const unsigned char* nextReport = p + std::min(kChunk, in.size());
  while (p < end) {
    if (*p < 0x80) {
      CopyAscii(p, end, out);
      continue;
    }
    out.Reserve(16);
    char*& o = out.Pos();
    size_t n = 1;
    unsigned char lead = *p;
    if (((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && end - p >= 2) {
      unsigned char trail = p[1];
      // A lead byte before a byte that cannot trail stands alone, so the next byte survives.
      if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) n = 2;
    }
    uint32_t u = map.Get(std::string_view(reinterpret_cast<const char*>(p), n));
    p += n;
    if (u & kUnrepresentable) {
      char32_t cp = u & ~kUnrepresentable;
      if (cp == 0) {
        *o++ = '?';
        if (replaced) replaced->Add(0xFFFD);
      } else {
        o = PutReference(o, cp);
        if (replaced) replaced->Add(cp);
      }
    } else {
      for (size_t i = u >> 24; i-- > 0;) *o++ = static_cast<char>((u >> (8 * i)) & 0xFF);
    }
    if (p >= nextReport) {
      nextReport = p + std::min(kChunk, static_cast<size_t>(end - p));
      if (progress) progress(base + static_cast<uint64_t>(p - begin), total);
    }
  }
}

// ---- detection

bool ValidUtf8(std::string_view bytes, bool& anyMultibyte) {
  anyMultibyte = false;
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  while (p < end) {
    p += AsciiRun(p, end);
    if (p >= end) break;
    char32_t cp;
    size_t n =
        Utf8Char(reinterpret_cast<const unsigned char*>(p), static_cast<size_t>(end - p), cp);
    if (n == 0) return false;
    anyMultibyte = true;
    p += n;
  }
  return true;
}

bool HasIso2022Escape(std::string_view bytes) {
  for (std::string_view esc : {"\x1B$B", "\x1B$@", "\x1B(J", "\x1B(I", "\x1B$(D"})
    if (bytes.find(esc) != std::string_view::npos) return true;
  return false;
}

// Walks the bytes as code page 932: false at a byte that cannot stand where it is.
// Counts half-width katakana (single bytes A1-DF) and double-byte characters.
bool ScanSjis(std::string_view bytes, size_t& kana, size_t& doubles) {
  kana = doubles = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) continue;
    if (c >= 0xA1 && c <= 0xDF) {
      ++kana;
    } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 >= bytes.size()) return false;
      unsigned char t = static_cast<unsigned char>(bytes[++i]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
      ++doubles;
    } else {
      return false;
    }
  }
  return true;
}

bool ScanEuc(std::string_view bytes) {
  auto high = [&](size_t i) {
    if (i >= bytes.size()) return false;
    unsigned char t = static_cast<unsigned char>(bytes[i]);
    return t >= 0xA1 && t <= 0xFE;
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) continue;
    if (c == 0x8E) {  // half-width katakana
      if (i + 1 >= bytes.size()) return false;
      unsigned char t = static_cast<unsigned char>(bytes[++i]);
      if (t < 0xA1 || t > 0xDF) return false;
    } else if (c == 0x8F) {  // JIS X 0212
      if (!high(i + 1) || !high(i + 2)) return false;
      i += 2;
    } else if (c >= 0xA1 && c <= 0xFE) {
      if (!high(i + 1)) return false;
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

TEncoding Detect(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return TEncoding::Utf8Bom;
  if (bytes.starts_with(kUtf16LeBom)) return TEncoding::Utf16Le;
  if (bytes.starts_with(kUtf16BeBom)) return TEncoding::Utf16Be;
  bool multibyte = false;
  if (ValidUtf8(bytes, multibyte)) {
    if (multibyte) return TEncoding::Utf8;
    return HasIso2022Escape(bytes) ? TEncoding::Iso2022Jp : TEncoding::Cp932;
  }
  size_t kana = 0, doubles = 0;
  bool sjis = ScanSjis(bytes, kana, doubles);
  bool euc = ScanEuc(bytes);
  // EUC-JP read as code page 932 falls apart into half-width katakana; real code page 932
  // text is mostly double-byte characters.
  if (euc && (!sjis || kana > doubles)) return TEncoding::EucJp;
  return TEncoding::Cp932;
}

TLineEnd DetectLineEnd(std::string_view text, TLineEnd none) {
  size_t i = text.find_first_of("\r\n");
  if (i == std::string_view::npos) return none;
  if (text[i] == '\n') return TLineEnd::Lf;
  return i + 1 < text.size() && text[i + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
}

TLineEnd DefaultLineEnd(TEncoding encoding) {
  switch (encoding) {
    case TEncoding::Cp932:
    case TEncoding::Utf16Le:
    case TEncoding::Utf16Be:
      return TLineEnd::CrLf;
    default:
      return TLineEnd::Lf;
  }
}

std::string ToCp932(std::string_view bytes, TEncoding encoding, TReplacements* replaced,
                    const TProgress& progress) {
  if (encoding == TEncoding::Cp932) return std::string(bytes);
  std::string_view bom = Bom(encoding);
  if (!bom.empty() && bytes.starts_with(bom)) bytes.remove_prefix(bom.size());
  std::string out;
  const uint64_t total = bytes.size();
  if (encoding == TEncoding::Utf8 || encoding == TEncoding::Utf8Bom) {
    Utf8ToCp932(bytes, encoding, out, replaced, progress, 0, total);
    return out;
  }
  // Into UTF-8 first (half of the work), bad sequences as U+FFFD, then into code page 932.
  std::string utf8;
  utf8.reserve(bytes.size() * 3 / 2);
  const size_t unit = encoding == TEncoding::Utf16Le || encoding == TEncoding::Utf16Be ? 2 : 1;
  Iconv cd("UTF-8", IconvName(encoding));
  cd.Run(
      bytes, utf8,
      [&](std::string_view, std::string& o) {
        o.append(kReplacementUtf8);
        return unit;
      },
      progress ? TProgress([&](uint64_t d, uint64_t) { progress(d / 2, total); }) : TProgress{}, 0,
      total);
  Utf8ToCp932(utf8, encoding, out, replaced,
              progress ? TProgress([&](uint64_t d, uint64_t t) {
                progress(total / 2 + (t ? d * (total / 2) / t : 0), total);
              })
                       : TProgress{},
              0, utf8.size());
  return out;
}

std::string FromCp932(std::string_view text, TEncoding encoding, TReplacements* replaced,
                      const TProgress& progress) {
  if (encoding == TEncoding::Cp932) return std::string(text);
  const uint64_t total = text.size();
  std::string utf8;
  if (encoding == TEncoding::Utf8 || encoding == TEncoding::Utf8Bom) {
    utf8.append(Bom(encoding));
    Cp932ToUtf8(text, encoding, utf8, replaced, progress, 0, total);
    return utf8;
  }
  Cp932ToUtf8(
      text, encoding, utf8, replaced,
      progress ? TProgress([&](uint64_t d, uint64_t) { progress(d / 2, total); }) : TProgress{}, 0,
      total);
  std::string out(Bom(encoding));
  out.reserve(utf8.size() + 16);
  Iconv cd(IconvName(encoding), "UTF-8");
  cd.Run(
      utf8, out,
      [&](std::string_view rest, std::string& o) {
        // Not expected (the map only lets through what the encoding holds); still, a '?'.
        char32_t cp = 0xFFFD;
        size_t n = Utf8Char(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), cp);
        if (replaced) replaced->Add(n ? cp : 0xFFFD);
        const char* q = "?";
        size_t one = 1;
        cd.Feed(q, one, o);
        return n ? n : 1;
      },
      progress ? TProgress([&](uint64_t d, uint64_t t) {
        progress(total / 2 + (t ? d * (total / 2) / t : 0), total);
      })
               : TProgress{},
      0, utf8.size());
  cd.Finish(out);
  return out;
}

std::string ToCrLf(std::string_view text, TLineEnd from) {
  std::string out;
  out.reserve(text.size() + (from == TLineEnd::CrLf ? 0 : text.size() / 16 + 16));
  const char sep = from == TLineEnd::Lf ? '\n' : '\r';
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* q = p;
    if (from == TLineEnd::CrLf) {
      q = static_cast<const char*>(std::memchr(p, '\0', static_cast<size_t>(end - p)));
      if (!q) q = end;
      out.append(p, static_cast<size_t>(q - p));
      p = q + 1;
      continue;
    }
    while (q < end && *q != sep && *q != '\0') ++q;
    out.append(p, static_cast<size_t>(q - p));
    if (q < end && *q == sep) out += "\r\n";
    p = q + 1;
  }
  return out;
}

std::string FromCrLf(std::string_view text, TLineEnd to) {
  if (to == TLineEnd::CrLf) return std::string(text);
  const char sep = to == TLineEnd::Lf ? '\n' : '\r';
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t pair = text.find("\r\n", i);
    if (pair == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, pair - i));
    out += sep;
    i = pair + 2;
  }
  return out;
}

TDecoded Decode(std::string_view bytes, const TProgress& progress) {
  TDecoded d;
  const bool bom = bytes.starts_with(kUtf8Bom) || bytes.starts_with(kUtf16LeBom) ||
                   bytes.starts_with(kUtf16BeBom);
  if (!bom) {
    // Most files are UTF-8 or ASCII: checking and converting them is one pass.
    TReplacements replaced;
    bool multibyte = false;
    std::string text;
    if (Utf8ToCp932(bytes, TEncoding::Utf8, text, &replaced, progress, 0, bytes.size(), true,
                    &multibyte) &&
        (multibyte || !HasIso2022Escape(bytes))) {
      d.Format.Encoding = multibyte ? TEncoding::Utf8 : TEncoding::Cp932;
      d.Text = std::move(text);
      d.Replaced = std::move(replaced);
      d.Format.LineEnd = DetectLineEnd(d.Text, DefaultLineEnd(d.Format.Encoding));
      return d;
    }
  }
  d.Format.Encoding = Detect(bytes);
  d.Text = ToCp932(bytes, d.Format.Encoding, &d.Replaced, progress);
  d.Format.LineEnd = DetectLineEnd(d.Text, DefaultLineEnd(d.Format.Encoding));
  return d;
}

namespace {

// A value with its name for people and its key in files.
template <typename T>
struct NamedValue {
  T value;
  const char* display;
  const char* key;
};
constexpr NamedValue<TEncoding> kEncodingNames[] = {
    {TEncoding::Cp932, "Shift_JIS", "cp932"},
    {TEncoding::Utf8, "UTF-8", "utf-8"},
    {TEncoding::Utf8Bom, "UTF-8 (BOM)", "utf-8-bom"},
    {TEncoding::Utf16Le, "UTF-16LE", "utf-16le"},
    {TEncoding::Utf16Be, "UTF-16BE", "utf-16be"},
    {TEncoding::EucJp, "EUC-JP", "euc-jp"},
    {TEncoding::Iso2022Jp, "ISO-2022-JP", "iso-2022-jp"},
};

constexpr NamedValue<TLineEnd> kLineEndNames[] = {
    {TLineEnd::CrLf, "CRLF", "crlf"},
    {TLineEnd::Lf, "LF", "lf"},
    {TLineEnd::Cr, "CR", "cr"},
};

// The row of `table` for `value`, or null.
template <typename Row, size_t N, typename Value>
const Row* RowOf(const Row (&table)[N], Value value) {
  for (const Row& row : table)
    if (row.value == value) return &row;
  return nullptr;
}

template <typename Row, size_t N, typename Value>
bool ParseRow(const Row (&table)[N], std::string_view key, Value& value) {
  for (const Row& row : table)
    if (key == row.key) {
      value = row.value;
      return true;
    }
  return false;
}

}  // namespace

const char* DisplayName(TEncoding encoding) {
  const auto* row = RowOf(kEncodingNames, encoding);
  return row ? row->display : "";
}

const char* DisplayName(TLineEnd lineEnd) {
  const auto* row = RowOf(kLineEndNames, lineEnd);
  return row ? row->display : "";
}

const char* Key(TEncoding encoding) {
  const auto* row = RowOf(kEncodingNames, encoding);
  return row ? row->key : "";
}

const char* Key(TLineEnd lineEnd) {
  const auto* row = RowOf(kLineEndNames, lineEnd);
  return row ? row->key : "";
}

bool ParseKey(std::string_view key, TEncoding& encoding) {
  return ParseRow(kEncodingNames, key, encoding);
}

bool ParseKey(std::string_view key, TLineEnd& lineEnd) {
  return ParseRow(kLineEndNames, key, lineEnd);
}

std::string CodePointName(char32_t codePoint) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(codePoint));
  return buf;
}

}  // namespace TextEncoding
