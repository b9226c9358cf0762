#include "PageStartup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ProgramFiles.h"
#include "platform/TextEncoding.h"

namespace {

constexpr uint64_t kMaxJournalBytes = 1ull << 30;

// The program's messages are written here in UTF-8 and handed out in code page 932.
std::string Msg(std::string_view utf8) {
  return CodePage::FromUtf8(utf8);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The bound file's native name: page file names are code page 932; a name that is not
// found that way is tried as it stands, in case it was stored in the system's own encoding.
std::string BoundFilePath(const std::string& fileName) {
  std::string utf8 = CodePage::ToUtf8(fileName);
  struct stat st {};
  if (::stat(utf8.c_str(), &st) == 0) return utf8;
  if (utf8 != fileName && ::stat(fileName.c_str(), &st) == 0) return fileName;
  return {};
}

// Reads a whole regular file without waiting on it (a FIFO or device is refused before any
// read), at most `cap` bytes. `tooLarge` is set when there is more.
bool ReadRegularFile(const std::string& path, uint64_t cap, std::string& out, bool& tooLarge,
                     int& error) {
  tooLarge = false;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > cap) {
    ::close(fd);
    tooLarge = true;
    return false;
  }
  std::string data;
  // The size is only a hint: some files claim 0 and go on giving bytes.
  data.reserve(static_cast<size_t>(st.st_size));
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = errno;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > cap) {
      ::close(fd);
      tooLarge = true;
      return false;
    }
    data.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  out = std::move(data);
  return true;
}

std::string Stamp(std::time_t now) {
  std::tm tm{};
  ::localtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

// A native (UTF-8) path as it appears inside a message.
std::string ForDisplay(const std::string& path) {
  return CodePage::FromUtf8(path);
}

}  // namespace

namespace PageStartup {

uint32_t DosDateTime(std::time_t time) {
  std::tm tm{};
  if (!::localtime_r(&time, &tm)) return 0;
  int year = tm.tm_year + 1900;
  if (year < 1980) return 0;
  if (year > 2107) return 0xFFFFFFFFu;
  uint32_t date = (static_cast<uint32_t>(year - 1980) << 9) |
                  (static_cast<uint32_t>(tm.tm_mon + 1) << 5) | static_cast<uint32_t>(tm.tm_mday);
  uint32_t clock = (static_cast<uint32_t>(tm.tm_hour) << 11) |
                   (static_cast<uint32_t>(tm.tm_min) << 5) |
                   static_cast<uint32_t>(std::min(tm.tm_sec, 59) / 2);
  return (date << 16) | clock;
}

std::string JoinLinesCrLf(const std::string& bytes) {
  std::string_view text(bytes);
  if (size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) {
      out.append(text.substr(i));
      out.append("\r\n");
      break;
    }
    out.append(text.substr(i, end - i));
    out.append("\r\n");
    i = end + 1;
    if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  return out;
}

bool ReadBoundFile(const std::string& nativePath, std::string& text, TPageFormat& format,
                   std::string& reason) {
  try {
    std::string bytes;
    bool tooLarge = false;
    int error = 0;
    if (!ReadRegularFile(nativePath, kMaxBoundFileBytes, bytes, tooLarge, error)) {
      if (tooLarge)
        reason = Msg("大きすぎます（" + std::to_string(kMaxBoundFileBytes >> 20) + " MB まで）");
      else if (error == EINVAL || error == EISDIR)
        reason = Msg("通常のファイルではありません");
      else
        reason = Msg(std::strerror(error));
      return false;
    }
    // The file may have been saved in another encoding since (UTF-8, UTF-16 ...).
    TextEncoding::TDecoded decoded = TextEncoding::Decode(bytes);
    text = JoinLinesCrLf(decoded.Text);
    format = TPageFormat{decoded.Format, decoded.Replaced.Count > 0, true};
    return true;
  } catch (const std::bad_alloc&) {
    reason = Msg("メモリが足りません");
    return false;
  }
}

std::vector<TPageView> ViewsOf(const TDataList& pages, std::deque<std::string>& keep,
                               bool journalledUnchanged) {
  std::vector<TPageView> views;
  views.reserve(static_cast<size_t>(pages.Count()));
  for (int i = 0; i < pages.Count(); ++i) {
    const TDataItem* p = pages.Items(i);
    views.push_back({p, p->Name, p->FileName, p->Text});
    if (!p->Rows) continue;
    if (journalledUnchanged && p->RowsJournalled) {
      views.back().Unchanged = true;
    } else {
      keep.push_back(p->FullText());
      views.back().Text = keep.back();
    }
  }
  return views;
}

}  // namespace PageStartup

TPageFile::TPageFile() : path_(ProgramFiles::DataFile(".kdx")) {}

TPageFile::TPageFile(std::string path) : path_(std::move(path)) {}

std::string TPageFile::StampedName(const char* what) const {
  return StampedName(path_, what);
}

std::string TPageFile::StampedName(const std::string& file, const char* what) const {
  std::string base = file + "." + what + "-" + Stamp(fixedNow_ ? fixedNow_ : std::time(nullptr));
  std::string name = base;
  for (int n = 2; Exists(name); ++n) name = base + "-" + std::to_string(n);
  return name;
}

void TPageFile::ReadJournal(TDataList& pages, const TJournalBase& base, bool pageFileRead,
                            TPageLoadResult& result) {
  const std::string path = JournalPath();
  std::string bytes;
  bool tooLarge = false;
  int error = 0;
  struct stat jst {};
  if (::lstat(path.c_str(), &jst) != 0) return;
  bool read = ReadRegularFile(path, kMaxJournalBytes, bytes, tooLarge, error);
  auto setAside = [&](const char* why) {
    std::string aside = StampedName(path, "damaged");
    std::string text = std::string("作業記録（") + why + "）を読み込めなかったので、";
    if (::rename(path.c_str(), aside.c_str()) == 0)
      result.Message += Msg(text + "次の名前で残してあります:\n") + ForDisplay(aside);
    else
      result.Message += Msg(text + "そのまま残しています。");
    result.Message += "\n\n";
  };
  if (!read) {
    setAside(tooLarge ? "大きすぎます" : std::strerror(error));
    return;
  }
  // Nothing but the first record: nothing was journalled.
  const size_t baseSize = PageJournal::BaseRecord({}).size();
  TJournalBase journalBase;
  bool selfContained = false;
  if (!PageJournal::ReadBase(bytes, journalBase, selfContained)) {
    // Shorter than the first record: torn while it was being started.
    if (bytes.size() > baseSize) setAside("先頭が壊れています");
    return;
  }
  const bool applies = selfContained || (pageFileRead && journalBase == base);
  if (!applies) {
    // Written for another page file (the save that followed it went through): it holds
    // nothing newer. Kept anyway when it has records, as nothing is deleted unread.
    if (bytes.size() > baseSize) ::rename(path.c_str(), StampedName(path, "old").c_str());
    return;
  }
  TJournalReplay replay = PageJournal::Replay(bytes, pages);
  if (replay.Records == 0 && !replay.Damaged) return;
  result.Recovered = true;
  result.RecoveredPages = replay.PagesChanged;
  pagesDiffer_ = true;
  std::string text = "前回は正しく終了しませんでした。作業記録から " +
                     std::to_string(replay.PagesChanged) + " ページを復元しました。\n\n";
  result.Message = Msg(text) + result.Message;
  if (replay.Damaged) setAside(replay.Fault.c_str());
}

TPageLoadResult TPageFile::LoadAtStartup(TDataList& pages, const std::string& firstCaption) {
  TPageLoadResult result;
  keepDamagedFile_ = false;
  pagesDiffer_ = false;
  pages.Clear();
  try {
    // Saves that were killed leave their temporary files behind.
    size_t slash = path_.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash);
    std::string file = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    AtomicFile::RemoveLeftovers(folder, file.substr(0, file.find('.')));

    const TJournalBase base = TJournalBase::Of(path_);
    struct stat st {};
    uint32_t pagesTime = 0;
    bool pageFileRead = false;
    if (::stat(path_.c_str(), &st) != 0 && errno == ENOENT) {
      pages.Add(firstCaption);
      pageFileRead = true;
    } else {
      result.FileFound = true;
      pagesTime = PageStartup::DosDateTime(st.st_mtim.tv_sec);
      LoadPageFile(pages, firstCaption, result);
      pageFileRead = !result.Damaged;
    }

    ReadJournal(pages, base, pageFileRead, result);
    if (result.Recovered) {
      struct stat jst {};
      if (::stat(JournalPath().c_str(), &jst) == 0)
        pagesTime = std::max(pagesTime, PageStartup::DosDateTime(jst.st_mtim.tv_sec));
    }
    if (pages.Count() == 0) pages.Add(firstCaption);
    if (result.FileFound || result.Recovered) ReplaceByBoundFiles(pages, pagesTime, result);
  } catch (const std::exception& e) {
    // No memory, most likely: start with what there is, never abort.
    if (pages.Count() == 0) pages.Add(firstCaption);
    result.Message += Msg(std::string("ページの読み込み中に問題が起きました（") + e.what() + "）");
  }
  if (result.Damaged) pagesDiffer_ = true;
  while (!result.Message.empty() && result.Message.back() == '\n') result.Message.pop_back();
  return result;
}

void TPageFile::LoadPageFile(TDataList& pages, const std::string& firstCaption,
                             TPageLoadResult& result) {
  std::string fault;
  try {
    pages.LoadFromFile(path_);
    if (pages.Count() < 1) fault = "ページファイルにページがありません";
  } catch (const EPageFileError& e) {
    fault = e.what();
  } catch (const std::bad_alloc&) {
    fault = "ページファイルを読み込むためのメモリが足りません";
  } catch (const std::exception& e) {
    fault = e.what();
  }
  if (fault.empty()) return;

  result.Damaged = true;
  const int kept = pages.Count();
  if (kept == 0) pages.Add(firstCaption);

  std::string aside = StampedName("damaged");
  std::string text = "ページファイルを最後まで読み込めませんでした。\n（" + fault + "）\n\n";
  text += kept > 0 ? "読み込めた " + std::to_string(kept) + " ページだけを開いています。\n"
                   : "空のページで始めます。\n";
  const int renameError = ::rename(path_.c_str(), aside.c_str()) == 0 ? 0 : errno;
  if (renameError == 0) {
    result.SetAsidePath = aside;
    text += "元のファイルは次の名前で残してあります:\n";
    result.Message = Msg(text) + ForDisplay(aside) + "\n\n";
  } else {
    // The unreadable file must survive: shut-down will not write over it.
    keepDamagedFile_ = true;
    text +=
        "元のファイルは名前を変えられなかったので、そのまま残します。\n"
        "終了時のページは別のファイル（.recovery-日付）に保存します。\n"
        "（" +
        std::string(std::strerror(renameError)) + "）\n\n";
    result.Message = Msg(text);
  }
}

void TPageFile::ReplaceByBoundFiles(TDataList& pages, uint32_t pagesTime, TPageLoadResult& result) {
  // Pages bound to a file changed since the pages were written take the file's text; the
  // text they had goes back to the caller.
  std::string skipped, replacedNames;
  for (int i = 0; i < pages.Count(); ++i) {
    TDataItem* page = pages.Items(i);
    if (page->FileName.empty()) continue;
    std::string bound = BoundFilePath(page->FileName);
    if (bound.empty()) continue;
    struct stat bst {};
    if (::stat(bound.c_str(), &bst) != 0) continue;
    if (pagesTime >= PageStartup::DosDateTime(bst.st_mtim.tv_sec)) continue;
    std::string text, reason;
    TPageFormat format;
    if (!PageStartup::ReadBoundFile(bound, text, format, reason)) {
      skipped += "  " + page->Name + " : " + page->FileName + "\n    " + reason + "\n";
      continue;
    }
    page->Format = format;
    if (text == page->Text) continue;
    pagesDiffer_ = true;
    replacedNames += "  " + page->Name + " : " + page->FileName + "\n";
    if (!page->Text.empty())
      result.Replaced.push_back({page->Name, page->FileName, std::move(page->Text), i});
    page->Text = std::move(text);
  }
  if (!replacedNames.empty())
    result.Message +=
        Msg("次のページは、結び付いたファイルのほうが新しいので、その内容に置き換えました:\n") +
        replacedNames + "\n";
  if (!skipped.empty())
    result.Message +=
        Msg("次のページは、結び付いたファイルを読み込まず、保存してあった内容のままです:\n") +
        skipped + "\n";
}

bool TPageFile::Write(const TDataList& pages, const std::string& path, std::string& error) {
  try {
    pages.SaveToFile(path);
    return true;
  } catch (const std::exception& e) {  // EPageFileError, or no memory for a conversion
    error = e.what();
    return false;
  }
}

TPageSaveResult TPageFile::SaveAtShutdown(const TDataList& pages, const TDataList* live) {
  TPageSaveResult result;
  auto save = [&pages](const std::string& path, std::string& error) {
    return Write(pages, path, error);
  };

  std::string error;
  if (!keepDamagedFile_ && save(path_, error)) {
    result.Ok = true;
    if (journalling_) {
      // Rows the journal holds are not copied again.
      std::deque<std::string> keep;
      std::vector<TPageView> saved = PageStartup::ViewsOf(pages, keep, true);
      if (live && live->Count() == pages.Count())
        for (int i = 0; i < live->Count(); ++i) saved[static_cast<size_t>(i)].Id = live->Items(i);
      RestartJournal(saved);
    }
    return result;
  }

  std::string text = keepDamagedFile_
                         ? "読み込めなかったページファイルを残すため、上書きしませんでした。\n"
                         : "ページファイルを書き込めませんでした。\n（" + error +
                               "）\n前回のページファイルはそのまま残っています。\n";
  // Beside the page file first; where that disk or folder is the problem, in the user's
  // state folder (or home), then in the temporary folder.
  const std::string fileName = path_.substr(path_.rfind('/') + 1);
  const std::string stamped = StampedName("recovery");
  const std::string suffix = stamped.substr(path_.size());
  std::vector<std::string> places = {stamped};
  auto folderFrom = [&places, &fileName, &suffix](const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string folder = value && *value == '/' ? value : (fallback ? fallback : "");
    if (!folder.empty()) places.push_back(folder + "/" + fileName + suffix);
  };
  folderFrom("XDG_STATE_HOME", nullptr);
  folderFrom("HOME", nullptr);
  if (places.size() == 3) places.erase(places.begin() + 2);  // $XDG_STATE_HOME, else $HOME
  folderFrom("TMPDIR", "/tmp");
  std::string recovery, recoveryError;
  for (const std::string& place : places) {
    std::string placeError;
    if (save(place, placeError)) {
      recovery = place;
      break;
    }
    if (recoveryError.empty()) recoveryError = placeError;
  }
  if (!recovery.empty()) {
    result.RecoveryPath = recovery;
    text += "今回のページは次のファイルに保存しました:\n";
    result.Message = Msg(text) + ForDisplay(recovery);
  } else {
    text += "今回のページはどこにも保存できませんでした。\n（" + recoveryError + "）";
    result.Message = Msg(text);
  }
  return result;
}

// ---- journal

void TPageFile::RestartJournal(const std::vector<TPageView>& saved) {
  shadow_.Reset(saved);
  if (!journal_.Start(JournalPath(), PageJournal::BaseRecord(TJournalBase::Of(path_))))
    journalling_ = false;
  journalLimit_ = kJournalLimit;
}

std::string TPageFile::StartJournal(const TDataList& pages) {
  journalling_ = true;
  std::deque<std::string> keep;
  std::vector<TPageView> views = PageStartup::ViewsOf(pages, keep);
  if (!keepDamagedFile_) {
    std::string error;
    if (!pagesDiffer_ || Write(pages, path_, error))
      RestartJournal(views);
    else
      journalling_ = false;
    if (journalling_) return {};
  }
  // The page file does not hold these pages and cannot be written now: the journal starts
  // with all of them.
  journalling_ = true;
  shadow_.Reset(views);
  std::string first =
      PageJournal::BaseRecord(TJournalBase::Of(path_)) + TJournalShadow::Snapshot(views);
  if (journal_.Start(JournalPath(), first)) return {};
  journalling_ = false;
  return Msg("作業記録を作れないため、終了時まで変更はディスクに書かれません。\n（") +
         ForDisplay(journal_.Error()) + "）";
}

bool TPageFile::JournalPages(const std::vector<TPageView>& pages) {
  if (!journalling_ || !journal_.IsOpen()) return false;
  journal_.Append(shadow_.Update(pages));
  return true;
}

bool TPageFile::JournalFull() const {
  return journalling_ && journal_.IsOpen() && journal_.Size() > journalLimit_;
}

void TPageFile::PostponeJournalLimit() {
  journalLimit_ = journal_.Size() + kJournalLimit;
}

void TPageFile::EndJournal() {
  journalling_ = false;
  journal_.Remove();
}
