// TFenEdit input method: composition start and end, and the result string, which is typed
// as one string in code page 932.
#include <algorithm>

#include "FenEdit.h"
#include "platform/ImeRequest.h"

void TFenEdit::StartComposition() {
  composing_ = true;
  if (OnIMEChanging) {
    CaretIntoViewIfFixed();
    OnIMEChanging(this);
  }
}

void TFenEdit::EndComposition() {
  composing_ = false;
  if (OnIMEChanged) OnIMEChanged(this);
}

void TFenEdit::CompositionMessage(const TMessage& m) {
  if (ReadOnly || Host() == nullptr) return;
  if (!(static_cast<unsigned>(m.LParam) & GCS_RESULTSTR)) return;
  std::string result = Host()->GetCompositionString(GCS_RESULTSTR);
  if (!result.empty()) TypeText(result);
}

// ---- the text around the caret, for input methods -------------------------------------------

namespace {
constexpr TRow kSurroundRows = 8;        // rows of the caret's line on each side
constexpr size_t kSurroundBytes = 2048;  // bytes on each side within one long row
}  // namespace

// The caret's logical line, cut to a few rows, and to a window of bytes in a long unwrapped
// row, so that a query stays cheap whatever the line's length.
void TFenEdit::ImeSurrounding(std::string& text, int& cursor, int& anchor) const {
  const TRow cr = caret_.Row;
  const TRow first = std::max(LineFirstRow(cr), cr - kSurroundRows);
  const TRow last = std::min(LineLastRow(cr), cr + kSurroundRows);
  // The selection's far end: the anchor, or the moving end when the caret stands on the anchor.
  TRowPos other = caret_;
  if (IsSelected()) other = caret_ == selEnd_ ? anchor_ : (caret_ == anchor_ ? selEnd_ : anchor_);
  text.clear();
  long long cur = 0, anc = -1;
  for (TRow r = first; r <= last; ++r) {
    if (r == cr) cur = static_cast<long long>(text.size()) + caret_.Byte;
    if (r == other.Row) anc = static_cast<long long>(text.size()) + other.Byte;
    text += Store.Get(r);
  }
  if (RowHasTerminator(text)) text.resize(text.size() - 2);
  const long long size = static_cast<long long>(text.size());
  if (anc < 0) anc = Before(other, caret_) ? 0 : size;
  if (text.size() > 2 * kSurroundBytes) {
    long long from = std::max(0LL, cur - static_cast<long long>(kSurroundBytes));
    long long to = std::min(size, cur + static_cast<long long>(kSurroundBytes));
    if (from > 0 && ByteTypeAt(text, static_cast<int>(from) + 1) == 2) --from;
    if (to < size && ByteTypeAt(text, static_cast<int>(to) + 1) == 2) ++to;
    text = text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    cur -= from;
    anc -= from;
  }
  const long long n = static_cast<long long>(text.size());
  cursor = static_cast<int>(std::clamp(cur, 0LL, n));
  anchor = static_cast<int>(std::clamp(anc, 0LL, n));
}

// Removes bytes from..to (relative to the caret) of the caret's line, widened to whole
// characters, as one undoable deletion.
bool TFenEdit::ImeDeleteAround(int from, int to) {
  if (ReadOnly) return false;
  if (from > to) std::swap(from, to);
  std::string text;
  int cursor = 0, anchor = 0;
  ImeSurrounding(text, cursor, anchor);
  const int n = static_cast<int>(text.size());
  int a = std::clamp(cursor + from, 0, n), b = std::clamp(cursor + to, 0, n);
  if (a >= b) return false;
  if (a > 0 && ByteTypeAt(text, a + 1) == 2) --a;
  if (b < n && ByteTypeAt(text, b + 1) == 2) ++b;
  const TLinePos c = ToLinePos(caret_);
  const TRowPos start = ToRowPos({c.Byte + a - cursor, c.Line});
  const TRowPos end = ToRowPos({c.Byte + b - cursor, c.Line});
  selectAll_ = false;
  anchor_ = start;
  caret_ = selEnd_ = end;
  selected_ = true;
  DeleteSelection(true);
  RaiseChange();
  return true;
}

LRESULT TFenEdit::ImeRequest(WPARAM request, LPARAM data) {
  if (data == 0) return 0;
  if (request == IMR_DOCUMENTFEED) {
    auto* s = reinterpret_cast<TImeSurrounding*>(data);
    ImeSurrounding(s->Text, s->Cursor, s->Anchor);
    return 1;
  }
  if (request == IMR_DELETESURROUNDING) {
    auto* d = reinterpret_cast<TImeDeleteRange*>(data);
    return ImeDeleteAround(d->From, d->To) ? 1 : 0;
  }
  return 0;
}
