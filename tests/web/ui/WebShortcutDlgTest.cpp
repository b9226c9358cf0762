// The web shortcuts in the main window: the ".kdw" file at start and end, the generated menu,
// the registration dialog and the rules of its grid.
#include <QAbstractItemDelegate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>
#include <filesystem>

#include "app/ui/MainFormFixture.h"
#include "web/ui/WebShortcutDlg.h"

namespace {

using Lines = std::vector<std::string>;

class WebShortcutTest : public MainFormTest {
 protected:
  // The main window and the dialog in the program's order: the dialog is destroyed first.
  void Open() {
    Start();
    dlg_ = app_->CreateForm<TWebShortcutDlg>();
  }
  std::string KdwPath() const { return ProgramFiles::DataFile(".kdw"); }
  void WriteKdw(const std::string& bytes) const { home_.Write("app_ui_tests.kdw", bytes); }
  TValueListEditor& Grid() const { return *dlg_->ValueListEditor1; }

  QStringList MenuCaptions() const {
    QStringList out;
    for (QAction* a : form_->WebUserMenu->actions()) out << a->text();
    return out;
  }
  QStringList MenuHints() const {
    QStringList out;
    for (QAction* a : form_->WebUserMenu->actions()) out << a->property("Hint").toString();
    return out;
  }
  void Register(std::function<int(TValueListEditor&)> edit) {
    dialogs_->AnswerModal(
        [edit](QDialog& d) { return edit(*static_cast<TWebShortcutDlg&>(d).ValueListEditor1); });
    form_->findChild<QAction*>("AddShortcutMenu")->trigger();
  }

  static void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
  }
  // Typed into a cell through its editor and confirmed with Enter, as the user does.
  static void EditCell(TValueListEditor& grid, int row, int column, const QString& text) {
    grid.setCurrentCell(row, column);
    grid.edit(grid.currentIndex());
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    Key(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits after the editor saw the key
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor
  }

  static QMenu* Submenu(QMenu* menu, QAction* item) {
    for (QMenu* sub : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
      if (sub->menuAction() == item) return sub;
    return nullptr;
  }

  TWebShortcutDlg* dlg_ = nullptr;
};

}  // namespace

TEST_F(WebShortcutTest, FirstRunHasNoItemsAndRegisteredShortcutsEndUpInTheFile) {
  ASSERT_EQ(KdwPath(), home_.File("app_ui_tests.kdw"));
  Open();
  EXPECT_TRUE(form_->WebUserMenu->actions().isEmpty());
  EXPECT_EQ(dlg_->windowTitle(), U("ウェブショートカットの登録"));
  EXPECT_EQ(Grid().horizontalHeaderItem(0)->text(), U("登録名"));
  EXPECT_EQ(Grid().horizontalHeaderItem(1)->text(), "URL");
  EXPECT_EQ(Grid().columnWidth(0), 150);
  EXPECT_EQ(Grid().columnWidth(1), 349);
  EXPECT_TRUE(dlg_->OKBtn->isDefault());

  Register([](TValueListEditor& g) {
    EditCell(g, 0, 0, "Piyo");
    EditCell(g, 0, 1, "http://piyo.example/");
    Key(&g, Qt::Key_Down);  // a new row under the named last one
    EditCell(g, 1, 0, U("ニュース"));
    EditCell(g, 1, 1, "http://news.example/");
    return int(mrOk);
  });
  EXPECT_EQ(MenuCaptions(), (QStringList{"Piyo", U("ニュース")}));
  EXPECT_EQ(MenuHints(), (QStringList{"http://piyo.example/", "http://news.example/"}));
  EXPECT_FALSE(std::filesystem::exists(KdwPath()));  // written at the end only
  End();
  EXPECT_EQ(Hex(TempDir::Read(KdwPath())),
            Hex("Piyo=http://piyo.example/\r\n" + Sjis("ニュース") + "=http://news.example/\r\n"));
}

TEST_F(WebShortcutTest, MenuItemsShowTheFirstUrlOfTheirNameInTheStatusBar) {
  WriteKdw("News=http://first/\r\nnews=http://second/\r\nq=http://x/?a=b&c=d\r\n");
  Start();
  EXPECT_EQ(MenuCaptions(), (QStringList{"News", "news", "q"}));
  EXPECT_EQ(MenuHints(), (QStringList{"http://first/", "http://first/", "http://x/?a=b&c=d"}));
  // Highlighting an item in the open menu sends its status text by way of the menu bar.
  QAction* second = form_->WebUserMenu->actions()[1];
  second->showStatusText(form_->MainMenu1);
  EXPECT_EQ(form_->StatusPanelText(0), "http://first/");
}

TEST_F(WebShortcutTest, CancelKeepsListAndMenuAndTheNextOpeningShowsTheList) {
  WriteKdw("a=http://a/\r\n");
  Open();
  QAction* item = form_->WebUserMenu->actions().value(0);
  Register([](TValueListEditor& g) {
    EditCell(g, 0, 1, "http://changed/");
    return int(mrCancel);
  });
  EXPECT_EQ(form_->WebShortcutList, Lines{"a=http://a/"});
  EXPECT_EQ(form_->WebUserMenu->actions().value(0), item);  // not even rebuilt
  Lines shown;
  Register([&shown](TValueListEditor& g) {
    shown = g.Lines();
    return int(mrCancel);
  });
  EXPECT_EQ(shown, Lines{"a=http://a/"});
}

TEST_F(WebShortcutTest, LfFileIsReadByLinesAndWrittenBackWithCrLf) {
  WriteKdw("a=http://a/\nb=http://b/?x=1\n");
  Open();
  EXPECT_EQ(MenuCaptions(), (QStringList{"a", "b"}));
  EXPECT_EQ(Grid().Lines(), (Lines{"a=http://a/", "b=http://b/?x=1"}));  // filled at creation
  End();
  EXPECT_EQ(TempDir::Read(KdwPath()), "a=http://a/\r\nb=http://b/?x=1\r\n");
  EXPECT_TRUE(dialogs_->Messages.empty());
}

// The main window's list wins over the dialog's grid, whatever was left in the grid.
TEST_F(WebShortcutTest, TheMainWindowWritesTheFileLast) {
  WriteKdw("a=http://a/\r\n");
  Open();
  Grid().SetLines({"left=in the grid"});
  End();
  EXPECT_EQ(TempDir::Read(KdwPath()), "a=http://a/\r\n");
}

TEST_F(WebShortcutTest, UnreadableFileIsReportedAndLeftAlone) {
  std::filesystem::create_directory(KdwPath());
  Open();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(form_->WebUserMenu->actions().isEmpty());
  End();
  EXPECT_EQ(dialogs_->Messages.size(), 1u);  // no second box: nothing was written
  EXPECT_TRUE(std::filesystem::is_directory(KdwPath()));
}

TEST_F(WebShortcutTest, WriteFailureAtTheEndIsReported) {
  Start();
  form_->WebShortcutList = {"a=http://a/"};
  std::filesystem::create_directory(KdwPath());  // the file cannot replace a folder
  End();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains(U("保存できませんでした")));
}

// ---- the grid

TEST_F(WebShortcutTest, GridRefusesEqualsSignInNamesButNotInUrls) {
  Open();
  Grid().SetLines({"name=http://a/"});
  EditCell(Grid(), 0, 0, "na=me");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Text, U("キーは等号記号（“=”）を含めません。"));
  EXPECT_EQ(Grid().Name(0), "name");
  EditCell(Grid(), 0, 1, "http://a/?q=1");
  EXPECT_EQ(Grid().Lines(), Lines{"name=http://a/?q=1"});
  EXPECT_EQ(dialogs_->Messages.size(), 1u);
}

TEST_F(WebShortcutTest, GridAddsRowsOnlyNextToNamedRows) {
  Open();
  TValueListEditor& g = Grid();
  // The empty grid: one row, and neither Insert nor Down adds another.
  Key(&g, Qt::Key_Insert);
  Key(&g, Qt::Key_Down);
  EXPECT_EQ(g.rowCount(), 1);
  // A row with only a URL is no named row either.
  g.SetLines({"=http://nameless/"});
  Key(&g, Qt::Key_Down);
  EXPECT_EQ(g.rowCount(), 1);

  g.SetLines({"a=1", "b=2"});
  g.setCurrentCell(1, 1);
  Key(&g, Qt::Key_Insert);  // above the current row, which the cursor moves to
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(g.currentRow(), 1);
  EXPECT_EQ(g.Name(2), "b");
  Key(&g, Qt::Key_Down);  // leaving the empty row removes it
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.Name(g.currentRow()), "b");
  Key(&g, Qt::Key_Down);  // on the last, named row: a row is appended
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(g.currentRow(), 2);
  Key(&g, Qt::Key_Down);  // the new row has no name: nothing more
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(g.Lines(), (Lines{"a=1", "b=2"}));  // an empty row is no line
  Key(&g, Qt::Key_Up);
  EXPECT_EQ(g.rowCount(), 2);
}

TEST_F(WebShortcutTest, GridDeletesAndJumpsWithControlKeys) {
  Open();
  TValueListEditor& g = Grid();
  g.SetLines({"a=1", "b=2", "c=3"});
  Key(&g, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(g.currentRow(), 2);
  Key(&g, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(g.currentRow(), 0);
  g.setCurrentCell(1, 0);
  Key(&g, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(g.Lines(), (Lines{"a=1", "c=3"}));
  EXPECT_EQ(g.currentRow(), 1);
  Key(&g, Qt::Key_Delete, Qt::ControlModifier);
  Key(&g, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(g.rowCount(), 1);  // always a row to type into
  EXPECT_TRUE(g.Lines().empty());
}

TEST_F(WebShortcutTest, OkTakesTheTextOfAnEditorStillOpen) {
  Open();
  Register([this](TValueListEditor& g) {
    g.setCurrentCell(0, 0);
    g.edit(g.currentIndex());
    g.viewport()->findChild<QLineEdit*>()->setText("typed");
    dlg_->OKBtn->click();
    return dlg_->result();
  });
  EXPECT_EQ(form_->WebShortcutList, Lines{"typed="});
}

TEST_F(WebShortcutTest, GridKeepsLinesWithoutEqualsSignUntilEdited) {
  Open();
  TValueListEditor& g = Grid();
  g.SetLines({"just text", "a=1"});
  EXPECT_EQ(g.Name(0), "");
  EXPECT_EQ(g.Url(0), "just text");
  EXPECT_EQ(g.Lines(), (Lines{"just text", "a=1"}));
  EditCell(g, 0, 0, "named");
  EXPECT_EQ(g.Lines(), (Lines{"named=just text", "a=1"}));
}

TEST_F(WebShortcutTest, UrlsKeepCharactersShiftJisLacksAsPercentEncoding) {
  Open();
  Register([](TValueListEditor& g) {
    EditCell(g, 0, 0, U("韓国"));
    EditCell(g, 0, 1, U("https://ko.example/위키/한국어😀?q=日本"));
    return int(mrOk);
  });
  const std::string url =
      "https://ko.example/%EC%9C%84%ED%82%A4/%ED%95%9C%EA%B5%AD%EC%96%B4"
      "%F0%9F%98%80?q=" +
      Sjis("日本");
  EXPECT_EQ(form_->WebShortcutList, Lines{Sjis("韓国") + "=" + url});
  End();
  dlg_ = nullptr;
  Open();
  EXPECT_EQ(form_->WebShortcutList, Lines{Sjis("韓国") + "=" + url});
  // What the browser is given reads as the address the user typed.
  EXPECT_EQ(QUrl(MenuHints().value(0)).toString(), U("https://ko.example/위키/한국어😀?q=日本"));
}

TEST_F(WebShortcutTest, NamesShiftJisLacksAreRefusedAndTheDialogComesBack) {
  Open();
  int openings = 0;
  Register([&openings](TValueListEditor& g) {
    ++openings;
    EditCell(g, 0, 0, openings == 1 ? U("한국") : U("韓国"));
    EditCell(g, 0, 1, "http://k/");
    return int(mrOk);
  });
  // The second opening is answered by nothing: the scripted dialog cancels.
  EXPECT_EQ(1, openings);
  EXPECT_TRUE(form_->WebShortcutList.empty());
  ASSERT_EQ(1u, dialogs_->Messages.size());
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains("U+D55C"));
}

// Opened once while empty, the menu still shows what is registered afterwards.
TEST_F(WebShortcutTest, RegisteredShortcutsAppearAfterTheEmptyMenuWasOpened) {
  Open();
  QApplication::setActiveWindow(form_);
  QMenu* web = form_->MainMenu1->findChild<QMenu*>("Web1");
  QMenu* user = form_->WebUserMenu;
  auto openUserMenu = [&] {
    form_->MainMenu1->setActiveAction(web->menuAction());
    web->setActiveAction(user->menuAction());
    QCoreApplication::processEvents();
  };
  auto closeMenus = [&] {
    while (QWidget* popup = QApplication::activePopupWidget()) {
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(popup, &escape);
      QCoreApplication::processEvents();
    }
  };
  openUserMenu();
  ASSERT_EQ(QApplication::activePopupWidget(), user);
  // From the open empty menu straight to the registration below it.
  dialogs_->AnswerModal([](QDialog& d) {
    TValueListEditor& g = *static_cast<TWebShortcutDlg&>(d).ValueListEditor1;
    EditCell(g, 0, 0, "Piyo");
    EditCell(g, 0, 1, "http://piyo.example/");
    return int(mrOk);
  });
  web->setActiveAction(form_->findChild<QAction*>("AddShortcutMenu"));
  QCoreApplication::processEvents();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(web, &enter);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs_->Modals, QStringList{"TWebShortcutDlg"});
  closeMenus();
  openUserMenu();
  EXPECT_EQ(QApplication::activePopupWidget(), user);
  EXPECT_EQ(MenuCaptions(), QStringList{"Piyo"});
  closeMenus();
}

// A long list: the menu holds at most 40 entries, the rest go into submenus of consecutive
// shortcuts that are filled only when opened; every item still opens the first URL of its name.
TEST_F(WebShortcutTest, LongListsAreSplitIntoSubmenusFilledWhenOpened) {
  std::string kdw = "news=http://first-news/\r\n";
  for (int i = 1; i < 20000; ++i)
    kdw += (i == 19999 ? std::string("News") : "s" + std::to_string(i)) + "=http://u/" +
           std::to_string(i) + "\r\n";
  WriteKdw(kdw);
  Open();
  QMenu* user = form_->WebUserMenu;
  QList<QAction*> top = user->actions();
  ASSERT_LE(top.size(), 40);
  ASSERT_GE(top.size(), 2);
  EXPECT_TRUE(top.front()->text().startsWith(U("news 〜 ")));
  // Walk down the last submenus to the last entry, filling each on the way.
  QMenu* menu = user;
  int depth = 0;
  while (QMenu* sub = Submenu(menu, menu->actions().value(menu->actions().size() - 1))) {
    EXPECT_TRUE(sub->actions().isEmpty());  // not filled before it is opened
    emit sub->aboutToShow();
    ASSERT_LE(sub->actions().size(), 40);
    menu = sub;
    ++depth;
  }
  EXPECT_GE(depth, 2);
  QAction* last = menu->actions().back();
  EXPECT_EQ(last->text(), "News");
  EXPECT_EQ(last->property("Hint").toString(), "http://first-news/");
  emit menu->aboutToShow();  // opened again: filled once only
  EXPECT_EQ(menu->actions().back(), last);

  // Registering again rebuilds the menu from the new list.
  Register([](TValueListEditor& g) {
    g.SetLines({"only=http://only/"});
    return int(mrOk);
  });
  EXPECT_EQ(MenuCaptions(), QStringList{"only"});
  EXPECT_TRUE(user->findChildren<QMenu*>().isEmpty());
}
