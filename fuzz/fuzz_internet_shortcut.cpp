// Internet-shortcut files (".url") and freedesktop link files: the address they hold, read as
// the Favorites do, and what the address box makes of it; the file names made for new ones.
#include "FuzzSupport.h"
#include "app/IniFile.h"
#include "platform/CodePage.h"
#include "web/Favorites.h"
#include "web/WebAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::TMemoryFile file(fuzz::Bytes(data, size));
  TIniFile ini(file.Path());
  std::string url = ini.ReadString(Favorites::kSection, Favorites::kUrlKey, "");
  (void)web::ParseAddress(CodePage::ToUtf8(url));
  (void)Favorites::IsInternetShortcut(url);
  std::string_view bytes = fuzz::Bytes(data, size);
  (void)web::ParseAddress(Favorites::DesktopLinkUrl(bytes));
  (void)Favorites::ShortcutText(bytes);
  std::string name = Favorites::ShortcutFileName(bytes, "fallback");
  if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos ||
      name[0] == '.')
    fuzz::Broken("a file name that is no plain name", name);
  return 0;
}
