#include <gtest/gtest.h>

#include "platform/Messages.h"
#include "platform/qt/QtKeys.h"

TEST(QtKeys, VirtualKeysOfTheKeysTheEditorActsOn) {
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    unsigned vk;
  } cases[] = {
      {Qt::Key_A, Qt::NoModifier, 'A'},
      {Qt::Key_Z, Qt::ControlModifier, 'Z'},
      {Qt::Key_5, Qt::NoModifier, '5'},
      {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD0 + 5},
      {Qt::Key_F1, Qt::NoModifier, VK_F1},
      {Qt::Key_F12, Qt::NoModifier, VK_F12},
      {Qt::Key_Return, Qt::NoModifier, VK_RETURN},
      {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
      {Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
      {Qt::Key_Backspace, Qt::NoModifier, VK_BACK},
      {Qt::Key_Delete, Qt::NoModifier, VK_DELETE},
      {Qt::Key_Insert, Qt::NoModifier, VK_INSERT},
      {Qt::Key_PageUp, Qt::NoModifier, VK_PRIOR},
      {Qt::Key_PageDown, Qt::NoModifier, VK_NEXT},
      {Qt::Key_Home, Qt::NoModifier, VK_HOME},
      {Qt::Key_End, Qt::NoModifier, VK_END},
      {Qt::Key_Left, Qt::NoModifier, VK_LEFT},
      {Qt::Key_Up, Qt::NoModifier, VK_UP},
      {Qt::Key_Right, Qt::NoModifier, VK_RIGHT},
      {Qt::Key_Down, Qt::NoModifier, VK_DOWN},
      {Qt::Key_Escape, Qt::NoModifier, VK_ESCAPE},
      {Qt::Key_Henkan, Qt::NoModifier, VK_CONVERT},
      {Qt::Key_Muhenkan, Qt::NoModifier, VK_NONCONVERT},
      {Qt::Key_Comma, Qt::ControlModifier, VK_OEM_COMMA},
      {Qt::Key_Period, Qt::ControlModifier, VK_OEM_PERIOD},
      {Qt::Key_Less, Qt::ShiftModifier, VK_OEM_COMMA},
      {Qt::Key_Menu, Qt::NoModifier, VK_APPS},
      {Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT},
      {Qt::Key_Control, Qt::ControlModifier, VK_CONTROL},
      {Qt::Key_Alt, Qt::AltModifier, VK_MENU},
      {Qt::Key_unknown, Qt::NoModifier, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.vk, VirtualKeyFromQt(c.key, c.mods)) << c.key;
}

TEST(QtKeys, AltWithoutCtrlAndF10AreSystemKeys) {
  EXPECT_TRUE(IsSystemKey(Qt::Key_F, Qt::AltModifier));
  EXPECT_TRUE(IsSystemKey(Qt::Key_F10, Qt::NoModifier));
  EXPECT_FALSE(IsSystemKey(Qt::Key_Q, Qt::AltModifier | Qt::ControlModifier));  // AltGr
  EXPECT_FALSE(IsSystemKey(Qt::Key_F, Qt::NoModifier));
}

TEST(QtKeys, TypedBytesAreWhatAWindowsCharMessageWouldCarry) {
  auto typed = [](const QString& text) {
    return TypedBytesFromQt(QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text));
  };
  EXPECT_EQ("a", typed("a"));
  EXPECT_EQ("\r", typed("\r"));
  EXPECT_EQ("\x01", typed(QString(QChar(1))));  // Ctrl+A
  EXPECT_EQ("", typed(QString(QChar(0x7F))));   // Delete
  EXPECT_EQ("", typed(""));
  EXPECT_EQ("\xb1", typed(QString::fromUtf8("ｱ")));
  EXPECT_EQ("\x82\xa0", typed(QString::fromUtf8("あ")));
  EXPECT_EQ("?", typed("?"));
  EXPECT_EQ("&#8364;", typed(QString::fromUtf8("€")));  // not in code page 932
}

TEST(QtKeys, KeyMessageLParamMarksRepeatsAndReleases) {
  QKeyEvent first(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  EXPECT_EQ(0, KeyMessageLParam(first, false) & 0x40000000);
  EXPECT_NE(0, KeyMessageLParam(repeat, false) & 0x40000000);
  EXPECT_EQ(0xC0000000u, static_cast<unsigned long>(KeyMessageLParam(release, true)) & 0xC0000000u);
  EXPECT_EQ(1, KeyMessageLParam(first, false) & 0xFFFF);
}
