// The registration dialog of the web shortcuts: a grid of names and URLs, one row per
// "name=URL" line. Created once at program start; the main window refills the grid from its
// list before every use and takes the grid's lines back after OK.
#pragma once
#include <QDialog>
#include <QTableWidget>
#include <string>
#include <vector>

class QPushButton;

// The two-column grid. Rows with neither name nor URL do not count as lines, and one is
// removed as soon as the cursor leaves it; there is always at least one row to type into.
class TValueListEditor : public QTableWidget {
  Q_OBJECT
 public:
  explicit TValueListEditor(QWidget* parent = nullptr);

  // Replaces every row; a line without "=" keeps its text as it was unless its row is edited.
  void SetLines(const std::vector<std::string>& lines);
  // URLs keep characters Shift-JIS lacks as UTF-8 percent-encoding.
  std::vector<std::string> Lines() const;
  // Whether every name fits Shift-JIS; the first that does not is named to the user.
  bool NamesFit() const;

  QString Name(int row) const;
  QString Url(int row) const;

  static QString EqualsInNameMessage();
  // Puts an open cell editor's text into the grid and closes the editor.
  void CommitEditor();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool RowEmpty(int row) const;
  void AddRow(int row);
  void CurrentCellChanged(int row, int previousRow);

  bool filling_ = false;
};

class TWebShortcutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TWebShortcutDlg(QWidget* parent = nullptr);
  ~TWebShortcutDlg() override;  // writes the grid to the shortcut file

  TValueListEditor* ValueListEditor1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The file could not be read at creation: it is then left alone rather than emptied.
  bool fileUnreadable_ = false;
};
extern TWebShortcutDlg* WebShortcutDlg;
