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
    int bandY = (caret_.Row - topRow_) * lineHeight_;
    bool visible = caret_.Row >= topRow_ && caret_.Row < topRow_ + visibleRows_;
    int x = caretX_ < 0 ? -5 : textLeft_ + caretX_;
    int y = visible ? TopMargin_ + bandY : -lineHeight_ - TopMargin_;
    Host()->SetCaretPos(x, y);
    ResetSearch();
    // The font is handed over once per focus; the input method keeps it.
    if (!imeFontSet_) imeFontSet_ = Host()->SetCompositionFont(drawFont_);
    if (imeFontSet_) Host()->SetCompositionWindow(TPoint{textLeft_ + caretX_, TopMargin_ + bandY});
  }
  bool moved = caret_ != notifiedCaret_ || caretX_ != notifiedX_;
  NotifyCaretMoved();
  if (moved && IsSelected() && OnUserClientDraw && viewCreated_) {
    TByte sb, eb;
    TRow sr, er;
    GetSelRange(sb, sr, er, eb);
    OnUserClientDraw(this, textLeft_, ClientDrawRight(), std::max(0, sr - 1),
                     std::min(er + 1, Store.Count() - 1));
  }
}

void TFenEdit::ViewImeWindowToOrigin() {
  if (!viewCreated_ || !Focused()) return;
  if (!imeFontSet_) imeFontSet_ = Host()->SetCompositionFont(drawFont_);
  if (imeFontSet_) Host()->SetCompositionWindow(TPoint{textLeft_, TopMargin_});
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
  const TRow oldTop = topRow_;
  const int oldOffset = horzOffset_;
  const int count = Store.Count();
  const int w = TextAreaWidth();
  const int k = visibleRows_ - rowMargin_;
  const int absX = PixelX(caret_.Row, caret_.Byte) + horzOffset_;
  caretX_ = absX - horzOffset_;
  if (caretX_ > w - 3 || caretX_ < 3) horzOffset_ = std::max(0, absX - (w - horzStep_));
  caretX_ = absX - horzOffset_;

  const TRow row = caret_.Row;
  switch (placement) {
    case TCaretPlacement::Minimal:
      if (row > topRow_ + k) {
        topRow_ = std::max(0, row - k);
      } else if (topRow_ < count - k) {
        if (row < topRow_) topRow_ = std::max(0, row - rowMargin_ + 1);
      } else {
        topRow_ = std::max(0, row - k);
      }
      break;
    case TCaretPlacement::Centre:
      topRow_ = std::min(std::max(0, row - visibleRows_ / 2), std::max(0, count - k));
      break;
    case TCaretPlacement::UpperFifth:
      topRow_ = std::min(std::max(0, row + static_cast<int>(0.8 * visibleRows_) - visibleRows_),
                         std::max(0, count - k));
      break;
  }
  if (visibleRows_ >= count + rowMargin_ - 1) topRow_ = 0;

  if (topRow_ != oldTop || horzOffset_ != oldOffset) {
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
  if (ShowUnderLine && oldRuleY != RowTop(caret_.Row) + charHeight_) {
    EraseCaretRule();
    DrawCaretRule();
  }
  return false;
}

// ---- scroll ranges -------------------------------------------------------------------------

TRow TFenEdit::MaxTopRow() const {
  return std::max(0, Store.Count() + rowMargin_ - visibleRows_ - 1);
}

int TFenEdit::RowWidth(TRow row) const {
  return PixelX(row, RowLimit(row)) + horzOffset_;
}

int TFenEdit::MaxRowWidth() {
  int widest = 0;
  if (viewCreated_)
    for (TRow r = topRow_, last = LastShownRow(); r <= last; ++r)
      widest = std::max(widest, RowWidth(r));
  maxRowWidth_ = widest;
  return widest;
}

bool TFenEdit::SetVScrollRange(bool redraw) {
  if (!viewCreated_ || !HandleAllocated()) return false;
  bool changed = AdjustGutter();
  if (!VertScrollBar) return changed;
  const int count = Store.Count();
  const TRow maxTop = MaxTopRow();
  vScrollScale_ = std::max(1, CeilDiv(maxTop, kMaxScrollPos));
  int range = CeilDiv(maxTop, vScrollScale_);
  WindowHost* h = Host();
  h->SetScrollRange(SB_VERT, 0, range, redraw);
  h->SetScrollPos(SB_VERT, CeilDiv(topRow_, vScrollScale_), redraw);
  if (range == 0) h->ShowScrollBar(SB_VERT, true);
  h->EnableScrollBar(SB_VERT, visibleRows_ < count + rowMargin_ - 1);
  return changed;
}

void TFenEdit::SetHScrollRange(bool redraw) {
  if (!viewCreated_ || !HandleAllocated() || !HorzScrollBar) return;
  int widest = MaxRowWidth();
  hScrollScale_ = std::max(1, CeilDiv(widest, kMaxScrollPos));
  WindowHost* h = Host();
  h->SetScrollRange(SB_HORZ, 0, std::max(1, CeilDiv(widest, hScrollScale_) - horzStep_), redraw);
  h->EnableScrollBar(SB_HORZ, TextAreaWidth() < widest + horzStep_);
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
  if (!viewCreated_ || lineHeight_ <= 0) return 0;
  int request = 0;
  const int page = TextAreaHeight() / lineHeight_;
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
      request = thumb * vScrollScale_ - topRow_;
      break;
    case SB_TOP:
      request = -topRow_;
      break;
    case SB_BOTTOM:
      request = MaxTopRow() - topRow_;
      break;
    default:
      request = 0;
  }
  const int scrolled = std::clamp(request, -topRow_, std::max(-topRow_, MaxTopRow() - topRow_));
  int follow = request;
  if (request > 0 && caret_.Row - topRow_ > visibleRows_ - rowMargin_) follow = 0;
  if (scrolled == 0) return 0;

  EraseCaretRule();
  topRow_ += scrolled;
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
  if (VertScrollBar) Host()->SetScrollPos(SB_VERT, CeilDiv(topRow_, vScrollScale_), true);
  return scrolled;
}

int TFenEdit::HScroll(unsigned code, int thumb) {
  if (!viewCreated_) return 0;
  const int w = TextAreaWidth();
  int request = 0;
  switch (code) {
    case SB_LINELEFT:
      request = -horzStep_;
      break;
    case SB_LINERIGHT:
      request = horzStep_;
      break;
    case SB_PAGELEFT:
      request = std::min(-1, -(w / 3));
      break;
    case SB_PAGERIGHT:
      request = std::max(1, w / 3);
      break;
    case SB_THUMBTRACK:
      request = thumb * hScrollScale_ - horzOffset_;
      break;
    default:
      request = 0;
  }
  if (request < 0) {
    request = std::max(request, -horzOffset_);
  } else if (request > 0) {
    int widest = MaxRowWidth();
    request = std::max(0, std::min(request, widest - horzOffset_ - horzStep_));
    if (w >= widest + horzStep_) request = 0;
  }
  if (request == 0) return 0;
  horzOffset_ += request;
  if (HorzScrollBar) Host()->SetScrollPos(SB_HORZ, CeilDiv(horzOffset_, hScrollScale_), true);
  TRect area{textLeft_, 0, ClientWidth(), ClientHeight()};
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
    cachedColumnX_ = PixelX(caret_.Row, rememberedColumn_) + horzOffset_;
    cachedColumn_ = rememberedColumn_;
  }
  EraseCaretRule();
  TRowPos old = caret_;
  caret_.Row = std::clamp(caret_.Row + n, 0, last);
  int bx = 0;
  caret_.Byte = RowHitTest(caret_.Row, cachedColumnX_, bx);
  caretX_ = bx - horzOffset_;
  if (viewCreated_) {
    int w = TextAreaWidth();
    if (caretX_ > w || (caretX_ < 0 && horzOffset_ > 0)) {
      horzOffset_ = std::max(0, bx - w + horzStep_);
      caretX_ = bx - horzOffset_;
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
  if (n > 0 && caret_.Row - topRow_ + rowMargin_ >= visibleRows_) {
    if (keyRepeat_ < 0) keyRepeat_ = 0;
    ++keyRepeat_;
    Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  } else if (n < 0 && caret_.Row - topRow_ < rowMargin_) {
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
  int page = lineHeight_ > 0 ? TextAreaHeight() / lineHeight_ : 1;
  if (Perform(WM_VSCROLL, dir < 0 ? SB_PAGEUP : SB_PAGEDOWN, 0) == 0)
    MoveCaretVert(dir < 0 ? std::min(-1, -page) : std::max(1, page));
  keyInProgress_ = wasKey;
}

void TFenEdit::KeepCaretRight(bool once) {
  while (TextAreaWidth() - caretX_ - caretMarginX_ < 0) {
    if (Perform(WM_HSCROLL, SB_LINERIGHT, 0) == 0 || once) break;
  }
}

void TFenEdit::KeepCaretLeft() {
  while (caretX_ < 0 && horzOffset_ > 0) {
    if (Perform(WM_HSCROLL, SB_LINELEFT, 0) == 0) break;
  }
}
