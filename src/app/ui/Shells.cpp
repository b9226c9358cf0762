#include "Shells.h"

TWebForm* WebForm = nullptr;
TWebForm::TWebForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("WebForm");
  if (!WebForm) WebForm = this;
}
TWebForm::~TWebForm() {
  if (WebForm == this) WebForm = nullptr;
}

TPreveiwDlg* PreveiwDlg = nullptr;
TPreveiwDlg::TPreveiwDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("PreveiwDlg");
  if (!PreveiwDlg) PreveiwDlg = this;
}
TPreveiwDlg::~TPreveiwDlg() {
  if (PreveiwDlg == this) PreveiwDlg = nullptr;
}
