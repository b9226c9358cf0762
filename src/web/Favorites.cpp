#include "Favorites.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ProgramFiles.h"

namespace Favorites {

std::string Folder() {
  if (const char* env = std::getenv("PIYONOTE2_FAVORITES"); env && *env) return env;
  std::error_code ec;
  if (const char* home = std::getenv("HOME"); home && *home) {
    std::string folder = std::string(home) + "/Favorites";
    if (std::filesystem::is_directory(folder, ec)) return folder;
  }
  std::string folder = ProgramFiles::DataFolder() + "/Favorites";
  // A folder that cannot be made shows as an empty tree; nothing is lost.
  std::filesystem::create_directories(folder, ec);
  return folder;
}

bool IsInternetShortcut(std::string_view path) {
  size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view ext = name.substr(dot);
  if (ext.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    char c = ext[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != ".url"[i]) return false;
  }
  return true;
}

}  // namespace Favorites
