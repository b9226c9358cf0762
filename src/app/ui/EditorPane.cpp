#include "EditorPane.h"

#include <QMenu>
#include <cstdlib>

#include "FenEdit/FenEdit.h"
#include "platform/qt/QtWindowHost.h"

namespace {
// The window's context menu as the control's popup menu.
class TQtPopupMenu : public TPopupMenu {
 public:
  explicit TQtPopupMenu(QMenu* menu) : menu_(menu) {}
  void Popup(int screenX, int screenY) override {
    if (menu_) menu_->exec(QPoint(screenX, screenY));
  }

 private:
  QPointer<QMenu> menu_;
};
}  // namespace

TEditorPane::TEditorPane(QWidget* parent)
    : host_(new QtWindowHost(parent)), control_(std::make_unique<TFenEdit>()) {
  host_->setObjectName("FenEdit1");
  host_->Attach(control_.get());
  control_->OnChangeModify = [this](TObject*, bool modified) {
    if (OnChangeModify) OnChangeModify(modified);
  };
  control_->OnChangeRedoMode = [this](TObject*, bool redo) {
    if (OnChangeRedoMode) OnChangeRedoMode(redo);
  };
  control_->OnMoveCaret = [this](TObject*) {
    if (OnMoveCaret) OnMoveCaret();
  };
  control_->CreateHandle();
}

TEditorPane::~TEditorPane() {
  control_->PopupMenu = nullptr;
  control_.reset();
}

QWidget* TEditorPane::Widget() const {
  return host_;
}

std::string TEditorPane::GetText() const {
  return control_->GetText();
}

void TEditorPane::SetText(const std::string& text) {
  control_->SetText(text);
}

void TEditorPane::ClearUndo() {
  control_->ClearUndo();
}

bool TEditorPane::LoadFromFile(const std::string& path) {
  return control_->LoadFromFile(path);
}

bool TEditorPane::SaveToFile(const std::string& path) const {
  return control_->SaveToFile(path);
}

bool TEditorPane::TextIsEmpty() const {
  // Read from the store: the idle step asks this often and must not copy the text.
  const TFenStrings& store = control_->GetStore();
  return store.Count() == 1 && !store[0].empty() && store[0][0] == '\0';
}

void TEditorPane::SelectAll() {
  control_->SelectAll();
}

bool TEditorPane::HasSelection() const {
  if (!control_->IsSelected()) return false;
  // Asked in every idle step: rows lying wholly between the ends hold text, so only a
  // selection within two rows is copied to see whether it is empty.
  TRowPos a = control_->Anchor(), b = control_->SelEnd();
  if (std::abs(a.Row - b.Row) >= 2) return true;
  return !control_->GetSelText().empty();
}

bool TEditorPane::Modified() const {
  return control_->Modified();
}

bool TEditorPane::CanRedo() const {
  return control_->CanRedo();
}

int TEditorPane::CaretRow() const {
  return control_->CaretRow();
}

int TEditorPane::CaretByte() const {
  return control_->CaretByte();
}

void TEditorPane::SetFocus() {
  control_->SetFocus();
}

bool TEditorPane::HasFocus() const {
  return control_->Focused();
}

void TEditorPane::SetPopupMenu(QMenu* menu) {
  popup_ = std::make_unique<TQtPopupMenu>(menu);
  control_->PopupMenu = popup_.get();
}
