// Compiles random patterns under random modifiers and matches them against
// random subjects: nothing may crash, and every group reported must lie
// inside the subject.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "search/SynRegExpr.h"

using namespace ludra;

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

void CheckGroups(const TRegExpr& re, const std::string& subject, int from) {
  const int n = static_cast<int>(subject.size());
  Require(re.GroupStart(0) >= from && re.GroupLength(0) >= 0);
  for (int g = 0; g < TRegExpr::NSUBEXP; ++g) {
    int s = re.GroupStart(g), len = re.GroupLength(g);
    if (s == -1) {
      Require(len == -1);
      continue;
    }
    Require(s >= 1 && len >= 0 && s - 1 + len <= n);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // Byte 0: modifiers; then the pattern up to the first 0xFF byte; the rest
  // is the subject (and the template).
  const int modifiers = data[0] & 63;
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t cut = rest.find('\xFF');
  std::string pattern = rest.substr(0, cut);
  std::string subject = cut == std::string::npos ? rest : rest.substr(cut + 1);
  if (pattern.size() > 256 || subject.size() > 4096) return 0;

  struct TFuzzRegExpr : TRegExpr {
    // Catastrophic patterns are common in random input; give up on them
    // sooner than the editor does.
    TFuzzRegExpr() { SetStepBudget(2'000'000); }
  } re;
  re.SetModifiers(modifiers);
  if (data[0] & 64) re.SetLinePairedSeparator("");
  re.SetExpression(pattern);
  try {
    int found = 0;
    int from = 1;  // matches never overlap: each starts at or after this
    if (re.Exec(subject)) {
      do {
        CheckGroups(re, subject, from);
        from = re.GroupStart(0) + re.GroupLength(0) + (re.GroupLength(0) == 0 ? 1 : 0);
        std::string expanded = re.ExpandTemplate("<$0|$1|${2}|$14|\\$>");
        Require(expanded.size() <= 16 + 4 * subject.size());
      } while (++found < 10000 && re.ExecNext());
    }
    std::string replaced = re.ReplaceAllMatches(subject, "[$&]", true);
    Require(replaced.size() >= subject.size());
  } catch (const ERegExpr&) {
    // Bad patterns and over-long searches are reported, not crashed on.
  }
  return 0;
}
