// Plain search throughput on a generated 50 MB script: FindAllInLine over
// every line, counting a frequent and a rare six-letter word with and without
// case, against the C library's memmem over the same lines (and, for
// reference, over the whole text in one piece),
// std::boyer_moore_horspool_searcher over the same lines and `grep -c -F`
// (and -i) run on the same bytes written to a file. Prints each ratio and the
// cost of case folding after the usual table; the case-insensitive searches
// are compared with the case-sensitive memmem, which has no folding form.
// With --benchmark_repetitions the table uses the medians.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/SynCodePage.h"
#include "search/SynEditSearch.h"

using namespace ludra;

namespace {

constexpr size_t kDocumentBytes = 50 * 1024 * 1024;

// A PAWN-like script: declarations, calls, comments, loops. "player" is
// everywhere (also as "Player" inside names); "zombie" is on about one line
// in five thousand.
const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    const char* names[] = {"value",  "count",       "index",        "playerid", "vehicle",
                           "result", "string",      "buffer",       "length",   "target",
                           "Amount", "MAX_PLAYERS", "player_score", "weapon",   "money"};
    const char* calls[] = {"printf",   "format", "strlen", "SendClientMessage", "GetPlayerName",
                           "SetTimer", "strcmp", "valstr", "IsPlayerConnected", "GivePlayerMoney"};
    std::mt19937 random(42);
    auto pick = [&](auto& table) {
      return std::string(table[random() % (sizeof table / sizeof table[0])]);
    };
    std::vector<std::string> out;
    size_t total = 0;
    while (total < kDocumentBytes) {
      std::string indent(random() % 4, '\t');
      std::string a = pick(names), b = pick(names), line;
      switch (random() % 9) {
        case 0:
          line = indent + "new " + a + " = " + std::to_string(random() % 1000) + ";";
          break;
        case 1:
          line = indent + "if (" + a + " > " + b + " && IsPlayerConnected(playerid)) {";
          break;
        case 2:
          line = indent + pick(calls) + "(" + a + ", \"%d items for the player\", " + b + ");";
          break;
        case 3:
          line = indent + "return " + a + ";";
          break;
        case 4:
          line = indent + "// " + a + " holds the " + b + " of the " + pick(names);
          break;
        case 5:
          line = indent + "for (new i = 0; i < " + a + "; i++) " + b + "[i] = 0;";
          break;
        case 6:
          line = indent + "}";
          break;
        case 7:
          line = indent + "SetPlayerPos(playerid, 1958.3783, 1343.1572, 15.3746);";
          break;
        default:
          line.clear();
          break;
      }
      if (random() % 5000 == 0) line += " // zombie";
      total += line.size() + 1;
      out.push_back(std::move(line));
    }
    return out;
  }();
  return lines;
}

int64_t TotalBytes() {
  static const int64_t total = [] {
    int64_t n = 0;
    for (const auto& line : Lines()) n += static_cast<int64_t>(line.size()) + 1;
    return n;
  }();
  return total;
}

// The same document as a file for grep, removed at exit.
char documentPath[64];

const char* DocumentFile() {
  static const bool written = [] {
    std::snprintf(documentPath, sizeof documentPath, "/tmp/ludra_bench_search_%d.pwn",
                  static_cast<int>(getpid()));
    std::ofstream out(documentPath, std::ios::binary);
    for (const auto& line : Lines()) out << line << '\n';
    std::atexit([] { std::remove(documentPath); });
    return true;
  }();
  (void)written;
  return documentPath;
}

void BM_FindAllInLine(benchmark::State& state, const char* word, bool matchCase) {
  const auto& lines = Lines();
  TSynEditSearch engine;
  engine.SetSearchOptions(matchCase ? TSynSearchFlags{sfMatchCase} : TSynSearchFlags{});
  engine.SetPattern(word);
  int64_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (const auto& line : lines) count += engine.FindAllInLine(line);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  state.counters["found"] = static_cast<double>(count);
}

// The occurrences memmem finds in the text, moving past each one as the
// engine does.
int64_t CountWithMemmem(const std::string& text, const char* word, size_t m) {
  int64_t count = 0;
  const char* p = text.data();
  const char* end = p + text.size();
  while (const void* hit = memmem(p, static_cast<size_t>(end - p), word, m)) {
    ++count;
    p = static_cast<const char*>(hit) + m;
  }
  return count;
}

// memmem on each line.
void BM_Memmem(benchmark::State& state, const char* word, bool /*matchCase*/) {
  const auto& lines = Lines();
  const size_t m = std::strlen(word);
  int64_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (const auto& line : lines) count += CountWithMemmem(line, word, m);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  state.counters["found"] = static_cast<double>(count);
}

// memmem over the document as one block of text with its line ends: no cost
// per line at all.
void BM_MemmemBlock(benchmark::State& state, const char* word, bool /*matchCase*/) {
  static const std::string block = [] {
    std::string s;
    s.reserve(static_cast<size_t>(TotalBytes()));
    for (const auto& line : Lines()) (s += line) += '\n';
    return s;
  }();
  const size_t m = std::strlen(word);
  int64_t count = 0;
  for (auto _ : state) {
    count = CountWithMemmem(block, word, m);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  state.counters["found"] = static_cast<double>(count);
}

struct FoldHash {
  size_t operator()(char c) const { return CodePage().LowerCase(static_cast<unsigned char>(c)); }
};
struct FoldEqual {
  bool operator()(char a, char b) const {
    const TCodePage& page = CodePage();
    return page.LowerCase(static_cast<unsigned char>(a)) ==
           page.LowerCase(static_cast<unsigned char>(b));
  }
};

template <typename Searcher>
int64_t CountWithSearcher(const std::vector<std::string>& lines, const Searcher& searcher) {
  int64_t count = 0;
  for (const auto& line : lines) {
    auto it = line.begin();
    for (;;) {
      auto [first, last] = searcher(it, line.end());
      if (first == line.end()) break;
      ++count;
      it = last;  // occurrences do not overlap
    }
  }
  return count;
}

void BM_StdHorspool(benchmark::State& state, const char* word, bool matchCase) {
  const auto& lines = Lines();
  std::string pattern = word;
  int64_t count = 0;
  for (auto _ : state) {
    if (matchCase)
      count = CountWithSearcher(lines,
                                std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    else
      count =
          CountWithSearcher(lines, std::boyer_moore_horspool_searcher(
                                       pattern.begin(), pattern.end(), FoldHash(), FoldEqual()));
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  state.counters["found"] = static_cast<double>(count);
}

// grep counts matching lines, not occurrences; it is a throughput baseline.
// Each iteration is one child process reading the file (from the page cache
// after the first run). Its time is the child's processor time, as the other
// benchmarks' rates are, so that other load on the machine does not count.
void BM_Grep(benchmark::State& state, const char* word, bool matchCase) {
  const std::string file = DocumentFile();
  std::string command =
      std::string("grep -c -F ") + (matchCase ? "" : "-i ") + "-e " + word + " " + file;
  int64_t lines = 0;
  for (auto _ : state) {
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
      state.SkipWithError("grep did not start");
      return;
    }
    long long n = 0;
    if (std::fscanf(pipe, "%lld", &n) != 1) n = -1;
    if (pclose(pipe) == -1 || n < 0) {
      state.SkipWithError("grep failed");
      return;
    }
    lines = n;
    getrusage(RUSAGE_CHILDREN, &after);
    auto seconds = [](const rusage& r) {
      auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
      return s(r.ru_utime) + s(r.ru_stime);
    };
    state.SetIterationTime(seconds(after) - seconds(before));
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  state.counters["lines"] = static_cast<double>(lines);
}

#define SEARCH_CASES(fn, ...)                                                                      \
  BENCHMARK_CAPTURE(fn, frequent_case, "player", true)->Unit(benchmark::kMillisecond) __VA_ARGS__; \
  BENCHMARK_CAPTURE(fn, frequent_nocase, "player", false)                                          \
      ->Unit(benchmark::kMillisecond) __VA_ARGS__;                                                 \
  BENCHMARK_CAPTURE(fn, rare_case, "zombie", true)->Unit(benchmark::kMillisecond) __VA_ARGS__;     \
  BENCHMARK_CAPTURE(fn, rare_nocase, "zombie", false)->Unit(benchmark::kMillisecond) __VA_ARGS__

SEARCH_CASES(BM_FindAllInLine);
BENCHMARK_CAPTURE(BM_Memmem, frequent_case, "player", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memmem, rare_case, "zombie", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemmemBlock, frequent_case, "player", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MemmemBlock, rare_case, "zombie", true)->Unit(benchmark::kMillisecond);
SEARCH_CASES(BM_StdHorspool);
SEARCH_CASES(BM_Grep, ->UseManualTime());

// Keeps each run's throughput so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      auto rate = run.counters.find("bytes_per_second");
      auto found = run.counters.find("found");
      // One repetition's figures, or the median of several.
      bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if ((single || median) && rate != run.counters.end()) {
        std::string name = run.benchmark_name();
        size_t slash = name.find('/');
        std::string rest = name.substr(slash + 1);
        rest = rest.substr(0, rest.find('/'));  // drop "/manual_time"
        rest = rest.substr(0, rest.find("_median"));
        results_[rest][name.substr(0, slash)] = {
            rate->second.value, found != run.counters.end() ? found->second.value : -1};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf("\n%-16s %11s %11s %11s %11s %9s %9s %9s %9s %12s\n", "case", "engine MB/s",
                "memmem MB/s", "std MB/s", "grep MB/s", "vs memmem", "vs block", "vs std",
                "vs grep", "nocase/case");
    for (const auto& [name, byKind] : results_) {
      double engine = Rate(byKind, "BM_FindAllInLine"), std = Rate(byKind, "BM_StdHorspool"),
             grep = Rate(byKind, "BM_Grep");
      if (engine <= 0) continue;
      // memmem only searches with case: the case-insensitive search is held
      // against the case-sensitive memmem of the same word.
      std::string sensitiveName = name;
      if (name.ends_with("_nocase")) sensitiveName = name.substr(0, name.size() - 7) + "_case";
      auto sensitive = results_.find(sensitiveName);
      double memmem = 0, block = 0, sensitiveEngine = 0;
      if (sensitive != results_.end()) {
        memmem = Rate(sensitive->second, "BM_Memmem");
        block = Rate(sensitive->second, "BM_MemmemBlock");
        sensitiveEngine = Rate(sensitive->second, "BM_FindAllInLine");
      }
      std::string folding;
      if (name != sensitiveName && sensitiveEngine > 0)
        folding = std::to_string(sensitiveEngine / engine).substr(0, 4) + "x slower";
      auto differs = [&](const char* kind) {
        return byKind.count(kind) != 0 &&
               byKind.at(kind).found != byKind.at("BM_FindAllInLine").found;
      };
      bool same = !differs("BM_StdHorspool") && !differs("BM_Memmem");
      auto ratio = [&](double base) { return base > 0 ? engine / base : 0; };
      std::printf("%-16s %11.0f %11.0f %11.0f %11.0f %8.2fx %8.2fx %8.2fx %8.2fx %12s%s\n",
                  name.c_str(), engine / 1e6, memmem / 1e6, std / 1e6, grep / 1e6, ratio(memmem),
                  ratio(block), ratio(std), ratio(grep), folding.c_str(),
                  same ? "" : "  COUNTS DIFFER");
    }
    std::printf(
        "(ratios above 1 mean the engine is faster; memmem runs per line, \"block\" over the "
        "whole text)\n");
  }

 private:
  struct Result {
    double rate = 0;
    double found = 0;
  };
  static double Rate(const std::map<std::string, Result>& byKind, const char* kind) {
    auto it = byKind.find(kind);
    return it == byKind.end() ? 0 : it->second.rate;
  }
  std::map<std::string, std::map<std::string, Result>> results_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
