// Opening a 100 MB file into the editor (read, detect, convert, line ends, SetText with
// wrapping on) in code page 932 and the same text in UTF-8 with LF line ends, and saving it
// back. The UTF-8 open should stay within 1.5 times the code page 932 one.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "FenEdit/FenEdit.h"
#include "app/TextFile.h"

namespace {

const std::string kCp932Path = "/tmp/piyo-bench-100mb-open-sjis.txt";
const std::string kUtf8Path = "/tmp/piyo-bench-100mb-open-utf8.txt";

// About 100 MB of Japanese and ASCII text in code page 932, and the same text in UTF-8/LF.
void MakeFiles() {
  std::ifstream probe(kUtf8Path, std::ios::binary | std::ios::ate);
  if (probe && probe.tellg() > 0) return;
  static const char* pieces[] = {"\x93\xfa\x96\x7b\x8c\xea", "abc ", "\x82\xa0\x82\xa2",
                                 "text ", "\x83\x65\x83\x4c", "12345 "};
  std::mt19937 rng(1);
  std::string text;
  text.reserve(100'000'000);
  std::string line;
  while (text.size() < 100'000'000) {
    line.clear();
    while (line.size() < 66) line += pieces[rng() % 6];
    line += "\r\n";
    text += line;
  }
  std::ofstream(kCp932Path, std::ios::binary) << text;
  std::string utf8 = TextFile::Encode(
      text, {TextEncoding::TEncoding::Utf8, TextEncoding::TLineEnd::Lf}, nullptr);
  std::ofstream(kUtf8Path, std::ios::binary) << utf8;
}

void Open(benchmark::State& state, const std::string& path) {
  MakeFiles();
  for (auto _ : state) {
    TFenEdit edit;
    TextFile::TOpened opened;
    std::string error;
    if (!TextFile::Read(path, opened, error)) state.SkipWithError(error.c_str());
    edit.SetText(opened.Text);
    benchmark::DoNotOptimize(edit.GetStore().Count());
  }
}

void BM_OpenCp932_100MB(benchmark::State& state) {
  Open(state, kCp932Path);
}
void BM_OpenUtf8_100MB(benchmark::State& state) {
  Open(state, kUtf8Path);
}

void BM_EncodeUtf8_100MB(benchmark::State& state) {
  MakeFiles();
  TextFile::TOpened opened;
  std::string error;
  if (!TextFile::Read(kCp932Path, opened, error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    std::string bytes = TextFile::Encode(
        opened.Text, {TextEncoding::TEncoding::Utf8, TextEncoding::TLineEnd::Lf}, nullptr);
    benchmark::DoNotOptimize(bytes.data());
  }
}

}  // namespace

BENCHMARK(BM_OpenCp932_100MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenUtf8_100MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EncodeUtf8_100MB)->Unit(benchmark::kMillisecond)->Iterations(3);
