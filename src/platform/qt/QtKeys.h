// Qt key events in the terms of window messages: virtual-key codes and typed bytes.
#pragma once
#include <QKeyEvent>
#include <string>

// The virtual-key code of a Qt key (punctuation as on a Japanese keyboard); 0 when none.
unsigned VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// Whether the key goes as WM_SYSKEYDOWN / WM_SYSCHAR: Alt held without Ctrl (AltGr is
// Ctrl+Alt), or F10.
bool IsSystemKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The bytes a key press types, in code page 932: one byte for what a WM_CHAR carries
// (control characters included, Delete excluded), two for a double-byte character, empty
// when the key types nothing.
std::string TypedBytesFromQt(const QKeyEvent& event);

// lParam of WM_KEYDOWN / WM_KEYUP: repeat count 1, bit 30 when the key was down already,
// bits 30 and 31 for a release.
long KeyMessageLParam(const QKeyEvent& event, bool release);
