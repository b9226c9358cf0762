// TFenEdit search and replace. Matching is the host's (OnFind); this file walks the rows,
// keeps the search state, and replaces hits with undo.
//
// A search asks OnFind about one row at a time: the row from the search offset on, plus as
// many bytes of the following rows as a match starting in the row may need. A match counts
// only when it starts in the row, so a match across a wrap or a line break is found once.
#include <algorithm>

#include "FenEdit.h"
#include "platform/CodePage.h"

// ---- positions -----------------------------------------------------------------------------

// A length the host reported, cut so that the hit ends at e (the search's end) at the latest.
static int HitLenWithin(const TFenStrings& store, const TFenEdit::TSearchHit& hit, TRowPos e) {
  long long n = static_cast<long long>(e.Byte) - hit.Byte;
  for (TRow q = hit.Row; q < e.Row; ++q) n += static_cast<long long>(store.Get(q).size());
  return static_cast<int>(std::clamp<long long>(n, 0, hit.Len));
}

// Searches end before the end-of-text NULs: nothing is found or replaced in them.
TRowPos TFenEdit::TextEndPos() const {
  TRow last = Store.Count() - 1;
  return {static_cast<TByte>(Store.Get(last).size()) - 2, last};
}

// Positions kept between searches may be stale after edits: keep them inside the store.
TRowPos TFenEdit::ClampSearchPos(TRowPos p) const {
  p.Row = std::clamp(p.Row, 0, Store.Count() - 1);
  p.Byte = std::clamp(p.Byte, 0, static_cast<TByte>(Store.Get(p.Row).size()));
  return p;
}

// n bytes after p, never past end; a place at the end of a row before end's row is given as
// the start of the next row.
TRowPos TFenEdit::SkipBytes(TRowPos p, long long n, TRowPos end) const {
  long long b = static_cast<long long>(p.Byte) + std::max(0LL, n);
  TRow r = p.Row;
  while (r < end.Row) {
    long long len = static_cast<long long>(Store.Get(r).size());
    if (b < len) break;
    b -= len;
    ++r;
  }
  if (r == end.Row && b > end.Byte) b = end.Byte;
  return {static_cast<TByte>(b), r};
}

// Where a search goes on after a hit: behind it, or one character on when the host reported
// an empty match, so that no search stands still.
TRowPos TFenEdit::SkipHit(const TSearchHit& hit, TRowPos end) const {
  TRowPos at{hit.Byte, hit.Row};
  if (hit.Len > 0) return SkipBytes(at, hit.Len, end);
  TRowPos p = SkipBytes(at, 0, end);
  const std::string& row = Store.Get(p.Row);
  size_t b = static_cast<size_t>(p.Byte);
  long long step = 1;
  if (!SingleByteMode_ && b + 1 < row.size() &&
      CodePage::IsDBCSLeadByte(static_cast<unsigned char>(row[b])) && row[b + 1] != '\r' &&
      row[b + 1] != '\n' && row[b + 1] != '\0')
    step = 2;
  return SkipBytes(p, step, end);
}

// ---- the range of a replacement ------------------------------------------------------------

void TFenEdit::SetRangeEnd(TRowPos end) {
  search_.RangeWhole = end == TextEndPos();
  // After a line's CR LF is the next line's start: a replacement that takes that CR LF away
  // must not carry the end to the end of the joined line.
  end = SkipBytes(end, 0, TextEndPos());
  if (search_.RangeWhole) return;
  TLinePos lp = ToLinePos(end);
  search_.RangeLinesAfter = Store.LineEndCount() - lp.Line;
  long long tail = static_cast<long long>(Store.Get(end.Row).size()) - end.Byte;
  for (TRow r = end.Row; r < Store.Count() - 1 && !RowHasTerminator(Store.Get(r));)
    tail += static_cast<long long>(Store.Get(++r).size());
  search_.RangeTail = std::max(0LL, tail);
}

TRowPos TFenEdit::RangeEnd() const {
  if (search_.RangeWhole) return TextEndPos();
  int lineEnds = Store.LineEndCount();
  TLine line = std::max(0, lineEnds - search_.RangeLinesAfter);
  TRow first = Store.RowAfterLineEnds(line);
  TRow r = line < lineEnds ? Store.RowAfterLineEnds(line + 1) - 1 : Store.Count() - 1;
  long long tail = search_.RangeTail;
  while (r > first && tail >= static_cast<long long>(Store.Get(r).size())) {
    tail -= static_cast<long long>(Store.Get(r).size());
    --r;
  }
  long long byte = static_cast<long long>(Store.Get(r).size()) - tail;
  // The line is shorter than what followed the end when its first byte, an LF, now pairs
  // with a CR that a replacement left at the end of the line above: the end lies there.
  while (byte < 0 && r > 0) byte += static_cast<long long>(Store.Get(--r).size());
  return {static_cast<TByte>(std::max(0LL, byte)), r};
}

// ---- asking the host -------------------------------------------------------------------------

// The text handed to OnFind for a row: its bytes from offset to partEnd, then up to the search
// string's length less one bytes of the rows after it, never past end.
std::string_view TFenEdit::SearchText(TRow row, TByte offset, TByte partEnd, TRowPos end) {
  size_t want = search_.FindStr.empty() ? 0 : search_.FindStr.size() - 1;
  if (want == 0 || row >= end.Row)
    return std::string_view(Store.Get(row))
        .substr(static_cast<size_t>(offset), static_cast<size_t>(partEnd - offset));
  return search_.Window.Text(Store, row, offset, partEnd, end, want);
}

// Raises OnFind; true when the match it reports starts within the row's part.
bool TFenEdit::AskFind(std::string_view str, TRow row, TByte partLen, TByte offset,
                       TSearchHit& hit) {
  int x = 0;
  int len = static_cast<int>(search_.FindStr.size());
  OnFind(this, str, search_.FindStr, row, x, len);
  if (x < 1 || x > partLen) return false;
  hit = TSearchHit{offset + x - 1, row, std::max(0, len)};
  return true;
}

bool TFenEdit::SearchForward(TRowPos from, TRowPos end, TSearchHit& hit) {
  if (!search_.Window.Keep) search_.Window.Drop();
  if (!OnFind) return false;
  from = ClampSearchPos(from);
  for (TRow r = from.Row; r <= end.Row; ++r) {
    TByte offset = r == from.Row ? from.Byte : 0;
    TByte partEnd = r == end.Row ? end.Byte : static_cast<TByte>(Store.Get(r).size());
    if (offset >= partEnd) continue;  // nothing can start here
    std::string_view str = SearchText(r, offset, partEnd, end);
    if (AskFind(str, r, partEnd - offset, offset, hit)) {
      hit.Len = HitLenWithin(Store, hit, SkipBytes({hit.Byte, hit.Row}, hit.Len, end));
      return true;
    }
  }
  return false;
}

// The nearest row above limit (or limit's own row, before it) that holds a match ending at
// or before limit; in that row, the last match of the row's own left-to-right series.
bool TFenEdit::SearchBackward(TRowPos limit, TSearchHit& hit) {
  search_.Window.Drop();
  if (!OnFind) return false;
  limit = ClampSearchPos(limit);
  for (TRow r = limit.Row; r >= 0; --r) {
    TByte partEnd = r == limit.Row ? limit.Byte : static_cast<TByte>(Store.Get(r).size());
    TByte offset = 0;
    bool found = false;
    TSearchHit m;
    while (offset < partEnd) {
      std::string_view str = SearchText(r, offset, partEnd, limit);
      if (!AskFind(str, r, partEnd - offset, offset, m)) break;
      hit = m;
      found = true;
      TRowPos next = SkipHit(m, limit);
      if (next.Row != r) break;
      offset = next.Byte;
    }
    if (found) {
      hit.Len = HitLenWithin(Store, hit, SkipBytes({hit.Byte, hit.Row}, hit.Len, limit));
      return true;
    }
  }
  return false;
}

// ---- find ----------------------------------------------------------------------------------

void TFenEdit::SetFindText(const std::string& s) {
  search_.FindStr = s;
  search_.RangeWhole = true;
  search_.Pos = search_.Back = TRowPos{};
  search_.Count = 0;
  search_.NewSearch = true;
  search_.Continuing = search_.Wrapped = false;
  RemoveHitHighlight();
}

void TFenEdit::FindFirst() {
  search_.RangeWhole = true;
  search_.Pos = TRowPos{};
  search_.Count = 0;
  RemoveHitHighlight();
  search_.Wrapped = false;
  search_.NewSearch = false;
  FindStep(true);
}

void TFenEdit::FindNext() {
  RemoveHitHighlight();
  if (IsSelected()) CancelSelection();
  search_.RangeWhole = true;
  if (search_.NewSearch) search_.Pos = caret_;
  FindStep(true);
}

void TFenEdit::FindPrev() {
  RemoveHitHighlight();
  if (IsSelected()) CancelSelection();
  search_.RangeWhole = true;
  if (search_.NewSearch) search_.Back = caret_;
  FindStep(false);
}

// One find in either direction. After a miss the next search starts again at the far end
// with the count at 0; otherwise it goes on from the last hit, or from the caret when the
// caret was placed since.
void TFenEdit::FindStep(bool forward) {
  TRowPos end = TextEndPos();
  if (search_.Wrapped) {
    search_.Count = 0;
    search_.Pos = TRowPos{};
    search_.Back = end;
  }
  search_.NewSearch = false;
  search_.Wrapped = false;
  search_.Continuing = forward;
  TSearchHit h;
  bool found = forward ? SearchForward(search_.Pos, end, h) : SearchBackward(search_.Back, h);
  if (!found) {
    search_.Wrapped = true;
    search_.Pos = forward ? end : TRowPos{};
    search_.Back = forward ? end : TRowPos{};
    if (OnFindNoHit) OnFindNoHit(this, search_.FindStr);
    return;
  }
  GotoPos(h.Byte, h.Row, TCaretPlacement::UpperFifth);
  NotifyCaretMoved();
  search_.NewSearch = false;
  search_.Hit = h;
  ++search_.Count;
  search_.Back = TRowPos{h.Byte, h.Row};
  search_.Pos = SkipHit(h, end);
  if (OnFindHit) OnFindHit(this, search_.FindStr, h.Byte, h.Row, h.Len, search_.Count);
}

// ---- replace -------------------------------------------------------------------------------

TLinePos TFenEdit::LinePosAt(TRowPos p, TLineCursor& cursor) const {
  TRow first = LineFirstRow(p.Row);
  if (first < cursor.Row) cursor = TLineCursor{first, Store.LineEndsBefore(first)};
  for (; cursor.Row < first; ++cursor.Row) cursor.Lines += RowEndsLine(Store.Get(cursor.Row));
  long long byte = p.Byte;
  for (TRow r = first; r < p.Row; ++r) byte += static_cast<long long>(Store.Get(r).size());
  return {static_cast<TByte>(byte), cursor.Lines};
}

void TFenEdit::ReplaceRange(std::string_view text, TRowPos from, TRowPos to, bool repaint) {
  ReplaceRangeAt(text, from, to, repaint, nullptr);
}

// The cursor, when given, must count the line ends of unchanged rows; it is left at the start
// of the replacement's line, before any row the replacement rewraps.
TRowPos TFenEdit::ReplaceRangeAt(std::string_view text, TRowPos from, TRowPos to, bool repaint,
                                 TLineCursor* cursor) {
  text = CutAtNul(text);
  TRowPos textEnd = TextEndPos();
  if (Before(to, from)) std::swap(from, to);
  from = ClampSearchPos(from);
  to = ClampSearchPos(to);
  if (Before(textEnd, to)) to = textEnd;
  if (Before(textEnd, from)) from = textEnd;
  // A place at a row's end is the next row's start.
  from = SkipBytes(from, 0, textEnd);
  to = SkipBytes(to, 0, textEnd);
  // Undo and redo put the caret where the replacement starts and take text out there; a CR
  // just before that place could pair with an LF behind the removed text, and no caret stands
  // inside a CR LF pair. So the replacement takes such CRs in: removed and put back as they are.
  // Such a CR may end the row above when the line wraps there.
  size_t crs = 0;
  for (;;) {
    if (from.Byte > 0) {
      if (Store.Get(from.Row)[static_cast<size_t>(from.Byte) - 1] != '\r') break;
      --from.Byte;
      ++crs;
      continue;
    }
    if (from.Row == 0) break;
    const std::string& above = Store.Get(from.Row - 1);
    if (RowHasTerminator(above) || above.empty() || above.back() != '\r') break;
    from = {static_cast<TByte>(above.size()), from.Row - 1};
  }
  std::string inserted(crs, '\r');
  inserted.append(text);
  std::string removed = TextBetween(from, to);
  if (removed.empty() && inserted.empty()) return from;
  TUndoGroup group(*this);
  if (!applying_) {
    if (cursor) {
      TLinePos at = LinePosAt(from, *cursor);
      RecordUndoAt(TUndoKind::Removed, std::move(removed), at);
      RecordUndoAt(TUndoKind::Inserted, inserted, at);
    } else {
      RecordUndo(TUndoKind::Removed, removed, from.Row, from.Byte);
      RecordUndo(TUndoKind::Inserted, inserted, from.Row, from.Byte);
    }
  }
  selected_ = selectAll_ = false;
  const std::string& first = Store.Get(from.Row);
  std::string head;
  head.reserve(static_cast<size_t>(from.Byte) + inserted.size() +
               (from.Row == to.Row ? first.size() - static_cast<size_t>(to.Byte) : 0));
  head.append(first, 0, static_cast<size_t>(from.Byte));
  head.append(inserted);
  TRow lastRow = from.Row;
  if (from.Row == to.Row) {
    head.append(first, static_cast<size_t>(to.Byte));
    Store.Put(from.Row, std::move(head));
  } else {
    // The end row keeps its rest as a row of its own until RewrapRows joins them: the row
    // count stays, so a hit across a wrap takes no row out of the store's blocks.
    std::string tail = Store.Get(to.Row).substr(static_cast<size_t>(to.Byte));
    Store.Put(to.Row, std::move(tail));
    if (to.Row - from.Row > 1) Store.ReplaceRows(from.Row + 1, to.Row - from.Row - 1, {});
    Store.Put(from.Row, std::move(head));
    lastRow = from.Row + 1;
  }
  // RewrapRows carries the caret to the row and byte where the inserted text ends.
  caret_ = anchor_ = selEnd_ = TRowPos{from.Byte + static_cast<TByte>(inserted.size()), from.Row};
  RewrapRows(from.Row, lastRow, false);
  // Where the inserted text ends, before placing the caret moves it off a CR LF pair.
  TRowPos after = caret_;
  if (repaint) {
    ScrollToCaret(caret_, TCaretPlacement::Minimal, false, true);
    UpdateScrollRange();
    RepaintFrom(std::max(0, from.Row - 1));
  }
  rememberedColumn_ = caret_.Byte;
  return after;
}

// Replace-all without asking: one pass over the store from pos to end. Lines without hits
// keep their rows; a line with hits is rebuilt once (with the lines a hit runs into) and cut
// again; the store rebuilds its blocks behind the pass (rows already passed are never read
// again). So the work is the text passed plus the hits, and each hit records the same undo
// steps as a replacement made alone: its logical place in the text as it is at that moment.
int TFenEdit::ReplaceRest(TRowPos pos, TRowPos end, TRowPos& after) {
  const std::string_view repl = CutAtNul(search_.ReplaceStr);
  TRowPos cp = ClampSearchPos(pos);  // original bytes before cp are dealt with
  after = cp;
  TSearchHit h;
  bool found = cp.Row < Store.Count() && SearchForward(cp, end, h);
  if (!found) return 0;
  // What the first replacement raises (modified, no redo) is raised before the store is taken
  // apart, so that a handler finds it whole.
  if (!applying_ && (h.Len > 0 || !repl.empty())) NoteRecordedEdit();

  std::vector<std::string> newRows;
  const TRow firstRow = LineFirstRow(cp.Row);
  TRow pending = firstRow;  // first original row not yet handed to the store; starts a line
  TRow outRows = firstRow;  // rows of the result so far
  int outLines = Store.LineEndsBefore(firstRow);
  std::string buf;  // the output of the line being rebuilt, from its first byte
  bool building = false;
  int bufLines = 0;         // CR LF pairs in buf
  size_t bufLineStart = 0;  // offset in buf after the last of them
  bool caretInBuf = false;
  size_t caretOff = 0;
  TRow buildLast = -1;  // the original row ending the line in buf; -1 until looked up
  TRowPos caret = caret_;
  int count = 0;
  // Undo steps of the hits in buf, recorded when buf goes into the store, so that the undo
  // list never holds a step whose change did not happen.
  struct Step {
    TUndoKind kind;
    std::string text;
    TLinePos at;
  };
  std::vector<Step> steps;

  // CR LF pairs of the replacement, found once.
  std::vector<size_t> replPairs;
  for (size_t i = 0; (i = repl.find("\r\n", i)) != std::string_view::npos; i += 2)
    replPairs.push_back(i);
  // Appends t to buf; pairs: offsets in t where a CR LF pair starts (a pair formed with the
  // CR that ends buf is found here).
  auto append = [&](std::string_view t, const size_t* pairs, size_t nPairs) {
    if (t.empty()) return;
    if (!buf.empty() && buf.back() == '\r' && t.front() == '\n') {
      ++bufLines;
      bufLineStart = buf.size() + 1;
    }
    if (nPairs > 0) {
      bufLines += static_cast<int>(nPairs);
      bufLineStart = buf.size() + pairs[nPairs - 1] + 2;
    }
    buf.append(t);
  };
  // Original bytes from a to b: in a row only its last two bytes can be a CR LF pair.
  auto appendOriginal = [&](TRowPos a, TRowPos b) {
    for (TRow r = a.Row; r <= b.Row && r < Store.Count(); ++r) {
      const std::string& row = Store.Get(r);
      size_t from = r == a.Row ? static_cast<size_t>(a.Byte) : 0;
      size_t to = r == b.Row ? std::min(row.size(), static_cast<size_t>(b.Byte)) : row.size();
      if (to <= from) continue;
      bool ends = to == row.size() && from + 2 <= to && RowEndsLine(row);
      size_t at = to - 2 - from;
      append(std::string_view(row).substr(from, to - from), &at, ends ? 1 : 0);
    }
  };
  auto keepRows = [&](TRow upTo) {
    if (upTo <= pending) return;
    outLines += Store.RewriteKeep(upTo);
    outRows += upTo - pending;
    pending = upTo;
  };
  // buf runs through the end of original row lastRow: cut it into rows.
  auto flush = [&](TRow lastRow) {
    newRows.clear();
    std::string_view rest(buf);
    while (!rest.empty()) {
      size_t brk = rest.find("\r\n");
      size_t n = brk == std::string_view::npos ? rest.size() : brk + 2;
      if (WordWrap_) {
        CutLine(rest.substr(0, n), newRows);
      } else {
        newRows.emplace_back(rest.substr(0, n));
      }
      rest.remove_prefix(n);
    }
    if (caretInBuf) {
      size_t i = 0;
      while (i + 1 < newRows.size() && caretOff >= newRows[i].size())
        caretOff -= newRows[i++].size();
      caret = {static_cast<TByte>(caretOff), outRows + static_cast<TRow>(i)};
      // The end of a row is the start of the next one, as RewrapRows has it.
      if (caretOff >= newRows[i].size() && lastRow + 1 < Store.Count()) caret = {0, caret.Row + 1};
      caretInBuf = false;
    }
    outRows += static_cast<TRow>(newRows.size());
    outLines += bufLines;
    pending = lastRow + 1;
    Store.RewriteReplace(pending, newRows);
    for (Step& st : steps) RecordUndoAt(st.kind, std::move(st.text), st.at);
    steps.clear();
    cp = {0, lastRow + 1};
    building = false;
    buf.clear();
    bufLines = 0;
    bufLineStart = 0;
  };

  Store.BeginRewrite(firstRow);
  search_.Window.Keep = true;
  // Should anything throw (the host's matcher, memory), the store takes what is done so far:
  // whole lines, each with its undo steps.
  struct EndPass {
    TFenEdit& e;
    ~EndPass() {
      e.search_.Window.Keep = false;
      e.search_.Window.Drop();
      if (e.Store.Rewriting()) {
        e.Store.EndRewrite();
        e.caret_ = e.anchor_ = e.selEnd_ = e.ClampSearchPos(e.caret_);
      }
    }
  } endPass{*this};
  for (bool first = true;; first = false) {
    if (!first) found = cp.Row < Store.Count() && SearchForward(cp, end, h);
    if (building) {
      // The rows ahead are the original ones while the pass runs, so the row that ends the
      // line being rebuilt is found once per line, not once per hit.
      // A hit may run past it into later lines: then it is looked up again from there.
      const TRow from = cp.Byte > 0 ? cp.Row : cp.Row - 1;
      if (buildLast < from) buildLast = LineLastRow(from);
      TRow& lineLast = buildLast;
      for (;;) {
        if (found && h.Row <= lineLast) {
          appendOriginal(cp, {h.Byte, h.Row});
          break;
        }
        // The line ends before the next hit: take in the rest of it.
        appendOriginal(cp, {static_cast<TByte>(Store.Get(lineLast).size()), lineLast});
        cp = {0, lineLast + 1};
        bool lineEnds = buf.size() >= 2 && buf.compare(buf.size() - 2, 2, "\r\n") == 0;
        if (lineEnds || lineLast + 1 >= Store.Count()) {
          flush(lineLast);
          buildLast = -1;
          break;
        }
        // A replacement took the line break away: the next line is part of this one now.
        lineLast = LineLastRow(lineLast + 1);
      }
    }
    if (!found) break;
    if (!building) {
      // Rows before pending are handed over already: the walk back stops there.
      TRow lineFirst = h.Row;
      while (lineFirst > pending && !RowHasTerminator(Store.Get(lineFirst - 1))) --lineFirst;
      keepRows(lineFirst);
      building = true;
      appendOriginal({0, lineFirst}, {h.Byte, h.Row});
    }
    TRowPos at{h.Byte, h.Row};
    TRowPos hitEnd = SkipBytes(at, h.Len, end);
    // As in ReplaceRangeAt: CRs just before the hit go out and back in with it.
    size_t crs = 0;
    while (crs < buf.size() - bufLineStart && buf[buf.size() - 1 - crs] == '\r') ++crs;
    if (!applying_) {
      std::string removed(crs, '\r');
      removed += TextBetween(at, hitEnd);
      std::string inserted(crs, '\r');
      inserted.append(repl);
      TLinePos lp{static_cast<TByte>(buf.size() - crs - bufLineStart), outLines + bufLines};
      steps.push_back({TUndoKind::Removed, std::move(removed), lp});
      steps.push_back({TUndoKind::Inserted, std::move(inserted), lp});
    }
    append(repl, replPairs.data(), replPairs.size());
    ++count;
    caretInBuf = true;
    caretOff = buf.size();
    cp = hitEnd;
    if (h.Len <= 0) {
      // An empty match: one character of the text goes along, so the search moves on.
      TRowPos next = SkipHit(TSearchHit{cp.Byte, cp.Row, 0}, end);
      appendOriginal(cp, next);
      cp = next;
    }
  }
  search_.Window.Keep = false;
  search_.Window.Drop();
  Store.EndRewrite();
  caret_ = anchor_ = selEnd_ = caret;
  after = caret;
  rememberedColumn_ = caret.Byte;
  return count;
}

void TFenEdit::ReplaceText(const std::string& find, const std::string& replace, bool wholeText,
                           bool confirm, bool fromTop) {
  search_.FindStr = find;
  search_.ReplaceStr = replace;
  search_.Kakunin = confirm;
  search_.NewSearch = search_.Continuing = true;
  search_.Wrapped = search_.Abort = false;
  search_.Count = 0;
  RemoveHitHighlight();

  TByte sb = 0, eb = 0;
  TRow sr = 0, er = 0;
  TRowPos start;
  if (wholeText || !GetSelRange(sb, sr, er, eb)) {
    search_.RangeWhole = true;
    start = fromTop ? TRowPos{} : caret_;
  } else {
    SetRangeEnd(ClampSearchPos({eb, er}));
    start = {sb, sr};
  }
  if (IsSelected()) CancelSelection();

  TRowPos end = RangeEnd();
  TRowPos pos = ClampSearchPos(start);
  bool changed = false;
  TLineCursor cursor;
  while (!search_.Abort) {
    if (!search_.Kakunin) {
      // Every replacement made without asking is one command.
      TUndoGroup group(*this);
      int n = ReplaceRest(pos, end, pos);
      search_.Count += n;
      changed = changed || n > 0;
      break;
    }
    TSearchHit h;
    if (!SearchForward(pos, end, h)) break;
    TRowPos at{h.Byte, h.Row};
    TRowPos hitEnd = SkipBytes(at, h.Len, end);
    if (search_.Kakunin) {
      GotoPos(h.Byte, h.Row, TCaretPlacement::UpperFifth);
      NotifyCaretMoved();
      search_.NewSearch = false;
      search_.Hit = h;
      bool changeF = true, kakuninF = true, abortF = false;
      if (OnFindChange)
        OnFindChange(this, search_.FindStr, search_.ReplaceStr, h.Byte, h.Row, h.Len, search_.Count,
                     changeF, kakuninF, abortF);
      search_.Kakunin = kakuninF;
      search_.Abort = abortF;
      if (search_.Abort) {
        RemoveHitHighlight();
        pos = at;
        break;
      }
      if (!changeF) {
        pos = SkipHit(h, end);
        continue;
      }
    }
    hitShown_ = false;
    search_.Hit = TSearchHit{};
    search_.NewSearch = false;
    TRowPos after = ReplaceRangeAt(search_.ReplaceStr, at, hitEnd, search_.Kakunin, &cursor);
    changed = true;
    ++search_.Count;
    // Go on after the inserted text, wherever its rows ended up: its own bytes are never
    // searched again, so a replacement that holds the search string cannot loop.
    end = RangeEnd();
    pos = after;
    if (h.Len <= 0) pos = SkipHit(TSearchHit{pos.Byte, pos.Row, 0}, end);
    if (Before(end, pos)) pos = end;
  }
  search_.Pos = pos;
  search_.Back = pos;
  search_.RangeWhole = true;
  if (search_.Kakunin) {
    RemoveHitHighlight();
  } else {
    hitShown_ = false;
    UpdateScrollRange();
    ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
    RepaintAll();
  }
  NotifyCaretMoved();
  if (changed) RaiseChange();
  if (OnFindChangeEnd) OnFindChangeEnd(this, search_.FindStr, search_.ReplaceStr, search_.Count);
}

// ---- the hit -------------------------------------------------------------------------------

void TFenEdit::RepaintHit() {
  if (search_.Hit.Len <= 0) return;
  TRowPos at = ClampSearchPos({search_.Hit.Byte, search_.Hit.Row});
  TRowPos e = SkipBytes(at, search_.Hit.Len, TextEndPos());
  RepaintRows(at.Row, e.Row);
}

void TFenEdit::RemoveHitHighlight() {
  if (!hitShown_) return;
  hitShown_ = false;
  RepaintHit();
}

void TFenEdit::HighlightHit(TColor colour) {
  if (search_.Hit.Len <= 0) return;
  search_.HitColor = colour;
  hitShown_ = true;
  RepaintHit();
}

void TFenEdit::ResetSearch() {
  search_.NewSearch = true;
  if (hitShown_) {
    hitShown_ = false;
    if (!IsSelected()) RepaintHit();
  }
  search_.Hit = TSearchHit{};
}
