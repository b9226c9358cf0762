#include "SingleInstance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "platform/ProgramFiles.h"

namespace {

constexpr quint32 kMagic = 0x50594F32;  // "PYO2"
constexpr quint32 kMaxFiles = 10000;
// A request is a list of file names; anything larger is not from this program.
constexpr qint64 kMaxRequest = 16 * 1024 * 1024;
constexpr char kAck = 'K';

// A folder that exists, is not a link, belongs to this user and no one else may enter.
bool IsPrivateFolder(const QByteArray& path) {
  struct stat st {};
  return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 077) == 0;
}

bool PeerIsThisUser(QLocalSocket* socket) {
  struct ucred cred {};
  socklen_t size = sizeof cred;
  int fd = static_cast<int>(socket->socketDescriptor());
  return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 &&
         cred.uid == ::getuid();
}

}  // namespace

QString PrivateRuntimeFolder() {
  QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (runtime.startsWith('/') && IsPrivateFolder(runtime)) return QFile::decodeName(runtime);
  QByteArray own = QFile::encodeName(QDir::tempPath()) + "/piyonote2-" +
                   QByteArray::number(static_cast<qulonglong>(::getuid()));
  ::mkdir(own.constData(), 0700);
  if (IsPrivateFolder(own)) return QFile::decodeName(own);
  return {};
}

TSingleInstance::TSingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent),
      lockPath_(dataFolder + "/" + QString::fromStdString(ProgramFiles::BaseName()) + ".lock"),
      lock_(lockPath_) {
  QString canonical = QFileInfo(dataFolder).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QFileInfo(dataFolder).absoluteFilePath();
  QByteArray hash =
      QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256).toHex();
  QString folder = PrivateRuntimeFolder();
  if (!folder.isEmpty())
    serverName_ = folder + "/piyonote2-" + QString::fromLatin1(hash.left(16)) + ".sock";
  // Never considered stale by age: the lock is held for as long as the program runs.
  lock_.setStaleLockTime(0);
}

TSingleInstance::~TSingleInstance() {
  if (server_) server_->close();
}

bool TSingleInstance::Listening() const {
  return server_ && server_->isListening();
}

TSingleInstance::TRole TSingleInstance::Start(const QList<QByteArray>& files) {
  QDeadlineTimer deadline(handOverTimeout_);
  for (;;) {
    if (lock_.tryLock(0)) {
      Listen();
      return TRole::First;
    }
    if (lock_.error() != QLockFile::LockFailedError) {
      // The folder cannot hold a lock; the page file will not be writable either, and the
      // program says so later. Run rather than refuse.
      error_ = QString::fromUtf8("ロックファイルを作成できません: %1").arg(lockPath_);
      return TRole::First;
    }
    if (HandOver(files)) return TRole::HandedOver;
    // The running program may not listen yet, or may just have ended (its lock then turns
    // stale and is taken over above).
    if (deadline.hasExpired()) break;
    QThread::msleep(100);
  }
  error_ = QString::fromUtf8(
      "ぴよのーと２は既に起動していますが、応答がありません。\n"
      "しばらく待ってからもう一度起動してください。");
  return TRole::Failed;
}

bool TSingleInstance::Listen() {
  if (serverName_.isEmpty()) {
    error_ =
        QString::fromUtf8("他の起動からファイルを受け取れません（非公開のフォルダがありません）");
    return false;
  }
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // The lock is ours, so a socket file there was left by a program that died.
  QLocalServer::removeServer(serverName_);
  if (!server_->listen(serverName_)) {
    error_ = server_->errorString();
    return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnections);
  return true;
}

QByteArray TSingleInstance::EncodeRequest(const QList<QByteArray>& files) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_6_0);
  out << kMagic << static_cast<quint32>(files.size());
  for (const QByteArray& file : files) out << file;
  return bytes;
}

bool TSingleInstance::HandOver(const QList<QByteArray>& files) {
  if (serverName_.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(1000)) return false;
  socket.write(EncodeRequest(files));
  if (!socket.waitForBytesWritten(5000)) return false;
  // The running program answers once it has the whole request; it may be busy a while.
  QDeadlineTimer deadline(20000);
  while (socket.bytesAvailable() < 1) {
    if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
      return false;
  }
  char ack = 0;
  return socket.read(&ack, 1) == 1 && ack == kAck;
}

void TSingleInstance::AcceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!PeerIsThisUser(socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequest(socket); });
    ReadRequest(socket);
  }
}

void TSingleInstance::ReadRequest(QLocalSocket* socket) {
  if (socket->property("answered").toBool()) return;
  if (socket->bytesAvailable() > kMaxRequest) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  QDataStream in(socket);
  in.setVersion(QDataStream::Qt_6_0);
  in.startTransaction();
  quint32 magic = 0, count = 0;
  in >> magic >> count;
  if (in.status() == QDataStream::Ok && (magic != kMagic || count > kMaxFiles)) {
    in.abortTransaction();
    socket->abort();
    socket->deleteLater();
    return;
  }
  QList<QByteArray> files;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    QByteArray file;
    in >> file;
    files.append(file);
  }
  if (!in.commitTransaction()) return;  // more to come
  socket->setProperty("answered", true);
  socket->write(&kAck, 1);
  socket->flush();
  socket->disconnectFromServer();
  if (OnFilesReceived) OnFilesReceived(files);
}

QList<QByteArray> CommandLineFiles(const QList<QByteArray>& args, const QByteArray& currentFolder,
                                   QList<QByteArray>* ignored) {
  QList<QByteArray> files;
  bool options = true;
  for (const QByteArray& arg : args) {
    if (arg.isEmpty()) continue;
    if (options && arg == "--") {
      options = false;
      continue;
    }
    if (options && arg.startsWith('-')) {
      if (ignored) ignored->append(arg);
      continue;
    }
    if (arg.startsWith('/')) {
      files.append(arg);
      continue;
    }
    QByteArray relative = arg;
    while (relative.startsWith("./")) relative.remove(0, 2);
    QByteArray folder = currentFolder;
    if (!folder.endsWith('/')) folder += '/';
    files.append(folder + relative);
  }
  return files;
}
