// TUIWebBrowser: the browser window's view component. It keeps the host settings its window
// gives it (names and defaults as published) and passes on what the engine can honour:
//   IeNoContext          the view's own context menu, or the component's pop-up menu
//   IeNO3DBORDER         the component's sunken frame
//   IeSCROLL_hidden      scroll bars
//   IeDontSCRIPT         scripts (as are CS_NoScripts of DownLoadControl)
//   CS_Images            images
// Kept but without an equivalent in Qt WebEngine: IeEnableAccelerator (the engine's own keys
// cannot be withheld from it), IeNoBehavior, IeAutoComplete and the other download options.
// The remaining host hooks (accelerator translation, drop target, external object, URL
// translation, data-object filter, message and help boxes) cannot be answered by a host
// either; no window of the program sets them, so the view's defaults are what they gave.
// Tab and arrow keys need no routing: Qt moves the focus into and out of the view itself.
#pragma once
#include <QFrame>
#include <QPoint>
#include <functional>
#include <memory>

#include "WebView.h"
#include "web/HostSettings.h"

class QMenu;

class TUIWebBrowser : public QFrame {
  Q_OBJECT
  Q_PROPERTY(bool IeNoContext READ IeNoContext WRITE SetIeNoContext)
  Q_PROPERTY(bool IeNO3DBORDER READ IeNO3DBORDER WRITE SetIeNO3DBORDER)
  Q_PROPERTY(bool IeSCROLL_hidden READ IeSCROLL_hidden WRITE SetIeSCROLL_hidden)
  Q_PROPERTY(bool IeDontSCRIPT READ IeDontSCRIPT WRITE SetIeDontSCRIPT)
  Q_PROPERTY(bool IeEnableAccelerator READ IeEnableAccelerator WRITE SetIeEnableAccelerator)
  Q_PROPERTY(bool IeNoBehavior READ IeNoBehavior WRITE SetIeNoBehavior)
  Q_PROPERTY(bool IeAutoComplete READ IeAutoComplete WRITE SetIeAutoComplete)

 public:
  explicit TUIWebBrowser(QWidget* parent = nullptr);
  ~TUIWebBrowser() override;

  TWebView& View() const { return *view_; }
  const web::THostSettings& Settings() const { return settings_; }

  bool IeNoContext() const { return settings_.IeNoContext; }
  bool IeNO3DBORDER() const { return settings_.IeNO3DBORDER; }
  bool IeSCROLL_hidden() const { return settings_.IeSCROLL_hidden; }
  bool IeDontSCRIPT() const { return settings_.IeDontSCRIPT; }
  bool IeEnableAccelerator() const { return settings_.IeEnableAccelerator; }
  bool IeNoBehavior() const { return settings_.IeNoBehavior; }
  bool IeAutoComplete() const { return settings_.IeAutoComplete; }
  web::TDownloadOptions DownLoadControl() const { return settings_.DownLoadControl; }
  void SetIeNoContext(bool on) { Set(settings_.IeNoContext, on); }
  void SetIeNO3DBORDER(bool on) { Set(settings_.IeNO3DBORDER, on); }
  void SetIeSCROLL_hidden(bool on) { Set(settings_.IeSCROLL_hidden, on); }
  void SetIeDontSCRIPT(bool on) { Set(settings_.IeDontSCRIPT, on); }
  void SetIeEnableAccelerator(bool on) { Set(settings_.IeEnableAccelerator, on); }
  void SetIeNoBehavior(bool on) { Set(settings_.IeNoBehavior, on); }
  void SetIeAutoComplete(bool on) { Set(settings_.IeAutoComplete, on); }
  void SetDownLoadControl(web::TDownloadOptions options);

  // The component's pop-up menu, shown instead of the view's own when IeNoContext is on and
  // AutoPopup is set.
  QMenu* PopupMenu = nullptr;
  bool AutoPopup = true;
  // Raised on every context-menu request, before either menu (global position).
  std::function<void(TUIWebBrowser& sender, QPoint pos)> OnUIShowContextMenu;

  void Navigate(const QUrl& url) { view_->Navigate(url); }

 private:
  void Set(bool& field, bool on);
  void Apply();
  bool ShowContextMenu(QPoint pos);

  web::THostSettings settings_;
  std::unique_ptr<TWebView> view_;
};
