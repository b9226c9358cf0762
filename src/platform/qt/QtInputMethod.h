// Between Qt's input method and a control's composition messages: a QInputMethodEvent
// becomes WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION (GCS_COMPSTR while composing,
// GCS_RESULTSTR with the committed text) and WM_IME_ENDCOMPOSITION; the control reads the
// strings back with GetCompositionString. A replacement range (an input method taking text
// back for reconversion) goes to the control as WM_IME_REQUEST, and so do the queries for
// the text around the caret. The composition string is drawn by the host at the composition
// point, because on Linux the input method does not draw it for us.
#pragma once
#include <QFont>
#include <QInputMethodEvent>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QTextCharFormat>
#include <QVariant>
#include <functional>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Messages.h"

class QtInputMethod {
 public:
  using Sender = std::function<LRESULT(unsigned msg, WPARAM wParam, LPARAM lParam)>;
  explicit QtInputMethod(Sender send) : send_(std::move(send)) {}

  // QWidget::inputMethodEvent, forwarded by the host.
  void Event(QInputMethodEvent* event);
  // QWidget::inputMethodQuery, forwarded by the host.
  QVariant Query(Qt::InputMethodQuery query) const;
  // Text that arrives whole (a double-byte character from a key): one composition result.
  void DeliverResult(const std::string& cp932);
  // The string of the message being handled: GCS_RESULTSTR or GCS_COMPSTR.
  std::string CompositionString(unsigned which) const;

  // Where the control wants the composition: top-left in client pixels, and its font.
  void SetCompositionPoint(TPoint p) { point_ = p; }
  TPoint CompositionPoint() const { return point_; }
  void SetFont(const QFont& font, int cellHeight);
  bool Composing() const { return composing_; }
  const QString& Preedit() const { return preedit_; }
  // The area the preedit overlay covers now.
  QRect PreeditRect() const;
  // What a composition changes on screen in a client clientWidth wide: from the composition
  // point to the right edge, where the text after the caret is pushed aside.
  QRect InsertedRect(int clientWidth) const;
  // Draws the composition string at the composition point, underlined, the segment being
  // converted highlighted as the input method formats it, over the client.
  void PaintPreedit(QPainter& painter) const;
  // Ends the composition as if cancelled (window destroyed).
  void Reset();
  // Ends the composition by taking the composition string as it stands as the result
  // (when the input method did not commit it itself). The same text committed by the input
  // method as its next event is then taken as that commit's echo and dropped.
  void CommitPreedit();
  // A key reached the control: a later commit is new text, not an echo.
  void ForgetLateCommit() { lateCommit_ = QString(); }
  // Cursor inside the composition string (UTF-16 units), -1 when hidden.
  int PreeditCursor() const { return preeditCursor_; }

  // The text around the caret as the control reports it, in UTF-16 with the byte offset
  // of each unit (one more entry for the end).
  struct Surrounding {
    QString text;
    std::vector<int> byteAt;
    int cursor = 0;  // UTF-16 units
    int anchor = 0;
  };
  Surrounding QuerySurrounding() const;

 private:
  // Pixels from the composition point to the segment being converted (or the cursor).
  int PreeditOffset() const;

  Sender send_;
  TPoint point_;
  QFont font_;
  int cellHeight_ = 16;
  bool composing_ = false;
  QString preedit_;
  struct Segment {
    int start, length;
    QTextCharFormat format;
  };
  std::vector<Segment> segments_;
  int preeditCursor_ = -1;
  QString lateCommit_;  // what CommitPreedit typed, until the next event
  std::string current_;
  unsigned currentWhich_ = 0;
};
