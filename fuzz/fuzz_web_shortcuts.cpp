// The web-shortcut list: lines, names and addresses, lookups by name, written back.
#include "FuzzSupport.h"
#include "web/WebShortcuts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines = WebShortcuts::Parse(fuzz::Bytes(data, size));
  // Lookups by a few names only: a lookup per line would cost the square of the list.
  size_t asked = 0;
  for (const std::string& line : lines) {
    std::string_view name = WebShortcuts::Name(line);
    std::string_view url = WebShortcuts::Url(line);
    (void)WebShortcuts::SameName(name, url);
    if (asked++ < 8) (void)WebShortcuts::UrlForName(lines, name);
    (void)WebShortcuts::Line(name, url);
  }
  std::vector<std::string> again = WebShortcuts::Parse(WebShortcuts::Format(lines));
  if (again != lines) fuzz::Broken("list changed on the way back");
  return 0;
}
