// TFenEdit window procedure: the messages the control answers.
#include "FenEdit.h"

void TFenEdit::WndProc(TMessage& message) {
  if (InputMessage(message)) return;
  TCustomControl::WndProc(message);
}
