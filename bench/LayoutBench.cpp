// Layout costs that grow with the length of one logical line: wrapping a line of tabs, a
// replace-all inside one long wrapped line against the same bytes in short lines, and typing
// at the start and the end of a line hundreds of thousands of rows long.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "FenEdit/FenEdit.h"
#include "FenEdit/FindMatcher.h"

namespace {

// Tabs only, wrapped at the given column: the cut of each row is found once.
void WrapTabs(benchmark::State& state, size_t bytes, int column) {
  const std::string text(bytes, '\t');
  for (auto _ : state) {
    TFenEdit e;
    e.SetColumn(column);
    e.SetText(text);
    benchmark::DoNotOptimize(e.GetStore().Count());
  }
}
void BM_WrapTabs64KColumn32767(benchmark::State& s) {
  WrapTabs(s, 64 << 10, 32767);
}
void BM_WrapTabs1MColumn1000(benchmark::State& s) {
  WrapTabs(s, 1 << 20, 1000);
}
void BM_WrapTabs1MColumn80(benchmark::State& s) {
  WrapTabs(s, 1 << 20, 80);
}

// 2 MB with "xyz" once per 29 bytes, as one logical line or in lines of about 60 bytes.
std::string HitText(bool oneLine) {
  const std::string chunk = "abcdefghijklmnopqrstuvwxyz";  // 26 bytes
  std::string t;
  t.reserve(2'100'000);
  size_t lineLen = 0;
  while (t.size() < 2'000'000) {
    t += chunk;
    t += "xyz";
    lineLen += 29;
    if (!oneLine && lineLen >= 58) {
      t += "\r\n";
      lineLen = 0;
    }
  }
  return t;
}

void ReplaceAll(benchmark::State& state, bool oneLine) {
  const std::string text = HitText(oneLine);
  for (auto _ : state) {
    state.PauseTiming();
    TFenEdit e;
    e.SetText(text);
    e.OnFind = [](TObject*, std::string_view str, const std::string& what, int, int& x, int&) {
      x = FindMatch(str, what);
    };
    state.ResumeTiming();
    e.ReplaceText("xyz", "XY", true, false, true);
    benchmark::DoNotOptimize(e.GetStore().Count());
  }
}
void BM_ReplaceAll2MOneLine(benchmark::State& s) {
  ReplaceAll(s, true);
}
void BM_ReplaceAll2MShortLines(benchmark::State& s) {
  ReplaceAll(s, false);
}

// One logical line of about 700,000 rows (50 MB at column 72); keys typed at its end and
// at its start.
void TypingLongLine(benchmark::State& state, bool atStart, bool ascii) {
  std::string text;
  text.reserve(50'500'000);
  const std::string piece =
      ascii ? std::string("abcdefghij") : std::string("\x82\xa0\x82\xa2xyz\x93\xfa");
  while (text.size() < 50'000'000) text += piece;
  TFenEdit e;
  e.SetText(text);
  for (auto _ : state) {
    int last = e.GetStore().Count() - 1;
    if (atStart) {
      e.GotoPos(0, 0, TCaretPlacement::Minimal);
    } else {
      e.GotoPos(e.RowLimit(last), last, TCaretPlacement::Minimal);
    }
    std::vector<double> us;
    for (int i = 0; i < 200; ++i) {
      auto t0 = std::chrono::steady_clock::now();
      e.TypeText("a");
      us.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    state.counters["key_median_us"] = us[us.size() / 2];
    state.counters["key_max_us"] = us.back();
    state.counters["rows"] = e.GetStore().Count();
  }
}
void BM_TypingEndOf700KRowLine(benchmark::State& s) {
  TypingLongLine(s, false, false);
}
void BM_TypingStartOf700KRowLine(benchmark::State& s) {
  TypingLongLine(s, true, false);
}
void BM_TypingStartOf700KRowAsciiLine(benchmark::State& s) {
  TypingLongLine(s, true, true);
}

}  // namespace

BENCHMARK(BM_WrapTabs64KColumn32767)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WrapTabs1MColumn1000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WrapTabs1MColumn80)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReplaceAll2MOneLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReplaceAll2MShortLines)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TypingEndOf700KRowLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TypingStartOf700KRowLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TypingStartOf700KRowAsciiLine)->Unit(benchmark::kMillisecond)->Iterations(1);
