#include "PreveiwDlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "WebForm.h"
#include "WebView.h"

TPreveiwDlg* PreveiwDlg = nullptr;

TPreveiwDlg::TPreveiwDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("PreveiwDlg");
  if (!PreveiwDlg) PreveiwDlg = this;
  setWindowTitle(QString::fromUtf8("プレビュー"));
  setFixedSize(640, 240);

  viewPlace_ = new QWidget(this);
  viewPlace_->setObjectName("WebBrowser1");
  viewPlace_->setGeometry(8, 8, 625, 193);
  new QVBoxLayout(viewPlace_);
  viewPlace_->layout()->setContentsMargins(0, 0, 0, 0);

  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  OKBtn->setGeometry(283, 207, 75, 25);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  qApp->installEventFilter(this);
}

// The view goes before the window that holds its widget.
TPreveiwDlg::~TPreveiwDlg() {
  view_.reset();
  if (PreveiwDlg == this) PreveiwDlg = nullptr;
}

TWebView& TPreveiwDlg::WebBrowser1() {
  if (!view_) {
    view_ = CreateWebView(TWebViewKind::Plain, viewPlace_);
    viewPlace_->layout()->addWidget(view_->Widget());
    // New windows belong to this one, so that they take input while it is modal.
    ServeWebView(*view_, this, this);
  }
  return *view_;
}

void TPreveiwDlg::Navigate(const QUrl& url) {
  WebBrowser1().Navigate(url);
}

bool TPreveiwDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      viewPlace_->isAncestorOf(static_cast<QWidget*>(watched))) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
      if (key->key() == Qt::Key_Escape) {
        reject();
        return true;
      }
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        accept();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TPreveiwDlg::showEvent(QShowEvent* event) {
  WebBrowser1();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}
