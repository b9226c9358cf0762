// The main menu, the two context menus and the two tool bars, built from tables of action
// names so that a test can walk them.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <initializer_list>
#include <vector>

#include "EditorPane.h"
#include "MainForm.h"
#include "TabStrip.h"

namespace {

// One entry of a menu: an action by name, an item linked to an action (with a name and maybe
// a caption of its own), a separator, an item of its own, or a submenu.
struct TMenuDef {
  enum Kind { Act, Linked, Separator, Item, Sub };
  Kind kind;
  const char* name;     // action name; item name; submenu object name (may be empty)
  const char* caption;  // items and submenus; linked items: own caption or null
  const char* hint;     // items and submenus; linked items: the item's name
  std::vector<TMenuDef> children;
};

TMenuDef A(const char* name) {
  return {TMenuDef::Act, name, nullptr, nullptr, {}};
}
TMenuDef L(const char* action, const char* itemName, const char* caption = nullptr) {
  return {TMenuDef::Linked, action, caption, itemName, {}};
}
TMenuDef Sep() {
  return {TMenuDef::Separator, "", nullptr, nullptr, {}};
}
TMenuDef Item(const char* name, const char* caption, const char* hint) {
  return {TMenuDef::Item, name, caption, hint, {}};
}
TMenuDef Sub(const char* name, const char* caption, const char* hint,
             std::vector<TMenuDef> children) {
  return {TMenuDef::Sub, name, caption, hint, std::move(children)};
}

std::vector<TMenuDef> BlockItems() {
  return {A("HtmlDiv"),
          Sub("", "<&h>見出し", "",
              {A("HtmlH1"), A("HtmlH2"), A("HtmlH3"), A("HtmlH4"), A("HtmlH5"), A("HtmlH6"),
               A("HtmlH7")}),
          A("HtmlP"), A("HtmlPre"), A("HtmlBlockquote")};
}

std::vector<TMenuDef> InlineItems(bool withCite) {
  std::vector<TMenuDef> items = {A("HtmlSpan"),   A("HTMLBr"),  A("HtmlEm"),
                                 A("HtmlStrong"), A("HtmlA"),   A("HtmlImg"),
                                 A("HtmlDel"),    A("HtmlIns"), A("HtmlRuby")};
  if (withCite) items.push_back(L("TagCite", "TagCiteItem", "<&cite>出典..."));
  return items;
}

std::vector<TMenuDef> ListItems() {
  return {A("HtmlUl"), A("HtmlOl")};
}
std::vector<TMenuDef> TableItems() {
  return {A("HtmlTableTab"), A("HtmlTableComma")};
}
std::vector<TMenuDef> HtmlItems() {
  return {A("HtmlB"),   A("HtmlI"),     A("HtmlF"),     A("HtmlU"),
          A("HtmlBig"), A("HtmlSmall"), A("HtmlCenter")};
}
std::vector<TMenuDef> TrimItems() {
  return {A("EditTrim"), A("EditTrimLeft"), A("EditTrimRight")};
}

std::vector<TMenuDef> MainMenuDefs() {
  return {
      Sub("File1", "ファイル(&F)", "ファイルに関する機能",
          {A("FileAddPage1"), A("FileDeletePage1"), A("FileRestorePage"), A("FileOpen1"),
           A("FileSaveAs1"), A("FileSave1"), A("FileNameClear"),
           L("FileChangeTabName", "FileChangeTabNameItem", "タブの名前の変更(&T)"), Sep(),
           A("FileExit1")}),
      Sub("Edit1", "編集(&E)", "編集に関する機能",
          {A("EditCut"), A("EditCopy"), A("EditPaste"), A("EditQuotePaste"), A("EditQuoteTagPaste"),
           A("EditSelectAll1"), Sep(), A("EditUndo"), A("EditRedo"), Sep(), A("EditCopyAll"),
           A("EditAddUrl"), A("EditAddDate"), A("EditAddDateTime"), Sep(),
           Sub("Trim1", "トリミング(&X)", "", TrimItems()), A("EditConvP"), A("EditHtmlEncode"),
           A("EditMailEncode")}),
      Sub("Search1", "検索(&S)", "検索に関する機能", {A("SearchFind"), A("SearchReplace")}),
      Sub("View1", "表示(&V)", "表示に関する機能",
          {L("ViewToolBarPanel", "ViewToolBarPanelMenuItem"),
           L("ViewTabMultiLine", "ViewTabMultiLineMenuItem")}),
      Sub("XHTML1", "&XHTMLタグ", "HTMLタグ|HTMLタグに関する機能",
          {Sub("Block1", "ブロック要素(&B)", "", BlockItems()),
           Sub("Inline1", "インライン要素(&I)", "", InlineItems(true)),
           Sub("List1", "リスト(&L)", "", ListItems()),
           Sub("Table1", "テーブル(&T)", "", TableItems()), Sep(),
           Sub("HTML1", "&HTML", "", HtmlItems()), Sep(), A("HtmlPreview")}),
      Sub("Web1", "簡易ブラウザ(&B)", "簡易ブラウザ|簡易ウェブブラウザを呼び出す",
          {A("WebFavorite"), Sub("WebUserMenu", "登録されたショートカット(&U)", "", {}), Sep(),
           Item("AddShortcutMenu", "ウェブショートカットの登録(&A)...",
                "ウェブショートカットの登録ダイアログを呼び出す")}),
      Sub("Tool1", "ツール(&T)", "ツール|各種ツールに関する機能",
          {Item("Option", "オプション(&O)...", "オプション|オプションダイアログを呼び出す"),
           A("ToolCallTxf")}),
      Sub("Help1", "ヘルプ(&H)", "ヘルプ|ヘルプとバージョン情報",
          {Item("About1", "バージョン情報(&A)...", "バージョン情報|バージョン情報を呼び出す")}),
  };
}

std::vector<TMenuDef> EditorPopupDefs() {
  return {A("EditCopy"),
          A("EditCut"),
          A("EditPaste"),
          A("EditQuotePaste"),
          A("EditQuoteTagPaste"),
          A("EditSelectAll1"),
          Sep(),
          Sub("", "ブロック要素(&B)", "", BlockItems()),
          Sub("", "インライン要素(&I)", "", InlineItems(false)),
          Sub("", "リスト(&L)", "", ListItems()),
          Sub("", "テーブル(&T)", "", TableItems()),
          Sub("", "&HTML", "", HtmlItems()),
          Sep(),
          A("EditCopyAll"),
          A("EditAddUrl"),
          A("EditAddDate"),
          A("EditAddDateTime"),
          Sep(),
          Sub("", "トリミング(&X)", "", TrimItems()),
          A("EditConvP"),
          A("EditHtmlEncode"),
          A("EditMailEncode")};
}

void SetHint(QAction* item, const QString& hint) {
  item->setProperty("Hint", hint);
  item->setToolTip(GetShortHint(hint));
  item->setStatusTip(GetLongHint(hint));
}

// An item of its own that stands for an action: it has its own name and maybe its own caption,
// and follows the action's enabled and checked state.
QAction* LinkedItem(QMenu* menu, QAction* action, const char* name, const char* caption) {
  auto* item = new QAction(caption ? QString::fromUtf8(caption) : action->text(), menu);
  item->setObjectName(QString::fromLatin1(name));
  item->setProperty("Action", QVariant::fromValue<QObject*>(action));
  SetHint(item, TActionList::Hint(action));
  item->setCheckable(action->isCheckable());
  auto sync = [item, action] {
    item->setEnabled(action->isEnabled());
    item->setChecked(action->isChecked());
  };
  sync();
  QObject::connect(action, &QAction::changed, item, sync);
  QObject::connect(item, &QAction::triggered, action, [action] { action->trigger(); });
  return item;
}

}  // namespace

namespace {
void Build(TMainForm* form, QMenu* menu, const std::vector<TMenuDef>& defs, QMenu** webUser) {
  for (const TMenuDef& def : defs) {
    switch (def.kind) {
      case TMenuDef::Act:
        menu->addAction(form->Action(def.name));
        break;
      case TMenuDef::Linked:
        menu->addAction(LinkedItem(menu, form->Action(def.name), def.hint, def.caption));
        break;
      case TMenuDef::Separator:
        menu->addSeparator();
        break;
      case TMenuDef::Item: {
        auto* item = new QAction(QString::fromUtf8(def.caption), menu);
        item->setObjectName(QString::fromLatin1(def.name));
        SetHint(item, QString::fromUtf8(def.hint));
        menu->addAction(item);
        break;
      }
      case TMenuDef::Sub: {
        QMenu* sub = menu->addMenu(QString::fromUtf8(def.caption));
        sub->setObjectName(QString::fromLatin1(def.name));
        SetHint(sub->menuAction(), QString::fromUtf8(def.hint));
        if (webUser && QString::fromLatin1(def.name) == "WebUserMenu") *webUser = sub;
        Build(form, sub, def.children, webUser);
        break;
      }
    }
  }
}
}  // namespace

void TMainForm::CreateMenus() {
  for (const TMenuDef& top : MainMenuDefs()) {
    auto* menu = new QMenu(QString::fromUtf8(top.caption), MainMenu1);
    menu->setObjectName(QString::fromLatin1(top.name));
    SetHint(menu->menuAction(), QString::fromUtf8(top.hint));
    Build(this, menu, top.children, &WebUserMenu);
    MainMenu1->addMenu(menu);
    // Escape out of a menu leaves the menu bar holding the keyboard, and what the user types
    // next would be lost there: the editor takes it back once no menu is open. Checked after
    // the menu bar has done its part; a chosen command has already given the focus back.
    connect(menu, &QMenu::aboutToHide, this, [this] {
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (!QApplication::activePopupWidget() && QApplication::focusWidget() == MainMenu1)
              editor_->SetFocus();
          },
          Qt::QueuedConnection);
    });
  }

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Build(this, PopupMenu1, EditorPopupDefs(), nullptr);
  editor_->SetPopupMenu(PopupMenu1);

  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName("PopupMenu2");
  Build(this, PopupMenu2, {A("TabChangeName"), A("TabDelete"), A("FileRestorePage")}, nullptr);
  TabControl1->SetPopupMenu(PopupMenu2);
}

void TMainForm::CreateToolBars() {
  auto fill = [this](QToolBar* bar, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name[0] == '|')
        bar->addSeparator();
      else
        bar->addAction(Action(name));
    }
  };
  fill(ToolBar1, {"FileAddPage1",
                  "FileOpen1",
                  "FileSaveAs1",
                  "FileSave1",
                  "|",
                  "EditCut",
                  "EditCopy",
                  "EditPaste",
                  "EditCopyAll",
                  "|",
                  "EditUndo",
                  "EditRedo",
                  "|",
                  "SearchFind",
                  "SearchReplace",
                  "|",
                  "HtmlB",
                  "HtmlI",
                  "HtmlF",
                  "HtmlU",
                  "HtmlBig",
                  "HtmlSmall",
                  "HtmlCenter",
                  "|",
                  "HtmlPreview",
                  "|",
                  "ToolCallTxf"});
  fill(ToolBar2, {"HtmlDiv", "HtmlH1", "HtmlH2", "HtmlH3", "HtmlH4", "HtmlP", "HtmlPre",
                  "HtmlBlockquote", "|", "HtmlSpan", "HtmlEm", "HtmlStrong", "HtmlA", "HtmlImg",
                  "HTMLBr", "|", "HtmlUl", "HtmlOl"});
}
