// The files the program keeps for the user are readable by the user alone.
#include <sys/stat.h>

#include <filesystem>

#include "MainFormFixture.h"
#include "app/DeletedPages.h"
#include "app/PageFormat.h"
#include "web/Favorites.h"
#include "web/ui/FakeWebView.h"
#include "web/ui/PreveiwDlg.h"

namespace {

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class DataFilesTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    oldMask_ = umask(022);  // what most desktops have: new files readable by everyone
    setenv("PIYONOTE2_HOME", folder_.c_str(), 1);
  }
  void TearDown() override {
    MainFormTest::TearDown();
    umask(oldMask_);
  }
  std::string folder_ = home_.File("data");
  mode_t oldMask_ = 0;
  TFakeWebViews fakes_;
};

}  // namespace

TEST_F(DataFilesTest, NewFilesAreTheUsersAloneAndExistingOnesKeepTheirMode) {
  Start();
  EXPECT_EQ(ModeOf(folder_), 0700u);
  form_->PreviewMode = true;
  Editor().SetText("note");
  unsigned pageMode = 0;
  dialogs_->AnswerModal([&](QDialog&) {
    pageMode = ModeOf(ProgramFiles::DataFile(".html"));
    return static_cast<int>(mrOk);
  });
  Trigger("HtmlPreview");
  EXPECT_EQ(pageMode, 0600u);
  End();
  EXPECT_EQ(ModeOf(ProgramFiles::DataFile(".ini")), 0600u);
  // The side files beside the page file, and the Favorites folder made in the data folder.
  TDataList pages;
  pages.Add("utf8", "/x.txt", "a");
  pages.Items(0)->Format.File.Encoding = TextEncoding::TEncoding::Utf8;
  ASSERT_TRUE(PageFormats::Save(ProgramFiles::DataFile(".enc"), pages));
  EXPECT_EQ(ModeOf(ProgramFiles::DataFile(".enc")), 0600u);
  TDeletedPages deleted(home_.File("deleted.kdd"));
  deleted.Push(TDeletedPage{});
  ASSERT_TRUE(deleted.Save());
  EXPECT_EQ(ModeOf(deleted.Path()), 0600u);
  const char* home = std::getenv("HOME");
  std::string oldHome = home ? home : "";
  setenv("HOME", home_.File("nohome").c_str(), 1);
  unsetenv("PIYONOTE2_FAVORITES");
  EXPECT_EQ(ModeOf(Favorites::Folder()), 0700u);
  setenv("HOME", oldHome.c_str(), 1);

  // A settings file the user opened up on purpose stays so.
  chmod(ProgramFiles::DataFile(".ini").c_str(), 0644);
  Start();
  End();
  EXPECT_EQ(ModeOf(ProgramFiles::DataFile(".ini")), 0644u);
}
