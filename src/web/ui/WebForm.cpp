#include "WebForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "UIWebBrowser.h"
#include "app/ui/Application.h"
#include "platform/AtomicFile.h"
#include "web/Favorites.h"
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

TWebForm* OpenBrowserWindow(QWidget* parent) {
  auto* form = new TWebForm(parent);
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->show();
  return form;
}

namespace {

QString DownloadFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  return folder.isEmpty() ? QDir::homePath() : folder;
}

}  // namespace

void ServeWebView(TWebView& view, QWidget* owner, QWidget* newWindowParent) {
  QPointer<QWidget> parent = newWindowParent;
  view.OnNewWindow = [parent]() -> TWebView* {
    TWebForm* form = OpenBrowserWindow(parent);
    return &form->Browser().View();
  };
  view.OnDownload = [](const QUrl& url, const QString& suggested) -> QString {
    if (!Application) return {};
    TFileDialogRequest request;
    request.Save = true;
    request.Title = T("名前を付けて保存");
    request.Filter = T("すべてのファイル (*.*)|*");
    QString name = suggested.isEmpty() ? QFileInfo(url.path()).fileName() : suggested;
    request.InitialDir = DownloadFolder();
    request.FileName = name.isEmpty() ? QString() : request.InitialDir + "/" + name;
    if (!Application->FileDialog(request)) return {};
    return request.FileName;
  };
  QPointer<QWidget> where = owner;
  view.OnDownloadFinished = [where](const QString& path, const QString& error) {
    if (error.isEmpty()) {
      auto* form = qobject_cast<TWebForm*>(where.data());
      if (form) {
        form->StatusBar1->showMessage(T("保存しました: ") + path);
      } else if (Application) {
        Application->MessageDlg(T("保存しました。\n") + path, TMsgDlgType::mtInformation, mbOK);
      }
      return;
    }
    if (Application) {
      Application->MessageDlg(T("ダウンロードできませんでした。\n") + path + "\n" + error,
                              TMsgDlgType::mtError, mbOK);
    }
  };
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
  FavoriteButton = Button(ToolBar1, "FavoriteButton", "お気に入りに追加");
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
  connect(FavoriteButton, &QToolButton::clicked, this, &TWebForm::FavoriteButtonClick);
  // Keys reach the box, which hands them on to its line edit; Enter is taken on the way.
  ComboBox1->installEventFilter(this);
  // The page's view takes every key it is given: the window's keys are seen before it.
  qApp->installEventFilter(this);
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
    ServeWebView(view, this, parentWidget());
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
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key->key(), key->modifiers())) return true;
  }
  if (watched == ComboBox1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      ComboBox1KeyDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TWebForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  if (mods == Qt::ControlModifier && key == Qt::Key_L) {
    ComboBox1->setFocus(Qt::ShortcutFocusReason);
    if (QLineEdit* edit = ComboBox1->lineEdit()) edit->selectAll();
    return true;
  }
  if (mods == Qt::AltModifier && key == Qt::Key_Left) {
    BackButtonClick();
    return true;
  }
  if (mods == Qt::AltModifier && key == Qt::Key_Right) {
    ForwardButtonClick();
    return true;
  }
  if ((mods == Qt::ControlModifier && key == Qt::Key_W) ||
      (mods == Qt::NoModifier && key == Qt::Key_Escape)) {
    close();
    return true;
  }
  return false;
}

void TWebForm::ComboBox1KeyDown() {
  NavigateTo(ComboBox1->currentText());
}

void TWebForm::GoButtonClick() {
  NavigateTo(ComboBox1->currentText());
}

void TWebForm::FavoriteButtonClick() {
  if (!Application || !WebBrowser1) return;
  QUrl url = WebBrowser1->View().LocationUrl();
  if (url.isEmpty()) return;
  QString name = windowTitle();
  if (name.isEmpty() || name == "WebForm") name = url.host();
  if (!Application->InputQuery(T("お気に入りに追加"), T("名前:"), name)) return;
  QString folder = QString::fromStdString(Favorites::Folder());
  QString file = QString::fromStdString(
      Favorites::ShortcutFileName(name.toStdString(), T("お気に入り").toStdString()));
  QString path = folder + "/" + file;
  if (QFileInfo::exists(path) &&
      Application->MessageDlg(T("「%1」はもうあります。置き換えますか?").arg(file),
                              TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
    return;
  std::string error;
  if (!AtomicFile::Write(QFile::encodeName(path).toStdString(),
                         Favorites::ShortcutText(url.toEncoded().toStdString()), &error)) {
    Application->MessageDlg(T("お気に入りに追加できませんでした。\n") + path + "\n" +
                                QString::fromLocal8Bit(error.c_str()),
                            TMsgDlgType::mtError, mbOK);
    return;
  }
  StatusBar1->showMessage(T("お気に入りに追加しました: ") + file);
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
