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

// FNV-1a over the name as it matches: letters in lower case, a double-byte character's second
// byte as it is; seed keeps sections and the keys of each section apart.
uint32_t NameHash(uint32_t seed, std::string_view name) {
  uint32_t h = 2166136261u;
  auto mix = [&h](unsigned char b) {
    h ^= b;
    h *= 16777619u;
  };
  for (int i = 0; i < 4; ++i) mix(static_cast<unsigned char>(seed >> (8 * i)));
  for (size_t i = 0; i < name.size(); ++i) {
    auto b = static_cast<unsigned char>(name[i]);
    if (CodePage::IsDBCSLeadByte(b) && i + 1 < name.size()) {
      mix(b);
      mix(static_cast<unsigned char>(name[++i]));
    } else {
      mix(static_cast<unsigned char>(Lower(static_cast<char>(b))));
    }
  }
  return h;
}

// A key line's name: what stands before its "=", without blanks.
std::string_view KeyName(std::string_view line) {
  return Trim(line.substr(0, line.find('=')));
}

// A file that starts with a UTF-16 byte-order mark, as the same text in code page 932.
bool FromUtf16File(std::string& bytes) {
  if (bytes.size() < 2) return false;
  auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
  bool little = b0 == 0xFF && b1 == 0xFE;
  if (!little && !(b0 == 0xFE && b1 == 0xFF)) return false;
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
    auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
    text.push_back(static_cast<char16_t>(hi << 8 | lo));
  }
  bytes = CodePage::FromUtf16(text);
  return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  std::string data;
  if (std::FILE* f = std::fopen(fileName_.c_str(), "rb")) {
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, n);
    std::fclose(f);
  }
  Index(std::move(data));
}

TIniFile TIniFile::FromText(std::string_view bytes) {
  TIniFile ini;
  ini.Index(std::string(bytes));
  return ini;
}

void TIniFile::Index(std::string bytes) {
  FromUtf16File(bytes);
  data_ = std::move(bytes);
  sections_.assign(1, TSection{TLine{0, 0, TKind::Other}, {}});
  slots_.assign(64, TSlot{kEmpty, kEmpty, 0});
  used_ = 0;
  for (size_t start = 0; start < data_.size();) {
    size_t end = data_.find('\n', start);
    if (end == std::string::npos) end = data_.size();
    std::string_view line(data_.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view name;
    if (SectionName(line, name)) {
      sections_.push_back(
          TSection{TLine{start, static_cast<uint32_t>(line.size()), TKind::Header}, {}});
      IndexSection(static_cast<uint32_t>(sections_.size() - 1));
    } else {
      TKind kind = line.find('=') != std::string_view::npos ? TKind::Key
                   : Trim(line).empty()                     ? TKind::Blank
                                                            : TKind::Other;
      AddLine(sections_.back(), std::string_view(data_.data() + start, end - start), start, kind);
    }
    start = end + 1;
  }
}

// Lines of the same filler kind join the run before them, so empty lines cost nothing each.
void TIniFile::AddLine(TSection& section, std::string_view bytes, uint64_t begin, TKind kind) {
  if (kind != TKind::Key && !section.lines.empty()) {
    TLine& last = section.lines.back();
    uint64_t joined = begin + bytes.size() - last.begin;
    if (last.kind == kind && !(last.begin & kOwned) && joined <= 0xFFFFFFFFu) {
      last.size = static_cast<uint32_t>(joined);
      return;
    }
  }
  if (bytes.size() > 0xFFFFFFFFu) bytes = bytes.substr(0, 0xFFFFFFFFu);
  section.lines.push_back(TLine{begin, static_cast<uint32_t>(bytes.size()), kind});
  // Keys before the first section are kept but can never be read.
  auto sec = static_cast<uint32_t>(&section - sections_.data());
  if (kind == TKind::Key && sec > 0) IndexKey(sec, static_cast<uint32_t>(section.lines.size() - 1));
}

std::string_view TIniFile::Bytes(const TLine& line) const {
  if (line.begin & kOwned) return owned_[line.begin & ~kOwned];
  return std::string_view(data_).substr(line.begin, line.size);
}

TIniFile::TLine TIniFile::Own(std::string text, TKind kind) {
  owned_.push_back(std::move(text));
  return TLine{(owned_.size() - 1) | kOwned, 0, kind};
}

size_t TIniFile::FindSlot(uint32_t section, uint32_t hash, std::string_view name,
                          bool isSection) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const TSlot& slot = slots_[i];
    if (slot.section == kEmpty) return i;
    if (slot.hash != hash || (slot.line == kHeader) != isSection) continue;
    std::string_view found;
    if (isSection) {
      SectionName(Bytes(sections_[slot.section].header), found);
    } else {
      if (slot.section != section) continue;
      found = KeyName(Bytes(sections_[slot.section].lines[slot.line]));
    }
    if (SameName(found, name)) return i;
  }
}

void TIniFile::Insert(uint32_t section, uint32_t line, uint32_t hash) {
  if ((used_ + 1) * 2 > slots_.size()) {
    std::vector<TSlot> old(slots_.size() * 2, TSlot{kEmpty, kEmpty, 0});
    old.swap(slots_);
    size_t mask = slots_.size() - 1;
    for (const TSlot& slot : old) {
      if (slot.section == kEmpty) continue;
      size_t i = slot.hash & mask;
      while (slots_[i].section != kEmpty) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }
  size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].section != kEmpty) i = (i + 1) & mask;
  slots_[i] = TSlot{section, line, hash};
  ++used_;
}

// Only the first section of a name and the first line of a key count, as when reading.
void TIniFile::IndexSection(uint32_t section) {
  std::string_view name;
  SectionName(Bytes(sections_[section].header), name);
  uint32_t hash = NameHash(0, name);
  if (slots_[FindSlot(0, hash, name, true)].section == kEmpty) Insert(section, kHeader, hash);
}

void TIniFile::IndexKey(uint32_t section, uint32_t line) {
  std::string_view name = KeyName(Bytes(sections_[section].lines[line]));
  uint32_t hash = NameHash(section + 1, name);
  if (slots_[FindSlot(section, hash, name, false)].section == kEmpty) Insert(section, line, hash);
}

uint32_t TIniFile::FindSection(std::string_view section) const {
  section = Trim(section);
  const TSlot& slot = slots_[FindSlot(0, NameHash(0, section), section, true)];
  return slot.section;
}

uint32_t TIniFile::FindKey(uint32_t section, std::string_view key) const {
  key = Trim(key);
  const TSlot& slot = slots_[FindSlot(section, NameHash(section + 1, key), key, false)];
  return slot.section == kEmpty ? kEmpty : slot.line;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const {
  uint32_t sec = FindSection(section);
  uint32_t at = sec != kEmpty ? FindKey(sec, key) : kEmpty;
  std::string_view value = def;
  if (at != kEmpty) {
    std::string_view line = Bytes(sections_[sec].lines[at]);
    value = line.substr(line.find('=') + 1);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    // What the file's other readers pass on as a C string ends at a NUL.
    value = Trim(value.substr(0, value.find('\0')));
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
  uint32_t sec = FindSection(section);
  if (sec == kEmpty) {
    // A blank line before the new section, unless the file is empty or already ends in one.
    const TSection& last = sections_.back();
    bool empty = sections_.size() == 1 && last.lines.empty();
    bool blankEnd = !last.lines.empty() && last.lines.back().kind == TKind::Blank;
    if (!empty && !blankEnd) sections_.back().lines.push_back(Own("", TKind::Blank));
    sections_.push_back(TSection{Own("[" + std::string(Trim(section)) + "]", TKind::Header), {}});
    sec = static_cast<uint32_t>(sections_.size() - 1);
    IndexSection(sec);
    sections_[sec].lines.push_back(Own(std::move(line), TKind::Key));
    IndexKey(sec, 0);
    return;
  }
  std::vector<TLine>& lines = sections_[sec].lines;
  uint32_t at = FindKey(sec, key);
  if (at != kEmpty) {
    lines[at] = Own(std::move(line), TKind::Key);
    return;
  }
  // After the section's last non-blank line: only blank lines follow it, so no indexed line
  // moves.
  size_t pos = lines.size();
  while (pos > 0 && lines[pos - 1].kind == TKind::Blank) --pos;
  lines.insert(lines.begin() + static_cast<long>(pos), Own(std::move(line), TKind::Key));
  IndexKey(sec, static_cast<uint32_t>(pos));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string text;
  // Every line, also each one of a run, ends in CR LF.
  auto put = [&text](std::string_view bytes) {
    for (size_t start = 0;;) {
      size_t end = bytes.find('\n', start);
      std::string_view line =
          bytes.substr(start, end == std::string_view::npos ? end : end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      text += line;
      text += "\r\n";
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  };
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i > 0) put(Bytes(sections_[i].header));
    for (const TLine& line : sections_[i].lines) put(Bytes(line));
  }
  return text;
}

bool TIniFile::UpdateFile(std::string* error) {
  if (!dirty_) return true;
  if (!AtomicFile::Write(fileName_, Text(), error, ProgramFiles::kPrivateFileMode)) return false;
  dirty_ = false;
  return true;
}
