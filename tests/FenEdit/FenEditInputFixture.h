// An editor control in a headless window with the focus, for the keyboard, input-method and
// mouse tests. Cells are 8 px per byte and 16 px high, rows 16 px apart, text at x 10, y 4.
#pragma once
#include <string>

#include "FenEdit/FenEdit.h"
#include "platform/headless/HeadlessWindowHost.h"

struct InputCtl {
  HeadlessWindowHost host;
  TFenEdit e;
  static constexpr int kLeft = 10;  // TextLeft
  static constexpr int kTop = 4;    // TopMargin
  static constexpr int kRow = 16;   // LineHeight

  explicit InputCtl(const std::string& text, bool wrap = false, int width = 640, int height = 480)
      : host(width, height) {
    host.Attach(&e);
    e.SetLineSpace(0);
    e.SetWordWrap(wrap);
    e.CreateHandle();
    host.SetFocus();
    e.SetText(text);
  }
  ~InputCtl() { e.DestroyHandle(); }

  // A key pressed and released with the given modifiers held (VK_SHIFT, VK_CONTROL, ...).
  void Key(unsigned vk, std::initializer_list<unsigned> mods = {}) {
    for (unsigned m : mods) host.SetKeyDown(m, true);
    host.KeyDown(vk);
    host.KeyUp(vk);
    for (unsigned m : mods) host.SetKeyDown(m, false);
  }
  void Keys(unsigned vk, int times, std::initializer_list<unsigned> mods = {}) {
    for (int i = 0; i < times; ++i) Key(vk, mods);
  }
  void Type(const std::string& s) {
    for (char c : s) host.Char(static_cast<unsigned char>(c));
  }
  // Client point of byte offset b (8 px each, no tabs) in row r, middle of the band.
  static int X(int b) { return kLeft + 8 * b; }
  int Y(int row) const { return kTop + (row - e.TopRow()) * kRow + kRow / 2; }
  void Click(int x, int y) {
    host.MouseDown(x, y);
    host.MouseUp(x, y);
  }
  TRowPos Caret() const { return e.Caret(); }
  std::string Text() const { return e.GetText(); }
  std::string Sel() const { return e.GetSelText(); }
};
