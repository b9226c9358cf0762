// The system clipboard (or the PRIMARY selection) through QClipboard. Desktop text is UTF-8
// with LF line ends; beside it goes the code page 932 text as it was, so that what this
// program copies pastes back byte for byte.
#pragma once
#include <QClipboard>

#include "platform/Clipboard.h"

class QtClipboard : public Clipboard {
 public:
  explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}
  bool HasText() override;
  std::string GetText() override;
  bool SetText(std::string_view cp932) override;

  static const char* const kRawFormat;

 private:
  QClipboard::Mode mode_;
};
