// What the main window needs from its editor (FenEdit1): the whole text in and out, files,
// undo state, the caret and the focus. The window's page code talks only to this, so the
// control behind it can change without touching the page logic.
#pragma once
#include <QMenu>
#include <QPlainTextEdit>
#include <functional>
#include <string>

// Stand-in for the editor control until it can be hosted in a window: a plain text edit that
// keeps the text as code page 932 with CR LF line breaks at its interface.
class TPlaceholderEditor : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TPlaceholderEditor(QWidget* parent = nullptr);
};

class TEditorPane {
 public:
  explicit TEditorPane(QWidget* parent);
  TEditorPane(const TEditorPane&) = delete;
  TEditorPane& operator=(const TEditorPane&) = delete;

  // The widget to place in the window (and the one that takes the focus).
  QWidget* Widget() const;

  // Text in code page 932, lines separated by CR LF.
  std::string GetText() const;
  // Replaces the text; undo and redo are emptied.
  void SetText(const std::string& text);
  // Drops undo and redo; the text counts as not modified.
  void ClearUndo();
  // False when the file could not be read; the text is then left empty.
  bool LoadFromFile(const std::string& path);
  // False when the file could not be written.
  bool SaveToFile(const std::string& path) const;

  bool TextIsEmpty() const;
  void SelectAll();
  // The selected text is not empty.
  bool HasSelection() const;
  bool Modified() const;
  bool CanRedo() const;
  // The caret as the control holds it: display row and byte offset in that row, from 0.
  int CaretRow() const;
  int CaretByte() const;
  void SetFocus();
  bool HasFocus() const;
  // The editor's context menu (the window keeps ownership).
  void SetPopupMenu(QMenu* menu);

  // Events of the control, raised only when set.
  std::function<void(bool modified)> OnChangeModify;
  std::function<void(bool redoEnable)> OnChangeRedoMode;
  std::function<void()> OnMoveCaret;

 private:
  TPlaceholderEditor* edit_;
};
