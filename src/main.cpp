// piyonote2: the application entry.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("piyonote2");
  QMainWindow w;
  w.setWindowTitle(QString::fromUtf8("ぴよのーと２"));
  w.resize(640, 480);
  w.show();
  return app.exec();
}
