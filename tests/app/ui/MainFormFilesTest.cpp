// Files in other encodings through the main window: open, save, save as, the remembered
// format across restarts and bound files re-read at start.
#include <sys/time.h>

#include <QComboBox>
#include <filesystem>

#include "MainFormFixture.h"
#include "app/PageFormat.h"
#include "app/ui/SaveFormatDlg.h"

using TextEncoding::TEncoding;
using TextEncoding::TFileFormat;
using TextEncoding::TLineEnd;

namespace {

void SetModifiedTime(const std::string& path, time_t when) {
  struct timeval times[2] = {{when, 0}, {when, 0}};
  ::utimes(path.c_str(), times);
}

}  // namespace

class MainFormFilesTest : public MainFormTest {
 protected:
  void Open(const std::string& path) {
    dialogs_->AnswerFile(QString::fromStdString(path));
    Trigger("FileOpen1");
  }
  // Save As to `path`, picking `format` in the format dialog.
  void SaveAs(const std::string& path, TFileFormat format) {
    dialogs_->AnswerFile(QString::fromStdString(path));
    dialogs_->AnswerModal([format](QDialog& d) {
      EXPECT_TRUE(static_cast<TSaveFormatDlg&>(d).SetFormat(format));
      return mrOk;
    });
    Trigger("FileSaveAs1");
  }
  const TPageFormat& Format() { return form_->CurrentPage()->Format; }
};

TEST_F(MainFormFilesTest, EachEncodingOpensAsShiftJisAndSavesBackByteForByte) {
  struct Case {
    const char* name;
    std::string bytes;
    TFileFormat format;
    const char* panel;
  } cases[] = {
      {"utf8-lf.txt", "日本語\nふたつめ\n", {TEncoding::Utf8, TLineEnd::Lf}, " UTF-8  LF "},
      {"utf8-crlf.txt", "日本語\r\nふたつめ", {TEncoding::Utf8, TLineEnd::CrLf}, " UTF-8  CRLF "},
      {"bom.txt",
       "\xEF\xBB\xBF日本語\nふたつめ\n",
       {TEncoding::Utf8Bom, TLineEnd::Lf},
       " UTF-8 (BOM)  LF "},
      {"euc.txt",
       "\xc6\xfc\xcb\xdc\xb8\xec\n\xa4\xd5\xa4\xbf\xa4\xc4\xa4\xe1\n",
       {TEncoding::EucJp, TLineEnd::Lf},
       " EUC-JP  LF "},
      {"utf16.txt",
       std::string(
           "\xff\xfe\xe5\x65\x2c\x67\x9e\x8a\r\0\n\0\x75\x30\x5f\x30\x64\x30\x81\x30\r\0\n\0", 24),
       {TEncoding::Utf16Le, TLineEnd::CrLf},
       " UTF-16LE  CRLF "},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = files_.Write(c.name, c.bytes);
    Open(path);
    std::string text = Editor().GetText();
    EXPECT_EQ(Hex(text.substr(0, 8)), Hex(Sjis("日本語\r\n")));
    EXPECT_EQ(Format().File, c.format);
    EXPECT_FALSE(Format().Lossy);
    EXPECT_EQ(form_->FormatPanelText(), c.panel);
    std::filesystem::remove(path);
    Trigger("FileSave1");
    EXPECT_EQ(Hex(TempDir::Read(path)), Hex(c.bytes));
  }
  EXPECT_EQ(dialogs_->Messages.size(), 0u);
  // A plain Shift_JIS page shows as such.
  ClickTab(0);
  EXPECT_EQ(form_->FormatPanelText(), " Shift_JIS  CRLF ");
}

TEST_F(MainFormFilesTest, SaveOverAFileWhoseCharactersWereReplacedAsksFirst) {
  const std::string original = "絵文字😀と한\n";
  std::string path = files_.Write("emoji.txt", original);
  Start();
  Open(path);
  EXPECT_EQ(Hex(Editor().GetText()), Hex(Sjis("絵文字&#128512;と&#54620;\r\n")));
  EXPECT_TRUE(Format().Lossy);
  EXPECT_TRUE(form_->StatusPanelText(0).contains("U+1F600 U+D55C"))
      << form_->StatusPanelText(0).toStdString();

  // Unanswered, the question takes its default: No, which offers Save As (cancelled here).
  Trigger("FileSave1");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtWarning);
  EXPECT_EQ(dialogs_->Messages[0].DefaultButton, unsigned(mbNo));
  ASSERT_EQ(dialogs_->Files.size(), 2u);
  EXPECT_TRUE(dialogs_->Files[1].Save);
  EXPECT_EQ(TempDir::Read(path), original);
  dialogs_->AnswerMessage(mrCancel);
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), original);
  EXPECT_EQ(dialogs_->Files.size(), 2u);

  // The choice survives a restart: still asked.
  Restart();
  ClickTab(1);
  EXPECT_TRUE(Format().Lossy);
  dialogs_->AnswerMessage(mrCancel);
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), original);

  // Yes writes the references; the next Save asks nothing.
  dialogs_->AnswerMessage(mrYes);
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), "絵文字&#128512;と&#54620;\n");
  size_t asked = dialogs_->Messages.size();
  Trigger("FileSave1");
  EXPECT_EQ(dialogs_->Messages.size(), asked);
}

TEST_F(MainFormFilesTest, SaveAsPicksEncodingAndLineEndsThatSaveThenKeeps) {
  Start();
  AddPages(1);
  Type(U("一行目\n二行目"));
  std::string path = files_.File("out.txt");
  SaveAs(path, {TEncoding::Utf8, TLineEnd::Lf});
  ASSERT_EQ(dialogs_->Modals, (QStringList{"TSaveFormatDlg"}));
  EXPECT_EQ(TempDir::Read(path), "一行目\n二行目");
  EXPECT_EQ(form_->FormatPanelText(), " UTF-8  LF ");
  Type("!");
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), "一行目\n二行目!");

  // The dialog opens on the page's format and offers the four encodings.
  std::string bom = files_.File("bom.txt");
  dialogs_->AnswerFile(QString::fromStdString(bom));
  dialogs_->AnswerModal([](QDialog& d) {
    auto& dlg = static_cast<TSaveFormatDlg&>(d);
    EXPECT_EQ(dlg.Format(), (TFileFormat{TEncoding::Utf8, TLineEnd::Lf}));
    EXPECT_EQ(dlg.EncodingBox->count(), 4);
    EXPECT_EQ(dlg.LineEndBox->count(), 2);
    dlg.SetFormat({TEncoding::Utf8Bom, TLineEnd::CrLf});
    return mrOk;
  });
  Trigger("FileSaveAs1");
  EXPECT_EQ(TempDir::Read(bom), "\xEF\xBB\xBF一行目\r\n二行目!");

  // Cancel in the format dialog saves nothing and keeps the binding.
  std::string other = files_.File("other.txt");
  dialogs_->AnswerFile(QString::fromStdString(other));
  dialogs_->AnswerModal([](QDialog&) { return mrCancel; });
  Trigger("FileSaveAs1");
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_EQ(form_->CurrentPage()->FileName, bom);

  // After a restart the page still saves as UTF-8 with BOM and CR LF.
  Restart();
  ClickTab(1);
  EXPECT_EQ(Format().File, (TFileFormat{TEncoding::Utf8Bom, TLineEnd::CrLf}));
  EXPECT_EQ(form_->FormatPanelText(), " UTF-8 (BOM)  CRLF ");
}

TEST_F(MainFormFilesTest, CharactersTheTargetCannotHoldAreAskedAboutBeforeWriting) {
  // An ISO-2022-JP file keeps its encoding, which has no half-width katakana.
  const std::string jis = "\x1b$B$\"\x1b(B\n";
  std::string path = files_.Write("jis.txt", jis);
  Start();
  Open(path);
  EXPECT_EQ(form_->FormatPanelText(), " ISO-2022-JP  LF ");
  Type(U("ｱ"));
  Trigger("FileSave1");
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_TRUE(dialogs_->Messages[0].Text.contains("U+FF71"));
  EXPECT_EQ(dialogs_->Messages[0].DefaultButton, unsigned(mbNo));
  EXPECT_EQ(TempDir::Read(path), jis);
  dialogs_->AnswerMessage(mrYes);
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), "&#65393;\x1b$B$\"\x1b(B\n");
}

TEST_F(MainFormFilesTest, BoundFileSavedInAnotherEncodingIsConvertedAtStart) {
  std::string path = files_.Write("bound.txt", Sjis("元の文\r\n"));
  Start();
  Open(path);
  End();
  // Another editor rewrote it as UTF-16 after the page file was written.
  SetModifiedTime(path, time(nullptr) + 120);
  files_.Write("bound.txt", std::string("\xff\xfe\xb0\x65\x57\x30\x44\x30\x87\x65\n\0", 12));
  SetModifiedTime(path, time(nullptr) + 120);
  Start();
  ClickTab(1);
  EXPECT_EQ(Hex(Editor().GetText()), Hex(Sjis("新しい文\r\n")));
  EXPECT_EQ(Format().File, (TFileFormat{TEncoding::Utf16Le, TLineEnd::Lf}));
  Trigger("FileSave1");
  EXPECT_EQ(Hex(TempDir::Read(path)),
            Hex(std::string("\xff\xfe\xb0\x65\x57\x30\x44\x30\x87\x65\n\0", 12)));
}

TEST_F(MainFormFilesTest, ADamagedFormatFileMeansShiftJisForEveryPage) {
  std::string path = files_.Write("u.txt", "ユー\n");
  Start();
  Open(path);
  End();
  std::string side = PageFormats::DefaultPath();
  std::string text = TempDir::Read(side);
  ASSERT_NE(text.find("1 utf-8 lf 0 "), std::string::npos) << text;
  {
    std::string damaged = text.substr(0, text.size() - 3);
    std::FILE* f = std::fopen(side.c_str(), "wb");
    std::fwrite(damaged.data(), 1, damaged.size(), f);
    std::fclose(f);
  }
  Start();
  ClickTab(1);
  EXPECT_EQ(Format().File, TFileFormat{});
  EXPECT_EQ(form_->FormatPanelText(), " Shift_JIS  CRLF ");
}

TEST_F(MainFormFilesTest, LargeFilesAreReadAndWrittenOffTheWindowThread) {
  std::string line = "長い行のテキスト、その二。abc\n";
  std::string big;
  while (big.size() < (5u << 20)) big += line;
  std::string path = files_.Write("big.txt", big);
  Start();
  Open(path);
  EXPECT_FALSE(form_->LongWorkRunning());
  EXPECT_EQ(Format().File, (TFileFormat{TEncoding::Utf8, TLineEnd::Lf}));
  EXPECT_EQ(Editor().GetText().substr(0, 8), Sjis("長い行の"));
  std::filesystem::remove(path);
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path).size(), big.size());
  EXPECT_TRUE(TempDir::Read(path) == big);  // 5 MB: no byte dump on failure
  EXPECT_EQ(dialogs_->Messages.size(), 0u);
}

TEST_F(MainFormFilesTest, ARestoredPageSavesInItsFilesEncodingAgain) {
  std::string path = files_.Write("restore.txt", "復元\n");
  Start();
  Open(path);
  Trigger("FileDeletePage1");
  Trigger("FileRestorePage");
  ASSERT_EQ(form_->CurrentPage()->FileName, path);
  EXPECT_EQ(Format().File, (TFileFormat{TEncoding::Utf8, TLineEnd::Lf}));
  Type("!");
  Trigger("FileSave1");
  EXPECT_EQ(TempDir::Read(path), "!復元\n");
}
