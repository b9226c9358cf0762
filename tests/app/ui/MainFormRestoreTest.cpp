// Deleted pages come back: the last ones are kept with their text, name and binding, also
// across a restart, and each returns to the place it left.
#include "MainFormFixture.h"

TEST_F(MainFormTest, DeletedPagesComeBackWhereTheyStoodAlsoAfterARestart) {
  Start();
  EXPECT_FALSE(Enabled("FileRestorePage"));
  AddPages(3);  // Page&0 Page1 Page2 Page3
  ClickTab(1);
  Type(U("いち"));
  form_->PageList->Items(1)->FileName = "/files/one.txt";
  // The selected page goes with its live text.
  Trigger("FileDeletePage1");
  ClickTab(2);  // Page3
  Type("three");
  // Another page, from the tab menu, keeps the current typing.
  RightPress(TabCentre(1));
  Trigger("TabDelete");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page3"}));
  EXPECT_EQ(Editor().GetText(), "three");
  EXPECT_TRUE(Enabled("FileRestorePage"));

  Restart();
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page3"}));
  EXPECT_TRUE(Enabled("FileRestorePage"));
  Trigger("FileRestorePage");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2", "Page3"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  Trigger("FileRestorePage");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2", "Page3"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  EXPECT_EQ(Editor().GetText(), Sjis("いち"));
  EXPECT_EQ(form_->PageList->Items(1)->FileName, "/files/one.txt");
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２ - /files/one.txt"));
  EXPECT_FALSE(Editor().Modified());
  EXPECT_FALSE(Enabled("FileRestorePage"));

  // Restored pages are ordinary pages again: after a restart nothing is left to restore.
  Restart();
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2", "Page3"}));
  EXPECT_FALSE(Enabled("FileRestorePage"));
}

TEST_F(MainFormTest, ARestoredPageNeverTakesTheFirstPlaceAndFitsAShorterStrip) {
  Start();
  AddPages(4);  // on Page4, position 4
  Trigger("FileDeletePage1");
  ClickTab(1);
  Trigger("FileDeletePage1");
  Trigger("FileDeletePage1");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page3"}));
  // Page4 went first (from position 4), Page2 last (from position 1).
  Trigger("FileRestorePage");
  Trigger("FileRestorePage");
  Trigger("FileRestorePage");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2", "Page3", "Page4"}));
  // A page replaced from outside may have stood first; it comes back after the first page.
  form_->DeletedPages->Push(TDeletedPage{"old", "", "old text", 0});
  Trigger("FileRestorePage");
  EXPECT_EQ(Tabs().Caption(0), "Page&0");
  EXPECT_EQ(Tabs().Caption(1), "old");
  EXPECT_EQ(Editor().GetText(), "old text");
}
