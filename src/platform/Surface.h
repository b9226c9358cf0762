// A drawing surface in client pixels: what a control's painting needs, GDI-shaped.
// Text is code-page-932 bytes; y of text is the top of its cell. Nothing reports errors.
#pragma once
#include <string>
#include <string_view>

#include "platform/Graphics.h"

// A font as the control asks for it. Height is the cell height in pixels (the text metric
// height), never an em size; the backend picks a face size that fits that cell.
struct TFontSpec {
  std::string Name;  // face name; an unknown face falls back to a fixed-pitch Japanese face
  int Height = 16;   // cell height in pixels, 1 or more
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = clBlack;  // text colour; SelectFont also makes it the current text colour
  friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

// Measured metrics of the selected font.
struct TTextMetrics {
  int Height = 0;        // cell height: rows of text this tall never overlap
  int Ascent = 0;        // baseline, down from the cell top
  int AveCharWidth = 0;  // width of a half-width character
  int MaxCharWidth = 0;  // width of a full-width character
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Makes the font current for measuring and drawing; also sets the text colour to its Color.
  virtual void SelectFont(const TFontSpec& font) = 0;
  // The font last selected.
  virtual const TFontSpec& Font() const = 0;
  // Metrics of the current font.
  virtual TTextMetrics GetTextMetrics() = 0;
  // Pixel width of the bytes as TextOut would advance over them (no tab expansion; a lone
  // lead byte at the end counts as one half-width cell). Cheap: layout calls it a lot.
  virtual int TextWidth(std::string_view cp932) = 0;
  // Width and height of the bytes in the current font (height is the cell height).
  virtual TSize TextExtent(std::string_view cp932) = 0;

  // Colours of the next TextOut: glyphs in the text colour, the opaque rectangle in the
  // background colour. System colours are resolved with ColorToRGB.
  virtual void SetTextColor(TColor c) = 0;
  virtual void SetBkColor(TColor c) = 0;
  virtual TColor TextColor() const = 0;
  virtual TColor BkColor() const = 0;

  // ExtTextOut with ETO_OPAQUE | ETO_CLIPPED: fills rect with the background colour, then
  // draws the text with its cell's top-left at (x, y), clipped to rect.
  virtual void TextOut(int x, int y, const TRect& rect, std::string_view cp932) = 0;
  // Fills the rectangle (right and bottom edges excluded) with a solid colour.
  virtual void FillRect(const TRect& rect, TColor c) = 0;
  // A 1-pixel solid line from (x1, y1) toward (x2, y2), the end point excluded (LineTo).
  virtual void Line(int x1, int y1, int x2, int y2, TColor c) = 0;
  // One pixel; dotted lines are drawn pixel by pixel with it.
  virtual void SetPixel(int x, int y, TColor c) = 0;

  // Limits all drawing to rect; nullptr lifts the limit. The host sets it around WM_PAINT
  // to the invalid area, so a control leaves it alone while painting there.
  virtual void SetClipRect(const TRect* rect) = 0;
};
