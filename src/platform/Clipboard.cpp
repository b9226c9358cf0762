#include "platform/Clipboard.h"

bool MemoryClipboard::SetText(std::string_view cp932) {
  if (failing_) return false;
  text_.assign(cp932);
  ++setCount_;
  return true;
}

namespace {
MemoryClipboard& BuiltIn() {
  static MemoryClipboard clipboard;
  return clipboard;
}
MemoryClipboard& BuiltInPrimary() {
  static MemoryClipboard primary;
  return primary;
}
Clipboard* current = nullptr;
Clipboard* currentPrimary = nullptr;
}  // namespace

Clipboard& CurrentClipboard() {
  return current ? *current : BuiltIn();
}

Clipboard* SetCurrentClipboard(Clipboard* clipboard) {
  Clipboard* previous = &CurrentClipboard();
  current = clipboard;
  return previous;
}

Clipboard& CurrentPrimary() {
  return currentPrimary ? *currentPrimary : BuiltInPrimary();
}

Clipboard* SetCurrentPrimary(Clipboard* primary) {
  Clipboard* previous = &CurrentPrimary();
  currentPrimary = primary;
  return previous;
}
