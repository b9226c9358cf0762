// Pages behind the tabs: start without files, new, delete, rename, switching, open, save as,
// save, clear file name, and a restart that brings every page back.
#include <sys/stat.h>

#include <QStatusBar>
#include <filesystem>

#include "MainFormFixture.h"

namespace {
const std::string kDefaultPageFile("\x02\x01\x06\x06Page&0\x06\x00\x06\x00", 14);
}

TEST_F(MainFormTest, FirstStartWithoutFilesShowsOneEmptyPageAndWritesItOnClose) {
  TMainForm* f = Start();
  EXPECT_EQ(Captions(), QStringList{"Page&0"});
  EXPECT_EQ(Tabs().TabIndex(), 0);
  EXPECT_EQ(f->windowTitle(), U("ぴよのーと２"));
  // The place of the window's client area: what Qt restores exactly on every platform.
  EXPECT_EQ(f->geometry(), QRect(192, 107, 640, 480));
  EXPECT_EQ(Editor().GetText(), "");
  EXPECT_EQ(f->StatusPanelText(1), U("     0行     0桁"));
  EXPECT_TRUE(Editor().HasFocus() || !QApplication::focusWidget());
  EXPECT_EQ(dialogs_->Messages.size(), 0u);
  End();
  EXPECT_EQ(Hex(PageFileBytes()), Hex(kDefaultPageFile));
}

TEST_F(MainFormTest, NewPagesAreNamedByTabCountAndDeletingSelectsTheNeighbour) {
  Start();
  AddPages(2);
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2"}));
  EXPECT_EQ(Tabs().TabIndex(), 2);

  // Deleting a middle tab selects the tab that took its place.
  ClickTab(1);
  Trigger("FileDeletePage1");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  // The name counts tabs, so it can repeat.
  Trigger("FileAddPage1");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2", "Page2"}));
  // Deleting the last tab selects the one before it.
  Trigger("FileDeletePage1");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  EXPECT_EQ(form_->PageList->Count(), 2);
}

TEST_F(MainFormTest, EachPageKeepsItsOwnTypingAcrossSwitches) {
  Start();
  Type("zero");
  Trigger("FileAddPage1");
  EXPECT_EQ(Editor().GetText(), "");
  Type(U("いち"));
  Trigger("FileAddPage1");
  Type("two");
  ClickTab(0);
  EXPECT_EQ(Editor().GetText(), "zero");
  ClickTab(1);
  EXPECT_EQ(Editor().GetText(), Sjis("いち"));
  EXPECT_FALSE(Editor().Modified());  // showing a page starts it unmodified
  ClickTab(2);
  EXPECT_EQ(Editor().GetText(), "two");
}

TEST_F(MainFormTest, StatusPanelFollowsTheCaretAndHintsGoToPanelZero) {
  Start();
  Type(U("ab\nあい"));
  EXPECT_EQ(form_->StatusPanelText(1), U("     1行     4桁"));
  Trigger("FileAddPage1");
  EXPECT_EQ(form_->StatusPanelText(1), U("     0行     0桁"));
  EXPECT_NE(form_->FenEdit1->PopupMenu, nullptr);
}

TEST_F(MainFormTest, AltArrowsWalkTheTabsAroundBothEnds) {
  Start();
  AddPages(2);  // on the third tab
  Type("c");
  AltKey(Qt::Key_Right);
  EXPECT_EQ(Tabs().TabIndex(), 0);
  Type("a");
  AltKey(Qt::Key_Left);
  EXPECT_EQ(Tabs().TabIndex(), 2);
  EXPECT_EQ(Editor().GetText(), "c");
  AltKey(Qt::Key_Left);
  EXPECT_EQ(Tabs().TabIndex(), 1);
  Type("b");
  AltKey(Qt::Key_Left);
  EXPECT_EQ(Tabs().TabIndex(), 0);
  EXPECT_EQ(Editor().GetText(), "a");
  AltKey(Qt::Key_Right);
  EXPECT_EQ(Editor().GetText(), "b");

  // Arrows without Alt, and Alt with other keys, leave the tabs alone.
  QKeyEvent plain(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(form_->EditorWidget(), &plain);
  QKeyEvent ctrlAlt(QEvent::KeyPress, Qt::Key_Right, Qt::AltModifier | Qt::ControlModifier);
  QApplication::sendEvent(form_->EditorWidget(), &ctrlAlt);
  AltKey(Qt::Key_Up);
  EXPECT_EQ(Tabs().TabIndex(), 1);
}

TEST_F(MainFormTest, AltArrowHandledOnceWhenTheKeyTravelsUpToTheWindow) {
  Start();
  AddPages(3);  // on tab 3 of 4
  // A key sent to a widget that ignores it travels to its parents; it must move one tab.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
  QApplication::sendEvent(form_->StatusBar1, &press);
  EXPECT_EQ(Tabs().TabIndex(), 2);
}

TEST_F(MainFormTest, DeletingAnotherPageFromTheTabMenuKeepsTheCurrentTyping) {
  Start();
  AddPages(3);
  ClickTab(2);
  Type("keep me");
  RightPress(TabCentre(1));
  EXPECT_EQ(form_->PopupTabIndex(), 1);
  EXPECT_TRUE(Enabled("TabDelete"));
  Trigger("TabDelete");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2", "Page3"}));
  // The tab at the deleted position is selected and shown.
  EXPECT_EQ(Tabs().TabIndex(), 1);
  EXPECT_EQ(Editor().GetText(), "keep me");
  EXPECT_FALSE(Enabled("TabDelete"));  // the press it came from is used up
}

TEST_F(MainFormTest, RenameAsksWithPresetAndCancelKeepsTheName) {
  Start();
  AddPages(2);
  dialogs_->AnswerInput(U("メモ"));
  Trigger("FileChangeTabName");
  ASSERT_EQ(dialogs_->Inputs.size(), 1u);
  EXPECT_EQ(dialogs_->Inputs[0].Caption, U("タブの名称変更"));
  EXPECT_EQ(dialogs_->Inputs[0].Prompt, U("新しいタブの名称を入力してください"));
  EXPECT_EQ(dialogs_->Inputs[0].Value, "Page2");
  EXPECT_EQ(Tabs().Caption(2), U("メモ"));
  EXPECT_EQ(form_->PageList->Items(2)->Name, Sjis("メモ"));

  dialogs_->AnswerInput(std::nullopt);
  Trigger("FileChangeTabName");
  EXPECT_EQ(Tabs().Caption(2), U("メモ"));

  dialogs_->AnswerInput(QString());
  Trigger("FileChangeTabName");
  EXPECT_EQ(Tabs().Caption(2), "");
  EXPECT_EQ(dialogs_->Unexpected, 0);
}

TEST_F(MainFormTest, RenamingAnUnselectedTabShowsAndSurvivesARestart) {
  Start();
  AddPages(2);
  ClickTab(2);
  RightPress(TabCentre(1));
  dialogs_->AnswerInput(U("下書き"));
  Trigger("TabChangeName");
  EXPECT_EQ(Tabs().TabIndex(), 2);
  ClickTab(1);
  EXPECT_EQ(Tabs().Caption(1), U("下書き"));
  Restart();
  EXPECT_EQ(Captions(), (QStringList{"Page&0", U("下書き"), "Page2"}));
}

TEST_F(MainFormTest, FirstPageCannotBeDeletedRenamedOrDraggedOnto) {
  Start();
  AddPages(2);
  ClickTab(0);
  EXPECT_FALSE(Enabled("FileDeletePage1"));
  EXPECT_FALSE(Enabled("FileChangeTabName"));
  RightPress(TabCentre(0));
  EXPECT_FALSE(Enabled("TabDelete"));
  EXPECT_FALSE(Enabled("TabChangeName"));
  form_->DeletePage(0);
  form_->RenameTab(0);
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2"}));
  EXPECT_EQ(dialogs_->Inputs.size(), 0u);

  // A press on the first tab starts no drag.
  Drag(TabCentre(0), TabCentre(2));
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2"}));
  // Nothing is dropped on the first tab.
  Drag(TabCentre(2), TabCentre(0));
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2"}));
  EXPECT_EQ(Tabs().TabIndex(), 2);

  ClickTab(1);
  EXPECT_TRUE(Enabled("FileDeletePage1"));
  EXPECT_TRUE(Enabled("FileChangeTabName"));
}

TEST_F(MainFormTest, DraggingATabMovesItsPageAndKeepsItSelected) {
  Start();
  AddPages(3);
  ClickTab(1);
  Type("one");
  Drag(TabCentre(1), TabCentre(3));
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page2", "Page3", "Page1"}));
  EXPECT_EQ(Tabs().TabIndex(), 3);
  EXPECT_EQ(Editor().GetText(), "one");
  // The store moved with the tabs: leaving the page stores the text into the moved page.
  ClickTab(0);
  EXPECT_EQ(form_->PageList->Items(3)->Name, "Page1");
  EXPECT_EQ(form_->PageList->Items(3)->FullText(), "one");
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(ToQString(form_->PageList->Items(i)->Name), Tabs().Caption(i));
}

TEST_F(MainFormTest, DropsOnEmptyStripOrEditorAreRefused) {
  Start();
  AddPages(2);
  ClickTab(1);
  QPoint empty(Tabs().width() - 30, TabCentre(0).y());
  Drag(TabCentre(1), empty);
  QPoint editor = Tabs().ClientRect().center();
  Drag(TabCentre(1), editor);
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", "Page2"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  // A short move below the threshold is a click, not a drag.
  Mouse(QEvent::MouseButtonPress, TabCentre(1), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, TabCentre(1) + QPoint(3, 0), Qt::NoButton, Qt::LeftButton);
  EXPECT_FALSE(Tabs().Dragging());
  Mouse(QEvent::MouseButtonRelease, TabCentre(1), Qt::LeftButton, Qt::NoButton);
}

TEST_F(MainFormTest, DragFromEmptyStripMovesTheCurrentPageEvenTheFirst) {
  Start();
  AddPages(2);
  ClickTab(0);
  Type("first");
  QPoint empty(Tabs().width() - 30, TabCentre(0).y());
  Drag(empty, TabCentre(2));
  EXPECT_EQ(Captions(), (QStringList{"Page1", "Page2", "Page&0"}));
  EXPECT_EQ(Tabs().TabIndex(), 2);
  EXPECT_EQ(Editor().GetText(), "first");
  // Whatever stands first now has the first page's roles.
  ClickTab(0);
  EXPECT_FALSE(Enabled("FileDeletePage1"));
}

TEST_F(MainFormTest, OpenMakesANewPageBoundToTheFile) {
  std::string bytes = Sjis("日本語\r\nふたつめ\r\n");
  std::string path = files_.Write("b.txt", bytes);
  Start();
  dialogs_->AnswerFile(QString::fromStdString(path));
  Trigger("FileOpen1");
  ASSERT_EQ(dialogs_->Files.size(), 1u);
  const TFileDialogRequest& r = dialogs_->Files[0];
  EXPECT_FALSE(r.Save);
  EXPECT_EQ(r.Filter, U("すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt"));
  EXPECT_EQ(r.FilterIndex, 2);
  EXPECT_EQ(r.FileName, "");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "b.txt"}));
  EXPECT_EQ(Tabs().TabIndex(), 1);
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２ - ") + QString::fromStdString(path));
  EXPECT_EQ(Hex(Editor().GetText()), Hex(bytes));
  EXPECT_FALSE(Editor().Modified());
  EXPECT_EQ(form_->CurrentPage()->FileName, path);
  EXPECT_TRUE(Enabled("FileSave1"));

  // Opening the same file again makes another page.
  dialogs_->AnswerFile(QString::fromStdString(path));
  Trigger("FileOpen1");
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "b.txt", "b.txt"}));
  // Cancel changes nothing.
  dialogs_->AnswerFile(std::nullopt);
  Trigger("FileOpen1");
  EXPECT_EQ(Tabs().Count(), 3);
}

TEST_F(MainFormTest, OpenOfAMissingNameBindsAnEmptyPageThatSaveCreates) {
  Start();
  std::string path = files_.File("new.txt");
  dialogs_->AnswerFile(QString::fromStdString(path));
  Trigger("FileOpen1");
  EXPECT_EQ(form_->CurrentPage()->FileName, path);
  EXPECT_EQ(dialogs_->Messages.size(), 0u);
  Type("abc");
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), "abc");
}

TEST_F(MainFormTest, OpenOfAnUnreadableFileReportsItAndLeavesThePageUnbound) {
  Start();
  std::filesystem::create_directory(files_.File("folder.txt"));
  dialogs_->AnswerFile(QString::fromStdString(files_.File("folder.txt")));
  Trigger("FileOpen1");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(Tabs().Count(), 2);
  EXPECT_EQ(form_->CurrentPage()->FileName, "");
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２"));
  EXPECT_FALSE(Enabled("FileSave1"));
}

TEST_F(MainFormTest, SaveAsProposesThePageNameAndBindsThePage) {
  Start();
  AddPages(3);
  Type(U("本文"));
  std::string chosen = files_.File("out");  // no extension typed
  dialogs_->AnswerFile(QString::fromStdString(chosen));
  dialogs_->AnswerModal([](QDialog&) { return mrOk; });  // the format as it was
  Trigger("FileSaveAs1");
  ASSERT_EQ(dialogs_->Files.size(), 1u);
  const TFileDialogRequest& r = dialogs_->Files[0];
  EXPECT_TRUE(r.Save);
  EXPECT_EQ(r.FileName, "Page3.txt");
  EXPECT_EQ(r.DefaultExt, "txt");
  EXPECT_EQ(r.FilterIndex, 2);
  std::string saved = chosen + ".txt";
  EXPECT_EQ(Hex(TempDir::Read(saved)), Hex(Sjis("本文")));
  EXPECT_EQ(form_->CurrentPage()->FileName, saved);
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２ - ") + QString::fromStdString(saved));
  EXPECT_EQ(Tabs().Caption(3), "Page3");
  EXPECT_TRUE(Editor().Modified());  // saving leaves the modified state alone

  // The next Save as proposes the bound file; Save writes the current text there.
  Type("!");
  Trigger("FileSave1");
  EXPECT_EQ(Hex(TempDir::Read(saved)), Hex(Sjis("本文!")));
  dialogs_->AnswerFile(std::nullopt);
  Trigger("FileSaveAs1");
  EXPECT_EQ(dialogs_->Files.back().FileName, QString::fromStdString(saved));
}

TEST_F(MainFormTest, FailedSavesAreReportedAndKeepTheOldBinding) {
  Start();
  std::string good = files_.Write("good.txt", "old");
  dialogs_->AnswerFile(QString::fromStdString(good));
  Trigger("FileOpen1");
  Type("new ");

  dialogs_->AnswerFile(QString::fromStdString(files_.File("no/such/dir/x.txt")));
  dialogs_->AnswerModal([](QDialog&) { return mrOk; });
  Trigger("FileSaveAs1");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(form_->CurrentPage()->FileName, good);

  // The bound file's folder goes away: Save reports it.
  std::filesystem::create_directory(files_.File("gone"));
  std::string doomed = files_.Write("gone/a.txt", "x");
  dialogs_->AnswerFile(QString::fromStdString(doomed));
  Trigger("FileOpen1");
  std::filesystem::remove_all(files_.File("gone"));
  Trigger("FileSave1");
  EXPECT_EQ(dialogs_->Messages.size(), 2u);
  EXPECT_EQ(form_->CurrentPage()->FileName, doomed);
  EXPECT_EQ(TempDir::Read(good), "old");
}

TEST_F(MainFormTest, ClearFileNameUnbindsThePageAndDisablesSave) {
  Start();
  std::string path = files_.Write("a.txt", "text");
  dialogs_->AnswerFile(QString::fromStdString(path));
  Trigger("FileOpen1");
  EXPECT_TRUE(Enabled("FileNameClear"));
  Trigger("FileNameClear");
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２"));
  EXPECT_EQ(Editor().GetText(), "text");
  EXPECT_FALSE(Enabled("FileSave1"));
  EXPECT_FALSE(Enabled("FileNameClear"));
}

TEST_F(MainFormTest, TitleFollowsThePageShown) {
  Start();
  std::string path = files_.Write("t.txt", "");
  dialogs_->AnswerFile(QString::fromStdString(path));
  Trigger("FileOpen1");
  ClickTab(0);
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２"));
  AltKey(Qt::Key_Right);
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２ - ") + QString::fromStdString(path));
}

TEST_F(MainFormTest, RestartBringsBackEveryPageAndTheSamePageFile) {
  Start();
  Type("first page");
  Trigger("FileAddPage1");
  Type(U("二ページ目\nの本文"));
  std::string bound = files_.Write("bound.txt", "bound text\r\n");
  dialogs_->AnswerFile(QString::fromStdString(bound));
  Trigger("FileOpen1");
  dialogs_->AnswerInput(U("名前"));
  Trigger("FileChangeTabName");
  ClickTab(1);
  End();
  std::string first = PageFileBytes();

  Start();
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "Page1", U("名前")}));
  EXPECT_EQ(Tabs().TabIndex(), 1);  // the settings file keeps the selected page
  EXPECT_EQ(Hex(Editor().GetText()), Hex(Sjis("二ページ目\r\nの本文")));
  ClickTab(0);
  EXPECT_EQ(Editor().GetText(), "first page");
  ClickTab(2);
  EXPECT_EQ(Editor().GetText(), "bound text\r\n");
  EXPECT_EQ(form_->CurrentPage()->FileName, bound);
  ClickTab(1);
  End();
  EXPECT_EQ(Hex(PageFileBytes()), Hex(first));
}

// The page on screen lives in the editor alone; a page behind another tab keeps the editor's
// rows instead of a copy of its text. Switching shows the text as before (caret at the start,
// no undo), and the page file holds every page byte for byte however the pages travelled.
TEST_F(MainFormTest, SwitchingMovesThePagesAndThePageFileHoldsEveryByte) {
  Start();
  Editor().SetText(std::string(3000, 'a') + "\r\n\x82\xa0\r\n");  // rows cut, a wide char
  Type("0");
  AddPages(2);
  Type("two");
  ClickTab(1);
  Type("one");
  ClickTab(0);
  Type("x");
  ClickTab(2);
  AltKey(Qt::Key_Left);  // to page 1 by the keyboard
  const std::vector<std::string> want = {"x0" + std::string(3000, 'a') + "\r\n\x82\xa0\r\n",
                                         "one", "two"};
  ASSERT_EQ(Tabs().TabIndex(), 1);
  EXPECT_EQ(Editor().GetText(), "one");
  EXPECT_FALSE(Editor().Control().CanUndo());
  EXPECT_EQ(Editor().CaretRow(), 0);
  EXPECT_EQ(Editor().CaretByte(), 0);
  for (int i = 0; i < 3; ++i) {
    const TDataItem* page = form_->PageList->Items(i);
    EXPECT_EQ(page->Text, "") << i;  // never a second copy
    EXPECT_EQ(page->Rows != nullptr, i != 1) << i;
    EXPECT_EQ(form_->PageText(i), want[static_cast<size_t>(i)]) << i;
  }
  ClickTab(0);
  EXPECT_EQ(Editor().GetText(), want[0]);
  EXPECT_EQ(Editor().Control().CheckInvariants(), "");

  // A save while the program goes on leaves the page on screen in the editor alone.
  form_->SaveState();
  EXPECT_EQ(form_->PageList->Items(0)->Text, "");
  End();
  TDataList saved;
  saved.LoadFromFile(PageFilePath());
  ASSERT_EQ(saved.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(saved.Items(i)->Text, want[static_cast<size_t>(i)]) << i;
}

TEST_F(MainFormTest, SaveStateWritesThePagesWithoutEndingOrChangingThem) {
  Start();
  Type("draft");
  form_->NoSavePage0 = true;
  form_->SaveState();
  // The first page is written empty, as at shut-down, but the live page keeps its text.
  EXPECT_EQ(Hex(PageFileBytes()), Hex(kDefaultPageFile));
  EXPECT_EQ(Editor().GetText(), "draft");
  EXPECT_EQ(form_->PageText(0), "draft");
}

TEST_F(MainFormTest, ADamagedPageFileIsReportedOnlyOnceTheWindowIsDrawn) {
  std::string bad("\x02\x02\x06\x01", 4);  // two pages promised, a string cut short
  {
    std::FILE* f = std::fopen(PageFilePath().c_str(), "wb");
    std::fwrite(bad.data(), 1, bad.size(), f);
    std::fclose(f);
  }
  // Counts what the main window has painted, and notes the count when a message comes.
  struct TPaints : QObject {
    QWidget* window = nullptr;
    int count = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (e->type() == QEvent::Paint && o->isWidgetType() &&
          static_cast<QWidget*>(o)->window() == window)
        ++count;
      return false;
    }
  } paints;
  struct TNoting : TScriptedDialogs {
    TPaints* paints = nullptr;
    std::vector<int> paintsAtMessage;
    int MessageDlg(const TMessageRequest& r) override {
      paintsAtMessage.push_back(paints->count);
      return TScriptedDialogs::MessageDlg(r);
    }
  };
  auto noting = std::make_unique<TNoting>();
  TNoting* dialogs = noting.get();
  dialogs->paints = &paints;
  app_->SetDialogs(std::move(noting));
  qApp->installEventFilter(&paints);
  form_ = app_->CreateForm<TMainForm>();
  paints.window = form_;
  form_->show();
  EXPECT_EQ(dialogs->Messages.size(), 0u);
  LetTheWindowDraw();
  qApp->removeEventFilter(&paints);
  ASSERT_EQ(dialogs->Messages.size(), 1u);
  EXPECT_GT(dialogs->paintsAtMessage[0], 0);
  EXPECT_GE(Tabs().Count(), 1);
  EXPECT_EQ(Tabs().TabIndex(), 0);
}

TEST_F(MainFormTest, ManyTabRowsInASmallWindowScrollAndLeaveTheEditorRows) {
  Start();
  Trigger("ViewTabMultiLine");
  AddPages(60);
  form_->resize(300, 260);
  const int row = form_->FenEdit1->LineHeight();
  EXPECT_GE(form_->EditorWidget()->height(), 3 * row);
  EXPECT_LT(Tabs().VisibleRowCount(), Tabs().RowCount());
  // The selected tab stays in view and reachable.
  QRect selected = Tabs().TabRect(Tabs().TabIndex());
  ASSERT_FALSE(selected.isEmpty());
  EXPECT_EQ(Tabs().IndexOfTabAt(selected.center()), Tabs().TabIndex());
}

TEST_F(MainFormTest, APressThatMovesAFewPixelsNeverReordersTurningTabRows) {
  Start();
  Trigger("ViewTabMultiLine");
  AddPages(30);
  form_->resize(320, 480);
  ASSERT_GE(Tabs().RowCount(), 3);
  const QStringList pages = Captions();
  auto pressMoveRelease = [&](int tab) {
    QPoint at = TabCentre(tab);
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, at + QPoint(6, 0), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, at + QPoint(6, 0), Qt::LeftButton, Qt::NoButton);
  };
  auto topRowTab = [&](int other) {
    int best = -1;
    for (int i = 0; i < Tabs().Count(); ++i)
      if (i != other && (best < 0 || Tabs().TabRect(i).top() < Tabs().TabRect(best).top()))
        best = i;
    return best;
  };
  // The first tab, in a row away from the editor: its press turns the rows, and the drag
  // must not start from whatever tab turned in under the pointer.
  ASSERT_LT(Tabs().TabRect(0).bottom(), Tabs().TabRect(Tabs().TabIndex()).top());
  pressMoveRelease(0);
  EXPECT_EQ(Captions(), pages);
  EXPECT_EQ(Tabs().TabIndex(), 0);
  // Any other tab in a far row: a small move is a click, not a reorder.
  for (int round = 0; round < 3; ++round) {
    int tab = topRowTab(0);
    pressMoveRelease(tab);
    EXPECT_EQ(Captions(), pages) << tab;
    EXPECT_EQ(Tabs().TabIndex(), tab);
  }
  // Once released, the selected tab's row sits next to the editor.
  int bottom = 0;
  for (int i = 0; i < Tabs().Count(); ++i) bottom = std::max(bottom, Tabs().TabRect(i).bottom());
  EXPECT_EQ(Tabs().TabRect(Tabs().TabIndex()).bottom(), bottom);
}

TEST_F(MainFormTest, APressOnAHalfHiddenTabScrollsTheRowOnlyOnRelease) {
  Start();
  AddPages(20);
  form_->SelectPage(0);
  ASSERT_EQ(Tabs().FirstVisibleTab(), 0);
  // The last tab still partly in view, left of the scroll buttons.
  int edge = -1;
  for (int i = 0; i < Tabs().Count(); ++i)
    if (!Tabs().TabRect(i).isEmpty()) edge = i;
  ASSERT_GT(edge, 0);
  const QStringList pages = Captions();
  QPoint at(Tabs().TabRect(edge).left() + 4, Tabs().TabRect(edge).center().y());
  Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(Tabs().FirstVisibleTab(), 0);
  EXPECT_EQ(Tabs().IndexOfTabAt(at), edge);
  Mouse(QEvent::MouseMove, at + QPoint(6, 0), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, at + QPoint(6, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Captions(), pages);
  EXPECT_EQ(Tabs().TabIndex(), edge);
}
