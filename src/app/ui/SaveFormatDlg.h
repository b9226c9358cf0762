// The encoding and line ends a page is saved with, asked after the Save As file dialog.
#pragma once
#include <QDialog>

#include "platform/TextEncoding.h"

class QComboBox;
class QPushButton;

class TSaveFormatDlg : public QDialog {
  Q_OBJECT

 public:
  // Preset to `current`; an encoding or line end that is not among the usual choices (a
  // UTF-16 or ISO-2022-JP file, CR line ends) is offered too, so that it can be kept.
  explicit TSaveFormatDlg(const TextEncoding::TFileFormat& current, QWidget* parent = nullptr);

  TextEncoding::TFileFormat Format() const;
  // Picks the entries of `format`; false when one is not offered.
  bool SetFormat(const TextEncoding::TFileFormat& format);

  QComboBox* EncodingBox = nullptr;
  QComboBox* LineEndBox = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
};
