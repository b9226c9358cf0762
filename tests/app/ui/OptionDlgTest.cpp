// The option dialog on its own: its controls' behaviour, the font and colour choices through
// the scripted dialogs, and the one settings key it keeps itself.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "MainFormFixture.h"
#include "app/IniFile.h"
#include "app/ui/Application.h"
#include "app/ui/ColorBox.h"
#include "app/ui/FormControls.h"
#include "app/ui/OptionDlg.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"

namespace {

void Key(QWidget* w, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

// As the user picks an entry from the list: the box moves, then reports the choice.
void Choose(TColorBox& box, int index) {
  box.setCurrentIndex(index);
  emit box.activated(index);
}

QColor Background(const QLabel* label) {
  return label->palette().color(QPalette::Window);
}

// The main window tests' private data folder and scripted dialogs, without the main window.
class OptionDlgTest : public MainFormTest {
 protected:
  void TearDown() override {
    dlg_.reset();
    MainFormTest::TearDown();
  }
  TOptionDlg& Create() {
    dlg_ = std::make_unique<TOptionDlg>();
    return *dlg_;
  }
  std::string IniPath() const { return ProgramFiles::DataFile(".ini"); }

  std::unique_ptr<TOptionDlg> dlg_;
};

TEST_F(OptionDlgTest, SheetsAndButtons) {
  TOptionDlg& d = Create();
  EXPECT_EQ(OptionDlg, &d);
  EXPECT_EQ(d.size(), QSize(345, 345));
  ASSERT_EQ(d.PageControl1->count(), 3);
  EXPECT_EQ(d.PageControl1->tabText(2), U("その他の設定"));
  EXPECT_EQ(d.ColumnEdit->text(), "80");
  EXPECT_EQ(d.FindColorBox->Selected(), clYellow);
  EXPECT_EQ(d.ImeModeRadio->ItemIndex(), 0);
  d.OKBtn->click();
  EXPECT_EQ(d.result(), mrOk);
  d.CancelBtn->click();
  EXPECT_EQ(d.result(), mrCancel);
  d.setResult(mrNone);
  Key(&d, Qt::Key_Escape, {});  // closing without a button is Cancel too
  EXPECT_EQ(d.result(), mrCancel);
}

TEST_F(OptionDlgTest, ColumnEditTakesOnlyDigitsAndBackspace) {
  TOptionDlg& d = Create();
  d.ColumnEdit->clear();
  Key(d.ColumnEdit, Qt::Key_1, "1");
  Key(d.ColumnEdit, Qt::Key_2, "2");
  Key(d.ColumnEdit, Qt::Key_A, "a");
  Key(d.ColumnEdit, Qt::Key_3, "3");
  EXPECT_EQ(d.ColumnEdit->text(), "123");
  Key(d.ColumnEdit, Qt::Key_Backspace, "\b");
  EXPECT_EQ(d.ColumnEdit->text(), "12");
  Key(d.ColumnEdit, Qt::Key_Space, " ");
  Key(d.ColumnEdit, Qt::Key_Minus, "-");
  EXPECT_EQ(d.ColumnEdit->text(), "12");
}

TEST_F(OptionDlgTest, ColumnUpDownReadsItsField) {
  TOptionDlg& d = Create();
  d.ColumnEdit->setText("120");  // typed, no step: still the position
  EXPECT_EQ(d.ColumnUpDown->Position(), 120);
  d.ColumnUpDown->UpButton()->click();
  EXPECT_EQ(d.ColumnEdit->text(), "121");
  Key(d.ColumnEdit, Qt::Key_Down, {});
  EXPECT_EQ(d.ColumnUpDown->Position(), 120);
  d.ColumnEdit->setText("99999");
  EXPECT_EQ(d.ColumnUpDown->Position(), 32767);
  d.ColumnEdit->setText("0");
  EXPECT_EQ(d.ColumnUpDown->Position(), 1);
  d.ColumnEdit->clear();  // no number: the last position set
  EXPECT_EQ(d.ColumnUpDown->Position(), 120);
  d.ColumnUpDown->SetPosition(40000);
  EXPECT_EQ(d.ColumnEdit->text(), "32767");
}

TEST_F(OptionDlgTest, AlphaCheckEnablesTheSliderWhichShowsItsValue) {
  TOptionDlg& d = Create();
  EXPECT_FALSE(d.AlphaTrackBar->isEnabled());
  EXPECT_EQ(d.AlphaValueEdit->text(), "255");
  d.AlphaCheck->setChecked(true);
  EXPECT_TRUE(d.AlphaTrackBar->isEnabled());
  d.AlphaTrackBar->setValue(100);
  EXPECT_EQ(d.AlphaValueEdit->text(), "100");
  d.AlphaCheck->click();
  EXPECT_FALSE(d.AlphaTrackBar->isEnabled());
}

TEST_F(OptionDlgTest, ChosenBackgroundColoursTheSample) {
  TOptionDlg& d = Create();
  d.SetSampleColor(clWhite);
  d.BackColorBox->SetSelected(clNavy);  // filled by the program: the sample is set separately
  EXPECT_EQ(Background(d.SampleLabel), QColor(255, 255, 255));
  Choose(*d.BackColorBox, d.BackColorBox->findText(U("赤")));
  EXPECT_EQ(Background(d.SampleLabel), QColor(255, 0, 0));
  Choose(*d.BackColorBox, d.BackColorBox->findText(U("ウィンドウの背景")));
  EXPECT_EQ(Background(d.SampleLabel), QColorOf(ColorToRGB(clWindow)));
}

TEST_F(OptionDlgTest, FontButtonGivesTheSampleTheChosenFont) {
  TOptionDlg& d = Create();
  d.FontDialog1 = TFontRequest{"Sans", 14, clBlack};
  d.SetSampleFont(d.FontDialog1);
  dialogs_->AnswerFont(TFontRequest{"Serif", 20, clRed});
  d.FontButton->click();
  ASSERT_EQ(dialogs_->Fonts.size(), 1u);
  EXPECT_EQ(dialogs_->Fonts[0].Name, "Sans");  // opened with the dialog's font
  EXPECT_EQ(d.FontDialog1.Name, "Serif");
  EXPECT_EQ(d.FontDialog1.Size, 20);
  EXPECT_EQ(d.FontDialog1.Color, clRed);
  EXPECT_EQ(d.SampleLabel->font().pointSize(), 20);
  EXPECT_EQ(d.SampleLabel->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  dialogs_->AnswerFont(std::nullopt);
  d.FontButton->click();
  EXPECT_EQ(d.FontDialog1.Name, "Serif");
  EXPECT_EQ(d.SampleLabel->font().pointSize(), 20);
  EXPECT_EQ(dialogs_->Unexpected, 0);
}

TEST_F(OptionDlgTest, QuotePasteMarkIsReadAtCreationAndWrittenAtDestruction) {
  Create();
  EXPECT_EQ(dlg_->QuotePasteMarkEdit->text(), ">");  // no file: the preset
  dlg_.reset();
  {
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("Etc", "QuotePasteMark", "?"), ">");
    ini.WriteString("Etc", "QuotePasteMark", ToCp932(U("》")));
    ini.WriteInteger("Editor", "Column", 64);
    ASSERT_TRUE(ini.UpdateFile());
  }
  EXPECT_EQ(Create().QuotePasteMarkEdit->text(), U("》"));
  dlg_->QuotePasteMarkEdit->setText(U("｜"));
  dlg_.reset();
  TIniFile ini(IniPath());
  EXPECT_EQ(ToQString(ini.ReadString("Etc", "QuotePasteMark", "?")), U("｜"));
  EXPECT_EQ(ini.ReadInteger("Editor", "Column", 0), 64);  // other keys kept
  EXPECT_TRUE(dialogs_->Messages.empty());
}

TEST_F(OptionDlgTest, UnwritableSettingsFileIsReported) {
  std::filesystem::create_directory(IniPath());
  Create();
  dlg_.reset();
  ASSERT_EQ(dialogs_->Messages.size(), 1u);
  EXPECT_EQ(dialogs_->Messages[0].Text, QString::fromStdString(IniPath()) + U(" に書き込めません"));
  EXPECT_EQ(dialogs_->Messages[0].Type, TMsgDlgType::mtWarning);
  EXPECT_EQ(dialogs_->Messages[0].Buttons, mbOK);
}

TEST_F(OptionDlgTest, ImeModeRadioChoosesOneItemOrNone) {
  TOptionDlg& d = Create();
  d.ImeModeRadio->SetItemIndex(2);
  EXPECT_EQ(d.ImeModeRadio->ItemIndex(), 2);
  d.ImeModeRadio->Button(1)->click();
  EXPECT_EQ(d.ImeModeRadio->ItemIndex(), 1);
  d.ImeModeRadio->SetItemIndex(5);
  EXPECT_EQ(d.ImeModeRadio->ItemIndex(), -1);
}

class ColorBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    app_ = std::make_unique<TApplication>(std::move(dialogs));
    box_.OnChange = [this](TColorBox*) { ++changes_; };
  }
  std::unique_ptr<TApplication> app_;
  TScriptedDialogs* dialogs_ = nullptr;
  TColorBox box_;
  int changes_ = 0;
};

TEST_F(ColorBoxTest, ListsNamedAndSystemColours) {
  EXPECT_EQ(box_.count(), 1 + 16 + 4 + 21);
  EXPECT_EQ(box_.Selected(), clBlack);
  box_.SetSelected(clTeal);
  EXPECT_EQ(box_.currentText(), U("ティール"));
  box_.SetSelected(RGB(192, 220, 192));
  EXPECT_EQ(box_.currentText(), U("マネーグリーン"));
  box_.SetSelected(clBtnFace);
  EXPECT_EQ(box_.currentText(), U("ボタンの表面"));
  EXPECT_EQ(box_.Selected(), clBtnFace);  // kept as the system colour, not its RGB
  Choose(box_, box_.findText(U("選択項目")));
  EXPECT_EQ(box_.Selected(), clHighlight);
  EXPECT_EQ(changes_, 1);
  Choose(box_, box_.currentIndex());  // the same entry again changes nothing
  EXPECT_EQ(changes_, 1);
}

TEST_F(ColorBoxTest, UnlistedColourShowsAsTheCustomEntry) {
  box_.SetSelected(RGB(1, 2, 3));
  EXPECT_EQ(box_.currentIndex(), TColorBox::kCustomIndex);
  EXPECT_EQ(box_.Selected(), RGB(1, 2, 3));
  box_.SetSelected(clRed);
  EXPECT_EQ(box_.Selected(), clRed);
  EXPECT_EQ(changes_, 0);
}

TEST_F(ColorBoxTest, CustomEntryAsksTheColourDialog) {
  box_.SetSelected(clLime);
  dialogs_->AnswerColor(RGB(10, 20, 30));
  Choose(box_, TColorBox::kCustomIndex);
  ASSERT_EQ(dialogs_->Colors.size(), 1u);
  EXPECT_EQ(dialogs_->Colors[0], clLime);  // opened on the colour chosen before
  EXPECT_EQ(box_.Selected(), RGB(10, 20, 30));
  EXPECT_EQ(changes_, 1);

  dialogs_->AnswerColor(RGB(40, 50, 60));  // chosen again: asks again
  Choose(box_, TColorBox::kCustomIndex);
  EXPECT_EQ(box_.Selected(), RGB(40, 50, 60));
  EXPECT_EQ(changes_, 2);

  Choose(box_, box_.findText(U("水色")));
  dialogs_->AnswerColor(std::nullopt);
  Choose(box_, TColorBox::kCustomIndex);  // cancelled: back to the entry chosen before
  EXPECT_EQ(box_.Selected(), clAqua);
  EXPECT_EQ(box_.currentText(), U("水色"));
  EXPECT_EQ(changes_, 3);
  EXPECT_EQ(dialogs_->Unexpected, 0);
}

}  // namespace
