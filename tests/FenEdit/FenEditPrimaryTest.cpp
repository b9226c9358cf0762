// The X11 PRIMARY selection: a mouse selection offers itself, a middle click pastes it.
#include <gtest/gtest.h>

#include "FenEditInputFixture.h"
#include "platform/Clipboard.h"

namespace {

LPARAM Point(int x, int y) {
  return static_cast<LPARAM>((static_cast<unsigned>(y) & 0xFFFF) << 16 |
                             (static_cast<unsigned>(x) & 0xFFFF));
}

void MiddleClick(InputCtl& c, int x, int y) {
  c.host.Send(WM_MBUTTONDOWN, MK_MBUTTON, Point(x, y));
  c.host.Send(WM_MBUTTONUP, 0, Point(x, y));
}

// Own memory clipboards, so that nothing of other tests is seen.
struct Boards {
  MemoryClipboard clipboard, primary;
  Clipboard* oldClipboard = SetCurrentClipboard(&clipboard);
  Clipboard* oldPrimary = SetCurrentPrimary(&primary);
  ~Boards() {
    SetCurrentClipboard(oldClipboard);
    SetCurrentPrimary(oldPrimary);
  }
};

}  // namespace

TEST(FenEditPrimary, MouseSelectionSetsPrimaryButNotTheClipboard) {
  Boards b;
  InputCtl c("abcdef\r\nghijkl");
  c.host.MouseDown(InputCtl::X(1), c.Y(0));
  c.host.MouseMove(InputCtl::X(3), c.Y(1));
  c.host.MouseUp(InputCtl::X(3), c.Y(1));
  EXPECT_EQ("bcdef\r\nghi", b.primary.GetText());
  EXPECT_FALSE(b.clipboard.HasText());
  // A plain click selects nothing and leaves PRIMARY as it was.
  c.Click(InputCtl::X(0), c.Y(0));
  EXPECT_EQ("bcdef\r\nghi", b.primary.GetText());
  // Selecting with the keys is not a mouse selection.
  c.Keys(VK_RIGHT, 2, {VK_SHIFT});
  EXPECT_EQ("bcdef\r\nghi", b.primary.GetText());
}

TEST(FenEditPrimary, MiddleClickPastesPrimaryAtThePointWithUndo) {
  Boards b;
  b.primary.SetText("XY\r\nZ");
  b.clipboard.SetText("clip");
  InputCtl c("abcdef\r\nghijkl");
  // A selection elsewhere stays in the text: the paste goes where the click is.
  c.Key(VK_HOME, {VK_CONTROL});
  c.Keys(VK_RIGHT, 2, {VK_SHIFT});
  MiddleClick(c, InputCtl::X(2), c.Y(1));
  EXPECT_EQ("abcdef\r\nghXY\r\nZijkl", c.e.GetText());
  EXPECT_EQ((TRowPos{1, 2}), c.Caret());
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ("clip", b.clipboard.GetText());
  c.e.Undo();
  EXPECT_EQ("abcdef\r\nghijkl", c.e.GetText());
}

TEST(FenEditPrimary, MiddleClickDoesNothingWhenReadOnlyOrEmpty) {
  Boards b;
  InputCtl c("abc");
  MiddleClick(c, InputCtl::X(1), c.Y(0));  // PRIMARY empty
  EXPECT_EQ("abc", c.e.GetText());
  b.primary.SetText("X");
  c.e.ReadOnly = true;
  MiddleClick(c, InputCtl::X(1), c.Y(0));
  EXPECT_EQ("abc", c.e.GetText());
}
