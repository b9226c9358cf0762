#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <filesystem>
#include <functional>
#include <vector>

#include "MainFormFixture.h"
#include "app/ui/AboutBox.h"
#include "platform/Clipboard.h"
#include "platform/Process.h"

namespace {

struct RunCall {
  std::string Program;
  std::vector<std::string> Args;
  std::vector<std::string> Folders;
  std::string Input;  // "~txf.tmp" as the formatter found it
};

}  // namespace

// The formatter call runs in a folder of its own, with a played formatter: `Format` gets the
// temporary file's bytes and returns what the formatter leaves there (nullopt: no file).
class TxfTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(work_.Path());
    Process::SetRunnerForTesting([this](const std::string& program,
                                        const std::vector<std::string>& args,
                                        const std::vector<std::string>& folders) {
      RunCall call{program, args, folders, TempDir::Read("~txf.tmp")};
      calls_.push_back(call);
      if (!Starts) return false;
      std::optional<std::string> out = Format(call.Input);
      if (out) {
        work_.Write("~txf.tmp", *out);
      } else {
        std::filesystem::remove("~txf.tmp");
      }
      return true;
    });
  }
  void TearDown() override {
    Process::SetRunnerForTesting(nullptr);
    std::filesystem::current_path(oldDir_);
    MainFormTest::TearDown();
  }

  bool TempFileLeft() const { return std::filesystem::exists(work_.File("~txf.tmp")); }

  bool Starts = true;
  std::function<std::optional<std::string>(const std::string&)> Format = [](const std::string& in) {
    return in;
  };
  std::vector<RunCall> calls_;
  TempDir work_;
  std::filesystem::path oldDir_;
};

TEST_F(TxfTest, WithoutSelectionTheWholeTextGoesThroughTheFormatter) {
  Start();
  Editor().SetText("abc\r\ndef");
  Format = [](const std::string&) { return std::string("ABC\nDEF"); };
  Trigger("ToolCallTxf");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].Program, "txf.exe");
  EXPECT_EQ(calls_[0].Args, (std::vector<std::string>{"-io", "~txf.tmp"}));
  EXPECT_EQ(Hex(calls_[0].Input), Hex("abc\r\ndef\r\n"));
  // Beside the program first, then the current folder, then PATH.
  ASSERT_GE(calls_[0].Folders.size(), 2u);
  EXPECT_EQ(calls_[0].Folders[0],
            std::filesystem::path(ProgramFiles::ProgramPath()).parent_path().string());
  EXPECT_EQ(calls_[0].Folders[1], ".");
  EXPECT_EQ(Hex(Editor().GetText()), Hex("ABC\r\nDEF\r\n"));
  EXPECT_FALSE(TempFileLeft());
  // One undo step brings the old text back.
  form_->FenEdit1->Undo();
  EXPECT_EQ(Hex(Editor().GetText()), Hex("abc\r\ndef"));
  EXPECT_TRUE(dialogs_->Messages.empty());
  End();
}

TEST_F(TxfTest, ASelectionComesBackAsWholeLines) {
  Start();
  Editor().SetText("one\r\ntwo\r\nthree");
  form_->FenEdit1->SetSel(0, 1, 1, 3);  // "two", no line break
  Trigger("ToolCallTxf");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(Hex(calls_[0].Input), Hex("two\r\n"));
  EXPECT_EQ(Hex(Editor().GetText()), Hex("one\r\ntwo\r\n\r\nthree"));

  // Whatever line ends the formatter writes come back as CR LF; a NUL ends its text.
  form_->FenEdit1->SetSel(0, 0, 0, 3);
  Format = [](const std::string&) { return std::string("a\rb\nc\r\nd\0junk", 13); };
  Trigger("ToolCallTxf");
  EXPECT_EQ(Hex(Editor().GetText()), Hex("a\r\nb\r\nc\r\nd\r\n\r\ntwo\r\n\r\nthree"));
  End();
}

TEST_F(TxfTest, AFormatterThatCannotStartLeavesTheTextAlone) {
  Start();
  Editor().SetText("abc\r\ndef");
  form_->FenEdit1->SetSel(0, 0, 0, 2);
  Starts = false;
  Trigger("ToolCallTxf");
  // "txf.exe", then the plain name.
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_EQ(calls_[1].Program, "txf");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Text, U("TXFの起動に失敗しました。"));
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_EQ(dialogs_->Messages[0].Buttons, unsigned(mbOK));
  EXPECT_EQ(Editor().GetText(), "abc\r\ndef");
  EXPECT_EQ(form_->FenEdit1->GetSelText(), "ab");
  EXPECT_FALSE(TempFileLeft());
  End();
}

TEST_F(TxfTest, AMissingResultFileIsReportedAndChangesNothing) {
  Start();
  Editor().SetText("abc");
  Format = [](const std::string&) { return std::nullopt; };
  Trigger("ToolCallTxf");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtError);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains("~txf.tmp"));
  EXPECT_EQ(Editor().GetText(), "abc");
  End();
}

TEST_F(TxfTest, ArgumentsComeFromTheSettingAndAnEmptyTextStaysUnmodified) {
  Start();
  form_->TxfArgs.clear();
  Trigger("ToolCallTxf");
  form_->TxfArgs = "-w 40  \"my file\"";
  Trigger("ToolCallTxf");
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_TRUE(calls_[0].Args.empty());
  EXPECT_EQ(calls_[1].Args, (std::vector<std::string>{"-w", "40", "my file"}));
  EXPECT_EQ(calls_[0].Input, "");
  EXPECT_EQ(Editor().GetText(), "");
  EXPECT_FALSE(Editor().Modified());
  End();
}

// No played formatter: a real program named "txf" in the current folder.
TEST_F(TxfTest, ARealFormatterIsFoundInTheCurrentFolder) {
  Process::SetRunnerForTesting(nullptr);
  std::string script =
      work_.Write("txf", "#!/bin/sh\ntr a-z A-Z < \"$2\" > \"$2.new\" && mv \"$2.new\" \"$2\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  Start();
  Editor().SetText("abc\r\ndef");
  Trigger("ToolCallTxf");
  EXPECT_EQ(Hex(Editor().GetText()), Hex("ABC\r\nDEF\r\n"));
  EXPECT_TRUE(dialogs_->Messages.empty());
  EXPECT_FALSE(TempFileLeft());
  End();
}

TEST_F(MainFormTest, CopyAllTakesTheWholeTextAndLeavesTheSelection) {
  MemoryClipboard clip;
  Clipboard* old = SetCurrentClipboard(&clip);
  Start();
  Editor().SetText("abc\r\ndef");
  form_->FenEdit1->SetSel(1, 0, 1, 2);
  Trigger("EditCopyAll");
  EXPECT_EQ(clip.GetText(), "abc\r\ndef");
  EXPECT_EQ(form_->FenEdit1->GetSelText(), "bc\r\nde");
  EXPECT_EQ(Editor().CaretRow(), 1);
  EXPECT_EQ(Editor().CaretByte(), 2);

  clip.SetFailing(true);
  Trigger("EditCopyAll");
  EXPECT_EQ(dialogs_->Messages.size(), 1u);
  End();
  SetCurrentClipboard(old);
}

TEST_F(MainFormTest, ViewCommandsSwitchToolBarsAndTabRows) {
  Start();
  ASSERT_FALSE(form_->ToolBarPanel->isHidden());
  Trigger("ViewToolBarPanel");
  EXPECT_TRUE(form_->ToolBarPanel->isHidden());
  EXPECT_FALSE(Act("ViewToolBarPanel")->isChecked());
  Trigger("ViewToolBarPanel");
  EXPECT_FALSE(form_->ToolBarPanel->isHidden());
  EXPECT_TRUE(Act("ViewToolBarPanel")->isChecked());

  bool multi = Tabs().MultiLine();
  Trigger("ViewTabMultiLine");
  EXPECT_EQ(Tabs().MultiLine(), !multi);
  EXPECT_EQ(Act("ViewTabMultiLine")->isChecked(), !multi);
  Trigger("ViewTabMultiLine");
  EXPECT_EQ(Tabs().MultiLine(), multi);
  End();
}

TEST_F(MainFormTest, AboutShowsTheAboutBoxModally) {
  Start();
  auto* about1 = form_->findChild<QAction*>("About1");
  ASSERT_NE(about1, nullptr);
  QString product;
  dialogs_->AnswerModal([&](QDialog& dialog) {
    auto& box = static_cast<TAboutBox&>(dialog);
    product = box.ProductName->text() + " " + box.Version->text();
    EXPECT_EQ(box.windowTitle(), U("バージョン情報"));
    EXPECT_EQ(box.size(), QSize(273, 137));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.ProgramIcon->pixmap().size(), QSize(32, 32));
    box.OKButton->click();
    EXPECT_EQ(box.result(), mrOk);
    return box.result();
  });
  about1->trigger();
  EXPECT_EQ(dialogs_->Modals, QStringList{"TAboutBox"});
  EXPECT_EQ(product, U("ぴよのーと Version 2.04"));
  EXPECT_EQ(dialogs_->Unexpected, 0);
  // The box made for the occasion is gone again.
  EXPECT_EQ(AboutBox, nullptr);
  End();
}

TEST_F(MainFormTest, StatusBarKeepsTheCaretPanelAtTheRightEdge) {
  Start();
  for (int width : {700, 400}) {
    form_->resize(width, 300);
    QApplication::processEvents();
    QLabel* hints = form_->StatusBar1->findChild<QLabel*>("StatusPanel0");
    QLabel* caret = form_->StatusBar1->findChild<QLabel*>("StatusPanel1");
    ASSERT_NE(hints, nullptr);
    ASSERT_NE(caret, nullptr);
    EXPECT_EQ(caret->width(), 100);
    EXPECT_LE(hints->geometry().right(), caret->geometry().left());
    EXPECT_LE(hints->width(), form_->StatusBar1->width() - 100);
    EXPECT_GT(hints->width(), form_->StatusBar1->width() - 140);
    EXPECT_EQ(form_->width(), width);
  }
  End();
}

// Tab, the arrows, Enter and Escape go to the editor; none moves the focus.
TEST_F(MainFormTest, DialogKeysReachTheEditor) {
  Start();
  QApplication::setActiveWindow(form_);
  Editor().SetFocus();
  auto press = [&](int key, const QString& text = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_;
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
  };
  Type("ab");
  press(Qt::Key_Left);
  press(Qt::Key_Tab, "\t");
  press(Qt::Key_Return, "\r");
  press(Qt::Key_Escape, QString(QChar(27)));
  EXPECT_EQ(Hex(Editor().GetText()), Hex("a\t\r\nb"));
  EXPECT_EQ(QApplication::focusWidget(), form_->EditorWidget());

  // With nothing focused, Tab does not pick a control either.
  QApplication::focusWidget()->clearFocus();
  press(Qt::Key_Tab, "\t");
  EXPECT_EQ(QApplication::focusWidget(), nullptr);
  End();
}
