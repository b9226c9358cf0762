// Code page 932 bytes (the program's own text) to and from QString, for the windows.
#pragma once
#include <QString>
#include <string>

#include "platform/CodePage.h"
#include "platform/qt/QtText.h"

inline QString ToQString(const std::string& cp932) {
  std::u16string u = CodePage::ToUtf16(cp932);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

inline std::string ToCp932(const QString& text) {
  return CodePage::FromUtf16(Utf16View(text));
}
