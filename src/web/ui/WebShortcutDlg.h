// The registration dialog of the web shortcuts: a grid of names and URLs.
#pragma once
#include <QDialog>

class TWebShortcutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TWebShortcutDlg(QWidget* parent = nullptr);
  ~TWebShortcutDlg() override;
};
extern TWebShortcutDlg* WebShortcutDlg;
