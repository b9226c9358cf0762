// The store of deleted pages: newest first out, a bounded count, and a private file that
// brings the pages back byte for byte after a restart.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/DeletedPages.h"
#include "support/TempDir.h"

namespace {

TDeletedPage Page(const std::string& name, int position, std::string text = {}) {
  return TDeletedPage{name, "/f/" + name, std::move(text), position};
}

std::deque<TDeletedPage> Pages(const TDeletedPages& store) {
  std::deque<TDeletedPage> out;
  for (size_t i = 0; i < store.Count(); ++i) out.push_back(store.Item(i));
  return out;
}

void ExpectSame(const std::deque<TDeletedPage>& a, const std::deque<TDeletedPage>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(Hex(a[i].Name), Hex(b[i].Name)) << i;
    EXPECT_EQ(Hex(a[i].FileName), Hex(b[i].FileName)) << i;
    EXPECT_EQ(Hex(a[i].Text), Hex(b[i].Text)) << i;
    EXPECT_EQ(a[i].Position, b[i].Position) << i;
  }
}

}  // namespace

TEST(DeletedPagesTest, NewestComesBackFirstAndTheOldestGoBeyondTheCapacity) {
  TDeletedPages store;
  EXPECT_FALSE(store.Pop().has_value());
  for (int i = 0; i < 45; ++i) store.Push(Page("p" + std::to_string(i), i));
  ASSERT_EQ(store.Count(), TDeletedPages::kCapacity);
  EXPECT_GE(TDeletedPages::kCapacity, 20u);
  EXPECT_EQ(store.Item(0).Name, "p15");
  auto last = store.Pop();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->Name, "p44");
  EXPECT_EQ(last->FileName, "/f/p44");
  EXPECT_EQ(last->Position, 44);
  EXPECT_EQ(store.Pop()->Name, "p43");
  EXPECT_EQ(store.Count(), TDeletedPages::kCapacity - 2);
}

TEST(DeletedPagesTest, FileBringsEveryByteBackAndIsPrivate) {
  TempDir dir;
  std::string path = dir.File("piyonote2.kdd");
  {
    TDeletedPages store(path);
    ASSERT_TRUE(store.Load());
    // Nothing deleted: no file is made.
    ASSERT_TRUE(store.Save());
    EXPECT_FALSE(std::filesystem::exists(path));
    // An empty file holds no pages and is no damage.
    dir.Write("piyonote2.kdd", "");
    ASSERT_TRUE(store.Load());
    EXPECT_TRUE(store.Empty());
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
    std::filesystem::remove(path);
    store.Push(Page("\x82\xa0\x82\xa2", 3, std::string("a\r\n\x88\x9f\xff\x80", 7)));
    store.Push(Page(std::string(300, 'x'), 1, std::string("nul\0in", 6)));
    store.Push(TDeletedPage{"", "", "", 0});
    ASSERT_TRUE(store.Save());
  }
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  TDeletedPages again(path);
  ASSERT_TRUE(again.Load());
  std::deque<TDeletedPage> expected = {
      Page("\x82\xa0\x82\xa2", 3, std::string("a\r\n\x88\x9f\xff\x80", 7)),
      Page(std::string(300, 'x'), 1, std::string("nul\0in", 6)), TDeletedPage{"", "", "", 0}};
  ExpectSame(Pages(again), expected);

  // A restore is remembered too.
  again.Pop();
  ASSERT_TRUE(again.Save());
  TDeletedPages third(path);
  ASSERT_TRUE(third.Load());
  EXPECT_EQ(third.Count(), 2u);
}

TEST(DeletedPagesTest, ACutFileKeepsTheWholeRecordsAndIsSetAside) {
  std::deque<TDeletedPage> pages = {Page("one", 1, "first text"), Page("two", 2, "second")};
  const std::string bytes = TDeletedPages::Serialize(pages);
  const std::string one = TDeletedPages::Serialize({pages[0]});
  TempDir dir;
  std::string path = dir.File("piyonote2.kdd");
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    dir.Write("piyonote2.kdd", bytes.substr(0, cut));
    TDeletedPages store(path);
    std::string error;
    ASSERT_FALSE(store.Load(&error)) << cut;
    EXPECT_FALSE(error.empty());
    // The first record is whole once every byte of it is there.
    size_t whole = cut >= one.size() ? 1 : 0;
    EXPECT_EQ(store.Count(), whole) << cut;
    EXPECT_FALSE(std::filesystem::exists(path)) << cut;
    EXPECT_EQ(TempDir::Read(path + ".damaged"), bytes.substr(0, cut)) << cut;
  }
}
