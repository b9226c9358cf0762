#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCharFormat>
#include <memory>
#include <string>

#include "FenEdit/FenEdit.h"
#include "platform/CodePage.h"
#include "platform/qt/QtWindowHost.h"

namespace {

std::string Cp(const char* utf8) {
  return CodePage::FromUtf8(utf8);
}
QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The editor in a Qt window, offscreen, fed with real Qt key, mouse and input-method events.
class QtInput : public ::testing::Test {
 protected:
  void SetUp() override {
    edit = std::make_unique<TFenEdit>();
    host.Attach(edit.get());
    host.SetCaretBlinking(false);
    host.resize(500, 300);
    host.show();
    edit->CreateHandle();
    QApplication::setActiveWindow(&host);
    host.setFocus();
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(&host, &in);
    QApplication::processEvents();
  }
  void TearDown() override { edit.reset(); }

  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&host, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&host, &release);
  }
  void Type(const QString& text) {
    for (QChar c : text) Key(0, Qt::NoModifier, QString(c));
  }
  void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(p), host.viewport()->mapToGlobal(QPointF(p)), button, buttons,
                  mods);
    QApplication::sendEvent(host.viewport(), &e);
  }
  void Press(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods);
  }
  void MoveTo(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, mods);
  }
  void Release(QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods);
  }
  void Ime(QInputMethodEvent& e) { QApplication::sendEvent(&host, &e); }
  // Client point in the middle of the cell after the given bytes of a row.
  QPoint At(const std::string& before, int row) const {
    return QPoint(edit->TextLeft() + edit->Canvas()->TextWidth(before),
                  edit->GetTopMargin() + row * edit->LineHeight() + edit->LineHeight() / 2);
  }
  std::string Text() const { return edit->GetText(); }

  QtWindowHost host;
  std::unique_ptr<TFenEdit> edit;
};

}  // namespace

TEST_F(QtInput, KeyEventsEditMoveAndSelect) {
  edit->SetText("");
  Type("abc");
  Key(Qt::Key_Left);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ("b", edit->GetSelText());
  Type("X");
  EXPECT_EQ("aXc", Text());
  Key(Qt::Key_Return, Qt::NoModifier, "\r");
  Key(Qt::Key_Tab, Qt::NoModifier, "\t");
  Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
  // A double-byte character typed by the keyboard layout comes as one input-method result.
  Key(0, Qt::NoModifier, Q("あ"));
  EXPECT_EQ("aX\r\n" + Cp("あ") + "c", Text());
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(), edit->GetSelText());
  Key(Qt::Key_Z, Qt::ControlModifier, "\x1a");  // Ctrl+Z: undo, and no typed byte
  Key(Qt::Key_Z, Qt::ControlModifier, "\x1a");
  EXPECT_EQ("aX\r\n\tc", Text());  // the second undo brings back the tab Backspace took
  EXPECT_EQ((TRowPos{1, 1}), edit->Caret());
}

TEST_F(QtInput, ConvertKeyWithASelectionAsksForReconversion) {
  edit->SetText(Cp("今日は日本です"));
  int asked = 0;
  edit->OnIMEReConvert = [&](TObject*) { ++asked; };
  Key(Qt::Key_Right);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Henkan);
  EXPECT_EQ(1, asked);
  EXPECT_EQ((TRowPos{2, 0}), edit->Caret());
  EXPECT_EQ(Cp("日"), edit->GetSelText());
  Key(Qt::Key_Muhenkan);
  EXPECT_EQ(1, asked);
}

TEST_F(QtInput, CompositionShowsAtTheCaretAndCommitsOnce) {
  edit->SetText("ab");
  Key(Qt::Key_Right);
  std::vector<std::string> log;
  edit->OnIMEChanging = [&](TObject*) { log.push_back("changing"); };
  edit->OnIMEChanged = [&](TObject*) { log.push_back("changed"); };
  QTextCharFormat converting;
  converting.setBackground(Qt::black);
  converting.setForeground(Qt::white);
  QList<QInputMethodEvent::Attribute> attrs{{QInputMethodEvent::TextFormat, 0, 2, converting},
                                            {QInputMethodEvent::Cursor, 2, 1, QVariant()}};
  QInputMethodEvent preedit(Q("にほんご"), attrs);
  Ime(preedit);
  EXPECT_TRUE(edit->Composing());
  EXPECT_EQ("ab", Text());  // the composition is drawn, not typed
  // Drawn at the caret, in the control's font: dark ink there, the converted segment inverted.
  QImage shown = host.viewport()->grab().toImage();
  const QPoint at = At("a", 0);
  int ink = 0;
  for (int x = at.x(); x < at.x() + 40; ++x)
    if (qGray(shown.pixel(x, at.y())) < 100) ++ink;
  EXPECT_GT(ink, 10);
  // The candidate window goes under the segment being converted, margins included.
  QRect cursor = host.inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(host.viewport()->pos().x() + at.x(), cursor.x());
  EXPECT_EQ(host.viewport()->pos().y() + edit->GetTopMargin(), cursor.y());

  QInputMethodEvent commit;
  commit.setCommitString(Q("日本語"));
  Ime(commit);
  EXPECT_FALSE(edit->Composing());
  EXPECT_EQ("a" + Cp("日本語") + "b", Text());
  EXPECT_EQ((std::vector<std::string>{"changing", "changed"}), log);

  // Cancelled: the preedit goes, nothing is typed.
  QInputMethodEvent again(Q("かんじ"), {});
  Ime(again);
  QInputMethodEvent cancel;
  Ime(cancel);
  EXPECT_FALSE(edit->Composing());
  EXPECT_EQ("a" + Cp("日本語") + "b", Text());
}

TEST_F(QtInput, ReconversionReplacesTheSelectionThroughTheSurroundingText) {
  edit->SetText(Cp("今日は日本です") + "\r\n" + Cp("次"));
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Q("今日は日本です"), host.inputMethodQuery(Qt::ImSurroundingText).toString());
  EXPECT_EQ(5, host.inputMethodQuery(Qt::ImCursorPosition).toInt());
  EXPECT_EQ(3, host.inputMethodQuery(Qt::ImAnchorPosition).toInt());
  EXPECT_EQ(Q("日本"), host.inputMethodQuery(Qt::ImCurrentSelection).toString());
  EXPECT_TRUE(host.inputMethodQuery(Qt::ImEnabled).toBool());
  EXPECT_TRUE(host.inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhMultiLine);
  EXPECT_FALSE(host.inputMethodQuery(Qt::ImFont).value<QFont>().family().isEmpty());

  // The input method takes the selection back and composes its reading.
  QInputMethodEvent take(Q("にほん"), {});
  take.setCommitString(QString(), -2, 2);
  Ime(take);
  EXPECT_EQ(Cp("今日はです") + "\r\n" + Cp("次"), Text());
  QInputMethodEvent commit;
  commit.setCommitString(Q("二本"));
  Ime(commit);
  EXPECT_EQ(Cp("今日は二本です") + "\r\n" + Cp("次"), Text());
  EXPECT_EQ(Q("今日は二本です"), host.inputMethodQuery(Qt::ImSurroundingText).toString());
  EXPECT_EQ(5, host.inputMethodQuery(Qt::ImCursorPosition).toInt());

  host.SetImeOpenStatus(false);
  EXPECT_FALSE(host.inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(QtInput, PressAndProgramMovesCommitThePendingComposition) {
  edit->SetText("abcd");
  QInputMethodEvent preedit(Q("かな"), {});
  Ime(preedit);
  const QPoint afterB = At(Cp("かな") + "ab", 0);
  Press(afterB);
  Release(afterB);
  // Committed where the caret stood before the click, then the click moved the caret.
  EXPECT_EQ(Cp("かな") + "abcd", Text());
  EXPECT_FALSE(edit->Composing());
  EXPECT_EQ((TRowPos{6, 0}), edit->Caret());

  if (!host.hasFocus()) GTEST_SKIP() << "the offscreen window did not take the focus";
  QInputMethodEvent more(Q("え"), {});
  Ime(more);
  edit->GotoPos(0, 0, TCaretPlacement::Minimal);  // the program moves the caret
  EXPECT_TRUE(edit->Composing());
  QApplication::processEvents();  // the queued commit, after the program's step
  EXPECT_FALSE(edit->Composing());
  EXPECT_EQ(Cp("えかな") + "abcd", Text());  // where the caret went
}

TEST_F(QtInput, MouseDragSelects) {
  edit->SetText("hello\r\nworld");
  Press(At("h", 0));
  MoveTo(At("hell", 0));
  MoveTo(At("wo", 1));
  Release(At("wo", 1));
  EXPECT_EQ("ello\r\nwo", edit->GetSelText());
  EXPECT_EQ((TRowPos{2, 1}), edit->Caret());
  Press(At("wor", 1), Qt::ShiftModifier);
  Release(At("wor", 1), Qt::ShiftModifier);
  EXPECT_EQ("ello\r\nwor", edit->GetSelText());
}

TEST_F(QtInput, DragAndDropMovesALine) {
  Q_INIT_RESOURCE(resources);
  edit->SetText("one\r\ntwo\r\nthree\r\n");
  QPoint margin(2, At("", 0).y());
  Press(margin);
  Release(margin);
  ASSERT_EQ("one\r\n", edit->GetSelText());
  Press(At("o", 0));
  EXPECT_TRUE(edit->DraggingText());
  MoveTo(At("", 1));
  MoveTo(At("", 2));
  // The drawn move cursor from the program's resources.
  QPixmap shown = host.viewport()->cursor().pixmap();
  EXPECT_EQ(QSize(32, 32), shown.size());
  Release(At("", 2));
  EXPECT_EQ("two\r\none\r\nthree\r\n", Text());
  EXPECT_FALSE(edit->DraggingText());

  // With Ctrl held the text is copied.
  Press(margin);
  Release(margin);
  Press(At("t", 0));
  MoveTo(At("", 2), Qt::ControlModifier);
  Release(At("", 2), Qt::ControlModifier);
  EXPECT_EQ("two\r\none\r\ntwo\r\nthree\r\n", Text());
}

// fcitx5 with Mozc commits the composition again, later, when a click has already committed
// it: that echo is not typed a second time; a new commit after a key is.
TEST_F(QtInput, CompositionCommittedByAClickIsNotTypedAgainByALateEcho) {
  edit->SetText("ab");
  QInputMethodEvent preedit(Q("かな"), {});
  Ime(preedit);
  Press(At("ab", 0));
  Release(At("ab", 0));
  EXPECT_EQ(Cp("かな") + "ab", Text());
  QInputMethodEvent echo;
  echo.setCommitString(Q("かな"));
  Ime(echo);
  EXPECT_EQ(Cp("かな") + "ab", Text());
  Key(Qt::Key_End);
  QInputMethodEvent again;
  again.setCommitString(Q("かな"));
  Ime(again);
  EXPECT_EQ(Cp("かな") + "ab" + Cp("かな"), Text());
}
