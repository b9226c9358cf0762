// TFenEdit drawing: rows, selections, quote and link colours, marks, the gutter, the
// caret-row rule, full and partial repaints. Only visible rows are ever drawn.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "FenEdit.h"
#include "platform/CodePage.h"

namespace {
constexpr char kEOF[] = "[EOF]";
// Rows a link or a quote may reach back over: a logical line longer than this is too long
// for either to matter, and the limit keeps a paint independent of the line's length.
constexpr int kLinkLookBack = 256;

TColor Inverted(TColor c) {
  return ~c & 0x00FFFFFF;
}

bool UrlStop(unsigned char c) {
  switch (c) {
    case '\t':
    case ' ':
    case '"':
    case '<':
    case '>':
    case '[':
    case '\\':
    case ']':
    case '`':
    case '{':
    case '|':
    case '}':
      return true;
    default:
      return false;
  }
}

bool TagStop(unsigned char c) {
  switch (c) {
    case '\t':
    case '"':
    case '*':
    case ',':
    case '/':
    case ':':
    case ';':
    case '<':
    case '>':
    case '?':
    case '|':
      return true;
    default:
      return false;
  }
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool HasPrefix(const std::string& lower, size_t p, const char* prefix) {
  size_t n = std::strlen(prefix);
  return p + n <= lower.size() && lower.compare(p, n, prefix) == 0;
}
}  // namespace

// ---- entry points --------------------------------------------------------------------------

void TFenEdit::Paint() {
  FullPaint();
}

void TFenEdit::TOwnView::RepaintAll() {
  e_.FullPaint();
}

void TFenEdit::TOwnView::RepaintRows(TRow first, TRow last) {
  e_.PartialPaint(first, last);
}

void TFenEdit::TOwnView::RepaintFrom(TRow first) {
  if (!e_.viewCreated_) return;
  e_.PartialPaint(first, e_.LastShownRow());
}

void TFenEdit::RedrawRows(TRow first, TRow last) {
  if (!viewCreated_ || !HandleAllocated()) return;
  bool hidden = Host()->HideCaret();
  PartialPaint(first, last);
  if (hidden) Host()->ShowCaret();
}

TRow TFenEdit::LineStartRow(TRow row) const {
  // Most lines are a few rows long; the index costs a scan inside a block of rows.
  constexpr TRow kWalk = 64;
  const TLineStartHint hint = lineStartHint_;
  const bool hinted = hint.Row >= 0 && hint.Row <= row && row - hint.Row <= kWalk;
  const TRow stop = hinted ? hint.Row : std::max(0, row - kWalk);
  TRow r = row;
  while (r > stop && !RowHasTerminator(Store.Get(r - 1))) --r;
  TRow start;
  if (r > stop || r == 0)
    start = r;
  else if (hinted)
    start = hint.Start;
  else if (RowHasTerminator(Store.Get(r - 1)))
    start = r;
  else {
    int lines = Store.LineEndsBefore(row);
    start = lines == 0 ? 0 : std::min(row, Store.RowAfterLineEnds(lines));
  }
  if (paintPasses_ > 0) lineStartHint_ = {row, start};
  return start;
}

TColor TFenEdit::QuoteColor(TRow row) const {
  if (!ColorPrintF) return Font_.Color;
  const std::string& s = Store.Get(LineStartRow(row));
  size_t len = s.size() - (RowHasTerminator(s) ? 2 : 0);
  if (len == 0) return Font_.Color;
  size_t n = 1;
  if (!SingleByteMode_ && len >= 2 && CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[0])))
    n = 2;
  return Inyostr.find(s.substr(0, n)) != std::string::npos ? InyoColor_ : Font_.Color;
}

// ---- full and partial repaints -------------------------------------------------------------

// Rows first..last with the selection drawn; false (nothing drawn) when nothing is selected.
bool TFenEdit::PaintSelectedRows(TRow first, TRow last) {
  if (selectAll_) {
    for (TRow r = first; r <= last; ++r)
      PaintSegment(r, 0, static_cast<TByte>(Store.Get(r).size()), true, SelColor_);
    return true;
  }
  if (!selected_) return false;
  TRowPos s = anchor_, e = selEnd_;
  if (Before(e, s)) std::swap(s, e);
  for (TRow r = first; r <= last; ++r) PaintRowSelected(r, s, e, SelColor_);
  return true;
}

void TFenEdit::FullPaint() {
  // A replace-all rebuilding the store paints once it is done.
  if (!viewCreated_ || !HandleAllocated() || Store.Rewriting()) return;
  TPaintPass pass(*this);
  Surface* c = Canvas();
  SelectDrawingFont();
  ruleY_ = -1;
  paintedCount_ = Store.Count();
  const TRow first = geom_.TopRow, last = LastShownRow();
  if (!PaintSelectedRows(first, last)) {
    for (TRow r = first; r <= last; ++r) PaintRowPlain(r);
    ColourLinks(first, last, nullptr);
    PaintHitOver(first, last);
    DrawCaretRule();
  }
  PaintGutter(first, last);
  c->FillRect(TRect{0, 0, Width(), TopMargin_}, Color_);
  if (OnUserDraw) {
    CallUserDraw();
    RestoreCanvas();
  }
  if (OnUserClientDraw)
    OnUserClientDraw(this, geom_.TextLeft, ClientDrawRight(), geom_.TopRow,
                     std::min(Store.Count(), geom_.TopRow + geom_.VisibleRows) - 1);
  if (HorzScrollBar) {
    Host()->SetScrollPos(SB_HORZ, (geom_.HorzOffset + geom_.HScrollScale - 1) / geom_.HScrollScale,
                         true);
    SetHScrollRange(true);
  }
  if (OnPaint) OnPaint(this);
}

void TFenEdit::PartialPaint(TRow first, TRow last) {
  if (!viewCreated_ || !HandleAllocated() || Store.Rewriting()) return;
  // Rows removed or added before this call (a deletion over several rows) moved every row
  // below: those are repainted too.
  if (Store.Count() != paintedCount_) last = LastShownRow();
  paintedCount_ = Store.Count();
  first = std::max(first, geom_.TopRow);
  last = std::min(last, LastShownRow());
  if (first > last) return;
  TPaintPass pass(*this);
  SelectDrawingFont();
  if (!PaintSelectedRows(first, last)) {
    if (ruleY_ >= RowTop(first) && ruleY_ <= RowTop(last) + geom_.LineHeight) ruleY_ = -1;
    for (TRow r = first; r <= last; ++r) PaintRowPlain(r);
    ColourLinks(first, last, nullptr);
    PaintHitOver(first, last);
  }
  PaintGutter(first, last);
  DrawCaretRule();
  if (OnUserClientDraw && !inScroll_)
    OnUserClientDraw(this, geom_.TextLeft, ClientDrawRight(), std::max(0, first - 1), last);
  if (HorzScrollBar) {
    Host()->SetScrollPos(SB_HORZ, (geom_.HorzOffset + geom_.HScrollScale - 1) / geom_.HScrollScale,
                         true);
    SetHScrollRange(true);
  }
}

void TFenEdit::PaintSelectionStep() {
  if (!viewCreated_ || !HandleAllocated()) {
    prevDrawn_ = caret_;
    return;
  }
  TRow a = std::min(prevDrawn_.Row, caret_.Row), b = std::max(prevDrawn_.Row, caret_.Row);
  a = std::max(a, geom_.TopRow);
  b = std::min(b, LastShownRow());
  TPaintPass pass(*this);
  SelectDrawingFont();
  if (selectAll_) {
    for (TRow r = a; r <= b; ++r)
      PaintSegment(r, 0, static_cast<TByte>(Store.Get(r).size()), true, SelColor_);
  } else {
    TRowPos s = anchor_, e = caret_;
    if (Before(e, s)) std::swap(s, e);
    for (TRow r = a; r <= b; ++r) PaintRowSelected(r, s, e, SelColor_);
  }
  prevDrawn_ = caret_;
}

// ---- rows ----------------------------------------------------------------------------------

void TFenEdit::PaintRowPlain(TRow row) {
  Surface* c = Canvas();
  const std::string& s = Store.Get(row);
  const bool term = RowHasTerminator(s);
  const bool eot = term && s[s.size() - 1] == '\0';
  const size_t len = s.size() - (term ? 2 : 0);
  const std::string body = ExpandTabs(std::string_view(s).substr(0, len));
  const int y = RowTop(row);
  const int right = ClientWidth();
  const int x0 = geom_.TextLeft - geom_.HorzOffset;
  c->SetTextColor(QuoteColor(row));
  c->SetBkColor(Color_);
  TRect band{geom_.TextLeft - 1, y, right, y + geom_.LineHeight};
  c->TextOut(x0, y, band, body);
  const int mx = x0 + c->TextWidth(body);
  if (eot && ShowEOF) {
    c->SetTextColor(CREOFcolor_);
    int l = std::max(geom_.TextLeft, mx);
    int r = std::max(geom_.TextLeft, mx + c->TextWidth(kEOF));
    if (r > l) c->TextOut(mx, y, TRect{l, y, r, y + geom_.LineHeight}, kEOF);
  } else if (term && !eot && ShowCR && mx >= geom_.TextLeft) {
    DrawCRArrow(mx, y, CREOFcolor_);
  }
  DrawMarks(row, 0, static_cast<TByte>(len), x0, y, band, false);
}

void TFenEdit::PaintRowSelected(TRow row, TRowPos s, TRowPos e, TColor selBack) {
  const TByte len = static_cast<TByte>(Store.Get(row).size());
  if (row < s.Row || row > e.Row) {
    PaintRowPlain(row);
    ColourLinks(row, row, nullptr);
    return;
  }
  TByte from = row == s.Row ? std::clamp(s.Byte, 0, len) : 0;
  TByte to = row == e.Row ? std::clamp(e.Byte, 0, len) : len;
  if (from > 0) PaintSegment(row, 0, from, false, selBack);
  if (to > from) PaintSegment(row, from, to, true, selBack);
  if (to < len) PaintSegment(row, std::max(from, to), len, false, selBack);
  if (from == to && from == len) PaintSegment(row, 0, len, false, selBack);
}

void TFenEdit::PaintSegment(TRow row, TByte p, TByte q, bool selected, TColor selBack) {
  Surface* c = Canvas();
  const std::string& s = Store.Get(row);
  const TByte len = static_cast<TByte>(s.size());
  p = std::clamp(p, 0, len);
  q = std::clamp(q, p, len);
  const bool term = RowHasTerminator(s);
  const bool eot = term && s[s.size() - 1] == '\0';
  TByte qq = q;
  bool endEot = false, endCr = false;
  if (q == len && term) {
    qq = len - 2;
    endEot = eot;
    endCr = !eot;
  }
  if (qq < p) qq = p;
  const int y = RowTop(row);
  const int right = ClientWidth();
  const int x0 = geom_.TextLeft - geom_.HorzOffset;
  const std::string expP = ExpandTabs(std::string_view(s).substr(0, static_cast<size_t>(p)));
  const std::string expQ = ExpandTabs(std::string_view(s).substr(0, static_cast<size_t>(qq)));
  const int x = x0 + c->TextWidth(expP);
  const int xEnd = x0 + c->TextWidth(expQ);
  TRect rect{std::max(geom_.TextLeft, x), y, std::max(geom_.TextLeft, xEnd), y + geom_.LineHeight};
  if (!rect.IsEmpty()) {
    if (selected) {
      c->SetTextColor(Inverted(Font_.Color));
      c->SetBkColor(selBack);
    } else {
      c->SetTextColor(QuoteColor(row));
      c->SetBkColor(Color_);
    }
    c->TextOut(x, y, rect, std::string_view(expQ).substr(expP.size()));
    if (!selected) ColourLinks(row, row, &rect);
    DrawMarks(row, p, qq, x0, y, rect, selected);
  }
  const int tail = std::max(geom_.TextLeft, xEnd);
  if (endEot) {
    TRect r{tail, y, right, y + geom_.LineHeight};
    if (ShowEOF) {
      c->SetTextColor(CREOFcolor_);
      c->SetBkColor(Color_);
      c->TextOut(xEnd, y, r, kEOF);
    } else {
      c->FillRect(r, Color_);
    }
  } else if (endCr) {
    int cellRight = std::max(geom_.TextLeft, xEnd + 8);
    c->FillRect(TRect{tail, y, cellRight, y + geom_.LineHeight}, selected ? selBack : Color_);
    if (ShowCR && xEnd >= geom_.TextLeft)
      DrawCRArrow(xEnd, y, selected ? Inverted(CREOFcolor_) : CREOFcolor_);
    c->FillRect(TRect{cellRight, y, right, y + geom_.LineHeight}, Color_);
  } else if (q == len) {
    c->FillRect(TRect{tail, y, right, y + geom_.LineHeight}, Color_);
  }
}

// The current search hit, drawn like a selection in its own colour over plain rows.
void TFenEdit::PaintHitOver(TRow first, TRow last) {
  if (!hitShown_ || search_.Hit.Len <= 0 || IsSelected()) return;
  const int count = Store.Count();
  TRow r = std::clamp(search_.Hit.Row, 0, count - 1);
  TByte b = std::max(0, search_.Hit.Byte);
  long long remaining = search_.Hit.Len;
  while (remaining > 0 && r < count && r <= last) {
    const std::string& s = Store.Get(r);
    TByte rowLen = static_cast<TByte>(s.size()) - (r == count - 1 ? 2 : 0);
    long long take = std::min<long long>(remaining, std::max(0, rowLen - b));
    if (r >= first && take > 0)
      PaintSegment(r, b, b + static_cast<TByte>(take), true, search_.HitColor);
    remaining -= take;
    ++r;
    b = 0;
    if (take == 0 && rowLen <= 0) break;
  }
}

// ---- marks ---------------------------------------------------------------------------------

void TFenEdit::DrawCRArrow(int x, int y, TColor color) {
  Surface* c = Canvas();
  const int a = geom_.CrTop, b = geom_.CrBottom;
  c->Line(x + 4, y + a, x + 4, y + b, color);
  c->Line(x + 4, y + b, x + 1, y + b - 3, color);
  c->Line(x + 4, y + b, x + 7, y + b - 3, color);
}

void TFenEdit::DottedLine(int x1, int y1, int x2, int y2, TColor color) {
  const int dx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
  const int dy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  const int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
  for (int i = 0; i < steps; ++i) {
    if ((dotCounter_++ & 1) == 0) Canvas()->SetPixel(x1 + i * dx, y1 + i * dy, color);
  }
}

void TFenEdit::DrawMarks(TRow row, TByte p, TByte q, int originX, int y, const TRect& clip,
                         bool selected) {
  const bool boxes = ShowDblSpace && !SingleByteMode_;
  if (!boxes && !ShowTAB) return;
  const std::string& s = Store.Get(row);
  std::string_view part(s.data(), static_cast<size_t>(std::clamp(q, 0, TByte(s.size()))));
  bool hasTab = ShowTAB && part.find('\t') != std::string_view::npos;
  bool hasBox = boxes && part.find("\x81\x40") != std::string_view::npos;
  if (!hasTab && !hasBox) return;
  Surface* c = Canvas();
  const TColor mark = selected ? Inverted(CREOFcolor_) : CREOFcolor_;
  int col = 0, w = 0, tabs = 0;
  std::string spaces;
  for (size_t i = 0; i < part.size();) {
    unsigned char ch = static_cast<unsigned char>(part[i]);
    size_t n = 1;
    int cw;
    if (ch == '\t') {
      int k = TabCount_ - col % TabCount_;
      spaces.assign(static_cast<size_t>(k), ' ');
      cw = c->TextWidth(spaces);
      col += k;
      if (hasTab && static_cast<TByte>(i) >= p && ++tabs <= 100) {
        int e = originX + w + 1;
        int t = e + geom_.SpaceW - 2;
        int ym = y + geom_.DblSpaceH / 2;
        if (e + geom_.SpaceW >= clip.Left && e <= clip.Right) {
          c->Line(e, ym, t, ym, mark);
          c->Line(t, ym, t - 3, ym - 3, mark);
          c->Line(t, ym, t - 3, ym + 3, mark);
        }
      }
    } else {
      if (!SingleByteMode_ && i + 1 < part.size() && CodePage::IsDBCSLeadByte(ch)) n = 2;
      cw = c->TextWidth(part.substr(i, n));
      col += static_cast<int>(n);
      if (hasBox && n == 2 && ch == 0x81 && static_cast<unsigned char>(part[i + 1]) == 0x40 &&
          static_cast<TByte>(i) >= p) {
        int xr = originX + w + cw;
        if (xr >= clip.Left && xr - geom_.DblSpaceW <= clip.Right) {
          int l = xr - geom_.DblSpaceW + 3, r = xr - 3, t = y + 2, b = y + geom_.DblSpaceH - 2;
          DottedLine(r, t, r, b, mark);
          DottedLine(r, b, l, b, mark);
          DottedLine(l, b, l, t, mark);
          DottedLine(l, t, r, t, mark);
        }
      }
    }
    w += cw;
    i += n;
  }
}

// ---- links ---------------------------------------------------------------------------------

void TFenEdit::DrawLink(TRow row, TByte i, TByte j, const TRect* clip) {
  if (row < geom_.TopRow || row > LastShownRow()) return;
  Surface* c = Canvas();
  const std::string& s = Store.Get(row);
  const size_t len = s.size() - (RowHasTerminator(s) ? 2 : 0);
  const int y = RowTop(row);
  const int xi = PixelX(row, i) + geom_.TextLeft;
  const int xe = PixelX(row, j + 1) + geom_.TextLeft;
  TRect r{std::max(geom_.TextLeft, xi), y, xe, y + geom_.LineHeight};
  if (clip && clip->Top == y) r = IntersectRect(r, *clip);
  if (r.IsEmpty()) return;
  TFontSpec f = drawFont_;
  f.Underline = true;
  c->SelectFont(f);
  c->SetTextColor(URLColor_);
  c->SetBkColor(Color_);
  c->TextOut(geom_.TextLeft - geom_.HorzOffset, y, r,
             ExpandTabs(std::string_view(s).substr(0, len)));
  SelectDrawingFont();
}

// Finds the links of rows first..last and underlines them. The scan starts at the logical
// line's first row, so a link wrapped in from an earlier row is found; only rows of the
// range are drawn (a selected row before them keeps its colours).
void TFenEdit::ColourLinks(TRow first, TRow last, const TRect* clip) {
  if (!ColorPrintF || !viewCreated_) return;
  const int count = Store.Count();
  last = std::min(last, count - 1);
  TRow start = std::max(LineStartRow(first), first - kLinkLookBack);
  enum Cont { None, Url, TagHead, TagTail } cont = None;
  std::string lower;
  for (TRow r = start; r <= last; ++r) {
    const std::string& s = Store.Get(r);
    const bool term = RowHasTerminator(s);
    const size_t len = s.size() - (term ? 2 : 0);
    const bool draw = r >= first;
    if (RowEndsLine(s) && s.size() == 2) {
      cont = None;  // an empty line ends every link
      continue;
    }
    auto lead = [&](size_t i) {
      return !SingleByteMode_ && CodePage::IsDBCSLeadByte(static_cast<unsigned char>(s[i]));
    };
    auto runUrl = [&](size_t j) {
      while (j < len && !UrlStop(static_cast<unsigned char>(s[j])) && !lead(j)) ++j;
      return std::min(j, len);
    };
    auto runTag = [&](size_t j) {
      while (j < len && !TagStop(static_cast<unsigned char>(s[j]))) j += lead(j) ? 2 : 1;
      return std::min(j, len);
    };
    size_t p = 0;
    Cont pending = cont;
    cont = None;
    if (pending != None) {
      size_t j = 0;
      Cont next = None;
      if (pending == Url) {
        j = runUrl(0);
        if (j == len && !term) next = Url;
      } else if (pending == TagTail) {
        j = runTag(0);
        if (j == len && !term) next = TagTail;
      } else {
        size_t dot = std::string_view(s.data(), len).find('.');
        if (dot == std::string_view::npos) {
          j = len;
          if (!term) next = TagHead;
        } else {
          j = runTag(dot + 1);
          if (j == len && !term) next = TagTail;
        }
      }
      if (j > 0 && draw) DrawLink(r, 0, static_cast<TByte>(j - 1), clip);
      cont = next;
      p = j;
    }
    if (p >= len) continue;
    lower.assign(s, 0, len);
    if (!term && r + 1 < count) {
      const std::string& n = Store.Get(r + 1);
      lower.append(n, 0, std::min<size_t>(7, n.size()));
    }
    for (char& ch : lower) ch = Lower(ch);
    while (p < len) {
      if (lead(p)) {
        p += 2;
        continue;
      }
      size_t j;
      Cont next = None;
      if (HasPrefix(lower, p, "http://") || HasPrefix(lower, p, "https:/") ||
          HasPrefix(lower, p, "mailto:") || HasPrefix(lower, p, "mail:")) {
        j = p + 5 >= len ? len : runUrl(p + 5);
        if (j == len && !term) next = Url;
      } else if (HasPrefix(lower, p, "tag:")) {
        size_t dot =
            p + 4 < len ? std::string_view(s.data(), len).find('.', p + 4) : std::string_view::npos;
        if (dot == std::string_view::npos) {
          j = len;
          if (!term) next = TagHead;
        } else {
          j = runTag(dot + 1);
          if (j == len && !term) next = TagTail;
        }
      } else {
        ++p;
        continue;
      }
      if (draw) DrawLink(r, static_cast<TByte>(p), static_cast<TByte>(j - 1), clip);
      cont = next;
      p = std::max(j, p + 1);
    }
  }
}

// ---- gutter --------------------------------------------------------------------------------

void TFenEdit::PaintGutter(TRow first, TRow last) {
  Surface* c = Canvas();
  const int count = Store.Count();
  const int shown = std::min(geom_.VisibleRows, count - geom_.TopRow);
  const int bottomY = shown * geom_.LineHeight + TopMargin_ - (geom_.LineHeight - geom_.CharHeight);
  const int height = ClientHeight();
  if (bottomY < height) c->FillRect(TRect{0, bottomY, Width(), height}, Color_);
  const int top = std::max(TopMargin_, RowTop(first));
  const int bottom = std::min(height, RowTop(last) + geom_.CharHeight);
  c->FillRect(TRect{0, top, geom_.TextLeft, bottom}, Color_);
  if (!ShowLineNumber) return;
  c->Line(geom_.TextLeft - 4, TopMargin_, geom_.TextLeft - 4, bottom, CREOFcolor_);
  c->SetTextColor(CREOFcolor_);
  c->SetBkColor(Color_);
  const int right = geom_.TextLeft - 7;
  for (TRow i = first; i <= last; ++i) {
    std::string number = std::to_string(i + 1);
    int x = right - c->TextWidth(number);
    int y = RowTop(i);
    c->TextOut(x, y, TRect{std::max(0, x), y, right, y + geom_.CharHeight}, number);
  }
}

bool TFenEdit::AdjustGutter() {
  if (!ShowLineNumber || !viewCreated_) return false;
  Surface* c = Canvas();
  const int old = geom_.TextLeft;
  const int need = c->TextWidth(std::to_string(Store.Count())) + LeftMargin_ + 7;
  while (geom_.TextLeft < need) geom_.TextLeft += 10;
  const double zero = c->TextWidth("0");
  while (need < geom_.TextLeft - 1.5 * zero && geom_.MinTextLeft < need) geom_.TextLeft -= 10;
  if (geom_.TextLeft == old) return false;
  geom_.GutterWidth = geom_.TextLeft - LeftMargin_;
  ComputeGeometry();
  return true;
}

void TFenEdit::CallUserDraw() {
  const double ave = std::max(1, geom_.AveCharWidth);
  int c1 = std::max(1, static_cast<int>(std::lround(geom_.HorzOffset / ave)));
  int c2 = std::min(static_cast<int>(std::lround((Width() + geom_.HorzOffset) / ave)),
                    WordWrap_ ? Column_ : geom_.RulerColumnLimit);
  OnUserDraw(this, c1, c2, geom_.TextLeft, ClientDrawRight());
}

// ---- the caret-row rule --------------------------------------------------------------------

void TFenEdit::DrawCaretRule() {
  if (!ShowUnderLine || !viewCreated_ || IsSelected() || mouseSelecting_) return;
  if (caret_.Row < geom_.TopRow || caret_.Row > LastShownRow()) return;
  int y = RowTop(caret_.Row) + geom_.CharHeight;
  Canvas()->Line(LeftMargin_, y, Width(), y, UlineColor_);
  ruleY_ = y;
}

void TFenEdit::EraseCaretRule() {
  if (!ShowUnderLine || !viewCreated_ || ruleY_ < 0) return;
  int y = ruleY_;
  ruleY_ = -1;
  if (y <= TopMargin_) return;
  Canvas()->Line(LeftMargin_, y, Width(), y, Color_);
  if (ShowLineNumber) Canvas()->Line(geom_.TextLeft - 4, y, geom_.TextLeft - 3, y, CREOFcolor_);
}

void TFenEdit::MoveCaretRuleTo(TRow row) {
  if (!ShowUnderLine || !viewCreated_ || IsSelected()) return;
  EraseCaretRule();
  if (row < geom_.TopRow || row > LastShownRow()) return;
  int y = RowTop(row) + geom_.CharHeight;
  Canvas()->Line(LeftMargin_, y, ClientWidth(), y, UlineColor_);
  ruleY_ = y;
}
