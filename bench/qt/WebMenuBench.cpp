// The "登録されたショートカット" menu with a long shortcut list: making it from the list and
// opening it the first time. The flat variant is one menu holding an item per shortcut, as
// the menu was made before long lists were split.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "support/QtBenchMain.h"

namespace {

std::vector<std::string> Shortcuts(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i)
    lines.push_back("Shortcut" + std::to_string(i) + "=http://example.com/" + std::to_string(i));
  return lines;
}

void Open(QMenu* menu) {
  menu->popup(QPoint(0, 0));
  QApplication::processEvents();
  menu->hide();
}

void BM_WebMenuMakeAndOpen(benchmark::State& state) {
  std::string home = (std::filesystem::temp_directory_path() / "piyo-bench-XXXXXX").string();
  if (!mkdtemp(home.data())) std::abort();
  setenv("PIYONOTE2_HOME", home.c_str(), 1);
  TApplication app(std::make_unique<TScriptedDialogs>());
  auto* form = app.CreateForm<TMainForm>();
  form->show();
  QApplication::processEvents();
  form->WebShortcutList = Shortcuts(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    form->RebuildWebUserMenu();
    Open(form->WebUserMenu);
  }
  form->WebShortcutList.clear();
  app.DestroyForms();
  std::filesystem::remove_all(home);
}
BENCHMARK(BM_WebMenuMakeAndOpen)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_FlatMenuMakeAndOpen(benchmark::State& state) {
  std::vector<std::string> lines = Shortcuts(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    QMenu menu;
    for (const std::string& line : lines) menu.addAction(QString::fromStdString(line));
    Open(&menu);
  }
}
BENCHMARK(BM_FlatMenuMakeAndOpen)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunQtBenchmarks(argc, argv);
}
