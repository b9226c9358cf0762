#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(const char* step, const std::string& path, int err) {
  return std::string(step) + " " + path + ": " + std::strerror(err);
}

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

namespace AtomicFile {

bool Write(const std::string& requestedPath, std::string_view bytes, std::string* error) {
  auto fail = [&](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  const std::string path = ResolveLinks(requestedPath);
  const std::string folder = FolderOf(path);

  mode_t mode;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return fail(Reason("cannot replace", path, EISDIR));
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temp = path + ".tmp-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(Reason("cannot create a file in", folder, errno));

  int err = 0;
  const char* step = nullptr;
  if (!WriteAll(fd, bytes.data(), bytes.size())) {
    err = errno, step = "cannot write";
  } else if (::fchmod(fd, mode) != 0) {
    err = errno, step = "cannot set the mode of";
  } else if (::fsync(fd) != 0) {
    err = errno, step = "cannot flush";
  }
  if (::close(fd) != 0 && !step) err = errno, step = "cannot close";
  if (!step && ::rename(temp.c_str(), path.c_str()) != 0) err = errno, step = "cannot replace";
  if (step) {
    ::unlink(temp.c_str());
    return fail(Reason(step, path, err));
  }

  // Make the rename itself durable; failing here no longer risks the data.
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace AtomicFile
