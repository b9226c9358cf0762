#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "FenEditInputFixture.h"
#include "platform/Clipboard.h"

namespace {

const std::string kA = "\x82\xa0";    // あ
const std::string kI = "\x82\xa2";    // い
const std::string kKa = "\x83\x41";   // ア
const std::string kKan = "\x8a\xbf";  // 漢

// Keeps a clipboard of its own for a test.
struct ScopedClipboard {
  MemoryClipboard clip;
  Clipboard* previous = SetCurrentClipboard(&clip);
  ~ScopedClipboard() { SetCurrentClipboard(previous); }
};

}  // namespace

TEST(FenEditKeys, RightAndLeftStepOverDoubleByteCharactersAndLineBreaks) {
  InputCtl c("a" + kA + "b\r\nz");
  std::vector<TRowPos> seen;
  for (int i = 0; i < 5; ++i) {
    c.Key(VK_RIGHT);
    seen.push_back(c.Caret());
  }
  // a, あ, b, the line break, z; then the end of the text stops it.
  std::vector<TRowPos> want{{1, 0}, {3, 0}, {4, 0}, {0, 1}, {1, 1}};
  EXPECT_EQ(want, seen);
  c.Key(VK_RIGHT);
  EXPECT_EQ((TRowPos{1, 1}), c.Caret());
  seen.clear();
  for (int i = 0; i < 6; ++i) {
    c.Key(VK_LEFT);
    seen.push_back(c.Caret());
  }
  want = {{0, 1}, {4, 0}, {3, 0}, {1, 0}, {0, 0}, {0, 0}};
  EXPECT_EQ(want, seen);
  c.Key(VK_RIGHT);
  EXPECT_EQ(8, c.e.CaretX());
  c.Key(VK_RIGHT);
  EXPECT_EQ(24, c.e.CaretX());
}

TEST(FenEditKeys, RightAtTheEndOfAContinuationRowLandsOnTheNextRow) {
  InputCtl c(std::string(75, 'x') + "\r\nend", true);  // rows of 72 and 3 bytes
  ASSERT_EQ(3, c.e.GetStore().Count());
  c.e.GotoPos(71, 0, TCaretPlacement::Minimal);
  c.Key(VK_RIGHT);
  EXPECT_EQ((TRowPos{0, 1}), c.Caret());
  EXPECT_EQ(0, c.e.CaretX());
  // Left from there goes before the continuation row's last character, not after it.
  c.Key(VK_LEFT);
  EXPECT_EQ((TRowPos{71, 0}), c.Caret());
  // End on a continuation row stands after its last byte.
  c.Key(VK_END);
  EXPECT_EQ((TRowPos{72, 0}), c.Caret());
  c.Key(VK_HOME);
  EXPECT_EQ((TRowPos{0, 0}), c.Caret());
}

TEST(FenEditKeys, RightBeforeTheEndOfTextDoesNothing) {
  InputCtl c("ab");
  c.e.GotoPos(2, 0, TCaretPlacement::Minimal);
  c.Key(VK_RIGHT, {VK_SHIFT});
  EXPECT_EQ((TRowPos{2, 0}), c.Caret());
  EXPECT_FALSE(c.e.IsSelected());
  c.Key(VK_END);
  EXPECT_EQ((TRowPos{2, 0}), c.Caret());
}

TEST(FenEditKeys, CtrlRightAndLeftStopAtCharacterClassChanges) {
  InputCtl c("abc def\tx");
  std::vector<TByte> stops;
  for (int i = 0; i < 5; ++i) {
    c.Key(VK_RIGHT, {VK_CONTROL});
    stops.push_back(c.Caret().Byte);
  }
  // The space is a run of its own class; a tab is passed as one character.
  EXPECT_EQ((std::vector<TByte>{3, 4, 7, 8, 9}), stops);
  stops.clear();
  for (int i = 0; i < 5; ++i) {
    c.Key(VK_LEFT, {VK_CONTROL});
    stops.push_back(c.Caret().Byte);
  }
  EXPECT_EQ((std::vector<TByte>{8, 7, 4, 3, 0}), stops);

  // Hiragana, katakana and kanji are classes of their own.
  InputCtl j(kA + kI + kKa + kKan + "\r\n");
  j.Key(VK_RIGHT, {VK_CONTROL});
  EXPECT_EQ(4, j.Caret().Byte);
  j.Key(VK_RIGHT, {VK_CONTROL});
  EXPECT_EQ(6, j.Caret().Byte);
  j.Key(VK_RIGHT, {VK_CONTROL});
  EXPECT_EQ(8, j.Caret().Byte);
  j.Key(VK_RIGHT, {VK_CONTROL});  // the line break
  EXPECT_EQ((TRowPos{0, 1}), j.Caret());
}

TEST(FenEditKeys, ShiftExtendsAndAPlainMoveClears) {
  InputCtl c("abcdef\r\nghij");
  c.Key(VK_RIGHT);
  c.Keys(VK_RIGHT, 3, {VK_SHIFT});
  EXPECT_EQ("bcd", c.Sel());
  c.Key(VK_LEFT, {VK_SHIFT});
  EXPECT_EQ("bc", c.Sel());
  c.Key(VK_END, {VK_SHIFT});
  EXPECT_EQ("bcdef", c.Sel());
  c.Key(VK_LEFT);
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ((TRowPos{5, 0}), c.Caret());
  // Back onto the anchor: nothing is selected.
  c.Key(VK_RIGHT, {VK_SHIFT});
  c.Key(VK_LEFT, {VK_SHIFT});
  EXPECT_EQ("", c.Sel());
  // Ctrl+comma and Ctrl+period are Home and End.
  c.Key(VK_OEM_COMMA, {VK_CONTROL});
  EXPECT_EQ((TRowPos{0, 0}), c.Caret());
  c.Key(VK_OEM_PERIOD, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ("abcdef", c.Sel());
}

TEST(FenEditKeys, ShiftCtrlEndAndHomeSelectToTheTextEnds) {
  InputCtl c("one\r\ntwo\r\nthree");
  c.e.GotoPos(1, 1, TCaretPlacement::Minimal);
  c.Key(VK_END, {VK_SHIFT, VK_CONTROL});
  EXPECT_EQ("wo\r\nthree", c.Sel());
  EXPECT_EQ((TRowPos{5, 2}), c.Caret());
  c.Key(VK_HOME, {VK_SHIFT, VK_CONTROL});
  EXPECT_EQ("one\r\nt", c.Sel());
  EXPECT_EQ((TRowPos{0, 0}), c.Caret());
  c.Key(VK_END, {VK_CONTROL});
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ((TRowPos{5, 2}), c.Caret());
}

TEST(FenEditKeys, CtrlEndOfALongTextScrollsToTheLastPage) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  InputCtl c(text);
  c.Key(VK_END, {VK_CONTROL});
  EXPECT_EQ((TRowPos{0, 100}), c.Caret());
  EXPECT_EQ(c.e.MaxTopRow(), c.e.TopRow());
  EXPECT_GT(c.e.TopRow(), 0);
  EXPECT_EQ(c.e.TopRow(), c.host.Bar(SB_VERT).Pos);
  c.Key(VK_HOME, {VK_CONTROL});
  EXPECT_EQ(0, c.e.TopRow());
  EXPECT_EQ(0, c.host.Bar(SB_VERT).Pos);
}

TEST(FenEditKeys, EditingKeys) {
  ScopedClipboard clip;
  InputCtl c("abc def");
  c.Key(VK_DELETE);
  EXPECT_EQ("bc def", c.Text());
  c.Key(VK_END);
  c.Key(VK_BACK);
  EXPECT_EQ("bc de", c.Text());
  c.Key(VK_BACK, {VK_CONTROL});
  EXPECT_EQ("bc ", c.Text());
  c.Key(VK_HOME);
  c.Key(VK_DELETE, {VK_CONTROL});
  EXPECT_EQ(" ", c.Text());
  c.Key(VK_TAB, {VK_SHIFT});  // Tab and Enter act whatever modifiers are held
  c.Key(VK_RETURN, {VK_SHIFT});
  EXPECT_EQ("\t\r\n ", c.Text());
  c.Key('Z', {VK_CONTROL});
  EXPECT_EQ("\t ", c.Text());

  InputCtl d("hello world");
  d.Keys(VK_RIGHT, 5, {VK_SHIFT});
  d.Key('C', {VK_CONTROL});
  EXPECT_EQ("hello", clip.clip.GetText());
  d.Key(VK_END);
  d.Key('V', {VK_CONTROL});
  EXPECT_EQ("hello worldhello", d.Text());
  d.Key(VK_HOME);
  d.Keys(VK_RIGHT, 6, {VK_SHIFT});
  d.Key('X', {VK_CONTROL});
  EXPECT_EQ("worldhello", d.Text());
  EXPECT_EQ("hello ", clip.clip.GetText());
  d.Key(VK_INSERT, {VK_SHIFT});  // paste
  EXPECT_EQ("hello worldhello", d.Text());
  d.Keys(VK_LEFT, 6, {VK_SHIFT});
  d.Key(VK_DELETE, {VK_SHIFT});  // cut
  EXPECT_EQ("worldhello", d.Text());
  d.Key('A', {VK_CONTROL});
  d.Key(VK_INSERT, {VK_CONTROL});  // copy
  EXPECT_EQ("worldhello", clip.clip.GetText());
}

TEST(FenEditKeys, InsertTogglesOverwriteAndReports) {
  InputCtl c("abcd");
  std::vector<bool> reported;
  c.e.OnChangeInsMode = [&](TObject*, bool insmode) { reported.push_back(insmode); };
  c.Key(VK_INSERT);
  EXPECT_FALSE(c.e.InsertMode());
  c.Type("XY");
  EXPECT_EQ("XYcd", c.Text());
  c.Key(VK_INSERT);
  c.Type("Z");
  EXPECT_EQ("XYZcd", c.Text());
  EXPECT_EQ((std::vector<bool>{false, true}), reported);
  c.Key(VK_INSERT, {VK_SHIFT});  // Shift+Insert pastes, it does not toggle
  EXPECT_EQ(2u, reported.size());
}

TEST(FenEditKeys, ReadOnlyRefusesEveryEditButMoves) {
  ScopedClipboard clip;
  clip.clip.SetText("PASTE");
  InputCtl c("abc\r\ndef");
  c.e.ReadOnly = true;
  int insReports = 0;
  c.e.OnChangeInsMode = [&](TObject*, bool) { ++insReports; };
  c.Key(VK_RIGHT);
  c.Key(VK_RIGHT, {VK_SHIFT});
  EXPECT_EQ("b", c.Sel());
  for (unsigned vk : {VK_DELETE, VK_BACK, VK_TAB, VK_RETURN, VK_INSERT}) c.Key(vk);
  for (unsigned vk : {VK_DELETE, VK_BACK, unsigned('V'), unsigned('X'), unsigned('Z')})
    c.Key(vk, {VK_CONTROL});
  for (unsigned vk : {VK_INSERT, VK_DELETE}) c.Key(vk, {VK_SHIFT});
  c.Type("q");
  c.host.Compose("", kA);
  EXPECT_EQ("abc\r\ndef", c.Text());
  EXPECT_TRUE(c.e.InsertMode());
  EXPECT_EQ(0, insReports);
  c.Key('C', {VK_CONTROL});  // copying is not an edit
  EXPECT_EQ("b", clip.clip.GetText());
  c.Key(VK_DOWN);
  EXPECT_EQ(1, c.Caret().Row);
}

TEST(FenEditKeys, CharactersTypedOnlyInThePrintableRanges) {
  InputCtl c("");
  for (unsigned ch : {0x41u, 0x20u, 0x7Eu, 0xB1u, 0xDFu, 0xA0u}) c.host.Char(ch);
  // Control characters, DEL, a lead byte, and bytes above the katakana never type.
  for (unsigned ch : {0x01u, 0x09u, 0x0Du, 0x1Bu, 0x7Fu, 0x81u, 0x9Fu, 0xE0u, 0xFCu})
    c.host.Char(ch);
  EXPECT_EQ(std::string("A ~\xb1\xdf\xa0"), c.Text());
  c.host.SetKeyDown(VK_CONTROL, true);
  c.Type("b");
  c.host.SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ(6u, c.Text().size());
}

TEST(FenEditKeys, HandlersCanChangeOrSuppressKeys) {
  InputCtl c("ab");
  c.e.OnKeyDown = [](TObject*, unsigned& key, TShiftState) {
    if (key == VK_RETURN) key = 0;
  };
  c.e.OnKeyPress = [](TObject*, char& ch) {
    if (ch == 'x') ch = 'y';
    if (ch == 'q') ch = 0;
  };
  std::vector<unsigned> ups;
  c.e.OnKeyUp = [&](TObject*, unsigned& key, TShiftState) { ups.push_back(key); };
  c.Key(VK_RETURN);
  c.Type("xq");
  EXPECT_EQ("yab", c.Text());
  EXPECT_EQ(std::vector<unsigned>{VK_RETURN}, ups);
}

TEST(FenEditKeys, KeyReleaseEndsTheDownAcceleration) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "r\r\n";
  InputCtl c(text);
  // Hold Down: key downs without releases scroll from the bottom margin on.
  for (int i = 0; i < 40; ++i) c.host.Send(WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_GT(c.e.KeyRepeat(), 4);
  TRow before = c.e.TopRow();
  c.host.Send(WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(before + c.e.GetScrollStep(), c.e.TopRow());
  c.host.KeyUp(VK_DOWN);
  EXPECT_EQ(0, c.e.KeyRepeat());
  before = c.e.TopRow();
  c.Key(VK_DOWN);
  EXPECT_EQ(before + 1, c.e.TopRow());
}

TEST(FenEditKeys, PageDownMovesTheViewAndTheCaret) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "r\r\n";
  InputCtl c(text);
  c.Key(VK_NEXT);
  EXPECT_EQ(29, c.e.TopRow());  // (480 - 4) / 16 rows a page
  EXPECT_EQ(29, c.Caret().Row);
  c.Key(VK_PRIOR, {VK_SHIFT});
  EXPECT_EQ(0, c.e.TopRow());
  EXPECT_EQ(0, c.Caret().Row);
  EXPECT_EQ(29 * 3, static_cast<int>(c.Sel().size()));
}

TEST(FenEditKeys, CaretScrollFixBringsTheCaretBackFirst) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "r\r\n";
  InputCtl c(text);
  c.e.CaretScrollFix = true;
  c.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 50), 0);
  EXPECT_EQ(50, c.e.TopRow());
  EXPECT_EQ(0, c.Caret().Row);  // the caret stayed on its row, out of view
  c.Key(VK_RIGHT);
  EXPECT_EQ(0, c.e.TopRow());
  EXPECT_EQ((TRowPos{1, 0}), c.Caret());
  c.host.Send(WM_VSCROLL, MakeLong(SB_THUMBTRACK, 50), 0);
  c.host.SetKeyDown(VK_MENU, true);
  EXPECT_EQ(0, c.host.Send(WM_SYSKEYDOWN, VK_MENU, 0));
  c.host.SetKeyDown(VK_MENU, false);
  EXPECT_EQ(0, c.e.TopRow());
  EXPECT_EQ(0, c.host.Send(WM_SYSCHAR, 'f', 0));
}

TEST(FenEditKeys, ConvertWithASelectionTurnsItAroundForReconversion) {
  InputCtl c("abcdef");
  int reconverts = 0;
  TRowPos caretSeen{-1, -1};
  c.e.OnIMEReConvert = [&](TObject*) {
    ++reconverts;
    caretSeen = c.Caret();
  };
  c.Key(VK_RIGHT);
  c.Keys(VK_RIGHT, 3, {VK_SHIFT});
  c.Key(VK_CONVERT);
  EXPECT_EQ(1, reconverts);
  EXPECT_EQ((TRowPos{1, 0}), caretSeen);  // the caret at the selection's start
  EXPECT_EQ("bcd", c.Sel());
  EXPECT_EQ((TRowPos{4, 0}), c.e.Anchor());
  // Without a selection, while composing, or read-only: no reconversion.
  c.Key(VK_RIGHT);
  c.Key(VK_CONVERT);
  c.Keys(VK_LEFT, 2, {VK_SHIFT});
  c.host.Send(WM_IME_STARTCOMPOSITION);
  c.Key(VK_CONVERT);
  c.host.Send(WM_IME_ENDCOMPOSITION);
  c.e.ReadOnly = true;
  c.Key(VK_CONVERT);
  EXPECT_EQ(1, reconverts);
  c.e.ReadOnly = false;
  c.Key(VK_CONVERT, {VK_SHIFT});  // only without Shift and Ctrl
  EXPECT_EQ(1, reconverts);
  c.Key(VK_CONVERT);
  EXPECT_EQ(2, reconverts);
}

// Random key sequences on an unwrapped text against a plain model: bytes, caret, selection.
TEST(FenEditKeys, RandomKeySequencesFollowAPlainModel) {
  struct Model {
    std::string text;
    size_t caret = 0;
    bool sel = false;
    size_t anchor = 0;
    bool Lead(size_t i) const {
      unsigned char b = static_cast<unsigned char>(text[i]);
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }
    // Character starts of the text, from a line start on.
    size_t Next(size_t p) const {
      if (text.compare(p, 2, "\r\n") == 0) return p + 2;
      return p + (Lead(p) ? 2 : 1);
    }
    size_t Prev(size_t p) const {
      if (p >= 2 && text.compare(p - 2, 2, "\r\n") == 0) return p - 2;
      size_t i = LineStart(p), last = i;
      while (i < p) {
        last = i;
        i = Next(i);
      }
      return last;
    }
    size_t LineStart(size_t p) const {
      size_t q = p == 0 ? std::string::npos : text.rfind("\r\n", p - 1);
      return q == std::string::npos ? 0 : q + 2;
    }
    size_t LineEnd(size_t p) const {
      size_t q = text.find("\r\n", p);
      return q == std::string::npos ? text.size() : q;
    }
    bool all = false;  // Ctrl+A: everything, whatever the caret
    // A key that moves the caret from here to to (or nowhere, when to is here).
    void Move(size_t to, bool shift) {
      if (shift) {
        if (to == caret) return;
        if (all) {
          all = false;  // the selection from the text start, as drawn
        } else if (!sel) {
          sel = true;
          anchor = caret;
        }
        caret = to;
        if (anchor == caret) sel = false;
      } else {
        caret = to;
        sel = all = false;
      }
    }
    void SelectAll() {
      if (text.empty()) return;
      sel = all = true;
      anchor = 0;
    }
    void Erase() {
      size_t a = all ? 0 : std::min(anchor, caret), b = all ? text.size() : std::max(anchor, caret);
      text.erase(a, b - a);
      caret = a;
      sel = all = false;
    }
  };
  const std::vector<std::string> pieces{"a", "b", " ", kA, kKa, "\t"};
  std::mt19937 rng(20261208);
  for (int round = 0; round < 20; ++round) {
    InputCtl c("");
    Model m;
    for (int step = 0; step < 150; ++step) {
      bool shift = rng() % 3 == 0;
      std::initializer_list<unsigned> mods = {VK_SHIFT};
      std::initializer_list<unsigned> none = {};
      switch (rng() % 10) {
        case 0:
        case 1: {
          const std::string& p = pieces[rng() % pieces.size()];
          if (p == "\t") {
            c.Key(VK_TAB);
          } else if (p.size() == 2) {
            c.host.Compose("", p);
          } else {
            c.Type(p);
          }
          if (m.sel) m.Erase();
          m.text.insert(m.caret, p);
          m.caret += p.size();
          break;
        }
        case 2:
          c.Key(VK_RIGHT, shift ? mods : none);
          m.Move(m.caret < m.text.size() ? m.Next(m.caret) : m.caret, shift);
          break;
        case 3:
          c.Key(VK_LEFT, shift ? mods : none);
          m.Move(m.caret > 0 ? m.Prev(m.caret) : m.caret, shift);
          break;
        case 4:
          c.Key(VK_HOME, shift ? mods : none);
          m.Move(m.LineStart(m.caret), shift);
          break;
        case 5:
          c.Key(VK_END, shift ? mods : none);
          m.Move(m.LineEnd(m.caret), shift);
          break;
        case 6:
          c.Key(VK_RETURN);
          if (m.sel) m.Erase();
          m.text.insert(m.caret, "\r\n");
          m.caret += 2;
          break;
        case 7:
          c.Key(VK_BACK);
          if (m.sel) {
            m.Erase();
          } else if (m.caret > 0) {
            size_t p = m.Prev(m.caret);
            m.text.erase(p, m.caret - p);
            m.caret = p;
          }
          break;
        case 8:
          c.Key(VK_DELETE);
          if (m.sel) {
            m.Erase();
          } else if (m.caret < m.text.size()) {
            m.text.erase(m.caret, m.Next(m.caret) - m.caret);
          }
          break;
        case 9:
          if (rng() % 2 == 0) {
            c.Key('A', {VK_CONTROL});
            m.SelectAll();
          } else {
            c.Key(VK_END, shift ? std::initializer_list<unsigned>{VK_CONTROL, VK_SHIFT}
                                : std::initializer_list<unsigned>{VK_CONTROL});
            m.Move(m.text.size(), shift);
          }
          break;
      }
      ASSERT_EQ(m.text, c.Text()) << "round " << round << " step " << step;
      TRowPos cp = c.Caret();
      size_t abs = 0;
      for (TRow r = 0; r < cp.Row; ++r) abs += c.e.GetStore().Get(r).size();
      ASSERT_EQ(m.caret, abs + static_cast<size_t>(cp.Byte))
          << "round " << round << " step " << step;
      ASSERT_EQ(m.sel, c.e.IsSelected()) << "round " << round << " step " << step;
      if (m.sel) {
        size_t a = m.all ? 0 : std::min(m.anchor, m.caret);
        size_t b = m.all ? m.text.size() : std::max(m.anchor, m.caret);
        ASSERT_EQ(m.text.substr(a, b - a), c.Sel()) << "round " << round << " step " << step;
      }
    }
  }
}

// After Ctrl+A a plain move must end the selection even where the caret cannot go further,
// or the next typed key replaces the whole text.
TEST(FenEditKeys, AMoveWithoutShiftEndsTheSelectionEvenWhenTheCaretStays) {
  struct Case {
    unsigned key;
    std::initializer_list<unsigned> mods;
    bool atEnd;
  };
  const Case cases[] = {{VK_END, {}, true},    {VK_RIGHT, {}, true},
                        {VK_DOWN, {}, true},   {VK_END, {VK_CONTROL}, true},
                        {VK_NEXT, {}, true},   {VK_OEM_PERIOD, {VK_CONTROL}, true},
                        {VK_HOME, {}, false},  {VK_LEFT, {}, false},
                        {VK_UP, {}, false},    {VK_HOME, {VK_CONTROL}, false},
                        {VK_PRIOR, {}, false}, {VK_OEM_COMMA, {VK_CONTROL}, false}};
  for (const Case& k : cases) {
    InputCtl c("abc\r\ndef");
    if (k.atEnd) c.Key(VK_END, {VK_CONTROL});
    const TRowPos before = c.Caret();
    c.Key('A', {VK_CONTROL});
    ASSERT_TRUE(c.e.IsSelected());
    c.Key(k.key, k.mods);
    EXPECT_FALSE(c.e.IsSelected()) << k.key;
    EXPECT_EQ(before, c.Caret()) << k.key;
    c.Type("x");
    EXPECT_EQ(k.atEnd ? "abc\r\ndefx" : "xabc\r\ndef", c.Text()) << k.key;
  }
}

TEST(FenEditKeys, ASelectionShrunkBackToNothingIsNone) {
  InputCtl c("abc\r\ndef");
  int changes = 0;
  c.e.OnChange = [&](TObject*) { ++changes; };
  c.Key(VK_RIGHT, {VK_SHIFT});
  c.Key(VK_LEFT, {VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelected());
  EXPECT_EQ("", c.Sel());
  // Delete works as without a selection: one character, one change.
  c.Key(VK_DELETE);
  EXPECT_EQ("bc\r\ndef", c.Text());
  EXPECT_EQ(1, changes);
  // Over a line break and back again.
  c.Key(VK_END);
  c.Key(VK_RIGHT, {VK_SHIFT});
  c.Key(VK_LEFT, {VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelected());
  // Shift+End then Shift+Home from a line start leaves nothing selected either.
  c.Key(VK_RIGHT);
  c.Key(VK_END, {VK_SHIFT});
  c.Key(VK_HOME, {VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelected());
}

TEST(FenEditKeys, ShiftMoveAfterSelectAllSelectsWhatIsDrawn) {
  InputCtl c("abcdef\r\nghij");
  c.Key(VK_RIGHT);
  c.Key('A', {VK_CONTROL});
  c.Key(VK_RIGHT, {VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelectAll());
  EXPECT_TRUE(c.e.IsSelected());
  EXPECT_EQ("ab", c.Sel());
  // Drawn the same: "b" inverted, "c" and the next line plain.
  EXPECT_EQ(clWhite, c.host.Canvas().ColorAt(InputCtl::X(1) + 4, c.Y(0)));
  EXPECT_EQ(clBlack, c.host.Canvas().ColorAt(InputCtl::X(2) + 4, c.Y(0)));
  EXPECT_EQ(clBlack, c.host.Canvas().ColorAt(InputCtl::X(0) + 4, c.Y(1)));
  // What is deleted is what was shown.
  c.Key(VK_DELETE);
  EXPECT_EQ("cdef\r\nghij", c.Text());
  // Back onto the anchor after Ctrl+A: no selection.
  c.Key(VK_RIGHT);
  c.Key('A', {VK_CONTROL});
  c.Key(VK_HOME, {VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelected());
  // Ctrl+Shift+End after Ctrl+A: from the text start, as drawn.
  c.Key(VK_RIGHT);
  c.Key('A', {VK_CONTROL});
  c.Key(VK_HOME, {VK_CONTROL, VK_SHIFT});
  EXPECT_FALSE(c.e.IsSelected());
}

TEST(FenEditKeys, CtrlYAndCtrlShiftZRedo) {
  InputCtl c("");
  c.Type("abc");
  c.Key('Z', {VK_CONTROL});
  c.Key('Z', {VK_CONTROL});
  EXPECT_EQ("a", c.Text());
  c.Key('Y', {VK_CONTROL});
  EXPECT_EQ("ab", c.Text());
  c.Key('Z', {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ("abc", c.Text());
  c.Key('Z', {VK_CONTROL});
  c.Key('Z', {VK_CONTROL, VK_MENU});
  EXPECT_EQ("abc", c.Text());
  // Nothing left to redo: the keys do not undo instead.
  c.Key('Z', {VK_CONTROL, VK_SHIFT});
  c.Key('Z', {VK_CONTROL, VK_MENU});
  EXPECT_EQ("abc", c.Text());
}
