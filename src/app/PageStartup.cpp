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

bool ReadFileBytes(const std::string& path, std::string& out) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string data;
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
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

}  // namespace PageStartup

TPageFile::TPageFile() : path_(ProgramFiles::DataFile(".kdx")) {}

TPageFile::TPageFile(std::string path) : path_(std::move(path)) {}

std::string TPageFile::StampedName(const char* what) const {
  std::string base = path_ + "." + what + "-" + Stamp(fixedNow_ ? fixedNow_ : std::time(nullptr));
  std::string name = base;
  for (int n = 2; Exists(name); ++n) name = base + "-" + std::to_string(n);
  return name;
}

TPageLoadResult TPageFile::LoadAtStartup(TDataList& pages, const std::string& firstCaption) {
  TPageLoadResult result;
  keepDamagedFile_ = false;
  pages.Clear();

  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0 && errno == ENOENT) {
    pages.Add(firstCaption);
    return result;
  }
  result.FileFound = true;
  const uint32_t pageFileTime = PageStartup::DosDateTime(st.st_mtim.tv_sec);

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

  if (!fault.empty()) {
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
      result.Message = Msg(text) + ForDisplay(aside);
    } else {
      // The unreadable file must survive: shut-down will not write over it.
      keepDamagedFile_ = true;
      text +=
          "元のファイルは名前を変えられなかったので、そのまま残します。\n"
          "終了時のページは別のファイル（.recovery-日付）に保存します。\n"
          "（" +
          std::string(std::strerror(renameError)) + "）";
      result.Message = Msg(text);
    }
  }

  // Pages bound to a file changed since the page file was written take the file's text.
  for (int i = 0; i < pages.Count(); ++i) {
    TDataItem* page = pages.Items(i);
    if (page->FileName.empty()) continue;
    std::string bound = BoundFilePath(page->FileName);
    if (bound.empty()) continue;
    struct stat bst {};
    if (::stat(bound.c_str(), &bst) != 0) continue;
    if (pageFileTime >= PageStartup::DosDateTime(bst.st_mtim.tv_sec)) continue;
    std::string bytes;
    if (ReadFileBytes(bound, bytes)) {
      // The file may have been saved in another encoding since (UTF-8, UTF-16 ...).
      TextEncoding::TDecoded decoded = TextEncoding::Decode(bytes);
      page->Text = PageStartup::JoinLinesCrLf(decoded.Text);
      page->Format = TPageFormat{decoded.Format, decoded.Replaced.Count > 0, true};
    }
  }
  return result;
}

TPageSaveResult TPageFile::SaveAtShutdown(const TDataList& pages) {
  TPageSaveResult result;
  auto save = [&pages](const std::string& path, std::string& error) {
    try {
      pages.SaveToFile(path);
      return true;
    } catch (const std::exception& e) {  // EPageFileError, or no memory for a conversion
      error = e.what();
      return false;
    }
  };

  std::string error;
  if (!keepDamagedFile_ && save(path_, error)) {
    result.Ok = true;
    return result;
  }

  std::string text = keepDamagedFile_
                         ? "読み込めなかったページファイルを残すため、上書きしませんでした。\n"
                         : "ページファイルを書き込めませんでした。\n（" + error +
                               "）\n前回のページファイルはそのまま残っています。\n";
  // Beside the page file first; where that folder is the problem, in the home folder.
  std::string recovery = StampedName("recovery");
  std::string recoveryError;
  bool saved = save(recovery, recoveryError);
  if (!saved) {
    if (const char* home = std::getenv("HOME"); home && *home) {
      std::string file = path_.substr(path_.rfind('/') + 1);
      std::string other = std::string(home) + "/" + file + recovery.substr(path_.size());
      if (save(other, recoveryError)) {
        saved = true;
        recovery = other;
      }
    }
  }
  if (saved) {
    result.RecoveryPath = recovery;
    text += "今回のページは次のファイルに保存しました:\n";
    result.Message = Msg(text) + ForDisplay(recovery);
  } else {
    text += "今回のページはどこにも保存できませんでした。\n（" + recoveryError + "）";
    result.Message = Msg(text);
  }
  return result;
}
