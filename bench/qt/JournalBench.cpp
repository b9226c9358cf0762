// A keystroke in the main window with the crash journal on and off: one typed character (key
// event, edit, repaint) into a page of 1 MB, with the journal's once-a-second step run after
// every tenth key (ten keys a second), its time counted to that key. Reports the median and
// the 99th percentile of the keystroke.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/PageData.h"
#include "app/ui/Application.h"
#include "app/ui/EditorPane.h"
#include "app/ui/MainForm.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "support/QtBenchMain.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string MakeHome() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
  setenv("PIYONOTE2_HOME", tmpl.c_str(), 1);
  std::string line = ToCp932(QString::fromUtf8("ぴよのーと２の本文、テキストの一行です。abc\r\n"));
  std::string text;
  while (text.size() < (1u << 20)) text += line;
  TDataList list;
  list.Add("Page&0", "", text);
  for (int i = 1; i < 20; ++i) list.Add("Page" + std::to_string(i), "", text.substr(0, 10000));
  list.SaveToFile(ProgramFiles::DataFile(".kdx"));
  return tmpl;
}

void BM_KeystrokeJournal(benchmark::State& state) {
  const bool journal = state.range(0) != 0;
  std::string home = MakeHome();
  std::vector<double> us;
  {
    TApplication app(std::make_unique<TScriptedDialogs>());
    auto* form = app.CreateForm<TMainForm>();
    form->show();
    QApplication::processEvents();
    // The timer is left out either way: the step runs at fixed keys so both runs compare.
    for (QTimer* t : form->findChildren<QTimer*>())
      if (t->interval() == 1000) t->stop();
    QWidget* editor = form->EditorWidget();
    int key = 0;
    for (auto _ : state) {
      auto t0 = Clock::now();
      QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
      QApplication::sendEvent(editor, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
      QApplication::sendEvent(editor, &release);
      if (journal && ++key % 10 == 0) form->JournalTick(false);
      auto t1 = Clock::now();
      double s = std::chrono::duration<double>(t1 - t0).count();
      state.SetIterationTime(s);
      us.push_back(s * 1e6);
    }
    app.DestroyForms();
  }
  std::filesystem::remove_all(home);
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}
BENCHMARK(BM_KeystrokeJournal)
    ->ArgName("journal")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
