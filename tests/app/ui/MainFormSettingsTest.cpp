// The settings file as the main window reads it at start-up and writes it at the end, and the
// option dialog's OK and Cancel.
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>
#include <filesystem>

#include "MainFormFixture.h"
#include "app/IniFile.h"
#include "app/ui/ColorBox.h"
#include "app/ui/FormControls.h"
#include "app/ui/OptionDlg.h"

namespace {

class SettingsTest : public MainFormTest {
 protected:
  std::string IniPath() const { return ProgramFiles::DataFile(".ini"); }
  void WriteIni(const std::string& text) const {
    FILE* f = fopen(IniPath().c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
  std::string IniText() const { return TempDir::Read(IniPath()); }
};

}  // namespace

TEST_F(SettingsTest, FirstRunWritesEverySettingInOrder) {
  Start();
  End();
  std::string ini = IniText();
  const char* keys[] = {"[Window]",
                        "WindowState=0",
                        "Left=192",
                        "Top=107",
                        "Width=640",
                        "Height=480",
                        "AlphaBlend=0",
                        "AlphaBlendValue=255",
                        "ToolBarVisible=1",
                        "TabMultiLine=0",
                        "[Editor]",
                        "ShowCR=1",
                        "ShowDblSpace=1",
                        "ShowEOF=1",
                        "ShowLineNumber=0",
                        "ShowUnderLine=0",
                        "CREOFcolor=8421376",
                        "UlineColor=16711680",
                        "Color=16777215",
                        "SelColor=16711680",
                        "ColorPrintF=1",
                        "InyoColor=8421504",
                        "Inyostr=>",
                        "URLColor=16711680",
                        "FontName=FixedSys",
                        "FontSize=14",
                        "FontColor=0",
                        "Column=72",
                        "FindColor=65535",
                        "[Page]",
                        "Start=0",
                        "Save=0",
                        "Index=0",
                        "[Etc]",
                        "SegaBbsMode=0",
                        "PreviewMode=0",
                        "Txf=-io ~txf.tmp",
                        "ImeMode=0"};
  size_t at = 0;
  for (const char* key : keys) {
    size_t found = ini.find(std::string(key) + "\r\n", at);
    ASSERT_NE(found, std::string::npos) << key << " in\n" << ini;
    at = found;
  }
}

TEST_F(SettingsTest, ValuesAreReadAsWrittenByHandOrByAnOlderRun) {
  WriteIni(
      "[Window]\r\nLeft=10\r\nTop=20\r\nWidth=500\r\nHeight=300\r\nAlphaBlend=1\r\n"
      "AlphaBlendValue=300\r\nToolBarVisible=0\r\nTabMultiLine=1\r\n[Editor]\r\nShowCR=yes\r\n"
      "ShowEOF=2\r\nShowLineNumber=1\r\nInyostr= > \r\nSelColor=255\r\nFontName=Noto Sans Mono\r\n"
      "FontSize=20\r\nColumn=0x30\r\nFindColor=$0000FF00\r\n[Etc]\r\nTxf=-x\r\nImeMode=2\r\n"
      "SegaBbsMode=1\r\n");
  TMainForm* f = Start();
  EXPECT_EQ(QRect(10, 20, 500, 300), f->geometry());
  EXPECT_TRUE(f->AlphaBlend);
  EXPECT_EQ(44, f->AlphaBlendValue);  // low 8 bits of 300
  // Below the floor the window would hardly be seen: the floor is applied, the value kept.
  EXPECT_NEAR(TMainForm::kMinOpacity / 255.0, f->windowOpacity(), 0.01);
  EXPECT_TRUE(f->ToolBarPanel->isHidden());
  EXPECT_TRUE(f->TabControl1->MultiLine());
  TFenEdit& e = *f->FenEdit1;
  EXPECT_TRUE(e.ShowCR);  // "yes" is not a number: the default
  EXPECT_TRUE(e.ShowEOF);
  EXPECT_TRUE(e.ShowLineNumber);
  EXPECT_EQ(">", e.Inyostr);
  EXPECT_EQ(255, e.GetSelColor());
  EXPECT_EQ("Noto Sans Mono", e.GetFont().Name);
  EXPECT_EQ(-27, e.GetFont().Height);  // 20 points at 96 dots per inch
  EXPECT_EQ(48, e.GetColumn());
  EXPECT_EQ(0x00FF00, f->FindColor);
  EXPECT_EQ("-x", f->TxfArgs);
  EXPECT_EQ(2, f->ImeMode);
  EXPECT_TRUE(f->SegaBbsMode);
  End();
  // What was read goes back out.
  TIniFile ini(IniPath());
  EXPECT_EQ(44, ini.ReadInteger("Window", "AlphaBlendValue", 0));
  EXPECT_EQ(20, ini.ReadInteger("Editor", "FontSize", 0));
  EXPECT_EQ(48, ini.ReadInteger("Editor", "Column", 0));
  EXPECT_EQ("Noto Sans Mono", ini.ReadString("Editor", "FontName", ""));
}

TEST_F(SettingsTest, PageIndexAndStartOnTheFirstPage) {
  TMainForm* f = Start();
  Trigger("FileAddPage1");
  Trigger("FileAddPage1");
  ASSERT_EQ(2, f->PageIndex());
  f = Restart();
  EXPECT_EQ(2, f->PageIndex());
  End();
  TIniFile ini(IniPath());
  ini.WriteInteger("Page", "Index", 7);  // more than there are pages
  ASSERT_TRUE(ini.UpdateFile());
  f = Start();
  EXPECT_EQ(0, f->PageIndex());
  f->SelectPage(1);
  f->StartPage0 = true;
  f = Restart();
  EXPECT_EQ(0, f->PageIndex());
  EXPECT_EQ(0, TIniFile(IniPath()).ReadInteger("Page", "Index", -1));
}

// Edges at the ends of the integers are kept within a screen's reach, and the place the window
// had is what goes back out: no sum of edge and size wraps round to the other end.
TEST_F(SettingsTest, ExtremePlacesAreClampedAndWrittenAsUsed) {
  WriteIni(
      "[Window]\r\nLeft=-2147483648\r\nTop=2147483647\r\nWidth=2147483647\r\n"
      "Height=-7\r\n");
  TMainForm* f = Start();
  QCoreApplication::processEvents();  // the window system's word on the place
  QPoint used = f->geometry().topLeft();
  EXPECT_GE(used.y(), 0);
  EXPECT_LE(used.y(), 32767);
  EXPECT_LE(f->width(), 32767);
  End();
  TIniFile ini(IniPath());
  EXPECT_EQ(used.x(), ini.ReadInteger("Window", "Left", 1));
  EXPECT_EQ(used.y(), ini.ReadInteger("Window", "Top", -1));
  EXPECT_GT(ini.ReadInteger("Window", "Width", -1), 0);
  EXPECT_GE(ini.ReadInteger("Window", "Height", -1), 0);
}

TEST_F(SettingsTest, MaximisedKeepsTheRestoredRectangle) {
  TMainForm* f = Start();
  f->move(30, 40);
  f->resize(600, 400);
  f->setWindowState(Qt::WindowMaximized);
  End();
  TIniFile ini(IniPath());
  EXPECT_EQ(2, ini.ReadInteger("Window", "WindowState", 0));
  EXPECT_EQ(600, ini.ReadInteger("Window", "Width", 0));
  EXPECT_EQ(400, ini.ReadInteger("Window", "Height", 0));
  f = Start();
  EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
  End();
  // Started maximised and closed again: the restored rectangle is still the same.
  TIniFile again(IniPath());
  for (const char* key : {"Left", "Top", "Width", "Height", "WindowState"})
    EXPECT_EQ(ini.ReadInteger("Window", key, -1), again.ReadInteger("Window", key, -2)) << key;
}

// Records the window's place when it is first shown, before its own show handler runs.
class ShowWatcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !seen_) {
      seen_ = true;
      AtShow = static_cast<QWidget*>(watched)->geometry();
    }
    return false;
  }
  QRect AtShow;

 private:
  bool seen_ = false;
};

TEST_F(SettingsTest, TheSavedPlaceIsAppliedBeforeTheWindowAppearsAndComesBackUnchanged) {
  WriteIni("[Window]\r\nLeft=300\r\nTop=200\r\nWidth=420\r\nHeight=310\r\n");
  form_ = app_->CreateForm<TMainForm>();
  ShowWatcher watcher;
  form_->installEventFilter(&watcher);
  form_->show();
  form_->removeEventFilter(&watcher);
  EXPECT_EQ(QRect(300, 200, 420, 310), watcher.AtShow);
  // Restarts put it back where it was, every time.
  for (int i = 0; i < 3; ++i) {
    Restart();
    EXPECT_EQ(QRect(300, 200, 420, 310), form_->geometry()) << "start " << i;
  }
  End();
  TIniFile ini(IniPath());
  EXPECT_EQ(300, ini.ReadInteger("Window", "Left", 0));
  EXPECT_EQ(200, ini.ReadInteger("Window", "Top", 0));
}

TEST_F(SettingsTest, AWindowOffEveryScreenIsBroughtBackOntoOne) {
  QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  WriteIni("[Window]\r\nLeft=-5000\r\nTop=9000\r\nWidth=300\r\nHeight=200\r\n");
  TMainForm* f = Start();
  EXPECT_TRUE(screen.contains(f->geometry())) << f->geometry().x() << "," << f->geometry().y();
  EXPECT_EQ(QSize(300, 200), f->size());
  End();
  // Larger than the screen, and above it: inside, shrunk to the screen.
  WriteIni("[Window]\r\nLeft=10\r\nTop=-3000\r\nWidth=90000\r\nHeight=90000\r\n");
  f = Start();
  EXPECT_TRUE(screen.contains(f->geometry().topLeft()));
  EXPECT_LE(f->width(), screen.width());
  EXPECT_LE(f->height(), screen.height());
  End();
  // Nonsense sizes give the design size.
  WriteIni("[Window]\r\nLeft=10\r\nTop=20\r\nWidth=0\r\nHeight=-4\r\n");
  f = Start();
  EXPECT_EQ(QRect(10, 20, 640, 480), f->geometry());
}

TEST_F(SettingsTest, AnUnwritableSettingsFileIsReportedAndThePagesAreStillWritten) {
  std::filesystem::create_directory(IniPath());  // the name is taken by a folder
  Start();
  Editor().SetText("kept");
  End();
  ASSERT_EQ(1u, dialogs_->Messages.size());
  EXPECT_TRUE(dialogs_->Messages[0].Text.endsWith(U(" に書き込めません")));
  EXPECT_TRUE(dialogs_->Messages[0].Text.startsWith(QString::fromStdString(IniPath())));
  EXPECT_NE(std::string::npos, PageFileBytes().find("kept"));
}

TEST_F(SettingsTest, OptionDialogOkAppliesAndCancelChangesNothing) {
  TMainForm* f = Start();
  app_->CreateForm<TOptionDlg>();
  Editor().SetText("abc\r\ndef");
  Editor().Control().GotoPos(2, 1, TCaretPlacement::Minimal);
  Editor().Control().TypeText("X");
  ASSERT_TRUE(Editor().Control().CanUndo());

  // Cancel: nothing applied, the dialog was filled from the current state.
  bool filled = false;
  dialogs_->AnswerModal([&](QDialog& d) {
    auto& o = static_cast<TOptionDlg&>(d);
    filled = o.ShowCRCheck->isChecked() && o.ColumnUpDown->Position() == 72 &&
             o.TxfEdit->text() == "-io ~txf.tmp" && o.FindColorBox->Selected() == clYellow;
    o.ShowCRCheck->setChecked(false);
    return int(mrCancel);
  });
  f->OptionClick();
  EXPECT_TRUE(filled);
  EXPECT_TRUE(f->FenEdit1->ShowCR);
  EXPECT_TRUE(Editor().Control().CanUndo());

  // OK: applied to the editor and the window; the text stays, undo is emptied, the caret
  // goes to the top.
  dialogs_->AnswerModal([](QDialog& d) {
    auto& o = static_cast<TOptionDlg&>(d);
    o.ShowCRCheck->setChecked(false);
    o.ShowLineNumberCheck->setChecked(true);
    o.ColumnUpDown->SetPosition(40);
    o.QuoteMarkEdit->setText(U("＞"));
    o.AlphaCheck->setChecked(true);
    o.AlphaTrackBar->setValue(128);
    o.TxfEdit->setText("-y");
    o.StartPage0Check->setChecked(true);
    o.FindColorBox->SetSelected(clLime);
    return int(mrOk);
  });
  f->OptionClick();
  TFenEdit& e = *f->FenEdit1;
  EXPECT_FALSE(e.ShowCR);
  EXPECT_TRUE(e.ShowLineNumber);
  EXPECT_EQ(40, e.GetColumn());
  EXPECT_EQ(Sjis("＞"), e.Inyostr);
  EXPECT_EQ("abc\r\ndeXf", Editor().GetText());
  EXPECT_FALSE(e.CanUndo());
  EXPECT_EQ(0, Editor().CaretRow());
  EXPECT_TRUE(f->AlphaBlend);
  EXPECT_EQ(128, f->AlphaBlendValue);
  EXPECT_NEAR(128 / 255.0, f->windowOpacity(), 0.01);
  EXPECT_EQ("-y", f->TxfArgs);
  EXPECT_TRUE(f->StartPage0);
  EXPECT_EQ(clLime, f->FindColor);
}
