#include "Main.h"

#include <string>
#include <vector>

#include "LudraApplication.h"
#include "ProgramDirectory.h"

int main(int argc, char** argv) {
  ludra::TLudraApplication app(argc, argv);
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  ludra::TfmMain fmMain(ludra::ProgramDirectory(), params);
  fmMain.show();
  return app.exec();
}
