#include "platform/qt/QtWindowHost.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/qt/QtKeys.h"

namespace {

QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}

LPARAM PackPoint(QPoint p) {
  return static_cast<LPARAM>(
      MakeLong(static_cast<unsigned>(p.x()) & 0xFFFF, static_cast<unsigned>(p.y()) & 0xFFFF));
}

// The two drag cursors: an arrow with a dotted box (move), plus a "+" (copy).
QCursor DrawnDragCursor(bool copy) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath arrow;
  arrow.moveTo(0, 0);
  arrow.lineTo(0, 15);
  arrow.lineTo(4, 11);
  arrow.lineTo(7, 17);
  arrow.lineTo(9, 16);
  arrow.lineTo(6, 10);
  arrow.lineTo(11, 10);
  arrow.closeSubpath();
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  QPen dotted(Qt::black);
  dotted.setStyle(Qt::DotLine);
  p.setPen(dotted);
  p.setBrush(Qt::NoBrush);
  p.drawRect(8, 18, 12, 9);
  if (copy) {
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(19, 20, 10, 10);
    p.drawLine(21, 25, 27, 25);
    p.drawLine(24, 22, 24, 28);
  }
  return QCursor(pm, 0, 0);
}

// Moves the pixels inside rect (device pixels) by (dx, dy), clipped to rect; what is
// uncovered keeps its old pixels until it is painted.
void MoveImagePixels(QImage& image, QRect rect, int dx, int dy) {
  rect = rect.intersected(image.rect());
  QRect src = rect.intersected(rect.translated(-dx, -dy));
  if (src.isEmpty()) return;
  const int bytes = src.width() * 4;
  auto row = [&](int y) {
    const uchar* from = image.constScanLine(y) + src.x() * 4;
    uchar* to = image.scanLine(y + dy) + (src.x() + dx) * 4;
    std::memmove(to, from, static_cast<size_t>(bytes));
  };
  if (dy > 0) {
    for (int y = src.bottom(); y >= src.top(); --y) row(y);
  } else {
    for (int y = src.top(); y <= src.bottom(); ++y) row(y);
  }
}

std::map<TCursor, QCursor>& CursorSlots() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

}  // namespace

QtWindowHost::QtWindowHost(QWidget* parent)
    : QAbstractScrollArea(parent),
      ime_([this](unsigned msg, WPARAM w, LPARAM l) { return Send(msg, w, l); }) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  setFrameShape(QFrame::NoFrame);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
  viewport()->setAttribute(Qt::WA_NoSystemBackground, true);
  viewport()->setMouseTracking(true);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { ScrollAction(SB_VERT, action); });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { ScrollAction(SB_HORZ, action); });
  for (unsigned bar : {SB_HORZ, SB_VERT}) {
    QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    connect(sb, &QScrollBar::sliderReleased, this, [this, bar, sb] {
      unsigned msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
      Send(msg, MakeLong(SB_THUMBPOSITION, static_cast<unsigned>(sb->sliderPosition())), 0);
      Send(msg, SB_ENDSCROLL, 0);
      sb->setSliderPosition(scrollPos_[bar]);
    });
  }
  int flash = QApplication::cursorFlashTime();
  blinking_ = flash > 0;
  blink_.setInterval(std::max(100, flash / 2));
  connect(&blink_, &QTimer::timeout, this, [this] { BlinkTick(); });
  surface_.SetTarget(&image_, [this](const QRect& r) {
    if (!inPaint_) viewport()->update(r);
  });
}

QtWindowHost::~QtWindowHost() {
  if (control_ != nullptr && handle_ != 0) control_->DestroyHandle();
}

void QtWindowHost::Attach(TCustomControl* control) {
  control_ = control;
  control->Attach(this, &surface_);
}

const QImage& QtWindowHost::BackingImage() const {
  return image_;
}

LRESULT QtWindowHost::Send(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (control_ == nullptr || handle_ == 0) return 0;
  return control_->Perform(msg, wParam, lParam);
}

void QtWindowHost::SetCursorImage(TCursor slot, const QCursor& cursor) {
  CursorSlots()[slot] = cursor;
}

QCursor QtWindowHost::CursorFor(TCursor cursor) {
  auto it = CursorSlots().find(cursor);
  if (it != CursorSlots().end()) return it->second;
  switch (cursor) {
    case crIBeam:
      return QCursor(Qt::IBeamCursor);
    case crDrag:
      return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
      return QCursor(Qt::ForbiddenCursor);
    case crDragCur1:
    case crDragCur2: {
      // The program's own images when its resources are linked in; drawn here otherwise.
      QPixmap image(cursor == crDragCur1 ? QStringLiteral(":/cursors/DragCur1.png")
                                         : QStringLiteral(":/cursors/DragCur2.png"));
      return CursorSlots()[cursor] =
                 image.isNull() ? DrawnDragCursor(cursor == crDragCur2) : QCursor(image, 0, 0);
    }
    default:
      return QCursor(Qt::ArrowCursor);
  }
}

void QtWindowHost::SetCaretBlinking(bool blinking) {
  blinking_ = blinking;
  blinkOn_ = true;
  if (!blinking) blink_.stop();
  UpdateCaretArea();
}

// --- window lifetime

unsigned QtWindowHost::CreateWindow(const TCreateParams& params) {
  params_ = params;
  handle_ = nextHandle_++;
  if (params.ExStyle & WS_EX_CLIENTEDGE) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  } else if (params.Style & WS_BORDER) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
  } else {
    setFrameStyle(QFrame::NoFrame);
  }
  for (unsigned bar : {SB_HORZ, SB_VERT}) {
    QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    QSignalBlocker block(sb);
    sb->setRange(0, 0);
    sb->setValue(0);
    sb->setEnabled(true);
    scrollPos_[bar] = 0;
  }
  setVerticalScrollBarPolicy((params.Style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy((params.Style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
  EnsureImage();
  return handle_;
}

void QtWindowHost::DestroyWindow() {
  handle_ = 0;
  controlFocused_ = false;
  for (auto& t : timers_) killTimer(t.first);
  timers_.clear();
  caret_ = Caret{};
  blink_.stop();
  UpdateCaretArea();
  invalid_ = QRect();
  invalidErase_ = false;
  ime_.Reset();
}

// --- geometry

TRect QtWindowHost::ClientRect() {
  QSize s = viewport()->size();
  return TRect{0, 0, s.width(), s.height()};
}

TSize QtWindowHost::WindowSize() {
  return TSize{width(), height()};
}

int QtWindowHost::ScrollBarSize(unsigned) {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

TPoint QtWindowHost::ClientToScreen(TPoint p) {
  QPoint g = viewport()->mapToGlobal(QPoint(p.x, p.y));
  return TPoint{g.x(), g.y()};
}

// --- painting

void QtWindowHost::EnsureImage() {
  qreal dpr = viewport()->devicePixelRatioF();
  QSize logical = viewport()->size().expandedTo(QSize(1, 1));
  QSize device(static_cast<int>(std::ceil(logical.width() * dpr)),
               static_cast<int>(std::ceil(logical.height() * dpr)));
  if (!image_.isNull() && image_.size() == device && dpr == dpr_) return;
  QImage next(device, QImage::Format_RGB32);
  next.setDevicePixelRatio(dpr);
  next.fill(Qt::white);
  bool sameScale = dpr == dpr_ && !image_.isNull();
  if (sameScale) {
    // What was drawn stays; only the new edge needs the control's paint.
    QPainter p(&next);
    p.drawImage(QPoint(0, 0), image_);
  }
  image_ = std::move(next);
  dpr_ = dpr;
  if (!sameScale && handle_ != 0) Invalidate(nullptr, true);
}

void QtWindowHost::Invalidate(const TRect* rect, bool erase) {
  if (handle_ == 0) return;
  QRect client = viewport()->rect();
  QRect r = rect ? ToQRect(*rect).intersected(client) : client;
  if (r.isEmpty()) return;
  invalid_ = invalid_.isEmpty() ? r : invalid_.united(r);
  invalidErase_ = invalidErase_ || erase;
  viewport()->update(r);
}

void QtWindowHost::Update() {
  ProcessPendingPaint();
}

void QtWindowHost::ProcessPendingPaint() {
  if (handle_ == 0 || control_ == nullptr || invalid_.isEmpty()) return;
  EnsureImage();
  QRect r = invalid_;
  bool erase = invalidErase_;
  invalid_ = QRect();
  invalidErase_ = false;
  // As BeginPaint: the area counts as painted from here on, and drawing is clipped to it.
  TRect clip{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  surface_.SetClipRect(&clip);
  if (erase) Send(WM_ERASEBKGND);
  Send(WM_PAINT);
  surface_.SetClipRect(nullptr);
}

void QtWindowHost::ScrollWindow(int dx, int dy, const TRect* rect) {
  if (handle_ == 0) return;
  EnsureImage();
  QRect client = viewport()->rect();
  QRect r = rect ? ToQRect(*rect).intersected(client) : client;
  if (r.isEmpty() || (dx == 0 && dy == 0)) return;
  // Device edges floored as the surface floors them, so the moved area meets its drawing.
  auto d = [this](int v) { return static_cast<int>(std::floor(v * dpr_)); };
  QRect device(QPoint(d(r.left()), d(r.top())),
               QPoint(d(r.right() + 1) - 1, d(r.bottom() + 1) - 1));
  MoveImagePixels(image_, device, static_cast<int>(std::lround(dx * dpr_)),
                  static_cast<int>(std::lround(dy * dpr_)));
  viewport()->update(r);
  TRect tr{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  TRect strips[2];
  int n = ScrollUncovered(tr, dx, dy, strips);
  for (int i = 0; i < n; ++i) Invalidate(&strips[i], true);
}

void QtWindowHost::paintEvent(QPaintEvent* e) {
  EnsureImage();
  inPaint_ = true;
  ProcessPendingPaint();
  inPaint_ = false;
  QPainter p(viewport());
  for (const QRect& r : e->region()) {
    p.drawImage(QRectF(r), image_,
                QRectF(r.x() * dpr_, r.y() * dpr_, r.width() * dpr_, r.height() * dpr_));
  }
  // While a composition string is shown it carries its own cursor.
  caretDrawn_ = ime_.Preedit().isEmpty() ? CaretRect() : QRect();
  if (!caretDrawn_.isEmpty()) {
    // A solid caret inverts what lies under it, as a system caret does.
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(caretDrawn_, Qt::white);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (!ime_.Preedit().isEmpty()) {
    // The text after the composition point makes room for the composition; the image keeps
    // the text where it is, so it is back as soon as the composition ends.
    QRect room = ime_.PreeditRect();
    const TPoint at = ime_.CompositionPoint();
    QRect moved(at.x, at.y, viewport()->width() - at.x - room.width(), room.height() - 2);
    if (moved.width() > 0) {
      p.drawImage(
          QRectF(moved.translated(room.width(), 0)), image_,
          QRectF(moved.x() * dpr_, moved.y() * dpr_, moved.width() * dpr_, moved.height() * dpr_));
    }
  }
  ime_.PaintPreedit(p);
}

void QtWindowHost::ViewportResized() {
  EnsureImage();
  if (handle_ == 0) return;
  // The window class redraws wholly on a size change.
  Invalidate(nullptr, true);
  QSize s = viewport()->size();
  Send(WM_SIZE, 0, static_cast<LPARAM>(MakeLong(s.width(), s.height())));
}

// --- caret

QRect QtWindowHost::CaretRect() const {
  if (!caret_.exists || caret_.hideCount > 0 || !blinkOn_) return QRect();
  return QRect(caret_.x, caret_.y, caret_.width, caret_.height);
}

void QtWindowHost::UpdateCaretArea() {
  QRect now = ime_.Preedit().isEmpty() ? CaretRect() : QRect();
  if (now == caretDrawn_) return;
  if (!caretDrawn_.isEmpty()) viewport()->update(caretDrawn_);
  if (!now.isEmpty()) viewport()->update(now);
}

void QtWindowHost::BlinkTick() {
  if (!caret_.exists || caret_.hideCount > 0) {
    blink_.stop();
    return;
  }
  blinkOn_ = !blinkOn_;
  UpdateCaretArea();
}

bool QtWindowHost::CreateCaret(int width, int height) {
  if (handle_ == 0) return false;
  caret_ = Caret{true, std::max(1, width), std::max(1, height), caret_.x, caret_.y, 1};
  UpdateCaretArea();
  return true;
}

void QtWindowHost::DestroyCaret() {
  caret_.exists = false;
  blink_.stop();
  UpdateCaretArea();
}

void QtWindowHost::SetCaretPos(int x, int y) {
  caret_.x = x;
  caret_.y = y;
  blinkOn_ = true;
  if (blink_.isActive()) blink_.start();  // a moved caret starts its blink afresh
  UpdateCaretArea();
}

bool QtWindowHost::ShowCaret() {
  if (!caret_.exists) return false;
  if (caret_.hideCount > 0) --caret_.hideCount;
  if (caret_.hideCount == 0) {
    blinkOn_ = true;
    if (blinking_) blink_.start();
  }
  UpdateCaretArea();
  return true;
}

bool QtWindowHost::HideCaret() {
  if (!caret_.exists) return false;
  ++caret_.hideCount;
  blink_.stop();
  UpdateCaretArea();
  return true;
}

// --- scroll bars

void QtWindowHost::SetScrollRange(unsigned bar, int min, int max, bool) {
  QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
  QSignalBlocker block(sb);
  max = std::max(min, max);
  sb->setRange(min, max);
  sb->setSingleStep(1);
  // A classic range has no page size; a modest thumb keeps the bar usable.
  sb->setPageStep(std::max(1, (max - min) / 10));
  int& pos = scrollPos_[bar == SB_VERT ? 1 : 0];
  pos = std::clamp(pos, min, max);
  sb->setValue(pos);
}

void QtWindowHost::SetScrollPos(unsigned bar, int pos, bool) {
  QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
  int& stored = scrollPos_[bar == SB_VERT ? 1 : 0];
  stored = std::clamp(pos, sb->minimum(), sb->maximum());
  QSignalBlocker block(sb);
  sb->setValue(stored);
}

int QtWindowHost::GetScrollPos(unsigned bar) {
  return scrollPos_[bar == SB_VERT ? 1 : 0];
}

void QtWindowHost::EnableScrollBar(unsigned bar, bool enable) {
  (bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar())->setEnabled(enable);
}

void QtWindowHost::ShowScrollBar(unsigned bar, bool show) {
  Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (bar == SB_VERT) {
    if (verticalScrollBarPolicy() != policy) setVerticalScrollBarPolicy(policy);
  } else {
    if (horizontalScrollBarPolicy() != policy) setHorizontalScrollBarPolicy(policy);
  }
}

void QtWindowHost::ScrollAction(unsigned bar, int action) {
  InputScope scope(inputDepth_);
  QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
  unsigned code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      code = SB_LINEDOWN;
      break;
    case QAbstractSlider::SliderSingleStepSub:
      code = SB_LINEUP;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      code = SB_PAGEDOWN;
      break;
    case QAbstractSlider::SliderPageStepSub:
      code = SB_PAGEUP;
      break;
    case QAbstractSlider::SliderToMinimum:
      code = SB_TOP;
      break;
    case QAbstractSlider::SliderToMaximum:
      code = SB_BOTTOM;
      break;
    case QAbstractSlider::SliderMove:
      code = SB_THUMBTRACK;
      break;
    default:
      return;
  }
  // Only the thumb codes carry a position, as on Windows.
  unsigned pos =
      code == SB_THUMBTRACK ? static_cast<unsigned>(std::max(0, sb->sliderPosition())) : 0;
  Send(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MakeLong(code, pos), 0);
  // The bar shows what the control set, except while the thumb is dragged.
  if (!(code == SB_THUMBTRACK && sb->isSliderDown()))
    sb->setSliderPosition(scrollPos_[bar == SB_VERT ? 1 : 0]);
}

// --- timers, focus, capture, cursor

void QtWindowHost::SetTimer(unsigned id, unsigned ms) {
  if (handle_ == 0) return;
  KillTimer(id);
  int qtId = startTimer(static_cast<int>(std::max(1u, ms)));
  if (qtId != 0) timers_[qtId] = id;
}

void QtWindowHost::KillTimer(unsigned id) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second == id) {
      killTimer(it->first);
      timers_.erase(it);
      return;
    }
  }
}

void QtWindowHost::timerEvent(QTimerEvent* e) {
  auto it = timers_.find(e->timerId());
  if (it == timers_.end()) {
    QAbstractScrollArea::timerEvent(e);
    return;
  }
  Send(WM_TIMER, it->second, 0);
}

void QtWindowHost::SetFocus() {
  if (handle_ == 0) return;
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
  // Focus that Qt already gave the widget reaches a freshly created window this way.
  if (hasFocus() && !controlFocused_) {
    controlFocused_ = true;
    Send(WM_SETFOCUS);
  }
}

void QtWindowHost::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  if (handle_ != 0 && !controlFocused_) {
    controlFocused_ = true;
    Send(WM_SETFOCUS);
  }
}

void QtWindowHost::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  // An open menu leaves the focus where it was, as system menus do.
  if (e->reason() == Qt::PopupFocusReason) return;
  if (controlFocused_) {
    controlFocused_ = false;
    Send(WM_KILLFOCUS);
  }
}

void QtWindowHost::SetCursor(TCursor cursor) {
  viewport()->setCursor(CursorFor(cursor));
}

// --- keyboard

void QtWindowHost::TrackKey(unsigned vk, bool down) {
  if (vk == 0 || vk > 255) return;
  unsigned char& k = keys_[vk];
  if (down && !(k & 0x80)) k ^= 0x01;  // each fresh press toggles, as the lock keys do
  k = static_cast<unsigned char>(down ? (k | 0x80) : (k & ~0x80));
}

short QtWindowHost::GetKeyState(unsigned vk) {
  // The state that came with the event being handled, as the system's key state is that of
  // the message; the application's last known state otherwise.
  Qt::KeyboardModifiers mods =
      eventState_.active ? eventState_.mods : QGuiApplication::keyboardModifiers();
  Qt::MouseButtons buttons =
      eventState_.active ? eventState_.buttons : QGuiApplication::mouseButtons();
  bool down;
  switch (vk) {
    case VK_SHIFT:
      down = mods & Qt::ShiftModifier;
      break;
    case VK_CONTROL:
      down = mods & Qt::ControlModifier;
      break;
    case VK_MENU:
      down = mods & Qt::AltModifier;
      break;
    case VK_LBUTTON:
      down = buttons & Qt::LeftButton;
      break;
    case VK_RBUTTON:
      down = buttons & Qt::RightButton;
      break;
    case VK_MBUTTON:
      down = buttons & Qt::MiddleButton;
      break;
    default:
      down = vk < 256 && (keys_[vk] & 0x80);
  }
  int toggled = vk < 256 ? (keys_[vk] & 0x01) : 0;
  return static_cast<short>((down ? 0x8000 : 0) | toggled);
}

void QtWindowHost::GetKeyboardState(unsigned char state[256]) {
  for (unsigned vk = 0; vk < 256; ++vk) {
    short s = GetKeyState(vk);
    state[vk] = static_cast<unsigned char>((s < 0 ? 0x80 : 0) | (s & 0x01));
  }
}

bool QtWindowHost::event(QEvent* e) {
  InputScope scope(inputDepth_);
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) && handle_ != 0 &&
        !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      // Tab is the control's only when it asks for it; otherwise it moves the focus on and
      // never reaches the control, as in a dialog.
      if (Send(WM_GETDLGCODE) & DLGC_WANTTAB) {
        keyPressEvent(k);
      } else {
        focusNextPrevChild(k->key() == Qt::Key_Tab);
      }
      return true;
    }
  }
  return QAbstractScrollArea::event(e);
}

void QtWindowHost::keyPressEvent(QKeyEvent* e) {
  e->accept();
  EventState state(eventState_, e->modifiers(), QGuiApplication::mouseButtons());
  ime_.ForgetLateCommit();
  unsigned vk = VirtualKeyFromQt(e->key(), e->modifiers());
  bool sys = IsSystemKey(e->key(), e->modifiers());
  if (vk != 0) {
    TrackKey(vk, true);
    Send(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyMessageLParam(*e, false));
  }
  std::string typed = TypedBytesFromQt(*e);
  if (typed.size() == 1) {
    Send(sys ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(typed[0]),
         KeyMessageLParam(*e, false));
  } else if (typed.size() >= 2 && !sys) {
    // A double-byte character (or a character reference) typed without composing comes as
    // an input-method result.
    ime_.DeliverResult(typed);
  }
}

void QtWindowHost::keyReleaseEvent(QKeyEvent* e) {
  e->accept();
  // Holding a key repeats presses only; the one release comes at the end.
  if (e->isAutoRepeat()) return;
  EventState state(eventState_, e->modifiers(), QGuiApplication::mouseButtons());
  unsigned vk = VirtualKeyFromQt(e->key(), e->modifiers());
  if (vk == 0) return;
  TrackKey(vk, false);
  bool sys = IsSystemKey(e->key(), e->modifiers()) || vk == VK_MENU;
  Send(sys ? WM_SYSKEYUP : WM_KEYUP, vk, KeyMessageLParam(*e, true));
  // The menu key opens the context menu when it comes up, as the default window handling does.
  if (vk == VK_APPS) Send(WM_CONTEXTMENU, handle_, -1);
}

void QtWindowHost::contextMenuEvent(QContextMenuEvent* e) {
  // The control pops its menu up on the right press itself, and the menu key is answered
  // at its release: nothing is left to do here but keep the parent from showing its own.
  e->accept();
}

// --- mouse

unsigned QtWindowHost::MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) const {
  unsigned k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
  if (mods & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

LRESULT QtWindowHost::MouseMessage(unsigned msg, QMouseEvent* e) {
  e->accept();
  EventState state(eventState_, e->modifiers(), e->buttons());
  return Send(msg, MouseKeys(e->buttons(), e->modifiers()), PackPoint(e->position().toPoint()));
}

void QtWindowHost::mousePressEvent(QMouseEvent* e) {
  switch (e->button()) {
    case Qt::LeftButton:
      MouseMessage(WM_LBUTTONDOWN, e);
      break;
    case Qt::RightButton:
      MouseMessage(WM_RBUTTONDOWN, e);
      break;
    case Qt::MiddleButton:
      MouseMessage(WM_MBUTTONDOWN, e);
      break;
    default:
      e->ignore();
  }
}

void QtWindowHost::mouseDoubleClickEvent(QMouseEvent* e) {
  switch (e->button()) {
    case Qt::LeftButton:
      MouseMessage(WM_LBUTTONDBLCLK, e);
      break;
    case Qt::RightButton:
      MouseMessage(WM_RBUTTONDBLCLK, e);
      break;
    case Qt::MiddleButton:
      MouseMessage(WM_MBUTTONDOWN, e);
      break;
    default:
      e->ignore();
  }
}

void QtWindowHost::mouseReleaseEvent(QMouseEvent* e) {
  switch (e->button()) {
    case Qt::LeftButton:
      MouseMessage(WM_LBUTTONUP, e);
      break;
    case Qt::RightButton:
      MouseMessage(WM_RBUTTONUP, e);
      break;
    case Qt::MiddleButton:
      MouseMessage(WM_MBUTTONUP, e);
      break;
    default:
      e->ignore();
  }
}

void QtWindowHost::mouseMoveEvent(QMouseEvent* e) {
  MouseMessage(WM_MOUSEMOVE, e);
}

void QtWindowHost::wheelEvent(QWheelEvent* e) {
  int delta = e->angleDelta().y();
  if (delta == 0) {
    e->ignore();
    return;
  }
  e->accept();
  // The raw delta goes on: a notch is 120, a touchpad sends less; adding up is the control's.
  delta = std::clamp(delta, -32768, 32767);
  QPoint g = e->globalPosition().toPoint();
  Send(WM_MOUSEWHEEL,
       MakeLong(MouseKeys(e->buttons(), e->modifiers()), static_cast<unsigned>(delta) & 0xFFFF),
       PackPoint(g));
}

bool QtWindowHost::viewportEvent(QEvent* e) {
  InputScope scope(inputDepth_);
  if (e->type() == QEvent::Resize) {
    ViewportResized();
    return true;
  }
  return QAbstractScrollArea::viewportEvent(e);
}

// --- input method

void QtWindowHost::inputMethodEvent(QInputMethodEvent* e) {
  QRect before = ime_.InsertedRect(viewport()->width());
  ime_.Event(e);
  QRect after = ime_.InsertedRect(viewport()->width());
  if (!before.isEmpty()) viewport()->update(before);
  if (!after.isEmpty()) viewport()->update(after);
  UpdateCaretArea();
}

QVariant QtWindowHost::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImEnabled) return testAttribute(Qt::WA_InputMethodEnabled);
  QVariant answer = ime_.Query(query);
  // The input method asks the focus widget, the scroll area: its frame lies around the client.
  if (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle)
    return answer.toRect().translated(viewport()->pos());
  return answer;
}

void QtWindowHost::SetCompositionWindow(TPoint p) {
  QRect before = ime_.InsertedRect(viewport()->width());
  const TPoint old = ime_.CompositionPoint();
  ime_.SetCompositionPoint(p);
  if (!before.isEmpty()) {
    viewport()->update(before);
    viewport()->update(ime_.InsertedRect(viewport()->width()));
  }
  if (!hasFocus()) return;
  QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
  // The program moved the caret under a running composition (a command, a page change):
  // the composition is committed, after the program's step, where the caret now is.
  const bool moved = old.x != p.x || old.y != p.y;
  if (moved && ime_.Composing() && inputDepth_ == 0 && !commitQueued_) {
    commitQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          commitQueued_ = false;
          CompleteComposition();
        },
        Qt::QueuedConnection);
  }
}

bool QtWindowHost::SetCompositionFont(const TFontSpec& font) {
  TFontSpec saved = surface_.Font();
  TColor savedColor = surface_.TextColor();
  surface_.SelectFont(font);
  ime_.SetFont(surface_.CurrentQFont(), surface_.GetTextMetrics().Height);
  surface_.SelectFont(saved);
  surface_.SetTextColor(savedColor);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImFont);
  return true;
}

std::string QtWindowHost::GetCompositionString(unsigned which) {
  return ime_.CompositionString(which);
}

void QtWindowHost::CompleteComposition() {
  if (!ime_.Composing()) return;
  QRect before = ime_.InsertedRect(viewport()->width());
  QGuiApplication::inputMethod()->commit();
  if (ime_.Composing()) {
    // No input method took the request (or there is none): commit what is shown, and let
    // the input method forget it.
    ime_.CommitPreedit();
    QGuiApplication::inputMethod()->reset();
  }
  if (!before.isEmpty()) viewport()->update(before);
  UpdateCaretArea();
}

void QtWindowHost::SetImeOpenStatus(bool open) {
  // A composition running when the input method is turned off keeps what was typed.
  if (!open) CompleteComposition();
  setAttribute(Qt::WA_InputMethodEnabled, open);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

bool QtWindowHost::GetImeOpenStatus() {
  return testAttribute(Qt::WA_InputMethodEnabled);
}
