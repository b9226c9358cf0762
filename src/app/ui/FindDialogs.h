// The find and replace dialogs: modeless windows beside the main window that only start
// searches. What a button does is the owner's (OnFind, OnReplace); the dialogs keep their
// texts between openings.
#pragma once
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

class TFindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TFindDialog(QWidget* parent = nullptr);

  QString FindText() const;
  void SetFindText(const QString& text);
  // The search direction: down (forward) unless "up" is chosen.
  bool Down() const;
  void SetDown(bool down);
  // Shows the dialog, or brings it to the front with the search text selected.
  void Execute();

  // The find-next button.
  std::function<void()> OnFind;

  QLineEdit* FindEdit;
  QRadioButton* UpRadio;
  QRadioButton* DownRadio;
  QPushButton* FindNextButton;
  QPushButton* CancelButton;

 private:
  void UpdateButtons();
};

class TReplaceDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TReplaceDialog(QWidget* parent = nullptr);

  QString FindText() const;
  void SetFindText(const QString& text);
  QString ReplaceText() const;
  void SetReplaceText(const QString& text);
  void Execute();

  // The find-next button.
  std::function<void()> OnFind;
  // The replace button (all false) or the replace-all button (all true).
  std::function<void(bool all)> OnReplace;

  QLineEdit* FindEdit;
  QLineEdit* ReplaceEdit;
  QPushButton* FindNextButton;
  QPushButton* ReplaceButton;
  QPushButton* ReplaceAllButton;
  QPushButton* CancelButton;

 private:
  void UpdateButtons();
};
