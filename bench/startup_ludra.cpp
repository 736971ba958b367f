// The measured side of the start-up benchmark: the program's main window for
// the program directory given as the first argument, shown and painted, then
// the process ends.
#include <QApplication>

#include "app/LudraApplication.h"
#include "app/Main.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string programDir = argv[1];
  ludra::TLudraApplication app(argc, argv);
  ludra::TfmMain fmMain(programDir);
  fmMain.show();
  QApplication::processEvents();
  QApplication::processEvents();
  return 0;
}
