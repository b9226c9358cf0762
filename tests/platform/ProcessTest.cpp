#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
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

TEST(Process, SplitsSearchPathsIntoAbsoluteFoldersOnly) {
  EXPECT_EQ(Process::SplitSearchPath("/bin:/usr/bin"), (Strings{"/bin", "/usr/bin"}));
  // Empty and relative elements would mean the current folder.
  EXPECT_EQ(Process::SplitSearchPath(":/bin::.:bin:./x:/usr/bin/"), (Strings{"/bin", "/usr/bin/"}));
  EXPECT_TRUE(Process::SplitSearchPath("").empty());
  EXPECT_TRUE(Process::SplitSearchPath(":").empty());
}

TEST(Process, LooksForEveryNameInOneFolderBeforeTheNext) {
  // Each program writes the name it was started by (argv[0]) and its path.
  auto tool = [](const TempDir& dir, const std::string& name) {
    dir.Write(name, "#!/bin/sh\nprintf '%s %s' \"$0\" \"" + dir.File(name) + "\" > \"$1\"\n");
    chmod(dir.File(name).c_str(), 0755);
  };
  TempDir exeOnly;
  TempDir both;
  TempDir out;
  tool(exeOnly, "txf.exe");
  tool(both, "txf");
  tool(both, "txf.exe");
  std::string result = out.File("args");
  auto run = [&](const Strings& folders) {
    Process::TChild child;
    EXPECT_TRUE(child.Start({"txf", "txf.exe"}, {result}, folders));
    child.Wait();
    return TempDir::Read(result);
  };
  EXPECT_EQ(run({both.Path(), exeOnly.Path()}), both.File("txf") + " " + both.File("txf"));
  EXPECT_EQ(run({exeOnly.Path(), both.Path()}),
            exeOnly.File("txf.exe") + " " + exeOnly.File("txf.exe"));
}

TEST(Process, NeverLooksInTheCurrentFolder) {
  TempDir here;
  TempDir out;
  WriteTool(here, "tool");
  std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(here.Path());
  EXPECT_FALSE(Process::RunProgramAndWait("tool", {out.File("args")}, {"", ".", "./", "sub/.."}));
  std::filesystem::current_path(old);
  EXPECT_FALSE(std::filesystem::exists(out.File("args")));
}

TEST(Process, RunsInTheGivenFolder) {
  TempDir bin;
  TempDir work;
  bin.Write("where", "#!/bin/sh\npwd > here\n");
  chmod(bin.File("where").c_str(), 0755);
  EXPECT_TRUE(Process::RunProgramAndWait("where", {}, {bin.Path()}, work.Path()));
  EXPECT_EQ(TempDir::Read(work.File("here")),
            std::filesystem::canonical(work.Path()).string() + "\n");
}

// A program that started another one and waits: Kill ends both, without any timer. The
// grandchild's number comes through a pipe, and its end is seen through its pidfd.
TEST(Process, KillEndsTheProgramAndWhatItStarted) {
  TempDir bin;
  TempDir work;
  std::string fifo = work.File("pid");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  bin.Write("hang", "#!/bin/sh\nsleep 100000 &\necho $! > \"$1\"\nwait\n");
  chmod(bin.File("hang").c_str(), 0755);
  Process::TChild child;
  ASSERT_TRUE(child.Start({"hang"}, {fifo}, {bin.Path()}));
  EXPECT_TRUE(child.Running());
  pid_t grandchild = 0;
  std::ifstream(fifo) >> grandchild;
  ASSERT_GT(grandchild, 0);
  int grandchildFd = static_cast<int>(syscall(SYS_pidfd_open, grandchild, 0));
  pid_t pid = child.Pid();
  child.Kill();
  EXPECT_FALSE(child.Running());
  EXPECT_TRUE(kill(pid, 0) != 0 && errno == ESRCH);  // reaped
  if (grandchildFd >= 0) {
    pollfd p{grandchildFd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, -1), 1);
    close(grandchildFd);
  }
}

TEST(Process, TheEndNotifierTurnsReadableWhenTheProgramEnds) {
  TempDir bin;
  bin.Write("quick", "#!/bin/sh\nexit 3\n");
  chmod(bin.File("quick").c_str(), 0755);
  Process::TChild child;
  ASSERT_TRUE(child.Start({"quick"}, {}, {bin.Path()}));
  if (child.EndNotifier() >= 0) {
    pollfd p{child.EndNotifier(), POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, -1), 1);
  } else {
    child.Wait();
  }
  EXPECT_FALSE(child.Running());
  EXPECT_TRUE(child.WaitFor(0));
}
