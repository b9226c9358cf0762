#include "EditorPane.h"

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <cstdlib>

#include "FenEdit/FenEdit.h"
#include "platform/TextBorder.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtText.h"
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

// Text dragged in from another program goes in where it is dropped, converted as pasted text
// is. Files (URL lists) are left to the window.
class TTextDropFilter : public QObject {
 public:
  TTextDropFilter(QObject* parent, TFenEdit* control) : QObject(parent), control_(control) {}

  static bool Takes(const QMimeData* data) {
    return data != nullptr && !data->hasUrls() &&
           (data->hasText() || data->hasFormat(QString::fromLatin1(QtClipboard::kRawFormat)));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!Takes(e->mimeData()) || control_->ReadOnly) return false;
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
      }
      case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!Takes(e->mimeData()) || control_->ReadOnly) return false;
        const QPoint at = e->position().toPoint();
        control_->InsertAtPoint(at.x(), at.y(), DroppedText(*e->mimeData()));
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }

  static std::string DroppedText(const QMimeData& data) {
    const QString raw = QString::fromLatin1(QtClipboard::kRawFormat);
    if (data.hasFormat(raw)) {
      QByteArray bytes = data.data(raw);
      return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
    }
    const QString text = data.text();
    return TextBorder::ToCrLf(TextBorder::ForEditor(Utf16View(text)));
  }

 private:
  TFenEdit* control_;
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
  host_->viewport()->setAcceptDrops(true);
  auto* drops = new TTextDropFilter(host_, control_.get());
  drops->setObjectName(QStringLiteral("TextDropFilter"));
  host_->viewport()->installEventFilter(drops);
}

TEditorPane::~TEditorPane() {
  control_->PopupMenu = nullptr;
  if (host_)
    delete host_->findChild<QObject*>(QStringLiteral("TextDropFilter"), Qt::FindDirectChildrenOnly);
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

TFenDocument TEditorPane::TakeDocument() {
  return control_->TakeDocument();
}

void TEditorPane::PutDocument(TFenDocument&& document) {
  control_->PutDocument(std::move(document));
}

bool TEditorPane::NeedsLayout(const TFenDocument& document) const {
  return control_->NeedsLayout(document);
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
