// Files in their own encodings: reading a file into a page, writing a page back in its
// file's encoding and line ends, the questions before a save could lose characters, the
// status panel that names the encoding, and progress while large files are read or written.
#include <sys/stat.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "Application.h"
#include "EditorPane.h"
#include "MainForm.h"
#include "SaveFormatDlg.h"
#include "UiText.h"
#include "app/TextFile.h"

namespace {

constexpr int kProgressDelayMs = 500;
constexpr int kProgressSteps = 1000;
// Work on less data than this is over before anyone could notice.
constexpr uint64_t kThreadedBytes = 4u << 20;
// Pages of this size take the editor about half a second or more to lay out.
constexpr uint64_t kBusyBytes = 16u << 20;

QString EncodingName(TextEncoding::TEncoding e) {
  return QString::fromUtf8(TextEncoding::DisplayName(e));
}

// "3 文字 (U+1F600 U+D55C …)"
QString CountAndCodes(const TextEncoding::TReplacements& r) {
  QString codes;
  for (char32_t cp : r.First) {
    if (!codes.isEmpty()) codes += ' ';
    codes += QString::fromStdString(TextEncoding::CodePointName(cp));
  }
  if (r.Count > r.First.size()) codes += QString::fromUtf8(" …");
  return QString::fromUtf8("%1 文字 (%2)").arg(r.Count).arg(codes);
}

// Swallows the user's input to every window while long work runs, so that nothing can
// change the pages under it; painting and other events go on.
class InputBlocker : public QObject {
 public:
  InputBlocker() { qApp->installEventFilter(this); }
  ~InputBlocker() override { qApp->removeEventFilter(this); }
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::InputMethod:
      case QEvent::Drop:
      case QEvent::Close:
        event->ignore();
        return true;
      default:
        return false;
    }
  }
};

// Marks long work under way for as long as it lives, so a second one runs without a window.
struct TLongWork {
  explicit TLongWork(bool& flag) : flag_(flag) { flag_ = true; }
  ~TLongWork() { flag_ = false; }
  TLongWork(const TLongWork&) = delete;
  TLongWork& operator=(const TLongWork&) = delete;
  bool& flag_;
};

void SetUpProgress(QProgressDialog& dialog) {
  dialog.setObjectName("ProgressDlg");
  dialog.setWindowTitle(TMainForm::AppTitle());
  dialog.setMinimumDuration(0);
}

}  // namespace

void TMainForm::CreateFormatPanel() {
  formatPanel_ = new QLabel(StatusBar1);
  formatPanel_->setObjectName("FormatPanel");
  formatPanel_->setFrameShape(QFrame::Panel);
  formatPanel_->setFrameShadow(QFrame::Sunken);
  formatPanel_->setTextFormat(Qt::PlainText);
  StatusBar1->addPermanentWidget(formatPanel_);
}

QString TMainForm::FormatPanelText() const {
  return formatPanel_ ? formatPanel_->text() : QString();
}

void TMainForm::UpdateFormatPanel() {
  if (!formatPanel_) return;
  const TDataItem* page = CurrentPage();
  TextEncoding::TFileFormat f = page ? page->Format.File : TextEncoding::TFileFormat{};
  formatPanel_->setText(QString::fromUtf8(" %1  %2 ")
                            .arg(EncodingName(f.Encoding))
                            .arg(QString::fromUtf8(TextEncoding::DisplayName(f.LineEnd))));
}

void TMainForm::RunWithProgress(
    const QString& label, uint64_t bytes,
    const std::function<void(const std::function<void(double)>&)>& work) {
  if (bytes < kThreadedBytes || longWork_) {
    work([](double) {});
    return;
  }
  TLongWork longWork(longWork_);
  std::atomic<int> done{0};
  std::atomic<bool> finished{false};
  std::exception_ptr failure;
  InputBlocker blocker;
  QEventLoop loop;
  std::thread worker([&] {
    try {
      work([&](double share) {
        done.store(static_cast<int>(std::clamp(share, 0.0, 1.0) * kProgressSteps),
                   std::memory_order_relaxed);
      });
    } catch (...) {
      failure = std::current_exception();
    }
    finished.store(true);
    QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
  });

  QProgressDialog progress(label, QString(), 0, kProgressSteps, this);
  SetUpProgress(progress);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  progress.setWindowModality(Qt::NonModal);
  progress.hide();
  QTimer show;
  show.setSingleShot(true);
  QObject::connect(&show, &QTimer::timeout, &progress, [&] {
    if (!finished.load()) progress.show();
  });
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &progress,
                   [&] { progress.setValue(done.load(std::memory_order_relaxed)); });
  show.start(kProgressDelayMs);
  tick.start(50);
  if (!finished.load()) loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void TMainForm::ShowBusyWhile(const QString& label, uint64_t bytes,
                              const std::function<void()>& work) {
  if (bytes < kBusyBytes || longWork_ || !isVisible()) {
    work();
    return;
  }
  TLongWork longWork(longWork_);
  QProgressDialog busy(label, QString(), 0, 0, this);
  SetUpProgress(busy);
  busy.show();
  // Drawn once before the editor takes the thread; the user's input waits.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  work();
}

bool TMainForm::ReadIntoCurrentPage(const std::string& nativePath) {
  TDataItem* page = CurrentPage();
  if (!page) return false;
  TextFile::TOpened opened;
  std::string error;
  bool ok = false;
  struct stat st {};
  uint64_t size = ::stat(nativePath.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  RunWithProgress(QString::fromUtf8("ファイルを読み込んでいます…"), size,
                  [&](const std::function<void(double)>& progress) {
                    ok = TextFile::Read(nativePath, opened, error, progress);
                  });
  if (!ok) return false;
  ShowBusyWhile(QString::fromUtf8("ファイルを表示しています…"), opened.Text.size(),
                [&] { editor_->SetText(opened.Text); });
  page->Format = TPageFormat{opened.Format, opened.Replaced.Count > 0, false};
  UpdateFormatPanel();
  if (opened.Replaced.Count > 0)
    statusPanels_[0]->setText(
        QString::fromUtf8("%1 のファイルのうち Shift_JIS で扱えない %2 を数値文字参照に"
                          "しました。上書き保存の前に確認します。")
            .arg(EncodingName(opened.Format.Encoding))
            .arg(CountAndCodes(opened.Replaced)));
  return true;
}

bool TMainForm::WriteEditorText(const std::string& nativePath, const QString& shownPath,
                                const TextEncoding::TFileFormat& format) {
  std::string text = editor_->GetText();
  TextEncoding::TReplacements replaced;
  std::string bytes;
  RunWithProgress(QString::fromUtf8("ファイルを保存しています…"), text.size(),
                  [&](const std::function<void(double)>& progress) {
                    bytes = TextFile::Encode(text, format, &replaced,
                                             [&](double share) { progress(share * 0.8); });
                  });
  if (replaced.Count > 0 && Application) {
    TMessageRequest ask;
    ask.Text = QString::fromUtf8(
                   "%1 で書けない %2 があります。\n"
                   "数値文字参照 (&#…;) にして保存しますか？")
                   .arg(EncodingName(format.Encoding))
                   .arg(CountAndCodes(replaced));
    ask.Type = TMsgDlgType::mtWarning;
    ask.Buttons = mbYes | mbNo;
    ask.DefaultButton = mbNo;
    if (Application->Dialogs().MessageDlg(ask) != mrYes) return false;
  }
  text = std::string();
  std::string error;
  bool ok = false;
  RunWithProgress(QString::fromUtf8("ファイルを保存しています…"), bytes.size(),
                  [&](const std::function<void(double)>& progress) {
                    progress(0.8);
                    ok = TextFile::Write(nativePath, bytes, error);
                    progress(1.0);
                  });
  if (!ok && Application)
    Application->MessageDlg(
        QString::fromUtf8("ファイルに保存できませんでした。\n%1").arg(shownPath),
        TMsgDlgType::mtError, mbOK);
  return ok;
}

bool TMainForm::ConfirmLossySave(TDataItem& page) {
  if (!page.Format.Lossy || !Application) return true;
  TMessageRequest ask;
  ask.Text = QString::fromUtf8(
                 "このページはファイルを開いたとき、Shift_JIS で扱えない文字を数値文字参照 "
                 "(&#…;) に置き換えています。\n上書きすると、%1 の元の文字は失われます。\n\n"
                 "上書きしますか？\n「いいえ」を選ぶと別の名前で保存します。")
                 .arg(ToQString(page.FileName));
  ask.Type = TMsgDlgType::mtWarning;
  ask.Buttons = mbYes | mbNo | mbCancel;
  ask.DefaultButton = mbNo;
  int answer = Application->Dialogs().MessageDlg(ask);
  if (answer == mrNo) FileSaveAs1Execute();
  return answer == mrYes;
}

bool TMainForm::AskSaveFormat(TextEncoding::TFileFormat& format) {
  if (!Application) return false;
  TSaveFormatDlg dialog(format, this);
  if (Application->ShowModal(dialog) != mrOk) return false;
  format = dialog.Format();
  return true;
}

TPageFormat TMainForm::FormatOfFile(const std::string& nativePath) {
  TextFile::TOpened opened;
  std::string error;
  if (!TextFile::Read(nativePath, opened, error)) return {};
  return TPageFormat{opened.Format, opened.Replaced.Count > 0, false};
}
