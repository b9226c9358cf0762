// The view's geometry: metrics of the drawing font taken at window creation, the layout of
// the client area derived from them, and the scroll positions. Pixels unless named otherwise.
#pragma once
#include "FenEditSub.h"

struct TViewGeometry {
  int CharHeight = 0;
  int AveCharWidth = 0;
  int LineHeight = 0;   // a row's band: the cell and the line space
  int VisibleRows = 0;  // whole bands in the text area
  int RowMargin = 0;    // rows kept between the caret and the bottom edge
  int TextLeft = 0;     // where the text area starts: margin and gutter
  int MinTextLeft = 0;
  int GutterWidth = 0;
  int HorzStep = 1;
  int CaretMarginX = 10;
  int CrTop = 0, CrBottom = 0;       // line-break arrow stem, down from the band top
  int DblSpaceW = 0, DblSpaceH = 0;  // the full-width space cell
  int SpaceW = 0;
  int RulerColumnLimit = 0;
  int VScrollScale = 1;  // rows per scroll-bar unit
  int HScrollScale = 1;
  int VBarWidth = 0;
  int MaxRowWidth = 0;
  TRow TopRow = 0;     // first row in view
  int HorzOffset = 0;  // pixels scrolled to the right
};
