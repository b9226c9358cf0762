// The program's view on Qt WebEngine, when the build has it.
#include "WebView.h"

#if PIYO_HAVE_WEBENGINE
#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <vector>

namespace {

class TEngineWidget : public QWebEngineView {
 public:
  TEngineWidget(TWebView& owner, QWidget* parent) : QWebEngineView(parent), owner_(owner) {}

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (owner_.OnContextMenu && owner_.OnContextMenu(event->globalPos())) return;
    // Only what the program can carry out: no developer tools, and no new windows or
    // downloads when the host takes none.
    QMenu* menu = createStandardContextMenu();
    if (!menu) return;  // no request from the page behind this event
    std::vector<QWebEnginePage::WebAction> gone = {QWebEnginePage::InspectElement};
    if (!owner_.OnNewWindow) {
      gone.insert(gone.end(),
                  {QWebEnginePage::OpenLinkInNewWindow, QWebEnginePage::OpenLinkInNewTab,
                   QWebEnginePage::OpenLinkInNewBackgroundTab, QWebEnginePage::ViewSource});
    }
    if (!owner_.OnDownload) {
      gone.insert(gone.end(),
                  {QWebEnginePage::DownloadLinkToDisk, QWebEnginePage::DownloadImageToDisk,
                   QWebEnginePage::DownloadMediaToDisk, QWebEnginePage::SavePage});
    }
    for (QWebEnginePage::WebAction action : gone) menu->removeAction(pageAction(action));
    // No separator left at either end or doubled by the removals.
    QAction* last = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator() && (!last || last->isSeparator())) {
        menu->removeAction(a);
        continue;
      }
      last = a;
    }
    if (last && last->isSeparator()) menu->removeAction(last);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
  }

  QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override {
    TWebView* view = owner_.OnNewWindow ? owner_.OnNewWindow() : nullptr;
    return view ? qobject_cast<QWebEngineView*>(view->Widget()) : nullptr;
  }

 private:
  TWebView& owner_;
};

class TEngineView : public TWebView {
 public:
  explicit TEngineView(QWidget* parent) {
    auto* view = new TEngineWidget(*this, parent);
    view_ = view;
    // Pages without a declared character set (the preview page among them) are Japanese
    // here more often than not: the engine's guess gets that as its fallback.
    view->settings()->setDefaultTextEncoding("Shift_JIS");
    // A local page — the preview is the user's text, a file may come from anywhere — shows
    // itself but reads nothing else: no other local file, no remote address. Set here, not
    // left to the engine's defaults.
    // The profile too, so that a page the engine makes on its own (a new window) starts so.
    for (QWebEngineSettings* s : {view->settings(), view->page()->profile()->settings()}) {
      s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
      s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    }
    // Every view of the profile hears of every download; each takes only its own page's.
    connect(view->page()->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* download) {
              if (download->page() == view_->page()) Download(download);
            });
    connect(view, &QWebEngineView::titleChanged, this, &TWebView::TitleChange);
    connect(view->page(), &QWebEnginePage::linkHovered, this, &TWebView::StatusTextChange);
    connect(view, &QWebEngineView::urlChanged, this, &TWebView::NavigateComplete2);
    connect(view, &QWebEngineView::loadStarted, this, [this] { busy_ = true; });
    connect(view, &QWebEngineView::loadFinished, this, [this] { busy_ = false; });
    QAction* back = view->pageAction(QWebEnginePage::Back);
    QAction* forward = view->pageAction(QWebEnginePage::Forward);
    connect(back, &QAction::changed, this,
            [this, back] { emit CommandStateChange(kBack, back->isEnabled()); });
    connect(forward, &QAction::changed, this,
            [this, forward] { emit CommandStateChange(kForward, forward->isEnabled()); });
  }
  ~TEngineView() override { delete view_; }

  QWidget* Widget() const override { return view_; }
  void Navigate(const QUrl& url) override { view_->load(url); }
  void GoBack() override { view_->back(); }
  void GoForward() override { view_->forward(); }
  void Refresh() override { view_->reload(); }
  void Stop() override { view_->stop(); }
  bool Busy() const override { return busy_; }
  bool HasDocument() const override { return !view_->url().isEmpty(); }
  QUrl LocationUrl() const override { return view_->url(); }
  void ApplyOptions(const web::TEngineOptions& o) override {
    QWebEngineSettings* s = view_->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, o.Scripts);
    s->setAttribute(QWebEngineSettings::AutoLoadImages, o.Images);
    s->setAttribute(QWebEngineSettings::ShowScrollBars, o.ScrollBars);
  }

 private:
  void Download(QWebEngineDownloadRequest* download) {
    QString path = OnDownload ? OnDownload(download->url(), download->suggestedFileName()) : "";
    if (path.isEmpty()) {
      download->cancel();
      return;
    }
    QFileInfo file(path);
    download->setDownloadDirectory(file.absolutePath());
    download->setDownloadFileName(file.fileName());
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path] {
      if (!download->isFinished() || !OnDownloadFinished) return;
      switch (download->state()) {
        case QWebEngineDownloadRequest::DownloadCompleted:
          OnDownloadFinished(path, {});
          break;
        case QWebEngineDownloadRequest::DownloadCancelled:
          OnDownloadFinished(path, QString::fromUtf8("中止されました。"));
          break;
        default:
          OnDownloadFinished(path, download->interruptReasonString());
          break;
      }
    });
    download->accept();
  }

  QPointer<TEngineWidget> view_;
  bool busy_ = false;
};

}  // namespace

std::unique_ptr<TWebView> CreateEngineView(TWebViewKind, QWidget* parent) {
  return std::make_unique<TEngineView>(parent);
}

#else

std::unique_ptr<TWebView> CreateEngineView(TWebViewKind, QWidget*) {
  return nullptr;
}

#endif
