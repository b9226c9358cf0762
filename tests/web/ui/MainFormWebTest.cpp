// The main window's browser windows and its bulletin-board preview, with fake web views.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>
#include <filesystem>

#include "FakeWebView.h"
#include "app/ui/MainFormFixture.h"
#include "app/ui/ProgramForms.h"
#include "web/ui/PreveiwDlg.h"
#include "web/ui/UIWebBrowser.h"
#include "web/ui/WebForm.h"

namespace {

class WebWindowsTest : public MainFormTest {
 protected:
  // The windows opened for pages, in the order opened.
  QList<TWebForm*> Opened(TWebForm* except = nullptr) const {
    QList<TWebForm*> list;
    for (TWebForm* f : form_->findChildren<TWebForm*>(Qt::FindDirectChildrenOnly))
      if (f != except) list << f;
    return list;
  }

  TFakeWebViews fakes_;
};

class PreviewTest : public WebWindowsTest {
 protected:
  void SetUp() override {
    WebWindowsTest::SetUp();
    Start();
    form_->PreviewMode = true;
  }
  std::string PagePath() const { return ProgramFiles::DataFile(".html"); }
  // The text between the body's opening cell and its end.
  static std::string Body(const std::string& page) {
    const std::string open = "<tr bgcolor=\"#122021\"><td>\r\n";
    size_t from = page.find(open);
    size_t to = page.find("</td></tr>");
    if (from == std::string::npos || to == std::string::npos) return "(no body)";
    return page.substr(from + open.size(), to - from - open.size());
  }
  // Runs the preview; returns the page as it was while the window was open.
  std::string Preview() {
    std::string page;
    dialogs_->AnswerModal([&](QDialog& dialog) {
      EXPECT_EQ(&dialog, PreveiwDlg);
      page = TempDir::Read(PagePath());
      return static_cast<int>(mrOk);
    });
    Trigger("HtmlPreview");
    return page;
  }
};

}  // namespace

TEST_F(WebWindowsTest, EveryPageOpensAWindowOfItsOwn) {
  Start();
  auto* startUp = app_->CreateForm<TWebForm>();  // made with the others, never shown
  form_->OpenWebWindow(Sjis("http://example.com/ひよこ?a=1"));
  form_->OpenWebWindow("http://example.com/");

  QList<TWebForm*> opened = Opened(startUp);
  ASSERT_EQ(opened.size(), 2);
  ASSERT_EQ(fakes_.Made.size(), 2u);
  EXPECT_EQ(startUp->WebBrowser1, nullptr);
  EXPECT_EQ(WebForm, startUp);
  for (TWebForm* w : opened) EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(fakes_.Made[0]->Navigated, std::vector<QUrl>{QUrl(U("http://example.com/ひよこ?a=1"))});
  EXPECT_EQ(fakes_.Made[1]->Navigated, std::vector<QUrl>{QUrl("http://example.com/")});
  EXPECT_EQ(opened[0]->ComboBox1->currentText(), U("http://example.com/ひよこ?a=1"));

  // A closed window goes at once; the other stays as it was.
  opened[0]->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Opened(startUp), QList<TWebForm*>{opened[1]});
  EXPECT_EQ(opened[1]->ComboBox1->currentText(), "http://example.com/");
}

TEST_F(WebWindowsTest, StartUpMakesNoWebView) {
  CreateProgramForms(*app_);
  ASSERT_NE(WebForm, nullptr);
  ASSERT_NE(PreveiwDlg, nullptr);
  EXPECT_EQ(WebForm->WebBrowser1, nullptr);
  EXPECT_TRUE(fakes_.Made.empty());
  app_->DestroyForms();
  EXPECT_EQ(WebForm, nullptr);
  EXPECT_EQ(PreveiwDlg, nullptr);
}

TEST_F(PreviewTest, PageIsWrittenShownAndDeletedAfterwards) {
  Editor().SetText("a\r\n<b>x</b>");
  std::string page = Preview();
  EXPECT_EQ(Body(page), "a<br>\r\n<b>x</b><br>\r\n");
  EXPECT_EQ(page.rfind("<html>\r\n<head><title>" + Sjis("プレビュー") + "</title></head>\r\n", 0),
            0u);
  EXPECT_EQ(page.find("charset"), std::string::npos);
  EXPECT_EQ(dialogs_->Modals, QStringList{"TPreveiwDlg"});
  ASSERT_EQ(fakes_.Made.size(), 1u);
  EXPECT_EQ(fakes_.Made[0]->Kind, TWebViewKind::Plain);
  EXPECT_EQ(fakes_.Made[0]->Navigated,
            std::vector<QUrl>{QUrl::fromLocalFile(QFile::decodeName(PagePath().c_str()))});
  EXPECT_FALSE(std::filesystem::exists(PagePath()));

  // The window and its view are reused; the page is written afresh.
  Editor().SetText(Sjis("ひよこ"));
  EXPECT_EQ(Body(Preview()), Sjis("ひよこ") + "<br>\r\n");
  EXPECT_EQ(fakes_.Made.size(), 1u);
  EXPECT_EQ(fakes_.Made[0]->Navigated.size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(PagePath()));
}

TEST_F(PreviewTest, WrappedLinesGiveALinePerDisplayRow) {
  Editor().Control().SetWordWrap(true);
  Editor().Control().SetColumn(10);
  Editor().SetText("abcdefghijklmnopqrstuvwxy\r\nz");
  EXPECT_EQ(Body(Preview()), "abcdefghij<br>\r\nklmnopqrst<br>\r\nuvwxy<br>\r\nz<br>\r\n");
}

TEST_F(PreviewTest, PageThatCannotBeWrittenIsReportedAndNotShown) {
  std::filesystem::create_directory(PagePath());  // in the way of the page file
  Editor().SetText("a");
  Trigger("HtmlPreview");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(dialogs_->Modals.isEmpty());
  EXPECT_TRUE(fakes_.Made.empty());
  EXPECT_TRUE(std::filesystem::is_directory(PagePath()));
}

TEST(PreviewDlgTest, FixedWindowWhoseOkCloses) {
  TFakeWebViews fakes;
  TPreveiwDlg dlg;
  EXPECT_EQ(PreveiwDlg, &dlg);
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("プレビュー"));
  EXPECT_EQ(dlg.size(), QSize(640, 240));
  EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
  EXPECT_TRUE(fakes.Made.empty());
  dlg.show();
  ASSERT_EQ(fakes.Made.size(), 1u);
  EXPECT_EQ(fakes.Made[0]->Widget()->parentWidget()->size(), QSize(625, 193));
  EXPECT_TRUE(dlg.OKBtn->isDefault());
  dlg.OKBtn->click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(WebWindowsTest, NewWindowRequestsOpenBrowserWindowsThatOutliveTheirOpener) {
  Start();
  form_->OpenWebWindow("http://example.com/");
  ASSERT_EQ(fakes_.Made.size(), 1u);
  TFakeWebView* first = fakes_.Made[0];
  ASSERT_TRUE(first->OnNewWindow);
  TWebView* made = first->OnNewWindow();
  ASSERT_EQ(fakes_.Made.size(), 2u);
  EXPECT_EQ(made, fakes_.Made[1]);
  EXPECT_EQ(fakes_.Made[1]->Kind, TWebViewKind::Browser);
  QList<TWebForm*> opened = Opened();
  ASSERT_EQ(opened.size(), 2);
  EXPECT_TRUE(opened[1]->isVisible());
  // The new window answers new-window requests of its own too.
  EXPECT_TRUE(fakes_.Made[1]->OnNewWindow);

  opened[0]->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Opened(), QList<TWebForm*>{opened[1]});
}

TEST_F(WebWindowsTest, DownloadsAskWhereAndReportTheOutcome) {
  Start();
  form_->OpenWebWindow("http://example.com/");
  TFakeWebView* view = fakes_.Made.at(0);
  TWebForm* window = Opened().at(0);
  ASSERT_TRUE(view->OnDownload);

  QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (downloads.isEmpty()) downloads = QDir::homePath();
  dialogs_->AnswerFile(std::nullopt);
  EXPECT_EQ(view->OnDownload(QUrl("http://example.com/a/b.zip"), "b.zip"), "");
  ASSERT_EQ(dialogs_->Files.size(), 1u);
  EXPECT_TRUE(dialogs_->Files[0].Save);
  EXPECT_EQ(dialogs_->Files[0].InitialDir, downloads);
  EXPECT_EQ(dialogs_->Files[0].FileName, downloads + "/b.zip");

  // Without a name from the server, the address's last part.
  dialogs_->AnswerFile(QString("/somewhere/c.zip"));
  EXPECT_EQ(view->OnDownload(QUrl("http://example.com/x/c.zip"), ""), "/somewhere/c.zip");
  EXPECT_EQ(dialogs_->Files.at(1).FileName, downloads + "/c.zip");

  view->OnDownloadFinished("/somewhere/c.zip", "");
  EXPECT_TRUE(window->StatusBar1->currentMessage().contains("/somewhere/c.zip"));
  EXPECT_TRUE(dialogs_->Messages.empty());
  view->OnDownloadFinished("/somewhere/c.zip", "disk full");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains("/somewhere/c.zip"));
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains("disk full"));
}

TEST_F(WebWindowsTest, AddToFavoritesWritesAnInternetShortcut) {
  TempDir favorites;
  setenv("PIYONOTE2_FAVORITES", favorites.Path().c_str(), 1);
  Start();
  form_->OpenWebWindow("http://example.com/a?b=1");
  TWebForm* window = Opened().at(0);
  emit fakes_.Made.at(0)->TitleChange(U("ひよこ/の:ページ"));

  dialogs_->AnswerInput(std::nullopt);  // cancelled: nothing written
  window->FavoriteButton->click();
  EXPECT_EQ(dialogs_->Inputs.at(0).Value, U("ひよこ/の:ページ"));
  std::string path = favorites.File("ひよこ_の_ページ.url");
  EXPECT_FALSE(std::filesystem::exists(path));

  dialogs_->AnswerInput(U("ひよこ/の:ページ"));
  window->FavoriteButton->click();
  EXPECT_EQ(TempDir::Read(path), "[InternetShortcut]\r\nURL=http://example.com/a?b=1\r\n");

  // An existing shortcut is replaced only when the user says so.
  fakes_.Made.at(0)->Navigate(QUrl("http://example.com/other"));
  dialogs_->AnswerInput(U("ひよこ/の:ページ"));
  dialogs_->AnswerMessage(mrNo);
  window->FavoriteButton->click();
  EXPECT_EQ(TempDir::Read(path), "[InternetShortcut]\r\nURL=http://example.com/a?b=1\r\n");
  dialogs_->AnswerInput(U("ひよこ/の:ページ"));
  dialogs_->AnswerMessage(mrYes);
  window->FavoriteButton->click();
  EXPECT_EQ(TempDir::Read(path), "[InternetShortcut]\r\nURL=http://example.com/other\r\n");
  unsetenv("PIYONOTE2_FAVORITES");
}

TEST(PreviewDlgTest, EscAndEnterInThePageStillCloseAndLinksOpenBrowserWindows) {
  TFakeWebViews fakes;
  TPreveiwDlg dlg;
  dlg.show();
  ASSERT_EQ(fakes.Made.size(), 1u);
  QWidget* page = fakes.Made[0]->Widget();
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(page, &esc);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);

  dlg.show();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(page, &enter);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);

  // A link that asks for a new window opens a browser window that can be used while the
  // preview is modal: one of its own.
  dlg.show();
  ASSERT_TRUE(fakes.Made[0]->OnNewWindow);
  TWebView* made = fakes.Made[0]->OnNewWindow();
  ASSERT_EQ(fakes.Made.size(), 2u);
  EXPECT_EQ(made, fakes.Made[1]);
  QList<TWebForm*> windows = dlg.findChildren<TWebForm*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_TRUE(windows[0]->isVisible());
  // Keys in that window are its own, not the preview's.
  QApplication::sendEvent(made->Widget(), &enter);
  EXPECT_TRUE(dlg.isVisible());
  // and it stays when the preview closes.
  dlg.accept();
  EXPECT_TRUE(windows[0]->isVisible());
}
