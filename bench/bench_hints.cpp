// What a parameter hint costs on every keystroke: finding the call over the
// 50 lines before the caret, and reading the called function's doc comment
// (a typical one, and one of 10 MB, which is read only to its cap). The
// baseline is the least any reader must do: one pass counting the commas
// and "<" of the same bytes.
#include <algorithm>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "appcore/DocText.h"
#include "appcore/ParamHintScanner.h"

namespace ludra {
namespace {

std::vector<std::string> CallLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 50; ++i)
    lines.push_back("\tSetPlayerPos(playerid, GetX(a[i], \"x, (y\"), /* ( */ 3.0, 'c'); // " +
                    std::to_string(i));
  lines.push_back("\tformat(string, sizeof(string), \"%d %s\", value, ");
  return lines;
}

std::string TypicalDoc() {
  return "/**\n * <library>omp_player</library>\n"
         " * <summary>Sets a player's <b>position</b>, see <a href=\"x\">this</a>.<br/>\n"
         " * Use <c>SetPlayerPosFindZ</c> for the ground &amp; more.</summary>\n"
         " * <param name=\"playerid\">The ID of the player.</param>\n"
         " * <param name=\"x\">The <i>x</i> coordinate.</param>\n"
         " * <seealso name=\"GetPlayerPos\" />\n"
         " * <remarks>Not in <c>OnPlayerSpawn</c>:<ul><li>a</li><li>b</li></ul></remarks>\n"
         " * <returns><b><c>1</c></b>: done.</returns>\n */";
}

std::string HugeDoc() {
  std::string doc = "<summary><b>x</b> word &amp; ";
  while (doc.size() < 10u << 20) doc += doc;
  return "/**" + doc;
}

size_t CountMarks(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return c == ',' || c == '<'; }));
}

void BM_FindCall(benchmark::State& state) {
  std::vector<std::string> lines = CallLines();
  std::vector<std::string_view> views(lines.begin(), lines.end());
  auto find = [](std::string_view name) { return name == "format" ? 0 : -1; };
  size_t bytes = 0;
  for (const std::string& l : lines) bytes += l.size();
  for (auto _ : state) {
    TParamHint hint = ScanParamHint(views, 1000, find);
    benchmark::DoNotOptimize(hint);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_FindCallBaseline(benchmark::State& state) {
  std::vector<std::string> lines = CallLines();
  size_t bytes = 0;
  for (const std::string& l : lines) bytes += l.size();
  for (auto _ : state) {
    size_t n = 0;
    for (const std::string& l : lines) n += CountMarks(l);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ReadDoc(benchmark::State& state) {
  std::string doc = state.range(0) ? HugeDoc() : TypicalDoc();
  for (auto _ : state) {
    TDocComment parsed = ParseDocComment(doc);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetLabel(state.range(0) ? "10 MB" : "typical");
}

void BM_ReadDocBaseline(benchmark::State& state) {
  std::string doc = state.range(0) ? HugeDoc() : TypicalDoc();
  std::string_view read = std::string_view(doc).substr(0, DocTextCap);
  for (auto _ : state) benchmark::DoNotOptimize(CountMarks(read));
  state.SetLabel(state.range(0) ? "10 MB, its first 64 KB" : "typical");
}

BENCHMARK(BM_FindCall);
BENCHMARK(BM_FindCallBaseline);
BENCHMARK(BM_ReadDoc)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadDocBaseline)->Arg(0)->Arg(1);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(argc, argv,
                                     {{"BM_FindCall", "BM_FindCallBaseline"},
                                      {"BM_ReadDoc/0", "BM_ReadDocBaseline/0"},
                                      {"BM_ReadDoc/1", "BM_ReadDocBaseline/1"}});
}
