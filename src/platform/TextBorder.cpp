#include "platform/TextBorder.h"

namespace {
CodePage::TUnmapped editorUnmapped = CodePage::TUnmapped::CharRef;
TextBorder::TReporter& Reporter() {
  static TextBorder::TReporter reporter;
  return reporter;
}
}  // namespace

namespace TextBorder {

CodePage::TUnmapped EditorUnmapped() {
  return editorUnmapped;
}

void SetEditorUnmapped(CodePage::TUnmapped as) {
  // URLs are not typed into the editor: percent-encoding is no choice here.
  editorUnmapped = as == CodePage::TUnmapped::Question ? as : CodePage::TUnmapped::CharRef;
}

TReporter SetReporter(TReporter reporter) {
  TReporter previous = std::move(Reporter());
  Reporter() = std::move(reporter);
  return previous;
}

std::string ForEditor(std::u16string_view utf16) {
  CodePage::TConversion c = CodePage::ConvertUtf16(utf16, editorUnmapped);
  if (!c.Lossless() && Reporter()) Reporter()(c);
  return std::move(c.Text);
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string ToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace TextBorder
