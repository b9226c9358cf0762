#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/CustomControl.h"
#include "platform/headless/HeadlessWindowHost.h"

namespace {

// Writes down what reaches it, in order, as short words.
class Probe : public TCustomControl {
 public:
  std::vector<std::string> log;
  TCreateParams wanted;
  bool acceptDrop = true;
  bool dragOnPress = false;
  TRect clipSeenInPaint;

  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_CREATE:
        log.push_back("create");
        break;
      case WM_DESTROY:
        log.push_back("destroy");
        break;
      case WM_SIZE:
        log.push_back("size " + std::to_string(LoWord(static_cast<std::uintptr_t>(m.LParam))) +
                      "x" + std::to_string(HiWord(static_cast<std::uintptr_t>(m.LParam))));
        break;
      case WM_SETFOCUS:
        log.push_back("setfocus");
        break;
      case WM_KILLFOCUS:
        log.push_back("killfocus");
        break;
      case WM_ERASEBKGND:
        log.push_back("erase");
        break;
      case WM_TIMER:
        log.push_back("timer " + std::to_string(m.WParam));
        break;
      case WM_IME_STARTCOMPOSITION:
        log.push_back("imestart");
        break;
      case WM_IME_ENDCOMPOSITION:
        log.push_back("imeend");
        break;
      case WM_IME_COMPOSITION:
        log.push_back("ime " + std::to_string(m.LParam) + " " +
                      static_cast<HeadlessWindowHost*>(Host())->GetCompositionString(
                          static_cast<unsigned>(m.LParam)));
        break;
      case WM_MOUSEWHEEL:
        log.push_back("wheel " + std::to_string(HiShort(m.WParam)));
        break;
      default:
        break;
    }
    TCustomControl::WndProc(m);
    if (m.Msg == WM_KEYDOWN) log.push_back("keydown " + std::to_string(m.WParam));
    if (m.Msg == WM_CHAR) log.push_back("char " + std::to_string(m.WParam));
  }
  void Paint() override {
    log.push_back("paint");
    // What the paint can reach: the clip the host set, seen through the recorded fill.
    Canvas()->FillRect(TRect{-1000, -1000, 1000, 1000}, clRed);
    clipSeenInPaint = static_cast<HeadlessSurface*>(Canvas())->Calls().back().clip;
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    log.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(s) + " " +
                  std::to_string(x) + "," + std::to_string(y));
    if (dragOnPress) BeginDrag(true);
    TCustomControl::MouseDown(b, s, x, y);
  }
  void MouseMove(TShiftState, int x, int y) override {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton, TShiftState, int x, int y) override {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void Click() override { log.push_back("click"); }
  void DblClick() override { log.push_back("dblclick"); }
  void DoStartDrag() override { log.push_back("startdrag"); }
  void DragOver(TObject* source, int x, int y, bool& accept) override {
    accept = acceptDrop && source == this;
    log.push_back("over " + std::to_string(x) + "," + std::to_string(y));
  }
  void DragDrop(TObject*, int x, int y) override {
    log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  }
  void DoEndDrag(TObject* target, int, int) override {
    log.push_back(target == this ? "enddrag self" : "enddrag none");
  }

 protected:
  void CreateParams(TCreateParams& p) override { p = wanted; }
};

struct Fixture : testing::Test {
  HeadlessWindowHost host{320, 200};
  Probe control;
  void SetUp() override {
    control.wanted.Style = WS_VSCROLL;
    host.Attach(&control);
  }
  void Create() {
    control.CreateHandle();
    control.log.clear();
  }
};

using Lifetime = Fixture;
using Painting = Fixture;
using Input = Fixture;
using Dragging = Fixture;

TEST_F(Lifetime, CreationAppliesStylesThenCreateAndSize) {
  EXPECT_FALSE(control.HandleAllocated());
  control.Invalidate();  // no window: nothing happens
  control.CreateHandle();
  EXPECT_TRUE(control.HandleAllocated());
  EXPECT_NE(0u, control.Handle());
  EXPECT_EQ((std::vector<std::string>{"create", "size 320x200"}), control.log);
  EXPECT_TRUE(host.Bar(SB_VERT).Exists);
  EXPECT_TRUE(host.Bar(SB_VERT).Visible);
  EXPECT_FALSE(host.Bar(SB_HORZ).Exists);
  EXPECT_EQ(320, control.ClientWidth());
  EXPECT_EQ(320 + 16, control.Width());  // the vertical bar is outside the client
  EXPECT_EQ(200, control.Height());
}

TEST_F(Lifetime, RecreatingAFocusedWindowGivesTheFocusBack) {
  Create();
  control.SetFocus();
  host.SetTimer(1, 40);
  host.CreateCaret(2, 16);
  control.SetMouseCapture(true);
  control.wanted.Style = WS_VSCROLL | WS_HSCROLL;
  control.RecreateWnd();
  EXPECT_EQ((std::vector<std::string>{"setfocus", "killfocus", "destroy", "create", "size 320x200",
                                      "setfocus"}),
            control.log);
  EXPECT_EQ(2, host.WindowsCreated());
  EXPECT_TRUE(host.Bar(SB_HORZ).Exists);
  // What belonged to the old window is gone with it.
  EXPECT_TRUE(host.Timers().empty());
  EXPECT_FALSE(host.Caret().Exists);
  EXPECT_FALSE(host.HasCapture());
  EXPECT_FALSE(control.MouseCapture());
}

TEST_F(Lifetime, SizeChangesReachTheControl) {
  Create();
  host.SetClientSize(100, 50);
  EXPECT_EQ((std::vector<std::string>{"size 100x50"}), control.log);
  EXPECT_EQ(100, control.ClientWidth());
  EXPECT_EQ((TRect{0, 0, 100, 50}), host.InvalidRect());
}

TEST_F(Painting, InvalidAreasAddUpAndOnePaintClipsToThem) {
  Create();
  control.InvalidateRect(TRect{10, 10, 20, 20}, false);
  control.InvalidateRect(TRect{30, 5, 40, 15}, false);
  EXPECT_EQ((TRect{10, 5, 40, 20}), host.InvalidRect());
  EXPECT_TRUE(control.log.empty());  // painting waits until asked
  control.Update();
  EXPECT_EQ((std::vector<std::string>{"paint"}), control.log);
  EXPECT_EQ((TRect{10, 5, 40, 20}), control.clipSeenInPaint);
  control.Update();  // nothing invalid any more
  EXPECT_EQ(1, host.Paints());
  // Outside a paint the control draws unclipped.
  control.Canvas()->FillRect(TRect{0, 0, 1, 1}, clRed);
  EXPECT_TRUE(host.Canvas().Calls().back().clip.IsEmpty());
}

TEST_F(Painting, EraseIsAskedForWhenAnyInvalidationWantedIt) {
  Create();
  control.InvalidateRect(TRect{0, 0, 5, 5}, false);
  control.InvalidateRect(TRect{500, 500, 600, 600}, true);  // outside the client: ignored
  control.Update();
  EXPECT_EQ((std::vector<std::string>{"paint"}), control.log);
  control.log.clear();
  control.Repaint();
  EXPECT_EQ((std::vector<std::string>{"erase", "paint"}), control.log);
  EXPECT_EQ((TRect{0, 0, 320, 200}), control.clipSeenInPaint);
}

TEST(ScrollUncovered, StripsByDirection) {
  TRect r{10, 20, 110, 220};
  TRect out[2];
  ASSERT_EQ(1, ScrollUncovered(r, -8, 0, out));
  EXPECT_EQ((TRect{102, 20, 110, 220}), out[0]);
  ASSERT_EQ(1, ScrollUncovered(r, 8, 0, out));
  EXPECT_EQ((TRect{10, 20, 18, 220}), out[0]);
  ASSERT_EQ(1, ScrollUncovered(r, 0, 16, out));
  EXPECT_EQ((TRect{10, 20, 110, 36}), out[0]);
  ASSERT_EQ(1, ScrollUncovered(r, 0, -16, out));
  EXPECT_EQ((TRect{10, 204, 110, 220}), out[0]);
  ASSERT_EQ(2, ScrollUncovered(r, 4, -4, out));
  EXPECT_EQ((TRect{10, 20, 14, 220}), out[0]);
  EXPECT_EQ((TRect{10, 216, 110, 220}), out[1]);
  ASSERT_EQ(1, ScrollUncovered(r, -100, 0, out));  // everything moved out
  EXPECT_EQ(r, out[0]);
  EXPECT_EQ(0, ScrollUncovered(r, 0, 0, out));
}

TEST_F(Painting, ScrollWindowInvalidatesOnlyTheUncoveredStrip) {
  Create();
  TRect area{50, 4, 400, 200};  // reaches past the client: cut to it
  host.ScrollWindow(-30, 0, &area);
  ASSERT_EQ(1u, host.Scrolls().size());
  EXPECT_EQ((TRect{50, 4, 320, 200}), host.Scrolls()[0].Rect);
  EXPECT_EQ(-30, host.Scrolls()[0].Dx);
  EXPECT_EQ((TRect{290, 4, 320, 200}), host.InvalidRect());
  host.PaintPending();
  EXPECT_EQ((TRect{290, 4, 320, 200}), control.clipSeenInPaint);
}

TEST_F(Input, CaretHidesCountUpAndShowsCountDown) {
  Create();
  EXPECT_FALSE(host.ShowCaret());  // no caret yet
  ASSERT_TRUE(host.CreateCaret(2, 16));
  EXPECT_FALSE(host.Caret().Visible());  // a new caret starts hidden
  host.SetCaretPos(-5, 40);
  host.ShowCaret();
  EXPECT_TRUE(host.Caret().Visible());
  host.HideCaret();
  host.HideCaret();
  host.ShowCaret();
  EXPECT_FALSE(host.Caret().Visible());
  host.ShowCaret();
  host.ShowCaret();  // more shows than hides change nothing
  EXPECT_TRUE(host.Caret().Visible());
  host.HideCaret();
  EXPECT_FALSE(host.Caret().Visible());
  EXPECT_EQ(-5, host.Caret().X);
  EXPECT_EQ(40, host.Caret().Y);
  host.DestroyCaret();
  EXPECT_FALSE(host.HideCaret());
}

TEST_F(Input, ScrollBarPositionsStayInTheirRange) {
  Create();
  host.SetScrollRange(SB_VERT, 0, 10, true);
  host.SetScrollPos(SB_VERT, 25, true);
  EXPECT_EQ(10, host.GetScrollPos(SB_VERT));
  host.SetScrollRange(SB_VERT, 0, 4, false);
  EXPECT_EQ(4, host.GetScrollPos(SB_VERT));
  host.SetScrollPos(SB_VERT, -3, false);
  EXPECT_EQ(0, host.GetScrollPos(SB_VERT));
  EXPECT_EQ(2, host.Bar(SB_VERT).Redraws);
  host.EnableScrollBar(SB_VERT, false);
  host.ShowScrollBar(SB_VERT, true);
  EXPECT_FALSE(host.Bar(SB_VERT).Enabled);
  EXPECT_TRUE(host.Bar(SB_VERT).Visible);
}

TEST_F(Input, FocusAndTimersComeAsMessages) {
  Create();
  control.SetFocus();
  control.SetFocus();  // already focused: no second message
  EXPECT_TRUE(control.Focused());
  EXPECT_FALSE(host.FireTimer(1));
  host.SetTimer(1, 40);
  EXPECT_EQ(40u, host.Timers().at(1));
  EXPECT_TRUE(host.FireTimer(1));
  host.KillTimer(1);
  EXPECT_FALSE(host.FireTimer(1));
  host.KillFocus();
  EXPECT_FALSE(control.Focused());
  EXPECT_EQ((std::vector<std::string>{"setfocus", "timer 1", "killfocus"}), control.log);
}

TEST_F(Input, MousePressMoveReleaseAndDoubleClick) {
  Create();
  host.SetKeyDown(VK_SHIFT, true);
  host.MouseDown(-3, 700);  // coordinates past the edges survive packing with their sign
  EXPECT_TRUE(host.HasCapture());
  host.MouseMove(5, 6);
  host.MouseUp(5, 6);
  EXPECT_FALSE(host.HasCapture());
  host.SetKeyDown(VK_SHIFT, false);
  host.DoubleClick(7, 8);
  host.MouseUp(7, 8);
  host.Send(WM_RBUTTONDOWN, MK_RBUTTON, MakeLong(1, 2));
  const std::string leftShift = std::to_string(ssShift | ssLeft);
  EXPECT_EQ(
      (std::vector<std::string>{"down 0 " + leftShift + " -3,700", "move 5,6", "click", "up 5,6",
                                "dblclick", "down 0 " + std::to_string(ssLeft | ssDouble) + " 7,8",
                                "up 7,8", "down 1 " + std::to_string(ssRight) + " 1,2"}),
      control.log);
}

TEST_F(Input, AReleaseOutsideTheClientIsNoClick) {
  Create();
  host.MouseDown(5, 5);
  host.MouseUp(500, 5);
  EXPECT_EQ((std::vector<std::string>{"down 0 " + std::to_string(ssLeft) + " 5,5", "up 500,5"}),
            control.log);
}

TEST_F(Input, KeyHandlersCanChangeOrSwallowWhatTheControlSees) {
  Create();
  control.OnKeyDown = [](TObject*, unsigned& key, TShiftState shift) {
    if (key == VK_RETURN && (shift & ssCtrl)) key = 0;
  };
  control.OnKeyPress = [](TObject*, char& c) {
    if (c == 'a') c = 'b';
  };
  host.KeyDown(VK_RETURN);
  host.SetKeyDown(VK_CONTROL, true);
  host.KeyDown(VK_RETURN);
  host.Char('a');
  EXPECT_EQ((std::vector<std::string>{"keydown 13", "keydown 0", "char 98"}), control.log);
  EXPECT_EQ(ssCtrl, control.KeyboardShiftState());
  EXPECT_GT(0, host.GetKeyState(VK_CONTROL));
  host.SetKeyToggled(VK_CAPITAL, true);
  EXPECT_EQ(1, host.GetKeyState(VK_CAPITAL));
}

TEST_F(Input, CompositionStringsAreReadableOnlyDuringTheirMessage) {
  Create();
  host.Compose("\x82\xc9", "\x93\xfa");  // に, then 日
  EXPECT_EQ((std::vector<std::string>{"imestart", "ime 8 \x82\xc9", "ime 2048 \x93\xfa", "imeend"}),
            control.log);
  EXPECT_EQ("", host.GetCompositionString(GCS_RESULTSTR));
}

TEST_F(Input, WheelDeltaKeepsItsSign) {
  Create();
  host.Wheel(-60);
  host.Wheel(240);
  EXPECT_EQ((std::vector<std::string>{"wheel -60", "wheel 240"}), control.log);
}

TEST_F(Input, ContextMenuPopsUpAtThePointOrAtTheClientOrigin) {
  struct Menu : TPopupMenu {
    std::vector<TPoint> at;
    void Popup(int x, int y) override { at.push_back(TPoint{x, y}); }
  } menu;
  Create();
  control.Perform(WM_CONTEXTMENU, 0, MakeLong(300, 400));  // no menu: nothing
  control.PopupMenu = &menu;
  control.Perform(WM_CONTEXTMENU, 0, MakeLong(300, 400));
  control.Perform(WM_CONTEXTMENU, 0, -1);  // from the keyboard
  EXPECT_EQ((std::vector<TPoint>{{300, 400}, host.ClientToScreen(TPoint{0, 0})}), menu.at);
}

TEST_F(Dragging, ADropOnItselfRunsOverDropAndEnd) {
  Create();
  control.DragCursor = crDragCur1;
  control.SetCursor(crIBeam);
  control.dragOnPress = true;
  host.MouseDown(10, 10);
  EXPECT_TRUE(control.Dragging());
  EXPECT_EQ(crDragCur1, host.ShownCursor());
  control.SetDragCursor(crDragCur2);  // Ctrl went down: copy
  EXPECT_EQ(crDragCur2, host.ShownCursor());
  host.MouseMove(20, 30);
  EXPECT_EQ(crDragCur2, host.ShownCursor());
  host.MouseUp(20, 30);
  EXPECT_FALSE(control.Dragging());
  EXPECT_EQ(crIBeam, host.ShownCursor());
  control.SetDragCursor(crDragCur1);  // no drag: nothing shown changes
  EXPECT_EQ(crIBeam, host.ShownCursor());
  EXPECT_FALSE(host.HasCapture());
  // No move or release steps while dragging: the drag has them.
  EXPECT_EQ((std::vector<std::string>{"down 0 " + std::to_string(ssLeft) + " 10,10", "startdrag",
                                      "over 10,10", "over 20,30", "drop 20,30", "enddrag self"}),
            control.log);
}

TEST_F(Dragging, RefusedDropOrEscapeEndsWithoutDrop) {
  Create();
  control.dragOnPress = true;
  control.acceptDrop = false;
  host.MouseDown(10, 10);
  EXPECT_EQ(crNoDrop, host.ShownCursor());
  host.MouseUp(12, 10);
  EXPECT_EQ("enddrag none", control.log.back());
  EXPECT_EQ(0, std::count(control.log.begin(), control.log.end(), "drop 12,10"));

  control.acceptDrop = true;
  control.log.clear();
  host.MouseDown(10, 10);
  host.KeyDown(VK_ESCAPE);
  EXPECT_FALSE(control.Dragging());
  // The drag took the Esc: the control sees the key as 0.
  ASSERT_LE(2u, control.log.size());
  EXPECT_EQ("enddrag none", control.log[control.log.size() - 2]);
  EXPECT_EQ("keydown 0", control.log.back());
  host.MouseUp(10, 10);  // the release after a cancel is a plain release
  EXPECT_EQ("up 10,10", control.log.back());
}

TEST_F(Dragging, ADeferredDragStartsAfterFivePixels) {
  Create();
  host.MouseDown(10, 10);
  control.BeginDrag(false);
  host.MouseMove(13, 13);
  EXPECT_FALSE(control.Dragging());
  host.MouseMove(15, 10);
  EXPECT_TRUE(control.Dragging());
  host.MouseUp(15, 10);
  EXPECT_EQ((std::vector<std::string>{"down 0 " + std::to_string(ssLeft) + " 10,10", "move 13,13",
                                      "startdrag", "over 15,10", "drop 15,10", "enddrag self"}),
            control.log);
}

}  // namespace
