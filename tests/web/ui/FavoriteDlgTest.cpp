// The Favorites window and the commands that take a URL from it.
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTreeView>
#include <QtTest/QTest>
#include <filesystem>

#include "app/IniFile.h"
#include "app/ui/FormControls.h"
#include "app/ui/MainFormFixture.h"
#include "app/ui/ProgramForms.h"
#include "markup/ui/TagDialogs.h"
#include "web/ui/FavoriteDlg.h"

namespace {

class FavoriteTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    setenv("PIYONOTE2_FAVORITES", favorites_.Path().c_str(), 1);
    std::filesystem::create_directory(favorites_.File("News"));
    favorites_.Write("x.URL", "[InternetShortcut]\r\nURL=http://x.example/\r\n");
    favorites_.Write("lower.url", "[internetshortcut]\r\nurl = \"http://lower.example/?a=b\"\r\n");
    favorites_.Write("readme.txt", "[InternetShortcut]\r\nURL=http://not-a-shortcut/\r\n");
    favorites_.Write("empty.url", "[Other]\r\nURL=http://wrong-section/\r\n");
    favorites_.Write("News/daily.url", "[InternetShortcut]\nURL=http://daily.example/\n");
  }
  void TearDown() override {
    MainFormTest::TearDown();
    unsetenv("PIYONOTE2_FAVORITES");
  }
  void Open() {
    Start();
    dlg_ = app_->CreateForm<TFavoriteDlg>();
  }
  QString Fav(const char* name) const { return QString::fromStdString(favorites_.File(name)); }
  QStringList ListedNames() const {
    QStringList names;
    TFileListModel* files = dlg_->ShellListView1->Model();
    for (int row = 0; row < files->rowCount(); ++row)
      names << files->index(row, 0).data().toString();
    return names;
  }

  // The file system model fills in the background; the test waits for what it needs.
  static bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.hasExpired(10000)) return false;
      QCoreApplication::processEvents();
      QThread::msleep(5);
    }
    return true;
  }
  // Answers the next Favorites dialog by selecting `name` (clearing the selection, which the
  // dialog keeps between uses, when empty) and closing.
  void Pick(const char* name, int result = mrOk) {
    QString path = name[0] ? Fav(name) : QString();
    dialogs_->AnswerModal([path, result](QDialog& d) {
      auto& fav = static_cast<TFavoriteDlg&>(d);
      if (path.isEmpty()) {
        fav.ShellListView1->IconView()->selectionModel()->clear();
      } else {
        fav.ChooseFolder(QFileInfo(path).path());
        EXPECT_TRUE(fav.ShellListView1->Select(path)) << path.toStdString();
      }
      return result;
    });
  }
  void SelectAllText(const char* utf8) {
    Editor().SetText(Sjis(utf8));
    Editor().SelectAll();
  }

  TempDir favorites_;
  TFavoriteDlg* dlg_ = nullptr;
};

}  // namespace

TEST_F(FavoriteTest, ShortcutFilesAreReadWithoutLetterCaseOrQuotes) {
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("x.URL")), "http://x.example/");
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("lower.url")), "http://lower.example/?a=b");
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("empty.url")), "");
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("missing.url")), "");
  // Saved in UTF-16 with a byte-order mark, as some browsers do.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[InternetShortcut]\r\nURL=http://wide.example/\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  favorites_.Write("wide.url", utf16);
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("wide.url")), "http://wide.example/");
  // A NUL ends the URL: nothing after it reaches the browser.
  favorites_.Write("nul.url", std::string("[InternetShortcut]\r\nURL=http://a/\0 --flag\r\n", 43));
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("nul.url")), "http://a/");
}

TEST_F(FavoriteTest, DesktopLinkFilesAreShortcutsToo) {
  favorites_.Write("site.desktop",
                   "[Desktop Entry]\nType=Link\nName=site\nURL=http://ひよこ.example/\n");
  favorites_.Write("app.desktop", "[Desktop Entry]\nType=Application\nURL=http://app/\n");
  // UTF-8 in the file, code page 932 for the program.
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("site.desktop")), Sjis("http://ひよこ.example/"));
  EXPECT_EQ(TFavoriteDlg::ReadUrl(Fav("app.desktop")), "");

  Open();
  SelectAllText("old");
  Pick("site.desktop");
  Trigger("EditAddUrl");
  EXPECT_EQ(Editor().GetText(), Sjis("http://ひよこ.example/"));
}

TEST_F(FavoriteTest, TreeHoldsTheFavoritesFolderAndItsFoldersAndTheListItsFiles) {
  Open();
  EXPECT_EQ(dlg_->windowTitle(), U("お気に入り"));
  EXPECT_EQ(dlg_->Root(), Fav("").chopped(1));
  EXPECT_EQ(dlg_->ChosenFolder(), dlg_->Root());  // the root is chosen at first
  QTreeView* tree = dlg_->ShellTreeView1;
  EXPECT_EQ(tree->model()->rowCount(tree->rootIndex()), 1);  // the folder itself, on its own
  QPersistentModelIndex top = tree->model()->index(0, 0, tree->rootIndex());
  EXPECT_EQ(top.data().toString(), QFileInfo(dlg_->Root()).fileName());
  ASSERT_TRUE(WaitFor([&] { return tree->model()->rowCount(top) == 1; }));
  EXPECT_EQ(tree->model()->index(0, 0, top).data().toString(), "News");  // folders only

  EXPECT_EQ(ListedNames(), (QStringList{"empty.url", "lower.url", "readme.txt", "x.URL"}));

  dlg_->ChooseFolder(Fav("News"));
  EXPECT_EQ(dlg_->ChosenFolder(), Fav("News"));
  EXPECT_FALSE(dlg_->ShellListView1->Select(Fav("x.URL")));  // not in this folder
  EXPECT_TRUE(dlg_->ShellListView1->Select(Fav("News/daily.url")));
  EXPECT_EQ(dlg_->ShellListView1->SelectedPath(), Fav("News/daily.url"));
}

TEST_F(FavoriteTest, EditAddUrlReplacesTheSelectionOnlyWithAUrl) {
  Open();
  SelectAllText("old");
  Pick("x.URL");  // upper-case extension
  Trigger("EditAddUrl");
  EXPECT_EQ(Editor().GetText(), "http://x.example/");

  // Nothing comes of Cancel, OK without a selection, a file that is no shortcut, or a
  // shortcut without URL: the selection stays.
  SelectAllText("keep");
  Pick("lower.url", mrCancel);
  Pick("");
  Pick("readme.txt");
  Pick("empty.url");
  for (int i = 0; i < 4; ++i) Trigger("EditAddUrl");
  EXPECT_EQ(Editor().GetText(), "keep");
  EXPECT_TRUE(Editor().HasSelection());
  EXPECT_EQ(dialogs_->Unexpected, 0);

  Editor().SetText("<a href=\"\">");
  Editor().Control().GotoPos(9, 0, TCaretPlacement::Minimal);
  Pick("News/daily.url");
  Trigger("EditAddUrl");
  EXPECT_EQ(Editor().GetText(), "<a href=\"http://daily.example/\">");
}

TEST_F(FavoriteTest, DoubleClickOnAShortcutClosesWithOk) {
  Open();
  SelectAllText("old");
  int otherResult = -1;
  dialogs_->AnswerModal([this, &otherResult](QDialog& d) {
    auto& fav = static_cast<TFavoriteDlg&>(d);
    fav.show();
    QListView* view = fav.ShellListView1->IconView();
    auto doubleClick = [&](const char* name) {
      fav.setResult(mrNone);
      QModelIndex index = fav.ShellListView1->Model()->IndexOf(favorites_.File(name));
      EXPECT_TRUE(WaitFor([&] {
        view->doItemsLayout();
        return view->visualRect(index).isValid();
      }));
      QPoint at = view->visualRect(index).center();
      for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
      }
    };
    doubleClick("readme.txt");
    otherResult = fav.result();
    EXPECT_TRUE(fav.isVisible());
    doubleClick("x.URL");
    return fav.result();
  });
  Trigger("EditAddUrl");
  EXPECT_EQ(otherResult, mrNone);
  EXPECT_EQ(Editor().GetText(), "http://x.example/");
}

TEST_F(FavoriteTest, ViewStyleIsKeptAcrossRuns) {
  Open();
  EXPECT_EQ(dlg_->RadioGroup1->ItemIndex(), 2);  // list, when nothing is stored
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsList);
  dlg_->RadioGroup1->Button(3)->click();
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsReport);
  EXPECT_EQ(dlg_->ShellListView1->View(), dlg_->ShellListView1->ReportView());
  dlg_->RadioGroup1->Button(0)->click();
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsIcon);
  EXPECT_EQ(dlg_->ShellListView1->IconView()->viewMode(), QListView::IconMode);
  End();
  EXPECT_EQ(TIniFile(ProgramFiles::DataFile(".ini")).ReadInteger("Favorite", "ViewStyle", -9), 0);
  Open();
  EXPECT_EQ(dlg_->RadioGroup1->ItemIndex(), 0);
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsIcon);
}

TEST_F(FavoriteTest, StoredViewStyleOutOfRangeIsClamped) {
  auto store = [](int value) {
    TIniFile ini(ProgramFiles::DataFile(".ini"));
    ini.WriteInteger("Favorite", "ViewStyle", value);
    ASSERT_TRUE(ini.UpdateFile());
  };
  store(7);
  Open();
  EXPECT_EQ(dlg_->RadioGroup1->ItemIndex(), 3);
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsReport);
  End();
  store(-5);
  Open();
  EXPECT_EQ(dlg_->RadioGroup1->ItemIndex(), -1);  // no choice, and the list stays as it is
  EXPECT_EQ(dlg_->ShellListView1->ViewStyle(), TShellListView::vsList);
  End();
  EXPECT_EQ(TIniFile(ProgramFiles::DataFile(".ini")).ReadInteger("Favorite", "ViewStyle", -9), -1);
}

// In the program's own start-up, the link dialog's Favorites button reaches this window.
TEST_F(FavoriteTest, LinkDialogFavoritesButtonTakesTheUrl) {
  CreateProgramForms(*app_);
  MainForm->show();
  ASSERT_TRUE(LinkDlg->PickFavorite);
  LinkDlg->UrlEdit->setText("http:");
  Pick("lower.url");
  LinkDlg->FavoriteBtn->click();
  EXPECT_EQ(LinkDlg->UrlEdit->text(), "http://lower.example/?a=b");
  Pick("readme.txt");
  LinkDlg->FavoriteBtn->click();
  EXPECT_EQ(LinkDlg->UrlEdit->text(), "http://lower.example/?a=b");
  EXPECT_EQ(dialogs_->Modals, (QStringList{"TFavoriteDlg", "TFavoriteDlg"}));
}

// The list holds the files of the chosen folder only: not a folder that was opened in the tree,
// and names in Shift-JIS bytes too, shown decoded and read by their own bytes.
TEST_F(FavoriteTest, ListHoldsEveryFileAndNoFolder) {
  std::string sjisName = "\x82\xD0\x82\xE6\x82\xB1.url";  // ひよこ.url in Shift-JIS
  favorites_.Write(sjisName, "[InternetShortcut]\r\nURL=http://sjis.example/\r\n");
  std::filesystem::create_directory(favorites_.File("News/Deeper"));
  Open();
  dlg_->ChooseFolder(Fav("News"));
  EXPECT_EQ(ListedNames(), QStringList{"daily.url"});
  dlg_->ChooseFolder(Fav("News/Deeper"));
  EXPECT_EQ(ListedNames(), QStringList{});
  dlg_->ChooseFolder(Fav("News"));
  dlg_->ChooseFolder(dlg_->Root());
  EXPECT_EQ(ListedNames(),
            (QStringList{"empty.url", "lower.url", "readme.txt", "x.URL", U("ひよこ.url")}));

  // Picked by its bytes, its URL comes back.
  SelectAllText("old");
  dialogs_->AnswerModal([&](QDialog& d) {
    auto& fav = static_cast<TFavoriteDlg&>(d);
    EXPECT_TRUE(fav.ShellListView1->Select(favorites_.File(sjisName)));
    EXPECT_EQ(fav.ShellListView1->SelectedFile(), favorites_.File(sjisName));
    return static_cast<int>(mrOk);
  });
  Trigger("EditAddUrl");
  EXPECT_EQ(Editor().GetText(), "http://sjis.example/");

  // A file that comes while the dialog is closed is there at the next opening.
  favorites_.Write("new.url", "[InternetShortcut]\r\nURL=http://new/\r\n");
  dlg_->show();
  EXPECT_TRUE(ListedNames().contains("new.url"));
}

// Each label's accelerator reaches the control beside it, the file list included.
TEST_F(FavoriteTest, LabelAcceleratorsMoveTheFocus) {
  Open();
  dlg_->show();
  QApplication::setActiveWindow(dlg_);
  QTest::keyClick(dlg_, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), dlg_->ShellListView1->View());
  QTest::keyClick(dlg_, Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), dlg_->ShellTreeView1);
  dlg_->RadioGroup1->Button(3)->click();
  QTest::keyClick(dlg_, Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), dlg_->ShellListView1->ReportView());
}
