#include "EditorPane.h"

#include <QTextBlock>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "UiText.h"

namespace {
// CR LF, CR and LF all end a line inside the program's text; the widget wants LF.
QString ToWidgetText(const std::string& cp932) {
  QString text = ToQString(cp932);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace('\r', '\n');
  return text;
}
}  // namespace

TPlaceholderEditor::TPlaceholderEditor(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("FenEdit1");
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(false);
}

TEditorPane::TEditorPane(QWidget* parent) : edit_(new TPlaceholderEditor(parent)) {
  QObject::connect(edit_->document(), &QTextDocument::modificationChanged, edit_,
                   [this](bool modified) {
                     if (OnChangeModify) OnChangeModify(modified);
                   });
  QObject::connect(edit_, &QPlainTextEdit::redoAvailable, edit_, [this](bool available) {
    if (OnChangeRedoMode) OnChangeRedoMode(available);
  });
  QObject::connect(edit_, &QPlainTextEdit::cursorPositionChanged, edit_, [this] {
    if (OnMoveCaret) OnMoveCaret();
  });
}

QWidget* TEditorPane::Widget() const {
  return edit_;
}

std::string TEditorPane::GetText() const {
  QString text = edit_->toPlainText();
  text.replace('\n', QStringLiteral("\r\n"));
  return ToCp932(text);
}

void TEditorPane::SetText(const std::string& text) {
  edit_->setPlainText(ToWidgetText(text));
  ClearUndo();
}

void TEditorPane::ClearUndo() {
  edit_->document()->clearUndoRedoStacks();
  edit_->document()->setModified(false);
  if (OnChangeModify) OnChangeModify(false);
  if (OnChangeRedoMode) OnChangeRedoMode(false);
}

bool TEditorPane::LoadFromFile(const std::string& path) {
  std::error_code ec;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    SetText({});
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    SetText({});
    return false;
  }
  if (auto nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
  SetText(bytes);
  return true;
}

bool TEditorPane::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string text = GetText();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

bool TEditorPane::TextIsEmpty() const {
  return edit_->document()->isEmpty();
}

void TEditorPane::SelectAll() { edit_->selectAll(); }

bool TEditorPane::HasSelection() const {
  return edit_->textCursor().hasSelection();
}

bool TEditorPane::Modified() const {
  return edit_->document()->isModified();
}

bool TEditorPane::CanRedo() const {
  return edit_->document()->isRedoAvailable();
}

int TEditorPane::CaretRow() const {
  return edit_->textCursor().blockNumber();
}

int TEditorPane::CaretByte() const {
  QTextCursor c = edit_->textCursor();
  QString before = c.block().text().left(c.positionInBlock());
  return static_cast<int>(ToCp932(before).size());
}

void TEditorPane::SetFocus() {
  edit_->setFocus(Qt::OtherFocusReason);
}

bool TEditorPane::HasFocus() const {
  return edit_->hasFocus();
}

void TEditorPane::SetPopupMenu(QMenu* menu) {
  edit_->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(edit_, &QWidget::customContextMenuRequested, menu,
                   [this, menu](QPoint pos) { menu->popup(edit_->mapToGlobal(pos)); });
}
