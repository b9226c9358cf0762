// One program per data folder. The first start takes the folder's lock file and listens on a
// local socket; a later start on the same folder finds the lock held, hands its command-line
// files to the running program through the socket and ends. A lock left by a program that
// died is taken over.
//
// The socket lives in a folder only this user can enter ($XDG_RUNTIME_DIR, else a private
// folder in the temporary folder), is named after the data folder, and the running program
// answers only peers of the same user.
#pragma once
#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class TRole {
    First,       // this program runs; it holds the lock (or runs unguarded, see Guarded)
    HandedOver,  // the running program took the files: end this one
    Failed,      // another program holds the lock but did not answer: Error() says so
  };

  explicit TSingleInstance(const QString& dataFolder, QObject* parent = nullptr);
  ~TSingleInstance() override;

  // `files` are absolute native paths (bytes as the system names them).
  TRole Start(const QList<QByteArray>& files);
  // False when the lock could not be made at all (a folder that cannot be written): the
  // program then runs without the guard.
  bool Guarded() const { return lock_.isLocked(); }
  bool Listening() const;
  const QString& Error() const { return error_; }

  QString LockPath() const { return lockPath_; }
  // Full path of the socket.
  QString ServerName() const { return serverName_; }

  // In the running program: a later start handed these files over (possibly none: it only
  // asks to be brought to the front).
  std::function<void(const QList<QByteArray>& files)> OnFilesReceived;

  // How long a later start keeps trying to reach the running program, in milliseconds.
  void SetHandOverTimeout(int milliseconds) { handOverTimeout_ = milliseconds; }

  // The request's bytes as sent over the socket (tests).
  static QByteArray EncodeRequest(const QList<QByteArray>& files);

 private:
  bool Listen();
  bool HandOver(const QList<QByteArray>& files);
  void AcceptConnections();
  void ReadRequest(QLocalSocket* socket);

  QString lockPath_;
  QString serverName_;
  QLockFile lock_;
  QLocalServer* server_ = nullptr;
  QString error_;
  int handOverTimeout_ = 8000;
};

// Where the sockets of this user's programs are made: a folder only this user can enter.
// Empty when no such folder can be had.
QString PrivateRuntimeFolder();

// The files named on a command line (`args` without the program's name) as absolute native
// paths, relative ones taken from `currentFolder`. "--" ends the options; other arguments
// that begin with '-' before it are put in `ignored` and skipped.
QList<QByteArray> CommandLineFiles(const QList<QByteArray>& args, const QByteArray& currentFolder,
                                   QList<QByteArray>* ignored = nullptr);
