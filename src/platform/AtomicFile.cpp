#include "AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Small pieces are gathered so that a file built value by value costs few system calls.
constexpr size_t kBufferSize = 1 << 20;
// Written data is handed to the disk every so often while the rest is still being made, so
// the final sync has little left to wait for.
constexpr uint64_t kWritebackStep = 8 << 20;

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A link is replaced at its target, so the user's link stays a link.
std::string ResolveLinks(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string out = real;
  std::free(real);
  return out;
}

}  // namespace

TAtomicFileWriter::TAtomicFileWriter(const std::string& path, unsigned newFileMode)
    : path_(ResolveLinks(path)) {
  struct stat old {};
  if (::stat(path_.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) {
      Fail("を置き換えられません", EISDIR);
      return;
    }
    mode_ = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode_ = newFileMode & 0777 & ~mask;
  }
  temp_ = path_ + ".tmp-XXXXXX";
  fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temp_.clear();
    Fail("のそばにファイルを作れません", errno);
    return;
  }
  // Held until the file is renamed or removed; the process's end releases it.
  ::flock(fd_, LOCK_EX | LOCK_NB);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  Discard();
}

bool TAtomicFileWriter::Fail(const char* step, int err) {
  if (error_.empty()) error_ = path_ + " " + step + "（" + std::strerror(err) + "）";
  Discard();
  return false;
}

void TAtomicFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  buffer_ = std::string();
}

bool TAtomicFileWriter::WriteOut(const char* bytes, size_t count) {
  if (!AtomicFile::WriteAll(fd_, bytes, count)) return Fail("に書き込めません", errno);
  written_ += count;
  if (written_ - startedWriteback_ >= kWritebackStep) {
    // Only a hint: errors show up at the sync in Commit.
    ::sync_file_range(fd_, static_cast<off_t>(startedWriteback_),
                      static_cast<off_t>(written_ - startedWriteback_), SYNC_FILE_RANGE_WRITE);
    startedWriteback_ = written_;
  }
  return true;
}

bool TAtomicFileWriter::FlushBuffer() {
  if (!buffer_.empty() && !WriteOut(buffer_.data(), buffer_.size())) return false;
  buffer_.clear();
  return true;
}

bool TAtomicFileWriter::Append(std::string_view bytes) {
  if (!Ok()) return false;
  if (buffer_.size() + bytes.size() <= kBufferSize) {
    if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
    buffer_.append(bytes);
    return true;
  }
  if (!FlushBuffer()) return false;
  if (bytes.size() >= kBufferSize / 2) {
    return WriteOut(bytes.data(), bytes.size());
  }
  buffer_.append(bytes);
  return true;
}

bool TAtomicFileWriter::Commit() {
  if (!Ok() || !FlushBuffer()) return false;
  if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) return Fail("の属性を設定できません", errno);
  if (::fsync(fd_) != 0) return Fail("をディスクに書き出せません", errno);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail("を閉じられません", errno);
  if (::rename(temp_.c_str(), path_.c_str()) != 0) return Fail("を置き換えられません", errno);
  temp_.clear();
  // Make the rename itself durable; failing here no longer risks the data.
  int dir = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

namespace AtomicFile {

bool WriteAll(int fd, const char* p, size_t n) {
  while (n) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool Write(const std::string& path, std::string_view bytes, std::string* error,
           unsigned newFileMode) {
  TAtomicFileWriter writer(path, newFileMode);
  writer.Append(bytes);
  bool ok = writer.Commit();
  if (!ok && error) *error = writer.Error();
  return ok;
}

int RemoveLeftovers(const std::string& folder, const std::string& stem) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  const std::string prefix = stem + ".";
  const std::string marker = ".tmp-";
  int removed = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name(entry->d_name);
    // "<stem>.<ext>.tmp-" and the six characters mkstemp fills in.
    if (name.size() < prefix.size() + 1 + marker.size() + 6 ||
        name.substr(0, prefix.size()) != prefix)
      continue;
    std::string_view tail = name.substr(name.size() - 6 - marker.size());
    if (tail.substr(0, marker.size()) != marker) continue;
    bool random = true;
    for (char c : tail.substr(marker.size()))
      random =
          random && ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (!random) continue;
    int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    // A file another program is still writing is locked: left alone.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
      ++removed;
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

}  // namespace AtomicFile
