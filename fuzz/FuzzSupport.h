// What the fuzz targets share: readers that take a file name get the input through an
// anonymous in-memory file, and a broken promise ends the run as a crash.
#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input as a file: "/proc/self/fd/N" of a memory file, closed when this goes.
class TMemoryFile {
 public:
  explicit TMemoryFile(std::string_view bytes) {
    fd_ = memfd_create("fuzz", MFD_CLOEXEC);
    if (fd_ < 0) std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) std::abort();
      done += size_t(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~TMemoryFile() { close(fd_); }
  TMemoryFile(const TMemoryFile&) = delete;
  TMemoryFile& operator=(const TMemoryFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// Splits the input into pieces at a byte no piece holds (0xFF), for targets that need
// several strings.
class TPieces {
 public:
  explicit TPieces(std::string_view bytes) : rest_(bytes) {}
  std::string_view Next() {
    size_t cut = rest_.find('\xFF');
    std::string_view piece = rest_.substr(0, cut);
    rest_ = cut == std::string_view::npos ? std::string_view() : rest_.substr(cut + 1);
    return piece;
  }
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

[[noreturn]] inline void Broken(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "broken: %s %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace fuzz
