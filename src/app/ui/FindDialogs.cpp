// TFindDialog, TReplaceDialog: the search dialogs, laid out as the desktop's usual ones.
#include "FindDialogs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QLineEdit* NewEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMinimumWidth(220);
  return edit;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(T(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

// Modeless beside its owner, above it but not blocking it.
void SetUpWindow(QDialog* d, const char* name, const char* caption) {
  d->setObjectName(QString::fromLatin1(name));
  d->setWindowTitle(T(caption));
  d->setModal(false);
  d->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  d->setSizeGripEnabled(false);
}

void Show(QDialog* d, QLineEdit* edit) {
  d->show();
  d->raise();
  d->activateWindow();
  edit->setFocus();
  edit->selectAll();
}

}  // namespace

// ---- find -----------------------------------------------------------------------------------

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
  SetUpWindow(this, "FindDialog1", "検索");
  FindEdit = NewEdit(this, "FindEdit");
  auto* label = new QLabel(T("検索する文字列(&N):"), this);
  label->setBuddy(FindEdit);
  auto* direction = new QGroupBox(T("検索する方向"), this);
  UpRadio = new QRadioButton(T("上へ(&U)"), direction);
  DownRadio = new QRadioButton(T("下へ(&D)"), direction);
  DownRadio->setChecked(true);
  auto* dirLayout = new QHBoxLayout(direction);
  dirLayout->addWidget(UpRadio);
  dirLayout->addWidget(DownRadio);
  FindNextButton = NewButton(this, "FindNextButton", "次を検索(&F)");
  FindNextButton->setDefault(true);
  CancelButton = NewButton(this, "CancelButton", "キャンセル");

  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(FindEdit, 0, 1);
  grid->addWidget(direction, 1, 1, Qt::AlignRight);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(FindNextButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 2, 1);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(FindNextButton, &QPushButton::clicked, this, [this] {
    if (OnFind && !FindText().isEmpty()) OnFind();
  });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
  UpdateButtons();
}

QString TFindDialog::FindText() const {
  return FindEdit->text();
}
void TFindDialog::SetFindText(const QString& text) {
  FindEdit->setText(text);
}
bool TFindDialog::Down() const {
  return !UpRadio->isChecked();
}

void TFindDialog::SetDown(bool down) {
  (down ? DownRadio : UpRadio)->setChecked(true);
}

void TFindDialog::Execute() {
  Show(this, FindEdit);
}

// Nothing to search for: the button waits for a text.
void TFindDialog::UpdateButtons() {
  FindNextButton->setEnabled(!FindText().isEmpty());
}

// ---- replace --------------------------------------------------------------------------------

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
  SetUpWindow(this, "ReplaceDialog1", "置換");
  FindEdit = NewEdit(this, "FindEdit");
  ReplaceEdit = NewEdit(this, "ReplaceEdit");
  auto* findLabel = new QLabel(T("検索する文字列(&N):"), this);
  findLabel->setBuddy(FindEdit);
  auto* replaceLabel = new QLabel(T("置換後の文字列(&P):"), this);
  replaceLabel->setBuddy(ReplaceEdit);
  FindNextButton = NewButton(this, "FindNextButton", "次を検索(&F)");
  FindNextButton->setDefault(true);
  ReplaceButton = NewButton(this, "ReplaceButton", "置換して次に(&R)");
  ReplaceAllButton = NewButton(this, "ReplaceAllButton", "すべて置換(&A)");
  CancelButton = NewButton(this, "CancelButton", "キャンセル");

  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(FindEdit, 0, 1);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(ReplaceEdit, 1, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(FindNextButton);
  buttons->addWidget(ReplaceButton);
  buttons->addWidget(ReplaceAllButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 3, 1);
  grid->setRowStretch(2, 1);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(FindNextButton, &QPushButton::clicked, this, [this] {
    if (OnFind && !FindText().isEmpty()) OnFind();
  });
  connect(ReplaceButton, &QPushButton::clicked, this, [this] {
    if (OnReplace && !FindText().isEmpty()) OnReplace(false);
  });
  connect(ReplaceAllButton, &QPushButton::clicked, this, [this] {
    if (OnReplace && !FindText().isEmpty()) OnReplace(true);
  });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
  UpdateButtons();
}

QString TReplaceDialog::FindText() const {
  return FindEdit->text();
}
void TReplaceDialog::SetFindText(const QString& text) {
  FindEdit->setText(text);
}
QString TReplaceDialog::ReplaceText() const {
  return ReplaceEdit->text();
}
void TReplaceDialog::SetReplaceText(const QString& text) {
  ReplaceEdit->setText(text);
}
void TReplaceDialog::Execute() {
  Show(this, FindEdit);
}

void TReplaceDialog::UpdateButtons() {
  bool any = !FindText().isEmpty();
  FindNextButton->setEnabled(any);
  ReplaceButton->setEnabled(any);
  ReplaceAllButton->setEnabled(any);
}
