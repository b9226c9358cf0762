#include "platform/qt/QtKeys.h"

#include "platform/CodePage.h"
#include "platform/Messages.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtText.h"

unsigned VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return keypad ? VK_NUMPAD0 + (key - Qt::Key_0) : static_cast<unsigned>(key);
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
      return VK_MENU;
    case Qt::Key_Meta:
      return VK_LWIN;
    case Qt::Key_Pause:
      return VK_PAUSE;
    case Qt::Key_CapsLock:
      return VK_CAPITAL;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Clear:
      return VK_CLEAR;
    case Qt::Key_Menu:
      return VK_APPS;
    case Qt::Key_NumLock:
      return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
      return VK_SCROLL;
    case Qt::Key_Henkan:
      return VK_CONVERT;
    case Qt::Key_Muhenkan:
      return VK_NONCONVERT;
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku:
    case Qt::Key_Kanji:
      return VK_KANJI;
    case Qt::Key_Hiragana_Katakana:
    case Qt::Key_Hiragana:
    case Qt::Key_Katakana:
    case Qt::Key_Kana_Lock:
      return VK_KANA;
    // Punctuation by the Japanese (JIS) layout, this program's home keyboard.
    case Qt::Key_Asterisk:
      return keypad ? VK_MULTIPLY : VK_OEM_1;
    case Qt::Key_Plus:
      return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus:
      return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period:
      return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash:
      return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Exclam:
      return '1';
    case Qt::Key_QuoteDbl:
      return '2';
    case Qt::Key_NumberSign:
      return '3';
    case Qt::Key_Dollar:
      return '4';
    case Qt::Key_Percent:
      return '5';
    case Qt::Key_Ampersand:
      return '6';
    case Qt::Key_Apostrophe:
      return '7';
    case Qt::Key_ParenLeft:
      return '8';
    case Qt::Key_ParenRight:
      return '9';
    case Qt::Key_Equal:
      return VK_OEM_MINUS;
    case Qt::Key_AsciiCircum:
    case Qt::Key_AsciiTilde:
      return VK_OEM_7;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
    case Qt::Key_yen:
      return VK_OEM_5;
    case Qt::Key_At:
    case Qt::Key_QuoteLeft:
      return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return VK_OEM_4;
    case Qt::Key_Semicolon:
      return VK_OEM_PLUS;
    case Qt::Key_Colon:
      return VK_OEM_1;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return VK_OEM_6;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return VK_OEM_COMMA;
    case Qt::Key_Greater:
      return VK_OEM_PERIOD;
    case Qt::Key_Question:
      return VK_OEM_2;
    case Qt::Key_Underscore:
      return VK_OEM_102;
    default:
      return 0;
  }
}

bool IsSystemKey(int key, Qt::KeyboardModifiers modifiers) {
  if (key == Qt::Key_F10) return true;
  return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier);
}

std::string TypedBytesFromQt(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty()) return {};
  if (text.size() == 1 && text[0].unicode() < 0x20) {
    return std::string(1, static_cast<char>(text[0].unicode()));
  }
  if (text.size() == 1 && text[0].unicode() == 0x7F) return {};  // Delete types nothing
  // What code page 932 lacks is written as the user chose, as for the input method.
  return TextBorder::ForEditor(Utf16View(text));
}

long KeyMessageLParam(const QKeyEvent& event, bool release) {
  unsigned long l = 1u | ((event.nativeScanCode() & 0xFFu) << 16);
  if (release) {
    l |= 0xC0000000u;
  } else if (event.isAutoRepeat()) {
    l |= 0x40000000u;
  }
  return static_cast<long>(l);
}
