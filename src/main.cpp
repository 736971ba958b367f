#include "LudraApplication.h"
#include "Main.h"
#include "ProgramDirectory.h"

int main(int argc, char** argv) {
  ludra::TLudraApplication app(argc, argv);
  ludra::TfmMain fmMain(ludra::ProgramDirectory());
  fmMain.show();
  return app.exec();
}
