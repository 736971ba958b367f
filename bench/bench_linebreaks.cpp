// Line breaks in a big document: Enter and a Backspace-join near the top of a
// 1.28-million-line (50 MB) document, with word wrap off and on, and Enter
// at line 10, then at the last line, then at line 10 again, so the place of
// the change jumps across the whole document. Each is timed alone (manual
// time around the one call, in a fixed number of runs, since the untimed
// steps around it may cost far more). Baseline: the same edit in a
// 1,000-line document, so a ratio near 1 means the cost does not grow with
// the size of the document.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "BenchUtil.h"
#include "editor/SynEdit.h"

namespace ludra {
namespace {

constexpr size_t kBigBytes = 50u * 1000 * 1000;
constexpr int kSmallLines = 1000;
constexpr int kLine = 10;

const std::string& BigText() {
  static const std::string text = bench::MakeCLikeText(kBigBytes, 39);
  return text;
}

const std::string& SmallText() {
  static const std::string text = [] {
    const std::string& big = BigText();
    size_t end = 0;
    for (int i = 0; i < kSmallLines; ++i) end = big.find('\n', end) + 1;
    return big.substr(0, end);
  }();
  return text;
}

std::unique_ptr<TCustomSynEdit> MakeEditor(bool big, bool wrap) {
  auto e = std::make_unique<TCustomSynEdit>();
  e->Lines().LoadFromBytes(big ? BigText() : SmallText());
  e->SetWordWrap(wrap);
  return e;
}

template <class F>
double Seconds(F&& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Enter after the fourth character of a line (1-based).
void Enter(TCustomSynEdit& e, int line) {
  e.SetCaretPos({5, line});
  e.SetSelectedText("\r\n");
}

// Backspace at the start of line + 1 joins it to line.
void Join(TCustomSynEdit& e, int line) {
  int len = static_cast<int>(e.Lines().GetView(line - 1).size());
  e.SetCaretAndSelection({1, line + 1}, {len + 1, line}, {1, line + 1});
  e.DeleteSelection();
}

// range(0): 1 = the big document; range(1): word wrap; range(2): 0 times
// the Enter, 1 the join.
void BM_LineBreakAtLine10(benchmark::State& state) {
  auto e = MakeEditor(state.range(0) != 0, state.range(1) != 0);
  const std::string before = e->Lines().Get(kLine - 1);
  const bool join = state.range(2) != 0;
  // The first change after a load moves the word-wrap tables' free room to
  // it; reported on its own, the loop measures the edits that follow.
  state.counters["first_us"] = 1e6 * Seconds([&] { Enter(*e, kLine); });
  Join(*e, kLine);
  for (auto _ : state) {
    double t = 0;
    if (join) {
      Enter(*e, kLine);
      t = Seconds([&] { Join(*e, kLine); });
    } else {
      t = Seconds([&] { Enter(*e, kLine); });
      Join(*e, kLine);
    }
    state.SetIterationTime(t);
  }
  if (e->Lines().Get(kLine - 1) != before) state.SkipWithError("text changed");
  state.counters["lines"] = e->Lines().Count();
}
BENCHMARK(BM_LineBreakAtLine10)
    ->ArgsProduct({{1, 0}, {0, 1}, {0, 1}})
    ->ArgNames({"big", "wrap", "join"})
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

// Enter at line 10 (range 0 = 0), then at the last line (1), then at line 10
// again (2), with word wrap off or on (range 1); only the named step is
// timed, and the breaks are joined again after the three.
void BM_EnterWhereTheChangeJumps(benchmark::State& state) {
  auto e = MakeEditor(true, state.range(1) != 0);
  const int step = static_cast<int>(state.range(0));
  const int lines = e->Lines().Count();
  for (auto _ : state) {
    double t[3];
    t[0] = Seconds([&] { Enter(*e, kLine); });
    t[1] = Seconds([&] { Enter(*e, lines + 1); });
    t[2] = Seconds([&] { Enter(*e, kLine); });
    Join(*e, lines + 2);
    Join(*e, kLine);
    Join(*e, kLine);
    state.SetIterationTime(t[step]);
  }
  if (e->Lines().Count() != lines) state.SkipWithError("lines changed");
  state.counters["lines"] = lines;
}
BENCHMARK(BM_EnterWhereTheChangeJumps)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"step", "wrap"})
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_LineBreakAtLine10/big:1/wrap:0/join:0", "BM_LineBreakAtLine10/big:0/wrap:0/join:0"},
       {"BM_LineBreakAtLine10/big:1/wrap:0/join:1", "BM_LineBreakAtLine10/big:0/wrap:0/join:1"},
       {"BM_LineBreakAtLine10/big:1/wrap:1/join:0", "BM_LineBreakAtLine10/big:0/wrap:1/join:0"},
       {"BM_LineBreakAtLine10/big:1/wrap:1/join:1", "BM_LineBreakAtLine10/big:0/wrap:1/join:1"},
       {"BM_EnterWhereTheChangeJumps/step:1/wrap:0", "BM_LineBreakAtLine10/big:0/wrap:0/join:0"},
       {"BM_EnterWhereTheChangeJumps/step:2/wrap:0", "BM_LineBreakAtLine10/big:0/wrap:0/join:0"},
       {"BM_EnterWhereTheChangeJumps/step:1/wrap:1", "BM_LineBreakAtLine10/big:0/wrap:1/join:0"},
       {"BM_EnterWhereTheChangeJumps/step:2/wrap:1", "BM_LineBreakAtLine10/big:0/wrap:1/join:0"}});
}
