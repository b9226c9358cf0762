#include "Shells.h"

TFavoriteDlg* FavoriteDlg = nullptr;
TFavoriteDlg::TFavoriteDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("FavoriteDlg");
  if (!FavoriteDlg) FavoriteDlg = this;
}
TFavoriteDlg::~TFavoriteDlg() {
  if (FavoriteDlg == this) FavoriteDlg = nullptr;
}

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

TWebShortcutDlg* WebShortcutDlg = nullptr;
TWebShortcutDlg::TWebShortcutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("WebShortcutDlg");
  if (!WebShortcutDlg) WebShortcutDlg = this;
}
TWebShortcutDlg::~TWebShortcutDlg() {
  if (WebShortcutDlg == this) WebShortcutDlg = nullptr;
}
