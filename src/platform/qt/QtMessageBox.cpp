#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/CodePage.h"

namespace {
QString FromCp932(const std::string& s) {
  std::u16string u = CodePage::ToUtf16(s);
  return QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
}
}  // namespace

int QtMessageBox::Show(const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(caption.empty() ? QApplication::applicationDisplayName() : FromCp932(caption));
  box.setText(FromCp932(text));
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONWARNING:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (flags & MB_BUTTONMASK) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDOK;
  }
}
