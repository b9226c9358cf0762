// The main window's Favorites commands and its own web shortcuts.
#include <QAction>
#include <QFile>
#include <QMenu>

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

// The generated items belong to the window, not the menu: removing them is not enough.
void DeleteItems(QMenu* menu) {
  if (!menu) return;
  const QList<QAction*> items = menu->actions();
  menu->clear();
  qDeleteAll(items);
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
  for (const std::string& line : WebShortcutList) {
    std::string url = WebShortcuts::UrlForName(WebShortcutList, WebShortcuts::Name(line));
    auto* item = new QAction(ToQString(std::string(WebShortcuts::Name(line))), this);
    // The URL is the item's hint, so the status bar shows it while the item is highlighted.
    // Shown whole: a URL may hold the "|" that would split an ordinary hint.
    QString hint = ToQString(url);
    item->setProperty("Hint", hint);
    item->setStatusTip(hint);
    item->setToolTip(hint);
    connect(item, &QAction::triggered, this, [this, url] { OpenWebWindow(url); });
    WebUserMenu->addAction(item);
  }
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
