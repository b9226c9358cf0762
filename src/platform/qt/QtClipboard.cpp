#include "platform/qt/QtClipboard.h"

#include <QGuiApplication>
#include <QMimeData>

#include "platform/CodePage.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtText.h"

const char* const QtClipboard::kRawFormat = "application/x-piyonote-cp932";

namespace {
// Without a GUI application there is no clipboard to talk to.
QClipboard* Board(QClipboard::Mode mode) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
  QClipboard* board = QGuiApplication::clipboard();
  if (mode == QClipboard::Selection && !board->supportsSelection()) return nullptr;
  return board;
}
}  // namespace

bool QtClipboard::HasText() {
  QClipboard* board = Board(mode_);
  if (board == nullptr) return false;
  const QMimeData* data = board->mimeData(mode_);
  if (data == nullptr) return false;
  if (data->hasFormat(QString::fromLatin1(kRawFormat)))
    return !data->data(QString::fromLatin1(kRawFormat)).isEmpty();
  return data->hasText() && !data->text().isEmpty();
}

std::string QtClipboard::GetText() {
  QClipboard* board = Board(mode_);
  if (board == nullptr) return {};
  const QMimeData* data = board->mimeData(mode_);
  if (data == nullptr) return {};
  if (data->hasFormat(QString::fromLatin1(kRawFormat))) {
    QByteArray raw = data->data(QString::fromLatin1(kRawFormat));
    return std::string(raw.constData(), static_cast<size_t>(raw.size()));
  }
  QString text = data->text();
  return TextBorder::ToCrLf(TextBorder::ForEditor(Utf16View(text)));
}

bool QtClipboard::SetText(std::string_view cp932) {
  QClipboard* board = Board(mode_);
  if (board == nullptr) return false;
  std::u16string u = CodePage::ToUtf16(TextBorder::ToLf(cp932));
  auto* data = new QMimeData;
  data->setText(
      QString(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size())));
  data->setData(QString::fromLatin1(kRawFormat),
                QByteArray(cp932.data(), static_cast<qsizetype>(cp932.size())));
  board->setMimeData(data, mode_);
  return true;
}
