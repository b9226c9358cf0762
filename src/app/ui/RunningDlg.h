// A small modal window shown while an outside program runs: the windows behind it keep
// painting, it closes by itself (mrOk) when the program ends, and Cancel, Esc or closing it
// answers mrCancel — the caller then ends the program.
#pragma once
#include <sys/types.h>

#include <QDialog>

class QLabel;
class QPushButton;
class QSocketNotifier;
class QTimer;

namespace Process {
class TChild;
}

class TRunningDlg : public QDialog {
  Q_OBJECT
 public:
  TRunningDlg(Process::TChild& child, const QString& caption, const QString& text,
              QWidget* parent = nullptr);
  ~TRunningDlg() override;

  pid_t ProcessId() const;
  // Blocks until the program ends and answers as the window would (tests).
  int WaitForEnd();

  QLabel* Message;
  QPushButton* CancelBtn;

 public slots:
  void reject() override;

 private:
  void CheckEnded();

  Process::TChild& child_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* poll_ = nullptr;
};
