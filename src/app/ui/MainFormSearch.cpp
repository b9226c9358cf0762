// The find and replace dialogs and the editor's search events.
#include "MainForm.h"

void TMainForm::ConnectSearch() {}
void TMainForm::SearchFindExecute() {}
void TMainForm::SearchReplaceExecute() {}
