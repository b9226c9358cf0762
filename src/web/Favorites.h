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

// The section and key of an Internet shortcut file that hold its URL.
constexpr const char* kSection = "InternetShortcut";
constexpr const char* kUrlKey = "URL";

}  // namespace Favorites
