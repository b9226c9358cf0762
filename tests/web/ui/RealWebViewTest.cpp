// The browser and preview windows on the real web engine, with local pages only.
#if PIYO_HAVE_WEBENGINE
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <filesystem>
#include <functional>

#include "FenEdit/Fenstrings.h"
#include "app/ui/Application.h"
#include "support/TempDir.h"
#include "web/PreviewPage.h"
#include "web/ui/PreveiwDlg.h"
#include "web/ui/UIWebBrowser.h"
#include "web/ui/WebForm.h"
#include "web/ui/WebView.h"

namespace {

// Chromium does not start as root with its sandbox, and the test machines run as root;
// set before the first view starts the engine, in case the runner did not pass these on.
void EngineEnvironment() {
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
}

// Runs the event loop until `done` holds; false if it never does.
bool WaitFor(const std::function<bool()>& done) {
  QDeadlineTimer deadline(20000);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

QString Page(const TempDir& dir, const char* name, const char* title) {
  std::string html = std::string("<html><head><title>") + title +
                     "</title></head><body><a href=\"x\">x</a></body></html>";
  return QString::fromStdString(dir.Write(name, html));
}

}  // namespace

TEST(RealWebViewTest, BrowserWindowFollowsTheEngine) {
  EngineEnvironment();
  TempDir dir;
  QString first = Page(dir, "a.html", "first");
  QString second = Page(dir, "b.html", "second");
  {
    TWebForm form;
    form.show();
    form.NavigateTo(first);
    ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "first"; }));
    EXPECT_EQ(form.ComboBox1->currentText(), QUrl::fromLocalFile(first).toDisplayString());
    EXPECT_FALSE(form.BackButton->isEnabled());

    form.NavigateTo(second);
    ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "second"; }));
    ASSERT_TRUE(WaitFor([&] { return form.BackButton->isEnabled(); }));
    EXPECT_FALSE(form.ForwardButton->isEnabled());

    form.BackButton->click();
    ASSERT_TRUE(WaitFor([&] { return form.windowTitle() == "first"; }));
    ASSERT_TRUE(WaitFor([&] { return !form.BackButton->isEnabled(); }));
    EXPECT_TRUE(form.ForwardButton->isEnabled());
    EXPECT_EQ(form.ComboBox1->currentText(), QUrl::fromLocalFile(first).toDisplayString());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The preview page carries no character set; the view must still read it as Shift_JIS.
TEST(RealWebViewTest, PreviewReadsAnUndeclaredPageAsShiftJis) {
  EngineEnvironment();
  TempDir dir;
  TFenStrings rows;
  rows.SetRows({std::string("abc") + '\0' + '\0'});
  QString path = QString::fromStdString(dir.Write("p.html", web::PreviewPage(rows)));
  {
    TPreveiwDlg dlg;
    QString seen;
    QObject::connect(&dlg.WebBrowser1(), &TWebView::TitleChange,
                     [&](const QString& t) { seen = t; });
    dlg.Navigate(QUrl::fromLocalFile(path));
    dlg.show();
    ASSERT_TRUE(WaitFor(
        [&] { return !dlg.WebBrowser1().Busy() && !seen.isEmpty() && !seen.endsWith(".html"); }));
    EXPECT_EQ(seen, QString::fromUtf8("プレビュー"));
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A script in a local page tries to read another local file: it must get nothing, in the
// preview (whose page is the user's text) and in the browser window alike.
std::string ReadingScript(const std::string& secret) {
  return "<script>var r = 'blocked';"
         "try { var x = new XMLHttpRequest(); x.open('GET', '" +
         QUrl::fromLocalFile(QString::fromStdString(secret)).toString().toStdString() +
         "', false); x.send(); if (x.responseText) r = 'read:' + x.responseText; }"
         "catch (e) {} document.title = r;</script>";
}

TEST(RealWebViewTest, LocalPagesCannotReadOtherLocalFiles) {
  EngineEnvironment();
  TempDir dir;
  std::string secret = dir.Write("secret.txt", "private");
  auto finished = [](const QString& t) { return t == "blocked" || t.startsWith("read:"); };
  {
    TFenStrings rows;
    rows.SetRows({"<b>post</b>" + ReadingScript(secret) + '\0' + '\0'});
    QString path = QString::fromStdString(dir.Write("p.html", web::PreviewPage(rows)));
    TPreveiwDlg dlg;
    QString seen;
    QObject::connect(&dlg.WebBrowser1(), &TWebView::TitleChange,
                     [&](const QString& t) { seen = t; });
    dlg.Navigate(QUrl::fromLocalFile(path));
    dlg.show();
    ASSERT_TRUE(WaitFor([&] { return finished(seen); })) << seen.toStdString();
    EXPECT_EQ(seen.toStdString(), "blocked");
  }
  {
    QString page = QString::fromStdString(
        dir.Write("b.html", "<html><body>page" + ReadingScript(secret) + "</body></html>"));
    TWebForm form;
    form.show();
    form.NavigateTo(page);
    ASSERT_TRUE(WaitFor([&] { return finished(form.windowTitle()); }))
        << form.windowTitle().toStdString();
    EXPECT_EQ(form.windowTitle().toStdString(), "blocked");
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(RealWebViewTest, DownloadsGoWhereTheUserSaysAndNewWindowsAreTheProgramsOwn) {
  EngineEnvironment();
  TempDir dir;
  auto scripted = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& dialogs = *scripted;
  TApplication app(std::move(scripted));
  QWidget owner;
  {
    auto* form = new TWebForm(&owner);
    form->show();
    QString page = QString::fromStdString(
        dir.Write("p.html", "<html><head><title>p</title></head><body>p</body></html>"));
    form->NavigateTo(page);
    ASSERT_TRUE(WaitFor([&] { return form->windowTitle() == "p"; }));

    std::string saved = dir.File("saved.zip");
    dialogs.AnswerFile(QString::fromStdString(saved));
    form->NavigateTo(QString::fromStdString(dir.Write("a.zip", "PK zip bytes")));
    ASSERT_TRUE(WaitFor([&] { return form->StatusBar1->currentMessage().contains("saved.zip"); }))
        << dialogs.Files.size();
    ASSERT_EQ(dialogs.Files.size(), 1u);
    EXPECT_EQ(dialogs.Files[0].FileName.section('/', -1), "a.zip");
    EXPECT_EQ(TempDir::Read(saved), "PK zip bytes");
    EXPECT_TRUE(dialogs.Messages.empty());

    // A script's window (allowed here, as a click would be) becomes a browser window.
    auto* engine = qobject_cast<QWebEngineView*>(form->Browser().View().Widget());
    ASSERT_NE(engine, nullptr);
    engine->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    QString second = QString::fromStdString(dir.Write("b.html", "<html><body>b</body></html>"));
    engine->page()->runJavaScript("window.open('" + QUrl::fromLocalFile(second).toString() + "')");
    auto opened = [&] {
      for (TWebForm* f : owner.findChildren<TWebForm*>())
        if (f != form && f->ComboBox1->currentText().endsWith("/b.html")) return true;
      return false;
    };
    ASSERT_TRUE(WaitFor(opened));
    EXPECT_TRUE(owner.findChildren<TWebForm*>().back()->isVisible());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

#endif
