// The editor control in a Qt window (offscreen): one typed character with its repaint at the
// end and in the middle of a million-row document, a full repaint of an 80 x 50 view, and
// scrolling by a row and by a page at two document sizes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FenEdit/FenEdit.h"
#include "platform/qt/QtWindowHost.h"
#include "support/QtBenchMain.h"

namespace {

using Clock = std::chrono::steady_clock;

// Rows of Japanese text with a little ASCII, 62 bytes and a line break each.
std::string Document(int rows) {
  const std::string line =
      "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x95\x5c"
      "\x8e\xa6\x82\xb7\x82\xe9\x81\x42"
      "abc def "
      "\x82\xb1\x82\xea\x82\xcd\x8e\x8e\x8c\xb1\x82\xc5\x82\xb7\x81\x42xyz";
  std::string t;
  t.reserve(static_cast<size_t>(rows) * (line.size() + 2));
  for (int i = 0; i < rows; ++i) {
    t += line;
    if (i + 1 < rows) t += "\r\n";
  }
  return t;
}

// One window per document size, kept for the whole run: loading a million rows is slow.
struct View {
  QtWindowHost host;
  std::unique_ptr<TFenEdit> edit;
  explicit View(int rows) {
    edit = std::make_unique<TFenEdit>();
    edit->SetLineSpace(0);
    host.Attach(edit.get());
    host.SetCaretBlinking(false);
    host.resize(800, 600);
    host.show();
    edit->CreateHandle();
    QApplication::processEvents();
    edit->SetText(Document(rows));
    edit->SetFocus();
    QApplication::processEvents();
  }
  ~View() { edit.reset(); }
  // Text area of 80 half-width columns and 50 rows.
  void Size80x50() {
    Surface* c = edit->Canvas();
    int w = edit->TextLeft() + 80 * c->TextWidth("a");
    int h = edit->GetTopMargin() + 50 * edit->LineHeight();
    host.viewport()->setFixedSize(w, h);
    host.resize(w + edit->Width() - edit->ClientWidth(), h);
    QApplication::processEvents();
  }
};

std::unique_ptr<View> gSmall, gLarge;  // dropped before the application goes

View& Shared(int rows) {
  std::unique_ptr<View>& v = rows > 1000 ? gLarge : gSmall;
  if (!v) v = std::make_unique<View>(rows);
  return *v;
}

void Percentiles(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
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
  Percentiles(state, us);
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
