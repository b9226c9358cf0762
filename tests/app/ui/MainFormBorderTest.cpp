// Text from the desktop in the main window: line ends and characters Shift-JIS lacks on
// paste, the option that chooses how they are written, and the fields that refuse them.
#include <QAbstractScrollArea>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "MainFormFixture.h"
#include "app/PageData.h"
#include "app/ui/FindDialogs.h"
#include "app/ui/FormControls.h"
#include "app/ui/OptionDlg.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtClipboard.h"

namespace {

class BorderTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    old_ = SetCurrentClipboard(&board_);
  }
  void TearDown() override {
    SetCurrentClipboard(old_);
    MainFormTest::TearDown();
  }
  static void Desktop(const char* utf8) { QGuiApplication::clipboard()->setText(U(utf8)); }
  // Starts the program with the option dialog and the main window, as the program has them.
  void StartWithOptions() {
    app_->CreateForm<TOptionDlg>();
    Start();
  }
  void ChooseQuestionMarks() {
    dialogs_->AnswerModal([](QDialog& d) {
      static_cast<TOptionDlg&>(d).UnmappedRadio->SetItemIndex(1);
      return int(mrOk);
    });
    form_->OptionClick();
  }
  QStringList Messages() {
    QStringList out;
    for (const TMessageRequest& m : dialogs_->Messages) out << m.Text;
    dialogs_->Messages.clear();
    return out;
  }

  QtClipboard board_;
  Clipboard* old_ = nullptr;
};

}  // namespace

TEST_F(BorderTest, PasteWritesReferencesAndTheStatusBarNamesThem) {
  StartWithOptions();
  Desktop("a😀b\n한c\r\nd\re");
  Trigger("EditPaste");
  EXPECT_EQ("a&#128512;b\r\n&#54620;c\r\nd\r\ne", Editor().GetText());
  const QString status = form_->StatusPanelText(0);
  EXPECT_TRUE(status.contains(U("2 文字"))) << status.toStdString();
  EXPECT_TRUE(status.contains(U("文字参照"))) << status.toStdString();
  EXPECT_TRUE(status.contains(U("😀 (U+1F600)"))) << status.toStdString();
  EXPECT_TRUE(status.contains(U("한 (U+D55C)"))) << status.toStdString();
}

TEST_F(BorderTest, QuestionMarkOptionIsUsedReportedAndKeptInTheSettings) {
  StartWithOptions();
  ChooseQuestionMarks();
  Desktop("é!");
  Trigger("EditPaste");
  EXPECT_EQ("?!", Editor().GetText());
  EXPECT_TRUE(form_->StatusPanelText(0).contains(U("「?」")));
  EXPECT_TRUE(form_->StatusPanelText(0).contains("U+00E9"));
  End();
  EXPECT_NE(std::string::npos,
            TempDir::Read(ProgramFiles::DataFile(".ini")).find("UnmappedChars=1"));
  TextBorder::SetEditorUnmapped(CodePage::TUnmapped::CharRef);
  app_->CreateForm<TOptionDlg>();
  Start();
  EXPECT_EQ(CodePage::TUnmapped::Question, TextBorder::EditorUnmapped());
  // The dialog opens with the choice in force.
  dialogs_->AnswerModal([](QDialog& d) {
    EXPECT_EQ(1, static_cast<TOptionDlg&>(d).UnmappedRadio->ItemIndex());
    static_cast<TOptionDlg&>(d).UnmappedRadio->SetItemIndex(0);
    return int(mrOk);
  });
  form_->OptionClick();
  EXPECT_EQ(CodePage::TUnmapped::CharRef, TextBorder::EditorUnmapped());
}

TEST_F(BorderTest, QuotePastesSplitDesktopLinesToo) {
  StartWithOptions();
  Desktop("one\ntwo");
  Trigger("EditQuoteTagPaste");
  const std::string tagged = Editor().GetText();
  EXPECT_NE(std::string::npos, tagged.find("one\r\ntwo")) << tagged;
  Editor().SetText({});
  Trigger("EditQuotePaste");
  EXPECT_EQ(std::string::npos, Editor().GetText().find("o\n")) << Editor().GetText();
}

TEST_F(BorderTest, CopyThenPasteGivesBackTheSameBytes) {
  StartWithOptions();
  const std::string bytes = "a\nb\rc\xED\x40\x85\x40\x80\xA0\xFD\r\n\x82\xA0";
  Editor().SetText(bytes);
  Editor().Control().SelectAll();
  Trigger("EditCopy");
  EXPECT_FALSE(QGuiApplication::clipboard()->text().contains('\r'));
  Editor().SetText({});
  Trigger("EditPaste");
  EXPECT_EQ(Hex(bytes), Hex(Editor().GetText()));
}

TEST_F(BorderTest, SearchTextShiftJisLacksFindsNothingAndSaysSo) {
  StartWithOptions();
  Editor().SetText("a?b?c");
  form_->FindDialog1->SetFindText(U("ñ"));
  form_->FindDialog1->FindNextButton->click();
  EXPECT_FALSE(Editor().Control().IsSelected());
  QStringList shown = Messages();
  ASSERT_EQ(1, shown.size());
  EXPECT_TRUE(shown[0].contains(U("見つかりませんでした"))) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("U+00F1")) << shown[0].toStdString();

  TReplaceDialog& d = *form_->ReplaceDialog1;
  d.SetFindText(U("ñ"));
  d.SetReplaceText("X");
  d.ReplaceAllButton->click();
  EXPECT_EQ("a?b?c", Editor().GetText());
  shown = Messages();
  ASSERT_EQ(1, shown.size());
  EXPECT_FALSE(shown[0].contains(U("置換しました")));
  // Nor may the replacement hold such a character.
  d.SetFindText("?");
  d.SetReplaceText(U("😀"));
  d.ReplaceAllButton->click();
  EXPECT_EQ("a?b?c", Editor().GetText());
  shown = Messages();
  ASSERT_EQ(1, shown.size());
  EXPECT_TRUE(shown[0].contains("U+1F600")) << shown[0].toStdString();
}

TEST_F(BorderTest, RenameRefusesCharactersShiftJisLacks) {
  StartWithOptions();
  AddPages(1);
  dialogs_->AnswerInput(U("日記😀"));
  form_->RenameTab(1);
  EXPECT_EQ("Page1", form_->PageList->Items(1)->Name);
  EXPECT_EQ("Page1", Captions()[1]);
  QStringList shown = Messages();
  ASSERT_EQ(1, shown.size());
  EXPECT_TRUE(shown[0].contains(U("😀 (U+1F600)"))) << shown[0].toStdString();
}

TEST_F(BorderTest, OptionFieldsRefuseCharactersShiftJisLacks) {
  StartWithOptions();
  int openings = 0;
  // The dialog comes back after the refusal; the second OK has a field that fits.
  dialogs_->AnswerModal([&](QDialog& d) {
    ++openings;
    static_cast<TOptionDlg&>(d).QuoteMarkEdit->setText(U("😀"));
    return int(mrOk);
  });
  dialogs_->AnswerModal([&](QDialog& d) {
    ++openings;
    static_cast<TOptionDlg&>(d).QuoteMarkEdit->setText(U("＞"));
    return int(mrOk);
  });
  form_->OptionClick();
  EXPECT_EQ(2, openings);
  EXPECT_EQ(Sjis("＞"), form_->FenEdit1->Inyostr);
  QStringList shown = Messages();
  ASSERT_EQ(1, shown.size());
  EXPECT_TRUE(shown[0].contains("U+1F600"));
}

TEST_F(BorderTest, PageNamesComeBackByteForByte) {
  StartWithOptions();
  AddPages(2);
  // Bytes that Unicode would change: an undefined pair, a duplicate, a lone lead byte.
  const std::string name = std::string("\x85\x40\xED\x40\x87\x90\x80\xA0") + "\x81";
  form_->PageList->Items(1)->Name = name;
  ClickTab(1);
  ClickTab(2);
  ClickTab(1);
  EXPECT_EQ(Hex(name), Hex(form_->PageList->Items(1)->Name));
  Restart();
  EXPECT_EQ(Hex(name), Hex(form_->PageList->Items(1)->Name));
  // Cancelling a rename keeps them too.
  dialogs_->AnswerInput(std::nullopt);
  form_->RenameTab(1);
  EXPECT_EQ(Hex(name), Hex(form_->PageList->Items(1)->Name));
}

TEST_F(BorderTest, TextDroppedFromAnotherProgramGoesInWhereItIsDropped) {
  StartWithOptions();
  Editor().SetText("abcd\r\nefgh");
  QWidget* viewport = static_cast<QAbstractScrollArea*>(form_->EditorWidget())->viewport();
  // Row 1 after "ef": rows and bytes as the editor measures them.
  TFenEdit& e = Editor().Control();
  e.GotoPos(2, 1, TCaretPlacement::Minimal);
  const QPoint at(e.CaretX() + e.TextLeft() + 1, e.GetTopMargin() + e.LineHeight() * 3 / 2);
  e.GotoPos(0, 0, TCaretPlacement::Minimal);
  QMimeData data;
  data.setText(U("x😀\ny"));
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ("abcd\r\nefx&#128512;\r\nygh", Editor().GetText());
  EXPECT_TRUE(form_->StatusPanelText(0).contains("U+1F600"));
  // Files are the window's business, not text for the page.
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile("/tmp/a.txt")});
  QDropEvent fileDrop(QPointF(at), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &fileDrop);
  EXPECT_EQ("abcd\r\nefx&#128512;\r\nygh", Editor().GetText());
}

TEST_F(BorderTest, AnOpenedFileNamesItsPageWithoutLosingCharacters) {
  StartWithOptions();
  const std::string path = files_.Write("日記😀.txt", "abc");
  dialogs_->AnswerFile(QString::fromUtf8(path.c_str()));
  Trigger("FileOpen1");
  ASSERT_EQ(2, form_->PageList->Count());
  EXPECT_EQ(Sjis("日記") + "&#128512;.txt", form_->PageList->Items(1)->Name);
  EXPECT_EQ("abc", Editor().GetText());
  // Still bound to the very file.
  EXPECT_EQ(path, form_->PageList->Items(1)->FileName);
}
