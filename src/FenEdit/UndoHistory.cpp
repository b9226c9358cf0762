#include "UndoHistory.h"

void TUndoHistory::DropOldestCommand() {
  const unsigned oldest = undo_.back().Command;
  while (!undo_.empty() && undo_.back().Command == oldest) {
    undoTotal_ -= undo_.back().Text.size();
    undo_.pop_back();
  }
  truncated_ = true;
}

TUndoHistory::TRecorded TUndoHistory::Record(TUndoKind kind, std::string text, TLinePos at) {
  const unsigned command = groupDepth_ > 0 ? groupCommand_ : nextCommand_++;
  TRecorded result = TRecorded::Dropped;
  if (command != failedCommand_) {
    const size_t n = text.size();
    try {
      undo_.push_front(TUndoStep{kind, at.Byte, at.Line, std::move(text), command});
      undoTotal_ += n;
      result = TRecorded::Stored;
    } catch (...) {
      failedCommand_ = command;
      while (!undo_.empty() && undo_.front().Command == command) {
        undoTotal_ -= undo_.front().Text.size();
        undo_.pop_front();
      }
      truncated_ = true;
      result = TRecorded::OutOfMemory;
    }
  }
  const size_t budget = static_cast<size_t>(budget_);
  while (undoTotal_ > budget && !undo_.empty() && undo_.back().Command != command)
    DropOldestCommand();
  return result;
}

bool TUndoHistory::DropRedo() {
  redo_.clear();
  redoTotal_ = 0;
  const bool was = redoAnnounced_;
  redoAnnounced_ = false;
  return was;
}

bool TUndoHistory::AnnounceRedo() {
  const bool was = redoAnnounced_;
  redoAnnounced_ = true;
  return !was;
}

bool TUndoHistory::FrontCommandHasSeveral(bool undo) const {
  const std::deque<TUndoStep>& list = undo ? undo_ : redo_;
  return list.size() >= 2 && list[1].Command == list[0].Command;
}

bool TUndoHistory::MoveFront(bool undo, TUndoKind newKind) {
  std::deque<TUndoStep>& list = undo ? undo_ : redo_;
  std::deque<TUndoStep>& other = undo ? redo_ : undo_;
  size_t& listTotal = undo ? undoTotal_ : redoTotal_;
  size_t& otherTotal = undo ? redoTotal_ : undoTotal_;
  TUndoStep step = std::move(list.front());
  list.pop_front();
  listTotal -= step.Text.size();
  try {
    const size_t n = step.Text.size();
    step.Kind = newKind;
    other.push_front(std::move(step));
    otherTotal += n;
  } catch (...) {
    return false;
  }
  return true;
}

void TUndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  undoTotal_ = redoTotal_ = 0;
  truncated_ = false;
  redoAnnounced_ = false;
}
