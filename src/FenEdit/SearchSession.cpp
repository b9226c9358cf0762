#include "SearchSession.h"

#include <algorithm>

#include "Fenstrings.h"

bool TSearchWindow::Serves(TRow row, TRowPos end, size_t want) const {
  if (start_.empty() || !(end_ == end) || row < first_) return false;
  size_t i = static_cast<size_t>(row - first_);
  if (i + 1 >= start_.size()) return false;
  return toEnd_ || bytes_.size() - start_[i + 1] >= want;
}

std::string_view TSearchWindow::Text(const TFenStrings& store, TRow row, TByte offset,
                                     TByte partEnd, TRowPos end, size_t want) {
  size_t from = static_cast<size_t>(offset);
  size_t part = static_cast<size_t>(partEnd) - from;
  if (!Serves(row, end, want)) {
    // Copy from this row on, some 64 KB or at least what a match starting in it may need.
    constexpr size_t kWindow = 64 * 1024;
    bytes_.clear();
    start_.clear();
    first_ = row;
    end_ = end;
    toEnd_ = false;
    for (TRow q = row; q <= end.Row; ++q) {
      if (q > row + 1 && bytes_.size() >= kWindow && bytes_.size() - start_[1] >= want) break;
      std::string_view r = store.Get(q);
      start_.push_back(bytes_.size());
      bytes_.append(r.substr(0, q == end.Row ? static_cast<size_t>(end.Byte) : r.size()));
      toEnd_ = q == end.Row;
    }
    start_.push_back(bytes_.size());
  }
  size_t i = static_cast<size_t>(row - first_);
  size_t after = bytes_.size() - start_[i + 1];
  return std::string_view(bytes_).substr(start_[i] + from, part + std::min(want, after));
}

void TSearchWindow::Drop() {
  start_.clear();
  if (bytes_.capacity() > (1u << 20)) std::string().swap(bytes_);
}
