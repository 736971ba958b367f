// Replace-all in the editor: 100,000 occurrences in a 100,000-line script
// replaced without prompting (one undo step), and undoing that step.
// Baseline: the same replacements made on a plain vector of lines.
// The same on one 40 KB line holding 10,000 occurrences, with the main
// window's settings and highlighter. Baseline: the same replacements made
// on a plain string.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "appcore/MainWindowSettings.h"
#include "editor/SynEdit.h"
#include "highlight/SynHighlighterCpp.h"
#include "search/SynEditSearch.h"

namespace ludra {
namespace {

constexpr int kLines = 100000;
constexpr int kOccurrences = 100000;
const char kSearch[] = "player";
const char kReplace[] = "participant";
const char kSearch2[] = "ab";
const char kReplace2[] = "xyz";

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
  bench::PlainVectorReplace(state, kLines, LineText, kSearch, kReplace, kOccurrences);
}

// --- One long line ---

constexpr int kLongOccurrences = 10000;

// "ab; " 10,000 times: 40,000 bytes, one occurrence of the search text in four.
std::string LongLine() {
  std::string s;
  for (int i = 0; i < kLongOccurrences; ++i) s += "ab; ";
  return s;
}

struct TLongLineFixture {
  TSynEditSearch engine;
  TSynCppSyn highlighter;
  std::unique_ptr<TCustomSynEdit> editor = std::make_unique<TCustomSynEdit>();
  TLongLineFixture() {
    ApplyMainWindowEditorSettings(*editor);
    editor->SetSearchEngine(&engine);
    editor->SetHighlighter(&highlighter);
    editor->SetMaxUndo(4 * kLongOccurrences);
    editor->Lines().LoadFromBytes("first line\r\n" + LongLine() + "\r\nlast line\r\n");
  }
  bool ReplaceAll() {
    return editor->SearchAndReplace(kSearch2, kReplace2, {sfReplaceAll, sfEntireScope}) ==
           kLongOccurrences;
  }
};

void BM_ReplaceAllLongLine(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<TLongLineFixture>();
    state.ResumeTiming();
    if (!f->ReplaceAll()) {
      state.SkipWithError("wrong number of replacements");
      return;
    }
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLongOccurrences);
}

void BM_ReplaceAllLongLineUndo(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<TLongLineFixture>();
    if (!f->ReplaceAll()) {
      state.SkipWithError("wrong number of replacements");
      return;
    }
    state.ResumeTiming();
    f->editor->Undo();
    state.PauseTiming();
    bool restored = !f->editor->CanUndo() && f->editor->Lines().Get(1) == LongLine();
    f.reset();
    state.ResumeTiming();
    if (!restored) {
      state.SkipWithError("one undo did not restore the line");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kLongOccurrences);
}

void BM_PlainLongLineReplace(benchmark::State& state) {
  const std::string search = kSearch2, replace = kReplace2;
  for (auto _ : state) {
    state.PauseTiming();
    std::string line = LongLine();
    state.ResumeTiming();
    std::string out;
    int count = 0;
    size_t from = 0;
    for (size_t at = line.find(search); at != std::string::npos; at = line.find(search, from)) {
      out.append(line, from, at - from);
      out += replace;
      from = at + search.size();
      ++count;
    }
    out.append(line, from, std::string::npos);
    benchmark::DoNotOptimize(out.data());
    if (count != kLongOccurrences) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * kLongOccurrences);
}

BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAllUndo)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainVectorReplace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllLongLine)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReplaceAllLongLineUndo)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainLongLineReplace)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(argc, argv,
                                     {{"BM_ReplaceAll/", "BM_PlainVectorReplace"},
                                      {"BM_ReplaceAllUndo", "BM_PlainVectorReplace"},
                                      {"BM_ReplaceAllLongLine/", "BM_PlainLongLineReplace"},
                                      {"BM_ReplaceAllLongLineUndo", "BM_PlainLongLineReplace"}});
}
