// TFenEdit: construction, whole-text operations and the editor state reset.
#include "FenEdit.h"

#include <cstring>

#include "platform/MessageBox.h"

TFenEdit::TFenEdit() : fixedMetrics_(std::make_unique<TFixedMetrics>()) {
  metrics_ = fixedMetrics_.get();
  Store.Add(std::string(2, '\0'));
}

TFenEdit::~TFenEdit() = default;

void TFenEdit::SetMetrics(const TFenMetrics* metrics) {
  metrics_ = metrics ? metrics : fixedMetrics_.get();
}

void TFenEdit::TOwnView::ShowCodedMessage(const char* code) {
  ShowMessage(code);
}

std::string_view TFenEdit::CutAtNul(std::string_view text) {
  size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

void TFenEdit::SplitTextRows(std::string_view text, bool final, std::vector<std::string>& rows) {
  size_t pos = 0;
  const char* d = text.data();
  const size_t len = text.size();
  while (pos < len) {
    // Next CR LF pair; a lone CR or LF is an ordinary byte of its row.
    size_t end = len;
    bool found = false;
    for (size_t i = pos; i < len;) {
      const void* cr = std::memchr(d + i, '\r', len - i);
      if (!cr) break;
      size_t at = static_cast<size_t>(static_cast<const char*>(cr) - d);
      if (at + 1 < len && d[at + 1] == '\n') {
        end = at + 2;
        found = true;
        break;
      }
      i = at + 1;
    }
    if (!found && final) break;
    rows.emplace_back(d + pos, end - pos);
    pos = end;
  }
  if (final) {
    std::string last(d + pos, len - pos);
    last.append(2, '\0');
    rows.push_back(std::move(last));
  }
}

void TFenEdit::SetModifiedFlag(bool value) {
  bool changed = modified_ != value;
  modified_ = value;
  if (changed && OnChangeModify) OnChangeModify(this, value);
}

void TFenEdit::ResetState() {
  caret_ = anchor_ = selEnd_ = TRowPos{};
  selected_ = selectAll_ = false;
  insertMode_ = true;
  geom_.HorzOffset = 0;
  geom_.TopRow = 0;
  rememberedColumn_ = 0;
  caretX_ = 0;
  hitShown_ = false;
  history_.Clear();
  applying_ = false;
  modified_ = false;
  if (OnChangeModify) OnChangeModify(this, false);
  if (OnChangeRedoMode) OnChangeRedoMode(this, false);
}

// The text ends at its first NUL; the two NULs of the end of text are added here.
void TFenEdit::SetText(std::string_view text) {
  std::string_view body = CutAtNul(text);
  ResetState();
  std::vector<std::string> rows;
  rows.reserve(body.size() / TFenStrings::kAssumedRowLength + 1);
  SplitTextRows(body, true, rows);
  Store.SetRows(std::move(rows));
  if (WordWrap_) {
    WrapAll(true, true);
  } else {
    UpdateScrollRange();
    RepaintAll();
  }
}

// A loaded file keeps its bytes, but NUL bytes are dropped and rows are split at CR LF only,
// so the store always holds exactly one end-of-text row.
static bool NeedsNormalising(const TFenStrings& store) {
  int n = store.Count();
  int i = 0;
  bool needs = false;
  store.ForEachRow([&](const std::string& r) {
    size_t len = r.size();
    bool last = i++ == n - 1;
    if (len < 2 || (last ? (r[len - 2] != '\0' || r[len - 1] != '\0')
                         : (r[len - 2] != '\r' || r[len - 1] != '\n'))) {
      needs = true;
    } else if (std::memchr(r.data(), '\0', len - (last ? 2 : 0))) {
      needs = true;
    } else {
      // A CR LF pair inside the row, or a lone CR cut as a terminator by the loader.
      const char* p = r.data();
      const char* end = r.data() + len - 2;
      while ((p = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p))))) {
        if (p[1] == '\n') {
          needs = true;
          break;
        }
        ++p;
      }
    }
    return !needs;
  });
  return needs;
}

bool TFenEdit::LoadFromFile(const std::string& fileName) {
  try {
    Store.LoadFromFile(fileName);
  } catch (...) {
    // The loaders read the file before touching the rows; make sure the store is valid.
    if (Store.Count() == 0) Store.Add(std::string(2, '\0'));
    return false;
  }
  try {
    if (NeedsNormalising(Store)) {
      std::string text = Store.GetText();
      std::string clean;
      clean.reserve(text.size());
      for (char c : text)
        if (c != '\0') clean += c;
      std::vector<std::string> rows;
      SplitTextRows(clean, true, rows);
      Store.SetRows(std::move(rows));
    }
    bool wrap = WordWrap_;
    ResetState();
    UpdateScrollRange();
    if (wrap) {
      WrapAll(true, true);
    } else {
      RepaintAll();
    }
    ImeWindowToOrigin();
  } catch (...) {
    if (Store.Count() == 0) Store.Add(std::string(2, '\0'));
    return false;
  }
  return true;
}

bool TFenEdit::SaveToFile(const std::string& fileName) {
  try {
    Store.SaveToFile(fileName);
    return true;
  } catch (...) {
    return false;
  }
}

void TFenEdit::ClearAll() {
  std::vector<std::string> rows;
  rows.emplace_back(2, '\0');
  Store.SetRows(std::move(rows));
  ResetState();
  UpdateScrollRange();
  RepaintAll();
}

std::string TFenEdit::CheckInvariants() const {
  int n = Store.Count();
  if (n < 1) return "no rows";
  for (int i = 0; i < n; ++i) {
    const std::string& r = Store.Get(i);
    size_t len = r.size();
    bool last = i == n - 1;
    bool eot = len >= 2 && r[len - 2] == '\0' && r[len - 1] == '\0';
    if (last != eot) return "end-of-text row misplaced at row " + std::to_string(i);
    if (std::memchr(r.data(), '\0', len - (eot ? 2 : 0)))
      return "NUL inside row " + std::to_string(i);
    if (len == 0) return "empty row " + std::to_string(i);
    bool crlf = len >= 2 && r[len - 2] == '\r' && r[len - 1] == '\n';
    size_t pair = r.find("\r\n");
    if (pair != std::string::npos && pair + 2 != len)
      return "CR LF inside row " + std::to_string(i);
    if (!crlf && !eot) {
      // A continuation row never splits a CR LF pair or a double-byte character.
      if (!WordWrap_) return "continuation row while unwrapped at row " + std::to_string(i);
      if (r[len - 1] == '\r' && i + 1 < n && Store.Get(i + 1)[0] == '\n')
        return "CR LF split after row " + std::to_string(i);
      if (!SingleByteMode_ && ByteTypeAt(r, static_cast<int>(len)) == 1)
        return "double-byte character split after row " + std::to_string(i);
    }
  }
  return {};
}
