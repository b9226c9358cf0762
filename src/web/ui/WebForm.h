// TWebForm: a small modeless web browser (back, forward, refresh, stop, address box, title
// and status text). The main window opens a new one for every page it is asked to show.
#pragma once
#include <QString>
#include <QUrl>
#include <QWidget>

class QComboBox;
class QStatusBar;
class QToolBar;
class QToolButton;
class TUIWebBrowser;
class TWebView;

class TWebForm : public QWidget {
  Q_OBJECT
 public:
  explicit TWebForm(QWidget* parent = nullptr);
  ~TWebForm() override;

  QToolBar* ToolBar1;
  QToolButton* BackButton;
  QToolButton* ForwardButton;
  QToolButton* RefreshButton;
  QToolButton* StopButton;
  QComboBox* ComboBox1;
  QToolButton* GoButton;
  QToolButton* FavoriteButton;
  QStatusBar* StatusBar1;
  // Made when the window is first shown or told where to go: starting the web engine costs
  // time and memory, and the window made at program start is never shown.
  TUIWebBrowser* WebBrowser1 = nullptr;
  TUIWebBrowser& Browser();

  // Opens what an address box text asks for; blank text opens nothing.
  void NavigateTo(const QString& address);

  void BackButtonClick();
  void ForwardButtonClick();
  void RefreshButtonClick();
  void StopButtonClick();
  void GoButtonClick();
  // Writes an Internet shortcut to the page shown into the Favorites folder.
  void FavoriteButtonClick();
  // The window's own keys, whatever has the focus in it: Ctrl+L the address box, Alt+Left
  // and Alt+Right back and forward, Ctrl+W and Esc close. True when the key was one of them.
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // Enter in the address box.
  void ComboBox1KeyDown();
  void WebBrowser1CommandStateChange(int command, bool enabled);
  void WebBrowser1TitleChange(const QString& title);
  void WebBrowser1StatusTextChange(const QString& text);
  void WebBrowser1NavigateComplete2();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};
extern TWebForm* WebForm;

// The page an address box text asks for; empty when it asks for nothing.
QUrl AddressUrl(const QString& address);

// A new browser window of the program, shown, gone when closed.
TWebForm* OpenBrowserWindow(QWidget* parent);
// Lets a view open its new windows as browser windows (children of newWindowParent) and save
// downloads where the user chooses; owner is the window whose view it is.
void ServeWebView(TWebView& view, QWidget* owner, QWidget* newWindowParent);
