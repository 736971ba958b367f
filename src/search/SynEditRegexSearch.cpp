#include "SynEditRegexSearch.h"

namespace ludra {

TSynEditRegexSearch::TSynEditRegexSearch() = default;
TSynEditRegexSearch::~TSynEditRegexSearch() = default;

int TSynEditRegexSearch::MatchLength(int index) const {
  if (index < 0 || index >= MatchCount()) return 0;
  return lengths_[index];
}

int TSynEditRegexSearch::MatchPosition(int index) const {
  if (index < 0 || index >= MatchCount()) return 0;
  return positions_[index];
}

void TSynEditRegexSearch::SetSearchOptions(TSynSearchFlags options) {
  regExpr_.SetModifierI(!options.Contains(sfMatchCase));
  backwards_ = options.Contains(sfBackwards);
}

int TSynEditRegexSearch::FindAllInLine(const std::string& line) {
  positions_.clear();
  lengths_.clear();
  groups_.clear();
  line_ = line;
  const int groupCount = TRegExpr::NSUBEXP;
  if (regExpr_.Exec(line)) {
    do {
      const int start = regExpr_.GroupStart(0);
      positions_.push_back(start);
      lengths_.push_back(regExpr_.GroupLength(0));
      TGroups& g = groups_.emplace_back();
      for (int k = 0; k < groupCount; ++k) {
        int s = k <= regExpr_.SubExprCount() ? regExpr_.GroupStart(k) : -1;
        g[2 * k] = s < 0 ? -1 : s - start;
        g[2 * k + 1] = s < 0 ? -1 : s - start + regExpr_.GroupLength(k);
      }
    } while (regExpr_.ExecNext());
  }
  nextReplace_ = backwards_ ? MatchCount() - 1 : 0;
  return MatchCount();
}

std::string TSynEditRegexSearch::ReplacementText(const std::string& matched,
                                                 const std::string& replaceWith) {
  // The editor asks for the occurrences of the last line in search order,
  // possibly skipping some; find the one whose text was selected.
  const int n = MatchCount();
  const int step = backwards_ ? -1 : 1;
  for (int i = nextReplace_; i >= 0 && i < n; i += step) {
    if (line_.compare(positions_[i] - 1, lengths_[i], matched) != 0) continue;
    nextReplace_ = i + step;
    std::array<int, TRegExpr::NSUBEXP> starts{}, ends{};
    for (int k = 0; k < TRegExpr::NSUBEXP; ++k) {
      starts[k] = groups_[i][2 * k];
      ends[k] = groups_[i][2 * k + 1];
    }
    return TRegExpr::ExpandTemplateWith(replaceWith, matched, starts.data(), ends.data());
  }
  // Text that is not an occurrence of the last line: run the pattern over it.
  return regExpr_.ReplaceAllMatches(matched, replaceWith, true);
}

}  // namespace ludra
