// Start-up of the main window up to its first show, with a page file of 100 pages of 10 KB
// of Japanese text: window creation, page file load, tab strip and the first page shown.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/PageData.h"
#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "support/QtBenchMain.h"

namespace {

std::string MakeHome(int pages, int pageBytes) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  setenv("PIYONOTE2_HOME", tmpl.c_str(), 1);
  std::string line = ToCp932(QString::fromUtf8("ぴよのーと２の本文、テキストの一行です。abc\r\n"));
  TDataList list;
  for (int i = 0; i < pages; ++i) {
    std::string text;
    while (static_cast<int>(text.size()) < pageBytes) text += line;
    list.Add(i == 0 ? "Page&0" : "Page" + std::to_string(i), "", text);
  }
  list.SaveToFile(ProgramFiles::DataFile(".kdx"));
  return tmpl;
}

void BM_MainFormStart(benchmark::State& state) {
  std::string home = MakeHome(static_cast<int>(state.range(0)), 10 * 1024);
  TApplication app(std::make_unique<TScriptedDialogs>());
  for (auto _ : state) {
    auto* form = app.CreateForm<TMainForm>();
    form->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->TabControl1);
    state.PauseTiming();
    app.DestroyForms();  // writes the page file: the end of a run, not part of the start
    state.ResumeTiming();
  }
  std::filesystem::remove_all(home);
}
BENCHMARK(BM_MainFormStart)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
