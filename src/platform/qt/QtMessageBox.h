// Message boxes as QMessageBox dialogs, for the running program.
#pragma once
#include "platform/MessageBox.h"

class QtMessageBox : public MessageBoxHandler {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned flags) override;
};
