#include "TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/AtomicFile.h"

namespace TextFile {

namespace {

// Shares of the whole job: reading, converting, line ends.
constexpr double kReadShare = 0.3;
constexpr double kConvertShare = 0.6;

bool ReadBytes(const std::string& path, std::string& out, std::string& error,
               const TProgress& progress) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "not a regular file";
    ::close(fd);
    return false;
  }
  const size_t expected = static_cast<size_t>(st.st_size);
  out.clear();
  out.resize(expected);
  size_t got = 0;
  for (;;) {
    if (got == out.size()) out.resize(out.size() + (1 << 20));
    size_t want = std::min<size_t>(out.size() - got, 4 << 20);
    ssize_t n = ::read(fd, out.data() + got, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    if (progress && expected > 0) progress(kReadShare * std::min(1.0, double(got) / expected));
  }
  ::close(fd);
  out.resize(got);
  return true;
}

}  // namespace

bool Read(const std::string& path, TOpened& opened, std::string& error, const TProgress& progress) {
  try {
    std::string bytes;
    if (!ReadBytes(path, bytes, error, progress)) return false;
    TextEncoding::TDecoded d = TextEncoding::Decode(
        bytes, progress ? TextEncoding::TProgress([&](uint64_t done, uint64_t total) {
          progress(kReadShare + kConvertShare * (total ? double(done) / total : 1.0));
        })
                        : TextEncoding::TProgress{});
    bytes = std::string();
    opened.Text = TextEncoding::ToCrLf(d.Text, d.Format.LineEnd);
    opened.Format = d.Format;
    opened.Replaced = std::move(d.Replaced);
    if (progress) progress(1.0);
    return true;
  } catch (const std::bad_alloc&) {
    error = "not enough memory";
    return false;
  }
}

std::string Encode(std::string_view text, const TextEncoding::TFileFormat& format,
                   TextEncoding::TReplacements* replaced, const TProgress& progress) {
  std::string lines = TextEncoding::FromCrLf(text, format.LineEnd);
  if (progress) progress(0.1);
  return TextEncoding::FromCp932(lines, format.Encoding, replaced,
                                 progress
                                     ? TextEncoding::TProgress([&](uint64_t done, uint64_t total) {
                                         progress(0.1 + 0.9 * (total ? double(done) / total : 1.0));
                                       })
                                     : TextEncoding::TProgress{});
}

bool Write(const std::string& path, std::string_view bytes, std::string& error) {
  return AtomicFile::Write(path, bytes, &error);
}

}  // namespace TextFile
