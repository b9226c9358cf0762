#include "DialogFrame.h"

#include <QScreen>
#include <QWidget>

QFont FormFont() {
  QFont font(QString::fromUtf8("ＭＳ Ｐゴシック"));
  font.setPixelSize(12);
  return font;
}

void CentreOnScreen(QWidget* window) {
  if (QScreen* s = window->screen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    window->move(frame.topLeft());
  }
}
