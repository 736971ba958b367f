#include "search/SynEditRegexSearch.h"

#include <algorithm>
#include <array>

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

void TSynEditRegexSearch::SetPattern(const std::string& value) {
  regExpr_.SetExpression(value);
  runSteps_ = runBytes_ = 0;
}

void TSynEditRegexSearch::SetSearchOptions(TSynSearchFlags options) {
  regExpr_.SetModifierI(!options.Contains(sfMatchCase));
  backwards_ = options.Contains(sfBackwards);
  runSteps_ = runBytes_ = 0;
}

int TSynEditRegexSearch::FindAllInLine(const std::string& line) {
  positions_.clear();
  lengths_.clear();
  groups_.clear();
  runBytes_ += static_cast<int64_t>(line.size()) + 1;
  const int64_t left = runBudget_ + kStepsPerByte * runBytes_ - runSteps_;
  regExpr_.SetStepBudget(std::max<int64_t>(0, std::min(left, perLineBudget_)));
  struct TCount {
    TSynEditRegexSearch& self;
    ~TCount() { self.runSteps_ += self.regExpr_.StepsUsed(); }
  } count{*this};
  if (regExpr_.Exec(line)) {
    groupCount_ = regExpr_.SubExprCount();
    do {
      const int start = regExpr_.GroupStart(0);
      positions_.push_back(start);
      lengths_.push_back(regExpr_.GroupLength(0));
      for (int k = 0; k <= groupCount_; ++k) {
        const int s = regExpr_.GroupStart(k);
        groups_.push_back(s < 0 ? -1 : s - start);
        groups_.push_back(s < 0 ? -1 : s - start + regExpr_.GroupLength(k));
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
  const std::string& line = regExpr_.InputString();
  for (int i = nextReplace_; i >= 0 && i < n; i += step) {
    if (line.compare(positions_[i] - 1, lengths_[i], matched) != 0) continue;
    nextReplace_ = i + step;
    std::array<int, TRegExpr::NSUBEXP> starts, ends;
    starts.fill(-1);
    ends.fill(-1);
    const int* g = groups_.data() + static_cast<size_t>(i) * 2 * (groupCount_ + 1);
    for (int k = 0; k <= groupCount_; ++k) {
      starts[k] = g[2 * k];
      ends[k] = g[2 * k + 1];
    }
    return TRegExpr::ExpandTemplateWith(replaceWith, matched, starts.data(), ends.data());
  }
  // Text that is not an occurrence of the last line: run the pattern over it.
  other_.SetModifiers(regExpr_.Modifiers());
  other_.SetBlankChars(regExpr_.BlankChars());
  other_.SetWordCharacters(regExpr_.WordCharacters());
  other_.SetLineBreakChars(regExpr_.LineBreakChars());
  other_.SetLinePairedSeparator(regExpr_.LinePairedSeparator());
  other_.SetExpression(regExpr_.Expression());
  return other_.ReplaceAllMatches(matched, replaceWith, true);
}

}  // namespace ludra
