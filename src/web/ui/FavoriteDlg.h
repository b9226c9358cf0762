// The Favorites window: a tree of the folders below the Favorites folder and a list of the
// files in the folder chosen there, from which an Internet shortcut (".url") is picked.
// Created once at program start and kept, so the folder, the selection and the view style
// stay as the user left them; the view style also across runs, through the settings file.
#pragma once
#include <QDialog>
#include <QString>
#include <memory>
#include <string>

class QFileIconProvider;
class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTreeView;
class TRadioGroup;

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

  // Full path of the selected file; empty when nothing is selected.
  QString SelectedPath() const;
  // Selects a file of the folder (false when it is not there yet).
  bool Select(const QString& path);
  // The view of the current style.
  QWidget* View() const;
  QListView* IconView() const { return icons_; }
  QTreeView* ReportView() const { return report_; }
  QFileSystemModel* Model() const { return model_; }

 signals:
  void DoubleClicked();

 private:
  std::unique_ptr<QFileIconProvider> iconProvider_;
  QFileSystemModel* model_;
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
