#include "MainFormFixture.h"
#include "platform/Clipboard.h"
#include "platform/qt/QtClipboard.h"

// The window's clipboard and undo commands reach the editor (their shortcuts belong to the
// window, so the keys depend on them).
TEST_F(MainFormTest, ClipboardAndUndoCommandsActOnTheEditor) {
  QtClipboard clip;  // the paste command is enabled by the system clipboard's contents
  Clipboard* old = SetCurrentClipboard(&clip);
  Start();
  Type("abc");
  EXPECT_EQ("abc", form_->FenEdit1->GetText());
  Trigger("EditSelectAll1");
  Trigger("EditCopy");
  EXPECT_EQ("abc", clip.GetText());
  Trigger("EditCut");
  EXPECT_EQ("", form_->FenEdit1->GetText());
  Trigger("EditPaste");
  Trigger("EditPaste");
  EXPECT_EQ("abcabc", form_->FenEdit1->GetText());
  Trigger("EditUndo");
  EXPECT_EQ("abc", form_->FenEdit1->GetText());
  Trigger("EditRedo");
  EXPECT_EQ("abcabc", form_->FenEdit1->GetText());
  End();
  SetCurrentClipboard(old);
}
