#include "SignalEnd.h"

#include <unistd.h>

#include <QCoreApplication>

#include "MainForm.h"

namespace SignalEnd {
namespace {

int signals_ = 0;
THooks hooks_;

void LeaveLoops() {
  if (hooks_.LeaveLoops) return hooks_.LeaveLoops();
  // exit(), unlike quit(), also works before the main loop runs and leaves modal loops.
  QCoreApplication::exit(0);
}

void EndNow(int status) {
  if (hooks_.EndNow) return hooks_.EndNow(status);
  ::_exit(status);
}

}  // namespace

void OnSignal() {
  ++signals_;
  if (MainForm && MainForm->PagesSecured()) {
    // Only messages are left to show; nobody may be there to read them.
    EndNow(0);
    return;
  }
  if (signals_ > 1) {
    if (MainForm) MainForm->SecurePages();
    EndNow(0);
    return;
  }
  if (MainForm) MainForm->hide();
  LeaveLoops();
}

bool EndRequested() {
  return signals_ > 0;
}

void SetHooksForTesting(THooks hooks) {
  hooks_ = std::move(hooks);
}

void ResetForTesting() {
  hooks_ = {};
  signals_ = 0;
}

}  // namespace SignalEnd
