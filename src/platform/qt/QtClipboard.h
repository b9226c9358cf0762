// The system clipboard through QClipboard, converting between code page 932 and UTF-16.
#pragma once
#include "platform/Clipboard.h"

class QtClipboard : public Clipboard {
 public:
  bool HasText() override;
  std::string GetText() override;
  bool SetText(std::string_view cp932) override;
};
