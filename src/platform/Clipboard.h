// The system clipboard's plain text, as code-page-932 bytes. One process-wide current
// clipboard and one PRIMARY selection (what X11 programs paste with the middle button): the
// program installs the system ones, tests keep the memory ones.
#pragma once
#include <string>
#include <string_view>

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Whether the clipboard holds text (an empty text counts as none).
  virtual bool HasText() = 0;
  // The text in code page 932, empty when there is none. Text this program put there comes
  // back byte for byte; desktop text has CR LF line ends.
  virtual std::string GetText() = 0;
  // Replaces the clipboard's contents with the text; false when the clipboard refused it.
  virtual bool SetText(std::string_view cp932) = 0;
};

// Keeps the text in memory; SetFailing makes every SetText fail, for error paths.
class MemoryClipboard : public Clipboard {
 public:
  bool HasText() override { return !text_.empty(); }
  std::string GetText() override { return text_; }
  bool SetText(std::string_view cp932) override;
  void SetFailing(bool failing) { failing_ = failing; }
  int SetCount() const { return setCount_; }  // successful SetText calls

 private:
  std::string text_;
  bool failing_ = false;
  int setCount_ = 0;
};

// The current clipboard; a MemoryClipboard until another one is installed.
Clipboard& CurrentClipboard();
// Installs a clipboard (not owned; nullptr goes back to the built-in memory one) and
// returns the one it replaces.
Clipboard* SetCurrentClipboard(Clipboard* clipboard);

// The current PRIMARY selection; a MemoryClipboard of its own until another one is installed.
Clipboard& CurrentPrimary();
Clipboard* SetCurrentPrimary(Clipboard* primary);
