#include <gtest/gtest.h>

#include <vector>

#include "FenEditInputFixture.h"
#include "platform/ImeRequest.h"

namespace {
const std::string kNihongo = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語
const std::string kA = "\x82\xa0";                        // あ
}  // namespace

TEST(FenEditIme, ResultIsTypedOnceAsOneString) {
  InputCtl c("ab");
  c.e.GotoPos(1, 0, TCaretPlacement::Minimal);
  std::vector<std::string> log;
  c.e.OnIMEChanging = [&](TObject*) { log.push_back(c.e.Composing() ? "changing" : "?"); };
  c.e.OnIMEChanged = [&](TObject*) { log.push_back(c.e.Composing() ? "?" : "changed"); };
  int changes = 0;
  c.e.OnChange = [&](TObject*) { ++changes; };
  c.host.Compose("nihongo", kNihongo);
  EXPECT_EQ("a" + kNihongo + "b", c.Text());
  EXPECT_EQ((TRowPos{7, 0}), c.Caret());
  EXPECT_EQ((std::vector<std::string>{"changing", "changed"}), log);
  EXPECT_EQ(1, changes);
  // The same characters arriving again as WM_IME_CHAR are not typed a second time.
  EXPECT_EQ(0, c.host.Send(WM_IME_CHAR, 0x93fa, 0));
  EXPECT_EQ("a" + kNihongo + "b", c.Text());
  // One undo takes the whole result back.
  c.e.Undo();
  EXPECT_EQ("ab", c.Text());
}

TEST(FenEditIme, DoubleByteCharactersComeOnlyThroughTheInputMethod) {
  InputCtl c("");
  c.host.Char(0x88);  // 亜 byte by byte
  c.host.Char(0x9f);
  EXPECT_EQ("", c.Text());
  c.host.Compose("", kA);
  EXPECT_EQ(kA, c.Text());
  // A composition that is cancelled (no result) types nothing.
  c.host.Compose("kanji", "");
  EXPECT_EQ(kA, c.Text());
  EXPECT_FALSE(c.e.Composing());
}

TEST(FenEditIme, ResultReplacesTheSelectionAndOverwrites) {
  InputCtl c("abcdef");
  c.Keys(VK_RIGHT, 2, {VK_SHIFT});
  c.host.Compose("", kA);
  EXPECT_EQ(kA + "cdef", c.Text());
  c.Key(VK_INSERT);
  c.host.Compose("", kA);
  EXPECT_EQ(kA + kA + "ef", c.Text());
}

TEST(FenEditIme, CompositionWindowFollowsTheCaret) {
  InputCtl c("abc\r\ndef");
  c.Key(VK_DOWN);
  c.Key(VK_RIGHT);
  EXPECT_EQ((TPoint{InputCtl::kLeft + 8, InputCtl::kTop + 16}), c.host.CompositionWindow());
  EXPECT_EQ(19, c.host.CompositionFont().Height);  // the drawing font's cell height
  // With CaretScrollFix the view comes back to the caret when a composition starts.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "r\r\n";
  InputCtl d(text);
  d.e.CaretScrollFix = true;
  d.e.OnIMEChanging = [](TObject*) {};
  d.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 40), 0);
  EXPECT_EQ(40, d.e.TopRow());
  d.host.Compose("a", "");
  EXPECT_EQ(0, d.e.TopRow());
}

TEST(FenEditIme, PressCompletesTheCompositionBeforeMovingTheCaret) {
  InputCtl c("abc");
  int before = c.host.CompletedCompositions();
  c.Click(InputCtl::X(2), c.Y(0));
  EXPECT_EQ(before + 1, c.host.CompletedCompositions());
  EXPECT_EQ((TRowPos{2, 0}), c.Caret());
}

TEST(FenEditIme, SurroundingTextIsTheCaretsLineWithTheSelection) {
  const std::string line = std::string(80, 'x') + "ab" + kA + "cd";
  InputCtl c("first\r\n" + line + "\r\nlast", true);  // the long line wraps after 72 bytes
  ASSERT_EQ(4, c.e.GetStore().Count());
  c.e.GotoPos(12, 2, TCaretPlacement::Minimal);  // after あ
  TImeSurrounding s;
  EXPECT_EQ(1, c.host.Send(WM_IME_REQUEST, IMR_DOCUMENTFEED, reinterpret_cast<LPARAM>(&s)));
  EXPECT_EQ(line, s.Text);
  EXPECT_EQ(84, s.Cursor);
  EXPECT_EQ(84, s.Anchor);
  c.Keys(VK_LEFT, 2, {VK_SHIFT});
  c.host.Send(WM_IME_REQUEST, IMR_DOCUMENTFEED, reinterpret_cast<LPARAM>(&s));
  EXPECT_EQ(81, s.Cursor);
  EXPECT_EQ(84, s.Anchor);
  // A selection reaching into another line ends at this line's edge.
  c.Key(VK_HOME, {VK_SHIFT, VK_CONTROL});
  c.host.Send(WM_IME_REQUEST, IMR_DOCUMENTFEED, reinterpret_cast<LPARAM>(&s));
  EXPECT_EQ("first", s.Text);
  EXPECT_EQ(0, s.Cursor);
  EXPECT_EQ(5, s.Anchor);

  // A very long unwrapped line gives a window around the caret, on character boundaries.
  std::string big;
  for (int i = 0; i < 5000; ++i) big += kA;
  InputCtl d(big);
  d.e.GotoPos(5001, 0, TCaretPlacement::Minimal);  // a trail byte: the caret goes before it
  d.host.Send(WM_IME_REQUEST, IMR_DOCUMENTFEED, reinterpret_cast<LPARAM>(&s));
  EXPECT_LT(s.Text.size(), 4200u);
  EXPECT_EQ(0u, s.Text.size() % 2);
  EXPECT_EQ(0, s.Cursor % 2);
  EXPECT_EQ(s.Text.substr(0, 2), kA);
}

TEST(FenEditIme, DeleteAroundTakesWholeCharactersAsOneUndoStep) {
  InputCtl c("ab" + kA + "cd");
  c.e.GotoPos(4, 0, TCaretPlacement::Minimal);
  TImeDeleteRange r{-1, 0};  // half of あ asked for: all of it goes
  EXPECT_EQ(1, c.host.Send(WM_IME_REQUEST, IMR_DELETESURROUNDING, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ("abcd", c.Text());
  EXPECT_EQ((TRowPos{2, 0}), c.Caret());
  r = {1, 2};
  c.host.Send(WM_IME_REQUEST, IMR_DELETESURROUNDING, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ("abc", c.Text());
  c.e.Undo();
  c.e.Undo();
  EXPECT_EQ("ab" + kA + "cd", c.Text());
  c.e.ReadOnly = true;
  r = {-2, 0};
  EXPECT_EQ(0, c.host.Send(WM_IME_REQUEST, IMR_DELETESURROUNDING, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ("ab" + kA + "cd", c.Text());
}
