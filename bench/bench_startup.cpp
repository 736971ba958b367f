// Start-up to the shown window, whole process, offscreen: the program's main
// window with an include folder of 50 files, against a minimal Qt main window
// with a menu, a tool bar and a status bar, measured in the same run.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchUtil.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string BenchDir() {
  std::vector<char> buf(4096);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  return fs::path(std::string(buf.data(), n > 0 ? n : 0)).parent_path().string();
}

// A program directory with 50 include files of natives, and the settings a
// previous start left behind.
const std::string& ProgramDir() {
  static const std::string dir = [] {
    std::string d = (fs::temp_directory_path() / "ludra-bench-startup").string();
    fs::create_directories(d + "/include");
    for (int f = 0; f < 50; ++f) {
      std::ofstream inc(d + "/include/lib" + std::to_string(f) + ".inc");
      inc << "/* include file " << f << " */\n#if defined _lib" << f
          << "_included\n#endinput\n#endif\n";
      for (int i = 0; i < 40; ++i)
        inc << "native Lib" << f << "_Function" << i
            << "(playerid, const name[], Float:x = 0.0);\n";
    }
    return d;
  }();
  return dir;
}

void Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return;
  int status = 0;
  waitpid(pid, &status, 0);
}

void BM_Baseline_MinimalWindowProcess(benchmark::State& state) {
  std::string exe = BenchDir() + "/startup_minimal";
  for (auto _ : state) Run({exe});
}
BENCHMARK(BM_Baseline_MinimalWindowProcess)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_LudraStartupProcess(benchmark::State& state) {
  std::string exe = BenchDir() + "/startup_ludra";
  Run({exe, ProgramDir()});  // the first start writes settings.ini and the association
  for (auto _ : state) Run({exe, ProgramDir()});
}
BENCHMARK(BM_LudraStartupProcess)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Start-up associates *.pwn files: in desktop directories of the benchmark's own.
  std::string desktop = (fs::temp_directory_path() / "ludra-bench-startup-desktop").string();
  setenv("XDG_DATA_HOME", (desktop + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (desktop + "/config").c_str(), 1);
  return ludra::bench::RunWithRatios(
      argc, argv, {{"BM_LudraStartupProcess", "BM_Baseline_MinimalWindowProcess"}});
}
