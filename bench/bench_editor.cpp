// Editing in a large document: single-character insertion and deletion with
// undo recording, pasting a large block, undoing and redoing many steps.
// Baselines: the same work on a plain vector of strings.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "appcore/MainWindowSettings.h"
#include "editor/SynEdit.h"
#include "platform/SynMemoryClipboard.h"

namespace ludra {
namespace {

constexpr int kDocumentLines = 1000000;
constexpr int kBlockLines = 100000;
constexpr int kSteps = 100000;

std::string LineText(int i) { return "    value_" + std::to_string(i) + " = call(x, y); // note"; }

std::string DocumentText(int lines) {
  std::string s;
  s.reserve(static_cast<size_t>(lines) * 40);
  for (int i = 0; i < lines; ++i) {
    s += LineText(i);
    s += "\r\n";
  }
  return s;
}

const std::string& Document() {
  static const std::string text = DocumentText(kDocumentLines);
  return text;
}

const std::string& Block() {
  static const std::string text = DocumentText(kBlockLines);
  return text;
}

// The main window's settings, or the control's defaults.
std::unique_ptr<TCustomSynEdit> MakeEditor(bool mainWindow, TSynClipboard* clipboard = nullptr) {
  auto e = std::make_unique<TCustomSynEdit>(clipboard);
  if (mainWindow) {
    ApplyMainWindowEditorSettings(*e);
  }
  e->Lines().LoadFromBytes(std::string(Document()));
  return e;
}

void BM_InsertDeleteChar(benchmark::State& state) {
  auto e = MakeEditor(state.range(0) != 0);
  const int line = kDocumentLines / 2;
  for (auto _ : state) {
    e->SetCaretPos({10, line});
    e->SetSelectedText("x");
    e->SetCaretAndSelection({11, line}, {10, line}, {11, line});
    e->DeleteSelection();
  }
  if (e->Lines().Get(line - 1) != LineText(line - 1)) state.SkipWithError("text changed");
  // Two edits per iteration.
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_InsertDeleteChar)->Arg(0)->Arg(1)->ArgName("mainWindow");

void BM_Baseline_VectorInsertDeleteChar(benchmark::State& state) {
  std::vector<std::string> lines;
  lines.reserve(kDocumentLines);
  for (int i = 0; i < kDocumentLines; ++i) lines.push_back(LineText(i));
  const int line = kDocumentLines / 2;
  for (auto _ : state) {
    lines[line].insert(9, 1, 'x');
    lines[line].erase(9, 1);
    benchmark::DoNotOptimize(lines[line].data());
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_Baseline_VectorInsertDeleteChar);

void BM_Paste100kLines(benchmark::State& state) {
  TSynMemoryClipboard clipboard;
  auto e = MakeEditor(state.range(0) != 0, &clipboard);
  clipboard.SetPlainText(Block());
  for (auto _ : state) {
    e->SetCaretPos({5, kDocumentLines / 2});
    e->PasteClipboard();
    state.PauseTiming();
    e->Undo();
    state.ResumeTiming();
  }
  if (e->Lines().Count() != kDocumentLines) state.SkipWithError("undo did not remove the block");
  state.SetItemsProcessed(state.iterations() * kBlockLines);
}
BENCHMARK(BM_Paste100kLines)->Arg(0)->Arg(1)->ArgName("mainWindow")->Unit(benchmark::kMillisecond);

// The plain work of a paste: split the block into lines and put them into
// the middle of the document.
void BM_Baseline_SplitAndInsert100kLines(benchmark::State& state) {
  std::vector<std::string> lines;
  lines.reserve(kDocumentLines + kBlockLines);
  for (int i = 0; i < kDocumentLines; ++i) lines.push_back(LineText(i));
  const std::string& block = Block();
  for (auto _ : state) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < block.size(); ++i) {
      if (block[i] != '\r') continue;
      pieces.emplace_back(block, start, i - start);
      start = i + 2;
    }
    lines.insert(lines.begin() + kDocumentLines / 2, std::make_move_iterator(pieces.begin()),
                 std::make_move_iterator(pieces.end()));
    state.PauseTiming();
    lines.erase(lines.begin() + kDocumentLines / 2,
                lines.begin() + kDocumentLines / 2 + static_cast<long>(pieces.size()));
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBlockLines);
}
BENCHMARK(BM_Baseline_SplitAndInsert100kLines)->Unit(benchmark::kMillisecond);

// 100,000 single-character insertions, each its own step, then all undone
// (range 1 = 0) or undone and redone (range 1 = 1); the timing covers the
// replay only.
void BM_UndoRedo100kInsertions(benchmark::State& state) {
  auto e = MakeEditor(state.range(0) != 0);
  e->SetOptions(e->Options() - TSynEditorOptions{eoGroupUndo});
  e->SetMaxUndo(kSteps);
  const bool redo = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kSteps; ++i) {
      e->SetCaretPos({3, 400000 + i});
      e->SetSelectedText("x");
    }
    state.ResumeTiming();
    for (int i = 0; i < kSteps; ++i) e->Undo();
    if (redo)
      for (int i = 0; i < kSteps; ++i) e->Redo();
    state.PauseTiming();
    if (redo)
      for (int i = 0; i < kSteps; ++i) e->Undo();
    e->ClearUndo();
    state.ResumeTiming();
  }
  if (e->Lines().Get(400000) != LineText(400000)) state.SkipWithError("text not restored");
  state.SetItemsProcessed(state.iterations() * kSteps * (redo ? 2 : 1));
}
BENCHMARK(BM_UndoRedo100kInsertions)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->ArgNames({"mainWindow", "redo"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace ludra

BENCHMARK_MAIN();
