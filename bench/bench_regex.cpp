// Regular-expression search speed, line by line over a generated 10 MB C-like
// file: TSynEditRegexSearch.FindAllInLine against std::regex (ECMAScript)
// and PCRE2 without JIT, all three measured in the same run. Prints a table
// of MB/s (medians when repeated) and ratios at the end, then the time of
// nested quantifiers, short and at 10,000 characters.
#include <benchmark/benchmark.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "search/SynEditRegexSearch.h"

using namespace ludra;

namespace {

struct TPattern {
  const char* name;
  const char* pattern;
  bool caseless;
};

const TPattern kPatterns[] = {
    {"literal word", "value", false},
    {"caseless word", "value", true},
    {"\\bword\\b", "\\bvalue\\b", false},
    {"call", "[A-Za-z_]\\w*\\s*\\(", false},
    {"string", "\".*?\"", false},
    {"define", "^\\s*#\\s*define\\s+(\\w+)", false},
    {"self-assign", "(\\w+)\\s*=\\s*\\1", false},
};

const std::vector<std::string>& Lines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> out;
    std::mt19937 rng(42);
    const char* words[] = {"count",  "index", "value",  "Value", "player", "result", "name",
                           "buffer", "VALUE", "length", "item",  "values", "total",  "x"};
    auto word = [&] { return std::string(words[rng() % 14]); };
    size_t bytes = 0;
    while (bytes < 10u << 20) {
      std::string line;
      switch (rng() % 10) {
        case 0:
          line = "#define " + word() + "_MAX " + std::to_string(rng() % 1000);
          break;
        case 1:
          line = "    " + word() + " = " + word() + " + " + std::to_string(rng() % 100) + ";";
          break;
        case 2:
          line = "    printf(\"" + word() + " is %d\\n\", " + word() + ");";
          break;
        case 3:
          line = "stock " + word() + "_" + word() + "(" + word() + ", " + word() + ")";
          break;
        case 4:
          line = "    if (" + word() + " == " + word() + ") {";
          break;
        case 5:
          line = "    }";
          break;
        case 6:
          line = "// " + word() + " " + word() + " " + word() + " and the " + word();
          break;
        case 7:
          line = "    " + word() + " = " + word() + ";";
          break;
        case 8:
          line = "new " + word() + "[" + std::to_string(rng() % 64) + "] = \"" + word() + "\";";
          break;
        default:
          line = "";
          break;
      }
      bytes += line.size() + 1;
      out.push_back(std::move(line));
    }
    return out;
  }();
  return lines;
}

size_t TotalBytes() {
  size_t n = 0;
  for (const auto& l : Lines()) n += l.size() + 1;
  return n;
}

struct TResult {
  std::vector<double> mbps;  // one per repetition
  long matches = 0;
  double Median() const {
    if (mbps.empty()) return 0;
    std::vector<double> v = mbps;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  }
};
std::map<std::string, TResult> gResults;

// Processor time of this thread: other work on a shared machine does not
// count against whichever engine happens to run beside it.
double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

template <typename F>
void Measure(benchmark::State& state, const std::string& key, F scanAll) {
  const double mb = TotalBytes() / 1e6;
  long matches = 0;
  double seconds = 0;
  int rounds = 0;
  for (auto _ : state) {
    const double t0 = CpuSeconds();
    matches = scanAll();
    seconds += CpuSeconds() - t0;
    ++rounds;
    benchmark::DoNotOptimize(matches);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalBytes()));
  state.counters["matches"] = static_cast<double>(matches);
  TResult& result = gResults[key];
  result.mbps.push_back(mb * rounds / seconds);
  result.matches = matches;
}

void BM_Ludra(benchmark::State& state) {
  const TPattern& p = kPatterns[state.range(0)];
  TSynEditRegexSearch engine;
  engine.SetSearchOptions(p.caseless ? TSynSearchFlags{} : TSynSearchFlags{sfMatchCase});
  engine.SetPattern(p.pattern);
  Measure(state, std::string("ludra/") + p.name, [&] {
    long n = 0;
    for (const auto& line : Lines()) n += engine.FindAllInLine(line);
    return n;
  });
}

void BM_StdRegex(benchmark::State& state) {
  const TPattern& p = kPatterns[state.range(0)];
  auto flags = std::regex::ECMAScript | (p.caseless ? std::regex::icase : std::regex::ECMAScript);
  std::regex re(p.pattern, flags);
  Measure(state, std::string("std/") + p.name, [&] {
    long n = 0;
    for (const auto& line : Lines())
      for (auto it = std::sregex_iterator(line.begin(), line.end(), re);
           it != std::sregex_iterator(); ++it)
        ++n;
    return n;
  });
}

void BM_Pcre2(benchmark::State& state) {
  const TPattern& p = kPatterns[state.range(0)];
  int error;
  PCRE2_SIZE errorOffset;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.pattern), PCRE2_ZERO_TERMINATED,
                                   p.caseless ? PCRE2_CASELESS : 0, &error, &errorOffset, nullptr);
  pcre2_match_data* md = pcre2_match_data_create_from_pattern(code, nullptr);
  Measure(state, std::string("pcre2/") + p.name, [&] {
    long n = 0;
    for (const auto& line : Lines()) {
      auto subject = reinterpret_cast<PCRE2_SPTR>(line.data());
      PCRE2_SIZE offset = 0;
      while (offset <= line.size() &&
             pcre2_match(code, subject, line.size(), offset, 0, md, nullptr) >= 0) {
        ++n;
        PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
        offset = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
      }
    }
    return n;
  });
  pcre2_match_data_free(md);
  pcre2_code_free(code);
}

void Patterns(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < static_cast<int>(std::size(kPatterns)); ++i) b->Arg(i);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Ludra)->Apply(Patterns);
BENCHMARK(BM_StdRegex)->Apply(Patterns);
BENCHMARK(BM_Pcre2)->Apply(Patterns);

// One search of a subject, here and in PCRE2 (set up as this matcher is by
// default: a dot matches line breaks, $ only the end; its default match
// limit applies): processor microseconds and the answer.
std::string LudraOnce(const char* pattern, const std::string& subject) {
  TRegExpr re;
  re.SetExpression(pattern);
  std::string answer;
  const double t0 = CpuSeconds();
  try {
    answer = re.Exec(subject) ? std::to_string(re.GroupStart(0) - 1) + ":" +
                                    std::to_string(re.GroupStart(0) - 1 + re.GroupLength(0))
                              : "no match";
  } catch (const ERegExpr& e) {
    answer = "error " + std::to_string(e.ErrorCode());
  }
  return std::to_string(static_cast<long>((CpuSeconds() - t0) * 1e6)) + " " + answer;
}

std::string Pcre2Once(const char* pattern, const std::string& subject) {
  int error;
  PCRE2_SIZE errorOffset;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                    PCRE2_DOTALL | PCRE2_DOLLAR_ENDONLY, &error, &errorOffset, nullptr);
  pcre2_match_data* md = pcre2_match_data_create_from_pattern(code, nullptr);
  const double t0 = CpuSeconds();
  const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
                             0, md, nullptr);
  const double t1 = CpuSeconds();
  std::string answer = rc == PCRE2_ERROR_NOMATCH ? "no match"
                       : rc < 0                  ? "error " + std::to_string(rc)
                                : std::to_string(pcre2_get_ovector_pointer(md)[0]) + ":" +
                                      std::to_string(pcre2_get_ovector_pointer(md)[1]);
  pcre2_match_data_free(md);
  pcre2_code_free(code);
  return std::to_string(static_cast<long>((t1 - t0) * 1e6)) + " " + answer;
}

// Nested quantifiers over about 30 bytes that do not match, where trying
// every way to split the text is exponential (the subjects hold the literal
// the pattern requires, so no quick test rules them out).
void NestedQuantifiers() {
  const struct {
    const char* pattern;
    std::string subject;
  } cases[] = {
      {"(a+)+b", "b" + std::string(30, 'a')},
      {"(a|aa)*b", std::string(30, 'a') + "cb"},
      {"(a|a)+b", "b" + std::string(30, 'a')},
      {"((a+)+)+c", "c" + std::string(30, 'a') + "b"},
      {"(.+)+X\\d", std::string(30, 'y') + "Xa"},
      {"(x+x+)+y", "y" + std::string(30, 'x')},
      {"(a+|b+)*c\\d", std::string(30, 'a') + "c!"},
      {"^(\\w+\\s?)+$", "an arbitrary line of words!!!!"},
      {"(\\s*\\w+)*;\\d", "aaaa bbbb cccc dddd eeee ffff g;!"},
      {"(a+)+$", std::string(30, 'a') + "!"},
  };
  std::printf("\n%-18s %18s %18s\n", "nested", "ludra us", "pcre2 us");
  for (const auto& c : cases)
    std::printf("%-18s %18s %18s\n", c.pattern, LudraOnce(c.pattern, c.subject).c_str(),
                Pcre2Once(c.pattern, c.subject).c_str());
}

// The nested-quantifier family at n = 10,000 characters, on two subjects
// each. "ref": one that PCRE2 answers, mostly with the literal the pattern
// requires first, so that no later start can match (both engines rule those
// starts out). "memo": the literal comes last, after a character that breaks
// every match, so every start is tried; here the failure memo answers, PCRE2
// runs into its match limit. Spans are 0-based start:end.
void NestedQuantifierFamily() {
  const int n = 10000;
  const std::string a(n, 'a'), x(n, 'x');
  const struct {
    const char* pattern;
    const char* kind;
    std::string subject;
  } cases[] = {
      {"(a+)+b", "ref", "b" + a + "c"},
      {"(a+)+b", "memo", a + "cb"},
      {"(x+x+)+y", "ref", "y" + x + "z"},
      {"(x+x+)+y", "memo", x + "zy"},
      {"(\\w+)+@", "ref", "@" + a + "!"},
      {"(\\w+)+@", "memo", a + "!@"},
      {"(a+b?)+c", "ref", "c" + a + "d"},
      {"(a+b?)+c", "memo", a + "dc"},
      {"(a{2,}){2,}b", "ref", "b" + a + "c"},
      {"(a{2,}){2,}b", "memo", a + "cb"},
      {".*.*.*=", "ref", a + "="},
      {"(?-s).*.*.*=", "memo", a + "\n="},
      {"(a+)\\1+b", "ref", "b" + a + "c"},
      {"(.*a){12}x", "ref", a + "x"},
      {"(.*a){12}x", "memo", a + "\nx"},
      {"(a+)+\\1b", "ref", "b" + a + "c"},
  };
  std::printf("\n%-14s %-6s %24s %24s\n", "n = 10,000", "kind", "ludra us", "pcre2 us");
  for (const auto& c : cases)
    std::printf("%-14s %-6s %24s %24s\n", c.pattern, c.kind,
                LudraOnce(c.pattern, c.subject).c_str(), Pcre2Once(c.pattern, c.subject).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\n%-14s %12s %12s %12s %10s %10s %9s\n", "pattern", "ludra MB/s", "std MB/s",
              "pcre2 MB/s", "x std", "x pcre2", "matches");
  for (const TPattern& p : kPatterns) {
    auto get = [&](const char* engine) {
      auto it = gResults.find(std::string(engine) + "/" + p.name);
      return it == gResults.end() ? TResult{} : it->second;
    };
    TResult l = get("ludra"), s = get("std"), c = get("pcre2");
    const double lm = l.Median(), sm = s.Median(), cm = c.Median();
    if (lm == 0) continue;
    std::printf("%-14s %12.0f %12.0f %12.0f %10.2f %10.2f %9ld%s\n", p.name, lm, sm, cm,
                sm > 0 ? lm / sm : 0.0, cm > 0 ? lm / cm : 0.0, l.matches,
                (sm > 0 && s.matches != l.matches) || (cm > 0 && c.matches != l.matches)
                    ? "  (counts differ)"
                    : "");
  }
  std::printf("(medians of the repetitions)\n");
  NestedQuantifiers();
  NestedQuantifierFamily();
  return 0;
}
