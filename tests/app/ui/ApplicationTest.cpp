// The application object: title, message and input boxes and file dialogs answered by a script.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>
#include <stdexcept>

#include "app/ui/Application.h"
#include "app/ui/UiText.h"
#include "platform/MessageBox.h"

TEST(ApplicationTest, InputBoxGivesThePresetBackOnCancel) {
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  TApplication app(std::move(dialogs));
  script.AnswerInput(std::nullopt);
  script.AnswerInput(QString("new"));
  EXPECT_EQ(app.InputBox("c", "p", "old"), "old");
  EXPECT_EQ(app.InputBox("c", "p", "old"), "new");
  EXPECT_EQ(app.InputBox("c", "p", "old"), "old");  // unscripted: cancelled
  EXPECT_EQ(script.Unexpected, 1);
  ASSERT_EQ(script.Inputs.size(), 3u);
  EXPECT_EQ(script.Inputs[1].Value, "old");  // logged as asked
}

TEST(ApplicationTest, MessageBoxesAnswerTheirFirstButtonUnlessScripted) {
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  TApplication app(std::move(dialogs));
  EXPECT_EQ(app.MessageDlg("q", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbAbort | mbAll),
            mrYes);
  script.AnswerMessage(mrAll);
  EXPECT_EQ(app.MessageDlg("q", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbAbort | mbAll),
            mrAll);
  app.ShowException(std::runtime_error("boom"));
  ASSERT_EQ(script.Messages.size(), 3u);
  EXPECT_EQ(script.Messages[2].Text, "boom");
  EXPECT_EQ(script.Messages[2].Type, TMsgDlgType::mtError);
  EXPECT_EQ(script.Unexpected, 0);
}

TEST(ApplicationTest, SavedNamesGetTheDefaultExtensionOnlyWhenTheyHaveNone) {
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  TApplication app(std::move(dialogs));
  TFileDialogRequest save;
  save.Save = true;
  save.DefaultExt = "txt";
  script.AnswerFile(QString("/d/a"));
  script.AnswerFile(QString("/d/a.htm"));
  ASSERT_TRUE(app.FileDialog(save));
  EXPECT_EQ(save.FileName, "/d/a.txt");
  ASSERT_TRUE(app.FileDialog(save));
  EXPECT_EQ(save.FileName, "/d/a.htm");
  TFileDialogRequest open;
  open.DefaultExt = "txt";
  script.AnswerFile(QString("/d/b"));
  ASSERT_TRUE(app.FileDialog(open));
  EXPECT_EQ(open.FileName, "/d/b");
}

TEST(ApplicationTest, FiltersBecomeQtNameFiltersThatMatchNamesWithoutDots) {
  EXPECT_EQ(
      QtNameFilters(QString::fromUtf8("すべてのファイル(*.*)|*.*|テキストファイル(*.txt)|*.txt")),
      (QStringList{QString::fromUtf8("すべてのファイル (*)"),
                   QString::fromUtf8("テキストファイル (*.txt)")}));
  // Blanks after the semicolons go: the dialog shows the filter without them.
  EXPECT_EQ(QtNameFilters("Img (*.jpg; *.png)|*.jpg; *.png;  ;"), QStringList{"Img (*.jpg *.png)"});
  EXPECT_EQ(QtNameFilters("Web|*.htm;*.html"), QStringList{"Web (*.htm *.html)"});
  EXPECT_EQ(QtNameFilters(""), QStringList{});
}

TEST(ApplicationTest, WindowsAreDestroyedLastFirstAndTheObjectIsReleased) {
  {
    TApplication app;
    EXPECT_EQ(Application, &app);
    QStringList order;
    for (const char* name : {"a", "b", "c"}) {
      auto* w = new QWidget;
      w->setObjectName(name);
      QObject::connect(w, &QObject::destroyed, [&order, name] { order << name; });
      app.AddForm(w);
    }
    app.DestroyForms();
    EXPECT_EQ(order, (QStringList{"c", "b", "a"}));
  }
  EXPECT_EQ(Application, nullptr);
}

TEST(ApplicationTest, PlatformMessageBoxesGoThroughTheSameSeam) {
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  {
    TApplication app(std::move(dialogs));
    ShowMessage("Error:OC005");
    script.AnswerMessage(mrNo);
    EXPECT_EQ(MessageBox(ToCp932(QString::fromUtf8("置換しますか？")), "",
                         MB_YESNOCANCEL | MB_ICONQUESTION),
              IDNO);
    ASSERT_EQ(script.Messages.size(), 2u);
    EXPECT_EQ(script.Messages[0].Text, "Error:OC005");
    EXPECT_EQ(script.Messages[1].Text, QString::fromUtf8("置換しますか？"));
    EXPECT_EQ(script.Messages[1].Type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(script.Messages[1].Buttons, mbYes | mbNo | mbCancel);
  }
  // Once the application object is gone the platform's own handler answers again.
  EXPECT_EQ(MessageBox("after", "", MB_YESNO), IDNO);
}

TEST(ApplicationTest, TheTitleIsNotQtsDisplayNameWhichWouldEndEveryWindowTitle) {
  TApplication app(std::make_unique<TScriptedDialogs>());
  const QString before = QGuiApplication::applicationDisplayName();
  app.SetTitle(QString::fromUtf8("ぴよのーと２"));
  EXPECT_EQ(app.Title(), QString::fromUtf8("ぴよのーと２"));
  // The platform appends the display name to titles that do not end in it.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), before);
}

// A real box: Escape and the close button answer No when there is no Cancel (never Abort),
// Cancel when there is one.
TEST(ApplicationTest, EscapeOnARealBoxMeansNoOrCancel) {
  struct TCase {
    TMsgDlgButtons buttons;
    int result;
  } cases[] = {{mbYes | mbNo | mbAbort | mbAll, mrNo},
               {mbYes | mbNo | mbCancel, mrCancel},
               {mbYes | mbNo, mrNo},
               {mbOK, mrOk}};
  for (const TCase& c : cases) {
    for (bool byClose : {false, true}) {
      QMessageBox box;
      TQtDialogs::SetUpMessageBox(box, c.buttons);
      box.show();
      if (byClose) {
        box.close();
      } else {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
      }
      ASSERT_NE(box.clickedButton(), nullptr) << c.buttons;
      EXPECT_EQ(TQtDialogs::MessageBoxResult(box.standardButton(box.clickedButton()), c.buttons),
                c.result)
          << c.buttons << (byClose ? " closed" : " escape");
    }
  }
}
