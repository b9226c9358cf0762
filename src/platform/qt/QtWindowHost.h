// The Qt window of one TCustomControl: a scroll area whose viewport is the client. Qt events
// become the control's messages; the control draws at any time into a persistent backing
// image (QtSurface), and paintEvent copies only what was touched. The caret is a blinking
// overlay drawn here, never baked into the image.
#pragma once
#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QTimer>
#include <map>
#include <memory>

#include "platform/CustomControl.h"
#include "platform/WindowHost.h"
#include "platform/qt/QtInputMethod.h"
#include "platform/qt/QtSurface.h"

class QtWindowHost : public QAbstractScrollArea, public WindowHost {
  Q_OBJECT

 public:
  explicit QtWindowHost(QWidget* parent = nullptr);
  // Destroys the control's window if it still exists; delete the control before the host.
  ~QtWindowHost() override;

  // Puts the control into this window (Attach with the host's surface).
  void Attach(TCustomControl* control);
  TCustomControl* Control() const { return control_; }
  QtSurface& Canvas() { return surface_; }
  // The backing image (device pixels, with its device pixel ratio set).
  const QImage& BackingImage() const;
  QtInputMethod& InputMethod() { return ime_; }
  // Sends a message to the control when its window exists; 0 otherwise.
  LRESULT Send(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The image of an application cursor slot (1 DragCur1, 2 DragCur2 are drawn by default).
  static void SetCursorImage(TCursor slot, const QCursor& cursor);
  static QCursor CursorFor(TCursor cursor);
  // Whether the caret overlay is in its visible blink phase (tests may stop the blinking).
  bool CaretBlinkOn() const { return blinkOn_; }
  void SetCaretBlinking(bool blinking);

  // --- WindowHost
  unsigned CreateWindow(const TCreateParams& params) override;
  void DestroyWindow() override;
  TRect ClientRect() override;
  TSize WindowSize() override;
  int ScrollBarSize(unsigned bar) override;
  TPoint ClientToScreen(TPoint p) override;
  void Invalidate(const TRect* rect, bool erase) override;
  void Update() override;
  void ScrollWindow(int dx, int dy, const TRect* rect) override;
  bool CreateCaret(int width, int height) override;
  void DestroyCaret() override;
  void SetCaretPos(int x, int y) override;
  bool ShowCaret() override;
  bool HideCaret() override;
  void SetScrollRange(unsigned bar, int min, int max, bool redraw) override;
  void SetScrollPos(unsigned bar, int pos, bool redraw) override;
  int GetScrollPos(unsigned bar) override;
  void EnableScrollBar(unsigned bar, bool enable) override;
  void ShowScrollBar(unsigned bar, bool show) override;
  void SetTimer(unsigned id, unsigned ms) override;
  void KillTimer(unsigned id) override;
  void SetFocus() override;
  bool Focused() override { return controlFocused_; }
  // Qt already sends the moves of a held button here wherever the pointer goes; capture
  // without a button held is not needed by the control and not grabbed.
  void SetCapture() override {}
  void ReleaseCapture() override {}
  void SetCursor(TCursor cursor) override;
  short GetKeyState(unsigned vk) override;
  void GetKeyboardState(unsigned char state[256]) override;
  void SetCompositionWindow(TPoint p) override;
  bool SetCompositionFont(const TFontSpec& font) override;
  std::string GetCompositionString(unsigned which) override;
  void CompleteComposition() override;
  void SetImeOpenStatus(bool open) override;
  bool GetImeOpenStatus() override;

  // The caret overlay's rectangle in client pixels (empty when not shown).
  QRect CaretRect() const;
  // Answered from the control's composition window and font.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  bool event(QEvent* e) override;
  bool viewportEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  QSize sizeHint() const override { return QSize(400, 300); }
  // The control moves its own pixels (ScrollWindow); the bars only report.
  void scrollContentsBy(int, int) override {}

 private:
  void ViewportResized();
  void EnsureImage();
  void ProcessPendingPaint();
  void ScrollAction(unsigned bar, int action);
  void UpdateCaretArea();
  void BlinkTick();
  LRESULT MouseMessage(unsigned msg, QMouseEvent* e);
  unsigned MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) const;
  void TrackKey(unsigned vk, bool down);

  TCustomControl* control_ = nullptr;
  QtSurface surface_;
  QtInputMethod ime_;
  QImage image_;
  qreal dpr_ = 1;
  unsigned handle_ = 0;
  unsigned nextHandle_ = 1;
  TCreateParams params_;
  bool controlFocused_ = false;
  bool inPaint_ = false;
  QRect invalid_;
  bool invalidErase_ = false;
  std::map<int, unsigned> timers_;  // Qt timer id -> control's timer id

  struct Caret {
    bool exists = false;
    int width = 0, height = 0, x = 0, y = 0;
    int hideCount = 0;
  } caret_;
  QRect caretDrawn_;
  QTimer blink_;
  bool blinkOn_ = true;
  bool blinking_ = true;

  // Inside the handling of a Qt input event (keys, mouse, input method, scroll bars): caret
  // moves then come from the user, not from the program.
  struct InputScope {
    explicit InputScope(int& depth) : depth_(depth) { ++depth_; }
    ~InputScope() { --depth_; }
    int& depth_;
  };
  int inputDepth_ = 0;
  bool commitQueued_ = false;
  // Modifiers and buttons of the key or mouse event being handled, for GetKeyState.
  struct EventStateData {
    bool active = false;
    Qt::KeyboardModifiers mods;
    Qt::MouseButtons buttons;
  } eventState_;
  struct EventState {
    EventState(EventStateData& d, Qt::KeyboardModifiers mods, Qt::MouseButtons buttons)
        : d_(d), saved_(d) {
      d_ = EventStateData{true, mods, buttons};
    }
    ~EventState() { d_ = saved_; }
    EventStateData& d_;
    EventStateData saved_;
  };

  int scrollPos_[2] = {0, 0};  // what the control set, by SB_HORZ / SB_VERT
  unsigned char keys_[256] = {};
};
