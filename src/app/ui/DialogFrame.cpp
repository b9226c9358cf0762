#include "DialogFrame.h"

#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "Application.h"

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

void MakeOkCancel(QDialog* dialog, const QString& ok, const QString& cancel, QPushButton*& okBtn,
                  QPushButton*& cancelBtn) {
  okBtn = new QPushButton(ok, dialog);
  okBtn->setObjectName(QStringLiteral("OKBtn"));
  okBtn->setDefault(true);
  cancelBtn = new QPushButton(cancel, dialog);
  cancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  QObject::connect(okBtn, &QPushButton::clicked, dialog, [dialog] { dialog->done(mrOk); });
  QObject::connect(cancelBtn, &QPushButton::clicked, dialog, [dialog] { dialog->done(mrCancel); });
}
