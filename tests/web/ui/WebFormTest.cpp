// The browser window and its view component, driven through a fake view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "FakeWebView.h"
#include "web/ui/UIWebBrowser.h"
#include "web/ui/WebForm.h"

namespace {

QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}

class WebFormTest : public ::testing::Test {
 protected:
  TFakeWebView& View() { return *fakes_.Made.at(0); }
  void Settle() {
    QApplication::processEvents();
    form_.layout()->activate();
    form_.ToolBar1->layout()->activate();
  }
  void EnterInAddressBox(const QString& text) {
    form_.ComboBox1->setEditText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    // The box has the focus and hands keys on to its line edit.
    QApplication::sendEvent(form_.ComboBox1, &press);
  }

  TFakeWebViews fakes_;
  TWebForm form_;
};

}  // namespace

TEST_F(WebFormTest, StartsEmptyAndMakesItsViewOnlyWhenNeeded) {
  EXPECT_FALSE(form_.BackButton->isEnabled());
  EXPECT_FALSE(form_.ForwardButton->isEnabled());
  EXPECT_EQ(form_.ComboBox1->currentText(), "");
  EXPECT_TRUE(fakes_.Made.empty());
  EXPECT_EQ(form_.WebBrowser1, nullptr);
  form_.show();
  ASSERT_EQ(fakes_.Made.size(), 1u);
  EXPECT_EQ(View().Kind, TWebViewKind::Browser);
  ASSERT_NE(form_.WebBrowser1, nullptr);
  form_.hide();
  form_.show();
  EXPECT_EQ(fakes_.Made.size(), 1u);
}

TEST_F(WebFormTest, ViewEventsReachCaptionStatusAddressAndButtons) {
  form_.show();
  emit View().TitleChange(U("ひよこのページ"));
  EXPECT_EQ(form_.windowTitle(), U("ひよこのページ"));
  emit View().StatusTextChange("http://example.com/link");
  EXPECT_EQ(form_.StatusBar1->currentMessage(), "http://example.com/link");

  emit View().CommandStateChange(TWebView::kForward, true);
  EXPECT_TRUE(form_.ForwardButton->isEnabled());
  EXPECT_FALSE(form_.BackButton->isEnabled());
  emit View().CommandStateChange(TWebView::kBack, true);
  EXPECT_TRUE(form_.BackButton->isEnabled());
  emit View().CommandStateChange(3, false);  // not a command the window shows
  EXPECT_TRUE(form_.BackButton->isEnabled());
  EXPECT_TRUE(form_.ForwardButton->isEnabled());

  // The address box shows where the view ended up, not what was typed.
  EnterInAddressBox("example.com");
  EXPECT_EQ(form_.ComboBox1->currentText(), "http://example.com");
}

TEST_F(WebFormTest, EnterAndGoNavigateToTheAddressBoxText) {
  form_.show();
  EnterInAddressBox(" http://example.com/a?b=c ");
  form_.ComboBox1->setEditText("/tmp/a b.html");
  form_.GoButton->click();
  EnterInAddressBox("   ");  // nothing to open
  form_.ComboBox1->setEditText("");
  form_.GoButton->click();
  ASSERT_EQ(View().Navigated.size(), 2u);
  EXPECT_EQ(View().Navigated[0], QUrl("http://example.com/a?b=c"));
  EXPECT_EQ(View().Navigated[1], QUrl::fromLocalFile("/tmp/a b.html"));
  EXPECT_EQ(form_.ComboBox1->count(), 0);  // Enter adds nothing to the list
}

TEST_F(WebFormTest, BackAndForwardFollowTheHistory) {
  form_.NavigateTo("http://a.example/");
  EXPECT_FALSE(form_.BackButton->isEnabled());
  form_.NavigateTo("http://b.example/");
  EXPECT_TRUE(form_.BackButton->isEnabled());
  EXPECT_FALSE(form_.ForwardButton->isEnabled());

  form_.BackButton->click();
  EXPECT_FALSE(form_.BackButton->isEnabled());  // the start of the history
  EXPECT_TRUE(form_.ForwardButton->isEnabled());
  EXPECT_EQ(form_.ComboBox1->currentText(), "http://a.example/");

  form_.ForwardButton->click();
  EXPECT_TRUE(form_.BackButton->isEnabled());
  EXPECT_FALSE(form_.ForwardButton->isEnabled());
  EXPECT_EQ(form_.ComboBox1->currentText(), "http://b.example/");
}

TEST_F(WebFormTest, RefreshNeedsADocumentAndStopALoad) {
  form_.show();
  form_.RefreshButton->click();
  form_.StopButton->click();
  EXPECT_TRUE(View().Calls.isEmpty());

  form_.NavigateTo("http://a.example/");
  form_.RefreshButton->click();
  form_.StopButton->click();
  View().IsBusy = true;
  form_.StopButton->click();
  EXPECT_EQ(View().Calls, QStringList({"Refresh", "Stop"}));
}

TEST_F(WebFormTest, AddressBoxGrowsWithTheWindowAndGoStaysAtTheEnd) {
  form_.show();
  Settle();
  int narrow = form_.ComboBox1->width();
  form_.resize(900, 480);
  Settle();
  int wide = form_.ComboBox1->width();
  EXPECT_EQ(wide - narrow, 260);
  QRect go = form_.GoButton->geometry();
  EXPECT_GT(go.left(), form_.ComboBox1->geometry().right());
  EXPECT_GT(go.right(), form_.ToolBar1->width() - 20);
  form_.resize(500, 480);
  Settle();
  EXPECT_EQ(form_.ComboBox1->width(), narrow - 140);
}

TEST_F(WebFormTest, WindowKeysWorkWhereverTheFocusIs) {
  form_.show();
  View().Navigate(QUrl("http://example.com/1"));
  View().Navigate(QUrl("http://example.com/2"));
  QWidget* page = View().Widget();
  auto press = [](QWidget* to, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    return QApplication::sendEvent(to, &e);
  };

  press(page, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(View().LocationUrl(), QUrl("http://example.com/1"));
  press(page, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(View().LocationUrl(), QUrl("http://example.com/2"));
  press(page, Qt::Key_Up, Qt::AltModifier);  // not the window's
  EXPECT_EQ(View().Calls, (QStringList{"GoBack", "GoForward"}));

  press(page, Qt::Key_L, Qt::ControlModifier);
  QWidget* focus = form_.focusWidget();
  EXPECT_TRUE(focus == form_.ComboBox1 || form_.ComboBox1->isAncestorOf(focus));
  EXPECT_EQ(form_.ComboBox1->lineEdit()->selectedText(), "http://example.com/2");

  press(page, Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(form_.isVisible());
  form_.show();
  press(form_.ComboBox1, Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(form_.isVisible());
}

TEST(UIWebBrowserTest, SettingsKeepTheirNamesAndDefaultsAndReachTheEngine) {
  TFakeWebViews fakes;
  TUIWebBrowser browser;
  ASSERT_EQ(fakes.Made.size(), 1u);
  TFakeWebView& view = *fakes.Made[0];
  const char* off[] = {"IeNoContext", "IeNO3DBORDER", "IeSCROLL_hidden", "IeDontSCRIPT",
                       "IeNoBehavior"};
  for (const char* name : off) EXPECT_EQ(browser.property(name), QVariant(false)) << name;
  EXPECT_EQ(browser.property("IeEnableAccelerator"), QVariant(true));
  EXPECT_EQ(browser.property("IeAutoComplete"), QVariant(true));
  EXPECT_EQ(browser.DownLoadControl(),
            (web::TDownloadOptions{web::TDownloadOption::CS_Images, web::TDownloadOption::CS_Videos,
                                   web::TDownloadOption::CS_BGSounds}));
  EXPECT_EQ(view.Options, web::TEngineOptions{});
  EXPECT_NE(browser.frameShape(), QFrame::NoFrame);

  browser.setProperty("IeSCROLL_hidden", true);
  browser.SetIeNO3DBORDER(true);
  EXPECT_FALSE(view.Options.ScrollBars);
  EXPECT_EQ(browser.frameShape(), QFrame::NoFrame);
  web::TDownloadOptions noScripts = browser.DownLoadControl();
  noScripts.Include(web::TDownloadOption::CS_NoScripts);
  browser.SetDownLoadControl(noScripts);
  EXPECT_FALSE(view.Options.Scripts);
  EXPECT_TRUE(view.Options.Images);
}

TEST(UIWebBrowserTest, ContextMenuIsTheViewsUnlessTheHostTakesIt) {
  TFakeWebViews fakes;
  TUIWebBrowser browser;
  TFakeWebView& view = *fakes.Made[0];
  int raised = 0;
  browser.OnUIShowContextMenu = [&](TUIWebBrowser& sender, QPoint) {
    EXPECT_EQ(&sender, &browser);
    ++raised;
  };
  EXPECT_FALSE(view.OnContextMenu(QPoint(10, 10)));  // the view shows its own
  browser.SetIeNoContext(true);
  EXPECT_TRUE(view.OnContextMenu(QPoint(10, 10)));  // suppressed, no menu of the host
  QMenu menu;
  menu.addAction("x");
  browser.PopupMenu = &menu;
  browser.AutoPopup = false;
  EXPECT_TRUE(view.OnContextMenu(QPoint(10, 10)));
  EXPECT_FALSE(menu.isVisible());
  browser.AutoPopup = true;
  EXPECT_TRUE(view.OnContextMenu(QPoint(10, 10)));
  EXPECT_TRUE(menu.isVisible());
  menu.hide();
  EXPECT_EQ(raised, 4);
}

TEST(WebFormWithoutEngineTest, ShowsTheAddressInsteadOfThePage) {
  TWebViewFactory old = SetWebViewFactory(
      [](TWebViewKind kind, QWidget* parent) { return CreateNoEngineView(kind, parent); });
  {
    TWebForm form;
    form.NavigateTo("example.com/a");
    EXPECT_EQ(form.ComboBox1->currentText(), "http://example.com/a");
    auto* label = qobject_cast<QLabel*>(form.WebBrowser1->View().Widget());
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith("http://example.com/a\n"));
    // Nothing to go back to, reload or stop.
    form.RefreshButton->click();
    form.StopButton->click();
    EXPECT_FALSE(form.BackButton->isEnabled());
  }
  SetWebViewFactory(std::move(old));
}
