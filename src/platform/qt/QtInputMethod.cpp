#include "platform/qt/QtInputMethod.h"

#include <QFontMetrics>

#include "platform/CodePage.h"

namespace {
std::string ToCp932(const QString& s) {
  return CodePage::FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), s.size()));
}
}  // namespace

void QtInputMethod::Event(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  const QString preedit = event->preeditString();
  if (!composing_ && (!commit.isEmpty() || !preedit.isEmpty())) {
    composing_ = true;
    send_(WM_IME_STARTCOMPOSITION, 0, 0);
  }
  preedit_ = preedit;
  if (!commit.isEmpty()) {
    current_ = ToCp932(commit);
    currentWhich_ = GCS_RESULTSTR;
    send_(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  }
  if (!preedit.isEmpty()) {
    current_ = ToCp932(preedit);
    currentWhich_ = GCS_COMPSTR;
    send_(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
  }
  current_.clear();
  currentWhich_ = 0;
  if (composing_ && preedit.isEmpty()) {
    composing_ = false;
    send_(WM_IME_ENDCOMPOSITION, 0, 0);
  }
  event->accept();
}

void QtInputMethod::DeliverResult(const std::string& cp932) {
  bool wasComposing = composing_;
  if (!wasComposing) send_(WM_IME_STARTCOMPOSITION, 0, 0);
  current_ = cp932;
  currentWhich_ = GCS_RESULTSTR;
  send_(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  current_.clear();
  currentWhich_ = 0;
  if (!wasComposing) send_(WM_IME_ENDCOMPOSITION, 0, 0);
}

std::string QtInputMethod::CompositionString(unsigned which) const {
  return (which & currentWhich_) ? current_ : std::string();
}

void QtInputMethod::SetFont(const QFont& font, int cellHeight) {
  font_ = font;
  cellHeight_ = cellHeight;
}

QRect QtInputMethod::PreeditRect() const {
  if (preedit_.isEmpty()) return QRect();
  QFontMetrics m(font_);
  return QRect(point_.x, point_.y, m.horizontalAdvance(preedit_) + 2, cellHeight_ + 2);
}

void QtInputMethod::PaintPreedit(QPainter& painter) const {
  if (preedit_.isEmpty()) return;
  QRect r = PreeditRect();
  QFontMetrics m(font_);
  painter.save();
  painter.fillRect(r, Qt::white);
  painter.setFont(font_);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(point_.x, point_.y + m.ascent()), preedit_);
  painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 1), Qt::black);
  painter.restore();
}

QVariant QtInputMethod::Query(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
      return QRect(point_.x, point_.y, 1, cellHeight_);
    case Qt::ImFont:
      return font_;
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
      return QString();
    default:
      return QVariant();
  }
}

void QtInputMethod::Reset() {
  composing_ = false;
  preedit_.clear();
  current_.clear();
  currentWhich_ = 0;
}
