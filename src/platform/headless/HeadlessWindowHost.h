// A WindowHost for tests: every state a control sets is readable, and the test plays the
// user by sending messages. Owns the HeadlessSurface the control draws on.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/CustomControl.h"
#include "platform/WindowHost.h"
#include "platform/headless/HeadlessSurface.h"
#include "platform/headless/RecordingMessageBox.h"

struct CaretState {
  bool Exists = false;
  int Width = 0, Height = 0;
  int X = 0, Y = 0;
  int HideCount = 0;  // shown when it exists and this is 0
  bool Visible() const { return Exists && HideCount == 0; }
};

struct ScrollBarState {
  bool Exists = false;  // the window was created with this bar
  bool Visible = false;
  bool Enabled = true;
  int Min = 0, Max = 0, Pos = 0;
  int Redraws = 0;  // calls with redraw true
};

struct ScrollCall {
  int Dx = 0, Dy = 0;
  TRect Rect;  // the rectangle moved (the client when none was given)
};

struct InvalidateCall {
  TRect Rect;
  bool Erase = false;
};

class HeadlessWindowHost : public WindowHost {
 public:
  explicit HeadlessWindowHost(int clientWidth = 640, int clientHeight = 480);
  ~HeadlessWindowHost() override;

  // Puts the control into this host (Attach with the host's surface); messages go to it.
  void Attach(TCustomControl* control);
  HeadlessSurface& Canvas() { return surface_; }

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
  bool Focused() override { return focused_; }
  void SetCapture() override { capture_ = true; }
  void ReleaseCapture() override { capture_ = false; }
  void SetCursor(TCursor cursor) override { cursor_ = cursor; }
  short GetKeyState(unsigned vk) override;
  void GetKeyboardState(unsigned char state[256]) override;
  void SetCompositionWindow(TPoint p) override;
  bool SetCompositionFont(const TFontSpec& font) override;
  std::string GetCompositionString(unsigned which) override;
  void CompleteComposition() override;
  void SetImeOpenStatus(bool open) override { imeOpen_ = open; }
  bool GetImeOpenStatus() override { return imeOpen_; }

  // --- the test plays the user and the system (messages reach only an existing window)
  LRESULT Send(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Resizes the client (the window grows by its scroll bars); when the window exists, the
  // whole client becomes invalid and WM_SIZE is sent.
  void SetClientSize(int width, int height);
  // Focus leaves the control: WM_KILLFOCUS.
  void KillFocus();
  // Key state as GetKeyState reports it.
  void SetKeyDown(unsigned vk, bool down);
  void SetKeyToggled(unsigned vk, bool toggled);
  // Key down (state and WM_KEYDOWN), key up (state and WM_KEYUP), a typed byte (WM_CHAR).
  LRESULT KeyDown(unsigned vk);
  LRESULT KeyUp(unsigned vk);
  LRESULT Char(unsigned char c);
  // Mouse messages at client (x, y); keys are MK_* flags (MK_LBUTTON etc. are added).
  LRESULT MouseDown(int x, int y, unsigned keys = 0);
  LRESULT MouseMove(int x, int y, unsigned keys = 0);
  LRESULT MouseUp(int x, int y, unsigned keys = 0);
  LRESULT DoubleClick(int x, int y, unsigned keys = 0);
  LRESULT Wheel(int delta, unsigned keys = 0);
  // WM_TIMER for a running timer; false (and nothing sent) when it is not running.
  bool FireTimer(unsigned id);
  // An input-method composition: start, composing text, then the result, then end.
  void Compose(const std::string& composing, const std::string& result);
  // Sends WM_PAINT now when something is invalid (same as Update).
  void PaintPending() { Update(); }

  // --- readable state
  bool WindowExists() const { return handle_ != 0; }
  int WindowsCreated() const { return created_; }
  const TCreateParams& Params() const { return params_; }
  const CaretState& Caret() const { return caret_; }
  const ScrollBarState& Bar(unsigned bar) const { return bar == SB_VERT ? vbar_ : hbar_; }
  const std::vector<InvalidateCall>& Invalidations() const { return invalidations_; }
  TRect InvalidRect() const { return invalid_; }  // pending, not yet painted
  const std::vector<ScrollCall>& Scrolls() const { return scrolls_; }
  void ClearRecords();  // invalidations, scrolls and drawing calls
  const std::map<unsigned, unsigned>& Timers() const { return timers_; }  // id -> ms
  bool HasCapture() const { return capture_; }
  TCursor ShownCursor() const { return cursor_; }
  TPoint CompositionWindow() const { return compositionWindow_; }
  const TFontSpec& CompositionFont() const { return compositionFont_; }
  int CompletedCompositions() const { return completed_; }
  RecordingMessageBox& MessageBoxes() { return boxes_; }
  int Paints() const { return paints_; }  // WM_PAINT messages sent

  // The system's scroll bar thickness; settable before the window is created.
  void SetScrollBarSize(int size) { barSize_ = size; }

 private:
  TCustomControl* control_ = nullptr;
  HeadlessSurface surface_;
  RecordingMessageBox boxes_;
  int clientWidth_, clientHeight_;
  int barSize_ = 16;
  unsigned handle_ = 0;
  int created_ = 0;
  TCreateParams params_;
  CaretState caret_;
  ScrollBarState vbar_, hbar_;
  std::vector<InvalidateCall> invalidations_;
  TRect invalid_;
  bool invalidErase_ = false;
  std::vector<ScrollCall> scrolls_;
  std::map<unsigned, unsigned> timers_;
  bool focused_ = false;
  bool capture_ = false;
  TCursor cursor_ = crDefault;
  unsigned char keys_[256] = {};
  TPoint compositionWindow_;
  TFontSpec compositionFont_;
  std::string compositionString_;
  unsigned compositionWhich_ = 0;
  int completed_ = 0;
  bool imeOpen_ = true;
  int paints_ = 0;
};
