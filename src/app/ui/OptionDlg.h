// The option dialog: created once at program start and kept hidden until the end, so its
// controls keep their state between openings. The main window fills it before each opening
// and reads it on OK; the dialog itself keeps only the quote-paste mark in the settings file.
#pragma once
#include <QChar>
#include <QDialog>

#include "Application.h"
#include "platform/Graphics.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class TColorBox;
class TRadioGroup;
class TUpDown;

class TOptionDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TOptionDlg(QWidget* parent = nullptr);
  ~TOptionDlg() override;

  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // "表示の設定"
  QGroupBox* GroupBox1;
  QCheckBox* ShowCRCheck;
  QCheckBox* ShowDblSpaceCheck;
  QCheckBox* ShowEOFCheck;
  QCheckBox* ShowLineNumberCheck;
  QCheckBox* ShowUnderLineCheck;
  QLabel* Label1;
  TColorBox* CREOFColorBox;
  QLabel* Label2;
  TColorBox* ULineColorBox;
  QLabel* Label3;
  QLineEdit* ColumnEdit;
  TUpDown* ColumnUpDown;
  QLabel* Label4;
  QGroupBox* GroupBox7;
  QCheckBox* AlphaCheck;
  QLabel* Label5;
  QLineEdit* AlphaValueEdit;
  QSlider* AlphaTrackBar;

  // "色とフォントの設定"
  QGroupBox* GroupBox2;
  QLabel* Label6;
  TColorBox* BackColorBox;
  QLabel* Label7;
  TColorBox* SelColorBox;
  QLabel* Label8;
  TColorBox* FindColorBox;
  QGroupBox* GroupBox3;
  QCheckBox* ColorPrintFCheck;
  QLabel* Label9;
  TColorBox* QuoteColorBox;
  QLabel* Label10;
  QLineEdit* QuoteMarkEdit;
  QLabel* Label11;
  TColorBox* URLColorBox;
  QLabel* SampleLabel;
  QPushButton* FontButton;

  // "その他の設定"
  QGroupBox* GroupBox5;
  QCheckBox* StartPage0Check;
  QCheckBox* SavePage0Check;
  QGroupBox* GroupBox6;
  QLabel* Label12;
  QLineEdit* TxfEdit;
  TRadioGroup* ImeModeRadio;
  QGroupBox* GroupBox4;
  QLabel* Label13;
  QLineEdit* QuotePasteMarkEdit;
  QCheckBox* SegaBbsCheck;
  // 0: character references, 1: "?".
  TRadioGroup* UnmappedRadio;

  // The font the font dialog opens with, and after OK the font chosen there.
  TFontRequest FontDialog1;

  // The sample text in a font (face, points, colour) and on a background colour.
  void SetSampleFont(const TFontRequest& font);
  void SetSampleColor(TColor color);

  void FormCreate();
  void FormDestroy();
  void FontButtonClick();
  void BackColorBoxChange();
  // Clears key (to a null character) when the field must not take it.
  void ColumnEditKeyPress(QChar& key);
  void AlphaTrackBarChange();
  void AlphaCheckClick();

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildDisplaySheet();
  void BuildColorSheet();
  void BuildOtherSheet();
};
extern TOptionDlg* OptionDlg;
