// TFenEdit window procedure: the messages the control answers.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FenEdit.h"

namespace {
// A position packed for a window message: the offset in the low word (below 65536), the
// row in the high word, limited to 32767.
LRESULT PackPos(TRowPos p) {
  unsigned byte = static_cast<unsigned>(std::clamp(p.Byte, 0, 0xFFFF));
  unsigned row = static_cast<unsigned>(std::clamp(p.Row, 0, 32767));
  return static_cast<LRESULT>(MakeLong(byte, row));
}
TRowPos UnpackPos(std::uintptr_t v) {
  return TRowPos{static_cast<TByte>(LoWord(v)), static_cast<TRow>(HiWord(v))};
}
void WriteCell(WPARAM cell, LRESULT value) {
  if (cell == 0) return;
  std::uint32_t v = static_cast<std::uint32_t>(value);
  std::memcpy(reinterpret_cast<void*>(cell), &v, sizeof v);
}
// Bytes of a row up to its first NUL: its CR LF counts, the end-of-text pair does not.
size_t RowTextLength(const std::string& row) {
  size_t nul = row.find('\0');
  return nul == std::string::npos ? row.size() : nul;
}
}  // namespace

void TFenEdit::WndProc(TMessage& message) {
  if (InputMessage(message)) return;
  if (ViewMessage(message)) return;
  TCustomControl::WndProc(message);
}

bool TFenEdit::ViewMessage(TMessage& m) {
  const unsigned msg = m.Msg;
  if (msg == WM_TFENEDIT_GETCARETPOS_) {
    m.Result = PackPos(caret_);
    return true;
  }
  if (msg == WM_TFENEDIT_SETCARETPOS_) {
    TRowPos p = UnpackPos(m.WParam);
    m.Result = GotoPos(p.Byte, p.Row, TCaretPlacement::Minimal) ? 1 : 0;
    return true;
  }
  switch (msg) {
    case WM_CREATE:
      TCustomControl::WndProc(m);
      CreateView();
      if (Host()) {
        Host()->SetScrollPos(SB_VERT, 0, true);
        Host()->SetScrollPos(SB_HORZ, 0, true);
      }
      m.Result = 0;
      return true;
    case WM_SIZE:
      SizeView();
      m.Result = 0;
      return true;
    case WM_ERASEBKGND:
      m.Result = 0;
      return true;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (WantTabs ? DLGC_WANTTAB : 0);
      return true;
    case WM_SETFOCUS:
      TCustomControl::WndProc(m);
      imeFontSet_ = false;
      Host()->SetTimer(1, 40);
      Host()->CreateCaret(2, geom_.CharHeight);
      PlaceCaret();
      Host()->ShowCaret();
      m.Result = 0;
      return true;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      Host()->KillTimer(1);
      Host()->HideCaret();
      Host()->DestroyCaret();
      m.Result = 0;
      return true;
    case WM_VSCROLL:
      m.Result = VScroll(LoWord(m.WParam), static_cast<int>(HiWord(m.WParam)));
      return true;
    case WM_HSCROLL:
      m.Result = HScroll(LoWord(m.WParam), static_cast<int>(HiWord(m.WParam)));
      return true;
    case WM_MOUSEWHEEL:
      MouseWheel(HiShort(m.WParam));
      m.Result = 0;
      return true;
    case WM_GETTEXT: {
      m.Result = 0;
      if (m.WParam == 0 || m.LParam == 0) return true;
      std::string text = GetText();
      size_t n = std::min(text.size(), static_cast<size_t>(m.WParam) - 1);
      char* buf = reinterpret_cast<char*>(m.LParam);
      std::memcpy(buf, text.data(), n);
      buf[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      return true;
    }
    case WM_SETTEXT:
      SetText(m.LParam ? std::string_view(reinterpret_cast<const char*>(m.LParam))
                       : std::string_view());
      m.Result = 1;
      return true;
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(Store.TextLength());
      return true;
    case EM_GETFIRSTVISIBLELINE:
      m.Result = geom_.TopRow;
      return true;
    case EM_GETLINECOUNT:
      m.Result = Store.Count();
      return true;
    case EM_LINELENGTH: {
      // Rows outside the text answer 0 rather than raising the store's error.
      auto row = static_cast<std::intptr_t>(m.WParam);
      m.Result = row < 0 || row >= Store.Count()
                     ? 0
                     : static_cast<LRESULT>(RowTextLength(Store.Get(static_cast<TRow>(row))));
      return true;
    }
    case EM_GETLINE: {
      m.Result = 0;
      auto row = static_cast<std::intptr_t>(m.WParam);
      if (m.LParam == 0 || row < 0 || row >= Store.Count()) return true;
      const std::string& s = Store.Get(static_cast<TRow>(row));
      size_t len = RowTextLength(s);
      if (len == 0) return true;
      std::uint16_t size;
      char* buf = reinterpret_cast<char*>(m.LParam);
      std::memcpy(&size, buf, sizeof size);
      size_t n = std::min(len, static_cast<size_t>(size));
      std::memcpy(buf, s.data(), n);
      m.Result = static_cast<LRESULT>(n);
      return true;
    }
    case EM_GETSEL: {
      bool sel = IsSelected();
      WriteCell(m.WParam, PackPos(sel ? anchor_ : caret_));
      WriteCell(static_cast<WPARAM>(m.LParam), PackPos(sel ? selEnd_ : caret_));
      m.Result = 0;
      if (selectAll_) {
        m.Result = static_cast<LRESULT>(Store.TextLength());
      } else if (selected_) {
        TRowPos a = anchor_, b = selEnd_;
        if (Before(b, a)) std::swap(a, b);
        long long n = 0;
        for (TRow r = a.Row; r < b.Row; ++r) n += static_cast<long long>(Store.Get(r).size());
        n += std::min<long long>(b.Byte, static_cast<long long>(Store.Get(b.Row).size())) -
             std::min<long long>(a.Byte, static_cast<long long>(Store.Get(a.Row).size()));
        m.Result = static_cast<LRESULT>(std::max(0LL, n));
      }
      return true;
    }
    case EM_SETSEL: {
      TRowPos a = UnpackPos(m.WParam);
      TRowPos c = UnpackPos(static_cast<std::uintptr_t>(m.LParam));
      SetSel(a.Byte, a.Row, c.Row, c.Byte);
      m.Result = 0;
      return true;
    }
    case WM_CUT:
      CutToClipboard();
      m.Result = 0;
      return true;
    case WM_COPY:
      CopyToClipboard();
      m.Result = 0;
      return true;
    case WM_PASTE:
      PasteFromClipboard();
      m.Result = 0;
      return true;
    case WM_CLEAR:
      ClearAll();
      m.Result = 0;
      return true;
    case WM_UNDO:
    case EM_UNDO:
      Undo();
      m.Result = 1;
      return true;
    default:
      return false;
  }
}
