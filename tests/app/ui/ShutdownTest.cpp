// The end of the program: pages are written before the settings and before any message, and
// termination signals end the program in order, also while a message box waits.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "MainFormFixture.h"
#include "app/PageData.h"
#include "app/ui/SignalEnd.h"

namespace {

class ShutdownTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    SignalEnd::SetHooksForTesting({[this] { ++loopsLeft_; },
                                   [this](int) {
                                     ++endedNow_;
                                     pagesAtEnd_ = SavedFirstPageText();
                                   }});
  }
  void TearDown() override {
    SignalEnd::ResetForTesting();
    MainFormTest::TearDown();
  }
  // The settings file cannot be written when a folder stands in its place.
  void BlockSettingsFile() { ::mkdir(ProgramFiles::DataFile(".ini").c_str(), 0700); }
  std::string SavedFirstPageText() const {
    TDataList pages;
    try {
      pages.LoadFromFile(PageFilePath());
    } catch (const std::exception&) {
      return "<no page file>";
    }
    return pages.Count() > 0 ? pages.Items(0)->FullText() : "<no pages>";
  }

  // Start-up messages wait for the window to be drawn.
  void WaitForMessage() {
    for (int i = 0; i < 100 && dialogs_->Messages.empty(); ++i) QCoreApplication::processEvents();
  }

  int loopsLeft_ = 0;
  int endedNow_ = 0;
  std::string pagesAtEnd_;
};

TEST_F(ShutdownTest, FailedSettingsWriteIsShownOnlyOnceThePagesAreWritten) {
  BlockSettingsFile();
  Start();
  Type("keep me");
  std::string pagesWhenAsked;
  dialogs_->OnMessage = [&](const TMessageRequest&) { pagesWhenAsked = SavedFirstPageText(); };
  End();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(".ini"));
  EXPECT_EQ(pagesWhenAsked, "keep me");
}

TEST_F(ShutdownTest, SignalWhileTheEndMessageWaitsEndsAtOnceWithThePagesWritten) {
  BlockSettingsFile();
  Start();
  Type("typed");
  dialogs_->OnMessage = [](const TMessageRequest&) { SignalEnd::OnSignal(); };
  End();
  EXPECT_EQ(endedNow_, 1);
  EXPECT_EQ(pagesAtEnd_, "typed");
}

TEST_F(ShutdownTest, SignalDuringTheStartMessageLeavesTheLoopsAndEndsInOrder) {
  {
    std::FILE* f = std::fopen(PageFilePath().c_str(), "wb");
    std::fwrite("\x02\x02\x06\x01", 1, 4, f);  // damaged: reported at start
    std::fclose(f);
  }
  dialogs_->OnMessage = [](const TMessageRequest&) { SignalEnd::OnSignal(); };
  Start();
  WaitForMessage();
  EXPECT_EQ(loopsLeft_, 1);
  EXPECT_TRUE(SignalEnd::EndRequested());
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(endedNow_, 0);
  Editor().SetText("after");
  End();
  EXPECT_EQ(SavedFirstPageText(), "after");
}

TEST_F(ShutdownTest, SecondSignalBeforeTheEndWritesThePagesAndEndsAtOnce) {
  Start();
  Type("abc");
  SignalEnd::OnSignal();
  EXPECT_EQ(endedNow_, 0);
  SignalEnd::OnSignal();
  EXPECT_EQ(endedNow_, 1);
  EXPECT_EQ(pagesAtEnd_, "abc");
}

TEST_F(ShutdownTest, TypingReachesTheJournalAndComesBackAfterACrash) {
  Start();
  Type("saved");
  End();
  Start();
  Type("x");
  Trigger("FileAddPage1");
  Type("new page");
  form_->JournalTick(false);
  form_->FlushJournal();
  // The files as a kill at this moment would leave them.
  const std::string crashed = PageFilePath() + ".crashed";
  ASSERT_EQ(0, ::link(PageFilePath().c_str(), crashed.c_str()));
  const std::string journal = TempDir::Read(PageFilePath() + "-journal");
  End();
  ASSERT_EQ(0, ::rename(crashed.c_str(), PageFilePath().c_str()));
  {
    std::FILE* f = std::fopen((PageFilePath() + "-journal").c_str(), "wb");
    std::fwrite(journal.data(), 1, journal.size(), f);
    std::fclose(f);
  }

  Start();
  WaitForMessage();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(U("作業記録から 2 ページ")));
  ASSERT_EQ(2, Tabs().Count());
  EXPECT_EQ(form_->PageText(1), "new page");
  Tabs().SetTabIndex(0);
  form_->ShowCurrentPage();
  EXPECT_EQ(Editor().GetText(), "xsaved");
}

// Pages behind other tabs are held as the editor's rows; the journal takes their text once
// after they were left and goes on from it.
TEST_F(ShutdownTest, PagesLeftBehindOtherTabsComeBackFromTheJournalAfterACrash) {
  Start();
  End();
  Start();
  Type("a0");
  Trigger("FileAddPage1");
  Type("b1");
  ClickTab(0);
  form_->JournalTick(true);  // page 1 left in rows
  Type("c");
  ClickTab(1);
  Type("d");
  form_->JournalTick(true);  // page 0 left in rows
  Type("e");
  form_->JournalTick(true);  // page 0 unchanged since
  form_->FlushJournal();
  const std::string crashed = PageFilePath() + ".crashed";
  ASSERT_EQ(0, ::link(PageFilePath().c_str(), crashed.c_str()));
  const std::string journal = TempDir::Read(PageFilePath() + "-journal");
  End();
  ASSERT_EQ(0, ::rename(crashed.c_str(), PageFilePath().c_str()));
  {
    std::FILE* f = std::fopen((PageFilePath() + "-journal").c_str(), "wb");
    std::fwrite(journal.data(), 1, journal.size(), f);
    std::fclose(f);
  }

  Start();
  WaitForMessage();
  ASSERT_EQ(2, Tabs().Count());
  EXPECT_EQ(form_->PageText(0), "ca0");
  EXPECT_EQ(form_->PageText(1), "deb1");
}

TEST_F(ShutdownTest, TextReplacedByANewerBoundFileComesBackAsADeletedPage) {
  const std::string bound = files_.Write("bound.txt", "old");
  Start();
  Type("my notes");
  form_->PageList->Items(0)->FileName = bound;
  End();
  struct timespec later[2] = {{std::time(nullptr) + 10, 0}, {std::time(nullptr) + 10, 0}};
  files_.Write("bound.txt", "changed outside");
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, bound.c_str(), later, 0));

  Start();
  WaitForMessage();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(U("置き換えました")));
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(U("削除したページを元に戻す")));
  EXPECT_EQ(Editor().GetText(), "changed outside\r\n");
  Trigger("FileRestorePage");
  ASSERT_EQ(2, Tabs().Count());
  EXPECT_EQ(Editor().GetText(), "my notes");
}

}  // namespace
