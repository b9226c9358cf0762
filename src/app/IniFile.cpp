// TIniFile: the settings file.
#include "IniFile.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ProgramFiles.h"

namespace {

constexpr size_t kMaxValue = 2047;  // what a 2048-byte buffer brings back
constexpr size_t npos = static_cast<size_t>(-1);

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Letters match without case; the second byte of a double-byte character is no letter.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (CodePage::IsDBCSLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

// "[name]" (blanks around allowed): the name, else false.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  std::FILE* f = std::fopen(fileName_.c_str(), "rb");
  if (!f) return;
  std::string data;
  char buf[8192];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, n);
  std::fclose(f);
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

size_t TIniFile::FindSection(std::string_view section) const {
  std::string_view name;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (SectionName(lines_[i], name) && SameName(name, Trim(section))) return i;
  return lines_.size();
}

size_t TIniFile::FindKey(size_t sec, std::string_view key) const {
  std::string_view name;
  key = Trim(key);
  for (size_t i = sec + 1; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    if (SectionName(line, name)) break;
    size_t eq = line.find('=');
    if (eq != std::string::npos && SameName(Trim(std::string_view(line).substr(0, eq)), key))
      return i;
  }
  return npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  size_t sec = FindSection(section);
  size_t at = sec < lines_.size() ? FindKey(sec, key) : npos;
  std::string_view value = def;
  if (at != npos) {
    const std::string& line = lines_[at];
    value = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
      value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValue));
}

bool TIniFile::ParseInteger(std::string_view s, int& value) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (!s.empty() && s.front() == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return false;
  uint64_t n = 0;
  for (char c : s) {
    int d = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return false;
    n = n * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (n > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // Eight hex digits hold any 32-bit pattern: $FF000005 is the system colour it names.
    auto bits = static_cast<uint32_t>(n);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
  }
  int64_t v = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  int v = def;
  return ParseInteger(ReadString(section, key, ""), v) ? v : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  size_t cut = value.find_first_of("\r\n");
  if (cut != std::string_view::npos) value = value.substr(0, cut);
  std::string line = std::string(Trim(key)) + "=" + std::string(value);
  dirty_ = true;
  size_t sec = FindSection(section);
  if (sec == lines_.size()) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  size_t at = FindKey(sec, key);
  if (at != npos) {
    lines_[at] = std::move(line);
    return;
  }
  // After the section's last non-blank line.
  size_t last = sec;
  std::string_view name;
  for (size_t i = sec + 1; i < lines_.size() && !SectionName(lines_[i], name); ++i)
    if (!Trim(lines_[i]).empty()) last = i;
  lines_.insert(lines_.begin() + static_cast<long>(last) + 1, std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool TIniFile::UpdateFile(std::string* error) {
  if (!dirty_) return true;
  if (!AtomicFile::Write(fileName_, Text(), error, ProgramFiles::kPrivateFileMode)) return false;
  dirty_ = false;
  return true;
}
