#include "platform/CustomControl.h"

#include <cstdlib>

namespace {
// How far the pointer moves before a deferred drag starts, as the framework's default.
constexpr int kDragThreshold = 5;
}  // namespace

TCustomControl::TCustomControl() = default;

TCustomControl::~TCustomControl() {
  // No WM_DESTROY here: the derived part is gone. Derived controls that care destroy first.
  if (handle_ != 0 && host_ != nullptr) host_->DestroyWindow();
}

void TCustomControl::Attach(WindowHost* host, Surface* surface) {
  host_ = host;
  surface_ = surface;
}

void TCustomControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
}

void TCustomControl::CreateHandle() {
  if (host_ == nullptr || handle_ != 0) return;
  TCreateParams params;
  CreateParams(params);
  handle_ = host_->CreateWindow(params);
  host_->SetCursor(cursor_);
  Perform(WM_CREATE);
  TRect r = host_->ClientRect();
  Perform(WM_SIZE, 0, static_cast<LPARAM>(MakeLong(r.Width(), r.Height())));
}

void TCustomControl::DestroyHandle() {
  if (handle_ == 0) return;
  if (Focused()) Perform(WM_KILLFOCUS);  // a window loses the focus as it goes
  Perform(WM_DESTROY);
  host_->DestroyWindow();
  handle_ = 0;
  capture_ = false;
  dragging_ = dragPending_ = pressed_ = false;
}

void TCustomControl::RecreateWnd() {
  bool wasFocused = Focused();
  DestroyHandle();
  CreateHandle();
  if (wasFocused) SetFocus();
}

LRESULT TCustomControl::Perform(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WndProc(m);
  return m.Result;
}

void TCustomControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      Paint();
      m.Result = 0;
      return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      MouseMessage(m);
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      KeyMessage(m);
      return;
    case WM_SETFOCUS:
      DoEnter();
      m.Result = 0;
      return;
    case WM_KILLFOCUS:
      DoExit();
      m.Result = 0;
      return;
    case WM_CANCELMODE:
      if (dragging_) EndDrag(false);
      dragPending_ = pressed_ = false;
      SetMouseCapture(false);
      m.Result = 0;
      return;
    default:
      DefaultHandler(m);
  }
}

void TCustomControl::DefaultHandler(TMessage& m) {
  if (m.Msg == WM_CONTEXTMENU && PopupMenu != nullptr) {
    TPoint p{LoShort(static_cast<std::uintptr_t>(m.LParam)),
             HiShort(static_cast<std::uintptr_t>(m.LParam))};
    if (m.LParam == -1) p = ClientToScreen(TPoint{0, 0});  // from the keyboard
    PopupMenu->Popup(p.x, p.y);
  }
  m.Result = 0;
}

void TCustomControl::MouseMessage(TMessage& m) {
  m.Result = 0;
  int x = LoShort(static_cast<std::uintptr_t>(m.LParam));
  int y = HiShort(static_cast<std::uintptr_t>(m.LParam));
  TShiftState shift = 0;
  if (m.WParam & MK_SHIFT) shift |= ssShift;
  if (m.WParam & MK_CONTROL) shift |= ssCtrl;
  if (m.WParam & MK_LBUTTON) shift |= ssLeft;
  if (m.WParam & MK_RBUTTON) shift |= ssRight;
  if (m.WParam & MK_MBUTTON) shift |= ssMiddle;
  if (host_ != nullptr && host_->GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  lastMouse_ = TPoint{x, y};
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      if (dragPending_ && (std::abs(x - dragStart_.x) >= kDragThreshold ||
                           std::abs(y - dragStart_.y) >= kDragThreshold)) {
        BeginDrag(true);  // which asks DragOver at this point already
        return;
      }
      if (dragging_) {
        bool accept = false;
        DragOver(this, x, y, accept);
        dragAccepted_ = accept;
        ShowCursor(accept ? DragCursor : crNoDrop);
        return;
      }
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
      if (dragging_) return;
      SetMouseCapture(true);
      pressed_ = true;
      MouseDown(TMouseButton::mbLeft, shift, x, y);
      return;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: the double-click step, then a press with ssDouble.
      if (dragging_) return;
      SetMouseCapture(true);
      DblClick();
      MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
      return;
    case WM_LBUTTONUP: {
      dragPending_ = false;
      if (dragging_) {
        EndDrag(dragAccepted_);
        return;
      }
      SetMouseCapture(false);
      bool clicked = pressed_;
      pressed_ = false;
      if (clicked && PtInRect(ClientRect(), TPoint{x, y})) Click();
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, shift | (m.Msg == WM_RBUTTONDBLCLK ? ssDouble : 0), x, y);
      return;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, x, y);
      return;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, shift, x, y);
      return;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, x, y);
      return;
  }
}

void TCustomControl::KeyMessage(TMessage& m) {
  m.Result = 0;
  if (m.Msg == WM_CHAR) {
    char c = static_cast<char>(m.WParam & 0xFF);
    KeyPress(c);
    m.WParam = static_cast<unsigned char>(c);
    return;
  }
  unsigned key = static_cast<unsigned>(m.WParam);
  TShiftState shift = KeyboardShiftState();
  if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) {
    if (dragging_ && key == VK_ESCAPE) {
      EndDrag(false);
      m.WParam = 0;
      return;
    }
    KeyDown(key, shift);
  } else {
    KeyUp(key, shift);
  }
  m.WParam = key;
}

void TCustomControl::Invalidate() {
  if (handle_ != 0) host_->Invalidate(nullptr, true);
}

void TCustomControl::InvalidateRect(const TRect& rect, bool erase) {
  if (handle_ != 0) host_->Invalidate(&rect, erase);
}

void TCustomControl::Update() {
  if (handle_ != 0) host_->Update();
}

void TCustomControl::Repaint() {
  Invalidate();
  Update();
}

TRect TCustomControl::ClientRect() const {
  return host_ ? host_->ClientRect() : TRect{};
}
int TCustomControl::Width() const {
  return host_ ? host_->WindowSize().cx : 0;
}
int TCustomControl::Height() const {
  return host_ ? host_->WindowSize().cy : 0;
}

TPoint TCustomControl::ClientToScreen(TPoint p) const {
  return host_ ? host_->ClientToScreen(p) : p;
}

void TCustomControl::SetFocus() {
  if (handle_ != 0) host_->SetFocus();
}

bool TCustomControl::Focused() const {
  return handle_ != 0 && host_->Focused();
}

void TCustomControl::SetMouseCapture(bool on) {
  if (on == capture_) return;
  capture_ = on;
  if (handle_ == 0) return;
  if (on) {
    host_->SetCapture();
  } else {
    host_->ReleaseCapture();
  }
}

void TCustomControl::SetCursor(TCursor c) {
  cursor_ = c;
  if (!dragging_) ShowCursor(c);
}

void TCustomControl::ShowCursor(TCursor c) {
  if (handle_ != 0) host_->SetCursor(c);
}

TShiftState TCustomControl::KeyboardShiftState() const {
  if (host_ == nullptr) return 0;
  TShiftState s = 0;
  if (host_->GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (host_->GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (host_->GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (host_->GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
  if (host_->GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
  if (host_->GetKeyState(VK_MBUTTON) < 0) s |= ssMiddle;
  return s;
}

void TCustomControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TCustomControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TCustomControl::Click() {
  if (OnClick) OnClick(this);
}

void TCustomControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TCustomControl::KeyDown(unsigned& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TCustomControl::KeyUp(unsigned& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TCustomControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TCustomControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TCustomControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TCustomControl::BeginDrag(bool immediate) {
  if (dragging_) return;
  if (!immediate) {
    dragPending_ = true;
    dragStart_ = lastMouse_;
    return;
  }
  dragPending_ = false;
  pressed_ = false;
  dragging_ = true;
  dragAccepted_ = false;
  SetMouseCapture(true);
  DoStartDrag();
  // The pointer is over the control already: let it say whether it takes the drop here.
  bool accept = false;
  DragOver(this, lastMouse_.x, lastMouse_.y, accept);
  dragAccepted_ = accept;
  ShowCursor(accept ? DragCursor : crNoDrop);
}

void TCustomControl::EndDrag(bool drop) {
  if (!dragging_) return;
  TPoint p = lastMouse_;
  dragging_ = false;
  SetMouseCapture(false);
  if (drop) DragDrop(this, p.x, p.y);
  DoEndDrag(drop ? this : nullptr, p.x, p.y);
  ShowCursor(cursor_);
}

void TCustomControl::SetDragCursor(TCursor c) {
  DragCursor = c;
  if (dragging_ && dragAccepted_) ShowCursor(c);
}

void TCustomControl::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

void TCustomControl::DragOver(TObject* Source, int X, int Y, bool& Accept) {
  // Without a handler a control takes nothing, as the framework does.
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, Accept);
  }
}

void TCustomControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TCustomControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
