#include "TabStrip.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

namespace {
constexpr int kMargin = 2;    // between the widget's edge and the first tab
constexpr int kPadding = 10;  // left and right of a caption inside its tab
constexpr int kFrame = 2;     // width of the client area's frame
constexpr int kScrollButton = 18;

// The caption as shown: '&' marks a mnemonic and is not drawn, "&&" is one '&'.
QString ShownText(const QString& caption) {
  QString out;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}
}  // namespace

TTabStrip::TTabStrip(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(false);
  scrollLeft_ = new QToolButton(this);
  scrollLeft_->setArrowType(Qt::LeftArrow);
  scrollLeft_->setAutoRepeat(true);
  scrollLeft_->setFocusPolicy(Qt::NoFocus);
  scrollRight_ = new QToolButton(this);
  scrollRight_->setArrowType(Qt::RightArrow);
  scrollRight_->setAutoRepeat(true);
  scrollRight_->setFocusPolicy(Qt::NoFocus);
  connect(scrollLeft_, &QToolButton::clicked, this, [this] { ScrollTabs(-1); });
  connect(scrollRight_, &QToolButton::clicked, this, [this] { ScrollTabs(1); });
  scrollLeft_->hide();
  scrollRight_->hide();
  Relayout();
}

QString TTabStrip::Caption(int index) const {
  if (index < 0 || index >= Count()) return {};
  return captions_[index];
}

void TTabStrip::SetCaption(int index, const QString& caption) {
  if (index < 0 || index >= Count()) return;
  captions_[index] = caption;
  Relayout();
}

int TTabStrip::Add(const QString& caption) {
  Insert(Count(), caption);
  return Count() - 1;
}

void TTabStrip::Insert(int index, const QString& caption) {
  index = std::clamp(index, 0, Count());
  captions_.insert(index, caption);
  if (tabIndex_ < 0)
    tabIndex_ = 0;
  else if (index <= tabIndex_ && Count() > 1)
    ++tabIndex_;
  Relayout();
}

void TTabStrip::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  captions_.removeAt(index);
  if (Count() == 0)
    tabIndex_ = -1;
  else if (index < tabIndex_ || tabIndex_ >= Count())
    --tabIndex_;
  firstVisible_ = std::min(firstVisible_, std::max(0, Count() - 1));
  Relayout();
}

void TTabStrip::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  QString caption = captions_.takeAt(from);
  captions_.insert(to, caption);
  if (tabIndex_ == from)
    tabIndex_ = to;
  else if (from < tabIndex_ && to >= tabIndex_)
    --tabIndex_;
  else if (from > tabIndex_ && to <= tabIndex_)
    ++tabIndex_;
  Relayout();
}

void TTabStrip::Clear() {
  captions_.clear();
  tabIndex_ = -1;
  firstVisible_ = 0;
  Relayout();
}

void TTabStrip::SetTabIndex(int index) {
  if (index < 0 || index >= Count()) return;
  tabIndex_ = index;
  if (!leftDown_) rowScroll_ = 0;  // the selected tab's row, next to the client, in view
  if (multiLine_) Relayout();
  // While the button is held the tabs stay where the user pressed; they settle on release.
  if (!leftDown_) EnsureVisible(index);
  update();
}

void TTabStrip::SetMultiLine(bool on) {
  if (multiLine_ == on) return;
  multiLine_ = on;
  firstVisible_ = 0;
  Relayout();
  EnsureVisible(tabIndex_);
}

void TTabStrip::SetClient(QWidget* client) {
  client_ = client;
  if (client_) {
    client_->setParent(this);
    client_->show();
  }
  Relayout();
}

QRect TTabStrip::ClientRect() const {
  return QRect(kFrame, stripHeight_ + kFrame, std::max(0, width() - 2 * kFrame),
               std::max(0, height() - stripHeight_ - 2 * kFrame));
}

QRect TTabStrip::TabRect(int index) const {
  if (index < 0 || index >= static_cast<int>(rects_.size())) return {};
  return rects_[index];
}

int TTabStrip::IndexOfTabAt(QPoint pos) const {
  if ((!multiLine_ || rowScrolling_) && pos.x() >= TabAreaRight()) return -1;
  for (int i = 0; i < static_cast<int>(rects_.size()); ++i)
    if (!rects_[i].isEmpty() && rects_[i].contains(pos)) return i;
  return -1;
}

void TTabStrip::ScrollTabs(int delta) {
  if (multiLine_) {
    // Rows: a negative delta shows the rows further from the client area.
    if (!rowScrolling_) return;
    int next = std::clamp(rowScroll_ - delta, 0, rowCount_ - visibleRows_);
    if (next == rowScroll_) return;
    rowScroll_ = next;
    Relayout();
    return;
  }
  if (!scrolling_) return;
  int last = Count() - 1;
  int next = std::clamp(firstVisible_ + delta, 0, std::max(0, last));
  if (delta > 0) {
    // Stop once the last tab is fully shown.
    QRect lastRect = TabRect(last);
    if (!lastRect.isEmpty() && lastRect.right() < TabAreaRight()) return;
  }
  if (next == firstVisible_) return;
  firstVisible_ = next;
  Relayout();
}

int TTabStrip::TabHeight() const {
  return fontMetrics().height() + 8;
}

int TTabStrip::TabWidth(int index) const {
  // The style's own label spacing, so that the caption is never clipped.
  int space =
      std::max(2 * kPadding, style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this) + 8);
  return fontMetrics().horizontalAdvance(ShownText(captions_[index])) + space;
}

int TTabStrip::TabAreaRight() const {
  if (multiLine_) return rowScrolling_ ? width() - kScrollButton - kMargin : width() - kMargin;
  if (!scrolling_) return width() - kMargin;
  return width() - 2 * kScrollButton - kMargin;
}

int TTabStrip::FillRows(int right, std::vector<int>& rowOf) {
  const int h = TabHeight();
  int x = kMargin, row = 0;
  for (int i = 0; i < Count(); ++i) {
    int w = TabWidth(i);
    if (x + w > right && x > kMargin) {
      ++row;
      x = kMargin;
    }
    rects_[i] = QRect(x, 0, w, h);
    rowOf[i] = row;
    x += w;
  }
  return row + 1;
}

void TTabStrip::Relayout() {
  const int h = TabHeight();
  rects_.assign(captions_.size(), QRect());
  int total = kMargin;
  for (int i = 0; i < Count(); ++i) total += TabWidth(i);
  scrolling_ = !multiLine_ && total > width() - kMargin && Count() > 1;
  if (!scrolling_) firstVisible_ = 0;

  if (multiLine_) {
    // Rows fill left to right; then, as the system's tab control does, the rows turn round so
    // that the selected tab's row sits on the client area and the selected tab joins it.
    std::vector<int> rowOf(captions_.size(), 0);
    rowCount_ = FillRows(width() - kMargin, rowOf);
    // Rows that would squeeze the client below its minimum scroll instead; the scroll
    // buttons then take a strip at the right.
    const int fit = std::max(1, (height() - 2 * kFrame - minClientHeight_ - kMargin) / h);
    rowScrolling_ = minClientHeight_ > 0 && rowCount_ > fit;
    if (rowScrolling_) rowCount_ = FillRows(width() - kScrollButton - kMargin, rowOf);
    visibleRows_ = rowScrolling_ ? std::min(fit, rowCount_) : rowCount_;
    rowScroll_ = std::clamp(rowScroll_, 0, rowCount_ - visibleRows_);
    const int firstShown = rowCount_ - visibleRows_ - rowScroll_;
    int selectedRow = tabIndex_ >= 0 && tabIndex_ < Count() ? rowOf[tabIndex_] : rowCount_ - 1;
    // Rows do not turn under a held button: a drag or a drop must meet the tabs the user saw.
    if (!leftDown_ || baseRow_ < 0 || baseRow_ >= rowCount_) baseRow_ = selectedRow;
    for (int i = 0; i < Count(); ++i) {
      int shown = (rowOf[i] - baseRow_ - 1 + 2 * rowCount_) % rowCount_ - firstShown;
      if (shown < 0 || shown >= visibleRows_)
        rects_[i] = QRect();
      else
        rects_[i].moveTop(kMargin + shown * h);
    }
  } else {
    int x = kMargin;
    for (int i = firstVisible_; i < Count(); ++i) {
      int w = TabWidth(i);
      if (x >= TabAreaRight()) break;
      rects_[i] = QRect(x, kMargin, w, h);
      x += w;
    }
    rowCount_ = 1;
    visibleRows_ = 1;
    rowScrolling_ = false;
  }
  stripHeight_ = kMargin + visibleRows_ * h;

  scrollLeft_->setVisible(scrolling_ || rowScrolling_);
  scrollRight_->setVisible(scrolling_ || rowScrolling_);
  scrollLeft_->setArrowType(rowScrolling_ ? Qt::UpArrow : Qt::LeftArrow);
  scrollRight_->setArrowType(rowScrolling_ ? Qt::DownArrow : Qt::RightArrow);
  if (rowScrolling_) {
    int size = std::min(kScrollButton, (stripHeight_ - kMargin) / 2);
    scrollLeft_->setGeometry(width() - kScrollButton, kMargin, kScrollButton, size);
    scrollRight_->setGeometry(width() - kScrollButton, kMargin + size, kScrollButton, size);
    scrollLeft_->raise();
    scrollRight_->raise();
  } else if (scrolling_) {
    int y = kMargin + (h - kScrollButton) / 2;
    scrollLeft_->setGeometry(width() - 2 * kScrollButton, y, kScrollButton, kScrollButton);
    scrollRight_->setGeometry(width() - kScrollButton, y, kScrollButton, kScrollButton);
    scrollLeft_->raise();
    scrollRight_->raise();
  }
  if (client_) client_->setGeometry(ClientRect());
  updateGeometry();
  update();
}

void TTabStrip::EnsureVisible(int index) {
  if (multiLine_ || !scrolling_ || index < 0 || index >= Count()) return;
  if (index < firstVisible_) {
    firstVisible_ = index;
    Relayout();
    return;
  }
  while (firstVisible_ < index) {
    QRect r = TabRect(index);
    if (!r.isEmpty() && r.right() < TabAreaRight()) break;
    ++firstVisible_;
    Relayout();
  }
}

QSize TTabStrip::sizeHint() const {
  return QSize(400, 300);
}

QSize TTabStrip::minimumSizeHint() const {
  // One row of tabs; more rows scroll rather than grow the strip.
  return QSize(100, kMargin + TabHeight() + 2 * kFrame + std::max(20, minClientHeight_));
}

void TTabStrip::SetMinClientHeight(int height) {
  height = std::max(0, height);
  if (height == minClientHeight_) return;
  minClientHeight_ = height;
  Relayout();
}

void TTabStrip::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = QRect(0, stripHeight_, width(), height() - stripHeight_);
  frame.shape = QTabBar::RoundedNorth;
  frame.lineWidth = kFrame;
  p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);

  p.save();
  p.setClipRect(QRect(0, 0, TabAreaRight() + kMargin, stripHeight_ + kFrame));
  // Unselected tabs first so that the selected one, drawn last, sits on top.
  auto draw = [&](int i) {
    QRect r = TabRect(i);
    if (r.isEmpty()) return;
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.rect = r;
    // Shown as the text without its mnemonic mark; tabs are reached by Alt+arrows, not Alt+key.
    opt.text = ShownText(captions_[i]).replace('&', QStringLiteral("&&"));
    opt.shape = QTabBar::RoundedNorth;
    opt.state &= ~QStyle::State_HasFocus;
    if (i == tabIndex_) opt.state |= QStyle::State_Selected;
    opt.position = Count() == 1       ? QStyleOptionTab::OnlyOneTab
                   : i == 0           ? QStyleOptionTab::Beginning
                   : i == Count() - 1 ? QStyleOptionTab::End
                                      : QStyleOptionTab::Middle;
    if (i == tabIndex_ - 1)
      opt.selectedPosition = QStyleOptionTab::NextIsSelected;
    else if (i == tabIndex_ + 1)
      opt.selectedPosition = QStyleOptionTab::PreviousIsSelected;
    p.drawControl(QStyle::CE_TabBarTab, opt);
  };
  for (int i = 0; i < Count(); ++i)
    if (i != tabIndex_) draw(i);
  if (tabIndex_ >= 0) draw(tabIndex_);
  p.restore();
}

void TTabStrip::resizeEvent(QResizeEvent*) {
  Relayout();
  EnsureVisible(tabIndex_);
}

void TTabStrip::mousePressEvent(QMouseEvent* event) {
  QPoint pos = event->position().toPoint();
  // Hit-tested once, before the selection can move any tab.
  const int hit = IndexOfTabAt(pos);
  pressedIndex_ = hit;
  if (event->button() == Qt::LeftButton) {
    leftDown_ = true;
    pressPos_ = pos;
    dragThreshold_ = -1;
    if (hit >= 0 && hit != tabIndex_) {
      bool allow = true;
      if (OnChanging) OnChanging(this, allow);
      if (allow) {
        SetTabIndex(hit);
        if (OnChange) OnChange(this);
      }
    }
  }
  if (OnMouseDown) OnMouseDown(this, event->button(), pos);
  event->accept();
}

void TTabStrip::BeginDrag(int threshold) {
  if (!leftDown_) return;
  dragThreshold_ = std::max(0, threshold);
  dragging_ = false;
  if (dragThreshold_ == 0) {
    dragging_ = true;
    UpdateDragCursor(pressPos_);
  }
}

void TTabStrip::mouseMoveEvent(QMouseEvent* event) {
  QPoint pos = event->position().toPoint();
  if (!leftDown_ || dragThreshold_ < 0) return;
  if (!dragging_) {
    QPoint d = pos - pressPos_;
    if (std::abs(d.x()) < dragThreshold_ && std::abs(d.y()) < dragThreshold_) return;
    dragging_ = true;
  }
  UpdateDragCursor(pos);
}

void TTabStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint pos = event->position().toPoint();
  bool wasDragging = dragging_;
  dragThreshold_ = -1;
  dragging_ = false;
  unsetCursor();
  // The drop is judged against the tabs as they stood while the button was held.
  if (wasDragging && AcceptsDropAt(pos) && OnDragDrop) OnDragDrop(this, pos);
  ReleaseHeldTabs();
}

void TTabStrip::ReleaseHeldTabs() {
  if (!leftDown_) return;
  leftDown_ = false;
  rowScroll_ = 0;
  Relayout();
  EnsureVisible(tabIndex_);
}

void TTabStrip::CancelDrag() {
  ReleaseHeldTabs();
  dragThreshold_ = -1;
  dragging_ = false;
  dragAccepted_ = false;
  unsetCursor();
}

void TTabStrip::keyPressEvent(QKeyEvent* event) {
  if (dragging_ && event->key() == Qt::Key_Escape) {
    CancelDrag();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TTabStrip::AcceptsDropAt(QPoint pos) {
  // Only the tab rows can take a drop; the client area is the editor, which takes only its
  // own text.
  if (!rect().contains(pos) || pos.y() >= stripHeight_) return false;
  bool accept = false;
  if (OnDragOver) OnDragOver(this, pos, accept);
  return accept;
}

void TTabStrip::UpdateDragCursor(QPoint pos) {
  dragAccepted_ = AcceptsDropAt(pos);
  setCursor(dragAccepted_ ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void TTabStrip::contextMenuEvent(QContextMenuEvent* event) {
  if (!popupMenu_) return;
  popupMenu_->popup(event->globalPos());
  event->accept();
}

void TTabStrip::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) Relayout();
  QWidget::changeEvent(event);
}

void TTabStrip::wheelEvent(QWheelEvent* event) {
  if ((multiLine_ ? !rowScrolling_ : !scrolling_) || event->position().y() >= stripHeight_) {
    event->ignore();
    return;
  }
  ScrollTabs(event->angleDelta().y() > 0 ? -1 : 1);
  event->accept();
}
