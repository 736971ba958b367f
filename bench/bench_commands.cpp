// Editing through the command pipeline: keystrokes typed one by one through
// the key-down and character path into a 100,000-line document, and block
// indent and unindent of a 100,000-line selection. Baselines: the same
// character insertion and the same line prefixing on a plain vector of
// strings.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "appcore/MainWindowSettings.h"
#include "editor/SynEdit.h"

namespace ludra {
namespace {

constexpr int kLines = 100000;
constexpr int kKeystrokes = 10000;

std::string DocumentText() {
  std::string s;
  for (int i = 0; i < kLines; ++i) s += "\tvalue_" + std::to_string(i) + " = call(x, y);\r\n";
  return s;
}

std::unique_ptr<TCustomSynEdit> MakeEditor() {
  auto e = std::make_unique<TCustomSynEdit>();
  ApplyMainWindowEditorSettings(*e);
  e->Lines().LoadFromBytes(DocumentText());
  return e;
}

void Key(TCustomSynEdit& e, uint16_t key, TShiftState shift, char ch) {
  uint16_t k = key;
  e.KeyDown(k, shift);
  if (ch) e.KeyPress(ch);
}

// One keystroke per iteration: a letter typed in the middle of the
// document, a new line every 60 characters.
void BM_TypeKeystroke(benchmark::State& state) {
  auto e = MakeEditor();
  e->SetCaretPos({2, kLines / 2});
  int typed = 0;
  for (auto _ : state) {
    if (++typed % 60 == 0)
      Key(*e, VK_RETURN, {}, '\r');
    else
      Key(*e, 'A', {}, static_cast<char>('a' + typed % 26));
  }
  benchmark::DoNotOptimize(e->CaretPos());
}
BENCHMARK(BM_TypeKeystroke)->Iterations(kKeystrokes)->Unit(benchmark::kMicrosecond);

void BM_TypeKeystrokeBaseline(benchmark::State& state) {
  std::vector<std::string> lines(kLines, "\tvalue_0 = call(x, y);");
  int line = kLines / 2, x = 1, typed = 0;
  for (auto _ : state) {
    if (++typed % 60 == 0) {
      lines.insert(lines.begin() + line + 1, lines[line].substr(x));
      lines[line].resize(x);
      ++line;
      x = 0;
    } else {
      lines[line].insert(lines[line].begin() + x, static_cast<char>('a' + typed % 26));
      ++x;
    }
  }
  benchmark::DoNotOptimize(lines.data());
}
BENCHMARK(BM_TypeKeystrokeBaseline)->Iterations(kKeystrokes)->Unit(benchmark::kMicrosecond);

void SelectAllLines(TCustomSynEdit& e) { e.SetCaretAndSelection({1, kLines}, {1, 1}, {1, kLines}); }

void BM_BlockIndent(benchmark::State& state) {
  auto e = MakeEditor();
  for (auto _ : state) {
    SelectAllLines(*e);
    e->RunCommand(ecBlockIndent, 0, nullptr);
    state.PauseTiming();
    e->RunCommand(ecBlockUnindent, 0, nullptr);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BlockIndent)->Unit(benchmark::kMillisecond);

void BM_BlockUnindent(benchmark::State& state) {
  auto e = MakeEditor();
  for (auto _ : state) {
    state.PauseTiming();
    SelectAllLines(*e);
    e->RunCommand(ecBlockIndent, 0, nullptr);
    state.ResumeTiming();
    e->RunCommand(ecBlockUnindent, 0, nullptr);
  }
}
BENCHMARK(BM_BlockUnindent)->Unit(benchmark::kMillisecond);

void BM_BlockIndentBaseline(benchmark::State& state) {
  std::vector<std::string> lines(kLines, "\tvalue_0 = call(x, y);");
  for (auto _ : state) {
    for (std::string& s : lines) s.insert(s.begin(), '\t');
    state.PauseTiming();
    for (std::string& s : lines) s.erase(s.begin());
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(lines.data());
}
BENCHMARK(BM_BlockIndentBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(argc, argv,
                                     {{"BM_TypeKeystroke/", "BM_TypeKeystrokeBaseline"},
                                      {"BM_BlockIndent", "BM_BlockIndentBaseline"},
                                      {"BM_BlockUnindent", "BM_BlockIndentBaseline"}});
}
