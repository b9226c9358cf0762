#include <QLineEdit>
#include <QRegularExpression>

#include "MainFormFixture.h"
#include "app/ui/OptionDlg.h"
#include "platform/Clipboard.h"
#include "platform/qt/QtClipboard.h"

namespace {

class TransformsTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    // The paste commands are enabled by the system clipboard's contents.
    old_ = SetCurrentClipboard(&clip_);
  }
  void TearDown() override {
    End();
    SetCurrentClipboard(old_);
    MainFormTest::TearDown();
  }
  TFenEdit& Edit() const { return *form_->FenEdit1; }
  std::string Text() const { return Edit().GetText(); }

  QtClipboard clip_;
  Clipboard* old_ = nullptr;
};

}  // namespace

// The encodings and the paragraph conversion take the selection, or the whole text when
// nothing is selected; either way one undo brings the old text back.
TEST_F(TransformsTest, WholeTextCommandsUseTheSelectionOrEverything) {
  struct Row {
    const char* action;
    const char* text;
    bool select;  // "b.c" on the second line, else nothing
    const char* result;
  };
  const Row rows[] = {
      {"EditConvP", "a\r\nb.c", false, "<p>a<br />\r\nb.c</p>"},
      {"EditConvP", "a\r\nb.c", true, "a\r\n<p>b.c</p>"},
      {"EditHtmlEncode", "<a>\r\nb.c", false, "&lt;a&gt;\r\nb.c"},
      {"EditMailEncode", "x@y\r\nb.c", false, "x&#64;y\r\nb&#46;c"},
      {"EditMailEncode", "x@y\r\nb.c", true, "x@y\r\nb&#46;c"},
  };
  Start();
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.action) + (r.select ? " selected" : ""));
    Editor().SetText(r.text);
    if (r.select) {
      Edit().SetSel(0, 1, 1, 3);
    }
    Trigger(r.action);
    EXPECT_EQ(Text(), r.result);
    EXPECT_FALSE(Edit().IsSelected());
    Edit().Undo();
    EXPECT_EQ(Text(), r.text);
  }
}

TEST_F(TransformsTest, ListsAndTablesUseOnlyTheSelection) {
  struct Row {
    const char* action;
    bool select;  // the first two lines, else the caret at the start of the last line
    const char* result;
  };
  const Row rows[] = {
      {"HtmlUl", true, "<ul>\r\n<li>a,b</li>\r\n<li>c\td</li>\r\n</ul>\r\nz"},
      {"HtmlOl", false, "a,b\r\nc\td\r\n<ol>\r\n</ol>\r\nz"},
      {"HtmlTableComma", true,
       "<table border=\"1\">\r\n<tr><td>a</td><td>b</td></tr>\r\n<tr><td>c\td</td></tr>\r\n"
       "</table>\r\nz"},
      {"HtmlTableTab", true,
       "<table border=\"1\">\r\n<tr><td>a,b</td></tr>\r\n<tr><td>c</td><td>d</td></tr>\r\n"
       "</table>\r\nz"},
      {"HtmlTableTab", false, "a,b\r\nc\td\r\n<table border=\"1\">\r\n</table>\r\nz"},
  };
  Start();
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.action) + (r.select ? " selected" : ""));
    Editor().SetText("a,b\r\nc\td\r\nz");
    if (r.select) {
      Edit().SetSel(0, 0, 2, 0);
    } else {
      Edit().GotoPos(0, 2, TCaretPlacement::Minimal);
    }
    Trigger(r.action);
    EXPECT_EQ(Text(), r.result);
  }
}

TEST_F(TransformsTest, QuotedPasteTakesItsMarkFromTheOptionDialog) {
  Start();
  clip_.SetText("x\r\n\r\ny");
  // Without the option dialog the customary mark.
  Editor().SetText("AB");
  Edit().SetSel(0, 0, 0, 1);
  Trigger("EditQuotePaste");
  EXPECT_EQ(Text(), ">x\r\n>\r\n>y\r\nB");

  app_->CreateForm<TOptionDlg>();
  OptionDlg->QuoteMarkEdit->setText(U("#"));  // the editor's quote colouring, not this
  OptionDlg->QuotePasteMarkEdit->setText(U("＞ "));
  Editor().SetText("AB");
  Edit().SetSel(0, 0, 0, 1);
  Trigger("EditQuotePaste");
  EXPECT_EQ(Text(), Sjis("＞ x\r\n＞ \r\n＞ y\r\nB"));
  Edit().Undo();
  EXPECT_EQ(Text(), "AB");

  Edit().SetSel(1, 0, 0, 2);
  Trigger("EditQuoteTagPaste");
  EXPECT_EQ(Text(), "A<blockquote><p>x\r\n\r\ny</p></blockquote>");

  // No text on the clipboard: the selection stays as it is.
  clip_.SetText("");
  Editor().SetText("AB");
  Edit().SetSel(0, 0, 0, 1);
  form_->EditQuotePasteExecute();
  form_->EditQuoteTagPasteExecute();
  EXPECT_EQ(Text(), "AB");
  EXPECT_EQ(Edit().GetSelText(), "A");
}

TEST_F(TransformsTest, DateStampsReplaceTheSelection) {
  Start();
  Editor().SetText("[old]");
  Edit().SetSel(1, 0, 0, 4);
  Trigger("EditAddDate");
  EXPECT_TRUE(QRegularExpression(R"(^\[\(\d{4}/\d\d/\d\d\)\]$)")
                  .match(QString::fromStdString(Text()))
                  .hasMatch())
      << Text();
  Editor().SetText("[]");
  Edit().GotoPos(1, 0, TCaretPlacement::Minimal);
  Trigger("EditAddDateTime");
  EXPECT_TRUE(QRegularExpression(R"(^\[\(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\)\]$)")
                  .match(QString::fromStdString(Text()))
                  .hasMatch())
      << Text();
}

// Rows that a selection ends at the start of are not trimmed; with no selection every row is;
// full-width spaces count as blanks; nothing stays selected.
TEST_F(TransformsTest, TrimCommandsTrimTheSelectedRowsOrAll) {
  const std::string text = Sjis(" a \r\n\t b\t\r\n　c　\r\n d ");
  struct Row {
    const char* action;
    bool select;  // rows 1 and 2, ending at the start of row 3
    std::string result;
  };
  const Row rows[] = {
      {"EditTrimRight", false, Sjis(" a\r\n\t b\r\n　c\r\n d")},
      {"EditTrimLeft", false, Sjis("a \r\nb\t\r\nc　\r\nd ")},
      {"EditTrim", false, "a\r\nb\r\nc\r\nd"},
      {"EditTrim", true, Sjis(" a \r\nb\r\nc\r\n d ")},
  };
  Start();
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.action) + (r.select ? " selected" : ""));
    Editor().SetText(text);
    if (r.select) {
      Edit().SetSel(0, 1, 3, 0);
    }
    Trigger(r.action);
    EXPECT_EQ(Text(), r.result);
    EXPECT_FALSE(Edit().IsSelected());
  }
}
