// The encoding and line ends of each page's file, and the small file beside the page file
// that remembers them (the page file's own layout has no room for them).
//
// Side file: a first line "piyonote2-encodings 1", then one line per page that is not plain
// code page 932 with CR LF: "<position> <encoding> <line end> <lossy 0|1> <file name hash>".
// An entry applies only to the page at that position bound to the same file name; a missing
// or damaged side file means code page 932 with CR LF for every page.
#pragma once
#include <string>

#include "platform/TextEncoding.h"

class TDataList;

struct TPageFormat {
  TextEncoding::TFileFormat File;
  // Opening had to replace characters the file holds: saving over it would lose them.
  bool Lossy = false;
  // Just taken from the bound file itself at start-up: a remembered format does not apply.
  bool Detected = false;
};

namespace PageFormats {

// The side file beside the page file.
std::string DefaultPath();
// Sets the format of every page from the side file at `path`; pages marked Detected keep
// theirs and lose the mark.
void Load(const std::string& path, TDataList& pages);
// Writes the formats of `pages` to `path` (atomic replace). False with a reason on failure.
bool Save(const std::string& path, const TDataList& pages, std::string* error = nullptr);

}  // namespace PageFormats
