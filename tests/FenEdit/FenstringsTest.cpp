#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <sstream>

#include "FenEdit/Fenstrings.h"
#include "support/TempDir.h"

namespace {

std::string Rows(const TFenStrings& s) {
  std::string out;
  for (int i = 0; i < s.Count(); ++i) out += "[" + Hex(s.Get(i)) + "]";
  return out;
}

std::string RowsOf(std::initializer_list<std::string> rows) {
  std::string out;
  for (const std::string& r : rows) out += "[" + Hex(r) + "]";
  return out;
}

const std::string kNul2(2, '\0');

}  // namespace

TEST(FenStrings, RowOperationsAndIndexErrors) {
  TFenStrings s;
  EXPECT_EQ(0, s.Add("a"));
  EXPECT_EQ(1, s.Add("c"));
  s.Insert(1, "b");
  s.Insert(3, "d");  // index == count appends
  EXPECT_EQ(RowsOf({"a", "b", "c", "d"}), Rows(s));
  EXPECT_THROW(s.Insert(5, "x"), EFenStringsError);
  EXPECT_THROW(s.Insert(-1, "x"), EFenStringsError);
  EXPECT_THROW(s.Get(-1), EFenStringsError);
  EXPECT_THROW(s.Get(4), EFenStringsError);
  EXPECT_THROW(s.Put(4, "x"), EFenStringsError);
  EXPECT_THROW(s.Delete(4), EFenStringsError);
  s.Delete(0);
  s.Put(0, "B");
  EXPECT_EQ(RowsOf({"B", "c", "d"}), Rows(s));
  EXPECT_EQ(1, s.IndexOf("c"));
  EXPECT_EQ(-1, s.IndexOf("C"));
  try {
    s.Get(99);
    FAIL();
  } catch (const EFenStringsError& e) {
    EXPECT_STREQ("インデックスがリストの範囲を超えています", e.what());
  }
}

TEST(FenStrings, CapacityPolicy) {
  TFenStrings s;
  s.Add("x");
  EXPECT_EQ(32, s.Capacity());  // grows by at least 32
  for (int i = 1; i < 32; ++i) s.Add("x");
  EXPECT_EQ(32, s.Capacity());
  s.Add("x");
  EXPECT_EQ(64, s.Capacity());
  EXPECT_THROW(s.SetCapacity(10), EFenStringsError);  // below count
  EXPECT_THROW(s.SetCapacity(TFenStrings::kMaxCount + 1), EFenStringsError);
  EXPECT_THROW(s.SetCount(-1), EFenStringsError);
  s.SetCount(3);
  EXPECT_EQ(3, s.Count());
  s.SetCount(5);
  EXPECT_EQ("", s.Get(4));
  s.SetText("ab\r\ncd");
  EXPECT_EQ(s.Count(), s.Capacity());  // bulk building trims capacity to count
  s.Clear();
  EXPECT_EQ(0, s.Count());
  EXPECT_EQ(0, s.Capacity());
}

TEST(FenStrings, SetTextSplitsAtCrOrNulKeepingTwoBytes) {
  TFenStrings s;
  s.SetText(std::string("ab\r\ncd\0\0", 8));
  EXPECT_EQ(RowsOf({"ab\r\n", std::string("cd\0\0", 4)}), Rows(s));
  EXPECT_EQ("ab\r\ncd", s.GetText());
  s.SetText("");
  EXPECT_EQ(0, s.Count());
  s.SetText("abc");
  EXPECT_EQ(RowsOf({"abc"}), Rows(s));
  int index = 1;
  s.SetText(std::string("a\r\nz\0\0", 6));
  s.InsertText(index, "b\r\nc\r\n");
  EXPECT_EQ(2, index);
  EXPECT_EQ(RowsOf({"a\r\n", "b\r\n", "c\r\n", std::string("z\0\0", 3)}), Rows(s));
  EXPECT_EQ(3, s.LineEndCount());
}

TEST(FenStrings, CommaText) {
  TFenStrings s;
  s.AddStrings({"a", "b c", "d,e", "f"});
  EXPECT_EQ("a,\"b c\",\"d,e\",f", s.GetCommaText());
  TFenStrings t;
  t.SetCommaText("a,\"b c\",\"d,e\",f");
  EXPECT_EQ(Rows(s), Rows(t));
}

TEST(FenStrings, StreamsRoundTrip) {
  TFenStrings s;
  s.SetText(std::string("x\r\ny\0\0", 6));
  std::ostringstream out;
  s.SaveToStream(out);
  EXPECT_EQ("x\r\ny", out.str());
  std::istringstream in(std::string("p\r\nq\0\0", 6));
  TFenStrings t;
  t.LoadFromStream(in);
  EXPECT_EQ("p\r\nq", t.GetText());
}

// Blocks are an internal detail: row and line lookups must agree with a plain scan whatever
// the block size.
TEST(FenStrings, LineIndexAcrossBlocks) {
  TFenStrings s;
  s.SetBlockSizeForTesting(3);
  std::vector<std::string> model;
  unsigned seed = 7;
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int step = 0; step < 3000; ++step) {
    unsigned op = rnd(4);
    std::string row = rnd(2) ? "ab\r\n" : "cont";
    if (op == 0 || model.empty()) {
      int at = static_cast<int>(rnd(static_cast<unsigned>(model.size()) + 1));
      s.Insert(at, row);
      model.insert(model.begin() + at, row);
    } else if (op == 1) {
      int at = static_cast<int>(rnd(static_cast<unsigned>(model.size())));
      s.Delete(at);
      model.erase(model.begin() + at);
    } else if (op == 2) {
      int at = static_cast<int>(rnd(static_cast<unsigned>(model.size())));
      s.Put(at, row);
      model[static_cast<size_t>(at)] = row;
    } else {
      int at = static_cast<int>(rnd(static_cast<unsigned>(model.size())));
      int n = static_cast<int>(rnd(4));
      n = std::min<int>(n, static_cast<int>(model.size()) - at);
      std::vector<std::string> rows(rnd(5), row);
      std::vector<std::string> copy = rows;
      s.ReplaceRows(at, n, std::move(rows));
      model.erase(model.begin() + at, model.begin() + at + n);
      model.insert(model.begin() + at, copy.begin(), copy.end());
    }
    ASSERT_EQ(static_cast<int>(model.size()), s.Count());
    int probe = static_cast<int>(rnd(static_cast<unsigned>(model.size()) + 1));
    int ends = 0;
    for (int i = 0; i < probe; ++i) ends += RowEndsLine(model[static_cast<size_t>(i)]);
    ASSERT_EQ(ends, s.LineEndsBefore(probe));
    if (probe < static_cast<int>(model.size())) {
      ASSERT_EQ(model[size_t(probe)], s.Get(probe));
    }
    // The row after the line-th line end.
    int line = static_cast<int>(rnd(static_cast<unsigned>(s.LineEndCount()) + 1));
    int expect = 0, seen = 0;
    for (int i = 0; i < static_cast<int>(model.size()) && seen < line; ++i) {
      if (RowEndsLine(model[static_cast<size_t>(i)]) && ++seen == line) expect = i + 1;
    }
    ASSERT_EQ(expect, s.RowAfterLineEnds(line));
  }
}

// A rewrite pass against a plain list: random runs kept or replaced (by fewer, as many or more
// rows), rows read ahead of the pass by their old indexes, blocks of 1 to 4 rows.
TEST(FenStrings, RewritePassMatchesAPlainList) {
  std::mt19937 rng(11);
  auto rnd = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (int round = 0; round < 300; ++round) {
    TFenStrings s;
    s.SetBlockSizeForTesting(1 + rnd(4));
    std::vector<std::string> old;
    for (int i = rnd(30); i > 0; --i)
      old.push_back(rnd(2) ? "r" + std::to_string(i) + "\r\n" : "c");
    for (const std::string& r : old) s.Add(r);
    std::vector<std::string> want;
    int first = rnd(static_cast<int>(old.size()) + 1);
    want.assign(old.begin(), old.begin() + first);
    s.BeginRewrite(first);
    int at = first;
    while (at < static_cast<int>(old.size()) && rnd(5) > 0) {
      int upTo = std::min(static_cast<int>(old.size()), at + rnd(4));
      for (int i = at; i < static_cast<int>(old.size()); ++i) {
        ASSERT_EQ(old[size_t(i)], s.Get(i)) << round;  // ahead of the pass, as it was
      }
      if (rnd(2)) {
        int ends = 0;
        for (int i = at; i < upTo; ++i) {
          want.push_back(old[size_t(i)]);
          ends += RowEndsLine(old[size_t(i)]);
        }
        ASSERT_EQ(ends, s.RewriteKeep(upTo)) << round;
      } else {
        std::vector<std::string> rows;
        for (int i = rnd(6); i > 0; --i) rows.push_back(rnd(2) ? "n\r\n" : "m");
        want.insert(want.end(), rows.begin(), rows.end());
        s.RewriteReplace(upTo, rows);
      }
      at = upTo;
    }
    if (at == static_cast<int>(old.size()) && rnd(3) == 0) {
      std::vector<std::string> rows{"tail\r\n", "end"};  // after the last old row
      want.insert(want.end(), rows.begin(), rows.end());
      s.RewriteReplace(at, rows);
    }
    want.insert(want.end(), old.begin() + at, old.end());
    s.EndRewrite();
    ASSERT_FALSE(s.Rewriting());
    ASSERT_EQ(static_cast<int>(want.size()), s.Count()) << round;
    int ends = 0;
    for (int i = 0; i < static_cast<int>(want.size()); ++i) {
      ASSERT_EQ(want[size_t(i)], s.Get(i)) << round << " row " << i;
      ASSERT_EQ(ends, s.LineEndsBefore(i)) << round << " row " << i;
      ends += RowEndsLine(want[size_t(i)]);
    }
    ASSERT_EQ(ends, s.LineEndCount()) << round;
    s.Insert(s.Count() / 2, "x\r\n");  // the blocks are usable afterwards
    ASSERT_EQ(ends + 1, s.LineEndCount()) << round;
  }
}

// ---- files -----------------------------------------------------------------------------

class FenStringsFile : public ::testing::Test {
 protected:
  TempDir dir;
  TFenStrings s;
  std::string Load(const std::string& bytes) {
    s.LoadFromFile(dir.Write("f.txt", bytes));
    return Rows(s);
  }
};

TEST_F(FenStringsFile, DetectsLineEndKind) {
  EXPECT_EQ(3, TFenStrings::DetectLineEnd(dir.Write("a", "")));
  EXPECT_EQ(0, TFenStrings::DetectLineEnd(dir.Write("b", "x\r\ny")));
  EXPECT_EQ(1, TFenStrings::DetectLineEnd(dir.Write("c", "x\ry\n")));
  EXPECT_EQ(2, TFenStrings::DetectLineEnd(dir.Write("d", "x\ny\r\n")));
  EXPECT_EQ(1, TFenStrings::DetectLineEnd(dir.Write("e", std::string("x\0\n", 3))));
  EXPECT_EQ(1, TFenStrings::DetectLineEnd(dir.Write("f", "no break")));
  // The break lies beyond the first 1,024 bytes.
  EXPECT_EQ(1, TFenStrings::DetectLineEnd(dir.Write("g", std::string(1024, 'a') + "\n")));
  EXPECT_THROW(TFenStrings::DetectLineEnd(dir.File("missing")), EFenFileError);
}

TEST_F(FenStringsFile, LoadersKeepTheirBytes) {
  EXPECT_EQ(RowsOf({kNul2}), Load(""));
  EXPECT_EQ("", s.GetText());
  // CR LF: a file that ends with a break gives a last row of two NULs.
  EXPECT_EQ(RowsOf({"ab\r\n", "c\r\n", kNul2}), Load("ab\r\nc\r\n"));
  EXPECT_EQ(RowsOf({"ab\r\n", "c" + kNul2}), Load("ab\r\nc"));
  // LF: a CR before the LF stays in front of the CR LF the loader adds.
  EXPECT_EQ(RowsOf({"a\r\n", "b\r\r\n", "c" + kNul2}), Load("a\nb\r\nc"));
  EXPECT_EQ(RowsOf({"a\r\n", kNul2}), Load("a\n"));
  // CR: an LF after a CR stays at the start of the next row; NULs are dropped.
  EXPECT_EQ(RowsOf({"a\r\n", "b\r\n", "\nc" + kNul2}), Load("a\rb\r\nc"));
  EXPECT_EQ(RowsOf({"ab" + kNul2}), Load(std::string("a\0b", 3)));
  EXPECT_EQ(RowsOf({"xy\r\n", "z" + kNul2}), Load(std::string("x\0y\rz", 5)));
}

TEST_F(FenStringsFile, LongLinesAndBufferBoundaries) {
  // Lines longer than any read buffer, breaks around 16 KiB and 1 MiB boundaries.
  std::string text;
  std::string expect;
  for (int i = 0; i < 300; ++i) {
    std::string line(static_cast<size_t>(i * 37 % 9000 + 1), static_cast<char>('a' + i % 26));
    text += line + "\n";
    expect += line + "\r\n";
  }
  text += std::string(70000, 'q');
  expect += std::string(70000, 'q');
  s.LoadFromFile(dir.Write("long", text));
  EXPECT_EQ(expect.size(), s.GetText().size());
  EXPECT_EQ(expect, s.GetText());
  s.LoadFromFile(dir.Write("one", std::string(3 << 20, 'z')));
  EXPECT_EQ(1, s.Count());
  EXPECT_EQ(size_t(3 << 20), s.GetText().size());
}

TEST_F(FenStringsFile, SaveWritesTheText) {
  s.SetText(std::string("a\r\nb\0\0", 6));
  std::string path = dir.File("out.txt");
  s.SaveToFile(path);
  EXPECT_EQ("a\r\nb", TempDir::Read(path));
  s.SetText(std::string("a\r\n\0\0", 5));
  s.SaveToFile(path);
  EXPECT_EQ("a\r\n", TempDir::Read(path));
  EXPECT_THROW(s.SaveToFile(dir.File("no/such/folder/x.txt")), EFenFileError);
}

TEST_F(FenStringsFile, UnreadableFileLeavesStoreAlone) {
  s.SetText(std::string("keep\0\0", 6));
  EXPECT_THROW(s.LoadFromFile(dir.File("missing.txt")), EFenFileError);
  EXPECT_EQ("keep", s.GetText());
  if (geteuid() != 0) {
    std::string p = dir.Write("locked.txt", "x\r\n");
    chmod(p.c_str(), 0);
    EXPECT_THROW(s.LoadFromFile(p), EFenFileError);
    EXPECT_EQ("keep", s.GetText());
  }
  // A folder opens but cannot be read.
  EXPECT_THROW(s.LoadFromFile(dir.Path()), EFenFileError);
  EXPECT_EQ("keep", s.GetText());
}
