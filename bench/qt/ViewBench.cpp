// The editor control in a Qt window (offscreen): one typed character with its repaint at the
// end and in the middle of a million-row document, a full repaint of an 80 x 50 view, and
// scrolling by a row and by a page at two document sizes.
#include <benchmark/benchmark.h>

#include <chrono>

#include "support/BenchView.h"
#include "support/QtBenchMain.h"

namespace {

using Clock = std::chrono::steady_clock;

using View = BenchView;

std::unique_ptr<View> gSmall, gLarge;  // dropped before the application goes

View& Shared(int rows) {
  std::unique_ptr<View>& v = rows > 1000 ? gLarge : gSmall;
  if (!v) v = std::make_unique<View>(rows);
  return *v;
}

// One character typed at the caret, its rewrap and partial repaint; the character is taken
// back outside the timing so the row stays the same.
void TypeAt(benchmark::State& state, TRow row, TByte byte) {
  View& v = Shared(1000000);
  TFenEdit& e = *v.edit;
  e.SetUndoBuf(0);
  std::vector<double> us;
  for (auto _ : state) {
    e.GotoPos(byte, row, TCaretPlacement::Minimal);
    auto t0 = Clock::now();
    e.TypeText("a");
    auto t1 = Clock::now();
    double s = std::chrono::duration<double>(t1 - t0).count();
    state.SetIterationTime(s);
    us.push_back(s * 1e6);
    e.BackspaceChar();
  }
  BenchPercentiles(state, us);
}

void BM_TypeCharAtEnd(benchmark::State& state) {
  TRow last = Shared(1000000).edit->GetStore().Count() - 1;
  TypeAt(state, last, 1000);  // the end of the text
}
BENCHMARK(BM_TypeCharAtEnd)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

void BM_TypeCharInTheMiddle(benchmark::State& state) {
  TypeAt(state, 500000, 20);
}
BENCHMARK(BM_TypeCharInTheMiddle)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint80x50(benchmark::State& state) {
  View& v = Shared(1000000);
  v.Size80x50();
  v.edit->GotoPos(0, 300000, TCaretPlacement::Centre);
  for (auto _ : state) v.edit->Repaint();
}
BENCHMARK(BM_FullRepaint80x50)->Unit(benchmark::kMicrosecond);

// A scroll by the bar, down then up again, each with the repaint it asks for.
void Scroll(benchmark::State& state, unsigned down, unsigned up) {
  View& v = Shared(static_cast<int>(state.range(0)));
  v.Size80x50();
  v.edit->GotoPos(0, static_cast<TRow>(state.range(0) / 2), TCaretPlacement::Centre);
  bool forward = true;
  for (auto _ : state) {
    v.host.Send(WM_VSCROLL, forward ? down : up);
    v.host.Update();
    forward = !forward;
  }
}

void BM_ScrollRow(benchmark::State& state) {
  Scroll(state, SB_LINEDOWN, SB_LINEUP);
}
BENCHMARK(BM_ScrollRow)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ScrollPage(benchmark::State& state) {
  Scroll(state, SB_PAGEDOWN, SB_PAGEUP);
}
BENCHMARK(BM_ScrollPage)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv, [] {
    gSmall.reset();
    gLarge.reset();
  });
}
