// The main window's browser windows and the bulletin-board preview.
#include "app/ui/MainForm.h"

void TMainForm::ConnectWeb() {}
void TMainForm::OpenWebWindow(const std::string&) {}
void TMainForm::HtmlPreviewExecute() {}
