#include "Main.h"

namespace ludra {

TfmMain::TfmMain(const std::string& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir) {
  setObjectName("fmMain");
  setWindowTitle("Ludra");
  resize(744, 432);
}

}  // namespace ludra
