#include "PageFormat.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "PageData.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFiles.h"

namespace {

constexpr const char* kHeader = "piyonote2-encodings 1";

// Ties an entry to the file name it was written for, without keeping the name twice.
std::string NameHash(const std::string& fileName) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : fileName) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char buf[20];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

struct Entry {
  int position = 0;
  TPageFormat format;
  std::string hash;
};

// False when the file is missing or any line is not as written.
bool ReadEntries(const std::string& path, std::vector<Entry>& entries) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    Entry e;
    std::string encoding, lineEnd, lossy, extra;
    if (!(fields >> e.position >> encoding >> lineEnd >> lossy >> e.hash) || (fields >> extra))
      return false;
    if (e.position < 0 || (lossy != "0" && lossy != "1") || e.hash.size() != 16 ||
        !TextEncoding::ParseKey(encoding, e.format.File.Encoding) ||
        !TextEncoding::ParseKey(lineEnd, e.format.File.LineEnd))
      return false;
    e.format.Lossy = lossy == "1";
    entries.push_back(std::move(e));
  }
  return true;
}

}  // namespace

namespace PageFormats {

std::string DefaultPath() {
  return ProgramFiles::DataFile(".enc");
}

void Load(const std::string& path, TDataList& pages) {
  std::vector<Entry> entries;
  if (!ReadEntries(path, entries)) entries.clear();
  std::vector<const Entry*> byPosition(static_cast<size_t>(pages.Count()), nullptr);
  for (const Entry& e : entries)
    if (e.position < pages.Count()) byPosition[static_cast<size_t>(e.position)] = &e;
  for (int i = 0; i < pages.Count(); ++i) {
    TDataItem* page = pages.Items(i);
    if (page->Format.Detected) {
      page->Format.Detected = false;
      continue;
    }
    const Entry* e = byPosition[static_cast<size_t>(i)];
    page->Format = e && e->hash == NameHash(page->FileName) ? e->format : TPageFormat{};
  }
}

bool Save(const std::string& path, const TDataList& pages, std::string* error) {
  std::string out = std::string(kHeader) + "\n";
  for (int i = 0; i < pages.Count(); ++i) {
    const TDataItem* page = pages.Items(i);
    const TPageFormat& f = page->Format;
    if (f.File == TextEncoding::TFileFormat{} && !f.Lossy) continue;
    out += std::to_string(i) + " " + TextEncoding::Key(f.File.Encoding) + " " +
           TextEncoding::Key(f.File.LineEnd) + " " + (f.Lossy ? "1" : "0") + " " +
           NameHash(page->FileName) + "\n";
  }
  return AtomicFile::Write(path, out, error, ProgramFiles::kPrivateFileMode);
}

}  // namespace PageFormats
