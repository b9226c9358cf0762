#include <gtest/gtest.h>

#include "FenEdit/FenEdit.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "support/TempDir.h"

namespace {

const std::string kA = "\x82\xa0";   // あ (hiragana)
const std::string kI = "\x82\xa2";   // い
const std::string kKa = "\x83\x41";  // ア (katakana)
const std::string kSp = "\x81\x40";  // full-width space

// Records message boxes instead of showing them.
class RecordingBoxes : public MessageBoxHandler {
 public:
  RecordingBoxes() { previous_ = SetMessageBoxHandler(this); }
  ~RecordingBoxes() override { SetMessageBoxHandler(previous_); }
  int Show(const std::string& text, const std::string&, unsigned) override {
    shown.push_back(text);
    return IDOK;
  }
  std::vector<std::string> shown;

 private:
  MessageBoxHandler* previous_;
};

// An editor with wrapping off unless asked, so rows are lines.
struct Ed {
  TFenEdit e;
  explicit Ed(const std::string& text, bool wrap = false) {
    e.SetWordWrap(wrap);
    e.SetText(text);
  }
  void At(TByte b, TRow r) { e.GotoPos(b, r, TCaretPlacement::Minimal); }
  std::string Text() const { return e.GetText(); }
};

}  // namespace

TEST(FenEditEdit, TypingInsertAndOverwrite) {
  Ed a("abcd");
  a.At(1, 0);
  a.e.TypeText("XY");
  EXPECT_EQ("aXYbcd", a.Text());
  EXPECT_EQ(3, a.e.CaretByte());
  // Overwrite: one single-byte character replaces one of four.
  Ed b("abcd");
  b.e.SetInsertMode(false);
  b.e.TypeText("X");
  EXPECT_EQ("Xbcd", b.Text());
  // Overwriting half of a double-byte character takes it whole and keeps the width.
  Ed c(kA + kI);
  c.e.SetInsertMode(false);
  c.e.TypeText("X");
  EXPECT_EQ("X " + kI, c.Text());
  EXPECT_EQ(1, c.e.CaretByte());
  c.e.Undo();
  EXPECT_EQ(kA + kI, c.Text());  // the overwrite is one undo step
  EXPECT_FALSE(c.e.Modified());
  // At the end of a line, overwrite inserts.
  Ed d("ab\r\ncd");
  d.e.SetInsertMode(false);
  d.At(2, 0);
  d.e.TypeText("Z");
  EXPECT_EQ("abZ\r\ncd", d.Text());
}

TEST(FenEditEdit, OverwriteAcrossWrappedRows) {
  Ed a(std::string(80, 'a') + "\r\nz", true);
  a.e.SetInsertMode(false);
  a.At(70, 0);
  a.e.TypeText("12345");  // runs over the row end into the continuation row
  EXPECT_EQ(std::string(70, 'a') + "12345" + std::string(5, 'a') + "\r\nz", a.Text());
  EXPECT_EQ("", a.e.CheckInvariants());
  a.e.Undo();
  EXPECT_EQ(std::string(80, 'a') + "\r\nz", a.Text());
}

TEST(FenEditEdit, NewLineAndAutoIndent) {
  Ed a(kSp + " ab");
  a.e.AutoIndent = true;
  a.At(5, 0);
  a.e.NewLine();
  EXPECT_EQ(kSp + " ab\r\n", a.Text());  // the full-width space is not indentation
  Ed b("\t  ab");
  b.e.AutoIndent = true;
  b.At(5, 0);
  b.e.NewLine();
  EXPECT_EQ("\t  ab\r\n\t  ", b.Text());
  EXPECT_EQ(TRowPos({3, 1}), b.e.Caret());
  Ed c("ab");
  c.At(1, 0);
  c.e.NewLine();
  EXPECT_EQ("a\r\nb", c.Text());
  c.e.InsertTab();
  EXPECT_EQ("a\r\n\tb", c.Text());
}

TEST(FenEditEdit, DeleteAndBackspace) {
  Ed a("ab\r\ncd");
  a.At(2, 0);
  a.e.DeleteChar();  // on the CR: lines join
  EXPECT_EQ("abcd", a.Text());
  a.At(4, 0);
  a.e.DeleteChar();  // at the end of the text: nothing
  EXPECT_EQ("abcd", a.Text());
  a.At(0, 0);
  a.e.BackspaceChar();  // at the start: nothing
  EXPECT_EQ("abcd", a.Text());
  Ed b(kA + "x");
  b.e.DeleteChar();
  EXPECT_EQ("x", b.Text());
  // Backspace at byte 0 of a continuation row removes the last character of the row above.
  Ed c(std::string(71, 'a') + kA + "bc", true);
  ASSERT_EQ(2, c.e.GetStore().Count());
  c.At(0, 1);
  c.e.BackspaceChar();
  EXPECT_EQ(std::string(70, 'a') + kA + "bc", c.Text());
  EXPECT_EQ("", c.e.CheckInvariants());
  // Backspace at the start of a line joins it to the one above.
  Ed d("ab\r\ncd");
  d.At(0, 1);
  d.e.BackspaceChar();
  EXPECT_EQ("abcd", d.Text());
  EXPECT_EQ(TRowPos({2, 0}), d.e.Caret());
}

TEST(FenEditEdit, WordDeletion) {
  Ed a(kA + kA + kA + kA + kKa + kKa + kKa + kKa);
  a.e.DeleteWordRight();
  EXPECT_EQ(kKa + kKa + kKa + kKa, a.Text());
  Ed b("\tabc");
  b.e.DeleteWordRight();
  EXPECT_EQ("abc", b.Text());
  Ed c("foo bar");
  c.At(7, 0);
  c.e.DeleteWordLeft();
  EXPECT_EQ("foo ", c.Text());
  c.e.DeleteWordLeft();
  EXPECT_EQ("foo", c.Text());
  Ed d("ab\r\ncd");
  d.At(0, 1);
  d.e.DeleteWordLeft();  // at a line start it acts as Backspace
  EXPECT_EQ("abcd", d.Text());
  EXPECT_EQ(0, TFenEdit::CharClass(0x82A0));
  EXPECT_EQ(1, TFenEdit::CharClass(0x8341));
  EXPECT_EQ(3, TFenEdit::CharClass(0x8260));
  EXPECT_EQ(4, TFenEdit::CharClass(0x8140));
  EXPECT_EQ(5, TFenEdit::CharClass(0xB1));
  EXPECT_EQ(6, TFenEdit::CharClass('_'));
  EXPECT_EQ(7, TFenEdit::CharClass(' '));
  EXPECT_EQ(2, TFenEdit::CharClass(0x93FA));
}

TEST(FenEditEdit, SelectionModel) {
  Ed a("abc\r\ndef\r\nghi");
  a.e.SetSel(1, 0, 1, 2);
  EXPECT_TRUE(a.e.IsSelected());
  EXPECT_EQ("bc\r\nde", a.e.GetSelText());
  TByte sb, eb;
  TRow sr, er;
  ASSERT_TRUE(a.e.GetSelRange(sb, sr, er, eb));
  EXPECT_EQ((std::vector<int>{1, 0, 1, 2}), (std::vector<int>{sb, sr, er, eb}));
  // An end at byte 0 of a row becomes the previous row at its full length.
  a.e.SetSel(0, 0, 1, 0);
  ASSERT_TRUE(a.e.GetSelRange(sb, sr, er, eb));
  EXPECT_EQ((std::vector<int>{0, 0, 0, 5}), (std::vector<int>{sb, sr, er, eb}));
  // A caret byte at the full length of a terminated row moves to the next row.
  a.e.SetSel(0, 0, 0, 5);
  EXPECT_EQ(TRowPos({0, 1}), a.e.Caret());
  a.e.SelectAll();
  EXPECT_EQ("abc\r\ndef\r\nghi", a.e.GetSelText());
  a.e.CancelSelection();
  EXPECT_FALSE(a.e.IsSelected());
  EXPECT_EQ("", a.e.GetSelText());
  Ed empty("");
  int changes = 0;
  empty.e.OnSelectionChange = [&](TObject*) { ++changes; };
  empty.e.SelectAll();
  EXPECT_FALSE(empty.e.IsSelected());
  EXPECT_EQ(0, changes);
}

TEST(FenEditEdit, DeleteSelectionAcrossWrappedRows) {
  Ed a(std::string(100, 'a') + "\r\n" + std::string(100, 'b'), true);
  a.e.SetSel(50, 0, 3, 10);
  a.e.DeleteSelection(true);
  EXPECT_EQ(std::string(50, 'a') + std::string(100 - 82 + 0, 'b'), a.Text().substr(0, 68));
  EXPECT_EQ("", a.e.CheckInvariants());
  a.e.Undo();
  EXPECT_EQ(std::string(100, 'a') + "\r\n" + std::string(100, 'b'), a.Text());
}

// Taking out exactly the bytes between a lone CR and a lone LF joins them into a line break
// for a moment; what is typed over the selection still goes between them.
TEST(FenEditEdit, TypingOverTheBytesBetweenALoneCrAndLf) {
  struct Case {
    const char* what;
    void (*act)(TFenEdit&);
    std::string want;
  } cases[] = {
      {"type", [](TFenEdit& e) { e.TypeText("z"); }, "a\rz\nb"},
      {"tab", [](TFenEdit& e) { e.InsertTab(); }, "a\r\t\nb"},
      {"newline", [](TFenEdit& e) { e.NewLine(); }, "a\r\r\n\nb"},
      {"text", [](TFenEdit& e) { e.SetSelText("zz"); }, "a\rzz\nb"},
  };
  for (const Case& c : cases) {
    Ed a("a\rXY\nb");
    a.e.SetSel(2, 0, 0, 4);
    c.act(a.e);
    EXPECT_EQ(c.want, a.Text()) << c.what;
    EXPECT_EQ("", a.e.CheckInvariants()) << c.what;
    while (a.e.CanUndo()) a.e.Undo();
    EXPECT_EQ("a\rXY\nb", a.Text()) << c.what;
  }
  // Delete alone leaves the pair a line break, the caret before it.
  Ed d("a\rXY\nb");
  d.e.SetSel(2, 0, 0, 4);
  d.e.DeleteChar();
  EXPECT_EQ("a\r\nb", d.Text());
  d.e.TypeText("z");
  EXPECT_EQ("az\r\nb", d.Text());
}

// Moving a line break out from between a lone CR and a lone LF joins them into a new one; a
// drop further on still lands where it was aimed, after the "b".
TEST(FenEditEdit, DropAfterTextWhoseRemovalJoinsACrAndAnLf) {
  Ed a("a\r\r\n\n\r\nb");
  a.e.SetSel(2, 0, 1, 0);  // the CR LF that ends the first row
  a.e.SetDropCaret(1, 2);
  a.e.DropText(a.e.GetSelText(), false);
  EXPECT_EQ("a\r\n\r\nb\r\n", a.Text());
  EXPECT_EQ("", a.e.CheckInvariants());
  while (a.e.CanUndo()) a.e.Undo();
  EXPECT_EQ("a\r\r\n\n\r\nb", a.Text());
}

TEST(FenEditEdit, ClipboardCutCopyPaste) {
  MemoryClipboard clip;
  Clipboard* old = SetCurrentClipboard(&clip);
  Ed a("hello world");
  a.e.SetSel(0, 0, 0, 5);
  a.e.CopyToClipboard();
  EXPECT_EQ("hello", clip.GetText());
  a.e.CutToClipboard();
  EXPECT_EQ(" world", a.Text());
  a.At(6, 0);
  a.e.PasteFromClipboard();
  EXPECT_EQ(" worldhello", a.Text());
  // LF-separated text stays in one row; CR LF makes lines.
  clip.SetText("x\ny");
  a.e.PasteFromClipboard();
  EXPECT_EQ(1, a.e.GetStore().Count());
  clip.SetText("1\r\n2");
  a.e.PasteFromClipboard();
  EXPECT_EQ(2, a.e.GetStore().Count());
  // Nothing on the clipboard: nothing happens.
  MemoryClipboard emptyClip;
  SetCurrentClipboard(&emptyClip);
  std::string before = a.Text();
  a.e.PasteFromClipboard();
  EXPECT_EQ(before, a.Text());
  // A failing clipboard shows the coded box and leaves the text alone.
  RecordingBoxes boxes;
  emptyClip.SetFailing(true);
  a.e.SelectAll();
  a.e.CopyToClipboard();
  EXPECT_EQ(std::vector<std::string>{"Error:OC002"}, boxes.shown);
  EXPECT_EQ(before, a.Text());
  SetCurrentClipboard(old);
}

TEST(FenEditEdit, PastedNulsAndLoneBreaksKeepTheStoreValid) {
  MemoryClipboard clip;
  Clipboard* old = SetCurrentClipboard(&clip);
  Ed a("ab", true);
  a.At(1, 0);
  clip.SetText(std::string("X\0Y", 3));
  a.e.PasteFromClipboard();
  EXPECT_EQ("aXb", a.Text());  // the text ends at its NUL
  clip.SetText("\r");
  a.e.PasteFromClipboard();
  clip.SetText("\n");  // completes a CR LF pair with the lone CR before it
  a.e.PasteFromClipboard();
  EXPECT_EQ("aX\r\nb", a.Text());
  EXPECT_EQ(2, a.e.GetStore().Count());
  EXPECT_EQ("", a.e.CheckInvariants());
  clip.SetText("\x82");  // a lone lead byte
  a.e.PasteFromClipboard();
  EXPECT_EQ("", a.e.CheckInvariants());
  SetCurrentClipboard(old);
}

TEST(FenEditEdit, CutWithNothingSelectedOnAnEmptyLine) {
  Ed a("a\r\n\r\nb");
  a.At(0, 1);
  a.e.CutToClipboard();
  EXPECT_EQ("a\r\nb", a.Text());
  a.e.Undo();  // recorded, so undo brings the line back
  EXPECT_EQ("a\r\n\r\nb", a.Text());
}

TEST(FenEditEdit, Trimming) {
  Ed a("a  \r\n\r\nb\t");
  TRow first = 0, last = 2;
  a.e.TrimRight(first, last, true);
  EXPECT_EQ("a\r\n\r\nb", a.Text());
  a.e.Undo();
  EXPECT_EQ("a  \r\n\r\nb\t", a.Text());  // one step
  Ed b("  a\r\n\r\n b");
  first = 0, last = 2;
  b.e.TrimLeft(first, last, true);
  EXPECT_EQ("a\r\nb", b.Text());
  Ed c(kSp + "x" + kSp + "\r\nend", true);
  first = 0, last = 0;
  c.e.TrimBoth(first, last, true);
  EXPECT_EQ("x\r\nend", c.Text());
  Ed d(kSp + "x" + kSp);
  first = 0, last = 0;
  d.e.TrimBoth(first, last, false);
  EXPECT_EQ(kSp + "x" + kSp, d.Text());
}

TEST(FenEditEdit, DropMovesAndCopies) {
  auto drop = [](const std::string& text, TRowPos a, TRowPos b, TRowPos at, bool copy) {
    Ed d(text);
    d.e.SetSel(a.Byte, a.Row, b.Row, b.Byte);
    std::string dragged = d.e.GetSelText();
    d.e.SetDropCaret(at.Byte, at.Row);
    d.e.DropText(dragged, copy);
    EXPECT_EQ("", d.e.CheckInvariants());
    return d.Text();
  };
  const std::string t = "one\r\ntwo\r\nthree";
  // A whole line onto the start of the next line: nothing changes.
  EXPECT_EQ(t, drop(t, {0, 0}, {0, 1}, {0, 1}, false));
  // Onto the start of the line after that: it moves below the next line.
  EXPECT_EQ("two\r\none\r\nthree", drop(t, {0, 0}, {0, 1}, {0, 2}, false));
  // Inside the selection: nothing.
  EXPECT_EQ(t, drop(t, {0, 1}, {3, 1}, {1, 1}, false));
  // A word moved right within its line, and copied.
  EXPECT_EQ("one\r\ntwo\r\nthere", drop(t, {2, 2}, {3, 2}, {4, 2}, false));
  EXPECT_EQ("oneon\r\ntwo\r\nthree", drop(t, {0, 0}, {2, 0}, {3, 0}, true));
  // A block spanning lines moved to the end.
  EXPECT_EQ("oo\r\nthreene\r\ntw", drop(t, {1, 0}, {2, 1}, {5, 2}, false));
  // Read-only refuses the drop.
  Ed r(t);
  r.e.ReadOnly = true;
  r.e.SetSel(0, 0, 0, 3);
  r.e.SetDropCaret(0, 2);
  r.e.DropText("one", false);
  EXPECT_EQ(t, r.Text());
  EXPECT_FALSE(r.e.IsSelected());
}
