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
//   destruction handler, after StoreCurrentPage and the NoSavePage0 rule:
//     TPageSaveResult s = pageFile_->SaveAtShutdown(*PageList);
//     if (!s.Ok) show s.Message in a message box (the program still ends).
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

#include "PageData.h"

struct TPageLoadResult {
  // False when there was no page file: the list holds the one default page.
  bool FileFound = false;
  // True when the page file could not be read completely; Message says what was kept.
  bool Damaged = false;
  // Empty unless the user must be told something at start-up.
  std::string Message;
  // Native path the unreadable page file was moved to; empty when nothing was moved.
  std::string SetAsidePath;
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
  // "<page file>.damaged-YYYYMMDD-HHMMSS" and reported in Message. Never raises for file
  // trouble.
  TPageLoadResult LoadAtStartup(TDataList& pages, const std::string& firstCaption = "Page&0");

  // Writes `pages` over the page file with an atomic replace. On failure the old file stays
  // byte for byte and the pages go to "<page file>.recovery-YYYYMMDD-HHMMSS" beside it, or
  // to a file of that name in $HOME when the page file's folder cannot be written. When
  // start-up could not set a damaged page file aside, the page file is not replaced and the
  // pages go to the recovery file instead. May be called again (a save at session end
  // followed by the normal one). Never raises for file trouble.
  TPageSaveResult SaveAtShutdown(const TDataList& pages);

  // Fixes the clock used for the names of set-aside and recovery files (tests).
  void SetNowForTesting(std::time_t now) { fixedNow_ = now; }

 private:
  std::string StampedName(const char* what) const;

  std::string path_;
  // Set when a damaged page file could not be moved away: it must not be overwritten.
  bool keepDamagedFile_ = false;
  std::time_t fixedNow_ = 0;
};

namespace PageStartup {

// Local time as a DOS date-time (seconds halved, years 1980-2107; earlier times give the
// smallest value, later ones the largest), as the page file's bound-file rule compares.
uint32_t DosDateTime(std::time_t time);

// Splits `bytes` into lines (a line ends at CR LF, CR or LF; a break at the very end starts
// no further line; a NUL byte ends the text) and joins them with CR LF after every line.
std::string JoinLinesCrLf(const std::string& bytes);

}  // namespace PageStartup
