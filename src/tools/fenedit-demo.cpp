// fenedit-demo FILE [--grab IMAGE]: one TFenEdit with the file loaded in a bare window, for
// looking at the control by hand. With --grab the window is saved as an image and the
// program ends (works with QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstring>
#include <string>

#include "FenEdit/FenEdit.h"
#include "platform/MessageBox.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtWindowHost.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: fenedit-demo FILE [--grab IMAGE]\n");
    return 2;
  }
  QtClipboard clipboard;
  SetCurrentClipboard(&clipboard);
  QtMessageBox boxes;
  SetMessageBoxHandler(&boxes);

  QtWindowHost host;  // declared first: the control goes before its window
  TFenEdit edit;
  edit.VertScrollBar = true;
  edit.HorzScrollBar = true;
  edit.ShowLineNumber = true;
  edit.ShowTAB = true;
  edit.SetSelColor(clBlue);
  host.Attach(&edit);
  host.setWindowTitle(QString::fromLocal8Bit(argv[1]) + " - fenedit-demo");
  host.resize(800, 600);
  host.show();
  edit.CreateHandle();
  if (!edit.LoadFromFile(argv[1])) {
    std::fprintf(stderr, "fenedit-demo: cannot read %s\n", argv[1]);
    return 1;
  }
  edit.SetFocus();
  if (argc >= 4 && std::strcmp(argv[2], "--grab") == 0) {
    QApplication::processEvents();
    return host.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
  }
  return app.exec();
}
