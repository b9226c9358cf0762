#include "platform/headless/RecordingMessageBox.h"

RecordingMessageBox::RecordingMessageBox() : previous_(SetMessageBoxHandler(this)) {}

RecordingMessageBox::~RecordingMessageBox() {
  SetMessageBoxHandler(previous_);
}

int RecordingMessageBox::Show(const std::string& text, const std::string& caption, unsigned flags) {
  boxes_.push_back(MessageBoxRecord{text, caption, flags});
  if (answers_.empty()) return IDOK;
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::vector<std::string> RecordingMessageBox::Texts() const {
  std::vector<std::string> out;
  for (const MessageBoxRecord& b : boxes_) out.push_back(b.Text);
  return out;
}
