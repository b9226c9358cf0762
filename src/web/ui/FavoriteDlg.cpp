#include "FavoriteDlg.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTreeView>
#include <algorithm>

#include "app/IniFile.h"
#include "app/ui/Application.h"
#include "app/ui/DialogFrame.h"
#include "app/ui/FormControls.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "web/Favorites.h"

TFavoriteDlg* FavoriteDlg = nullptr;

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

constexpr const char* kSection = "Favorite";
constexpr const char* kViewStyleKey = "ViewStyle";

// The selection keeps its colour when the view loses the focus.
void KeepSelectionVisible(QWidget* view) {
  QPalette pal = view->palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
  view->setPalette(pal);
}

// The folder tree shows the Favorites folder itself as its one top node: the model's root is
// the folder above it, whose other entries are hidden.
class TRootOnlyFilter : public QSortFilterProxyModel {
 public:
  TRootOnlyFilter(QString above, QString root, QObject* parent)
      : QSortFilterProxyModel(parent), above_(std::move(above)), root_(std::move(root)) {}

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    auto* fs = static_cast<QFileSystemModel*>(sourceModel());
    if (fs->filePath(parent) != above_) return true;
    return fs->filePath(fs->index(row, 0, parent)) == root_;
  }

 private:
  QString above_;
  QString root_;
};

}  // namespace

// ---- file list

TShellListView::TShellListView(QWidget* parent)
    : QWidget(parent), iconProvider_(std::make_unique<QFileIconProvider>()) {
  model_ = new QFileSystemModel(this);
  // The desktop's file icons, or the style's when the desktop has none.
  model_->setIconProvider(iconProvider_.get());
  model_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
  model_->setReadOnly(true);
  model_->sort(0, Qt::AscendingOrder);

  icons_ = new QListView;
  icons_->setObjectName("IconView");
  icons_->setModel(model_);
  report_ = new QTreeView;
  report_->setObjectName("ReportView");
  report_->setModel(model_);
  report_->setSelectionModel(icons_->selectionModel());
  report_->setRootIsDecorated(false);
  report_->setItemsExpandable(false);
  report_->setSelectionBehavior(QAbstractItemView::SelectRows);
  report_->header()->setSectionsClickable(false);
  report_->setColumnWidth(0, 180);
  for (QAbstractItemView* view :
       {static_cast<QAbstractItemView*>(icons_), static_cast<QAbstractItemView*>(report_)}) {
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setDragEnabled(false);
    KeepSelectionVisible(view);
    connect(view, &QAbstractItemView::doubleClicked, this, &TShellListView::DoubleClicked);
  }
  icons_->setMovement(QListView::Static);
  icons_->setResizeMode(QListView::Adjust);

  stack_ = new QStackedWidget;
  stack_->addWidget(icons_);
  stack_->addWidget(report_);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(stack_);
  setFocusProxy(icons_);
  SetViewStyle(vsList);
}

// The model goes before its icon provider, which its background thread may be using.
TShellListView::~TShellListView() {
  delete model_;
}

void TShellListView::SetViewStyle(TViewStyle style) {
  bool hadFocus = View()->hasFocus();
  style_ = style;
  if (style == vsReport) {
    stack_->setCurrentWidget(report_);
  } else {
    icons_->setViewMode(style == vsIcon ? QListView::IconMode : QListView::ListMode);
    int icon = style == vsIcon ? 32 : 16;
    icons_->setIconSize(QSize(icon, icon));
    // Large and small icons run in rows, the list in columns.
    icons_->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
    icons_->setWordWrap(style == vsIcon);
    icons_->setMovement(QListView::Static);
    int line = fontMetrics().height();
    if (style == vsIcon)
      icons_->setGridSize(QSize(88, icon + 3 * line));
    else if (style == vsSmallIcon)
      icons_->setGridSize(QSize(150, std::max(icon, line) + 4));
    else
      icons_->setGridSize(QSize());
    stack_->setCurrentWidget(icons_);
  }
  setFocusProxy(View());
  if (hadFocus) View()->setFocus();
  if (QModelIndex current = icons_->selectionModel()->currentIndex(); current.isValid())
    static_cast<QAbstractItemView*>(View())->scrollTo(current);
}

QWidget* TShellListView::View() const {
  return style_ == vsReport ? static_cast<QWidget*>(report_) : icons_;
}

void TShellListView::SetFolder(const QString& path) {
  if (path == folder_) return;
  folder_ = path;
  icons_->selectionModel()->clear();
  QModelIndex root = model_->setRootPath(path);
  icons_->setRootIndex(root);
  report_->setRootIndex(root);
}

QString TShellListView::SelectedPath() const {
  QModelIndex root = icons_->rootIndex();
  for (const QModelIndex& index : icons_->selectionModel()->selectedIndexes())
    if (index.parent() == root) return model_->filePath(index.siblingAtColumn(0));
  return {};
}

bool TShellListView::Select(const QString& path) {
  QModelIndex index = model_->index(path);
  if (!index.isValid() || index.parent() != icons_->rootIndex()) return false;
  icons_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  static_cast<QAbstractItemView*>(View())->scrollTo(index);
  return true;
}

// ---- dialog

TFavoriteDlg::TFavoriteDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("FavoriteDlg");
  setWindowTitle(T("お気に入り"));
  setFont(FormFont());

  QFileInfo rootInfo(QFile::decodeName(Favorites::Folder().c_str()));
  root_ = QDir::cleanPath(rootInfo.absoluteFilePath());
  QString above = QFileInfo(root_).path();
  if (above == root_) above.clear();  // the Favorites are "/" itself

  treeIcons_ = std::make_unique<QFileIconProvider>();
  treeModel_ = new QFileSystemModel(this);
  treeModel_->setIconProvider(treeIcons_.get());
  treeModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  treeModel_->setReadOnly(true);
  treeModel_->setRootPath(above);
  treeProxy_ = new TRootOnlyFilter(above, root_, this);
  treeProxy_->setSourceModel(treeModel_);

  ShellTreeView1 = new QTreeView;
  ShellTreeView1->setObjectName("ShellTreeView1");
  ShellTreeView1->setModel(treeProxy_);
  ShellTreeView1->setRootIndex(treeProxy_->mapFromSource(treeModel_->index(above)));
  for (int column = 1; column < treeModel_->columnCount(); ++column)
    ShellTreeView1->hideColumn(column);
  ShellTreeView1->setHeaderHidden(true);
  ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ShellTreeView1->setDragEnabled(false);
  ShellTreeView1->setFixedSize(200, 260);
  KeepSelectionVisible(ShellTreeView1);
  connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { TreeCurrentChanged(); });
  Label1 = new QLabel(T("フォルダ(&F)"));
  Label1->setObjectName("Label1");
  Label1->setBuddy(ShellTreeView1);

  ShellListView1 = new TShellListView;
  ShellListView1->setObjectName("ShellListView1");
  ShellListView1->setFixedSize(340, 260);
  connect(ShellListView1, &TShellListView::DoubleClicked, this,
          [this] { ShellListView1DblClick(); });
  Label2 = new QLabel(T("インターネット ショートカット(&S)"));
  Label2->setObjectName("Label2");
  Label2->setBuddy(ShellListView1);

  RadioGroup1 = new TRadioGroup(
      T("表示方法(&V)"), {T("大きいアイコン"), T("小さいアイコン"), T("リスト"), T("詳細")}, 2);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItemIndex(TShellListView::vsList);
  for (int i = 0; i < RadioGroup1->Count(); ++i)
    connect(RadioGroup1->Button(i), &QRadioButton::toggled, this, [this](bool on) {
      if (on) RadioGroup1Click();
    });

  MakeOkCancel(this, T("&OK"), T("キャンセル(&C)"), OKBtn, CancelBtn);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Label2, 0, 1);
  grid->addWidget(ShellTreeView1, 1, 0);
  grid->addWidget(ShellListView1, 1, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(RadioGroup1);
  bottom->addStretch();
  bottom->addWidget(OKBtn, 0, Qt::AlignBottom);
  bottom->addWidget(CancelBtn, 0, Qt::AlignBottom);
  grid->addItem(new QSpacerItem(0, 4), 2, 0);
  grid->addLayout(bottom, 3, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  ChooseFolder(root_);
  ShellTreeView1->expand(ShellTreeView1->currentIndex());

  // The stored style goes through the click handler, as the user's choice does.
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  int style = std::clamp(ini.ReadInteger(kSection, kViewStyleKey, TShellListView::vsList), -1, 3);
  RadioGroup1->SetItemIndex(style);

  if (!FavoriteDlg) FavoriteDlg = this;
}

TFavoriteDlg::~TFavoriteDlg() {
  if (FavoriteDlg == this) FavoriteDlg = nullptr;
  // The main window writes its settings right after and reports a file that cannot be written.
  TIniFile ini(ProgramFiles::DataFile(".ini"));
  ini.WriteInteger(kSection, kViewStyleKey, RadioGroup1->ItemIndex());
  ini.UpdateFile();
  // The model goes before its icon provider, which its background thread may be using.
  delete treeModel_;
}

void TFavoriteDlg::ChooseFolder(const QString& path) {
  QModelIndex index = treeProxy_->mapFromSource(treeModel_->index(path));
  if (index.isValid()) ShellTreeView1->setCurrentIndex(index);
}

void TFavoriteDlg::TreeCurrentChanged() {
  QModelIndex index = treeProxy_->mapToSource(ShellTreeView1->currentIndex());
  if (index.isValid()) ShellListView1->SetFolder(treeModel_->filePath(index));
}

void TFavoriteDlg::RadioGroup1Click() {
  int index = RadioGroup1->ItemIndex();
  if (index >= TShellListView::vsIcon && index <= TShellListView::vsReport)
    ShellListView1->SetViewStyle(static_cast<TShellListView::TViewStyle>(index));
}

void TFavoriteDlg::ShellListView1DblClick() {
  QString path = ShellListView1->SelectedPath();
  std::string name = QFile::encodeName(path).toStdString();
  if (!path.isEmpty() && (Favorites::IsInternetShortcut(name) || Favorites::IsDesktopLink(name)))
    done(mrOk);
}

std::string TFavoriteDlg::ReadUrl(const QString& path) {
  if (Favorites::IsDesktopLink(QFile::encodeName(path).toStdString())) {
    QFile file(path);
    // A link file is a few lines; anything larger is not one.
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Link files are UTF-8; the program's strings are code page 932.
    return ToCp932(
        QString::fromStdString(Favorites::DesktopLinkUrl(file.read(64 * 1024).toStdString())));
  }
  TIniFile file(QFile::encodeName(path).toStdString());
  return file.ReadString(Favorites::kSection, Favorites::kUrlKey, "");
}

std::string TFavoriteDlg::PickUrl() {
  if (!FavoriteDlg || !Application) return {};
  if (Application->ShowModal(*FavoriteDlg) != mrOk) return {};
  QString path = FavoriteDlg->ShellListView1->SelectedPath();
  std::string name = QFile::encodeName(path).toStdString();
  if (path.isEmpty() || !(Favorites::IsInternetShortcut(name) || Favorites::IsDesktopLink(name)))
    return {};
  return ReadUrl(path);
}

void TFavoriteDlg::reject() {
  done(mrCancel);
}

void TFavoriteDlg::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    ShellTreeView1->setFocus();
  }
}
