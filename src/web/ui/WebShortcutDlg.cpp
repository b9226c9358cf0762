#include "WebShortcutDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/ui/Application.h"
#include "app/ui/DialogFrame.h"
#include "app/ui/FieldText.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "web/WebShortcuts.h"

TWebShortcutDlg* WebShortcutDlg = nullptr;

namespace {

QString T(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The original text of a line without "=", on its row's name cell until the row is edited.
constexpr int kRawLineRole = Qt::UserRole + 1;

// A file line holds no line break: one typed or pasted into a cell is dropped.
QString OneLine(QString text) {
  text.remove('\r');
  text.remove('\n');
  text.remove(QChar(0));
  return text;
}

// Cell editing: names never take "=", since it would end the name within the line.
class TCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) return QStyledItemDelegate::setModelData(editor, model, index);
    QString text = OneLine(edit->text());
    QString old = index.data(Qt::EditRole).toString();
    if (index.column() == 0 && text.contains('=')) {
      // Back to the old name first: the box takes the focus, which commits the editor again.
      edit->setText(old);
      if (Application)
        Application->MessageDlg(TValueListEditor::EqualsInNameMessage(), TMsgDlgType::mtError,
                                mbOK);
      return;
    }
    if (text == old) return;
    model->setData(index, text, Qt::EditRole);
    model->setData(index.siblingAtColumn(0), QVariant(), kRawLineRole);
  }
};

}  // namespace

// ---- grid

TValueListEditor::TValueListEditor(QWidget* parent) : QTableWidget(1, 2, parent) {
  setHorizontalHeaderLabels({T("登録名"), T("URL")});
  verticalHeader()->hide();
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  setColumnWidth(0, 150);
  setColumnWidth(1, 349);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setItemDelegate(new TCellDelegate(this));
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  connect(this, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int previousRow, int) { CurrentCellChanged(row, previousRow); });
  setCurrentCell(0, 0);
}

QString TValueListEditor::EqualsInNameMessage() {
  return T("キーは等号記号（“=”）を含めません。");
}

void TValueListEditor::SetLines(const std::vector<std::string>& lines) {
  filling_ = true;
  clearContents();
  setRowCount(std::max<int>(1, static_cast<int>(lines.size())));
  for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
    const std::string& line = lines[static_cast<size_t>(row)];
    auto* name = new QTableWidgetItem(ToQString(std::string(WebShortcuts::Name(line))));
    // A line without "=" shows as a URL without a name.
    bool plain = line.find('=') == std::string::npos;
    auto* url =
        new QTableWidgetItem(ToQString(plain ? line : std::string(WebShortcuts::Url(line))));
    if (plain) name->setData(kRawLineRole, QByteArray::fromStdString(line));
    setItem(row, 0, name);
    setItem(row, 1, url);
  }
  setCurrentCell(0, 0);
  filling_ = false;
}

std::vector<std::string> TValueListEditor::Lines() const {
  std::vector<std::string> lines;
  for (int row = 0; row < rowCount(); ++row) {
    if (RowEmpty(row)) continue;
    QTableWidgetItem* first = item(row, 0);
    QVariant raw = first ? first->data(kRawLineRole) : QVariant();
    if (raw.isValid())
      lines.push_back(raw.toByteArray().toStdString());
    else
      lines.push_back(WebShortcuts::Line(ToCp932(Name(row)), UrlCp932(Url(row))));
  }
  return lines;
}

bool TValueListEditor::NamesFit() const {
  for (int row = 0; row < rowCount(); ++row) {
    QTableWidgetItem* first = item(row, 0);
    if (RowEmpty(row) || (first && first->data(kRawLineRole).isValid())) continue;
    if (!FieldCp932(Name(row), QString::fromUtf8("ショートカット名"))) return false;
  }
  return true;
}

QString TValueListEditor::Name(int row) const {
  QTableWidgetItem* cell = item(row, 0);
  return cell ? cell->text() : QString();
}

QString TValueListEditor::Url(int row) const {
  QTableWidgetItem* cell = item(row, 1);
  return cell ? cell->text() : QString();
}

bool TValueListEditor::RowEmpty(int row) const {
  return Name(row).isEmpty() && Url(row).isEmpty();
}

void TValueListEditor::AddRow(int row) {
  insertRow(row);
  setCurrentCell(row, 0);
}

void TValueListEditor::CurrentCellChanged(int row, int previousRow) {
  if (filling_ || previousRow < 0 || previousRow == row || previousRow >= rowCount()) return;
  if (rowCount() > 1 && RowEmpty(previousRow)) removeRow(previousRow);
}

void TValueListEditor::CommitEditor() {
  if (state() != QAbstractItemView::EditingState) return;
  // The open editor is the one not hidden; closed ones wait hidden for their deletion.
  for (auto* editor : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
    if (editor->isHidden()) continue;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return;
  }
}

void TValueListEditor::keyPressEvent(QKeyEvent* event) {
  Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  int row = currentRow();
  int column = std::max(currentColumn(), 0);
  if (mods == Qt::ControlModifier) {
    switch (event->key()) {
      case Qt::Key_Up:
        setCurrentCell(0, column);
        return;
      case Qt::Key_Down:
        setCurrentCell(rowCount() - 1, column);
        return;
      case Qt::Key_Delete:
        if (row < 0) return;
        CommitEditor();
        removeRow(row);
        if (rowCount() == 0) insertRow(0);
        setCurrentCell(std::min(row, rowCount() - 1), column);
        return;
    }
  } else if (mods == Qt::NoModifier && row >= 0) {
    bool insert = event->key() == Qt::Key_Insert;
    bool append = event->key() == Qt::Key_Down && row == rowCount() - 1;
    if (insert || append) {
      // A new row only below or above a named one, so empty rows cannot pile up.
      CommitEditor();
      if (!Name(row).isEmpty()) AddRow(insert ? row : row + 1);
      return;
    }
  }
  QTableWidget::keyPressEvent(event);
}

// ---- dialog

TWebShortcutDlg::TWebShortcutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("WebShortcutDlg");
  setWindowTitle(T("ウェブショートカットの登録"));
  setFont(FormFont());

  ValueListEditor1 = new TValueListEditor(this);
  ValueListEditor1->setObjectName("ValueListEditor1");
  int frame = 2 * ValueListEditor1->frameWidth();
  int scroll = ValueListEditor1->verticalScrollBar()->sizeHint().width();
  ValueListEditor1->setFixedSize(150 + 349 + frame + scroll, 240);

  MakeOkCancel(this, T("OK"), T("キャンセル"), OKBtn, CancelBtn);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);
  layout->addWidget(ValueListEditor1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  std::vector<std::string> lines;
  fileUnreadable_ = WebShortcuts::Read(ProgramFiles::DataFile(".kdw"), lines) ==
                    WebShortcuts::TReadResult::Unreadable;
  ValueListEditor1->SetLines(lines);

  if (!WebShortcutDlg) WebShortcutDlg = this;
}

TWebShortcutDlg::~TWebShortcutDlg() {
  if (WebShortcutDlg == this) WebShortcutDlg = nullptr;
  // The main window is destroyed after this dialog and writes its own list over the file, and
  // reports a failure then; a failure here needs no box of its own.
  if (!fileUnreadable_)
    WebShortcuts::Write(ProgramFiles::DataFile(".kdw"), ValueListEditor1->Lines());
}

void TWebShortcutDlg::done(int result) {
  // Text still in a cell editor counts, however the dialog is closed with OK.
  if (result == mrOk) ValueListEditor1->CommitEditor();
  if (result == mrOk && !ValueListEditor1->NamesFit()) return;
  QDialog::done(result);
}

void TWebShortcutDlg::reject() {
  done(mrCancel);
}

void TWebShortcutDlg::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
  ValueListEditor1->setFocus();
}
