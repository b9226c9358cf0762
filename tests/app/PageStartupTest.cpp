// Start-up load and shut-down save of the page file: the bound-file rule, damaged files set
// aside, failed writes that leave the old file as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/PageStartup.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Views of pages that all hold their text (no rows), so nothing is copied aside.
std::vector<TPageView> ViewsOfTexts(const TDataList& pages) {
  std::deque<std::string> copies;
  std::vector<TPageView> views = PageStartup::ViewsOf(pages, copies);
  EXPECT_TRUE(copies.empty());
  return views;
}

// 2026-03-14 12:00:00 UTC, an even second.
constexpr std::time_t kBase = 1773489600;

void SetMtime(const std::string& path, std::time_t seconds, long nanoseconds = 0) {
  struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0)) << path;
}

std::string Bytes(const TDataList& list) {
  TMemoryStream stream;
  list.SaveToStream(stream);
  return stream.Bytes();
}

std::string PageFileWith(const TempDir& dir, const TDataList& list) {
  return dir.Write("piyonote2.kdx", Bytes(list));
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// Permission checks apply to this process while it lives, also when the tests run as root.
class WithoutFileOverride {
 public:
  WithoutFileOverride() {
    syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &=
        ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    syscall(SYS_capset, &header_, reduced);
  }
  ~WithoutFileOverride() { syscall(SYS_capset, &header_, saved_); }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
};

// Files may grow to `limit` bytes at most; writing past it fails as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit r = saved_;
    r.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &r);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int);
};

// HOME points into a test folder, where a recovery file may land.
class HomeIn {
 public:
  explicit HomeIn(const std::string& folder) {
    if (const char* h = std::getenv("HOME")) saved_ = h;
    if (const char* s = std::getenv("XDG_STATE_HOME")) savedState_ = s;
    setenv("HOME", folder.c_str(), 1);
    unsetenv("XDG_STATE_HOME");
  }
  ~HomeIn() {
    setenv("HOME", saved_.c_str(), 1);
    if (!savedState_.empty()) setenv("XDG_STATE_HOME", savedState_.c_str(), 1);
  }

 private:
  std::string saved_, savedState_;
};

}  // namespace

TEST(PageStartupTest, JoinLinesEndsEveryLineWithCrLf) {
  using PageStartup::JoinLinesCrLf;
  EXPECT_EQ("", JoinLinesCrLf(""));
  EXPECT_EQ("a\r\n", JoinLinesCrLf("a"));
  EXPECT_EQ("a\r\n", JoinLinesCrLf("a\r\n"));
  EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", JoinLinesCrLf("a\rb\nc\r\nd"));
  EXPECT_EQ("\r\n\r\n", JoinLinesCrLf("\n\r"));
  EXPECT_EQ("a\r\n\r\n", JoinLinesCrLf("a\n\n"));
  EXPECT_EQ("a\r\n\r\n\r\n", JoinLinesCrLf("a\n\r\r\n"));  // LF, CR, CR LF
  EXPECT_EQ("ab\r\n", JoinLinesCrLf(std::string("ab\0cd\r\n", 7)));
  EXPECT_EQ("", JoinLinesCrLf(std::string("\0abc", 4)));
  EXPECT_EQ("\x83\x5c\r\n", JoinLinesCrLf("\x83\x5c"));
}

TEST(PageStartupTest, DosDateTimeHasTwoSecondSteps) {
  using PageStartup::DosDateTime;
  EXPECT_EQ(DosDateTime(kBase), DosDateTime(kBase + 1));
  EXPECT_LT(DosDateTime(kBase + 1), DosDateTime(kBase + 2));
  EXPECT_LT(DosDateTime(kBase), DosDateTime(kBase + 86400 * 400));
  EXPECT_EQ(DosDateTime(0), DosDateTime(86400 * 365));  // before 1980: all the same
}

TEST(PageStartupTest, MissingPageFileGivesOneDefaultPage) {
  TempDir dir;
  TDataList pages;
  pages.Add("stale");
  TPageFile file(dir.File("piyonote2.kdx"));
  TPageLoadResult r = file.LoadAtStartup(pages, "Page&0");
  EXPECT_FALSE(r.FileFound);
  EXPECT_FALSE(r.Damaged);
  EXPECT_EQ("", r.Message);
  ASSERT_EQ(1, pages.Count());
  EXPECT_EQ("Page&0", pages.Items(0)->Name);
  EXPECT_EQ("", pages.Items(0)->FileName);
  EXPECT_EQ("", pages.Items(0)->Text);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());  // nothing is written at start-up
}

TEST(PageStartupTest, StartAndEndRoundTripThePages) {
  TempDir dir;
  TPageFile file(dir.File("piyonote2.kdx"));
  TDataList pages;
  file.LoadAtStartup(pages);
  pages.Add("Page1", "", "\x82\xa0\r\n");
  ASSERT_TRUE(file.SaveAtShutdown(pages).Ok);
  EXPECT_EQ((std::vector<std::string>{"piyonote2.kdx"}), FilesIn(dir.Path()));

  TPageFile again(dir.File("piyonote2.kdx"));
  TDataList back;
  TPageLoadResult r = again.LoadAtStartup(back);
  EXPECT_TRUE(r.FileFound);
  EXPECT_EQ("", r.Message);
  EXPECT_EQ(Hex(Bytes(pages)), Hex(Bytes(back)));
}

TEST(PageStartupTest, BoundFileReplacesTheTextOnlyWhenNewerByDosTime) {
  TempDir dir;
  std::string newer = dir.Write("newer.txt", "new\nline\rlast");
  std::string same = dir.Write("same.txt", "same second pair");
  std::string older = dir.Write("older.txt", "older");
  TDataList stored;
  stored.Add("Page&0");
  stored.Add("n", newer, "stored n");
  stored.Add("s", same, "stored s");
  stored.Add("o", older, "stored o");
  stored.Add("gone", dir.File("gone.txt"), "stored g");
  std::string kdx = PageFileWith(dir, stored);
  SetMtime(kdx, kBase, 100);
  SetMtime(newer, kBase + 2);
  SetMtime(same, kBase + 1, 999999999);  // later, but within the same two seconds
  SetMtime(older, kBase - 2);

  TDataList pages;
  TPageFile file(kdx);
  file.LoadAtStartup(pages);
  ASSERT_EQ(5, pages.Count());
  EXPECT_EQ("new\r\nline\r\nlast\r\n", pages.Items(1)->Text);
  EXPECT_EQ(newer, pages.Items(1)->FileName);
  EXPECT_EQ("stored s", pages.Items(2)->Text);
  EXPECT_EQ("stored o", pages.Items(3)->Text);
  EXPECT_EQ("stored g", pages.Items(4)->Text);
  EXPECT_EQ(dir.File("gone.txt"), pages.Items(4)->FileName);
}

TEST(PageStartupTest, BoundFileWithJapaneseNameIsFoundThroughItsUtf8Name) {
  TempDir dir;
  std::string utf8Name = dir.File("\xe6\x97\xa5\xe6\x9c\xac.txt");  // 日本.txt
  dir.Write("\xe6\x97\xa5\xe6\x9c\xac.txt", "x");
  std::string cp932Name = dir.Path() + "/\x93\xfa\x96\x7b.txt";
  TDataList stored;
  stored.Add("Page&0", cp932Name, "old");
  std::string kdx = PageFileWith(dir, stored);
  SetMtime(kdx, kBase);
  SetMtime(utf8Name, kBase + 10);
  TDataList pages;
  TPageFile(kdx).LoadAtStartup(pages);
  EXPECT_EQ("x\r\n", pages.Items(0)->Text);
  EXPECT_EQ(cp932Name, pages.Items(0)->FileName);
}

TEST(PageStartupTest, DamagedFileIsSetAsideAndItsReadablePagesKept) {
  TempDir dir;
  TDataList stored;
  stored.Add("Page&0", "", "first");
  stored.Add("Page1", "", "second");
  stored.Add("Page2", "", "third, cut off");
  std::string full = Bytes(stored);
  std::string damaged = full.substr(0, full.size() - 4);
  std::string kdx = dir.Write("piyonote2.kdx", damaged);

  TPageFile file(kdx);
  file.SetNowForTesting(kBase);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_TRUE(r.FileFound);
  EXPECT_TRUE(r.Damaged);
  ASSERT_EQ(2, pages.Count());
  EXPECT_EQ("second", pages.Items(1)->Text);

  std::tm tm{};
  localtime_r(&kBase, &tm);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  std::string aside = kdx + ".damaged-" + stamp;
  EXPECT_EQ(aside, r.SetAsidePath);
  EXPECT_NE(std::string::npos, r.Message.find(aside));
  EXPECT_FALSE(fs::exists(kdx));
  EXPECT_EQ(Hex(damaged), Hex(TempDir::Read(aside)));

  // Shut-down writes the kept pages; the damaged file stays beside it untouched.
  pages.Add("Page2", "", "typed again");
  TPageSaveResult s = file.SaveAtShutdown(pages);
  EXPECT_TRUE(s.Ok);
  EXPECT_EQ(Hex(Bytes(pages)), Hex(TempDir::Read(kdx)));
  EXPECT_EQ(Hex(damaged), Hex(TempDir::Read(aside)));

  // A second damaged start in the same second does not overwrite the first one set aside.
  dir.Write("piyonote2.kdx", "\x14");
  TDataList next;
  TPageLoadResult r2 = file.LoadAtStartup(next);
  EXPECT_EQ(aside + "-2", r2.SetAsidePath);
  EXPECT_EQ(Hex(damaged), Hex(TempDir::Read(aside)));
  ASSERT_EQ(1, next.Count());
  EXPECT_EQ("Page&0", next.Items(0)->Name);
}

TEST(PageStartupTest, EveryKindOfUnreadableFileIsSetAside) {
  const std::string cases[] = {
      std::string(),                                   // empty file
      std::string("\x02\x00", 2),                      // no pages
      std::string("\x02\xfe", 2),                      // negative count
      std::string("\x07\x01", 2),                      // unknown tag
      std::string("\x04\xff\xff\xff\x7f\x06\x00", 7),  // 2^31-1 pages promised
  };
  for (const std::string& bytes : cases) {
    TempDir dir;
    std::string kdx = dir.Write("piyonote2.kdx", bytes);
    TPageFile file(kdx);
    TDataList pages;
    TPageLoadResult r = file.LoadAtStartup(pages, "Page&0");
    EXPECT_TRUE(r.Damaged) << Hex(bytes);
    EXPECT_FALSE(r.Message.empty());
    ASSERT_EQ(1, pages.Count());
    EXPECT_EQ("Page&0", pages.Items(0)->Name);
    EXPECT_FALSE(fs::exists(kdx));
    EXPECT_EQ(Hex(bytes), Hex(TempDir::Read(r.SetAsidePath)));
  }
}

TEST(PageStartupTest, UnopenableFileIsSetAsideToo) {
  TempDir dir;
  std::string kdx = dir.Write("piyonote2.kdx", std::string("\x02\x01\x06\x00\x06\x00\x06\x00", 8));
  ASSERT_EQ(0, chmod(kdx.c_str(), 0));
  TPageFile file(kdx);
  TDataList pages;
  TPageLoadResult r;
  {
    WithoutFileOverride noOverride;
    r = file.LoadAtStartup(pages);
  }
  EXPECT_TRUE(r.Damaged);
  EXPECT_FALSE(r.SetAsidePath.empty());
  EXPECT_EQ(1, pages.Count());
  EXPECT_TRUE(file.SaveAtShutdown(pages).Ok);
  chmod(r.SetAsidePath.c_str(), 0600);
  EXPECT_EQ(8u, TempDir::Read(r.SetAsidePath).size());
}

TEST(PageStartupTest, DamagedFileThatCannotBeMovedIsNeverOverwritten) {
  TempDir dir, home;
  HomeIn homeIn(home.Path());
  std::string damaged(
      "\x02\x05\x06\x01"
      "a\x06\x00\x06\x00\x06",
      10);
  std::string kdx = dir.Write("piyonote2.kdx", damaged);
  ASSERT_EQ(0, chmod(dir.Path().c_str(), 0555));
  TPageFile file(kdx);
  file.SetNowForTesting(kBase);
  TDataList pages;
  TPageSaveResult s;
  TPageLoadResult r;
  {
    WithoutFileOverride noOverride;
    r = file.LoadAtStartup(pages);
    EXPECT_TRUE(r.Damaged);
    EXPECT_EQ("", r.SetAsidePath);
    EXPECT_FALSE(r.Message.empty());
    ASSERT_EQ(1, pages.Count());
    EXPECT_EQ("a", pages.Items(0)->Name);
    s = file.SaveAtShutdown(pages);
  }
  chmod(dir.Path().c_str(), 0755);
  // Even once the folder could be written, this run's end must not shorten the file.
  TPageSaveResult s2 = file.SaveAtShutdown(pages);
  EXPECT_FALSE(s2.Ok);
  EXPECT_EQ(Hex(damaged), Hex(TempDir::Read(kdx)));

  EXPECT_FALSE(s.Ok);
  ASSERT_FALSE(s.RecoveryPath.empty());
  EXPECT_EQ(home.Path(), fs::path(s.RecoveryPath).parent_path().string());
  EXPECT_EQ(Hex(Bytes(pages)), Hex(TempDir::Read(s.RecoveryPath)));
  EXPECT_NE(std::string::npos, s.Message.find(s.RecoveryPath));
  EXPECT_EQ(dir.Path(), fs::path(s2.RecoveryPath).parent_path().string());
}

TEST(PageStartupTest, FailedWriteKeepsTheOldFileAndLeavesARecoveryFile) {
  TempDir dir, home;
  HomeIn homeIn(home.Path());
  TDataList old;
  old.Add("Page&0", "", "yesterday");
  std::string kdx = PageFileWith(dir, old);
  std::string before = TempDir::Read(kdx);
  TPageFile file(kdx);
  file.SetNowForTesting(kBase);
  TDataList pages;
  file.LoadAtStartup(pages);
  pages.Items(0)->Text = "today";

  ASSERT_EQ(0, chmod(dir.Path().c_str(), 0555));
  TPageSaveResult s;
  {
    WithoutFileOverride noOverride;
    s = file.SaveAtShutdown(pages);
  }
  chmod(dir.Path().c_str(), 0755);
  EXPECT_FALSE(s.Ok);
  EXPECT_FALSE(s.Message.empty());
  EXPECT_EQ(Hex(before), Hex(TempDir::Read(kdx)));
  EXPECT_EQ((std::vector<std::string>{"piyonote2.kdx"}), FilesIn(dir.Path()));
  ASSERT_FALSE(s.RecoveryPath.empty());
  EXPECT_EQ(Hex(Bytes(pages)), Hex(TempDir::Read(s.RecoveryPath)));
}

TEST(PageStartupTest, FullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempDir dir, home;
  HomeIn homeIn(home.Path());
  TDataList old;
  old.Add("Page&0", "", "short");
  std::string kdx = PageFileWith(dir, old);
  std::string before = TempDir::Read(kdx);
  TPageFile file(kdx);
  TDataList pages;
  file.LoadAtStartup(pages);
  pages.Items(0)->Text = std::string(100000, 'x');
  TPageSaveResult s;
  {
    FileSizeLimit limit(4096);
    s = file.SaveAtShutdown(pages);
  }
  EXPECT_FALSE(s.Ok);
  EXPECT_EQ("", s.RecoveryPath);  // nowhere had room
  EXPECT_FALSE(s.Message.empty());
  EXPECT_EQ(Hex(before), Hex(TempDir::Read(kdx)));
  EXPECT_EQ((std::vector<std::string>{"piyonote2.kdx"}), FilesIn(dir.Path()));
  EXPECT_TRUE(FilesIn(home.Path()).empty());
}

// ---- the crash journal

namespace {

// A run that journals some changes and then dies without its shut-down save.
struct CrashedRun {
  std::string kdx;
  std::string pageFileBytes;
  std::vector<std::string> journals;  // the journal after each tick
  std::vector<std::string> states;    // the pages after each tick
};

std::string Dump(const TDataList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const TDataItem* p = list.Items(i);
    out += "[" + p->Name + "|" + p->FileName + "|" + p->Text + "]";
  }
  return out;
}

CrashedRun RunAndCrash(const TempDir& dir) {
  CrashedRun run;
  TDataList stored;
  stored.Add("Page&0", "", "first");
  stored.Add("Page1", "", "second");
  run.kdx = PageFileWith(dir, stored);
  run.pageFileBytes = TempDir::Read(run.kdx);
  TPageFile file(run.kdx);
  TDataList pages;
  file.LoadAtStartup(pages);
  EXPECT_EQ("", file.StartJournal(pages));
  pages.Items(0)->Text += " typed";
  pages.Add("Page2", "", "\x82\xa0 new");
  file.JournalPages(ViewsOfTexts(pages));
  file.FlushJournal();
  run.journals.push_back(TempDir::Read(file.JournalPath()));
  run.states.push_back(Dump(pages));
  pages.Items(1)->Name = "renamed";
  pages.Items(2)->Text = "changed";
  file.JournalPages(ViewsOfTexts(pages));
  file.FlushJournal();
  run.journals.push_back(TempDir::Read(file.JournalPath()));
  run.states.push_back(Dump(pages));
  return run;  // no SaveAtShutdown: the process died
}

}  // namespace

TEST(PageStartupTest, UncleanEndIsRebuiltFromThePageFileAndTheJournalOnce) {
  TempDir dir;
  CrashedRun run = RunAndCrash(dir);
  EXPECT_EQ(Hex(run.pageFileBytes), Hex(TempDir::Read(run.kdx)));

  TPageFile file(run.kdx);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_TRUE(r.Recovered);
  EXPECT_EQ(3, r.RecoveredPages);
  EXPECT_NE(std::string::npos, r.Message.find(" 3 "));
  EXPECT_EQ(run.states.back(), Dump(pages));
  // The recovered pages go into the page file at once; the journal starts over from it.
  EXPECT_EQ("", file.StartJournal(pages));
  EXPECT_EQ(Hex(Bytes(pages)), Hex(TempDir::Read(run.kdx)));
  TPageFile again(run.kdx);
  TDataList back;
  r = again.LoadAtStartup(back);
  EXPECT_FALSE(r.Recovered);
  EXPECT_EQ("", r.Message);
  EXPECT_EQ(run.states.back(), Dump(back));
}

TEST(PageStartupTest, JournalCutAtEveryByteOfItsLastRecordKeepsTheWholeRecords) {
  TempDir dir;
  CrashedRun run = RunAndCrash(dir);
  const std::string& full = run.journals.back();
  // The last record begins where the one before it ends.
  size_t lastStart = 0;
  for (size_t at = 0; at < full.size();) {
    lastStart = at;
    at +=
        8 + (static_cast<unsigned char>(full[at]) | static_cast<unsigned char>(full[at + 1]) << 8 |
             static_cast<unsigned char>(full[at + 2]) << 16);
  }
  std::string withoutLast;
  {
    TDataList pages;
    TMemoryStream in(run.pageFileBytes);
    pages.LoadFromStream(in);
    PageJournal::Replay(std::string_view(full).substr(0, lastStart), pages);
    withoutLast = Dump(pages);
  }
  ASSERT_NE(withoutLast, run.states.back());
  for (size_t cut = lastStart; cut <= full.size(); ++cut) {
    // The page file is not touched by the load: only the journal is cut.
    dir.Write("piyonote2.kdx-journal", full.substr(0, cut));
    TPageFile file(run.kdx);
    TDataList pages;
    TPageLoadResult r = file.LoadAtStartup(pages);
    EXPECT_FALSE(r.Damaged) << cut;
    EXPECT_EQ(cut == full.size() ? run.states.back() : withoutLast, Dump(pages)) << cut;
    EXPECT_EQ((std::vector<std::string>{"piyonote2.kdx", "piyonote2.kdx-journal"}),
              FilesIn(dir.Path()))
        << cut;
  }
}

TEST(PageStartupTest, CleanEndRemovesTheJournalAndASaveStartsItAgain) {
  TempDir dir;
  TPageFile file(dir.File("piyonote2.kdx"));
  TDataList pages;
  file.LoadAtStartup(pages);
  file.StartJournal(pages);
  pages.Items(0)->Text = "abc";
  file.JournalPages(ViewsOfTexts(pages));
  file.FlushJournal();
  ASSERT_TRUE(file.SaveAtShutdown(pages).Ok);
  // Nothing after the save: the journal holds no history.
  EXPECT_EQ(Hex(PageJournal::BaseRecord(TJournalBase::Of(file.Path()))),
            Hex(TempDir::Read(file.JournalPath())));
  file.EndJournal();
  EXPECT_EQ((std::vector<std::string>{"piyonote2.kdx"}), FilesIn(dir.Path()));
}

TEST(PageStartupTest, JournalOfAnotherPageFileIsNotAppliedButKept) {
  TempDir dir;
  CrashedRun run = RunAndCrash(dir);
  // The page file was replaced after the journal was written (its save went through).
  TDataList newer;
  newer.Add("Page&0", "", "saved later");
  newer.SaveToFile(run.kdx);
  TPageFile file(run.kdx);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_FALSE(r.Recovered);
  EXPECT_EQ("[Page&0||saved later]", Dump(pages));
  std::vector<std::string> files = FilesIn(dir.Path());
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ(0u, files[1].find("piyonote2.kdx-journal.old-"));
}

TEST(PageStartupTest, DamagedJournalIsSetAsideWithThePagesReadBeforeTheDamage) {
  TempDir dir;
  CrashedRun run = RunAndCrash(dir);
  std::string damaged = run.journals.back();
  size_t firstTickEnd = run.journals[0].size();
  damaged[firstTickEnd + 10] ^= 0x55;
  dir.Write("piyonote2.kdx-journal", damaged);
  TPageFile file(run.kdx);
  file.SetNowForTesting(kBase);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_TRUE(r.Recovered);
  EXPECT_EQ(run.states[0], Dump(pages));
  std::vector<std::string> files = FilesIn(dir.Path());
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ(0u, files[1].find("piyonote2.kdx-journal.damaged-"));
  EXPECT_NE(std::string::npos, r.Message.find(files[1]));
  EXPECT_EQ(Hex(damaged), Hex(TempDir::Read(dir.File(files[1]))));
}

// ---- bound files that must not be read

TEST(PageStartupTest, BoundFifoDeviceFolderHugeOrEndlessFileKeepThePageAndAreReportedOnce) {
  TempDir dir;
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  std::string folder = dir.File("folder");
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0700));
  std::string sparse = dir.File("sparse");
  {
    int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ::ftruncate(fd, off_t{3} << 30));  // 3 GB of nothing
    ::close(fd);
  }
  TDataList stored;
  stored.Add("Page&0");
  stored.Add("F", fifo, "fifo text");
  stored.Add("D", folder, "folder text");
  stored.Add("S", sparse, "sparse text");
  stored.Add("P", "/proc/self/pagemap", "pagemap text");  // claims 0 bytes, gives endless
  stored.Add("Z", "/dev/zero", "zero text");
  std::string kdx = PageFileWith(dir, stored);
  SetMtime(kdx, kBase);
  for (const std::string& f : {fifo, folder, sparse}) SetMtime(f, kBase + 60);

  TPageFile file(kdx);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_EQ(Dump(stored), Dump(pages));
  EXPECT_TRUE(r.Replaced.empty());
  for (const char* name : {"fifo", "folder", "sparse", "/proc/self/pagemap", "/dev/zero"})
    EXPECT_NE(std::string::npos, r.Message.find(name)) << name;
  EXPECT_NE(std::string::npos, r.Message.find("128 MB"));
}

TEST(PageStartupTest, NewerBoundFileNamesTheReplacedPagesAndHandsBackTheirText) {
  TempDir dir;
  std::string bound = dir.Write("a.txt", "from the file");
  std::string same = dir.Write("b.txt", "unchanged");
  TDataList stored;
  stored.Add("Page&0");
  stored.Add("mine", bound, "typed in the page\r\n");
  stored.Add("same", same, "unchanged\r\n");
  std::string kdx = PageFileWith(dir, stored);
  SetMtime(kdx, kBase);
  SetMtime(bound, kBase + 60);
  SetMtime(same, kBase + 60);
  TPageFile file(kdx);
  TDataList pages;
  TPageLoadResult r = file.LoadAtStartup(pages);
  EXPECT_EQ("from the file\r\n", pages.Items(1)->Text);
  ASSERT_EQ(1u, r.Replaced.size());  // a file with the page's own text replaces nothing
  EXPECT_EQ("mine", r.Replaced[0].Name);
  EXPECT_EQ(bound, r.Replaced[0].FileName);
  EXPECT_EQ("typed in the page\r\n", r.Replaced[0].Text);
  EXPECT_EQ(1, r.Replaced[0].Position);
  EXPECT_NE(std::string::npos, r.Message.find("mine : " + bound));
  EXPECT_EQ(std::string::npos, r.Message.find("same"));
}

// ---- what killed saves leave behind

TEST(PageStartupTest, TemporaryFilesOfKilledSavesAreRemovedAtStartOnlyTheProgramsOwn) {
  TempDir dir;
  for (const char* name :
       {"piyonote2.kdx.tmp-Ab3dE9", "piyonote2.ini.tmp-zzzzzz", "piyonote2.kdx.tmp-Ab3dE",
        "other.kdx.tmp-Ab3dE9", "piyonote2.kdx.tmp-locked", "notes.txt"})
    dir.Write(name, "x");
  // A save still running holds its temporary file locked.
  int held = ::open(dir.File("piyonote2.kdx.tmp-locked").c_str(), O_RDONLY);
  ASSERT_EQ(0, ::flock(held, LOCK_EX));
  TPageFile file(dir.File("piyonote2.kdx"));
  TDataList pages;
  file.LoadAtStartup(pages);
  ::close(held);
  EXPECT_EQ((std::vector<std::string>{"notes.txt", "other.kdx.tmp-Ab3dE9",
                                      "piyonote2.kdx.tmp-Ab3dE", "piyonote2.kdx.tmp-locked"}),
            FilesIn(dir.Path()));
}

// ---- where the pages go when the page file cannot be written

TEST(PageStartupTest, RecoveryCopyTriesTheStateFolderThenTheTemporaryFolder) {
  TempDir dir, state, tmp;
  TDataList old;
  old.Add("Page&0", "", "yesterday");
  std::string kdx = PageFileWith(dir, old);
  std::string before = TempDir::Read(kdx);
  TPageFile file(kdx);
  TDataList pages;
  file.LoadAtStartup(pages);
  pages.Items(0)->Text = "today";
  setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
  setenv("TMPDIR", tmp.Path().c_str(), 1);
  ASSERT_EQ(0, chmod(dir.Path().c_str(), 0555));
  TPageSaveResult toState, toTmp;
  {
    WithoutFileOverride noOverride;
    toState = file.SaveAtShutdown(pages);
    ASSERT_EQ(0, chmod(state.Path().c_str(), 0555));
    toTmp = file.SaveAtShutdown(pages);
  }
  chmod(dir.Path().c_str(), 0755);
  chmod(state.Path().c_str(), 0755);
  unsetenv("XDG_STATE_HOME");
  unsetenv("TMPDIR");
  EXPECT_EQ(Hex(before), Hex(TempDir::Read(kdx)));
  EXPECT_EQ(state.Path(), fs::path(toState.RecoveryPath).parent_path().string());
  EXPECT_EQ(tmp.Path(), fs::path(toTmp.RecoveryPath).parent_path().string());
  EXPECT_NE(std::string::npos, toTmp.Message.find(toTmp.RecoveryPath));
  EXPECT_EQ(Hex(Bytes(pages)), Hex(TempDir::Read(toTmp.RecoveryPath)));
  struct stat st {};
  ASSERT_EQ(0, ::stat(toTmp.RecoveryPath.c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
}
