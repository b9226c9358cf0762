// What the text engine tells its view. The control's own view answers by default; a test puts
// a stub in its place (TFenEdit::SetNotify) instead of deriving from the control.
#pragma once
#include <string>
#include <vector>

#include "FenEditSub.h"
#include "Fenstrings.h"

// How ScrollToCaret brings the caret into view.
enum class TCaretPlacement { Minimal, Centre, UpperFifth };

class TFenEditNotify {
 public:
  virtual ~TFenEditNotify() = default;
  virtual void RepaintAll() = 0;
  virtual void RepaintRows(TRow first, TRow last) = 0;
  virtual void RepaintFrom(TRow first) = 0;
  // The row count or the widest row may have changed.
  virtual void UpdateScrollRange() = 0;
  // The caret was placed; true when bringing it into view scrolled.
  virtual bool CaretPlaced(TCaretPlacement placement) = 0;
  virtual void ImeWindowToOrigin() = 0;
  // The last row in view; the caller of a trim repaints up to it.
  virtual TRow LastVisibleRow() const = 0;
  virtual void ShowCodedMessage(const char* code) = 0;
};

// A view that draws nothing and sees every row; counts the repaints asked for.
class TNullNotify : public TFenEditNotify {
 public:
  int repaintAll = 0;
  int repaintRows = 0;  // RepaintRows and RepaintFrom
  std::vector<std::string> messages;
  explicit TNullNotify(const TFenStrings& store) : store_(store) {}
  void RepaintAll() override { ++repaintAll; }
  void RepaintRows(TRow, TRow) override { ++repaintRows; }
  void RepaintFrom(TRow) override { ++repaintRows; }
  void UpdateScrollRange() override {}
  bool CaretPlaced(TCaretPlacement) override { return false; }
  void ImeWindowToOrigin() override {}
  TRow LastVisibleRow() const override { return store_.Count() - 1; }
  void ShowCodedMessage(const char* code) override { messages.emplace_back(code); }

 private:
  const TFenStrings& store_;
};
