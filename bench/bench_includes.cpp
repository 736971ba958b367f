// The function catalog: the include folder's 50 files holding 2,000 natives,
// read into a catalog, against the plain read of the same files split into
// lines, in the same run; the main window built with that include folder
// against one built without. The walk through a script's include tree (21
// files including each other, as a game server's set does) when nothing
// changed, against stat-ing the same files; and the catalog of that set
// against reading it. The window's longest stall while the catalog of a
// 1,700-file script tree is rebuilt after a typing pause, against the
// longest gap of the same event loop left idle.
#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "BenchUtil.h"
#include "app/Main.h"
#include "appcore/FunctionCatalog.h"
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

void BM_IncludeCatalog(benchmark::State& state) {
  std::string folder = ProgramDir() + "/include";
  for (auto _ : state) {
    ludra::TCatalogBuilder builder;
    ludra::TCatalogBuild build = builder.Build({{folder}, false, {}, {}});
    if (build.Catalog->Items().size() != 2000) state.SkipWithError("wrong number of natives");
    benchmark::DoNotOptimize(build);
  }
}
BENCHMARK(BM_IncludeCatalog)->Unit(benchmark::kMillisecond);

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
  const std::vector<ludra::TIncludeDirective> script = {{"gen0", true, false, 1}};
  const ludra::TIncludePaths paths{ServerSetDir() + "/include", {ServerSetDir() + "/script"}};
  tree.Walk({}, &script, paths);
  for (auto _ : state) {
    ludra::TIncludeTree::TWalk walk = tree.Walk({}, &script, paths);
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

void BM_CatalogServerSet(benchmark::State& state) {
  for (auto _ : state) {
    ludra::TCatalogBuilder builder;
    ludra::TCatalogBuild build = builder.Build({{ServerSetDir() + "/script"}, false, {}, {}});
    benchmark::DoNotOptimize(build);
  }
}
BENCHMARK(BM_CatalogServerSet)->Unit(benchmark::kMillisecond);

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

// A game mode of 1,700 files: the script includes its modules (named with
// "\\" folders, as on the system it was written on) and the 21-file set
// from the include folder; each module defines functions, forwards and
// globals under doc comments.
const std::string& TreeDir() {
  static const std::string dir = [] {
    std::string d = (fs::temp_directory_path() / "ludra-bench-includes-tree").string();
    fs::remove_all(d);
    ludra::bench::MakeIncludeSet(d + "/include");
    fs::create_directories(d + "/gm/modules");
    std::string script = "#include <gen0>\n";
    for (int m = 0; m < 1700; ++m) {
      std::string name = "m" + std::to_string(m);
      script += "#include \"modules\\" + name + ".pwn\"\n";
      std::ofstream out(d + "/gm/modules/" + name + ".pwn");
      out << "/// <summary>State of " << name << ".</summary>\nnew " << name << "_state;\n";
      for (int f = 0; f < 8; ++f)
        out << "/// <summary>Handles " << f << ".</summary>\nforward " << name << "_On" << f
            << "(playerid);\npublic " << name << "_On" << f << "(playerid)\n{\n\tif (playerid < "
            << f << ") return 0;\n\t" << name << "_state++;\n\treturn 1;\n}\nstock " << name
            << "_Get" << f << "(const text[] = \"a, b\") return strlen(text);\n";
    }
    script += "\nmain()\n{\n}\n";
    std::ofstream(d + "/gm/main.pwn") << script;
    return d;
  }();
  return dir;
}

// The longest time the window's event loop went without running while
// work (or nothing) went on for a while: a 1 ms timer notes each gap.
template <class F>
double LongestGapMs(F&& start, const std::function<bool()>& busy) {
  QElapsedTimer clock;
  clock.start();
  qint64 last = clock.nsecsElapsed(), longest = 0;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    qint64 now = clock.nsecsElapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  tick.start();
  QApplication::processEvents();
  last = clock.nsecsElapsed();
  qint64 before = clock.nsecsElapsed();
  start();
  longest = std::max(longest, clock.nsecsElapsed() - before);
  last = clock.nsecsElapsed();
  while (busy()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  longest = std::max(longest, clock.nsecsElapsed() - last);
  return static_cast<double>(longest) / 1e6;
}

void BM_RebuildStall_1700Files(benchmark::State& state) {
  ludra::TfmMain window(TreeDir());
  window.show();
  while (window.StartPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  // The first catalog of the tree reads every file.
  state.counters["first_build_gap_ms"] =
      LongestGapMs([&] { window.LoadScript(TreeDir() + "/gm/main.pwn"); },
                   [&] { return window.StartPending(); });
  state.counters["rows"] = static_cast<double>(window.Catalog()->Rows().size());
  state.counters["items"] = static_cast<double>(window.Catalog()->Items().size());
  int edit = 0;
  double worst = 0;
  for (auto _ : state) {
    // A typing pause: the script changed, then the rebuild.
    window.moCode->Lines().Add("stock Typed" + std::to_string(edit++) + "() {}");
    double gap =
        LongestGapMs([&] { window.RebuildCatalog(); }, [&] { return window.StartPending(); });
    worst = std::max(worst, gap);
    state.SetIterationTime(gap / 1e3);
  }
  state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_RebuildStall_1700Files)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

void BM_Baseline_IdleEventLoopGap(benchmark::State& state) {
  for (auto _ : state) {
    QElapsedTimer idle;
    idle.start();
    double gap = LongestGapMs([] {}, [&] { return idle.elapsed() < 100; });
    state.SetIterationTime(gap / 1e3);
  }
}
BENCHMARK(BM_Baseline_IdleEventLoopGap)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_IncludeCatalog", "BM_Baseline_ReadAndSplitIncludes"},
       {"BM_MainWindowWithIncludes", "BM_Baseline_MainWindowWithoutIncludes"},
       {"BM_IncludeTreeRescanUnchanged", "BM_Baseline_StatServerSet"},
       {"BM_CatalogServerSet", "BM_Baseline_ReadAndSplitServerSet"},
       {"BM_RebuildStall_1700Files", "BM_Baseline_IdleEventLoopGap"}});
}
