// piyonote2: the application entry. One program runs per data folder: a later start hands
// its command-line files to it and ends. Creates the windows in their fixed order, runs the
// event loop, and destroys the windows in reverse order, so the main window writes the page
// file last. SIGTERM, SIGHUP and the end of the desktop session end the program the same
// orderly way, so no page is lost when the system rather than the user closes it.
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "app/ui/ActionList.h"
#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "app/ui/ProgramForms.h"
#include "app/ui/SignalEnd.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/Translations.h"
#include "platform/ProgramFiles.h"
#include "platform/qt/QtClipboard.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  // Only async-signal-safe work here: wake the event loop.
  char byte = 1;
  ssize_t ignored = ::write(signalPipe[1], &byte, 1);
  (void)ignored;
}

void InstallSignalHandlers() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGHUP, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

// The files named on the command line, as absolute native paths. QApplication has already
// taken its own options out of argv.
QList<QByteArray> FilesFromArguments(int argc, char** argv) {
  QList<QByteArray> args;
  for (int i = 1; i < argc; ++i) args.append(QByteArray(argv[i]));
  QByteArray here = QFile::encodeName(QDir::currentPath());
  QList<QByteArray> ignored;
  QList<QByteArray> files = CommandLineFiles(args, here, &ignored);
  for (const QByteArray& option : ignored)
    std::fprintf(stderr, "piyonote2: unknown option ignored: %s\n", option.constData());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  // The browser windows' web engine shares OpenGL contexts; this must precede the application.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  const QLocale locale = ProgramLocale();
  SetWebEngineLanguage(locale);
  TGuardedQApplication qtApp(argc, argv);
  QApplication::setApplicationName("piyonote2");
  // Ties the windows to the desktop entry (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName("piyonote2");
  TTranslations translations(locale);
  // Every window without its own (the browser windows, the dialogs) shows the program's icon.
  QApplication::setWindowIcon(TImageList::ProgramIcon());
  QApplication::setQuitOnLastWindowClosed(false);
  QtClipboard clipboard;
  SetCurrentClipboard(&clipboard);
  QtClipboard primary(QClipboard::Selection);
  SetCurrentPrimary(&primary);
  // Made before the application object so that the lock outlives every window: it is let
  // go only after the page file has been written.
  TSingleInstance instance(
      QFile::decodeName(QByteArray::fromStdString(ProgramFiles::DataFolder())));
  TApplication app;

  // One program per data folder: a later start hands its files to the running one and ends.
  QList<QByteArray> files = FilesFromArguments(argc, argv);
  switch (instance.Start(files)) {
    case TSingleInstance::TRole::HandedOver:
      return 0;
    case TSingleInstance::TRole::Failed:
      app.MessageDlg(instance.Error(), TMsgDlgType::mtError, mbOK);
      return 1;
    case TSingleInstance::TRole::First:
      break;
  }
  instance.OnFilesReceived = [](const QList<QByteArray>& handed) {
    if (!MainForm) return;
    MainForm->BringToFront();
    MainForm->OpenFiles(handed);
  };

  CreateProgramForms(app);

  InstallSignalHandlers();
  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [] {
    char byte;
    ssize_t ignored = ::read(signalPipe[0], &byte, 1);
    (void)ignored;
    // An orderly close: the windows are destroyed below and the page file is written.
    SignalEnd::OnSignal();
  });
  // The session is ending: write everything now, since the session manager may end the
  // program without another word.
  QObject::connect(&qtApp, &QGuiApplication::commitDataRequest, [](QSessionManager&) {
    if (MainForm) MainForm->SaveState();
  });

  MainForm->show();
  MainForm->OpenFiles(files);
  // A signal during a message at start-up ends the program before its loop runs.
  int result = SignalEnd::EndRequested() ? 0 : QApplication::exec();
  app.DestroyForms();
  return result;
}
