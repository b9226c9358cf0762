#include <gtest/gtest.h>

#include <random>

#include "FenEdit/FenEdit.h"
#include "support/TempDir.h"

namespace {

const std::string kNul2(2, '\0');
const std::string kA = "\x82\xa0";    // あ
const std::string kSp = "\x81\x40";   // full-width space
const std::string kKan = "\x93\xfa";  // 日 (trail byte is a lead-byte value too)

std::vector<std::string> Rows(const TFenEdit& e) {
  std::vector<std::string> out;
  for (int i = 0; i < e.GetStore().Count(); ++i) out.push_back(e.GetStore().Get(i));
  return out;
}

std::vector<size_t> RowLengths(const TFenEdit& e) {
  std::vector<size_t> out;
  for (const std::string& r : Rows(e)) out.push_back(r.size());
  return out;
}

}  // namespace

TEST(FenEditText, SetTextNormalises) {
  TFenEdit e;
  e.SetWordWrap(false);
  e.SetText("abc");
  EXPECT_EQ(std::vector<std::string>{"abc" + kNul2}, Rows(e));
  e.SetText(std::string("abc\0\0", 5));
  EXPECT_EQ(std::vector<std::string>{"abc" + kNul2}, Rows(e));
  e.SetText(std::string("abc\0", 4));
  EXPECT_EQ(std::vector<std::string>{"abc" + kNul2}, Rows(e));
  e.SetText("");
  EXPECT_EQ(std::vector<std::string>{kNul2}, Rows(e));
  e.SetText(std::string("\0abc", 4));
  EXPECT_EQ(std::vector<std::string>{kNul2}, Rows(e));
  // A NUL inside ends the text: never a second end-of-text row.
  e.SetText(std::string("ab\0cd", 5));
  EXPECT_EQ(std::vector<std::string>{"ab" + kNul2}, Rows(e));
  // Lone CR and LF are ordinary bytes; CR LF ends a row.
  e.SetText("a\rb\nc\r\nd");
  EXPECT_EQ((std::vector<std::string>{"a\rb\nc\r\n", "d" + kNul2}), Rows(e));
  EXPECT_EQ("a\rb\nc\r\nd", e.GetText());
}

TEST(FenEditText, ResetStateAndEvents) {
  TFenEdit e;
  std::vector<std::string> log;
  e.OnChangeModify = [&](TObject*, bool m) { log.push_back(m ? "mod" : "unmod"); };
  e.OnChangeRedoMode = [&](TObject*, bool r) { log.push_back(r ? "redo" : "noredo"); };
  e.OnChange = [&](TObject*) { log.push_back("change"); };
  e.SetText("xyz");
  EXPECT_EQ((std::vector<std::string>{"unmod", "noredo"}), log);  // no OnChange
  e.TypeText("a");
  EXPECT_TRUE(e.Modified());
  log.clear();
  e.ClearAll();
  EXPECT_EQ(std::vector<std::string>{kNul2}, Rows(e));
  EXPECT_FALSE(e.Modified());
  EXPECT_FALSE(e.CanUndo());
  EXPECT_EQ((std::vector<std::string>{"unmod", "noredo"}), log);
}

TEST(FenEditText, LoadAndSave) {
  TempDir dir;
  TFenEdit e;
  ASSERT_TRUE(e.LoadFromFile(dir.Write("a.txt", "one\ntwo\nthree")));
  EXPECT_EQ("one\r\ntwo\r\nthree", e.GetText());
  EXPECT_FALSE(e.Modified());
  EXPECT_TRUE(e.SaveToFile(dir.File("b.txt")));
  EXPECT_EQ("one\r\ntwo\r\nthree", TempDir::Read(dir.File("b.txt")));
  EXPECT_FALSE(e.SaveToFile(dir.File("missing/b.txt")));
  EXPECT_FALSE(e.LoadFromFile(dir.File("missing.txt")));
  EXPECT_EQ("one\r\ntwo\r\nthree", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
  // NUL bytes: dropped, no byte after them is lost, and the store stays valid.
  ASSERT_TRUE(e.LoadFromFile(dir.Write("n.txt", std::string("ab\r\nc\0\0d\r\n\0", 12))));
  EXPECT_EQ("ab\r\ncd\r\n", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
  // The first break decides the kind: a NUL first means CR-separated lines.
  ASSERT_TRUE(e.LoadFromFile(dir.Write("m.txt", std::string("a\0b\r\nc", 7))));
  EXPECT_EQ("ab\r\n\nc", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
  // A lone CR in a CR LF file stays a byte of its line.
  ASSERT_TRUE(e.LoadFromFile(dir.Write("c.txt", "a\r\nb\rc\r\n")));
  EXPECT_EQ("a\r\nb\rc\r\n", e.GetText());
  EXPECT_EQ("", e.CheckInvariants());
  // Binary garbage and invalid Shift-JIS load without harm.
  std::string junk;
  std::mt19937 rng(3);
  for (int i = 0; i < 20000; ++i) junk += static_cast<char>(rng() & 0xFF);
  junk += "\x82";  // lead byte at the very end
  ASSERT_TRUE(e.LoadFromFile(dir.Write("j.bin", junk)));
  EXPECT_EQ("", e.CheckInvariants());
  ASSERT_TRUE(e.LoadFromFile(dir.Write("z.bin", std::string(5000, '\0'))));
  EXPECT_EQ("", e.GetText());
}

// One line of 50 MB: loads and wraps in linear time, nothing lost.
TEST(FenEditText, HugeSingleLine) {
  TempDir dir;
  std::string line;
  line.reserve(50'000'000);
  while (line.size() < 50'000'000) line += "abc \x93\xfa\x96\x7b";
  TFenEdit e;
  ASSERT_TRUE(e.LoadFromFile(dir.Write("big.txt", line)));
  EXPECT_EQ(line.size(), e.GetStore().TextLength());
  EXPECT_GT(e.GetStore().Count(), 690'000);
  e.GotoPos(3, e.GetStore().Count() - 1, TCaretPlacement::Minimal);
  e.TypeText("x");  // an edit at the end of the long line stays cheap
  e.Undo();
  EXPECT_EQ(line.size(), e.GetStore().TextLength());
}

TEST(FenEditLayout, CutsAtColumn) {
  TFenEdit e;  // Column 72, WordWrap on
  e.SetText(std::string(71, 'a') + "\r\n");
  EXPECT_EQ((std::vector<size_t>{73, 2}), RowLengths(e));
  e.SetText(std::string(72, 'a') + "\r\n");
  EXPECT_EQ((std::vector<size_t>{72, 2, 2}), RowLengths(e));
  EXPECT_EQ("\r\n", Rows(e)[1]);
  e.SetText(std::string(150, 'a') + "\r\n");
  EXPECT_EQ((std::vector<size_t>{72, 72, 8, 2}), RowLengths(e));
  // A double-byte character whose lead byte would be the 72nd byte moves down whole.
  e.SetText(std::string(71, 'a') + kA + "b");
  EXPECT_EQ((std::vector<size_t>{71, 5}), RowLengths(e));
  // Kanji whose trail bytes look like lead bytes still split between characters.
  std::string kanji;
  for (int i = 0; i < 50; ++i) kanji += kKan;
  e.SetText("a" + kanji);
  EXPECT_EQ((std::vector<size_t>{71, 30 + 2}), RowLengths(e));
  EXPECT_EQ("", e.CheckInvariants());
  // Single-byte mode may cut a character in two.
  e.SetSingleByteMode(true);
  e.SetWordWrap(false);
  e.SetWordWrap(true);
  EXPECT_EQ((std::vector<size_t>{72, 29 + 2}), RowLengths(e));
}

TEST(FenEditLayout, TabsCountToTheirStop) {
  TFenEdit e;
  EXPECT_EQ("      x", e.ExpandTabs("\tx"));
  EXPECT_EQ("abcd  x", e.ExpandTabs("abcd\tx"));
  e.SetTabCount(0);
  EXPECT_EQ(1, e.GetTabCount());
  e.SetTabCount(20);
  EXPECT_EQ(8, e.GetTabCount());
  e.SetTabCount(6);
  e.SetColumn(5);
  EXPECT_EQ(10, e.GetColumn());
  // Column 10: a tab (6 columns) and four letters fill a row.
  e.SetText("\tabcdefgh");
  EXPECT_EQ((std::vector<size_t>{5, 4 + 2}), RowLengths(e));
}

TEST(FenEditLayout, ByteTypes) {
  TFenEdit e;
  std::string s = "a" + kKan + kKan + "b";
  EXPECT_EQ(0, e.ByteTypeAt(s, 1));
  EXPECT_EQ(1, e.ByteTypeAt(s, 2));
  EXPECT_EQ(2, e.ByteTypeAt(s, 3));
  EXPECT_EQ(1, e.ByteTypeAt(s, 4));
  EXPECT_EQ(2, e.ByteTypeAt(s, 5));
  EXPECT_EQ(0, e.ByteTypeAt(s, 6));
  EXPECT_EQ(0, e.ByteTypeAt(s, 0));
  EXPECT_EQ(0, e.ByteTypeAt(s, 7));
}

TEST(FenEditLayout, AutoWrapCutsAtTheAreaEdge) {
  TFenEdit e;
  TFixedMetrics m(8, 200);  // 25 cells wide
  e.SetMetrics(&m);
  e.SetAutoWrap(true);
  e.SetText(std::string(60, 'a'));
  e.SetWordWrap(false);
  e.SetWordWrap(true);
  EXPECT_EQ((std::vector<size_t>{25, 25, 12}), RowLengths(e));
  // Never narrower than ten average characters.
  m.SetAreaWidth(40);
  e.SetWordWrap(false);
  e.SetWordWrap(true);
  EXPECT_EQ(10u, RowLengths(e)[0]);
  e.SetMetrics(nullptr);
}

TEST(FenEditLayout, PositionsSurviveWrapChanges) {
  TFenEdit e;
  std::string line = std::string(100, 'x') + kA + std::string(100, 'y');
  e.SetText("top\r\n" + line + "\r\nend");
  e.SetWordWrap(false);
  e.GotoPos(150, 1, TCaretPlacement::Minimal);
  EXPECT_EQ(TLinePos({150, 1}), e.ToLinePos(e.Caret()));
  e.SetWordWrap(true);
  EXPECT_EQ(TRowPos({150 - 144, 3}), e.Caret());
  EXPECT_EQ(TLinePos({150, 1}), e.ToLinePos(e.Caret()));
  e.SetColumn(30);
  EXPECT_EQ(TLinePos({150, 1}), e.ToLinePos(e.Caret()));
  e.SetWordWrap(false);
  EXPECT_EQ(TRowPos({150, 1}), e.Caret());
}

TEST(FenEditLayout, LineRowConversion) {
  TFenEdit e;
  e.SetText(std::string(100, 'a') + "\r\nb\r\n" + std::string(80, 'c'));
  // Rows: 72 | 28+CRLF | b CRLF | 72 | 8+NULs
  EXPECT_EQ(TRowPos({0, 2}), e.ToRowPos({0, 1}));
  EXPECT_EQ(TRowPos({28, 1}), e.ToRowPos({100, 0}));
  // An offset equal to a continuation row's length lands on the next row.
  EXPECT_EQ(TRowPos({0, 1}), e.ToRowPos({72, 0}));
  EXPECT_EQ(TRowPos({8, 4}), e.ToRowPos({80, 2}));
  EXPECT_EQ(TLinePos({80, 2}), e.ToLinePos({8, 4}));
  EXPECT_EQ(TLinePos({72, 0}), e.ToLinePos({0, 1}));
  // Lines past the end stay on the last row.
  EXPECT_EQ(4, e.ToRowPos({0, 99}).Row);
}

TEST(FenEditLayout, GotoPosAvoidsTrailBytes) {
  TFenEdit e;
  e.SetText(kA + kA);
  e.GotoPos(3, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(2, e.CaretByte());
  e.GotoPos(99, 99, TCaretPlacement::Minimal);
  EXPECT_EQ(TRowPos({4, 0}), e.Caret());
  e.GotoPos(-5, 0, TCaretPlacement::Minimal);
  EXPECT_EQ(TRowPos({0, 0}), e.Caret());
}

// Random texts through SetText, wrapping and column changes: the invariants hold, the text
// never changes, and no row is wider than the column unless one character forces it.
TEST(FenEditLayout, RandomTextsKeepInvariants) {
  std::mt19937 rng(12345);
  const char* pieces[] = {"a", "bc",       "\t",       "\r",       "\n",   "\r\n",
                          " ", "\x82\xa0", "\x81\x40", "\x93\xfa", "\xb1", "xyz"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int n = static_cast<int>(rng() % 120);
    for (int i = 0; i < n; ++i) text += pieces[rng() % std::size(pieces)];
    if (rng() % 10 == 0) text += std::string(1, '\0') + "tail";
    std::string expect = text.substr(0, text.find('\0'));
    TFenEdit e;
    e.SetTabCount(static_cast<int>(rng() % 8) + 1);
    e.SetColumn(static_cast<int>(rng() % 30) + 10);
    e.SetText(text);
    for (int k = 0; k < 4; ++k) {
      ASSERT_EQ("", e.CheckInvariants()) << Hex(text);
      ASSERT_EQ(Hex(expect), Hex(e.GetText()));
      if (e.GetWordWrap()) {
        for (const std::string& r : Rows(e)) {
          std::string body = RowHasTerminator(r) ? r.substr(0, r.size() - 2) : r;
          int width = e.ExpandedLength(body, body.size());
          ASSERT_TRUE(width <= e.GetColumn() || body.size() <= 2) << Hex(r);
        }
      }
      TLinePos caret = e.ToLinePos(e.Caret());
      switch (rng() % 3) {
        case 0:
          e.SetWordWrap(!e.GetWordWrap());
          break;
        case 1:
          e.SetColumn(static_cast<int>(rng() % 30) + 10);
          break;
        default:
          e.SetWordWrap(false);
          e.SetWordWrap(true);
      }
      ASSERT_EQ(caret, e.ToLinePos(e.Caret()));
    }
  }
}

// After a TabCount change the rows of a line may hold tabs of the old width: an edit cuts
// the rest of its line again, so no row comes out wider than Column.
TEST(FenEditLayout, AnEditAfterATabCountChangeRecutsTheRestOfTheLine) {
  TFenEdit e;
  e.SetColumn(10);
  e.SetTabCount(4);
  e.SetText("\t\t\t\t");
  ASSERT_EQ((std::vector<std::string>{"\t\t", "\t\t" + kNul2}), Rows(e));
  e.SetTabCount(6);
  e.GotoPos(0, 0, TCaretPlacement::Minimal);
  e.TypeText("x");
  EXPECT_EQ((std::vector<std::string>{"x\t", "\t", "\t", "\t" + kNul2}), Rows(e));

  std::mt19937 rng(1819);
  const char* pieces[] = {"\t", "\t", "a", "bc", kA.c_str(), "\r\n"};
  for (int trial = 0; trial < 600; ++trial) {
    TFenEdit f;
    f.SetColumn(10 + static_cast<int>(rng() % 15));
    f.SetTabCount(1 + static_cast<int>(rng() % 8));
    std::string text;
    for (int i = static_cast<int>(rng() % 40); i > 0; --i)
      text += pieces[rng() % std::size(pieces)];
    f.SetText(text);
    f.SetTabCount(1 + static_cast<int>(rng() % 8));
    const TRow row = static_cast<TRow>(rng() % static_cast<unsigned>(f.GetStore().Count()));
    f.GotoPos(static_cast<TByte>(rng() % static_cast<unsigned>(f.RowLimit(row) + 1)), row,
              TCaretPlacement::Minimal);
    f.TypeText("x");
    ASSERT_EQ("", f.CheckInvariants());
    // From the caret's row to its line's end every row is what cutting the line gives now.
    TRow first = f.CaretRow();
    while (first > 0 && !RowHasTerminator(f.GetStore().Get(first - 1))) --first;
    std::string line;
    TRow r = first;
    for (;; ++r) {
      line += f.GetStore().Get(r);
      if (RowHasTerminator(f.GetStore().Get(r))) break;
    }
    std::vector<std::string> want;
    f.CutLine(line, want);
    std::vector<std::string> got;
    for (TRow i = first; i <= r; ++i) got.push_back(f.GetStore().Get(i));
    // Rows before the edited one may keep their old cut.
    if (f.CaretRow() == first) {
      ASSERT_EQ(want, got) << "trial " << trial;
    }
    for (TRow i = f.CaretRow(); i <= r; ++i) {
      const std::string& s = f.GetStore().Get(i);
      const size_t body = s.size() - (RowHasTerminator(s) ? 2 : 0);
      ASSERT_LE(f.ExpandedLength(s, body), f.GetColumn()) << "trial " << trial << " row " << i;
    }
  }
}

// Cutting a row of tabs measures the row a few times, not once per byte it gives up.
TEST(FenEditLayout, FitCountOfARowOfTabsMeasuresItOnlyAFewTimes) {
  struct CountingMetrics : TFixedMetrics {
    CountingMetrics() : TFixedMetrics(8, 8000) {}
    mutable size_t measured = 0;
    int TextWidth(std::string_view bytes) const override {
      measured += bytes.size();
      return TFixedMetrics::TextWidth(bytes);
    }
  } metrics;
  TFenEdit e;
  e.SetMetrics(&metrics);
  e.SetAutoWrap(true);
  e.SetTabCount(8);
  e.SetColumn(32767);
  const std::string tabs(4000, '\t');
  metrics.measured = 0;
  e.SetText(tabs);
  // 1000 columns of 8 pixels hold 125 tabs a row.
  EXPECT_EQ(33, e.GetStore().Count());  // and the end of the text on a row of its own
  EXPECT_EQ(std::string(125, '\t'), e.GetStore().Get(0));
  EXPECT_LT(metrics.measured, 10'000'000u);
  EXPECT_EQ(tabs, e.GetText());
}
