#include "Fenstrings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

EFenStringsError::EFenStringsError()
    : std::out_of_range("インデックスがリストの範囲を超えています") {}

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenOrThrow(const std::string& fileName, const char* mode) {
  FilePtr f(std::fopen(fileName.c_str(), mode));
  if (!f) throw EFenFileError("cannot open " + fileName + ": " + std::strerror(errno));
  return f;
}

// Reads a whole file; throws when it cannot be read to the end.
std::string ReadWhole(const std::string& fileName) {
  FilePtr f = OpenOrThrow(fileName, "rb");
  std::string data;
  char buf[1 << 16];
  if (std::fseek(f.get(), 0, SEEK_END) == 0) {
    long size = std::ftell(f.get());
    if (size > 0) data.reserve(static_cast<size_t>(size) + 2);  // room for the end pair
    std::rewind(f.get());
  }
  for (;;) {
    size_t n = std::fread(buf, 1, sizeof buf, f.get());
    data.append(buf, n);
    if (n < sizeof buf) break;
  }
  if (std::ferror(f.get())) throw EFenFileError("cannot read " + fileName);
  return data;
}

}  // namespace

TFenStrings::TFenStrings() {
  rowStart_.assign(1, 0), lineStart_.assign(1, 0);
}
TFenStrings::~TFenStrings() = default;

void TFenStrings::Error() const {
  throw EFenStringsError();
}

void TFenStrings::SetBlockSizeForTesting(int rows) {
  blockSize_ = std::max(1, rows);
}

void TFenStrings::MarkDirty(size_t block) const {
  dirtyFrom_ = std::min(dirtyFrom_, block);
  cacheFirst_ = cacheEnd_ = 0;
}

void TFenStrings::RefreshPrefix() const {
  size_t n = blocks_.size();
  if (rowStart_.size() != n + 1) {
    rowStart_.resize(n + 1);
    lineStart_.resize(n + 1);
  }
  if (dirtyFrom_ >= n + 1) return;
  size_t b = dirtyFrom_;
  if (b == 0) {
    rowStart_[0] = 0;
    lineStart_[0] = 0;
    b = 1;
  }
  for (; b <= n; ++b) {
    rowStart_[b] = rowStart_[b - 1] + static_cast<int>(blocks_[b - 1].rows.size());
    lineStart_[b] = lineStart_[b - 1] + blocks_[b - 1].lineEnds;
  }
  dirtyFrom_ = n + 1;
}

TFenStrings::Loc TFenStrings::Locate(int index) const {
  RefreshPrefix();
  size_t lb = lastBlock_;
  if (lb < blocks_.size() && rowStart_[lb] <= index && index < rowStart_[lb + 1])
    return {lb, index - rowStart_[lb]};
  // The last block whose start is at or before index.
  auto it = std::upper_bound(rowStart_.begin(), rowStart_.begin() + blocks_.size(), index);
  size_t b = static_cast<size_t>(std::distance(rowStart_.begin(), it)) - 1;
  lastBlock_ = b;
  return {b, index - rowStart_[b]};
}

const std::string& TFenStrings::GetSlow(int index) const {
  if (index < 0 || index >= count_) Error();
  Loc l = Locate(index);
  const Block& blk = blocks_[l.block];
  cacheFirst_ = rowStart_[l.block];
  cacheEnd_ = cacheFirst_ + static_cast<int>(blk.rows.size());
  cacheRows_ = blk.rows.data();
  return blk.rows[static_cast<size_t>(l.offset)];
}

void TFenStrings::Put(int index, std::string row) {
  if (index < 0 || index >= count_) Error();
  Loc l = Locate(index);
  Block& blk = blocks_[l.block];
  std::string& slot = blk.rows[static_cast<size_t>(l.offset)];
  int delta = int(RowEndsLine(row)) - int(RowEndsLine(slot));
  slot = std::move(row);
  if (delta != 0) {
    blk.lineEnds += delta;
    MarkDirty(l.block + 1);
  }
}

void TFenStrings::GrowCapacityForOne() {
  if (count_ < capacity_) return;
  if (count_ >= kMaxCount) Error();
  capacity_ = std::min(kMaxCount, count_ + std::max(count_ / 128, 32));
}

void TFenStrings::ReserveForBytes(size_t bytes) {
  size_t want = bytes / kAssumedRowLength;
  if (want > static_cast<size_t>(kMaxCount)) want = kMaxCount;
  capacity_ = std::max(capacity_, static_cast<int>(want));
}

void TFenStrings::AppendRow(std::string&& row) {
  if (blocks_.empty() || blocks_.back().rows.size() >= static_cast<size_t>(blockSize_)) {
    blocks_.emplace_back();
    blocks_.back().rows.reserve(static_cast<size_t>(blockSize_));
  }
  Block& blk = blocks_.back();
  blk.lineEnds += RowEndsLine(row);
  blk.rows.push_back(std::move(row));
  ++count_;
  if (count_ > capacity_) capacity_ = count_;
  MarkDirty(blocks_.size() - 1);
}

int TFenStrings::Add(std::string row) {
  GrowCapacityForOne();
  int index = count_;
  AppendRow(std::move(row));
  return index;
}

void TFenStrings::SplitBlock(size_t b) {
  Block& blk = blocks_[b];
  size_t half = blk.rows.size() / 2;
  Block tail;
  tail.rows.assign(std::make_move_iterator(blk.rows.begin() + static_cast<long>(half)),
                   std::make_move_iterator(blk.rows.end()));
  blk.rows.erase(blk.rows.begin() + static_cast<long>(half), blk.rows.end());
  for (const std::string& r : tail.rows) tail.lineEnds += RowEndsLine(r);
  blk.lineEnds -= tail.lineEnds;
  blocks_.insert(blocks_.begin() + static_cast<long>(b) + 1, std::move(tail));
  MarkDirty(b + 1);
}

void TFenStrings::Insert(int index, std::string row) {
  if (index < 0 || index > count_) Error();
  if (index == count_) {
    Add(std::move(row));
    return;
  }
  GrowCapacityForOne();
  Loc l = Locate(index);
  Block& blk = blocks_[l.block];
  blk.lineEnds += RowEndsLine(row);
  blk.rows.insert(blk.rows.begin() + l.offset, std::move(row));
  ++count_;
  MarkDirty(l.block + 1);
  if (blk.rows.size() > static_cast<size_t>(2 * blockSize_)) SplitBlock(l.block);
}

void TFenStrings::Delete(int index) {
  if (index < 0 || index >= count_) Error();
  Loc l = Locate(index);
  Block& blk = blocks_[l.block];
  blk.lineEnds -= RowEndsLine(blk.rows[static_cast<size_t>(l.offset)]);
  blk.rows.erase(blk.rows.begin() + l.offset);
  --count_;
  if (blk.rows.empty()) {
    blocks_.erase(blocks_.begin() + static_cast<long>(l.block));
    MarkDirty(l.block);
    lastBlock_ = 0;
  } else {
    MarkDirty(l.block + 1);
  }
}

void TFenStrings::Clear() {
  if (capacity_ <= 0 && count_ == 0) return;
  blocks_.clear();
  count_ = 0;
  capacity_ = 0;
  lastBlock_ = 0;
  MarkDirty(0);
}

void TFenStrings::SetCount(int n) {
  if (n < 0 || n > kMaxCount) Error();
  if (n > capacity_) SetCapacity(n);
  while (count_ > n) {
    // Drop whole blocks where possible.
    Block& last = blocks_.back();
    int excess = count_ - n;
    if (static_cast<int>(last.rows.size()) <= excess) {
      count_ -= static_cast<int>(last.rows.size());
      blocks_.pop_back();
      MarkDirty(blocks_.size());
      lastBlock_ = 0;
    } else {
      Delete(count_ - 1);
    }
  }
  while (count_ < n) AppendRow(std::string());
}

void TFenStrings::SetCapacity(int n) {
  if (n > kMaxCount || n < count_) Error();
  capacity_ = n;
}

int TFenStrings::IndexOf(std::string_view s) const {
  int index = 0;
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) {
      if (r == s) return index;
      ++index;
    }
  return -1;
}

void TFenStrings::SplitInto(std::string_view text, std::vector<std::string>& out) const {
  size_t pos = 0;
  const size_t len = text.size();
  while (pos < len) {
    size_t end = pos;
    while (end < len && text[end] != '\r' && text[end] != '\0') ++end;
    end = end < len ? std::min(len, end + 2) : len;
    out.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
}

void TFenStrings::InsertText(int& index, std::string_view text) {
  if (index < 0 || index > count_) Error();
  std::vector<std::string> rows;
  SplitInto(text, rows);
  if (rows.empty()) return;
  int first = index;
  int n = static_cast<int>(rows.size());
  ReserveForBytes(text.size() + static_cast<size_t>(count_) * kAssumedRowLength);
  ReplaceRows(first, 0, std::move(rows));
  index = first + n - 1;
  TrimCapacity();
}

void TFenStrings::AddStrings(const std::vector<std::string>& list) {
  for (const std::string& s : list) Add(s);
}

void TFenStrings::Assign(const std::vector<std::string>& list) {
  Clear();
  AddStrings(list);
}

void TFenStrings::ReplaceRows(int first, int oldCount, std::vector<std::string>&& rows) {
  if (first < 0 || oldCount < 0 || first + oldCount > count_) Error();
  int newCount = static_cast<int>(rows.size());
  int common = std::min(oldCount, newCount);
  for (int i = 0; i < common; ++i) Put(first + i, std::move(rows[static_cast<size_t>(i)]));
  if (newCount > oldCount) {
    int at = first + common;
    int extra = newCount - common;
    if (count_ + extra > kMaxCount) Error();
    if (at == count_) {
      for (int i = common; i < newCount; ++i) AppendRow(std::move(rows[static_cast<size_t>(i)]));
    } else {
      Loc l = Locate(at);
      Block& blk = blocks_[l.block];
      for (int i = common; i < newCount; ++i)
        blk.lineEnds += RowEndsLine(rows[static_cast<size_t>(i)]);
      blk.rows.insert(blk.rows.begin() + l.offset, std::make_move_iterator(rows.begin() + common),
                      std::make_move_iterator(rows.end()));
      count_ += extra;
      MarkDirty(l.block + 1);
      while (blocks_[l.block].rows.size() > static_cast<size_t>(2 * blockSize_))
        SplitBlock(l.block);
    }
    capacity_ = std::max(capacity_, count_);
  } else {
    for (int i = newCount; i < oldCount; ++i) Delete(first + newCount);
  }
  rows.clear();
}

std::vector<std::string> TFenStrings::TakeRows() {
  std::vector<std::string> all;
  all.reserve(static_cast<size_t>(count_));
  for (Block& blk : blocks_)
    for (std::string& r : blk.rows) all.push_back(std::move(r));
  blocks_.clear();
  count_ = 0;
  capacity_ = 0;
  lastBlock_ = 0;
  MarkDirty(0);
  return all;
}

void TFenStrings::SetRows(std::vector<std::string>&& rows) {
  blocks_.clear();
  count_ = 0;
  capacity_ = 0;
  lastBlock_ = 0;
  MarkDirty(0);
  if (rows.size() > static_cast<size_t>(kMaxCount)) Error();
  for (std::string& r : rows) AppendRow(std::move(r));
  rows.clear();
  TrimCapacity();
}

// ---- rewrite ---------------------------------------------------------------------------

void TFenStrings::BeginRewrite(int firstRow) {
  if (rw_.active || firstRow < 0 || firstRow > count_) Error();
  RefreshPrefix();
  rw_.active = true;
  rw_.out.clear();
  rw_.outLineEnds = 0;
  rw_.offset = 0;
  if (firstRow == count_) {
    rw_.block = blocks_.size();
    rw_.next = count_;
  } else {
    Loc l = Locate(firstRow);
    rw_.block = l.block;
    rw_.next = rowStart_[l.block];
  }
  rw_.firstBlock = rw_.block;
  RewriteKeep(firstRow);
}

// Room for n more new rows, growing by at least half.
void TFenStrings::RewriteRoom(size_t n) {
  size_t need = rw_.out.size() + n;
  if (need > rw_.out.capacity()) rw_.out.reserve(std::max(need, rw_.out.capacity() * 3 / 2));
}

// Old index just past the old block being rebuilt.
int TFenStrings::RewriteBlockEnd() const {
  return rowStart_[rw_.block] + static_cast<int>(blocks_[rw_.block].rows.size());
}

// The old block is fully handed over: its new rows take its place, and its old vector (only
// moved-from and dropped rows left) becomes the buffer for the next block.
void TFenStrings::FinishRewriteBlock() {
  Block& blk = blocks_[rw_.block];
  blk.rows.swap(rw_.out);
  blk.lineEnds = rw_.outLineEnds;
  rw_.out.clear();
  rw_.outLineEnds = 0;
  rw_.offset = 0;
  ++rw_.block;
  cacheFirst_ = cacheEnd_ = 0;  // the cache may point into the swapped vector
}

int TFenStrings::RewriteKeep(int upTo) {
  if (!rw_.active || upTo > count_) Error();
  int lineEnds = 0;
  while (rw_.next < upTo) {
    Block& blk = blocks_[rw_.block];
    int blockEnd = RewriteBlockEnd();
    if (rw_.offset == 0 && rw_.out.empty() && upTo >= blockEnd) {
      // A block without a change stays as it is.
      lineEnds += blk.lineEnds;
      rw_.next = blockEnd;
      ++rw_.block;
      continue;
    }
    int stop = std::min(upTo, blockEnd);
    RewriteRoom(static_cast<size_t>(stop - rw_.next));  // the moves below cannot throw
    for (; rw_.next < stop; ++rw_.next, ++rw_.offset) {
      std::string& r = blk.rows[static_cast<size_t>(rw_.offset)];
      int e = RowEndsLine(r);
      lineEnds += e;
      rw_.outLineEnds += e;
      rw_.out.push_back(std::move(r));
    }
    if (rw_.next == blockEnd) FinishRewriteBlock();
  }
  return lineEnds;
}

void TFenStrings::RewriteReplace(int upTo, std::vector<std::string>& rows) {
  if (!rw_.active || upTo < rw_.next || upTo > count_) Error();
  RewriteRoom(rows.size());  // all or nothing
  for (std::string& r : rows) {
    rw_.outLineEnds += RowEndsLine(r);
    rw_.out.push_back(std::move(r));
  }
  rows.clear();
  while (rw_.next < upTo) {
    int blockEnd = RewriteBlockEnd();
    int stop = std::min(upTo, blockEnd);
    rw_.offset += stop - rw_.next;
    rw_.next = stop;
    if (rw_.next == blockEnd) FinishRewriteBlock();
  }
}

void TFenStrings::EndRewrite() {
  if (!rw_.active) Error();
  if (rw_.block < blocks_.size()) {
    if (rw_.offset > 0 || !rw_.out.empty()) RewriteKeep(RewriteBlockEnd());
  } else if (!rw_.out.empty()) {
    // Rows put in after the last old row.
    blocks_.push_back(Block{std::move(rw_.out), rw_.outLineEnds});
  }
  rw_.active = false;
  std::vector<std::string>().swap(rw_.out);
  // Blocks whose rows all went into an earlier one go; blocks that took many new rows split.
  size_t first = rw_.firstBlock;
  blocks_.erase(std::remove_if(blocks_.begin() + static_cast<long>(first), blocks_.end(),
                               [](const Block& b) { return b.rows.empty(); }),
                blocks_.end());
  count_ = 0;
  for (const Block& b : blocks_) count_ += static_cast<int>(b.rows.size());
  if (count_ > kMaxCount) Error();
  capacity_ = std::max(capacity_, count_);
  lastBlock_ = 0;
  MarkDirty(first);
  for (size_t b = first; b < blocks_.size(); ++b)
    while (blocks_[b].rows.size() > static_cast<size_t>(2 * blockSize_)) SplitBlock(b);
}

int TFenStrings::LineEndsBefore(int row) const {
  if (row <= 0) return 0;
  if (row >= count_) return LineEndCount();
  Loc l = Locate(row);
  const Block& blk = blocks_[l.block];
  int n = lineStart_[l.block];
  // Count from whichever end of the block is nearer.
  if (l.offset <= static_cast<int>(blk.rows.size()) / 2) {
    for (int i = 0; i < l.offset; ++i) n += RowEndsLine(blk.rows[static_cast<size_t>(i)]);
  } else {
    n += blk.lineEnds;
    for (size_t i = static_cast<size_t>(l.offset); i < blk.rows.size(); ++i)
      n -= RowEndsLine(blk.rows[i]);
  }
  return n;
}

int TFenStrings::LineEndCount() const {
  RefreshPrefix();
  return lineStart_[blocks_.size()];
}

int TFenStrings::RowAfterLineEnds(int line) const {
  if (line <= 0) return 0;
  RefreshPrefix();
  size_t nb = blocks_.size();
  if (line > lineStart_[nb]) return count_;
  // The block holding the line-th line end: the last block with lineStart_ < line.
  auto it =
      std::lower_bound(lineStart_.begin(), lineStart_.begin() + static_cast<long>(nb) + 1, line);
  size_t b = static_cast<size_t>(std::distance(lineStart_.begin(), it)) - 1;
  int need = line - lineStart_[b];
  const Block& blk = blocks_[b];
  for (size_t i = 0; i < blk.rows.size(); ++i) {
    if (RowEndsLine(blk.rows[i]) && --need == 0) return rowStart_[b] + static_cast<int>(i) + 1;
  }
  return count_;  // not reached while the counts are right
}

size_t TFenStrings::TextLength() const {
  size_t total = 0;
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) total += r.size();
  return total >= 2 ? total - 2 : 0;
}

std::string TFenStrings::GetText() const {
  size_t total = 0;
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) total += r.size();
  std::string text;
  text.reserve(total);
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) text += r;
  text.resize(total >= 2 ? total - 2 : 0);
  return text;
}

void TFenStrings::SetText(std::string_view text) {
  Clear();
  if (text.empty()) return;
  ReserveForBytes(text.size());
  size_t pos = 0;
  const size_t len = text.size();
  const char* d = text.data();
  while (pos < len) {
    // First CR or NUL; the row keeps it and the byte after it.
    const void* cr = std::memchr(d + pos, '\r', len - pos);
    size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - d) : len;
    const void* nul = std::memchr(d + pos, '\0', end - pos);
    if (nul) end = static_cast<size_t>(static_cast<const char*>(nul) - d);
    end = end < len ? std::min(len, end + 2) : len;
    AppendRow(std::string(d + pos, end - pos));
    pos = end;
  }
  TrimCapacity();
}

int TFenStrings::DetectLineEnd(const std::string& fileName) {
  FilePtr f = OpenOrThrow(fileName, "rb");
  char buf[1024];
  size_t n = std::fread(buf, 1, sizeof buf, f.get());
  if (std::ferror(f.get())) throw EFenFileError("cannot read " + fileName);
  if (n == 0) return 3;
  for (size_t i = 0; i < n; ++i) {
    char c = buf[i];
    if (c == '\n') return 2;
    if (c == '\r') return (i + 1 < n && buf[i + 1] == '\n') ? 0 : 1;
    if (c == '\0') return 1;
  }
  return 1;
}

void TFenStrings::LoadFromFile(const std::string& fileName) {
  int kind = DetectLineEnd(fileName);
  switch (kind) {
    case 3:
      Clear();
      Add(std::string(2, '\0'));
      break;
    case 0:
      LoadCrLf(fileName);
      break;
    case 2:
      LoadSeparated(fileName, '\n');
      break;
    default:
      LoadSeparated(fileName, '\r');
      break;
  }
}

// Whole file in one piece, then split as SetText does; the NUL appended and the string's own
// terminating NUL become the end-of-text pair.  The file is read before the store is touched,
// so a failed read leaves the old text.
void TFenStrings::LoadCrLf(const std::string& fileName) {
  std::string data = ReadWhole(fileName);
  data.push_back('\0');
  data.push_back('\0');
  Clear();
  ReserveForBytes(data.size());
  SetText(data);
}

// Lines separated by one byte (LF or CR): each becomes a row ending in CR LF; NUL bytes are
// dropped.  Rows are built aside and swapped in only when the whole file was read.
void TFenStrings::LoadSeparated(const std::string& fileName, char separator) {
  FilePtr f = OpenOrThrow(fileName, "rb");
  std::vector<std::string> rows;
  std::string pending;
  std::vector<char> buf(1 << 20);
  for (;;) {
    size_t n = std::fread(buf.data(), 1, buf.size(), f.get());
    if (rows.empty() && n > 0) rows.reserve(n / kAssumedRowLength + 1);
    const char* p = buf.data();
    const char* end = p + n;
    while (p < end) {
      const char* q = p;
      while (q < end && *q != separator && *q != '\0') ++q;
      pending.append(p, static_cast<size_t>(q - p));
      if (q == end) break;
      if (*q == separator) {
        pending += "\r\n";
        rows.push_back(std::move(pending));
        pending.clear();
      }
      p = q + 1;
    }
    if (n < buf.size()) break;
  }
  if (std::ferror(f.get())) throw EFenFileError("cannot read " + fileName);
  if (!pending.empty()) rows.push_back(std::move(pending));
  if (rows.empty()) {
    rows.emplace_back(2, '\0');
  } else if (rows.back().find("\r\n") == std::string::npos) {
    rows.back().append(2, '\0');
  } else {
    rows.emplace_back(2, '\0');
  }
  SetRows(std::move(rows));
}

void TFenStrings::SaveToFile(const std::string& fileName) const {
  FilePtr f = OpenOrThrow(fileName, "wb");
  std::vector<char> buf(1 << 16);
  std::setvbuf(f.get(), buf.data(), _IOFBF, buf.size());
  bool ok = true;
  int index = 0;
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) {
      size_t n = r.size();
      if (index == count_ - 1) n = n > 2 ? n - 2 : 0;
      if (n > 0 && std::fwrite(r.data(), 1, n, f.get()) != n) ok = false;
      ++index;
    }
  if (std::fflush(f.get()) != 0) ok = false;
  FILE* raw = f.release();
  if (std::fclose(raw) != 0) ok = false;
  if (!ok) throw EFenFileError("cannot write " + fileName);
}

void TFenStrings::LoadFromStream(std::istream& stream) {
  Clear();
  std::string data((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (!data.empty()) SetText(data);
}

void TFenStrings::SaveToStream(std::ostream& stream) const {
  std::string text = GetText();
  stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string TFenStrings::GetCommaText() const {
  std::string out;
  bool first = true;
  for (const Block& blk : blocks_)
    for (const std::string& r : blk.rows) {
      if (!first) out += ',';
      first = false;
      bool quote = r.find_first_of(" ,") != std::string::npos;
      if (quote) out += '"';
      out += r;
      if (quote) out += '"';
    }
  return out;
}

void TFenStrings::SetCommaText(std::string_view text) {
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    bool quoted = text[pos] == '"';
    if (quoted) ++pos;
    size_t end = pos;
    while (end < text.size()) {
      char c = text[end];
      if (c == '"' || c == '\r' || c == '\0' || (!quoted && c == ',')) break;
      ++end;
    }
    Add(std::string(text.substr(pos, end - pos)));
    pos = end + 1 + (quoted ? 1 : 0);
  }
}
