// The one place the main window's settings are read (start-up, from the show handler) and
// written (shut-down, from the destruction handler). Until the settings file is built, reading
// applies the design-time set-up and writing keeps nothing.
#include "EditorPane.h"
#include "MainForm.h"
#include "TabStrip.h"

// Returns the page index to select (Index); out-of-range values are left to the caller.
int TMainForm::ReadSettings() {
  // Window: place and size, state, translucency, tool bar, multi-line tabs.
  move(192, 107);
  resize(640, 480);
  ToolBarPanel->setVisible(true);
  TabControl1->SetMultiLine(false);
  // Editor settings come with the settings file.
  FindColor = clYellow;
  StartPage0 = false;
  NoSavePage0 = false;
  SegaBbsMode = false;
  PreviewMode = false;
  TxfArgs = "-io ~txf.tmp";
  ImeMode = 0;
  return 0;
}

void TMainForm::WriteSettings() {
  // WindowState, the restored rectangle, then every other setting; Index is 0 when
  // StartPage0 is set, else PageIndex().
}
