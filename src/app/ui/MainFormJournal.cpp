// The crash journal of the pages: once a second, when the user did anything, what changed in
// the pages (the current page's text straight from the editor) goes to the journal, whose
// worker thread writes it and makes it durable. Typing itself never waits for the disk.
#include <QTimer>
#include <deque>

#include "Application.h"
#include "EditorPane.h"
#include "MainForm.h"
#include "TabStrip.h"
#include "UiText.h"
#include "app/PageStartup.h"

namespace {
// A change outside user input (a timer, a program) is caught within this many ticks.
constexpr int kTicksBetweenFullChecks = 5;
}  // namespace

void TMainForm::StartJournal() {
  std::string note = pageFile_->StartJournal(*PageList);
  if (!note.empty()) {
    if (!pendingStartMessage_.isEmpty()) pendingStartMessage_ += "\n\n";
    pendingStartMessage_ += ToQString(note);
  }
  FenEdit1->OnChange = [this](TObject*) { journalDirty_ = true; };
  if (!journalTimer_) {
    journalTimer_ = new QTimer(this);
    journalTimer_->setInterval(1000);
    connect(journalTimer_, &QTimer::timeout, this, [this] { JournalTick(false); });
  }
  journalTimer_->start();
}

void TMainForm::JournalTick(bool force, bool currentStored) {
  if (!PageList || !pageFile_ || !pageFile_->Journalling()) return;
  if (!force && !journalDirty_ && ++quietTicks_ < kTicksBetweenFullChecks) return;
  quietTicks_ = 0;
  journalDirty_ = false;
  const int current = PageIndex();
  // Pages behind other tabs keep their rows; those the journal has seen are not copied.
  std::deque<std::string> keep;
  std::vector<TPageView> views = PageStartup::ViewsOf(*PageList, keep, true);
  if (current >= 0 && current < static_cast<int>(views.size())) {
    TPageView& view = views[static_cast<size_t>(current)];
    // The text of the page on screen is the editor's (or was just stored from it).
    if (view.Id == shownPage_ && !currentStored) view.Text = keep.emplace_back(editor_->GetText());
    view.Name = keep.emplace_back(ToCp932(TabControl1->Caption(current)));
  }
  if (pageFile_->JournalPages(views))
    for (int i = 0; i < PageList->Count(); ++i)
      if (TDataItem* page = PageList->Items(i); page->Rows) page->RowsJournalled = true;
  if (!force && pageFile_->JournalFull()) {
    // The journal has grown too long: the page file takes the pages and it starts again.
    StoreCurrentPage();
    if (!SavePages()) pageFile_->PostponeJournalLimit();
    ReleaseCurrentPageText();
  }
}

void TMainForm::FlushJournal() {
  if (pageFile_) pageFile_->FlushJournal();
}
