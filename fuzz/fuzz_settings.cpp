// The settings file: read with every kind of lookup the program makes, then written back.
#include "FuzzSupport.h"
#include "app/IniFile.h"

namespace {
constexpr const char* kSections[] = {"Editor", "Etc", "Window", "Find", "Font", "editor", ""};
constexpr const char* kKeys[] = {"Column", "Txf", "Left", "FindColor", "Name", "column", ""};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::TMemoryFile file(fuzz::Bytes(data, size));
  TIniFile ini(file.Path());
  for (const char* section : kSections) {
    for (const char* key : kKeys) {
      std::string value = ini.ReadString(section, key, "default");
      if (value.size() > 2047) fuzz::Broken("value longer than 2047 bytes");
      (void)ini.ReadInteger(section, key, -1);
      (void)ini.ReadBool(section, key, true);
    }
  }
  int number = 0;
  (void)TIniFile::ParseInteger(fuzz::Bytes(data, size), number);
  // A written value reads back as written (one line, blanks and quotes aside).
  ini.WriteString("Etc", "Txf", "-io ~txf.tmp");
  if (ini.ReadString("Etc", "Txf", "") != "-io ~txf.tmp") fuzz::Broken("written value lost");
  std::string text = ini.Text();
  fuzz::TMemoryFile rewritten(text);
  TIniFile again(rewritten.Path());
  if (again.ReadString("Etc", "Txf", "") != "-io ~txf.tmp") fuzz::Broken("value lost in the file");
  return 0;
}
