// Start-up to the first painted frame, offscreen: the program's main
// window with an include folder of 50 files, and with a generated 21-file,
// 512 KB set shaped like a game server's (doc comments, tags, quoted
// defaults), against a minimal Qt main window with a menu, a tool bar and a
// status bar, measured in the same run, in turns, as the median of each
// one's starts.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

// A program directory with the generated game-server-like include set.
const std::string& ServerSetDir() {
  static const std::string dir = [] {
    std::string d = (fs::temp_directory_path() / "ludra-bench-startup-server").string();
    fs::remove_all(d);
    ludra::bench::MakeIncludeSet(d + "/include");
    return d;
  }();
  return dir;
}

// Runs one start of the process. Returns the seconds from spawning it to
// its first frame (as it reports on its standard output) and to its end.
struct TStart {
  double FirstFrame = 0, Whole = 0;
};
TStart Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string reported;
  char buf[256];
  for (ssize_t n; spawned == 0 && (n = read(out[0], buf, sizeof buf)) != 0;)
    if (n > 0) reported.append(buf, static_cast<size_t>(n));
  close(out[0]);
  if (spawned != 0) return {};
  int status = 0;
  waitpid(pid, &status, 0);
  auto end = std::chrono::steady_clock::now();
  TStart times;
  times.Whole = std::chrono::duration<double>(end - start).count();
  long long frameNs = std::atoll(reported.c_str());
  times.FirstFrame = frameNs > 0 ? std::chrono::duration<double>(std::chrono::nanoseconds(frameNs) -
                                                                 start.time_since_epoch())
                                       .count()
                                 : times.Whole;
  return times;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  size_t n = times.size();
  return n == 0 ? 0 : n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// Both processes' start-up times, taken in turns (minimal window, program,
// minimal window, ...), so that a stretch of load on the shared machine
// falls on both alike; each figure is the median of its starts. The goal is
// the time to the first frame; the whole run (with what the program does at
// its first idle moment, and the exit) is given beside it.
struct TStartupTimes {
  double Minimal = 0, Ludra = 0, ServerSet = 0;
  double MinimalWhole = 0, LudraWhole = 0, ServerSetWhole = 0;
};
constexpr int kStarts = 51;

const TStartupTimes& StartupTimes() {
  static const TStartupTimes times = [] {
    const std::vector<std::string> minimal = {BenchDir() + "/startup_minimal"};
    const std::vector<std::string> ludra = {BenchDir() + "/startup_ludra", ProgramDir()};
    const std::vector<std::string> server = {BenchDir() + "/startup_ludra", ServerSetDir()};
    // The first start writes settings.ini and the association; one start
    // of each warms the file cache.
    Run(ludra);
    Run(server);
    Run(minimal);
    std::vector<double> frame[3], whole[3];
    for (int i = 0; i < kStarts; ++i) {
      int k = 0;
      for (const auto* args : {&minimal, &ludra, &server}) {
        TStart t = Run(*args);
        frame[k].push_back(t.FirstFrame);
        whole[k++].push_back(t.Whole);
      }
    }
    return TStartupTimes{Median(frame[0]), Median(frame[1]), Median(frame[2]),
                         Median(whole[0]), Median(whole[1]), Median(whole[2])};
  }();
  return times;
}

void BM_Baseline_MinimalWindowProcess(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(StartupTimes().Minimal);
  state.counters["starts"] = kStarts;
  state.counters["whole_ms"] = StartupTimes().MinimalWhole * 1e3;
}
BENCHMARK(BM_Baseline_MinimalWindowProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

void BM_LudraStartupProcess(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(StartupTimes().Ludra);
  state.counters["starts"] = kStarts;
  state.counters["whole_ms"] = StartupTimes().LudraWhole * 1e3;
}
BENCHMARK(BM_LudraStartupProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_LudraStartupProcess_ServerIncludeSet(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(StartupTimes().ServerSet);
  state.counters["starts"] = kStarts;
  state.counters["whole_ms"] = StartupTimes().ServerSetWhole * 1e3;
}
BENCHMARK(BM_LudraStartupProcess_ServerIncludeSet)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Start-up associates *.pwn files: in desktop directories of the benchmark's own.
  std::string desktop = (fs::temp_directory_path() / "ludra-bench-startup-desktop").string();
  setenv("XDG_DATA_HOME", (desktop + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (desktop + "/config").c_str(), 1);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_LudraStartupProcess", "BM_Baseline_MinimalWindowProcess"},
       {"BM_LudraStartupProcess_ServerIncludeSet", "BM_Baseline_MinimalWindowProcess"}});
}
