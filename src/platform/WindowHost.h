// What a custom control needs from the window it lives in, Windows-shaped. Coordinates are
// client pixels; the host delivers input to the control as window messages (Perform).
#pragma once
#include <string>

#include "platform/Graphics.h"
#include "platform/Surface.h"

// Window styles a control asks for when its window is created (CreateParams).
constexpr unsigned WS_BORDER = 0x00800000;
constexpr unsigned WS_VSCROLL = 0x00200000;
constexpr unsigned WS_HSCROLL = 0x00100000;
constexpr unsigned WS_EX_CLIENTEDGE = 0x00000200;

struct TCreateParams {
  unsigned Style = 0;
  unsigned ExStyle = 0;
};

// Mouse cursors: the framework's negative ids, and the application's own slots from 1 up.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crIBeam = -4;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crDragCur1 = 1;  // drag to move text
constexpr TCursor crDragCur2 = 2;  // drag to copy text

// A context menu the application attaches to a control (a Qt menu in the program).
class TPopupMenu {
 public:
  virtual ~TPopupMenu() = default;
  // Shows the menu at a screen point and returns when it closes.
  virtual void Popup(int screenX, int screenY) = 0;
};

// The parts of rect that ScrollWindow(dx, dy) leaves uncovered: up to two rectangles (a
// vertical strip for dx, a horizontal one for dy); returns how many it wrote to out.
int ScrollUncovered(const TRect& rect, int dx, int dy, TRect out[2]);

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // --- window lifetime
  // Applies the styles (scroll bars, border) and makes the window exist; a handle id > 0.
  virtual unsigned CreateWindow(const TCreateParams& params) = 0;
  // Drops caret, timers and capture; the client keeps its size for the next creation.
  virtual void DestroyWindow() = 0;

  // --- geometry
  // The drawing area (0, 0, width, height): the window less border and scroll bars.
  virtual TRect ClientRect() = 0;
  // The whole window, border and scroll bars included (the control's Width and Height).
  virtual TSize WindowSize() = 0;
  // The system's thickness of a scroll bar: SB_VERT gives a vertical bar's width.
  virtual int ScrollBarSize(unsigned bar) = 0;
  virtual TPoint ClientToScreen(TPoint p) = 0;

  // --- painting
  // Queues WM_PAINT for rect (nullptr: the whole client); invalid areas add up until painted.
  virtual void Invalidate(const TRect* rect, bool erase) = 0;
  // Sends the queued WM_PAINT now, if any (UpdateWindow).
  virtual void Update() = 0;
  // Moves the pixels inside rect (nullptr: the client) by (dx, dy), clipped to rect, and
  // invalidates the strip they uncovered. The caret stays where it was placed.
  virtual void ScrollWindow(int dx, int dy, const TRect* rect) = 0;

  // --- caret: one per window, a solid block; hidden until shown, hides count up as on Windows
  virtual bool CreateCaret(int width, int height) = 0;
  virtual void DestroyCaret() = 0;
  // Top-left of the caret in client pixels; outside the client it is simply not seen.
  virtual void SetCaretPos(int x, int y) = 0;
  // False when there is no caret.
  virtual bool ShowCaret() = 0;
  virtual bool HideCaret() = 0;

  // --- scroll bars (bar is SB_HORZ or SB_VERT); only bars the window was created with exist
  virtual void SetScrollRange(unsigned bar, int min, int max, bool redraw) = 0;
  virtual void SetScrollPos(unsigned bar, int pos, bool redraw) = 0;
  virtual int GetScrollPos(unsigned bar) = 0;
  // A disabled bar stays visible but takes no input.
  virtual void EnableScrollBar(unsigned bar, bool enable) = 0;
  virtual void ShowScrollBar(unsigned bar, bool show) = 0;

  // --- timers: WM_TIMER with wParam = id every ms milliseconds until killed
  virtual void SetTimer(unsigned id, unsigned ms) = 0;
  virtual void KillTimer(unsigned id) = 0;

  // --- focus, mouse capture, cursor
  virtual void SetFocus() = 0;
  virtual bool Focused() = 0;
  // While captured, mouse messages keep coming when the pointer leaves the window.
  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  // The cursor shown over the client area.
  virtual void SetCursor(TCursor cursor) = 0;

  // --- keyboard state at the time of the message being handled
  // High bit (0x8000 as a short, so negative) set when down; low bit when toggled (locks).
  virtual short GetKeyState(unsigned vk) = 0;
  // The same for all 256 virtual keys; bit 0x80 = down.
  virtual void GetKeyboardState(unsigned char state[256]) = 0;

  // --- input method
  // Where the composition string is shown: its top-left in client pixels.
  virtual void SetCompositionWindow(TPoint p) = 0;
  // Font of the composition string; false when the input method cannot take it.
  virtual bool SetCompositionFont(const TFontSpec& font) = 0;
  // The string of the composition message being handled (GCS_RESULTSTR or GCS_COMPSTR).
  virtual std::string GetCompositionString(unsigned which) = 0;
  // Commits any unfinished composition as it stands (a click does this first).
  virtual void CompleteComposition() = 0;
  // Turns the input method on or off for this window.
  virtual void SetImeOpenStatus(bool open) = 0;
  virtual bool GetImeOpenStatus() = 0;
};
