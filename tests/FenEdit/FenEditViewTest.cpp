#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ViewFixture.h"

namespace {

TEST(FenEditViewProperties, SettersClampSilently) {
  TFenEdit e;
  e.SetTabCount(0);
  EXPECT_EQ(e.GetTabCount(), 1);
  e.SetTabCount(20);
  EXPECT_EQ(e.GetTabCount(), 8);
  e.SetLineNoColumn(0);
  EXPECT_EQ(e.GetLineNoColumn(), 1);
  e.SetLineNoColumn(9);
  EXPECT_EQ(e.GetLineNoColumn(), 5);
  e.SetTopMargin(-5);
  EXPECT_EQ(e.GetTopMargin(), 0);
  e.SetTopMargin(50);
  EXPECT_EQ(e.GetTopMargin(), 30);
  e.SetLeftMargin(-5);
  EXPECT_EQ(e.GetLeftMargin(), 0);
  e.SetLeftMargin(50);
  EXPECT_EQ(e.GetLeftMargin(), 30);
  e.SetLineSpace(250);
  EXPECT_EQ(e.GetLineSpace(), 100);
  e.SetLineSpace(-1);
  EXPECT_EQ(e.GetLineSpace(), 0);
}

TEST(FenEditViewProperties, DefaultsAndFrozenSystemColours) {
  TFenEdit e;
  EXPECT_EQ(e.GetTopMargin(), 4);
  EXPECT_EQ(e.GetLeftMargin(), 10);
  EXPECT_EQ(e.GetScrollStep(), 2);
  EXPECT_EQ(e.GetWheelStep(), 2);
  EXPECT_EQ(e.GetCREOFcolor(), RGB(0, 128, 128));
  EXPECT_EQ(e.GetURLColor(), RGB(0, 0, 255));
  EXPECT_EQ(e.GetInyoColor(), RGB(128, 128, 128));
  EXPECT_EQ(e.GetColor(), RGB(255, 255, 255));
  EXPECT_EQ(e.GetLineSpace(), 10);
  EXPECT_EQ(e.Version, "TFenEdit Ver1.28");
  EXPECT_EQ(e.Inyostr, ">");
  e.SetSelColor(clHighlight);
  EXPECT_EQ(e.GetSelColor(), RGB(10, 36, 106));
  TFenEdit::TFont f;
  f.Color = clWindowText;
  f.Height = -24;
  e.ParentFont = true;
  e.SetFont(f);
  EXPECT_EQ(e.GetFont().Color, RGB(0, 0, 0));
  EXPECT_FALSE(e.ParentFont);
}

TEST(FenEditViewGeometry, MetricsAfterCreation) {
  EditView v;
  EXPECT_EQ(v.edit->CharHeight(), 0);  // no window yet
  v.Create();
  TFenEdit& e = *v.edit;
  EXPECT_EQ(e.CharHeight(), 16);
  EXPECT_EQ(e.LineHeight(), 18);  // 16 + 10 % rounded
  EXPECT_EQ(e.TextLeft(), 10);
  EXPECT_EQ(e.VisibleRows(), (480 - 4) / 18);
  EXPECT_EQ(e.RowMargin(), 6);
  EXPECT_EQ(e.HorzStep(), 126);  // ceil(630 / 5)
  EXPECT_EQ(e.CaretMarginX(), 10);
  e.SetCurSetMode(false);
  EXPECT_EQ(e.CaretMarginX(), 126);
  e.SetLineSpace(100);
  EXPECT_EQ(e.LineHeight(), 32);
  e.SetLineSpaceUnit(TFenEdit::uPixel);
  EXPECT_EQ(e.LineHeight(), 116);
  EXPECT_EQ(e.VisibleRows(), 476 / 116);
}

TEST(FenEditViewGeometry, WindowStylesAndRecreate) {
  EditView v;
  v.edit->HorzScrollBar = true;
  v.edit->SetBorderStyle(TFenEdit::bsSingle);
  v.Create();
  EXPECT_EQ(v.host.Params().Style & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL);
  EXPECT_EQ(v.host.Params().ExStyle & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
  v.edit->SetText("abc\r\ndef");
  v.edit->ShowLineNumber = true;
  v.edit->VertScrollBar = false;
  v.edit->Recreate();
  EXPECT_EQ(v.edit->GetText(), "");
  EXPECT_EQ(v.host.Params().Style & WS_VSCROLL, 0u);
  EXPECT_EQ(v.edit->GutterWidth(), std::min(100, 8 * 5) + 7);
  EXPECT_EQ(v.edit->TextLeft(), 10 + 47);
  EXPECT_GE(v.host.WindowsCreated(), 2);
}

// ---- scroll ranges and placements -----------------------------------------------------------

TEST(FenEditViewScroll, HundredThousandRowsGetScaleFour) {
  EditView v;
  v.Create();
  v.edit->SetText(EditView::Rows(100000));
  EXPECT_EQ(v.edit->VScrollScale(), 4);
  const ScrollBarState& bar = v.host.Bar(SB_VERT);
  EXPECT_LE(bar.Max, 32767);
  EXPECT_EQ(bar.Max, (v.edit->MaxTopRow() + 3) / 4);
  EXPECT_TRUE(bar.Enabled);
  EXPECT_EQ(v.edit->MaxTopRow(), 100000 + 6 - 26 - 1);
}

TEST(FenEditViewScroll, ShortTextCannotScrollAndBarStaysVisibleDisabled) {
  EditView v(640, 4 + 20 * 18);
  v.Create();
  v.edit->SetText(EditView::Rows(5));
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_LINEDOWN), 0);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_BOTTOM), 0);
  EXPECT_EQ(v.edit->TopRow(), 0);
  EXPECT_FALSE(v.host.Bar(SB_VERT).Enabled);
  EXPECT_TRUE(v.host.Bar(SB_VERT).Visible);
}

TEST(FenEditViewScroll, ScrollCodes) {
  EditView v;
  v.Create();
  v.edit->SetText(EditView::Rows(1000));
  TFenEdit& e = *v.edit;
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_LINEDOWN), 1);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_PAGEDOWN), 476 / 18);
  EXPECT_EQ(e.TopRow(), 1 + 26);
  EXPECT_EQ(v.host.Bar(SB_VERT).Pos, 27);
  // Only the thumb while it moves scrolls; its release does not.
  EXPECT_EQ(v.host.Send(WM_VSCROLL, MakeLong(SB_THUMBPOSITION, 500)), 0);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 500)), 500 - 27);
  EXPECT_EQ(e.TopRow(), 500);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_BOTTOM), e.MaxTopRow() - 500);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_LINEDOWN), 0);
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_TOP), -e.MaxTopRow());
  EXPECT_EQ(v.host.Send(WM_VSCROLL, SB_LINEUP), 0);
  // The area below the top band is invalidated in one call.
  v.host.ClearRecords();
  v.host.Send(WM_VSCROLL, SB_LINEDOWN);
  ASSERT_EQ(v.host.Invalidations().size(), 1u);
  EXPECT_EQ(v.host.Invalidations()[0].Rect, (TRect{0, 4, 640, 480}));
}

TEST(FenEditViewScroll, ScrollingMovesTheCaretAlongUnlessFixed) {
  EditView v;
  v.Create();
  v.edit->SetText(EditView::Rows(1000));
  v.host.SetFocus();
  v.host.Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(v.edit->CaretRow(), 1);
  v.edit->CaretScrollFix = true;
  v.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 100));
  EXPECT_EQ(v.edit->TopRow(), 100);
  EXPECT_EQ(v.edit->CaretRow(), 1);
  // The caret is parked above the client when its row is out of view.
  EXPECT_LT(v.host.Caret().Y, 0);
  // Bringing it back (as the keys do first) scrolls to it.
  v.edit->GotoPos(v.edit->CaretByte(), v.edit->CaretRow(), TCaretPlacement::Minimal);
  EXPECT_EQ(v.edit->TopRow(), 0);
}

TEST(FenEditViewScroll, WheelNotchesAndSmallDeltasAddUp) {
  EditView v;
  v.Create();
  v.edit->SetText(EditView::Rows(1000));
  v.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 100));
  v.host.Wheel(-120);
  EXPECT_EQ(v.edit->TopRow(), 102);  // a notch down scrolls WheelStep rows
  v.host.Wheel(120);
  EXPECT_EQ(v.edit->TopRow(), 100);
  v.host.Wheel(-60);
  EXPECT_EQ(v.edit->TopRow(), 100);  // half a notch waits
  v.host.Wheel(-60);
  EXPECT_EQ(v.edit->TopRow(), 102);
  v.host.Wheel(-60);
  v.host.Wheel(30);  // a turn the other way drops what was waiting
  v.host.Wheel(-60);
  EXPECT_EQ(v.edit->TopRow(), 102);
  v.host.Wheel(-360);
  EXPECT_EQ(v.edit->TopRow(), 108);
}

TEST(FenEditViewPlacement, MinimalCentreUpperFifth) {
  EditView v;
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetText(EditView::Rows(1000));
  const int rows = e.VisibleRows(), k = rows - e.RowMargin();  // 26, 20
  EXPECT_TRUE(e.GotoPos(0, 500, TCaretPlacement::Minimal));
  EXPECT_EQ(e.TopRow(), 500 - k);
  EXPECT_FALSE(e.GotoPos(0, 500 - k + 3, TCaretPlacement::Minimal));  // visible: stays
  EXPECT_TRUE(e.GotoPos(0, 100, TCaretPlacement::Minimal));  // above: margin rows above it
  EXPECT_EQ(e.TopRow(), 100 - e.RowMargin() + 1);
  EXPECT_TRUE(e.GotoPos(0, 300, TCaretPlacement::Centre));
  EXPECT_EQ(e.TopRow(), 300 - rows / 2);
  EXPECT_TRUE(e.GotoPos(0, 600, TCaretPlacement::UpperFifth));
  EXPECT_EQ(e.TopRow(), 600 + static_cast<int>(0.8 * rows) - rows);
  // Centre near the end is limited so the text does not run out of the view.
  e.GotoPos(0, 999, TCaretPlacement::Centre);
  EXPECT_EQ(e.TopRow(), 1000 - k);
  EXPECT_EQ(e.CaretRow(), 999);
}

TEST(FenEditViewPlacement, HorizontalKeepsCaretInTheTextArea) {
  EditView v(200, 200);
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetWordWrap(false);
  e.SetText(std::string(100, 'a'));
  const int w = e.TextAreaWidth();  // 190
  e.GotoPos(60, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(e.CaretX(), w - e.HorzStep());
  EXPECT_EQ(e.HorzOffset(), 60 * 8 - (w - e.HorzStep()));
  e.GotoPos(0, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(e.HorzOffset(), 0);
  EXPECT_EQ(e.CaretX(), 0);
}

TEST(FenEditViewCaret, DownScrollsAtTheMarginAndAccelerates) {
  EditView v(640, 4 + 10 * 16);
  v.edit->SetLineSpace(0);
  v.Create();
  TFenEdit& e = *v.edit;
  ASSERT_EQ(e.VisibleRows(), 10);
  ASSERT_EQ(e.RowMargin(), 2);
  e.SetText(EditView::Rows(200));
  v.host.SetFocus();
  for (int i = 0; i < 8; ++i) e.CaretUpDown(1);
  EXPECT_EQ(e.CaretRow(), 8);
  EXPECT_EQ(e.TopRow(), 0);
  std::vector<int> tops;
  for (int i = 0; i < 7; ++i) {
    e.CaretUpDown(1);
    tops.push_back(e.TopRow());
  }
  // Four single rows, then ScrollStep rows from the fifth scroll on.
  EXPECT_EQ(tops, (std::vector<int>{1, 2, 3, 4, 6, 8, 10}));
  EXPECT_EQ(e.CaretRow() - e.TopRow(), 8);
  e.ResetKeyRepeat();  // the key was released
  e.CaretUpDown(1);
  EXPECT_EQ(e.TopRow(), 11);
  // Up in the top margin scrolls back; at the top of the text the caret just moves.
  e.GotoPos(0, 1, TCaretPlacement::Minimal);
  e.CaretUpDown(-1);
  EXPECT_EQ(e.CaretRow(), 0);
  EXPECT_EQ(e.TopRow(), 0);
}

TEST(FenEditViewCaret, VerticalMoveKeepsTheRememberedPixelColumn) {
  EditView v;
  v.Create();
  TFenEdit& e = *v.edit;
  // Row 1 has double-byte characters: column 5 lies inside one of them.
  e.SetText("abcdefgh\r\n\x82\xA0\x82\xA0\x82\xA0\r\nabcdefgh");
  e.GotoPos(5, 0, TCaretPlacement::Minimal);
  e.MoveCaretVert(1);
  EXPECT_EQ(e.CaretRow(), 1);
  EXPECT_EQ(e.CaretByte(), 4);  // x 40 lies at the middle of the third cell: nearest boundary
  EXPECT_EQ(e.CaretX(), 32);
  e.MoveCaretVert(1);
  EXPECT_EQ(e.CaretByte(), 5);  // back to the remembered column
  e.MoveCaretVert(1);           // no row below: nothing
  EXPECT_EQ(e.CaretRow(), 2);
}

TEST(FenEditViewCaret, RowHitTestRoundsToTheNearestBoundary) {
  EditView v;
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetText("a\x82\xA0\tb\r\n");
  int x = 0;
  EXPECT_EQ(e.RowHitTest(0, 0, x), 0);
  EXPECT_EQ(e.RowHitTest(0, 4, x), 0);
  EXPECT_EQ(e.RowHitTest(0, 5, x), 1);
  EXPECT_EQ(x, 8);
  EXPECT_EQ(e.RowHitTest(0, 16, x), 1);  // left half of the double-width character
  EXPECT_EQ(e.RowHitTest(0, 17, x), 3);  // right half: after both bytes
  EXPECT_EQ(x, 24);
  // The tab runs from column 3 to 6: 24..48 px.
  EXPECT_EQ(e.RowHitTest(0, 36, x), 3);
  EXPECT_EQ(e.RowHitTest(0, 37, x), 4);
  EXPECT_EQ(x, 48);
  EXPECT_EQ(e.RowHitTest(0, 1000, x), 5);  // past the end: before CR LF
  EXPECT_EQ(x, 56);
}

TEST(FenEditViewCaret, PlacementNotifiesOnlyOnChangeAndMovesTheCompositionWindow) {
  EditView v;
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetText("abc\r\ndef");
  int moves = 0, selChanges = 0;
  e.OnMoveCaret = [&](TObject*) { ++moves; };
  e.OnSelectionChange = [&](TObject*) { ++selChanges; };
  v.host.SetFocus();
  EXPECT_TRUE(v.host.Caret().Exists);
  EXPECT_EQ(v.host.Caret().Width, 2);
  EXPECT_EQ(v.host.Caret().Height, 16);
  EXPECT_EQ(v.host.Timers().count(1u), 1u);
  moves = selChanges = 0;
  e.GotoPos(2, 1, TCaretPlacement::Minimal);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(selChanges, 1);
  EXPECT_EQ(v.host.Caret().X, 10 + 16);
  EXPECT_EQ(v.host.Caret().Y, 4 + 18);
  EXPECT_EQ(v.host.CompositionWindow(), (TPoint{26, 22}));
  e.GotoPos(2, 1, TCaretPlacement::Minimal);
  EXPECT_EQ(moves, 1);
  v.host.KillFocus();
  EXPECT_FALSE(v.host.Caret().Exists);
  EXPECT_EQ(v.host.Timers().count(1u), 0u);
}

TEST(FenEditViewSize, AutoWrapRewrapsOnResize) {
  EditView v(640, 200);
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetAutoWrap(true);
  e.SetText(std::string(60, 'x'));
  EXPECT_EQ(e.GetStore().Count(), 1);
  v.host.SetClientSize(10 + 200, 200);  // 25 columns of 8 px
  EXPECT_EQ(e.GetStore().Count(), 3);
  EXPECT_EQ(e.GetStore().Get(0), std::string(25, 'x'));
  v.host.SetClientSize(640, 200);
  EXPECT_EQ(e.GetStore().Count(), 1);
  EXPECT_EQ(e.GetText(), std::string(60, 'x'));
}

}  // namespace

namespace {

TEST(FenEditViewScroll, HorizontalScrollMovesPixelsAndRedrawsTheRuler) {
  EditView v(200, 200);
  v.edit->HorzScrollBar = true;
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetWordWrap(false);
  e.SetText(std::string(100, 'a') + "\r\nb");
  int rulers = 0;
  e.OnUserDraw = [&](TObject*, int, int, int, int) { ++rulers; };
  v.host.SetFocus();
  v.host.ClearRecords();
  const int step = e.HorzStep();
  EXPECT_EQ(v.host.Send(WM_HSCROLL, SB_LINERIGHT), step);
  EXPECT_EQ(e.HorzOffset(), step);
  EXPECT_EQ(e.CaretX(), -step);
  ASSERT_EQ(v.host.Scrolls().size(), 1u);
  EXPECT_EQ(v.host.Scrolls()[0].Dx, -step);
  EXPECT_EQ(v.host.Scrolls()[0].Rect, (TRect{10, 0, 200, 200}));  // the gutter stays
  EXPECT_EQ(rulers, 1);
  EXPECT_EQ(v.host.Caret().X, -5);  // parked left of the client
  // Left is limited to the offset; right to the widest row less a step.
  EXPECT_EQ(v.host.Send(WM_HSCROLL, SB_PAGELEFT), -step);
  EXPECT_EQ(v.host.Send(WM_HSCROLL, SB_LINELEFT), 0);
  EXPECT_EQ(v.host.Send(WM_HSCROLL, MakeLong(SB_THUMBTRACK, 5000)), 800 - step);
  EXPECT_EQ(v.host.Send(WM_HSCROLL, SB_LINERIGHT), 0);
  // A caret moved right past the margin pulls the view along.
  e.GotoPos(0, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(e.HorzOffset(), 0);
  e.GotoPos(23, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(e.HorzOffset(), 0);
  e.KeepCaretRight(false);
  EXPECT_GE(e.TextAreaWidth() - e.CaretX() - e.CaretMarginX(), 0);
  EXPECT_EQ(e.HorzOffset(), step);
}

TEST(FenEditViewCaret, ShiftMovesRepaintOnlyTheStretchBetweenOldAndNewCaret) {
  EditView v;
  v.Create();
  TFenEdit& e = *v.edit;
  e.SetText(EditView::Rows(20));
  e.GotoPos(1, 3, TCaretPlacement::Minimal);
  v.host.SetFocus();
  v.host.SetKeyDown(VK_SHIFT, true);
  v.host.ClearRecords();
  e.MoveCaretVert(1);
  EXPECT_TRUE(e.IsSelected());
  EXPECT_EQ(e.GetSelText(), "ow3\r\nr");
  std::vector<int> bands;
  for (const DrawCall* c : v.host.Canvas().TextCalls())
    if (std::find(bands.begin(), bands.end(), c->y) == bands.end()) bands.push_back(c->y);
  EXPECT_EQ(bands, (std::vector<int>{4 + 3 * 18, 4 + 4 * 18}));
  v.host.ClearRecords();
  e.MoveCaretVert(1);
  for (const DrawCall* c : v.host.Canvas().TextCalls()) EXPECT_GE(c->y, 4 + 4 * 18);
  EXPECT_EQ(e.GetSelText(), "ow3\r\nrow4\r\nr");
  v.host.SetKeyDown(VK_SHIFT, false);
  e.MoveCaretVert(-1);
  EXPECT_FALSE(e.IsSelected());
  EXPECT_EQ(e.Caret(), (TRowPos{1, 4}));
}

}  // namespace
