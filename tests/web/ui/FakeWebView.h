// A web view for the window tests: no engine, a history of its own, and every call recorded.
#pragma once
#include <QPointer>
#include <QWidget>
#include <vector>

#include "web/ui/WebView.h"

class TFakeWebView : public TWebView {
 public:
  TFakeWebView(TWebViewKind kind, QWidget* parent) : Kind(kind), widget_(new QWidget(parent)) {}
  ~TFakeWebView() override { delete widget_; }

  QWidget* Widget() const override { return widget_; }
  // As an engine: the page becomes the location, the history moves and says so.
  void Navigate(const QUrl& url) override {
    Navigated.push_back(url);
    history_.resize(static_cast<size_t>(index_ + 1));
    history_.push_back(url);
    ++index_;
    Arrived();
  }
  void GoBack() override {
    Calls << "GoBack";
    if (index_ > 0) {
      --index_;
      Arrived();
    }
  }
  void GoForward() override {
    Calls << "GoForward";
    if (index_ + 1 < static_cast<int>(history_.size())) {
      ++index_;
      Arrived();
    }
  }
  void Refresh() override { Calls << "Refresh"; }
  void Stop() override { Calls << "Stop"; }
  bool Busy() const override { return IsBusy; }
  bool HasDocument() const override { return index_ >= 0; }
  QUrl LocationUrl() const override { return index_ >= 0 ? history_[index_] : QUrl(); }
  void ApplyOptions(const web::TEngineOptions& options) override {
    Options = options;
    ++Applied;
  }

  TWebViewKind Kind;
  std::vector<QUrl> Navigated;
  QStringList Calls;
  bool IsBusy = false;
  web::TEngineOptions Options;
  int Applied = 0;

 private:
  void Arrived() {
    emit NavigateComplete2();
    emit CommandStateChange(kBack, index_ > 0);
    emit CommandStateChange(kForward, index_ + 1 < static_cast<int>(history_.size()));
  }
  QPointer<QWidget> widget_;
  std::vector<QUrl> history_;
  int index_ = -1;
};

// Installs fake views for its lifetime and keeps every one made.
class TFakeWebViews {
 public:
  TFakeWebViews() {
    old_ = SetWebViewFactory([this](TWebViewKind kind, QWidget* parent) {
      auto view = std::make_unique<TFakeWebView>(kind, parent);
      Made.push_back(view.get());
      return view;
    });
  }
  ~TFakeWebViews() { SetWebViewFactory(std::move(old_)); }
  TFakeWebViews(const TFakeWebViews&) = delete;
  TFakeWebViews& operator=(const TFakeWebViews&) = delete;

  std::vector<TFakeWebView*> Made;  // not owned; valid while their windows live

 private:
  TWebViewFactory old_;
};
