// Loading and saving a 50 MB, 1.25-million-line C-like file through the line
// buffer, against reading and splitting the same bytes into a vector of
// strings and against writing them with one fwrite. Also the memory the
// loaded buffer keeps and the peak while loading, measured in a child process.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "buffer/SynEditTextBuffer.h"

using namespace ludra;

namespace {

const std::string& FileName() {
  static const std::string name = [] {
    std::string n = "/tmp/ludra-bench-buffer.pwn";
    std::string text = bench::MakeCLikeText(50u * 1000 * 1000, 40);
    std::ofstream(n, std::ios::binary) << text;
    return n;
  }();
  return name;
}

void BM_Baseline_ReadAndSplit(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::string> lines = bench::ReadAndSplitLines(FileName());
    benchmark::DoNotOptimize(lines.data());
    state.counters["lines"] = static_cast<double>(lines.size());
  }
}
BENCHMARK(BM_Baseline_ReadAndSplit)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Load(benchmark::State& state) {
  for (auto _ : state) {
    TSynEditStringList b;
    b.LoadFromFile(FileName());
    benchmark::DoNotOptimize(b.Count());
    state.counters["lines"] = b.Count();
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LongestLineLengthAfterLoad(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TSynEditStringList b;
    b.SetTabWidth(4);
    b.LoadFromFile(FileName());
    state.ResumeTiming();
    benchmark::DoNotOptimize(b.LongestLineLength());
  }
}
BENCHMARK(BM_LongestLineLengthAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_OneFwrite(benchmark::State& state) {
  std::string data = bench::ReadFileBytes(FileName());
  for (auto _ : state) {
    std::FILE* f = std::fopen("/tmp/ludra-bench-out.pwn", "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
}
BENCHMARK(BM_Baseline_OneFwrite)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_OneFwriteSynced(benchmark::State& state) {
  std::string data = bench::ReadFileBytes(FileName());
  for (auto _ : state) {
    std::FILE* f = std::fopen("/tmp/ludra-bench-out.pwn", "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fflush(f);
    fsync(fileno(f));
    std::fclose(f);
  }
}
BENCHMARK(BM_Baseline_OneFwriteSynced)->Unit(benchmark::kMillisecond)->Iterations(5);

// The buffer's line-by-line writer alone, without the safe-save steps.
void BM_SaveWriterOnly(benchmark::State& state) {
  TSynEditStringList b;
  b.LoadFromFile(FileName());
  for (auto _ : state) {
    TSynEditFileWriter w("/tmp/ludra-bench-out.pwn");
    w.SetLineEndStyle(b.LineEndStyle());
    for (int i = 0; i < b.Count(); ++i) w.WriteLine(b.GetView(i));
  }
}
BENCHMARK(BM_SaveWriterOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

// SaveToFile: temporary file, fsync, rename over the target.
void BM_SaveToFile(benchmark::State& state) {
  TSynEditStringList b;
  b.LoadFromFile(FileName());
  for (auto _ : state) b.SaveToFile("/tmp/ludra-bench-out.pwn");
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->Iterations(5);

long StatusKb(const char* key) {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Resident memory added by loading, and the peak while loading, as a multiple
// of the file size; measured in a fresh child so other benchmarks don't count.
void ReportMemory() {
  const std::string& name = FileName();
  long fileKb = static_cast<long>(std::ifstream(name, std::ios::ate | std::ios::binary).tellg() / 1024);
  int pipeFd[2];
  if (pipe(pipeFd) != 0) return;
  pid_t pid = fork();
  if (pid == 0) {
    long before = StatusKb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak
    TSynEditStringList b;
    b.LoadFromFile(name);
    long after = StatusKb("VmRSS:");
    long peak = StatusKb("VmHWM:");
    long vals[2] = {after - before, peak - before};
    (void)!write(pipeFd[1], vals, sizeof vals);
    _exit(0);
  }
  long vals[2] = {0, 0};
  (void)!read(pipeFd[0], vals, sizeof vals);
  waitpid(pid, nullptr, 0);
  std::printf("\nmemory: file %ld KB; loaded buffer %ld KB (%.2fx file); peak while loading %ld KB (%.2fx file)\n",
              fileKb, vals[0], static_cast<double>(vals[0]) / fileKb, vals[1],
              static_cast<double>(vals[1]) / fileKb);
}

}  // namespace

int main(int argc, char** argv) {
  FileName();
  ReportMemory();
  return bench::RunWithRatios(argc, argv,
                              {{"BM_Load", "BM_Baseline_ReadAndSplit"},
                               {"BM_SaveWriterOnly", "BM_Baseline_OneFwrite/"},
                               {"BM_SaveToFile", "BM_Baseline_OneFwriteSynced"},
                               {"BM_SaveToFile", "BM_Baseline_OneFwrite/"}});
}
