#include "WebForm.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "UIWebBrowser.h"
#include "web/WebAddress.h"

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QToolButton* Button(QToolBar* bar, const char* name, const char* caption) {
  auto* b = new QToolButton(bar);
  b->setObjectName(name);
  b->setText(T(caption));
  b->setToolTip(T(caption));
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  bar->addWidget(b);
  return b;
}

}  // namespace

QUrl AddressUrl(const QString& address) {
  web::TAddress a = web::ParseAddress(address.toStdString());
  switch (a.kind) {
    case web::TAddressKind::None:
      return {};
    case web::TAddressKind::LocalPath:
      return QUrl::fromLocalFile(QString::fromStdString(a.text));
    case web::TAddressKind::Url:
      break;
  }
  // Tolerant parsing: addresses typed or kept in favourites may hold spaces or non-ASCII.
  return QUrl(QString::fromStdString(a.text), QUrl::TolerantMode);
}

TWebForm* WebForm = nullptr;

TWebForm::TWebForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("WebForm");
  if (!WebForm) WebForm = this;
  setWindowTitle("WebForm");
  resize(640, 480);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  BackButton = Button(ToolBar1, "BackButton", "戻る");
  ForwardButton = Button(ToolBar1, "ForwardButton", "進む");
  RefreshButton = Button(ToolBar1, "RefreshButton", "更新");
  StopButton = Button(ToolBar1, "StopButton", "中止");
  ToolBar1->addSeparator();
  ComboBox1 = new QComboBox(ToolBar1);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // The box takes whatever the buttons leave, so it grows with the window and the go
  // button stays at the right end.
  ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  ComboBox1->setMinimumContentsLength(10);
  ToolBar1->addWidget(ComboBox1);
  GoButton = Button(ToolBar1, "GoButton", "移動");
  BackButton->setEnabled(false);
  ForwardButton->setEnabled(false);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ToolBar1);
  layout->addStretch(1);  // the view's place until it is made
  layout->addWidget(StatusBar1);

  connect(BackButton, &QToolButton::clicked, this, &TWebForm::BackButtonClick);
  connect(ForwardButton, &QToolButton::clicked, this, &TWebForm::ForwardButtonClick);
  connect(RefreshButton, &QToolButton::clicked, this, &TWebForm::RefreshButtonClick);
  connect(StopButton, &QToolButton::clicked, this, &TWebForm::StopButtonClick);
  connect(GoButton, &QToolButton::clicked, this, &TWebForm::GoButtonClick);
  // Keys reach the box, which hands them on to its line edit; Enter is taken on the way.
  ComboBox1->installEventFilter(this);
}

TWebForm::~TWebForm() {
  if (WebForm == this) WebForm = nullptr;
}

TUIWebBrowser& TWebForm::Browser() {
  if (!WebBrowser1) {
    WebBrowser1 = new TUIWebBrowser(this);
    WebBrowser1->setObjectName("WebBrowser1");
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    delete layout->takeAt(1);  // the stretch
    layout->insertWidget(1, WebBrowser1, 1);
    TWebView& view = WebBrowser1->View();
    connect(&view, &TWebView::CommandStateChange, this, &TWebForm::WebBrowser1CommandStateChange);
    connect(&view, &TWebView::TitleChange, this, &TWebForm::WebBrowser1TitleChange);
    connect(&view, &TWebView::StatusTextChange, this, &TWebForm::WebBrowser1StatusTextChange);
    connect(&view, &TWebView::NavigateComplete2, this, &TWebForm::WebBrowser1NavigateComplete2);
  }
  return *WebBrowser1;
}

void TWebForm::showEvent(QShowEvent* event) {
  Browser();
  QWidget::showEvent(event);
}

void TWebForm::NavigateTo(const QString& address) {
  QUrl url = AddressUrl(address);
  if (url.isEmpty()) return;
  Browser().Navigate(url);
}

void TWebForm::BackButtonClick() {
  Browser().View().GoBack();
}

void TWebForm::ForwardButtonClick() {
  Browser().View().GoForward();
}

void TWebForm::RefreshButtonClick() {
  if (Browser().View().HasDocument()) Browser().View().Refresh();
}

void TWebForm::StopButtonClick() {
  if (Browser().View().Busy()) Browser().View().Stop();
}

bool TWebForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ComboBox1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      ComboBox1KeyDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TWebForm::ComboBox1KeyDown() {
  NavigateTo(ComboBox1->currentText());
}

void TWebForm::GoButtonClick() {
  NavigateTo(ComboBox1->currentText());
}

void TWebForm::WebBrowser1CommandStateChange(int command, bool enabled) {
  if (command == TWebView::kForward) ForwardButton->setEnabled(enabled);
  if (command == TWebView::kBack) BackButton->setEnabled(enabled);
}

void TWebForm::WebBrowser1TitleChange(const QString& title) {
  setWindowTitle(title);
}

void TWebForm::WebBrowser1StatusTextChange(const QString& text) {
  StatusBar1->showMessage(text);
}

void TWebForm::WebBrowser1NavigateComplete2() {
  ComboBox1->setEditText(Browser().View().LocationUrl().toDisplayString());
}
