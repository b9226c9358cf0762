#include "SaveFormatDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogFrame.h"

using TextEncoding::TEncoding;
using TextEncoding::TLineEnd;

namespace {

bool Select(QComboBox* box, int value) {
  int i = box->findData(value);
  if (i < 0) return false;
  box->setCurrentIndex(i);
  return true;
}

}  // namespace

TSaveFormatDlg::TSaveFormatDlg(const TextEncoding::TFileFormat& current, QWidget* parent)
    : QDialog(parent) {
  setObjectName("SaveFormatDlg");
  setWindowTitle(QString::fromUtf8("保存の形式"));
  setFont(FormFont());

  EncodingBox = new QComboBox(this);
  EncodingBox->setObjectName("EncodingBox");
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp})
    EncodingBox->addItem(QString::fromUtf8(TextEncoding::DisplayName(e)), static_cast<int>(e));
  if (EncodingBox->findData(static_cast<int>(current.Encoding)) < 0)
    EncodingBox->addItem(QString::fromUtf8(TextEncoding::DisplayName(current.Encoding)),
                         static_cast<int>(current.Encoding));

  LineEndBox = new QComboBox(this);
  LineEndBox->setObjectName("LineEndBox");
  LineEndBox->addItem(QString::fromUtf8("CR LF (Windows)"), static_cast<int>(TLineEnd::CrLf));
  LineEndBox->addItem(QString::fromUtf8("LF (Linux)"), static_cast<int>(TLineEnd::Lf));
  if (current.LineEnd == TLineEnd::Cr)
    LineEndBox->addItem(QString::fromUtf8("CR"), static_cast<int>(TLineEnd::Cr));
  SetFormat(current);

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8("文字コード(&E):"), EncodingBox);
  form->addRow(QString::fromUtf8("改行コード(&L):"), LineEndBox);

  MakeOkCancel(this, QString::fromUtf8("OK"), QString::fromUtf8("キャンセル"), OKBtn, CancelBtn);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

TextEncoding::TFileFormat TSaveFormatDlg::Format() const {
  return {static_cast<TEncoding>(EncodingBox->currentData().toInt()),
          static_cast<TLineEnd>(LineEndBox->currentData().toInt())};
}

bool TSaveFormatDlg::SetFormat(const TextEncoding::TFileFormat& format) {
  bool encoding = Select(EncodingBox, static_cast<int>(format.Encoding));
  bool lineEnd = Select(LineEndBox, static_cast<int>(format.LineEnd));
  return encoding && lineEnd;
}
