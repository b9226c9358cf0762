// Starting another program and waiting for it, without a shell: for tools the editor hands
// its text to (the formatter). Tests replace the runner to play such a tool.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Process {

// Starts `program` with argv = program, args... and waits until it ends; the exit status is
// not looked at. A name without a slash is looked for in `searchFolders` in order (an empty
// entry is the current folder); the first regular, executable file of that name is started.
// The program gets this program's environment, current folder and standard streams, but no
// other open files. False when it was not found or could not be started.
bool RunProgramAndWait(const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& searchFolders);

// Splits a command line into arguments at blanks (space, tab); double quotes group blanks
// into one argument and are dropped ("" gives an empty argument).
std::vector<std::string> SplitCommandLine(std::string_view line);

// The folders of a PATH-style list ("a:b:c"); an empty element is the current folder ("").
std::vector<std::string> SplitSearchPath(std::string_view path);

using Runner = std::function<bool(const std::string& program, const std::vector<std::string>& args,
                                  const std::vector<std::string>& searchFolders)>;
// Replaces what RunProgramAndWait does (nullptr restores the real one); returns the old
// replacement.
Runner SetRunnerForTesting(Runner runner);

}  // namespace Process
