// Drawing costs of the Qt backend: what one repainted row costs the control.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "platform/qt/QtWindowHost.h"
#include "support/QtBenchMain.h"

namespace {

// 日本語のテキスト repeated to an 80-byte row, with some ASCII.
std::string Row() {
  std::string s;
  while (s.size() < 72) s += "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67";
  return s + "abcdefgh";
}

class Idle : public TCustomControl {};

struct Window {
  QtWindowHost host;
  Idle control;
  Window() {
    host.resize(800, 600);
    host.Attach(&control);
    control.CreateHandle();
    host.show();
    QApplication::processEvents();
    control.Canvas()->SelectFont(TFontSpec{"FixedSys", 19, false, false, false, clBlack});
  }
};

void BM_TextWidthRow(benchmark::State& state) {
  Window w;
  std::string row = Row();
  for (auto _ : state) benchmark::DoNotOptimize(w.control.Canvas()->TextWidth(row));
}
BENCHMARK(BM_TextWidthRow);

void BM_TextWidthProportional(benchmark::State& state) {
  Window w;
  w.control.Canvas()->SelectFont(TFontSpec{"DejaVu Sans", 19, false, false, false, clBlack});
  std::string row = Row();
  for (auto _ : state) benchmark::DoNotOptimize(w.control.Canvas()->TextWidth(row));
}
BENCHMARK(BM_TextWidthProportional);

// One row as the control paints it: opaque text over the band, marked for the screen.
void BM_TextOutRow(benchmark::State& state) {
  Window w;
  std::string row = Row();
  Surface* s = w.control.Canvas();
  s->SetBkColor(clWhite);
  int y = 0;
  for (auto _ : state) {
    s->TextOut(10, y, TRect{9, y, 800, y + 19}, row);
    y = (y + 19) % 570;
  }
  QApplication::processEvents();
}
BENCHMARK(BM_TextOutRow);

// The first draw of a character in a colour pair: its cell is drawn then.
void BM_TextOutNewGlyph(benchmark::State& state) {
  Window w;
  w.host.Canvas().SetCellLimit(1);  // every draw misses
  Surface* s = w.control.Canvas();
  const char* glyphs[] = {"\x8a\xbf", "\x8e\x9a"};
  int i = 0;
  for (auto _ : state) {
    s->TextOut(10, 0, TRect{10, 0, 26, 19}, glyphs[i]);
    i ^= 1;
  }
}
BENCHMARK(BM_TextOutNewGlyph);

void BM_FillRectBand(benchmark::State& state) {
  Window w;
  Surface* s = w.control.Canvas();
  for (auto _ : state) s->FillRect(TRect{0, 100, 800, 119}, clWhite);
}
BENCHMARK(BM_FillRectBand);

// The horizontal scroll of the text area by one step.
void BM_ScrollWindow(benchmark::State& state) {
  Window w;
  TRect area{40, 0, 800, 600};
  int dx = -160;
  for (auto _ : state) {
    w.host.ScrollWindow(dx, 0, &area);
    dx = -dx;
  }
}
BENCHMARK(BM_ScrollWindow);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
