// TFenEdit input method: composition start and end, and the result string, which is typed
// as one string in code page 932.
#include "FenEdit.h"

void TFenEdit::StartComposition() {
  composing_ = true;
  if (OnIMEChanging) {
    CaretIntoViewIfFixed();
    OnIMEChanging(this);
  }
}

void TFenEdit::EndComposition() {
  composing_ = false;
  if (OnIMEChanged) OnIMEChanged(this);
}

void TFenEdit::CompositionMessage(const TMessage& m) {
  if (ReadOnly || Host() == nullptr) return;
  if (!(static_cast<unsigned>(m.LParam) & GCS_RESULTSTR)) return;
  std::string result = Host()->GetCompositionString(GCS_RESULTSTR);
  if (!result.empty()) TypeText(result);
}
