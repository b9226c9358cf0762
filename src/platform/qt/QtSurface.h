// The Qt Surface: draws on the host's persistent backing image and reports every touched
// rectangle, so the screen gets only those. Widths come from per-character caches; a
// fixed-pitch face is laid on a grid of half-width cells (two per double byte). Glyphs are
// drawn once per colour pair into cells that later draws copy, because antialiased glyph
// drawing costs microseconds per character and a row is repainted on every keystroke.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRawFont>
#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "platform/Surface.h"

class QtSurface : public Surface {
 public:
  QtSurface();
  ~QtSurface() override;

  // The image to draw on (not owned, Format_RGB32, any device pixel ratio) and who hears
  // about touched rectangles (logical pixels).
  void SetTarget(QImage* image, std::function<void(const QRect&)> touched);

  void SelectFont(const TFontSpec& font) override;
  const TFontSpec& Font() const override { return spec_; }
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

  // The QFont behind the current font (for the input method).
  QFont CurrentQFont();
  // Pixel size of the face chosen for the current cell height (for tests and the demo).
  int FacePixelSize();
  // The family actually used for drawing (after fallback).
  QString FaceFamily();

  // How many drawn glyph cells a face keeps before it starts afresh (tests make it small).
  void SetCellLimit(size_t cells) { cellLimit_ = cells; }

  // The faces tried, in order, when a face is missing or has no Japanese glyphs.
  static const QStringList& JapaneseFallbacks();

 private:
  struct Face;
  Face& Current();
  void Touched(const QRect& r);
  QRect Clip(const QRect& r) const;
  QRect Device(const QRect& logical) const;
  void FillDevice(const QRect& logical, TColor rgb);
  void BlitCell(const QImage& cell, int x, int y, const QRect& deviceClip);

  TFontSpec spec_;
  TColor text_ = 0, bk_ = 0xFFFFFF;
  bool hasClip_ = false;
  QRect clip_;
  QImage* image_ = nullptr;
  std::function<void(const QRect&)> touched_;
  std::map<std::tuple<std::string, int, bool, bool>, std::unique_ptr<Face>> faces_;
  Face* face_ = nullptr;
  size_t cellLimit_ = 8192;
};
