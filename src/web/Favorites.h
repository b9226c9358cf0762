// The Favorites: a folder of Internet shortcut files (".url"), each naming one web page.
#pragma once
#include <string>
#include <string_view>

namespace Favorites {

// Linux has no Favorites folder of its own, so the program picks one: PIYONOTE2_FAVORITES when
// set and not empty, else ~/Favorites when that folder exists (where a copy of the Windows
// Favorites usually lands), else "Favorites" in the data folder, created when missing.
std::string Folder();

// True when the file name's extension is ".url" in any letter case ("x.URL" too).
bool IsInternetShortcut(std::string_view path);

// True for a freedesktop link file: the extension ".desktop" in any letter case.
bool IsDesktopLink(std::string_view path);

// The URL a freedesktop link file's text names: the first "URL" of its "[Desktop Entry]"
// group when that group's "Type" is "Link"; empty otherwise.
std::string DesktopLinkUrl(std::string_view text);

// The whole text of an Internet shortcut file naming url (line breaks in url are dropped).
std::string ShortcutText(std::string_view url);

// A file name (UTF-8, no folder, ".url" added) for a shortcut called title: characters no
// file name should hold become "_", leading dots and blanks go, the name is cut to a length
// every file system takes, and an empty name becomes fallback.
std::string ShortcutFileName(std::string_view title, std::string_view fallback);

// The section and key of an Internet shortcut file that hold its URL.
constexpr const char* kSection = "InternetShortcut";
constexpr const char* kUrlKey = "URL";

}  // namespace Favorites
