// A QString's characters as the UTF-16 view the code-page layer takes, without a copy.
#pragma once
#include <QString>
#include <string_view>

// Valid while `text` lives and is not changed.
inline std::u16string_view Utf16View(const QString& text) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                             static_cast<size_t>(text.size()));
}
