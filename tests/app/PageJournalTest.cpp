// The crash journal's records: what the shadow writes replays to the same pages, a torn tail
// is read up to its last whole record, damage is told apart from a torn tail, and the writer
// syncs only when asked or once a second.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/PageJournal.h"
#include "support/TempDir.h"

namespace {

struct Page {
  int id;
  std::string name, file, text;
};

std::vector<TPageView> Views(const std::vector<Page>& pages) {
  std::vector<TPageView> v;
  // Ids only need to tell pages apart: the address of a fixed table entry per id.
  static char ids[100000];
  for (const Page& p : pages) v.push_back({&ids[p.id], p.name, p.file, p.text});
  return v;
}

std::string Dump(const TDataList& list) {
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const TDataItem* p = list.Items(i);
    out += "[" + p->Name + "|" + p->FileName + "|" + p->Text + "]";
  }
  return out;
}

std::string Dump(const std::vector<Page>& pages) {
  std::string out;
  for (const Page& p : pages) out += "[" + p.name + "|" + p.file + "|" + p.text + "]";
  return out;
}

void Fill(TDataList& list, const std::vector<Page>& pages) {
  list.Clear();
  for (const Page& p : pages) list.Add(p.name, p.file, p.text);
}

const std::string kBase = PageJournal::BaseRecord({});

TEST(PageJournalTest, ShadowRecordsReplayToTheLivePagesThroughRandomChanges) {
  std::mt19937 rng(12345);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::string alphabet = "ab\r\n\x82\xa0";
  auto word = [&] {
    std::string w;
    for (int k = pick(6); k > 0; --k) w += alphabet[static_cast<size_t>(pick(6))];
    return w;
  };
  for (int trial = 0; trial < 40; ++trial) {
    int nextId = 0;
    std::vector<Page> pages = {{nextId++, "Page&0", "", "start"}};
    TDataList fromFile;
    Fill(fromFile, pages);
    TJournalShadow shadow;
    shadow.Reset(Views(pages));
    std::string journal = kBase;
    for (int tick = 0; tick < 30; ++tick) {
      for (int change = pick(4); change >= 0; --change) {
        Page& p = pages[static_cast<size_t>(pick(static_cast<int>(pages.size())))];
        switch (pick(7)) {
          case 0:
            pages.insert(pages.begin() + pick(static_cast<int>(pages.size()) + 1),
                         {nextId++, word(), word(), word()});
            break;
          case 1:
            if (pages.size() > 1) pages.erase(pages.begin() + pick(static_cast<int>(pages.size())));
            break;
          case 2: {
            auto from = pages.begin() + pick(static_cast<int>(pages.size()));
            Page moved = *from;
            pages.erase(from);
            pages.insert(pages.begin() + pick(static_cast<int>(pages.size()) + 1), moved);
            break;
          }
          case 3:
            p.name = word();
            break;
          case 4:
            p.file = word();
            break;
          default: {
            size_t at = static_cast<size_t>(pick(static_cast<int>(p.text.size()) + 1));
            size_t n = std::min(p.text.size() - at, static_cast<size_t>(pick(4)));
            p.text.replace(at, n, word());
          }
        }
      }
      journal += shadow.Update(Views(pages));
      TDataList replayed;
      Fill(replayed, {{0, "Page&0", "", "start"}});
      TJournalReplay r = PageJournal::Replay(journal, replayed);
      ASSERT_FALSE(r.Damaged) << r.Fault;
      ASSERT_EQ(Dump(pages), Dump(replayed)) << "trial " << trial << " tick " << tick;
      ASSERT_EQ(journal.size(), r.GoodLength);
    }
  }
}

TEST(PageJournalTest, NothingChangedWritesNothingAndTypingWritesOnlyTheChange) {
  std::vector<Page> pages = {{0, "Page&0", "", std::string(100000, 'x')}};
  TJournalShadow shadow;
  shadow.Reset(Views(pages));
  EXPECT_EQ("", shadow.Update(Views(pages)));
  pages[0].text.insert(50000, "y");
  std::string records = shadow.Update(Views(pages));
  EXPECT_LT(records.size(), 64u);
}

// A page whose text is not at hand (held as an editor's rows) is given as unchanged: the
// shadow goes on from the text it holds, through moves, renames and a restart.
TEST(PageJournalTest, UnchangedPagesAreTakenFromTheShadowAndMustBeHeld) {
  std::vector<Page> pages = {{0, "Page&0", "", "zero"}, {1, "Page1", "", "one text"}};
  TJournalShadow shadow;
  shadow.Reset(Views(pages));
  std::string journal = kBase + TJournalShadow::Snapshot(Views(pages));

  std::swap(pages[0], pages[1]);
  pages[0].name = "moved";
  pages[1].text = "zero typed";
  std::vector<TPageView> views = Views(pages);
  views[0].Unchanged = true;
  views[0].Text = {};  // not read
  journal += shadow.Update(views);
  TDataList replayed;
  ASSERT_FALSE(PageJournal::Replay(journal, replayed).Damaged);
  EXPECT_EQ(Dump(pages), Dump(replayed));

  // A restart (the page file now holds the pages) keeps the held text of an unchanged page.
  shadow.Reset(views);
  journal = kBase + TJournalShadow::Snapshot(Views(pages));
  pages[0].text += " later";
  journal += shadow.Update(Views(pages));
  ASSERT_FALSE(PageJournal::Replay(journal, replayed).Damaged);
  EXPECT_EQ(Dump(pages), Dump(replayed));

  // An unchanged page the shadow never saw is a fault of the caller, refused before any
  // record is made.
  std::vector<Page> more = pages;
  more.push_back({2, "new", "", "unseen"});
  views = Views(more);
  views[2].Unchanged = true;
  EXPECT_THROW(shadow.Update(views), std::logic_error);
  EXPECT_THROW(shadow.Reset(views), std::logic_error);
  EXPECT_EQ("", shadow.Update(Views(pages)));
}

// The journal of a session of three ticks, and the pages after each.
struct Session {
  std::string journal;
  std::vector<size_t> tickEnds;
  std::vector<std::string> states;
};

Session ThreeTicks() {
  Session s;
  std::vector<Page> pages = {{0, "Page&0", "", "one"}, {1, "Page1", "f.txt", "two"}};
  TJournalShadow shadow;
  shadow.Reset(Views(pages));
  s.journal = kBase;
  s.tickEnds.push_back(s.journal.size());
  s.states.push_back(Dump(pages));
  pages[0].text += " more";
  pages.push_back({2, "Page2", "", "new page"});
  s.journal += shadow.Update(Views(pages));
  s.tickEnds.push_back(s.journal.size());
  s.states.push_back(Dump(pages));
  pages[1].name = "renamed";
  pages[2].text = "\x93\xfa\x96\x7b";
  s.journal += shadow.Update(Views(pages));
  s.tickEnds.push_back(s.journal.size());
  s.states.push_back(Dump(pages));
  return s;
}

TEST(PageJournalTest, TornTailAtEveryByteIsReadUpToTheLastWholeRecord) {
  Session s = ThreeTicks();
  const std::vector<Page> start = {{0, "Page&0", "", "one"}, {1, "Page1", "f.txt", "two"}};
  size_t lastStart = 0;
  for (size_t at = 0; at < s.journal.size();) {
    lastStart = at;
    at += 8 + (static_cast<unsigned char>(s.journal[at]) |
               static_cast<unsigned char>(s.journal[at + 1]) << 8);
  }
  for (size_t cut = s.tickEnds[1]; cut <= s.journal.size(); ++cut) {
    TDataList pages;
    Fill(pages, start);
    TJournalReplay r = PageJournal::Replay(std::string_view(s.journal).substr(0, cut), pages);
    EXPECT_FALSE(r.Damaged) << cut;
    // Whole records only: inside the last record, the journal ends where it begins.
    EXPECT_LE(r.GoodLength, cut);
    if (cut >= lastStart && cut < s.journal.size()) {
      EXPECT_EQ(lastStart, r.GoodLength) << cut;
    }
    if (cut == s.tickEnds[1]) {
      EXPECT_EQ(s.states[1], Dump(pages));
    }
    EXPECT_EQ(cut == s.journal.size(), s.states[2] == Dump(pages)) << cut;
  }
  // A tail of zeros, as a file system may leave after a crash, is torn too.
  TDataList pages;
  Fill(pages, start);
  TJournalReplay r = PageJournal::Replay(s.journal + std::string(4096, '\0'), pages);
  EXPECT_FALSE(r.Damaged);
  EXPECT_EQ(s.journal.size(), r.GoodLength);
  EXPECT_EQ(s.states[2], Dump(pages));
}

TEST(PageJournalTest, BadRecordWithDataAfterItIsDamageAndStopsThere) {
  Session s = ThreeTicks();
  const std::vector<Page> start = {{0, "Page&0", "", "one"}, {1, "Page1", "f.txt", "two"}};
  std::string bad = s.journal;
  bad[s.tickEnds[1] + 9] ^= 0x40;  // inside the first record of the last tick
  TDataList pages;
  Fill(pages, start);
  TJournalReplay r = PageJournal::Replay(bad, pages);
  EXPECT_TRUE(r.Damaged);
  EXPECT_EQ(s.tickEnds[1], r.GoodLength);
  EXPECT_EQ(s.states[1], Dump(pages));

  // A record that does not fit the pages (a page that is not there) is damage as well.
  std::string misfit = kBase + PageJournal::DeleteRecord(7) + PageJournal::NameRecord(0, "x");
  TDataList one;
  one.Add("Page&0");
  r = PageJournal::Replay(misfit, one);
  EXPECT_TRUE(r.Damaged);
  EXPECT_EQ(1, one.Count());
}

TEST(PageJournalTest, ChangedPagesAreCountedAndASnapshotStandsAlone) {
  std::vector<Page> pages = {{0, "a", "", "1"}, {1, "b", "", "2"}, {2, "c", "", "3"}};
  std::string journal = kBase + TJournalShadow::Snapshot(Views(pages));
  TJournalBase base;
  bool selfContained = false;
  ASSERT_TRUE(PageJournal::ReadBase(journal, base, selfContained));
  EXPECT_TRUE(selfContained);
  TDataList other;
  other.Add("unrelated", "", "old");
  TJournalReplay r = PageJournal::Replay(journal, other);
  EXPECT_EQ(Dump(pages), Dump(other));
  EXPECT_EQ(3, r.PagesChanged);

  TJournalShadow shadow;
  shadow.Reset(Views(pages));
  pages[1].text += "!";
  pages.erase(pages.begin());
  std::string more = kBase + shadow.Update(Views(pages));
  ASSERT_TRUE(PageJournal::ReadBase(more, base, selfContained));
  EXPECT_FALSE(selfContained);
  TDataList list;
  Fill(list, {{0, "a", "", "1"}, {1, "b", "", "2"}, {2, "c", "", "3"}});
  EXPECT_EQ(1, PageJournal::Replay(more, list).PagesChanged);
}

TEST(PageJournalTest, WriterAppendsAndSyncsOnlyWhenThereIsSomethingNew) {
  TempDir dir;
  std::string path = dir.File("j");
  {
    TJournalWriter w;
    ASSERT_TRUE(w.Start(path, kBase)) << w.Error();
    w.Flush();
    EXPECT_EQ(0, w.Syncs());
    for (int i = 0; i < 100; ++i) w.Append(PageJournal::NameRecord(0, std::to_string(i)));
    w.Flush();
    // However many appends came within the second: one sync.
    EXPECT_EQ(1, w.Syncs());
    std::string want = kBase;
    for (int i = 0; i < 100; ++i) want += PageJournal::NameRecord(0, std::to_string(i));
    EXPECT_EQ(want.size(), w.Size());
    EXPECT_EQ(Hex(want), Hex(TempDir::Read(path)));
    struct stat st {};
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
  }
  // Continuing drops a torn tail first.
  std::string whole = TempDir::Read(path);
  dir.Write("j", whole + "\x05\x00\x00");
  TJournalWriter w;
  ASSERT_TRUE(w.Continue(path, whole.size()));
  w.Append(PageJournal::DeleteRecord(0));
  w.Flush();
  EXPECT_EQ(Hex(whole + PageJournal::DeleteRecord(0)), Hex(TempDir::Read(path)));
  w.Remove();
  EXPECT_NE(0, ::access(path.c_str(), F_OK));
}

}  // namespace
