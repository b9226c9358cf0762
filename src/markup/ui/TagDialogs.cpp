#include "TagDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "app/ui/Application.h"
#include "app/ui/DialogFrame.h"
#include "app/ui/FormControls.h"
#include "app/ui/UiText.h"
#include "markup/TextLines.h"
#include "platform/AtomicFile.h"
#include "platform/Graphics.h"
#include "platform/ProgramFiles.h"

TFontDlg* FontDlg = nullptr;
TLinkDlg* LinkDlg = nullptr;
TClassDLG* ClassDLG = nullptr;
TCiteDlg* CiteDlg = nullptr;
TDatetimeDlg* DatetimeDlg = nullptr;
TImgDlg* ImgDlg = nullptr;
TRubyDlg* RubyDlg = nullptr;

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A caption whose accelerator focuses the field beside it.
QLabel* BuddyLabel(const char* name, const char* caption, QWidget* buddy) {
  auto* label = Named(new QLabel(T(caption)), name);
  label->setBuddy(buddy);
  return label;
}

QLineEdit* Edit(const char* name, const char* text = "") {
  auto* edit = Named(new QLineEdit(T(text)), name);
  edit->setMinimumWidth(200);
  return edit;
}

// An editable combo box that leaves its list alone: Enter adds nothing, and without a
// completer the typed text keeps its own letter case.
QComboBox* EditableCombo(const char* name) {
  auto* combo = Named(new QComboBox, name);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(16);
  return combo;
}

std::string HistoryPath() {
  return ProgramFiles::DataFile(".kdc");
}

// The history file's lines: split at CR LF, CR or LF, ending at a NUL byte; a final line
// break ends the last line rather than starting an empty one.
QStringList ParseHistory(std::string_view bytes) {
  QStringList lines;
  for (const std::string& line : TextLines::Split(bytes)) lines << ToQString(line);
  return lines;
}

}  // namespace

// ---- common frame

TTagDialog::TTagDialog(QWidget* parent) : QDialog(parent) {
  setFont(FormFont());
}

void TTagDialog::CreateButtons(const char* ok, const char* cancel) {
  OKBtn = Named(new QPushButton(T(ok)), "OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = Named(new QPushButton(T(cancel)), "CancelBtn");
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    OKBtnClick();
    done(mrOk);
  });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TTagDialog::Arrange(QLayout* body) {
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);
  layout->addLayout(body);
  layout->addLayout(buttons);
  // Fixed at the size the controls need.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TTagDialog::reject() {
  done(mrCancel);
}

void TTagDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

// ---- font tag dialog

TFontDlg::TFontDlg(QWidget* parent) : TTagDialog(parent) {
  setObjectName("FontDlg");
  setWindowTitle(T("フォントタグの設定"));

  Label1 = Named(new QLabel(T("設定する項目にチェックを入れてください。")), "Label1");
  ColorCheck = Named(new QCheckBox(T("カラー(&C)")), "ColorCheck");
  ColorCombo = EditableCombo("ColorCombo");
  ColorCombo->addItems({"aqua", "black", "blue", "fuchsia", "gray", "green", "lime", "maroon",
                        "navy", "olive", "purple", "red", "silver", "teal", "white", "yellow"});
  ColorCombo->setCurrentIndex(-1);
  ColorCombo->setEditText("white");
  ColorBtn = Named(new QPushButton(T("カラー(&D)...")), "ColorBtn");
  SizeCheck = Named(new QCheckBox(T("サイズ(&S)")), "SizeCheck");
  SizeCombo = Named(new QComboBox, "SizeCombo");
  SizeCombo->addItems({"1", "2", "3", "4", "5", "6", "7"});
  SizeCombo->setCurrentIndex(3);
  FontCheck = Named(new QCheckBox(T("フォント名(&F)")), "FontCheck");
  FontEdit = Edit("FontEdit");
  FontBtn = Named(new QPushButton(T("フォント(&F)...")), "FontBtn");
  CreateButtons("&OK", "キャンセル(&N)");

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0, 1, 3);
  grid->addWidget(ColorCheck, 1, 0);
  grid->addWidget(ColorCombo, 1, 1);
  grid->addWidget(ColorBtn, 1, 2);
  grid->addWidget(SizeCheck, 2, 0);
  grid->addWidget(SizeCombo, 2, 1, Qt::AlignLeft);
  grid->addWidget(FontCheck, 3, 0);
  grid->addWidget(FontEdit, 3, 1);
  grid->addWidget(FontBtn, 3, 2);
  Arrange(grid);

  for (QCheckBox* check : {ColorCheck, SizeCheck, FontCheck}) {
    check->setChecked(false);
    connect(check, &QCheckBox::toggled, this, [this] { CheckClick(); });
  }
  CheckClick();
  connect(ColorBtn, &QPushButton::clicked, this, [this] { ColorBtnClick(); });
  connect(FontBtn, &QPushButton::clicked, this, [this] { FontBtnClick(); });

  if (!FontDlg) FontDlg = this;
}

TFontDlg::~TFontDlg() {
  if (FontDlg == this) FontDlg = nullptr;
}

QString TFontDlg::ColorText(int red, int green, int blue) {
  return QString::asprintf("#%2.2x%2.2x%2.2x", red & 0xFF, green & 0xFF, blue & 0xFF);
}

void TFontDlg::CheckClick() {
  ColorCombo->setEnabled(ColorCheck->isChecked());
  ColorBtn->setEnabled(ColorCheck->isChecked());
  SizeCombo->setEnabled(SizeCheck->isChecked());
  FontEdit->setEnabled(FontCheck->isChecked());
  FontBtn->setEnabled(FontCheck->isChecked());
}

void TFontDlg::ColorBtnClick() {
  // The colour dialog opens on the colour in the box when it is one of ours.
  TColor color = clBlack;
  QString text = ColorCombo->currentText();
  bool ok = false;
  uint rgb = text.mid(1).toUInt(&ok, 16);
  if (text.size() == 7 && text.startsWith('#') && ok)
    color = RGB(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
  if (!Application || !Application->ColorDialog(color)) return;
  TColor chosen = ColorToRGB(color);
  ColorCombo->setEditText(ColorText(GetRValue(chosen), GetGValue(chosen), GetBValue(chosen)));
}

void TFontDlg::FontBtnClick() {
  TFontRequest font;
  font.Name = FontEdit->text();
  font.FaceOnly = true;  // the tag names a face; size and style have fields of their own
  if (!Application || !Application->FontDialog(font)) return;
  FontEdit->setText(font.Name);
}

// ---- link dialog

TLinkDlg::TLinkDlg(QWidget* parent) : TTagDialog(parent) {
  setObjectName("LinkDlg");
  setWindowTitle(T("リンクタグの設定"));

  UrlEdit = Edit("UrlEdit", "http:");
  UrlEdit->setMinimumWidth(260);
  Label1 = BuddyLabel("Label1", "&URL", UrlEdit);
  RadioGroup1 =
      Named(new TRadioGroup(T("リンクの種類(&L)"), {"http:", "mailto:", "ftp:"}, 3), "RadioGroup1");
  RadioGroup1->SetItemIndex(0);
  FavoriteBtn = Named(new QPushButton(T("お気に入り(&F)...")), "FavoriteBtn");
  CreateButtons("&OK", "キャンセル(&C)");

  auto* body = new QVBoxLayout;
  auto* urlRow = new QHBoxLayout;
  urlRow->addWidget(Label1);
  urlRow->addWidget(UrlEdit, 1);
  body->addLayout(urlRow);
  auto* kindRow = new QHBoxLayout;
  kindRow->addWidget(RadioGroup1, 1);
  kindRow->addWidget(FavoriteBtn, 0, Qt::AlignBottom);
  body->addLayout(kindRow);
  Arrange(body);

  for (int i = 0; i < RadioGroup1->Count(); ++i) {
    connect(RadioGroup1->Button(i), &QAbstractButton::toggled, this, [this, i](bool on) {
      if (on) RadioGroup1Click(i);
    });
  }
  connect(FavoriteBtn, &QPushButton::clicked, this, [this] { FavoriteBtnClick(); });

  if (!LinkDlg) LinkDlg = this;
}

TLinkDlg::~TLinkDlg() {
  if (LinkDlg == this) LinkDlg = nullptr;
}

void TLinkDlg::showEvent(QShowEvent* event) {
  // Typing replaces the proposal.
  UrlEdit->setFocus();
  UrlEdit->selectAll();
  TTagDialog::showEvent(event);
}

void TLinkDlg::RadioGroup1Click(int index) {
  UrlEdit->setText(RadioGroup1->Button(index)->text());
}

void TLinkDlg::FavoriteBtnClick() {
  if (!PickFavorite) return;
  std::string url = PickFavorite();
  if (!url.empty()) UrlEdit->setText(ToQString(url));
}

// ---- class history dialogs

TClassHistoryDialog::TClassHistoryDialog(QWidget* parent) : TTagDialog(parent) {
  GroupBox1 = Named(new QGroupBox(T("属性")), "GroupBox1");
  new QGridLayout(GroupBox1);
  ClassCombo = EditableCombo("ClassCombo");
  ClassLabel = BuddyLabel("ClassLabel", "クラス(c&lass)", ClassCombo);
  CreateButtons("&OK", "キャンセル(&C)");
  auto* body = new QVBoxLayout;
  body->addWidget(GroupBox1);
  Arrange(body);

  connect(ClassCombo->lineEdit(), &QLineEdit::textEdited, this, [this] { chosen_ = false; });
  connect(ClassCombo, &QComboBox::activated, this, [this] { chosen_ = true; });
  // The combo box would pick a list entry matching a typed text when editing ends, and a typed
  // name must count as typed: it moves that entry to the top.
  disconnect(ClassCombo->lineEdit(), &QLineEdit::editingFinished, ClassCombo, nullptr);
}

void TClassHistoryDialog::AddRow(QLabel* label, QWidget* field) {
  auto* grid = static_cast<QGridLayout*>(GroupBox1->layout());
  int row = grid->rowCount();
  if (grid->count() == 0) row = 0;
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1);
}

QWidget* TClassHistoryDialog::FirstControl() const {
  return ClassCombo;
}

QStringList TClassHistoryDialog::ClassList() const {
  QStringList items;
  for (int i = 0; i < ClassCombo->count(); ++i) items << ClassCombo->itemText(i);
  return items;
}

void TClassHistoryDialog::SetList(const QStringList& items) {
  QString text = ClassCombo->currentText();
  ClassCombo->clear();
  ClassCombo->addItems(items);
  ClassCombo->setCurrentIndex(-1);
  ClassCombo->setEditText(text);
  chosen_ = false;
}

void TClassHistoryDialog::AddToHistory() {
  QString text = ClassCombo->currentText();
  if (chosen_ || text.isEmpty()) return;
  QStringList items = ClassList();
  qsizetype at = -1;
  for (qsizetype i = 0; i < items.size() && at < 0; ++i)
    if (items[i].compare(text, Qt::CaseInsensitive) == 0) at = i;
  if (at < 0)
    items << text;
  else
    items.move(at, 0);
  SetList(items);
}

void TClassHistoryDialog::LoadHistory() {
  std::string path = HistoryPath();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SetList(ParseHistory(bytes));
}

void TClassHistoryDialog::SaveHistory() {
  std::string bytes;
  for (const QString& item : ClassList()) bytes += ToCp932(item) + "\r\n";
  std::string path = HistoryPath();
  std::string error;
  if (AtomicFile::Write(path, bytes, &error, ProgramFiles::kPrivateFileMode) || !Application)
    return;
  QString message = QFile::decodeName(path.c_str()) + T(" に書き込めません: ") +
                    QString::fromLocal8Bit(error.c_str());
  Application->ShowException(std::runtime_error(ToCp932(message)));
}

void TClassHistoryDialog::showEvent(QShowEvent* event) {
  LoadHistory();
  FirstControl()->setFocus();
  TTagDialog::showEvent(event);
}

void TClassHistoryDialog::OKBtnClick() {
  AddToHistory();
}

void TClassHistoryDialog::done(int result) {
  // Closed first: a write failure is reported over the main window, not this dialog.
  TTagDialog::done(result);
  SaveHistory();
}

TClassDLG::TClassDLG(QWidget* parent) : TClassHistoryDialog(parent) {
  setObjectName("ClassDLG");
  setWindowTitle(T("<>タグの挿入"));
  AddRow(ClassLabel, ClassCombo);
  if (!ClassDLG) ClassDLG = this;
}

TClassDLG::~TClassDLG() {
  if (ClassDLG == this) ClassDLG = nullptr;
}

TCiteDlg::TCiteDlg(QWidget* parent) : TClassHistoryDialog(parent) {
  setObjectName("CiteDlg");
  setWindowTitle(T("<>タグの保存"));
  CiteEdit = Edit("CiteEdit", "http://");
  CiteLabel = BuddyLabel("CiteLabel", "引用元(c&ite)", CiteEdit);
  AddRow(CiteLabel, CiteEdit);
  AddRow(ClassLabel, ClassCombo);
  setTabOrder(CiteEdit, ClassCombo);
  if (!CiteDlg) CiteDlg = this;
}

TCiteDlg::~TCiteDlg() {
  if (CiteDlg == this) CiteDlg = nullptr;
}

QWidget* TCiteDlg::FirstControl() const {
  return CiteEdit;
}

TDatetimeDlg::TDatetimeDlg(QWidget* parent) : TClassHistoryDialog(parent) {
  setObjectName("DatetimeDlg");
  setWindowTitle(T("<>タグの挿入"));
  CiteEdit = Edit("CiteEdit", "http://");
  CiteLabel = BuddyLabel("CiteLabel", "理由URL(c&ite)", CiteEdit);
  DatetimeEdit = Edit("DatetimeEdit");
  DatetimeLabel = BuddyLabel("DatetimeLabel", "日時(&datetime)", DatetimeEdit);
  AddRow(CiteLabel, CiteEdit);
  AddRow(DatetimeLabel, DatetimeEdit);
  AddRow(ClassLabel, ClassCombo);
  setTabOrder(CiteEdit, DatetimeEdit);
  setTabOrder(DatetimeEdit, ClassCombo);
  if (!DatetimeDlg) DatetimeDlg = this;
}

TDatetimeDlg::~TDatetimeDlg() {
  if (DatetimeDlg == this) DatetimeDlg = nullptr;
}

QString TDatetimeDlg::DatetimeText(const QDateTime& local) {
  return local.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + QStringLiteral("+9:00");
}

void TDatetimeDlg::showEvent(QShowEvent* event) {
  DatetimeEdit->setText(DatetimeText(QDateTime::currentDateTime()));
  TClassHistoryDialog::showEvent(event);
}

QWidget* TDatetimeDlg::FirstControl() const {
  return CiteEdit;
}

// ---- image dialog

const char* const TImgDlg::kFilter =
    "すべてのファイル (*.*)|*.*|画像ファイル (*.jpg; *.jpeg; *.png; *.gif)|*.jpg; *.jpeg; "
    "*.png; *.gif";

TImgDlg::TImgDlg(QWidget* parent) : TTagDialog(parent) {
  setObjectName("ImgDlg");
  setWindowTitle(T("<img>タグの挿入"));

  SrcEdit = Edit("SrcEdit");
  Label1 = BuddyLabel("Label1", "画像ファイル(&src)", SrcEdit);
  ImgFileButton = Named(new QPushButton(T("...")), "ImgFileButton");
  ImgFileButton->setFixedWidth(28);
  AltEdit = Edit("AltEdit");
  Label2 = BuddyLabel("Label2", "代替テキスト(&alt)", AltEdit);
  HeightEdit = Named(new QLineEdit, "HeightEdit");
  Label3 = BuddyLabel("Label3", "高さ(height)", HeightEdit);
  WidthEdit = Named(new QLineEdit, "WidthEdit");
  Label4 = BuddyLabel("Label4", "幅(&width)", WidthEdit);
  for (QLineEdit* size : {HeightEdit, WidthEdit}) {
    size->setFixedWidth(60);
    // Digits only: the field takes its characters from typed keys alone, not from an input
    // method.
    size->setAttribute(Qt::WA_InputMethodEnabled, false);
    size->installEventFilter(this);
  }
  CreateButtons("OK", "キャンセル");

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(SrcEdit, 0, 1, 1, 3);
  grid->addWidget(ImgFileButton, 0, 4);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(AltEdit, 1, 1, 1, 4);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(HeightEdit, 2, 1);
  grid->addWidget(Label4, 2, 2, Qt::AlignRight);
  grid->addWidget(WidthEdit, 2, 3, 1, 2, Qt::AlignLeft);
  Arrange(grid);

  connect(ImgFileButton, &QPushButton::clicked, this, [this] { ImgFileButtonClick(); });

  if (!ImgDlg) ImgDlg = this;
}

TImgDlg::~TImgDlg() {
  if (ImgDlg == this) ImgDlg = nullptr;
}

bool TImgDlg::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == HeightEdit || watched == WidthEdit) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      // Keys that type nothing: the dialog's own keys, focus moves and Delete.
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Delete:
        break;
      default:
        for (QChar ch : key->text())
          if (!(ch >= u'0' && ch <= u'9') && ch != u'\b') return true;
    }
  }
  return TTagDialog::eventFilter(watched, event);
}

void TImgDlg::ImgFileButtonClick() {
  TFileDialogRequest request;
  request.Filter = T(kFilter);
  request.FilterIndex = 2;
  if (!Application || !Application->FileDialog(request)) return;
  SrcEdit->setText(QFileInfo(request.FileName).fileName());
  SrcEdit->setFocus();
}

// ---- ruby dialog

TRubyDlg::TRubyDlg(QWidget* parent) : TTagDialog(parent) {
  setObjectName("RubyDlg");
  setWindowTitle(T("<ruby>タグの挿入"));

  FrontEdit = Edit("FrontEdit", "（");
  Label1 = BuddyLabel("Label1", "前かっこ(&F)", FrontEdit);
  RubyEdit = Edit("RubyEdit");
  Label2 = BuddyLabel("Label2", "ルビ(&R)", RubyEdit);
  BackEdit = Edit("BackEdit", "）");
  Label3 = BuddyLabel("Label3", "後ろかっこ(&B)", BackEdit);
  CreateButtons("OK", "キャンセル");

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(FrontEdit, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(RubyEdit, 1, 1);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(BackEdit, 2, 1);
  Arrange(grid);

  if (!RubyDlg) RubyDlg = this;
}

TRubyDlg::~TRubyDlg() {
  if (RubyDlg == this) RubyDlg = nullptr;
}

void TRubyDlg::showEvent(QShowEvent* event) {
  RubyEdit->setFocus();
  TTagDialog::showEvent(event);
}
