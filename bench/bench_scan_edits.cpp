// Edits in a 1,000,000-line document with the highlighter attached, as the
// main window has it:
// - pasting 5,000 lines of which 50 open or close a block comment, against
//   pasting the same lines with the comment marks blanked out (the states
//   after the block come back at once);
// - bracket matching (Ctrl+Shift+B) at line 1,000,000, against the
//   highlighter scanning that one line from its stored start state.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchUtil.h"
#include "appcore/MainWindowSettings.h"
#include "editor/SynEdit.h"
#include "editor/SynEditKeyCmds.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynMemoryClipboard.h"

namespace ludra {
namespace {

constexpr int kDocumentLines = 1000000;
constexpr int kBlockLines = 5000;
constexpr int kBoundaryEvery = 100;  // two boundaries per 100 lines: 50 in the block
constexpr int kBracketLine = 1000000;
const char kBracketText[] = "    total = f(a, (b + c) * 2, \"(\") + g(d); /* ) */";

std::string LineText(int i) { return "    value_" + std::to_string(i) + " = call(x, y); // note"; }

const std::string& Document() {
  static const std::string text = [] {
    std::string s;
    s.reserve(static_cast<size_t>(kDocumentLines) * 40);
    for (int i = 1; i <= kDocumentLines + 1; ++i) {
      s += i == kBracketLine ? kBracketText : LineText(i);
      s += "\r\n";
    }
    return s;
  }();
  return text;
}

// The pasted block; with boundaries, 25 comments each open over 50 lines.
std::string Block(bool boundaries) {
  std::string s;
  for (int i = 0; i < kBlockLines; ++i) {
    int k = i % kBoundaryEvery;
    if (k == 10)
      s += boundaries ? "/* disabled:" : "   disabled:";
    else if (k == 60)
      s += boundaries ? "   end of disabled part */" : "   end of disabled part   ";
    else
      s += "\tpasted_" + std::to_string(i) + " = other(i, j); // copied";
    s += "\r\n";
  }
  return s;
}

struct TFixture {
  TSynMemoryClipboard clipboard;
  TSynCppSyn highlighter;
  std::unique_ptr<TCustomSynEdit> editor = std::make_unique<TCustomSynEdit>(&clipboard);
  TFixture() {
    ApplyMainWindowEditorSettings(*editor);
    editor->SetHighlighter(&highlighter);
    editor->Lines().LoadFromBytes(std::string(Document()));
  }
};

TFixture& Fixture() {
  static TFixture f;
  return f;
}

void Paste(benchmark::State& state, bool boundaries) {
  TFixture& f = Fixture();
  TCustomSynEdit& e = *f.editor;
  f.clipboard.SetPlainText(Block(boundaries));
  const TSynRange lastState = e.Lines().LineRange(e.Lines().Count() - 1);
  for (auto _ : state) {
    e.SetCaretPos({1, kDocumentLines / 2});
    e.PasteClipboard();
    state.PauseTiming();
    bool pasted = e.Lines().Count() == kDocumentLines + 1 + kBlockLines;
    e.Undo();
    state.ResumeTiming();
    if (!pasted || e.Lines().Count() != kDocumentLines + 1) {
      state.SkipWithError("paste or undo went wrong");
      return;
    }
  }
  if (e.Lines().LineRange(e.Lines().Count() - 1) != lastState) state.SkipWithError("states differ");
  state.SetItemsProcessed(state.iterations() * kBlockLines);
}

void BM_PasteCommentBoundaries(benchmark::State& state) { Paste(state, true); }
void BM_PasteWithoutBoundaries(benchmark::State& state) { Paste(state, false); }
BENCHMARK(BM_PasteWithoutBoundaries)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PasteCommentBoundaries)->Unit(benchmark::kMillisecond)->Iterations(10);

// Ctrl+Shift+B on the "(" of f( at line 1,000,000, and back from its ")".
void BM_MatchBracketAtLine1M(benchmark::State& state) {
  TCustomSynEdit& e = *Fixture().editor;
  const std::string text = kBracketText;
  const TBufferCoord open{static_cast<int>(text.find("f(")) + 2, kBracketLine};
  const TBufferCoord close{static_cast<int>(text.find(") + g")) + 1, kBracketLine};
  for (auto _ : state) {
    e.SetCaretPos(open);
    e.RunCommand(ecMatchBracket, 0, nullptr);
    if (e.CaretPos() != close) {
      state.SkipWithError("wrong partner");
      return;
    }
    e.RunCommand(ecMatchBracket, 0, nullptr);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MatchBracketAtLine1M)->Unit(benchmark::kMicrosecond);

// The least a match can do: run the highlighter over the bracket's line,
// twice, starting from the stored state of the line before.
void BM_Baseline_ScanBracketLine(benchmark::State& state) {
  TFixture& f = Fixture();
  const TSynEditStringList& lines = f.editor->Lines();
  for (auto _ : state) {
    for (int twice = 0; twice < 2; ++twice) {
      f.highlighter.SetRangeState(lines.LineRange(kBracketLine - 2));
      f.highlighter.StartLine(lines.GetView(kBracketLine - 1), kBracketLine - 1);
      int tokens = 0;
      for (; !f.highlighter.AtLineEnd(); f.highlighter.NextToken()) ++tokens;
      benchmark::DoNotOptimize(tokens);
    }
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_Baseline_ScanBracketLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(argc, argv,
                                     {{"BM_PasteCommentBoundaries", "BM_PasteWithoutBoundaries"},
                                      {"BM_MatchBracketAtLine1M", "BM_Baseline_ScanBracketLine"}});
}
