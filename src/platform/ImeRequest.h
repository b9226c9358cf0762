// What an input method asks of a control about its text, as WM_IME_REQUEST: the text around
// the caret (for reconversion and context-aware conversion), and removing some of it (an input
// method takes the text it reconverts out of the document and composes it anew).
#pragma once
#include <string>

constexpr unsigned WM_IME_REQUEST = 0x0288;
// lParam points to a TImeSurrounding the control fills; the result is 1 when it did.
constexpr unsigned IMR_DOCUMENTFEED = 0x0007;
// lParam points to a TImeDeleteRange; the result is 1 when the control removed the bytes.
constexpr unsigned IMR_DELETESURROUNDING = 0x0100;

struct TImeSurrounding {
  std::string Text;  // code page 932: the caret's line, or a stretch of it around the caret
  int Cursor = 0;    // the caret, a byte offset in Text
  int Anchor = 0;    // the selection's other end in Text; Cursor when nothing is selected
};

// Bytes From..To relative to the caret (negative: before it), in the caret's line.
struct TImeDeleteRange {
  int From = 0;
  int To = 0;
};
