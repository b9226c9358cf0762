#include "WebView.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPointer>

TWebView::~TWebView() = default;

namespace {

TWebViewFactory& Factory() {
  static TWebViewFactory factory;
  return factory;
}

class TNoEngineView : public TWebView {
 public:
  TNoEngineView(TWebViewKind kind, QWidget* parent) : kind_(kind), label_(new QLabel(parent)) {
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  ~TNoEngineView() override { delete label_; }

  QWidget* Widget() const override { return label_; }
  void Navigate(const QUrl& url) override {
    url_ = url;
    QString shown = url.toDisplayString();
    QString note = QString::fromUtf8("このプログラムはページを表示できません。");
    if (kind_ == TWebViewKind::Plain && url.isLocalFile()) {
      note = QDesktopServices::openUrl(url) ? QString::fromUtf8("ブラウザーで開きました。")
                                            : QString::fromUtf8("ページを表示できません。");
    }
    label_->setText(shown + "\n\n" + note);
    emit NavigateComplete2();
  }
  void GoBack() override {}
  void GoForward() override {}
  void Refresh() override {}
  void Stop() override {}
  bool Busy() const override { return false; }
  bool HasDocument() const override { return false; }
  QUrl LocationUrl() const override { return url_; }
  void ApplyOptions(const web::TEngineOptions&) override {}

 private:
  TWebViewKind kind_;
  QPointer<QLabel> label_;  // gone already when the parent went first
  QUrl url_;
};

}  // namespace

std::unique_ptr<TWebView> CreateNoEngineView(TWebViewKind kind, QWidget* parent) {
  return std::make_unique<TNoEngineView>(kind, parent);
}

std::unique_ptr<TWebView> CreateWebView(TWebViewKind kind, QWidget* parent) {
  if (Factory()) return Factory()(kind, parent);
  if (auto view = CreateEngineView(kind, parent)) return view;
  return CreateNoEngineView(kind, parent);
}

TWebViewFactory SetWebViewFactory(TWebViewFactory factory) {
  std::swap(factory, Factory());
  return factory;
}
