// TFenStrings: the editor's line store, a list of rows that carry their own terminators.
//
// Invariant of an editor's store: at least one row; exactly one row ends in two NULs and it
// is the last; every other row ends in CR LF (end of a logical line) or in neither (a wrapped
// continuation). The text is all rows joined, less the final two NULs.
//
// Rows are kept in blocks of a few thousand, with per-block row and line-end counts, so that
// inserting a row and converting between rows and logical lines never walk the whole store.
#pragma once
#include <cstdint>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The store's error: an index or a count outside the allowed range.
class EFenStringsError : public std::out_of_range {
 public:
  EFenStringsError();
};

// A file that cannot be opened, read or written.
class EFenFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// True when the row ends a logical line (CR LF) or the text (two NULs). A lone CR or LF
// inside a line is an ordinary byte, so the test looks at both bytes.
inline bool RowHasTerminator(std::string_view row) {
  size_t n = row.size();
  return n >= 2 &&
         ((row[n - 2] == '\r' && row[n - 1] == '\n') || (row[n - 2] == '\0' && row[n - 1] == '\0'));
}
// True when the row ends a logical line.
inline bool RowEndsLine(std::string_view row) {
  size_t n = row.size();
  return n >= 2 && row[n - 2] == '\r' && row[n - 1] == '\n';
}

class TFenStrings {
 public:
  static constexpr int kMaxCount = 0x7FFFFFF;  // 134,217,727
  // Rows reserved per byte of text when the length is known in advance.
  static constexpr int kAssumedRowLength = 28;

  TFenStrings();
  virtual ~TFenStrings();
  TFenStrings(const TFenStrings&) = delete;
  TFenStrings& operator=(const TFenStrings&) = delete;

  // Row operations; an index outside the range calls Error.
  const std::string& Get(int index) const {
    // Rows of the block read last are found without a search.
    if (index >= cacheFirst_ && index < cacheEnd_)
      return cacheRows_[static_cast<size_t>(index - cacheFirst_)];
    return GetSlow(index);
  }
  const std::string& operator[](int index) const { return Get(index); }
  virtual void Put(int index, std::string row);
  int Add(std::string row);
  void Insert(int index, std::string row);
  void Delete(int index);
  void Clear();
  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  virtual void SetCount(int n);
  virtual void SetCapacity(int n);
  virtual int IndexOf(std::string_view s) const;
  // Splits text as SetText does and inserts the rows from index on; index ends on the last
  // row inserted.
  void InsertText(int& index, std::string_view text);
  void AddStrings(const std::vector<std::string>& list);
  void Assign(const std::vector<std::string>& list);
  [[noreturn]] virtual void Error() const;

  // Replaces rows first..first+oldCount-1 by rows (any number): the one bulk edit the
  // layout uses to write back rewrapped lines.
  void ReplaceRows(int first, int oldCount, std::vector<std::string>&& rows);
  // Moves all rows out (the store is left empty) and takes a whole new list.
  std::vector<std::string> TakeRows();
  void SetRows(std::vector<std::string>&& rows);

  // A single pass that rebuilds the rows from firstRow on (replace-all): the caller hands the
  // old rows over in order, keeping them or putting new rows in their place, and the store
  // takes the result at EndRewrite. Blocks are rebuilt one after another in the memory of the
  // old ones, and blocks without a change are not touched. Until EndRewrite, rows not yet
  // handed over can be read by their old indexes and Count() is the old count; nothing else
  // may be called.
  void BeginRewrite(int firstRow);
  // Hands over old rows up to upTo (excluded) unchanged; returns how many of them end a line.
  int RewriteKeep(int upTo);
  // Drops old rows up to upTo (excluded) and puts rows (moved out) in their place.
  void RewriteReplace(int upTo, std::vector<std::string>& rows);
  // The rows not handed over stay as they are.
  void EndRewrite();
  bool Rewriting() const { return rw_.active; }

  // Calls f(row) for every row in order; f returns false to stop.
  template <class F>
  void ForEachRow(F&& f) const {
    for (const Block& blk : blocks_)
      for (const std::string& r : blk.rows)
        if (!f(r)) return;
  }

  // Logical lines: rows whose last byte is LF end one.
  int LineEndsBefore(int row) const;  // line-ending rows among rows 0..row-1
  int LineEndCount() const;           // line-ending rows in the whole store
  // The row after the line-th line-ending row (0 for line 0); Count() when there is none.
  int RowAfterLineEnds(int line) const;

  // Whole-text operations.
  virtual std::string GetText() const;
  virtual void SetText(std::string_view text);
  virtual void LoadFromFile(const std::string& fileName);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void LoadFromStream(std::istream& stream);
  virtual void SaveToStream(std::ostream& stream) const;
  virtual std::string GetCommaText() const;
  virtual void SetCommaText(std::string_view text);
  size_t TextLength() const;  // bytes of GetText

  // The line-end kind of a file: 0 CR LF, 1 CR (also no break / NUL), 2 LF, 3 empty file.
  static int DetectLineEnd(const std::string& fileName);

  // Block size; tests shrink it to exercise block splits and merges.
  void SetBlockSizeForTesting(int rows);

 private:
  struct Block {
    std::vector<std::string> rows;
    int lineEnds = 0;  // rows ending in LF
  };
  struct Loc {
    size_t block;
    int offset;
  };

  Loc Locate(int index) const;  // 0 <= index < count_
  const std::string& GetSlow(int index) const;
  void RefreshPrefix() const;
  void MarkDirty(size_t block) const;
  void SplitBlock(size_t b);
  void GrowCapacityForOne();
  void ReserveForBytes(size_t bytes);
  void TrimCapacity() { capacity_ = count_; }
  void AppendRow(std::string&& row);  // no index checks, no capacity policy
  void FinishRewriteBlock();
  void RewriteRoom(size_t n);
  int RewriteBlockEnd() const;
  void LoadCrLf(const std::string& fileName);
  void LoadSeparated(const std::string& fileName, char separator);
  void SplitInto(std::string_view text, std::vector<std::string>& out) const;

  std::vector<Block> blocks_;
  // Rows and line ends before each block; valid for blocks below dirtyFrom_.
  mutable std::vector<int> rowStart_;
  mutable std::vector<int> lineStart_;
  mutable size_t dirtyFrom_ = 0;
  mutable size_t lastBlock_ = 0;  // cache for sequential access
  // Rows cacheFirst_..cacheEnd_-1 lie in cacheRows_; any change of the block structure
  // (every one goes through MarkDirty) empties the range.
  mutable int cacheFirst_ = 0;
  mutable int cacheEnd_ = 0;
  mutable const std::string* cacheRows_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
  int blockSize_ = 2048;

  // A rewrite in progress. The prefix sums stay those of the old blocks until it ends, so old
  // indexes keep working for the blocks not yet rebuilt.
  struct Rewrite {
    bool active = false;
    int next = 0;      // old index of the first row not handed over
    size_t block = 0;  // the old block it lies in
    int offset = 0;    // its offset there
    size_t firstBlock = 0;
    std::vector<std::string> out;  // the new rows of that block so far
    int outLineEnds = 0;
  } rw_;
};
