// Reading the settings file and the web-shortcut list at start-up: the settings are read key
// by key (about forty reads), the shortcut list gives every menu item the URL of its name.
// Heap figures are the bytes in use after reading, measured with mallinfo2; the settings
// come from a file, as at start-up.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "web/WebShortcuts.h"

namespace {

const char* const kKeys[] = {"Left",        "Top",           "Width",      "Height",    "ShowCR",
                             "ShowEOF",     "ShowUnderLine", "CREOFcolor", "Color",     "SelColor",
                             "ColorPrintF", "InyoColor",     "Inyostr",    "URLColor",  "FontName",
                             "FontSize",    "FontColor",     "Column",     "FindColor", "Start"};

// A settings file of `bytes` bytes: the program's own sections followed by `filler`.
std::string SettingsFile(size_t bytes, const std::string& filler) {
  std::string text = "[Window]\r\nLeft=1\r\nTop=2\r\n[Editor]\r\nColumn=72\r\n";
  while (text.size() < bytes) text += filler;
  return text;
}

// Forty reads of settings, as the start-up does; most keys are absent.
void ReadAll(const TIniFile& ini) {
  for (const char* section : {"Window", "Editor"})
    for (const char* key : kKeys) benchmark::DoNotOptimize(ini.ReadInteger(section, key, 0));
}

size_t HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;  // small blocks and mapped large ones
}

// The text as a settings file on disk, read as the program reads it.
struct TFile {
  std::string path;
  explicit TFile(const std::string& text) {
    path = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
    int fd = mkstemp(path.data());
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      std::abort();
    close(fd);
  }
  ~TFile() { std::remove(path.c_str()); }
};

void ReadFile(benchmark::State& state, const std::string& text) {
  TFile file(text);
  size_t heap = 0;
  for (auto _ : state) {
    size_t before = HeapInUse();
    TIniFile ini(file.path);
    heap = HeapInUse() - before;
    ReadAll(ini);
  }
  state.counters["heap_MB"] = static_cast<double>(heap) / (1 << 20);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_SettingsOfBareNewlines(benchmark::State& state) {
  ReadFile(state, SettingsFile(static_cast<size_t>(state.range(0)) << 20, "\n"));
}
BENCHMARK(BM_SettingsOfBareNewlines)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_SettingsOfManyKeys(benchmark::State& state) {
  std::string file;
  for (int i = 0; file.size() < (static_cast<size_t>(state.range(0)) << 20); ++i)
    file += (i % 1000 == 0 ? "[S" + std::to_string(i) + "]\r\n" : "") + "key" + std::to_string(i) +
            "=value\r\n";
  ReadFile(state, file);
}
BENCHMARK(BM_SettingsOfManyKeys)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

// A ".kdw" list of distinct names of about 56 bytes a line: 1 MB holds some 18,600 of them.
std::vector<std::string> ShortcutList(size_t bytes) {
  std::vector<std::string> lines;
  for (size_t size = 0; size < bytes;) {
    lines.push_back("Shortcut" + std::to_string(lines.size()) + "=http://example.com/page/" +
                    std::to_string(lines.size()) + "/index.html");
    size += lines.back().size() + 2;
  }
  return lines;
}

// The URL of every line by its name, through the index.
void BM_ShortcutUrlsIndexed(benchmark::State& state) {
  std::vector<std::string> lines = ShortcutList(static_cast<size_t>(state.range(0)) << 10);
  for (auto _ : state) benchmark::DoNotOptimize(WebShortcuts::UrlSources(lines));
  state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_ShortcutUrlsIndexed)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

// The same by searching the list for every line, as it was done before the index.
void BM_ShortcutUrlsSearched(benchmark::State& state) {
  std::vector<std::string> lines = ShortcutList(static_cast<size_t>(state.range(0)) << 10);
  for (auto _ : state)
    for (const std::string& line : lines)
      benchmark::DoNotOptimize(WebShortcuts::UrlForName(lines, WebShortcuts::Name(line)));
  state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_ShortcutUrlsSearched)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
