#include "Application.h"

#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "UiText.h"
#include "platform/MessageBox.h"

TApplication* Application = nullptr;

namespace {

struct ButtonMap {
  TMsgDlgBtn Button;
  QMessageBox::StandardButton Qt;
  int Result;
};
constexpr ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
    {mbAll, QMessageBox::YesToAll, mrAll},
};

QWidget* DialogParent() {
  QWidget* w = QApplication::activeWindow();
  if (!w && Application) w = Application->MainForm();
  return w;
}

// Message boxes asked for through the platform layer, shown through the application object.
class TPlatformMessageBoxes : public MessageBoxHandler {
 public:
  explicit TPlatformMessageBoxes(TApplication& app) : app_(app) {}
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    TMsgDlgType type = TMsgDlgType::mtCustom;
    switch (flags & MB_ICONMASK) {
      case MB_ICONERROR:
        type = TMsgDlgType::mtError;
        break;
      case MB_ICONQUESTION:
        type = TMsgDlgType::mtConfirmation;
        break;
      case MB_ICONWARNING:
        type = TMsgDlgType::mtWarning;
        break;
      case MB_ICONINFORMATION:
        type = TMsgDlgType::mtInformation;
        break;
    }
    TMsgDlgButtons buttons = mbOK;
    switch (flags & MB_BUTTONMASK) {
      case MB_OKCANCEL:
        buttons = mbOK | mbCancel;
        break;
      case MB_YESNOCANCEL:
        buttons = mbYes | mbNo | mbCancel;
        break;
      case MB_YESNO:
        buttons = mbYes | mbNo;
        break;
    }
    switch (app_.MessageDlg(ToQString(text), type, buttons, ToQString(caption))) {
      case mrYes:
        return IDYES;
      case mrNo:
        return IDNO;
      case mrCancel:
        return IDCANCEL;
      default:
        return IDOK;
    }
  }

 private:
  TApplication& app_;
};

QString CaptionOf(const TMessageRequest& request) {
  if (!request.Caption.isEmpty()) return request.Caption;
  return Application ? Application->Title() : QString();
}

}  // namespace

// ---- real dialogs

int TQtDialogs::MessageDlg(const TMessageRequest& request) {
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (request.Type) {
    case TMsgDlgType::mtWarning:
      icon = QMessageBox::Warning;
      break;
    case TMsgDlgType::mtError:
      icon = QMessageBox::Critical;
      break;
    case TMsgDlgType::mtConfirmation:
      icon = QMessageBox::Question;
      break;
    case TMsgDlgType::mtCustom:
      icon = QMessageBox::NoIcon;
      break;
    case TMsgDlgType::mtInformation:
      break;
  }
  QMessageBox box(icon, CaptionOf(request), request.Text, QMessageBox::NoButton, DialogParent());
  SetUpMessageBox(box, request.Buttons, request.DefaultButton);
  return MessageBoxResult(box.exec(), request.Buttons);
}

void TQtDialogs::SetUpMessageBox(QMessageBox& box, TMsgDlgButtons buttons,
                                 TMsgDlgButtons defaultButton) {
  for (const ButtonMap& b : kButtons)
    if (buttons & b.Button) box.addButton(b.Qt);
  if (buttons == 0) box.addButton(QMessageBox::Ok);
  for (const ButtonMap& b : kButtons)
    if (defaultButton == b.Button && (buttons & b.Button)) box.setDefaultButton(b.Qt);
  // Escape and the window's close button mean Cancel, or No when there is no Cancel: left to
  // itself the box would take Abort for them, and "Yes, No, Abort, All" would stop a whole
  // run of questions.
  if (QAbstractButton* escape = box.button(QMessageBox::Cancel))
    box.setEscapeButton(escape);
  else if (QAbstractButton* no = box.button(QMessageBox::No))
    box.setEscapeButton(no);
}

int TQtDialogs::MessageBoxResult(int answer, TMsgDlgButtons buttons) {
  for (const ButtonMap& b : kButtons)
    if (answer == b.Qt) return b.Result;
  // Closed without a button: Cancel when there is one, else the box's only sense is "seen".
  return (buttons & mbCancel) ? mrCancel : (buttons & mbNo) ? mrNo : mrOk;
}

bool TQtDialogs::InputQuery(TInputRequest& request) {
  QInputDialog dlg(DialogParent());
  dlg.setWindowTitle(request.Caption);
  dlg.setLabelText(request.Prompt);
  dlg.setTextValue(request.Value);
  if (dlg.exec() != QDialog::Accepted) return false;
  request.Value = dlg.textValue();
  return true;
}

QStringList TQtDialogs::SetUpFileDialog(QFileDialog& dlg, const TFileDialogRequest& request) {
  QStringList filters = QtNameFilters(request.Filter);
  dlg.setNameFilters(filters);
  if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
    dlg.selectNameFilter(filters[request.FilterIndex - 1]);
  if (!request.DefaultExt.isEmpty()) dlg.setDefaultSuffix(request.DefaultExt);
  if (!request.InitialDir.isEmpty()) dlg.setDirectory(request.InitialDir);
  if (!request.FileName.isEmpty()) {
    QFileInfo info(request.FileName);
    if (info.isAbsolute()) dlg.setDirectory(info.absolutePath());
    dlg.selectFile(info.fileName());
  }
  return filters;
}

bool TQtDialogs::FileDialog(TFileDialogRequest& request) {
  QFileDialog dlg(DialogParent(), request.Title);
  dlg.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Open accepts a name that does not exist yet: saving that page later creates the file.
  dlg.setFileMode(QFileDialog::AnyFile);
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  QStringList filters = SetUpFileDialog(dlg, request);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  request.FileName = dlg.selectedFiles().front();
  request.FilterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
  // Like the system dialogs the program was made with, the chosen folder becomes the current
  // one (the formatter's temporary file is written there, and the next dialog opens there).
  QDir::setCurrent(QFileInfo(request.FileName).absolutePath());
  return true;
}

bool TQtDialogs::FontDialog(TFontRequest& request) {
  if (request.FaceOnly) {
    QStringList faces = QFontDatabase::families();
    bool ok = false;
    QString face = QInputDialog::getItem(
        DialogParent(), QString::fromUtf8("フォント"), QString::fromUtf8("フォント名(&F):"), faces,
        std::max(0, static_cast<int>(faces.indexOf(request.Name))), false, &ok);
    if (!ok) return false;
    request.Name = face;
    return true;
  }
  QFont initial(request.Name);
  if (request.Size > 0) initial.setPointSize(request.Size);
  QFontDialog dlg(initial, DialogParent());
  if (dlg.exec() != QDialog::Accepted) return false;
  QFont chosen = dlg.selectedFont();
  request.Name = chosen.family();
  if (chosen.pointSize() > 0) request.Size = chosen.pointSize();
  return true;
}

bool TQtDialogs::ColorDialog(TColor& color) {
  TColor rgb = ColorToRGB(color);
  QColorDialog dlg(QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)), DialogParent());
  if (dlg.exec() != QDialog::Accepted) return false;
  QColor chosen = dlg.selectedColor();
  color = RGB(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

int TQtDialogs::ShowModal(QDialog& dialog) {
  return dialog.exec();
}

// ---- scripted dialogs

namespace {
// Takes the next queued answer into `answer`; false for a Cancel answer, and when none is
// queued (then also counted).
template <class T>
bool TakeAnswer(std::deque<std::optional<T>>& answers, int& unexpected, T& answer) {
  if (answers.empty()) {
    ++unexpected;
    return false;
  }
  bool ok = answers.front().has_value();
  if (ok) answer = *answers.front();
  answers.pop_front();
  return ok;
}
}  // namespace

int TScriptedDialogs::MessageDlg(const TMessageRequest& request) {
  Messages.push_back(request);
  if (OnMessage) OnMessage(request);
  if (!messageAnswers_.empty()) {
    int answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }
  for (const ButtonMap& b : kButtons)
    if (request.DefaultButton == b.Button && (request.Buttons & b.Button)) return b.Result;
  for (const ButtonMap& b : kButtons)
    if (request.Buttons & b.Button) return b.Result;
  return mrOk;
}

bool TScriptedDialogs::InputQuery(TInputRequest& request) {
  Inputs.push_back(request);
  return TakeAnswer(inputAnswers_, Unexpected, request.Value);
}

bool TScriptedDialogs::FileDialog(TFileDialogRequest& request) {
  Files.push_back(request);
  QString path;
  if (!TakeAnswer(fileAnswers_, Unexpected, path)) return false;
  // As the real save dialog: the default extension when the name has none.
  if (request.Save && !request.DefaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += "." + request.DefaultExt;
  request.FileName = path;
  return true;
}

bool TScriptedDialogs::FontDialog(TFontRequest& request) {
  Fonts.push_back(request);
  return TakeAnswer(fontAnswers_, Unexpected, request);
}

bool TScriptedDialogs::ColorDialog(TColor& color) {
  Colors.push_back(color);
  return TakeAnswer(colorAnswers_, Unexpected, color);
}

int TScriptedDialogs::ShowModal(QDialog& dialog) {
  Modals.push_back(QString::fromLatin1(dialog.metaObject()->className()));
  if (modalAnswers_.empty()) {
    ++Unexpected;
    return mrCancel;
  }
  auto answer = std::move(modalAnswers_.front());
  modalAnswers_.pop_front();
  return answer(dialog);
}

// ---- the application object

TApplication::TApplication(std::unique_ptr<TDialogResponder> dialogs)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<TQtDialogs>()),
      platformBoxes_(std::make_unique<TPlatformMessageBoxes>(*this)) {
  Application = this;
  previousBoxes_ = SetMessageBoxHandler(platformBoxes_.get());
}

TApplication::~TApplication() {
  DestroyForms();
  SetMessageBoxHandler(previousBoxes_);
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const QString& title) {
  // Not Qt's display name: the platform would append it to every window's own title.
  title_ = title;
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    QWidget* form = forms_.back();
    forms_.pop_back();
    delete form;
  }
}

int TApplication::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                             const QString& caption) {
  TMessageRequest request{text, caption, type, buttons};
  if (holdMessages_ && (buttons == mbOK || buttons == 0)) {
    // Also where no one may see the box: the program may be ended before it is shown.
    std::fprintf(stderr, "piyonote2: %s\n", text.toLocal8Bit().constData());
    heldMessages_.push_back(std::move(request));
    return mrOk;
  }
  return dialogs_->MessageDlg(request);
}

void TApplication::HoldMessages() {
  holdMessages_ = true;
}

void TApplication::ShowHeldMessages() {
  holdMessages_ = false;
  std::vector<TMessageRequest> held;
  held.swap(heldMessages_);
  for (const TMessageRequest& request : held) dialogs_->MessageDlg(request);
}

void TApplication::ShowMessage(const QString& text) {
  MessageDlg(text, TMsgDlgType::mtCustom, mbOK);
}

QString TApplication::InputBox(const QString& caption, const QString& prompt,
                               const QString& preset) {
  QString value = preset;
  if (!InputQuery(caption, prompt, value)) return preset;
  return value;
}

bool TApplication::InputQuery(const QString& caption, const QString& prompt, QString& value) {
  TInputRequest request{caption, prompt, value};
  if (!dialogs_->InputQuery(request)) return false;
  value = request.Value;
  return true;
}

bool TApplication::FileDialog(TFileDialogRequest& request) {
  return dialogs_->FileDialog(request);
}

bool TApplication::FontDialog(TFontRequest& request) {
  return dialogs_->FontDialog(request);
}

bool TApplication::ColorDialog(TColor& color) {
  return dialogs_->ColorDialog(color);
}

int TApplication::ShowModal(QDialog& dialog) {
  return dialogs_->ShowModal(dialog);
}

void TApplication::ShowException(const std::exception& e) {
  MessageDlg(ToQString(e.what()), TMsgDlgType::mtError, mbOK);
}

std::unique_ptr<TDialogResponder> TApplication::SetDialogs(
    std::unique_ptr<TDialogResponder> dialogs) {
  std::swap(dialogs, dialogs_);
  return dialogs;
}

bool TGuardedQApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    if (Application) Application->ShowException(e);
  }
  return false;
}

QStringList QtNameFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QStringList patterns;
    // "*.jpg; *.png" has blanks after its semicolons; the dialog would drop them from the
    // shown filter and then no longer find the one asked for.
    for (const QString& part : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      QString p = part.trimmed();
      if (!p.isEmpty()) patterns << (p == "*.*" ? QStringLiteral("*") : p);
    }
    // Qt reads the patterns from the last bracketed group, so the description's own
    // "(*.*)" is dropped in favour of the real patterns.
    qsizetype open = description.lastIndexOf('(');
    if (open > 0 && description.endsWith(')')) description = description.left(open).trimmed();
    result << (description + " (" + patterns.join(' ') + ")").simplified();
  }
  return result;
}
