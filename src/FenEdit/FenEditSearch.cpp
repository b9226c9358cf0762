// TFenEdit search and replace.
#include "FenEdit.h"

void TFenEdit::ResetSearch() {}
