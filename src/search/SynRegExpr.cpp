#include "search/SynRegExpr.h"

#include "base/SynCodePage.h"
#include "search/SynRegExprProgram.h"

namespace ludra {

using namespace regexpr;

TRegExpr::TRegExpr()
    : modifiers_(MaskModR | MaskModS | MaskModG),
      blankChars_(" \t\n\r\f"),
      wordChars_("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"),
      lineBreakChars_("\r\n"),
      pairedSeparator_("\r\n") {
  startp_.fill(-1);
  endp_.fill(-1);
}

TRegExpr::~TRegExpr() = default;

void TRegExpr::InvalidateProgram() {
  program_.clear();
  compiled_ = false;
  newInput_ = true;
}

void TRegExpr::SetExpression(const std::string& value) {
  if (value != expression_ || !compiled_) {
    expression_ = value;
    InvalidateProgram();
  }
}

bool TRegExpr::Modifier(int index) {
  if (index < 1 || index > 6) Raise(reeModifierUnsupported);
  return (modifiers_ & (1 << (index - 1))) != 0;
}

void TRegExpr::SetModifier(int index, bool value) {
  if (index < 1 || index > 6) Raise(reeModifierUnsupported);
  SetMask(1 << (index - 1), value);
}

void TRegExpr::SetBlankChars(const std::string& value) {
  if (value == blankChars_) return;
  blankChars_ = value;
  InvalidateProgram();
}

void TRegExpr::SetWordCharacters(const std::string& value) {
  if (value == wordChars_) return;
  wordChars_ = value;
  InvalidateProgram();
}

void TRegExpr::SetLineBreakChars(const std::string& value) {
  if (value == lineBreakChars_) return;
  lineBreakChars_ = value;
  InvalidateProgram();
}

void TRegExpr::SetLinePairedSeparator(const std::string& value) {
  if (!(value.empty() || (value.size() == 2 && value[0] != value[1]))) {
    compilerErrorPos_ = 0;
    Raise(reeBadLinePairedSeparator);
  }
  if (value == pairedSeparator_) return;
  pairedSeparator_ = value;
  InvalidateProgram();
}

bool TRegExpr::ProgramReady() {
  if (!compiled_ || progModifiers_ != modifiers_) {
    if (expression_.empty()) Raise(reeNoExpression);
    Compile();
  }
  if (program_.empty() || program_[0] != kMagic) Raise(reeCorruptedProgram);
  return true;
}

bool TRegExpr::Exec(const std::string& input) {
  input_.assign(input);
  hasInput_ = true;
  // The step budget covers every search in one input, so finding all
  // matches of a line stays bounded too.
  steps_ = 0;
  newInput_ = true;
  return ExecPos(1);
}

bool TRegExpr::ExecNext() {
  if (!matched_ || startp_[0] < 0 || endp_[0] < 0) Raise(reeExecNextWithoutExec);
  int offset = endp_[0] + 1;
  if (endp_[0] == startp_[0]) ++offset;
  return ExecPos(offset);
}

bool TRegExpr::ExecPos(int offset) {
  ProgramReady();
  if (!hasInput_) Raise(reeNoInputStringSpecified);
  if (offset < 1) Raise(reeOffsetMustBeGreaterThen0);
  in_ = reinterpret_cast<const unsigned char*>(input_.data());
  len_ = static_cast<int>(input_.size());
  matched_ = false;
  startp_.fill(-1);
  endp_.fill(-1);
  if (offset - 1 > len_) return false;
  matched_ = SearchFrom(offset - 1);
  if (!matched_) {
    for (int i = 0; i <= groupCount_; ++i) startp_[i] = endp_[i] = -1;
  }
  return matched_;
}

int TRegExpr::GroupStart(int n) const {
  if (n < 0 || n >= NSUBEXP || !hasInput_ || !matched_) return -1;
  if (startp_[n] < 0 || endp_[n] < startp_[n]) return -1;
  return startp_[n] + 1;
}

int TRegExpr::GroupLength(int n) const {
  if (n < 0 || n >= NSUBEXP || !hasInput_ || !matched_) return -1;
  if (startp_[n] < 0 || endp_[n] < startp_[n]) return -1;
  return endp_[n] - startp_[n];
}

std::string TRegExpr::Group(int n) const {
  int s = GroupStart(n);
  if (s < 0) return std::string();
  return input_.substr(s - 1, GroupLength(n));
}

std::string TRegExpr::ExpandTemplateWith(const std::string& templ, const std::string& subject,
                                         const int* starts, const int* ends) {
  std::string out;
  out.reserve(templ.size());
  const size_t n = templ.size();
  size_t i = 0;
  while (i < n) {
    char c = templ[i];
    if (c == '\\') {
      // A backslash quotes the next character; a final one stands for itself.
      if (i + 1 < n) {
        out += templ[i + 1];
        i += 2;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    if (c != '$') {
      out += c;
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool braced = j < n && templ[j] == '{';
    if (braced) ++j;
    int group = -1;
    bool valid = false;
    if (j < n && templ[j] == '&') {
      group = 0;
      valid = true;
      ++j;
    } else if (j < n && templ[j] >= '0' && templ[j] <= '9') {
      group = 0;
      while (j < n && templ[j] >= '0' && templ[j] <= '9') {
        if (group < NSUBEXP) group = group * 10 + (templ[j] - '0');
        ++j;
      }
      valid = true;
    }
    if (valid && braced) {
      if (j < n && templ[j] == '}')
        ++j;
      else
        valid = false;
    }
    if (!valid) {
      out += c;
      ++i;
      continue;
    }
    if (group >= 0 && group < NSUBEXP && starts[group] >= 0 && ends[group] >= starts[group] &&
        static_cast<size_t>(ends[group]) <= subject.size())
      out.append(subject, starts[group], ends[group] - starts[group]);
    i = j;
  }
  return out;
}

std::string TRegExpr::ExpandTemplate(const std::string& templ) {
  if (!compiled_ || !hasInput_) Raise(reeNoInputStringSpecified);
  std::array<int, NSUBEXP> s{}, e{};
  for (int k = 0; k < NSUBEXP; ++k) {
    bool ok = matched_ && startp_[k] >= 0 && endp_[k] >= startp_[k];
    s[k] = ok ? startp_[k] : -1;
    e[k] = ok ? endp_[k] : -1;
  }
  return ExpandTemplateWith(templ, input_, s.data(), e.data());
}

std::string TRegExpr::ReplaceAllMatches(const std::string& input, const std::string& templ,
                                        bool expand) {
  std::string result;
  int from = 0;
  if (Exec(input)) {
    // Exec copied the input; work on that copy from here on.
    do {
      result.append(input_, from, startp_[0] - from);
      result += expand ? ExpandTemplate(templ) : templ;
      from = endp_[0];
    } while (ExecNext());
  }
  result.append(input, from, std::string::npos);
  return result;
}

std::string TRegExpr::ErrorText(int code) const {
  switch (code) {
    case reeOk:
      return "No errors";
    case reeCompNullArgument:
      return "TRegExpr(comp): Null Argument";
    case reeCompRegexpTooBig:
      return "TRegExpr(comp): Regexp Too Big";
    case reeCompParseRegTooManyBrackets:
      return "TRegExpr(comp): ParseReg Too Many ()";
    case reeCompParseRegUnmatchedBrackets:
      return "TRegExpr(comp): ParseReg Unmatched ()";
    case reeCompParseRegUnmatchedBrackets2:
      return "TRegExpr(comp): ParseReg Unmatched ()";
    case reeCompParseRegJunkOnEnd:
      return "TRegExpr(comp): ParseReg Junk On End";
    case rePlusStarOperandCouldBeEmpty:
      return "TRegExpr(comp): *+ Operand Could Be Empty";
    case reeNestedSQP:
      return "TRegExpr(comp): Nested *?+";
    case reeBadHexDigit:
      return "TRegExpr(comp): Bad Hex Digit";
    case reeInvalidRange:
      return "TRegExpr(comp): Invalid [] Range";
    case reeParseAtomTrailingBackSlash:
      return "TRegExpr(comp): Parse Atom Trailing \\";
    case reeNoHexCodeAfterBSlashX:
      return "TRegExpr(comp): No Hex Code After \\x";
    case reeHexCodeAfterBSlashXTooBig:
      return "TRegExpr(comp): Hex Code After \\x Is Too Big";
    case reeUnmatchedSqBrackets:
      return "TRegExpr(comp): Unmatched []";
    case reeInternalUrp:
      return "TRegExpr(comp): Internal Urp";
    case reeQPSBFollowsNothing:
      return "TRegExpr(comp): ?+*{ Follows Nothing";
    case reeTrailingBackSlash:
      return "TRegExpr(comp): Trailing \\";
    case reeRarseAtomInternalDisaster:
      return "TRegExpr(comp): RarseAtom Internal Disaster";
    case reeBRACESArgTooBig:
      return "TRegExpr(comp): BRACES Argument Too Big";
    case reeBracesMinParamGreaterMax:
      return "TRegExpr(comp): BRACE Min Param Greater then Max";
    case reeUnclosedComment:
      return "TRegExpr(comp): Unclosed (?#Comment)";
    case reeComplexBracesNotImplemented:
      return "TRegExpr(comp): Braces On Complex Operands Are Not Supported In This Build";
    case reeUrecognizedModifier:
      return "TRegExpr(comp): Urecognized Modifier";
    case reeBadLinePairedSeparator:
      return "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars "
             "at all";
    case reeRegRepeatCalledInappropriately:
      return "TRegExpr(exec): RegRepeat Called Inappropriately";
    case reeMatchPrimMemoryCorruption:
      return "TRegExpr(exec): MatchPrim Memory Corruption";
    case reeMatchPrimCorruptedPointers:
      return "TRegExpr(exec): MatchPrim Corrupted Pointers";
    case reeNoExpression:
      return "TRegExpr(exec): Not Assigned Expression Property";
    case reeCorruptedProgram:
      return "TRegExpr(exec): Corrupted Program";
    case reeNoInputStringSpecified:
      return "TRegExpr(exec): No Inpit String Specified";
    case reeOffsetMustBeGreaterThen0:
      return "TRegExpr(exec): Offset Must Be Greater Then 0";
    case reeExecNextWithoutExec:
      return "TRegExpr(exec): ExecNext Without Exec[Pos]";
    case reeGetInputStringWithoutInputString:
      return "TRegExpr(exec): GetInputString Without InputString";
    case reeDumpCorruptedOpcode:
      return "TRegExpr(dump): Corrupted Opcode";
    case reeLoopStackExceeded:
      return "TRegExpr(exec): Loop Stack Exceeded";
    case reeLoopWithoutEntry:
      return "TRegExpr(exec): Loop Without LoopEntry !";
    case reeStepBudgetExceeded:
      return "TRegExpr(exec): Search Abandoned, The Pattern Backtracks Too Much; Matches May "
             "Have Been Missed";
    case reeBacktrackStackExceeded:
      return "TRegExpr(exec): Search Abandoned, Backtracking Stack Exhausted; Matches May Have "
             "Been Missed";
    default:
      return "Unknown error";
  }
}

ERegExpr TRegExpr::MakeError(int code) const {
  std::string message = ErrorText(code);
  if (code < 1000) message += " (pos " + std::to_string(compilerErrorPos_) + ")";
  return ERegExpr(message, code, compilerErrorPos_);
}

void TRegExpr::Error(int code) { throw MakeError(code); }

void TRegExpr::Raise(int code) {
  Error(code);
  // An overriding Error must not let the failed operation go on.
  throw MakeError(code);
}

}  // namespace ludra
