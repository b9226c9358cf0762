// TMainForm: the clipboard, undo and select-all commands, which hand straight to the editor.
// Their shortcuts belong to the window, so without these the keys would do nothing.
#include "app/ui/EditorPane.h"
#include "app/ui/MainForm.h"
#include "FenEdit/FenEdit.h"
#include "platform/Clipboard.h"

void TMainForm::EditCutExecute() {
  FenEdit1->CutToClipboard();
  Editor().SetFocus();
}

void TMainForm::EditCopyExecute() {
  FenEdit1->CopyToClipboard();
  Editor().SetFocus();
}

void TMainForm::EditPasteExecute() {
  if (CurrentClipboard().HasText()) FenEdit1->PasteFromClipboard();
  Editor().SetFocus();
}

void TMainForm::EditUndoExecute() {
  FenEdit1->Undo();
  Editor().SetFocus();
}

void TMainForm::EditRedoExecute() {
  FenEdit1->Redo();
  Editor().SetFocus();
}

void TMainForm::EditSelectAll1Execute() { FenEdit1->SelectAll(); }
