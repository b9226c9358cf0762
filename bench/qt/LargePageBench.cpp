// The main window with a page of 100 MB (lines of about 70 bytes) and a small second page:
// start until shown, close (journal and page file written), and switching tabs. A plain read
// of the page file into fresh memory is measured beside them as the yardstick.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/PageData.h"
#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "support/QtBenchMain.h"

namespace {

constexpr size_t kPageBytes = 100u << 20;

// A data folder whose page file holds the large page first and a small one after it.
struct TLargeHome {
  TLargeHome() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir = tmpl;
    setenv("PIYONOTE2_HOME", dir.c_str(), 1);
    std::string line =
        ToCp932(QString::fromUtf8("ぴよのーと２の本文、テキストの一行です。abcdefghijklmnopqrstuvwxyz0\r\n"));
    std::string text;
    text.reserve(kPageBytes + line.size());
    while (text.size() < kPageBytes) text += line;
    TDataList list;
    list.Add("Page&0", "", std::move(text));
    list.Add("Page1", "", "small\r\n");
    list.SaveToFile(ProgramFiles::DataFile(".kdx"));
  }
  ~TLargeHome() { std::filesystem::remove_all(dir); }
  std::string dir;
};

// Resident memory of the program in MB, after freed memory went back to the system.
double ResidentMb() {
  malloc_trim(0);
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

TLargeHome& Home() {
  static TLargeHome home;
  return home;
}

void BM_PlainReadOfPageFile(benchmark::State& state) {
  Home();
  const std::string path = ProgramFiles::DataFile(".kdx");
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(std::filesystem::file_size(path), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_PlainReadOfPageFile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StartWithLargePage(benchmark::State& state) {
  Home();
  TApplication app(std::make_unique<TScriptedDialogs>());
  const double before = ResidentMb();
  for (auto _ : state) {
    auto* form = app.CreateForm<TMainForm>();
    form->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->TabControl1);
    state.PauseTiming();
    // What the shown page costs beyond the program without it, in pages of its size.
    state.counters["memory_x_page"] = (ResidentMb() - before) / (kPageBytes / 1048576.0);
    app.DestroyForms();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartWithLargePage)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CloseWithLargePage(benchmark::State& state) {
  Home();
  TApplication app(std::make_unique<TScriptedDialogs>());
  for (auto _ : state) {
    state.PauseTiming();
    auto* form = app.CreateForm<TMainForm>();
    form->show();
    QApplication::processEvents();
    state.ResumeTiming();
    app.DestroyForms();
  }
}
BENCHMARK(BM_CloseWithLargePage)->Unit(benchmark::kMillisecond)->Iterations(1);

// One switch away from the large page and one back, as clicks on the tabs.
void BM_SwitchToAndFromLargePage(benchmark::State& state) {
  Home();
  TApplication app(std::make_unique<TScriptedDialogs>());
  auto* form = app.CreateForm<TMainForm>();
  form->show();
  QApplication::processEvents();
  for (auto _ : state) {
    form->SelectPage(1);
    QApplication::processEvents();
    form->SelectPage(0);
    QApplication::processEvents();
  }
  app.DestroyForms();
}
BENCHMARK(BM_SwitchToAndFromLargePage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
