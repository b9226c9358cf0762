#include "platform/MessageBox.h"

#include <cstdio>

#include "platform/CodePage.h"

namespace {
// Without a window system nobody can answer: say the safe thing.
class StderrMessageBox : public MessageBoxHandler {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    std::string line = CodePage::ToUtf8(caption.empty() ? text : caption + ": " + text);
    std::fprintf(stderr, "%s\n", line.c_str());
    switch (flags & MB_BUTTONMASK) {
      case MB_YESNO:
        return IDNO;
      case MB_OKCANCEL:
      case MB_YESNOCANCEL:
        return IDCANCEL;
      default:
        return IDOK;
    }
  }
};

StderrMessageBox builtIn;
MessageBoxHandler* current = nullptr;
}  // namespace

MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler) {
  MessageBoxHandler* previous = current ? current : &builtIn;
  current = handler;
  return previous;
}

int MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return (current ? current : &builtIn)->Show(text, caption, flags);
}

void ShowMessage(const std::string& text) {
  MessageBox(text, "", MB_OK);
}
