// The program's other windows, as empty shells of their own classes until their features are
// built: each exists, is created and destroyed in its place in the program's fixed order, and
// can be shown modally through the application object. A window whose feature is built moves
// to its own files and leaves this list.
//
// TWebForm and TPreveiwDlg will hold web views; those are made when the window is first
// shown, never at start-up.
#pragma once
#include <QDialog>
#include <QWidget>

// Built, in their own files; still found here by older includes.
#include "AboutBox.h"
#include "OptionDlg.h"
#include "markup/ui/TagDialogs.h"
#include "web/ui/FavoriteDlg.h"
#include "web/ui/WebShortcutDlg.h"

class TWebForm : public QWidget {
  Q_OBJECT
 public:
  explicit TWebForm(QWidget* parent = nullptr);
  ~TWebForm() override;
};
extern TWebForm* WebForm;

class TPreveiwDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPreveiwDlg(QWidget* parent = nullptr);
  ~TPreveiwDlg() override;
};
extern TPreveiwDlg* PreveiwDlg;
