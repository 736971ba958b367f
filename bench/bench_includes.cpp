// The include scan at start-up: 50 include files holding 2,000 natives, read
// and parsed into the function list, completion and hint lists. Against the
// plain read of the same files split into lines, in the same run; and the
// main window built with that include folder against one built without. The
// walk through a script's include tree (21 files including each other, as
// a game server's set does) when nothing changed, against stat-ing the same
// files; and the scan of that set against reading it.
#include <sys/stat.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "BenchUtil.h"
#include "app/Main.h"
#include "appcore/IncludeScanner.h"
#include "appcore/IncludeTree.h"

namespace {

namespace fs = std::filesystem;

// A program directory with the include folder the start-up benchmark uses,
// and an empty one beside it.
const std::string& ProgramDir() {
  static const std::string dir = [] {
    std::string d = (fs::temp_directory_path() / "ludra-bench-includes").string();
    fs::remove_all(d);
    fs::create_directories(d + "/include");
    for (int f = 0; f < 50; ++f) {
      std::ofstream inc(d + "/include/lib" + std::to_string(f) + ".inc");
      inc << "/* include file " << f << " */\n#if defined _lib" << f
          << "_included\n#endinput\n#endif\n";
      for (int i = 0; i < 40; ++i)
        inc << "native Lib" << f << "_Function" << i
            << "(playerid, const name[], Float:x = 0.0);\n";
    }
    fs::create_directories(d + "/empty");
    return d;
  }();
  return dir;
}

void BM_Baseline_ReadAndSplitIncludes(benchmark::State& state) {
  std::string folder = ProgramDir() + "/include";
  for (auto _ : state) {
    size_t lines = 0;
    for (const auto& entry : fs::directory_iterator(folder))
      lines += ludra::bench::ReadAndSplitLines(entry.path().string()).size();
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_Baseline_ReadAndSplitIncludes)->Unit(benchmark::kMillisecond);

void BM_IncludeScan(benchmark::State& state) {
  std::string folder = ProgramDir() + "/include";
  for (auto _ : state) {
    ludra::TIncludeScan scan = ludra::ScanIncludeFolder(folder);
    if (scan.NameList.Count() != 2000) state.SkipWithError("wrong number of natives");
    benchmark::DoNotOptimize(scan);
  }
}
BENCHMARK(BM_IncludeScan)->Unit(benchmark::kMillisecond);

const std::string& ServerSetDir() {
  static const std::string dir = [] {
    std::string d = (fs::temp_directory_path() / "ludra-bench-includes-server").string();
    fs::remove_all(d);
    ludra::bench::MakeIncludeSet(d + "/script");
    fs::create_directories(d + "/include");
    return d;
  }();
  return dir;
}

void BM_Baseline_StatServerSet(benchmark::State& state) {
  std::vector<std::string> paths;
  for (const auto& entry : fs::directory_iterator(ServerSetDir() + "/script"))
    paths.push_back(entry.path().string());
  for (auto _ : state) {
    struct stat st;
    int64_t total = 0;
    for (const std::string& p : paths)
      if (::stat(p.c_str(), &st) == 0) total += st.st_size;
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_Baseline_StatServerSet)->Unit(benchmark::kMicrosecond);

void BM_IncludeTreeRescanUnchanged(benchmark::State& state) {
  ludra::TIncludeTree tree;
  const std::vector<ludra::TIncludeDirective> script = {{"gen0", true, false}};
  tree.Walk(script, ServerSetDir() + "/script", ServerSetDir() + "/include");
  for (auto _ : state) {
    ludra::TIncludeTree::TWalk walk =
        tree.Walk(script, ServerSetDir() + "/script", ServerSetDir() + "/include");
    if (walk.Changed || walk.Files.size() != 21) state.SkipWithError("the tree changed");
    benchmark::DoNotOptimize(walk);
  }
}
BENCHMARK(BM_IncludeTreeRescanUnchanged)->Unit(benchmark::kMicrosecond);

void BM_Baseline_ReadAndSplitServerSet(benchmark::State& state) {
  for (auto _ : state) {
    size_t lines = 0;
    for (const auto& entry : fs::directory_iterator(ServerSetDir() + "/script"))
      lines += ludra::bench::ReadAndSplitLines(entry.path().string()).size();
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_Baseline_ReadAndSplitServerSet)->Unit(benchmark::kMillisecond);

void BM_IncludeScanServerSet(benchmark::State& state) {
  for (auto _ : state) {
    ludra::TIncludeScan scan =
        ludra::ScanIncludeFolder(ServerSetDir() + "/script", ludra::TNativeListFill::Later);
    benchmark::DoNotOptimize(scan);
  }
}
BENCHMARK(BM_IncludeScanServerSet)->Unit(benchmark::kMillisecond);

// The main window of a program directory, built, shown and destroyed.
void MainWindow(benchmark::State& state, const std::string& programDir) {
  for (auto _ : state) {
    ludra::TfmMain window(programDir);
    window.show();
    // The include folder is scanned at the first idle moment after the first frame.
    while (window.StartPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    benchmark::DoNotOptimize(window.lbFunctions);
  }
}

void BM_Baseline_MainWindowWithoutIncludes(benchmark::State& state) {
  MainWindow(state, ProgramDir() + "/empty");
}
BENCHMARK(BM_Baseline_MainWindowWithoutIncludes)->Unit(benchmark::kMillisecond);

void BM_MainWindowWithIncludes(benchmark::State& state) { MainWindow(state, ProgramDir()); }
BENCHMARK(BM_MainWindowWithIncludes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_IncludeScan", "BM_Baseline_ReadAndSplitIncludes"},
       {"BM_MainWindowWithIncludes", "BM_Baseline_MainWindowWithoutIncludes"},
       {"BM_IncludeTreeRescanUnchanged", "BM_Baseline_StatServerSet"},
       {"BM_IncludeScanServerSet", "BM_Baseline_ReadAndSplitServerSet"}});
}
