// The main window's Favorites commands and its own web shortcuts.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "markup/ui/TagDialogs.h"
#include "platform/ProgramFiles.h"
#include "web/WebShortcuts.h"
#include "web/ui/FavoriteDlg.h"
#include "web/ui/WebShortcutDlg.h"

namespace {

std::string ShortcutFile() {
  return ProgramFiles::DataFile(".kdw");
}

// The main window whose start-up could not read an existing shortcut file: its list is then
// empty, and writing it at the end would throw the user's shortcuts away.
const TMainForm* unreadableFileOf = nullptr;

// The generated items belong to the window, not the menu: removing them is not enough. The
// submenus of a long list go with the items they hold.
void DeleteItems(QMenu* menu) {
  if (!menu) return;
  qDeleteAll(menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
  const QList<QAction*> items = menu->actions();
  menu->clear();
  qDeleteAll(items);
}

// A menu shows at most this many entries; a longer list is split into submenus of
// consecutive shortcuts, each filled when it is first opened, so that a list of thousands
// opens at once.
constexpr size_t kItemsPerMenu = 40;

// What the submenus filled later need: the window's list, which every change of it rebuilds
// the menu after, and the line whose URL each line's item opens.
struct TWebUserItems {
  const std::vector<std::string>& lines;
  std::vector<size_t> sources;
};

QString MenuName(std::string_view line) {
  return ToQString(std::string(WebShortcuts::Name(line)));
}

QAction* MakeItem(TMainForm* form, QObject* owner, const TWebUserItems& items, size_t i) {
  size_t source = items.sources[i];
  std::string url =
      source == WebShortcuts::kNoUrl ? "" : std::string(WebShortcuts::Url(items.lines[source]));
  auto* item = new QAction(MenuName(items.lines[i]), owner);
  // The URL is the item's hint, so the status bar shows it while the item is highlighted.
  // Shown whole: a URL may hold the "|" that would split an ordinary hint.
  QString hint = ToQString(url);
  item->setProperty("Hint", hint);
  item->setStatusTip(hint);
  item->setToolTip(hint);
  QObject::connect(item, &QAction::triggered, form, [form, url] { form->OpenWebWindow(url); });
  return item;
}

// Lines [first, last) into the menu; `owner` owns directly made items (null: the menu).
void FillWebUserMenu(TMainForm* form, QMenu* menu, const std::shared_ptr<TWebUserItems>& items,
                     size_t first, size_t last, QObject* owner) {
  size_t count = last - first;
  if (count <= kItemsPerMenu) {
    for (size_t i = first; i < last; ++i)
      menu->addAction(MakeItem(form, owner ? owner : menu, *items, i));
    return;
  }
  size_t span = kItemsPerMenu;
  while (count > span * kItemsPerMenu) span *= kItemsPerMenu;
  for (size_t from = first; from < last; from += span) {
    size_t to = std::min(last, from + span);
    QString caption =
        MenuName(items->lines[from]) + QString::fromUtf8(" 〜 ") + MenuName(items->lines[to - 1]);
    auto* sub = new QMenu(caption.replace('&', "&&"), menu);
    menu->addMenu(sub);
    QObject::connect(sub, &QMenu::aboutToShow, sub, [form, sub, items, from, to] {
      // A list changed without a rebuild is not shown half.
      if (sub->isEmpty() && items->lines.size() == items->sources.size())
        FillWebUserMenu(form, sub, items, from, to, nullptr);
    });
  }
}

}  // namespace

void TMainForm::ConnectFavorites() {
  connect(Action("EditAddUrl"), &QAction::triggered, this, [this] { EditAddUrlExecute(); });
  connect(Action("WebFavorite"), &QAction::triggered, this, [this] { WebFavoriteExecute(); });
  if (auto* item = findChild<QAction*>(QStringLiteral("AddShortcutMenu")))
    connect(item, &QAction::triggered, this, [this] { AddShortcutMenuClick(); });
}

std::string TMainForm::SelectFavoriteUrl() {
  return TFavoriteDlg::PickUrl();
}

void TMainForm::EditAddUrlExecute() {
  std::string url = SelectFavoriteUrl();
  if (!url.empty()) FenEdit1->SetSelText(url);
}

void TMainForm::WebFavoriteExecute() {
  std::string url = SelectFavoriteUrl();
  if (!url.empty()) OpenWebWindow(url);
}

void TMainForm::AddShortcutMenuClick() {
  if (!WebShortcutDlg || !Application) return;
  WebShortcutDlg->ValueListEditor1->SetLines(WebShortcutList);
  do {
    if (Application->ShowModal(*WebShortcutDlg) != mrOk) return;
  } while (!WebShortcutDlg->ValueListEditor1->NamesFit());
  WebShortcutList = WebShortcutDlg->ValueListEditor1->Lines();
  // The user has now chosen this list over the file that could not be read.
  if (unreadableFileOf == this) unreadableFileOf = nullptr;
  RebuildWebUserMenu();
}

void TMainForm::RebuildWebUserMenu() {
  if (!WebUserMenu) return;
  DeleteItems(WebUserMenu);
  auto items = std::make_shared<TWebUserItems>(
      TWebUserItems{WebShortcutList, WebShortcuts::UrlSources(WebShortcutList)});
  FillWebUserMenu(this, WebUserMenu, items, 0, items->lines.size(), this);
}

void TMainForm::LoadWebShortcuts() {
  std::string error;
  if (WebShortcuts::Read(ShortcutFile(), WebShortcutList, &error) ==
      WebShortcuts::TReadResult::Unreadable) {
    unreadableFileOf = this;
    if (Application)
      Application->MessageDlg(
          QStringLiteral("%1\n%2\n\n%3")
              .arg(QString::fromUtf8("ウェブショートカットのファイルを読み込めませんでした。"),
                   QFile::decodeName(ShortcutFile().c_str()),
                   QString::fromUtf8("このファイルは終了時にも書き換えません。")),
          TMsgDlgType::mtWarning, mbOK);
  }
  RebuildWebUserMenu();
  // The link dialog's Favorites button: it exists by now, created after this window.
  if (LinkDlg && !LinkDlg->PickFavorite)
    LinkDlg->PickFavorite = [] { return TFavoriteDlg::PickUrl(); };
}

void TMainForm::SaveWebShortcuts() {
  DeleteItems(WebUserMenu);
  bool keepFile = unreadableFileOf == this;
  if (keepFile) unreadableFileOf = nullptr;
  std::string error;
  if (!keepFile && !WebShortcuts::Write(ShortcutFile(), WebShortcutList, &error) && Application)
    Application->MessageDlg(
        QStringLiteral("%1\n%2\n%3")
            .arg(QString::fromUtf8("ウェブショートカットを保存できませんでした。"),
                 QFile::decodeName(ShortcutFile().c_str()), QString::fromLocal8Bit(error.c_str())),
        TMsgDlgType::mtError, mbOK);
  WebShortcutList.clear();
}
