#include <gtest/gtest.h>

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/headless/RecordingMessageBox.h"
#include "support/TempDir.h"

TEST(MemoryClipboard, KeepsBytesExactly) {
  MemoryClipboard c;
  EXPECT_FALSE(c.HasText());
  EXPECT_EQ("", c.GetText());
  const std::string bytes("\x93\xfa\r\n\0x\n\r\x81", 9);
  EXPECT_TRUE(c.SetText(bytes));
  EXPECT_TRUE(c.HasText());
  EXPECT_EQ(Hex(bytes), Hex(c.GetText()));
  EXPECT_TRUE(c.SetText(""));
  EXPECT_FALSE(c.HasText());
  EXPECT_EQ(2, c.SetCount());
}

TEST(MemoryClipboard, AFailedSetKeepsTheOldText) {
  MemoryClipboard c;
  c.SetText("old");
  c.SetFailing(true);
  EXPECT_FALSE(c.SetText("new"));
  EXPECT_EQ("old", c.GetText());
  c.SetFailing(false);
  EXPECT_TRUE(c.SetText("new"));
  EXPECT_EQ("new", c.GetText());
}

TEST(CurrentClipboard, CanBeSwappedAndRestored) {
  Clipboard& builtIn = CurrentClipboard();
  MemoryClipboard mine;
  Clipboard* previous = SetCurrentClipboard(&mine);
  EXPECT_EQ(&builtIn, previous);
  CurrentClipboard().SetText("x");
  EXPECT_EQ("x", mine.GetText());
  EXPECT_EQ(&mine, SetCurrentClipboard(nullptr));
  EXPECT_EQ(&builtIn, &CurrentClipboard());
}

TEST(MessageBoxSeam, RecorderScriptsAnswersAndNests) {
  RecordingMessageBox outer;
  outer.QueueAnswer(IDNO);
  EXPECT_EQ(IDNO, MessageBox("q?", "title", MB_YESNO | MB_ICONQUESTION));
  {
    RecordingMessageBox inner;
    ShowMessage("Error:OC001");
    EXPECT_EQ(std::vector<std::string>{"Error:OC001"}, inner.Texts());
    EXPECT_EQ(MB_OK, inner.Boxes()[0].Flags);
    EXPECT_EQ("", inner.Boxes()[0].Caption);
  }
  ShowMessage("Error:OC007");  // back to the outer recorder; the script is used up: OK
  ASSERT_EQ(2u, outer.Boxes().size());
  EXPECT_EQ("q?", outer.Boxes()[0].Text);
  EXPECT_EQ("title", outer.Boxes()[0].Caption);
  EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, outer.Boxes()[0].Flags);
  EXPECT_EQ("Error:OC007", outer.Boxes()[1].Text);
}

TEST(MessageBoxSeam, WithoutAHandlerTheSafeAnswerComes) {
  // Nobody can answer without a window system: never a Yes.
  testing::internal::CaptureStderr();
  EXPECT_EQ(IDOK, MessageBox("a"));
  EXPECT_EQ(IDNO, MessageBox("b", "", MB_YESNO));
  EXPECT_EQ(IDCANCEL, MessageBox("c", "", MB_YESNOCANCEL));
  EXPECT_EQ(IDCANCEL, MessageBox("d", "", MB_OKCANCEL));
  EXPECT_EQ("a\nb\nc\nd\n", testing::internal::GetCapturedStderr());
}
