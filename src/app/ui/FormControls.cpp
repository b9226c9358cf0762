#include "FormControls.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QLineEdit* buddy, int min, int max, QWidget* parent)
    : QWidget(parent),
      buddy_(buddy),
      min_(min),
      max_(max),
      position_(min),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* b : {up_, down_}) {
    b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(16);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    layout->addWidget(b);
  }
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
  buddy_->installEventFilter(this);
  SetPosition(min);
}

int TUpDown::Position() const {
  bool ok = false;
  qlonglong value = buddy_->text().trimmed().toLongLong(&ok);
  if (!ok) return position_;
  return static_cast<int>(std::clamp<qlonglong>(value, min_, max_));
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  buddy_->setText(QString::number(position_));
}

void TUpDown::Step(int delta) {
  SetPosition(Position() + delta);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  columns = std::max(columns, 1);
  int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    group_->addButton(button, i);
    // Filled column by column, as the classic radio group does.
    layout->addWidget(button, i % rows, i / rows);
    buttons_.push_back(button);
  }
}

int TRadioGroup::ItemIndex() const {
  return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) {
    buttons_[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  group_->setExclusive(false);
  for (QRadioButton* b : buttons_) b->setChecked(false);
  group_->setExclusive(true);
}
