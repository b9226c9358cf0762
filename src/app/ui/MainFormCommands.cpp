// The main window's remaining commands: the formatter call, copy-all, the view switches,
// About and the status bar's panels.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "AboutBox.h"
#include "Application.h"
#include "EditorPane.h"
#include "MainForm.h"
#include "RunningDlg.h"
#include "TabStrip.h"
#include "UiText.h"
#include "markup/TextLines.h"
#include "platform/Clipboard.h"
#include "platform/Process.h"
#include "platform/ProgramFiles.h"

namespace {

// The formatter is told this name (by its preset arguments) and finds it in its current
// folder, which is a private folder made for the one call.
constexpr char kTxfTemp[] = "~txf.tmp";
// A formatter done within this time shows no running window.
constexpr int kQuietMilliseconds = 200;

// The text as lines, each followed by CR LF: how the text goes to the formatter and how its
// output comes back.
std::string CrLfLines(std::string_view text) {
  return TextLines::Join(TextLines::Split(text));
}

// Creates the file afresh, readable by the user alone; never through a link.
bool WriteNewPrivateFile(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  return ::close(fd) == 0 && done == bytes.size();
}

// Whatever the formatter left: a regular file only (a pipe would never end), no link.
std::optional<std::string> ReadResultFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> bytes;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    bytes.emplace();
    char buffer[65536];
    while (true) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) bytes.reset();
      if (n <= 0) break;
      bytes->append(buffer, size_t(n));
    }
  }
  ::close(fd);
  return bytes;
}

// Where the formatter is looked for: beside this program, then the folders of PATH. Never
// the current folder: that may be any folder a file was opened from.
std::vector<std::string> TxfSearchFolders() {
  std::vector<std::string> folders;
  std::string own = std::filesystem::path(ProgramFiles::ProgramPath()).parent_path().string();
  if (!own.empty()) folders.push_back(own);
  const char* path = std::getenv("PATH");
  for (std::string& folder : Process::SplitSearchPath(path ? path : "")) folders.push_back(folder);
  return folders;
}

void ShowError(const QString& text) {
  if (Application) Application->MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

// Resizing of the status bar, and dialog keys that reach the window itself.
class TCommandFilter : public QObject {
 public:
  explicit TCommandFilter(TMainForm* form) : QObject(form), form_(form) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_->StatusBar1 && event->type() == QEvent::Resize) {
      form_->StatusBar1Resize();
    } else if (watched == form_ && event->type() == QEvent::KeyPress) {
      // Tab would move the focus between the window's controls; here it does nothing, and
      // a focused editor gets it before the window ever sees it.
      auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
          !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TMainForm* form_;
};

}  // namespace

void TMainForm::ConnectCommands() {
  auto on = [this](QAction* action, void (TMainForm::*handler)()) {
    if (action) connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  on(Action("ToolCallTxf"), &TMainForm::ToolCallTxfExecute);
  on(Action("EditCopyAll"), &TMainForm::EditCopyAllExecute);
  on(Action("ViewToolBarPanel"), &TMainForm::ViewToolBarPanelExecute);
  on(Action("ViewTabMultiLine"), &TMainForm::ViewTabMultiLineExecute);
  on(findChild<QAction*>(QStringLiteral("About1")), &TMainForm::About1Click);

  auto* filter = new TCommandFilter(this);
  StatusBar1->installEventFilter(filter);
  installEventFilter(filter);
  StatusBar1Resize();
}

void TMainForm::ToolCallTxfExecute() {
  std::string text = FenEdit1->GetSelText();
  if (text.empty()) {
    FenEdit1->SelectAll();
    text = FenEdit1->GetSelText();
  }

  // A fresh folder only the user can enter (0700), removed with everything in it at the end:
  // nothing planted beside the file can redirect it, and nobody else can read the text.
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/piyonote2-txf-XXXXXX"));
  QByteArray folderName = QFile::encodeName(folder.path());
  std::string workFolder(folderName.constData(), size_t(folderName.size()));
  std::string tempPath = workFolder + "/" + kTxfTemp;
  QString shownPath = folder.path() + QLatin1Char('/') + QString::fromLatin1(kTxfTemp);
  if (!folder.isValid() || !WriteNewPrivateFile(tempPath, CrLfLines(text))) {
    ShowError(QString::fromUtf8("ファイルに保存できませんでした。\n%1").arg(shownPath));
    return;
  }

  // The arguments go out in the system's encoding, as file names do; relative names in them
  // resolve in the private folder.
  QByteArray local = QFile::encodeName(ToQString(TxfArgs));
  std::vector<std::string> args =
      Process::SplitCommandLine(std::string_view(local.constData(), size_t(local.size())));
  // Programs on Linux seldom carry ".exe": the plain name comes first in every folder.
  Process::TChild child;
  if (!child.Start({"txf", "txf.exe"}, args, TxfSearchFolders(), workFolder)) {
    ShowError(QString::fromUtf8("TXFの起動に失敗しました。"));
    return;
  }
  if (!child.WaitFor(kQuietMilliseconds)) {
    if (!Application) {
      child.Wait();
    } else {
      // Kept as logical positions: the window may rewrap while the formatter runs, and the
      // editor's caret moves as focus and size come and go.
      bool all = FenEdit1->IsSelectAll();
      TLinePos anchor = FenEdit1->ToLinePos(FenEdit1->Anchor());
      TLinePos caret = FenEdit1->ToLinePos(FenEdit1->Caret());
      TRunningDlg running(child, QString::fromUtf8("整形(TXF)"),
                          QString::fromUtf8("TXFで整形しています…"), this);
      if (Application->ShowModal(running) != mrOk) {
        // Cancelled: the formatter ends and the text stays as it was.
        child.Kill();
        return;
      }
      child.Wait();
      if (all) {
        FenEdit1->SelectAll();
      } else {
        TRowPos a = FenEdit1->ToRowPos(anchor);
        TRowPos c = FenEdit1->ToRowPos(caret);
        FenEdit1->SetSel(a.Byte, a.Row, c.Row, c.Byte);
      }
    }
  }

  if (std::optional<std::string> output = ReadResultFile(tempPath)) {
    std::string result = CrLfLines(*output);
    // Nothing replaced by nothing would only leave an empty undo step and a modified mark.
    if (!result.empty() || !text.empty()) FenEdit1->SetSelText(result);
  } else {
    // The formatter took its file away: the selection stays as it was.
    ShowError(QString::fromUtf8("ファイルを読み込めませんでした。\n%1").arg(shownPath));
  }
}

void TMainForm::EditCopyAllExecute() {
  // Replacing the clipboard's contents empties it of every other format first.
  if (!CurrentClipboard().SetText(Editor().GetText()) && Application)
    Application->MessageDlg(QString::fromUtf8("クリップボードにコピーできませんでした。"),
                            TMsgDlgType::mtError, mbOK);
}

void TMainForm::ViewToolBarPanelExecute() {
  // From the panel, not from the check mark Qt has already flipped.
  ToolBarPanel->setVisible(ToolBarPanel->isHidden());
  Action("ViewToolBarPanel")->setChecked(!ToolBarPanel->isHidden());
}

void TMainForm::ViewTabMultiLineExecute() {
  TabControl1->SetMultiLine(!TabControl1->MultiLine());
  Action("ViewTabMultiLine")->setChecked(TabControl1->MultiLine());
}

void TMainForm::About1Click() {
  if (!Application) return;
  // Made here when the program's set of windows did not include one.
  std::unique_ptr<TAboutBox> own;
  if (!AboutBox) own = std::make_unique<TAboutBox>();
  Application->ShowModal(*AboutBox);
}

void TMainForm::StatusBar1Resize() {
  // Panel 1 keeps its width at the right edge; panel 0 never reaches under it. The bar's
  // layout hands panel 0 the rest, so a cap is all that is needed here.
  int rest = StatusBar1->width() - statusPanels_[1]->width() -
             (formatPanel_ ? formatPanel_->width() : 0);
  statusPanels_[0]->setMaximumWidth(std::max(0, rest));
}
