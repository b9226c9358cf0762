// A Surface for tests: fixed, settable metrics and a record of every drawing call.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/Surface.h"

struct DrawCall {
  enum Kind { Text, Fill, Line, Pixel };
  Kind kind = Text;
  TRect rect;          // Text: the opaque clip rectangle; Fill: the rectangle; Pixel: its 1x1 box
  int x = 0, y = 0;    // Text: cell top-left; Line: start; Pixel: the pixel
  int x2 = 0, y2 = 0;  // Line: end (excluded)
  std::string text;    // Text: the bytes
  TColor color = 0;    // Text: text colour (RGB); others: their colour (RGB)
  TColor bkColor = 0;  // Text: background (RGB)
  TFontSpec font;      // Text: the font at the time (Underline for links)
  TRect clip;          // the surface's clip at the time; empty when none
};

// What a text call drew at one pixel.
struct TextHit {
  const DrawCall* call = nullptr;
  int byte = -1;   // offset in call->text of the character there; -1 in the opaque margin
  std::string ch;  // that character's bytes
};

class HeadlessSurface : public Surface {
 public:
  HeadlessSurface() = default;
  // Width of a single-byte character, of a double-byte one, and the cell height.
  void SetMetrics(int singleWidth, int doubleWidth, int height);

  void SelectFont(const TFontSpec& font) override;
  const TFontSpec& Font() const override { return font_; }
  TTextMetrics GetTextMetrics() override;
  int TextWidth(std::string_view cp932) override;
  TSize TextExtent(std::string_view cp932) override;
  void SetTextColor(TColor c) override;
  void SetBkColor(TColor c) override;
  TColor TextColor() const override { return text_; }
  TColor BkColor() const override { return bk_; }
  void TextOut(int x, int y, const TRect& rect, std::string_view cp932) override;
  void FillRect(const TRect& rect, TColor c) override;
  void Line(int x1, int y1, int x2, int y2, TColor c) override;
  void SetPixel(int x, int y, TColor c) override;
  void SetClipRect(const TRect* rect) override;

  // --- for tests
  const std::vector<DrawCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::vector<const DrawCall*> TextCalls() const;
  // The text calls whose text contains needle, oldest first.
  std::vector<const DrawCall*> FindText(std::string_view needle) const;
  // The last call that painted the pixel (clips honoured), or nullptr.
  const DrawCall* LastAt(int x, int y) const;
  // The colour the record leaves at the pixel: a text call gives its text colour over a
  // character other than a space, its background elsewhere. nullopt when nothing drew there.
  std::optional<TColor> ColorAt(int x, int y) const;
  // The character a text call left at the pixel, when the last call there was a text call.
  std::optional<TextHit> TextAt(int x, int y) const;
  int WidthOfChar(std::string_view ch) const;  // by the fixed metrics

 private:
  bool Covers(const DrawCall& c, int x, int y) const;

  int single_ = 8, double_ = 16, height_ = 16;
  TFontSpec font_;
  TColor text_ = 0, bk_ = 0xFFFFFF;
  TRect clip_;
  std::vector<DrawCall> calls_;
};
