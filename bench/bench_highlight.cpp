// The C-family highlighter on a generated 50 MB C-like file:
// - the full state scan (every line seeded by the one before, its end state
//   kept), against a plain loop that looks at every byte of the same lines once;
// - painting's per-token work (text and attribute of every token);
// - loading the file into the line buffer plus the full scan storing the
//   states in the buffer, against reading the file and splitting it into lines;
// - the worst rescan: a comment opened on line 1 changes every end state.
// The last two run both on the line buffer directly, with the rescan rule the
// editor applies (scan until a stored state stops changing), and through the
// editor with the highlighter attached.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEdit.h"
#include "editor/SynEditKeyCmds.h"
#include "highlight/SynHighlighterCpp.h"

using namespace ludra;

namespace {

const std::string& Text() {
  static const std::string text = bench::MakeCLikeText(50u * 1000 * 1000, 40);
  return text;
}

const std::string& FileName() {
  static const std::string name = [] {
    std::string n = "/tmp/ludra-bench-highlight.pwn";
    std::ofstream(n, std::ios::binary) << Text();
    return n;
  }();
  return name;
}

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> out;
    const std::string& t = Text();
    size_t p = 0;
    while (p < t.size()) {
      size_t e = t.find('\n', p);
      if (e == std::string::npos) e = t.size();
      out.emplace_back(t, p, e - p);
      p = e + 1;
    }
    return out;
  }();
  return lines;
}

int64_t LineBytes() {
  static const int64_t bytes = [] {
    int64_t n = 0;
    for (const auto& l : Lines()) n += static_cast<int64_t>(l.size());
    return n;
  }();
  return bytes;
}

void BM_Baseline_PlainByteLoop(benchmark::State& state) {
  const auto& lines = Lines();
  for (auto _ : state) {
    uint32_t sum = 0;
    for (const auto& line : lines) {
      for (unsigned char c : line) sum += c;
      benchmark::DoNotOptimize(sum);
    }
  }
  state.SetBytesProcessed(state.iterations() * LineBytes());
}
BENCHMARK(BM_Baseline_PlainByteLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FullScan(benchmark::State& state) {
  const auto& lines = Lines();
  TSynCppSyn hl;
  std::vector<TSynRange> ranges(lines.size());
  for (auto _ : state) {
    hl.ResetRangeState();
    for (size_t i = 0; i < lines.size(); ++i) {
      hl.StartLine(lines[i], static_cast<int>(i));
      hl.ScanToLineEnd();
      ranges[i] = hl.GetRangeState();
    }
    benchmark::DoNotOptimize(ranges.data());
  }
  state.SetBytesProcessed(state.iterations() * LineBytes());
}
BENCHMARK(BM_FullScan)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ScanWithTokenText(benchmark::State& state) {
  const auto& lines = Lines();
  TSynCppSyn hl;
  for (auto _ : state) {
    hl.ResetRangeState();
    size_t total = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      hl.StartLine(lines[i], static_cast<int>(i));
      while (!hl.AtLineEnd()) {
        std::string text = hl.TokenText();
        total += text.size() + (hl.TokenAttribute() != nullptr) + hl.TokenStart();
        hl.NextToken();
      }
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * LineBytes());
}
BENCHMARK(BM_ScanWithTokenText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Baseline_ReadAndSplit(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::string> lines = bench::ReadAndSplitLines(FileName());
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_Baseline_ReadAndSplit)->Unit(benchmark::kMillisecond)->Iterations(5);

// The full scan as it runs on attaching a highlighter: inside an update
// bracket, every line's end state stored in the buffer.
void FullScan(TSynEditStringList& buffer, TSynCustomHighlighter& hl) {
  buffer.BeginUpdate();
  hl.ResetRangeState();
  for (int i = 0; i < buffer.Count(); ++i) {
    hl.StartLine(buffer.GetView(i), i);
    hl.ScanToLineEnd();
    buffer.SetLineRange(i, hl.GetRangeState());
  }
  buffer.EndUpdate();
}

void BM_LoadAndFullScan(benchmark::State& state) {
  TSynCppSyn hl;
  for (auto _ : state) {
    TSynEditStringList buffer;
    buffer.LoadFromFile(FileName());
    FullScan(buffer, hl);
    benchmark::DoNotOptimize(buffer.LineRange(buffer.Count() - 1));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_LoadAndFullScan)->Unit(benchmark::kMillisecond)->Iterations(5);

// Rescans from line n until a stored state stops changing; returns the
// number of lines scanned.
int Rescan(TSynEditStringList& buffer, TSynCustomHighlighter& hl, int n) {
  if (n >= buffer.Count()) return 0;
  if (n == 0)
    hl.ResetRangeState();
  else
    hl.SetRangeState(buffer.LineRange(n - 1));
  int scanned = 0;
  for (int i = n;; ++i) {
    hl.StartLine(buffer.GetView(i), i);
    hl.ScanToLineEnd();
    ++scanned;
    TSynRange r = hl.GetRangeState();
    bool same = r == buffer.LineRange(i);
    buffer.SetLineRange(i, r);
    if (same || i + 1 == buffer.Count()) return scanned;
  }
}

// The benchmark text with its block comments blanked out, so that a comment
// opened on line 1 is never closed: the worst case of a rescan.
std::string TextWithoutBlockComments() {
  std::string text = Text();
  for (size_t p = text.find("/* block comment */"); p != std::string::npos;
       p = text.find("/* block comment */", p))
    text.replace(p, 19, "   block comment   ");
  return text;
}

// Typing "/*" on line 1 and removing it again. In the generated text the
// comment soon meets a "*/"; in the worst case (the same text without block
// comments) nothing closes it, every end state changes and every line is
// rescanned.
void RescanAfterOpeningCommentOnLine1(benchmark::State& state, bool worst) {
  std::string text = worst ? TextWithoutBlockComments() : Text();
  TSynCppSyn hl;
  TSynEditStringList buffer;
  buffer.LoadFromBytes(text);
  FullScan(buffer, hl);
  const std::string first = buffer.Get(0);
  bool open = false;
  int scanned = 0;
  for (auto _ : state) {
    open = !open;
    buffer.Put(0, open ? "/*" + first : first);
    scanned = Rescan(buffer, hl, 0);
  }
  state.counters["lines rescanned"] = scanned;
}
void BM_RescanAfterOpeningCommentOnLine1(benchmark::State& state) {
  RescanAfterOpeningCommentOnLine1(state, false);
}
void BM_RescanAfterOpeningCommentOnLine1_Worst(benchmark::State& state) {
  RescanAfterOpeningCommentOnLine1(state, true);
}
BENCHMARK(BM_RescanAfterOpeningCommentOnLine1)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_RescanAfterOpeningCommentOnLine1_Worst)->Unit(benchmark::kMillisecond)->Iterations(6);

// --- Through the editor ---

// Opening a file in an editor that has the highlighter attached: the buffer
// loads, and every inserted line gets its end state.
void BM_EditorLoadWithHighlighter(benchmark::State& state) {
  TSynCppSyn hl;
  for (auto _ : state) {
    TCustomSynEdit editor;
    editor.SetHighlighter(&hl);
    editor.Lines().LoadFromFile(FileName());
    benchmark::DoNotOptimize(editor.Lines().LineRange(editor.Lines().Count() - 1));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_EditorLoadWithHighlighter)->Unit(benchmark::kMillisecond)->Iterations(5);

// Loading first and attaching the highlighter after: one full scan.
void BM_EditorLoadThenAttach(benchmark::State& state) {
  TSynCppSyn hl;
  for (auto _ : state) {
    TCustomSynEdit editor;
    editor.Lines().LoadFromFile(FileName());
    editor.SetHighlighter(&hl);
    benchmark::DoNotOptimize(editor.Lines().LineRange(editor.Lines().Count() - 1));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_EditorLoadThenAttach)->Unit(benchmark::kMillisecond)->Iterations(5);

// Typing "/" and "*" at the start of line 1 (timed: the "*", which opens the
// comment), then removing them again (not timed).
void EditorTypeCommentOpener(benchmark::State& state, bool worst) {
  std::string text = worst ? TextWithoutBlockComments() : Text();
  TSynCppSyn hl;
  TCustomSynEdit editor;
  editor.SetHighlighter(&hl);
  editor.Lines().LoadFromBytes(text);
  int lastState = 0;
  for (auto _ : state) {
    state.PauseTiming();
    editor.SetCaretPos({1, 1});
    editor.RunCommand(ecChar, '/', nullptr);
    state.ResumeTiming();
    editor.RunCommand(ecChar, '*', nullptr);
    state.PauseTiming();
    lastState = editor.Lines().LineRange(editor.Lines().Count() - 1);
    editor.RunCommand(ecDeleteLastChar, 0, nullptr);
    editor.RunCommand(ecDeleteLastChar, 0, nullptr);
    state.ResumeTiming();
  }
  state.counters["last line in comment"] = lastState == rsInComment;
}
void BM_EditorTypeCommentOpenerOnLine1(benchmark::State& state) {
  EditorTypeCommentOpener(state, false);
}
void BM_EditorTypeCommentOpenerOnLine1_Worst(benchmark::State& state) {
  EditorTypeCommentOpener(state, true);
}
BENCHMARK(BM_EditorTypeCommentOpenerOnLine1)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_EditorTypeCommentOpenerOnLine1_Worst)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
  FileName();
  Lines();
  std::printf("document: %zu bytes, %zu lines\n", Text().size(), Lines().size());
  return bench::RunWithRatios(argc, argv,
                              {{"BM_FullScan", "BM_Baseline_PlainByteLoop"},
                               {"BM_ScanWithTokenText", "BM_Baseline_PlainByteLoop"},
                               {"BM_LoadAndFullScan", "BM_Baseline_ReadAndSplit"},
                               {"BM_EditorLoadWithHighlighter", "BM_Baseline_ReadAndSplit"},
                               {"BM_EditorLoadThenAttach", "BM_Baseline_ReadAndSplit"}});
}
