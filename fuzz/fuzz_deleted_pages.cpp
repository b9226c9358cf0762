// The store of deleted pages: any bytes end in records or EPageFileError; what was read
// writes and reads back the same.
#include "FuzzSupport.h"
#include "app/DeletedPages.h"
#include "app/TypedValue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::deque<TDeletedPage> pages;
  try {
    TDeletedPages::Parse(std::string(fuzz::Bytes(data, size)), pages);
  } catch (const EPageFileError&) {
  }
  std::deque<TDeletedPage> again;
  TDeletedPages::Parse(TDeletedPages::Serialize(pages), again);
  if (again.size() != pages.size()) fuzz::Broken("record count changed on the way back");
  for (size_t i = 0; i < pages.size(); ++i) {
    const TDeletedPage& a = pages[i];
    const TDeletedPage& b = again[i];
    if (a.Name != b.Name || a.FileName != b.FileName || a.Text != b.Text ||
        a.Position != b.Position)
      fuzz::Broken("record changed on the way back", std::to_string(i));
  }
  return 0;
}
