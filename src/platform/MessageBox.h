// Message boxes go through one settable handler: the program shows dialogs, tests record.
// Texts are code-page-932 bytes. Flags and answers are the classic MB_* and ID* values.
#pragma once
#include <string>

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_BUTTONMASK = 0x0F;
constexpr unsigned MB_ICONMASK = 0xF0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class MessageBoxHandler {
 public:
  virtual ~MessageBoxHandler() = default;
  // Shows the box modally and returns the button chosen.
  virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Installs a handler (not owned; nullptr goes back to the built-in one, which writes the
// text to stderr and answers OK, or No/Cancel where asked) and returns the previous one.
MessageBoxHandler* SetMessageBoxHandler(MessageBoxHandler* handler);

// A box through the current handler; an empty caption stands for the application's title.
int MessageBox(const std::string& text, const std::string& caption = "", unsigned flags = MB_OK);
// A plain box with an OK button and the application's title, as the coded error boxes are.
void ShowMessage(const std::string& text);
