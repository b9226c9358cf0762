// What the program's dialogs share: their form font and their place on the screen.
#pragma once
#include <QFont>

class QWidget;

// "ＭＳ Ｐゴシック" at 12 pixels; the desktop's Japanese font stands in where it is missing.
QFont FormFont();
// Centred on the screen, not over whichever window happens to be active.
void CentreOnScreen(QWidget* window);
