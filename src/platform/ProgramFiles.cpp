#include "ProgramFiles.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::string& OverridePath() {
  static std::string path;
  return path;
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

std::string BaseName() { return fs::path(ProgramPath()).stem().string(); }

std::string DataFolder() {
  std::error_code ec;
  if (const char* home = std::getenv("PIYONOTE2_HOME"); home && *home) {
    fs::create_directories(home, ec);
    return home;
  }
  fs::path dir = fs::path(ProgramPath()).parent_path();
  if (!dir.empty() && access(dir.c_str(), W_OK) == 0) return dir.string();
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    config = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    config = fs::path(home) / ".config";
  else
    config = fs::temp_directory_path();
  config /= "piyonote2";
  fs::create_directories(config, ec);
  return config.string();
}

std::string DataFile(const std::string& extension) {
  return (fs::path(DataFolder()) / (BaseName() + extension)).string();
}

void SetProgramPathForTesting(const std::string& path) { OverridePath() = path; }

}  // namespace ProgramFiles
