#include "platform/headless/HeadlessWindowHost.h"

#include <algorithm>

HeadlessWindowHost::HeadlessWindowHost(int clientWidth, int clientHeight)
    : clientWidth_(clientWidth), clientHeight_(clientHeight) {}

HeadlessWindowHost::~HeadlessWindowHost() = default;

void HeadlessWindowHost::Attach(TCustomControl* control) {
  control_ = control;
  control->Attach(this, &surface_);
}

unsigned HeadlessWindowHost::CreateWindow(const TCreateParams& params) {
  params_ = params;
  vbar_ = ScrollBarState{};
  hbar_ = ScrollBarState{};
  vbar_.Exists = vbar_.Visible = (params.Style & WS_VSCROLL) != 0;
  hbar_.Exists = hbar_.Visible = (params.Style & WS_HSCROLL) != 0;
  ++created_;
  handle_ = static_cast<unsigned>(created_);
  return handle_;
}

void HeadlessWindowHost::DestroyWindow() {
  handle_ = 0;
  caret_ = CaretState{};
  timers_.clear();
  capture_ = false;
  focused_ = false;
  invalid_ = TRect{};
}

TRect HeadlessWindowHost::ClientRect() {
  return TRect{0, 0, clientWidth_, clientHeight_};
}

TSize HeadlessWindowHost::WindowSize() {
  int border = (params_.ExStyle & WS_EX_CLIENTEDGE) ? 2 : (params_.Style & WS_BORDER) ? 1 : 0;
  return TSize{clientWidth_ + 2 * border + (vbar_.Visible ? barSize_ : 0),
               clientHeight_ + 2 * border + (hbar_.Visible ? barSize_ : 0)};
}

int HeadlessWindowHost::ScrollBarSize(unsigned) {
  return barSize_;
}

TPoint HeadlessWindowHost::ClientToScreen(TPoint p) {
  return TPoint{p.x + 1000, p.y + 2000};
}

void HeadlessWindowHost::Invalidate(const TRect* rect, bool erase) {
  if (handle_ == 0) return;
  TRect r = rect ? IntersectRect(*rect, ClientRect()) : ClientRect();
  invalidations_.push_back(InvalidateCall{rect ? *rect : ClientRect(), erase});
  if (r.IsEmpty()) return;
  invalid_ = UnionRect(invalid_, r);
  invalidErase_ = invalidErase_ || erase;
}

void HeadlessWindowHost::Update() {
  if (handle_ == 0 || invalid_.IsEmpty() || control_ == nullptr) return;
  // As BeginPaint: the area counts as painted from now on, and drawing is clipped to it.
  TRect r = invalid_;
  bool erase = invalidErase_;
  invalid_ = TRect{};
  invalidErase_ = false;
  surface_.SetClipRect(&r);
  if (erase) Send(WM_ERASEBKGND);
  ++paints_;
  Send(WM_PAINT);
  surface_.SetClipRect(nullptr);
}

void HeadlessWindowHost::ScrollWindow(int dx, int dy, const TRect* rect) {
  TRect r = rect ? IntersectRect(*rect, ClientRect()) : ClientRect();
  scrolls_.push_back(ScrollCall{dx, dy, r});
  TRect strips[2];
  int n = ScrollUncovered(r, dx, dy, strips);
  for (int i = 0; i < n; ++i) Invalidate(&strips[i], true);
}

bool HeadlessWindowHost::CreateCaret(int width, int height) {
  if (handle_ == 0) return false;
  caret_ = CaretState{true, width, height, caret_.X, caret_.Y, 1};
  return true;
}

void HeadlessWindowHost::DestroyCaret() {
  caret_.Exists = false;
}

void HeadlessWindowHost::SetCaretPos(int x, int y) {
  caret_.X = x;
  caret_.Y = y;
}

bool HeadlessWindowHost::ShowCaret() {
  if (!caret_.Exists) return false;
  if (caret_.HideCount > 0) --caret_.HideCount;
  return true;
}

bool HeadlessWindowHost::HideCaret() {
  if (!caret_.Exists) return false;
  ++caret_.HideCount;
  return true;
}

void HeadlessWindowHost::SetScrollRange(unsigned bar, int min, int max, bool redraw) {
  ScrollBarState& b = bar == SB_VERT ? vbar_ : hbar_;
  b.Min = min;
  b.Max = std::max(min, max);
  b.Pos = std::clamp(b.Pos, b.Min, b.Max);
  if (redraw) ++b.Redraws;
}

void HeadlessWindowHost::SetScrollPos(unsigned bar, int pos, bool redraw) {
  ScrollBarState& b = bar == SB_VERT ? vbar_ : hbar_;
  b.Pos = std::clamp(pos, b.Min, b.Max);
  if (redraw) ++b.Redraws;
}

int HeadlessWindowHost::GetScrollPos(unsigned bar) {
  return Bar(bar).Pos;
}

void HeadlessWindowHost::EnableScrollBar(unsigned bar, bool enable) {
  (bar == SB_VERT ? vbar_ : hbar_).Enabled = enable;
}

void HeadlessWindowHost::ShowScrollBar(unsigned bar, bool show) {
  ScrollBarState& b = bar == SB_VERT ? vbar_ : hbar_;
  b.Visible = show;
  if (show) b.Exists = true;
}

void HeadlessWindowHost::SetTimer(unsigned id, unsigned ms) {
  if (handle_ != 0) timers_[id] = ms;
}

void HeadlessWindowHost::KillTimer(unsigned id) {
  timers_.erase(id);
}

void HeadlessWindowHost::SetFocus() {
  if (handle_ == 0 || focused_) return;
  focused_ = true;
  Send(WM_SETFOCUS);
}

void HeadlessWindowHost::KillFocus() {
  if (!focused_) return;
  focused_ = false;
  Send(WM_KILLFOCUS);
}

short HeadlessWindowHost::GetKeyState(unsigned vk) {
  unsigned char k = keys_[vk & 0xFF];
  return static_cast<short>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

void HeadlessWindowHost::GetKeyboardState(unsigned char state[256]) {
  std::copy(keys_, keys_ + 256, state);
}

void HeadlessWindowHost::SetCompositionWindow(TPoint p) {
  compositionWindow_ = p;
}

bool HeadlessWindowHost::SetCompositionFont(const TFontSpec& font) {
  compositionFont_ = font;
  return true;
}

std::string HeadlessWindowHost::GetCompositionString(unsigned which) {
  return (which & compositionWhich_) ? compositionString_ : std::string();
}

void HeadlessWindowHost::CompleteComposition() {
  ++completed_;
}

LRESULT HeadlessWindowHost::Send(unsigned msg, WPARAM wParam, LPARAM lParam) {
  // As on the system: no window, no messages.
  return control_ && handle_ != 0 ? control_->Perform(msg, wParam, lParam) : 0;
}

void HeadlessWindowHost::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  if (handle_ == 0) return;
  // The window class redraws wholly on a size change, as the Qt host does.
  Invalidate(nullptr, true);
  Send(WM_SIZE, 0, static_cast<LPARAM>(MakeLong(width, height)));
}

void HeadlessWindowHost::SetKeyDown(unsigned vk, bool down) {
  unsigned char& k = keys_[vk & 0xFF];
  k = static_cast<unsigned char>(down ? (k | 0x80) : (k & ~0x80));
}

void HeadlessWindowHost::SetKeyToggled(unsigned vk, bool toggled) {
  unsigned char& k = keys_[vk & 0xFF];
  k = static_cast<unsigned char>(toggled ? (k | 0x01) : (k & ~0x01));
}

LRESULT HeadlessWindowHost::KeyDown(unsigned vk) {
  SetKeyDown(vk, true);
  return Send(WM_KEYDOWN, vk, 1);
}

LRESULT HeadlessWindowHost::KeyUp(unsigned vk) {
  SetKeyDown(vk, false);
  return Send(WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

LRESULT HeadlessWindowHost::Char(unsigned char c) {
  return Send(WM_CHAR, c, 1);
}

namespace {
LPARAM PackPoint(int x, int y) {
  return static_cast<LPARAM>(MakeLong(x & 0xFFFF, y & 0xFFFF));
}
}  // namespace

LRESULT HeadlessWindowHost::MouseDown(int x, int y, unsigned keys) {
  SetKeyDown(VK_LBUTTON, true);
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return Send(WM_LBUTTONDOWN, keys | MK_LBUTTON, PackPoint(x, y));
}

LRESULT HeadlessWindowHost::MouseMove(int x, int y, unsigned keys) {
  if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return Send(WM_MOUSEMOVE, keys, PackPoint(x, y));
}

LRESULT HeadlessWindowHost::MouseUp(int x, int y, unsigned keys) {
  SetKeyDown(VK_LBUTTON, false);
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return Send(WM_LBUTTONUP, keys, PackPoint(x, y));
}

LRESULT HeadlessWindowHost::DoubleClick(int x, int y, unsigned keys) {
  SetKeyDown(VK_LBUTTON, true);
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return Send(WM_LBUTTONDBLCLK, keys | MK_LBUTTON, PackPoint(x, y));
}

LRESULT HeadlessWindowHost::Wheel(int delta, unsigned keys) {
  return Send(WM_MOUSEWHEEL, MakeLong(keys, static_cast<unsigned>(delta) & 0xFFFF), 0);
}

bool HeadlessWindowHost::FireTimer(unsigned id) {
  if (timers_.count(id) == 0) return false;
  Send(WM_TIMER, id, 0);
  return true;
}

void HeadlessWindowHost::Compose(const std::string& composing, const std::string& result) {
  Send(WM_IME_STARTCOMPOSITION);
  if (!composing.empty()) {
    compositionString_ = composing;
    compositionWhich_ = GCS_COMPSTR;
    Send(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
  }
  if (!result.empty()) {
    compositionString_ = result;
    compositionWhich_ = GCS_RESULTSTR;
    Send(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  }
  compositionString_.clear();
  compositionWhich_ = 0;
  Send(WM_IME_ENDCOMPOSITION);
}

void HeadlessWindowHost::ClearRecords() {
  invalidations_.clear();
  scrolls_.clear();
  surface_.ClearCalls();
}
