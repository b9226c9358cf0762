// TFenEdit undo and redo: steps at logical positions, within a byte budget.
#include <algorithm>

#include "FenEdit.h"

bool TFenEdit::RecordUndo(unsigned char kind, const std::string& text, TRow row, TByte byte) {
  if (row == -1 && byte == -1) {
    TRowPos s = anchor_, e = selEnd_;
    TRowPos start = Before(e, s) ? e : s;
    if (!IsSelected()) start = caret_;
    row = start.Row;
    byte = start.Byte;
  }
  // The logical position only when the step will be stored.
  bool stored = !text.empty() && UndoRec && UndoBuf_ > 0;
  return RecordUndoAt(kind, text, stored ? ToLinePos({byte, row}) : TLinePos{});
}

void TFenEdit::BeginUndoGroup() {
  if (groupDepth_++ == 0) groupCommand_ = nextCommand_++;
}

void TFenEdit::EndUndoGroup() {
  if (groupDepth_ > 0 && --groupDepth_ == 0) groupCommand_ = 0;
}

// What recording raises, for a pass that records its steps later.
void TFenEdit::NoteRecordedEdit() {
  if (!modified_) SetModifiedFlag(true);
  if (!UndoRec || UndoBuf_ <= 0) return;
  redoList_.clear();
  redoTotal_ = 0;
  if (redoAvailable_) {
    redoAvailable_ = false;
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
}

// RecordUndo at a logical position the caller already knows (the replace loop keeps track of
// its line, so a replace-all never converts rows to lines from the top).
// The budget holds whole commands: the oldest go, each with all its steps, while the history
// is larger than UndoBuf; the newest command always stays whole, even when it alone is larger.
// So an undo never takes back only part of a command.
bool TFenEdit::RecordUndoAt(unsigned char kind, std::string text, TLinePos p) {
  if (text.empty()) return false;
  if (!modified_) SetModifiedFlag(true);
  if (!UndoRec || UndoBuf_ <= 0) return false;
  const unsigned command = groupDepth_ > 0 ? groupCommand_ : nextCommand_++;
  auto dropBack = [this] {
    const unsigned oldest = undoList_.back().Command;
    while (!undoList_.empty() && undoList_.back().Command == oldest) {
      undoTotal_ -= undoList_.back().Text.size();
      undoList_.pop_back();
    }
    undoTruncated_ = true;
  };
  bool stored = false;
  // A command a step of which could not be kept cannot be taken back whole: none of it is.
  if (command != failedCommand_) {
    const size_t n = text.size();
    try {
      undoList_.push_front(TUndoStep{kind, p.Byte, p.Line, std::move(text), command});
      undoTotal_ += n;
      stored = true;
    } catch (...) {
      failedCommand_ = command;
      while (!undoList_.empty() && undoList_.front().Command == command) {
        undoTotal_ -= undoList_.front().Text.size();
        undoList_.pop_front();
      }
      undoTruncated_ = true;
      ShowCodedMessage("Error:OC001");
    }
  }
  const size_t budget = static_cast<size_t>(UndoBuf_);
  while (undoTotal_ > budget && !undoList_.empty() && undoList_.back().Command != command)
    dropBack();
  redoList_.clear();
  redoTotal_ = 0;
  if (redoAvailable_) {
    redoAvailable_ = false;
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
  return stored;
}

void TFenEdit::ApplyStep(bool undo) {
  std::deque<TUndoStep>& list = undo ? undoList_ : redoList_;
  std::deque<TUndoStep>& other = undo ? redoList_ : undoList_;
  size_t& listTotal = undo ? undoTotal_ : redoTotal_;
  size_t& otherTotal = undo ? redoTotal_ : undoTotal_;
  const char* failure = undo ? "Error:OC001_2" : "Error:OC001_3";

  auto moveFront = [&](unsigned char newKind) {
    TUndoStep step = std::move(list.front());
    list.pop_front();
    listTotal -= step.Text.size();
    try {
      size_t n = step.Text.size();
      step.Kind = newKind;
      other.push_front(std::move(step));
      otherTotal += n;
    } catch (...) {
      ShowCodedMessage(failure);
    }
  };

  CancelSelection();
  TUndoStep& step = list.front();
  const unsigned command = step.Command;
  TLinePos pos{step.Offset, step.Line};
  TRowPos at = ToRowPos(pos);
  applying_ = true;
  switch (step.Kind) {
    case 0: {
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
      moveFront(1);
      if (!list.empty() && list.front().Command == command && list.front().Offset == pos.Byte &&
          list.front().Line == pos.Line) {
        TUndoStep& paired = list.front();
        if (paired.Kind == 1) {
          // A replacement: the deletion recorded with the insertion goes back too.
          InsertAtCaret(paired.Text, false);
          moveFront(0);
        } else if (paired.Kind == 5) {
          // An overwrite: the overwritten bytes come back, the caret stays before them.
          TRowPos c = ToRowPos(pos);
          caret_ = anchor_ = selEnd_ = c;
          InsertAtCaret(paired.Text, false);
          caret_ = anchor_ = selEnd_ = LimitPos(ToRowPos(pos));
          moveFront(0);
        }
      }
      if (!batchApply_) {
        ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
        UpdateScrollRange();
        RepaintFrom(std::max(0, std::min(at.Row, caret_.Row) - 1));
      }
      break;
    }
    case 1:
    case 2:
    case 5: {
      caret_ = anchor_ = selEnd_ = at;
      std::string text = step.Text;
      InsertAtCaret(text, !batchApply_);
      moveFront(0);
      break;
    }
    case 3:
    default: {
      caret_ = anchor_ = selEnd_ = at;
      std::string text = step.Text;
      InsertAtCaret(text, false);
      caret_ = anchor_ = selEnd_ = LimitPos(ToRowPos(pos));
      if (!batchApply_) {
        ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
        RepaintFrom(std::max(0, at.Row - 1));
      }
      moveFront(0);
      break;
    }
  }
  applying_ = false;
  if (batchApply_) return;
  SetModifiedFlag(!undoList_.empty() || undoTruncated_);
  RaiseChange();
}

// All steps of the front command of a list, newest first; the view follows once at the end.
void TFenEdit::ApplyCommand(bool undo) {
  std::deque<TUndoStep>& list = undo ? undoList_ : redoList_;
  const unsigned command = list.front().Command;
  if (list.size() < 2 || list[1].Command != command) {
    ApplyStep(undo);
    return;
  }
  struct Batch {
    bool& flag;
    ~Batch() { flag = false; }
  } batch{batchApply_};
  batchApply_ = true;
  while (!list.empty() && list.front().Command == command) ApplyStep(undo);
  batchApply_ = false;
  ScrollToCaret(caret_, TCaretPlacement::Minimal, true, true);
  UpdateScrollRange();
  RepaintAll();
  SetModifiedFlag(!undoList_.empty() || undoTruncated_);
  RaiseChange();
}

void TFenEdit::Undo() {
  if (undoList_.empty() || UndoBuf_ <= 0) return;
  ApplyCommand(true);
  if (!redoAvailable_) {
    redoAvailable_ = true;
    if (OnChangeRedoMode) OnChangeRedoMode(this, true);
  }
}

void TFenEdit::Redo() {
  if (redoList_.empty()) return;
  ApplyCommand(false);
  if (redoList_.empty()) {
    redoAvailable_ = false;
    if (OnChangeRedoMode) OnChangeRedoMode(this, false);
  }
}

void TFenEdit::ClearUndo() {
  undoList_.clear();
  redoList_.clear();
  undoTotal_ = redoTotal_ = 0;
  undoTruncated_ = false;
  applying_ = false;
  modified_ = false;
  if (OnChangeModify) OnChangeModify(this, false);
  redoAvailable_ = false;
  if (OnChangeRedoMode) OnChangeRedoMode(this, false);
}
