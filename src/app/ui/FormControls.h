// Small controls the dialogs share: up-down buttons bound to a number field, and a group of
// radio buttons read and set by item index.
#pragma once
#include <QGroupBox>
#include <QStringList>
#include <QWidget>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QToolButton;

// Up and down buttons stepping the number in a buddy field. As with the classic control, the
// position is read back from the buddy's text, so a typed number counts without a step.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  TUpDown(QLineEdit* buddy, int min, int max, QWidget* parent = nullptr);

  // The buddy's number, clamped to the range; the last position when the text is no number.
  int Position() const;
  void SetPosition(int position);
  int Min() const { return min_; }
  int Max() const { return max_; }

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Step(int delta);

  QLineEdit* buddy_;
  int min_;
  int max_;
  int position_;
  QToolButton* up_;
  QToolButton* down_;
};

// A titled group of radio buttons laid out in columns; one item, or none, is chosen.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& title, const QStringList& items, int columns,
              QWidget* parent = nullptr);

  // -1 when no item is chosen.
  int ItemIndex() const;
  // An index outside the items chooses none.
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const { return buttons_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(buttons_.size()); }

 private:
  QButtonGroup* group_;
  std::vector<QRadioButton*> buttons_;
};
