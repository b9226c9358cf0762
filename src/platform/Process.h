// Starting another program without a shell, for tools the editor hands its text to (the
// formatter). Tests replace the runner to play such a tool.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Process {

// One started program. It runs in a process group of its own, so that ending it also ends
// whatever it started in turn.
class TChild {
 public:
  TChild() = default;
  // A program still running is ended: nothing is left behind unseen.
  ~TChild();
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // Starts the first program found with argv = its name, args...: each folder of
  // `searchFolders` in turn is looked through for every one of `names` in order (the first
  // regular, executable file wins). Only absolute folders are searched — never the current
  // folder, not even as "" or ".". A name with a slash is taken as it is. The program runs
  // in `workFolder` (empty: this program's current folder) with this program's environment
  // and standard streams, but no other open files. False when nothing was found or it could
  // not be started.
  bool Start(const std::vector<std::string>& names, const std::vector<std::string>& args,
             const std::vector<std::string>& searchFolders, const std::string& workFolder = {});

  // False once the program has ended (it is then reaped).
  bool Running();
  // Waits until the program ends.
  void Wait();
  // Waits at most `milliseconds`; true when the program has ended.
  bool WaitFor(int milliseconds);
  // Ends the program and its process group at once, and reaps it.
  void Kill();

  // A descriptor that becomes readable when the program ends and stays open as long as this
  // object (-1 when the system offers none: then poll Running).
  int EndNotifier() const { return pidfd_; }
  pid_t Pid() const { return pid_; }

 private:
  void Reaped();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  bool running_ = false;
};

// Starts `program` as TChild::Start does and waits until it ends; the exit status is not
// looked at.
bool RunProgramAndWait(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& searchFolders,
                       const std::string& workFolder = {});

// Splits a command line into arguments at blanks (space, tab); double quotes group blanks
// into one argument and are dropped ("" gives an empty argument).
std::vector<std::string> SplitCommandLine(std::string_view line);

// The absolute folders of a PATH-style list ("a:b:c"). Empty and relative elements would
// mean the current folder and are left out.
std::vector<std::string> SplitSearchPath(std::string_view path);

// Plays a program for tests: called with each name in turn until it returns true (started);
// a played program has ended by the time it returns.
using Runner = std::function<bool(const std::string& program, const std::vector<std::string>& args,
                                  const std::vector<std::string>& searchFolders,
                                  const std::string& workFolder)>;
// Replaces what Start does (nullptr restores the real one); returns the old replacement.
Runner SetRunnerForTesting(Runner runner);

}  // namespace Process
