// The embedded HTML view as the browser and preview windows use it. The windows talk only to
// this interface; the program's views wrap Qt WebEngine when the build has it and otherwise
// only show the address, and tests put their own views in through the factory hook.
#pragma once
#include <QObject>
#include <QPoint>
#include <QUrl>
#include <functional>
#include <memory>

#include "web/HostSettings.h"

class QWidget;

enum class TWebViewKind {
  Browser,  // a browser window's view, customised through its host settings
  Plain,    // the preview's view: no host customisation
};

class TWebView : public QObject {
  Q_OBJECT
 public:
  // Command numbers of CommandStateChange.
  static constexpr int kForward = 1;
  static constexpr int kBack = 2;

  ~TWebView() override;

  // The view's widget, a child of the parent given at creation.
  virtual QWidget* Widget() const = 0;
  // A URL, or a local file given as a file URL.
  virtual void Navigate(const QUrl& url) = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void Refresh() = 0;
  virtual void Stop() = 0;
  virtual bool Busy() const = 0;
  virtual bool HasDocument() const = 0;
  virtual QUrl LocationUrl() const = 0;
  // Browser views: what the host's settings ask of the engine.
  virtual void ApplyOptions(const web::TEngineOptions& options) = 0;

  // Asked before the view shows its own context menu (global position); true when the host
  // has dealt with the request.
  std::function<bool(QPoint)> OnContextMenu;
  // A page asks for a window of its own (a link with a target, a script, the menu's "open in
  // new window"): the host answers with the view the page goes to, or null to refuse.
  std::function<TWebView*()> OnNewWindow;
  // A download: the host answers with the full path to save it to, or empty to refuse.
  std::function<QString(const QUrl& url, const QString& suggestedName)> OnDownload;
  // A download accepted above ended: an empty error when the file is complete.
  std::function<void(const QString& path, const QString& error)> OnDownloadFinished;

 signals:
  void TitleChange(const QString& title);
  void StatusTextChange(const QString& text);
  void CommandStateChange(int command, bool enabled);
  void NavigateComplete2();
};

using TWebViewFactory =
    std::function<std::unique_ptr<TWebView>(TWebViewKind kind, QWidget* parent)>;

std::unique_ptr<TWebView> CreateWebView(TWebViewKind kind, QWidget* parent);
// Replaces the factory (tests); an empty factory restores the program's own. Returns the old.
TWebViewFactory SetWebViewFactory(TWebViewFactory factory);

// The program's own views. Null when the build has no web engine.
std::unique_ptr<TWebView> CreateEngineView(TWebViewKind kind, QWidget* parent);
// Without a web engine: the address and a note instead of the page. A plain view hands local
// pages to the desktop's browser.
std::unique_ptr<TWebView> CreateNoEngineView(TWebViewKind kind, QWidget* parent);
