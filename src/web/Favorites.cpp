#include "Favorites.h"

#include <sys/stat.h>

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
  // A folder that cannot be made shows as an empty tree; nothing is lost. Like the data
  // folder, it is the user's alone.
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

namespace {

bool HasExtension(std::string_view path, std::string_view lowerExt) {
  size_t slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view ext = name.substr(dot);
  if (ext.size() != lowerExt.size()) return false;
  for (size_t i = 0; i < ext.size(); ++i) {
    char c = ext[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != lowerExt[i]) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The escapes a desktop entry's string values may hold.
std::string Unescape(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        out += value[i];
        break;
    }
  }
  return out;
}

}  // namespace

bool IsInternetShortcut(std::string_view path) {
  return HasExtension(path, ".url");
}

bool IsDesktopLink(std::string_view path) {
  return HasExtension(path, ".desktop");
}

std::string DesktopLinkUrl(std::string_view text) {
  bool inEntry = false;
  bool seenEntry = false;
  std::string type;
  std::string url;
  bool haveUrl = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (seenEntry) break;  // the entry's group is over
      inEntry = line == "[Desktop Entry]";
      seenEntry = inEntry;
      continue;
    }
    if (!inEntry) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = Trim(line.substr(eq + 1));
    if (key == "Type") type = Unescape(value);
    if (key == "URL" && !haveUrl) {
      url = Unescape(value);
      haveUrl = true;
    }
  }
  return type == "Link" ? url : std::string();
}

std::string ShortcutText(std::string_view url) {
  std::string text = "[InternetShortcut]\r\nURL=";
  for (char c : url)
    if (c != '\r' && c != '\n') text += c;
  text += "\r\n";
  return text;
}

std::string ShortcutFileName(std::string_view title, std::string_view fallback) {
  // Well below the usual 255-byte limit, leaving room for the extension.
  constexpr size_t kMaxBytes = 200;
  std::string name;
  for (char ch : title) {
    auto c = static_cast<unsigned char>(ch);
    bool bad = c < 0x20 || c == 0x7f || ch == '/' || ch == '\\' || ch == ':' || ch == '*' ||
               ch == '?' || ch == '"' || ch == '<' || ch == '>' || ch == '|';
    name += bad ? '_' : ch;
  }
  size_t from = name.find_first_not_of(". ");
  name = from == std::string::npos ? std::string() : name.substr(from);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.size() > kMaxBytes) {
    size_t cut = kMaxBytes;
    // Not in the middle of a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  if (name.empty()) name = fallback;
  return name + ".url";
}

}  // namespace Favorites
