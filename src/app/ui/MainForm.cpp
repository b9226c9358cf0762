#include "MainForm.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShowEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "Application.h"
#include "EditorPane.h"
#include "FenEdit/FenEdit.h"
#include "TabStrip.h"
#include "UiText.h"
#include "app/PageStartup.h"

TMainForm* MainForm = nullptr;

namespace {
// The editor keeps at least this many rows however many rows of tabs there are.
constexpr int kMinEditorRows = 4;
}  // namespace

QString TMainForm::AppTitle() {
  return QString::fromUtf8("ぴよのーと２");
}

QString TMainForm::FileFilter() {
  return QString::fromUtf8("すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt");
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  if (!MainForm) MainForm = this;
  setObjectName("MainForm");
  setWindowTitle(AppTitle());
  setWindowIcon(TImageList::ProgramIcon());
  CreateControls();
  CreateActions();
  CreateMenus();
  CreateToolBars();
  ConnectActions();
  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::CreateControls() {
  // Design size and place; the settings move it when they are read.
  move(192, 107);
  resize(640, 480);

  ImageList1 = std::make_unique<TImageList>();
  ActionList1 = new TActionList(this);
  ActionList1->setObjectName("ActionList1");

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ToolBarPanel = new QWidget(central);
  ToolBarPanel->setObjectName("ToolBarPanel");
  auto* barLayout = new QVBoxLayout(ToolBarPanel);
  barLayout->setContentsMargins(0, 0, 0, 0);
  barLayout->setSpacing(0);
  for (QToolBar** bar : {&ToolBar1, &ToolBar2}) {
    *bar = new QToolBar(ToolBarPanel);
    (*bar)->setMovable(false);
    (*bar)->setFloatable(false);
    (*bar)->setIconSize(QSize(TImageList::kSize, TImageList::kSize));
    (*bar)->setToolButtonStyle(Qt::ToolButtonIconOnly);
    (*bar)->setStyleSheet("QToolBar { border: 0px; }");
    barLayout->addWidget(*bar);
  }
  ToolBar1->setObjectName("ToolBar1");
  ToolBar2->setObjectName("ToolBar2");
  layout->addWidget(ToolBarPanel);

  TabControl1 = new TTabStrip(central);
  TabControl1->setObjectName("TabControl1");
  TabControl1->Add("Page&0");
  layout->addWidget(TabControl1, 1);

  editor_ = std::make_unique<TEditorPane>(TabControl1);
  FenEdit1 = &editor_->Control();
  TabControl1->SetClient(editor_->Widget());
  // The editor as the main window sets it up; the settings may change it when read.
  FenEdit1->SetSelColor(clBlue);
  FenEdit1->SetUlineColor(clBlue);
  FenEdit1->SetLineSpace(0);
  FenEdit1->Version = "TFenEdit Ver1.18";
  TFenEdit::TFont font = FenEdit1->GetFont();
  font.Height = -19;
  FenEdit1->SetFont(font);
  FenEdit1->Loaded();
  setCentralWidget(central);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(true);
  for (int i = 0; i < 2; ++i) {
    statusPanels_[i] = new QLabel(StatusBar1);
    statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    statusPanels_[i]->setFrameShape(QFrame::Panel);
    statusPanels_[i]->setFrameShadow(QFrame::Sunken);
    statusPanels_[i]->setTextFormat(Qt::PlainText);
  }
  // Panel 1 keeps its width at the right edge; panel 0 (the long hints) takes the rest,
  // however long the hint.
  statusPanels_[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  // Wide enough for line and column numbers of eight digits.
  statusPanels_[1]->setFixedWidth(statusPanels_[1]->fontMetrics().horizontalAdvance(
                                      QString::fromUtf8(" 88888888行 88888888桁")) +
                                  2 * statusPanels_[1]->frameWidth() + 8);
  StatusBar1->addWidget(statusPanels_[0], 1);
  CreateFormatPanel();
  StatusBar1->addPermanentWidget(statusPanels_[1]);
  setStatusBar(StatusBar1);

  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  setMenuBar(MainMenu1);

  editor_->OnChangeModify = [this](bool modified) { modified_ = modified; };
  editor_->OnChangeRedoMode = [this](bool redo) { redoEnable_ = redo; };
  editor_->OnMoveCaret = [this] { FenEdit1MoveCaret(); };

  TabControl1->OnChanging = [this](TTabStrip*, bool& allow) { TabControl1Changing(allow); };
  TabControl1->OnChange = [this](TTabStrip*) { TabControl1Change(); };
  TabControl1->OnMouseDown = [this](TTabStrip*, Qt::MouseButton b, QPoint p) {
    TabControl1MouseDown(b, p);
  };
  TabControl1->OnDragOver = [this](TTabStrip*, QPoint p, bool& accept) {
    TabControl1DragOver(p, accept);
  };
  TabControl1->OnDragDrop = [this](TTabStrip*, QPoint p) { TabControl1DragDrop(p); };

  // Key preview: the window sees every key before the focused control does.
  qApp->installEventFilter(this);
  // The idle step: just before the event loop waits for the next event.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TMainForm::ApplicationIdle);
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          &TMainForm::ClipboardChanged);
  ClipboardChanged();
}

void TMainForm::FormCreate() {
  LastFindText.clear();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TMainForm::FormShow() {
  ReadSettings();
  KeepEditorRowsInView();
  LoadPages();
  int index = ReadPageIndex();
  if (index >= 0 && index < TabControl1->Count()) TabControl1->SetTabIndex(index);
  ShowCurrentPage();
  LoadWebShortcuts();
  FenEdit1MoveCaret();
  ApplyImeMode();
  editor_->SetFocus();
  ActionList1Update();
  // A message at start waits until the window is on the screen, so the user sees what it is
  // about.
  if (!pendingStartMessage_.isEmpty()) {
    if (windowHandle() && windowHandle()->isExposed())
      QMetaObject::invokeMethod(this, &TMainForm::ShowStartMessage, Qt::QueuedConnection);
    else
      waitingForExpose_ = true;
  }
}

void TMainForm::ShowStartMessage() {
  if (pendingStartMessage_.isEmpty() || destroyed_ || !Application) return;
  QString message = pendingStartMessage_;
  pendingStartMessage_.clear();
  Application->MessageDlg(message, TMsgDlgType::mtWarning, mbOK);
}

void TMainForm::KeepEditorRowsInView() {
  TabControl1->SetMinClientHeight(kMinEditorRows * std::max(FenEdit1->LineHeight(), 8) + 4);
}

void TMainForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  qApp->removeEventFilter(this);
  // A window that was never shown has no page store to write.
  if (!PageList) return;
  // Pages first, then the other files; what went wrong is shown only when all are written,
  // so a session that ends the program while a message waits loses nothing.
  if (Application) Application->HoldMessages();
  if (journalTimer_) journalTimer_->stop();
  // The journal first, so the pages survive even a page file that cannot be written; both
  // read the page on screen from one copy.
  StoreCurrentPage();
  JournalTick(true, true);
  if (SavePages()) pageFile_->EndJournal();
  pagesSecured_ = true;
  WriteSettings();
  shownPage_ = nullptr;
  PageList.reset();
  SaveWebShortcuts();
  if (Application) Application->ShowHeldMessages();
}

void TMainForm::SaveState() {
  if (!PageList || destroyed_) return;
  if (Application) Application->HoldMessages();
  StoreCurrentPage();
  SavePages();
  ReleaseCurrentPageText();
  WriteSettings();
  if (Application) Application->ShowHeldMessages();
}

void TMainForm::SecurePages() {
  if (!PageList || pagesSecured_) return;
  if (Application) Application->HoldMessages();
  StoreCurrentPage();
  JournalTick(true, true);
  if (SavePages()) pageFile_->EndJournal();
  pagesSecured_ = true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // Never refused, nothing asked: every page goes into the page file. Closing the main
  // window ends the program even while other windows are open.
  event->accept();
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::FileExit1Execute() {
  close();
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    // Automatic hints: the long hint of the item under the pointer in panel 0.
    statusPanels_[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
      journalDirty_ = true;  // the pages may change: the next journal tick looks
      break;
    default:
      break;
  }
  if (waitingForExpose_ && event->type() == QEvent::Expose && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    // Queued: the window paints while this event is handled, the message comes after.
    waitingForExpose_ = false;
    QMetaObject::invokeMethod(this, &TMainForm::ShowStartMessage, Qt::QueuedConnection);
  }
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* first = lastKeyReceiver_.data();
    bool propagated =
        event == lastKeyEvent_ && first && first != widget && widget->isAncestorOf(first);
    if (!propagated && widget->window() == this) {
      lastKeyEvent_ = event;
      lastKeyReceiver_ = widget;
      auto* key = static_cast<QKeyEvent*>(event);
      FormKeyDown(key->key(), key->modifiers());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  // Alt alone with an arrow; the key still goes on to the focused control.
  Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  if (mods != Qt::AltModifier || (key != Qt::Key_Left && key != Qt::Key_Right)) return;
  int count = TabControl1->Count();
  if (count == 0) return;
  int index = PageIndex();
  int next = key == Qt::Key_Left ? (index <= 0 ? count - 1 : index - 1)
                                 : (index >= count - 1 ? 0 : index + 1);
  LeaveCurrentPage();
  TabControl1->SetTabIndex(next);
  ShowCurrentPage();
}

QWidget* TMainForm::EditorWidget() const {
  return editor_->Widget();
}

QAction* TMainForm::Action(const char* name) const {
  return ActionList1->Find(QString::fromLatin1(name));
}

QString TMainForm::StatusPanelText(int panel) const {
  if (panel < 0 || panel > 1) return {};
  return statusPanels_[panel]->text();
}

void TMainForm::FenEdit1MoveCaret() {
  statusPanels_[1]->setText(
      QString::asprintf(" %5d", editor_->CaretRow()) + QString::fromUtf8("行") +
      QString::asprintf(" %5d", editor_->CaretByte()) + QString::fromUtf8("桁"));
}

void TMainForm::ApplicationIdle() {
  if (destroyed_) return;
  ActionList1Update();
  KeepEditorRowsInView();
  if (!pendingFiles_.isEmpty() && !openingFiles_ && !QApplication::activeModalWidget())
    QMetaObject::invokeMethod(this, &TMainForm::OpenPendingFiles, Qt::QueuedConnection);
}

void TMainForm::ClipboardChanged() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  clipboardHasText_ = data && data->hasText();
}
