// The crash journal: an append-only file beside the page file that receives every change to
// the pages (text, name, binding, order) within a second, so that a crash, a kill or a lost
// display costs at most the last second of typing. The page file plus the journal give the
// pages; after each successful page-file save the journal starts again from that file.
//
// File: records of [u32 payload length][u32 CRC-32 of the payload][payload], little-endian.
// The first record names the page file it continues (device, inode, size, modification
// time), so a journal left behind by an older page file is never applied to a newer one.
// A record cut short at the end (a write torn by the crash) ends the journal there; a bad
// record with more data after it means the journal is damaged.
//
// Toolkit-free; all strings are code page 932 bytes as the pages hold them.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "PageData.h"

// What a page file is, so that a journal can tell whether it continues it.
struct TJournalBase {
  bool HasPageFile = false;
  uint64_t Device = 0;
  uint64_t Inode = 0;
  uint64_t Size = 0;
  int64_t MtimeSec = 0;
  int64_t MtimeNsec = 0;

  // The page file at `path` as it is now (HasPageFile false when there is none).
  static TJournalBase Of(const std::string& path);
  bool operator==(const TJournalBase&) const = default;
};

// One page as the journal sees it: `Id` tells pages apart across moves (the page object).
struct TPageView {
  const void* Id = nullptr;
  std::string_view Name;
  std::string_view FileName;
  std::string_view Text;
  // The text is the one last given for this page, which the shadow holds; Text is not read.
  bool Unchanged = false;
};

// The outcome of applying a journal to the pages read from the page file.
struct TJournalReplay {
  bool HasBase = false;
  TJournalBase Base;
  // Applied records after the base.
  int Records = 0;
  // Pages whose text, name or binding the records changed or added (deleted ones not counted).
  int PagesChanged = 0;
  // Bytes up to the end of the last whole record (the rest is torn or damaged).
  uint64_t GoodLength = 0;
  // A record could not be read or applied and data follows it: the journal is damaged.
  bool Damaged = false;
  std::string Fault;
  // The records rebuild every page on their own (they start by clearing the list).
  bool SelfContained = false;
};

namespace PageJournal {

// Journal records, for writers and tests.
std::string BaseRecord(const TJournalBase& base);
std::string ClearRecord();
std::string InsertRecord(uint32_t pos, std::string_view name, std::string_view file,
                         std::string_view text);
std::string DeleteRecord(uint32_t pos);
std::string MoveRecord(uint32_t from, uint32_t to);
std::string NameRecord(uint32_t pos, std::string_view name);
std::string FileRecord(uint32_t pos, std::string_view file);
// Replaces `removed` bytes at `offset` of the page's text with `inserted`.
std::string EditRecord(uint32_t pos, uint64_t offset, uint64_t removed, std::string_view inserted);

// Reads the base and applies the records that follow to `pages`. Stops at the first record
// that is cut short (torn tail) or cannot be read or applied (damaged when more data
// follows). Never raises.
TJournalReplay Replay(std::string_view journal, TDataList& pages);
// Reads only the base; `selfContained` tells whether the records start by clearing the list.
bool ReadBase(std::string_view journal, TJournalBase& base, bool& selfContained);

uint32_t Crc32(std::string_view bytes);

}  // namespace PageJournal

// The pages as last written to the journal, and the records that bring it up to date.
class TJournalShadow {
 public:
  // An unchanged page keeps the text held for it (std::logic_error when none is held).
  void Reset(const std::vector<TPageView>& pages);
  // Records that turn the last state into `pages`, which then become the last state. An
  // unchanged page must be held already (else std::logic_error, and nothing changes).
  std::string Update(const std::vector<TPageView>& pages);
  // True when the shadow holds a page of that id.
  bool Holds(const void* id) const;
  // Records that rebuild `pages` from nothing; no page may be unchanged.
  static std::string Snapshot(const std::vector<TPageView>& pages);

 private:
  struct TEntry {
    const void* Id;
    std::string Name;
    std::string FileName;
    std::string Text;
  };
  std::vector<TEntry> pages_;
};

// Appends to the journal file on a worker thread, which writes at once and makes the data
// durable (fdatasync) at most once a second. The UI thread only hands over bytes.
class TJournalWriter {
 public:
  TJournalWriter();
  ~TJournalWriter();  // writes and syncs what is pending
  TJournalWriter(const TJournalWriter&) = delete;
  TJournalWriter& operator=(const TJournalWriter&) = delete;

  // Creates or empties the file (0600, links not followed) and writes `firstRecords`
  // durably. False with Error() when the file cannot be made.
  bool Start(const std::string& path, std::string_view firstRecords);
  // Continues an existing journal after its last whole record.
  bool Continue(const std::string& path, uint64_t goodLength);
  void Append(std::string records);
  // Waits until everything handed over is written and synced.
  void Flush();
  // Stops writing and removes the file (the pages are safe in the page file).
  void Remove();
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  // Bytes in the file once everything handed over is written.
  uint64_t Size() const { return size_; }
  std::string Error() const;
  // Number of data syncs done (tests).
  int Syncs() const;

 private:
  void Run();
  bool OpenFile(const std::string& path, int flags);

  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::string pending_;
  bool busy_ = false;
  bool flush_ = false;
  bool stop_ = false;
  int syncs_ = 0;
  std::string error_;
  std::chrono::steady_clock::time_point lastSync_{};
  std::thread thread_;
};
