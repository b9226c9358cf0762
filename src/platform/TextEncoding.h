// Text files in the encodings a Japanese desktop meets, read into code page 932 and written
// back from it: detection, conversion (all through iconv) and line ends.
//
// A character of a file is taken into code page 932 only when writing it back gives the
// same character; anything else (emoji, hangul, a WAVE DASH from a UTF-8 file ...) becomes a
// decimal numeric character reference such as "&#128512;", so nothing is lost and the
// change is visible. The same happens on writing for what the target encoding cannot hold.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace TextEncoding {

enum class TEncoding { Cp932, Utf8, Utf8Bom, Utf16Le, Utf16Be, EucJp, Iso2022Jp };
enum class TLineEnd { CrLf, Lf, Cr };

struct TFileFormat {
  TEncoding Encoding = TEncoding::Cp932;
  TLineEnd LineEnd = TLineEnd::CrLf;
  bool operator==(const TFileFormat&) const = default;
};

// What a conversion had to replace: how many characters, and the first few code points.
struct TReplacements {
  static constexpr size_t kKeep = 5;
  size_t Count = 0;
  std::vector<char32_t> First;
  void Add(char32_t codePoint);
};

// Called now and then with the input bytes done so far and the whole input size.
using TProgress = std::function<void(uint64_t done, uint64_t total)>;

// UTF-8 or UTF-16 by their byte order mark, UTF-8 when the bytes are valid UTF-8 with at
// least one non-ASCII character, ISO-2022-JP for 7-bit text with its escapes, EUC-JP when
// the bytes only make sense as EUC-JP (or look far more like it), else code page 932.
TEncoding Detect(std::string_view bytes);

// The kind of the first line break of code page 932 text; `none` when there is none.
TLineEnd DetectLineEnd(std::string_view text, TLineEnd none);
// The line end a file of this encoding gets when it has no line break yet: Windows-born
// encodings CR LF, the others the Linux LF.
TLineEnd DefaultLineEnd(TEncoding encoding);

// `bytes` of `encoding` (its byte order mark, if any, included) as code page 932 text.
// Code page 932 itself is taken as it is.
std::string ToCp932(std::string_view bytes, TEncoding encoding, TReplacements* replaced = nullptr,
                    const TProgress& progress = {});
// Code page 932 text in `encoding`, with its byte order mark where it has one.
std::string FromCp932(std::string_view text, TEncoding encoding, TReplacements* replaced = nullptr,
                      const TProgress& progress = {});

// Line ends between the editor's CR LF and a file's kind. ToCrLf also drops NUL bytes.
// A CR LF file is left as it is; in an LF (CR) file every LF (CR) ends a line and other
// bytes stay, so FromCrLf(ToCrLf(x)) == x for NUL-free text.
std::string ToCrLf(std::string_view text, TLineEnd from);
std::string FromCrLf(std::string_view text, TLineEnd to);

// A whole file detected and converted: Text is code page 932 with the file's own line ends.
struct TDecoded {
  std::string Text;
  TFileFormat Format;
  TReplacements Replaced;
};
TDecoded Decode(std::string_view bytes, const TProgress& progress = {});

// Shown to the user: "Shift_JIS", "UTF-8", "UTF-8 (BOM)", ..., "CRLF", "LF", "CR".
const char* DisplayName(TEncoding encoding);
const char* DisplayName(TLineEnd lineEnd);
// Stable names for files that remember formats; Parse... false for an unknown name.
const char* Key(TEncoding encoding);
const char* Key(TLineEnd lineEnd);
bool ParseKey(std::string_view key, TEncoding& encoding);
bool ParseKey(std::string_view key, TLineEnd& lineEnd);

// "U+1F600" for a report.
std::string CodePointName(char32_t codePoint);

}  // namespace TextEncoding
