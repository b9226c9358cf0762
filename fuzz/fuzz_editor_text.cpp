// Text loaded into the editor: any bytes, line ends and NULs, wrapped at a column taken from
// the input, then the few steps that touch every row.
#include <memory>

#include "FenEdit/FenEdit.h"
#include "FuzzSupport.h"
#include "platform/headless/HeadlessWindowHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  bool wrap = data[0] & 1;
  int column = 1 + data[1];  // the wide columns cost more per row, not more inputs
  std::string_view text = fuzz::Bytes(data + 2, size - 2);

  HeadlessWindowHost host(320, 200);
  host.Canvas().SetMetrics(8, 16, 16);
  auto edit = std::make_unique<TFenEdit>();
  host.Attach(edit.get());
  edit->SetWordWrap(wrap);
  edit->SetColumn(column);
  edit->CreateHandle();

  fuzz::TMemoryFile file(text);
  edit->LoadFromFile(file.Path());
  std::string broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("after loading:", broken);
  edit->SetText(text);
  broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("after SetText:", broken);
  edit->SelectAll();
  std::string all = edit->GetSelText();
  edit->SetSelText(all);
  broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("after replacing everything:", broken);
  if (edit->GetText() != all) fuzz::Broken("text changed when put back");
  edit->SetWordWrap(!wrap);
  broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("after rewrapping:", broken);
  return 0;
}
