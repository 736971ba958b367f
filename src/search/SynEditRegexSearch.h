#pragma once
// The regular-expression search engine: the editor's search interface over
// TRegExpr.
#include <string>
#include <vector>

#include "SynEditSearchCustom.h"
#include "SynRegExpr.h"

namespace ludra {

class TSynEditRegexSearch : public TSynEditSearchCustom {
 public:
  TSynEditRegexSearch();
  ~TSynEditRegexSearch() override;

  std::string Pattern() const override { return regExpr_.Expression(); }
  void SetPattern(const std::string& value) override { regExpr_.SetExpression(value); }
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
};

}  // namespace ludra
