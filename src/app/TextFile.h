// Reading a text file for a page and writing a page's text back, in the file's own encoding
// and line ends. The page's text is code page 932 with CR LF line ends.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace TextFile {

// The share of the work done so far, 0 to 1.
using TProgress = std::function<void(double done)>;

struct TOpened {
  std::string Text;  // CR LF line ends, NUL bytes dropped
  TextEncoding::TFileFormat Format;
  TextEncoding::TReplacements Replaced;
};

// Reads and converts the file at `path` (a native name). False with `error` set when it
// cannot be read (missing, not a regular file, a read error, too large for memory).
bool Read(const std::string& path, TOpened& opened, std::string& error,
          const TProgress& progress = {});

// The bytes of `text` in `format`; what the encoding cannot hold is counted in `replaced`.
std::string Encode(std::string_view text, const TextEncoding::TFileFormat& format,
                   TextEncoding::TReplacements* replaced, const TProgress& progress = {});

// Replaces the file's content with `bytes` atomically (the old file stays on failure).
bool Write(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace TextFile
