// The side file of page encodings: any bytes give every page a format it can be saved in.
#include "FuzzSupport.h"
#include "app/PageData.h"
#include "app/PageFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::TMemoryFile file(fuzz::Bytes(data, size));
  TDataList pages;
  pages.Add("one", "/home/user/a.txt", "a");
  pages.Add("two", "", "b");
  pages.Add("three", "/home/user/c.txt", "c");
  PageFormats::Load(file.Path(), pages);
  return 0;
}
