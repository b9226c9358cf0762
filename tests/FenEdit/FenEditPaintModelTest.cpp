#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ViewFixture.h"

namespace {

// What the client shows, cell by cell: the character or the colour left at the middle of
// every 8-px cell of every band, the gutter included.
std::vector<std::string> Picture(EditView& v) {
  HeadlessSurface& s = v.host.Canvas();
  TFenEdit& e = *v.edit;
  std::vector<std::string> rows;
  for (int y = e.GetTopMargin() + 8; y < 480; y += e.LineHeight()) {
    std::string row;
    for (int x = 4; x < 640; x += 8) {
      std::optional<TextHit> t = s.TextAt(x, y);
      std::optional<TColor> c = s.ColorAt(x, y);
      row += t && t->byte >= 0 ? t->ch : "";
      row += "/" + std::to_string(c ? *c : -1) + (t && t->call->font.Underline ? "u" : "") + " ";
    }
    rows.push_back(row);
  }
  return rows;
}

// After any run of edits, moves and scrolls, what the partial repaints left on the screen is
// what a full repaint draws.
TEST(FenEditPaintModel, PartialRepaintsLeaveTheFullPicture) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    EditView v;
    v.edit->ShowLineNumber = true;
    v.edit->ShowTAB = true;
    v.edit->SetColumn(30);
    v.Create();
    TFenEdit& e = *v.edit;
    e.SetText("see http://ex.com/a\r\n>quote\r\n\x81\x40wide\tspace\r\n" + EditView::Rows(60));
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* pieces[] = {"a", "xyz ", "\x82\xA0", "\t", ">", "http://q.jp/", "\x81\x40"};
    for (int step = 0; step < 300; ++step) {
      switch (pick(9)) {
        case 0:
        case 1:
          e.TypeText(pieces[pick(7)]);
          break;
        case 2:
          e.NewLine();
          break;
        case 3:
          e.BackspaceChar();
          break;
        case 4:
          e.DeleteChar();
          break;
        case 5: {
          TRow r = pick(e.GetStore().Count());
          e.GotoPos(pick(12), r, TCaretPlacement::Minimal);
          break;
        }
        case 6: {
          TRow r = e.CaretRow();
          e.SetSel(0, r, std::min(r + pick(3), e.GetStore().Count() - 1), pick(8));
          if (pick(2)) e.DeleteSelection(true);
          break;
        }
        case 7:
          v.host.Send(WM_VSCROLL, pick(2) ? SB_LINEDOWN : SB_PAGEUP);
          break;
        case 8:
          e.Undo();
          break;
      }
      v.host.PaintPending();
      if (step % 10 == 9) {
        std::vector<std::string> partial = Picture(v);
        v.host.Canvas().ClearCalls();
        e.Invalidate();
        v.host.PaintPending();
        std::vector<std::string> full = Picture(v);
        for (size_t i = 0; i < full.size(); ++i)
          ASSERT_EQ(partial[i], full[i]) << "seed " << seed << " step " << step << " band " << i;
        ASSERT_EQ(e.CheckInvariants(), "");
      }
    }
  }
}

}  // namespace
