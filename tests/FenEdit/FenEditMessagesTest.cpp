#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ViewFixture.h"
#include "platform/Clipboard.h"

namespace {

std::string GetLine(EditView& v, int row, std::uint16_t size) {
  char buf[64];
  std::memset(buf, '#', sizeof buf);
  std::memcpy(buf, &size, sizeof size);
  LRESULT n = v.host.Send(EM_GETLINE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buf));
  return std::string(buf, static_cast<size_t>(n));
}

TEST(FenEditMessages, GetLineAndLineLengthByteExact) {
  EditView v;
  v.Create();
  v.edit->SetText("abc\r\ndef");
  EXPECT_EQ(GetLine(v, 0, 60), "abc\r\n");  // the line break counts
  EXPECT_EQ(GetLine(v, 1, 60), "def");      // the end-of-text pair does not
  EXPECT_EQ(GetLine(v, 0, 2), "ab");        // at most the buffer size, no NUL added
  EXPECT_EQ(GetLine(v, 2, 60), "");
  EXPECT_EQ(GetLine(v, -1, 60), "");
  EXPECT_EQ(v.host.Send(EM_GETLINE, 0, 0), 0);
  EXPECT_EQ(v.host.Send(EM_LINELENGTH, 0), 5);
  EXPECT_EQ(v.host.Send(EM_LINELENGTH, 1), 3);
  EXPECT_EQ(v.host.Send(EM_LINELENGTH, 2), 0);
  EXPECT_EQ(v.host.Send(EM_LINELENGTH, static_cast<WPARAM>(-1)), 0);
  EXPECT_EQ(v.host.Send(EM_GETLINECOUNT), 2);
  v.edit->SetText("");
  EXPECT_EQ(GetLine(v, 0, 60), "");  // the NUL pair alone
}

TEST(FenEditMessages, GetTextWithSmallBuffers) {
  EditView v;
  v.Create();
  v.edit->SetText("abc\r\nde");
  EXPECT_EQ(v.host.Send(WM_GETTEXTLENGTH), 7);
  char buf[16];
  for (int size : {1, 2, 5, 8, 16}) {
    std::memset(buf, '#', sizeof buf);
    LRESULT n = v.host.Send(WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buf));
    size_t want = std::min<size_t>(7, static_cast<size_t>(size - 1));
    EXPECT_EQ(n, static_cast<LRESULT>(want)) << size;
    EXPECT_EQ(std::string(buf, want), std::string("abc\r\nde").substr(0, want));
    EXPECT_EQ(buf[want], '\0');
    EXPECT_EQ(buf[want + 1], want + 1 < sizeof buf ? '#' : buf[want + 1]);
  }
  EXPECT_EQ(v.host.Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(v.host.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x\r\ny")), 1);
  EXPECT_EQ(v.edit->GetText(), "x\r\ny");
}

TEST(FenEditMessages, SelectionInPackedPositions) {
  EditView v;
  v.Create();
  v.edit->SetText("abc\r\ndef\r\nghi");
  std::uint32_t a = 0xDEAD, c = 0xBEEF;
  v.edit->GotoPos(2, 1, TCaretPlacement::Minimal);
  EXPECT_EQ(v.host.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&c)),
            0);
  EXPECT_EQ(a, MakeLong(2, 1));
  EXPECT_EQ(c, MakeLong(2, 1));
  v.host.Send(EM_SETSEL, MakeLong(1, 0), MakeLong(1, 2));
  EXPECT_EQ(v.edit->GetSelText(), "bc\r\ndef\r\ng");
  EXPECT_EQ(v.host.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&c)),
            10);
  EXPECT_EQ(a, MakeLong(1, 0));
  EXPECT_EQ(c, MakeLong(1, 2));
  // A caret after a row's CR LF moves to the next row's start.
  v.host.Send(EM_SETSEL, MakeLong(0, 0), MakeLong(5, 0));
  EXPECT_EQ(v.edit->Caret(), (TRowPos{0, 1}));
  // Positions past the text are limited to it.
  v.host.Send(EM_SETSEL, MakeLong(0, 0), MakeLong(99, 99));
  EXPECT_EQ(v.edit->Caret(), (TRowPos{3, 2}));
  EXPECT_EQ(v.host.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), 0), 13);
}

TEST(FenEditMessages, RegisteredCaretMessagesAndLargeRows) {
  EditView v;
  v.Create();
  unsigned get = RegisterWindowMessage("WM_TFENEDIT_GETCARETPOS");
  unsigned set = RegisterWindowMessage("WM_TFENEDIT_SETCARETPOS");
  EXPECT_EQ(v.edit->GetCaretPosMessage(), get);
  EXPECT_EQ(v.edit->SetCaretPosMessage(), set);
  v.edit->SetText(EditView::Rows(40000));
  EXPECT_EQ(v.host.Send(set, MakeLong(2, 500)), 1);  // scrolled
  EXPECT_EQ(v.host.Send(get), static_cast<LRESULT>(MakeLong(2, 500)));
  EXPECT_EQ(v.host.Send(set, MakeLong(1, 500)), 0);
  v.edit->GotoPos(1, 39000, TCaretPlacement::Minimal);
  EXPECT_EQ(v.host.Send(get), static_cast<LRESULT>(MakeLong(1, 32767)));
  std::uint32_t a = 0;
  v.host.Send(EM_GETSEL, reinterpret_cast<WPARAM>(&a), 0);
  EXPECT_EQ(a, MakeLong(1, 32767));
  EXPECT_EQ(v.host.Send(EM_GETFIRSTVISIBLELINE), v.edit->TopRow());
  // Beyond the text: the last row, its end.
  v.host.Send(set, MakeLong(9, 65535));
  EXPECT_EQ(v.edit->Caret(), (TRowPos{8, 39999}));
}

TEST(FenEditMessages, ClipboardAndDialogCodes) {
  EditView v;
  v.Create();
  MemoryClipboard clip;
  Clipboard* old = &CurrentClipboard();
  SetCurrentClipboard(&clip);
  v.edit->SetText("hello");
  v.host.Send(EM_SETSEL, MakeLong(0, 0), MakeLong(4, 0));
  v.host.Send(WM_COPY);
  EXPECT_EQ(clip.GetText(), "hell");
  v.host.Send(WM_CUT);
  EXPECT_EQ(v.edit->GetText(), "o");
  v.host.Send(WM_PASTE);
  EXPECT_EQ(v.edit->GetText(), "hello");
  v.host.Send(WM_CLEAR);
  EXPECT_EQ(v.edit->GetText(), "");
  SetCurrentClipboard(old);
  EXPECT_EQ(v.host.Send(WM_GETDLGCODE),
            static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB));
  v.edit->WantTabs = false;
  EXPECT_EQ(v.host.Send(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

}  // namespace
