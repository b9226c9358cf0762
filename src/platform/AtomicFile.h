// Replacing a file so that it is either the old file or the complete new one, never a mix.
// The bytes go to a temporary file in the same folder, which is flushed to disk and then
// renamed over the target; the folder is flushed too so the rename survives a power cut.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace AtomicFile {

// Writes `bytes` as the whole content of `path` (a native file name). A symbolic link is
// followed, so the file it points to is replaced. A new file gets `newFileMode` less the
// umask, a replaced file keeps its mode. On failure returns false with a short reason in `error`
// (when given); the old file is then untouched and no temporary file is left behind. The
// temporary file is locked while it is written, so a later start can tell a killed
// writer's leftover from a file still being written.
bool Write(const std::string& path, std::string_view bytes, std::string* error = nullptr,
           unsigned newFileMode = 0666);

// Removes what killed writers left in `folder`: files named "<stem>.<anything>.tmp-XXXXXX"
// (the temporary names this writer makes for the files "<stem>.<anything>") that belong to
// this user and that no running writer holds. Returns how many were removed.
int RemoveLeftovers(const std::string& folder, const std::string& stem);

// Writes all `n` bytes to `fd`, going on after interrupted and short writes.
bool WriteAll(int fd, const char* p, size_t n);

}  // namespace AtomicFile

// The same replacement for content written piece by piece, so that a large file need not
// be held in memory: Append as often as needed, then Commit. Destroying the writer without
// a successful Commit removes the temporary file and leaves the target as it was.
class TAtomicFileWriter {
 public:
  // A new file gets `newFileMode` less the umask; a replaced file keeps its mode.
  explicit TAtomicFileWriter(const std::string& path, unsigned newFileMode = 0666);
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // False once anything has failed; Error() then says what.
  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }

  bool Append(std::string_view bytes);
  // Flushes, syncs and renames over the target. True when the target now holds the content.
  bool Commit();

 private:
  bool WriteOut(const char* bytes, size_t count);
  bool FlushBuffer();
  // Records the first failure, removes the temporary file; always false.
  bool Fail(const char* step, int err);
  void Discard();

  std::string path_;  // the target, links resolved
  std::string temp_;
  std::string buffer_;
  int fd_ = -1;
  unsigned mode_ = 0;
  uint64_t written_ = 0;
  uint64_t startedWriteback_ = 0;
  std::string error_;
};
