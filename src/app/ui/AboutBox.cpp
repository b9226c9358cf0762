#include "AboutBox.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "Application.h"
#include "DialogFrame.h"

TAboutBox* AboutBox = nullptr;

namespace {
QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  return label;
}
}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutBox");
  setWindowTitle(T("バージョン情報"));
  setFont(FormFont());
  setFixedSize(273, 137);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setGeometry(8, 8, 257, 89);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setObjectName("ProgramIcon");
  ProgramIcon->setGeometry(8, 8, 32, 32);
  ProgramIcon->setPixmap(QIcon(":/icons/piyonote2.png").pixmap(32, 32));

  ProductName = Label(Panel1, "ProductName", T("ぴよのーと"), QRect(52, 10, 196, 16));
  Version = Label(Panel1, "Version", T("Version 2.04"), QRect(52, 28, 196, 16));
  Copyright = Label(Panel1, "Copyright", T("Linux 版 ぴよのーと２（Qt 6）"), QRect(8, 50, 241, 16));
  Comments =
      Label(Panel1, "Comments", T("Shift-JIS のテキストを書くエディタです"), QRect(8, 68, 241, 16));

  OKButton = new QPushButton(T("OK"), this);
  OKButton->setObjectName("OKButton");
  OKButton->setGeometry(99, 104, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, [this] { done(mrOk); });

  if (!AboutBox) AboutBox = this;
}

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

void TAboutBox::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}
