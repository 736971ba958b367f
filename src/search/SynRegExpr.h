#pragma once
// The regular-expression compiler and backtracking matcher for single-byte
// text. A pattern compiles into a compact program of nodes; the matcher walks
// it with an explicit backtracking stack, so neither long subjects nor deep
// patterns can exhaust the machine stack. A memo of failed states keeps
// nested quantifiers from trying the same state twice; a fixed step budget
// is the last guard against patterns that still backtrack too much.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/SynCharSet.h"
#include "base/SynExceptions.h"

namespace ludra {

class ERegExpr : public Exception {
 public:
  ERegExpr(const std::string& message, int errorCode, int compilerErrorPos)
      : Exception(message), errorCode_(errorCode), compilerErrorPos_(compilerErrorPos) {}
  int ErrorCode() const { return errorCode_; }
  int CompilerErrorPos() const { return compilerErrorPos_; }

 private:
  int errorCode_;
  int compilerErrorPos_;
};

// Error codes; codes below 1000 come from the compiler.
enum : int {
  reeOk = 0,
  reeCompNullArgument = 100,
  reeCompRegexpTooBig = 101,
  reeCompParseRegTooManyBrackets = 102,
  reeCompParseRegUnmatchedBrackets = 103,
  reeCompParseRegUnmatchedBrackets2 = 104,
  reeCompParseRegJunkOnEnd = 105,
  rePlusStarOperandCouldBeEmpty = 106,
  reeNestedSQP = 107,
  reeBadHexDigit = 108,
  reeInvalidRange = 109,
  reeParseAtomTrailingBackSlash = 110,
  reeNoHexCodeAfterBSlashX = 111,
  reeHexCodeAfterBSlashXTooBig = 112,
  reeUnmatchedSqBrackets = 113,
  reeInternalUrp = 114,
  reeQPSBFollowsNothing = 115,
  reeTrailingBackSlash = 116,
  reeRarseAtomInternalDisaster = 119,
  reeBRACESArgTooBig = 122,
  reeBracesMinParamGreaterMax = 124,
  reeUnclosedComment = 125,
  reeComplexBracesNotImplemented = 126,
  reeUrecognizedModifier = 127,
  reeBadLinePairedSeparator = 128,
  reeRegRepeatCalledInappropriately = 1000,
  reeMatchPrimMemoryCorruption = 1001,
  reeMatchPrimCorruptedPointers = 1002,
  reeNoExpression = 1003,
  reeCorruptedProgram = 1004,
  reeNoInputStringSpecified = 1005,
  reeOffsetMustBeGreaterThen0 = 1006,
  reeExecNextWithoutExec = 1007,
  reeGetInputStringWithoutInputString = 1008,
  reeDumpCorruptedOpcode = 1011,
  reeModifierUnsupported = 1013,
  reeLoopStackExceeded = 1014,
  reeLoopWithoutEntry = 1015,
  reeStepBudgetExceeded = 1016,
  reeBacktrackStackExceeded = 1017,
};

class TRegExpr {
 public:
  // Capturing groups 1..14 plus the whole match (0).
  static constexpr int NSUBEXP = 15;
  // Modifier masks.
  static constexpr int MaskModI = 1, MaskModR = 2, MaskModS = 4, MaskModG = 8, MaskModM = 16,
                       MaskModX = 32;
  // Work allowed for the searches in one input (Exec and the ExecNext calls
  // after it) before they are abandoned; far above what any ordinary search
  // of an editor line needs.
  static constexpr int64_t kStepBudget = 100'000'000;
  // Backtracking entries allowed for one search (16 bytes each).
  static constexpr size_t kMaxBacktrack = 16u << 20;

  TRegExpr();
  virtual ~TRegExpr();
  TRegExpr(const TRegExpr&) = delete;
  TRegExpr& operator=(const TRegExpr&) = delete;

  const std::string& Expression() const { return expression_; }
  void SetExpression(const std::string& value);

  int Modifiers() const { return modifiers_; }
  void SetModifiers(int value) { modifiers_ = value & 63; }
  // Modifier by number: 1 i, 2 r, 3 s, 4 g, 5 m, 6 x.
  bool Modifier(int index);
  void SetModifier(int index, bool value);
  bool ModifierI() const { return (modifiers_ & MaskModI) != 0; }
  bool ModifierR() const { return (modifiers_ & MaskModR) != 0; }
  bool ModifierS() const { return (modifiers_ & MaskModS) != 0; }
  bool ModifierG() const { return (modifiers_ & MaskModG) != 0; }
  bool ModifierM() const { return (modifiers_ & MaskModM) != 0; }
  bool ModifierX() const { return (modifiers_ & MaskModX) != 0; }
  void SetModifierI(bool v) { SetMask(MaskModI, v); }
  void SetModifierR(bool v) { SetMask(MaskModR, v); }
  void SetModifierS(bool v) { SetMask(MaskModS, v); }
  void SetModifierG(bool v) { SetMask(MaskModG, v); }
  void SetModifierM(bool v) { SetMask(MaskModM, v); }
  void SetModifierX(bool v) { SetMask(MaskModX, v); }

  const std::string& BlankChars() const { return blankChars_; }
  void SetBlankChars(const std::string& value);
  const std::string& WordCharacters() const { return wordChars_; }
  void SetWordCharacters(const std::string& value);
  const std::string& LineBreakChars() const { return lineBreakChars_; }
  void SetLineBreakChars(const std::string& value);
  const std::string& LinePairedSeparator() const { return pairedSeparator_; }
  void SetLinePairedSeparator(const std::string& value);

  // Compiles now (otherwise the first match compiles).
  void Compile();
  bool Exec(const std::string& input);
  bool ExecNext();
  // Searches the current input from a 1-based offset.
  bool ExecPos(int offset);
  const std::string& InputString() const { return input_; }

  // 1-based position and length of group n of the last match; -1 when n is
  // out of range, there is no match or the group took no part.
  int GroupStart(int n) const;
  int GroupLength(int n) const;
  std::string Group(int n) const;

  std::string ExpandTemplate(const std::string& templ);
  std::string ReplaceAllMatches(const std::string& input, const std::string& templ, bool expand);
  // Expands a template against given captures of a subject (0-based start,
  // end, -1 for a group that took no part).
  static std::string ExpandTemplateWith(const std::string& templ, const std::string& subject,
                                        const int* starts, const int* ends);

  int CompilerErrorPos() const { return compilerErrorPos_; }
  virtual std::string ErrorText(int code) const;

  // The work allowed for the searches in one input (kStepBudget unless
  // changed), and the work spent on the current input so far.
  int64_t StepBudget() const { return stepBudget_; }
  void SetStepBudget(int64_t value) { stepBudget_ = value; }
  int64_t StepsUsed() const { return steps_; }
  // The work the searches in one input may spend before they start
  // remembering the states that failed, so that none is explored twice; by
  // default a small multiple of the input's length. 0 remembers from the
  // first step.
  int64_t MemoThreshold() const { return memoThreshold_; }
  void SetMemoThreshold(int64_t value) { memoThreshold_ = value; }
  // Number of capturing groups in the compiled pattern.
  int SubExprCount() const { return groupCount_; }

 protected:
  // Raises ERegExpr for a code; a derived class may report differently but
  // must not return normally.
  virtual void Error(int code);

 private:
  struct TBacktrack {
    int32_t kind;
    int32_t node;
    int32_t pos;
    int32_t extra;
  };

  // Reports through Error, which must not return.
  [[noreturn]] void Raise(int code);
  ERegExpr MakeError(int code) const;
  void SetMask(int mask, bool v) { modifiers_ = v ? (modifiers_ | mask) : (modifiers_ & ~mask); }
  void InvalidateProgram();
  bool ProgramReady();

  // Compiler (SynRegExprCompile.cpp).
  class Parser;
  friend class Parser;
  void Optimize();
  bool FirstChars(int node, TSynCharSet& set, bool follow, int depth) const;
  void AddSimpleFirst(int node, TSynCharSet& set) const;

  // Matcher (SynRegExprMatch.cpp).
  bool TryAt(int pos);
  bool Run(int pos);
  bool Backtrack(int& scan, int& pos);
  bool LazyExtend(int node, int& pos, int count);
  int RepeatCount(int operand, int pos, int max);
  bool MatchOne(int operand, int pos, int& newPos);
  bool LineStartAt(int pos) const;
  bool LineEndAt(int pos) const;
  bool IsLineBreakHead(int pos) const;
  bool IsWordAt(int pos) const;
  void Push(int kind, int node, int pos, int extra);
  // State changes need undoing only when there is a choice point to return to.
  void PushUndo(int kind, int node, int pos, int extra) {
    if (choices_ != 0) PushUndoEntry(kind, node, pos, extra);
  }
  void PushUndoEntry(int kind, int node, int pos, int extra);
  void LogLoop(int slot);
  int FindLastMust() const;
  bool SearchFrom(int from);
  bool TryStarts(int from);
  int ChainCount(int node, int operand, int min, int max, int pos);
  int UnitOf(int operand) const;

  // The failure memo (SynRegExprMemo.cpp).
  void BuildMemoRows();
  void ResetMemo();
  void StartMemo();
  bool SeenSparse(int index, int pos);
  int ContextNumber(const int32_t* context, int n, uint64_t hash);
  static bool InsertState(std::vector<uint64_t>& set, size_t& count, uint64_t key);
  // Whether the state (node, position, and what else decides the rest of
  // the walk) was reached before in this input's searches; marks it.
  bool Seen(int node, int pos) {
    const int index = memoIndex_[node];
    if (index == 0 || pos <= memoFloor_) return false;
    const size_t base = memoBase_[index - 1];
    if (base == SIZE_MAX) return SeenSparse(index, pos);
    const TMemoRow& row = memoRows_[index - 1];
    size_t code = 0;
    if (row.loops != 0) {
      if (loopIdx_ != row.loops) return false;
      for (int s = 0; s < row.loops; ++s) {
        const TMemoLoop& l = memoLoops_[row.firstLoop + s];
        const int count = loopCount_[s];
        code = code * l.radix + static_cast<size_t>(count < l.radix - 1 ? count : l.radix - 1);
      }
    }
    const size_t bit = base + code * memoStride_ + static_cast<size_t>(pos);
    uint64_t& word = memo_[bit >> 6];
    const uint64_t mask = uint64_t{1} << (bit & 63);
    if (word & mask) return true;
    word |= mask;
    return false;
  }

  std::string expression_;
  int modifiers_;
  std::string blankChars_;
  std::string wordChars_;
  std::string lineBreakChars_;
  std::string pairedSeparator_;

  // The compiled program: magic byte, then nodes.
  std::vector<uint8_t> program_;
  bool compiled_ = false;
  int progModifiers_ = 0;
  int compilerErrorPos_ = 0;
  int groupCount_ = 0;
  // Optimisation data.
  int startNode_ = 1;  // where the node walk begins
  bool anchored_ = false;
  int firstLiteral_ = -1;  // node of a leading opLiteral, or -1
  std::string must_;
  bool canBeEmpty_ = false;  // a match may consume nothing: every position is tried
  TSynCharSet firstSet_;
  int firstSetCount_ = 0;
  unsigned char firstA_ = 0, firstB_ = 0;
  // Per repeat node: index into followSets_ (+1), 0 for none.
  std::vector<uint16_t> followIndex_;
  struct TFollow {
    TSynCharSet set;
    bool possessive;
    int single;  // the set's only member, or -1
  };
  std::vector<TFollow> followSets_;
  // Per branch, repeat or counted-loop node: its row in the failure memo
  // (+1), 0 for none.
  std::vector<uint16_t> memoIndex_;
  // A counted loop around a memo row. Its counts from radix - 1 on behave
  // alike: an unbounded loop's at and past its minimum (radix = min + 1),
  // a bounded loop's are all different (radix = max + 1).
  struct TMemoLoop {
    int radix;
    bool unbounded;
  };
  struct TMemoRow {
    int firstLoop = 0, loops = 0;  // its loops in memoLoops_, outermost first
    // Distinct loop-count codes, each a bit per position in memo_; 0 when
    // the row's states go to the sparse memo.
    size_t codes = 1;
  };
  std::vector<TMemoRow> memoRows_;
  std::vector<TMemoLoop> memoLoops_;
  // The groups some back-reference reads: their spans decide where it
  // matches, so they are part of every state.
  std::vector<int> refGroups_;
  std::array<unsigned char, 256> swapCase_{};
  std::array<bool, 256> isWord_{};
  std::array<bool, 256> isLineBreak_{};
  int pairHead_ = -1, pairTail_ = -1;

  // Match state.
  std::string input_;
  bool hasInput_ = false;
  const unsigned char* in_ = nullptr;
  int len_ = 0;
  std::array<int, NSUBEXP> startp_{};
  std::array<int, NSUBEXP> endp_{};
  bool matched_ = false;
  static constexpr int kLoopMax = 10;
  std::array<int, kLoopMax> loopCount_{};
  std::array<int, kLoopMax> loopStart_{};
  int loopIdx_ = 0;
  std::vector<TBacktrack> stack_;
  int choices_ = 0;
  int64_t steps_ = 0;
  int64_t stepBudget_ = kStepBudget;
  // The failure memo of the searches in the current input. A state is a
  // node, a position and everything the rest of the walk reads: the counts
  // of the counted loops around the node and, with back-references, whether
  // each loop's iteration is still empty and the spans of the referenced
  // groups. A state reached again fails again: the first visit either
  // failed or is still being explored (reaching it again from there would
  // be a loop that consumed nothing). Dense rows keep a bit per (count
  // code, position); other states go to a hash set.
  static constexpr size_t kMemoMaxBits = size_t{1} << 27;
  static constexpr size_t kSparseMaxSlots = size_t{1} << 22;
  static constexpr size_t kSparseMaxContexts = size_t{1} << 18;
  static constexpr int kSparseSteps = 4;
  int64_t memoThreshold_ = -1;  // -1: the default
  int64_t memoAfter_ = 0;       // steps_ at which the memo starts
  bool memoOn_ = false;
  // States at or before the end of this input's last match may lie on its
  // path, so they are neither looked up nor marked.
  int memoFloor_ = -1;
  bool memoSound_ = true;         // false after a search that ended in an error
  bool newInput_ = true;          // the input or the program changed since the last search
  size_t memoStride_ = 0;         // positions per code: the input length + 1
  std::vector<size_t> memoBase_;  // per row: first bit in memo_, SIZE_MAX for sparse
  std::vector<uint64_t> memo_;
  std::vector<uint64_t> sparse_;  // (context number, position) pairs
  size_t sparseCount_ = 0;
  // Numbered contexts: a slot holds a hash's high half and the number + 1;
  // a context is stored as its length and values from contextAt_[number].
  std::vector<uint64_t> contextSlots_;
  std::vector<uint32_t> contextAt_;
  std::vector<uint64_t> contextHash_;
  std::vector<int32_t> contextStore_;
  int matchEnd_ = 0;
  // The last position of the must string in the input (-1: none), or -2
  // when not looked for yet: a match starting after it cannot exist.
  int lastMust_ = -2;
};

}  // namespace ludra
