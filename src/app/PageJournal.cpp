#include "PageJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unordered_set>

#include "platform/AtomicFile.h"

namespace {

enum : char {
  kBase = 'B',
  kClear = 'C',
  kInsert = 'I',
  kDelete = 'D',
  kMove = 'M',
  kName = 'N',
  kFile = 'F',
  kEdit = 'E',
};

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutStr(std::string& out, std::string_view s) {
  PutU64(out, s.size());
  out.append(s);
}

std::string Frame(const std::string& payload) {
  std::string out;
  out.reserve(payload.size() + 8);
  PutU32(out, static_cast<uint32_t>(payload.size()));
  PutU32(out, PageJournal::Crc32(payload));
  out += payload;
  return out;
}

// Bounds-checked reading of one payload.
class TFieldReader {
 public:
  explicit TFieldReader(std::string_view data) : data_(data) {}
  bool U32(uint32_t& v) {
    uint64_t w = 0;
    if (!Bytes(4, w)) return false;
    v = static_cast<uint32_t>(w);
    return true;
  }
  bool U64(uint64_t& v) { return Bytes(8, v); }
  bool Str(std::string_view& s) {
    uint64_t n = 0;
    if (!U64(n) || n > data_.size() - pos_) return false;
    s = data_.substr(pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return true;
  }
  bool AtEnd() const { return pos_ == data_.size(); }

 private:
  bool Bytes(size_t n, uint64_t& v) {
    if (data_.size() - pos_ < n) return false;
    v = 0;
    for (size_t i = 0; i < n; ++i)
      v |= static_cast<uint64_t>(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    pos_ += n;
    return true;
  }
  std::string_view data_;
  size_t pos_ = 0;
};

bool ParseBase(std::string_view payload, TJournalBase& base) {
  if (payload.empty() || payload[0] != kBase) return false;
  TFieldReader r(payload.substr(1));
  uint32_t has = 0;
  uint64_t sec = 0, nsec = 0;
  if (!r.U32(has) || !r.U64(base.Device) || !r.U64(base.Inode) || !r.U64(base.Size) ||
      !r.U64(sec) || !r.U64(nsec) || !r.AtEnd() || has > 1)
    return false;
  base.HasPageFile = has == 1;
  base.MtimeSec = static_cast<int64_t>(sec);
  base.MtimeNsec = static_cast<int64_t>(nsec);
  return true;
}

// Applies one record; false when it cannot be read or does not fit the pages.
bool Apply(std::string_view payload, TDataList& pages, std::vector<char>& changed, bool& cleared) {
  if (payload.empty()) return false;
  TFieldReader r(payload.substr(1));
  const auto count = static_cast<uint32_t>(pages.Count());
  uint32_t pos = 0;
  switch (payload[0]) {
    case kClear:
      if (!r.AtEnd()) return false;
      pages.Clear();
      changed.clear();
      cleared = true;
      return true;
    case kInsert: {
      std::string_view name, file, text;
      if (!r.U32(pos) || !r.Str(name) || !r.Str(file) || !r.Str(text) || !r.AtEnd() || pos > count)
        return false;
      pages.Add(std::string(name), std::string(file), std::string(text));
      if (pos != count) pages.Move(static_cast<int>(count), static_cast<int>(pos));
      changed.insert(changed.begin() + pos, 1);
      return true;
    }
    case kDelete:
      if (!r.U32(pos) || !r.AtEnd() || pos >= count) return false;
      pages.Delete(static_cast<int>(pos));
      changed.erase(changed.begin() + pos);
      return true;
    case kMove: {
      uint32_t to = 0;
      if (!r.U32(pos) || !r.U32(to) || !r.AtEnd() || pos >= count || to >= count) return false;
      pages.Move(static_cast<int>(pos), static_cast<int>(to));
      char flag = changed[pos];
      changed.erase(changed.begin() + pos);
      changed.insert(changed.begin() + to, flag);
      return true;
    }
    case kName:
    case kFile: {
      std::string_view value;
      if (!r.U32(pos) || !r.Str(value) || !r.AtEnd() || pos >= count) return false;
      TDataItem* page = pages.Items(static_cast<int>(pos));
      (payload[0] == kName ? page->Name : page->FileName) = std::string(value);
      changed[pos] = 1;
      return true;
    }
    case kEdit: {
      uint64_t offset = 0, removed = 0;
      std::string_view inserted;
      if (!r.U32(pos) || !r.U64(offset) || !r.U64(removed) || !r.Str(inserted) || !r.AtEnd() ||
          pos >= count)
        return false;
      std::string& text = pages.Items(static_cast<int>(pos))->Text;
      if (offset > text.size() || removed > text.size() - offset) return false;
      text.replace(static_cast<size_t>(offset), static_cast<size_t>(removed), inserted);
      changed[pos] = 1;
      return true;
    }
    default:
      return false;
  }
}

bool AllZero(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

// Length of the common start of two texts; blocks are compared with memcmp first.
size_t CommonPrefix(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  constexpr size_t kBlock = 4096;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0) i += kBlock;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

size_t CommonSuffix(std::string_view a, std::string_view b, size_t limit) {
  size_t n = std::min({a.size(), b.size(), limit});
  size_t i = 0;
  constexpr size_t kBlock = 4096;
  while (i + kBlock <= n && std::memcmp(a.data() + a.size() - i - kBlock,
                                        b.data() + b.size() - i - kBlock, kBlock) == 0)
    i += kBlock;
  while (i < n && a[a.size() - 1 - i] == b[b.size() - 1 - i]) ++i;
  return i;
}

}  // namespace

TJournalBase TJournalBase::Of(const std::string& path) {
  TJournalBase base;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return base;
  base.HasPageFile = true;
  base.Device = st.st_dev;
  base.Inode = st.st_ino;
  base.Size = static_cast<uint64_t>(st.st_size);
  base.MtimeSec = st.st_mtim.tv_sec;
  base.MtimeNsec = st.st_mtim.tv_nsec;
  return base;
}

namespace PageJournal {

uint32_t Crc32(std::string_view bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (char ch : bytes) crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string BaseRecord(const TJournalBase& base) {
  std::string p(1, kBase);
  PutU32(p, base.HasPageFile ? 1 : 0);
  PutU64(p, base.Device);
  PutU64(p, base.Inode);
  PutU64(p, base.Size);
  PutU64(p, static_cast<uint64_t>(base.MtimeSec));
  PutU64(p, static_cast<uint64_t>(base.MtimeNsec));
  return Frame(p);
}

std::string ClearRecord() {
  return Frame(std::string(1, kClear));
}

std::string InsertRecord(uint32_t pos, std::string_view name, std::string_view file,
                         std::string_view text) {
  std::string p(1, kInsert);
  PutU32(p, pos);
  PutStr(p, name);
  PutStr(p, file);
  PutStr(p, text);
  return Frame(p);
}

std::string DeleteRecord(uint32_t pos) {
  std::string p(1, kDelete);
  PutU32(p, pos);
  return Frame(p);
}

std::string MoveRecord(uint32_t from, uint32_t to) {
  std::string p(1, kMove);
  PutU32(p, from);
  PutU32(p, to);
  return Frame(p);
}

std::string NameRecord(uint32_t pos, std::string_view name) {
  std::string p(1, kName);
  PutU32(p, pos);
  PutStr(p, name);
  return Frame(p);
}

std::string FileRecord(uint32_t pos, std::string_view file) {
  std::string p(1, kFile);
  PutU32(p, pos);
  PutStr(p, file);
  return Frame(p);
}

std::string EditRecord(uint32_t pos, uint64_t offset, uint64_t removed, std::string_view inserted) {
  std::string p(1, kEdit);
  PutU32(p, pos);
  PutU64(p, offset);
  PutU64(p, removed);
  PutStr(p, inserted);
  return Frame(p);
}

TJournalReplay Replay(std::string_view journal, TDataList& pages) {
  TJournalReplay result;
  std::vector<char> changed(static_cast<size_t>(pages.Count()), 0);
  bool cleared = false;
  size_t pos = 0;
  try {
    while (pos < journal.size()) {
      std::string_view rest = journal.substr(pos);
      if (rest.size() < 8) break;  // torn
      TFieldReader head(rest.substr(0, 8));
      uint32_t length = 0, crc = 0;
      head.U32(length);
      head.U32(crc);
      if (length > rest.size() - 8) break;  // cut short by the crash
      std::string_view payload = rest.substr(8, length);
      const bool last = 8 + static_cast<size_t>(length) == rest.size();
      bool ok = length > 0 && Crc32(payload) == crc;
      if (ok) {
        if (!result.HasBase) {
          ok = ParseBase(payload, result.Base);
          result.HasBase = ok;
        } else {
          const bool first = result.Records == 0;
          ok = Apply(payload, pages, changed, cleared);
          if (ok) {
            if (first && cleared) result.SelfContained = true;
            ++result.Records;
          }
        }
      }
      if (!ok) {
        // A bad last record, or zeros the file system left, is a torn tail; anything else
        // with data after it is damage.
        if (!last && !AllZero(rest)) {
          result.Damaged = true;
          result.Fault = std::to_string(pos) + " バイト目からの記録が壊れています";
        }
        break;
      }
      pos += 8 + length;
      result.GoodLength = pos;
    }
  } catch (const std::exception& e) {  // no memory for a page
    result.Damaged = true;
    result.Fault = e.what();
  }
  result.PagesChanged = static_cast<int>(std::count(changed.begin(), changed.end(), 1));
  return result;
}

bool ReadBase(std::string_view journal, TJournalBase& base, bool& selfContained) {
  selfContained = false;
  auto frame = [&journal](size_t at, std::string_view& payload) {
    if (journal.size() < at + 8) return false;
    TFieldReader head(journal.substr(at, 8));
    uint32_t length = 0, crc = 0;
    head.U32(length);
    head.U32(crc);
    if (length > journal.size() - at - 8) return false;
    payload = journal.substr(at + 8, length);
    return Crc32(payload) == crc;
  };
  std::string_view payload;
  if (!frame(0, payload) || !ParseBase(payload, base)) return false;
  std::string_view next;
  selfContained = frame(8 + payload.size(), next) && next.size() == 1 && next[0] == kClear;
  return true;
}

}  // namespace PageJournal

// ---- shadow

bool TJournalShadow::Holds(const void* id) const {
  return std::any_of(pages_.begin(), pages_.end(), [id](const TEntry& e) { return e.Id == id; });
}

void TJournalShadow::Reset(const std::vector<TPageView>& pages) {
  for (const TPageView& p : pages)
    if (p.Unchanged && !Holds(p.Id))
      throw std::logic_error("journal: an unchanged page is not held");
  std::vector<TEntry> next;
  next.reserve(pages.size());
  for (const TPageView& p : pages) {
    if (!p.Unchanged) {
      next.push_back({p.Id, std::string(p.Name), std::string(p.FileName), std::string(p.Text)});
      continue;
    }
    auto held = std::find_if(pages_.begin(), pages_.end(),
                             [&p](const TEntry& e) { return e.Id == p.Id; });
    next.push_back({p.Id, std::string(p.Name), std::string(p.FileName), std::move(held->Text)});
  }
  pages_ = std::move(next);
}

std::string TJournalShadow::Snapshot(const std::vector<TPageView>& pages) {
  std::string out = PageJournal::ClearRecord();
  for (size_t i = 0; i < pages.size(); ++i)
    out += PageJournal::InsertRecord(static_cast<uint32_t>(i), pages[i].Name, pages[i].FileName,
                                     pages[i].Text);
  return out;
}

std::string TJournalShadow::Update(const std::vector<TPageView>& pages) {
  for (const TPageView& p : pages)
    if (p.Unchanged && !Holds(p.Id))
      throw std::logic_error("journal: an unchanged page is not held");
  std::string out;
  std::unordered_set<const void*> present;
  for (const TPageView& p : pages) present.insert(p.Id);
  for (size_t i = pages_.size(); i-- > 0;) {
    if (present.count(pages_[i].Id)) continue;
    out += PageJournal::DeleteRecord(static_cast<uint32_t>(i));
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    const TPageView& want = pages[i];
    if (i < pages_.size() && pages_[i].Id == want.Id) continue;
    size_t j = i + 1;
    while (j < pages_.size() && pages_[j].Id != want.Id) ++j;
    if (j < pages_.size()) {
      out += PageJournal::MoveRecord(static_cast<uint32_t>(j), static_cast<uint32_t>(i));
      std::rotate(pages_.begin() + static_cast<std::ptrdiff_t>(i),
                  pages_.begin() + static_cast<std::ptrdiff_t>(j),
                  pages_.begin() + static_cast<std::ptrdiff_t>(j + 1));
    } else {
      out +=
          PageJournal::InsertRecord(static_cast<uint32_t>(i), want.Name, want.FileName, want.Text);
      pages_.insert(
          pages_.begin() + static_cast<std::ptrdiff_t>(i),
          {want.Id, std::string(want.Name), std::string(want.FileName), std::string(want.Text)});
    }
  }
  for (size_t i = 0; i < pages.size(); ++i) {
    const TPageView& want = pages[i];
    TEntry& have = pages_[i];
    const auto pos = static_cast<uint32_t>(i);
    if (have.Name != want.Name) {
      out += PageJournal::NameRecord(pos, want.Name);
      have.Name = want.Name;
    }
    if (have.FileName != want.FileName) {
      out += PageJournal::FileRecord(pos, want.FileName);
      have.FileName = want.FileName;
    }
    if (want.Unchanged) continue;
    if (have.Text.size() == want.Text.size() &&
        std::memcmp(have.Text.data(), want.Text.data(), want.Text.size()) == 0)
      continue;
    size_t prefix = CommonPrefix(have.Text, want.Text);
    size_t suffix =
        CommonSuffix(have.Text, want.Text, std::min(have.Text.size(), want.Text.size()) - prefix);
    size_t removed = have.Text.size() - prefix - suffix;
    std::string_view inserted = want.Text.substr(prefix, want.Text.size() - prefix - suffix);
    out += PageJournal::EditRecord(pos, prefix, removed, inserted);
    have.Text.replace(prefix, removed, inserted);
  }
  return out;
}

// ---- writer

TJournalWriter::TJournalWriter() = default;

TJournalWriter::~TJournalWriter() {
  Close();
}

bool TJournalWriter::OpenFile(const std::string& path, int flags) {
  Close();
  path_ = path;
  error_.clear();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | flags, 0600);
  if (fd_ < 0) {
    error_ = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    error_ = path + ": not a regular file";
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

bool TJournalWriter::Start(const std::string& path, std::string_view firstRecords) {
  Close();
  // Replaced whole, so that a crash now leaves the old journal or the new one.
  TAtomicFileWriter first(path, 0600);
  first.Append(firstRecords);
  if (!first.Commit()) {
    path_ = path;
    error_ = first.Error();
    return false;
  }
  if (!OpenFile(path, O_APPEND)) return false;
  size_ = firstRecords.size();
  lastSync_ = std::chrono::steady_clock::now();
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool TJournalWriter::Continue(const std::string& path, uint64_t goodLength) {
  if (!OpenFile(path, 0)) return false;
  if (::ftruncate(fd_, static_cast<off_t>(goodLength)) != 0 ||
      ::lseek(fd_, 0, SEEK_END) != static_cast<off_t>(goodLength)) {
    error_ = path + ": " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  size_ = goodLength;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void TJournalWriter::Append(std::string records) {
  if (fd_ < 0 || records.empty()) return;
  size_ += records.size();
  std::lock_guard<std::mutex> lock(mutex_);
  pending_ += records;
  wake_.notify_all();
}

void TJournalWriter::Flush() {
  if (!thread_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  flush_ = true;
  wake_.notify_all();
  idle_.wait(lock, [this] { return pending_.empty() && !busy_ && !flush_; });
}

void TJournalWriter::Close() {
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
      wake_.notify_all();
    }
    thread_.join();
  }
  stop_ = false;
  flush_ = false;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TJournalWriter::Remove() {
  Close();
  if (!path_.empty()) ::unlink(path_.c_str());
}

std::string TJournalWriter::Error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

int TJournalWriter::Syncs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return syncs_;
}

void TJournalWriter::Run() {
  using namespace std::chrono;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || flush_ || !pending_.empty(); });
    busy_ = true;
    bool unsynced = false;
    for (;;) {
      if (!pending_.empty()) {
        std::string data;
        data.swap(pending_);
        lock.unlock();
        bool ok = AtomicFile::WriteAll(fd_, data.data(), data.size());
        int err = errno;
        lock.lock();
        if (!ok && error_.empty()) error_ = path_ + ": " + std::strerror(err);
        unsynced = true;
        continue;
      }
      if (!unsynced) break;
      // At most one sync a second: what comes in meanwhile is written and waits with it.
      auto due = lastSync_ + seconds(1);
      if (!stop_ && !flush_ && steady_clock::now() < due) {
        wake_.wait_until(lock, due, [this] { return stop_ || flush_ || !pending_.empty(); });
        continue;
      }
      lock.unlock();
      ::fdatasync(fd_);
      lock.lock();
      ++syncs_;
      lastSync_ = steady_clock::now();
      unsynced = false;
    }
    busy_ = false;
    if (pending_.empty()) {
      flush_ = false;
      idle_.notify_all();
      if (stop_) return;
    }
  }
}
