#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ViewFixture.h"

namespace {

constexpr TColor kTeal = RGB(0, 128, 128);
constexpr TColor kGrey = RGB(128, 128, 128);
constexpr TColor kBlue = RGB(0, 0, 255);
constexpr TColor kWhite = RGB(255, 255, 255);
constexpr TColor kBlack = RGB(0, 0, 0);

// Band top of row r with the default geometry (top margin 4, row height 18).
int Top(int r) { return 4 + 18 * r; }

struct Painted : EditView {
  Painted() { Create(); }
  HeadlessSurface& S() { return host.Canvas(); }
  // The last text call drawn on a band with the given text.
  const DrawCall* TextOn(int row, const std::string& text, bool underline = false) {
    const DrawCall* found = nullptr;
    for (const DrawCall* c : S().TextCalls())
      if (c->y == Top(row) && c->text == text && c->font.Underline == underline) found = c;
    return found;
  }
  std::vector<const DrawCall*> Underlined(int row) {
    std::vector<const DrawCall*> out;
    for (const DrawCall* c : S().TextCalls())
      if (c->y == Top(row) && c->font.Underline) out.push_back(c);
    return out;
  }
};

TEST(FenEditPaint, PlainRowsMarksAndEndOfText) {
  Painted v;
  v.edit->SetText("abc\r\ndef");
  EXPECT_EQ(v.S().ColorAt(10 + 4, Top(0) + 8), kBlack);
  EXPECT_EQ(v.S().TextAt(10 + 9, Top(0) + 8)->ch, "b");
  // The line-break arrow: a stem 4 px after the text, from 0.2 to 0.8 of the cell.
  const int ax = 10 + 24 + 4;
  EXPECT_EQ(v.S().ColorAt(ax, Top(0) + 3), kTeal);
  EXPECT_EQ(v.S().ColorAt(ax, Top(0) + 12), kTeal);
  EXPECT_EQ(v.S().ColorAt(ax - 2, Top(0) + 13 - 2), kTeal);  // the two head strokes
  EXPECT_EQ(v.S().ColorAt(ax + 2, Top(0) + 13 - 2), kTeal);
  EXPECT_EQ(v.S().ColorAt(ax, Top(0) + 1), kWhite);
  // "[EOF]" right after the last row's text.
  const DrawCall* eof = v.TextOn(1, "[EOF]");
  ASSERT_NE(eof, nullptr);
  EXPECT_EQ(eof->x, 10 + 24);
  EXPECT_EQ(eof->color, kTeal);
  // Without the marks neither is drawn.
  v.edit->ShowCR = false;
  v.edit->ShowEOF = false;
  v.host.ClearRecords();
  v.edit->RedrawRows(0, 1);
  EXPECT_EQ(v.S().FindText("[EOF]").size(), 0u);
  EXPECT_EQ(v.S().ColorAt(ax, Top(0) + 5), kWhite);
}

TEST(FenEditPaint, QuotedLinesAcrossWrappedRows) {
  Painted v;
  v.edit->SetColumn(10);
  v.edit->SetText(">abcdefghijklmnopqrstuvwxyz\r\n\x81\x40quoted?\r\nplain");
  ASSERT_EQ(v.edit->GetStore().Count(), 5);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(v.S().ColorAt(10 + 12, Top(r) + 8), kGrey) << r;
  EXPECT_EQ(v.S().ColorAt(10 + 20, Top(3) + 8), kBlack);
  v.edit->Inyostr = ">\x81\x40";
  v.edit->RedrawRows(0, 4);
  EXPECT_EQ(v.S().ColorAt(10 + 20, Top(3) + 8), kGrey);
  v.edit->ColorPrintF = false;
  v.edit->RedrawRows(0, 4);
  EXPECT_EQ(v.S().ColorAt(10 + 12, Top(1) + 8), kBlack);
}

// Rows far down a long wrapped line take its quote colour, and the next line its own, in full
// and partial repaints.
TEST(FenEditPaint, QuoteColourOfRowsFarIntoALongLine) {
  Painted v;
  v.edit->SetColumn(10);
  v.edit->SetText(">" + std::string(1998, 'a') + "\r\nplain\r\n>q\r\n" + std::string(989, 'b') +
                  "\r\n>r");
  const TRow plain = 200, quoted = 201, longPlain = 202, lastQuoted = 301;
  ASSERT_EQ(v.edit->GetStore().Get(plain), "plain\r\n");
  ASSERT_EQ(v.edit->GetStore().Get(lastQuoted).substr(0, 2), ">r");
  v.edit->GotoPos(0, quoted, TCaretPlacement::Minimal);
  v.edit->RedrawRows(0, lastQuoted);
  const TRow top = v.edit->TopRow();
  ASSERT_GT(top, 64);  // beyond a short walk up from the line start
  auto colourOf = [&](TRow r) { return v.S().ColorAt(10 + 12, Top(r - v.edit->TopRow()) + 8); };
  for (TRow r = top; r < plain; ++r) EXPECT_EQ(colourOf(r), kGrey) << r;
  EXPECT_EQ(colourOf(plain), kBlack);
  EXPECT_EQ(colourOf(quoted), kGrey);
  v.edit->GotoPos(5, top + 2, TCaretPlacement::Minimal);
  v.edit->TypeText("z");
  ASSERT_EQ(v.edit->TopRow(), top);
  EXPECT_EQ(colourOf(top + 2), kGrey);
  const TRow last = v.edit->GetStore().Count() - 1;  // the typed byte made a row more
  v.edit->GotoPos(0, last, TCaretPlacement::Minimal);
  v.edit->RedrawRows(0, last);
  ASSERT_GT(v.edit->TopRow(), longPlain + 64);
  for (TRow r = v.edit->TopRow(); r < last; ++r) EXPECT_EQ(colourOf(r), kBlack) << r;
  EXPECT_EQ(colourOf(last), kGrey);
}

TEST(FenEditPaint, LinksUnderlinedInTheirColumnsAndAcrossWrappedRows) {
  Painted v;
  v.edit->SetColumn(30);
  v.edit->SetText(
      "see HTTP://ex.com/a b\r\n"                     // row 0: capitals count
      "x http://abcdefghijklmnopqrstuvwxyz12345\r\n"  // rows 1, 2: the link continues
      "\r\n"                                          // row 3: empty line
      "qrs http:/ /no tag:a.b/c");                   // row 4
  ASSERT_EQ(v.edit->GetStore().Get(1), "x http://abcdefghijklmnopqrstu");
  std::vector<const DrawCall*> l0 = v.Underlined(0);
  ASSERT_EQ(l0.size(), 1u);
  EXPECT_EQ(l0[0]->color, kBlue);
  EXPECT_EQ(l0[0]->rect.Left, 10 + 4 * 8);
  EXPECT_EQ(l0[0]->rect.Right, 10 + 19 * 8);  // up to the space before "b"
  ASSERT_EQ(v.Underlined(1).size(), 1u);
  EXPECT_EQ(v.Underlined(1)[0]->rect.Left, 10 + 2 * 8);
  ASSERT_EQ(v.Underlined(2).size(), 1u);  // the continuation
  EXPECT_EQ(v.Underlined(2)[0]->rect.Left, 10);
  EXPECT_EQ(v.Underlined(2)[0]->rect.Right, 10 + 10 * 8);
  EXPECT_EQ(v.Underlined(3).size(), 0u);
  // "http:/ /" is no link; "tag:a.b" runs to the "/".
  std::vector<const DrawCall*> l4 = v.Underlined(4);
  std::vector<const DrawCall*> l5 = v.Underlined(5);
  std::vector<const DrawCall*> all = l4;
  all.insert(all.end(), l5.begin(), l5.end());
  ASSERT_EQ(all.size(), 1u);
  const std::string& row = v.edit->GetStore().Get(all[0]->y == Top(4) ? 4 : 5);
  size_t tag = row.find("tag:");
  ASSERT_NE(tag, std::string::npos);
  EXPECT_EQ(all[0]->rect.Left, 10 + static_cast<int>(tag) * 8);
  EXPECT_EQ(all[0]->rect.Right, 10 + static_cast<int>(tag + 7) * 8);
}

TEST(FenEditPaint, SelectionInvertsAndShowsTheLineBreakBlock) {
  Painted v;
  v.edit->SetSelColor(kBlue);
  v.edit->SetText("abcd\r\n\r\nxyz");
  v.host.ClearRecords();
  v.edit->SetSel(1, 0, 2, 0);  // "bcd", the line break, the empty line's break
  EXPECT_EQ(v.S().ColorAt(10 + 4, Top(0) + 8), kBlack);  // "a" plain
  const DrawCall* sel = v.TextOn(0, "bcd");
  ASSERT_NE(sel, nullptr);
  EXPECT_EQ(sel->color, kWhite);
  EXPECT_EQ(sel->bkColor, kBlue);
  // The empty line: an 8-pixel block where its line break is, the rest of the band plain.
  EXPECT_EQ(v.S().ColorAt(10, Top(1) + 1), kBlue);
  EXPECT_EQ(v.S().ColorAt(17, Top(1) + 1), kBlue);
  EXPECT_EQ(v.S().ColorAt(18, Top(1) + 1), kWhite);
  // The arrow inside a selected block is inverted.
  EXPECT_EQ(v.S().ColorAt(14, Top(1) + 5), RGB(255, 127, 127));
  EXPECT_EQ(v.S().ColorAt(10 + 4, Top(2) + 8), kBlack);
  // Clearing repaints plainly.
  v.edit->CancelSelection();
  EXPECT_EQ(v.S().ColorAt(10 + 12, Top(0) + 8), kBlack);
  EXPECT_EQ(v.S().ColorAt(17, Top(1) + 1), kWhite);
}

TEST(FenEditPaint, SearchHitDrawnLikeASelection) {
  Painted v;
  v.edit->SetText("one two three");
  v.edit->OnFind = [](TObject*, std::string_view str, const std::string& f, int, int& x, int&) {
    size_t at = str.find(f);
    x = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  };
  v.edit->SetFindText("two");
  v.edit->FindFirst();
  v.edit->HighlightHit(RGB(255, 255, 0));
  const DrawCall* hit = v.TextOn(0, "two");
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->bkColor, RGB(255, 255, 0));
  EXPECT_EQ(hit->x, 10 + 4 * 8);
}

TEST(FenEditPaint, FullWidthSpaceBoxAndTabArrow) {
  Painted v;
  v.edit->ShowTAB = true;
  v.host.ClearRecords();
  v.edit->SetText("\x81\x40\tx");
  // The box: dotted, inside the 16-px cell, 3 px in from each side, 2 px from top and bottom.
  int pixels = 0;
  for (const DrawCall& c : v.S().Calls()) {
    if (c.kind != DrawCall::Pixel) continue;
    ++pixels;
    EXPECT_EQ(c.color, kTeal);
    bool side = (c.x == 10 + 3 || c.x == 10 + 13) && c.y >= Top(0) + 2 && c.y <= Top(0) + 14;
    bool edge = (c.y == Top(0) + 2 || c.y == Top(0) + 14) && c.x >= 13 && c.x <= 23;
    EXPECT_TRUE(side || edge) << c.x << "," << c.y;
  }
  EXPECT_GE(pixels, 12);
  // The tab after it starts at 16 px; its arrow shaft runs at half the cell height.
  const int e = 10 + 16 + 1, ym = Top(0) + 8;
  EXPECT_EQ(v.S().ColorAt(e, ym), kTeal);
  EXPECT_EQ(v.S().ColorAt(e + 8 - 2 - 2, ym - 2), kTeal);
  v.edit->SetSingleByteMode(true);
  v.host.ClearRecords();
  v.edit->RedrawRows(0, 0);
  for (const DrawCall& c : v.S().Calls()) EXPECT_NE(c.kind, DrawCall::Pixel);
}

TEST(FenEditPaint, GutterGrowsFrom99To1000RowsAndStaysWide) {
  EditView v;
  v.edit->ShowLineNumber = true;
  v.edit->SetLineNoColumn(2);
  v.Create();
  EXPECT_EQ(v.edit->TextLeft(), 10 + 16 + 7);
  v.edit->SetText(EditView::Rows(99));
  EXPECT_EQ(v.edit->TextLeft(), 33);
  v.edit->SetText(EditView::Rows(1000));
  EXPECT_EQ(v.edit->TextLeft(), 53);  // two steps of 10
  v.edit->SetText(EditView::Rows(99));
  EXPECT_EQ(v.edit->TextLeft(), 53);
  // Row numbers end 7 px left of the text, in the mark colour; the rule 4 px left of it.
  v.host.ClearRecords();
  v.edit->RedrawRows(0, 2);
  std::vector<const DrawCall*> three = v.host.Canvas().FindText("3");
  ASSERT_FALSE(three.empty());
  EXPECT_EQ(three.back()->x, 53 - 7 - 8);
  EXPECT_EQ(three.back()->y, Top(2));
  EXPECT_EQ(three.back()->color, kTeal);
  EXPECT_EQ(v.host.Canvas().ColorAt(53 - 4, Top(1) + 3), kTeal);
}

TEST(FenEditPaint, TypingRepaintsOnlyTheCaretRow) {
  Painted v;
  v.edit->SetText(EditView::Rows(100));
  v.edit->GotoPos(2, 5, TCaretPlacement::Minimal);
  int clientDraws = 0, l1 = -1, l2 = -1;
  v.edit->OnUserClientDraw = [&](TObject*, int, int, int a, int b) {
    ++clientDraws;
    l1 = a;
    l2 = b;
  };
  v.host.ClearRecords();
  v.edit->TypeText("x");
  EXPECT_EQ(v.edit->GetStore().Get(5), "roxw5\r\n");
  for (const DrawCall* c : v.S().TextCalls()) EXPECT_EQ(c->y, Top(5)) << c->text;
  EXPECT_EQ(v.S().TextAt(10 + 20, Top(5) + 8)->ch, "x");
  EXPECT_EQ(clientDraws, 1);
  EXPECT_EQ(l1, 4);
  EXPECT_EQ(l2, 5);
  EXPECT_EQ(v.host.Paints(), 0);
}

// Undo and redo repaint as typing does: the changed rows, or all below when rows came or went.
TEST(FenEditPaint, UndoRepaintsOnlyTheRowsItChanged) {
  Painted v;
  v.edit->SetText(EditView::Rows(100));
  v.edit->GotoPos(2, 5, TCaretPlacement::Minimal);
  v.edit->TypeText("x");
  v.edit->GotoPos(1, 7, TCaretPlacement::Minimal);
  v.edit->DeleteChar();
  auto onlyRow = [&](int row) {
    for (const DrawCall* c : v.S().TextCalls()) EXPECT_EQ(c->y, Top(row)) << c->text;
    EXPECT_FALSE(v.S().TextCalls().empty());
  };
  v.host.ClearRecords();
  v.edit->Undo();  // the deleted character comes back
  EXPECT_EQ(v.edit->GetStore().Get(7), "row7\r\n");
  onlyRow(7);
  v.host.ClearRecords();
  v.edit->Undo();  // the typed one goes
  EXPECT_EQ(v.edit->GetStore().Get(5), "row5\r\n");
  onlyRow(5);
  v.host.ClearRecords();
  v.edit->Redo();
  EXPECT_EQ(v.edit->GetStore().Get(5), "roxw5\r\n");
  onlyRow(5);
  EXPECT_EQ(v.host.Paints(), 0);

  // A line break taken back moves every row below it up.
  v.edit->GotoPos(2, 3, TCaretPlacement::Minimal);
  v.edit->NewLine();
  v.host.ClearRecords();
  v.edit->Undo();
  EXPECT_EQ(v.edit->GetStore().Get(4), "row4\r\n");
  ASSERT_TRUE(v.S().TextAt(10 + 20, Top(20) + 8));
  EXPECT_EQ(v.S().TextAt(10 + 20, Top(20) + 8)->ch, "w");
}

TEST(FenEditPaint, CaretRowRuleAtTheCellBottom) {
  Painted v;
  v.edit->ShowUnderLine = true;
  v.edit->SetUlineColor(kBlue);
  v.edit->SetLineSpace(100);
  v.edit->SetText("a\r\nb\r\nc");
  v.edit->GotoPos(0, 1, TCaretPlacement::Minimal);
  const int lh = v.edit->LineHeight();
  ASSERT_EQ(lh, 32);
  EXPECT_EQ(v.S().ColorAt(300, 4 + lh + 16), kBlue);
  v.edit->GotoPos(0, 2, TCaretPlacement::Minimal);
  EXPECT_EQ(v.S().ColorAt(300, 4 + lh + 16), kWhite);  // erased
  EXPECT_EQ(v.S().ColorAt(300, 4 + 2 * lh + 16), kBlue);
  v.edit->SelectAll();
  EXPECT_EQ(v.S().ColorAt(300, 4 + 2 * lh + 16), kWhite);
}

TEST(FenEditPaint, FullRepaintCallsTheUserDrawEvents) {
  Painted v;
  v.edit->SetText(EditView::Rows(10));
  std::vector<int> user, client;
  int paints = 0;
  v.edit->OnUserDraw = [&](TObject*, int c1, int c2, int x1, int x2) {
    user = {c1, c2, x1, x2};
  };
  v.edit->OnUserClientDraw = [&](TObject*, int x1, int x2, int a, int b) {
    client = {x1, x2, a, b};
  };
  v.edit->OnPaint = [&](TObject*) { ++paints; };
  v.host.Canvas().ClearCalls();
  v.edit->Invalidate();
  v.host.PaintPending();
  EXPECT_EQ(user, (std::vector<int>{1, 72, 10, 640}));
  EXPECT_EQ(client, (std::vector<int>{10, 640, 0, 9}));
  EXPECT_EQ(paints, 1);
  // The top band is cleared in the background colour.
  EXPECT_EQ(v.S().ColorAt(300, 1), kWhite);
  // Below the last row the client is cleared too.
  EXPECT_EQ(v.S().ColorAt(300, Top(12)), kWhite);
}

}  // namespace
