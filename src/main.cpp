#include "app/Main.h"

#include <string>
#include <vector>

#include "app/LudraApplication.h"
#include "platform/ProgramDirectory.h"

int main(int argc, char** argv) {
  ludra::TLudraApplication app(argc, argv);
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  ludra::TfmMain fmMain(ludra::ProgramDirectory(), params);
  fmMain.show();
  return app.exec();
}
