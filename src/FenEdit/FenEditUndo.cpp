// TFenEdit undo and redo: steps at logical positions, within a byte budget.
#include <algorithm>

#include "FenEdit.h"

bool TFenEdit::RecordUndo(TUndoKind kind, const std::string& text, TRow row, TByte byte) {
  if (row == -1 && byte == -1) {
    TRowPos s = anchor_, e = selEnd_;
    TRowPos start = Before(e, s) ? e : s;
    if (!IsSelected()) start = caret_;
    row = start.Row;
    byte = start.Byte;
  }
  // The logical position only when the step will be stored.
  bool stored = !text.empty() && UndoRec && history_.Budget() > 0;
  return RecordUndoAt(kind, text, stored ? ToLinePos({byte, row}) : TLinePos{});
}

void TFenEdit::BeginUndoGroup() {
  history_.BeginGroup();
}

void TFenEdit::EndUndoGroup() {
  history_.EndGroup();
}

void TFenEdit::DropRedo() {
  if (history_.DropRedo() && OnChangeRedoMode) OnChangeRedoMode(this, false);
}

// What recording raises, for a pass that records its steps later.
void TFenEdit::NoteRecordedEdit() {
  if (!modified_) SetModifiedFlag(true);
  if (!UndoRec || history_.Budget() <= 0) return;
  DropRedo();
}

// RecordUndo at a logical position the caller already knows (the replace loop keeps track of
// its line, so a replace-all never converts rows to lines from the top).
bool TFenEdit::RecordUndoAt(TUndoKind kind, std::string text, TLinePos p) {
  if (text.empty()) return false;
  if (!modified_) SetModifiedFlag(true);
  if (!UndoRec || history_.Budget() <= 0) return false;
  const TUndoHistory::TRecorded r = history_.Record(kind, std::move(text), p);
  if (r == TUndoHistory::TRecorded::OutOfMemory) ShowCodedMessage("Error:OC001");
  DropRedo();
  return r == TUndoHistory::TRecorded::Stored;
}

void TFenEdit::ApplyStep(bool undo) {
  auto moveFront = [&](TUndoKind newKind) {
    if (!history_.MoveFront(undo, newKind))
      ShowCodedMessage(undo ? "Error:OC001_2" : "Error:OC001_3");
  };
  auto pairedFront = [&](unsigned command, TLinePos pos) -> TUndoStep* {
    if (history_.Empty(undo)) return nullptr;
    TUndoStep& s = history_.Front(undo);
    return s.Command == command && s.Offset == pos.Byte && s.Line == pos.Line ? &s : nullptr;
  };

  CancelSelection();
  TUndoStep& step = history_.Front(undo);
  edited_ = {};
  const int countBefore = Store.Count();
  const unsigned command = step.Command;
  TLinePos pos{step.Offset, step.Line};
  TRowPos at = ToRowPos(pos);
  applying_ = true;
  switch (step.Kind) {
    case TUndoKind::Inserted: {
      // Select the inserted bytes and remove them.
      TRow r = at.Row;
      long long b = static_cast<long long>(at.Byte) + static_cast<long long>(step.Text.size());
      int lastRow = Store.Count() - 1;
      while (r < lastRow && b >= static_cast<long long>(Store.Get(r).size())) {
        b -= static_cast<long long>(Store.Get(r).size());
        ++r;
      }
      caret_ = anchor_ = at;
      selEnd_ = TRowPos{static_cast<TByte>(b), r};
      selected_ = true;
      DeleteSelection(false);
      moveFront(TUndoKind::Removed);
      if (TUndoStep* p = pairedFront(command, pos)) {
        TUndoStep& paired = *p;
        if (paired.Kind == TUndoKind::Removed) {
          // A replacement: the deletion recorded with the insertion goes back too.
          InsertAtCaret(paired.Text, false);
          moveFront(TUndoKind::Inserted);
        } else if (paired.Kind == TUndoKind::Overwritten) {
          // An overwrite: the overwritten bytes come back, the caret stays before them.
          TRowPos c = ToRowPos(pos);
          caret_ = anchor_ = selEnd_ = c;
          InsertAtCaret(paired.Text, false);
          caret_ = anchor_ = selEnd_ = LimitPos(ToRowPos(pos));
          moveFront(TUndoKind::Inserted);
        }
      }
      if (!batchApply_) {
        ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
        RepaintEdited(countBefore);
      }
      break;
    }
    case TUndoKind::Removed:
    case TUndoKind::Backspaced:
    case TUndoKind::Overwritten: {
      caret_ = anchor_ = selEnd_ = at;
      std::string text = step.Text;
      InsertAtCaret(text, !batchApply_);
      moveFront(TUndoKind::Inserted);
      break;
    }
    case TUndoKind::Deleted:
    default: {
      caret_ = anchor_ = selEnd_ = at;
      std::string text = step.Text;
      InsertAtCaret(text, false);
      caret_ = anchor_ = selEnd_ = LimitPos(ToRowPos(pos));
      if (!batchApply_) {
        ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
        RepaintEdited(countBefore);
      }
      moveFront(TUndoKind::Inserted);
      break;
    }
  }
  applying_ = false;
  if (batchApply_) return;
  SetModifiedFlag(!history_.Undos().empty() || history_.Truncated());
  RaiseChange();
}

void TFenEdit::RepaintEdited(int countBefore) {
  if (edited_.Last < 0) return;
  if (edited_.CountChanged || Store.Count() != countBefore) {
    UpdateScrollRange();
    RepaintFrom(edited_.First);
  } else {
    RepaintRows(edited_.First, edited_.Last);
  }
}

// All steps of the front command of a list, newest first; the view follows once at the end.
void TFenEdit::ApplyCommand(bool undo) {
  const unsigned command = history_.Front(undo).Command;
  if (!history_.FrontCommandHasSeveral(undo)) {
    ApplyStep(undo);
    return;
  }
  struct Batch {
    bool& flag;
    ~Batch() { flag = false; }
  } batch{batchApply_};
  batchApply_ = true;
  while (!history_.Empty(undo) && history_.Front(undo).Command == command) ApplyStep(undo);
  batchApply_ = false;
  ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
  UpdateScrollRange();
  RepaintAll();
  SetModifiedFlag(!history_.Undos().empty() || history_.Truncated());
  RaiseChange();
}

void TFenEdit::Undo() {
  if (!history_.CanUndo()) return;
  ApplyCommand(true);
  if (history_.AnnounceRedo() && OnChangeRedoMode) OnChangeRedoMode(this, true);
}

void TFenEdit::Redo() {
  if (history_.Redos().empty()) return;
  ApplyCommand(false);
  if (history_.Redos().empty()) {
    history_.DropRedo();
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
}

void TFenEdit::ClearUndo() {
  history_.Clear();
  applying_ = false;
  modified_ = false;
  if (OnChangeModify) OnChangeModify(this, false);
  if (OnChangeRedoMode) OnChangeRedoMode(this, false);
}
