// Files handed to the window from outside (the command line, a later start of the program):
// each becomes a page as File → Open makes it, unreadable ones are reported, and nothing
// opens under a modal dialog.
#include <sys/stat.h>

#include <QAbstractEventDispatcher>
#include <QDialog>

#include "MainFormFixture.h"

namespace {
QByteArray B(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

TEST_F(MainFormTest, FilesFromOutsideOpenAsPagesAsFileOpenDoes) {
  Start();
  Type("kept");
  std::string text = files_.Write("a.txt", "one\r\ntwo\r\n");
  // A Shift-JIS name stays bound by its very bytes and shows as Japanese.
  std::string sjisName = files_.Write("\x82\xa0.txt", "sjis");
  std::string folder = files_.File("folder");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  std::string fifo = files_.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string missing = files_.File("new.txt");

  form_->OpenFiles({B(text), B(sjisName), B(folder), B(fifo), B(missing), "relative.txt"});

  EXPECT_EQ(Captions(), (QStringList{"Page&0", "a.txt", U("あ.txt"), "folder", "fifo", "new.txt"}));
  EXPECT_EQ(Tabs().TabIndex(), 5);
  EXPECT_EQ(form_->PageList->Items(0)->FullText(), "kept");
  EXPECT_EQ(form_->PageList->Items(1)->FileName, text);
  EXPECT_EQ(form_->PageList->Items(1)->FullText(), "one\r\ntwo\r\n");
  EXPECT_EQ(Hex(form_->PageList->Items(2)->FileName), Hex(sjisName));
  EXPECT_EQ(form_->PageList->Items(2)->FullText(), "sjis");
  // A folder and a FIFO cannot be read (the FIFO is never opened: it would block): reported,
  // and the pages stay unbound so that a Save cannot overwrite them.
  EXPECT_EQ(form_->PageList->Items(3)->FileName, "");
  EXPECT_EQ(form_->PageList->Items(4)->FileName, "");
  ASSERT_EQ(dialogs_->Messages.size(), 2u);
  EXPECT_EQ(dialogs_->Messages[0].Text,
            U("ファイルを読み込めませんでした。\n") + QString::fromStdString(folder));
  EXPECT_EQ(dialogs_->Messages[1].Text,
            U("ファイルを読み込めませんでした。\n") + QString::fromStdString(fifo));
  // A name that does not exist yet is bound to an empty page, as File → Open binds it.
  EXPECT_EQ(form_->PageList->Items(5)->FileName, missing);
  EXPECT_EQ(form_->windowTitle(), U("ぴよのーと２ - ") + QString::fromStdString(missing));
  EXPECT_EQ(Editor().GetText(), "");
}

TEST_F(MainFormTest, FilesArrivingUnderAModalDialogOpenOnceItCloses) {
  Start();
  std::string text = files_.Write("late.txt", "late");
  QDialog modal(form_);
  modal.setModal(true);
  modal.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &modal);
  form_->OpenFiles({B(text)});
  EXPECT_EQ(Tabs().Count(), 1);
  modal.hide();
  // The idle step picks them up.
  emit QAbstractEventDispatcher::instance()->aboutToBlock();
  QCoreApplication::processEvents();
  EXPECT_EQ(Captions(), (QStringList{"Page&0", "late.txt"}));
  EXPECT_EQ(Editor().GetText(), "late");
}
