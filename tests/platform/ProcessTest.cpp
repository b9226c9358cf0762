#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace {

using Strings = std::vector<std::string>;

// A shell script that writes its arguments, each in brackets, to the file named first.
std::string WriteTool(const TempDir& dir, const std::string& name, mode_t mode = 0755) {
  std::string path = dir.Write(
      name,
      "#!/bin/sh\nout=\"$1\"\nshift\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$out\"\n");
  chmod(path.c_str(), mode);
  return path;
}

}  // namespace

TEST(Process, FindsTheProgramInTheSearchFoldersAndWaitsForIt) {
  TempDir empty;
  TempDir bin;
  TempDir out;
  WriteTool(bin, "tool");
  std::string result = out.File("args");
  EXPECT_TRUE(
      Process::RunProgramAndWait("tool", {result, "a b", "", "c"}, {empty.Path(), bin.Path()}));
  // Written before RunProgramAndWait returned: the call waits for the program's end.
  EXPECT_EQ(TempDir::Read(result), "[a b][][c]");
}

TEST(Process, SkipsFilesThatAreNotProgramsAndReportsMissingOnes) {
  TempDir first;
  TempDir second;
  TempDir out;
  WriteTool(first, "tool", 0644);  // not executable: the search goes on
  WriteTool(second, "tool");
  std::string result = out.File("args");
  EXPECT_TRUE(Process::RunProgramAndWait("tool", {result, "x"}, {first.Path(), second.Path()}));
  EXPECT_EQ(TempDir::Read(result), "[x]");

  EXPECT_FALSE(Process::RunProgramAndWait("tool", {result}, {first.Path()}));
  EXPECT_FALSE(Process::RunProgramAndWait("no-such-tool", {}, {second.Path()}));
  EXPECT_FALSE(Process::RunProgramAndWait("tool", {}, {}));
  // A directory of that name is no program either.
  TempDir dirs;
  mkdir(dirs.File("tool").c_str(), 0755);
  EXPECT_FALSE(Process::RunProgramAndWait("tool", {}, {dirs.Path()}));
}

TEST(Process, SplitsCommandLinesAtBlanksOutsideQuotes) {
  EXPECT_EQ(Process::SplitCommandLine("-io ~txf.tmp"), (Strings{"-io", "~txf.tmp"}));
  EXPECT_EQ(Process::SplitCommandLine("  a\t b  "), (Strings{"a", "b"}));
  EXPECT_EQ(Process::SplitCommandLine("\"a b\" c\"d e\"f"), (Strings{"a b", "cd ef"}));
  EXPECT_EQ(Process::SplitCommandLine("a \"\" b"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Process::SplitCommandLine("\"open quote"), (Strings{"open quote"}));
  EXPECT_TRUE(Process::SplitCommandLine("").empty());
  EXPECT_TRUE(Process::SplitCommandLine("   ").empty());
}

TEST(Process, SplitsSearchPaths) {
  EXPECT_EQ(Process::SplitSearchPath("/bin:/usr/bin"), (Strings{"/bin", "/usr/bin"}));
  // Empty elements stand for the current folder.
  EXPECT_EQ(Process::SplitSearchPath(":/bin:"), (Strings{"", "/bin", ""}));
  EXPECT_TRUE(Process::SplitSearchPath("").empty());
}
