// The pattern compiler: a recursive descent (alternation, branch, piece,
// atom) that writes the node program, then the data that lets the matcher
// skip start positions quickly.
#include <cstdint>
#include <cstring>

#include "base/SynCodePage.h"
#include "search/SynRegExpr.h"
#include "search/SynRegExprProgram.h"

namespace ludra {

using namespace regexpr;

namespace {

// Flags of a parsed piece. HASWIDTH follows the quantifier rules (a
// back-reference counts as having width); MAYBEEMPTY says whether the piece
// can in fact match the empty string.
constexpr int WORST = 0, HASWIDTH = 1, SIMPLE = 2, SPSTART = 4, MAYBEEMPTY = 8;

bool IsMeta(int c) {
  switch (c) {
    case '^':
    case '$':
    case '.':
    case '[':
    case '(':
    case ')':
    case '|':
    case '?':
    case '+':
    case '*':
    case '\\':
    case '{':
      return true;
    default:
      return false;
  }
}

bool IsXBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The Cyrillic range rules only make sense when the page is Windows-1251.
bool PageIsCyrillic() { return CodePage().ToUnicode(0xE0) == 0x0430; }

}  // namespace

class TRegExpr::Parser {
 public:
  explicit Parser(TRegExpr& re)
      : re_(re), pat_(re.expression_), prog_(re.program_), mods_(re.modifiers_) {}

  int ParseReg(bool paren, int& flagp);
  int GroupCount() const { return npar_ - 1; }

 private:
  struct TBraces {
    size_t end;  // index after '}'
    size_t minAt, minLen, maxAt, maxLen;
    bool hasComma;
  };

  [[noreturn]] void Fail(int code) {
    re_.compilerErrorPos_ = static_cast<int>(pos_);
    re_.Raise(code);
  }
  int Peek(size_t k = 0) const {
    return pos_ + k < pat_.size() ? static_cast<unsigned char>(pat_[pos_ + k]) : -1;
  }
  int At(size_t p) const { return p < pat_.size() ? static_cast<unsigned char>(pat_[p]) : -1; }
  bool AtEnd() const { return pos_ >= pat_.size(); }
  bool Mod(int mask) const { return (mods_ & mask) != 0; }

  int Emit(uint8_t op) {
    int at = static_cast<int>(prog_.size());
    prog_.push_back(op);
    prog_.insert(prog_.end(), 4, 0);
    return at;
  }
  void EmitByte(uint8_t b) { prog_.push_back(b); }
  void Emit32(int32_t v) {
    size_t at = prog_.size();
    prog_.resize(at + 4);
    Write32(prog_.data() + at, v);
  }
  // Puts a node (with `extra` zeroed operand bytes) in front of the node at
  // `at`, moving that node and everything after it down.
  void Insert(uint8_t op, int at, int extra) {
    prog_.insert(prog_.begin() + at, kNodeSize + extra, 0);
    prog_[at] = op;
  }
  void SetNext(int node, int target) { Write32(prog_.data() + node + 1, target - node); }
  // Links the last node of the chain starting at p to val.
  void Tail(int p, int val) {
    int scan = p;
    for (;;) {
      int next = NextNode(prog_.data(), scan);
      if (next < 0) break;
      scan = next;
    }
    SetNext(scan, val);
  }
  // Tail on the operand of a branch.
  void OpTail(int p, int val) {
    if (p < 0 || prog_[p] != opBranch) return;
    Tail(Operand(p), val);
  }

  void SkipX();
  size_t SkipXFrom(size_t p) const;
  bool BracesAt(size_t p, TBraces& b) const;
  bool QuantifierAt(size_t p) const {
    int c = At(p);
    TBraces b;
    return c == '*' || c == '+' || c == '?' || (c == '{' && BracesAt(p, b));
  }
  int BraceNumber(size_t at, size_t n);

  int ParseBranch(int& flagp);
  int ParsePiece(int& flagp);
  int ParseAtom(int& flagp);
  int ParseEscape(int& flagp);
  int ParseEscapedChar();
  int ParseHex();
  int ParseLiteral(int& flagp);
  int ParseSet(int& flagp);
  void ParseModifiers();
  void AddClass(TSynCharSet& s, int letter) const;
  int EmitSet(TSynCharSet s, bool negate);
  int EmitLiteral(const std::string& chars);
  void EmitComplexBraces(int ret, int min, int max, bool lazy);
  bool LineMode() const {
    return Mod(MaskModM) && (!re_.lineBreakChars_.empty() || !re_.pairedSeparator_.empty());
  }

  TRegExpr& re_;
  const std::string& pat_;
  std::vector<uint8_t>& prog_;
  int mods_;
  size_t pos_ = 0;
  int npar_ = 1;
};

void TRegExpr::Parser::SkipX() { pos_ = SkipXFrom(pos_); }

size_t TRegExpr::Parser::SkipXFrom(size_t p) const {
  if (!Mod(MaskModX)) return p;
  for (;;) {
    int c = At(p);
    if (IsXBlank(c)) {
      ++p;
    } else if (c == '#') {
      while (At(p) >= 0 && At(p) != '\r' && At(p) != '\n') ++p;
    } else {
      return p;
    }
  }
}

bool TRegExpr::Parser::BracesAt(size_t p, TBraces& b) const {
  if (At(p) != '{') return false;
  size_t q = p + 1;
  b.minAt = q;
  while (At(q) >= '0' && At(q) <= '9') ++q;
  b.minLen = q - b.minAt;
  if (b.minLen == 0) return false;
  b.hasComma = false;
  b.maxAt = q;
  b.maxLen = 0;
  if (At(q) == ',') {
    b.hasComma = true;
    ++q;
    b.maxAt = q;
    while (At(q) >= '0' && At(q) <= '9') ++q;
    b.maxLen = q - b.maxAt;
  }
  if (At(q) != '}') return false;
  b.end = q + 1;
  return true;
}

int TRegExpr::Parser::BraceNumber(size_t at, size_t n) {
  if (n > 8) {
    pos_ = at;
    Fail(reeBRACESArgTooBig);
  }
  int v = 0;
  for (size_t k = 0; k < n; ++k) v = v * 10 + (pat_[at + k] - '0');
  return v;
}

int TRegExpr::Parser::ParseReg(bool paren, int& flagp) {
  flagp = HASWIDTH;
  int ret = -1;
  int parno = 0;
  int empty = 0;
  const int savedMods = mods_;
  if (paren) {
    if (npar_ >= NSUBEXP) Fail(reeCompParseRegTooManyBrackets);
    parno = npar_++;
    ret = Emit(static_cast<uint8_t>(opOpen + parno));
  }
  int flags;
  int br = ParseBranch(flags);
  if (ret >= 0)
    Tail(ret, br);
  else
    ret = br;
  if (!(flags & HASWIDTH)) flagp &= ~HASWIDTH;
  flagp |= flags & SPSTART;
  empty |= flags & MAYBEEMPTY;
  // Linking from the last branch keeps long alternations linear.
  int last = br;
  while (Peek() == '|') {
    ++pos_;
    br = ParseBranch(flags);
    Tail(last, br);
    last = br;
    if (!(flags & HASWIDTH)) flagp &= ~HASWIDTH;
    flagp |= flags & SPSTART;
    empty |= flags & MAYBEEMPTY;
  }
  flagp |= empty;
  int ender = Emit(paren ? static_cast<uint8_t>(opClose + parno) : static_cast<uint8_t>(opEnd));
  Tail(last, ender);
  for (int b = ret; b >= 0; b = NextNode(prog_.data(), b)) OpTail(b, ender);
  if (paren) {
    if (Peek() != ')') Fail(reeCompParseRegUnmatchedBrackets);
    ++pos_;
    // Modifiers set inside a group end with it.
    mods_ = savedMods;
  } else if (!AtEnd()) {
    Fail(Peek() == ')' ? reeCompParseRegUnmatchedBrackets2 : reeCompParseRegJunkOnEnd);
  }
  return ret;
}

int TRegExpr::Parser::ParseBranch(int& flagp) {
  flagp = MAYBEEMPTY;
  int ret = Emit(opBranch);
  int chain = -1;
  for (;;) {
    SkipX();
    int c = Peek();
    if (c < 0 || c == '|' || c == ')') break;
    int flags;
    int latest = ParsePiece(flags);
    flagp |= flags & HASWIDTH;
    if (!(flags & MAYBEEMPTY)) flagp &= ~MAYBEEMPTY;
    if (chain < 0)
      flagp |= flags & SPSTART;
    else
      Tail(chain, latest);
    chain = latest;
  }
  if (chain < 0) Emit(opNothing);
  return ret;
}

void TRegExpr::Parser::EmitComplexBraces(int ret, int min, int max, bool lazy) {
  Insert(opLoopEntry, ret, 0);
  const int body = Operand(ret);
  int loop = Emit(lazy ? opLoopLazy : opLoop);
  Emit32(min);
  Emit32(max);
  Emit32(body - loop);
  Tail(ret, loop);
  Tail(body, loop);
}

int TRegExpr::Parser::ParsePiece(int& flagp) {
  int flags;
  int ret = ParseAtom(flags);
  if (!(flags & HASWIDTH)) flags |= MAYBEEMPTY;
  SkipX();
  int op = Peek();
  TBraces braces{};
  bool isBraces = op == '{' && BracesAt(pos_, braces);
  if (!(op == '*' || op == '+' || op == '?' || isBraces)) {
    flagp = flags;
    return ret;
  }
  if (!(flags & HASWIDTH) && op != '?') Fail(rePlusStarOperandCouldBeEmpty);
  int min = 0, max = kInfinite;
  if (isBraces) {
    min = BraceNumber(braces.minAt, braces.minLen);
    if (!braces.hasComma)
      max = min;
    else if (braces.maxLen > 0)
      max = BraceNumber(braces.maxAt, braces.maxLen);
    pos_ = braces.end;
    if (min > max) Fail(reeBracesMinParamGreaterMax);
  } else {
    ++pos_;
  }
  bool lazy = false;
  if (Peek() == '?') {
    lazy = true;
    ++pos_;
  }
  const bool nonGreedy = lazy || !Mod(MaskModG);
  const bool simple = (flags & SIMPLE) != 0;
  // An operand that can match nothing (through a back-reference) repeats in
  // a counted loop, which ends the repeat after an empty iteration.
  const bool loopGreedy = !nonGreedy && !(flags & MAYBEEMPTY);
  switch (op) {
    case '*':
      flagp = WORST | SPSTART | MAYBEEMPTY;
      if (simple) {
        Insert(nonGreedy ? opStarLazy : opStar, ret, 0);
      } else if (loopGreedy) {
        // x* becomes a branch loop: (x, back to the branch) or nothing.
        Insert(opBranch, ret, 0);
        OpTail(ret, Emit(opBack));
        OpTail(ret, ret);
        Tail(ret, Emit(opBranch));
        Tail(ret, Emit(opNothing));
      } else {
        EmitComplexBraces(ret, 0, kInfinite, nonGreedy);
      }
      break;
    case '+':
      flagp = WORST | SPSTART | HASWIDTH | (flags & MAYBEEMPTY);
      if (simple) {
        Insert(nonGreedy ? opPlusLazy : opPlus, ret, 0);
      } else if (loopGreedy) {
        // x+ becomes x followed by a loop back to x, or nothing.
        int next = Emit(opBranch);
        Tail(ret, next);
        Tail(Emit(opBack), ret);
        Tail(next, Emit(opBranch));
        Tail(ret, Emit(opNothing));
      } else {
        EmitComplexBraces(ret, 1, kInfinite, nonGreedy);
      }
      break;
    case '?':
      flagp = WORST | SPSTART | MAYBEEMPTY;
      if (!nonGreedy) {
        // x? becomes x or nothing.
        Insert(opBranch, ret, 0);
        Tail(ret, Emit(opBranch));
        int next = Emit(opNothing);
        Tail(ret, next);
        OpTail(ret, next);
      } else if (simple) {
        Insert(opRepeatLazy, ret, 8);
        Write32(prog_.data() + ret + kNodeSize, 0);
        Write32(prog_.data() + ret + kNodeSize + 4, 1);
      } else {
        EmitComplexBraces(ret, 0, 1, true);
      }
      break;
    default:  // braces
      flagp = WORST | SPSTART | (min > 0 ? HASWIDTH | (flags & MAYBEEMPTY) : MAYBEEMPTY);
      if (simple) {
        Insert(nonGreedy ? opRepeatLazy : opRepeat, ret, 8);
        Write32(prog_.data() + ret + kNodeSize, min);
        Write32(prog_.data() + ret + kNodeSize + 4, max);
      } else {
        EmitComplexBraces(ret, min, max, nonGreedy);
      }
      break;
  }
  SkipX();
  if (QuantifierAt(pos_)) Fail(reeNestedSQP);
  return ret;
}

int TRegExpr::Parser::ParseAtom(int& flagp) {
  flagp = WORST;
  const int c = Peek();
  switch (c) {
    case '^':
      ++pos_;
      return Emit(LineMode() ? opLineStart : opInputStart);
    case '$':
      ++pos_;
      return Emit(LineMode() ? opLineEnd : opInputEnd);
    case '.':
      ++pos_;
      flagp = HASWIDTH | SIMPLE;
      return Emit(Mod(MaskModS) ? opAny : opAnyButLineBreak);
    case '[':
      ++pos_;
      return ParseSet(flagp);
    case '(': {
      ++pos_;
      if (Peek() == '?') {
        if (Peek(1) == '#') {
          pos_ += 2;
          while (!AtEnd() && Peek() != ')') ++pos_;
          if (AtEnd()) Fail(reeUnclosedComment);
          ++pos_;
          return Emit(opComment);
        }
        ++pos_;
        ParseModifiers();
        return Emit(opComment);
      }
      int flags;
      int ret = ParseReg(true, flags);
      flagp = flags & (HASWIDTH | SPSTART | MAYBEEMPTY);
      return ret;
    }
    case -1:
    case '|':
    case ')':
      Fail(reeInternalUrp);
    case '?':
    case '+':
    case '*':
      ++pos_;
      Fail(reeQPSBFollowsNothing);
    case '\\':
      ++pos_;
      if (AtEnd()) Fail(reeTrailingBackSlash);
      return ParseEscape(flagp);
    default:
      return ParseLiteral(flagp);
  }
}

void TRegExpr::Parser::ParseModifiers() {
  bool on = true;
  for (;;) {
    int c = Peek();
    if (c < 0) Fail(reeUrecognizedModifier);
    if (c == ')') {
      ++pos_;
      return;
    }
    if (c == '-') {
      on = false;
      ++pos_;
      continue;
    }
    int mask;
    switch (c | 0x20) {
      case 'i':
        mask = MaskModI;
        break;
      case 'r':
        mask = MaskModR;
        break;
      case 's':
        mask = MaskModS;
        break;
      case 'g':
        mask = MaskModG;
        break;
      case 'm':
        mask = MaskModM;
        break;
      case 'x':
        mask = MaskModX;
        break;
      default:
        Fail(reeUrecognizedModifier);
    }
    mods_ = on ? (mods_ | mask) : (mods_ & ~mask);
    ++pos_;
  }
}

int TRegExpr::Parser::ParseHex() {
  if (AtEnd()) Fail(reeNoHexCodeAfterBSlashX);
  if (Peek() == '{') {
    ++pos_;
    int v = 0;
    for (;;) {
      if (AtEnd()) Fail(reeNoHexCodeAfterBSlashX);
      int c = Peek();
      if (c == '}') break;
      int d = HexValue(c);
      if (d < 0) Fail(reeBadHexDigit);
      v = v * 16 + d;
      if (v > 255) v = 256;  // stays too big, without overflowing
      ++pos_;
    }
    ++pos_;
    if (v > 255) Fail(reeHexCodeAfterBSlashXTooBig);
    return v;
  }
  int v = 0;
  for (int k = 0; k < 2; ++k) {
    if (AtEnd()) Fail(reeNoHexCodeAfterBSlashX);
    int d = HexValue(Peek());
    if (d < 0) Fail(reeBadHexDigit);
    v = v * 16 + d;
    ++pos_;
  }
  return v;
}

// The character of an escape other than a class; pos_ is after the backslash.
int TRegExpr::Parser::ParseEscapedChar() {
  int c = Peek();
  ++pos_;
  switch (c) {
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'f':
      return '\f';
    case 'a':
      return 7;
    case 'e':
      return 27;
    case 'x':
      return ParseHex();
    default:
      return c;
  }
}

void TRegExpr::Parser::AddClass(TSynCharSet& s, int letter) const {
  const std::string& chars = letter == 'd'   ? std::string("0123456789")
                             : letter == 's' ? re_.blankChars_
                                             : re_.wordChars_;
  for (unsigned char ch : chars) s.Include(ch);
}

int TRegExpr::Parser::EmitSet(TSynCharSet s, bool negate) {
  int n = s.Count();
  if (n >= 1 && n <= 3) {
    int node = Emit(negate ? opSmallSetNot : opSmallSet);
    unsigned char members[3];
    int k = 0;
    for (int c = 0; c < 256; ++c)
      if (s.Contains(c)) members[k++] = static_cast<unsigned char>(c);
    while (k < 3) {
      members[k] = members[k - 1];
      ++k;
    }
    for (unsigned char m : members) EmitByte(m);
    return node;
  }
  int node = Emit(opFullSet);
  for (int c = 0; c < 256; c += 8) {
    uint8_t byte = 0;
    for (int b = 0; b < 8; ++b)
      if (s.Contains(c + b) != negate) byte |= static_cast<uint8_t>(1u << b);
    EmitByte(byte);
  }
  return node;
}

int TRegExpr::Parser::ParseEscape(int& flagp) {
  const int c = Peek();
  flagp = HASWIDTH | SIMPLE;
  switch (c) {
    case 'd':
      ++pos_;
      return Emit(opDigit);
    case 'D':
      ++pos_;
      return Emit(opNonDigit);
    case 's':
    case 'S':
    case 'w':
    case 'W': {
      ++pos_;
      TSynCharSet s;
      AddClass(s, c | 0x20);
      return EmitSet(s, c == 'S' || c == 'W');
    }
    case 'b':
      ++pos_;
      flagp = WORST;
      return Emit(opWordBoundary);
    case 'B':
      ++pos_;
      flagp = WORST;
      return Emit(opNotWordBoundary);
    case 'A':
      ++pos_;
      flagp = WORST;
      return Emit(opInputStart);
    case 'Z':
      ++pos_;
      flagp = WORST;
      return Emit(opInputEnd);
    default:
      break;
  }
  if (c >= '1' && c <= '9') {
    ++pos_;
    flagp |= MAYBEEMPTY;  // the group may have captured nothing
    int node = Emit(Mod(MaskModI) ? opBackrefNoCase : opBackref);
    EmitByte(static_cast<uint8_t>(c - '0'));
    return node;
  }
  int ch = ParseEscapedChar();
  return EmitLiteral(std::string(1, static_cast<char>(ch)));
}

int TRegExpr::Parser::EmitLiteral(const std::string& chars) {
  bool caseless = false;
  if (Mod(MaskModI))
    for (unsigned char ch : chars)
      if (re_.swapCase_[ch] != ch) caseless = true;
  int node = Emit(caseless ? opLiteralNoCase : opLiteral);
  EmitByte(static_cast<uint8_t>(chars.size()));
  for (char ch : chars) EmitByte(static_cast<uint8_t>(ch));
  return node;
}

int TRegExpr::Parser::ParseLiteral(int& flagp) {
  const bool x = Mod(MaskModX);
  size_t p = pos_;
  std::string run;
  while (p < pat_.size() && run.size() < static_cast<size_t>(kMaxLiteral)) {
    int c = At(p);
    // A '{' that starts an atom is not a quantifier, so it is a literal.
    if (IsMeta(c) && !(c == '{' && p == pos_)) break;
    if (x && (IsXBlank(c) || c == '#')) break;
    run += static_cast<char>(c);
    ++p;
  }
  if (run.empty()) Fail(reeRarseAtomInternalDisaster);
  // A quantifier applies to the last character only.
  if (run.size() > 1 && QuantifierAt(SkipXFrom(p))) {
    run.pop_back();
    --p;
  }
  pos_ = p;
  flagp = HASWIDTH | (run.size() == 1 ? SIMPLE : 0);
  return EmitLiteral(run);
}

int TRegExpr::Parser::ParseSet(int& flagp) {
  bool negate = false;
  if (Peek() == '^') {
    negate = true;
    ++pos_;
  }
  TSynCharSet s;
  const bool cyrillic = Mod(MaskModR) && PageIsCyrillic();
  bool first = true;
  for (;;) {
    if (AtEnd()) Fail(reeUnmatchedSqBrackets);
    int c = Peek();
    if (c == ']' && !first) {
      ++pos_;
      break;
    }
    first = false;
    int lo;
    if (c == '\\') {
      ++pos_;
      if (AtEnd()) Fail(reeParseAtomTrailingBackSlash);
      int e = Peek();
      if (e == 'd' || e == 's' || e == 'w') {
        ++pos_;
        AddClass(s, e);
        continue;
      }
      lo = ParseEscapedChar();
    } else {
      lo = c;
      ++pos_;
    }
    if (Peek() == '-' && Peek(1) >= 0 && Peek(1) != ']') {
      // A range whose end would be a class escape leaves the hyphen a member.
      if (Peek(1) == '\\' && (Peek(2) == 'd' || Peek(2) == 's' || Peek(2) == 'w')) {
        s.Include(lo);
        s.Include('-');
        ++pos_;
        continue;
      }
      ++pos_;
      int hi;
      if (Peek() == '\\') {
        ++pos_;
        if (AtEnd()) Fail(reeParseAtomTrailingBackSlash);
        hi = ParseEscapedChar();
      } else {
        hi = Peek();
        ++pos_;
      }
      if (cyrillic && lo == 0xE0 && hi == 0xDF) {
        for (int k = 0xC0; k <= 0xFF; ++k) s.Include(k);
        s.Include(0xA8);
        s.Include(0xB8);
        continue;
      }
      if (hi < lo) Fail(reeInvalidRange);
      for (int k = lo; k <= hi; ++k) s.Include(k);
      if (cyrillic && lo == 0xE0 && hi == 0xFF) s.Include(0xB8);
      if (cyrillic && lo == 0xC0 && hi == 0xDF) s.Include(0xA8);
      // A hyphen right after a range is a member: the next round reads it
      // as a plain character.
      continue;
    }
    s.Include(lo);
  }
  if (Mod(MaskModI)) {
    TSynCharSet folded = s;
    for (int k = 0; k < 256; ++k)
      if (s.Contains(k)) folded.Include(re_.swapCase_[k]);
    s = folded;
  }
  flagp = HASWIDTH | SIMPLE;
  return EmitSet(s, negate);
}

void TRegExpr::Compile() {
  InvalidateProgram();
  compilerErrorPos_ = 0;
  if (expression_.empty()) Raise(reeCompNullArgument);
  const TCodePage& cp = CodePage();
  for (int c = 0; c < 256; ++c) {
    unsigned char u = cp.UpperCase(static_cast<unsigned char>(c));
    swapCase_[c] = u != c ? u : cp.LowerCase(static_cast<unsigned char>(c));
  }
  isWord_.fill(false);
  for (unsigned char c : wordChars_) isWord_[c] = true;
  isLineBreak_.fill(false);
  for (unsigned char c : lineBreakChars_) isLineBreak_[c] = true;
  pairHead_ = pairedSeparator_.size() == 2 ? static_cast<unsigned char>(pairedSeparator_[0]) : -1;
  pairTail_ = pairedSeparator_.size() == 2 ? static_cast<unsigned char>(pairedSeparator_[1]) : -1;
  try {
    program_.reserve(expression_.size() * 4 + 16);
    program_.push_back(kMagic);
    Parser parser(*this);
    int flags;
    parser.ParseReg(false, flags);
    groupCount_ = parser.GroupCount();
    Optimize();
  } catch (...) {
    InvalidateProgram();
    throw;
  }
  progModifiers_ = modifiers_;
  compiled_ = true;
}

void TRegExpr::AddSimpleFirst(int node, TSynCharSet& set) const {
  const uint8_t* prog = program_.data();
  const uint8_t* operand = prog + node + kNodeSize;
  switch (prog[node]) {
    case opLiteral:
      set.Include(operand[1]);
      break;
    case opLiteralNoCase:
      set.Include(operand[1]);
      set.Include(swapCase_[operand[1]]);
      break;
    case opDigit:
      for (int c = '0'; c <= '9'; ++c) set.Include(c);
      break;
    case opNonDigit:
      for (int c = 0; c < 256; ++c)
        if (c < '0' || c > '9') set.Include(c);
      break;
    case opSmallSet:
      for (int k = 0; k < 3; ++k) set.Include(operand[k]);
      break;
    case opSmallSetNot:
      for (int c = 0; c < 256; ++c)
        if (c != operand[0] && c != operand[1] && c != operand[2]) set.Include(c);
      break;
    case opFullSet:
      for (int c = 0; c < 256; ++c)
        if ((operand[c >> 3] >> (c & 7)) & 1) set.Include(c);
      break;
    default:  // any character, back-references
      set.IncludeAll();
      break;
  }
}

// Adds to `set` the characters at which a match from `node` can begin.
// Returns true when the walk can get past its end without consuming a
// character (then any position may match). In `follow` mode the walk starts
// inside the program, so reaching a loop's end is treated as unknown.
bool TRegExpr::FirstChars(int node, TSynCharSet& set, bool follow, int depth) const {
  const uint8_t* prog = program_.data();
  if (depth > 64) {
    set.IncludeAll();
    return true;
  }
  int scan = node;
  while (scan >= 0) {
    const uint8_t op = prog[scan];
    const int next = NextNode(prog, scan);
    switch (op) {
      case opEnd:
        return true;
      case opLiteral:
      case opLiteralNoCase:
      case opAny:
      case opAnyButLineBreak:
      case opDigit:
      case opNonDigit:
      case opSmallSet:
      case opSmallSetNot:
      case opFullSet:
        AddSimpleFirst(scan, set);
        return false;
      case opBackref:
      case opBackrefNoCase:
        // The group may have captured nothing.
        set.IncludeAll();
        break;
      case opBranch: {
        if (next < 0 || prog[next] != opBranch) {
          scan = Operand(scan);
          continue;
        }
        bool empty = false;
        for (int b = scan; b >= 0 && prog[b] == opBranch; b = NextNode(prog, b))
          empty |= FirstChars(Operand(b), set, follow, depth + 1);
        return empty;
      }
      case opBack:
        // From the start, the loop's other alternative covers what follows.
        return follow;
      case opStar:
      case opStarLazy:
      case opPlus:
      case opPlusLazy:
      case opRepeat:
      case opRepeatLazy: {
        int operand = RepeatOperand(prog, scan);
        AddSimpleFirst(operand, set);
        int min = op == opPlus || op == opPlusLazy         ? 1
                  : (op == opRepeat || op == opRepeatLazy) ? Read32(prog + scan + kNodeSize)
                                                           : 0;
        if (min > 0 && prog[operand] != opBackref && prog[operand] != opBackrefNoCase) return false;
        break;
      }
      case opLoopEntry: {
        if (next < 0) return true;
        int min = Read32(prog + next + kNodeSize);
        int body = next + Read32(prog + next + kNodeSize + 8);
        bool empty = FirstChars(body, set, follow, depth + 1);
        if (min > 0 && !empty) return false;
        scan = NextNode(prog, next);
        continue;
      }
      case opLoop:
      case opLoopLazy:
        return true;
      case opInputStart:
      case opInputEnd:
      case opLineStart:
      case opLineEnd:
      case opWordBoundary:
      case opNotWordBoundary:
      case opNothing:
      case opComment:
        break;
      default:
        if (op >= kOpenFirst && op <= kCloseLast) break;
        set.IncludeAll();
        return true;
    }
    scan = next;
  }
  return true;
}

void TRegExpr::Optimize() {
  const uint8_t* prog = program_.data();
  anchored_ = false;
  firstLiteral_ = -1;
  must_.clear();
  const int first = 1;
  startNode_ = first;
  int next = NextNode(prog, first);
  if (next >= 0 && prog[next] == opEnd) {
    // A single alternative: the walk can start inside it.
    startNode_ = Operand(first);
    // One top-level alternative: its leading node and literals are required.
    int scan = Operand(first);
    int s = scan;
    while (s >= 0 && (prog[s] == opComment || prog[s] == opNothing ||
                      (prog[s] >= kOpenFirst && prog[s] <= kOpenLast)))
      s = NextNode(prog, s);
    if (s >= 0 && prog[s] == opLiteral)
      firstLiteral_ = s;
    else if (s >= 0 && prog[s] == opInputStart)
      anchored_ = true;
    for (s = scan; s >= 0 && prog[s] != opEnd; s = NextNode(prog, s)) {
      if (prog[s] == opLiteral && prog[s + kNodeSize] > must_.size())
        must_.assign(reinterpret_cast<const char*>(prog + s + kNodeSize + 1), prog[s + kNodeSize]);
    }
    // A must string that is the leading literal is found by that search anyway.
    if (firstLiteral_ >= 0 && must_.size() == prog[firstLiteral_ + kNodeSize]) must_.clear();
  }
  firstSet_.Clear();
  canBeEmpty_ = FirstChars(first, firstSet_, false, 0);
  firstSetCount_ = firstSet_.Count();
  firstA_ = firstB_ = 0;
  int k = 0;
  for (int c = 0; c < 256 && k < 2; ++c)
    if (firstSet_.Contains(c)) (k++ == 0 ? firstA_ : firstB_) = static_cast<unsigned char>(c);
  BuildMemoRows();

  // For every repeat, the characters its continuation can begin with: the
  // matcher then tries only counts that leave such a character next, and
  // takes the longest run at once when the operand cannot be one of them.
  followIndex_.assign(program_.size(), 0);
  followSets_.clear();
  for (int node = first; node < static_cast<int>(program_.size()); node += NodeSize(prog, node)) {
    if (!IsRepeat(prog[node])) continue;
    int cont = NextNode(prog, node);
    if (cont < 0) continue;
    TFollow f{};
    if (FirstChars(cont, f.set, true, 0)) continue;
    TSynCharSet operandSet;
    AddSimpleFirst(RepeatOperand(prog, node), operandSet);
    f.possessive = !operandSet.Intersects(f.set);
    f.single = f.set.Count() == 1 ? -2 : -1;
    if (f.single == -2)
      for (int c = 0; c < 256; ++c)
        if (f.set.Contains(c)) f.single = c;
    if (followSets_.size() >= 65535) break;
    followSets_.push_back(f);
    followIndex_[node] = static_cast<uint16_t>(followSets_.size());
  }
}

}  // namespace ludra
