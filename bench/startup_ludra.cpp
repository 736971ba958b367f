// The measured side of the start-up benchmark: the program's main window for
// the program directory given as the first argument, shown until its first
// frame is painted; then what start-up left for the first idle moment (the
// include folder's scan) runs, and the process ends.
#include <QApplication>

#include "StartupFrame.h"
#include "app/LudraApplication.h"
#include "app/Main.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string programDir = argv[1];
  ludra::TLudraApplication app(argc, argv);
  ludra::TfmMain fmMain(programDir);
  ludra::bench::ShowFirstFrame(fmMain);
  while (fmMain.StartPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return 0;
}
