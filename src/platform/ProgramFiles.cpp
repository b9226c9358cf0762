#include "ProgramFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {
std::string& OverridePath() {
  static std::string path;
  return path;
}
// Creates what is missing of `folder`, each new folder 0700.
void MakeFolders(const fs::path& folder) {
  fs::path path;
  for (const fs::path& part : folder) {
    path /= part;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return;
  }
}

fs::path UserHome() {
  if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && *pw->pw_dir == '/')
    return pw->pw_dir;
  // No home at all: a folder of this user's own, not a shared one.
  return fs::path("/run/user") / std::to_string(::geteuid());
}

}  // namespace

namespace ProgramFiles {

std::string ProgramPath() {
  if (!OverridePath().empty()) return OverridePath();
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "piyonote2";
  return p.string();
}

std::string BaseName() {
  return fs::path(ProgramPath()).stem().string();
}

bool IsPrivatelyWritable(const std::string& folder) {
  struct stat st {};
  return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 &&
         ::access(folder.c_str(), W_OK) == 0;
}

// An installed program has its desktop entry in the prefix its folder belongs to
// (/usr/bin and /usr/share/applications, ~/.local/bin and ~/.local/share/applications).
bool IsInstalled(const fs::path& folder) {
  std::error_code ec;
  fs::path entry = folder.parent_path() / "share" / "applications" / (BaseName() + ".desktop");
  return fs::exists(entry, ec);
}

std::string DataFolder() {
  if (const char* home = std::getenv("PIYONOTE2_HOME"); home && *home) {
    MakeFolders(home);
    return home;
  }
  fs::path dir = fs::path(ProgramPath()).parent_path();
  // An installed program keeps the user's files in the config home even where it could write
  // its own folder (started by root, or installed into the user's own prefix).
  if (!IsInstalled(dir) && IsPrivatelyWritable(dir.string())) return dir.string();
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
    config = xdg;
  else
    config = UserHome() / ".config";
  config /= "piyonote2";
  MakeFolders(config);
  return config.string();
}

std::string DataFile(const std::string& extension) {
  return (fs::path(DataFolder()) / (BaseName() + extension)).string();
}

void SetProgramPathForTesting(const std::string& path) {
  OverridePath() = path;
}

}  // namespace ProgramFiles
