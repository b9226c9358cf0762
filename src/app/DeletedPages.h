// The pages the user deleted (and pages whose text something else replaced), newest last, so
// that they can be put back. Kept in a small file beside the page file so that they survive
// a restart; the file is private to the user (0600) and replaced atomically.
//
// File: the typed values of the page file — the string "PiyoDeletedPages", the count N, then
// N records (position as an integer, then name, file name and text as strings), oldest first.
#pragma once
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

struct TDeletedPage {
  std::string Name;      // code page 932, as the tab showed it
  std::string FileName;  // the binding, empty when unbound
  std::string Text;
  int Position = 0;  // where the page stood when it went
};

class TDeletedPages {
 public:
  // The oldest page is forgotten when a push would hold more than this.
  static constexpr size_t kCapacity = 30;

  // Held in memory only; Load and Save do nothing.
  TDeletedPages() = default;
  // `path` is a native file name (by default the ".kdd" file beside the program).
  explicit TDeletedPages(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  size_t Count() const { return pages_.size(); }
  bool Empty() const { return pages_.empty(); }
  // 0 is the oldest.
  const TDeletedPage& Item(size_t index) const { return pages_.at(index); }

  void Push(TDeletedPage page);
  // Takes the newest page out; nothing when the store is empty.
  std::optional<TDeletedPage> Pop();

  // Reads the file; a missing file gives an empty store. A file that cannot be read whole
  // keeps the records read so far, is renamed to "<file>.damaged" (never deleted) and
  // gives false with a reason in `error`.
  bool Load(std::string* error = nullptr);
  // Writes the store over the file (only when it changed since the last Load or Save).
  // On failure the old file stays and `error` says why.
  bool Save(std::string* error = nullptr);

  // The bytes Save writes, and their reading (raises EPageFileError on bad data, leaving
  // the records read before the fault in `pages`).
  static std::string Serialize(const std::deque<TDeletedPage>& pages);
  static void Parse(const std::string& bytes, std::deque<TDeletedPage>& pages);

 private:
  std::string path_;
  std::deque<TDeletedPage> pages_;
  bool dirty_ = false;
};
