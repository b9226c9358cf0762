// The action table: every command of the program with its properties, in list order, and the
// idle step that applies each action's enabling rule.
#include <QAction>

#include "EditorPane.h"
#include "MainForm.h"
#include "TabStrip.h"

namespace {
using R = TEnableRule;

// name, category, caption, shortcut, hint "short|long", image, enabling rule, starts disabled,
// tag (the heading level of HtmlH1..HtmlH7).
const TActionDef kActions[] = {
    {"EditCut", "編集", "切り取り(&T)", "Ctrl+X", "切り取り|選択部分を切り取りクリップボードに送る",
     6, R::Selection, true, 0},
    {"EditCopy", "編集", "コピー(&C)", "Ctrl+C", "コピー|選択範囲をクリップボードに送る", 7,
     R::Selection, true, 0},
    {"EditPaste", "編集", "貼り付け(&P)", "Ctrl+V", "貼り付け|クリップボードから貼り付け", 8,
     R::Clipboard, true, 0},
    {"EditSelectAll1", "編集", "すべてを選択(&A)", "Ctrl+A",
     "すべてを選択|ドキュメント全体を選択する", 10, R::Always, false, 0},
    {"EditUndo", "編集", "元に戻す(&U)", "Ctrl+Z", "元に戻す|元に戻す", 11, R::Modified, true, 0},
    {"EditRedo", "編集", "やり直し(&R)", "Ctrl+Alt+Z", "やり直し|やり直し", 12, R::Redo, true, 0},
    {"EditCopyAll", "編集", "すべてをコピー(&Y)", "F2",
     "すべてをコピー|ドキュメント全体をクリップボードに送る", 9, R::Text, true, 0},
    {"FileAddPage1", "ファイル", "新規ページ(&N)", "Ctrl+N", "新規ページ|新しいページを作成する", 0,
     R::Always, false, 0},
    {"FileDeletePage1", "ファイル", "ページ削除(&D)", "", "ページ削除|現在のページを削除する", 1,
     R::NotFirst, true, 0},
    {"FileOpen1", "ファイル", "開く(&O)...", "Ctrl+O", "開く|既存のファイルを開く", 2, R::Always,
     false, 0},
    {"FileSaveAs1", "ファイル", "名前を付けて保存(&A)...", "",
     "別名で保存|現在のファイルに新しい名前をつけて保存する", 3, R::Always, false, 0},
    {"FileSave1", "ファイル", "上書き保存(&S)", "Ctrl+S",
     "上書き保存|現在のファイルを上書き保存する", 4, R::File, true, 0},
    {"FileNameClear", "ファイル", "ファイル名の解除(&C)", "",
     "ファイル名の解除|現在のテキストとファイル名の関係を解除する", -1, R::File, true, 0},
    {"FileChangeTabName", "ファイル", "タブの名前変更(&T)", "",
     "タブの名前変更|現在選択中のタブの名前を変更する", -1, R::NotFirst, false, 0},
    {"FileExit1", "ファイル", "終了(&X)", "", "終了|アプリケーションを終了する", 5, R::Always,
     false, 0},
    {"EditAddDate", "編集", "日付を貼り付け(&D)", "F5", "日付を貼り付け|現在の日付を貼り付ける", 40,
     R::Always, false, 0},
    {"EditAddDateTime", "編集", "日時を貼り付け(&M)", "Shift+F5",
     "日時を貼り付け|現在の日時を貼り付ける", 41, R::Always, false, 0},
    {"HtmlB", "タグ", "<&ｂ>太字", "", "<ｂ>太字|<b>タグを貼り付ける", 15, R::Always, false, 0},
    {"HtmlI", "タグ", "<&i>斜体", "", "<i>斜体|<i>タグを貼り付ける", 16, R::Always, false, 0},
    {"HtmlF", "タグ", "<&font>フォント...", "",
     "<font>フォント|<font>タグに関する設定を行い貼り付ける", 17, R::Always, false, 0},
    {"HtmlA", "タグ", "<&a>リンク...", "", "<a>リンク|<a>タグに関する設定を行い貼り付ける", 35,
     R::NotSega, false, 0},
    {"HtmlU", "タグ", "<&u>アンダーライン", "", "<u>アンダーライン|<u>タグを貼り付ける", 18,
     R::Always, false, 0},
    {"HtmlBig", "タグ", "<bi&g>大きめの文字", "", "<ｂig>大きめの文字|<big>タグを貼り付ける", 19,
     R::Always, false, 0},
    {"HtmlSmall", "タグ", "<s&mall>小さめの文字", "", "<small>小さめの文字|<small>タグを貼り付ける",
     20, R::Always, false, 0},
    {"HtmlCenter", "タグ", "<&center>センタリング", "",
     "<center>センタリング|<center>タグを貼り付ける", 21, R::Always, false, 0},
    {"HtmlH1", "タグ", "<h&1>見出し１", "", "<h1>見出し１|<h1>タグを貼り付ける", 25, R::Always,
     false, 1},
    {"HtmlH2", "タグ", "<h&2>見出し２", "", "<h2>見出し２|<h2>タグを貼り付ける", 26, R::Always,
     false, 2},
    {"HtmlH3", "タグ", "<h&3>見出し３", "", "<h3>見出し３|<h3>タグを貼り付ける", 27, R::Always,
     false, 3},
    {"HtmlH4", "タグ", "<h&4>見出し４", "", "<h4>見出し４|<h4>タグを貼り付ける", 28, R::Always,
     false, 4},
    {"HtmlH5", "タグ", "<h&5>見出し５", "", "<h5>見出し５|<h5>タグを貼り付ける", -1, R::Always,
     false, 5},
    {"HtmlH6", "タグ", "<h&6>見出し６", "", "<h6>見出し６|<h6>タグを貼り付ける", -1, R::Always,
     false, 6},
    {"HtmlH7", "タグ", "<h&7>見出し７", "", "<h7>見出し７|<h7>タグを貼り付ける", -1, R::Always,
     false, 7},
    {"EditAddUrl", "編集", "お気に入りから貼り付け(&F)", "F3",
     "お気に入りから貼り付け|お気に入りから選んだURLを貼り付ける", 42, R::Always, false, 0},
    {"WebFavorite", "ウェブ", "お気に入り(&F)...", "",
     "お気に入り|お気に入りから選択したウェブページを表示する", 43, R::Always, false, 0},
    {"EditQuotePaste", "編集", "引用貼り付け(&Q)", "Ctrl+Alt+V",
     "引用貼り付け|引用符を付加して貼り付ける", 44, R::Clipboard, true, 0},
    {"ToolCallTxf", "ツール", "整形(&TXF)", "Shift+F11",
     "整形(TXF)|TXFを利用して選択範囲の整形処理を行う", 23, R::Always, false, 0},
    {"HtmlPreview", "タグ", "プレビュー(&R)", "",
     "プレビュー|ドキュメントをHTMLとしてプレビューする", 22, R::Preview, false, 0},
    {"WebUser", "ウェブ", "WebUser", "", "", -1, R::Always, false, 0},
    {"TabChangeName", "タブ", "タブの名前を変更する(&C)", "", "タブの名前を変更する|", -1, R::Popup,
     false, 0},
    {"TabDelete", "タブ", "ページを削除する(&D)", "", "ページを削除する|", -1, R::Popup, false, 0},
    {"HtmlDel", "タグ", "<de&l>削除...", "", "<del>削除|<del>タグに関する設定を行い貼り付ける", 45,
     R::NotSega, false, 0},
    {"HtmlBlockquote", "タグ", "<block&quote>段落引用...", "",
     "<blockquote>段落引用|<blockquote>タグに関する設定を行い貼り付ける", 31, R::NotSega, false, 0},
    {"HtmlP", "タグ", "<&p>段落...", "", "<p>段落|<&p>タグに関する設定を行い貼り付ける", 29,
     R::NotSega, false, 0},
    {"HtmlDiv", "タグ", "<&div>ブロック...", "",
     "<div>ブロック|<div>タグに関する設定を行い貼り付ける", 24, R::NotSega, false, 0},
    {"HtmlSpan", "タグ", "<&span>インライン...", "",
     "<span>インライン|<span>タグに関する設定を行い貼り付ける", 32, R::NotSega, false, 0},
    {"HtmlIns", "タグ", "<&ins>追記...", "", "<ins>追記|<ins>タグに関する設定を行い貼り付ける", 46,
     R::NotSega, false, 0},
    {"HtmlEm", "タグ", "<&em>強調...", "", "<em>強調|<em>タグに関する設定を行い貼り付ける", 33,
     R::NotSega, false, 0},
    {"HtmlStrong", "タグ", "<s&trong>より強い強調...", "",
     "<strong>より強い強調|<strong>タグに関する設定を行い貼り付ける", 34, R::NotSega, false, 0},
    {"EditConvP", "編集", "段落と改行の変換(&V)", "Ctrl+Alt+P",
     "段落と改行の変換|段落と改行を<p><br />タグで変換する", -1, R::Always, false, 0},
    {"EditHtmlEncode", "編集", "&HTMLエンコード", "Ctrl+Alt+H",
     "HTMLエンコード|<,>,\",&を文字実体参照に変換する ", -1, R::Always, false, 0},
    {"EditQuoteTagPaste", "編集", "引用タグを付加して貼り付け(&B)", "",
     "引用タグを付加して貼り付け|<blockquote><p>タグを付加して張り付ける", -1, R::Clipboard, true,
     0},
    {"HtmlImg", "タグ", "<im&g />画像...", "",
     "<img />画像|<img />タグに関する設定を行い貼り付ける", 36, R::NotSega, false, 0},
    {"HtmlPre", "タグ", "<p&re>整形済テキスト...", "",
     "<pre>整形済テキスト|<pre>タグに関する設定を行い貼り付ける", 30, R::NotSega, false, 0},
    {"HtmlRuby", "タグ", "<r&uby>ルビ...", "", "<ruby>ルビ|<ruby>タグに関する設定を行い貼り付ける",
     -1, R::NotSega, false, 0},
    {"SearchFind", "検索", "検索...(&F)", "Ctrl+F", "検索|ドキュメント中の検索を行う", 13,
     R::Always, false, 0},
    {"SearchReplace", "検索", "置換...(&R)", "Ctrl+H", "置換|ドキュメントの置き換えを行う", 14,
     R::Always, false, 0},
    {"HtmlUl", "タグ", "<&ul>リスト", "", "<ul>リスト|リストを作成する", 38, R::Always, false, 0},
    {"HtmlOl", "タグ", "<&ol>番号付きリスト", "", "<ol>番号付きリスト|番号付きリストを作成する", 39,
     R::Always, false, 0},
    {"EditMailEncode", "編集", "メールアドレスエンコード(&L)", "Ctrl+Alt+M",
     "メールアドレスエンコード|@と.を身文字実体参照に変換する", -1, R::Always, false, 0},
    {"EditTrim", "編集", "トリミング(&T)", "", "トリミング|選択行の端の空白とTABを削除", -1,
     R::Always, false, 0},
    {"EditTrimRight", "編集", "トリミング・右(&R)", "",
     "トリミング・右|選択行の右端の空白とTABを削除", -1, R::Always, false, 0},
    {"EditTrimLeft", "編集", "トリミング・左(&L)", "",
     "トリミング・左|選択行の左端の空白とTABを削除", -1, R::Always, false, 0},
    {"HtmlTableTab", "タグ", "<table>テーブル（&Tab区切り）", "",
     "テーブル（TAB区切り）|表を作成（Tab区切り）", -1, R::Always, false, 0},
    {"HtmlTableComma", "タグ", "<table>テーブル（コンマ区切り）(&C)", "",
     "<table>テーブル（コンマ区切り）|表を作成（コンマ区切り）", -1, R::Always, false, 0},
    {"HTMLBr", "タグ", "<&br />改行...", "", "<br />改行|<br />タグに関する設定を行い貼り付ける",
     37, R::Always, false, 0},
    {"TagCite", "タグ", "<&cite>出典", "", "<cite>出典|<cite>タグを貼り付ける", -1, R::Always,
     false, 0},
    {"ViewToolBarPanel", "表示", "ツールバー(&T)", "", "ツールバーの表示|ツールバーの表示切替", -1,
     R::Check, false, 0},
    {"ViewTabMultiLine", "表示", "タブの多段表示(&M)", "",
     "タブの多段表示切替|タブの多段表示を切り替える", -1, R::Check, false, 0},
    {"FileRestorePage", "ファイル", "削除したページを元に戻す(&R)", "Ctrl+Shift+T",
     "削除したページを元に戻す|最後に削除したページを元の位置に戻す", -1, R::Deleted, true, 0},
};
}  // namespace

void TMainForm::CreateActions() {
  for (const TActionDef& def : kActions) {
    QAction* action = ActionList1->Add(def, ImageList1.get());
    // Shortcuts work wherever the focus is inside this window.
    addAction(action);
  }
  // Redo also answers the keys every desktop uses for it.
  Action("EditRedo")->setShortcuts(
      {QKeySequence("Ctrl+Alt+Z"), QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
}

void TMainForm::ConnectActions() {
  auto on = [this](const char* name, void (TMainForm::*handler)()) {
    connect(Action(name), &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  on("FileAddPage1", &TMainForm::FileAddPage1Execute);
  on("FileDeletePage1", &TMainForm::FileDeletePage1Execute);
  on("FileOpen1", &TMainForm::FileOpen1Execute);
  on("FileSaveAs1", &TMainForm::FileSaveAs1Execute);
  on("FileSave1", &TMainForm::FileSave1Execute);
  on("FileNameClear", &TMainForm::FileNameClearExecute);
  on("FileChangeTabName", &TMainForm::FileChangeTabNameExecute);
  on("FileExit1", &TMainForm::FileExit1Execute);
  on("TabChangeName", &TMainForm::TabChangeNameExecute);
  on("TabDelete", &TMainForm::TabDeleteExecute);
  on("FileRestorePage", &TMainForm::FileRestorePageExecute);
  on("EditCut", &TMainForm::EditCutExecute);
  on("EditCopy", &TMainForm::EditCopyExecute);
  on("EditPaste", &TMainForm::EditPasteExecute);
  on("EditUndo", &TMainForm::EditUndoExecute);
  on("EditRedo", &TMainForm::EditRedoExecute);
  on("EditSelectAll1", &TMainForm::EditSelectAll1Execute);
  if (auto* option = findChild<QAction*>(QStringLiteral("Option")))
    connect(option, &QAction::triggered, this, &TMainForm::OptionClick);
  ConnectCommands();
  ConnectSearch();
  ConnectTransforms();
  ConnectTags();
  ConnectWeb();
  ConnectFavorites();
  ConnectBorder();
}

bool TMainForm::RuleHolds(TEnableRule rule) const {
  switch (rule) {
    case R::Always:
    case R::Check:
      return true;
    case R::Selection:
      return editor_->HasSelection();
    case R::Clipboard:
      return clipboardHasText_;
    case R::Text:
      return !editor_->TextIsEmpty();
    case R::NotFirst:
      return PageIndex() > 0;
    case R::File: {
      TDataItem* page = CurrentPage();
      return page && !page->FileName.empty();
    }
    case R::NotSega:
      return !SegaBbsMode;
    case R::Preview:
      return (SegaBbsMode || PreviewMode) && !editor_->TextIsEmpty();
    case R::Popup:
      return popupTabIndex_ > 0;
    case R::Modified:
      return modified_;
    case R::Redo:
      return redoEnable_;
    case R::Deleted:
      return DeletedPages && !DeletedPages->Empty();
  }
  return true;
}

void TMainForm::ActionList1Update() {
  for (int i = 0; i < ActionList1->Count(); ++i) {
    QAction* action = ActionList1->Action(i);
    action->setEnabled(RuleHolds(ActionList1->Rule(i)));
  }
  Action("ViewToolBarPanel")->setChecked(!ToolBarPanel->isHidden());
  Action("ViewTabMultiLine")->setChecked(TabControl1->MultiLine());
}
