// Memory while loading a 100 MB file with wrapping on: resident size afterwards and the peak
// during the load, both relative to the file size. Runs in its own process so that the peak
// belongs to this load alone.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "FenEdit/FenEdit.h"

namespace {

long StatusKb(const char* key) {
  std::ifstream f("/proc/self/status");
  std::string k;
  long v = 0;
  std::string unit;
  while (f >> k) {
    if (k == key) {
      f >> v;
      return v;
    }
    std::getline(f, unit);
  }
  return 0;
}

void BM_LoadMemory100MB(benchmark::State& state) {
  const std::string path = "/tmp/piyo-bench-100mb-mem.txt";
  {
    std::ifstream probe(path, std::ios::binary | std::ios::ate);
    if (!probe || probe.tellg() < 100'000'000) {
      static const char* pieces[] = {"\x93\xfa\x96\x7b\x8c\xea", "abc ", "\x82\xa0\x82\xa2",
                                     "text ", "\x83\x65\x83\x4c", "12345 "};
      std::mt19937 rng(1);
      std::ofstream out(path, std::ios::binary);
      std::string line;
      for (size_t total = 0; total < 100'000'000; total += line.size()) {
        line.clear();
        while (line.size() < 66) line += pieces[rng() % 6];
        line += "\r\n";
        out << line;
      }
    }
  }
  std::ifstream probe(path, std::ios::binary | std::ios::ate);
  double size = double(probe.tellg());
  for (auto _ : state) {
    long rss0 = StatusKb("VmRSS:");
    long hwm0 = StatusKb("VmHWM:");
    auto* e = new TFenEdit;
    if (!e->LoadFromFile(path)) state.SkipWithError("load failed");
    long rss1 = StatusKb("VmRSS:");
    long hwm1 = StatusKb("VmHWM:");
    state.counters["resident_x_file"] = double(rss1 - rss0) * 1024 / size;
    state.counters["peak_x_file"] = double(hwm1 - std::min(hwm0, rss0)) * 1024 / size;
    state.counters["rows"] = e->GetStore().Count();
    delete e;
  }
}

}  // namespace

BENCHMARK(BM_LoadMemory100MB)->Unit(benchmark::kMillisecond)->Iterations(1);
