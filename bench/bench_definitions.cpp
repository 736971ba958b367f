// The declaration reader over a 20,000-line script, against a plain split
// of the same text into lines.
#include <string_view>

#include "BenchUtil.h"
#include "appcore/DeclarationReader.h"

namespace {

// 20,000 lines of script: function definitions at the line start, bodies
// with comments and strings, about 40 bytes a line.
const std::string& Script() {
  static const std::string text = [] {
    std::string body = ludra::bench::MakeCLikeText(20000 * 40, 40, 22);
    std::string out;
    size_t lines = 0, p = 0;
    while (lines < 20000 && p < body.size()) {
      if (lines % 25 == 0) {
        out += (lines % 50 == 0 ? "stock Float:Function" : "public Callback") +
               std::to_string(lines) + "(playerid, Float:x)\n";
      } else {
        size_t e = body.find('\n', p);
        out.append(body, p, e - p + 1);
        p = e + 1;
      }
      ++lines;
    }
    return out;
  }();
  return text;
}

void BM_SplitLines(benchmark::State& state) {
  const std::string& text = Script();
  for (auto _ : state) {
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < text.size()) {
      size_t e = text.find('\n', p);
      if (e == std::string::npos) e = text.size();
      lines.emplace_back(text, p, e - p);
      p = e + 1;
    }
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

void BM_ReadDeclarations(benchmark::State& state) {
  const std::string& text = Script();
  size_t found = 0;
  for (auto _ : state) {
    ludra::TFileDeclarations read = ludra::ReadDeclarations(text);
    found = read.Entries.size();
    benchmark::DoNotOptimize(read.Entries.data());
  }
  state.counters["entries"] = static_cast<double>(found);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadDeclarations)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return ludra::bench::RunWithRatios(argc, argv, {{"BM_ReadDeclarations", "BM_SplitLines"}});
}
