#include <gtest/gtest.h>

#include <string>

#include "FenEdit/Fenstrings.h"
#include "FenEdit/SearchSession.h"

namespace {

// Rows "r0:xxxx..." so every byte says where it came from.
void Fill(TFenStrings& s, int rows, size_t len) {
  s.Clear();
  for (int i = 0; i < rows; ++i) {
    std::string r = "r" + std::to_string(i) + ":";
    r.resize(len - 2, static_cast<char>('a' + i % 26));
    s.Add(r + "\r\n");
  }
}

}  // namespace

// A row's text runs on into the rows after it by exactly the bytes asked for, never past the
// search's end, and a window built for one row serves the rows after it with the same bytes
// a fresh window would give.
TEST(SearchWindow, TextRunsIntoFollowingRowsUpToWantAndNeverPastTheEnd) {
  TFenStrings s;
  Fill(s, 3000, 40);  // about 120 KB: more than one window's worth
  const TRowPos end{7, 2999};
  TSearchWindow reused;
  for (TRow row : {0, 1, 2, 1700, 2997, 2998}) {
    for (size_t want : {size_t{1}, size_t{39}, size_t{100}}) {
      std::string expect = std::string(s.Get(row)).substr(3);
      for (TRow q = row + 1; q <= end.Row && expect.size() < 37 + want; ++q)
        expect += std::string(s.Get(q)).substr(0, q == end.Row ? 7 : std::string::npos);
      expect.resize(std::min(expect.size(), 37 + want));
      TSearchWindow fresh;
      EXPECT_EQ(expect, fresh.Text(s, row, 3, 40, end, want)) << row << " " << want;
      EXPECT_EQ(expect, reused.Text(s, row, 3, 40, end, want)) << row << " " << want;
    }
  }
}

// After Drop the window copies afresh, so rows changed since are read as they are now.
TEST(SearchWindow, DropForgetsTheCopiedRows) {
  TFenStrings s;
  Fill(s, 4, 10);
  TSearchWindow w;
  const TRowPos end{4, 3};
  std::string before(w.Text(s, 0, 0, 10, end, 5));
  s.Put(1, "CHANGED!\r\n");
  EXPECT_EQ(before, w.Text(s, 0, 0, 10, end, 5));  // still the kept copy
  w.Drop();
  EXPECT_EQ(std::string(s.Get(0)) + "CHANG", w.Text(s, 0, 0, 10, end, 5));
}
