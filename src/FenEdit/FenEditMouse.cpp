// TFenEdit mouse input: clicks and the point hit test, selecting by dragging with the
// auto-scroll timer, the context menu, and moving or copying the selection by dragging it.
#include <algorithm>

#include "FenEdit.h"
#include "platform/Clipboard.h"

void TFenEdit::PointHitTest(int X, int Y) {
  prevDrawn_ = caret_;  // the next selection repaint starts from the old caret
  TRow row = geom_.TopRow;
  if (geom_.LineHeight > 0) row += std::max(0, Y - TopMargin_) / geom_.LineHeight;
  row = std::min(row, geom_.TopRow + std::max(0, geom_.VisibleRows - 1));
  row = std::clamp(row, 0, Store.Count() - 1);
  TByte byte = 0;
  int absX = 0;
  if (X - geom_.TextLeft < -4) {
    geom_.HorzOffset = 0;  // in the gutter or the left margin: the row's start
  } else {
    byte = RowHitTest(row, X - geom_.TextLeft + geom_.HorzOffset, absX);
  }
  caret_ = {byte, row};
  rememberedColumn_ = byte;
  // Keep the caret inside the text area, stepping the view by a third of its width.
  const int width = TextAreaWidth();
  const int step = std::max(1, width / 3);
  while (absX > geom_.HorzOffset + width) geom_.HorzOffset += step;
  while (absX < geom_.HorzOffset) geom_.HorzOffset = std::max(0, geom_.HorzOffset - step);
  caretX_ = absX - geom_.HorzOffset;
}

// Inside: strictly between the first and last rows, or on the first row at or after the start
// (and on a one-row selection at or before the end), or on the last row at or before the end.
bool TFenEdit::InsideSelection(TRowPos p) const {
  if (!IsSelected()) return false;
  TRowPos s = anchor_, e = selEnd_;
  if (Before(e, s)) std::swap(s, e);
  if (p.Row > s.Row && p.Row < e.Row) return true;
  if (s.Row == e.Row) return p.Row == s.Row && p.Byte >= s.Byte && p.Byte <= e.Byte;
  if (p.Row == s.Row) return p.Byte >= s.Byte;
  if (p.Row == e.Row) return p.Byte <= e.Byte;
  return false;
}

void TFenEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // An unfinished composition is committed where it stands before the click moves the caret.
  if (Host() != nullptr && HandleAllocated()) Host()->CompleteComposition();
  menuShownByPress_ = false;
  if (Button == TMouseButton::mbLeft) {
    if (dblClickPending_) {
      dblClickPending_ = false;  // the press of a double click does nothing
      return;
    }
    LeftPress(Shift, X, Y);
  } else if (Button == TMouseButton::mbRight && PopupMenu != nullptr) {
    TPoint p = ClientToScreen(TPoint{X, Y});
    menuShownByPress_ = true;
    PopupMenu->Popup(p.x, p.y);
  } else if (Button == TMouseButton::mbMiddle && !ReadOnly && !mouseSelecting_) {
    // As in X11 programs: the PRIMARY selection goes in where the click is; the clipboard
    // stays as it is.
    Clipboard& primary = CurrentPrimary();
    if (primary.HasText()) InsertAtPoint(X, Y, primary.GetText());
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFenEdit::InsertAtPoint(int X, int Y, std::string_view text) {
  if (ReadOnly || CutAtNul(text).empty()) return;
  SetFocus();
  WindowHost* host = HandleAllocated() ? Host() : nullptr;
  if (host != nullptr) host->HideCaret();
  EraseCaretRule();
  const int oldHorz = geom_.HorzOffset;
  PointHitTest(X, Y);
  CancelSelection();
  if (geom_.HorzOffset != oldHorz) RepaintAll();
  SetSelText(text);
  PlaceCaret();
  if (host != nullptr) host->ShowCaret();
  DrawCaretRule();
}

void TFenEdit::LeftPress(TShiftState Shift, int X, int Y) {
  SetFocus();
  WindowHost* host = HandleAllocated() ? Host() : nullptr;
  if (host != nullptr) host->HideCaret();
  EraseCaretRule();
  const int oldHorz = geom_.HorzOffset;
  const TRowPos old = caret_;
  dragOrigin_ = caret_;
  PointHitTest(X, Y);
  if (!mouseSelecting_) savedScrollFix_ = CaretScrollFix;
  mouseSelecting_ = true;
  bool dragCandidate = false;
  if (Shift & ssShift) {
    SelectionAfterMove(old, true);
  } else if (X >= geom_.TextLeft - 4 || oldHorz != 0) {
    if (InsideSelection(caret_)) {
      dragCandidate = true;
    } else {
      CancelSelection();
    }
  } else {
    // Left of the text: the whole row, its line break included, is selected.
    CancelSelection();
    const std::string& row = Store.Get(caret_.Row);
    TByte end = static_cast<TByte>(row.size());
    if (caret_.Row == Store.Count() - 1) end -= 2;  // the end-of-text NUL pair
    if (end > 0) {
      anchor_ = selEnd_ = prevDrawn_ = {end, caret_.Row};
      selected_ = true;
      SelectionAfterMove(anchor_, true);
    }
  }
  if (geom_.HorzOffset != oldHorz) RepaintAll();
  PlaceCaret();
  if (host != nullptr && !host->ShowCaret()) Perform(WM_SETFOCUS);  // creates the caret
  if (dragCandidate) {
    if (DragMode == dmAutomatic) {
      BeginDrag(true);
    } else if (OnManualStartDrag) {
      bool canDrag = true;
      OnManualStartDrag(this, GetSelText(), canDrag);
      if (!canDrag) CancelSelection();  // a handler that leaves it true starts the drag
    } else {
      CancelSelection();
    }
  }
}

void TFenEdit::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (mouseSelecting_) TrackPointer(X, Y);
}

void TFenEdit::TrackPointer(int X, int Y) {
  autoScrollDir_ = 0;
  CaretScrollFix = false;
  const int width = TextAreaWidth();
  if (Y > geom_.VisibleRows * geom_.LineHeight + TopMargin_) {
    autoScrollDir_ = 1;
  } else if (Y <= TopMargin_) {
    autoScrollDir_ = -1;
  } else if (X > geom_.TextLeft + width) {
    autoScrollDir_ = 2;
  } else if (X <= geom_.TextLeft && geom_.HorzOffset > 0) {
    autoScrollDir_ = -2;
  }
  if (autoScrollDir_ != 0) return;  // the timer scrolls from here on
  const TRowPos old = caret_;
  const int oldHorz = geom_.HorzOffset;
  PointHitTest(X, Y);
  if (!(caret_ == old)) {
    if (!dragText_) {
      // Dragging down in the margin from a row selection takes whole rows.
      if (X < geom_.TextLeft && caret_.Row == anchor_.Row + 1) anchor_.Byte = 0;
      SelectionAfterMove(old, true);
    } else if (!IsSelected()) {
      anchor_ = selEnd_ = caret_;  // the caret is only the drop mark
      MoveCaretRuleTo(caret_.Row);
    }
    PlaceCaret();
  }
  if (geom_.HorzOffset != oldHorz) {
    RepaintAll();
    PlaceCaret();
  }
}

void TFenEdit::AutoScrollTick() {
  if (autoScrollDir_ == 0) return;
  // While text is dragged the caret is only the drop mark: the selection stays as it is.
  const TRowPos keepEnd = selEnd_;
  const bool keepSelected = selected_;
  switch (autoScrollDir_) {
    case -1:
      CaretUpDown(-1);
      break;
    case 1:
      CaretUpDown(1);
      break;
    case 2:
      if (caret_.Byte < RowLimit(caret_.Row)) CaretRight(false);
      break;
    case -2:
      if (caret_.Byte > 0) CaretLeft(false);
      break;
    default:
      break;
  }
  if (dragText_ && !(selEnd_ == keepEnd && selected_ == keepSelected)) {
    selEnd_ = keepEnd;
    selected_ = keepSelected;
    RepaintAll();  // show the selection as it still is
    PlaceCaret();
  }
}

void TFenEdit::FinishMouseSelection() {
  autoScrollDir_ = 0;
  ResetKeyRepeat();  // the next auto-scroll starts slow again
  if (mouseSelecting_) {
    mouseSelecting_ = false;
    CaretScrollFix = savedScrollFix_;
    // Offered to other programs' middle click.
    if (IsSelected()) CurrentPrimary().SetText(GetSelText());
  }
  DrawCaretRule();
}

void TFenEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == TMouseButton::mbLeft) FinishMouseSelection();
}

void TFenEdit::DblClick() {
  TCustomControl::DblClick();
  dblClickPending_ = true;
}

// ---- text drag ------------------------------------------------------------------------------

void TFenEdit::SetDragCursorShown(TCursor c) {
  dragCursorSwitched_ = c != savedDragCursor_;
  SetDragCursor(c);
}

void TFenEdit::DoStartDrag() {
  TCustomControl::DoStartDrag();
  dragText_ = true;
  savedDragCursor_ = DragCursor;
  dragCursorSwitched_ = false;
  if (!mouseSelecting_) savedScrollFix_ = CaretScrollFix;
  mouseSelecting_ = true;
  CaretScrollFix = false;
}

void TFenEdit::DragOver(TObject* Source, int X, int Y, bool& Accept) {
  // Only the control's own text is taken, and only over the control: a release elsewhere
  // cancels the drag.
  Accept = Source == this && PtInRect(ClientRect(), TPoint{X, Y});
  if (OnDragOver) OnDragOver(this, Source, X, Y, Accept);
  if (!dragText_) return;
  TrackPointer(X, Y);
  TCursor wanted = KeyHeld(VK_CONTROL) ? crDragCur2 : savedDragCursor_;
  dragCursorSwitched_ = wanted != savedDragCursor_;
  DragCursor = wanted;
}

void TFenEdit::DoEndDrag(TObject* Target, int X, int Y) {
  TCustomControl::DoEndDrag(Target, X, Y);
  const bool wasText = dragText_;
  mouseSelecting_ = false;
  dragText_ = false;
  autoScrollDir_ = 0;
  ResetKeyRepeat();
  CaretScrollFix = savedScrollFix_;
  if (dragCursorSwitched_) DragCursor = savedDragCursor_;
  dragCursorSwitched_ = false;
  if (!wasText) return;
  if (Target == this) {
    // Moved or copied to the caret; a drop inside the selection or on a read-only control
    // only clears the selection.
    DropText(GetSelText(), KeyHeld(VK_CONTROL));
    anchor_ = selEnd_ = prevDrawn_ = caret_;
    rememberedColumn_ = caret_.Byte;
  } else {
    // Cancelled or released outside: the text stays, the caret goes back to the selection.
    TRowPos back = IsSelected() ? selEnd_ : dragOrigin_;
    ScrollToCaret(back, TCaretPlacement::Minimal, true, false);
    prevDrawn_ = caret_;
  }
  PlaceCaret();
  DrawCaretRule();
}
