// Pages behind the tabs: moving text between the editor and the page store, and the page
// commands (new, open, save as, save, clear file name, delete, rename, reorder by drag).
//
// Invariant: the tab strip and the page store have the same count and tab i shows page i's
// name.
#include <sys/stat.h>

#include <QApplication>
#include <QFileInfo>
#include <algorithm>

#include "Application.h"
#include "EditorPane.h"
#include "FieldText.h"
#include "MainForm.h"
#include "TabStrip.h"
#include "UiText.h"
#include "app/PageStartup.h"
#include "platform/CodePage.h"
#include "platform/ProgramFiles.h"
#include "platform/qt/QtText.h"

namespace {

bool Exists(const std::string& nativePath) {
  struct stat st {};
  return ::stat(nativePath.c_str(), &st) == 0;
}

// A page's file name is code page 932, like all the program's text. A path that code page
// 932 cannot hold is kept as the system's own bytes, so that the page stays bound to the
// very file the user chose instead of a look-alike name.
std::string PageFileName(const QString& path) {
  std::string cp932 = ToCp932(path);
  if (ToQString(cp932) == path) return cp932;
  QByteArray native = path.toUtf8();
  return std::string(native.constData(), static_cast<size_t>(native.size()));
}

// The system's name of a page's file: the code page 932 name in UTF-8, or the stored bytes
// as they stand when only that names an existing file.
std::string NativePath(const std::string& fileName) {
  std::string utf8 = CodePage::ToUtf8(fileName);
  if (!Exists(utf8) && utf8 != fileName && Exists(fileName)) return fileName;
  return utf8;
}

QString ShownPath(const std::string& fileName) {
  return ToQString(fileName);
}

}  // namespace

int TMainForm::PageIndex() const {
  return TabControl1->TabIndex();
}

TDataItem* TMainForm::CurrentPage() const {
  int index = PageIndex();
  if (!PageList || index < 0 || index >= PageList->Count()) return nullptr;
  return PageList->Items(index);
}

void TMainForm::StoreCurrentPage() {
  // A page the editor does not hold has its text already.
  if (!shownPage_) return;
  shownPage_->Text = editor_->GetText();
}

std::string TMainForm::PageText(int index) const {
  const TDataItem* page = PageList->Items(index);
  return page == shownPage_ ? editor_->GetText() : page->FullText();
}

void TMainForm::ReleaseCurrentPageText() {
  // The editor holds the page on screen; its page keeps no second copy.
  if (shownPage_) shownPage_->Text = std::string();
}

void TMainForm::LeaveCurrentPage() {
  if (!shownPage_) return;
  // The rows go with the page as they are, so showing it again costs no new layout.
  shownPage_->HoldRows(editor_->TakeDocument());
  shownPage_ = nullptr;
}

void TMainForm::ShowCurrentPage() {
  TDataItem* page = CurrentPage();
  if (!page) return;
  TabControl1->SetCaption(PageIndex(), ToQString(page->Name));
  if (shownPage_ != page) {
    LeaveCurrentPage();
    // The page keeps its text until the editor has it: a journal step or a save that runs
    // while the progress window is up reads it there.
    const QString busy = QString::fromUtf8("ページを表示しています…");
    if (page->Rows) {
      // Only a layout made for another width or font takes time worth a progress window.
      uint64_t work = editor_->NeedsLayout(*page->Rows) ? page->Rows->TextLength() : 0;
      ShowBusyWhile(busy, work, [&] {
        std::unique_ptr<TFenDocument> rows = std::move(page->Rows);
        page->RowsJournalled = false;
        editor_->PutDocument(std::move(*rows));
      });
    } else {
      ShowBusyWhile(busy, page->Text.size(), [&] { editor_->SetText(page->Text); });
      page->Text = std::string();
    }
    shownPage_ = page;
  }
  editor_->ClearUndo();
  UpdateTitle();
}

void TMainForm::UpdateTitle() {
  TDataItem* page = CurrentPage();
  if (!page || page->FileName.empty())
    setWindowTitle(AppTitle());
  else
    setWindowTitle(AppTitle() + " - " + ShownPath(page->FileName));
  UpdateFormatPanel();
}

void TMainForm::LoadPages() {
  PageList = std::make_unique<TDataList>();
  DeletedPages = std::make_unique<TDeletedPages>(ProgramFiles::DataFile(".kdd"));
  DeletedPages->Load();
  pageFile_ = std::make_unique<TPageFile>();
  TPageLoadResult result = pageFile_->LoadAtStartup(*PageList, ToCp932(TabControl1->Caption(0)));
  PageFormats::Load(PageFormats::DefaultPath(), *PageList);
  RebuildTabs();
  if (!result.Replaced.empty()) {
    // Kept before the page file takes the new texts.
    for (TDeletedPage& old : result.Replaced) DeletedPages->Push(std::move(old));
    DeletedPages->Save();
    result.Message +=
        "\n" + ToCp932(QString::fromUtf8("置き換える前のテキストは「削除したページを元に戻す」で"
                                         "ページとして取り出せます。"));
  }
  if (!result.Message.empty()) pendingStartMessage_ = ToQString(result.Message);
  StartJournal();
}

void TMainForm::RebuildTabs() {
  TabControl1->Clear();
  for (int i = 0; i < PageList->Count(); ++i) TabControl1->Add(ToQString(PageList->Items(i)->Name));
  TabControl1->SetTabIndex(0);
}

bool TMainForm::SavePages() {
  if (!PageList || !pageFile_) return false;
  // The first page may be kept without its file and text; the live store is left alone in
  // case the program goes on running (a save at session end).
  TDataList copy;
  const TDataList* pages = PageList.get();
  if (NoSavePage0 && PageList->Count() > 0) {
    for (int i = 0; i < PageList->Count(); ++i) {
      const TDataItem* p = PageList->Items(i);
      copy.Add(p->Name, p->FileName, p->FullText());
    }
    copy.Items(0)->FileName.clear();
    copy.Items(0)->Text.clear();
    pages = &copy;
  }
  TPageSaveResult result = pageFile_->SaveAtShutdown(*pages, PageList.get());
  if (DeletedPages) DeletedPages->Save();
  if (!result.Ok && Application)
    Application->MessageDlg(ToQString(result.Message), TMsgDlgType::mtError, mbOK);
  // Entries of the first page do not match it when its file name was not kept.
  std::string error;
  if (!PageFormats::Save(PageFormats::DefaultPath(), *PageList, &error) && Application)
    Application->MessageDlg(
        QString::fromUtf8("ページの文字コードの記録を保存できませんでした。\n%1\n"
                          "次回は Shift_JIS として扱われます。")
            .arg(QString::fromStdString(PageFormats::DefaultPath())),
        TMsgDlgType::mtError, mbOK);
  return result.Ok;
}

void TMainForm::SelectPage(int index) {
  if (index < 0 || index >= TabControl1->Count() || index == PageIndex()) return;
  LeaveCurrentPage();
  TabControl1->SetTabIndex(index);
  ShowCurrentPage();
}

void TMainForm::TabControl1Changing(bool& allowChange) {
  LeaveCurrentPage();
  allowChange = true;
}

void TMainForm::TabControl1Change() {
  ShowCurrentPage();
}

// ---- commands

void TMainForm::FileAddPage1Execute() {
  LeaveCurrentPage();
  std::string name = "Page" + std::to_string(TabControl1->Count());
  PageList->Add(name);
  int index = TabControl1->Add(ToQString(name));
  TabControl1->SetTabIndex(index);
  ShowCurrentPage();
}

void TMainForm::FileOpen1Execute() {
  TFileDialogRequest request;
  request.Filter = FileFilter();
  request.FilterIndex = 2;
  request.FileName.clear();
  if (!Application || !Application->FileDialog(request)) return;
  QByteArray native = request.FileName.toUtf8();
  OpenFileAsPage(std::string(native.constData(), static_cast<size_t>(native.size())));
}

void TMainForm::OpenFileAsPage(const std::string& nativePath) {
  if (!PageList) return;
  LeaveCurrentPage();
  QByteArray bytes(nativePath.data(), static_cast<qsizetype>(nativePath.size()));
  QString path = QString::fromUtf8(bytes);
  // A name that is not UTF-8 (a Shift-JIS name, say) is kept as the very bytes, so that the
  // page stays bound to that file.
  bool utf8 = path.toUtf8() == bytes;
  std::string fileName = utf8 ? PageFileName(path) : nativePath;
  // A file name with characters Shift-JIS lacks names its page with references to them.
  const QString base = QFileInfo(path).fileName();
  std::string name =
      utf8 ? CodePage::ConvertUtf16(Utf16View(base), CodePage::TUnmapped::CharRef).Text
           : nativePath.substr(nativePath.find_last_of('/') + 1);
  QString shown = utf8 ? path : ShownPath(nativePath);
  PageList->Add(name, fileName, std::string());
  int index = TabControl1->Add(ToQString(name));
  TabControl1->SetTabIndex(index);
  ShowCurrentPage();

  std::string native = NativePath(fileName);
  struct stat st {};
  bool exists = ::stat(native.c_str(), &st) == 0;
  // A name that does not exist yet leaves the page empty and bound: saving creates the file.
  // Only a regular file is read: a FIFO or a device would block the program for ever.
  if (exists && (!S_ISREG(st.st_mode) || !ReadIntoCurrentPage(native))) {
    // Unbound, so that a later Save cannot replace the unread file with an empty page.
    CurrentPage()->FileName.clear();
    editor_->SetText({});
    UpdateTitle();
    if (Application)
      Application->MessageDlg(QString::fromUtf8("ファイルを読み込めませんでした。\n%1").arg(shown),
                              TMsgDlgType::mtError, mbOK);
  }
  editor_->ClearUndo();
  editor_->SetFocus();
}

void TMainForm::OpenFiles(const QList<QByteArray>& nativePaths) {
  for (const QByteArray& path : nativePaths)
    if (path.startsWith('/') && !path.contains('\0')) pendingFiles_.append(path);
  OpenPendingFiles();
}

void TMainForm::OpenPendingFiles() {
  // A page opened under a modal dialog would change the pages that dialog works on; the idle
  // step tries again once it has closed.
  if (!PageList || openingFiles_ || longWork_ || QApplication::activeModalWidget()) return;
  openingFiles_ = true;
  while (!pendingFiles_.isEmpty()) {
    QByteArray path = pendingFiles_.takeFirst();
    OpenFileAsPage(std::string(path.constData(), static_cast<size_t>(path.size())));
  }
  openingFiles_ = false;
}

void TMainForm::BringToFront() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void TMainForm::FileSaveAs1Execute() {
  TDataItem* page = CurrentPage();
  if (!page || !Application) return;
  TFileDialogRequest request;
  request.Save = true;
  request.Filter = FileFilter();
  request.FilterIndex = 2;
  request.DefaultExt = "txt";
  request.FileName =
      page->FileName.empty() ? ToQString(page->Name) + ".txt" : ShownPath(page->FileName);
  if (!Application->FileDialog(request)) return;
  TextEncoding::TFileFormat format = page->Format.File;
  if (!AskSaveFormat(format)) return;
  std::string fileName = PageFileName(request.FileName);
  QByteArray native = request.FileName.toUtf8();
  // On failure the page keeps its old binding.
  if (!WriteEditorText(std::string(native.constData(), static_cast<size_t>(native.size())),
                       request.FileName, format))
    return;
  page->FileName = fileName;
  page->Format = TPageFormat{format};
  UpdateTitle();
}

void TMainForm::FileSave1Execute() {
  TDataItem* page = CurrentPage();
  if (!page || page->FileName.empty()) return;
  if (!ConfirmLossySave(*page)) return;
  if (WriteEditorText(NativePath(page->FileName), ShownPath(page->FileName), page->Format.File))
    page->Format.Lossy = false;
}

void TMainForm::FileNameClearExecute() {
  TDataItem* page = CurrentPage();
  if (!page) return;
  page->FileName.clear();
  UpdateTitle();
}

void TMainForm::FileDeletePage1Execute() {
  DeletePage(PageIndex());
}

void TMainForm::TabDeleteExecute() {
  DeletePage(popupTabIndex_);
}

void TMainForm::FileChangeTabNameExecute() {
  RenameTab(PageIndex());
}

void TMainForm::TabChangeNameExecute() {
  RenameTab(popupTabIndex_);
}

void TMainForm::DeletePage(int index) {
  // The first page is never deleted; a stale position from an old right press does nothing.
  if (!PageList || index <= 0 || index >= PageList->Count()) return;
  // The current page's live text is in the editor; it goes with the page into the store of
  // deleted pages, which is written at once so that the page survives a crash too.
  LeaveCurrentPage();
  TDataItem* gone = PageList->Items(index);
  gone->FlattenText();
  DeletedPages->Push(TDeletedPage{gone->Name, gone->FileName, std::move(gone->Text), index});
  DeletedPages->Save();
  PageList->Delete(index);
  TabControl1->Delete(index);
  TabControl1->SetTabIndex(index < TabControl1->Count() ? index : index - 1);
  popupTabIndex_ = -1;
  ShowCurrentPage();
}

void TMainForm::FileRestorePageExecute() {
  if (!PageList || !DeletedPages) return;
  std::optional<TDeletedPage> page = DeletedPages->Pop();
  if (!page) return;
  LeaveCurrentPage();
  // Never before the first page, whose place is not taken.
  int position = std::clamp(page->Position, 1, PageList->Count());
  PageList->Add(page->Name, page->FileName, page->Text);
  // The store of deleted pages keeps no encoding: the bound file tells it again.
  TDataItem* restored = PageList->Items(PageList->Count() - 1);
  if (!restored->FileName.empty()) restored->Format = FormatOfFile(NativePath(restored->FileName));
  PageList->Move(PageList->Count() - 1, position);
  TabControl1->Insert(position, ToQString(page->Name));
  TabControl1->SetTabIndex(position);
  popupTabIndex_ = -1;
  ShowCurrentPage();
  DeletedPages->Save();
}

void TMainForm::RenameTab(int index) {
  if (!PageList || index <= 0 || index >= PageList->Count() || !Application) return;
  QString caption = TabControl1->Caption(index);
  QString answer =
      Application->InputBox(QString::fromUtf8("タブの名称変更"),
                            QString::fromUtf8("新しいタブの名称を入力してください"), caption);
  if (answer == caption) return;  // unchanged or cancelled: the name keeps its bytes
  std::optional<std::string> name = FieldCp932(answer, QString::fromUtf8("タブの名称"));
  if (!name) return;
  TabControl1->SetCaption(index, answer);
  PageList->Items(index)->Name = std::move(*name);
}

void TMainForm::MovePage(int target) {
  int from = PageIndex();
  if (!PageList || target <= 0 || target >= PageList->Count() || target == from || from < 0) return;
  // The selected tab moves with the page, so it stays the page shown in the editor.
  PageList->Move(from, target);
  TabControl1->Move(from, target);
}

// ---- tab strip mouse and drag

void TMainForm::TabControl1MouseDown(Qt::MouseButton button, QPoint) {
  // Where the press landed before it selected a tab: the selection may have moved the tabs.
  int hit = TabControl1->PressedIndex();
  if (button == Qt::RightButton) {
    popupTabIndex_ = hit;
  } else if (button == Qt::LeftButton && hit != 0) {
    TabControl1->BeginDrag(5);
  }
}

void TMainForm::TabControl1DragOver(QPoint pos, bool& accept) {
  accept = TabControl1->IndexOfTabAt(pos) > 0;
}

void TMainForm::TabControl1DragDrop(QPoint pos) {
  MovePage(TabControl1->IndexOfTabAt(pos));
}
