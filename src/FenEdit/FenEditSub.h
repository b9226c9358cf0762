// Shared declarations of the editor control: position types and the layout's view metrics.
#pragma once
#include <string_view>

// Glossary: a Row is a display row of the line store, a Line a logical line (rows up to one
// ending in LF), a Byte an offset in code-page-932 bytes inside a row or a line.
using TRow = int;
using TLine = int;
using TByte = int;

// A position in display terms: byte offset inside a row, and the row.
struct TRowPos {
  TByte Byte = 0;
  TRow Row = 0;
  friend bool operator==(const TRowPos&, const TRowPos&) = default;
};

// A position that survives rewrapping: byte offset inside a logical line, and the line.
struct TLinePos {
  TByte Byte = 0;
  TLine Line = 0;
  friend bool operator==(const TLinePos&, const TLinePos&) = default;
};

// What the layout needs to know about the drawing font and the text area.
// The view implements it; tests use fixed metrics.
class TFenMetrics {
 public:
  virtual ~TFenMetrics() = default;
  // Width in pixels of bytes as drawn (tabs are not expanded here).
  virtual int TextWidth(std::string_view bytes) const = 0;
  virtual int AveCharWidth() const = 0;
  // Width of the text area: client width minus margins and gutter.
  virtual int TextAreaWidth() const = 0;
};

// Fixed metrics: every byte has the same width (so a double-byte character is two cells).
class TFixedMetrics : public TFenMetrics {
 public:
  explicit TFixedMetrics(int byteWidth = 8, int areaWidth = 640)
      : byteWidth_(byteWidth), areaWidth_(areaWidth) {}
  int TextWidth(std::string_view bytes) const override {
    return static_cast<int>(bytes.size()) * byteWidth_;
  }
  int AveCharWidth() const override { return byteWidth_; }
  int TextAreaWidth() const override { return areaWidth_; }
  void SetAreaWidth(int w) { areaWidth_ = w; }

 private:
  int byteWidth_;
  int areaWidth_;
};
