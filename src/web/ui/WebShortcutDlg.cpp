#include "WebShortcutDlg.h"

TWebShortcutDlg* WebShortcutDlg = nullptr;

TWebShortcutDlg::TWebShortcutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("WebShortcutDlg");
  if (!WebShortcutDlg) WebShortcutDlg = this;
}

TWebShortcutDlg::~TWebShortcutDlg() {
  if (WebShortcutDlg == this) WebShortcutDlg = nullptr;
}
