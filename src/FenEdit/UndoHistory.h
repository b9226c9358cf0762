// The editor's undo history: steps at logical positions, grouped into commands, within a
// byte budget. It keeps the lists only; the editor applies the steps to its text.
#pragma once
#include <deque>
#include <string>

#include "FenEditSub.h"

// What a step recorded; undoing it does the opposite.
enum class TUndoKind : unsigned char {
  Inserted = 0,          // text put in: undo selects and removes it
  Removed = 1,           // a selection or a replaced range taken out: undo puts it back
  Backspaced = 2,        // the character before the caret: undo puts it back, caret after
  Deleted = 3,           // the character at the caret: undo puts it back, caret before
  Overwritten = 5,       // bytes typed over in overwrite mode, recorded with the insertion
};

// One undo step: what was inserted or removed, at a logical position.
struct TUndoStep {
  TUndoKind Kind = TUndoKind::Inserted;
  int Offset = 0;  // byte offset within the logical line
  int Line = 0;    // logical line index
  std::string Text;
  unsigned Command = 0;  // steps of one command share it: undone, redone and dropped together
};

class TUndoHistory {
 public:
  enum class TRecorded { Dropped, Stored, OutOfMemory };

  const std::deque<TUndoStep>& Undos() const { return undo_; }
  const std::deque<TUndoStep>& Redos() const { return redo_; }
  size_t UndoTotal() const { return undoTotal_; }
  size_t RedoTotal() const { return redoTotal_; }
  // Some history went, to the budget or for want of memory: the text differs from any state
  // the remaining steps lead back to.
  bool Truncated() const { return truncated_; }
  int Budget() const { return budget_; }
  void SetBudget(int bytes) { budget_ = bytes < 0 ? 0 : bytes; }
  bool CanUndo() const { return !undo_.empty() && budget_ > 0; }
  bool CanRedo() const { return !redo_.empty(); }

  // The steps recorded between the outermost Begin and End form one command. A step outside
  // such a bracket is a command of its own.
  void BeginGroup() {
    if (groupDepth_++ == 0) groupCommand_ = nextCommand_++;
  }
  void EndGroup() {
    if (groupDepth_ > 0 && --groupDepth_ == 0) groupCommand_ = 0;
  }

  // Adds a step as the newest (the caller drops the redo list). The budget holds whole commands: the
  // oldest go, each with all its steps, while the history is larger than the budget; the newest
  // command always stays whole, even when it alone is larger. A command one step of which could
  // not be kept is dropped whole (OutOfMemory), so an undo never takes back part of a command.
  TRecorded Record(TUndoKind kind, std::string text, TLinePos at);
  // Empties the redo list; true when redo had been announced as available.
  bool DropRedo();
  // Redo is announced as available; true when it was not.
  bool AnnounceRedo();

  // The newest step of the undo list (undo) or of the redo list.
  TUndoStep& Front(bool undo) { return undo ? undo_.front() : redo_.front(); }
  bool Empty(bool undo) const { return undo ? undo_.empty() : redo_.empty(); }
  // Whether the newest command of a list has more than one step.
  bool FrontCommandHasSeveral(bool undo) const;
  // Moves the newest step of a list onto the other one, as the kind that reverses it there;
  // false when memory ran out (the step is then gone).
  bool MoveFront(bool undo, TUndoKind newKind);
  void Clear();

 private:
  void DropOldestCommand();

  std::deque<TUndoStep> undo_;
  std::deque<TUndoStep> redo_;
  size_t undoTotal_ = 0;
  size_t redoTotal_ = 0;
  int budget_ = 0xF8000;
  bool truncated_ = false;
  bool redoAnnounced_ = false;
  int groupDepth_ = 0;
  unsigned groupCommand_ = 0;  // the open group's command number
  unsigned nextCommand_ = 1;
  unsigned failedCommand_ = 0;  // a command whose steps could not all be kept
};
