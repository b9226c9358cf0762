#include <gtest/gtest.h>

#include <map>
#include <random>

#include "FenEdit/FenEdit.h"
#include "platform/Clipboard.h"
#include "support/TempDir.h"

namespace {

struct Ed {
  TFenEdit e;
  std::vector<std::string> log;
  explicit Ed(const std::string& text, bool wrap = false) {
    e.SetWordWrap(wrap);
    e.SetText(text);
    e.OnChangeModify = [this](TObject*, bool m) { log.push_back(m ? "mod" : "unmod"); };
    e.OnChangeRedoMode = [this](TObject*, bool r) { log.push_back(r ? "redo" : "noredo"); };
  }
};

}  // namespace

TEST(FenEditUndo, TypingStepByStep) {
  Ed a("");
  a.e.TypeText("a");
  a.e.TypeText("b");
  a.e.TypeText("c");
  EXPECT_EQ(3u, a.e.UndoList().size());
  EXPECT_EQ(TUndoKind::Inserted, a.e.UndoList()[0].Kind);
  a.e.Undo();
  EXPECT_EQ("ab", a.e.GetText());
  a.e.Undo();
  a.e.Undo();
  EXPECT_EQ("", a.e.GetText());
  EXPECT_FALSE(a.e.Modified());
  EXPECT_EQ((std::vector<std::string>{"mod", "redo", "unmod"}), a.log);
  a.e.Redo();
  a.e.Redo();
  a.e.Redo();
  EXPECT_EQ("abc", a.e.GetText());
  EXPECT_TRUE(a.e.Modified());
  EXPECT_FALSE(a.e.CanRedo());
  EXPECT_EQ("noredo", a.log.back());
}

TEST(FenEditUndo, ReplacementIsOneStep) {
  Ed a("hello world");
  a.e.SetSel(0, 0, 0, 5);
  a.e.SetSelText("bye");
  EXPECT_EQ("bye world", a.e.GetText());
  a.e.Undo();
  EXPECT_EQ("hello world", a.e.GetText());
  EXPECT_TRUE(a.e.UndoList().empty());
  a.e.Redo();
  EXPECT_EQ("bye world", a.e.GetText());
  EXPECT_TRUE(a.e.RedoList().empty());
  // Totals always equal the sum of the steps' lengths.
  for (int i = 0; i < 5; ++i) {
    a.e.Undo();
    a.e.Redo();
  }
  size_t sum = 0;
  for (const TUndoStep& s : a.e.UndoList()) sum += s.Text.size();
  EXPECT_EQ(sum, a.e.UndoTotal());
  EXPECT_EQ(0u, a.e.RedoTotal());
}

TEST(FenEditUndo, BudgetEvictsOldestSteps) {
  Ed a("");
  a.e.SetUndoBuf(10);
  for (char c = 'a'; c <= 'k'; ++c) a.e.TypeText(std::string(1, c));
  EXPECT_EQ(10u, a.e.UndoList().size());
  EXPECT_TRUE(a.e.UndoTruncated());
  while (a.e.CanUndo()) a.e.Undo();
  EXPECT_EQ("a", a.e.GetText());
  EXPECT_TRUE(a.e.Modified());  // steps were lost, so the text stays modified
  // A paste longer than the whole budget is kept whole, alone.
  Ed b("");
  b.e.SetUndoBuf(10);
  b.e.TypeText("x");
  b.e.SetSelText("0123456789abc");
  EXPECT_EQ(1u, b.e.UndoList().size());
  EXPECT_EQ(13u, b.e.UndoTotal());
  b.e.Undo();
  EXPECT_EQ("x", b.e.GetText());
  EXPECT_FALSE(b.e.CanUndo());
  // Budget 0: nothing recorded, but the text is still marked modified.
  Ed c("");
  c.e.SetUndoBuf(0);
  c.e.TypeText("q");
  EXPECT_TRUE(c.e.Modified());
  EXPECT_FALSE(c.e.CanUndo());
}

// A command over a selection records its deletion and its insertion; the budget must never
// drop the deletion alone, or Ctrl+Z empties the selection.
TEST(FenEditUndo, UndoAfterACommandLargerThanTheBudgetGivesBackTheTextBeforeIt) {
  const std::string body(60, 'q');
  for (size_t selected : {60u, 150u}) {
    std::string sel(selected, 's');
    Ed a(body + sel + body);
    a.e.SetUndoBuf(100);
    a.e.TypeText("1");  // an older command, dropped later
    a.e.SetSel(1, 0, 0, static_cast<TByte>(1 + body.size() + selected));
    a.e.SetSelText("<b>" + a.e.GetSelText() + "</b>");
    a.e.Undo();
    EXPECT_EQ("1" + body + sel + body, a.e.GetText()) << selected;
    a.e.Redo();
    EXPECT_EQ("1<b>" + body + sel + "</b>" + body, a.e.GetText()) << selected;
    // The next command drops the large one whole, never a part of it.
    a.e.TypeText("z");
    for (const TUndoStep& s : a.e.UndoList()) EXPECT_EQ("z", s.Text);
    a.e.Undo();
    EXPECT_EQ("1<b>" + body + sel + "</b>" + body, a.e.GetText()) << selected;
    EXPECT_FALSE(a.e.CanUndo());
    EXPECT_TRUE(a.e.Modified());
  }
}

TEST(FenEditUndo, AReplaceAllOfManyHitsComesBackWholeUnderASmallBudget) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "ab\r\n";
  Ed a(text, true);
  a.e.SetUndoBuf(50);
  a.e.OnFind = [](TObject*, std::string_view str, const std::string& f, int, int& x, int& len) {
    size_t at = str.find(f);
    x = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
    len = static_cast<int>(f.size());
  };
  a.e.ReplaceText("b", "xyz", true, false, true);
  std::string replaced;
  for (int i = 0; i < 200; ++i) replaced += "axyz\r\n";
  ASSERT_EQ(replaced, a.e.GetText());
  a.e.Undo();
  EXPECT_EQ(text, a.e.GetText());
  EXPECT_FALSE(a.e.CanUndo());
  a.e.Redo();
  EXPECT_EQ(replaced, a.e.GetText());
}

// A move by dragging is one command.
TEST(FenEditUndo, ADropIsTakenBackByOneUndo) {
  Ed a("abc def ghi");
  a.e.SetSel(0, 0, 0, 3);
  a.e.SetDropCaret(8, 0);
  a.e.DropText("abc", false);
  ASSERT_EQ(" def abcghi", a.e.GetText());
  a.e.Undo();
  EXPECT_EQ("abc def ghi", a.e.GetText());
  EXPECT_FALSE(a.e.CanUndo());
  a.e.Redo();
  EXPECT_EQ(" def abcghi", a.e.GetText());
}

TEST(FenEditUndo, NewEditClearsRedo) {
  Ed a("");
  a.e.TypeText("a");
  a.e.Undo();
  EXPECT_TRUE(a.e.CanRedo());
  a.log.clear();
  a.e.TypeText("b");
  EXPECT_FALSE(a.e.CanRedo());
  EXPECT_EQ((std::vector<std::string>{"mod", "noredo"}), a.log);
}

TEST(FenEditUndo, SurvivesWrapChanges) {
  Ed a(std::string(200, 'x'), true);
  a.e.GotoPos(10, 2, TCaretPlacement::Minimal);  // logical byte 154
  a.e.TypeText("Q");
  a.e.SetWordWrap(false);
  EXPECT_EQ('Q', a.e.GetText()[154]);
  a.e.Undo();
  EXPECT_EQ(std::string(200, 'x'), a.e.GetText());
  a.e.SetColumn(17);
  a.e.SetWordWrap(true);
  a.e.Redo();
  EXPECT_EQ('Q', a.e.GetText()[154]);
}

TEST(FenEditUndo, ClearUndoRaisesBothEvents) {
  Ed a("");
  a.log.clear();
  a.e.ClearUndo();
  EXPECT_EQ((std::vector<std::string>{"unmod", "noredo"}), a.log);
}

// ---- model-based random test ----------------------------------------------------------

namespace {

const char* kPieces[] = {"a",        "Z",        "1",        " ",    "\t",   "\x82\xa0",
                         "\x83\x41", "\x81\x40", "\x93\xfa", "\xb1", "\r\n", "xy"};

std::string RandomText(std::mt19937& rng, int maxPieces) {
  std::string s;
  int n = static_cast<int>(rng() % static_cast<unsigned>(maxPieces + 1));
  for (int i = 0; i < n; ++i) s += kPieces[rng() % std::size(kPieces)];
  return s;
}

// Byte offset of a position in the text.
size_t Offset(const TFenEdit& e, TRowPos p) {
  size_t off = 0;
  for (TRow r = 0; r < p.Row; ++r) off += e.GetStore().Get(r).size();
  return off + static_cast<size_t>(p.Byte);
}

// The editing operations against a plain string; the editor must agree after each step.
void RunModel(unsigned seed, bool sanitizerSized) {
  std::mt19937 rng(seed);
  MemoryClipboard clip;
  Clipboard* oldClip = SetCurrentClipboard(&clip);
  TFenEdit e;
  e.SetColumn(10 + static_cast<int>(rng() % 20));
  std::string original = RandomText(rng, 30);
  e.SetText(original);
  std::string model = original;
  std::map<size_t, std::string> snaps;  // undo-list size -> text at that point
  snaps[0] = model;
  const int steps = sanitizerSized ? 400 : 1500;
  for (int step = 0; step < steps; ++step) {
    size_t before = e.UndoList().size();
    bool edit = true;
    if (getenv("MODEL_TRACE") && step >= atoi(getenv("MODEL_TRACE"))) {
      std::string rows;
      for (int i = 0; i < e.GetStore().Count(); ++i) rows += "[" + Hex(e.GetStore().Get(i)) + "]";
      fprintf(stderr, "step %d caret %d,%d sel %d wrap %d col %d rows %s\n", step, e.CaretByte(),
              e.CaretRow(), e.IsSelected(), e.GetWordWrap(), e.GetColumn(), rows.c_str());
    }
    unsigned op = rng() % 22;
    std::string what;
    auto selectRandom = [&] {
      int rows = e.GetStore().Count();
      TRow r1 = static_cast<TRow>(rng() % static_cast<unsigned>(rows));
      TRow r2 = static_cast<TRow>(rng() % static_cast<unsigned>(rows));
      e.SetSel(static_cast<TByte>(rng() % 12), r1, r2, static_cast<TByte>(rng() % 12));
    };
    auto modelDeleteSelection = [&] {
      if (!e.IsSelected()) return;
      size_t a = Offset(e, e.Anchor()), b = Offset(e, e.SelEnd());
      if (b < a) std::swap(a, b);
      model.erase(a, b - a);
    };
    auto moveCaret = [&] {
      int rows = e.GetStore().Count();
      e.GotoPos(static_cast<TByte>(rng() % 20), static_cast<TRow>(rng() % unsigned(rows)),
                TCaretPlacement::Minimal);
    };
    switch (op) {
      case 0:
      case 1:
      case 2: {
        what = "type";
        if (rng() % 3 == 0) selectRandom();
        e.SetInsertMode(rng() % 4 != 0);
        std::string s = kPieces[rng() % 10];
        if (s == "\t") s = "b";
        bool sel = e.IsSelected();
        modelDeleteSelection();
        if (sel) {
          // The selection goes first; the caret is at its start.
          e.DeleteSelection(true);
          model = e.GetText();
        }
        size_t at = Offset(e, e.Caret());
        const std::string& row = e.GetStore().Get(e.CaretRow());
        bool atTerm = RowHasTerminator(row) && e.CaretByte() >= static_cast<TByte>(row.size()) - 2;
        if (!e.InsertMode() && !atTerm) {
          size_t lineEnd = model.find("\r\n", at);
          if (lineEnd == std::string::npos) lineEnd = model.size();
          size_t k = lineEnd - at;
          size_t remove = std::min(k, s.size());
          std::string ins = s;
          // Half of a double-byte character would be left: take it whole, pad with a space.
          TRowPos p = e.Caret();
          std::string line;
          for (TRow r = p.Row; r < e.GetStore().Count(); ++r) {
            line += e.GetStore().Get(r);
            if (RowHasTerminator(e.GetStore().Get(r))) break;
          }
          if (e.ByteTypeAt(line, p.Byte + static_cast<int>(s.size())) == 1) {
            remove = std::min(k, s.size() + 1);
            ins += ' ';
          }
          model.replace(at, remove, ins);
        } else {
          model.insert(at, s);
        }
        e.TypeText(s);
        break;
      }
      case 3: {
        what = "newline";
        e.AutoIndent = rng() % 2;
        bool sel = e.IsSelected();
        if (sel) {
          e.DeleteSelection(true);
          model = e.GetText();
        }
        std::string text = "\r\n";
        if (e.AutoIndent) {
          const std::string& row = e.GetStore().Get(e.CaretRow());
          for (TByte i = 0; i < e.CaretByte(); ++i) {
            unsigned char ch = static_cast<unsigned char>(row[size_t(i)]);
            if (ch > 0x20) break;
            text += static_cast<char>(ch);
          }
        }
        model.insert(Offset(e, e.Caret()), text);
        e.NewLine();
        break;
      }
      case 4:
        what = "tab";
        modelDeleteSelection();
        if (e.IsSelected()) {
          size_t at = std::min(Offset(e, e.Anchor()), Offset(e, e.SelEnd()));
          model.insert(at, "\t");
        } else {
          model.insert(Offset(e, e.Caret()), "\t");
        }
        e.InsertTab();
        break;
      case 5:
      case 6: {
        what = op == 5 ? "delete" : "backspace";
        if (e.IsSelected()) {
          modelDeleteSelection();
          if (op == 5) {
            e.DeleteChar();
          } else {
            e.BackspaceChar();
          }
          break;
        }
        TRowPos p = op == 5 ? e.Caret() : e.CharLeft(e.Caret());
        bool atStart = e.CaretRow() == 0 && e.CaretByte() == 0;
        size_t at = Offset(e, p);
        const std::string& row = e.GetStore().Get(p.Row);
        size_t n = 0;
        if (static_cast<size_t>(p.Byte) < row.size() && !(op == 6 && atStart)) {
          char next = size_t(p.Byte) + 1 < row.size() ? row[size_t(p.Byte) + 1] : '\0';
          bool pairs = next != '\0' && next != '\r' && next != '\n';
          if (e.ByteTypeAt(row, p.Byte + 2) == 2 && pairs) {
            n = 2;
          } else if (row[size_t(p.Byte)] == '\0') {
            n = 0;
          } else if (model.compare(at, 2, "\r\n") == 0) {
            n = 2;
          } else {
            n = 1;
          }
        }
        model.erase(at, n);
        if (op == 5) {
          e.DeleteChar();
        } else {
          e.BackspaceChar();
        }
        break;
      }
      case 7:
        what = "wordright";
        e.DeleteWordRight();
        model = e.GetText();  // checked against the scan below
        break;
      case 8:
        what = "wordleft";
        e.DeleteWordLeft();
        model = e.GetText();
        break;
      case 9: {
        what = "cut";
        selectRandom();
        std::string sel = e.GetSelText();
        size_t a = Offset(e, e.Anchor()), b = Offset(e, e.SelEnd());
        if (b < a) std::swap(a, b);
        model.erase(a, b - a);
        e.CutToClipboard();
        if (!sel.empty()) {
          ASSERT_EQ(sel, clip.GetText());
        }
        break;
      }
      case 10: {
        what = "paste";
        std::string t = RandomText(rng, 6);
        if (rng() % 5 == 0) t += std::string(1, '\0') + "hidden";
        if (rng() % 5 == 0) t += "\r";
        if (rng() % 5 == 0) t = "\n" + t;
        clip.SetText(t);
        std::string visible = t.substr(0, t.find('\0'));
        if (visible.empty()) {
          edit = false;
          e.PasteFromClipboard();
          break;
        }
        if (e.IsSelected()) {
          e.DeleteSelection(true);
          model = e.GetText();
        }
        model.insert(Offset(e, e.Caret()), visible);
        e.PasteFromClipboard();
        break;
      }
      case 11: {
        what = "setseltext";
        selectRandom();
        std::string t = RandomText(rng, 4);
        size_t at = std::min(Offset(e, e.Anchor()), Offset(e, e.SelEnd()));
        modelDeleteSelection();
        model.insert(at, t);
        e.SetSelText(t);
        break;
      }
      case 12: {
        what = "trim";
        int rows = e.GetStore().Count();
        TRow a = static_cast<TRow>(rng() % unsigned(rows)),
             b = static_cast<TRow>(rng() % unsigned(rows));
        if (a > b) std::swap(a, b);
        unsigned k = rng() % 3;
        if (k == 0) e.TrimRight(a, b, rng() % 2);
        if (k == 1) e.TrimLeft(a, b, rng() % 2);
        if (k == 2) e.TrimBoth(a, b, rng() % 2);
        model = e.GetText();
        break;
      }
      case 13: {
        what = "drop";
        selectRandom();
        std::string dragged = e.GetSelText();
        int rows = e.GetStore().Count();
        TRow r = static_cast<TRow>(rng() % unsigned(rows));
        e.SetDropCaret(static_cast<TByte>(rng() % 12), r);
        bool copy = rng() % 2;
        if (getenv("MODEL_TRACE")) {
          fprintf(stderr, "  drop anchor %d,%d selend %d,%d caret %d,%d copy %d\n", e.Anchor().Byte,
                  e.Anchor().Row, e.SelEnd().Byte, e.SelEnd().Row, e.CaretByte(), e.CaretRow(),
                  copy);
        }
        size_t a = Offset(e, e.Anchor()), b = Offset(e, e.SelEnd());
        if (b < a) std::swap(a, b);
        size_t at = Offset(e, e.Caret());
        bool inside = at >= a && at <= b;
        if (!dragged.empty() && !inside) {
          if (copy) {
            model.insert(at, dragged);
          } else {
            model.erase(a, b - a);
            model.insert(at > b ? at - (b - a) : at, dragged);
          }
        } else {
          edit = false;
        }
        e.DropText(dragged, copy);
        break;
      }
      case 14:
        what = "wrap";
        edit = false;
        e.SetWordWrap(!e.GetWordWrap());
        break;
      case 15:
        what = "column";
        edit = false;
        e.SetColumn(10 + static_cast<int>(rng() % 25));
        break;
      case 16:
      case 17: {
        what = "undo";
        edit = false;
        e.Undo();
        auto it = snaps.find(e.UndoList().size());
        if (it != snaps.end()) {
          ASSERT_EQ(Hex(it->second), Hex(e.GetText())) << "undo " << step;
        }
        model = e.GetText();
        break;
      }
      case 18: {
        what = "redo";
        edit = false;
        e.Redo();
        auto it = snaps.find(e.UndoList().size());
        if (it != snaps.end()) {
          ASSERT_EQ(Hex(it->second), Hex(e.GetText())) << "redo " << step;
        }
        model = e.GetText();
        break;
      }
      default:
        what = "move";
        edit = false;
        if (rng() % 2) {
          moveCaret();
        } else {
          selectRandom();
        }
        break;
    }
    if (getenv("MODEL_TRACE")) {
      fprintf(stderr, "  did %s undo=%zu redo=%zu text=%s\n", what.c_str(), e.UndoList().size(),
              e.RedoList().size(), Hex(e.GetText()).c_str());
    }
    ASSERT_EQ("", e.CheckInvariants()) << what << " at step " << step << " rows " << [&] {
      std::string rows;
      for (int i = 0; i < e.GetStore().Count(); ++i) rows += "[" + Hex(e.GetStore().Get(i)) + "]";
      return rows;
    }();
    ASSERT_EQ(Hex(model), Hex(e.GetText())) << what << " at step " << step;
    // An operation that recorded nothing leaves the redo list alone.
    if (edit && (e.UndoList().size() != before || e.RedoList().empty())) {
      for (auto it = snaps.upper_bound(before); it != snaps.end();) it = snaps.erase(it);
      snaps[e.UndoList().size()] = e.GetText();
    }
    if (rng() % 50 == 0) {
      // Now and then the whole history back and forth.
      std::string now = e.GetText();
      size_t redoBefore = e.RedoList().size();
      while (e.CanUndo()) e.Undo();
      ASSERT_EQ(Hex(original), Hex(e.GetText())) << "undo all at step " << step;
      ASSERT_FALSE(e.Modified());
      while (e.CanRedo()) e.Redo();
      (void)redoBefore;
      // Redo all reaches the newest text the history knows.
      auto last = snaps.rbegin();
      ASSERT_EQ(Hex(last->second), Hex(e.GetText()));
      model = e.GetText();
      if (now != model) {
        // Steps undone before were redone as well; keep going from here.
      }
    }
  }
  while (e.CanUndo()) e.Undo();
  EXPECT_EQ(Hex(original), Hex(e.GetText()));
  EXPECT_FALSE(e.Modified());
  SetCurrentClipboard(oldClip);
}

}  // namespace

TEST(FenEditUndo, RandomEditsAgainstModel) {
  for (unsigned seed = 1;
       seed <= (getenv("MODEL_SEEDS") ? unsigned(atoi(getenv("MODEL_SEEDS"))) : 12u); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RunModel(seed, false);
    if (HasFatalFailure()) return;
  }
}
