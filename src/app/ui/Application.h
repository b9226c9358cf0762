// The application object: owns the program's windows (created in order, destroyed in reverse),
// holds the application title, and is the one road to every modal dialog, message box, input
// box and file dialog, so that tests can script the answers instead of a user.
#pragma once
#include <QApplication>
#include <QString>
#include <QStringList>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Graphics.h"

class MessageBoxHandler;
class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

// Modal results, as the dialogs return them.
enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
};

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
};
using TMsgDlgButtons = unsigned;

// One message box as asked for.
struct TMessageRequest {
  QString Text;
  QString Caption;  // empty: the application title
  TMsgDlgType Type = TMsgDlgType::mtInformation;
  TMsgDlgButtons Buttons = mbOK;
  // The button Enter presses (one of Buttons); 0 leaves the choice to the box.
  TMsgDlgButtons DefaultButton = 0;
};

// One input box: a text field with OK and Cancel.
struct TInputRequest {
  QString Caption;
  QString Prompt;
  QString Value;  // preset text in, the answer out
};

// One open or save dialog. The filter has the form "description|patterns|description|...".
struct TFileDialogRequest {
  bool Save = false;
  QString Title;
  QString Filter;
  int FilterIndex = 1;  // 1-based: the entry chosen when the dialog opens
  QString FileName;     // preset in, the chosen full path out
  QString DefaultExt;   // appended (with a dot) when a saved name has no extension
  QString InitialDir;
};

// One font dialog: the font shown when it opens, the chosen font out.
struct TFontRequest {
  QString Name;
  int Size = 0;  // points
  TColor Color = 0;
  bool FaceOnly = false;  // only a face is asked for: no size or style to choose
};

// Who answers the dialogs: the user through real Qt dialogs, or a test script.
class TDialogResponder {
 public:
  virtual ~TDialogResponder() = default;
  virtual int MessageDlg(const TMessageRequest& request) = 0;
  // True for OK with request.Value set to the answer; false for Cancel.
  virtual bool InputQuery(TInputRequest& request) = 0;
  // True when a file was chosen; request.FileName is then the full path.
  virtual bool FileDialog(TFileDialogRequest& request) = 0;
  // True for OK, request then holding the chosen font.
  virtual bool FontDialog(TFontRequest& request) = 0;
  // True for OK, color then holding the chosen colour.
  virtual bool ColorDialog(TColor& color) = 0;
  virtual int ShowModal(QDialog& dialog) = 0;
};

// Real Qt dialogs.
class TQtDialogs : public TDialogResponder {
 public:
  int MessageDlg(const TMessageRequest& request) override;
  bool InputQuery(TInputRequest& request) override;
  bool FileDialog(TFileDialogRequest& request) override;
  // Qt's font dialog has no colour: the colour comes back as given.
  bool FontDialog(TFontRequest& request) override;
  bool ColorDialog(TColor& color) override;
  int ShowModal(QDialog& dialog) override;

  // The steps around exec(), on their own so that tests can look at a real dialog.
  static void SetUpMessageBox(QMessageBox& box, TMsgDlgButtons buttons,
                              TMsgDlgButtons defaultButton = 0);
  static int MessageBoxResult(int qtAnswer, TMsgDlgButtons buttons);
  // Returns the name filters the dialog was given.
  static QStringList SetUpFileDialog(QFileDialog& dlg, const TFileDialogRequest& request);
};

// Answers queued by a test, and a log of everything that was asked. A message box without
// a queued answer gets its default button, else its first (so failure reports need no script); an
// input box, file, font or colour dialog or modal dialog without one is cancelled and counted in
// Unexpected.
class TScriptedDialogs : public TDialogResponder {
 public:
  void AnswerMessage(int modalResult) { messageAnswers_.push_back(modalResult); }
  // Called with every message box as it is asked, before it is answered.
  std::function<void(const TMessageRequest&)> OnMessage;
  // std::nullopt answers Cancel.
  void AnswerInput(std::optional<QString> text) { inputAnswers_.push_back(std::move(text)); }
  void AnswerFile(std::optional<QString> path) { fileAnswers_.push_back(std::move(path)); }
  void AnswerFont(std::optional<TFontRequest> font) { fontAnswers_.push_back(std::move(font)); }
  void AnswerColor(std::optional<TColor> color) { colorAnswers_.push_back(color); }
  // The function may fill the dialog's fields; its result is the modal result.
  void AnswerModal(std::function<int(QDialog&)> answer) {
    modalAnswers_.push_back(std::move(answer));
  }

  int MessageDlg(const TMessageRequest& request) override;
  bool InputQuery(TInputRequest& request) override;
  bool FileDialog(TFileDialogRequest& request) override;
  bool FontDialog(TFontRequest& request) override;
  bool ColorDialog(TColor& color) override;
  int ShowModal(QDialog& dialog) override;

  std::vector<TMessageRequest> Messages;
  std::vector<TInputRequest> Inputs;  // as asked, before the answer
  std::vector<TFileDialogRequest> Files;
  std::vector<TFontRequest> Fonts;  // as asked
  std::vector<TColor> Colors;       // as asked
  QStringList Modals;               // class names of the dialogs shown
  int Unexpected = 0;

 private:
  std::deque<int> messageAnswers_;
  std::deque<std::optional<QString>> inputAnswers_;
  std::deque<std::optional<QString>> fileAnswers_;
  std::deque<std::optional<TFontRequest>> fontAnswers_;
  std::deque<std::optional<TColor>> colorAnswers_;
  std::deque<std::function<int(QDialog&)>> modalAnswers_;
};

class TApplication {
 public:
  // Becomes the program's application object (Application) until destroyed.
  explicit TApplication(std::unique_ptr<TDialogResponder> dialogs = nullptr);
  ~TApplication();  // destroys the windows in reverse order of creation
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  const QString& Title() const { return title_; }
  void SetTitle(const QString& title);

  // Creates a window and takes ownership; windows are destroyed in reverse order.
  template <class T>
  T* CreateForm() {
    T* form = new T();
    forms_.push_back(form);
    return form;
  }
  // Adopts a window created elsewhere.
  void AddForm(QWidget* form) { forms_.push_back(form); }
  const std::vector<QWidget*>& Forms() const { return forms_; }
  // The first window created.
  QWidget* MainForm() const { return forms_.empty() ? nullptr : forms_.front(); }
  // Destroys every window, last created first.
  void DestroyForms();

  int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 const QString& caption = {});
  void ShowMessage(const QString& text);
  // While held, a message box with only an OK button is kept (and written to stderr) instead
  // of shown, so that files are written before anything waits for the user.
  void HoldMessages();
  // Shows the kept messages in order and stops holding.
  void ShowHeldMessages();
  // The preset on Cancel, as the classic input box does.
  QString InputBox(const QString& caption, const QString& prompt, const QString& preset);
  bool InputQuery(const QString& caption, const QString& prompt, QString& value);
  bool FileDialog(TFileDialogRequest& request);
  bool FontDialog(TFontRequest& request);
  bool ColorDialog(TColor& color);
  int ShowModal(QDialog& dialog);

  // The one place an exception that reached the event loop ends: shown, and the program goes on.
  void ShowException(const std::exception& e);

  TDialogResponder& Dialogs() { return *dialogs_; }
  // Replaces the responder (tests); returns the old one.
  std::unique_ptr<TDialogResponder> SetDialogs(std::unique_ptr<TDialogResponder> dialogs);

 private:
  QString title_;
  std::vector<QWidget*> forms_;
  bool holdMessages_ = false;
  std::vector<TMessageRequest> heldMessages_;
  std::unique_ptr<TDialogResponder> dialogs_;
  // The platform's message boxes (the editor's coded error boxes) come here too.
  std::unique_ptr<MessageBoxHandler> platformBoxes_;
  MessageBoxHandler* previousBoxes_ = nullptr;
};

// The application object of the running program; null when none exists.
extern TApplication* Application;

// QApplication that hands an exception escaping an event handler to Application, so that the
// command ends and the program goes on.
class TGuardedQApplication : public QApplication {
 public:
  TGuardedQApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// Turns a "description|patterns|..." filter into Qt's name filters. "*.*" becomes "*", so that
// "all files" also matches names without a dot.
QStringList QtNameFilters(const QString& filter);
