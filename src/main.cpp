#include "Main.h"

#include <filesystem>

#include "LudraApplication.h"
#include "ProgramDirectory.h"

int main(int argc, char** argv) {
  ludra::TLudraApplication app(argc, argv);
  ludra::TfmMain fmMain(ludra::ProgramDirectory());
  if (argc > 1 && std::filesystem::is_regular_file(argv[1])) fmMain.LoadScript(argv[1]);
  fmMain.show();
  return app.exec();
}
