// Plain search throughput: FindAllInLine over every line of a generated
// 10 MB C-like text, against std::boyer_moore_horspool_searcher counting the
// same occurrences in the same lines. Prints each engine/baseline ratio and
// the cost of case folding after the usual table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "SynCodePage.h"
#include "SynEditSearch.h"

using namespace ludra;

namespace {

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    const char* names[] = {"value",  "count",  "index",  "player", "vehicle", "result",
                           "string", "buffer", "length", "target", "Amount",  "MAX_PLAYERS"};
    const char* calls[] = {"printf",        "format",   "strlen", "SendClientMessage",
                           "GetPlayerName", "SetTimer", "strcmp", "valstr"};
    std::mt19937 random(42);
    auto pick = [&](auto& table) {
      return std::string(table[random() % (sizeof table / sizeof table[0])]);
    };
    std::vector<std::string> out;
    size_t total = 0;
    while (total < 10 * 1024 * 1024) {
      std::string indent(2 * (random() % 4), ' ');
      std::string a = pick(names), b = pick(names), line;
      switch (random() % 8) {
        case 0:
          line = indent + "new " + a + " = " + std::to_string(random() % 1000) + ";";
          break;
        case 1:
          line = indent + "if (" + a + " > " + b + ") {";
          break;
        case 2:
          line = indent + pick(calls) + "(" + a + ", \"%d items\", " + b + ");";
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
        default:
          line.clear();
          break;
      }
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
    for (const auto& line : Lines()) n += static_cast<int64_t>(line.size());
    return n;
  }();
  return total;
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

// A frequent word, a rare one, and a long identifier.
#define SEARCH_CASES(fn)                                                                  \
  BENCHMARK_CAPTURE(fn, value_case, "value", true)->Unit(benchmark::kMillisecond);        \
  BENCHMARK_CAPTURE(fn, value_nocase, "value", false)->Unit(benchmark::kMillisecond);     \
  BENCHMARK_CAPTURE(fn, valstr_case, "valstr", true)->Unit(benchmark::kMillisecond);      \
  BENCHMARK_CAPTURE(fn, valstr_nocase, "valstr", false)->Unit(benchmark::kMillisecond);   \
  BENCHMARK_CAPTURE(fn, long_case, "GetPlayerName", true)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(fn, long_nocase, "GetPlayerName", false)->Unit(benchmark::kMillisecond)

SEARCH_CASES(BM_FindAllInLine);
SEARCH_CASES(BM_StdHorspool);

// Keeps each run's throughput so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      auto rate = run.counters.find("bytes_per_second");
      auto found = run.counters.find("found");
      if (run.run_type == Run::RT_Iteration && rate != run.counters.end()) {
        std::string name = run.benchmark_name();
        size_t slash = name.find('/');
        results_[name.substr(slash + 1)][name.substr(0, slash)] = {rate->second.value,
                                                                   found->second.value};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    std::printf("\n%-16s %12s %12s %10s %14s\n", "case", "engine MB/s", "std MB/s", "ratio",
                "nocase/case");
    for (const auto& [name, byKind] : results_) {
      auto engine = byKind.find("BM_FindAllInLine"), baseline = byKind.find("BM_StdHorspool");
      if (engine == byKind.end() || baseline == byKind.end()) continue;
      std::string folding;
      if (name.ends_with("_nocase")) {
        auto sensitive = results_.find(name.substr(0, name.size() - 7) + "_case");
        if (sensitive != results_.end() && sensitive->second.count("BM_FindAllInLine"))
          folding =
              std::to_string(sensitive->second.at("BM_FindAllInLine").rate / engine->second.rate)
                  .substr(0, 4) +
              "x slower";
      }
      std::printf("%-16s %12.0f %12.0f %9.2fx %14s%s\n", name.c_str(), engine->second.rate / 1e6,
                  baseline->second.rate / 1e6, engine->second.rate / baseline->second.rate,
                  folding.c_str(),
                  engine->second.found == baseline->second.found ? "" : "  COUNTS DIFFER");
    }
  }

 private:
  struct Result {
    double rate = 0;
    double found = 0;
  };
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
