// TFenEdit view: published properties, window creation, font metrics and geometry.
#include <algorithm>
#include <cmath>

#include "FenEdit.h"

namespace {
int RoundHalfUp(double v) {
  return static_cast<int>(std::floor(v + 0.5));
}
}  // namespace

// ---- metrics for the layout ---------------------------------------------------------------

int TFenEdit::TViewMetrics::TextWidth(std::string_view bytes) const {
  return e_.Canvas()->TextWidth(bytes);
}
int TFenEdit::TViewMetrics::AveCharWidth() const {
  return e_.geom_.AveCharWidth;
}
int TFenEdit::TViewMetrics::TextAreaWidth() const {
  return e_.TextAreaWidth();
}

// ---- properties ----------------------------------------------------------------------------

void TFenEdit::SetTopMargin(int value) {
  TopMargin_ = std::clamp(value, 0, 30);
}
void TFenEdit::SetLeftMargin(int value) {
  LeftMargin_ = std::clamp(value, 0, 30);
}
void TFenEdit::SetScrollStep(int value) {
  ScrollStep_ = value & 0xFF;
}
void TFenEdit::SetWheelStep(int value) {
  WheelStep_ = value & 0xFF;
}
void TFenEdit::SetLineNoColumn(int value) {
  LineNoColumn_ = std::clamp(value, 1, 5);
}

void TFenEdit::SetCurSetMode(bool value) {
  CurSetMode_ = value;
  geom_.CaretMarginX = CurSetMode_ ? 10 : geom_.HorzStep;
}

void TFenEdit::SetColor(TColor c) {
  Color_ = ColorToRGB(c);
  RepaintAll();
}

void TFenEdit::SetLineSpace(int value) {
  LineSpace_ = std::clamp(value, 0, 100);
  if (viewCreated_) {
    ComputeRowHeight();
    ComputeGeometry();
    Invalidate();
  }
}

void TFenEdit::SetLineSpaceUnit(TLineSizeUnit value) {
  LineSpaceUnit_ = value;
  if (viewCreated_) {
    ComputeRowHeight();
    ComputeGeometry();
    Invalidate();
  }
}

void TFenEdit::SetBorderStyle(TBorderStyle value) {
  if (value == BorderStyle_) return;
  BorderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TFenEdit::SetFont(const TFont& font) {
  Font_ = font;
  Font_.Color = ColorToRGB(font.Color);
  ParentFont = false;
  drawFont_.Color = Font_.Color;
}

// ---- creation ------------------------------------------------------------------------------

void TFenEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (Ctl3D && BorderStyle_ == bsSingle) {
    params.ExStyle |= WS_EX_CLIENTEDGE;
  } else if (BorderStyle_ == bsSingle) {
    params.Style |= WS_BORDER;
  }
  if (VertScrollBar) params.Style |= WS_VSCROLL;
  if (HorzScrollBar) params.Style |= WS_HSCROLL;
  geom_.VBarWidth = VertScrollBar && Host() ? Host()->ScrollBarSize(SB_VERT) : 0;
  // Only the face and the cell height shape the drawing font.
  drawFont_ = TFontSpec{};
  drawFont_.Name = Font_.Name;
  drawFont_.Height = std::max(1, std::abs(Font_.Height));
  drawFont_.Color = Font_.Color;
}

void TFenEdit::Loaded() {
  // The properties the owner set take effect in a new window.
  if (HandleAllocated()) RecreateWnd();
}

void TFenEdit::SelectDrawingFont() {
  drawFont_.Color = Font_.Color;
  drawFont_.Underline = false;
  Canvas()->SelectFont(drawFont_);
}

void TFenEdit::RestoreCanvas() {
  SelectDrawingFont();
  Canvas()->SetBkColor(Color_);
}

void TFenEdit::ComputeRowHeight() {
  if (LineSpaceUnit_ == uPercent)
    geom_.LineHeight = geom_.CharHeight + RoundHalfUp(geom_.CharHeight * LineSpace_ / 100.0);
  else
    geom_.LineHeight = geom_.CharHeight + LineSpace_;
  geom_.LineHeight = std::max(1, geom_.LineHeight);
}

void TFenEdit::CreateView() {
  SetCursor(crIBeam);
  if (DragCursor == crDrag) DragCursor = crDragCur1;
  SelectDrawingFont();
  Surface* c = Canvas();
  TTextMetrics tm = c->GetTextMetrics();
  geom_.CharHeight = tm.Height;
  geom_.AveCharWidth = std::max(1, tm.AveCharWidth);
  ComputeRowHeight();
  geom_.CrTop = std::min(255, RoundHalfUp(0.2 * geom_.CharHeight));
  geom_.CrBottom = std::min(255, RoundHalfUp(0.8 * geom_.CharHeight));
  TSize dbl = c->TextExtent("\x81\x40");
  geom_.DblSpaceW = dbl.cx;
  geom_.DblSpaceH = dbl.cy;
  geom_.SpaceW = c->TextWidth(" ");
  geom_.RulerColumnLimit = (32767 / geom_.AveCharWidth) / 2;
  geom_.TopRow = 0;
  geom_.HorzOffset = 0;
  geom_.GutterWidth = ShowLineNumber ? std::min(100, c->TextWidth("0") * LineNoColumn_) + 7 : 0;
  geom_.TextLeft = geom_.MinTextLeft = LeftMargin_ + geom_.GutterWidth;
  ruleY_ = -1;
  imeFontSet_ = false;
  viewCreated_ = true;
  SetMetrics(&viewMetrics_);
  ComputeGeometry();
  RestoreCanvas();
}

void TFenEdit::ComputeGeometry() {
  int areaW = TextAreaWidth();
  int areaH = TextAreaHeight();
  geom_.VisibleRows = geom_.LineHeight > 0 ? std::max(0, areaH / geom_.LineHeight) : 0;
  geom_.RowMargin = (geom_.VisibleRows + 4) / 5;
  geom_.HorzStep = std::max(1, (areaW + 4) / 5);
  geom_.CaretMarginX = CurSetMode_ ? 10 : geom_.HorzStep;
}

void TFenEdit::Recreate() {
  CancelSelection();
  std::vector<std::string> rows;
  rows.emplace_back(2, '\0');
  Store.SetRows(std::move(rows));
  ResetState();
  keyRepeat_ = 0;
  wheelRest_ = 0;
  prevDrawn_ = TRowPos{};
  cachedColumn_ = -1;
  notifiedCaret_ = TRowPos{};
  notifiedX_ = 0;
  if (HandleAllocated()) {
    RecreateWnd();
  } else {
    CreateHandle();
  }
  if (!HandleAllocated()) return;
  Host()->SetScrollPos(SB_VERT, 0, true);
  Host()->SetScrollPos(SB_HORZ, 0, true);
  UpdateScrollRange();
  RepaintAll();
  PlaceCaret();
  ImeWindowToOrigin();
}

TRow TFenEdit::ViewLastVisibleRow() const {
  if (!viewCreated_) return Store.Count() - 1;
  return LastShownRow();
}

TRow TFenEdit::LastShownRow() const {
  return std::min(Store.Count() - 1, geom_.TopRow + geom_.VisibleRows - 1);
}

int TFenEdit::ClientDrawRight() const {
  return Width() - geom_.VBarWidth;
}
