// What the program's dialogs share: their form font, their place on the screen, and their OK
// and Cancel buttons.
#pragma once
#include <QFont>
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

// "ＭＳ Ｐゴシック" at 12 pixels; the desktop's Japanese font stands in where it is missing.
QFont FormFont();
// Centred on the screen, not over whichever window happens to be active.
void CentreOnScreen(QWidget* window);
// OK (the default button, closes with mrOk) and Cancel (closes with mrCancel), named OKBtn and
// CancelBtn; the caller places them.
void MakeOkCancel(QDialog* dialog, const QString& ok, const QString& cancel, QPushButton*& okBtn,
                  QPushButton*& cancelBtn);
