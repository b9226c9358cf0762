// TFenEdit keyboard input: the key map, caret moves by character, word, row end and text
// end, typed characters, and the messages the control answers before the base's steps.
#include <algorithm>

#include "FenEdit.h"
#include "platform/ImeRequest.h"

bool TFenEdit::KeyHeld(unsigned vk) const {
  return Host() != nullptr && Host()->GetKeyState(vk) < 0;
}

void TFenEdit::CaretIntoViewIfFixed() {
  if (CaretScrollFix) ScrollToCaret(caret_, TCaretPlacement::Minimal, true, false);
}

bool TFenEdit::InputMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      if (dragText_ && m.WParam != VK_ESCAPE) {
        // A running text drag takes no commands; Ctrl only turns it into a copy.
        if (m.WParam == VK_CONTROL || KeyHeld(VK_CONTROL)) SetDragCursorShown(crDragCur2);
        m.Result = 0;
        return true;
      }
      TCustomControl::WndProc(m);  // OnKeyDown may set the key to 0
      if (m.WParam != 0) KeyDownStep(static_cast<unsigned>(m.WParam));
      m.Result = 0;
      return true;
    case WM_SYSKEYDOWN:
      TCustomControl::WndProc(m);
      if (m.WParam != 0) SysKeyDownStep(static_cast<unsigned>(m.WParam));
      m.Result = 0;
      return true;
    case WM_SYSCHAR:
      // Goes on to the default handling, so Alt accelerators of the menus keep working.
      m.Result = 0;
      return false;
    case WM_CHAR:
      if (dragText_) {
        m.Result = 0;
        return true;
      }
      TCustomControl::WndProc(m);  // OnKeyPress may change or cancel the character
      CharStep(static_cast<unsigned char>(m.WParam & 0xFF));
      m.Result = 0;
      return true;
    case WM_IME_STARTCOMPOSITION:
      StartComposition();
      return false;
    case WM_IME_ENDCOMPOSITION:
      EndComposition();
      return false;
    case WM_IME_COMPOSITION:
      CompositionMessage(m);
      m.Result = 0;
      return true;
    case WM_IME_REQUEST:
      m.Result = ImeRequest(m.WParam, m.LParam);
      return true;
    case WM_IME_CHAR:
      // The result string came whole with WM_IME_COMPOSITION; never deliver it twice.
      m.Result = 0;
      return true;
    case WM_TIMER:
      if (m.WParam != kAutoScrollTimer) return false;
      AutoScrollTick();
      m.Result = 0;
      return true;
    case WM_CONTEXTMENU:
      // A right press pops the menu already; the request that follows its release is spent.
      if (m.LParam != -1 && menuShownByPress_) {
        menuShownByPress_ = false;
        m.Result = 0;
        return true;
      }
      return false;
    case WM_CANCELMODE:
      autoScrollDir_ = 0;
      if (mouseSelecting_ && !dragText_) FinishMouseSelection();
      return false;  // the base ends a running drag
    default:
      return false;
  }
}

// ---- WM_KEYDOWN ---------------------------------------------------------------------------

void TFenEdit::KeyDownStep(unsigned key) {
  const bool ctrl = KeyHeld(VK_CONTROL);
  const bool shift = KeyHeld(VK_SHIFT);
  keyInProgress_ = true;
  if (ctrl) {
    if (CaretScrollFix && key < 32) ScrollToCaret(caret_, TCaretPlacement::Minimal, true, false);
    switch (key) {
      case VK_BACK:
        if (!ReadOnly) DeleteWordLeft();
        break;
      case VK_DELETE:
        if (!ReadOnly) DeleteWordRight();
        break;
      case VK_HOME:
        CaretTextStart();
        break;
      case VK_END:
        CaretTextEnd();
        break;
      case VK_LEFT:
        CaretLeft(true);
        break;
      case VK_RIGHT:
        CaretRight(true);
        break;
      case VK_INSERT:
      case 'C':
        CopyToClipboard();
        break;
      case 'A':
        SelectAll();
        break;
      case 'V':
        if (!ReadOnly) PasteFromClipboard();
        break;
      case 'X':
        if (!ReadOnly) CutToClipboard();
        break;
      case 'Z':
        // Ctrl+Shift+Z and Ctrl+Alt+Z redo, as Ctrl+Y does.
        if (!ReadOnly) {
          if (shift || KeyHeld(VK_MENU)) {
            Redo();
          } else {
            Undo();
          }
        }
        break;
      case 'Y':
        if (!ReadOnly) Redo();
        break;
      case VK_OEM_COMMA:
        CaretHome();
        break;
      case VK_OEM_PERIOD:
        CaretEnd();
        break;
      default:
        break;
    }
  } else {
    switch (key) {
      case VK_HOME:
        CaretHome();
        break;
      case VK_END:
        CaretEnd();
        break;
      case VK_LEFT:
        CaretLeft(false);
        break;
      case VK_RIGHT:
        CaretRight(false);
        break;
      default:
        break;
    }
  }
  if (shift && !ReadOnly) {
    if (key == VK_INSERT) PasteFromClipboard();
    if (key == VK_DELETE) CutToClipboard();
  }
  if (!shift && !ctrl) {
    switch (key) {
      case VK_INSERT:
        if (!ReadOnly) {
          insertMode_ = !insertMode_;
          if (OnChangeInsMode) OnChangeInsMode(this, insertMode_);
        }
        break;
      case VK_DELETE:
        if (!ReadOnly) DeleteChar();
        break;
      case VK_BACK:
        if (!ReadOnly) BackspaceChar();
        break;
      default:
        break;
    }
    if (!ReadOnly && KeyHeld(VK_CONVERT)) {
      ReConvert();
    } else if (KeyHeld(VK_CONVERT) || KeyHeld(VK_NONCONVERT)) {
      CaretIntoViewIfFixed();
    }
  }
  // Keys that act whatever modifiers are held.
  switch (key) {
    case VK_TAB:
      if (!ReadOnly) InsertTab();
      break;
    case VK_RETURN:
      if (!ReadOnly) NewLine();
      break;
    case VK_ESCAPE:
      CaretIntoViewIfFixed();
      ResetSearch();
      break;
    case VK_PRIOR:
    case VK_NEXT:
      CaretPage(key == VK_PRIOR ? -1 : 1);
      break;
    case VK_UP:
    case VK_DOWN:
      CaretUpDown(key == VK_UP ? -1 : 1);
      break;
    default:
      break;
  }
  // A move without Shift ends the selection, also when the caret could not go anywhere:
  // otherwise the next typed key would replace what is still selected.
  const bool moveKey = key == VK_HOME || key == VK_END || key == VK_LEFT || key == VK_RIGHT ||
                       key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT ||
                       (ctrl && (key == VK_OEM_COMMA || key == VK_OEM_PERIOD));
  if (moveKey && !shift && IsSelected() && !mouseSelecting_ && !Dragging()) {
    CancelSelection();
    prevDrawn_ = caret_;
  }
  keyInProgress_ = false;
}

void TFenEdit::SysKeyDownStep(unsigned key) {
  if (key == VK_MENU) CaretIntoViewIfFixed();
}

void TFenEdit::KeyUp(unsigned& Key, TShiftState Shift) {
  ResetKeyRepeat();
  if (dragText_ && dragCursorSwitched_ && (Key == VK_CONTROL || !KeyHeld(VK_CONTROL)))
    SetDragCursorShown(savedDragCursor_);
  TCustomControl::KeyUp(Key, Shift);
}

// Typed bytes: printable ASCII and half-width katakana only. Control characters are keys,
// and double-byte characters come whole as input-method results.
void TFenEdit::CharStep(unsigned char code) {
  if (ReadOnly || KeyHeld(VK_CONTROL)) return;
  if ((code >= 32 && code <= 126) || (code >= 160 && code <= 223))
    TypeText(std::string(1, static_cast<char>(code)));
}

// Convert held with a selection: the caret goes to the selection's start so the input
// method can take the selected text for reconversion.
void TFenEdit::ReConvert() {
  if (composing_ || !OnIMEReConvert || !IsSelected()) {
    CaretIntoViewIfFixed();
    return;
  }
  TRowPos start = anchor_, end = selEnd_;
  if (Before(end, start)) std::swap(start, end);
  if (Before(start, caret_)) {
    // The selection stays as drawn; only its ends trade places.
    const bool all = selectAll_;
    anchor_ = end;
    ScrollToCaret(start, TCaretPlacement::Minimal, true, false);
    selEnd_ = caret_;
    selectAll_ = all;
    selected_ = !all;
    prevDrawn_ = caret_;
  } else {
    CaretIntoViewIfFixed();
  }
  OnIMEReConvert(this);
}

// ---- caret moves ----------------------------------------------------------------------------

void TFenEdit::CaretRight(bool word) {
  CaretIntoViewIfFixed();
  const TRowPos old = caret_;
  const TRow last = Store.Count() - 1;
  const std::string& row = Store.Get(caret_.Row);
  const TByte len = static_cast<TByte>(row.size());
  TByte b = std::clamp(caret_.Byte, 0, len);
  if (caret_.Row == last && b >= len - 2) return;  // on the end-of-text NUL pair
  const char ch = b < len ? row[static_cast<size_t>(b)] : '\0';
  TByte next;
  if (word && ch != '\r' && ch != '\t' && ch != '\0') {
    next = WordScanForward(caret_.Row, b);
  } else {
    next = b + (CharCodeAt(row, b) > 0xFF ? 2 : 1);
  }
  if ((next >= len && caret_.Row < last) || ch == '\r') {
    // The end of a continuation row and the start of the next are one place: the next row.
    const bool scrolled = geom_.HorzOffset != 0;
    geom_.HorzOffset = 0;
    caretX_ = 0;
    rememberedColumn_ = 0;
    const TRow target = caret_.Row + 1;
    if (caret_.Row - geom_.TopRow + geom_.RowMargin < geom_.VisibleRows) {
      caret_ = {0, target};
    } else {
      Perform(WM_VSCROLL, SB_LINEDOWN);  // moves the caret along
      caret_ = {0, target};
    }
    caretX_ = 0;
    if (scrolled) RepaintAll();
  } else {
    caret_.Byte = std::min(next, len);
    rememberedColumn_ = caret_.Byte;
    caretX_ = PixelX(caret_.Row, caret_.Byte);
    KeepCaretRight(ch == '\t');
  }
  SelectionAfterMove(old, ExtendingSelection());
  PlaceCaret();
}

void TFenEdit::CaretLeft(bool word) {
  CaretIntoViewIfFixed();
  const TRowPos old = caret_;
  if (caret_.Row == 0 && caret_.Byte <= 0) return;
  if (caret_.Byte <= 0) {
    const TRow target = caret_.Row - 1;
    if (caret_.Row - geom_.TopRow <= geom_.RowMargin)
      Perform(WM_VSCROLL, SB_LINEUP);  // caret follows
    const std::string& row = Store.Get(target);
    // Before the line break, or before the last character of a continuation row.
    TRowPos p = RowHasTerminator(row) ? TRowPos{static_cast<TByte>(row.size()) - 2, target}
                                      : CharLeft({static_cast<TByte>(row.size()), target});
    caret_ = p;
    rememberedColumn_ = p.Byte;
    const int oldHorz = geom_.HorzOffset;
    const int absX = PixelX(p.Row, p.Byte) + geom_.HorzOffset;
    geom_.HorzOffset = std::max(0, absX - TextAreaWidth() + geom_.CaretMarginX);
    caretX_ = absX - geom_.HorzOffset;
    if (geom_.HorzOffset != 0 || oldHorz != 0) RepaintAll();
  } else {
    const std::string& row = Store.Get(caret_.Row);
    TRowPos before = CharLeft(caret_);
    const char ch = row[static_cast<size_t>(before.Byte)];
    TByte next = word && ch != '\t' ? WordScanBackward(caret_.Row, caret_.Byte) : before.Byte;
    caret_.Byte = next;
    rememberedColumn_ = next;
    caretX_ = PixelX(caret_.Row, caret_.Byte);
    KeepCaretLeft();
  }
  SelectionAfterMove(old, ExtendingSelection());
  PlaceCaret();
}

void TFenEdit::CaretHome() {
  CaretIntoViewIfFixed();
  const TRowPos old = caret_;
  if (caret_.Row == 0 && caret_.Byte == 0) return;
  caret_.Byte = 0;
  rememberedColumn_ = 0;
  caretX_ = 0;
  if (geom_.HorzOffset != 0) {
    geom_.HorzOffset = 0;
    RepaintAll();
  }
  SelectionAfterMove(old, ExtendingSelection());
  PlaceCaret();
}

void TFenEdit::CaretEnd() {
  CaretIntoViewIfFixed();
  const TRowPos old = caret_;
  const TRow last = Store.Count() - 1;
  const TByte end = RowLimit(caret_.Row);
  if (caret_.Row == last && caret_.Byte >= end) return;
  caret_.Byte = end;
  rememberedColumn_ = end;
  const int width = PixelX(caret_.Row, end) + geom_.HorzOffset;
  const int newHorz = std::max(0, width - TextAreaWidth() + geom_.CaretMarginX);
  const bool changed = newHorz != geom_.HorzOffset;
  geom_.HorzOffset = newHorz;
  caretX_ = width - geom_.HorzOffset;
  if (changed) RepaintAll();
  SelectionAfterMove(old, ExtendingSelection());
  PlaceCaret();
}

// Ctrl+Home and Ctrl+End settle the selection first, then jump and repaint everything.
void TFenEdit::CaretTextStart() {
  if (caret_.Row == 0 && caret_.Byte == 0) return;
  const bool extend = ExtendingSelection();
  if (extend && !SelectAllToRange() && !IsSelected()) {
    anchor_ = selEnd_ = caret_;
    selected_ = true;
  } else if (!extend && IsSelected()) {
    CancelSelection();
  }
  caret_ = {0, 0};
  if (extend) selEnd_ = caret_;
  DropEmptySelection();
  prevDrawn_ = caret_;
  rememberedColumn_ = 0;
  caretX_ = 0;
  geom_.TopRow = 0;
  geom_.HorzOffset = 0;
  if (Host() != nullptr && HandleAllocated()) {
    Host()->SetScrollPos(SB_VERT, 0, true);
    Host()->SetScrollPos(SB_HORZ, 0, true);
  }
  SetVScrollRange(true);
  SetHScrollRange(true);
  RepaintAll();
  PlaceCaret();
}

void TFenEdit::CaretTextEnd() {
  const TRow last = Store.Count() - 1;
  const TByte end = RowLimit(last);
  if (caret_.Row == last && caret_.Byte >= end) return;
  const bool extend = ExtendingSelection();
  if (extend && !SelectAllToRange() && !IsSelected()) {
    anchor_ = selEnd_ = caret_;
    selected_ = true;
  } else if (!extend && IsSelected()) {
    CancelSelection();
  }
  caret_ = {end, last};
  if (extend) selEnd_ = caret_;
  DropEmptySelection();
  prevDrawn_ = caret_;
  rememberedColumn_ = end;
  const int width = PixelX(last, end) + geom_.HorzOffset;
  geom_.HorzOffset = std::max(0, width - TextAreaWidth() + geom_.CaretMarginX);
  caretX_ = width - geom_.HorzOffset;
  geom_.TopRow = MaxTopRow();
  SetVScrollRange(true);
  SetHScrollRange(true);
  if (Host() != nullptr && HandleAllocated()) {
    Host()->SetScrollPos(
        SB_VERT, (geom_.TopRow + geom_.VScrollScale - 1) / std::max(1, geom_.VScrollScale), true);
    Host()->SetScrollPos(
        SB_HORZ, (geom_.HorzOffset + geom_.HScrollScale - 1) / std::max(1, geom_.HScrollScale),
        true);
  }
  RepaintAll();
  PlaceCaret();
}
