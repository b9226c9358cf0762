// The class history of the tag dialogs: its lines, each turned into the dialog's text.
#include "FuzzSupport.h"
#include "markup/TextLines.h"
#include "platform/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines = TextLines::Split(fuzz::Bytes(data, size));
  std::string written;
  for (const std::string& line : lines) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      fuzz::Broken("a line holds a line break or NUL");
    written += CodePage::FromUtf16(CodePage::ToUtf16(line)) + "\r\n";
  }
  if (TextLines::Split(written).size() != lines.size()) fuzz::Broken("line count changed");
  return 0;
}
