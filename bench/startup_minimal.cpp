// The baseline of the start-up benchmark: a minimal Qt main window with a
// menu, a tool bar and a status bar, shown until its first frame is painted,
// then the process ends.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "StartupFrame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Minimal");
  QMenu* file = window.menuBar()->addMenu("&File");
  for (const char* item : {"&New", "&Open...", "&Save", "Save &As...", "E&xit"})
    file->addAction(item);
  window.menuBar()->addMenu("&Edit")->addAction("&Undo");
  window.menuBar()->addMenu("&Help")->addAction("&About");
  QToolBar* bar = window.addToolBar("Tools");
  for (int i = 0; i < 10; ++i) bar->addAction(QString("Button %1").arg(i));
  window.statusBar()->addWidget(new QLabel("Ready"), 1);
  window.statusBar()->addWidget(new QLabel("Ln: 1   Col: 1"));
  window.resize(744, 432);
  ludra::bench::ShowFirstFrame(window);
  return 0;
}
