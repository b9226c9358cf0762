// The entry of every benchmark program that needs Qt: offscreen unless told otherwise, one
// application for all benchmarks, and `beforeQuit` run while the application still lives.
#pragma once
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <functional>

inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeQuit = {}) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (beforeQuit) beforeQuit();
  return 0;
}
