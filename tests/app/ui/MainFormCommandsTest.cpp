#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include "MainFormFixture.h"
#include "app/ui/AboutBox.h"
#include "app/ui/RunningDlg.h"
#include "platform/Clipboard.h"
#include "platform/Process.h"

namespace {

struct RunCall {
  std::string Program;
  std::vector<std::string> Args;
  std::vector<std::string> Folders;
  std::string WorkFolder;
  std::string Input;        // "~txf.tmp" as the formatter found it
  unsigned FolderMode = 0;  // of the work folder, while the formatter ran
  unsigned FileMode = 0;    // of "~txf.tmp"
};

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool ProcessGone(pid_t pid) {
  return kill(pid, 0) != 0 && errno == ESRCH;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

// The formatter call stands in a folder of its own, with a played formatter: `Format` gets
// the temporary file's bytes and returns what the formatter leaves there (nullopt: no file).
class TxfTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    oldDir_ = std::filesystem::current_path();
    std::filesystem::current_path(work_.Path());
    Process::SetRunnerForTesting([this](const std::string& program,
                                        const std::vector<std::string>& args,
                                        const std::vector<std::string>& folders,
                                        const std::string& workFolder) {
      std::string file = workFolder + "/~txf.tmp";
      RunCall call{program,     args, folders, workFolder, TempDir::Read(file), ModeOf(workFolder),
                   ModeOf(file)};
      calls_.push_back(call);
      if (!Starts) return false;
      std::optional<std::string> out = Format(call.Input);
      if (out) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << *out;
      } else {
        std::filesystem::remove(file);
      }
      return true;
    });
  }
  void TearDown() override {
    Process::SetRunnerForTesting(nullptr);
    std::filesystem::current_path(oldDir_);
    MainFormTest::TearDown();
  }

  // Nothing is left in the current folder, nor the formatter's own folder.
  bool TempFileLeft() const {
    if (std::filesystem::exists(work_.File("~txf.tmp"))) return true;
    for (const RunCall& call : calls_)
      if (std::filesystem::exists(call.WorkFolder)) return true;
    return false;
  }

  // A real formatter on PATH (and nothing played).
  std::string InstallFormatter(const std::string& script) {
    Process::SetRunnerForTesting(nullptr);
    std::string path = bin_.Write("txf", "#!/bin/sh\n" + script);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
  }

  bool Starts = true;
  std::function<std::optional<std::string>(const std::string&)> Format = [](const std::string& in) {
    return in;
  };
  std::vector<RunCall> calls_;
  TempDir work_;
  TempDir bin_;
  std::filesystem::path oldDir_;
};

TEST_F(TxfTest, WithoutSelectionTheWholeTextGoesThroughTheFormatter) {
  Start();
  Editor().SetText("abc\r\ndef");
  Format = [](const std::string&) { return std::string("ABC\nDEF"); };
  Trigger("ToolCallTxf");
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].Program, "txf");
  EXPECT_EQ(calls_[0].Args, (std::vector<std::string>{"-io", "~txf.tmp"}));
  EXPECT_EQ(Hex(calls_[0].Input), Hex("abc\r\ndef\r\n"));
  // Beside the program first, then PATH; no folder that means the current one.
  ASSERT_FALSE(calls_[0].Folders.empty());
  EXPECT_EQ(calls_[0].Folders[0],
            std::filesystem::path(ProgramFiles::ProgramPath()).parent_path().string());
  for (const std::string& folder : calls_[0].Folders) EXPECT_EQ(folder.substr(0, 1), "/");
  // A private folder of its own, and the file only the user can read.
  EXPECT_NE(calls_[0].WorkFolder, work_.Path());
  EXPECT_EQ(calls_[0].FolderMode, 0700u);
  EXPECT_EQ(calls_[0].FileMode, 0600u);
  EXPECT_EQ(Hex(Editor().GetText()), Hex("ABC\r\nDEF\r\n"));
  EXPECT_FALSE(TempFileLeft());
  // One undo step brings the old text back.
  form_->FenEdit1->Undo();
  EXPECT_EQ(Hex(Editor().GetText()), Hex("abc\r\ndef"));
  EXPECT_TRUE(dialogs_->Messages.empty());
  End();
}

TEST_F(TxfTest, ALinkPlantedInTheCurrentFolderIsNotFollowed) {
  std::string target = work_.Write("victim", "precious");
  std::filesystem::create_symlink(target, work_.File("~txf.tmp"));
  Start();
  Editor().SetText("text of the user");
  Trigger("ToolCallTxf");
  EXPECT_EQ(TempDir::Read(target), "precious");
  EXPECT_TRUE(std::filesystem::is_symlink(work_.File("~txf.tmp")));
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(Hex(calls_[0].Input), Hex("text of the user\r\n"));
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
  // The plain name, then "txf.exe".
  ASSERT_EQ(calls_.size(), 2u);
  EXPECT_EQ(calls_[1].Program, "txf.exe");
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
  EXPECT_FALSE(TempFileLeft());
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

// No played formatter: a real "txf" on PATH, and a planted one in the current folder.
TEST_F(TxfTest, TheFormatterOnPathRunsNotOneInTheCurrentFolder) {
  InstallFormatter("tr a-z A-Z < \"$2\" > \"$2.new\" && mv \"$2.new\" \"$2\"\n");
  std::string planted = work_.Write("txf", "#!/bin/sh\necho planted > \"$2\"\n");
  std::filesystem::permissions(planted, std::filesystem::perms::owner_all);
  std::filesystem::copy_file(planted, work_.File("txf.exe"));
  ScopedEnv path("PATH", ".::" + bin_.Path() + ":/usr/bin:/bin");
  Start();
  Editor().SetText("abc\r\ndef");
  // Under load the formatter may outlast the quiet time: the running window then waits for it.
  dialogs_->AnswerModal([](QDialog& d) { return dynamic_cast<TRunningDlg&>(d).WaitForEnd(); });
  Trigger("ToolCallTxf");
  EXPECT_EQ(Hex(Editor().GetText()), Hex("ABC\r\nDEF\r\n"));
  EXPECT_TRUE(dialogs_->Messages.empty());
  EXPECT_FALSE(std::filesystem::exists(work_.File("~txf.tmp")));
  End();
}

// The formatter waits on a pipe the test holds: the running window is shown for certain,
// and closes by itself when the formatter ends.
TEST_F(TxfTest, TheRunningWindowClosesWhenTheFormatterEnds) {
  std::string fifo = work_.File("go");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  InstallFormatter("read x < \"$3\"\ntr a-z A-Z < \"$2\" > \"$2.new\" && mv \"$2.new\" \"$2\"\n");
  ScopedEnv path("PATH", bin_.Path() + ":/usr/bin:/bin");
  Start();
  form_->TxfArgs = "-io ~txf.tmp " + fifo;
  Editor().SetText("abc");
  QString caption;
  dialogs_->AnswerModal([&](QDialog& d) {
    auto& running = dynamic_cast<TRunningDlg&>(d);
    caption = running.windowTitle();
    EXPECT_FALSE(running.Message->text().isEmpty());
    EXPECT_GT(running.ProcessId(), 0);
    std::ofstream(fifo) << "go\n";  // lets the formatter finish
    return running.exec();
  });
  Trigger("ToolCallTxf");
  EXPECT_EQ(dialogs_->Modals, QStringList{"TRunningDlg"});
  EXPECT_EQ(caption, U("整形(TXF)"));
  EXPECT_EQ(Hex(Editor().GetText()), Hex("ABC\r\n"));
  EXPECT_EQ(dialogs_->Unexpected, 0);
  End();
}

TEST_F(TxfTest, CancelEndsAFormatterThatHangsAndKeepsTheText) {
  // Not "exec": the shell's own child must end with it.
  InstallFormatter("echo changed > \"$2\"\nsleep 100000\n");
  ScopedEnv path("PATH", bin_.Path() + ":/usr/bin:/bin");
  Start();
  Editor().SetText("abc\r\ndef");
  form_->FenEdit1->SetSel(0, 0, 0, 2);
  pid_t pid = 0;
  dialogs_->AnswerModal([&](QDialog& d) {
    pid = dynamic_cast<TRunningDlg&>(d).ProcessId();
    return int(mrCancel);
  });
  Trigger("ToolCallTxf");
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(ProcessGone(pid));
  EXPECT_EQ(Editor().GetText(), "abc\r\ndef");
  EXPECT_EQ(form_->FenEdit1->GetSelText(), "ab");
  EXPECT_FALSE(Editor().Modified());
  EXPECT_TRUE(dialogs_->Messages.empty());
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

TEST_F(MainFormTest, StatusBarKeepsTheCaretPanelAtTheRightEdgeWideForEightDigits) {
  Start();
  int caretWidth = -1;
  for (int width : {700, 400}) {
    form_->resize(width, 300);
    QApplication::processEvents();
    QLabel* hints = form_->StatusBar1->findChild<QLabel*>("StatusPanel0");
    QLabel* caret = form_->StatusBar1->findChild<QLabel*>("StatusPanel1");
    ASSERT_NE(hints, nullptr);
    ASSERT_NE(caret, nullptr);
    // Line and column numbers of eight digits are shown whole.
    EXPECT_GE(caret->contentsRect().width(),
              caret->fontMetrics().horizontalAdvance(U(" 21091400行 12345678桁")));
    if (caretWidth < 0) caretWidth = caret->width();
    EXPECT_EQ(caret->width(), caretWidth);
    QLabel* format = form_->StatusBar1->findChild<QLabel*>("FormatPanel");
    ASSERT_NE(format, nullptr);
    EXPECT_LE(hints->geometry().right(), format->geometry().left());
    EXPECT_LE(format->geometry().right(), caret->geometry().left());
    EXPECT_LE(hints->width(), form_->StatusBar1->width() - caretWidth - format->width());
    EXPECT_GT(hints->width(), form_->StatusBar1->width() - caretWidth - format->width() - 40);
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

// Escape out of a menu: the menu bar keeps the keyboard only until the menu is gone, and what
// is typed next goes into the text.
TEST_F(MainFormTest, EscapeOutOfAMenuGivesTheEditorTheKeyboard) {
  Start();
  QApplication::setActiveWindow(form_);
  Editor().SetFocus();
  QMenu* file = form_->MainMenu1->findChild<QMenu*>("File1");
  ASSERT_NE(file, nullptr);
  form_->MainMenu1->setActiveAction(file->menuAction());
  ASSERT_EQ(QApplication::activePopupWidget(), file);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(file, &escape);
  EXPECT_FALSE(file->isVisible());
  QCoreApplication::sendPostedEvents();
  ASSERT_EQ(QApplication::focusWidget(), form_->EditorWidget());
  QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(QApplication::focusWidget(), &a);
  EXPECT_EQ(Editor().GetText(), "a");
  End();
}
