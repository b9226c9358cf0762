// The settings file: a profile file of "[Section]" lines followed by "key=value" lines, in
// code page 932 bytes. Reading follows the rules the file's users know from the original
// program: section and key names match without regard to case, a value loses the blanks at
// both ends and one pair of enclosing quotes, at most 2047 bytes of it come back, and a
// number that cannot be read gives the caller's default. A file in UTF-16 with a byte-order
// mark is read as the same text in code page 932, and a NUL byte ends a value.
//
// The file is indexed once when read: every section and key is found through a hash of its
// name, and runs of blank or other lines are kept as one span of the bytes read, so a file of
// millions of empty lines costs little more than its size.
//
// Writes change the copy in memory; UpdateFile puts the whole file on disk in one atomic
// replacement, so a failed write never leaves half a settings file.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
 public:
  // Reads the file when it exists; a missing or unreadable file reads as empty.
  explicit TIniFile(std::string fileName);
  // The same rules over bytes already in memory (no file is written for it).
  static TIniFile FromText(std::string_view bytes);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Decimal, or hexadecimal after "$", "0x" or "0X"; anything else gives def.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // An integer, nonzero meaning true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // A value holding a line break is cut there: the file keeps one value per line.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Writes the file when anything was written since it was read (a new file is created).
  // False, with a reason in `error` when given, when it cannot be written; the file on disk
  // is then as it was.
  bool UpdateFile(std::string* error = nullptr);

  // The text the file would hold now.
  std::string Text() const;

  // The number rule of ReadInteger, on its own; false when text is not a number.
  static bool ParseInteger(std::string_view text, int& value);

 private:
  TIniFile() = default;
  void Index(std::string bytes);

  enum class TKind : uint8_t { Header, Key, Other, Blank };
  // One line, or a run of Other or Blank lines, as a span of data_; lines written since the
  // file was read live in owned_ (begin then indexes owned_, with kOwned set).
  struct TLine {
    uint64_t begin;
    uint32_t size;
    TKind kind;
  };
  static constexpr uint64_t kOwned = uint64_t{1} << 63;
  struct TSection {
    TLine header;  // sections_[0] holds the lines before the first header and has none
    std::vector<TLine> lines;
  };
  // Where a name is found: a section (line == kHeader) or a key line of a section.
  struct TSlot {
    uint32_t section;
    uint32_t line;
    uint32_t hash;
  };
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
  static constexpr uint32_t kHeader = 0xFFFFFFFF;

  std::string_view Bytes(const TLine& line) const;
  void AddLine(TSection& section, std::string_view bytes, uint64_t begin, TKind kind);
  TLine Own(std::string text, TKind kind);
  // The slot of a name; on a miss, the empty slot where it would go.
  size_t FindSlot(uint32_t section, uint32_t hash, std::string_view name, bool isSection) const;
  void Insert(uint32_t section, uint32_t line, uint32_t hash);
  // The first section of that name, or kEmpty.
  uint32_t FindSection(std::string_view section) const;
  // The key's line within the section, or kEmpty.
  uint32_t FindKey(uint32_t section, std::string_view key) const;
  void IndexSection(uint32_t section);
  void IndexKey(uint32_t section, uint32_t line);

  std::string fileName_;
  std::string data_;  // the bytes read, in code page 932
  std::vector<std::string> owned_;
  std::vector<TSection> sections_;
  std::vector<TSlot> slots_;  // open addressing, a power of two in size
  size_t used_ = 0;
  bool dirty_ = false;
};
