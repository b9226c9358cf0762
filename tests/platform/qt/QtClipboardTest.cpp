#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMimeData>

#include "platform/TextBorder.h"
#include "platform/qt/QtClipboard.h"
#include "support/TempDir.h"

namespace {
void SetDesktopText(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}
QString DesktopText() {
  return QGuiApplication::clipboard()->text();
}
}  // namespace

TEST(QtClipboard, DesktopTextComesInWithCrLf) {
  TextBorder::SetEditorUnmapped(CodePage::TUnmapped::CharRef);
  QtClipboard board;
  SetDesktopText(QString::fromUtf8("一\n二\r\n三\r四"));
  ASSERT_TRUE(board.HasText());
  EXPECT_EQ(Hex("\x88\xea\r\n\x93\xf1\r\n\x8e\x4f\r\n\x8e\x6c"), Hex(board.GetText()));
  SetDesktopText(QString::fromUtf8("a😀\nb"));
  EXPECT_EQ("a&#128512;\r\nb", board.GetText());
  SetDesktopText(QString());
  EXPECT_FALSE(board.HasText());
}

TEST(QtClipboard, CopyPutsLfOnTheDesktopAndPastesBackByteForByte) {
  QtClipboard board;
  // A lone LF and CR (ordinary bytes in the editor), bytes Unicode would change (0xED40 is
  // also 0xFA5C; an undefined pair), and the five bytes of the system code page.
  const std::string bytes = "a\r\nb\nc\rd\xED\x40\x85\x40\x80\xA0\xFD\xFE\xFF";
  ASSERT_TRUE(board.SetText(bytes));
  EXPECT_EQ(QString::fromUtf8("a\nb\nc\nd\u7E8A\u30FB\u0080\uF8F0\uF8F1\uF8F2\uF8F3"),
            DesktopText());
  EXPECT_EQ(Hex(bytes), Hex(board.GetText()));
  // Another program's copy replaces ours: its text is read again.
  SetDesktopText(QStringLiteral("x\ny"));
  EXPECT_EQ("x\r\ny", board.GetText());
}

TEST(QtClipboard, PrimaryWithoutSystemSupportIsEmpty) {
  QtClipboard primary(QClipboard::Selection);
  if (QGuiApplication::clipboard()->supportsSelection()) GTEST_SKIP();
  EXPECT_FALSE(primary.SetText("x"));
  EXPECT_FALSE(primary.HasText());
  EXPECT_EQ("", primary.GetText());
}
