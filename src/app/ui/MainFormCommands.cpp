// The main window's remaining commands: the formatter call, copy-all, the view switches,
// About and the status bar's panels.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "AboutBox.h"
#include "Application.h"
#include "EditorPane.h"
#include "MainForm.h"
#include "TabStrip.h"
#include "UiText.h"
#include "markup/TextLines.h"
#include "platform/Clipboard.h"
#include "platform/Process.h"
#include "platform/ProgramFiles.h"

namespace {

// Relative on purpose: the formatter is told this name and finds it in the current folder.
constexpr char kTxfTemp[] = "~txf.tmp";

// The text as lines, each followed by CR LF: how the text goes to the formatter and how its
// output comes back.
std::string CrLfLines(std::string_view text) {
  return TextLines::Join(TextLines::Split(text));
}

bool WriteFile(const char* path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  f.close();
  return !f.fail();
}

std::optional<std::string> ReadFile(const char* path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (f.bad()) return std::nullopt;
  return bytes;
}

// Where the formatter is looked for: beside this program, the current folder, then PATH.
std::vector<std::string> TxfSearchFolders() {
  std::vector<std::string> folders;
  std::string own = std::filesystem::path(ProgramFiles::ProgramPath()).parent_path().string();
  folders.push_back(own.empty() ? "." : own);
  folders.push_back(".");
  const char* path = std::getenv("PATH");
  for (std::string& folder : Process::SplitSearchPath(path ? path : "")) folders.push_back(folder);
  return folders;
}

QString TempFileShownPath() {
  return QFileInfo(QString::fromLatin1(kTxfTemp)).absoluteFilePath();
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

  if (!WriteFile(kTxfTemp, CrLfLines(text))) {
    std::remove(kTxfTemp);
    if (Application)
      Application->MessageDlg(
          QString::fromUtf8("ファイルに保存できませんでした。\n%1").arg(TempFileShownPath()),
          TMsgDlgType::mtError, mbOK);
    return;
  }

  // The arguments go out in the system's encoding, as file names do.
  QByteArray local = QFile::encodeName(ToQString(TxfArgs));
  std::vector<std::string> args =
      Process::SplitCommandLine(std::string_view(local.constData(), size_t(local.size())));
  std::vector<std::string> folders = TxfSearchFolders();
  // Programs on Linux seldom carry ".exe"; the plain name is the second choice.
  bool started = Process::RunProgramAndWait("txf.exe", args, folders) ||
                 Process::RunProgramAndWait("txf", args, folders);

  if (!started) {
    if (Application)
      Application->MessageDlg(QString::fromUtf8("TXFの起動に失敗しました。"), TMsgDlgType::mtError,
                              mbOK);
  } else if (std::optional<std::string> output = ReadFile(kTxfTemp)) {
    std::string result = CrLfLines(*output);
    // Nothing replaced by nothing would only leave an empty undo step and a modified mark.
    if (!result.empty() || !text.empty()) FenEdit1->SetSelText(result);
  } else if (Application) {
    // The formatter took its file away: the selection stays as it was.
    Application->MessageDlg(
        QString::fromUtf8("ファイルを読み込めませんでした。\n%1").arg(TempFileShownPath()),
        TMsgDlgType::mtError, mbOK);
  }
  std::remove(kTxfTemp);
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
  int rest = StatusBar1->width() - statusPanels_[1]->width();
  statusPanels_[0]->setMaximumWidth(std::max(0, rest));
}
