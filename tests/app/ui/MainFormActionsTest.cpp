// Every command, menu, context menu and tool bar button of the main window, with its
// properties and enabling rule.
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <functional>

#include "MainFormFixture.h"

namespace {

struct Expected {
  const char* name;
  const char* category;
  const char* caption;
  const char* shortcut;
  const char* shortHint;
  const char* longHint;
};

// The commands in list order.
const Expected kActions[] = {
    {"EditCut", "編集", "切り取り(&T)", "Ctrl+X", "切り取り",
     "選択部分を切り取りクリップボードに送る"},
    {"EditCopy", "編集", "コピー(&C)", "Ctrl+C", "コピー", "選択範囲をクリップボードに送る"},
    {"EditPaste", "編集", "貼り付け(&P)", "Ctrl+V", "貼り付け", "クリップボードから貼り付け"},
    {"EditSelectAll1", "編集", "すべてを選択(&A)", "Ctrl+A", "すべてを選択",
     "ドキュメント全体を選択する"},
    {"EditUndo", "編集", "元に戻す(&U)", "Ctrl+Z", "元に戻す", "元に戻す"},
    {"EditRedo", "編集", "やり直し(&R)", "Ctrl+Alt+Z", "やり直し", "やり直し"},
    {"EditCopyAll", "編集", "すべてをコピー(&Y)", "F2", "すべてをコピー",
     "ドキュメント全体をクリップボードに送る"},
    {"FileAddPage1", "ファイル", "新規ページ(&N)", "Ctrl+N", "新規ページ",
     "新しいページを作成する"},
    {"FileDeletePage1", "ファイル", "ページ削除(&D)", "", "ページ削除", "現在のページを削除する"},
    {"FileOpen1", "ファイル", "開く(&O)...", "Ctrl+O", "開く", "既存のファイルを開く"},
    {"FileSaveAs1", "ファイル", "名前を付けて保存(&A)...", "", "別名で保存",
     "現在のファイルに新しい名前をつけて保存する"},
    {"FileSave1", "ファイル", "上書き保存(&S)", "Ctrl+S", "上書き保存",
     "現在のファイルを上書き保存する"},
    {"FileNameClear", "ファイル", "ファイル名の解除(&C)", "", "ファイル名の解除",
     "現在のテキストとファイル名の関係を解除する"},
    {"FileChangeTabName", "ファイル", "タブの名前変更(&T)", "", "タブの名前変更",
     "現在選択中のタブの名前を変更する"},
    {"FileExit1", "ファイル", "終了(&X)", "", "終了", "アプリケーションを終了する"},
    {"EditAddDate", "編集", "日付を貼り付け(&D)", "F5", "日付を貼り付け", "現在の日付を貼り付ける"},
    {"EditAddDateTime", "編集", "日時を貼り付け(&M)", "Shift+F5", "日時を貼り付け",
     "現在の日時を貼り付ける"},
    {"HtmlB", "タグ", "<&ｂ>太字", "", "<ｂ>太字", "<b>タグを貼り付ける"},
    {"HtmlI", "タグ", "<&i>斜体", "", "<i>斜体", "<i>タグを貼り付ける"},
    {"HtmlF", "タグ", "<&font>フォント...", "", "<font>フォント",
     "<font>タグに関する設定を行い貼り付ける"},
    {"HtmlA", "タグ", "<&a>リンク...", "", "<a>リンク", "<a>タグに関する設定を行い貼り付ける"},
    {"HtmlU", "タグ", "<&u>アンダーライン", "", "<u>アンダーライン", "<u>タグを貼り付ける"},
    {"HtmlBig", "タグ", "<bi&g>大きめの文字", "", "<ｂig>大きめの文字", "<big>タグを貼り付ける"},
    {"HtmlSmall", "タグ", "<s&mall>小さめの文字", "", "<small>小さめの文字",
     "<small>タグを貼り付ける"},
    {"HtmlCenter", "タグ", "<&center>センタリング", "", "<center>センタリング",
     "<center>タグを貼り付ける"},
    {"HtmlH1", "タグ", "<h&1>見出し１", "", "<h1>見出し１", "<h1>タグを貼り付ける"},
    {"HtmlH2", "タグ", "<h&2>見出し２", "", "<h2>見出し２", "<h2>タグを貼り付ける"},
    {"HtmlH3", "タグ", "<h&3>見出し３", "", "<h3>見出し３", "<h3>タグを貼り付ける"},
    {"HtmlH4", "タグ", "<h&4>見出し４", "", "<h4>見出し４", "<h4>タグを貼り付ける"},
    {"HtmlH5", "タグ", "<h&5>見出し５", "", "<h5>見出し５", "<h5>タグを貼り付ける"},
    {"HtmlH6", "タグ", "<h&6>見出し６", "", "<h6>見出し６", "<h6>タグを貼り付ける"},
    {"HtmlH7", "タグ", "<h&7>見出し７", "", "<h7>見出し７", "<h7>タグを貼り付ける"},
    {"EditAddUrl", "編集", "お気に入りから貼り付け(&F)", "F3", "お気に入りから貼り付け",
     "お気に入りから選んだURLを貼り付ける"},
    {"WebFavorite", "ウェブ", "お気に入り(&F)...", "", "お気に入り",
     "お気に入りから選択したウェブページを表示する"},
    {"EditQuotePaste", "編集", "引用貼り付け(&Q)", "Ctrl+Alt+V", "引用貼り付け",
     "引用符を付加して貼り付ける"},
    {"ToolCallTxf", "ツール", "整形(&TXF)", "Shift+F11", "整形(TXF)",
     "TXFを利用して選択範囲の整形処理を行う"},
    {"HtmlPreview", "タグ", "プレビュー(&R)", "", "プレビュー",
     "ドキュメントをHTMLとしてプレビューする"},
    {"WebUser", "ウェブ", "WebUser", "", "", ""},
    {"TabChangeName", "タブ", "タブの名前を変更する(&C)", "", "タブの名前を変更する", ""},
    {"TabDelete", "タブ", "ページを削除する(&D)", "", "ページを削除する", ""},
    {"HtmlDel", "タグ", "<de&l>削除...", "", "<del>削除", "<del>タグに関する設定を行い貼り付ける"},
    {"HtmlBlockquote", "タグ", "<block&quote>段落引用...", "", "<blockquote>段落引用",
     "<blockquote>タグに関する設定を行い貼り付ける"},
    {"HtmlP", "タグ", "<&p>段落...", "", "<p>段落", "<&p>タグに関する設定を行い貼り付ける"},
    {"HtmlDiv", "タグ", "<&div>ブロック...", "", "<div>ブロック",
     "<div>タグに関する設定を行い貼り付ける"},
    {"HtmlSpan", "タグ", "<&span>インライン...", "", "<span>インライン",
     "<span>タグに関する設定を行い貼り付ける"},
    {"HtmlIns", "タグ", "<&ins>追記...", "", "<ins>追記", "<ins>タグに関する設定を行い貼り付ける"},
    {"HtmlEm", "タグ", "<&em>強調...", "", "<em>強調", "<em>タグに関する設定を行い貼り付ける"},
    {"HtmlStrong", "タグ", "<s&trong>より強い強調...", "", "<strong>より強い強調",
     "<strong>タグに関する設定を行い貼り付ける"},
    {"EditConvP", "編集", "段落と改行の変換(&V)", "Ctrl+Alt+P", "段落と改行の変換",
     "段落と改行を<p><br />タグで変換する"},
    {"EditHtmlEncode", "編集", "&HTMLエンコード", "Ctrl+Alt+H", "HTMLエンコード",
     "<,>,\",&を文字実体参照に変換する "},
    {"EditQuoteTagPaste", "編集", "引用タグを付加して貼り付け(&B)", "",
     "引用タグを付加して貼り付け", "<blockquote><p>タグを付加して張り付ける"},
    {"HtmlImg", "タグ", "<im&g />画像...", "", "<img />画像",
     "<img />タグに関する設定を行い貼り付ける"},
    {"HtmlPre", "タグ", "<p&re>整形済テキスト...", "", "<pre>整形済テキスト",
     "<pre>タグに関する設定を行い貼り付ける"},
    {"HtmlRuby", "タグ", "<r&uby>ルビ...", "", "<ruby>ルビ",
     "<ruby>タグに関する設定を行い貼り付ける"},
    {"SearchFind", "検索", "検索...(&F)", "Ctrl+F", "検索", "ドキュメント中の検索を行う"},
    {"SearchReplace", "検索", "置換...(&R)", "Ctrl+H", "置換", "ドキュメントの置き換えを行う"},
    {"HtmlUl", "タグ", "<&ul>リスト", "", "<ul>リスト", "リストを作成する"},
    {"HtmlOl", "タグ", "<&ol>番号付きリスト", "", "<ol>番号付きリスト", "番号付きリストを作成する"},
    {"EditMailEncode", "編集", "メールアドレスエンコード(&L)", "Ctrl+Alt+M",
     "メールアドレスエンコード", "@と.を身文字実体参照に変換する"},
    {"EditTrim", "編集", "トリミング(&T)", "", "トリミング", "選択行の端の空白とTABを削除"},
    {"EditTrimRight", "編集", "トリミング・右(&R)", "", "トリミング・右",
     "選択行の右端の空白とTABを削除"},
    {"EditTrimLeft", "編集", "トリミング・左(&L)", "", "トリミング・左",
     "選択行の左端の空白とTABを削除"},
    {"HtmlTableTab", "タグ", "<table>テーブル（&Tab区切り）", "", "テーブル（TAB区切り）",
     "表を作成（Tab区切り）"},
    {"HtmlTableComma", "タグ", "<table>テーブル（コンマ区切り）(&C)", "",
     "<table>テーブル（コンマ区切り）", "表を作成（コンマ区切り）"},
    {"HTMLBr", "タグ", "<&br />改行...", "", "<br />改行",
     "<br />タグに関する設定を行い貼り付ける"},
    {"TagCite", "タグ", "<&cite>出典", "", "<cite>出典", "<cite>タグを貼り付ける"},
    {"ViewToolBarPanel", "表示", "ツールバー(&T)", "", "ツールバーの表示", "ツールバーの表示切替"},
    {"ViewTabMultiLine", "表示", "タブの多段表示(&M)", "", "タブの多段表示切替",
     "タブの多段表示を切り替える"},
    {"FileRestorePage", "ファイル", "削除したページを元に戻す(&R)", "Ctrl+Shift+T",
     "削除したページを元に戻す", "最後に削除したページを元の位置に戻す"},
};

QStringList Names(const QList<QAction*>& items) {
  QStringList names;
  for (QAction* a : items) {
    if (a->isSeparator())
      names << "-";
    else if (a->menu())
      names << a->text();
    else
      names << a->objectName();
  }
  return names;
}

QMenu* SubMenu(QMenu* menu, const QString& caption) {
  for (QAction* a : menu->actions())
    if (a->menu() && a->text() == caption) return a->menu();
  return nullptr;
}

QMenu* TopMenu(QMenuBar* bar, const QString& caption) {
  for (QAction* a : bar->actions())
    if (a->menu() && a->text() == caption) return a->menu();
  return nullptr;
}

}  // namespace

TEST_F(MainFormTest, EveryActionHasItsCategoryCaptionShortcutAndHints) {
  Start();
  TActionList& list = *form_->ActionList1;
  ASSERT_EQ(list.Count(), static_cast<int>(std::size(kActions)));
  for (int i = 0; i < list.Count(); ++i) {
    const Expected& e = kActions[i];
    QAction* a = list.Action(i);
    SCOPED_TRACE(e.name);
    EXPECT_EQ(a->objectName(), e.name);
    EXPECT_EQ(TActionList::Category(a), U(e.category));
    EXPECT_EQ(a->text(), U(e.caption));
    EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(e.shortcut)));
    EXPECT_EQ(GetShortHint(TActionList::Hint(a)), U(e.shortHint));
    EXPECT_EQ(GetLongHint(TActionList::Hint(a)), U(e.longHint));
    if (*e.longHint) {
      EXPECT_EQ(a->statusTip(), U(e.longHint));
    }
    // Shortcuts reach the action from anywhere in the window.
    if (*e.shortcut) {
      EXPECT_TRUE(form_->actions().contains(a));
    }
  }
  for (int level = 1; level <= 7; ++level)
    EXPECT_EQ(TActionList::Tag(Act(("HtmlH" + std::to_string(level)).c_str())), level);
}

TEST_F(MainFormTest, ToolButtonsHaveDistinctImagesFromTheImageList) {
  Start();
  EXPECT_EQ(form_->ImageList1->Count(), 47);
  for (int i = 0; i < 47; ++i) {
    QIcon icon = form_->ImageList1->Icon(i);
    ASSERT_FALSE(icon.isNull()) << i;
    EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16));
    // A scaled screen gets the image drawn at its size, not the small one stretched.
    for (int size : TImageList::kLargerSizes) {
      QImage drawn(TImageList::Path(i, size));
      ASSERT_EQ(drawn.size(), QSize(size, size)) << i;
      QImage shown = icon.pixmap(QSize(16, 16), size / 16.0).toImage();
      EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied))
          << i << " at " << size;
    }
  }
  EXPECT_EQ(TImageList::ProgramIcon().availableSizes().size(), 7);
  QSet<int> used;
  for (QToolBar* bar : {form_->ToolBar1, form_->ToolBar2})
    for (QAction* a : bar->actions()) {
      if (a->isSeparator()) continue;
      int index = TActionList::ImageIndex(a);
      EXPECT_GE(index, 0) << a->objectName().toStdString();
      EXPECT_FALSE(used.contains(index)) << a->objectName().toStdString();
      used.insert(index);
      EXPECT_FALSE(a->icon().isNull());
    }
}

TEST_F(MainFormTest, ToolBarsHoldTheirButtonsInOrder) {
  Start();
  EXPECT_EQ(Names(form_->ToolBar1->actions()).join(' '),
            "FileAddPage1 FileOpen1 FileSaveAs1 FileSave1 - EditCut EditCopy EditPaste "
            "EditCopyAll - EditUndo EditRedo - SearchFind SearchReplace - HtmlB HtmlI HtmlF "
            "HtmlU HtmlBig HtmlSmall HtmlCenter - HtmlPreview - ToolCallTxf");
  EXPECT_EQ(Names(form_->ToolBar2->actions()).join(' '),
            "HtmlDiv HtmlH1 HtmlH2 HtmlH3 HtmlH4 HtmlP HtmlPre HtmlBlockquote - HtmlSpan "
            "HtmlEm HtmlStrong HtmlA HtmlImg HTMLBr - HtmlUl HtmlOl");
}

TEST_F(MainFormTest, MainMenuHoldsEveryItemInOrder) {
  Start();
  QMenuBar* bar = form_->MainMenu1;
  QStringList tops;
  for (QAction* a : bar->actions()) tops << a->text();
  EXPECT_EQ(tops, (QStringList{U("ファイル(&F)"), U("編集(&E)"), U("検索(&S)"), U("表示(&V)"),
                               U("&XHTMLタグ"), U("簡易ブラウザ(&B)"), U("ツール(&T)"),
                               U("ヘルプ(&H)")}));
  QMenu* file = TopMenu(bar, U("ファイル(&F)"));
  EXPECT_EQ(file->menuAction()->statusTip(), U("ファイルに関する機能"));
  EXPECT_EQ(
      Names(file->actions()).join(' '),
      "FileAddPage1 FileDeletePage1 FileRestorePage FileOpen1 FileSaveAs1 FileSave1 FileNameClear "
      "FileChangeTabNameItem - FileExit1");
  QAction* rename = file->actions()[7];
  EXPECT_EQ(rename->text(), U("タブの名前の変更(&T)"));

  QMenu* edit = TopMenu(bar, U("編集(&E)"));
  EXPECT_EQ(Names(edit->actions()).join(' '),
            U("EditCut EditCopy EditPaste EditQuotePaste EditQuoteTagPaste EditSelectAll1 - "
              "EditUndo EditRedo - EditCopyAll EditAddUrl EditAddDate EditAddDateTime - "
              "トリミング(&X) EditConvP EditHtmlEncode EditMailEncode"));
  EXPECT_EQ(Names(SubMenu(edit, U("トリミング(&X)"))->actions()).join(' '),
            "EditTrim EditTrimLeft EditTrimRight");
  EXPECT_EQ(Names(TopMenu(bar, U("検索(&S)"))->actions()).join(' '), "SearchFind SearchReplace");
  EXPECT_EQ(Names(TopMenu(bar, U("表示(&V)"))->actions()).join(' '),
            "ViewToolBarPanelMenuItem ViewTabMultiLineMenuItem");

  QMenu* html = TopMenu(bar, U("&XHTMLタグ"));
  EXPECT_EQ(html->menuAction()->toolTip(), U("HTMLタグ"));
  EXPECT_EQ(html->menuAction()->statusTip(), U("HTMLタグに関する機能"));
  EXPECT_EQ(Names(html->actions()).join(' '),
            U("ブロック要素(&B) インライン要素(&I) リスト(&L) テーブル(&T) - &HTML - HtmlPreview"));
  QMenu* block = SubMenu(html, U("ブロック要素(&B)"));
  EXPECT_EQ(Names(block->actions()).join(' '),
            U("HtmlDiv <&h>見出し HtmlP HtmlPre HtmlBlockquote"));
  EXPECT_EQ(Names(SubMenu(block, U("<&h>見出し"))->actions()).join(' '),
            "HtmlH1 HtmlH2 HtmlH3 HtmlH4 HtmlH5 HtmlH6 HtmlH7");
  QMenu* inl = SubMenu(html, U("インライン要素(&I)"));
  EXPECT_EQ(Names(inl->actions()).join(' '),
            "HtmlSpan HTMLBr HtmlEm HtmlStrong HtmlA HtmlImg HtmlDel HtmlIns HtmlRuby "
            "TagCiteItem");
  EXPECT_EQ(inl->actions().back()->text(), U("<&cite>出典..."));
  EXPECT_EQ(Names(SubMenu(html, U("リスト(&L)"))->actions()).join(' '), "HtmlUl HtmlOl");
  EXPECT_EQ(Names(SubMenu(html, U("テーブル(&T)"))->actions()).join(' '),
            "HtmlTableTab HtmlTableComma");
  EXPECT_EQ(Names(SubMenu(html, "&HTML")->actions()).join(' '),
            "HtmlB HtmlI HtmlF HtmlU HtmlBig HtmlSmall HtmlCenter");

  QMenu* web = TopMenu(bar, U("簡易ブラウザ(&B)"));
  EXPECT_EQ(Names(web->actions()).join(' '),
            U("WebFavorite 登録されたショートカット(&U) - AddShortcutMenu"));
  EXPECT_EQ(form_->WebUserMenu, SubMenu(web, U("登録されたショートカット(&U)")));
  EXPECT_EQ(form_->WebUserMenu->objectName(), "WebUserMenu");
  EXPECT_EQ(web->actions().back()->text(), U("ウェブショートカットの登録(&A)..."));
  EXPECT_EQ(web->actions().back()->statusTip(),
            U("ウェブショートカットの登録ダイアログを呼び出す"));

  QMenu* tool = TopMenu(bar, U("ツール(&T)"));
  EXPECT_EQ(Names(tool->actions()).join(' '), "Option ToolCallTxf");
  EXPECT_EQ(tool->actions()[0]->text(), U("オプション(&O)..."));
  EXPECT_EQ(tool->actions()[0]->toolTip(), U("オプション"));
  EXPECT_EQ(tool->actions()[0]->statusTip(), U("オプションダイアログを呼び出す"));
  QMenu* help = TopMenu(bar, U("ヘルプ(&H)"));
  EXPECT_EQ(Names(help->actions()).join(' '), "About1");
  EXPECT_EQ(help->actions()[0]->text(), U("バージョン情報(&A)..."));
  EXPECT_EQ(help->actions()[0]->statusTip(), U("バージョン情報を呼び出す"));
}

TEST_F(MainFormTest, ContextMenusHoldTheirItemsInOrder) {
  Start();
  QMenu* editor = form_->PopupMenu1;
  EXPECT_EQ(Names(editor->actions()).join(' '),
            U("EditCopy EditCut EditPaste EditQuotePaste EditQuoteTagPaste EditSelectAll1 - "
              "ブロック要素(&B) インライン要素(&I) リスト(&L) テーブル(&T) &HTML - EditCopyAll "
              "EditAddUrl EditAddDate EditAddDateTime - トリミング(&X) EditConvP "
              "EditHtmlEncode EditMailEncode"));
  // As in the main menu, but without the cite item.
  EXPECT_EQ(Names(SubMenu(editor, U("インライン要素(&I)"))->actions()).join(' '),
            "HtmlSpan HTMLBr HtmlEm HtmlStrong HtmlA HtmlImg HtmlDel HtmlIns HtmlRuby");
  EXPECT_EQ(
      Names(SubMenu(SubMenu(editor, U("ブロック要素(&B)")), U("<&h>見出し"))->actions()).size(), 7);
  EXPECT_EQ(Names(form_->PopupMenu2->actions()).join(' '),
            "TabChangeName TabDelete FileRestorePage");
  EXPECT_EQ(form_->TabControl1->PopupMenu(), form_->PopupMenu2);
}

TEST_F(MainFormTest, ActionsStartDisabledAsDesigned) {
  TMainForm form;  // created, not yet shown: no idle step has run
  QStringList disabled;
  for (QAction* a : form.ActionList1->Actions())
    if (!a->isEnabled()) disabled << a->objectName();
  EXPECT_EQ(disabled.join(' '),
            "EditCut EditCopy EditPaste EditUndo EditRedo EditCopyAll FileDeletePage1 "
            "FileSave1 FileNameClear EditQuotePaste EditQuoteTagPaste FileRestorePage");
}

TEST_F(MainFormTest, EnablingRulesFollowEditorClipboardAndModes) {
  Start();
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(Enabled("EditCut"));
  EXPECT_FALSE(Enabled("EditCopyAll"));
  EXPECT_FALSE(Enabled("EditPaste"));
  EXPECT_FALSE(Enabled("EditUndo"));
  EXPECT_FALSE(Enabled("EditRedo"));
  EXPECT_TRUE(Enabled("EditSelectAll1"));

  Type("hello");
  EXPECT_TRUE(Enabled("EditCopyAll"));
  EXPECT_TRUE(Enabled("EditUndo"));
  EXPECT_FALSE(Enabled("EditCut"));
  Editor().SelectAll();
  EXPECT_TRUE(Enabled("EditCut"));
  EXPECT_TRUE(Enabled("EditCopy"));

  QGuiApplication::clipboard()->setText("clip");
  EXPECT_TRUE(Enabled("EditPaste"));
  EXPECT_TRUE(Enabled("EditQuotePaste"));
  EXPECT_TRUE(Enabled("EditQuoteTagPaste"));

  // Tag commands with dialogs are off in bulletin-board mode; preview needs it (or the
  // preview mode) and some text.
  EXPECT_TRUE(Enabled("HtmlA"));
  EXPECT_FALSE(Enabled("HtmlPreview"));
  form_->SegaBbsMode = true;
  EXPECT_FALSE(Enabled("HtmlA"));
  EXPECT_FALSE(Enabled("HtmlRuby"));
  EXPECT_TRUE(Enabled("HtmlB"));
  EXPECT_TRUE(Enabled("HtmlPreview"));
  form_->SegaBbsMode = false;
  form_->PreviewMode = true;
  EXPECT_TRUE(Enabled("HtmlPreview"));

  // Showing another page starts it unmodified.
  Trigger("FileAddPage1");
  EXPECT_FALSE(Enabled("EditUndo"));
  EXPECT_FALSE(Enabled("HtmlPreview"));  // its text is empty
}

TEST_F(MainFormTest, CheckItemsFollowToolBarAndMultiLineTabs) {
  Start();
  form_->ActionList1Update();
  QMenu* view = TopMenu(form_->MainMenu1, U("表示(&V)"));
  QAction* toolBarItem = view->actions()[0];
  QAction* multiLineItem = view->actions()[1];
  EXPECT_TRUE(toolBarItem->isChecked());
  EXPECT_FALSE(multiLineItem->isChecked());
  form_->ToolBarPanel->hide();
  form_->TabControl1->SetMultiLine(true);
  form_->ActionList1Update();
  EXPECT_FALSE(toolBarItem->isChecked());
  EXPECT_TRUE(multiLineItem->isChecked());
  EXPECT_TRUE(toolBarItem->isEnabled());
}

TEST_F(MainFormTest, LongHintsGoToStatusPanelZero) {
  Start();
  QStatusTipEvent tip(Act("FileSave1")->statusTip());
  QApplication::sendEvent(form_->ToolBar1, &tip);
  EXPECT_EQ(form_->StatusPanelText(0), U("現在のファイルを上書き保存する"));
}

TEST_F(MainFormTest, ExitClosesTheWindowWithoutAsking) {
  Start();
  Trigger("FileExit1");
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(dialogs_->Messages.size(), 0u);
}

TEST_F(MainFormTest, SelectionRuleSeesLongAndEmptySelections) {
  Start();
  Editor().SelectAll();
  EXPECT_FALSE(Enabled("EditCopy"));  // everything of nothing
  Editor().SetText("one\r\ntwo\r\nthree\r\nfour\r\n");
  Editor().SelectAll();
  EXPECT_TRUE(Enabled("EditCopy"));
  form_->FenEdit1->SetSel(0, 1, 1, 0);  // an empty range
  EXPECT_FALSE(Enabled("EditCopy"));
  form_->FenEdit1->SetSel(0, 1, 2, 0);  // one whole line
  EXPECT_TRUE(Enabled("EditCopy"));
}
