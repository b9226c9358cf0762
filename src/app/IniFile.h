// The settings file: a profile file of "[Section]" lines followed by "key=value" lines, in
// code page 932 bytes. Reading follows the rules the file's users know from the original
// program: section and key names match without regard to case, a value loses the blanks at
// both ends and one pair of enclosing quotes, at most 2047 bytes of it come back, and a
// number that cannot be read gives the caller's default.
//
// Writes change the copy in memory; UpdateFile puts the whole file on disk in one atomic
// replacement, so a failed write never leaves half a settings file.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
 public:
  // Reads the file when it exists; a missing or unreadable file reads as empty.
  explicit TIniFile(std::string fileName);

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
  // Index of the section's header line, or lines_.size() when there is none.
  size_t FindSection(std::string_view section) const;
  // Index of the key's line within the section starting at header `sec`, or npos.
  size_t FindKey(size_t sec, std::string_view key) const;

  std::string fileName_;
  std::vector<std::string> lines_;  // without their line ends
  bool dirty_ = false;
};
