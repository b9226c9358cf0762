// The program's windows: created in their fixed order, main window first, and destroyed in
// reverse, so the main window writes the page file after every other window is gone.
#include <QDialog>
#include <filesystem>

#include "MainFormFixture.h"
#include "app/ui/ProgramForms.h"
#include "app/ui/Shells.h"

TEST_F(MainFormTest, WindowsAreCreatedInOrderAndDestroyedInReverse) {
  CreateProgramForms(*app_);
  EXPECT_EQ(app_->Title(), U("ぴよのーと２"));
  QStringList created;
  for (QWidget* w : app_->Forms()) created << w->metaObject()->className();
  EXPECT_EQ(created.join(' '),
            "TMainForm TOptionDlg TAboutBox TFontDlg TLinkDlg TFavoriteDlg TWebForm "
            "TPreveiwDlg TWebShortcutDlg TClassDLG TCiteDlg TDatetimeDlg TImgDlg TRubyDlg");
  EXPECT_EQ(app_->MainForm(), MainForm);
  EXPECT_EQ(OptionDlg, app_->Forms()[1]);
  EXPECT_EQ(RubyDlg, app_->Forms()[13]);

  MainForm->show();
  QStringList destroyed;
  for (QWidget* w : app_->Forms()) {
    QString name = w->metaObject()->className();
    QObject::connect(w, &QObject::destroyed, [&destroyed, name] { destroyed << name; });
  }
  bool pageFileBeforeMain = true;
  QObject::connect(MainForm, &QObject::destroyed,
                   [&] { pageFileBeforeMain = std::filesystem::exists(PageFilePath()); });
  app_->DestroyForms();
  EXPECT_EQ(destroyed.join(' '),
            "TRubyDlg TImgDlg TDatetimeDlg TCiteDlg TClassDLG TWebShortcutDlg TPreveiwDlg "
            "TWebForm TFavoriteDlg TLinkDlg TFontDlg TAboutBox TOptionDlg TMainForm");
  EXPECT_TRUE(pageFileBeforeMain);  // written by the main window's own destruction handler
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_EQ(OptionDlg, nullptr);
}

TEST_F(MainFormTest, ShellDialogsGoThroughTheScriptableSeam) {
  CreateProgramForms(*app_);
  dialogs_->AnswerModal([](QDialog&) { return static_cast<int>(mrOk); });
  EXPECT_EQ(app_->ShowModal(*AboutBox), mrOk);
  EXPECT_EQ(app_->ShowModal(*OptionDlg), mrCancel);  // nothing queued: cancelled and counted
  EXPECT_EQ(dialogs_->Modals, (QStringList{"TAboutBox", "TOptionDlg"}));
  EXPECT_EQ(dialogs_->Unexpected, 1);
}

TEST_F(MainFormTest, StartAndEndTheRealWindowTwiceKeepsThePageFile) {
  Start();
  Trigger("FileAddPage1");
  Type(U("ひよこ"));
  End();
  std::string once = PageFileBytes();
  Start();
  EXPECT_EQ(Tabs().Count(), 2);
  End();
  EXPECT_EQ(Hex(PageFileBytes()), Hex(once));
  EXPECT_NE(once.find(CodePage::ToUtf8(Sjis("ひよこ"))), std::string::npos);
}
