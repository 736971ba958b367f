#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "highlight/HighlightTestUtil.h"
#include "highlight/SynHighlighterCpp.h"

using namespace ludra;
using ludra::test::Pieces;
using ludra::test::ScanLine;
using Tokens = std::vector<std::string>;

namespace {

struct LineCase {
  TSynRange stateIn;
  std::string line;
  Tokens want;
  TSynRange stateOut;
};

void RunCases(const std::vector<LineCase>& cases) {
  TSynCppSyn hl;
  for (const auto& c : cases) {
    hl.SetRangeState(c.stateIn);
    auto scan = ScanLine(hl, c.line, 0);
    EXPECT_EQ(Pieces(scan), c.want) << "line: " << c.line << " (state " << c.stateIn << ")";
    EXPECT_EQ(scan.endState, c.stateOut) << "line: " << c.line << " (state " << c.stateIn << ")";
  }
}

// The reserved words, as the language lists them.
const std::vector<std::string> kReservedWords = {
    "__asm",       "__automated",  "__cdecl",    "__classid",   "__closure",
    "__declspec",  "__dispid",     "__except",   "__export",    "__fastcall",
    "__finally",   "__import",     "__int16",    "__int32",     "__int64",
    "__int8",      "__pascal",     "__property", "__published", "__rtti",
    "__stdcall",   "__thread",     "__try",      "_asm",        "_cdecl",
    "_export",     "_fastcall",    "_import",    "_pascal",     "_stdcall",
    "asm",         "auto",         "bool",       "break",       "case",
    "catch",       "cdecl",        "char",       "class",       "const",
    "const_cast",  "continue",     "default",    "delete",      "do",
    "double",      "dynamic_cast", "else",       "enum",        "explicit",
    "extern",      "false",        "float",      "for",         "friend",
    "goto",        "if",           "inline",     "int",         "long",
    "mutable",     "namespace",    "new",        "operator",    "pascal",
    "private",     "protected",    "public",     "register",    "reinterpret_cast",
    "return",      "short",        "signed",     "sizeof",      "static",
    "static_cast", "struct",       "switch",     "template",    "this",
    "throw",       "true",         "try",        "typedef",     "typeid",
    "typename",    "union",        "unsigned",   "using",       "virtual",
    "void",        "volatile",     "wchar_t",    "while"};

bool IsReserved(const std::string& w) {
  return std::find(kReservedWords.begin(), kReservedWords.end(), w) != kReservedWords.end();
}

}  // namespace

TEST(CppHighlighter, NumbersGetTheirKindFromTheirSpelling) {
  RunCases({
      {0, "0x1F", {"Hex:0x1F"}, 0},
      {0, "0XaBcDeF", {"Hex:0XaBcDeF"}, 0},
      {0, "0xFFu", {"Hex:0xFFu"}, 0},
      {0, "017", {"Octal:017"}, 0},
      {0, "00", {"Octal:00"}, 0},
      {0, "08", {"Invalid:08"}, 0},
      {0, "018", {"Invalid:018"}, 0},
      {0, "0", {"Number:0"}, 0},
      {0, "1234567890", {"Number:1234567890"}, 0},
      {0, "12UL", {"Number:12UL"}, 0},
      {0, "12ULL", {"Invalid:12UL", "Identifier:L"}, 0},
      {0, "12uu", {"Invalid:12u", "Identifier:u"}, 0},
      {0, "1.5", {"Float:1.5"}, 0},
      {0, ".5", {"Float:.5"}, 0},
      {0, "1e5", {"Float:1e5"}, 0},
      {0, "1.5f", {"Float:1.5f"}, 0},
      {0, "1.5e+3", {"Float:1.5e+3"}, 0},
      {0, "2E-7", {"Float:2E-7"}, 0},
      {0, "1.5L", {"Float:1.5L"}, 0},
      {0, "1.", {"Float:1."}, 0},
      {0, "1e5e5", {"Invalid:1e5", "Identifier:e5"}, 0},
      {0, "12abc", {"Invalid:12", "Identifier:abc"}, 0},
      {0, "1e", {"Invalid:1", "Identifier:e"}, 0},
      {0, "1e+", {"Invalid:1e+"}, 0},
      {0, "1_000", {"Invalid:1", "Identifier:_000"}, 0},
      {0, "1..2", {"Number:1", "Symbol:.", "Float:.2"}, 0},
      {0, "0x;", {"Invalid:0x", "Symbol:;"}, 0},
      {0, "0x", {"Invalid:0x"}, 0},
      {0, "0xg", {"Invalid:0", "Identifier:xg"}, 0},
      {0, "0x1.5", {"Invalid:0x1", "Float:.5"}, 0},
      {0, "5-3", {"Number:5", "Symbol:-", "Number:3"}, 0},
      {0, "5+.5", {"Number:5", "Symbol:+", "Float:.5"}, 0},
      {0, "x.5", {"Identifier:x", "Float:.5"}, 0},
      {0, "1.5fL", {"Invalid:1.5f", "Identifier:L"}, 0},
      {0, "a[3]", {"Identifier:a", "Symbol:[", "Number:3", "Symbol:]"}, 0},
  });
}

TEST(CppHighlighter, DirectivesRunToTheLineEndACommentOrAContinuation) {
  RunCases({
      {0, "#include <a_samp>", {"Directive:#include <a_samp>"}, 0},
      {0, "#", {"Directive:#"}, 0},
      {0, "  \t#define X 1", {"Space:  \t", "Directive:#define X 1"}, 0},
      {0, "x # 1", {"Identifier:x", "Space: ", "Invalid:#", "Space: ", "Number:1"}, 0},
      {0, "#a #b", {"Directive:#a #b"}, 0},
      {0, "#define A // note", {"Directive:#define A ", "Comment:// note"}, 0},
      {0, "#define A /* note", {"Directive:#define A ", "Comment:/* note"}, rsInDirectiveComment},
      {0,
       "#define A 1 /* c */ + 2",
       {"Directive:#define A 1 ", "Comment:/* c */", "Directive: + 2"},
       0},
      {0, "#define A 1 /* c */", {"Directive:#define A 1 ", "Comment:/* c */"}, 0},
      {0, "#define A \\", {"Directive:#define A \\"}, rsDirectiveContinues},
      {0, "#define A \\ ", {"Directive:#define A \\ "}, 0},
      {0, "#define A \\x", {"Directive:#define A \\x"}, 0},
      {rsDirectiveContinues, "  B", {"Directive:  B"}, 0},
      {rsDirectiveContinues, "  B \\", {"Directive:  B \\"}, rsDirectiveContinues},
      {rsDirectiveContinues, "", {}, rsDirectiveContinues},
      {rsDirectiveContinues, "// c", {"Directive:", "Comment:// c"}, 0},
      {rsDirectiveContinues, "/* c", {"Directive:", "Comment:/* c"}, rsInDirectiveComment},
      {rsInDirectiveComment, " c */ more", {"Comment: c */", "Directive: more"}, 0},
      {rsInDirectiveComment, "end */", {"Comment:end */"}, 0},
      {rsInDirectiveComment, "", {}, rsInDirectiveComment},
      {rsInDirectiveComment, "still", {"Comment:still"}, rsInDirectiveComment},
  });
}

TEST(CppHighlighter, CommentsSpanLinesUntilClosed) {
  RunCases({
      {0, "/*", {"Comment:/*"}, rsInComment},
      {0, "/*/", {"Comment:/*/"}, rsInComment},
      {0, "/**/x", {"Comment:/**/", "Identifier:x"}, 0},
      {0,
       "a /* b */ c",
       {"Identifier:a", "Space: ", "Comment:/* b */", "Space: ", "Identifier:c"},
       0},
      {rsInComment, "", {}, rsInComment},
      {rsInComment, "text * / still", {"Comment:text * / still"}, rsInComment},
      {rsInComment, "a */ b", {"Comment:a */", "Space: ", "Identifier:b"}, 0},
      {rsInComment, "*/", {"Comment:*/"}, 0},
      {rsInComment, "*/ /*", {"Comment:*/", "Space: ", "Comment:/*"}, rsInComment},
      {0, "// line \\", {"Comment:// line \\"}, 0},
      {0, "x // /* not a block", {"Identifier:x", "Space: ", "Comment:// /* not a block"}, 0},
      {0, "a/b", {"Identifier:a", "Symbol:/", "Identifier:b"}, 0},
      {0, "a/=b", {"Identifier:a", "Symbol:/=", "Identifier:b"}, 0},
  });
}

TEST(CppHighlighter, StringsAndCharacterLiteralsHandleEscapesAndContinuation) {
  RunCases({
      {0, "\"a\\\"b\"", {"String:\"a\\\"b\""}, 0},
      {0, "\"\"", {"String:\"\""}, 0},
      {0, "\"a\\\\\" b", {"String:\"a\\\\\"", "Space: ", "Identifier:b"}, 0},
      {0, "\"abc", {"String:\"abc"}, 0},
      {0, "\"abc\\", {"String:\"abc\\"}, rsStringContinues},
      {0, "\"abc\\\\", {"String:\"abc\\\\"}, 0},
      {0, "\"", {"String:\""}, 0},
      {rsStringContinues, "def\" x", {"String:def\"", "Space: ", "Identifier:x"}, 0},
      {rsStringContinues, "\"", {"String:\""}, 0},
      {rsStringContinues, "more\\", {"String:more\\"}, rsStringContinues},
      {rsStringContinues, "no end", {"String:no end"}, 0},
      {rsStringContinues, "", {}, rsStringContinues},
      {0, "'\\''", {"Char:'\\''"}, 0},
      {0, "'a'", {"Char:'a'"}, 0},
      {0, "'\\\\'x", {"Char:'\\\\'", "Identifier:x"}, 0},
      {0, "'ab", {"Char:'ab"}, 0},
      {0, "'\\", {"Char:'\\"}, 0},
  });
}

TEST(CppHighlighter, OperatorsTakeTheLongestListedForm) {
  for (std::string op : {"!", "!=", "%",  "%=",  "&", "&&", "&=", "*",  "*=",  "+",   "++", "+=",
                         "-", "--", "-=", "->",  ":", "::", "<",  "<<", "<=",  "<<=", "=",  "==",
                         ">", ">>", ">=", ">>=", "^", "^=", "|",  "||", "|=",  "(",   ")",  ",",
                         ";", "?",  "[",  "]",   "{", "}",  "~",  ".",  "...", "/",   "/="}) {
    RunCases({{0, op, {"Symbol:" + op}, 0}});
  }
  RunCases({
      {0, "<<<", {"Symbol:<<", "Symbol:<"}, 0},
      {0, "===", {"Symbol:==", "Symbol:="}, 0},
      {0, "->>", {"Symbol:->", "Symbol:>"}, 0},
      {0, "&&&", {"Symbol:&&", "Symbol:&"}, 0},
      {0, "!==", {"Symbol:!=", "Symbol:="}, 0},
      {0, ":::", {"Symbol:::", "Symbol::"}, 0},
      {0, "..", {"Symbol:.", "Symbol:."}, 0},
      {0, "....", {"Symbol:...", "Symbol:."}, 0},
  });
}

TEST(CppHighlighter, BlanksAndInvalidBytes) {
  RunCases({
      {0, " \t\x01\x1f", {"Space: \t\x01\x1f"}, 0},
      {0, "\r\r", {"Space:\r", "Space:\r"}, 0},
      {0, " \n ", {"Space: ", "Space:\n", "Space: "}, 0},
      {0, "@", {"Invalid:@"}, 0},
      {0, "$x", {"Invalid:$", "Identifier:x"}, 0},
      {0, "`", {"Invalid:`"}, 0},
      {0, "\\", {"Invalid:\\"}, 0},
      {0, "\x7f", {"Invalid:\x7f"}, 0},
      {0, "\xe9\xe9", {"Invalid:\xe9", "Invalid:\xe9"}, 0},
      {0, "a\xe9", {"Identifier:a", "Invalid:\xe9"}, 0},
      {0,
       std::string("a\0b", 3),
       {"Identifier:a", std::string("Invalid:\0", 9), "Identifier:b"},
       0},
      {0, std::string("\"a\0b\"", 5), {std::string("String:\"a\0b\"", 12)}, 0},
      {0, std::string("// a\0b", 6), {std::string("Comment:// a\0b", 14)}, 0},
      {0, "", {}, 0},
  });
}

TEST(CppHighlighter, StatesNeverProducedAreTreatedAsNoOpenConstruct) {
  TSynCppSyn hl;
  for (TSynRange state : {2, 3, 6, 8, 9, 12, 255, -1, 0x100, 1000}) {
    hl.SetRangeState(state);
    auto scan = ScanLine(hl, "a", 0);
    EXPECT_EQ(Pieces(scan), Tokens{"Identifier:a"}) << state;
    EXPECT_EQ(scan.endState, 0) << state;
  }
  hl.SetRangeState(0x107);  // only the low byte is the state
  EXPECT_EQ(hl.GetRangeState(), rsInDirectiveComment);
  hl.ResetRangeState();
  EXPECT_EQ(hl.GetRangeState(), rsNone);
}

TEST(CppHighlighter, AllReservedWordsAreKeywordsAndNearMissesAreNot) {
  ASSERT_EQ(kReservedWords.size(), 94u);
  TSynCppSyn hl;
  for (const auto& w : kReservedWords) {
    EXPECT_TRUE(TSynCppSyn::IsKeyword(w)) << w;
    hl.ResetRangeState();
    EXPECT_EQ(Pieces(ScanLine(hl, w + ";", 0)), (Tokens{"Keyword:" + w, "Symbol:;"})) << w;
  }
  // Same letter sums with other spellings, other case, extra identifier
  // characters (digits and _ add nothing to the sum), and the PAWN words.
  std::vector<std::string> misses = {"Int",
                                     "INT",
                                     "native",
                                     "stock",
                                     "forward",
                                     "fi",
                                     "od",
                                     "tni",
                                     "esle",
                                     "If",
                                     "_if",
                                     "__int",
                                     "__int128",
                                     "int8",
                                     "_new",
                                     "reinterpret_cas",
                                     "reinterpret_casts",
                                     "wchar",
                                     "whilee",
                                     "",
                                     "_",
                                     "__",
                                     "a",
                                     "Sizeof",
                                     "SIZEOF"};
  for (const auto& w : kReservedWords) {
    misses.push_back(w + "_");
    misses.push_back(w + "0");
    misses.push_back("_" + w.substr(1));
    std::string rev(w.rbegin(), w.rend());
    misses.push_back(rev);
    std::string upper = w;
    upper[upper.find_first_not_of('_')] ^= 0x20;
    misses.push_back(upper);
  }
  for (const auto& w : misses) {
    if (IsReserved(w)) continue;  // e.g. "_asm" from "__asm"
    EXPECT_FALSE(TSynCppSyn::IsKeyword(w)) << w;
    if (w.empty() || !(std::isalpha(static_cast<unsigned char>(w[0])) || w[0] == '_')) continue;
    hl.ResetRangeState();
    EXPECT_EQ(Pieces(ScanLine(hl, w, 0)), Tokens{"Identifier:" + w}) << w;
  }
}

TEST(CppHighlighter, AttributesHaveTheirNamesOrderAndDefaults) {
  TSynCppSyn hl;
  ASSERT_EQ(hl.AttributeCount(), 14);
  std::vector<std::string> names;
  for (int i = 0; i < hl.AttributeCount(); ++i) names.push_back(hl.AttributeAt(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Assembler", "Character", "Comment", "Float",
                                             "Hexadecimal", "Identifier", "Illegal Char", "Number",
                                             "Octal", "Preprocessor", "Reserved Word", "Space",
                                             "String", "Symbol"}));
  for (int i = 0; i < hl.AttributeCount(); ++i) {
    TSynHighlighterAttributes* a = hl.AttributeAt(i);
    EXPECT_EQ(a->Background(), clNone) << a->Name();
    EXPECT_FALSE(a->IsForegroundStored() || a->IsBackgroundStored() || a->IsStyleStored())
        << a->Name();
    bool special = a == hl.CommentAttri() || a == hl.KeyAttri() || a == hl.SpaceAttri();
    if (!special) {
      EXPECT_EQ(a->Foreground(), clNone) << a->Name();
      EXPECT_TRUE(a->Style().Empty()) << a->Name();
    }
  }
  EXPECT_EQ(hl.CommentAttri()->Style(), TFontStyles{fsItalic});
  EXPECT_EQ(hl.KeyAttri()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(hl.SpaceAttri()->Foreground(), clWindow);
  EXPECT_EQ(hl.CommentAttri()->Name(), "Comment");
  EXPECT_EQ(hl.InvalidAttri()->Name(), "Illegal Char");
  EXPECT_EQ(hl.KeyAttri()->Name(), "Reserved Word");
  EXPECT_EQ(hl.DirecAttri()->Name(), "Preprocessor");

  TSynHighlighterAttributes* defaults[] = {hl.CommentAttri(), hl.IdentifierAttri(),
                                           hl.KeyAttri(),     hl.StringAttri(),
                                           hl.SpaceAttri(),   hl.SymbolAttri()};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(hl.DefaultAttribute(i), defaults[i]) << i;
  EXPECT_EQ(hl.DefaultAttribute(6), nullptr);
  EXPECT_EQ(hl.DefaultAttribute(-1), nullptr);
}

TEST(CppHighlighter, EachTokenKindReportsItsAttribute) {
  TSynCppSyn hl;
  struct {
    std::string text;
    int kind;
    TSynHighlighterAttributes* attr;
  } cases[] = {
      {"// c", tokComment, hl.CommentAttri()},
      {"#x", tokDirective, hl.DirecAttri()},
      {"abc", tokIdentifier, hl.IdentifierAttri()},
      {"int", tokKeyword, hl.KeyAttri()},
      {"12", tokNumber, hl.NumberAttri()},
      {" ", tokSpace, hl.SpaceAttri()},
      {"\"s\"", tokString, hl.StringAttri()},
      {";", tokSymbol, hl.SymbolAttri()},
      {"@", tokInvalid, hl.InvalidAttri()},
      {"'c'", tokChar, hl.CharAttri()},
      {"1.5", tokFloat, hl.FloatAttri()},
      {"0x1", tokHex, hl.HexAttri()},
      {"01", tokOctal, hl.OctalAttri()},
  };
  for (const auto& c : cases) {
    hl.ResetRangeState();
    hl.StartLine(c.text, 0);
    EXPECT_EQ(hl.TokenKind(), c.kind) << c.text;
    EXPECT_EQ(hl.TokenAttribute(), c.attr) << c.text;
    EXPECT_EQ(hl.TokenText(), c.text);
    EXPECT_EQ(hl.TokenLength(), static_cast<int>(c.text.size()));
  }
}

TEST(CppHighlighter, LanguageConstants) {
  TSynCppSyn hl;
  EXPECT_EQ(hl.LanguageName(), "C/C++");
  EXPECT_EQ(hl.DefaultFilter(), "C/C++ Files (*.c;*.cpp;*.h;*.hpp)|*.c;*.cpp;*.h;*.hpp");
  TSynCharSet ident = hl.IdentifierChars();
  for (unsigned c = 0; c < 256; ++c) {
    bool want = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                c == '_' || (c >= 192 && c <= 214) || (c >= 216 && c <= 246) || c >= 248 ||
                c == 170 || c == 181 || c == 186;  // the Western page's other letters
    EXPECT_EQ(ident.Contains(c), want) << c;
  }
  // A fresh highlighter has no line: it reports the line end.
  EXPECT_TRUE(hl.AtLineEnd());
  EXPECT_EQ(hl.GetRangeState(), rsNone);
}

TEST(CppHighlighter, TheLineIsCopiedSoTheCallerNeedNotKeepIt) {
  TSynCppSyn hl;
  hl.ResetRangeState();
  {
    std::string temporary = "alpha beta";
    hl.StartLine(temporary, 3);
    temporary.assign(temporary.size(), '#');
  }
  EXPECT_EQ(hl.TokenText(), "alpha");
  EXPECT_EQ(hl.LineIndex(), 3);
  hl.NextToken();
  hl.NextToken();
  EXPECT_EQ(hl.TokenText(), "beta");
}
