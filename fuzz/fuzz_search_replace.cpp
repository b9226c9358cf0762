// Search patterns and replacing over random text: the matcher, the line layer's
// replace-all and the editor's replace-all, with any text, pattern and replacement.
#include <memory>

#include "FenEdit/FenEdit.h"
#include "FenEdit/FindMatcher.h"
#include "FuzzSupport.h"
#include "markup/TextLines.h"
#include "platform/headless/HeadlessWindowHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::TPieces pieces(fuzz::Bytes(data, size));
  std::string_view what = pieces.Next();
  std::string_view with = pieces.Next();
  std::string_view text = pieces.Rest();

  int at = FindMatch(text, what);
  if (at < 0 || size_t(at) > text.size() || (at > 0 && what.empty()))
    fuzz::Broken("match outside the text");
  (void)TextLines::ReplaceAll(text, what, with);

  HeadlessWindowHost host(320, 200);
  host.Canvas().SetMetrics(8, 16, 16);
  auto edit = std::make_unique<TFenEdit>();
  host.Attach(edit.get());
  edit->CreateHandle();
  edit->OnFind = [](TObject*, std::string_view str, const std::string& findchr, int, int& x, int&) {
    x = FindMatch(str, findchr);
  };
  edit->SetText(text);
  if (!what.empty()) {
    edit->SetFindText(std::string(what));
    edit->FindFirst();
    edit->FindNext();
    edit->FindPrev();
    edit->ReplaceText(std::string(what), std::string(with), true, false, true);
  }
  std::string broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("editor state after replace:", broken);
  edit->Undo();
  broken = edit->CheckInvariants();
  if (!broken.empty()) fuzz::Broken("editor state after undo:", broken);
  return 0;
}
