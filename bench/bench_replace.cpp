// Replace-all in the editor: 100,000 occurrences in a 100,000-line script
// replaced without prompting (one undo step), and undoing that step.
// Baseline: the same replacements made on a plain vector of lines.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "SynEdit.h"
#include "SynEditSearch.h"

namespace ludra {
namespace {

constexpr int kLines = 100000;
constexpr int kOccurrences = 100000;
const char kSearch[] = "player";
const char kReplace[] = "participant";

// Every other line holds two occurrences.
std::string LineText(int i) {
  if (i % 2 == 0) return "\tif (IsConnected(player)) SetScore(player, " + std::to_string(i) + ");";
  return "\tnew value_" + std::to_string(i) + " = call(x, y); // note";
}

const std::string& Document() {
  static const std::string text = [] {
    std::string s;
    for (int i = 0; i < kLines; ++i) s += LineText(i) + "\r\n";
    return s;
  }();
  return text;
}

struct TFixture {
  TSynEditSearch engine;
  std::unique_ptr<TCustomSynEdit> editor = std::make_unique<TCustomSynEdit>();
  TFixture() {
        editor->SetSearchEngine(&engine);
    // The history keeps 1024 records by default: far fewer than the two
    // per replacement that a whole replace-all takes.
    editor->SetMaxUndo(4 * kOccurrences);
    editor->Lines().LoadFromBytes(std::string(Document()));
  }
};

bool ReplaceAll(benchmark::State& state, TCustomSynEdit& e) {
  int n = e.SearchAndReplace(kSearch, kReplace, {sfReplaceAll, sfEntireScope});
  if (n != kOccurrences) {
    state.SkipWithError("wrong number of replacements");
    return false;
  }
  return true;
}

void BM_ReplaceAll(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<TFixture>();
    state.ResumeTiming();
    if (!ReplaceAll(state, *f->editor)) return;
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

void BM_ReplaceAllUndo(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<TFixture>();
    if (!ReplaceAll(state, *f->editor)) return;
    state.ResumeTiming();
    f->editor->Undo();
    state.PauseTiming();
    // One step takes the whole replace-all back.
    bool restored = !f->editor->CanUndo() && f->editor->Lines().Count() == kLines &&
                    f->editor->Lines().Get(0) == LineText(0) &&
                    f->editor->Lines().Get(kLines - 2) == LineText(kLines - 2);
    f.reset();
    state.ResumeTiming();
    if (!restored) {
      state.SkipWithError("one undo did not restore the text");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

// The same replacements on a vector of strings, with no editor around.
void BM_PlainVectorReplace(benchmark::State& state) {
  const std::string search = kSearch, replace = kReplace;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) lines.push_back(LineText(i));
    state.ResumeTiming();
    int count = 0;
    for (auto& line : lines)
      for (size_t at = line.find(search); at != std::string::npos;
           at = line.find(search, at + replace.size())) {
        line.replace(at, search.size(), replace);
        ++count;
      }
    benchmark::DoNotOptimize(count);
    if (count != kOccurrences) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAllUndo)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainVectorReplace)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_ReplaceAll", "BM_PlainVectorReplace"}, {"BM_ReplaceAllUndo", "BM_PlainVectorReplace"}});
}
