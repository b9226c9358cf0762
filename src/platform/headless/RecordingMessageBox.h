// Records the message boxes shown while it is installed (for its lifetime) and answers them
// from a script, OK when the script is empty.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

struct MessageBoxRecord {
  std::string Text;
  std::string Caption;
  unsigned Flags = 0;
};

class RecordingMessageBox : public MessageBoxHandler {
 public:
  RecordingMessageBox();
  ~RecordingMessageBox() override;
  RecordingMessageBox(const RecordingMessageBox&) = delete;
  RecordingMessageBox& operator=(const RecordingMessageBox&) = delete;

  int Show(const std::string& text, const std::string& caption, unsigned flags) override;
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<MessageBoxRecord>& Boxes() const { return boxes_; }
  // Just the texts, oldest first.
  std::vector<std::string> Texts() const;
  void Clear() { boxes_.clear(); }

 private:
  MessageBoxHandler* previous_;
  std::deque<int> answers_;
  std::vector<MessageBoxRecord> boxes_;
};
