// Atomic replacement of a file: all of the new content or the old file untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// Where two long byte strings first differ (npos when equal), readable where EXPECT_EQ is not.
size_t FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return std::string::npos;
  auto m = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return static_cast<size_t>(m.first - a.begin());
}

}  // namespace

TEST(AtomicFileTest, ReplacesKeepingModeAndFollowingLinks) {
  TempDir dir;
  std::string target = dir.Write("real.kdx", "old");
  ASSERT_EQ(0, chmod(target.c_str(), 0640));
  std::string link = dir.File("link.kdx");
  ASSERT_EQ(0, symlink(target.c_str(), link.c_str()));
  std::string error;
  ASSERT_TRUE(AtomicFile::Write(link, "new bytes", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ("new bytes", TempDir::Read(target));
  struct stat st {};
  stat(target.c_str(), &st);
  EXPECT_EQ(0640u, st.st_mode & 0777);
  EXPECT_EQ((std::vector<std::string>{"link.kdx", "real.kdx"}), FilesIn(dir.Path()));
}

TEST(AtomicFileTest, NewFileTakesTheUmask) {
  TempDir dir;
  mode_t old = umask(027);
  bool ok = AtomicFile::Write(dir.File("new"), "x");
  umask(old);
  ASSERT_TRUE(ok);
  struct stat st {};
  stat(dir.File("new").c_str(), &st);
  EXPECT_EQ(0640u, st.st_mode & 0777);
}

TEST(AtomicFileTest, PiecesOfEverySizeMakeTheSameFile) {
  TempDir dir;
  std::string expected;
  {
    TAtomicFileWriter writer(dir.File("f"));
    // Small, buffer-sized and larger pieces, so every path through the buffer is taken.
    for (size_t size : {1u, 10u, 700000u, 600000u, 3u, 1u << 20, 5u, (1u << 20) + 1, 0u, 2u}) {
      std::string piece(size, static_cast<char>('a' + expected.size() % 26));
      expected += piece;
      ASSERT_TRUE(writer.Append(piece));
    }
    EXPECT_FALSE(fs::exists(dir.File("f")));  // nothing there until the commit
    ASSERT_TRUE(writer.Commit()) << writer.Error();
  }
  EXPECT_EQ(expected.size(), fs::file_size(dir.File("f")));
  EXPECT_EQ(std::string::npos, FirstDifference(expected, TempDir::Read(dir.File("f"))));
  EXPECT_EQ((std::vector<std::string>{"f"}), FilesIn(dir.Path()));
}

TEST(AtomicFileTest, WriterDroppedWithoutCommitLeavesTheOldFile) {
  TempDir dir;
  std::string path = dir.Write("f", "old content");
  {
    TAtomicFileWriter writer(path);
    writer.Append(std::string(3 << 20, 'n'));
  }
  EXPECT_EQ("old content", TempDir::Read(path));
  EXPECT_EQ((std::vector<std::string>{"f"}), FilesIn(dir.Path()));
}

TEST(AtomicFileTest, FailureIsReportedWithTheReason) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(AtomicFile::Write(dir.File("no/such/folder.kdx"), "x", &error));
  EXPECT_NE(std::string::npos, error.find("No such file")) << error;
  EXPECT_FALSE(AtomicFile::Write(dir.Path(), "x", &error));  // a folder is not replaced
  EXPECT_TRUE(fs::is_directory(dir.Path()));
  TAtomicFileWriter writer(dir.File("no/such/folder.kdx"));
  EXPECT_FALSE(writer.Ok());
  EXPECT_FALSE(writer.Append("x"));
  EXPECT_FALSE(writer.Commit());
}
