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

// Redo answers Ctrl+Y and Ctrl+Shift+Z as on every desktop; Ctrl+Alt+Z stays.
TEST_F(MainFormTest, CtrlYAndCtrlShiftZRedo) {
  Start();
  Type("ab");
  auto key = [this](int k, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(form_->EditorWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, k, mods);
    QApplication::sendEvent(form_->EditorWidget(), &release);
  };
  key(Qt::Key_Z, Qt::ControlModifier);
  key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ("", form_->FenEdit1->GetText());
  key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ("a", form_->FenEdit1->GetText());
  key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ("ab", form_->FenEdit1->GetText());
  // The window's command takes the keys too, wherever the focus is.
  QList<QKeySequence> keys = Act("EditRedo")->shortcuts();
  EXPECT_EQ(QKeySequence("Ctrl+Alt+Z"), Act("EditRedo")->shortcut());
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+Y")));
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+Shift+Z")));
  End();
}
