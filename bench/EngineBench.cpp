// Engine speed: loading and wrapping a 100 MB file, row/line conversion in a million rows,
// typing, undo and redo in a million-row document.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "FenEdit/FenEdit.h"

namespace {

// ~70-byte lines of Japanese and ASCII.
std::string MakeText(size_t bytes, const char* lineEnd) {
  static const char* pieces[] = {"\x93\xfa\x96\x7b\x8c\xea", "abc ", "\x82\xa0\x82\xa2\x82\xa4",
                                 "text ", "\x83\x65\x83\x4c\x83\x58\x83\x67", "12345 "};
  std::mt19937 rng(1);
  std::string out;
  out.reserve(bytes + 100);
  std::string line;
  while (out.size() < bytes) {
    line.clear();
    while (line.size() < 66) line += pieces[rng() % 6];
    out += line;
    out += lineEnd;
  }
  return out;
}

const std::string& BigFile(const char* lineEnd) {
  static std::string crlf, lf;
  std::string& path = lineEnd[0] == '\r' ? crlf : lf;
  if (path.empty()) {
    path = std::string("/tmp/piyo-bench-100mb-") + (lineEnd[0] == '\r' ? "crlf" : "lf") + ".txt";
    std::ifstream probe(path, std::ios::binary | std::ios::ate);
    if (!probe || probe.tellg() < 100'000'000) {
      std::string text = MakeText(100'000'000, lineEnd);
      std::ofstream(path, std::ios::binary).write(text.data(), std::streamsize(text.size()));
    }
  }
  return path;
}

size_t FileSize(const std::string& path) {
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  return static_cast<size_t>(f.tellg());
}

void BM_ReadFileIntoString(benchmark::State& state) {
  const std::string& path = BigFile("\r\n");
  for (auto _ : state) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    benchmark::DoNotOptimize(s.str().size());
  }
  state.counters["MB/s"] = benchmark::Counter(double(FileSize(path)) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

void Load(benchmark::State& state, const char* lineEnd, bool wrap) {
  const std::string& path = BigFile(lineEnd);
  for (auto _ : state) {
    TFenEdit e;
    e.SetWordWrap(wrap);
    if (!e.LoadFromFile(path)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(e.GetStore().Count());
    state.counters["rows"] = e.GetStore().Count();
  }
  state.counters["MB/s"] = benchmark::Counter(double(FileSize(path)) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}
void BM_LoadCrLfWrapOn(benchmark::State& s) { Load(s, "\r\n", true); }
void BM_LoadCrLfWrapOff(benchmark::State& s) { Load(s, "\r\n", false); }
void BM_LoadLfWrapOn(benchmark::State& s) { Load(s, "\n", true); }

// WrapAll alone, on a loaded store.
void BM_WrapAllOnOff(benchmark::State& state) {
  TFenEdit e;
  e.SetWordWrap(false);
  e.LoadFromFile(BigFile("\r\n"));
  for (auto _ : state) {
    e.WrapAll(true, false);
    e.WrapAll(false, false);
  }
  state.counters["MB/s"] = benchmark::Counter(2 * 100.0, benchmark::Counter::kIsIterationInvariantRate);
}

// A million-row document, wrapped at 72, built once.
TFenEdit& MillionRows() {
  static TFenEdit* e = [] {
    auto* ed = new TFenEdit;
    ed->SetText(MakeText(1'000'000 * 70, "\r\n"));
    return ed;
  }();
  return *e;
}

void BM_LineToRow1M(benchmark::State& state) {
  TFenEdit& e = MillionRows();
  std::mt19937 rng(5);
  int lines = e.GetStore().LineEndCount();
  for (auto _ : state) {
    TByte b = 10;
    int line = static_cast<int>(rng() % unsigned(lines));
    e.LineToRow(b, line);
    benchmark::DoNotOptimize(line);
  }
}

void BM_RowToLine1M(benchmark::State& state) {
  TFenEdit& e = MillionRows();
  std::mt19937 rng(6);
  int rows = e.GetStore().Count();
  for (auto _ : state) {
    TByte b = 10;
    int row = static_cast<int>(rng() % unsigned(rows));
    e.RowToLine(b, row);
    benchmark::DoNotOptimize(row);
  }
}

// Wall time for the median; the worst case in thread CPU time, because on a shared machine
// the wall-clock maximum is whichever step the scheduler happened to preempt.
struct Timings {
  std::vector<double> us, cpuUs;
  static double CpuNow() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
  }
  template <class F>
  void Time(F&& f) {
    double c0 = CpuNow();
    auto t0 = std::chrono::steady_clock::now();
    f();
    us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    cpuUs.push_back(CpuNow() - c0);
  }
  double Median() {
    std::sort(us.begin(), us.end());
    return us.empty() ? 0 : us[us.size() / 2];
  }
  double P99() {
    std::sort(us.begin(), us.end());
    return us.empty() ? 0 : us[us.size() * 99 / 100];
  }
  double Max() { return cpuUs.empty() ? 0 : *std::max_element(cpuUs.begin(), cpuUs.end()); }
};

// Typing at the end and in the middle, new lines, then all undone and redone.
void TypingSession(benchmark::State& state, TFenEdit& e) {
  for (auto _ : state) {
    Timings typeEnd, typeMid, newLine, undo, redo;
    int last = e.GetStore().Count() - 1;
    // The middle of the text as it was, not of the paragraph typed at its end.
    TLinePos middle = e.ToLinePos({5, last / 2});
    e.GotoPos(0, last, TCaretPlacement::Minimal);
    for (int i = 0; i < 10000; ++i) typeEnd.Time([&] { e.TypeText(i % 7 ? "a" : " "); });
    TRowPos mid = e.ToRowPos(middle);
    e.GotoPos(mid.Byte, mid.Row, TCaretPlacement::Minimal);
    for (int i = 0; i < 10000; ++i) typeMid.Time([&] { e.TypeText("b"); });
    for (int i = 0; i < 1000; ++i) newLine.Time([&] { e.NewLine(); });
    while (e.CanUndo()) undo.Time([&] { e.Undo(); });
    while (e.CanRedo()) redo.Time([&] { e.Redo(); });
    while (e.CanUndo()) e.Undo();
    state.counters["type_end_median_us"] = typeEnd.Median();
    state.counters["type_end_p99_us"] = typeEnd.P99();
    state.counters["type_end_max_cpu_us"] = typeEnd.Max();
    state.counters["type_mid_median_us"] = typeMid.Median();
    state.counters["type_mid_p99_us"] = typeMid.P99();
    state.counters["type_mid_max_cpu_us"] = typeMid.Max();
    state.counters["newline_median_us"] = newLine.Median();
    state.counters["undo_median_us"] = undo.Median();
    state.counters["undo_max_cpu_us"] = undo.Max();
    state.counters["redo_median_us"] = redo.Median();
    state.counters["redo_max_cpu_us"] = redo.Max();
    state.counters["undo_bytes"] = double(e.UndoTotal());
  }
}

void BM_Typing1MRows(benchmark::State& state) {
  TFenEdit& e = MillionRows();
  e.SetUndoBuf(64 << 20);
  TypingSession(state, e);
}

void BM_Typing10Rows(benchmark::State& state) {
  TFenEdit e;
  e.SetUndoBuf(64 << 20);
  e.SetText(MakeText(700, "\r\n"));
  TypingSession(state, e);
}

}  // namespace

BENCHMARK(BM_ReadFileIntoString)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadCrLfWrapOn)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadCrLfWrapOff)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadLfWrapOn)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_WrapAllOnOff)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LineToRow1M);
BENCHMARK(BM_RowToLine1M);
BENCHMARK(BM_Typing1MRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Typing10Rows)->Unit(benchmark::kMillisecond)->Iterations(1);
