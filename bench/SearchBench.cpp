// Replace-all over a 10 MB text with about 100,000 hits, through the editor's replace loop with
// the host matcher, against a plain std::string find-and-replace loop over the same bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <random>
#include <string>

#include "FenEdit/FenEdit.h"
#include "FenEdit/FindMatcher.h"

namespace {

// This thread's processor time: the machine the benchmarks run on is shared, so wall time
// alone overstates the cost.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

const std::string kFind = "needle";

// Lines of 40 to 110 bytes, letters and double-byte characters mixed, CR LF between them;
// the search string once per 100 bytes on average.
const std::string& Text() {
  static const std::string text = [] {
    std::mt19937 rng(5);
    const char* pieces[] = {"a", "e",        "n",        "d",        "l",       " ",
                            "x", "\x82\xa0", "\x93\xfa", "\x83\x41", "\x81\x40"};
    std::string t;
    t.reserve(10'500'000);
    while (t.size() < 10'000'000) {
      int len = std::uniform_int_distribution<int>(40, 110)(rng);
      size_t start = t.size();
      while (t.size() - start < static_cast<size_t>(len)) {
        if (std::uniform_int_distribution<int>(0, 999)(rng) < 14) {
          t += kFind;
        } else {
          t += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(rng)];
        }
      }
      t += "\r\n";
    }
    return t;
  }();
  return text;
}

// The same bytes as one line without breaks (a minified page), shown without wrapping.
const std::string& OneLine() {
  static const std::string text = [] {
    std::string t;
    t.reserve(Text().size());
    for (size_t i = 0; i < Text().size(); ++i) {
      if (Text().compare(i, 2, "\r\n") == 0) {
        t += "  ";
        ++i;
      } else {
        t += Text()[i];
      }
    }
    return t;
  }();
  return text;
}

std::string PlainReplace(const std::string& s, const std::string& f, const std::string& r,
                         int& count) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  size_t at = 0;
  count = 0;
  for (size_t h; (h = s.find(f, at)) != std::string::npos; at = h + f.size()) {
    out.append(s, at, h - at);
    out += r;
    ++count;
  }
  out.append(s, at);
  return out;
}

double PlainSeconds(const std::string& text, const std::string& repl) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    int count = 0;
    auto t0 = std::chrono::steady_clock::now();
    std::string out = PlainReplace(text, kFind, repl, count);
    benchmark::DoNotOptimize(out.data());
    best = std::min(best,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

// Counts the repaints asked for through a stub view.
class CountingEdit : public TFenEdit {
 public:
  TNullNotify view{GetStore()};
  CountingEdit() { SetNotify(&view); }
  int Repaints() const { return view.repaintAll + view.repaintRows; }
};

void ReplaceAll(benchmark::State& state, const std::string& repl, bool oneLine = false) {
  const std::string& text = oneLine ? OneLine() : Text();
  const double plain = PlainSeconds(text, repl);
  int hits = 0, repaints = 0;
  double total = 0, cpu = 0;
  for (auto _ : state) {
    CountingEdit e;
    if (oneLine) e.SetWordWrap(false);
    e.SetText(text);
    e.OnFind = [](TObject*, std::string_view s, const std::string& f, int, int& x, int&) {
      x = FindMatch(s, f);
    };
    e.OnFindChangeEnd = [&](TObject*, const std::string&, const std::string&, int count) {
      hits = count;
    };
    e.view.repaintAll = e.view.repaintRows = 0;
    auto t0 = std::chrono::steady_clock::now();
    double c0 = CpuSeconds();
    e.ReplaceText(kFind, repl, true, false, true);
    cpu += CpuSeconds() - c0;
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(s);
    total += s;
    repaints = e.Repaints();
  }
  double mean = total / static_cast<double>(state.iterations());
  state.counters["hits"] = hits;
  state.counters["hits_per_s"] = hits / mean;
  state.counters["repaints"] = repaints;
  state.counters["x_plain_string"] = mean / plain;
  state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations()) * 1000;
  state.counters["plain_ms"] = plain * 1000;
}

}  // namespace

BENCHMARK_CAPTURE(ReplaceAll, same_length, std::string("NEEDLE"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReplaceAll, shorter, std::string("nd"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReplaceAll, longer_holding_it, std::string("a needle and thread"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReplaceAll, with_crlf, std::string("nee\r\ndle"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReplaceAll, one_long_line_unwrapped, std::string("NEEDLE"), true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
