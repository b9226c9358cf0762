// Reading the page file at start-up and writing it at shut-down, with the rules that keep
// the user's pages safe: a page file that cannot be read is set aside under a new name
// before anything else happens, so it is never overwritten by a shorter store; a page file
// that cannot be written stays as it was and the pages go to a recovery file beside it.
//
// How the main window uses it (toolkit-free; messages are code page 932 like all text):
//
//   show handler, after the settings are read:
//     pageFile_ = std::make_unique<TPageFile>();          // ProgramFiles::DataFile(".kdx")
//     TPageLoadResult r = pageFile_->LoadAtStartup(*PageList, TabControl1's first caption);
//     rebuild the tabs from PageList (it always holds at least one page); when
//     !r.FileFound the single default page is the first tab, selected;
//     select the tab of setting Index, ShowCurrentPage ...;
//     if (!r.Message.empty()) show r.Message in a message box once the window is up.
//
//     pageFile_->StartJournal(*PageList) once the pages are in place; every second that
//     something changed, pageFile_->JournalPages(the live pages) (see PageJournal.h).
//
//   destruction handler, after StoreCurrentPage and the NoSavePage0 rule:
//     TPageSaveResult s = pageFile_->SaveAtShutdown(*PageList);
//     if (s.Ok) pageFile_->EndJournal();
//     if (!s.Ok) show s.Message in a message box (the program still ends).
#pragma once
#include <cstdint>
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "DeletedPages.h"
#include "PageData.h"
#include "PageJournal.h"

struct TPageLoadResult {
  // False when there was no page file: the list holds the one default page.
  bool FileFound = false;
  // True when the page file could not be read completely; Message says what was kept.
  bool Damaged = false;
  // Empty unless the user must be told something at start-up.
  std::string Message;
  // Native path the unreadable page file was moved to; empty when nothing was moved.
  std::string SetAsidePath;
  // The last run ended without writing its pages: they were rebuilt from the journal.
  bool Recovered = false;
  int RecoveredPages = 0;
  // Pages whose text a newer bound file replaced, with the text each had before (pages that
  // were empty are not listed): the window keeps them where deleted pages go.
  std::vector<TDeletedPage> Replaced;
};

struct TPageSaveResult {
  bool Ok = false;
  // Empty on success; else what went wrong and where the pages are now.
  std::string Message;
  // Native path of the recovery file holding the pages; empty when none was written.
  std::string RecoveryPath;
};

// The page file of this program and what start-up learned about it.
class TPageFile {
 public:
  // `path` is a native file name; by default the ".kdx" file beside the program.
  TPageFile();
  explicit TPageFile(std::string path);

  const std::string& Path() const { return path_; }

  // Empties `pages` and fills it from the page file: a missing file gives one page named
  // `firstCaption` with empty file name and text; pages bound to a file that is newer than
  // the page file (compared as DOS date-times) take that file's text. A file that cannot be
  // read completely keeps the pages read so far (at least the default page), is renamed to
  // "<page file>.damaged-YYYYMMDD-HHMMSS" and reported in Message. A journal left by a run
  // that did not end in order is applied (up to its last whole record; a damaged one is set
  // aside like the page file) and the recovery reported. Temporary files of killed saves
  // beside the page file are removed. Never raises.
  TPageLoadResult LoadAtStartup(TDataList& pages, const std::string& firstCaption = "Page&0");

  // Writes `pages` over the page file with an atomic replace. On failure the old file stays
  // byte for byte and the pages go to "<page file>.recovery-YYYYMMDD-HHMMSS" beside it, or
  // to a file of that name in $XDG_STATE_HOME (else $HOME), else in $TMPDIR (else /tmp),
  // the first that takes it; the message says where. When
  // start-up could not set a damaged page file aside, the page file is not replaced and the
  // pages go to the recovery file instead. May be called again (a save at session end
  // followed by the normal one). Never raises for file trouble.
  // When `pages` is a changed copy of the live pages (the first page emptied), `live` names
  // the pages the journal follows. On success the journal starts again from the new file.
  TPageSaveResult SaveAtShutdown(const TDataList& pages, const TDataList* live = nullptr);

  // ---- the crash journal ("<page file>-journal")
  std::string JournalPath() const { return path_ + "-journal"; }
  // Starts journalling the pages as loaded. When they differ from the page file (rebuilt from
  // the journal, replaced by bound files, a damaged file set aside) the page file is written
  // first; where it cannot be, the journal begins with all the pages. Returns a message
  // (code page 932) when no journal can be kept, else empty.
  std::string StartJournal(const TDataList& pages);
  // Appends what changed since the last call; the writing happens on a worker thread.
  // False when no journal is kept (the pages were not looked at).
  bool JournalPages(const std::vector<TPageView>& pages);
  // Past this size the pages are written to the page file and the journal starts again.
  static constexpr uint64_t kJournalLimit = 32u << 20;
  bool JournalFull() const;
  // A save at the limit failed: wait for another limit's worth before trying again.
  void PostponeJournalLimit();
  // The pages are in the page file for good: the journal is removed.
  void EndJournal();
  // Waits until the journal is on disk (tests).
  void FlushJournal() { journal_.Flush(); }
  bool Journalling() const { return journal_.IsOpen(); }

  // Fixes the clock used for the names of set-aside and recovery files (tests).
  void SetNowForTesting(std::time_t now) { fixedNow_ = now; }

 private:
  std::string StampedName(const char* what) const;
  std::string StampedName(const std::string& base, const char* what) const;
  void LoadPageFile(TDataList& pages, const std::string& firstCaption, TPageLoadResult& result);
  void ReadJournal(TDataList& pages, const TJournalBase& base, bool pageFileRead,
                   TPageLoadResult& result);
  void ReplaceByBoundFiles(TDataList& pages, uint32_t pagesTime, TPageLoadResult& result);
  void RestartJournal(const std::vector<TPageView>& saved);
  static bool Write(const TDataList& pages, const std::string& path, std::string& error);

  std::string path_;
  TJournalWriter journal_;
  TJournalShadow shadow_;
  bool journalling_ = false;
  // The pages as loaded differ from what the page file holds.
  bool pagesDiffer_ = false;
  uint64_t journalLimit_ = kJournalLimit;
  // Set when a damaged page file could not be moved away: it must not be overwritten.
  bool keepDamagedFile_ = false;
  std::time_t fixedNow_ = 0;
};

namespace PageStartup {

// Local time as a DOS date-time (seconds halved, years 1980-2107; earlier times give the
// smallest value, later ones the largest), as the page file's bound-file rule compares.
uint32_t DosDateTime(std::time_t time);

// The most a bound file may hold to be read into a page at start-up.
constexpr uint64_t kMaxBoundFileBytes = 128u << 20;

// Reads a bound file as page text: only a regular file (a FIFO, device or folder is not
// opened for reading), at most kMaxBoundFileBytes, decoded from the encoding it is found in
// (`format` says which), lines joined with CR LF. False with a short reason (code page 932,
// for the user) when the page must keep its text.
bool ReadBoundFile(const std::string& nativePath, std::string& text, TPageFormat& format,
                   std::string& reason);

// Views of the pages of a list, the page objects telling them apart. Text held in rows is
// copied into `keep`, unless `journalledUnchanged` and the journal holds it already: then the
// view is unchanged.
std::vector<TPageView> ViewsOf(const TDataList& pages, std::deque<std::string>& keep,
                               bool journalledUnchanged = false);

// Splits `bytes` into lines (a line ends at CR LF, CR or LF; a break at the very end starts
// no further line; a NUL byte ends the text) and joins them with CR LF after every line.
std::string JoinLinesCrLf(const std::string& bytes);

}  // namespace PageStartup
