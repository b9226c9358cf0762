// TFenEdit layout: cutting logical lines into rows, wrapping, and position conversion.
#include <algorithm>
#include <cstring>

#include "FenEdit.h"
#include "platform/CodePage.h"

void TFenEdit::SetWordWrap(bool value) {
  if (value == WordWrap_) return;
  WrapAll(value, true);
}

void TFenEdit::SetColumn(int value) {
  if (value == Column_) return;
  Column_ = std::max(10, value);
  if (WordWrap_) {
    WrapAll(false, false);
    WrapAll(true, true);
  }
}

// The rows stay as they were cut; until the next full wrap, an edit cuts the rest of its
// line again, since rows after it may hold tabs of the old width.
void TFenEdit::SetTabCount(int value) {
  value = std::clamp(value, 1, 8);
  if (value != TabCount_) rowsCutWithOldTabs_ = true;
  TabCount_ = value;
}

std::string TFenEdit::ExpandTabs(std::string_view s) const {
  std::string out;
  out.reserve(s.size() + 8);
  for (char c : s) {
    if (c == '\t') {
      out.append(static_cast<size_t>(TabCount_ - static_cast<int>(out.size() % TabCount_)), ' ');
    } else {
      out += c;
    }
  }
  return out;
}

int TFenEdit::ExpandedLength(std::string_view s, size_t n) const {
  n = std::min(n, s.size());
  if (!std::memchr(s.data(), '\t', n)) return static_cast<int>(n);
  int col = 0;
  for (size_t i = 0; i < n; ++i) col += s[i] == '\t' ? TabCount_ - col % TabCount_ : 1;
  return col;
}

int TFenEdit::ByteTypeAt(std::string_view s, int p) const {
  if (SingleByteMode_ || p < 1 || p > static_cast<int>(s.size())) return 0;
  int i = p - 1;
  while (i >= 1 && CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[i - 1]))) --i;
  if ((p - i) % 2 == 0) return 2;
  return CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[p - 1])) ? 1 : 0;
}

int TFenEdit::FitCount(std::string_view t) const {
  const int len = static_cast<int>(t.size());
  int n = std::min(len, Column_);
  const int a = std::max(1, metrics_->AveCharWidth());
  const int W = metrics_->TextAreaWidth();
  const int F = 10 * a;
  if (AutoWrap_ && F < W && metrics_->TextWidth(t.substr(0, static_cast<size_t>(n))) > W) {
    n = std::min(len, W / a);
    int step = n / 2;
    bool growing = true;
    while (step > 0 && n < len) {
      int w = metrics_->TextWidth(t.substr(0, static_cast<size_t>(n)));
      if (w < W) {
        if (!growing) step /= 2;
        n = std::min(len, n + step);
        growing = true;
      } else {
        if (w == W) break;
        if (growing) step /= 2;
        n -= step;
        growing = false;
      }
    }
  }
  // The longest prefix within Column once tabs are expanded, in one pass.
  int col = 0, fit = 0;
  while (fit < n) {
    const int w = t[static_cast<size_t>(fit)] == '\t' ? TabCount_ - col % TabCount_ : 1;
    if (col + w > Column_) break;
    col += w;
    ++fit;
  }
  n = fit;
  if (AutoWrap_ && n > 0) {
    // Prefixes are drawn wider the longer they are: the longest one not wider than the area
    // (or than ten average characters) is found by halving, on one expansion of the row.
    std::string expanded;
    std::vector<size_t> ends(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
      if (t[static_cast<size_t>(i)] == '\t') {
        expanded.append(
            static_cast<size_t>(TabCount_ - static_cast<int>(expanded.size() % TabCount_)), ' ');
      } else {
        expanded += t[static_cast<size_t>(i)];
      }
      ends[static_cast<size_t>(i) + 1] = expanded.size();
    }
    auto tooWide = [&](int k) {
      const int w =
          metrics_->TextWidth(std::string_view(expanded).substr(0, ends[static_cast<size_t>(k)]));
      return w > W && w > F;
    };
    if (tooWide(n)) {
      int lo = 0, hi = n;  // lo fits, hi does not
      while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (tooWide(mid)) {
          hi = mid;
        } else {
          lo = mid;
        }
      }
      n = lo;
    }
  }
  return n;
}

int TFenEdit::CutFirst(std::string_view t) const {
  int n = FitCount(t);
  int L = static_cast<int>(t.size()) - (RowHasTerminator(t) ? 1 : 0);
  if (n >= L) return static_cast<int>(t.size());
  if (n >= 1 && (t[static_cast<size_t>(n) - 1] == '\r' || t[static_cast<size_t>(n) - 1] == '\0'))
    --n;
  if (n >= 1 && ByteTypeAt(t, n) == 1) --n;
  if (n < 1) {
    // Nothing fits (a very narrow area): take one whole character to keep going.
    n = (!SingleByteMode_ && t.size() > 2 &&
         CodePage::IsDBCSLeadByte(static_cast<unsigned char>(t[0])))
            ? 2
            : 1;
  }
  return n;
}

void TFenEdit::CutLine(std::string_view t, std::vector<std::string>& rows) const {
  while (!t.empty()) {
    size_t n = static_cast<size_t>(CutFirst(t));
    rows.emplace_back(t.substr(0, n));
    t.remove_prefix(n);
  }
}

TRow TFenEdit::LineFirstRow(TRow row) const {
  while (row > 0 && !RowHasTerminator(Store.Get(row - 1))) --row;
  return row;
}

TRow TFenEdit::LineLastRow(TRow row) const {
  int last = Store.Count() - 1;
  while (row < last && !RowHasTerminator(Store.Get(row))) ++row;
  return row;
}

void TFenEdit::WrapAll(bool on, bool repaint) {
  hitShown_ = false;
  try {
    TLinePos caretL = ToLinePos(caret_);
    TLinePos anchorL = ToLinePos(anchor_);
    std::vector<std::string> old = Store.TakeRows();
    std::vector<std::string> rows;
    rows.reserve(old.size() + old.size() / 8);
    std::string joined;
    for (size_t i = 0; i < old.size(); ++i) {
      std::string* line = &old[i];
      if (!RowHasTerminator(old[i]) && i + 1 < old.size()) {
        // Continuation rows: join the logical line first.
        joined = std::move(old[i]);
        while (!RowHasTerminator(old[i]) && i + 1 < old.size()) joined += old[++i];
        line = &joined;
      }
      if (on) {
        int L = static_cast<int>(line->size()) - (RowHasTerminator(*line) ? 1 : 0);
        if (std::min<int>(Column_, static_cast<int>(line->size())) >= L && !AutoWrap_ &&
            !std::memchr(line->data(), '\t', line->size())) {
          rows.push_back(std::move(*line));  // fits as it is
        } else {
          CutLine(*line, rows);
        }
      } else {
        rows.push_back(std::move(*line));
      }
    }
    old = {};
    WordWrap_ = on;
    rowsCutWithOldTabs_ = false;
    Store.SetRows(std::move(rows));
    caret_ = LimitPos(ToRowPos(caretL));
    anchor_ = LimitPos(ToRowPos(anchorL));
    selEnd_ = caret_;
  } catch (...) {
    if (Store.Count() == 0) Store.Add(std::string(2, '\0'));
    caret_ = anchor_ = selEnd_ = LimitPos(caret_);
    ShowCodedMessage("Error:OC004");
    return;
  }
  geom_.HorzOffset = 0;
  caretX_ = PixelX(caret_.Row, caret_.Byte);
  if (repaint) {
    ScrollToCaret(caret_, TCaretPlacement::Minimal, false, false);
    UpdateScrollRange();
    RepaintAll();
  }
}

// Rewraps after an edit of rows first..last: their text is joined with the rows around it,
// split at CR LF and cut again, one row at a time. Cutting stops as soon as a new row ends
// where an unedited old row starts, since everything after it would come out the same; so
// typing in a long paragraph costs one or two rows, not the whole paragraph. The caret,
// anchor and active end follow their bytes.
void TFenEdit::RewrapRows(TRow first, TRow last, bool repaint) {
  const int count = Store.Count();
  first = std::clamp(first, 0, count - 1);
  last = std::clamp(last, first, count - 1);
  TRow start = first;
  if (start > 0 && !RowHasTerminator(Store.Get(start - 1))) --start;

  std::string text;
  std::vector<size_t> starts;  // offset in text of each old row taken in
  TRow next = start;
  bool ended = false;  // text reaches the end of the last edited logical line
  auto consume = [&] {
    starts.push_back(text.size());
    const std::string& row = Store.Get(next);
    text += row;
    ++next;
    ended = next == count || (next - 1 >= last && RowHasTerminator(row));
  };
  while (next <= last) consume();
  const size_t editedEnd = text.size();

  size_t need = static_cast<size_t>(Column_) + 8;
  if (AutoWrap_) need = std::max(need, static_cast<size_t>(metrics_->TextAreaWidth()) + 8);
  size_t nextCr = std::string::npos, searchedTo = 0;
  size_t pos = 0;
  auto findCr = [&]() {
    if (nextCr != std::string::npos && nextCr >= pos) return nextCr;
    size_t from = std::max(pos, searchedTo > 0 ? searchedTo - 1 : 0);
    nextCr = text.find("\r\n", from);
    // Where the search may resume: nothing was found before this point.
    searchedTo = nextCr == std::string::npos ? text.size() : nextCr + 1;
    return nextCr;
  };

  std::vector<std::string> rows;
  TRow keptFrom = -1;  // first old row left as it is
  size_t startIdx = 0;
  for (;;) {
    size_t cr = findCr();
    while (!ended && cr == std::string::npos && (!WordWrap_ || text.size() - pos < need)) {
      consume();
      cr = findCr();
    }
    size_t pieceEnd = cr != std::string::npos ? cr + 2 : text.size();
    std::string_view t(text.data() + pos, pieceEnd - pos);
    if (t.empty()) break;
    size_t n = WordWrap_ ? static_cast<size_t>(CutFirst(t)) : t.size();
    rows.emplace_back(t.substr(0, n));
    pos += n;
    if (pos >= text.size() && ended) break;
    if (pos >= editedEnd) {
      while (startIdx < starts.size() && starts[startIdx] < pos) ++startIdx;
      if (startIdx < starts.size() && starts[startIdx] == pos &&
          start + static_cast<TRow>(startIdx) > last && !rowsCutWithOldTabs_) {
        keptFrom = start + static_cast<TRow>(startIdx);
        break;
      }
    }
  }
  if (rows.empty()) rows.emplace_back(2, '\0');  // never leave the store without its end

  const bool realigned = keptFrom >= 0;
  const int oldCount = (realigned ? keptFrom : next) - start;
  const int newCount = static_cast<int>(rows.size());
  std::vector<int> lens(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) lens[i] = static_cast<int>(rows[i].size());
  Store.ReplaceRows(start, oldCount, std::move(rows));

  TRowPos* tracked[3] = {&caret_, &anchor_, &selEnd_};
  for (TRowPos* pp : tracked) {
    TRowPos& p = *pp;
    if (p.Row < start) continue;
    if (p.Row >= start + oldCount) {
      p.Row += newCount - oldCount;
      continue;
    }
    long long off = static_cast<long long>(starts[static_cast<size_t>(p.Row - start)]) + p.Byte;
    int i = 0;
    int lastIndex = realigned ? newCount : newCount - 1;
    while (i < lastIndex && off >= lens[static_cast<size_t>(i)]) {
      off -= lens[static_cast<size_t>(i)];
      ++i;
    }
    p = TRowPos{static_cast<TByte>(off), start + i};
  }

  const TRow newLast = start + newCount - 1;
  edited_.First = edited_.First < 0 ? start : std::min(edited_.First, start);
  edited_.Last = std::max(edited_.Last, newLast);
  edited_.CountChanged = edited_.CountChanged || newCount != oldCount;
  if (repaint) {
    ScrollToCaret(caret_, TCaretPlacement::Minimal, false, true);
    if (newCount != oldCount) {
      UpdateScrollRange();
      RepaintFrom(start);
    } else {
      RepaintRows(start, newLast);
    }
  } else {
    caretX_ = PixelX(caret_.Row, caret_.Byte);
  }
}

void TFenEdit::LineToRow(TByte& byte, int& lineToRow) const {
  int last = Store.Count() - 1;
  TRow row = std::min(Store.RowAfterLineEnds(std::max(0, lineToRow)), last);
  long long b = byte;
  long long remembered = b;
  while (b >= 0) {
    remembered = b;
    b -= static_cast<long long>(Store.Get(row).size());
    if (b < 0 || row == last) break;
    ++row;
  }
  byte = static_cast<TByte>(remembered);
  lineToRow = row;
}

void TFenEdit::RowToLine(TByte& byte, int& rowToLine) const {
  TRow row = std::clamp(rowToLine, 0, Store.Count() - 1);
  long long b = byte;
  for (TRow r = row - 1; r >= 0; --r) {
    const std::string& s = Store.Get(r);
    if (RowHasTerminator(s)) break;
    b += static_cast<long long>(s.size());
  }
  byte = static_cast<TByte>(b);
  rowToLine = Store.LineEndsBefore(row);
}

TRowPos TFenEdit::ToRowPos(TLinePos p) const {
  TByte b = p.Byte;
  int r = p.Line;
  LineToRow(b, r);
  return {b, r};
}

TLinePos TFenEdit::ToLinePos(TRowPos p) const {
  TByte b = p.Byte;
  int l = p.Row;
  RowToLine(b, l);
  return {b, l};
}

TByte TFenEdit::RowLimit(TRow row) const {
  const std::string& s = Store.Get(row);
  int len = static_cast<int>(s.size());
  return RowHasTerminator(s) ? len - 2 : len;
}

TRowPos TFenEdit::LimitPos(TRowPos p) const {
  p.Row = std::clamp(p.Row, 0, Store.Count() - 1);
  p.Byte = std::clamp(p.Byte, 0, RowLimit(p.Row));
  return p;
}

int TFenEdit::PixelX(TRow row, TByte byte) const {
  const std::string& s = Store.Get(std::clamp(row, 0, Store.Count() - 1));
  size_t n = std::min(static_cast<size_t>(std::max(0, byte)), s.size());
  return metrics_->TextWidth(ExpandTabs(std::string_view(s).substr(0, n))) - geom_.HorzOffset;
}

bool TFenEdit::GotoPos(TByte byte, TRow row, TCaretPlacement placement) {
  byte = std::max(0, byte);
  row = std::clamp(row, 0, Store.Count() - 1);
  if (ByteTypeAt(Store.Get(row), byte + 1) == 2) --byte;
  CancelSelection();
  return ScrollToCaret({byte, row}, placement, true, true);
}
