#include "FavoriteDlg.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTreeView>
#include <algorithm>

#include "app/IniFile.h"
#include "app/ui/Application.h"
#include "app/ui/DialogFrame.h"
#include "app/ui/FormControls.h"
#include "app/ui/UiText.h"
#include "platform/CodePage.h"
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

// ---- file list model

struct TFileListModel::TEntry {
  std::string name;  // as the file system has it
  QString shown;
  qint64 size = 0;
  QDateTime modified;
  QString kind;
  mutable QIcon icon;  // looked up when first drawn
};

namespace {

// A file name for the eye: UTF-8 when it is, else the Shift-JIS it most likely is.
QString ShownName(const std::string& name) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
  QString shown = utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
  if (!utf8.hasError()) return shown;
  std::u16string sjis = CodePage::ToUtf16(name);
  return QString(reinterpret_cast<const QChar*>(sjis.data()), static_cast<qsizetype>(sjis.size()));
}

QString KindOf(const std::string& name) {
  if (Favorites::IsInternetShortcut(name)) return T("インターネット ショートカット");
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return T("ファイル");
  return ShownName(name.substr(dot + 1)).toUpper() + T(" ファイル");
}

}  // namespace

TFileListModel::TFileListModel(QObject* parent)
    : QAbstractTableModel(parent), icons_(std::make_unique<QFileIconProvider>()) {}

TFileListModel::~TFileListModel() = default;

void TFileListModel::SetFolder(const std::string& folder) {
  beginResetModel();
  folder_ = folder;
  entries_.clear();
  endResetModel();
  Refresh();
}

void TFileListModel::Refresh() {
  std::vector<TEntry> found;
  if (DIR* dir = folder_.empty() ? nullptr : opendir(folder_.c_str())) {
    int fd = dirfd(dir);
    while (dirent* d = readdir(dir)) {
      std::string name = d->d_name;
      if (name.empty() || name[0] == '.') continue;  // hidden files, "." and ".."
      struct stat st {};
      // A link counts as what it points to; a broken one is still a file of the folder.
      if (fstatat(fd, d->d_name, &st, 0) != 0 && fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW))
        continue;
      if (S_ISDIR(st.st_mode)) continue;
      TEntry e;
      e.shown = ShownName(name);
      e.size = static_cast<qint64>(st.st_size);
      e.modified = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(st.st_mtime));
      e.kind = KindOf(name);
      e.name = std::move(name);
      found.push_back(std::move(e));
    }
    closedir(dir);
  }
  std::sort(found.begin(), found.end(), [](const TEntry& a, const TEntry& b) {
    int c = a.shown.compare(b.shown, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  // Rows stay where they are when the same files are there, so a selection survives.
  bool same = found.size() == entries_.size() &&
              std::equal(found.begin(), found.end(), entries_.begin(),
                         [](const TEntry& a, const TEntry& b) { return a.name == b.name; });
  if (same) {
    for (size_t i = 0; i < found.size(); ++i) {
      found[i].icon = entries_[i].icon;
      entries_[i] = std::move(found[i]);
    }
    if (!entries_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return;
  }
  beginResetModel();
  entries_ = std::move(found);
  endResetModel();
}

std::string TFileListModel::FilePath(const QModelIndex& index) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  std::string path = folder_;
  if (path.empty() || path.back() != '/') path += '/';
  return path + entries_[static_cast<size_t>(index.row())].name;
}

QModelIndex TFileListModel::IndexOf(const std::string& path) const {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  std::string folder = path.substr(0, slash == 0 ? 1 : slash);
  std::string own = folder_;
  while (own.size() > 1 && own.back() == '/') own.pop_back();
  if (folder != own) return {};
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].name == std::string_view(path).substr(slash + 1))
      return index(static_cast<int>(i), 0);
  return {};
}

int TFileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int TFileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 4;
}

QVariant TFileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TEntry& e = entries_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case 0:
          return e.shown;
        case 1:
          return QLocale().formattedDataSize(e.size);
        case 2:
          return e.kind;
        default:
          return QLocale().toString(e.modified, QLocale::ShortFormat);
      }
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      if (e.icon.isNull()) {
        QString path = QFile::decodeName(FilePath(index).c_str());
        // A name the file system could not be asked for by its decoded form gets the plain icon.
        e.icon = QFile::encodeName(path).toStdString() == FilePath(index)
                     ? icons_->icon(QFileInfo(path))
                     : icons_->icon(QAbstractFileIconProvider::File);
      }
      return e.icon;
    case Qt::TextAlignmentRole:
      if (index.column() == 1) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

QVariant TFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
      return T("名前");
    case 1:
      return T("サイズ");
    case 2:
      return T("種類");
    case 3:
      return T("更新日時");
    default:
      return {};
  }
}

// ---- file list

TShellListView::TShellListView(QWidget* parent) : QWidget(parent) {
  model_ = new TFileListModel(this);
  watcher_ = new QFileSystemWatcher(this);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { Refresh(); });

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
  // The label's accelerator gives the list the focus: a buddy must be able to take it. The
  // view behind the proxy is what the focus reaches.
  setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(icons_);
  SetViewStyle(vsList);
}

TShellListView::~TShellListView() = default;

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
  if (!folder_.isEmpty()) watcher_->removePath(folder_);
  folder_ = path;
  icons_->selectionModel()->clear();
  model_->SetFolder(QFile::encodeName(path).toStdString());
  if (!path.isEmpty()) watcher_->addPath(path);
}

void TShellListView::Refresh() {
  std::string selected = SelectedFile();
  model_->Refresh();
  if (!selected.empty() && SelectedFile() != selected) Select(selected);
}

std::string TShellListView::SelectedFile() const {
  for (const QModelIndex& index : icons_->selectionModel()->selectedIndexes())
    if (index.column() == 0) return model_->FilePath(index);
  return {};
}

QString TShellListView::SelectedPath() const {
  std::string path = SelectedFile();
  if (path.empty()) return {};
  size_t slash = path.rfind('/');
  return folder_ + "/" + ShownName(path.substr(slash + 1));
}

bool TShellListView::Select(const std::string& path) {
  QModelIndex index = model_->IndexOf(path);
  if (!index.isValid()) return false;
  icons_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  static_cast<QAbstractItemView*>(View())->scrollTo(index);
  return true;
}

bool TShellListView::Select(const QString& path) {
  return Select(QFile::encodeName(path).toStdString());
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
  std::string path = ShellListView1->SelectedFile();
  if (!path.empty() && (Favorites::IsInternetShortcut(path) || Favorites::IsDesktopLink(path)))
    done(mrOk);
}

std::string TFavoriteDlg::ReadUrl(const std::string& path) {
  if (Favorites::IsDesktopLink(path)) {
    QFile file(QFile::decodeName(path.c_str()));
    // A link file is a few lines; anything larger is not one.
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Link files are UTF-8; the program's strings are code page 932.
    return ToCp932(
        QString::fromStdString(Favorites::DesktopLinkUrl(file.read(64 * 1024).toStdString())));
  }
  TIniFile file(path);
  return file.ReadString(Favorites::kSection, Favorites::kUrlKey, "");
}

std::string TFavoriteDlg::ReadUrl(const QString& path) {
  return ReadUrl(QFile::encodeName(path).toStdString());
}

std::string TFavoriteDlg::PickUrl() {
  if (!FavoriteDlg || !Application) return {};
  if (Application->ShowModal(*FavoriteDlg) != mrOk) return {};
  std::string path = FavoriteDlg->ShellListView1->SelectedFile();
  if (path.empty() || !(Favorites::IsInternetShortcut(path) || Favorites::IsDesktopLink(path)))
    return {};
  return ReadUrl(path);
}

void TFavoriteDlg::reject() {
  done(mrCancel);
}

void TFavoriteDlg::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  ShellListView1->Refresh();
  QDialog::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    ShellTreeView1->setFocus();
  }
}
