// The program's view on Qt WebEngine, when the build has it.
#include "WebView.h"

#if PIYO_HAVE_WEBENGINE
#include <QAction>
#include <QContextMenuEvent>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

class TEngineWidget : public QWebEngineView {
 public:
  using QWebEngineView::QWebEngineView;
  std::function<bool(QPoint)> onContextMenu;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (onContextMenu && onContextMenu(event->globalPos())) return;
    QWebEngineView::contextMenuEvent(event);
  }
};

class TEngineView : public TWebView {
 public:
  explicit TEngineView(QWidget* parent) {
    auto* view = new TEngineWidget(parent);
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
    view->onContextMenu = [this](QPoint pos) { return OnContextMenu && OnContextMenu(pos); };
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
