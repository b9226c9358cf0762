// The page store: list operations and the page file's exact bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/PageData.h"
#include "support/TempDir.h"

namespace {

std::string Saved(const TDataList& list) {
  TMemoryStream stream;
  list.SaveToStream(stream);
  return stream.Bytes();
}

void Load(TDataList& list, const std::string& bytes) {
  TMemoryStream stream(bytes);
  list.LoadFromStream(stream);
}

std::vector<std::string> Names(const TDataList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Items(i)->Name);
  return out;
}

// Bytes from a literal, NULs included.
template <size_t N>
std::string B(const char (&s)[N]) {
  return std::string(s, N - 1);
}

const std::string kHiragana = "\x82\xd0\x82\xe6\x82\xcc\x81\x5b\x82\xc6";  // ひよのーと

}  // namespace

TEST(PageDataTest, OneDefaultPageIsFourteenBytes) {
  TDataList list;
  list.Add("Page&0");
  EXPECT_EQ("02 01 06 06 50 61 67 65 26 30 06 00 06 00", Hex(Saved(list)));
}

TEST(PageDataTest, EmptyPageIsThreeEmptyStrings) {
  TDataList list;
  list.Add("");
  EXPECT_EQ("02 01 06 00 06 00 06 00", Hex(Saved(list)));
}

TEST(PageDataTest, EmptyListIsTheCountAlone) {
  TDataList list;
  EXPECT_EQ("02 00", Hex(Saved(list)));
}

TEST(PageDataTest, PageCountsUseTheSmallestIntegerForm) {
  TDataList list;
  for (int i = 0; i < 128; ++i) list.Add("");
  EXPECT_EQ("03 80 00", Hex(Saved(list).substr(0, 3)));
  for (int i = 128; i < 32768; ++i) list.Add("");
  std::string bytes = Saved(list);
  EXPECT_EQ("04 00 80 00 00", Hex(bytes.substr(0, 5)));
  EXPECT_EQ(5u + 6u * 32768u, bytes.size());

  TDataList back;
  Load(back, bytes);
  EXPECT_EQ(32768, back.Count());
}

TEST(PageDataTest, FourByteCountLoadsLikeOneByteCount) {
  const std::string page =
      B("\x06\x01"
        "A\x06\x00\x06\x03"
        "abc");
  TDataList a, b;
  Load(a, B("\x02\x01") + page);
  Load(b, B("\x04\x01\x00\x00\x00") + page);
  ASSERT_EQ(1, a.Count());
  ASSERT_EQ(1, b.Count());
  EXPECT_EQ("A", b.Items(0)->Name);
  EXPECT_EQ("", b.Items(0)->FileName);
  EXPECT_EQ("abc", b.Items(0)->Text);
  EXPECT_EQ(Hex(Saved(a)), Hex(Saved(b)));
}

TEST(PageDataTest, FieldsAreWrittenNameFileNameText) {
  TDataList list;
  list.Add("a", "/b", "c\r\n");
  EXPECT_EQ("02 01 06 01 61 06 02 2F 62 06 03 63 0D 0A", Hex(Saved(list)));
}

TEST(PageDataTest, JapanesePagesRoundTripThroughAFile) {
  TempDir dir;
  TDataList list;
  list.Add("Page&0", "", "");
  list.Add(kHiragana, "/home/\x93\xfa\x96\x7b/a.txt", kHiragana + "\r\n" + std::string(5000, 'x'));
  list.Add("", "", std::string(70000, '\x82') + "a");  // 35,000 full-width 'b', then 'a'
  std::string path = dir.File("pages.kdx");
  list.SaveToFile(path);
  EXPECT_EQ(Hex(Saved(list)), Hex(TempDir::Read(path)));

  TDataList back;
  back.LoadFromFile(path);
  ASSERT_EQ(3, back.Count());
  EXPECT_EQ(kHiragana, back.Items(1)->Name);
  EXPECT_EQ("/home/\x93\xfa\x96\x7b/a.txt", back.Items(1)->FileName);
  EXPECT_EQ(Hex(list.Items(1)->Text), Hex(back.Items(1)->Text));
  EXPECT_EQ(70001u, back.Items(2)->Text.size());
  EXPECT_EQ(Hex(Saved(list)), Hex(Saved(back)));
}

TEST(PageDataTest, TextThatUtf8CannotCarryBackIsStoredAsItIs) {
  // A lone lead byte, an unassigned code, duplicate codes (NEC row 13 vs. the JIS symbol,
  // NEC-selected IBM vs. IBM): UTF-8 would turn each into something else.
  const std::string cases[] = {
      "\x82\xa0\x82", "\x85\x40", "\x87\x90", "\xed\x40", std::string(300, '\x82') + "\x82",
  };
  for (const std::string& text : cases) {
    TDataList list;
    list.Add("", "", text);
    std::string bytes = Saved(list);
    std::string expected = text.size() <= 255
                               ? B("\x02\x01\x06\x00\x06\x00\x06") + static_cast<char>(text.size())
                               : B("\x02\x01\x06\x00\x06\x00\x0c\x2d\x01\x00\x00");
    EXPECT_EQ(Hex(expected + text), Hex(bytes));
    TDataList back;
    Load(back, bytes);
    EXPECT_EQ(Hex(text), Hex(back.Items(0)->Text));
  }
  {
    // The five bytes the system code page maps to U+0080, U+F8F0-U+F8F3 go as UTF-8 as
    // Windows writes them, and come back.
    const std::string text =
        "a\x80"
        "b\xa0"
        "c\xfd\xfe\xff";
    TDataList list;
    list.Add("", "", text);
    std::string bytes = Saved(list);
    EXPECT_NE(std::string::npos, bytes.find("a\xC2\x80"
                                            "b\xEF\xA3\xB0"
                                            "c\xEF\xA3\xB1"));
    TDataList back;
    Load(back, bytes);
    EXPECT_EQ(Hex(text), Hex(back.Items(0)->Text));
  }
  // Valid text next to it still goes as UTF-8.
  TDataList list;
  list.Add("", "", "\x81\xe0");  // the JIS form of the symbol above
  EXPECT_EQ("02 01 06 00 06 00 14 03 00 00 00 E2 89 92", Hex(Saved(list)));
}

TEST(PageDataTest, LoadingReplacesWhatTheListHeld) {
  TDataList list;
  list.Add("old");
  list.Add("older");
  Load(list, B("\x02\x01\x06\x01"
               "n"
               "\x06\x00\x06\x00"));
  EXPECT_EQ(std::vector<std::string>{"n"}, Names(list));
  Load(list, B("\x02\x00"));
  EXPECT_EQ(0, list.Count());
}

TEST(PageDataTest, BadDataKeepsTheCompletePagesReadBeforeIt) {
  // Three pages promised, the third cut off in its text.
  std::string bytes =
      B("\x02\x03\x06\x01"
        "a"
        "\x06\x00\x06\x00\x06\x01"
        "b"
        "\x06\x00\x06\x01"
        "t"
        "\x06\x01"
        "c"
        "\x06\x00\x06\x05"
        "te");
  TDataList list;
  list.Add("before");
  TMemoryStream stream(bytes);
  EXPECT_THROW(list.LoadFromStream(stream), EPageFileError);
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), Names(list));
  EXPECT_EQ("t", list.Items(1)->Text);

  EXPECT_THROW(Load(list, "\x02\xff"), EPageFileError);  // negative count
  EXPECT_EQ(0, list.Count());
  EXPECT_THROW(Load(list, B("\x06\x00")), EPageFileError);  // count is not a number
}

TEST(PageDataTest, BytesAfterTheLastPageAreIgnored) {
  TDataList list;
  Load(list, B("\x02\x01\x06\x00\x06\x00\x06\x00\xff\xff\x00"));
  EXPECT_EQ(1, list.Count());
}

TEST(PageDataTest, MissingFileRaises) {
  TempDir dir;
  TDataList list;
  EXPECT_THROW(list.LoadFromFile(dir.File("none.kdx")), EPageFileError);
  EXPECT_THROW(list.LoadFromFile(dir.Path()), EPageFileError);  // a folder
}

TEST(PageDataTest, ListOperationsFollowAPlainModel) {
  // Random adds, deletes, moves and clears, checked against a vector of names.
  std::mt19937 rng(7);
  TDataList list;
  std::vector<std::string> model;
  for (int step = 0; step < 3000; ++step) {
    int op = static_cast<int>(rng() % 10);
    int n = static_cast<int>(model.size());
    if (op < 4 || n == 0) {
      std::string name = "p" + std::to_string(step);
      EXPECT_EQ(n, list.Add(name));
      model.push_back(name);
    } else if (op < 6) {
      int k = static_cast<int>(rng() % static_cast<unsigned>(n));
      list.Delete(k);
      model.erase(model.begin() + k);
    } else if (op < 9) {
      int from = static_cast<int>(rng() % static_cast<unsigned>(n));
      int to = static_cast<int>(rng() % static_cast<unsigned>(n));
      list.Move(from, to);
      std::string moved = model[static_cast<size_t>(from)];
      model.erase(model.begin() + from);
      model.insert(model.begin() + to, moved);
    } else if (rng() % 20 == 0) {
      list.Clear();
      model.clear();
    }
    ASSERT_EQ(model, Names(list)) << "step " << step;
  }
}

TEST(PageDataTest, PositionsOutsideTheListRaise) {
  TDataList list;
  list.Add("a");
  EXPECT_THROW(list.Items(1), std::out_of_range);
  EXPECT_THROW(list.Items(-1), std::out_of_range);
  EXPECT_THROW(list.Delete(1), std::out_of_range);
  EXPECT_THROW(list.Move(0, 1), std::out_of_range);
  EXPECT_EQ(1, list.Count());
}

TEST(PageDataTest, MoveShiftsThePagesBetween) {
  TDataList list;
  for (const char* n : {"0", "1", "2", "3"}) list.Add(n);
  TDataItem* moved = list.Items(3);
  list.Move(3, 1);
  EXPECT_EQ((std::vector<std::string>{"0", "3", "1", "2"}), Names(list));
  EXPECT_EQ(moved, list.Items(1));  // the same page object, not a copy
  list.Move(0, 3);
  EXPECT_EQ((std::vector<std::string>{"3", "1", "2", "0"}), Names(list));
}
