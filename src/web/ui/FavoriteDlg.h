// The Favorites window: a tree of the folders below the Favorites folder and a list of the
// files in the folder chosen there, from which an Internet shortcut (".url") is picked.
// Created once at program start and kept, so the folder, the selection and the view style
// stay as the user left them; the view style also across runs, through the settings file.
#pragma once
#include <QAbstractTableModel>
#include <QDialog>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QFileIconProvider;
class QFileSystemWatcher;
class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTreeView;
class TRadioGroup;

// The files of one folder, read straight from the file system: names that are not UTF-8
// (Shift-JIS names from Windows archives) are listed too and keep their bytes, and folders
// never appear, also not one that was opened in the tree. Columns: name, size, kind, date.
class TFileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TFileListModel(QObject* parent = nullptr);
  ~TFileListModel() override;

  // Reads the folder (its path in the file system's bytes); an unreadable one lists nothing.
  void SetFolder(const std::string& folder);
  // Reads the folder again, keeping the rows of files still there.
  void Refresh();
  const std::string& Folder() const { return folder_; }
  // Full path of a row's file, in the file system's bytes.
  std::string FilePath(const QModelIndex& index) const;
  // The row of a file of the folder, by its full path; invalid when it is not listed.
  QModelIndex IndexOf(const std::string& path) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct TEntry;
  std::vector<TEntry> entries_;
  std::string folder_;
  std::unique_ptr<QFileIconProvider> icons_;
};

// The file list: the files (never folders) of one folder, sorted, with their icons, in one of
// four view styles. The icon views and the details view share the model and the selection.
class TShellListView : public QWidget {
  Q_OBJECT
 public:
  enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

  explicit TShellListView(QWidget* parent = nullptr);
  ~TShellListView() override;

  void SetFolder(const QString& path);
  QString Folder() const { return folder_; }
  TViewStyle ViewStyle() const { return style_; }
  void SetViewStyle(TViewStyle style);
  // Reads the folder again (files come and go while the dialog is closed).
  void Refresh();

  // Full path of the selected file in the file system's bytes; empty when nothing is selected.
  std::string SelectedFile() const;
  // The same for display; a name that is not UTF-8 shows as decoded from Shift-JIS.
  QString SelectedPath() const;
  // Selects a file of the folder (false when it is not there).
  bool Select(const std::string& path);
  bool Select(const QString& path);
  // The view of the current style.
  QWidget* View() const;
  QListView* IconView() const { return icons_; }
  QTreeView* ReportView() const { return report_; }
  TFileListModel* Model() const { return model_; }

 signals:
  void DoubleClicked();

 private:
  TFileListModel* model_;
  QFileSystemWatcher* watcher_;
  QStackedWidget* stack_;
  QListView* icons_;
  QTreeView* report_;
  QString folder_;
  TViewStyle style_ = vsList;
};

class TFavoriteDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TFavoriteDlg(QWidget* parent = nullptr);
  ~TFavoriteDlg() override;  // writes the view style to the settings file

  QLabel* Label1;
  QTreeView* ShellTreeView1;
  QLabel* Label2;
  TShellListView* ShellListView1;
  TRadioGroup* RadioGroup1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The Favorites folder, the tree's root.
  QString Root() const { return root_; }
  // Chooses a folder in the tree, as a click on it does.
  void ChooseFolder(const QString& path);
  QString ChosenFolder() const { return ShellListView1->Folder(); }

  // Shows the dialog and reads the URL of the chosen shortcut: empty unless the dialog
  // closed with OK on a selected ".url" file holding a URL.
  static std::string PickUrl();
  // The URL of an Internet shortcut file; empty when it has none or cannot be read.
  static std::string ReadUrl(const std::string& path);
  static std::string ReadUrl(const QString& path);

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void RadioGroup1Click();
  void ShellListView1DblClick();
  void TreeCurrentChanged();

  QString root_;
  std::unique_ptr<QFileIconProvider> treeIcons_;
  QFileSystemModel* treeModel_;
  QSortFilterProxyModel* treeProxy_;
  bool shownOnce_ = false;
};
extern TFavoriteDlg* FavoriteDlg;
