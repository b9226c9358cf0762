// Random searches and replacements checked against a plain model: every occurrence that
// starts at a character boundary, left to right, without overlaps.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "FenEdit/FenEdit.h"
#include "FenEdit/FindMatcher.h"
#include "platform/CodePage.h"

namespace {

// Pieces that texts, search strings and replacements are made of: letters, line breaks
// (whole and lone), and double-byte characters whose trail bytes look like letters or like
// lead bytes.
const char* const kPieces[] = {"a",        "b",        "a",        "A",  " ",
                               "\r\n",     "\r\n",     "\r",       "\n", "\x82\xa0",
                               "\x93\xfa", "\x83\x41", "\x81\x40", "@",  "\x88\x9f"};

std::string Pieces(std::mt19937& rng, int lo, int hi) {
  std::string s;
  int n = std::uniform_int_distribution<int>(lo, hi)(rng);
  for (int i = 0; i < n; ++i)
    s += kPieces[std::uniform_int_distribution<size_t>(0, std::size(kPieces) - 1)(rng)];
  return s;
}

// Character starts of a text, read from its front.
std::vector<bool> Boundaries(const std::string& t) {
  std::vector<bool> b(t.size() + 1, false);
  for (size_t i = 0; i < t.size();) {
    b[i] = true;
    bool pair = CodePage::IsDBCSLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() &&
                t[i + 1] != '\r' && t[i + 1] != '\n';
    i += pair ? 2 : 1;
  }
  b[t.size()] = true;
  return b;
}

// A place the caret can take: a character start, not inside a CR LF pair.
bool CaretPlace(const std::string& t, const std::vector<bool>& bounds, size_t at) {
  return bounds[at] && !(at > 0 && at < t.size() && t[at - 1] == '\r' && t[at] == '\n');
}

// The model: occurrences at character starts from `from` on, each ending by `to`, left to
// right, the search going on behind each.
std::vector<size_t> Occurrences(const std::string& t, const std::string& f, size_t from,
                                size_t to) {
  std::vector<size_t> out;
  if (f.empty()) return out;
  std::vector<bool> b = Boundaries(t);
  for (size_t i = from; i + f.size() <= to;) {
    if (b[i] && t.compare(i, f.size(), f) == 0) {
      out.push_back(i);
      i += f.size();
    } else {
      ++i;
    }
  }
  return out;
}

std::string ModelReplace(const std::string& t, const std::string& f, const std::string& r,
                         size_t from, size_t to, int& count) {
  std::vector<size_t> occ = Occurrences(t, f, from, to);
  count = static_cast<int>(occ.size());
  std::string out;
  size_t at = 0;
  for (size_t o : occ) {
    out.append(t, at, o - at);
    out += r;
    at = o + f.size();
  }
  out.append(t, at);
  return out;
}

// A search string whose occurrences can never overlap (no proper prefix is also a suffix):
// then forward and backward steps visit the same list.
bool Overlaps(const std::string& f) {
  for (size_t k = 1; k < f.size(); ++k)
    if (f.compare(0, k, f, f.size() - k, k) == 0) return true;
  return false;
}

size_t Offset(const TFenEdit& e, TRowPos p) {
  size_t n = static_cast<size_t>(p.Byte);
  for (TRow r = 0; r < p.Row; ++r) n += e.GetStore().Get(r).size();
  return n;
}

TRowPos PosOf(const TFenEdit& e, size_t off) {
  const TFenStrings& s = e.GetStore();
  TRow r = 0;
  while (r < s.Count() - 1 && off >= s.Get(r).size()) {
    off -= s.Get(r).size();
    ++r;
  }
  return {static_cast<TByte>(off), r};
}

void InstallMatcher(TFenEdit& e) {
  e.OnFind = [](TObject*, std::string_view s, const std::string& f, int, int& x, int&) {
    x = FindMatch(s, f);
  };
}

struct Layout {
  bool wrap;
  int column;
};

Layout RandomLayout(std::mt19937& rng) {
  return {std::uniform_int_distribution<int>(0, 3)(rng) != 0,
          std::uniform_int_distribution<int>(10, 16)(rng)};
}

}  // namespace

TEST(FenEditSearchModel, FindSequencesVisitEveryOccurrence) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 400; ++round) {
    std::string text = Pieces(rng, 0, 60);
    std::string find;
    do find = Pieces(rng, 1, 3);
    while (Overlaps(find));
    if (round % 4 == 0 && !text.empty()) {  // make sure there is something to find
      size_t at = std::uniform_int_distribution<size_t>(0, text.size())(rng);
      std::vector<bool> b = Boundaries(text);
      while (!b[at]) --at;
      text.insert(at, find);
    }
    Layout lay = RandomLayout(rng);
    TFenEdit e;
    e.SetWordWrap(lay.wrap);
    e.SetColumn(lay.column);
    e.SetText(text);
    InstallMatcher(e);
    std::vector<size_t> occ = Occurrences(text, find, 0, text.size());
    std::vector<bool> bounds = Boundaries(text);

    struct {
      size_t pos = 0, back = 0;
      int count = 0;
      bool wrapped = false, newSearch = true;
    } m;
    size_t caret = 0;
    std::string got, want;
    e.OnFindHit = [&](TObject*, const std::string&, int x, int y, int len, int count) {
      got += "hit " + std::to_string(Offset(e, {x, y})) + " len " + std::to_string(len) + " #" +
             std::to_string(count) + "; ";
    };
    e.OnFindNoHit = [&](TObject*, const std::string&) { got += "nohit; "; };
    auto step = [&](bool forward) {
      if (m.wrapped) {
        m.count = 0;
        m.pos = 0;
        m.back = text.size();
      }
      m.wrapped = m.newSearch = false;
      long hit = -1;
      for (size_t o : occ) {
        if (forward && o >= m.pos) {
          hit = static_cast<long>(o);
          break;
        }
        if (!forward && o + find.size() <= m.back) hit = static_cast<long>(o);
      }
      if (hit < 0) {
        m.wrapped = true;
        m.pos = forward ? text.size() : 0;
        m.back = m.pos;
        want += "nohit; ";
        return;
      }
      caret = static_cast<size_t>(hit);
      m.back = static_cast<size_t>(hit);
      // A hit on the LF of a CR LF pair: the caret can only stand before the pair.
      if (caret > 0 && text[caret - 1] == '\r' && text[caret] == '\n') --caret;
      m.pos = static_cast<size_t>(hit) + find.size();
      want += "hit " + std::to_string(hit) + " len " + std::to_string(find.size()) + " #" +
              std::to_string(++m.count) + "; ";
    };

    e.SetFindText(find);
    for (int op = 0; op < 25; ++op) {
      int kind = std::uniform_int_distribution<int>(0, 9)(rng);
      if (kind == 0) {
        e.FindFirst();
        m.pos = 0;
        m.count = 0;
        m.wrapped = false;
        step(true);
      } else if (kind == 1) {
        // Place the caret at some character start.
        size_t at = std::uniform_int_distribution<size_t>(0, text.size())(rng);
        while (!CaretPlace(text, bounds, at)) --at;
        TRowPos p = PosOf(e, at);
        e.GotoPos(p.Byte, p.Row, TCaretPlacement::Minimal);
        caret = at;
        m.newSearch = true;
      } else if (kind <= 5) {
        e.FindNext();
        if (m.newSearch) m.pos = caret;
        step(true);
      } else {
        e.FindPrev();
        if (m.newSearch) m.back = caret;
        step(false);
      }
      ASSERT_EQ(want, got) << "round " << round << " text " << testing::PrintToString(text)
                           << " find " << testing::PrintToString(find) << " wrap " << lay.wrap
                           << " column " << lay.column;
      ASSERT_EQ(caret, Offset(e, e.Caret()))
          << "round " << round << " op " << op << " kind " << kind << " text "
          << testing::PrintToString(text) << " wrap " << lay.wrap << " column " << lay.column;
    }
  }
}

TEST(FenEditSearchModel, ForwardFindsMatchTheModelForAnySearchString) {
  // Also strings whose occurrences overlap ("aa" in "aaa"): forward steps never overlap.
  std::mt19937 rng(99);
  for (int round = 0; round < 400; ++round) {
    std::string text = Pieces(rng, 0, 60);
    std::string find = Pieces(rng, 1, 2);
    if (round % 3 == 0) find = find + find;
    Layout lay = RandomLayout(rng);
    TFenEdit e;
    e.SetWordWrap(lay.wrap);
    e.SetColumn(lay.column);
    e.SetText(text);
    InstallMatcher(e);
    std::vector<size_t> hits;
    bool done = false;
    e.OnFindHit = [&](TObject*, const std::string&, int x, int y, int, int) {
      hits.push_back(Offset(e, {x, y}));
    };
    e.OnFindNoHit = [&](TObject*, const std::string&) { done = true; };
    e.SetFindText(find);
    e.FindFirst();
    while (!done && hits.size() <= text.size()) e.FindNext();
    ASSERT_EQ(Occurrences(text, find, 0, text.size()), hits)
        << "text " << testing::PrintToString(text) << " find " << testing::PrintToString(find);
  }
}

// Tiny store blocks, so that a replace-all rebuilds many blocks and crosses their borders.
class BlockEdit : public TFenEdit {
 public:
  explicit BlockEdit(int rows) { Store.SetBlockSizeForTesting(rows); }
};

TEST(FenEditSearchModel, ReplaceAllMatchesTheModelAndUndoesStepByStep) {
  std::mt19937 rng(4321);
  for (int round = 0; round < 600; ++round) {
    std::string text = Pieces(rng, 0, 50);
    std::string find = Pieces(rng, 1, 2);
    std::string repl;
    switch (round % 4) {
      case 0:
        repl = Pieces(rng, 0, 3);
        break;
      case 1:
        repl = find + Pieces(rng, 0, 2) + find;
        break;  // holds the search string
      case 2:
        repl = Pieces(rng, 8, 16);
        break;  // wraps into the next rows
      default:
        repl = find + "\r\n" + find;
        break;
    }
    Layout lay = RandomLayout(rng);
    BlockEdit e(std::uniform_int_distribution<int>(1, 4)(rng));
    e.SetWordWrap(lay.wrap);
    e.SetColumn(lay.column);
    e.SetText(text);
    InstallMatcher(e);
    std::vector<bool> bounds = Boundaries(text);
    auto randomBoundary = [&] {
      size_t at = std::uniform_int_distribution<size_t>(0, text.size())(rng);
      while (!CaretPlace(text, bounds, at)) --at;
      return at;
    };

    // Whole text from the top, from the caret, or inside a selection.
    int mode = std::uniform_int_distribution<int>(0, 2)(rng);
    size_t from = 0, to = text.size();
    if (mode == 1) {
      from = randomBoundary();
      TRowPos p = PosOf(e, from);
      e.GotoPos(p.Byte, p.Row, TCaretPlacement::Minimal);
    } else if (mode == 2) {
      from = randomBoundary();
      to = randomBoundary();
      if (to < from) std::swap(from, to);
      TRowPos a = PosOf(e, from), c = PosOf(e, to);
      e.SetSel(a.Byte, a.Row, c.Row, c.Byte);
    }
    int wantCount = 0;
    std::string want = ModelReplace(text, find, repl, from, to, wantCount);
    int gotCount = -1;
    e.OnFindChangeEnd = [&](TObject*, const std::string&, const std::string&, int count) {
      gotCount = count;
    };
    e.ReplaceText(find, repl, mode != 2, false, mode == 0);
    std::string where = "round " + std::to_string(round) + " text " + testing::PrintToString(text) +
                        " find " + testing::PrintToString(find) + " repl " +
                        testing::PrintToString(repl) + " mode " + std::to_string(mode) + " range " +
                        std::to_string(from) + ".." + std::to_string(to) + " wrap " +
                        std::to_string(lay.wrap) + " column " + std::to_string(lay.column);
    ASSERT_EQ(want, e.GetText()) << where;
    ASSERT_EQ(wantCount, gotCount) << where;
    ASSERT_EQ("", e.CheckInvariants()) << where;

    // Asking before each replacement (and always answering yes) replaces hit by hit in the
    // store: same text, same undo steps.
    TFenEdit a;
    a.SetWordWrap(lay.wrap);
    a.SetColumn(lay.column);
    a.SetText(text);
    InstallMatcher(a);
    if (mode == 1) {
      TRowPos p = PosOf(a, from);
      a.GotoPos(p.Byte, p.Row, TCaretPlacement::Minimal);
    } else if (mode == 2) {
      TRowPos p = PosOf(a, from), c = PosOf(a, to);
      a.SetSel(p.Byte, p.Row, c.Row, c.Byte);
    }
    a.OnFindChange = [](TObject*, const std::string&, const std::string&, int, int, int, int, bool&,
                        bool&, bool&) {};
    a.ReplaceText(find, repl, mode != 2, true, mode == 0);
    ASSERT_EQ(want, a.GetText()) << where;
    ASSERT_EQ(e.UndoList().size(), a.UndoList().size()) << where;
    for (size_t i = 0; i < a.UndoList().size(); ++i) {
      const TUndoStep &x = e.UndoList()[i], &y = a.UndoList()[i];
      ASSERT_EQ(std::make_tuple(y.Kind, y.Offset, y.Line, y.Text),
                std::make_tuple(x.Kind, x.Offset, x.Line, x.Text))
          << where << " step " << i;
    }
    ASSERT_EQ(a.Caret(), e.Caret()) << where;

    // The replace-all is one undo and one redo; replacements made one by one are a step each.
    e.Undo();
    ASSERT_EQ(text, e.GetText()) << where;
    ASSERT_FALSE(e.CanUndo()) << where;
    ASSERT_EQ("", e.CheckInvariants()) << where;
    e.Redo();
    ASSERT_EQ(want, e.GetText()) << where;
    ASSERT_FALSE(e.CanRedo()) << where;
    ASSERT_EQ("", e.CheckInvariants()) << where;
    for (int i = 0; i < wantCount; ++i) a.Undo();
    ASSERT_EQ(text, a.GetText()) << where;
    ASSERT_FALSE(a.CanUndo()) << where;
  }
}
