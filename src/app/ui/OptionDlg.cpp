#include "OptionDlg.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ColorBox.h"
#include "DialogFrame.h"
#include "FormControls.h"
#include "UiText.h"
#include "app/IniFile.h"
#include "platform/ProgramFiles.h"

TOptionDlg* OptionDlg = nullptr;

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

std::string SettingsFile() {
  return ProgramFiles::DataFile(".ini");
}

// A caption whose accelerator focuses the control beside it.
QLabel* BuddyLabel(const char* caption, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(T(caption), parent);
  label->setBuddy(buddy);
  return label;
}

TColorBox* NewColorBox(QWidget* parent) {
  auto* box = new TColorBox(parent);
  // Narrow enough for the sheet; long names are cut rather than widening the dialog.
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(8);
  return box;
}

// The sheets are full at the dialog's fixed size: small margins everywhere.
template <class Layout>
Layout* Tight(Layout* layout) {
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(3);
  return layout;
}

}  // namespace

TOptionDlg::TOptionDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("OptionDlg");
  setWindowTitle(T("オプションダイアログ"));
  setFont(FormFont());
  setFixedSize(345, 345);

  PageControl1 = new QTabWidget(this);
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  PageControl1->addTab(TabSheet1, T("表示の設定"));
  PageControl1->addTab(TabSheet2, T("色とフォントの設定"));
  PageControl1->addTab(TabSheet3, T("その他の設定"));
  BuildDisplaySheet();
  BuildColorSheet();
  BuildOtherSheet();

  MakeOkCancel(this, T("&OK"), T("キャンセル(&C)"), OKBtn, CancelBtn);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(6);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);

  if (!OptionDlg) OptionDlg = this;
  FormCreate();
}

TOptionDlg::~TOptionDlg() {
  FormDestroy();
  if (OptionDlg == this) OptionDlg = nullptr;
}

void TOptionDlg::BuildDisplaySheet() {
  QWidget* sheet = TabSheet1;
  GroupBox1 = new QGroupBox(T("エディタの表示"), sheet);
  ShowCRCheck = new QCheckBox(T("改行マークを表示する(&R)"), GroupBox1);
  ShowDblSpaceCheck = new QCheckBox(T("全角スペースを表示する(&S)"), GroupBox1);
  ShowEOFCheck = new QCheckBox(T("EOFマークを表示する(&E)"), GroupBox1);
  ShowLineNumberCheck = new QCheckBox(T("行番号を表示する(&L)"), GroupBox1);
  ShowUnderLineCheck = new QCheckBox(T("アンダーラインを表示する(&U)"), GroupBox1);
  CREOFColorBox = NewColorBox(GroupBox1);
  Label1 = BuddyLabel("マークの色(&M)", CREOFColorBox, GroupBox1);
  ULineColorBox = NewColorBox(GroupBox1);
  Label2 = BuddyLabel("アンダーラインの色(&L)", ULineColorBox, GroupBox1);
  ColumnEdit = new QLineEdit(GroupBox1);
  ColumnEdit->setFixedWidth(48);
  // Digits only: the field takes its characters from typed keys alone, not from an input method.
  ColumnEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
  ColumnEdit->installEventFilter(this);
  ColumnUpDown = new TUpDown(ColumnEdit, 1, 32767, GroupBox1);
  ColumnUpDown->SetPosition(80);
  Label3 = BuddyLabel("表示桁数設定(&M)", ColumnEdit, GroupBox1);
  Label4 = new QLabel(T("桁"), GroupBox1);

  // The longest check box shares its row with nothing, so the colour column can stay narrow.
  auto* grid = Tight(new QGridLayout(GroupBox1));
  grid->addWidget(ShowCRCheck, 0, 0);
  grid->addWidget(ShowDblSpaceCheck, 1, 0);
  grid->addWidget(ShowEOFCheck, 2, 0);
  grid->addWidget(ShowLineNumberCheck, 3, 0);
  grid->addWidget(ShowUnderLineCheck, 4, 0, 1, 2);
  grid->addWidget(Label1, 0, 1);
  grid->addWidget(CREOFColorBox, 1, 1);
  grid->addWidget(Label2, 2, 1);
  grid->addWidget(ULineColorBox, 3, 1);
  auto* columnRow = new QHBoxLayout;
  columnRow->setSpacing(0);
  columnRow->addWidget(Label3);
  columnRow->addSpacing(6);
  columnRow->addWidget(ColumnEdit);
  columnRow->addWidget(ColumnUpDown);
  columnRow->addSpacing(4);
  columnRow->addWidget(Label4);
  columnRow->addStretch();
  grid->addLayout(columnRow, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  GroupBox7 = new QGroupBox(T("ウィンドウの表示"), sheet);
  AlphaCheck = new QCheckBox(T("ウィンドウの透明化(&A)"), GroupBox7);
  AlphaValueEdit = new QLineEdit(GroupBox7);
  AlphaValueEdit->setReadOnly(true);
  AlphaValueEdit->setFixedWidth(40);
  Label5 = BuddyLabel("ウィンドウの透明度(&V)", AlphaValueEdit, GroupBox7);
  AlphaTrackBar = new QSlider(Qt::Horizontal, GroupBox7);
  AlphaTrackBar->setRange(0, 255);
  AlphaTrackBar->setPageStep(10);
  AlphaTrackBar->setTickInterval(20);
  AlphaTrackBar->setTickPosition(QSlider::TicksBelow);
  AlphaTrackBar->setValue(255);

  auto* alpha = Tight(new QGridLayout(GroupBox7));
  alpha->addWidget(AlphaCheck, 0, 0, 1, 3);
  alpha->addWidget(Label5, 1, 0);
  alpha->addWidget(AlphaValueEdit, 1, 1);
  alpha->addWidget(AlphaTrackBar, 1, 2);
  alpha->setColumnStretch(2, 1);

  auto* layout = Tight(new QVBoxLayout(sheet));
  layout->addWidget(GroupBox1);
  layout->addWidget(GroupBox7);
  layout->addStretch();

  connect(AlphaCheck, &QCheckBox::toggled, this, [this] { AlphaCheckClick(); });
  connect(AlphaTrackBar, &QSlider::valueChanged, this, [this] { AlphaTrackBarChange(); });
}

void TOptionDlg::BuildColorSheet() {
  QWidget* sheet = TabSheet2;
  GroupBox2 = new QGroupBox(T("色"), sheet);
  BackColorBox = NewColorBox(GroupBox2);
  Label6 = BuddyLabel("背景色(&B)", BackColorBox, GroupBox2);
  SelColorBox = NewColorBox(GroupBox2);
  Label7 = BuddyLabel("選択時の反転色(&S)", SelColorBox, GroupBox2);
  FindColorBox = NewColorBox(GroupBox2);
  FindColorBox->SetSelected(clYellow);
  Label8 = BuddyLabel("検索時の反転色(&F)", FindColorBox, GroupBox2);
  auto* colors = Tight(new QGridLayout(GroupBox2));
  colors->addWidget(Label6, 0, 0);
  colors->addWidget(BackColorBox, 0, 1);
  colors->addWidget(Label7, 1, 0);
  colors->addWidget(SelColorBox, 1, 1);
  colors->addWidget(Label8, 2, 0);
  colors->addWidget(FindColorBox, 2, 1);
  colors->setColumnStretch(1, 1);

  GroupBox3 = new QGroupBox(T("引用符とURL"), sheet);
  ColorPrintFCheck = new QCheckBox(T("引用符やURLに色をつける(&L)"), GroupBox3);
  QuoteColorBox = NewColorBox(GroupBox3);
  Label9 = BuddyLabel("引用符の表示色(&Q)", QuoteColorBox, GroupBox3);
  QuoteMarkEdit = new QLineEdit(T(">"), GroupBox3);
  Label10 = BuddyLabel("引用符の設定(&M)", QuoteMarkEdit, GroupBox3);
  URLColorBox = NewColorBox(GroupBox3);
  Label11 = BuddyLabel("URLの表示色(&U)", URLColorBox, GroupBox3);
  auto* quote = Tight(new QGridLayout(GroupBox3));
  quote->addWidget(ColorPrintFCheck, 0, 0, 1, 2);
  quote->addWidget(Label9, 1, 0);
  quote->addWidget(QuoteColorBox, 1, 1);
  quote->addWidget(Label10, 2, 0);
  quote->addWidget(QuoteMarkEdit, 2, 1);
  quote->addWidget(Label11, 3, 0);
  quote->addWidget(URLColorBox, 3, 1);
  quote->setColumnStretch(1, 1);

  SampleLabel = new QLabel(T("123ABCあいう亜意卯"), sheet);
  SampleLabel->setAlignment(Qt::AlignCenter);
  SampleLabel->setFrameShape(QFrame::StyledPanel);
  SampleLabel->setAutoFillBackground(true);
  SampleLabel->setMinimumHeight(36);
  // A large sample font must not push the controls above out of the fixed-size sheet.
  SampleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  SetSampleColor(clWindow);
  FontButton = new QPushButton(T("フォントの設定(&F)"), sheet);
  FontDialog1 = TFontRequest{font().family(), 9, clWindowText};

  auto* sample = new QHBoxLayout;
  sample->addWidget(SampleLabel, 1);
  sample->addWidget(FontButton, 0, Qt::AlignBottom);

  auto* layout = Tight(new QVBoxLayout(sheet));
  layout->addWidget(GroupBox2);
  layout->addWidget(GroupBox3);
  layout->addLayout(sample, 1);

  BackColorBox->OnChange = [this](TColorBox*) { BackColorBoxChange(); };
  connect(FontButton, &QPushButton::clicked, this, [this] { FontButtonClick(); });
}

void TOptionDlg::BuildOtherSheet() {
  QWidget* sheet = TabSheet3;
  GroupBox5 = new QGroupBox(T("Page0の設定"), sheet);
  StartPage0Check = new QCheckBox(T("起動時に常にPage0を表示する(&0)"), GroupBox5);
  SavePage0Check = new QCheckBox(T("終了時にPage0を保存しない(&N)"), GroupBox5);
  auto* page0 = Tight(new QVBoxLayout(GroupBox5));
  page0->addWidget(StartPage0Check);
  page0->addWidget(SavePage0Check);

  GroupBox6 = new QGroupBox(T("TXFの設定"), sheet);
  TxfEdit = new QLineEdit(T("-io ~txf.tmp"), GroupBox6);
  Label12 = BuddyLabel("&TXFのコマンドライン引数", TxfEdit, GroupBox6);
  ImeModeRadio = new TRadioGroup(T("起動時のIME制御"),
                                 {T("行わない"), T("ONにする"), T("OFFにする")}, 3, GroupBox6);
  ImeModeRadio->SetItemIndex(0);
  auto* txf = Tight(new QGridLayout(GroupBox6));
  txf->addWidget(Label12, 0, 0);
  txf->addWidget(TxfEdit, 0, 1);
  txf->addWidget(ImeModeRadio, 1, 0, 1, 2);
  txf->setColumnStretch(1, 1);

  GroupBox4 = new QGroupBox(T("その他の設定"), sheet);
  QuotePasteMarkEdit = new QLineEdit(T(">"), GroupBox4);
  Label13 = BuddyLabel("引用貼り付けの引用符(&Q)", QuotePasteMarkEdit, GroupBox4);
  SegaBbsCheck = new QCheckBox(T("XHTMLタグメニューをセガBBSモードにする(&S)"), GroupBox4);
  auto* other = Tight(new QGridLayout(GroupBox4));
  other->addWidget(Label13, 0, 0);
  other->addWidget(QuotePasteMarkEdit, 0, 1);
  other->addWidget(SegaBbsCheck, 1, 0, 1, 2);
  // Text pasted, dropped or typed through the input method with characters Shift-JIS lacks.
  UnmappedRadio = new TRadioGroup(T("Shift-JIS にない文字を貼り付けたとき"),
                                  {T("文字参照 (&&#12345;) にする"), T("? にする")}, 2, GroupBox4);
  UnmappedRadio->SetItemIndex(0);
  other->addWidget(UnmappedRadio, 2, 0, 1, 2);
  other->setColumnStretch(1, 1);

  auto* layout = Tight(new QVBoxLayout(sheet));
  layout->addWidget(GroupBox5);
  layout->addWidget(GroupBox6);
  layout->addWidget(GroupBox4);
  layout->addStretch();
}

void TOptionDlg::SetSampleFont(const TFontRequest& font) {
  QFont f(font.Name);
  if (font.Size > 0) f.setPointSize(font.Size);
  SampleLabel->setFont(f);
  QPalette palette = SampleLabel->palette();
  palette.setColor(QPalette::WindowText, QColorOf(font.Color));
  SampleLabel->setPalette(palette);
}

void TOptionDlg::SetSampleColor(TColor color) {
  QPalette palette = SampleLabel->palette();
  palette.setColor(QPalette::Window, QColorOf(color));
  SampleLabel->setPalette(palette);
}

void TOptionDlg::FormCreate() {
  TIniFile ini(SettingsFile());
  QuotePasteMarkEdit->setText(
      ToQString(ini.ReadString("Etc", "QuotePasteMark", ToCp932(QuotePasteMarkEdit->text()))));
  AlphaTrackBarChange();
  AlphaCheckClick();
}

void TOptionDlg::FormDestroy() {
  TIniFile ini(SettingsFile());
  ini.WriteString("Etc", "QuotePasteMark", ToCp932(QuotePasteMarkEdit->text()));
  if (!ini.UpdateFile() && Application)
    Application->MessageDlg(T("%1 に書き込めません").arg(QFile::decodeName(ini.FileName().c_str())),
                            TMsgDlgType::mtWarning, mbOK);
}

void TOptionDlg::FontButtonClick() {
  TFontRequest font = FontDialog1;
  if (!Application || !Application->FontDialog(font)) return;
  FontDialog1 = font;
  SetSampleFont(font);
}

void TOptionDlg::BackColorBoxChange() {
  SetSampleColor(BackColorBox->Selected());
}

void TOptionDlg::ColumnEditKeyPress(QChar& key) {
  if (!(key >= u'0' && key <= u'9') && key != u'\b') key = QChar();
}

void TOptionDlg::AlphaTrackBarChange() {
  AlphaValueEdit->setText(QString::number(AlphaTrackBar->value()));
}

void TOptionDlg::AlphaCheckClick() {
  AlphaTrackBar->setEnabled(AlphaCheck->isChecked());
}

void TOptionDlg::reject() {
  done(mrCancel);
}

bool TOptionDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ColumnEdit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      // Keys the dialog handles (default and cancel buttons, focus moves) never reach the field
      // as characters.
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        break;
      default:
        for (QChar ch : key->text()) {
          ColumnEditKeyPress(ch);
          if (ch.isNull()) return true;
        }
    }
  }
  return QDialog::eventFilter(watched, event);
}
