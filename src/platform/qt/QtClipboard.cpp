#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/CodePage.h"

namespace {
// Without a GUI application there is no clipboard to talk to.
QClipboard* Board() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}
}  // namespace

bool QtClipboard::HasText() {
  QClipboard* board = Board();
  if (board == nullptr) return false;
  const QMimeData* data = board->mimeData();
  return data != nullptr && data->hasText() && !data->text().isEmpty();
}

std::string QtClipboard::GetText() {
  QClipboard* board = Board();
  if (board == nullptr) return {};
  QString text = board->text();
  return CodePage::FromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

bool QtClipboard::SetText(std::string_view cp932) {
  QClipboard* board = Board();
  if (board == nullptr) return false;
  std::u16string u = CodePage::ToUtf16(cp932);
  QString text(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
  board->setText(text);
  return true;
}
