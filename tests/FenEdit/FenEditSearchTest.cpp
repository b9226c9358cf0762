#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "FenEdit/FenEdit.h"
#include "FenEdit/FindMatcher.h"

namespace {

const std::string kA = "\x82\xa0";  // あ

// An editor that logs its search events and, through a stub view, the repaints it asks for.
class Ed : public TFenEdit {
 public:
  std::vector<std::string> log;
  std::vector<std::string> strs;  // every text handed to OnFind, with its row
  TNullNotify view{GetStore()};

  explicit Ed(const std::string& text, bool wrap = false, int column = 72) {
    SetNotify(&view);
    SetWordWrap(wrap);
    SetColumn(column);
    SetText(text);
    OnFind = [this](TObject*, std::string_view s, const std::string& f, int index, int& x, int&) {
      strs.push_back(std::to_string(index) + ":" + std::string(s));
      x = FindMatch(s, f);
    };
    OnFindHit = [this](TObject*, const std::string& f, int x, int y, int len, int count) {
      log.push_back("hit " + f + " " + std::to_string(x) + "," + std::to_string(y) + " len " +
                    std::to_string(len) + " #" + std::to_string(count));
    };
    OnFindNoHit = [this](TObject*, const std::string& f) { log.push_back("nohit " + f); };
    OnFindChangeEnd = [this](TObject*, const std::string& f, const std::string& r, int count) {
      log.push_back("end " + f + ">" + r + " " + std::to_string(count));
    };
  }
  std::string Row(int i) const { return GetStore().Get(i); }
  std::string Take() {
    std::string all;
    for (const std::string& s : log) all += s + ";";
    log.clear();
    return all;
  }
};

}  // namespace

TEST(FenEditSearch, FindsForwardThenWrapsToTheTop) {
  Ed e("ab\r\nxab\r\n\r\nab");
  e.SetFindText("ab");
  e.FindFirst();
  e.FindNext();
  e.FindNext();
  EXPECT_EQ("hit ab 0,0 len 2 #1;hit ab 1,1 len 2 #2;hit ab 0,3 len 2 #3;", e.Take());
  EXPECT_EQ((TRowPos{0, 3}), e.Caret());
  e.FindNext();
  EXPECT_EQ("nohit ab;", e.Take());
  e.FindNext();  // starts at the top again, count from 1
  EXPECT_EQ("hit ab 0,0 len 2 #1;", e.Take());
}

TEST(FenEditSearch, MatchAcrossAWrapIsFoundOnceOnItsFirstRow) {
  Ed e("0123456789abcdefgh", true, 10);
  ASSERT_EQ("0123456789", e.Row(0));
  e.SetFindText("89ab");
  e.FindFirst();
  EXPECT_EQ("hit 89ab 8,0 len 4 #1;", e.Take());
  // The host sees the row plus the three bytes a match starting in it may need.
  ASSERT_FALSE(e.strs.empty());
  EXPECT_EQ("0:0123456789abc", e.strs[0]);
  e.FindNext();
  EXPECT_EQ("nohit 89ab;", e.Take());
  EXPECT_EQ("1:cdefgh", e.strs.back());  // goes on behind the hit
}

TEST(FenEditSearch, MatchAcrossLineBreaksAndShortRows) {
  Ed e("ab\r\ncd", false);
  e.SetFindText("b\r\nc");
  e.FindFirst();
  EXPECT_EQ("hit b\r\nc 1,0 len 4 #1;", e.Take());
  // A match over three rows whose middle row is short is still seen whole.
  Ed w("0123456789abc\r\ndef", true, 10);
  ASSERT_EQ("abc\r\n", w.Row(1));
  w.SetFindText("89abc\r\ndef");
  w.FindFirst();
  EXPECT_EQ("hit 89abc\r\ndef 8,0 len 10 #1;", w.Take());
}

TEST(FenEditSearch, NeverStartsOnASecondByte) {
  Ed e("\x82\xa0\x82\xa2 \x81\x40@");
  e.SetFindText("\xa0\x82");
  e.FindFirst();
  EXPECT_EQ("nohit \xa0\x82;", e.Take());
  e.SetFindText("@");
  e.FindFirst();
  EXPECT_EQ("hit @ 7,0 len 1 #1;", e.Take());
}

TEST(FenEditSearch, BackwardSkipsTheForwardHitAndWraps) {
  Ed e("ab ab ab");
  e.SetFindText("ab");
  e.FindFirst();
  e.FindNext();
  e.FindPrev();  // not the hit at 3 again
  EXPECT_EQ("hit ab 0,0 len 2 #1;hit ab 3,0 len 2 #2;hit ab 0,0 len 2 #3;", e.Take());
  e.FindPrev();
  EXPECT_EQ("nohit ab;", e.Take());
  e.FindPrev();  // from the end again
  e.FindPrev();
  EXPECT_EQ("hit ab 6,0 len 2 #1;hit ab 3,0 len 2 #2;", e.Take());
  e.FindNext();  // and forward again from behind that hit
  EXPECT_EQ("hit ab 6,0 len 2 #3;", e.Take());
}

TEST(FenEditSearch, BackwardOverRowsTakesTheLastMatchOfARow) {
  Ed e("ab ab\r\nx\r\nab", false);
  e.SetFindText("ab");
  e.GotoPos(2, 2, TCaretPlacement::Minimal);
  e.FindPrev();
  e.FindPrev();
  e.FindPrev();
  e.FindPrev();
  EXPECT_EQ("hit ab 0,2 len 2 #1;hit ab 3,0 len 2 #2;hit ab 0,0 len 2 #3;nohit ab;", e.Take());
  // A match across a wrap, found from the row below it.
  Ed w("0123456789abcdef", true, 10);
  w.SetFindText("89ab");
  w.GotoPos(6, 1, TCaretPlacement::Minimal);
  w.FindPrev();
  EXPECT_EQ("hit 89ab 8,0 len 4 #1;", w.Take());
}

TEST(FenEditSearch, APlacedCaretStartsTheNextSearchAndKeepsTheCount) {
  Ed e("ab ab ab ab");
  e.SetFindText("ab");
  e.FindFirst();
  e.GotoPos(7, 0, TCaretPlacement::Minimal);
  e.FindNext();
  e.GotoPos(5, 0, TCaretPlacement::Minimal);
  e.FindPrev();
  EXPECT_EQ("hit ab 0,0 len 2 #1;hit ab 9,0 len 2 #2;hit ab 3,0 len 2 #3;", e.Take());
  // A new search string starts at the caret for FindNext, at the top for FindFirst.
  e.SetFindText("b a");
  e.FindNext();
  EXPECT_EQ("hit b a 4,0 len 3 #1;", e.Take());
  e.FindFirst();
  EXPECT_EQ("hit b a 1,0 len 3 #1;", e.Take());
}

TEST(FenEditSearch, WithoutAMatcherNothingIsFound) {
  Ed e("abc");
  e.OnFind = nullptr;
  e.SetFindText("b");
  e.FindFirst();
  e.FindPrev();
  EXPECT_EQ("nohit b;nohit b;", e.Take());
  e.ReplaceText("b", "x", true, false, true);
  EXPECT_EQ("abc", e.GetText());
  EXPECT_EQ("end b>x 0;", e.Take());
}

TEST(FenEditSearch, HighlightIsStateAndRepaints) {
  Ed e("x\r\nab\r\nab");
  e.SetFindText("ab");
  e.FindFirst();
  EXPECT_EQ((TFenEdit::TSearchHit{0, 1, 2}), e.CurrentHit());
  EXPECT_FALSE(e.HitHighlighted());
  e.view.repaintRows = 0;
  e.HighlightHit(0x00FFFF);
  EXPECT_TRUE(e.HitHighlighted());
  EXPECT_EQ(0x00FFFF, e.HitColor());
  EXPECT_EQ(1, e.view.repaintRows);
  e.FindNext();  // the old hit is drawn plainly again
  EXPECT_EQ(2, e.view.repaintRows);
  EXPECT_FALSE(e.HitHighlighted());
  EXPECT_EQ((TFenEdit::TSearchHit{0, 2, 2}), e.CurrentHit());
  e.HighlightHit(0x00FFFF);
  e.ResetSearch();
  EXPECT_FALSE(e.HitHighlighted());
  EXPECT_EQ(0, e.CurrentHit().Len);
  e.HighlightHit(0x00FFFF);  // no hit: nothing to draw
  EXPECT_FALSE(e.HitHighlighted());
}

TEST(FenEditReplace, ReplaceAllIsOneUndoConfirmedReplacementsOneEach) {
  Ed e("a-a-a");
  e.view.repaintAll = e.view.repaintRows = 0;
  e.ReplaceText("a", "bb", true, false, true);
  EXPECT_EQ("bb-bb-bb", e.GetText());
  EXPECT_EQ("end a>bb 3;", e.Take());
  EXPECT_EQ(1, e.view.repaintAll);  // one repaint at the end, none per hit
  EXPECT_EQ(0, e.view.repaintRows);
  EXPECT_TRUE(e.Modified());
  int changes = 0;
  e.OnChange = [&](TObject*) { ++changes; };
  e.Undo();
  EXPECT_EQ("a-a-a", e.GetText());
  EXPECT_EQ(1, changes);
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(e.Modified());
  e.Redo();
  EXPECT_EQ("bb-bb-bb", e.GetText());
  EXPECT_FALSE(e.CanRedo());
  // Asked one by one, each replacement is a step of its own.
  Ed c("a-a-a");
  c.ReplaceText("a", "bb", true, true, true);
  EXPECT_EQ("bb-bb-bb", c.GetText());
  c.Undo();
  EXPECT_EQ("bb-bb-a", c.GetText());
  c.Undo();
  c.Undo();
  EXPECT_EQ("a-a-a", c.GetText());
  EXPECT_FALSE(c.CanUndo());
}

TEST(FenEditReplace, AReplacementHoldingTheSearchStringEnds) {
  struct Case {
    bool wrap;
    std::string text, find, repl, want;
  } cases[] = {
      {false, "aaa", "a", "aa", "aaaaaa"},
      {false, "aaa", "a", "a\r\na", "a\r\naa\r\naa\r\na"},
      {false, "ab\r\nab", "ab", "ab\r\nab", "ab\r\nab\r\nab\r\nab"},
      {true, "aaa", "a", "xxxxxxxxxxxxaxxxxxxxxxxxx",
       "xxxxxxxxxxxxaxxxxxxxxxxxx"
       "xxxxxxxxxxxxaxxxxxxxxxxxx"
       "xxxxxxxxxxxxaxxxxxxxxxxxx"},
      {true, "12345678aa", "a", "aaaaaaa\r\naaa", "12345678aaaaaaa\r\naaaaaaaaaa\r\naaa"},
      {true, "1234567" + kA + "a", kA, kA + kA + kA + kA + kA + kA,
       "1234567" + kA + kA + kA + kA + kA + kA + "a"},
  };
  for (const Case& c : cases) {
    Ed e(c.text, c.wrap, 10);
    e.ReplaceText(c.find, c.repl, true, false, true);
    EXPECT_EQ(c.want, e.GetText()) << testing::PrintToString(c.text);
    EXPECT_EQ("", e.CheckInvariants());
    int count = 0;
    for (char ch : c.text) count += ch == c.find[0];
    if (c.find == kA) count = 1;
    if (c.find == "ab") count = 2;
    EXPECT_EQ("end " + c.find + ">" + c.repl + " " + std::to_string(count) + ";", e.Take());
    for (int i = 0; i < count; ++i) e.Undo();
    EXPECT_EQ(c.text, e.GetText());
    EXPECT_FALSE(e.CanUndo());
  }
}

// A matcher that throws half way through a replace-all (with wrapped rows and the store's
// blocks rebuilt behind the pass): the store is whole, holds whole lines replaced, and undo
// takes exactly those back.
TEST(FenEditReplace, AThrowingMatcherLeavesAWholeStore) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "ab ab ab\r\n";
  for (int stopAt : {1, 2, 7, 25, 60}) {
    Ed e(text, true, 4);
    int calls = 0;
    e.OnFind = [&](TObject*, std::string_view s, const std::string& f, int, int& x, int&) {
      if (++calls == stopAt) throw std::runtime_error("matcher failed");
      x = FindMatch(s, f);
    };
    EXPECT_THROW(e.ReplaceText("ab", "xyz", true, false, true), std::runtime_error);
    EXPECT_EQ("", e.CheckInvariants()) << stopAt;
    std::string got = e.GetText();
    size_t done = 0;
    while (got.compare(done * 13, 13, "xyz xyz xyz\r\n") == 0) ++done;
    std::string want;
    for (size_t i = 0; i < 40; ++i) want += i < done ? "xyz xyz xyz\r\n" : "ab ab ab\r\n";
    EXPECT_EQ(want, got) << stopAt;
    if (stopAt >= 25) {
      EXPECT_GT(done, 0u);
    }
    while (e.CanUndo()) e.Undo();
    EXPECT_EQ(text, e.GetText()) << stopAt;
  }
}

TEST(FenEditReplace, FromTheCaretLeavesTheTextAboveAlone) {
  Ed e("ab\r\nab\r\nab");
  e.GotoPos(0, 1, TCaretPlacement::Minimal);
  e.ReplaceText("ab", "X", true, false, false);
  EXPECT_EQ("ab\r\nX\r\nX", e.GetText());
  e.ReplaceText("ab", "Y", true, false, true);
  EXPECT_EQ("Y\r\nX\r\nX", e.GetText());
  EXPECT_EQ("end ab>X 2;end ab>Y 1;", e.Take());
  EXPECT_EQ((TRowPos{1, 0}), e.Caret());  // behind the last replacement
}

TEST(FenEditReplace, InsideASelectionStopsAtItsEnd) {
  Ed e("ab ab ab ab");
  e.SetSel(3, 0, 0, 7);  // "ab a"
  e.ReplaceText("ab", "X", false, false, true);
  EXPECT_EQ("ab X ab ab", e.GetText());
  EXPECT_FALSE(e.IsSelected());
  // The end stays on its bytes while the rows before it are rewrapped by longer text.
  Ed w("abababababababab", true, 10);
  ASSERT_EQ("ababab", w.Row(1).substr(0, 6));
  w.SetSel(0, 0, 1, 4);
  w.ReplaceText("ab", "xyz", false, false, true);
  EXPECT_EQ("xyzxyzxyzxyzxyzxyzxyzab", w.GetText());
  EXPECT_EQ("end ab>xyz 7;", w.Take());
  // And when they get shorter, or lose and gain line breaks.
  Ed s("ab\r\nab\r\nab\r\nab", false);
  s.SetSel(0, 0, 2, 1);
  s.ReplaceText("ab\r\n", "", false, false, true);
  EXPECT_EQ("ab\r\nab", s.GetText());
  Ed t("ab\r\nab\r\nab\r\nab", false);
  t.SetSel(0, 1, 3, 0);
  t.ReplaceText("b", "\r\n", false, false, true);
  EXPECT_EQ("ab\r\na\r\n\r\na\r\n\r\nab", t.GetText());
}

// A selection that ends just after a CR LF, in both modes: taking that CR LF away, or leaving
// its CR to pair with an LF after the end, does not carry the end onto the next line.
TEST(FenEditReplace, AnEndAfterALineBreakStays) {
  struct Case {
    std::string text, find, repl, want;
    TRow endRow;  // the selection runs from the top to the start of this row
  } cases[] = {
      {"x\r\ny\r\nz\r\n", "\r", "", "x\ny\nz\r\n", 2},
      {"x\r\ny\r\nz\r\n", "\r\n", "-", "x-y-z\r\n", 2},
      {"a\r\n\nb", "\n", "", "a\r\nb", 1},
  };
  for (const Case& c : cases) {
    for (bool confirm : {false, true}) {
      Ed e(c.text);
      e.OnFindChange = [](TObject*, const std::string&, const std::string&, int, int, int, int,
                          bool&, bool&, bool&) {};
      e.SetSel(0, 0, c.endRow, 0);
      e.ReplaceText(c.find, c.repl, false, confirm, true);
      EXPECT_EQ(c.want, e.GetText()) << testing::PrintToString(c.text) << confirm;
      while (e.CanUndo()) e.Undo();
      EXPECT_EQ(c.text, e.GetText()) << testing::PrintToString(c.text) << confirm;
    }
  }
}

// A lone CR that ends a wrapped row pairs with an LF the replacement starts with; undo still
// restores the bytes, in both modes.
TEST(FenEditReplace, ACrAtAWrapPairsWithTheReplacement) {
  for (bool confirm : {false, true}) {
    Ed e("abcdefgh\r" + kA + "d", true, 10);  // the double-byte character goes to row 1
    ASSERT_EQ("abcdefgh\r", e.Row(0));
    e.OnFindChange = [](TObject*, const std::string&, const std::string&, int, int, int, int, bool&,
                        bool&, bool&) {};
    e.ReplaceText(kA, "\nY", true, confirm, true);
    EXPECT_EQ("abcdefgh\r\nYd", e.GetText()) << confirm;
    EXPECT_EQ("", e.CheckInvariants());
    e.Undo();
    EXPECT_EQ("abcdefgh\r" + kA + "d", e.GetText()) << confirm;
    e.Redo();
    EXPECT_EQ("abcdefgh\r\nYd", e.GetText()) << confirm;
  }
}

TEST(FenEditReplace, ConfirmationAnswers) {
  Ed e("a a a a");
  std::vector<std::string> asked;
  std::vector<int> answers = {0, 1, 3};  // yes, no, all
  size_t next = 0;
  e.OnFindChange = [&](TObject* sender, const std::string& f, const std::string& r, int x, int y,
                       int len, int count, bool& change, bool& kakunin, bool& abort) {
    EXPECT_TRUE(change);
    EXPECT_EQ((TRowPos{x, y}), static_cast<TFenEdit*>(sender)->Caret());
    asked.push_back(f + ">" + r + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(len) + " #" + std::to_string(count));
    int a = answers[next++];
    change = a == 0 || a == 3;
    kakunin = a != 3;
    abort = a == 2;
  };
  e.view.repaintRows = 0;
  e.ReplaceText("a", "bb", true, true, true);
  EXPECT_EQ("bb a bb bb", e.GetText());
  EXPECT_EQ((std::vector<std::string>{"a>bb 0,0 1 #0", "a>bb 3,0 1 #1", "a>bb 5,0 1 #1"}), asked);
  EXPECT_EQ("end a>bb 3;", e.Take());
  EXPECT_GT(e.view.repaintRows, 0);  // asking shows each replacement

  Ed b("a a a a");
  answers = {0, 2};  // yes, abort
  next = 0;
  asked.clear();
  b.OnFindChange = e.OnFindChange;
  b.ReplaceText("a", "bb", true, true, true);
  EXPECT_EQ("bb a a a", b.GetText());
  EXPECT_EQ("end a>bb 1;", b.Take());
  EXPECT_FALSE(b.HitHighlighted());
  b.Undo();
  EXPECT_EQ("a a a a", b.GetText());
}

TEST(FenEditReplace, OddHostAnswersStillEnd) {
  // A host that matches the empty string everywhere.
  Ed e("ab" + kA);
  e.OnFind = [](TObject*, std::string_view, const std::string&, int, int& x, int& len) {
    x = 1;
    len = 0;
  };
  e.ReplaceText("", "-", true, false, true);
  EXPECT_EQ("-a-b-" + kA, e.GetText());
  e.ReplaceText("", "", true, false, true);
  EXPECT_EQ("-a-b-" + kA, e.GetText());
  // A host that claims more than is there: the end of the text stays.
  Ed f("abc\r\ndef");
  f.OnFind = [](TObject*, std::string_view s, const std::string&, int, int& x, int& len) {
    x = s.find('e') == std::string_view::npos ? 0 : static_cast<int>(s.find('e')) + 1;
    len = 1000;
  };
  f.ReplaceText("e", "E", true, false, true);
  EXPECT_EQ("abc\r\ndE", f.GetText());
  EXPECT_EQ("", f.CheckInvariants());
  f.Undo();
  EXPECT_EQ("abc\r\ndef", f.GetText());
}

TEST(FenEditReplace, ReplaceRangeOverRowsIsOneUndoStep) {
  Ed e("0123456789abcdef\r\nxyz", true, 10);
  e.ReplaceRange("A\r\nB", {8, 0}, {2, 1}, false);
  EXPECT_EQ("01234567A\r\nBcdef\r\nxyz", e.GetText());
  EXPECT_EQ((TRowPos{1, 1}), e.Caret());
  EXPECT_EQ("", e.CheckInvariants());
  e.Undo();
  EXPECT_EQ("0123456789abcdef\r\nxyz", e.GetText());
  e.Redo();
  EXPECT_EQ("01234567A\r\nBcdef\r\nxyz", e.GetText());
  // Never past the end of the text.
  e.ReplaceRange("!", {0, 2}, {99, 2}, false);
  EXPECT_EQ("01234567A\r\nBcdef\r\n!", e.GetText());
}
