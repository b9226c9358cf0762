#include "Process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

std::string FindProgram(const std::string& program, const std::vector<std::string>& folders) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
  for (const std::string& folder : folders) {
    std::string path = (folder.empty() ? std::string(".") : folder) + "/" + program;
    if (IsExecutableFile(path)) return path;
  }
  return {};
}

// Spawns and reaps; false when the program could not be started.
bool SpawnAndWait(const std::string& path, const std::vector<std::string>& argvStrings) {
  std::vector<char*> argv;
  argv.reserve(argvStrings.size() + 1);
  for (const std::string& a : argvStrings) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Only the standard streams go to the child, even where a descriptor lacks close-on-exec.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  pid_t pid = 0;
  int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace

namespace Process {

bool RunProgramAndWait(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& searchFolders) {
  if (TestRunner()) return TestRunner()(program, args, searchFolders);
  std::string path = FindProgram(program, searchFolders);
  if (path.empty()) return false;
  std::vector<std::string> argv;
  argv.reserve(args.size() + 1);
  argv.push_back(program);
  argv.insert(argv.end(), args.begin(), args.end());
  return SpawnAndWait(path, argv);
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
  if (path.empty()) return result;
  size_t start = 0;
  while (true) {
    size_t colon = path.find(':', start);
    result.emplace_back(
        path.substr(start, colon == std::string_view::npos ? colon : colon - start));
    if (colon == std::string_view::npos) break;
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
