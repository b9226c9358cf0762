// Edits with their repaint in large documents, in a Qt window (offscreen): one keystroke at
// the end and in the middle of 10 MB, and undoing one typed character in 100 MB. The view is
// 80 x 50; the median is the figure to watch.
#include <benchmark/benchmark.h>

#include <chrono>

#include "support/BenchView.h"
#include "support/QtBenchMain.h"

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<BenchView> g10, g100;  // dropped before the application goes

BenchView& Shared(size_t megabytes) {
  std::unique_ptr<BenchView>& v = megabytes > 10 ? g100 : g10;
  if (!v) {
    v = std::make_unique<BenchView>(BenchRowsFor(megabytes << 20));
    v->Size80x50();
  }
  return *v;
}

// One character typed at row (its end when byte is large) with rewrap and repaint; taken back
// outside the timing.
void Keystroke(benchmark::State& state, double rowShare, TByte byte) {
  TFenEdit& e = *Shared(10).edit;
  e.SetUndoBuf(0);
  const TRow row = static_cast<TRow>((e.GetStore().Count() - 1) * rowShare);
  e.GotoPos(byte, row, TCaretPlacement::Centre);
  std::vector<double> us;
  for (auto _ : state) {
    e.GotoPos(byte, row, TCaretPlacement::Minimal);
    auto t0 = Clock::now();
    e.TypeText("a");
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    us.push_back(s * 1e6);
    e.BackspaceChar();
  }
  BenchPercentiles(state, us);
}

void BM_Keystroke10MBAtEnd(benchmark::State& state) { Keystroke(state, 1.0, 1000); }
BENCHMARK(BM_Keystroke10MBAtEnd)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

void BM_Keystroke10MBInTheMiddle(benchmark::State& state) { Keystroke(state, 0.5, 20); }
BENCHMARK(BM_Keystroke10MBInTheMiddle)
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

// A character typed in the middle of 100 MB (untimed), then the undo that takes it back with
// its repaint (timed).
void UndoTyped(benchmark::State& state, double rowShare) {
  TFenEdit& e = *Shared(100).edit;
  e.SetUndoBuf(0xF8000);
  const TRow row = static_cast<TRow>((e.GetStore().Count() - 1) * rowShare);
  e.GotoPos(20, row, TCaretPlacement::Centre);
  std::vector<double> us;
  for (auto _ : state) {
    e.GotoPos(20, row, TCaretPlacement::Minimal);
    e.TypeText("a");
    auto t0 = Clock::now();
    e.Undo();
    double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    us.push_back(s * 1e6);
  }
  BenchPercentiles(state, us);
}

void BM_UndoTypedChar100MBInTheMiddle(benchmark::State& state) { UndoTyped(state, 0.5); }
BENCHMARK(BM_UndoTypedChar100MBInTheMiddle)
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

void BM_UndoTypedChar100MBAtEnd(benchmark::State& state) { UndoTyped(state, 1.0); }
BENCHMARK(BM_UndoTypedChar100MBAtEnd)
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    g10.reset();
    g100.reset();
  });
}
