#include "Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

Process::Runner& TestRunner() {
  static Process::Runner runner;
  return runner;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The path of the first program found, and the name it was found by.
std::string FindProgram(const std::vector<std::string>& names,
                        const std::vector<std::string>& folders, std::string& foundName) {
  for (const std::string& name : names) {
    if (name.find('/') != std::string::npos && IsExecutableFile(name)) {
      foundName = name;
      return name;
    }
  }
  for (const std::string& folder : folders) {
    // A relative folder is looked up from wherever this program happens to stand.
    if (folder.empty() || folder[0] != '/') continue;
    for (const std::string& name : names) {
      if (name.empty() || name.find('/') != std::string::npos) continue;
      std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
      if (IsExecutableFile(path)) {
        foundName = name;
        return path;
      }
    }
  }
  return {};
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  long fd = syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#endif
  (void)pid;
  return -1;
}

// Spawns in a process group of its own; -1 when the program could not be started.
pid_t Spawn(const std::string& path, const std::vector<std::string>& argvStrings,
            const std::string& workFolder) {
  std::vector<char*> argv;
  argv.reserve(argvStrings.size() + 1);
  for (const std::string& a : argvStrings) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawnattr_t attr;
  if (posix_spawnattr_init(&attr) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  bool ok = true;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Only the standard streams go to the child, even where a descriptor lacks close-on-exec.
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#endif
  if (!workFolder.empty())
    ok = ok && posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str()) == 0;
  // Signals this program ignores or blocks are the child's to decide again.
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) sigaddset(&defaults, sig);
  ok = ok && posix_spawnattr_setsigmask(&attr, &none) == 0 &&
       posix_spawnattr_setsigdefault(&attr, &defaults) == 0 &&
       posix_spawnattr_setpgroup(&attr, 0) == 0 &&
       posix_spawnattr_setflags(
           &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  pid_t pid = -1;
  if (ok && posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return ok ? pid : -1;
}

}  // namespace

namespace Process {

TChild::~TChild() {
  if (running_) Kill();
  if (pidfd_ >= 0) close(pidfd_);
}

bool TChild::Start(const std::vector<std::string>& names, const std::vector<std::string>& args,
                   const std::vector<std::string>& searchFolders, const std::string& workFolder) {
  if (running_) return false;
  if (TestRunner()) {
    for (const std::string& name : names)
      if (TestRunner()(name, args, searchFolders, workFolder)) return true;
    return false;
  }
  std::string name;
  std::string path = FindProgram(names, searchFolders, name);
  if (path.empty()) return false;
  std::vector<std::string> argv;
  argv.reserve(args.size() + 1);
  argv.push_back(name);
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = Spawn(path, argv, workFolder);
  if (pid < 0) return false;
  if (pidfd_ >= 0) close(pidfd_);
  pid_ = pid;
  pidfd_ = OpenPidFd(pid);
  running_ = true;
  return true;
}

void TChild::Reaped() {
  // The descriptor stays open: whoever watches it may still be looking.
  running_ = false;
}

bool TChild::Running() {
  if (!running_) return false;
  int status = 0;
  pid_t r;
  while ((r = waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
  }
  if (r != 0) Reaped();  // ended, or no longer ours to wait for
  return running_;
}

void TChild::Wait() {
  if (!running_) return;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  Reaped();
}

bool TChild::WaitFor(int milliseconds) {
  if (!Running()) return true;
  if (pidfd_ >= 0) {
    pollfd p{pidfd_, POLLIN, 0};
    while (poll(&p, 1, milliseconds) < 0 && errno == EINTR) {
    }
    return !Running();
  }
  for (int waited = 0; waited < milliseconds; waited += 10) {
    timespec slice{0, 10 * 1000 * 1000};
    nanosleep(&slice, nullptr);
    if (!Running()) return true;
  }
  return !Running();
}

void TChild::Kill() {
  if (!Running()) return;
  kill(-pid_, SIGKILL);
  kill(pid_, SIGKILL);
  Wait();
}

bool RunProgramAndWait(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& searchFolders,
                       const std::string& workFolder) {
  TChild child;
  if (!child.Start({program}, args, searchFolders, workFolder)) return false;
  child.Wait();
  return true;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> result;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) result.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) result.push_back(std::move(current));
  return result;
}

std::vector<std::string> SplitSearchPath(std::string_view path) {
  std::vector<std::string> result;
  size_t start = 0;
  while (start <= path.size()) {
    size_t colon = path.find(':', start);
    if (colon == std::string_view::npos) colon = path.size();
    std::string_view folder = path.substr(start, colon - start);
    if (!folder.empty() && folder[0] == '/') result.emplace_back(folder);
    start = colon + 1;
  }
  return result;
}

Runner SetRunnerForTesting(Runner runner) {
  Runner old = std::move(TestRunner());
  TestRunner() = std::move(runner);
  return old;
}

}  // namespace Process
