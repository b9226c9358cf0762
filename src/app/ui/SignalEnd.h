// How SIGTERM, SIGHUP and SIGINT end the program. The first signal ends it the orderly way:
// every running event loop is left (a message box waiting at start-up included) and the
// windows are destroyed, the main window writing the pages before anything else. A signal
// that comes once the pages are written (a message about a settings file is up), or a second
// signal before that, ends the program at once, after writing the pages if they are not yet.
#pragma once
#include <functional>

namespace SignalEnd {

// Called on the UI thread for each signal received.
void OnSignal();
// True once a signal asked for the end; the program then does not enter its event loop.
bool EndRequested();

// Tests replace leaving the event loops and ending the process; Reset restores both.
struct THooks {
  std::function<void()> LeaveLoops;
  std::function<void(int status)> EndNow;
};
void SetHooksForTesting(THooks hooks);
void ResetForTesting();

}  // namespace SignalEnd
