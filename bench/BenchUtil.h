#pragma once
// Shared pieces of the benchmarks: generated test files, and a reporter that
// prints, after the run, each benchmark's time as a ratio to its baseline
// measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ludra::bench {

// C-like source text of about `bytes` bytes in lines of about `lineLength`
// bytes, with comments, strings, numbers, keywords and tabs.
inline std::string MakeCLikeText(size_t bytes, size_t lineLength = 40, unsigned seed = 7) {
  static const char* const kLines[] = {"\tnew value = GetPlayerScore(playerid);",
                                       "// a comment about the next few lines",
                                       "if (value > 100 && flags & 0x1F) {",
                                       "\tformat(msg, sizeof msg, \"%d: %s\", id, name);",
                                       "}",
                                       "#define MAX_PLAYERS (500)",
                                       "\tfor (new i = 0; i < 10; i++) total += i * 3.5;",
                                       "/* block comment */ return 1;",
                                       "stock Float:GetDistance(Float:x, Float:y)",
                                       "\tprintf(\"value is %d\\n\", value);",
                                       "native SetTimer(name[], interval, repeating);",
                                       "\tcase 'a': count--;"};
  std::mt19937 rng(seed);
  std::string text;
  text.reserve(bytes + 128);
  while (text.size() < bytes) {
    std::string line = kLines[rng() % (sizeof kLines / sizeof *kLines)];
    while (line.size() + 8 < lineLength) line += " x" + std::to_string(rng() % 1000);
    text += line;
    text += '\n';
  }
  return text;
}

// An include set shaped like a game server's: `files` include files of
// about `bytes` bytes in all, most natives under a "///" summary with
// <param> and <returns> lines, tagged natives, defaults holding quoted
// commas, {Float,_}: arguments, declarations over two lines, and each file
// including the next one. Returns the number of natives written.
inline int MakeIncludeSet(const std::string& folder, int files = 21, size_t bytes = 512 * 1024) {
  static const char* const kTags[] = {
      "", "Text:", "PlayerText:", "Float:", "bool:", "Menu:", "DB:", "Text3D:"};
  static const char* const kWords[] = {"Player", "Vehicle", "Object", "Text", "Draw", "Menu",
                                       "Zone",   "Actor",   "Pickup", "Gang", "Set",  "Get"};
  std::filesystem::create_directories(folder);
  std::mt19937 rng(31);
  const size_t perFile = bytes / static_cast<size_t>(files);
  int natives = 0;
  for (int f = 0; f < files; ++f) {
    std::string text = "/* generated include " + std::to_string(f) + " */\n#if defined _gen" +
                       std::to_string(f) + "_included\n#endinput\n#endif\n#define _gen" +
                       std::to_string(f) + "_included\n";
    if (f + 1 < files) text += "#include <gen" + std::to_string(f + 1) + ">\n\n";
    for (int i = 0; text.size() < perFile; ++i, ++natives) {
      std::string name = std::string(kWords[rng() % 12]) + kWords[rng() % 12] + std::to_string(f) +
                         "_" + std::to_string(i);
      if (rng() % 8 != 0) {
        text += "/// <summary>Changes the " + std::string(kWords[rng() % 12]) +
                " &amp; its state; see <b>notes</b> for the rules.</summary>\n"
                "/// <param name=\"playerid\">The ID of the player to change.</param>\n"
                "/// <param name=\"x\">The x coordinate &lt;in metres&gt;.</param>\n"
                "/// <param name=\"font\">The font's name.</param>\n"
                "/// <returns>1 on success, 0 when the player is not connected.</returns>\n";
      }
      text += "native " + std::string(kTags[rng() % 8]) + name + "(playerid, Float:x, Float:y";
      switch (rng() % 4) {
        case 0:
          text += ", const font[] = \"Arial, Bold\", color = 0xFFFFFFFF);\n";
          break;
        case 1:
          text += ",\n\tconst format[], {Float,_}:...);\n";
          break;
        case 2:
          text += ", const sep[] = \",\", c = '\\,');\n";
          break;
        default:
          text += ", bool:toggle = true);\n";
          break;
      }
      text += "\n";
    }
    std::ofstream(folder + "/gen" + std::to_string(f) + ".inc", std::ios::binary) << text;
  }
  return natives;
}

// The whole file as one string, read with one fread.
inline std::string ReadFileBytes(const std::string& name) {
  std::string s;
  if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    s.resize(size > 0 ? static_cast<size_t>(size) : 0);
    s.resize(std::fread(s.data(), 1, s.size(), f));
    std::fclose(f);
  }
  return s;
}

// The plain baseline of loading: the file's bytes split at LF into strings.
inline std::vector<std::string> ReadAndSplitLines(const std::string& name) {
  std::string data = ReadFileBytes(name);
  std::vector<std::string> lines;
  size_t p = 0;
  while (p < data.size()) {
    size_t e = data.find('\n', p);
    if (e == std::string::npos) e = data.size();
    lines.emplace_back(data, p, e - p);
    p = e + 1;
  }
  return lines;
}

// The replacements of `search` by `replace` made on a plain vector of the
// lines lineText(0..lineCount-1), with no editor around: the baseline of the
// replace benchmarks. `occurrences` is the count the document must give.
template <typename LineText>
void PlainVectorReplace(benchmark::State& state, int lineCount, LineText lineText,
                        const std::string& search, const std::string& replace, int occurrences) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> lines;
    lines.reserve(lineCount);
    for (int i = 0; i < lineCount; ++i) lines.push_back(lineText(i));
    state.ResumeTiming();
    int count = 0;
    for (auto& line : lines)
      for (size_t at = line.find(search); at != std::string::npos;
           at = line.find(search, at + replace.size())) {
        line.replace(at, search.size(), replace);
        ++count;
      }
    benchmark::DoNotOptimize(count);
    if (count != occurrences) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * occurrences);
}

// Collects real times and, at the end, prints name / baseline ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Pairs of (benchmark name prefix, baseline name prefix).
  explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
      : pairs_(std::move(pairs)) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& r : runs)
      // In seconds: a benchmark and its baseline may print different units.
      if (!r.error_occurred)
        times_[r.benchmark_name()] =
            r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-48s %-40s %8s\n", "benchmark", "baseline", "ratio");
    for (const auto& [name, base] : pairs_) {
      double t = Find(name), b = Find(base);
      if (t > 0 && b > 0) std::printf("%-48s %-40s %8.2f\n", name.c_str(), base.c_str(), t / b);
    }
  }

 private:
  double Find(const std::string& prefix) const {
    for (const auto& [name, t] : times_)
      if (name.rfind(prefix, 0) == 0) return t;
    return 0;
  }
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::map<std::string, double> times_;
};

inline int RunWithRatios(int argc, char** argv,
                         std::vector<std::pair<std::string, std::string>> pairs) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace ludra::bench
