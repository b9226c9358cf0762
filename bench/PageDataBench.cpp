// Page file speed and memory: 1,000 pages of 100 KB of Japanese text, saved with the atomic
// replace and loaded back. Peak memory is measured in a fresh child process per operation
// (VmHWM), so that the benchmark's own data does not count.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/PageData.h"
#include "platform/CodePage.h"

namespace {

constexpr int kPages = 1000;
constexpr size_t kPageBytes = 100 * 1024;

// Japanese text in code page 932 with CR LF line ends, `bytes` long (give or take a line).
std::string JapaneseText(size_t bytes, int seed) {
  static const std::string sample = CodePage::FromUtf8(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめ"
      "した所でニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて人間というものを"
      "見た。しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。");
  std::string text;
  text.reserve(bytes + 128);
  size_t at = (static_cast<size_t>(seed) * 2 * 7) % sample.size();
  size_t column = 0;
  while (text.size() < bytes) {
    text.append(sample, at, 2);  // the sample is all double-byte characters
    at = (at + 2) % sample.size();
    if ((column += 2) >= 70) {
      text += "\r\n";
      column = 0;
    }
  }
  return text;
}

void FillPages(TDataList& list, int pages) {
  list.Clear();
  for (int i = 0; i < pages; ++i)
    list.Add("Page" + std::to_string(i),
             i % 3 ? "" : "/home/user/text" + std::to_string(i) + ".txt",
             JapaneseText(kPageBytes, i));
}

std::string Folder() {
  static std::string folder = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    return tmpl;
  }();
  return folder;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
  }
} cleanup;

std::string PageFilePath(int pages) {
  return Folder() + "/pages" + std::to_string(pages) + ".kdx";
}

// Writes the page file for `pages` pages once.
const std::string& PreparedFile(int pages) {
  static std::map<int, std::string> done;
  auto it = done.find(pages);
  if (it != done.end()) return it->second;
  TDataList list;
  FillPages(list, pages);
  list.SaveToFile(PageFilePath(pages));
  return done[pages] = PageFilePath(pages);
}

long PeakKiB() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void BM_SavePages(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  TDataList list;
  FillPages(list, pages);
  const std::string path = PageFilePath(pages) + ".save";
  for (auto _ : state) list.SaveToFile(path);
  double bytes = static_cast<double>(std::filesystem::file_size(path));
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = bytes / 1e6;
  std::filesystem::remove(path);
}

// The same without the disk: what the conversion and the format cost alone.
class TCountingStream : public TStream {
 public:
  size_t Read(char*, size_t) override { return 0; }
  void Write(const char*, size_t count) override { size_ += count; }
  uint64_t Size() const override { return size_; }
  uint64_t Position() const override { return size_; }

 private:
  uint64_t size_ = 0;
};

void BM_EncodePages(benchmark::State& state) {
  TDataList list;
  FillPages(list, static_cast<int>(state.range(0)));
  uint64_t bytes = 0;
  for (auto _ : state) {
    TCountingStream stream;
    list.SaveToStream(stream);
    bytes = stream.Size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_LoadPages(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  const std::string& path = PreparedFile(pages);
  for (auto _ : state) {
    TDataList list;
    list.LoadFromFile(path);
    if (list.Count() != pages) state.SkipWithError("wrong page count");
    // Each run starts as a program does, with memory still to be mapped: otherwise small
    // runs reuse the freed pages and look faster per byte than large ones.
    state.PauseTiming();
    list.Clear();
    malloc_trim(0);
    state.ResumeTiming();
  }
  double bytes = static_cast<double>(std::filesystem::file_size(path));
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = bytes / 1e6;
}

// Runs this program again as "--peak-load FILE" or "--peak-save FILE" and reads its VmHWM.
long ChildPeakKiB(const char* mode, const std::string& path) {
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string command = "'" + self + "' " + mode + " '" + path + "'";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return -1;
  long kib = -1;
  if (std::fscanf(p, "%ld", &kib) != 1) kib = -1;
  pclose(p);
  return kib;
}

void BM_PeakMemory(benchmark::State& state) {
  const std::string& path = PreparedFile(kPages);
  long load = 0, save = 0;
  for (auto _ : state) {
    load = ChildPeakKiB("--peak-load", path);
    save = ChildPeakKiB("--peak-save", path);
  }
  double file = static_cast<double>(std::filesystem::file_size(path));
  state.counters["file_MB"] = file / 1e6;
  state.counters["load_peak_MB"] = static_cast<double>(load) * 1024 / 1e6;
  state.counters["save_peak_MB"] = static_cast<double>(save) * 1024 / 1e6;
  state.counters["load_x_file"] = static_cast<double>(load) * 1024 / file;
  state.counters["save_x_file"] = static_cast<double>(save) * 1024 / file;
}

}  // namespace

BENCHMARK(BM_SavePages)->Arg(250)->Arg(kPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePages)->Arg(kPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPages)->Arg(250)->Arg(kPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // Child runs for the peak measurement: one operation, then the peak in KiB.
  if (argc == 3 && std::string(argv[1]) == "--peak-load") {
    TDataList list;
    list.LoadFromFile(argv[2]);
    std::printf("%ld\n", PeakKiB());
    return list.Count() == kPages ? 0 : 1;
  }
  if (argc == 3 && std::string(argv[1]) == "--peak-save") {
    // The pages as the program holds them at shut-down, then the save.
    TDataList list;
    FillPages(list, kPages);
    std::string out = std::string(argv[2]) + ".peak";
    list.SaveToFile(out);
    std::filesystem::remove(out);
    std::printf("%ld\n", PeakKiB());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
