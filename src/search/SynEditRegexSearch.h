#pragma once
// The regular-expression search engine: the editor's search interface over
// TRegExpr.
#include <string>
#include <vector>

#include "search/SynEditSearchCustom.h"
#include "search/SynRegExpr.h"

namespace ludra {

class TSynEditRegexSearch : public TSynEditSearchCustom {
 public:
  TSynEditRegexSearch();
  ~TSynEditRegexSearch() override;

  std::string Pattern() const override { return regExpr_.Expression(); }
  void SetPattern(const std::string& value) override;
  int MatchLength(int index) const override;
  int MatchPosition(int index) const override;
  int MatchCount() const override { return static_cast<int>(positions_.size()); }
  // Only sfMatchCase counts: case is ignored without it. Searching backwards
  // tells in which order replacements will ask for the occurrences.
  void SetSearchOptions(TSynSearchFlags options) override;
  int FindAllInLine(const std::string& line) override;
  // The replace text with its group references expanded for this occurrence.
  std::string ReplacementText(const std::string& matched, const std::string& replaceWith) override;

  TRegExpr& RegExpr() { return regExpr_; }

  // Work allowed for one search over many lines: a fixed amount plus an
  // allowance per byte searched, and never more than TRegExpr allows for one
  // line. Ordinary patterns stay far below it however long the text; one that
  // backtracks badly on line after line is abandoned with the matcher's
  // "backtracks too much" error within a bounded time, instead of freezing
  // the program. A search begins when the editor sets the options or the
  // pattern.
  static constexpr int64_t kRunStepBudget = TRegExpr::kStepBudget;
  static constexpr int64_t kStepsPerByte = 50;
  void SetRunStepBudget(int64_t fixed, int64_t perLine) {
    runBudget_ = fixed;
    perLineBudget_ = perLine;
  }

 private:
  TRegExpr regExpr_;
  // Runs the pattern over replacement texts that are no occurrence of the
  // last line, so regExpr_ keeps that line.
  TRegExpr other_;
  std::vector<int> positions_;
  std::vector<int> lengths_;
  // Start and end of groups 0..groupCount_ of each occurrence, relative to
  // its start, so a replacement sees the groups as the search in the whole
  // line found them.
  std::vector<int> groups_;
  int groupCount_ = 0;
  bool backwards_ = false;
  int nextReplace_ = 0;
  int64_t runBudget_ = kRunStepBudget;
  int64_t perLineBudget_ = TRegExpr::kStepBudget;
  int64_t runSteps_ = 0;  // spent in this search
  int64_t runBytes_ = 0;  // searched in this search
};

}  // namespace ludra
