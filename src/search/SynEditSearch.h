#pragma once
// The plain search engine: finds a literal pattern in a line with a skip
// table, optionally folding case and accepting only whole words. Where the
// processor compares sixteen bytes at once, a filter on two rare pattern
// bytes finds the same occurrences faster.
#include <array>
#include <string>
#include <vector>

#include "base/SynExceptions.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

class TCodePage;

class ESynEditSearch : public Exception {
 public:
  using Exception::Exception;
};

class TSynEditSearch : public TSynEditSearchCustom {
 public:
  TSynEditSearch();

  std::string Pattern() const override { return pattern_; }
  void SetPattern(const std::string& value) override;
  // PatLen for every index: all occurrences of a literal have its length.
  int MatchLength(int index) const override;
  // 0 when index is out of range.
  int MatchPosition(int index) const override;
  int MatchCount() const override { return static_cast<int>(results_.size()); }
  // Reads sfMatchCase and sfWholeWord; other flags mean nothing here.
  void SetSearchOptions(TSynSearchFlags options) override;
  // Raises ESynEditSearch "Pattern is empty" when there is no pattern.
  int FindAllInLine(const std::string& line) override;
  std::string ReplacementText(const std::string& matched, const std::string& replaceWith) override;

  // Occurrences found since the pattern was last set.
  int FoundCount() const { return foundCount_; }

 private:
  void MakeFoldTable();
  void InitShiftTable();
  void ChooseProbes();
  template <bool Fold>
  void Scan(const unsigned char* text, int length);
  template <bool Fold>
  void ProbeScan(const unsigned char* text, int length, int readable);
  template <bool Fold>
  void MaskScan(const unsigned char* text, int length, int readable);
  bool IsWholeWord(const unsigned char* text, int first, int last) const;

  std::string pattern_;
  bool sensitive_ = false;
  bool whole_ = false;
  std::array<unsigned char, 256> fold_{};
  std::array<bool, 256> delimiter_{};
  // The code page the tables were made for; another one remakes them.
  const TCodePage* page_ = nullptr;
  void MakeCodePageTables();
  std::array<int, 256> skip_{};
  std::string foldedPattern_;  // the pattern through the fold table
  int patLen_ = 0;
  int lookAt_ = 0;
  bool shiftTableValid_ = false;
  // Two pattern offsets with bytes that are rare in source text, and every
  // byte that folds to each; the vector scan looks for windows holding both.
  struct TProbe {
    int Offset = 0;
    unsigned char Bytes[2] = {0, 0};
  };
  TProbe probes_[2];
  bool probesUsable_ = false;
  std::vector<int> results_;
  int foundCount_ = 0;
};

}  // namespace ludra
