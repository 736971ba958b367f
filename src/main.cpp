#include "app/Main.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/LudraApplication.h"
#include "app/RunningWindow.h"
#include "platform/InstanceSocket.h"
#include "platform/ProgramDirectory.h"
#include "platform/ProgramFiles.h"

namespace {

constexpr const char* kUsage =
    "Usage: ludra [SCRIPT]...\n"
    "An editor for PAWN scripts; opens SCRIPT (a .pwn file) when one is named.\n"
    "While Ludra runs on this display, the scripts open in that window instead.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "Settings are kept in settings.ini beside the program when that folder is\n"
    "writable or already holds one, else in $XDG_CONFIG_HOME/ludra/settings.ini\n"
    "(~/.config/ludra/ by default). The compiler pawncc is looked for beside the\n"
    "program, then on the PATH; the include folder beside the compiler, then\n"
    "beside the program.\n";

}  // namespace

int main(int argc, char** argv) {
  // Asked from a terminal: answered there, with no window and no display.
  if (argc > 1) {
    std::string_view option = argv[1];
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (option == "--version") {
      std::printf("Ludra %s\n", LUDRA_VERSION);
      return 0;
    }
  }
  // Every program started from here on (the desktop's opener, the tools
  // that refresh the desktop's caches, and what those run in turn) is
  // looked up in absolute folders only, never in the current folder.
  setenv("PATH", ludra::ProgramSearchPath().c_str(), 1);
  ludra::TLudraApplication app(argc, argv);
  std::vector<std::string> params(argv + (argc > 0 ? 1 : 0), argv + argc);
  ludra::TRunningWindow running(ludra::InstanceSocketPath());
  if (running.HandOver(params)) return 0;
  // Two starts at once: the one that lost the race hands over to the other.
  if (!running.Listen()) {
    if (running.HandOver(params)) return 0;
    std::fprintf(stderr, "ludra: later starts open windows of their own: %s\n",
                 running.Error().c_str());
  }
  ludra::TfmMain fmMain(ludra::ProgramDirectory(), params);
  running.OnFiles = [&fmMain](const std::vector<std::string>& files) {
    fmMain.Guarded([&] { fmMain.FilesHandedOver(files); });
  };
  fmMain.show();
  return app.exec();
}
