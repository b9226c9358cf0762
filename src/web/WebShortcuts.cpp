#include "WebShortcuts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "markup/TextLines.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ProgramFiles.h"

namespace WebShortcuts {

std::vector<std::string> Parse(std::string_view bytes) {
  return TextLines::Split(bytes);
}

std::string Format(const std::vector<std::string>& lines) {
  return TextLines::Join(lines);
}

std::string_view Name(std::string_view line) {
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

std::string_view Url(std::string_view line) {
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

std::string Line(std::string_view name, std::string_view url) {
  std::string line(name);
  line += '=';
  line += url;
  return line;
}

namespace {

// One character of a name in lower case: one byte, or two for a double-byte character.
unsigned LowerChar(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i++]);
  if (!CodePage::IsDBCSLeadByte(b) || i >= s.size()) return b >= 'A' && b <= 'Z' ? b + 32 : b;
  auto t = static_cast<unsigned char>(s[i++]);
  if (b == 0x82 && t >= 0x60 && t <= 0x79)
    t += 0x21;  // Ａ-Ｚ
  else if (b == 0x83 && t >= 0x9F && t <= 0xB6)
    t += 0x20;  // Α-Ω
  else if (b == 0x84 && t >= 0x40 && t <= 0x4E)
    t += 0x30;  // А-Н
  else if (b == 0x84 && t >= 0x4F && t <= 0x60)
    t += 0x31;  // О-Я (0x847F is no letter)
  return b << 8 | t;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (LowerChar(a, i) != LowerChar(b, j)) return false;
  return i == a.size() && j == b.size();
}

std::string UrlForName(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines)
    if (line.find('=') != std::string::npos && SameName(Name(line), name))
      return std::string(Url(line));
  return {};
}

std::string FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    unsigned c = LowerChar(name, i);
    if (c > 0xFF) folded += static_cast<char>(c >> 8);
    folded += static_cast<char>(c & 0xFF);
  }
  return folded;
}

std::vector<size_t> UrlSources(const std::vector<std::string>& lines) {
  std::unordered_map<std::string, size_t> first;
  size_t named = 0;
  for (const std::string& line : lines) named += line.find('=') != std::string::npos;
  first.reserve(named);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find('=') != std::string::npos) first.try_emplace(FoldName(Name(lines[i])), i);
  std::vector<size_t> sources(lines.size(), kNoUrl);
  for (size_t i = 0; i < lines.size(); ++i)
    if (auto it = first.find(FoldName(Name(lines[i]))); it != first.end()) sources[i] = it->second;
  return sources;
}

TReadResult Read(const std::string& path, std::vector<std::string>& lines, std::string* error) {
  lines.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno == ENOENT) return TReadResult::Missing;
    if (error) *error = std::strerror(errno);
    return TReadResult::Unreadable;
  }
  std::string bytes;
  char buf[8192];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  bool failed = std::ferror(f) != 0;
  int err = errno;
  std::fclose(f);
  if (failed) {
    if (error) *error = err ? std::strerror(err) : "read error";
    return TReadResult::Unreadable;
  }
  lines = Parse(bytes);
  return TReadResult::Read;
}

bool Write(const std::string& path, const std::vector<std::string>& lines, std::string* error) {
  return AtomicFile::Write(path, Format(lines), error, ProgramFiles::kPrivateFileMode);
}

}  // namespace WebShortcuts
