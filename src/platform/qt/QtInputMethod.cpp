#include "platform/qt/QtInputMethod.h"

#include <QFontMetrics>
#include <algorithm>
#include <cstdlib>

#include "platform/CodePage.h"
#include "platform/ImeRequest.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtText.h"

namespace {
std::string ToCp932(const QString& s) {
  return CodePage::FromUtf16(Utf16View(s));
}
}  // namespace

void QtInputMethod::Event(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  const QString preedit = event->preeditString();
  // We committed this composition ourselves; an input method that commits it again on its
  // own reset (fcitx5 with Mozc does, later) must not type it twice.
  const bool empty = commit.isEmpty() && preedit.isEmpty() && event->replacementLength() == 0;
  if (!lateCommit_.isNull() && !empty) {
    const bool echo = !composing_ && preedit.isEmpty() && event->replacementLength() == 0 &&
                      commit == lateCommit_;
    lateCommit_ = QString();
    if (echo) {
      event->accept();
      return;
    }
  }
  // Text the input method takes back (reconversion) leaves the document first; the commit
  // string, if any, then goes where it was.
  if (event->replacementLength() > 0) {
    Surrounding around = QuerySurrounding();
    const int n = static_cast<int>(around.text.size());
    const int from = std::clamp(around.cursor + event->replacementStart(), 0, n);
    const int to = std::clamp(from + event->replacementLength(), 0, n);
    const int caret = around.byteAt[static_cast<size_t>(around.cursor)];
    TImeDeleteRange range{around.byteAt[static_cast<size_t>(from)] - caret,
                          around.byteAt[static_cast<size_t>(to)] - caret};
    if (range.From != range.To)
      send_(WM_IME_REQUEST, IMR_DELETESURROUNDING, reinterpret_cast<LPARAM>(&range));
  }
  if (!composing_ && (!commit.isEmpty() || !preedit.isEmpty())) {
    composing_ = true;
    send_(WM_IME_STARTCOMPOSITION, 0, 0);
  }
  preedit_ = preedit;
  segments_.clear();
  preeditCursor_ = -1;
  for (const QInputMethodEvent::Attribute& a : event->attributes()) {
    if (a.type == QInputMethodEvent::TextFormat) {
      QTextCharFormat f = a.value.value<QTextFormat>().toCharFormat();
      if (a.length > 0) segments_.push_back(Segment{a.start, a.length, f});
    } else if (a.type == QInputMethodEvent::Cursor) {
      preeditCursor_ = a.length > 0 ? std::clamp(a.start, 0, static_cast<int>(preedit.size())) : -1;
    }
  }
  if (!commit.isEmpty()) {
    current_ = TextBorder::ForEditor(Utf16View(commit));
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

int QtInputMethod::PreeditOffset() const {
  if (preedit_.isEmpty()) return 0;
  int unit = preeditCursor_ >= 0 ? preeditCursor_ : 0;
  for (const Segment& seg : segments_) {
    if (seg.format.background().style() != Qt::NoBrush) {
      unit = seg.start;
      break;
    }
  }
  return QFontMetrics(font_).horizontalAdvance(preedit_.left(unit));
}

void QtInputMethod::CommitPreedit() {
  if (!composing_) return;
  const QString text = preedit_;
  QInputMethodEvent e;
  e.setCommitString(text);
  Event(&e);
  lateCommit_ = text;
}

QtInputMethod::Surrounding QtInputMethod::QuerySurrounding() const {
  Surrounding out;
  TImeSurrounding s;
  if (send_(WM_IME_REQUEST, IMR_DOCUMENTFEED, reinterpret_cast<LPARAM>(&s)) == 0) {
    out.byteAt.push_back(0);
    return out;
  }
  // Character by character, so each UTF-16 unit knows the bytes it came from.
  const std::string& t = s.Text;
  const size_t n = t.size();
  out.byteAt.reserve(n + 1);
  for (size_t i = 0; i < n;) {
    const unsigned char b = static_cast<unsigned char>(t[i]);
    if (b < 0x80) {
      out.text += QChar(b);
      out.byteAt.push_back(static_cast<int>(i));
      ++i;
      continue;
    }
    size_t len = 1;
    if (CodePage::IsDBCSLeadByte(b) && i + 1 < n && t[i + 1] != '\r' && t[i + 1] != '\n') len = 2;
    std::u16string u = CodePage::ToUtf16(std::string_view(t).substr(i, len));
    for (char16_t c : u) {
      out.text += QChar(c);
      out.byteAt.push_back(static_cast<int>(i));
    }
    i += len;
  }
  out.byteAt.push_back(static_cast<int>(n));
  auto unitOf = [&out](int byte) {
    auto it = std::lower_bound(out.byteAt.begin(), out.byteAt.end(), byte);
    return static_cast<int>(it - out.byteAt.begin());
  };
  out.cursor = unitOf(s.Cursor);
  out.anchor = unitOf(s.Anchor);
  return out;
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

QRect QtInputMethod::InsertedRect(int clientWidth) const {
  QRect r = PreeditRect();
  if (r.isEmpty()) return r;
  r.setRight(std::max(r.right(), clientWidth - 1));
  return r;
}

void QtInputMethod::PaintPreedit(QPainter& painter) const {
  if (preedit_.isEmpty()) return;
  QRect r = PreeditRect();
  QFontMetrics m(font_);
  painter.save();
  painter.fillRect(r, Qt::white);
  painter.setFont(font_);
  auto xAt = [&](int unit) {
    return point_.x + m.horizontalAdvance(
                          preedit_.left(std::clamp(unit, 0, static_cast<int>(preedit_.size()))));
  };
  const int base = point_.y + m.ascent();
  painter.setPen(Qt::black);
  painter.drawText(QPoint(point_.x, base), preedit_);
  // Segments the input method formats (the one being converted): its colours, or the
  // selection's when it gives a background without a text colour.
  for (const Segment& seg : segments_) {
    const QTextCharFormat& f = seg.format;
    const bool back = f.background().style() != Qt::NoBrush;
    const bool fore = f.foreground().style() != Qt::NoBrush;
    if (!back && !fore) continue;
    QRect band(xAt(seg.start), point_.y, xAt(seg.start + seg.length) - xAt(seg.start), cellHeight_);
    QColor bg = back ? f.background().color() : QColor(Qt::white);
    QColor fg = fore ? f.foreground().color() : back ? QColor(Qt::white) : QColor(Qt::black);
    painter.fillRect(band, bg);
    painter.setPen(fg);
    painter.drawText(QPoint(band.left(), base), preedit_.mid(seg.start, seg.length));
  }
  painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 1), Qt::black);
  if (preeditCursor_ >= 0)
    painter.fillRect(QRect(xAt(preeditCursor_), point_.y, 1, cellHeight_), Qt::black);
  painter.restore();
}

QVariant QtInputMethod::Query(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
      // The candidate list belongs under the segment being converted.
      return QRect(point_.x + PreeditOffset(), point_.y, 1, cellHeight_);
    case Qt::ImFont:
      return font_;
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImSurroundingText:
      return QuerySurrounding().text;
    case Qt::ImCursorPosition:
      return QuerySurrounding().cursor;
    case Qt::ImAnchorPosition:
      return QuerySurrounding().anchor;
    case Qt::ImCurrentSelection: {
      Surrounding s = QuerySurrounding();
      return s.text.mid(std::min(s.cursor, s.anchor), std::abs(s.cursor - s.anchor));
    }
    case Qt::ImTextBeforeCursor: {
      Surrounding s = QuerySurrounding();
      return s.text.left(s.cursor);
    }
    case Qt::ImTextAfterCursor: {
      Surrounding s = QuerySurrounding();
      return s.text.mid(s.cursor);
    }
    default:
      return QVariant();
  }
}

void QtInputMethod::Reset() {
  lateCommit_ = QString();
  composing_ = false;
  preedit_.clear();
  segments_.clear();
  preeditCursor_ = -1;
  current_.clear();
  currentWhich_ = 0;
}
