// The main window's browser windows and the bulletin-board preview.
#include <QFile>
#include <QUrl>
#include <cstdio>

#include "FenEdit/FenEdit.h"
#include "FenEdit/Fenstrings.h"
#include "PreveiwDlg.h"
#include "WebForm.h"
#include "app/ui/Application.h"
#include "app/ui/EditorPane.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "platform/AtomicFile.h"
#include "platform/ProgramFiles.h"
#include "web/PreviewPage.h"

void TMainForm::ConnectWeb() {
  connect(Action("HtmlPreview"), &QAction::triggered, this, &TMainForm::HtmlPreviewExecute);
}

void TMainForm::OpenWebWindow(const std::string& url) {
  // A new window every time; it goes when the user closes it, so that a page left playing
  // or loading does not go on unseen until the program ends.
  auto* form = new TWebForm(this);
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->NavigateTo(ToQString(url));
  form->show();
}

void TMainForm::HtmlPreviewExecute() {
  std::string path = ProgramFiles::DataFile(".html");
  std::string page = web::PreviewPage(Editor().Control().GetStore());
  std::string error;
  if (!AtomicFile::Write(path, page, &error, ProgramFiles::kPrivateFileMode)) {
    // The writer's message names the file and the reason (UTF-8, as the system gives them).
    Application->ShowException(EFenFileError(CodePage::FromUtf8(error)));
    return;
  }
  // The page lives only while the preview is open, whatever way the window ends.
  struct TRemove {
    const std::string& path;
    ~TRemove() { std::remove(path.c_str()); }
  } remove{path};
  if (!PreveiwDlg) Application->CreateForm<TPreveiwDlg>();
  PreveiwDlg->Navigate(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
  Application->ShowModal(*PreveiwDlg);
}
