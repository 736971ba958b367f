#include <QApplication>

#include "Main.h"
#include "ProgramDirectory.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ludra");
  ludra::TfmMain fmMain(ludra::ProgramDirectory());
  fmMain.show();
  return app.exec();
}
