// Text entering the program from the desktop (clipboard, PRIMARY selection, input method,
// dropped text) becomes code page 932 here, in one way: characters code page 932 cannot
// hold are written as the user chose (HTML character references by default, or "?") and
// reported, and desktop line ends become the editor's CR LF.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace TextBorder {

// How characters outside code page 932 enter the editor: CharRef (default) or Question.
CodePage::TUnmapped EditorUnmapped();
void SetEditorUnmapped(CodePage::TUnmapped as);

// Told about every conversion for the editor that had to change characters.
using TReporter = std::function<void(const CodePage::TConversion&)>;
// Installs the reporter and returns the one it replaces (an empty one reports nothing).
TReporter SetReporter(TReporter reporter);

// Desktop text for the editor, converted and reported as above.
std::string ForEditor(std::u16string_view utf16);

// LF and lone CR become CR LF (text read from the desktop).
std::string ToCrLf(std::string_view text);
// CR LF and lone CR become LF (text written to the desktop).
std::string ToLf(std::string_view text);

}  // namespace TextBorder
