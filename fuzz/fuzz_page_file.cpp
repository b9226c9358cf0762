// The page file: any bytes end in pages or EPageFileError. What loads must save and load
// back to the same pages.
#include "FuzzSupport.h"
#include "app/PageData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDataList list;
  TMemoryStream in{std::string(fuzz::Bytes(data, size))};
  try {
    list.LoadFromStream(in);
  } catch (const EPageFileError&) {
  }
  TMemoryStream out;
  list.SaveToStream(out);
  TDataList again;
  TMemoryStream back(out.TakeBytes());
  again.LoadFromStream(back);  // what the program wrote must read; anything else is a crash
  if (again.Count() != list.Count()) fuzz::Broken("page count changed on the way back");
  for (int i = 0; i < list.Count(); ++i) {
    const TDataItem& a = *list.Items(i);
    const TDataItem& b = *again.Items(i);
    if (a.Name != b.Name || a.FileName != b.FileName || a.Text != b.Text)
      fuzz::Broken("page changed on the way back", std::to_string(i));
  }
  return 0;
}
