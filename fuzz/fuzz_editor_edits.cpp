// The editor under a stream of user actions — keys, typed bytes, clicks, the input method,
// clipboard, undo and redo, rewrapping — with its invariants checked after each one. The
// input is the action stream: one byte picks the action, the next ones are its arguments.
#include <memory>

#include "FenEdit/FenEdit.h"
#include "FuzzSupport.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"
#include "platform/headless/HeadlessWindowHost.h"

namespace {

constexpr unsigned kKeys[] = {VK_LEFT,   VK_RIGHT, VK_UP,     VK_DOWN,  VK_HOME,
                              VK_END,    VK_PRIOR, VK_NEXT,   VK_BACK,  VK_DELETE,
                              VK_RETURN, VK_TAB,   VK_INSERT, VK_ESCAPE};

class TStream {
 public:
  TStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text() {
    size_t n = Byte() % 8;
    std::string s;
    for (size_t i = 0; i < n && More(); ++i) s += char(Byte());
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

void Check(const TFenEdit& edit, const char* after) {
  std::string broken = edit.CheckInvariants();
  if (!broken.empty()) fuzz::Broken(after, broken);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A clipboard of this input's own: one shared by all would carry text from input to input.
  MemoryClipboard clipboard;
  Clipboard* old = SetCurrentClipboard(&clipboard);
  HeadlessWindowHost host(320, 200);
  host.Canvas().SetMetrics(8, 16, 16);
  auto edit = std::make_unique<TFenEdit>();
  host.Attach(edit.get());
  edit->SetColumn(20);
  edit->CreateHandle();
  edit->SetText("first line\r\n\x93\xfa\x96\x7b\x8c\xea\tand a tab\r\nlast");
  TStream in(data, size);
  for (int steps = 0; in.More() && steps < 200; ++steps) {
    switch (in.Byte() % 12) {
      case 0:
        host.Char(in.Byte());
        Check(*edit, "typing");
        break;
      case 1: {
        uint8_t b = in.Byte();
        host.SetKeyDown(VK_SHIFT, b & 0x80);
        host.SetKeyDown(VK_CONTROL, b & 0x40);
        host.KeyDown(kKeys[(b & 0x3F) % std::size(kKeys)]);
        host.SetKeyDown(VK_SHIFT, false);
        host.SetKeyDown(VK_CONTROL, false);
        Check(*edit, "a key");
        break;
      }
      case 2:
        edit->Undo();
        Check(*edit, "undo");
        break;
      case 3:
        edit->Redo();
        Check(*edit, "redo");
        break;
      case 4:
        edit->SelectAll();
        Check(*edit, "select all");
        break;
      case 5:
        edit->SetSelText(in.Text());
        Check(*edit, "replacing the selection");
        break;
      case 6: {
        int x = in.Byte() * 2;
        int y = in.Byte();
        uint8_t how = in.Byte();
        if (how & 1) {
          host.DoubleClick(x, y);
        } else {
          host.MouseDown(x, y, how & 2 ? MK_SHIFT : 0);
          host.MouseUp(x, y);
        }
        Check(*edit, "a click");
        break;
      }
      case 7:
        edit->SetWordWrap(!edit->GetWordWrap());
        Check(*edit, "switching the wrap");
        break;
      case 8:
        edit->SetColumn(1 + in.Byte() % 100);
        Check(*edit, "a new column");
        break;
      case 9:
        host.Compose("", in.Text());
        Check(*edit, "an input method result");
        break;
      case 10:
        edit->CutToClipboard();
        Check(*edit, "cut");
        break;
      case 11:
        edit->PasteFromClipboard();
        Check(*edit, "paste");
        break;
    }
  }
  edit.reset();
  SetCurrentClipboard(old);
  return 0;
}
