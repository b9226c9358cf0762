// TFenEdit keyboard input.
#include "FenEdit.h"

bool TFenEdit::InputMessage(TMessage&) { return false; }
