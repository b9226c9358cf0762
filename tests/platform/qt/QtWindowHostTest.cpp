#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtWindowHost.h"

namespace {

// Paints the client in one colour and keeps a log of the messages it cares about.
class Painter : public TCustomControl {
 public:
  TColor background = clWhite;
  TCreateParams wanted;
  bool wantTabs = true;
  std::vector<std::string> log;
  std::vector<unsigned> keys, chars;
  std::string result;
  int paints = 0;

  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_SIZE:
        log.push_back("size");
        break;
      case WM_SETFOCUS:
        log.push_back("setfocus");
        break;
      case WM_KILLFOCUS:
        log.push_back("killfocus");
        break;
      case WM_VSCROLL:
        log.push_back("vscroll " + std::to_string(LoWord(m.WParam)) + " " +
                      std::to_string(HiWord(m.WParam)));
        if (LoWord(m.WParam) == SB_LINEDOWN) Host()->SetScrollPos(SB_VERT, 7, true);
        break;
      case WM_MOUSEWHEEL:
        log.push_back("wheel " + std::to_string(HiShort(m.WParam)));
        break;
      case WM_LBUTTONDBLCLK:
        log.push_back("dblclk");
        break;
      case WM_RBUTTONDOWN:
        log.push_back("rdown");
        break;
      case WM_CONTEXTMENU:
        log.push_back("contextmenu " + std::to_string(m.LParam));
        break;
      case WM_LBUTTONDOWN:
        log.push_back("down " + std::to_string(LoShort(static_cast<std::uintptr_t>(m.LParam))) +
                      "," + std::to_string(HiShort(static_cast<std::uintptr_t>(m.LParam))));
        break;
      case WM_KEYDOWN:
        keys.push_back(static_cast<unsigned>(m.WParam));
        break;
      case WM_SYSKEYDOWN:
        keys.push_back(0x10000u | static_cast<unsigned>(m.WParam));
        break;
      case WM_KEYUP:
        log.push_back("keyup " + std::to_string(m.WParam));
        break;
      case WM_CHAR:
        chars.push_back(static_cast<unsigned>(m.WParam));
        break;
      case WM_SYSCHAR:
        chars.push_back(0x10000u | static_cast<unsigned>(m.WParam));
        break;
      case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (wantTabs ? DLGC_WANTTAB : 0);
        return;
      case WM_IME_STARTCOMPOSITION:
        log.push_back("imestart");
        break;
      case WM_IME_ENDCOMPOSITION:
        log.push_back("imeend");
        break;
      case WM_IME_COMPOSITION:
        if (m.LParam & GCS_RESULTSTR) result += Host()->GetCompositionString(GCS_RESULTSTR);
        log.push_back("ime " + std::to_string(m.LParam));
        break;
      default:
        break;
    }
    TCustomControl::WndProc(m);
  }
  void Paint() override {
    ++paints;
    Canvas()->FillRect(ClientRect(), background);
  }

 protected:
  void CreateParams(TCreateParams& p) override { p = wanted; }
};

struct QtHost : testing::Test {
  QtWindowHost host;
  Painter control;
  void SetUp() override {
    host.resize(300, 200);
    host.Attach(&control);
  }
  void TearDown() override { control.DestroyHandle(); }
  void Create(unsigned style = 0) {
    control.wanted.Style = style;
    control.CreateHandle();
    host.show();
    QApplication::processEvents();
  }
  QImage Screen() { return host.viewport()->grab().toImage(); }
};

TEST_F(QtHost, PaintsThroughTheBackingImageAndCopiesOnlyTouchedParts) {
  control.background = clYellow;
  Create();
  QImage shown = Screen();
  EXPECT_EQ(QColor(255, 255, 0).rgb(), shown.pixel(10, 10));
  EXPECT_EQ(QColor(255, 255, 0).rgb(), shown.pixel(299, 199));
  int paints = control.paints;

  // The control draws at any time, outside WM_PAINT; only that rectangle changes.
  control.Canvas()->FillRect(TRect{20, 30, 40, 50}, clRed);
  QImage image = host.BackingImage();
  EXPECT_EQ(QColor(255, 0, 0).rgb(), image.pixel(20, 30));
  EXPECT_EQ(QColor(255, 0, 0).rgb(), image.pixel(39, 49));
  EXPECT_EQ(QColor(255, 255, 0).rgb(), image.pixel(40, 50));
  EXPECT_EQ(QColor(255, 255, 0).rgb(), image.pixel(19, 30));
  shown = Screen();
  EXPECT_EQ(QColor(255, 0, 0).rgb(), shown.pixel(25, 35));
  EXPECT_EQ(QColor(255, 255, 0).rgb(), shown.pixel(45, 35));
  EXPECT_EQ(paints, control.paints);  // copying to the screen asks the control for nothing
}

TEST_F(QtHost, InvalidateRunsOnePaintClippedToTheInvalidArea) {
  Create();
  int paints = control.paints;
  control.background = clBlue;
  control.InvalidateRect(TRect{0, 0, 10, 10}, false);
  control.InvalidateRect(TRect{5, 5, 20, 20}, false);
  control.Update();
  EXPECT_EQ(paints + 1, control.paints);
  QImage image = host.BackingImage();
  EXPECT_EQ(QColor(0, 0, 255).rgb(), image.pixel(0, 0));
  EXPECT_EQ(QColor(0, 0, 255).rgb(), image.pixel(19, 19));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(20, 20));
  QApplication::processEvents();
  EXPECT_EQ(paints + 1, control.paints);  // nothing was left for the paint event
}

TEST_F(QtHost, ScrollWindowMovesPixelsAndRepaintsTheStrip) {
  Create();
  for (int x = 0; x < 300; x += 20) control.Canvas()->FillRect(TRect{x, 0, x + 10, 200}, clBlack);
  int paints = control.paints;
  control.background = clRed;
  TRect area{100, 0, 300, 200};
  host.ScrollWindow(-5, 0, &area);
  QImage image = host.BackingImage();
  // The stripe at 120..129 now stands at 115..124; left of the area nothing moved.
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(114, 50));
  EXPECT_EQ(QColor(0, 0, 0).rgb(), image.pixel(115, 50));
  EXPECT_EQ(QColor(0, 0, 0).rgb(), image.pixel(124, 50));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(125, 50));
  EXPECT_EQ(QColor(0, 0, 0).rgb(), image.pixel(100, 50));  // from 105
  EXPECT_EQ(QColor(0, 0, 0).rgb(), image.pixel(89, 50));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(99, 50));
  control.Update();
  EXPECT_EQ(paints + 1, control.paints);
  image = host.BackingImage();
  EXPECT_EQ(QColor(255, 0, 0).rgb(), image.pixel(295, 50));  // the uncovered strip
  EXPECT_EQ(QColor(255, 255, 255).rgb(), image.pixel(294, 50));
}

TEST_F(QtHost, CaretIsAnOverlayThatInvertsAndNeverReachesTheImage) {
  Create();
  host.SetCaretBlinking(false);
  ASSERT_TRUE(host.CreateCaret(2, 16));
  host.SetCaretPos(50, 60);
  EXPECT_TRUE(host.CaretRect().isEmpty());  // created hidden
  host.ShowCaret();
  EXPECT_EQ(QRect(50, 60, 2, 16), host.CaretRect());
  QImage shown = Screen();
  EXPECT_EQ(QColor(0, 0, 0).rgb(), shown.pixel(50, 60));
  EXPECT_EQ(QColor(0, 0, 0).rgb(), shown.pixel(51, 75));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), shown.pixel(52, 60));
  EXPECT_EQ(QColor(255, 255, 255).rgb(), host.BackingImage().pixel(50, 60));
  host.HideCaret();
  EXPECT_EQ(QColor(255, 255, 255).rgb(), Screen().pixel(50, 60));
}

TEST_F(QtHost, ScrollBarsFollowTheControlAndReportActions) {
  Create(WS_VSCROLL);
  QScrollBar* bar = host.verticalScrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_FALSE(host.horizontalScrollBar()->isVisible());
  EXPECT_EQ(300 - host.ScrollBarSize(SB_VERT), control.ClientWidth());
  host.SetScrollRange(SB_VERT, 0, 100, true);
  host.SetScrollPos(SB_VERT, 5, true);
  EXPECT_EQ(5, bar->value());
  control.log.clear();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ((std::vector<std::string>{"vscroll 1 0", "vscroll 2 0"}), control.log);
  bar->setSliderDown(true);
  bar->setSliderPosition(42);
  bar->setSliderDown(false);
  EXPECT_EQ("vscroll 5 42", control.log[2]);  // a thumb drag reports where the thumb is
  EXPECT_EQ(7, bar->value());                 // where the control put it, not where Qt stepped to
  host.EnableScrollBar(SB_VERT, false);
  EXPECT_FALSE(bar->isEnabled());
  host.ShowScrollBar(SB_VERT, false);
  QApplication::processEvents();
  EXPECT_EQ(300, control.ClientWidth());
  EXPECT_EQ("size", control.log.back());  // the client grew: the control heard of it
}

TEST_F(QtHost, KeysBecomeKeyDownAndCharMessages) {
  Create();
  QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
  QKeyEvent altF(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f");
  QKeyEvent kana(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ｱ"));
  QKeyEvent kanji(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("日"));
  for (QKeyEvent* e : {&a, &enter, &del, &altF, &kana, &kanji}) QApplication::sendEvent(&host, e);
  EXPECT_EQ((std::vector<unsigned>{'A', VK_RETURN, VK_DELETE, 0x10000u | 'F'}), control.keys);
  EXPECT_EQ((std::vector<unsigned>{'a', '\r', 0x10000u | 'f', 0xB1}), control.chars);
  // A double-byte character typed directly arrives as a composition result.
  EXPECT_EQ("\x93\xfa", control.result);

  control.log.clear();
  QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(&host, &repeatUp);
  QApplication::sendEvent(&host, &up);
  EXPECT_EQ((std::vector<std::string>{"keyup 40"}), control.log);  // repeats bring no release
}

TEST_F(QtHost, TabReachesTheControlOnlyWhenItWantsTabs) {
  Create();
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
  QApplication::sendEvent(&host, &tab);
  EXPECT_EQ((std::vector<unsigned>{VK_TAB}), control.keys);
  control.wantTabs = false;
  QKeyEvent tab2(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
  QApplication::sendEvent(&host, &tab2);
  EXPECT_EQ(1u, control.keys.size());
}

TEST_F(QtHost, InputMethodEventsBecomeCompositionMessages) {
  Create();
  control.log.clear();
  host.SetCompositionFont(TFontSpec{"FixedSys", 19, false, false, false, clBlack});
  host.SetCompositionWindow(TPoint{100, 80});
  QInputMethodEvent preedit(QString::fromUtf8("にほん"), {});
  QApplication::sendEvent(&host, &preedit);
  EXPECT_TRUE(host.InputMethod().Composing());
  // The composition string is drawn over the client, never into the control's image.
  QImage shown = Screen();
  int ink = 0;
  for (int y = 80; y < 99; ++y)
    for (int x = 100; x < 160; ++x)
      if (qGray(shown.pixel(x, y)) < 128) ++ink;
  EXPECT_GT(ink, 20);
  EXPECT_EQ(QColor(255, 255, 255).rgb(), shown.pixel(99, 85));
  EXPECT_EQ(0, std::count_if(host.BackingImage().constBits(),
                             host.BackingImage().constBits() + host.BackingImage().sizeInBytes(),
                             [](uchar b) { return b != 0xFF; }));
  EXPECT_EQ("\x82\xc9\x82\xd9\x82\xf1",
            CodePage::FromUtf16(std::u16string(
                reinterpret_cast<const char16_t*>(host.InputMethod().Preedit().utf16()))));
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("日本"));
  QApplication::sendEvent(&host, &commit);
  EXPECT_FALSE(host.InputMethod().Composing());
  EXPECT_EQ((std::vector<std::string>{"imestart", "ime 8", "ime 2048", "imeend"}), control.log);
  EXPECT_EQ("\x93\xfa\x96\x7b", control.result);
  EXPECT_EQ("", host.GetCompositionString(GCS_RESULTSTR));

  EXPECT_EQ(QColor(255, 255, 255).rgb(), Screen().pixel(110, 90));  // gone with the end
  host.SetCompositionWindow(TPoint{40, 50});
  EXPECT_EQ(QRect(40, 50, 1, 19).translated(host.viewport()->pos()),
            host.inputMethodQuery(Qt::ImCursorRectangle).toRect());
  host.SetImeOpenStatus(false);
  EXPECT_FALSE(host.GetImeOpenStatus());
  EXPECT_FALSE(host.inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(QtHost, CompositionPushesTheTextAfterItAsideUntilItEnds) {
  Create();
  host.SetCompositionFont(TFontSpec{"FixedSys", 19, false, false, false, clBlack});
  // "Text" after the caret: a red bar at 120..129 on the caret's row, one on the next row.
  control.Canvas()->FillRect(TRect{120, 80, 130, 99}, clRed);
  control.Canvas()->FillRect(TRect{120, 110, 130, 129}, clRed);
  host.SetCompositionWindow(TPoint{100, 80});
  const QRgb red = QColor(255, 0, 0).rgb();
  ASSERT_EQ(red, Screen().pixel(125, 90));

  QInputMethodEvent preedit(QString::fromUtf8("にほん"), {});
  QApplication::sendEvent(&host, &preedit);
  const int room = host.InputMethod().PreeditRect().width();
  ASSERT_GT(room, 30);
  QImage shown = Screen();
  EXPECT_EQ(red, shown.pixel(120 + room, 90));
  EXPECT_EQ(red, shown.pixel(129 + room, 90));
  EXPECT_NE(red, shown.pixel(130 + room, 90));
  EXPECT_NE(red, shown.pixel(125, 90));                // under the composition now
  EXPECT_EQ(red, shown.pixel(125, 115));               // other rows stay
  EXPECT_EQ(red, host.BackingImage().pixel(125, 90));  // nothing reaches the image

  // A longer composition pushes further; a shorter one lets the text come back.
  QInputMethodEvent longer(QString::fromUtf8("にほんご"), {});
  QApplication::sendEvent(&host, &longer);
  const int wider = host.InputMethod().PreeditRect().width();
  ASSERT_GT(wider, room);
  EXPECT_EQ(red, Screen().pixel(120 + wider, 90));
  QApplication::sendEvent(&host, &preedit);
  EXPECT_EQ(red, Screen().pixel(120 + room, 90));
  EXPECT_NE(red, Screen().pixel(120 + wider + 9, 90));

  // Cancelled: the text is back where it was, and nothing was typed.
  control.result.clear();
  QInputMethodEvent cancel;
  QApplication::sendEvent(&host, &cancel);
  EXPECT_FALSE(host.InputMethod().Composing());
  shown = Screen();
  EXPECT_EQ(red, shown.pixel(125, 90));
  EXPECT_NE(red, shown.pixel(120 + room, 90));
  EXPECT_EQ("", control.result);
}

TEST_F(QtHost, WheelAndMouseCarryRawValues) {
  Create();
  control.log.clear();
  QWheelEvent wheel(QPointF(10, 10), host.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                    QPoint(0, -60), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(host.viewport(), &wheel);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(12, 34),
                    host.viewport()->mapToGlobal(QPointF(12, 34)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(host.viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(12, 34),
                      host.viewport()->mapToGlobal(QPointF(12, 34)), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(host.viewport(), &release);
  std::vector<std::string> seen;  // focus messages may come between; they are not the point
  for (const std::string& s : control.log)
    if (s.rfind("wheel", 0) == 0 || s.rfind("down", 0) == 0) seen.push_back(s);
  EXPECT_EQ((std::vector<std::string>{"wheel -60", "down 12,34"}), seen);
}

TEST_F(QtHost, TimersAndDestroyedWindowsSendNothing) {
  Create();
  host.SetTimer(1, 40);
  control.DestroyHandle();
  EXPECT_EQ(0, host.Send(WM_GETDLGCODE));
  EXPECT_FALSE(host.CreateCaret(2, 10));
  control.CreateHandle();
  EXPECT_NE(0, host.Send(WM_GETDLGCODE));
}

TEST(QtClipboard, JapaneseRoundTripThroughTheSystemClipboard) {
  QtClipboard clipboard;
  const std::string text = "\x93\xfa\x96\x7b\x8c\xea\r\nabc\xb1";  // 日本語 CR LF abc ｱ
  ASSERT_TRUE(clipboard.SetText(text));
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_EQ(text, clipboard.GetText());
  EXPECT_EQ(QString::fromUtf8("日本語\nabcｱ"), QApplication::clipboard()->text());
  QApplication::clipboard()->clear();
  EXPECT_FALSE(clipboard.HasText());
  EXPECT_EQ("", clipboard.GetText());
}

TEST_F(QtHost, DoubleClicksRightPressesAndTheMenuKey) {
  Create();
  control.log.clear();
  QPointF at(5, 6);
  QPointF global = host.viewport()->mapToGlobal(at);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(host.viewport(), &dbl);
  QMouseEvent right(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QApplication::sendEvent(host.viewport(), &right);
  // The platform's own context-menu request after a right press brings nothing more: the
  // control pops its menu up on the press.
  QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, at.toPoint(), global.toPoint());
  QApplication::sendEvent(host.viewport(), &fromMouse);
  QKeyEvent menuDown(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
  QKeyEvent menuUp(QEvent::KeyRelease, Qt::Key_Menu, Qt::NoModifier);
  QApplication::sendEvent(&host, &menuDown);
  QApplication::sendEvent(&host, &menuUp);
  std::vector<std::string> seen;
  for (const std::string& e : control.log)
    if (e != "setfocus" && e != "killfocus") seen.push_back(e);
  EXPECT_EQ((std::vector<std::string>{"dblclk", "rdown", "keyup 93", "contextmenu -1"}), seen);
}

TEST_F(QtHost, FocusMessagesFollowQtFocusButNotMenus) {
  Create();
  QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&host, &out);  // whatever showing the window did
  control.log.clear();
  QApplication::sendEvent(&host, &in);
  EXPECT_TRUE(control.Focused());
  QApplication::sendEvent(&host, &popup);  // an open menu keeps the focus where it was
  EXPECT_TRUE(control.Focused());
  QApplication::sendEvent(&host, &out);
  EXPECT_FALSE(control.Focused());
  EXPECT_EQ((std::vector<std::string>{"setfocus", "killfocus"}), control.log);
}

}  // namespace
