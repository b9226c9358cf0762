// An editor control in an offscreen Qt window for the view benchmarks, with a document of
// Japanese rows.
#pragma once
#include <QApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "FenEdit/FenEdit.h"
#include "platform/qt/QtWindowHost.h"

// Rows of Japanese text with a little ASCII, 62 bytes and a line break each.
inline std::string BenchDocument(int rows) {
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

// Rows of BenchDocument in about that many bytes.
inline int BenchRowsFor(size_t bytes) { return static_cast<int>(bytes / 64); }

struct BenchView {
  QtWindowHost host;
  std::unique_ptr<TFenEdit> edit;
  explicit BenchView(int rows) {
    edit = std::make_unique<TFenEdit>();
    edit->SetLineSpace(0);
    host.Attach(edit.get());
    host.SetCaretBlinking(false);
    host.resize(800, 600);
    host.show();
    edit->CreateHandle();
    QApplication::processEvents();
    edit->SetText(BenchDocument(rows));
    edit->SetFocus();
    QApplication::processEvents();
  }
  ~BenchView() { edit.reset(); }
  BenchView(const BenchView&) = delete;
  BenchView& operator=(const BenchView&) = delete;
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

inline void BenchPercentiles(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}
