// TFenEdit caret and scrolling: caret placement, bringing the caret into view, scroll ranges,
// scroll messages, the wheel, size changes and vertical caret moves.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>

#include "FenEdit.h"

namespace {
int CeilDiv(long long a, long long b) {
  return static_cast<int>((a + b - 1) / b);
}
constexpr int kMaxScrollPos = 32767;
}  // namespace

// ---- caret placement -----------------------------------------------------------------------

void TFenEdit::PlaceCaret() {
  if (viewCreated_ && Focused()) {
    int bandY = (caret_.Row - geom_.TopRow) * geom_.LineHeight;
    bool visible = caret_.Row >= geom_.TopRow && caret_.Row < geom_.TopRow + geom_.VisibleRows;
    int x = caretX_ < 0 ? -5 : geom_.TextLeft + caretX_;
    int y = visible ? TopMargin_ + bandY : -geom_.LineHeight - TopMargin_;
    Host()->SetCaretPos(x, y);
    ResetSearch();
    // The font is handed over once per focus; the input method keeps it.
    if (!imeFontSet_) imeFontSet_ = Host()->SetCompositionFont(drawFont_);
    if (imeFontSet_)
      Host()->SetCompositionWindow(TPoint{geom_.TextLeft + caretX_, TopMargin_ + bandY});
  }
  bool moved = caret_ != notifiedCaret_ || caretX_ != notifiedX_;
  NotifyCaretMoved();
  if (moved && IsSelected() && OnUserClientDraw && viewCreated_) {
    TByte sb, eb;
    TRow sr, er;
    GetSelRange(sb, sr, er, eb);
    OnUserClientDraw(this, geom_.TextLeft, ClientDrawRight(), std::max(0, sr - 1),
                     std::min(er + 1, Store.Count() - 1));
  }
}

void TFenEdit::ViewImeWindowToOrigin() {
  if (!viewCreated_ || !Focused()) return;
  if (!imeFontSet_) imeFontSet_ = Host()->SetCompositionFont(drawFont_);
  if (imeFontSet_) Host()->SetCompositionWindow(TPoint{geom_.TextLeft, TopMargin_});
}

// ---- bringing the caret into view ----------------------------------------------------------

// A failure while bringing the caret into view is reported and the control goes on.
bool TFenEdit::ScrollToCaret(TRowPos p, TCaretPlacement placement, bool rememberColumn,
                             bool collapse) {
  try {
    caret_ = LimitPos(p);
    selEnd_ = caret_;
    if (collapse) anchor_ = caret_;
    if (rememberColumn) RememberColumn();
    return notify_->CaretPlaced(placement);
  } catch (const std::exception&) {
    ShowCodedMessage("Error:OC005");
    return false;
  }
}

bool TFenEdit::BringIntoView(TCaretPlacement placement) {
  if (!viewCreated_ || !HandleAllocated()) {
    caretX_ = PixelX(caret_.Row, caret_.Byte);
    return false;
  }
  const TRow oldTop = geom_.TopRow;
  const int oldOffset = geom_.HorzOffset;
  const int count = Store.Count();
  const int w = TextAreaWidth();
  const int k = geom_.VisibleRows - geom_.RowMargin;
  const int absX = PixelX(caret_.Row, caret_.Byte) + geom_.HorzOffset;
  caretX_ = absX - geom_.HorzOffset;
  if (caretX_ > w - 3 || caretX_ < 3) geom_.HorzOffset = std::max(0, absX - (w - geom_.HorzStep));
  caretX_ = absX - geom_.HorzOffset;

  const TRow row = caret_.Row;
  switch (placement) {
    case TCaretPlacement::Minimal:
      if (row > geom_.TopRow + k) {
        geom_.TopRow = std::max(0, row - k);
      } else if (geom_.TopRow < count - k) {
        if (row < geom_.TopRow) geom_.TopRow = std::max(0, row - geom_.RowMargin + 1);
      } else {
        geom_.TopRow = std::max(0, row - k);
      }
      break;
    case TCaretPlacement::Centre:
      geom_.TopRow = std::min(std::max(0, row - geom_.VisibleRows / 2), std::max(0, count - k));
      break;
    case TCaretPlacement::UpperFifth:
      geom_.TopRow =
          std::min(std::max(0, row + static_cast<int>(0.8 * geom_.VisibleRows) - geom_.VisibleRows),
                   std::max(0, count - k));
      break;
  }
  if (geom_.VisibleRows >= count + geom_.RowMargin - 1) geom_.TopRow = 0;

  if (geom_.TopRow != oldTop || geom_.HorzOffset != oldOffset) {
    Host()->HideCaret();
    SetVScrollRange(true);
    SetHScrollRange(true);
    FullPaint();
    PlaceCaret();
    Host()->ShowCaret();
    return true;
  }
  int oldRuleY = ruleY_;
  PlaceCaret();
  if (ShowUnderLine && oldRuleY != RowTop(caret_.Row) + geom_.CharHeight) {
    EraseCaretRule();
    DrawCaretRule();
  }
  return false;
}

// ---- scroll ranges -------------------------------------------------------------------------

TRow TFenEdit::MaxTopRow() const {
  return std::max(0, Store.Count() + geom_.RowMargin - geom_.VisibleRows - 1);
}

int TFenEdit::RowWidth(TRow row) const {
  return PixelX(row, RowLimit(row)) + geom_.HorzOffset;
}

int TFenEdit::MaxRowWidth() {
  int widest = 0;
  if (viewCreated_)
    for (TRow r = geom_.TopRow, last = LastShownRow(); r <= last; ++r)
      widest = std::max(widest, RowWidth(r));
  geom_.MaxRowWidth = widest;
  return widest;
}

bool TFenEdit::SetVScrollRange(bool redraw) {
  if (!viewCreated_ || !HandleAllocated()) return false;
  bool changed = AdjustGutter();
  if (!VertScrollBar) return changed;
  const int count = Store.Count();
  const TRow maxTop = MaxTopRow();
  geom_.VScrollScale = std::max(1, CeilDiv(maxTop, kMaxScrollPos));
  int range = CeilDiv(maxTop, geom_.VScrollScale);
  WindowHost* h = Host();
  h->SetScrollRange(SB_VERT, 0, range, redraw);
  h->SetScrollPos(SB_VERT, CeilDiv(geom_.TopRow, geom_.VScrollScale), redraw);
  if (range == 0) h->ShowScrollBar(SB_VERT, true);
  h->EnableScrollBar(SB_VERT, geom_.VisibleRows < count + geom_.RowMargin - 1);
  return changed;
}

void TFenEdit::SetHScrollRange(bool redraw) {
  if (!viewCreated_ || !HandleAllocated() || !HorzScrollBar) return;
  int widest = MaxRowWidth();
  geom_.HScrollScale = std::max(1, CeilDiv(widest, kMaxScrollPos));
  WindowHost* h = Host();
  h->SetScrollRange(SB_HORZ, 0, std::max(1, CeilDiv(widest, geom_.HScrollScale) - geom_.HorzStep),
                    redraw);
  h->EnableScrollBar(SB_HORZ, TextAreaWidth() < widest + geom_.HorzStep);
}

void TFenEdit::ViewUpdateScrollRange() {
  if (!viewCreated_ || !HandleAllocated()) return;
  if (SetVScrollRange(true)) {
    ComputeGeometry();
    RepaintAll();
  }
  SetHScrollRange(true);
}

// ---- scroll messages -----------------------------------------------------------------------

int TFenEdit::VScroll(unsigned code, int thumb) {
  if (!viewCreated_ || geom_.LineHeight <= 0) return 0;
  int request = 0;
  const int page = TextAreaHeight() / geom_.LineHeight;
  switch (code) {
    case SB_LINEUP:
      request = keyRepeat_ < -4 ? -ScrollStep_ : -1;
      break;
    case SB_LINEDOWN:
      request = keyRepeat_ > 4 ? ScrollStep_ : 1;
      break;
    case SB_PAGEUP:
      request = std::min(-1, -page);
      break;
    case SB_PAGEDOWN:
      request = std::max(1, page);
      break;
    case SB_THUMBTRACK:
      request = thumb * geom_.VScrollScale - geom_.TopRow;
      break;
    case SB_TOP:
      request = -geom_.TopRow;
      break;
    case SB_BOTTOM:
      request = MaxTopRow() - geom_.TopRow;
      break;
    default:
      request = 0;
  }
  const int scrolled =
      std::clamp(request, -geom_.TopRow, std::max(-geom_.TopRow, MaxTopRow() - geom_.TopRow));
  int follow = request;
  if (request > 0 && caret_.Row - geom_.TopRow > geom_.VisibleRows - geom_.RowMargin) follow = 0;
  if (scrolled == 0) return 0;

  EraseCaretRule();
  geom_.TopRow += scrolled;
  Host()->HideCaret();
  TRect below{0, TopMargin_, ClientWidth(), ClientHeight()};
  InvalidateRect(below, true);
  inScroll_ = true;
  if (!scrollByEnter_) {
    if (!CaretScrollFix || keyInProgress_) {
      MoveCaretVert(follow);
    } else {
      PlaceCaret();
    }
  }
  inScroll_ = false;
  Host()->ShowCaret();
  if (VertScrollBar) Host()->SetScrollPos(SB_VERT, CeilDiv(geom_.TopRow, geom_.VScrollScale), true);
  return scrolled;
}

int TFenEdit::HScroll(unsigned code, int thumb) {
  if (!viewCreated_) return 0;
  const int w = TextAreaWidth();
  int request = 0;
  switch (code) {
    case SB_LINELEFT:
      request = -geom_.HorzStep;
      break;
    case SB_LINERIGHT:
      request = geom_.HorzStep;
      break;
    case SB_PAGELEFT:
      request = std::min(-1, -(w / 3));
      break;
    case SB_PAGERIGHT:
      request = std::max(1, w / 3);
      break;
    case SB_THUMBTRACK:
      request = thumb * geom_.HScrollScale - geom_.HorzOffset;
      break;
    default:
      request = 0;
  }
  if (request < 0) {
    request = std::max(request, -geom_.HorzOffset);
  } else if (request > 0) {
    int widest = MaxRowWidth();
    request = std::max(0, std::min(request, widest - geom_.HorzOffset - geom_.HorzStep));
    if (w >= widest + geom_.HorzStep) request = 0;
  }
  if (request == 0) return 0;
  geom_.HorzOffset += request;
  if (HorzScrollBar)
    Host()->SetScrollPos(SB_HORZ, CeilDiv(geom_.HorzOffset, geom_.HScrollScale), true);
  TRect area{geom_.TextLeft, 0, ClientWidth(), ClientHeight()};
  Host()->ScrollWindow(-request, 0, &area);
  caretX_ -= request;
  if (OnUserDraw) {
    Canvas()->FillRect(TRect{0, 0, Width(), TopMargin_}, Color_);
    CallUserDraw();
    RestoreCanvas();
  }
  PlaceCaret();
  return request;
}

// Small deltas (touchpads, high-resolution wheels) add up until they make a notch, so such
// a wheel scrolls too; a full notch scrolls WheelStep rows at once.
void TFenEdit::MouseWheel(int delta) {
  if ((delta > 0 && wheelRest_ < 0) || (delta < 0 && wheelRest_ > 0)) wheelRest_ = 0;
  wheelRest_ += delta;
  int notches = wheelRest_ / 120;
  wheelRest_ -= notches * 120;
  if (notches == 0) return;
  int n = std::abs(notches) * WheelStep_;
  unsigned code = notches > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (int i = 0; i < n; ++i) Perform(WM_VSCROLL, code, n);
}

// ---- size ----------------------------------------------------------------------------------

void TFenEdit::SizeView() {
  if (!viewCreated_) return;
  ComputeGeometry();
  if (WordWrap_ && AutoWrap_) {
    WrapAll(true, true);
  } else {
    ScrollToCaret(caret_, TCaretPlacement::Minimal, true, false);
  }
  SetVScrollRange(true);
  SetHScrollRange(true);
}

// ---- vertical caret moves ------------------------------------------------------------------

TByte TFenEdit::RowHitTest(TRow row, int x, int& boundaryX) const {
  const std::string& s = Store.Get(std::clamp(row, 0, Store.Count() - 1));
  const size_t len = s.size() - (RowHasTerminator(s) ? 2 : 0);
  boundaryX = 0;
  if (x <= 0 || len == 0) return 0;
  int col = 0;  // expanded columns so far, for tab stops
  int w1 = 0;
  size_t i = 0;
  std::string expandedTab;
  while (i < len) {
    size_t n = 1;
    int cw;
    if (s[i] == '\t') {
      int spaces = TabCount_ - col % TabCount_;
      expandedTab.assign(static_cast<size_t>(spaces), ' ');
      cw = metrics_->TextWidth(expandedTab);
      col += spaces;
    } else {
      if (ByteTypeAt(s, static_cast<int>(i) + 1) == 1 && i + 1 < len) n = 2;
      cw = metrics_->TextWidth(std::string_view(s).substr(i, n));
      col += static_cast<int>(n);
    }
    int w2 = w1 + cw;
    if (x <= w2 - (w2 - w1) / 2) {
      boundaryX = w1;
      return static_cast<TByte>(i);
    }
    w1 = w2;
    i += n;
  }
  boundaryX = w1;
  return static_cast<TByte>(len);
}

bool TFenEdit::ExtendingSelection() const {
  if (mouseSelecting_) return true;
  return HandleAllocated() && Host()->GetKeyState(VK_SHIFT) < 0;
}

bool TFenEdit::SamePlace(TRowPos a, TRowPos b) const {
  if (Before(b, a)) std::swap(a, b);
  if (a == b) return true;
  if (a.Row + 1 != b.Row || b.Byte != 0 || a.Row < 0 || a.Row >= Store.Count()) return false;
  const std::string& row = Store.Get(a.Row);
  return !RowHasTerminator(row) && a.Byte >= static_cast<TByte>(row.size());
}

bool TFenEdit::SelectAllToRange() {
  if (!selectAll_) return false;
  selectAll_ = false;
  selected_ = true;
  return true;
}

void TFenEdit::DropEmptySelection() {
  if (!selected_ || !SamePlace(anchor_, selEnd_)) return;
  selected_ = false;
  anchor_ = selEnd_ = caret_;
}

void TFenEdit::SelectionAfterMove(TRowPos oldCaret, bool extend) {
  if (extend) {
    if (Dragging()) {
      selEnd_ = caret_;
      PaintSelectionStep();
      return;
    }
    if (selectAll_ && caret_ == oldCaret) return;
    if (SelectAllToRange()) {
      // From here on the selection is what its stored ends hold, and is drawn so.
      selEnd_ = caret_;
      prevDrawn_ = caret_;
      DropEmptySelection();
      RepaintAll();
      return;
    }
    if (!selected_) {
      anchor_ = oldCaret;
      prevDrawn_ = oldCaret;
      selected_ = true;
    }
    selEnd_ = caret_;
    PaintSelectionStep();
    // Shrunk back onto its anchor, it is no selection at all.
    DropEmptySelection();
    return;
  }
  // A scroll that does not come from a key leaves a whole-text selection alone.
  if (selectAll_ && inScroll_ && !keyInProgress_) return;
  if (IsSelected()) CancelSelection();
  anchor_ = selEnd_ = caret_;
  prevDrawn_ = caret_;
}

void TFenEdit::MoveCaretVert(int n) {
  try {
    MoveCaretRows(n);
  } catch (const std::exception&) {
    ShowCodedMessage("Error:OC006");
  }
}

void TFenEdit::MoveCaretRows(int n) {
  const int last = Store.Count() - 1;
  if (n == 0 || (n < 0 && caret_.Row == 0) || (n > 0 && caret_.Row == last)) {
    if (n == 0) PlaceCaret();
    return;
  }
  if (cachedColumn_ != rememberedColumn_) {
    cachedColumnX_ = PixelX(caret_.Row, rememberedColumn_) + geom_.HorzOffset;
    cachedColumn_ = rememberedColumn_;
  }
  EraseCaretRule();
  TRowPos old = caret_;
  caret_.Row = std::clamp(caret_.Row + n, 0, last);
  int bx = 0;
  caret_.Byte = RowHitTest(caret_.Row, cachedColumnX_, bx);
  caretX_ = bx - geom_.HorzOffset;
  if (viewCreated_) {
    int w = TextAreaWidth();
    if (caretX_ > w || (caretX_ < 0 && geom_.HorzOffset > 0)) {
      geom_.HorzOffset = std::max(0, bx - w + geom_.HorzStep);
      caretX_ = bx - geom_.HorzOffset;
      RepaintAll();
    }
  }
  SelectionAfterMove(old, ExtendingSelection());
  PlaceCaret();
  DrawCaretRule();
}

void TFenEdit::CaretUpDown(int n) {
  bool wasKey = keyInProgress_;
  keyInProgress_ = true;
  if (n > 0 && caret_.Row - geom_.TopRow + geom_.RowMargin >= geom_.VisibleRows) {
    if (keyRepeat_ < 0) keyRepeat_ = 0;
    ++keyRepeat_;
    Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  } else if (n < 0 && caret_.Row - geom_.TopRow < geom_.RowMargin) {
    if (keyRepeat_ > 0) keyRepeat_ = 0;
    --keyRepeat_;
    if (Perform(WM_VSCROLL, SB_LINEUP, 0) == 0) MoveCaretVert(-1);
  } else {
    MoveCaretVert(n);
  }
  keyInProgress_ = wasKey;
}

void TFenEdit::CaretPage(int dir) {
  bool wasKey = keyInProgress_;
  keyInProgress_ = true;
  if (CaretScrollFix) ScrollToCaret(caret_, TCaretPlacement::Minimal, true, false);
  int page = geom_.LineHeight > 0 ? TextAreaHeight() / geom_.LineHeight : 1;
  if (Perform(WM_VSCROLL, dir < 0 ? SB_PAGEUP : SB_PAGEDOWN, 0) == 0)
    MoveCaretVert(dir < 0 ? std::min(-1, -page) : std::max(1, page));
  keyInProgress_ = wasKey;
}

void TFenEdit::KeepCaretRight(bool once) {
  while (TextAreaWidth() - caretX_ - geom_.CaretMarginX < 0) {
    if (Perform(WM_HSCROLL, SB_LINERIGHT, 0) == 0 || once) break;
  }
}

void TFenEdit::KeepCaretLeft() {
  while (caretX_ < 0 && geom_.HorzOffset > 0) {
    if (Perform(WM_HSCROLL, SB_LINELEFT, 0) == 0) break;
  }
}
