// The main window's remaining commands: the formatter call, copy-all, the view switches,
// About and the status bar's panels.
#include "MainForm.h"

void TMainForm::ConnectCommands() {}
void TMainForm::ToolCallTxfExecute() {}
void TMainForm::EditCopyAllExecute() {}
void TMainForm::ViewToolBarPanelExecute() {}
void TMainForm::ViewTabMultiLineExecute() {}
void TMainForm::About1Click() {}
void TMainForm::StatusBar1Resize() {}
