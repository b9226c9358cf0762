// TFenEdit editing operations: selection, typing, deletion, clipboard, trimming, dropping.
// Every change goes through a row edit followed by RewrapRows, which also splits rows at
// any CR LF pair the edit formed, so the store stays in its normal form.
#include <algorithm>

#include "FenEdit.h"
#include "platform/Clipboard.h"
#include "platform/CodePage.h"

// A lead byte pairs with the next byte, but never with a line break or the end of text:
// a lone lead byte there is a character of its own.
static bool PairsWithNext(std::string_view row, size_t b) {
  if (b + 1 >= row.size()) return false;
  char next = row[b + 1];
  return next != '\0' && next != '\r' && next != '\n';
}

void TFenEdit::NotifyCaretMoved(bool force) {
  if (!force && caret_ == notifiedCaret_ && caretX_ == notifiedX_) return;
  notifiedCaret_ = caret_;
  notifiedX_ = caretX_;
  if (OnSelectionChange) OnSelectionChange(this);
  if (OnMoveCaret) OnMoveCaret(this);
}

// ---- selection -----------------------------------------------------------------------

bool TFenEdit::GetSelRange(TByte& startByte, TRow& startRow, TRow& endRow, TByte& endByte) const {
  TRowPos s = caret_, e = caret_;
  bool result = false;
  if (selectAll_) {
    s = {0, 0};
    TRow last = Store.Count() - 1;
    e = {static_cast<TByte>(Store.Get(last).size()) - 2, last};
    result = true;
  } else if (selected_) {
    s = anchor_;
    e = selEnd_;
    if (Before(e, s)) std::swap(s, e);
    if (e.Byte == 0 && e.Row > 0) {
      e.Row -= 1;
      e.Byte = static_cast<TByte>(Store.Get(e.Row).size());
    }
    result = true;
  }
  startByte = s.Byte;
  startRow = s.Row;
  endRow = e.Row;
  endByte = e.Byte;
  return result;
}

std::string TFenEdit::TextBetween(TRowPos a, TRowPos b) const {
  if (Before(b, a)) std::swap(a, b);
  a = TRowPos{std::max(0, a.Byte), std::clamp(a.Row, 0, Store.Count() - 1)};
  b = TRowPos{std::max(0, b.Byte), std::clamp(b.Row, 0, Store.Count() - 1)};
  const std::string& first = Store.Get(a.Row);
  if (a.Row == b.Row) {
    size_t from = std::min(static_cast<size_t>(a.Byte), first.size());
    size_t to = std::min(static_cast<size_t>(b.Byte), first.size());
    return first.substr(from, to > from ? to - from : 0);
  }
  std::string out = first.substr(std::min(static_cast<size_t>(a.Byte), first.size()));
  for (TRow r = a.Row + 1; r < b.Row; ++r) out += Store.Get(r);
  const std::string& last = Store.Get(b.Row);
  out.append(last, 0, std::min(static_cast<size_t>(b.Byte), last.size()));
  return out;
}

std::string TFenEdit::GetSelText() const {
  if (!IsSelected()) return {};
  return TextBetween(anchor_, selEnd_);
}

// A position on the second byte of a double-byte character moves to its start.
TRowPos TFenEdit::OffTrailByte(TRowPos p) const {
  const std::string& row = Store.Get(p.Row);
  if (p.Byte > 0 && ByteTypeAt(row, p.Byte + 1) == 2 && PairsWithNext(row, size_t(p.Byte) - 1))
    --p.Byte;
  return p;
}

void TFenEdit::SetSel(TByte anchorByte, TRow anchorRow, TRow caretRow, TByte caretByte) {
  CancelSelection();
  anchor_ = OffTrailByte(LimitPos({anchorByte, anchorRow}));
  TRowPos c{std::max(0, caretByte), std::clamp(caretRow, 0, Store.Count() - 1)};
  const std::string& row = Store.Get(c.Row);
  if (RowHasTerminator(row) && c.Byte >= static_cast<TByte>(row.size()) &&
      c.Row + 1 < Store.Count())
    c = {0, c.Row + 1};
  c = OffTrailByte(LimitPos(c));
  caret_ = selEnd_ = c;
  selected_ = true;
  RepaintRows(std::min(anchor_.Row, c.Row), std::max(anchor_.Row, c.Row));
  ScrollToCaret(c, TCaretPlacement::Minimal, true, false);
  NotifyCaretMoved();
}

void TFenEdit::SelectAll() {
  if (Store.Count() == 1 && Store.Get(0).size() == 2) return;  // the empty document
  selectAll_ = true;
  selected_ = false;
  anchor_ = {0, 0};
  TRow last = Store.Count() - 1;
  selEnd_ = {static_cast<TByte>(Store.Get(last).size()) - 2, last};
  hitShown_ = false;
  RepaintAll();
  if (OnSelectionChange) OnSelectionChange(this);
}

void TFenEdit::CancelSelection() {
  bool was = IsSelected();
  TRow a = std::min(anchor_.Row, selEnd_.Row), b = std::max(anchor_.Row, selEnd_.Row);
  bool all = selectAll_;
  selected_ = selectAll_ = false;
  anchor_ = selEnd_ = caret_;
  if (was) {
    if (all) {
      RepaintAll();
    } else {
      RepaintRows(a, b);
    }
    NotifyCaretMoved(true);
  }
  ResetSearch();
}

// ---- the primitives --------------------------------------------------------------------

// The bytes DeleteSelection takes out, from s to e. Never split a double-byte character: the
// selection grows to whole characters. Undo removes exactly what was inserted.
void TFenEdit::SelectionToDelete(TRowPos& s, TRowPos& e) const {
  s = anchor_;
  e = selEnd_;
  if (Before(e, s)) std::swap(s, e);
  s = TRowPos{std::max(0, s.Byte), std::clamp(s.Row, 0, Store.Count() - 1)};
  e = TRowPos{std::max(0, e.Byte), std::clamp(e.Row, 0, Store.Count() - 1)};
  if (applying_) return;
  const std::string& endRow = Store.Get(e.Row);
  s = OffTrailByte(s);
  if (e.Byte > 0 && ByteTypeAt(endRow, e.Byte + 1) == 2 &&
      PairsWithNext(endRow, size_t(e.Byte) - 1))
    ++e.Byte;
}

void TFenEdit::DeleteSelection(bool repaint) {
  TRowPos s, e;
  SelectionToDelete(s, e);
  std::string text = TextBetween(s, e);
  deletedAt_ = ToLinePos(s);
  bool wasSelected = IsSelected();
  selected_ = selectAll_ = false;

  const std::string& first = Store.Get(s.Row);
  // Called with nothing selected (a cut) on an empty line, the line goes as a whole; it is
  // recorded so undo brings it back. An empty selection that was made removes nothing.
  bool emptyLine = !wasSelected && s.Row == e.Row && first == "\r\n";
  if (emptyLine) text = "\r\n";
  if (!applying_) RecordUndo(TUndoKind::Removed, text, s.Row, s.Byte);

  if (emptyLine) {
    Store.Delete(s.Row);
  } else if (s.Row == e.Row) {
    std::string row = first;
    size_t from = std::min(static_cast<size_t>(s.Byte), row.size());
    size_t to = std::min(static_cast<size_t>(e.Byte), row.size());
    if (to > from) row.erase(from, to - from);
    if (row.empty() && Store.Count() > 1)
      Store.Delete(s.Row);
    else
      Store.Put(s.Row, std::move(row));
  } else {
    const std::string& last = Store.Get(e.Row);
    std::string row = first.substr(0, std::min(static_cast<size_t>(s.Byte), first.size()));
    row.append(last, std::min(static_cast<size_t>(e.Byte), last.size()));
    std::vector<std::string> none;
    Store.ReplaceRows(s.Row + 1, e.Row - s.Row, std::move(none));
    if (row.empty() && Store.Count() > 1)
      Store.Delete(s.Row);
    else
      Store.Put(s.Row, std::move(row));
  }
  if (s.Row >= Store.Count())
    s = {static_cast<TByte>(Store.Get(Store.Count() - 1).size()) - 2, Store.Count() - 1};
  caret_ = anchor_ = selEnd_ = s;
  rememberedColumn_ = s.Byte;
  RewrapRows(s.Row, s.Row, repaint);
}

// Text typed over a selection goes where the selection was. When taking the selection out
// joined a lone CR and a lone LF into a line break, that place is between them: the caret is
// put there for the insertion that follows, which splits them again.
void TFenEdit::DeleteSelectionForInsert() {
  DeleteSelection(true);
  TRowPos p = ToRowPos(deletedAt_);
  if (p != caret_) {
    caret_ = anchor_ = selEnd_ = p;
    exactCaret_ = true;
  }
}

void TFenEdit::InsertAtCaret(std::string_view text, bool repaint) {
  text = CutAtNul(text);
  TRowPos c = LimitPos(caret_);
  // Undo, or text typed over a selection, may go between a CR and an LF that a removal had
  // joined into a pair.
  if (c.Byte != caret_.Byte && caret_.Row == c.Row &&
      (!RowHasTerminator(Store.Get(c.Row)) ||
       ((applying_ || exactCaret_) && caret_.Byte < static_cast<TByte>(Store.Get(c.Row).size()))))
    c = caret_;
  exactCaret_ = false;
  const std::string& row = Store.Get(c.Row);
  size_t at = std::min(static_cast<size_t>(c.Byte), row.size());
  std::string joined;
  joined.reserve(row.size() + text.size());
  joined.append(row, 0, at);
  joined.append(text);
  joined.append(row, at);
  Store.Put(c.Row, std::move(joined));
  caret_ = anchor_ = selEnd_ = TRowPos{static_cast<TByte>(at + text.size()), c.Row};
  RewrapRows(c.Row, c.Row, repaint);
  if (!repaint && !batchApply_) UpdateScrollRange();
}

// ---- typing ---------------------------------------------------------------------------

void TFenEdit::TypeText(std::string_view s) {
  s = CutAtNul(s);
  if (s.empty()) return;
  TUndoGroup group(*this);
  if (IsSelected()) DeleteSelectionForInsert();
  exactCaret_ = false;
  rememberedColumn_ = 0;
  TRowPos c = caret_;
  const std::string& row = Store.Get(c.Row);
  bool atTerminator = RowHasTerminator(row) && c.Byte >= static_cast<TByte>(row.size()) - 2;
  std::string insert(s);
  if (!insertMode_ && !atTerminator) {
    // Overwrite: work on the rest of the logical line from the caret's row on.
    TRow lastRow = LineLastRow(c.Row);
    std::string line;
    for (TRow r = c.Row; r <= lastRow; ++r) line += Store.Get(r);
    size_t body = line.size() - (RowHasTerminator(line) ? 2 : 0);
    size_t at = std::min(static_cast<size_t>(c.Byte), body);
    size_t k = body - at;
    size_t remove = std::min(k, s.size());
    if (ByteTypeAt(line, static_cast<int>(at + s.size())) == 1) {
      remove = std::min(k, s.size() + 1);
      insert += ' ';
    }
    std::string removed = line.substr(at, remove);
    RecordUndo(TUndoKind::Overwritten, removed, c.Row, c.Byte);
    RecordUndo(TUndoKind::Inserted, insert, c.Row, c.Byte);
    line.replace(at, remove, insert);
    std::vector<std::string> one;
    one.push_back(std::move(line));
    Store.ReplaceRows(c.Row, lastRow - c.Row + 1, std::move(one));
  } else {
    RecordUndo(TUndoKind::Inserted, insert, c.Row, c.Byte);
    std::string joined = row;
    joined.insert(std::min(static_cast<size_t>(c.Byte), joined.size()), insert);
    Store.Put(c.Row, std::move(joined));
  }
  caret_ = anchor_ = selEnd_ = TRowPos{c.Byte + static_cast<TByte>(s.size()), c.Row};
  RewrapRows(c.Row, c.Row, true);
  rememberedColumn_ = caret_.Byte;
  RaiseChange();
}

void TFenEdit::NewLine() {
  TUndoGroup group(*this);
  if (IsSelected()) DeleteSelectionForInsert();
  std::string text = "\r\n";
  if (AutoIndent) {
    const std::string& row = Store.Get(caret_.Row);
    for (TByte i = 0; i < caret_.Byte && i < static_cast<TByte>(row.size()); ++i) {
      unsigned char ch = static_cast<unsigned char>(row[static_cast<size_t>(i)]);
      if (ch > 0x20 || ch == 0) break;
      text += static_cast<char>(ch);
    }
  }
  RecordUndo(TUndoKind::Inserted, text, caret_.Row, caret_.Byte);
  InsertAtCaret(text, false);
  ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
  RepaintFrom(std::max(0, caret_.Row - 1));
  RaiseChange();
}

void TFenEdit::InsertTab() {
  TUndoGroup group(*this);
  if (IsSelected()) DeleteSelectionForInsert();
  RecordUndo(TUndoKind::Inserted, "\t", caret_.Row, caret_.Byte);
  InsertAtCaret("\t", true);
  RaiseChange();
}

// ---- deleting characters ---------------------------------------------------------------

std::string TFenEdit::RemoveCharAt(TRowPos p) {
  const std::string& row = Store.Get(p.Row);
  size_t b = static_cast<size_t>(p.Byte);
  if (b >= row.size()) return {};
  size_t n = 1;
  if (ByteTypeAt(row, p.Byte + 2) == 2 && PairsWithNext(row, b)) {
    n = 2;
  } else if (row[b] == '\0') {
    return {};
  } else if (row[b] == '\r' && b + 1 < row.size() && row[b + 1] == '\n') {
    n = 2;  // the line break: the two lines join
  }
  return row.substr(b, n);
}

void TFenEdit::DeleteChar() {
  if (IsSelected()) {
    DeleteSelection(true);
    RaiseChange();
    return;
  }
  TRowPos c = caret_;
  std::string removed = RemoveCharAt(c);
  if (removed.empty()) return;
  RecordUndo(TUndoKind::Deleted, removed, c.Row, c.Byte);
  std::string row = Store.Get(c.Row);
  row.erase(static_cast<size_t>(c.Byte), removed.size());
  Store.Put(c.Row, std::move(row));
  caret_ = anchor_ = selEnd_ = c;
  RewrapRows(c.Row, c.Row, true);
  RaiseChange();
}

TRowPos TFenEdit::CharLeft(TRowPos p) const {
  p = TRowPos{p.Byte, std::clamp(p.Row, 0, Store.Count() - 1)};
  if (p.Byte > 0) {
    const std::string& row = Store.Get(p.Row);
    TByte b = std::min(p.Byte, static_cast<TByte>(row.size())) - 1;
    if (b > 0 && ByteTypeAt(row, b + 1) == 2) --b;
    return {b, p.Row};
  }
  if (p.Row == 0) return p;
  TRow prev = p.Row - 1;
  const std::string& row = Store.Get(prev);
  if (RowHasTerminator(row)) return {static_cast<TByte>(row.size()) - 2, prev};
  return CharLeft({static_cast<TByte>(row.size()), prev});
}

TRowPos TFenEdit::CharRight(TRowPos p) const {
  p = LimitPos(p);
  const std::string& row = Store.Get(p.Row);
  TByte limit = RowLimit(p.Row);
  int last = Store.Count() - 1;
  if (p.Byte >= limit) return p.Row < last ? TRowPos{0, p.Row + 1} : p;
  TByte b =
      p.Byte + (ByteTypeAt(row, p.Byte + 1) == 1 && PairsWithNext(row, size_t(p.Byte)) ? 2 : 1);
  b = std::min(b, static_cast<TByte>(row.size()));
  if (b >= static_cast<TByte>(row.size()) && !RowHasTerminator(row) && p.Row < last)
    return {0, p.Row + 1};
  return {b, p.Row};
}

void TFenEdit::BackspaceChar() {
  if (IsSelected()) {
    DeleteSelection(true);
    RaiseChange();
    return;
  }
  if (caret_.Row == 0 && caret_.Byte == 0) return;
  TRowPos p = CharLeft(caret_);
  std::string removed = RemoveCharAt(p);
  if (removed.empty()) return;
  RecordUndo(TUndoKind::Backspaced, removed, p.Row, p.Byte);
  std::string row = Store.Get(p.Row);
  row.erase(static_cast<size_t>(p.Byte), removed.size());
  Store.Put(p.Row, std::move(row));
  caret_ = anchor_ = selEnd_ = p;
  RewrapRows(p.Row, std::min(p.Row + 1, Store.Count() - 1), true);
  RaiseChange();
}

// ---- words ----------------------------------------------------------------------------

int TFenEdit::CharClass(int code) {
  if (code >= 0x829F && code <= 0x82FF) return 0;
  if (code >= 0x8340 && code <= 0x8396) return 1;
  if (code >= 0x824F && code <= 0x829E) return 3;
  if ((code >= 0x8140 && code <= 0x824E) || (code >= 0x8397 && code <= 0x889E)) return 4;
  if (code >= 0xA6 && code <= 0xDF) return 5;
  if ((code >= 0x30 && code <= 0x39) || (code >= 0x40 && code <= 0x7F)) return 6;
  if ((code >= 0x00 && code <= 0x2F) || (code >= 0x3A && code <= 0x3F) ||
      (code >= 0xE0 && code <= 0xFF))
    return 7;
  return 2;
}

int TFenEdit::CharCodeAt(std::string_view row, TByte b) const {
  size_t i = static_cast<size_t>(b);
  unsigned char c = static_cast<unsigned char>(row[i]);
  if (ByteTypeAt(row, b + 1) == 1 && PairsWithNext(row, i))
    return c * 256 + static_cast<unsigned char>(row[i + 1]);
  return c;
}

TByte TFenEdit::WordScanForward(TRow rowIndex, TByte byte) const {
  const std::string& row = Store.Get(rowIndex);
  TByte len = static_cast<TByte>(row.size());
  auto stop = [&](TByte b) {
    char ch = row[static_cast<size_t>(b)];
    return ch == '\t' || ch == '\r' || ch == '\0';
  };
  if (byte >= len || stop(byte)) return byte;
  int cls = CharClass(CharCodeAt(row, byte));
  TByte b = byte;
  while (b < len && !stop(b) && CharClass(CharCodeAt(row, b)) == cls)
    b += CharCodeAt(row, b) > 0xFF ? 2 : 1;
  return std::min(b, len);
}

TByte TFenEdit::WordScanBackward(TRow rowIndex, TByte byte) const {
  const std::string& row = Store.Get(rowIndex);
  byte = std::min(byte, static_cast<TByte>(row.size()));
  if (byte <= 0) return 0;
  TRowPos p = CharLeft({byte, rowIndex});
  int cls = CharClass(CharCodeAt(row, p.Byte));
  TByte start = p.Byte;
  while (start > 0) {
    TRowPos q = CharLeft({start, rowIndex});
    if (CharClass(CharCodeAt(row, q.Byte)) != cls) break;
    start = q.Byte;
  }
  return start;
}

void TFenEdit::DeleteWordRight() {
  if (selected_) {
    DeleteSelection(true);
    RaiseChange();
    return;
  }
  if (selectAll_) CancelSelection();
  const std::string& row = Store.Get(caret_.Row);
  size_t b = static_cast<size_t>(caret_.Byte);
  if (b >= row.size()) return;
  if (b + 1 < row.size() && row[b] == '\0' && row[b + 1] == '\0') return;
  char ch = row[b];
  if (ch == '\r' || ch == '\t' || ch == '\0') {
    DeleteChar();
    return;
  }
  TByte end = WordScanForward(caret_.Row, caret_.Byte);
  anchor_ = caret_;
  selEnd_ = {end, caret_.Row};
  selected_ = true;
  DeleteSelection(true);
  RaiseChange();
}

void TFenEdit::DeleteWordLeft() {
  if (caret_.Row == 0 && caret_.Byte == 0) return;
  if (selected_) {
    DeleteSelection(true);
    RaiseChange();
    return;
  }
  if (selectAll_) CancelSelection();
  if (caret_.Byte > 0) {
    TRowPos p = CharLeft(caret_);
    const std::string& row = Store.Get(caret_.Row);
    if (row[static_cast<size_t>(p.Byte)] != '\t') {
      anchor_ = {WordScanBackward(caret_.Row, caret_.Byte), caret_.Row};
      selEnd_ = caret_;
      selected_ = true;
      DeleteSelection(true);
      RaiseChange();
      return;
    }
  }
  BackspaceChar();
}

// ---- clipboard --------------------------------------------------------------------------

void TFenEdit::CopyToClipboard() {
  if (CaretScrollFix) ScrollToCaret(caret_, TCaretPlacement::Minimal, false, false);
  if (!IsSelected()) return;
  std::string text;
  try {
    text = GetSelText();
  } catch (...) {
    ShowCodedMessage("Error:OC007");
    return;
  }
  if (!CurrentClipboard().SetText(text)) ShowCodedMessage("Error:OC002");
}

void TFenEdit::CutToClipboard() {
  CopyToClipboard();
  DeleteSelection(true);
  RaiseChange();
}

void TFenEdit::PasteFromClipboard() {
  Clipboard& clip = CurrentClipboard();
  if (!clip.HasText()) return;
  std::string text = clip.GetText();
  if (CutAtNul(text).empty()) return;
  SetSelText(text);
}

void TFenEdit::SetSelText(std::string_view text) {
  text = CutAtNul(text);
  TUndoGroup group(*this);
  if (IsSelected()) DeleteSelectionForInsert();
  RecordUndo(TUndoKind::Inserted, std::string(text), caret_.Row, caret_.Byte);
  InsertAtCaret(text, true);
  RaiseChange();
}

// ---- trimming ----------------------------------------------------------------------------

namespace {
bool IsFullWidthSpace(std::string_view s, size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 &&
         static_cast<unsigned char>(s[i + 1]) == 0x40;
}
}  // namespace

void TFenEdit::Trim(TRow& first, TRow& last, bool fullWidth, bool left, bool right) {
  if (last < first) return;
  first = std::max(0, first);
  last = std::min(Store.Count() - 1, last);
  CancelSelection();
  bool wrapped = WordWrap_;
  if (wrapped) {
    first = ToLinePos({0, first}).Line;
    last = ToLinePos({0, last}).Line;
    WrapAll(false, false);
  }
  std::string text;
  int lastRow = Store.Count() - 1;
  for (TRow r = first; r <= last; ++r) {
    const std::string& row = Store.Get(r);
    std::string_view body(row);
    body.remove_suffix(std::min<size_t>(2, body.size()));
    bool isLast = r == lastRow;
    size_t from = 0, to = body.size();
    if (left) {
      while (from < to) {
        if (body[from] == ' ' || body[from] == '\t') {
          ++from;
        } else if (fullWidth && !SingleByteMode_ && IsFullWidthSpace(body, from)) {
          from += 2;
        } else {
          break;
        }
      }
      if (body.empty()) continue;  // an empty line goes when its start is trimmed
    }
    if (right) {
      while (to > from) {
        if (body[to - 1] == ' ' || body[to - 1] == '\t') {
          --to;
        } else if (fullWidth && to >= from + 2 && IsFullWidthSpace(body, to - 2) &&
                   ByteTypeAt(body, static_cast<int>(to) - 1) == 1) {
          to -= 2;
        } else {
          break;
        }
      }
    }
    text.append(body.substr(from, to - from));
    if (!isLast) text += "\r\n";
  }
  ReplaceLines(text, first, last);
  if (wrapped) {
    WrapAll(true, false);
    last = LastVisibleRow();
  }
}

void TFenEdit::TrimRight(TRow& first, TRow& last, bool fullWidth) {
  Trim(first, last, fullWidth, false, true);
}
void TFenEdit::TrimLeft(TRow& first, TRow& last, bool fullWidth) {
  Trim(first, last, fullWidth, true, false);
}
void TFenEdit::TrimBoth(TRow& first, TRow& last, bool fullWidth) {
  Trim(first, last, fullWidth, true, true);
}

// Replaces lines first..last (rows of an unwrapped store) by text: one deletion and one
// insertion at the same place, so one undo takes it back.
void TFenEdit::ReplaceLines(const std::string& text, TLine first, TLine& last) {
  TUndoGroup group(*this);
  int lastRow = Store.Count() - 1;
  anchor_ = {0, first};
  if (last >= lastRow) {
    selEnd_ = {static_cast<TByte>(Store.Get(lastRow).size()) - 2, lastRow};
  } else {
    selEnd_ = {0, last + 1};
  }
  caret_ = anchor_;
  selected_ = true;
  DeleteSelection(false);
  RecordUndo(TUndoKind::Inserted, text, caret_.Row, caret_.Byte);
  InsertAtCaret(text, false);
  last = caret_.Byte == 0 && caret_.Row > first ? caret_.Row - 1 : caret_.Row;
  RepaintAll();
  RaiseChange();
}

// ---- dropping dragged text ------------------------------------------------------------

void TFenEdit::DropText(const std::string& textIn, bool copy) {
  TUndoGroup group(*this);
  std::string text(CutAtNul(textIn));
  TRowPos drop = caret_;
  TByte sb, eb;
  TRow sr, er;
  bool sel = GetSelRange(sb, sr, er, eb);
  // Compare places in the text: the end of a row and the start of the next are one place.
  auto canon = [this](TRowPos p) {
    int last = Store.Count() - 1;
    while (p.Row < last && p.Byte >= static_cast<TByte>(Store.Get(p.Row).size())) {
      p.Byte -= static_cast<TByte>(Store.Get(p.Row).size());
      ++p.Row;
    }
    return p;
  };
  TRowPos dc = canon(drop), sc = canon({sb, sr}), ec = canon({eb, er});
  bool inside = sel && !Before(dc, sc) && !Before(ec, dc);
  if (!sel || inside || ReadOnly || text.empty()) {
    CancelSelection();
    return;
  }
  TRowPos at = drop;
  bool exact = false;
  if (copy) {
    CancelSelection();
  } else {
    // A drop before the moved text keeps its place. A drop after it lands as many bytes
    // after the place the text was taken from as lay between the text's end and the drop:
    // counting in bytes, not lines, also holds when taking the text out joins a lone CR
    // and a lone LF into a line break, or parts them.
    TRowPos ds, de;
    SelectionToDelete(ds, de);
    TRowPos ce = canon(de);
    bool after = !Before(dc, ce);
    long long gap = 0;
    if (after) {
      TRowPos p = ce;
      for (; p.Row < dc.Row; p = {0, p.Row + 1})
        gap += static_cast<long long>(Store.Get(p.Row).size()) - p.Byte;
      gap += dc.Byte - p.Byte;
    }
    TLinePos d = ToLinePos(drop);
    DeleteSelection(false);
    if (after) {
      at = SkipBytes(ToRowPos(deletedAt_), gap, TextEndPos());
      exact = true;
    } else {
      at = ToRowPos(d);
    }
  }
  if (!exact) at = LimitPos(at);
  caret_ = anchor_ = selEnd_ = at;
  exactCaret_ = exact;
  RecordUndo(TUndoKind::Inserted, text, at.Row, at.Byte);
  InsertAtCaret(text, false);
  anchor_ = selEnd_ = caret_;
  UpdateScrollRange();
  ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
  RepaintAll();
  RaiseChange();
}
