// Base of the program's own windowed controls: a window procedure over a WindowHost, a
// Surface to draw on at any time, and the framework's input steps that raise the events.
#pragma once
#include <functional>

#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/Surface.h"
#include "platform/WindowHost.h"

class TObject {
 public:
  virtual ~TObject() = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier and button state of an input step (a set of flags, as the framework's TShiftState).
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, unsigned& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender)>;

class TCustomControl : public TObject {
 public:
  TCustomControl();
  ~TCustomControl() override;
  TCustomControl(const TCustomControl&) = delete;
  TCustomControl& operator=(const TCustomControl&) = delete;

  // Puts the control into a window; both must outlive the control's window. Before
  // CreateHandle the control has no window: drawing and host calls are not made.
  void Attach(WindowHost* host, Surface* surface);
  WindowHost* Host() const { return host_; }
  Surface* Canvas() const { return surface_; }

  // --- window lifetime
  // CreateParams, the host creates the window, then WM_CREATE and WM_SIZE are sent.
  void CreateHandle();
  // WM_DESTROY is sent, then the host drops the window (caret, timers, capture).
  void DestroyHandle();
  // Destroys and creates the window again, so CreateParams and WM_CREATE run anew; a
  // focused control gets the focus back (WM_KILLFOCUS before, WM_SETFOCUS after).
  void RecreateWnd();
  bool HandleAllocated() const { return handle_ != 0; }
  // Non-zero while the window exists; plays the part of a window handle.
  unsigned Handle() const { return handle_; }
  // The after-loading step: called once the owner has set the properties.
  virtual void Loaded() {}

  // --- messages
  // Sends a message straight to WndProc and returns its result.
  LRESULT Perform(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Dispatches to the framework's steps below; overrides call it for what they leave.
  virtual void WndProc(TMessage& message);
  // What no step handled: WM_CONTEXTMENU pops PopupMenu up, the rest answers 0.
  virtual void DefaultHandler(TMessage& message);

  // --- painting
  void Invalidate();  // the whole client, painted at the next WM_PAINT
  void InvalidateRect(const TRect& rect, bool erase);
  void Update();   // paints what is invalid now
  void Repaint();  // Invalidate + Update
  // The paint step, called on WM_PAINT.
  virtual void Paint() {}

  // --- size and placement
  TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  int Width() const;  // the whole window, scroll bars and border included
  int Height() const;
  TPoint ClientToScreen(TPoint p) const;

  // --- focus, capture, cursor
  void SetFocus();
  bool Focused() const;
  bool MouseCapture() const { return capture_; }
  void SetMouseCapture(bool on);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c);  // also shown at once when the window exists
  // Modifier keys down now, read from the host's key state.
  TShiftState KeyboardShiftState() const;

  // --- framework steps, each raising its event (overrides call the base to raise it)
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Click();
  virtual void DblClick();
  // Key set to 0 by a step or handler stops the message (WndProc writes it back to WParam).
  virtual void KeyDown(unsigned& Key, TShiftState Shift);
  virtual void KeyUp(unsigned& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();

  // --- text drag inside the control: a press starts it, moves are DragOver, the release
  // drops (on the control itself when the last DragOver accepted) and ends it; Esc cancels.
  // Only this control can be the source and the target.
  void BeginDrag(bool immediate);
  bool Dragging() const { return dragging_; }
  void EndDrag(bool drop);
  virtual void DoStartDrag();
  virtual void DragOver(TObject* Source, int X, int Y, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  // Target is this control after a drop, nullptr after a cancel.
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  // The cursor shown while a drag is over a place that takes the drop.
  TCursor DragCursor = crDrag;
  // Changes DragCursor and shows it at once when a drag is over such a place (Ctrl held or
  // let go during a drag switches between moving and copying).
  void SetDragCursor(TCursor c);

  // --- the framework's published bits
  TPopupMenu* PopupMenu = nullptr;

  TNotifyEvent OnClick, OnDblClick, OnEnter, OnExit;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

 protected:
  // The window styles: the base asks for none; controls add scroll bars and borders.
  virtual void CreateParams(TCreateParams& params);

 private:
  void MouseMessage(TMessage& m);
  void KeyMessage(TMessage& m);
  void ShowCursor(TCursor c);

  WindowHost* host_ = nullptr;
  Surface* surface_ = nullptr;
  unsigned handle_ = 0;
  bool capture_ = false;
  TCursor cursor_ = crDefault;
  bool dragging_ = false;
  bool dragPending_ = false;  // BeginDrag(false): starts once the pointer has moved 5 px
  bool dragAccepted_ = false;
  TPoint dragStart_{};
  TPoint lastMouse_{};
  bool pressed_ = false;  // for Click: the left button went down in this control
};
