// One program per data folder: the lock, the hand-over of a later start's files, a lock left
// by a program that died, a holder that does not answer, and what a command line names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <atomic>
#include <filesystem>
#include <thread>

#include "app/ui/SingleInstance.h"
#include "support/TempDir.h"

namespace {

QString Folder(const TempDir& dir) {
  return QFile::decodeName(QByteArray::fromStdString(dir.Path()));
}

// Runs `work` on its own thread (as a second program would run) while this thread serves
// the running program's socket.
template <class Work>
void WhileServing(Work work) {
  std::atomic<bool> done{false};
  std::thread other([&] {
    work();
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  other.join();
  QCoreApplication::processEvents();
}

// The pid of a process that has ended.
qint64 DeadPid() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

}  // namespace

TEST(SingleInstanceTest, ALaterStartHandsItsFilesToTheRunningProgram) {
  TempDir data;
  TSingleInstance first(Folder(data));
  QList<QList<QByteArray>> received;
  first.OnFilesReceived = [&](const QList<QByteArray>& files) { received.append(files); };
  ASSERT_EQ(first.Start({}), TSingleInstance::TRole::First);
  EXPECT_TRUE(first.Guarded());
  ASSERT_TRUE(first.Listening()) << first.Error().toStdString();

  // The socket is this user's alone.
  struct stat st {};
  QByteArray socketFolder = QFile::encodeName(first.ServerName().section('/', 0, -2));
  ASSERT_EQ(::stat(socketFolder.constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(st.st_uid, ::getuid());

  const QList<QByteArray> files = {"/home/u/a.txt", QByteArray("/home/u/\x82\xa0.txt"),
                                   "/home/u/with space.txt"};
  TSingleInstance::TRole role{};
  WhileServing([&] {
    TSingleInstance second(Folder(data));
    role = second.Start(files);
  });
  EXPECT_EQ(role, TSingleInstance::TRole::HandedOver);
  ASSERT_EQ(received.size(), 1);
  EXPECT_EQ(received[0], files);

  // A start without files only asks to be brought to the front.
  WhileServing([&] {
    TSingleInstance third(Folder(data));
    role = third.Start({});
  });
  EXPECT_EQ(role, TSingleInstance::TRole::HandedOver);
  ASSERT_EQ(received.size(), 2);
  EXPECT_TRUE(received[1].isEmpty());
}

TEST(SingleInstanceTest, OtherDataFoldersRunTheirOwnProgram) {
  TempDir one, two;
  TSingleInstance a(Folder(one));
  TSingleInstance b(Folder(two));
  EXPECT_NE(a.ServerName(), b.ServerName());
  EXPECT_EQ(a.Start({}), TSingleInstance::TRole::First);
  EXPECT_EQ(b.Start({}), TSingleInstance::TRole::First);
}

TEST(SingleInstanceTest, ALockLeftByAProgramThatDiedIsTakenOver) {
  TempDir data;
  TSingleInstance start(Folder(data));
  // What a killed program leaves: its lock file and its socket file.
  {
    QFile lock(start.LockPath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(DeadPid()) + "\npiyonote2\n\n");
  }
  {
    QFile socket(start.ServerName());
    ASSERT_TRUE(socket.open(QIODevice::WriteOnly)) << start.ServerName().toStdString();
  }
  EXPECT_EQ(start.Start({"/x"}), TSingleInstance::TRole::First);
  EXPECT_TRUE(start.Guarded());
  EXPECT_TRUE(start.Listening()) << start.Error().toStdString();
}

TEST(SingleInstanceTest, AHolderThatDoesNotAnswerIsReportedNotJoined) {
  TempDir data;
  TSingleInstance probe(Folder(data));
  QLockFile holder(probe.LockPath());  // held by a live program that never listens
  ASSERT_TRUE(holder.tryLock(0));
  TSingleInstance late(Folder(data));
  late.SetHandOverTimeout(0);
  EXPECT_EQ(late.Start({"/x"}), TSingleInstance::TRole::Failed);
  EXPECT_FALSE(late.Guarded());
  EXPECT_TRUE(late.Error().contains(QString::fromUtf8("応答"))) << late.Error().toStdString();
}

TEST(SingleInstanceTest, RequestsThatAreNotTheProgramsAreDropped) {
  TempDir data;
  TSingleInstance first(Folder(data));
  int calls = 0;
  first.OnFilesReceived = [&](const QList<QByteArray>&) { ++calls; };
  ASSERT_EQ(first.Start({}), TSingleInstance::TRole::First);
  QByteArray good = TSingleInstance::EncodeRequest({"/a"});
  QByteArray badMagic = good;
  badMagic[0] = 'X';
  for (const QByteArray& bytes : {badMagic, good.left(good.size() - 1)}) {
    WhileServing([&] {
      QLocalSocket socket;
      socket.connectToServer(first.ServerName());
      ASSERT_TRUE(socket.waitForConnected(5000));
      socket.write(bytes);
      socket.waitForBytesWritten(5000);
      socket.disconnectFromServer();
    });
  }
  EXPECT_EQ(calls, 0);
  // The program still serves a proper request afterwards, also one that arrives in pieces.
  WhileServing([&] {
    QLocalSocket socket;
    socket.connectToServer(first.ServerName());
    ASSERT_TRUE(socket.waitForConnected(5000));
    for (char byte : good) {
      socket.write(&byte, 1);
      socket.waitForBytesWritten(5000);
    }
    ASSERT_TRUE(socket.waitForReadyRead(5000));
    EXPECT_EQ(socket.readAll(), "K");
  });
  EXPECT_EQ(calls, 1);
}

TEST(SingleInstanceTest, CommandLineNamesBecomeAbsolutePathsAndOptionsAreSetApart) {
  QList<QByteArray> ignored;
  QList<QByteArray> files = CommandLineFiles(
      {"a.txt", "./b.txt", "/abs/c.txt", "-x", "", QByteArray("sub/\x82\xa0.txt"), "--", "-d.txt"},
      "/work/here", &ignored);
  EXPECT_EQ(files,
            (QList<QByteArray>{"/work/here/a.txt", "/work/here/b.txt", "/abs/c.txt",
                               QByteArray("/work/here/sub/\x82\xa0.txt"), "/work/here/-d.txt"}));
  EXPECT_EQ(ignored, QList<QByteArray>{"-x"});
  EXPECT_EQ(CommandLineFiles({"x"}, "/"), QList<QByteArray>{"/x"});
}
