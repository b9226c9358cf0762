#include <gtest/gtest.h>

#include <vector>

#include "FenEditInputFixture.h"

namespace {

const std::string kA = "\x82\xa0";  // あ

struct CountingMenu : TPopupMenu {
  std::vector<TPoint> shown;
  void Popup(int x, int y) override { shown.push_back(TPoint{x, y}); }
};

std::string Lines(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "row" + std::to_string(i) + "\r\n";
  return text;
}

// "ab" of "abcd" selected with the keys, caret after it.
void SelectAb(InputCtl& c) {
  c.Key(VK_HOME, {VK_CONTROL});
  c.Keys(VK_RIGHT, 2, {VK_SHIFT});
  ASSERT_EQ("ab", c.Sel());
}

}  // namespace

TEST(FenEditMouse, ClickTakesTheNearestBoundaryAndNeverSplitsADoubleByteCharacter) {
  InputCtl c("a" + kA + "b\r\nxy");
  struct Case {
    int x, y;
    TRowPos want;
  };
  const int left = InputCtl::kLeft;
  // あ covers text pixels 8..24: its left half goes before it, its right half after.
  std::vector<Case> cases{{left + 15, c.Y(0), {1, 0}},  {left + 17, c.Y(0), {3, 0}},
                          {left + 4, c.Y(0), {0, 0}},   {left + 5, c.Y(0), {1, 0}},
                          {left + 300, c.Y(0), {4, 0}}, {left + 9, c.Y(1), {1, 1}},
                          {left + 9, c.Y(20), {1, 1}},  {left + 9, 0, {1, 0}}};
  for (const Case& k : cases) {
    c.Click(k.x, k.y);
    EXPECT_EQ(k.want, c.Caret()) << k.x << "," << k.y;
    EXPECT_FALSE(c.e.IsSelected());
  }
  c.Click(left + 17, c.Y(0));
  EXPECT_EQ(24, c.e.CaretX());
}

TEST(FenEditMouse, ShiftClickAndDraggingSelect) {
  InputCtl c("abcdef\r\nghijkl");
  c.Click(InputCtl::X(1), c.Y(0));
  c.host.SetKeyDown(VK_SHIFT, true);
  c.Click(InputCtl::X(4), c.Y(0));
  c.host.SetKeyDown(VK_SHIFT, false);
  EXPECT_EQ("bcd", c.Sel());
  c.host.MouseDown(InputCtl::X(2), c.Y(1));  // outside the selection: it goes
  EXPECT_FALSE(c.e.IsSelected());
  c.host.MouseMove(InputCtl::X(5), c.Y(1));
  c.host.MouseMove(InputCtl::X(3), c.Y(0));
  EXPECT_EQ("def\r\ngh", c.Sel());
  c.host.MouseUp(InputCtl::X(3), c.Y(0));
  EXPECT_EQ((TRowPos{3, 0}), c.Caret());
  // Moves after the release select nothing more.
  c.host.MouseMove(InputCtl::X(0), c.Y(1));
  EXPECT_EQ("def\r\ngh", c.Sel());
}

TEST(FenEditMouse, PressLeftOfTheTextSelectsWholeRows) {
  InputCtl c("one\r\ntwo\r\nthree\r\nfour");
  c.e.ShowLineNumber = true;
  c.e.Recreate();
  c.e.SetText("one\r\ntwo\r\nthree\r\nfour");
  ASSERT_GT(c.e.TextLeft(), InputCtl::kLeft);
  const int gutter = c.e.TextLeft() - 10;
  c.host.MouseDown(gutter, c.Y(1));
  EXPECT_EQ("two\r\n", c.Sel());
  c.host.MouseMove(gutter, c.Y(2));
  c.host.MouseMove(gutter, c.Y(3));
  EXPECT_EQ("two\r\nthree\r\n", c.Sel());
  c.host.MouseUp(gutter, c.Y(3));
  // The last row has no line break to take.
  c.Click(gutter, c.Y(3));
  EXPECT_EQ("four", c.Sel());
}

TEST(FenEditMouse, DoubleClickLeavesTheFirstClicksCaretAndSelectsNothing) {
  InputCtl c("hello world");
  int downs = 0, dbls = 0;
  c.e.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  c.e.OnDblClick = [&](TObject*) { ++dbls; };
  c.Click(InputCtl::X(3), c.Y(0));
  c.host.DoubleClick(InputCtl::X(3), c.Y(0));
  c.host.MouseUp(InputCtl::X(3), c.Y(0));
  EXPECT_EQ((TRowPos{3, 0}), c.Caret());
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ(1, downs);
  EXPECT_EQ(1, dbls);
  c.Click(InputCtl::X(7), c.Y(0));  // the next press is a press again
  EXPECT_EQ((TRowPos{7, 0}), c.Caret());
  EXPECT_EQ(2, downs);
}

TEST(FenEditMouse, HoldingBelowTheTextScrollsEveryTickFasterAfterFive) {
  InputCtl c(Lines(200));
  c.host.MouseDown(InputCtl::X(1), c.Y(28));
  c.host.MouseMove(InputCtl::X(1), 479);
  EXPECT_EQ(1, c.e.AutoScrollDir());
  std::vector<TRow> tops;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(c.host.FireTimer(TFenEdit::kAutoScrollTimer));
    tops.push_back(c.e.TopRow());
  }
  EXPECT_EQ((std::vector<TRow>{1, 2, 3, 4, 6}), tops);
  for (int i = 0; i < 5; ++i) c.host.FireTimer(TFenEdit::kAutoScrollTimer);
  EXPECT_GT(c.e.TopRow(), 10);
  EXPECT_GT(c.Caret().Row, 28);
  std::string sel = c.Sel();
  EXPECT_EQ(0u, sel.find("ow28\r\nrow29\r\n"));
  c.host.MouseUp(InputCtl::X(1), 479);
  EXPECT_EQ(0, c.e.AutoScrollDir());
  TRow top = c.e.TopRow();
  c.host.FireTimer(TFenEdit::kAutoScrollTimer);
  EXPECT_EQ(top, c.e.TopRow());
  EXPECT_EQ(sel, c.Sel());
  // Back above the text: the timer scrolls up.
  c.host.MouseDown(InputCtl::X(1), c.Y(top + 10));
  c.host.MouseMove(InputCtl::X(1), 2);
  EXPECT_EQ(-1, c.e.AutoScrollDir());
  for (int i = 0; i < 8; ++i) c.host.FireTimer(TFenEdit::kAutoScrollTimer);
  EXPECT_LT(c.e.TopRow(), top);
  EXPECT_GT(c.Sel().size(), 20u);
  c.host.MouseUp(InputCtl::X(1), 2);
}

TEST(FenEditMouse, ContextMenuOncePerClick) {
  InputCtl c("text");
  CountingMenu menu;
  c.e.PopupMenu = &menu;
  c.host.Send(WM_RBUTTONDOWN, MK_RBUTTON, MakeLong(20, 10));
  c.host.Send(WM_RBUTTONUP, 0, MakeLong(20, 10));
  c.host.Send(WM_CONTEXTMENU, 1, MakeLong(120, 110));  // the request that follows the release
  ASSERT_EQ(1u, menu.shown.size());
  EXPECT_EQ(c.host.ClientToScreen(TPoint{20, 10}), menu.shown[0]);
  c.host.Send(WM_CONTEXTMENU, 1, -1);  // from the keyboard
  EXPECT_EQ(2u, menu.shown.size());
  c.host.Send(WM_RBUTTONDOWN, MK_RBUTTON, MakeLong(20, 10));
  EXPECT_EQ(3u, menu.shown.size());
}

TEST(FenEditMouse, DraggingTheSelectionMovesOrCopiesIt) {
  InputCtl c("abcd");
  SelectAb(c);
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  EXPECT_TRUE(c.e.DraggingText());
  c.host.MouseMove(InputCtl::X(4) + 2, c.Y(0));
  EXPECT_EQ(crDragCur1, c.host.ShownCursor());
  EXPECT_EQ("ab", c.Sel());  // the caret is only the drop mark
  c.host.MouseUp(InputCtl::X(4) + 2, c.Y(0));
  EXPECT_EQ("cdab", c.Text());
  EXPECT_FALSE(c.e.DraggingText());
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ((TRowPos{4, 0}), c.Caret());
  EXPECT_EQ(crIBeam, c.host.ShownCursor());
  c.e.Undo();
  c.e.Undo();
  EXPECT_EQ("abcd", c.Text());

  InputCtl d("abcd");
  SelectAb(d);
  d.host.MouseDown(InputCtl::X(1), d.Y(0));
  d.host.SetKeyDown(VK_CONTROL, true);
  d.host.Send(WM_KEYDOWN, VK_CONTROL, 1);
  d.host.MouseMove(InputCtl::X(4) + 2, d.Y(0));
  EXPECT_EQ(crDragCur2, d.host.ShownCursor());
  d.host.MouseUp(InputCtl::X(4) + 2, d.Y(0));
  d.host.SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ("abcdab", d.Text());
  EXPECT_EQ(crDragCur1, d.e.DragCursor);
}

TEST(FenEditMouse, DragsThatLeaveTheTextAlone) {
  // Dropped on itself: only the selection goes.
  InputCtl c("abcd");
  SelectAb(c);
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  c.host.MouseUp(InputCtl::X(1), c.Y(0));
  EXPECT_EQ("abcd", c.Text());
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ((TRowPos{1, 0}), c.Caret());

  // Cancelled with Escape: text and selection stay, keys do not edit meanwhile.
  InputCtl d("abcd");
  SelectAb(d);
  d.host.MouseDown(InputCtl::X(1), d.Y(0));
  d.host.MouseMove(InputCtl::X(4), d.Y(0));
  d.host.KeyDown(VK_DELETE);
  d.host.Char('z');
  d.host.KeyDown(VK_ESCAPE);
  EXPECT_FALSE(d.e.DraggingText());
  d.host.MouseUp(InputCtl::X(4), d.Y(0));
  EXPECT_EQ("abcd", d.Text());
  EXPECT_EQ("ab", d.Sel());
  EXPECT_EQ((TRowPos{2, 0}), d.Caret());

  // Released outside the control.
  InputCtl e("abcd");
  SelectAb(e);
  e.host.MouseDown(InputCtl::X(1), e.Y(0));
  e.host.MouseMove(InputCtl::X(3), e.Y(0));
  e.host.MouseMove(700, e.Y(0));
  e.host.MouseUp(700, e.Y(0));
  EXPECT_EQ("abcd", e.Text());
  EXPECT_EQ("ab", e.Sel());

  // Read-only: the selection goes, the text stays.
  InputCtl f("abcd");
  f.e.ReadOnly = true;
  SelectAb(f);
  f.host.MouseDown(InputCtl::X(1), f.Y(0));
  f.host.MouseMove(InputCtl::X(4), f.Y(0));
  f.host.MouseUp(InputCtl::X(4), f.Y(0));
  EXPECT_EQ("abcd", f.Text());
  EXPECT_FALSE(f.e.IsSelected());
}

TEST(FenEditMouse, DraggingALineMovesIt) {
  InputCtl c("one\r\ntwo\r\nthree\r\n");
  c.Click(2, c.Y(0));  // left of the text: the whole row
  ASSERT_EQ("one\r\n", c.Sel());
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  c.host.MouseMove(InputCtl::X(0), c.Y(2));
  c.host.MouseUp(InputCtl::X(0), c.Y(2));
  EXPECT_EQ("two\r\none\r\nthree\r\n", c.Text());
  EXPECT_EQ("", c.e.CheckInvariants());
}

TEST(FenEditMouse, ManualDragModeAsksTheHandler) {
  InputCtl c("abcd");
  c.e.DragMode = TFenEdit::dmManual;
  SelectAb(c);
  c.Click(InputCtl::X(1), c.Y(0));  // no handler: the press clears the selection
  EXPECT_FALSE(c.e.IsSelected());

  std::vector<std::string> asked;
  bool allow = false;
  c.e.OnManualStartDrag = [&](TObject*, const std::string& text, bool& canDrag) {
    asked.push_back(text);
    canDrag = allow;
    if (allow) c.e.BeginDrag(true);
  };
  SelectAb(c);
  c.Click(InputCtl::X(1), c.Y(0));
  EXPECT_FALSE(c.e.IsSelected());
  allow = true;
  SelectAb(c);
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  EXPECT_TRUE(c.e.DraggingText());
  c.host.MouseMove(InputCtl::X(4), c.Y(0));
  c.host.MouseUp(InputCtl::X(4), c.Y(0));
  EXPECT_EQ("cdab", c.Text());
  EXPECT_EQ((std::vector<std::string>{"ab", "ab"}), asked);
}

TEST(FenEditMouse, CtrlDuringADragSwitchesTheCursorAtOnce) {
  InputCtl c("abcd");
  SelectAb(c);
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  c.host.MouseMove(InputCtl::X(3), c.Y(0));
  EXPECT_EQ(crDragCur1, c.host.ShownCursor());
  c.host.Send(WM_KEYDOWN, VK_CONTROL, 1);  // the key state may lag behind its own message
  EXPECT_EQ(crDragCur2, c.host.ShownCursor());
  c.host.SetKeyDown(VK_CONTROL, true);
  c.host.KeyUp(VK_CONTROL);
  EXPECT_EQ(crDragCur1, c.host.ShownCursor());
  c.host.MouseUp(InputCtl::X(4) + 2, c.Y(0));
  EXPECT_EQ("cabd", c.Text());  // moved to the last drop mark: Ctrl was let go
}

TEST(FenEditMouse, AutoScrollWhileDraggingTextKeepsTheSelection) {
  InputCtl c(Lines(100));
  c.Click(2, c.Y(0));
  ASSERT_EQ("row0\r\n", c.Sel());
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  c.host.MouseMove(InputCtl::X(0), 479);
  EXPECT_EQ(1, c.e.AutoScrollDir());
  for (int i = 0; i < 40; ++i) c.host.FireTimer(TFenEdit::kAutoScrollTimer);
  EXPECT_EQ("row0\r\n", c.Sel());
  EXPECT_GT(c.e.TopRow(), 0);
  c.host.MouseMove(InputCtl::X(0), 400);  // back into the text: the drop mark follows
  EXPECT_EQ(0, c.e.AutoScrollDir());
  const TRow dropRow = c.Caret().Row;
  EXPECT_EQ(0, c.Caret().Byte);
  c.host.MouseUp(InputCtl::X(0), 400);
  std::string want = Lines(100).substr(6);
  size_t at = 0;
  for (TRow r = 0; r + 1 < dropRow; ++r) at = want.find("\r\n", at) + 2;
  want.insert(at, "row0\r\n");
  EXPECT_EQ(want, c.Text());
}
