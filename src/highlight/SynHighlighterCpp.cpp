#include "highlight/SynHighlighterCpp.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "base/SynCodePage.h"

namespace ludra {

namespace {

// --- Byte tables, built at compile time ---

constexpr bool IsIdentByte(unsigned c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Letter values of the keyword hash: A..Z 1..26, a..z 2..27, all else 0.
constexpr unsigned HashValue(unsigned c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= 'a' && c <= 'z') return c - 'a' + 2;
  return 0;
}

constexpr bool IsSpaceByte(unsigned c) { return c >= 1 && c <= 32 && c != 10 && c != 13; }

constexpr std::array<uint8_t, 256> MakeTable(bool (*pred)(unsigned)) {
  std::array<uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) t[c] = pred(c) ? 1 : 0;
  return t;
}

constexpr auto kIdent = MakeTable(IsIdentByte);
constexpr auto kSpace = MakeTable(IsSpaceByte);
constexpr auto kHash = [] {
  std::array<uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(HashValue(c));
  return t;
}();
// Identifier bytes carry 0x80 plus their letter value, everything else 0, so
// the identifier walk needs one lookup per byte.
constexpr auto kIdentHash = [] {
  std::array<uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c)
    t[c] = IsIdentByte(c) ? static_cast<uint8_t>(0x80 | HashValue(c)) : 0;
  return t;
}();
// The characters the number scanner looks at: + - . 0-9 A-F a-f L l U u X x.
constexpr auto kNumberChar = MakeTable([](unsigned c) {
  return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ||
         (c >= 'a' && c <= 'f') || c == 'L' || c == 'l' || c == 'U' || c == 'u' || c == 'X' ||
         c == 'x';
});

inline unsigned char At(const char* p, int i) { return static_cast<unsigned char>(p[i]); }
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// --- Reserved words: each bucket is a letter-value sum, its words in test order ---

constexpr int kHashBuckets = 207;

struct Bucket {
  int sum;
  std::array<std::string_view, 5> words;
};

constexpr Bucket kBuckets[] = {
    {17, {"if"}},
    {21, {"do"}},
    {32, {"cdecl", "case", "_cdecl", "__cdecl"}},
    {34, {"char"}},
    {36, {"asm", "_asm", "__asm"}},
    {40, {"catch"}},
    {42, {"for", "break"}},
    {45, {"else", "new"}},
    {46, {"__int8", "__int16", "int", "__int32", "__int64"}},
    {48, {"false", "bool"}},
    {52, {"long"}},
    {54, {"void"}},
    {57, {"enum", "delete"}},
    {58, {"_pascal", "__pascal", "pascal"}},
    {59, {"class", "float"}},
    {60, {"this"}},
    {61, {"goto", "auto"}},
    {62, {"__thread", "while", "friend"}},
    {64, {"signed"}},
    {65, {"double"}},
    {66, {"__try", "try"}},
    {67, {"__dispid"}},
    {68, {"true"}},
    {69, {"public", "inline"}},
    {71, {"__rtti"}},
    {74, {"__classid"}},
    {75, {"__declspec", "using"}},
    {76, {"const", "default"}},
    {78, {"_stdcall", "union", "__stdcall", "static"}},
    {79, {"__except", "wchar_t"}},
    {81, {"mutable"}},
    {82, {"_fastcall", "__fastcall"}},
    {85, {"short", "typeid"}},
    {86, {"sizeof", "__finally", "namespace"}},
    {88, {"switch", "typedef"}},
    {89, {"throw"}},
    {92, {"extern"}},
    {97, {"__import", "_import"}},
    {98, {"private"}},
    {100, {"template", "__closure"}},
    {101, {"unsigned"}},
    {102, {"return"}},
    {104, {"volatile", "_export", "__export"}},
    {105, {"__published"}},
    {106, {"explicit"}},
    {107, {"typename", "struct"}},
    {109, {"register", "continue", "__automated"}},
    {110, {"virtual"}},
    {115, {"protected"}},
    {116, {"operator"}},
    {123, {"dynamic_cast", "const_cast"}},
    {125, {"static_cast"}},
    {141, {"__property"}},
    {206, {"reinterpret_cast"}},
};

constexpr unsigned WordSum(std::string_view w) {
  unsigned sum = 0;
  for (char c : w) sum += kHash[static_cast<unsigned char>(c)];
  return sum;
}

// Every word must sit in the bucket of its own sum, and there are 94 of them.
constexpr bool BucketsAreConsistent() {
  int count = 0;
  for (const Bucket& b : kBuckets) {
    if (b.sum < 0 || b.sum >= kHashBuckets) return false;
    for (const std::string_view& w : b.words) {
      if (w.empty()) continue;
      if (WordSum(w) != static_cast<unsigned>(b.sum)) return false;
      for (char c : w)
        if (!IsIdentByte(static_cast<unsigned char>(c))) return false;
      ++count;
    }
  }
  return count == 94;
}
static_assert(BucketsAreConsistent());

// Bucket index per sum, -1 for sums that hold no word.
constexpr auto kBucketOf = [] {
  std::array<int8_t, kHashBuckets> t{};
  for (auto& v : t) v = -1;
  for (size_t i = 0; i < std::size(kBuckets); ++i) t[kBuckets[i].sum] = static_cast<int8_t>(i);
  return t;
}();

inline bool KeywordInBucket(unsigned sum, const char* s, size_t len) {
  if (sum >= kHashBuckets) return false;
  int b = kBucketOf[sum];
  if (b < 0) return false;
  for (std::string_view w : kBuckets[b].words) {
    if (w.empty()) break;
    if (w.size() == len && w[0] == s[0] && std::memcmp(w.data(), s, len) == 0) return true;
  }
  return false;
}

constexpr const char* kSampleSource =
    "// Syntax highlighting\n"
    "#include <stdio.h>\n"
    "#define MAX_PLAYERS 32 /* players */\n"
    "\n"
    "static const char* names[MAX_PLAYERS];\n"
    "\n"
    "int main(void)\n"
    "{\n"
    "  int count = 0x1F, mode = 017;\n"
    "  double ratio = 1.5e3f;\n"
    "  char quote = '\\'';\n"
    "  @ $ /* illegal characters */\n"
    "  printf(\"%d players\\n\", count);\n"
    "  return count >= MAX_PLAYERS ? 1 : 0;\n"
    "}\n";

// --- Dispatch on the first character: each byte's rule ---

enum TRule : uint8_t {
  ruInvalid,
  ruNull,
  ruLineBreak,
  ruSpace,
  ruIdent,
  ruNumber,
  ruString,
  ruChar,
  ruDirective,
  ruSlash,
  ruPoint,
  ruAt,
  ruNot,
  ruPercent,
  ruAnd,
  ruStar,
  ruPlus,
  ruMinus,
  ruColon,
  ruLower,
  ruEqual,
  ruGreater,
  ruXor,
  ruOr,
  ruSingle
};

constexpr auto kRule = [] {
  std::array<TRule, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    TRule r = ruInvalid;  // $ \ ` 127 and 128..255
    if (c == 0)
      r = ruNull;
    else if (c == 10 || c == 13)
      r = ruLineBreak;
    else if (IsSpaceByte(c))
      r = ruSpace;
    else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
      r = ruIdent;
    else if (c >= '0' && c <= '9')
      r = ruNumber;
    else {
      switch (c) {
        case '"':
          r = ruString;
          break;
        case '\'':
          r = ruChar;
          break;
        case '#':
          r = ruDirective;
          break;
        case '/':
          r = ruSlash;
          break;
        case '.':
          r = ruPoint;
          break;
        case '@':
          r = ruAt;
          break;
        case '!':
          r = ruNot;
          break;
        case '%':
          r = ruPercent;
          break;
        case '&':
          r = ruAnd;
          break;
        case '*':
          r = ruStar;
          break;
        case '+':
          r = ruPlus;
          break;
        case '-':
          r = ruMinus;
          break;
        case ':':
          r = ruColon;
          break;
        case '<':
          r = ruLower;
          break;
        case '=':
          r = ruEqual;
          break;
        case '>':
          r = ruGreater;
          break;
        case '^':
          r = ruXor;
          break;
        case '|':
          r = ruOr;
          break;
        case '(':
        case ')':
        case ',':
        case ';':
        case '?':
        case '[':
        case ']':
        case '{':
        case '}':
        case '~':
          r = ruSingle;
          break;
        default:
          break;
      }
    }
    t[c] = r;
  }
  return t;
}();

}  // namespace

// --- Construction ---

TSynHighlighterAttributes* TSynCppSyn::NewAttribute(const char* name) {
  auto attribute = std::make_unique<TSynHighlighterAttributes>(name);
  TSynHighlighterAttributes* raw = attribute.get();
  AddAttribute(std::move(attribute));
  return raw;
}

TSynCppSyn::TSynCppSyn() {
  asmAttri_ = NewAttribute("Assembler");
  commentAttri_ = NewAttribute("Comment");
  commentAttri_->SetStyle({fsItalic});
  identifierAttri_ = NewAttribute("Identifier");
  invalidAttri_ = NewAttribute("Illegal Char");
  keyAttri_ = NewAttribute("Reserved Word");
  keyAttri_->SetStyle({fsBold});
  numberAttri_ = NewAttribute("Number");
  charAttri_ = NewAttribute("Character");
  floatAttri_ = NewAttribute("Float");
  hexAttri_ = NewAttribute("Hexadecimal");
  octalAttri_ = NewAttribute("Octal");
  spaceAttri_ = NewAttribute("Space");
  spaceAttri_->SetForeground(clWindow);
  stringAttri_ = NewAttribute("String");
  symbolAttri_ = NewAttribute("Symbol");
  direcAttri_ = NewAttribute("Preprocessor");

  kindAttri_[tokAsm] = asmAttri_;
  kindAttri_[tokComment] = commentAttri_;
  kindAttri_[tokDirective] = direcAttri_;
  kindAttri_[tokIdentifier] = identifierAttri_;
  kindAttri_[tokKeyword] = keyAttri_;
  kindAttri_[tokEnd] = nullptr;
  kindAttri_[tokNumber] = numberAttri_;
  kindAttri_[tokSpace] = spaceAttri_;
  kindAttri_[tokString] = stringAttri_;
  kindAttri_[tokSymbol] = symbolAttri_;
  kindAttri_[tokInvalid] = invalidAttri_;
  kindAttri_[tokChar] = charAttri_;
  kindAttri_[tokFloat] = floatAttri_;
  kindAttri_[tokHex] = hexAttri_;
  kindAttri_[tokOctal] = octalAttri_;

  FinishConstruction();
  SetDefaultFilter("C/C++ Files (*.c;*.cpp;*.h;*.hpp)|*.c;*.cpp;*.h;*.hpp");
  StartLine({}, 0);
}

TSynHighlighterAttributes* TSynCppSyn::DefaultAttribute(int index) const {
  switch (index) {
    case 0:
      return commentAttri_;
    case 1:
      return identifierAttri_;
    case 2:
      return keyAttri_;
    case 3:
      return stringAttri_;
    case 4:
      return spaceAttri_;
    case 5:
      return symbolAttri_;
    default:
      return nullptr;
  }
}

// Follows the code page in use: in Windows-1252 the letters from 192 on
// (not 215 and 247), in Windows-1251 all of 192..255 and the other letters.
TSynCharSet TSynCppSyn::IdentifierChars() const { return CodePage().IdentChars(); }

std::string TSynCppSyn::SampleSource() const { return kSampleSource; }

std::string TSynCppSyn::LanguageName() const { return "C/C++"; }

std::string TSynCppSyn::TokenText() const { return std::string(TokenView()); }

bool TSynCppSyn::IsKeyword(std::string_view word) {
  unsigned sum = 0;
  for (char c : word) {
    if (!kIdent[static_cast<unsigned char>(c)]) return false;
    sum += kHash[static_cast<unsigned char>(c)];
  }
  return !word.empty() && KeywordInBucket(sum, word.data(), word.size());
}

// --- Scanning ---

void TSynCppSyn::StartLine(std::string_view text, int lineIndex) {
  // One NUL before the text (the number scanner may look one byte behind a
  // dot at the line start) and four after it (the terminator plus lookahead).
  buffer_.resize(text.size() + 5);
  buffer_[0] = '\0';
  if (!text.empty()) std::memcpy(buffer_.data() + 1, text.data(), text.size());
  std::memset(buffer_.data() + 1 + text.size(), 0, 4);
  line_ = buffer_.data() + 1;
  length_ = static_cast<int>(text.size());
  lineNumber_ = lineIndex;
  origin_ = 0;
  firstNonBlank_ = -1;
  run_ = 0;
  NextToken();
}

bool TSynCppSyn::GetScanPoint(int position, TSynScanPoint& point) {
  if (tokenId_ == tokEnd || position < origin_ + tokenPos_ || position >= origin_ + run_)
    return false;
  // The rest of the scan depends only on the text after the token, the
  // state after it, and where the line's first non-blank is (for a #).
  if (firstNonBlank_ < 0) {
    if (origin_ > 0) return false;  // cannot happen: a resumed scan knows it
    int keep = run_;
    run_ = 0;
    DirectiveMayStartHere();
    run_ = keep;
  }
  point.Position = position;
  point.TokenEnd = origin_ + run_;
  point.TokenKind = tokenId_;
  point.State = range_;
  point.Extra = firstNonBlank_;
  return true;
}

void TSynCppSyn::StartLineAt(std::string_view text, int lineIndex, const TSynScanPoint& point) {
  const int size = static_cast<int>(text.size());
  if (point.Position < 0 || point.Position >= point.TokenEnd || point.TokenEnd > size ||
      point.Extra < 0 || point.TokenKind < 0 || point.TokenKind > tokOctal ||
      point.TokenKind == tokEnd) {
    StartLine(text, lineIndex);
    return;
  }
  // The byte before the point is copied too: the number scanner may look
  // one byte behind a dot.
  origin_ = std::max(point.Position - 1, 0);
  std::string_view rest = text.substr(static_cast<size_t>(origin_));
  buffer_.resize(rest.size() + 5);
  buffer_[0] = '\0';
  std::memcpy(buffer_.data() + 1, rest.data(), rest.size());
  std::memset(buffer_.data() + 1 + rest.size(), 0, 4);
  line_ = buffer_.data() + 1;
  length_ = static_cast<int>(rest.size());
  lineNumber_ = lineIndex;
  firstNonBlank_ = point.Extra;
  // The point's token, cut at the point, is the current one.
  tokenPos_ = point.Position - origin_;
  run_ = point.TokenEnd - origin_;
  tokenId_ = static_cast<TCppTokenKind>(point.TokenKind);
  range_ = static_cast<uint8_t>(point.State);
}

void TSynCppSyn::NextToken() { Next(); }

void TSynCppSyn::ScanRestOfLine() {
  while (tokenId_ != tokEnd) Next();
}

inline void TSynCppSyn::Next() {
  tokenPos_ = run_;
  switch (range_) {
    case rsNone:
      break;
    case rsInComment:
    case rsInDirectiveComment:
      CommentBodyProc();
      return;
    case rsStringContinues:
      StringContinuationProc();
      return;
    case rsDirectiveContinues:
      DirectiveContinuationProc();
      return;
    default:
      range_ = rsNone;
      break;
  }
  switch (kRule[At(line_, run_)]) {
    case ruInvalid:
      InvalidProc();
      break;
    case ruNull:
      NullProc();
      break;
    case ruLineBreak:
      LineBreakProc();
      break;
    case ruSpace:
      SpaceProc();
      break;
    case ruIdent:
      IdentProc();
      break;
    case ruNumber:
      NumberProc(run_);
      break;
    case ruString:
      StringProc();
      break;
    case ruChar:
      AsciiCharProc();
      break;
    case ruDirective:
      DirectiveProc();
      break;
    case ruSlash:
      SlashProc();
      break;
    case ruPoint:
      PointProc();
      break;
    case ruAt:
      AtProc();
      break;
    case ruNot:
      NotSymbolProc();
      break;
    case ruPercent:
      PercentProc();
      break;
    case ruAnd:
      AndSymbolProc();
      break;
    case ruStar:
      StarProc();
      break;
    case ruPlus:
      PlusProc();
      break;
    case ruMinus:
      MinusProc();
      break;
    case ruColon:
      ColonProc();
      break;
    case ruLower:
      LowerProc();
      break;
    case ruEqual:
      EqualProc();
      break;
    case ruGreater:
      GreaterProc();
      break;
    case ruXor:
      XOrSymbolProc();
      break;
    case ruOr:
      OrSymbolProc();
      break;
    case ruSingle:
      SingleSymbolProc();
      break;
  }
}

void TSynCppSyn::NullProc() {
  if (run_ >= length_) {
    tokenId_ = tokEnd;
    return;
  }
  // A NUL byte inside the line is text like any other, so that the tokens
  // still cover the whole line.
  ++run_;
  tokenId_ = tokInvalid;
}

void TSynCppSyn::LineBreakProc() {
  ++run_;
  tokenId_ = tokSpace;
}

void TSynCppSyn::SpaceProc() {
  ++run_;
  while (kSpace[At(line_, run_)]) ++run_;
  tokenId_ = tokSpace;
}

void TSynCppSyn::IdentProc() {
  const unsigned char* start = reinterpret_cast<const unsigned char*>(line_ + run_);
  const unsigned char* p = start;
  unsigned sum = 0;
  for (unsigned v; (v = kIdentHash[*p]) != 0; ++p) sum += v & 0x7F;
  size_t len = static_cast<size_t>(p - start);
  run_ += static_cast<int>(len);
  tokenId_ =
      KeywordInBucket(sum, reinterpret_cast<const char*>(start), len) ? tokKeyword : tokIdentifier;
}

void TSynCppSyn::NumberProc(int s) {
  // s is the first digit, or the byte before the dot of a number like ".5";
  // the character at s counts as taken.
  tokenId_ = tokNumber;
  run_ = s + 1;
  // Whether c1 or c2 occurs at any position from s up to the previous character.
  auto seen = [&](char c1, char c2) {
    for (int i = s; i < run_; ++i)
      if (line_[i] == c1 || line_[i] == c2) return true;
    return false;
  };
  for (;;) {
    unsigned char c = At(line_, run_);
    if (!kNumberChar[c]) break;
    unsigned char prev = At(line_, run_ - 1);
    unsigned char next = At(line_, run_ + 1);
    switch (c) {
      case '.':
        if (next == '.') goto finalCheck;
        if (tokenId_ == tokHex) {
          tokenId_ = tokInvalid;
          return;
        }
        tokenId_ = tokFloat;
        break;
      case '+':
      case '-':
        // Only an exponent sign belongs to the number.
        if (tokenId_ == tokFloat && (prev == 'E' || prev == 'e')) {
          if (next == '+' || next == '-' || IsDigit(next)) break;
          ++run_;
          tokenId_ = tokInvalid;
        }
        return;
      case '0':
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7':
        if (run_ == s + 1 && line_[s] == '0') tokenId_ = tokOctal;
        break;
      case '8':
      case '9':
        if (line_[s] == '0' && tokenId_ != tokHex && tokenId_ != tokFloat) tokenId_ = tokInvalid;
        break;
      case 'A':
      case 'B':
      case 'C':
      case 'D':
      case 'a':
      case 'b':
      case 'c':
      case 'd':
        if (tokenId_ != tokHex) goto finalCheck;
        break;
      case 'E':
      case 'e':
        if (tokenId_ == tokHex) break;
        if (!IsDigit(prev)) goto finalCheck;
        if (seen('E', 'e')) {
          tokenId_ = tokInvalid;
          return;
        }
        if (next == '+' || next == '-' || IsDigit(next)) {
          tokenId_ = tokFloat;
          break;
        }
        goto finalCheck;
      case 'F':
      case 'f':
        if (tokenId_ == tokHex) break;
        if (seen('F', 'f')) {
          tokenId_ = tokInvalid;
          return;
        }
        if (tokenId_ == tokFloat) {
          if (prev == 'L' || prev == 'l') goto finalCheck;
        } else {
          tokenId_ = tokFloat;
        }
        break;
      case 'L':
      case 'l':
        if (seen('L', 'l')) {
          tokenId_ = tokInvalid;
          return;
        }
        if (tokenId_ == tokFloat && (prev == 'F' || prev == 'f')) goto finalCheck;
        break;
      case 'U':
      case 'u':
        if (tokenId_ == tokFloat) goto finalCheck;
        if (seen('U', 'u')) {
          tokenId_ = tokInvalid;
          return;
        }
        break;
      case 'X':
      case 'x':
        if (run_ == s + 1 && line_[s] == '0' && IsHexDigit(next)) {
          tokenId_ = tokHex;
          break;
        }
        if (kIdent[next]) goto finalCheck;
        if (line_[s + 1] == 'X' || line_[s + 1] == 'x') {
          ++run_;
          tokenId_ = tokInvalid;
        }
        goto finalCheck;
    }
    ++run_;  // take the character
  }
finalCheck:
  // A number running straight into a word is not a number.
  if (IsLetter(At(line_, run_)) || line_[run_] == '_') tokenId_ = tokInvalid;
}

void TSynCppSyn::PointProc() {
  if (line_[run_ + 1] == '.' && line_[run_ + 2] == '.') {
    run_ += 3;
    tokenId_ = tokSymbol;
  } else if (IsDigit(At(line_, run_ + 1))) {
    NumberProc(run_ - 1);
  } else {
    ++run_;
    tokenId_ = tokSymbol;
  }
}

void TSynCppSyn::StringBody() {
  while (run_ < length_) {
    char c = line_[run_];
    if (c == '"') {
      ++run_;
      return;
    }
    if (c == '\\') {
      if (run_ + 1 == length_) {
        ++run_;
        range_ = rsStringContinues;
        return;
      }
      if (line_[run_ + 1] == '"' || line_[run_ + 1] == '\\') ++run_;
    }
    ++run_;
  }
}

void TSynCppSyn::StringProc() {
  tokenId_ = tokString;
  ++run_;
  StringBody();
}

void TSynCppSyn::StringContinuationProc() {
  if (run_ >= length_) {
    tokenId_ = tokEnd;
    return;
  }
  range_ = rsNone;
  tokenId_ = tokString;
  StringBody();
}

void TSynCppSyn::AsciiCharProc() {
  tokenId_ = tokChar;
  ++run_;
  while (run_ < length_) {
    char c = line_[run_];
    if (c == '\'') {
      ++run_;
      return;
    }
    if (c == '\\' && (line_[run_ + 1] == '\'' || line_[run_ + 1] == '\\')) ++run_;
    ++run_;
  }
}

bool TSynCppSyn::DirectiveMayStartHere() {
  // Only blanks (codes 1..32) may stand before the # of a directive. Found
  // once per line, so that a line full of # stays linear.
  if (firstNonBlank_ < 0) {
    int i = 0;
    while (i < length_ && At(line_, i) >= 1 && At(line_, i) <= 32) ++i;
    firstNonBlank_ = i;
  }
  return firstNonBlank_ == origin_ + run_;
}

void TSynCppSyn::DirectiveBody() {
  // Runs to the end of the line, to a comment (left for the next token), or
  // through a final backslash that continues the directive on the next line.
  while (run_ < length_) {
    char c = line_[run_];
    if (c == '/') {
      if (line_[run_ + 1] == '/') {
        range_ = rsNone;
        return;
      }
      if (line_[run_ + 1] == '*') {
        range_ = rsInDirectiveComment;
        return;
      }
    } else if (c == '\\' && run_ + 1 == length_) {
      ++run_;
      range_ = rsDirectiveContinues;
      return;
    }
    ++run_;
  }
}

void TSynCppSyn::DirectiveProc() {
  if (!DirectiveMayStartHere()) {
    ++run_;
    tokenId_ = tokInvalid;
    return;
  }
  tokenId_ = tokDirective;
  DirectiveBody();
}

void TSynCppSyn::DirectiveContinuationProc() {
  if (run_ >= length_) {
    tokenId_ = tokEnd;
    return;
  }
  range_ = rsNone;
  tokenId_ = tokDirective;
  DirectiveBody();
}

void TSynCppSyn::CommentBodyProc() {
  if (run_ >= length_) {
    tokenId_ = tokEnd;
    return;
  }
  tokenId_ = tokComment;
  const char* from = line_ + run_;
  const char* end = line_ + length_;
  while (from < end) {
    const char* star =
        static_cast<const char*>(std::memchr(from, '*', static_cast<size_t>(end - from)));
    if (!star) break;
    if (star[1] == '/') {
      run_ = static_cast<int>(star - line_) + 2;
      if (range_ == rsInDirectiveComment)
        range_ = run_ < length_ ? rsDirectiveContinues : rsNone;
      else
        range_ = rsNone;
      return;
    }
    from = star + 1;
  }
  run_ = length_;
}

void TSynCppSyn::SlashProc() {
  char next = line_[run_ + 1];
  if (next == '*') {
    range_ = rsInComment;
    run_ += 2;
    CommentBodyProc();
    tokenId_ = tokComment;  // even when "/*" ends the line
  } else if (next == '/') {
    run_ = length_;
    tokenId_ = tokComment;
  } else {
    run_ += next == '=' ? 2 : 1;
    tokenId_ = tokSymbol;
  }
}

void TSynCppSyn::AtProc() {
  ++run_;
  tokenId_ = tokInvalid;
}

void TSynCppSyn::InvalidProc() {
  // The document code page has single-byte characters only.
  ++run_;
  tokenId_ = tokInvalid;
}

void TSynCppSyn::OneOrTwo(char second) {
  run_ += line_[run_ + 1] == second ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::NotSymbolProc() { OneOrTwo('='); }
void TSynCppSyn::PercentProc() { OneOrTwo('='); }
void TSynCppSyn::StarProc() { OneOrTwo('='); }
void TSynCppSyn::EqualProc() { OneOrTwo('='); }
void TSynCppSyn::XOrSymbolProc() { OneOrTwo('='); }
void TSynCppSyn::ColonProc() { OneOrTwo(':'); }

void TSynCppSyn::AndSymbolProc() {
  char next = line_[run_ + 1];
  run_ += next == '&' || next == '=' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::OrSymbolProc() {
  char next = line_[run_ + 1];
  run_ += next == '|' || next == '=' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::PlusProc() {
  char next = line_[run_ + 1];
  run_ += next == '+' || next == '=' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::MinusProc() {
  char next = line_[run_ + 1];
  run_ += next == '-' || next == '=' || next == '>' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::LowerProc() {
  if (line_[run_ + 1] == '<')
    run_ += line_[run_ + 2] == '=' ? 3 : 2;
  else
    run_ += line_[run_ + 1] == '=' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::GreaterProc() {
  if (line_[run_ + 1] == '>')
    run_ += line_[run_ + 2] == '=' ? 3 : 2;
  else
    run_ += line_[run_ + 1] == '=' ? 2 : 1;
  tokenId_ = tokSymbol;
}

void TSynCppSyn::SingleSymbolProc() {
  ++run_;
  tokenId_ = tokSymbol;
}

}  // namespace ludra
