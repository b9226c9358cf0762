// Shared set-up for the main window tests: a private data folder (PIYONOTE2_HOME), an
// application object whose dialogs are answered by the test, and helpers that act as the user.
#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <string>

#include "FenEdit/FenEdit.h"
#include "app/ui/Application.h"
#include "app/ui/EditorPane.h"
#include "app/ui/MainForm.h"
#include "app/ui/TabStrip.h"
#include "app/ui/UiText.h"
#include "platform/ProgramFiles.h"
#include "support/TempDir.h"

inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
  *os << '{' << l.join(", ").toStdString() << '}';
}

inline QString U(const char* utf8) {
  return QString::fromUtf8(utf8);
}
inline std::string Sjis(const char* utf8) {
  return ToCp932(QString::fromUtf8(utf8));
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PIYONOTE2_HOME", home_.Path().c_str(), 1);
    auto dialogs = std::make_unique<TScriptedDialogs>();
    dialogs_ = dialogs.get();
    app_ = std::make_unique<TApplication>(std::move(dialogs));
  }
  void TearDown() override {
    app_.reset();
    unsetenv("PIYONOTE2_HOME");
  }

  // Creates and shows the main window (its show handler loads the pages).
  TMainForm* Start() {
    form_ = app_->CreateForm<TMainForm>();
    form_->show();
    return form_;
  }
  // Destroys the window (its destruction handler writes the page file).
  void End() {
    app_->DestroyForms();
    form_ = nullptr;
  }
  // Lets the shown window reach the screen; a message the start left (a damaged page file)
  // comes only then.
  void LetTheWindowDraw() {
    for (int i = 0; i < 100 && form_ && !form_->windowHandle()->isExposed(); ++i)
      QCoreApplication::processEvents();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
  TMainForm* Restart() {
    End();
    return Start();
  }

  std::string PageFilePath() const { return ProgramFiles::DataFile(".kdx"); }
  std::string PageFileBytes() const { return TempDir::Read(PageFilePath()); }

  TTabStrip& Tabs() const { return *form_->TabControl1; }
  TEditorPane& Editor() const { return form_->Editor(); }
  QAction* Act(const char* name) const { return form_->Action(name); }
  void Trigger(const char* name) {
    QAction* a = Act(name);
    ASSERT_NE(a, nullptr) << name;
    // As in the program: the idle step has run before the user can reach a command.
    form_->ActionList1Update();
    a->trigger();
  }
  bool Enabled(const char* name) {
    form_->ActionList1Update();
    return Act(name)->isEnabled();
  }
  QStringList Captions() const { return Tabs().Captions(); }

  // Typed into the editor as key events, one character at a time ('\n' is Enter).
  void Type(const QString& text) {
    for (QChar ch : text) {
      int key = ch.isLetterOrNumber() && ch.unicode() < 128 ? ch.toUpper().unicode() : 0;
      QString chars(ch);
      if (ch == '\n') {
        key = Qt::Key_Return;
        chars = "\r";
      }
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, chars);
      QApplication::sendEvent(form_->EditorWidget(), &press);
      QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, chars);
      QApplication::sendEvent(form_->EditorWidget(), &release);
    }
  }
  void AltKey(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier);
    QApplication::sendEvent(form_->EditorWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::AltModifier);
    QApplication::sendEvent(form_->EditorWidget(), &release);
  }

  void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(Tabs().mapToGlobal(pos)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(&Tabs(), &e);
  }
  QPoint TabCentre(int index) const { return Tabs().TabRect(index).center(); }
  // A left press on a tab, as the user clicks it.
  void ClickTab(int index) {
    Mouse(QEvent::MouseButtonPress, TabCentre(index), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, TabCentre(index), Qt::LeftButton, Qt::NoButton);
  }
  void RightPress(QPoint pos) {
    Mouse(QEvent::MouseButtonPress, pos, Qt::RightButton, Qt::RightButton);
    Mouse(QEvent::MouseButtonRelease, pos, Qt::RightButton, Qt::NoButton);
  }
  // Press at `from`, move past the threshold and release at `to`.
  void Drag(QPoint from, QPoint to) {
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, from + QPoint(6, 0), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  }
  // Pages named Page1..Page(n-1) after the first, each with its own text.
  void AddPages(int count) {
    for (int i = 0; i < count; ++i) Trigger("FileAddPage1");
  }

  TempDir home_;
  TempDir files_;
  std::unique_ptr<TApplication> app_;
  TScriptedDialogs* dialogs_ = nullptr;
  TMainForm* form_ = nullptr;
};
