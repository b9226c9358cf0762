// TFenEdit: moving a whole text, rows and all, out of the editor and back, so that a text
// shown again is not cut into rows a second time.
#include "FenEdit.h"

size_t TFenDocument::TextLength() const {
  size_t n = 0;
  for (const std::string& r : rows_) n += r.size();
  return n >= 2 ? n - 2 : 0;  // the end-of-text row's two NULs
}

std::string TFenDocument::Text() const {
  std::string text;
  text.reserve(TextLength());
  for (const std::string& r : rows_) text += r;
  if (text.size() >= 2) text.resize(text.size() - 2);
  return text;
}

TFenDocument::TLayout TFenEdit::CurrentLayout() const {
  TFenDocument::TLayout l;
  l.wrap = WordWrap_;
  if (!WordWrap_) return l;  // rows are whole lines whatever the width
  l.column = Column_;
  l.autoWrap = AutoWrap_;
  l.tabCount = TabCount_;
  l.singleByte = SingleByteMode_;
  l.charWidth = metrics_->AveCharWidth();
  if (AutoWrap_) {
    l.areaWidth = metrics_->TextAreaWidth();
    // Another font of the same average width cuts rows elsewhere.
    l.probeWidth = metrics_->TextWidth("Wi\x82\xa0\x82\xa9mj1 ");
  }
  return l;
}

TFenDocument TFenEdit::TakeDocument() {
  TFenDocument doc;
  doc.layout_ = CurrentLayout();
  doc.rowsCutWithOldTabs_ = rowsCutWithOldTabs_;
  doc.rows_ = Store.TakeRows();
  ClearAll();
  return doc;
}

bool TFenEdit::NeedsLayout(const TFenDocument& document) const {
  return !document.rows_.empty() && !(document.layout_ == CurrentLayout());
}

void TFenEdit::PutDocument(TFenDocument&& document) {
  if (document.rows_.empty()) {
    ClearAll();
    return;
  }
  const bool relayout = NeedsLayout(document);
  ResetState();
  Store.SetRows(std::move(document.rows_));
  document.rows_.clear();
  rowsCutWithOldTabs_ = document.rowsCutWithOldTabs_;
  if (relayout) {
    WrapAll(WordWrap_, true);
  } else {
    UpdateScrollRange();
    RepaintAll();
  }
}
