#include "Graphics.h"

TColor ColorToRGB(TColor c) {
  if ((static_cast<std::uint32_t>(c) & 0xFF000000u) != 0xFF000000u) return c & 0x00FFFFFF;
  static const TColor kSystem[] = {
      RGB(200, 200, 200),  // scroll bar
      RGB(0, 0, 0),        // desktop
      RGB(10, 36, 106),    // active caption
      RGB(128, 128, 128),  // inactive caption
      RGB(212, 208, 200),  // menu
      RGB(255, 255, 255),  // window
      RGB(0, 0, 0),        // window frame
      RGB(0, 0, 0),        // menu text
      RGB(0, 0, 0),        // window text
      RGB(255, 255, 255),  // caption text
      RGB(212, 208, 200),  // active border
      RGB(212, 208, 200),  // inactive border
      RGB(128, 128, 128),  // app workspace
      RGB(10, 36, 106),    // highlight
      RGB(255, 255, 255),  // highlight text
      RGB(212, 208, 200),  // button face
      RGB(128, 128, 128),  // button shadow
      RGB(128, 128, 128),  // gray text
      RGB(0, 0, 0),        // button text
      RGB(212, 208, 200),  // inactive caption text
      RGB(255, 255, 255),  // button highlight
  };
  int i = c & 0xFF;
  if (i < 0 || i >= static_cast<int>(sizeof kSystem / sizeof kSystem[0])) return 0;
  return kSystem[i];
}
