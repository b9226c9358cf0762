#include "RunningDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

#include "Application.h"
#include "DialogFrame.h"
#include "platform/Process.h"

TRunningDlg::TRunningDlg(Process::TChild& child, const QString& caption, const QString& text,
                         QWidget* parent)
    : QDialog(parent), child_(child) {
  setObjectName(QStringLiteral("RunningDlg"));
  setWindowTitle(caption);
  setFont(FormFont());
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  Message = new QLabel(text, this);
  Message->setObjectName(QStringLiteral("Message"));
  // A bar that moves on its own says the program is alive without knowing how far it got.
  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);
  busy->setTextVisible(false);
  CancelBtn = new QPushButton(QString::fromUtf8("キャンセル"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  connect(CancelBtn, &QPushButton::clicked, this, &TRunningDlg::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Message);
  layout->addWidget(busy);
  layout->addLayout(buttons);
  setMinimumWidth(300);

  if (child_.EndNotifier() >= 0) {
    notifier_ = new QSocketNotifier(child_.EndNotifier(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TRunningDlg::CheckEnded);
  } else {
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, &TRunningDlg::CheckEnded);
    poll_->start(50);
  }
}

TRunningDlg::~TRunningDlg() = default;

pid_t TRunningDlg::ProcessId() const {
  return child_.Pid();
}

int TRunningDlg::WaitForEnd() {
  child_.Wait();
  return mrOk;
}

void TRunningDlg::reject() {
  done(mrCancel);
}

void TRunningDlg::CheckEnded() {
  if (child_.Running()) return;
  if (notifier_) notifier_->setEnabled(false);
  if (poll_) poll_->stop();
  done(mrOk);
}
