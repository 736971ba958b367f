// Word wrap in a one-million-line document: switching it on (a full reflow)
// and typing at the top with it on and off. Baseline for the reflow: one
// pass over the same lines reading their lengths.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "editor/SynEdit.h"
#include "editor/SynEditWordWrap.h"

namespace ludra {
namespace {

constexpr int kDocumentLines = 1000000;

std::string LineText(int i) {
  return "    value_" + std::to_string(i) + " = call(first_argument, y); // note";
}

const std::string& Document() {
  static const std::string text = [] {
    std::string s;
    for (int i = 0; i < kDocumentLines; ++i) s += LineText(i) + "\r\n";
    return s;
  }();
  return text;
}

// The control without a window shows 21 columns: most lines wrap once or twice.
std::unique_ptr<TCustomSynEdit> MakeEditor() {
  auto e = std::make_unique<TCustomSynEdit>();
  e->Lines().LoadFromBytes(std::string(Document()));
  return e;
}

void BM_WordWrapSwitchOn(benchmark::State& state) {
  auto e = MakeEditor();
  for (auto _ : state) {
    e->SetWordWrap(true);
    state.PauseTiming();
    if (e->WordWrapPlugin()->RowCount() <= kDocumentLines) state.SkipWithError("nothing wrapped");
    e->SetWordWrap(false);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kDocumentLines);
}
BENCHMARK(BM_WordWrapSwitchOn)->Unit(benchmark::kMillisecond);

void BM_Baseline_LineLengthPass(benchmark::State& state) {
  auto e = MakeEditor();
  for (auto _ : state) {
    long long total = 0;
    for (int i = 0; i < e->Lines().Count(); ++i) total += e->Lines().GetView(i).size();
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kDocumentLines);
}
BENCHMARK(BM_Baseline_LineLengthPass)->Unit(benchmark::kMillisecond);

// A character typed and deleted again on the first line (the row count of
// the line changes back and forth at the wrap boundary), and a line break
// typed and removed, which moves every row below.
void BM_TypeAtTop(benchmark::State& state) {
  auto e = MakeEditor();
  e->SetWordWrap(state.range(0) != 0);
  const int at = 22;  // where the first row of line 1 ends
  for (auto _ : state) {
    e->SetCaretPos({at, 1});
    e->SetSelectedText("x");
    e->SetCaretAndSelection({at + 1, 1}, {at, 1}, {at + 1, 1});
    e->DeleteSelection();
    e->SetCaretPos({9, 1});
    e->SetSelectedText("\r\n");
    e->SetCaretAndSelection({1, 2}, {9, 1}, {1, 2});
    e->DeleteSelection();
  }
  if (e->Lines().Get(0) != LineText(0)) state.SkipWithError("text changed");
  state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_TypeAtTop)->Arg(0)->Arg(1)->ArgName("wrap");

}  // namespace
}  // namespace ludra

BENCHMARK_MAIN();
