// The main window's Favorites commands and its own web shortcuts.
#include "app/ui/MainForm.h"

void TMainForm::ConnectFavorites() {}
std::string TMainForm::SelectFavoriteUrl() { return {}; }
void TMainForm::EditAddUrlExecute() {}
void TMainForm::WebFavoriteExecute() {}
void TMainForm::AddShortcutMenuClick() {}
void TMainForm::RebuildWebUserMenu() {}
void TMainForm::LoadWebShortcuts() { WebShortcutList.clear(); }
void TMainForm::SaveWebShortcuts() { WebShortcutList.clear(); }
