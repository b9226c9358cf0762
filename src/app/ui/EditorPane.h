// What the main window's page code needs from its editor (FenEdit1): the whole text in and
// out, files, undo state, the caret and the focus. The editor is the program's own control
// hosted in a Qt window; everything else about it is reached through Control().
#pragma once
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

class QMenu;
class QWidget;
class QtWindowHost;
class TFenDocument;
class TFenEdit;
class TPopupMenu;

class TEditorPane {
 public:
  explicit TEditorPane(QWidget* parent);
  // The control goes before its window.
  ~TEditorPane();
  TEditorPane(const TEditorPane&) = delete;
  TEditorPane& operator=(const TEditorPane&) = delete;

  TFenEdit& Control() const { return *control_; }
  // The widget to place in the window (and the one that takes the focus).
  QWidget* Widget() const;

  // Text in code page 932, lines separated by CR LF.
  std::string GetText() const;
  // Replaces the text; undo and redo are emptied.
  void SetText(const std::string& text);
  // The whole text moves out in its rows, leaving the editor empty; putting it back shows
  // it as SetText would, without cutting it into rows again unless the layout changed.
  TFenDocument TakeDocument();
  void PutDocument(TFenDocument&& document);
  bool NeedsLayout(const TFenDocument& document) const;
  // Drops undo and redo; the text counts as not modified.
  void ClearUndo();
  // False when the file could not be read.
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
  QPointer<QtWindowHost> host_;
  std::unique_ptr<TFenEdit> control_;
  std::unique_ptr<TPopupMenu> popup_;
};
