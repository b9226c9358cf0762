// Internet-shortcut files (".url"): the address they hold, read as the Favorites do, and
// what the address box makes of it.
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
  return 0;
}
