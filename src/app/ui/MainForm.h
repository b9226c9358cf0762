// The main window: menus, two tool bars, the tab strip with the editor inside, the status bar,
// every command of the program as an action, and the pages behind the tabs.
// Split by concern: MainForm.cpp (set-up, start and end), MainFormActions.cpp (the action
// table and the idle enabling step), MainFormMenus.cpp (menus and tool bars),
// MainFormPages.cpp (page operations), MainFormSettings.cpp (reading and writing settings).
#pragma once
#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ActionList.h"
#include "FenEdit/FenEdit.h"
#include "app/DeletedPages.h"
#include "app/PageData.h"
#include "platform/Graphics.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;
class QToolBar;
class TEditorPane;
class TFindDialog;
class TReplaceDialog;
class TPageFile;
class TTabStrip;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;  // runs the destruction handler (FormDestroy)

  // ---- controls
  QWidget* ToolBarPanel = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolBar* ToolBar2 = nullptr;
  TTabStrip* TabControl1 = nullptr;
  // The editor; its window sits inside TabControl1 (EditorWidget). Page code goes through
  // Editor().
  TFenEdit* FenEdit1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  QMenu* WebUserMenu = nullptr;
  TActionList* ActionList1 = nullptr;
  std::unique_ptr<TImageList> ImageList1;

  // ---- fields (the settings among them are read and written in MainFormSettings.cpp)
  std::unique_ptr<TDataList> PageList;
  // Pages deleted (or replaced at start), newest last; created with the page store.
  std::unique_ptr<TDeletedPages> DeletedPages;
  bool StartPage0 = false;
  bool NoSavePage0 = false;
  bool SegaBbsMode = false;
  bool PreviewMode = false;
  std::string TxfArgs = "-io ~txf.tmp";
  std::vector<std::string> WebShortcutList;
  int ImeMode = 0;
  std::string LastFindText;
  TColor FindColor = clYellow;
  // The window's translucency: on or off, and the opacity (0 transparent .. 255 opaque).
  bool AlphaBlend = false;
  int AlphaBlendValue = 255;
  // The lowest opacity applied, whatever AlphaBlendValue says: a quarter.
  static constexpr int kMinOpacity = 64;

  void setVisible(bool visible) override;

  TEditorPane& Editor() const { return *editor_; }
  QWidget* EditorWidget() const;
  // Null when no action has that name.
  QAction* Action(const char* name) const;
  // Text of status bar panel 0 (long hints) and panel 1 (caret position).
  QString StatusPanelText(int panel) const;

  // ---- pages
  // Current position: the selected tab.
  int PageIndex() const;
  TDataItem* CurrentPage() const;
  // The page on screen lives in the editor alone. Store copies its text into the page for
  // the page file, Release drops that copy again; Leave moves the editor's rows into the page
  // before another is shown, and Show moves a page's rows (or text) into the editor.
  void StoreCurrentPage();
  // The text of page `index` wherever it is held (a copy).
  std::string PageText(int index) const;
  void ReleaseCurrentPageText();
  void LeaveCurrentPage();
  void ShowCurrentPage();
  void DeletePage(int index);
  void RenameTab(int index);
  // Moves the current page to `target`, in the store and on the tab strip.
  void MovePage(int target);
  void SelectPage(int index);  // as a user's click: store, select, show
  // A new page bound to the file and holding its text, as File → Open does after its
  // dialog; `nativePath` is the system's name of the file.
  void OpenFileAsPage(const std::string& nativePath);
  // Files handed in from outside (the command line, a later start of the program): each
  // opened as a page, once no modal window is up.
  void OpenFiles(const QList<QByteArray>& nativePaths);
  // Shows the window in front of the others, restored if it was minimised.
  void BringToFront();
  void UpdateTitle();
  // MainFormFiles.cpp: files in their own encodings.
  // Status panel of the current page's encoding and line ends.
  QString FormatPanelText() const;
  // Runs `work` on `bytes` of data. Large amounts run off the window's thread while the window
  // keeps painting and ignores the user, and a progress window with `label` appears when the
  // work takes longer than half a second; small ones run at once.
  void RunWithProgress(const QString& label, uint64_t bytes,
                       const std::function<void(const std::function<void(double)>&)>& work);
  // Work that must run on the window's thread (the editor's): for large amounts a progress
  // window says what is going on before the work starts, as the window cannot paint during it.
  void ShowBusyWhile(const QString& label, uint64_t bytes, const std::function<void()>& work);
  // True while RunWithProgress waits for its work: nothing may change the pages.
  bool LongWorkRunning() const { return longWork_; }
  // Tab under the last right-button press on the tab strip, -1 for none.
  int PopupTabIndex() const { return popupTabIndex_; }

  // The idle step: every action's enabling rule.
  void ActionList1Update();
  // Writes the settings and the page file now, as at shut-down, without ending (the session
  // is ending and the program may not get another chance).
  void SaveState();
  // True once the shut-down has written the pages (only settings and messages may follow).
  bool PagesSecured() const { return pagesSecured_; }
  // Writes the pages now, showing nothing: the program is about to end at once.
  void SecurePages();
  // The crash journal's step, run once a second: what changed in the pages goes to the
  // journal. `force` looks even when the user did nothing (before the page file is written).
  // currentStored: the page on screen has just been stored, so its Text is the editor's.
  void JournalTick(bool force, bool currentStored = false);
  // Waits until what the journal was handed is on disk (tests).
  void FlushJournal();

  // ---- action handlers of this window
  void FileAddPage1Execute();
  void FileDeletePage1Execute();
  void FileOpen1Execute();
  void FileSaveAs1Execute();
  void FileSave1Execute();
  void FileNameClearExecute();
  void FileChangeTabNameExecute();
  void FileExit1Execute();
  void TabChangeNameExecute();
  void TabDeleteExecute();
  // Puts the last deleted page back where it stood, selected.
  void FileRestorePageExecute();
  void EditCutExecute();
  void EditCopyExecute();
  void EditPasteExecute();
  void EditUndoExecute();
  void EditRedoExecute();
  void EditSelectAll1Execute();
  void FenEdit1MoveCaret();
  // The menu item Option: the option dialog, applied on OK.
  void OptionClick();
  // MainFormCommands.cpp: the formatter call, copy-all, the view switches, About, the status
  // bar's panels.
  void ToolCallTxfExecute();
  void EditCopyAllExecute();
  void ViewToolBarPanelExecute();
  void ViewTabMultiLineExecute();
  void About1Click();
  void StatusBar1Resize();
  // markup/ui/MainFormTransforms.cpp: the commands that rewrite text into HTML, quote,
  // stamp the date and trim.
  void EditConvPExecute();
  void EditHtmlEncodeExecute();
  void EditMailEncodeExecute();
  void HtmlUlExecute();
  void HtmlOlExecute();
  void HtmlTableTabExecute();
  void HtmlTableCommaExecute();
  void EditQuotePasteExecute();
  void EditQuoteTagPasteExecute();
  void EditAddDateExecute();
  void EditAddDateTimeExecute();
  void EditTrimExecute();
  void EditTrimRightExecute();
  void EditTrimLeftExecute();
  // markup/ui/MainFormTags.cpp: the tag commands. WrapSelection puts start and end around
  // the selection (or inserts both at the caret); the Insert...Tag operations build an
  // element's start tag through their dialog and wrap with it.
  void WrapSelection(const std::string& start, const std::string& end);
  void InsertClassTag(const std::string& name);
  void InsertCiteTag(const std::string& name);
  void InsertDatetimeTag(const std::string& name);
  // web/ui/MainFormWeb.cpp: the browser windows and the preview.
  void OpenWebWindow(const std::string& url);
  void HtmlPreviewExecute();
  // web/ui/MainFormFavorites.cpp: Favorites and the web shortcuts.
  std::string SelectFavoriteUrl();
  void EditAddUrlExecute();
  void WebFavoriteExecute();
  void AddShortcutMenuClick();
  void RebuildWebUserMenu();
  // Start-up and shut-down of the web-shortcut list (the ".kdw" file).
  void LoadWebShortcuts();
  void SaveWebShortcuts();
  // MainFormSearch.cpp: the find and replace dialogs and the editor's search events.
  TFindDialog* FindDialog1 = nullptr;
  TReplaceDialog* ReplaceDialog1 = nullptr;
  void SearchFindExecute();
  void SearchReplaceExecute();
  void FindDialog1Find();
  void ReplaceDialog1Find();
  void ReplaceDialog1Replace(bool all);

  // Texts of the window.
  static QString AppTitle();
  static QString FileFilter();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

  // MainForm.cpp
  void CreateControls();
  // MainFormActions.cpp
  void CreateActions();
  void ConnectActions();
  bool RuleHolds(TEnableRule rule) const;
  // MainFormMenus.cpp
  void CreateMenus();
  void CreateToolBars();
  // MainFormPages.cpp
  void LoadPages();
  // True when the page file now holds the pages.
  bool SavePages();
  void RebuildTabs();
  void TabControl1Changing(bool& allowChange);
  void TabControl1Change();
  void TabControl1MouseDown(Qt::MouseButton button, QPoint pos);
  void TabControl1DragOver(QPoint pos, bool& accept);
  void TabControl1DragDrop(QPoint pos);
  void OpenPendingFiles();
  // The message the start left for the user (pendingStartMessage_), once the window is drawn.
  void ShowStartMessage();
  void KeepEditorRowsInView();
  // MainFormFiles.cpp
  void CreateFormatPanel();
  void UpdateFormatPanel();
  // Reads the file into the editor for the current page; false (nothing changed) on failure.
  bool ReadIntoCurrentPage(const std::string& nativePath);
  // Writes the editor's text to `nativePath` in `format`, asking first when the encoding
  // cannot hold every character; reports failures. True when the file was written.
  bool WriteEditorText(const std::string& nativePath, const QString& shownPath,
                       const TextEncoding::TFileFormat& format);
  // Save over a file whose opening replaced characters: true to go on; may run Save As.
  bool ConfirmLossySave(TDataItem& page);
  bool AskSaveFormat(TextEncoding::TFileFormat& format);
  // The format a file is in now (code page 932 when it cannot be read).
  static TPageFormat FormatOfFile(const std::string& nativePath);
  // MainFormCommands.cpp and MainFormSearch.cpp: their actions and events.
  void ConnectCommands();
  void ConnectSearch();
  void ConnectTransforms();
  void ConnectTags();
  void ConnectWeb();
  void ConnectFavorites();
  // MainFormBorder.cpp: text from the desktop with characters Shift-JIS lacks.
  void ConnectBorder();
  // MainFormJournal.cpp: the crash journal.
  void StartJournal();
  // MainFormSettings.cpp: the one place settings are read and written.
  void ReadSettings();
  void ReadWindowPlacement();
  int ReadPageIndex() const;
  void WriteSettings();
  void ApplyImeMode();
  void ApplyTranslucency();
  // The window's place and size when neither maximised nor minimised.
  QRect RestoredRect() const;
  int FontSizePoints() const;
  static TFenEdit::TFont FontFromPoints(const std::string& name, int points, TColor color);

  void ApplicationIdle();
  void ClipboardChanged();

  std::unique_ptr<TEditorPane> editor_;
  // The page whose text the editor holds (its Text is empty then), or none between pages.
  TDataItem* shownPage_ = nullptr;
  std::unique_ptr<TPageFile> pageFile_;
  QLabel* statusPanels_[2] = {nullptr, nullptr};
  QLabel* formatPanel_ = nullptr;
  int popupTabIndex_ = -1;
  bool modified_ = false;
  bool redoEnable_ = false;
  bool clipboardHasText_ = false;
  bool shown_ = false;
  bool placed_ = false;  // the saved place was applied before the first show
  bool destroyed_ = false;
  bool pagesSecured_ = false;
  QTimer* journalTimer_ = nullptr;
  bool journalDirty_ = false;
  int quietTicks_ = 0;
  QString pendingStartMessage_;
  QList<QByteArray> pendingFiles_;
  bool openingFiles_ = false;
  bool longWork_ = false;
  bool waitingForExpose_ = false;
  // Key preview: the last key event seen and its first receiver, so that its propagation to
  // parent widgets is not handled twice.
  const QEvent* lastKeyEvent_ = nullptr;
  QPointer<QWidget> lastKeyReceiver_;
};

// The program's main window; null when none exists.
extern TMainForm* MainForm;
