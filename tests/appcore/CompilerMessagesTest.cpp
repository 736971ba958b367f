#include <gtest/gtest.h>

#include <random>

#include "appcore/CompilerMessages.h"

using namespace ludra;

namespace {

struct Expected {
  const char* file;
  int line, lastLine;
  TCompilerMessageKind kind;
  int number;
  const char* text;
};

}  // namespace

TEST(CompilerMessageParse, ReadsEveryShapeTheCompilerWrites) {
  struct Case {
    const char* line;
    Expected want;
  } cases[] = {
      {"/home/u/gm/sieve.pwn(6) : error 001: expected token: \";\", but found \"new\"",
       {"/home/u/gm/sieve.pwn", 6, 6, cmError, 1, "expected token: \";\", but found \"new\""}},
      {"/home/u/gm/sieve.pwn(11 -- 13) : warning 215: expression has no effect",
       {"/home/u/gm/sieve.pwn", 11, 13, cmWarning, 215, "expression has no effect"}},
      {"/home/u/pawn/include/console.inc(26) : warning 219: local variable \"x\" shadows a "
       "variable at a preceding level",
       {"/home/u/pawn/include/console.inc", 26, 26, cmWarning, 219,
        "local variable \"x\" shadows a variable at a preceding level"}},
      {"sieve.pwn(3) : fatal error 100: cannot read from file: \"missing\"",
       {"sieve.pwn", 3, 3, cmFatalError, 100, "cannot read from file: \"missing\""}},
      // Blanks and parentheses in the path; the place is the first one that fits.
      {"/home/u/my scripts/copy (2)/a b.pwn(7) : error 010: invalid function",
       {"/home/u/my scripts/copy (2)/a b.pwn", 7, 7, cmError, 10, "invalid function"}},
      {"/x/(1)/s.pwn(4) : error 017: undefined symbol \"f\"",
       {"/x/(1)/s.pwn", 4, 4, cmError, 17, "undefined symbol \"f\""}},
      // The message may quote something that looks like a place.
      {"s.pwn(9) : error 001: expected token, but found \"t.pwn(2) : error 003: x\"",
       {"s.pwn", 9, 9, cmError, 1, "expected token, but found \"t.pwn(2) : error 003: x\""}},
      // Windows-style paths are kept as written.
      {"C:\\gm\\my scripts\\sieve.pwn(12) : warning 203: symbol is never used: \"i\"",
       {"C:\\gm\\my scripts\\sieve.pwn", 12, 12, cmWarning, 203, "symbol is never used: \"i\""}},
      {"..\\include\\a.inc(1 -- 2) : error 021: symbol already defined: \"b\"",
       {"..\\include\\a.inc", 1, 2, cmError, 21, "symbol already defined: \"b\""}},
      // A CR at the end belongs to the line end.
      {"sieve.pwn(5) : error 029: invalid expression\r",
       {"sieve.pwn", 5, 5, cmError, 29, "invalid expression"}},
      {"sieve.pwn(5) : error 029:\r", {"sieve.pwn", 5, 5, cmError, 29, ""}},
      {"s.pwn(5) : error 029:  two blanks", {"s.pwn", 5, 5, cmError, 29, " two blanks"}},
      {"s.pwn(0) : fatal error 107: too many error messages on one line",
       {"s.pwn", 0, 0, cmFatalError, 107, "too many error messages on one line"}},
      {"s.pwn(8 -- 8) : warning 204: x", {"s.pwn", 8, 8, cmWarning, 204, "x"}},
      {"s.pwn(123456789) : error 1: big", {"s.pwn", 123456789, 123456789, cmError, 1, "big"}},
      {"\xE9t\xE9.pwn(2) : error 001: \xE9", {"\xE9t\xE9.pwn", 2, 2, cmError, 1, "\xE9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<TCompilerMessage> m = ParseCompilerMessage(c.line);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->FileName, c.want.file);
    EXPECT_EQ(m->Line, c.want.line);
    EXPECT_EQ(m->LastLine, c.want.lastLine);
    EXPECT_EQ(m->Kind, c.want.kind);
    EXPECT_EQ(m->Number, c.want.number);
    EXPECT_EQ(m->Text, c.want.text);
  }
}

TEST(CompilerMessageParse, LinesThatOnlyLookAlikeArePlainText) {
  const char* lines[] = {
      "",
      "Pawn compiler 3.2.3664\t \t \tCopyright (c) 1997-2006, ITB CompuPhase",
      "1 Error.",
      "Compilation aborted.",
      "(6) : error 001: no file",
      "   (6) : error 001: only blanks for a file",
      "s.pwn : error 001: no line",
      "s.pwn() : error 001: empty line number",
      "s.pwn(x) : error 001: not a number",
      "s.pwn(-6) : error 001: negative",
      "s.pwn(6): error 001: no blank before the colon",
      "s.pwn(6) :error 001: no blank after the colon",
      "s.pwn(6)  : error 001: two blanks",
      "s.pwn( 6) : error 001: blank inside",
      "s.pwn(6 - 8) : error 001: a single dash",
      "s.pwn(6 --) : error 001: open range",
      "s.pwn(9 -- 3) : error 001: backward range",
      "s.pwn(6) : Error 001: capital",
      "s.pwn(6) : note 001: unknown kind",
      "s.pwn(6) : error: no number",
      "s.pwn(6) : error 001 no colon",
      "s.pwn(6) : error001: no blank",
      "s.pwn(6) : fatal 001: half a kind",
      "s.pwn(6) : warning -1: negative number",
      "s.pwn(1234567890) : error 001: more digits than a line can have",
      "s.pwn(6) : error 1234567890: more digits than a number can have",
      "s.pwn(6) : error 001",
      "s.pwn(6",
      "(",
  };
  for (const char* line : lines) EXPECT_FALSE(ParseCompilerMessage(line).has_value()) << line;
}

TEST(CompilerMessageParse, OutputGivesEachMessageItsLine) {
  std::string output =
      "Pawn compiler 3.2.3664\r\n"
      "\r\n"
      "/g/s.pwn(6) : error 001: a\r\n"
      "/g/s.pwn(11 -- 13) : warning 215: b\r\n"
      "not a message\r\n"
      "/i/console.inc(26) : warning 219: c\r\n"
      "\r\n"
      "1 Error.\r\n"
      "s.pwn(3) : fatal error 100: d";  // no line end after the last line
  std::vector<TCompilerMessage> m = ParseCompilerOutput(output);
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0].OutputLine, 2);
  EXPECT_EQ(m[1].OutputLine, 3);
  EXPECT_EQ(m[2].OutputLine, 5);
  EXPECT_EQ(m[3].OutputLine, 8);
  EXPECT_EQ(m[3].Text, "d");
  EXPECT_TRUE(ParseCompilerOutput("").empty());
  EXPECT_TRUE(ParseCompilerOutput("\n\n\n").empty());
}

TEST(CompilerMessageParse, LongLinesAreReadInLinearSteps) {
  // 60 KB of what makes a parser look back or retry, then a real place.
  auto times = [](const std::string& piece) {
    std::string s;
    while (s.size() < 60000) s += piece;
    return s;
  };
  const std::string fillers[] = {
      std::string(30000, ' ') + times("("), times(" ("),         times("\t(("),
      times("a(1 -- 1) : fatal error 1"),   times("(123456789"), times("x(1) : error 2 "),
  };
  for (const std::string& filler : fillers) {
    for (const std::string& line : {filler, filler + "s.pwn(4) : warning 203: w"}) {
      SCOPED_TRACE(line.substr(0, 30) + "... " + std::to_string(line.size()) + " bytes");
      size_t steps = 0;
      std::optional<TCompilerMessage> m = ParseCompilerMessage(line, &steps);
      EXPECT_LE(steps, 4 * line.size());
      if (line.size() == filler.size()) {
        EXPECT_FALSE(m.has_value());
        continue;
      }
      ASSERT_TRUE(m.has_value());
      EXPECT_EQ(m->FileName, filler + "s.pwn");
      EXPECT_EQ(m->Text, "w");
    }
  }
}

TEST(CompilerMessageParse, TerminalEscapesAreLeftOut) {
  auto m = ParseCompilerMessage("\x1b[1;31m/g/s.pwn(6) : error\x1b[0m 001: \x1b[1ma\x1b[m\r");
  ASSERT_TRUE(m);
  EXPECT_EQ(*m, (TCompilerMessage{"/g/s.pwn", 6, 6, cmError, 1, "a", 0}));
  // Titles, links, line clearing and character sets; broken ones end at the line.
  EXPECT_EQ(StripTerminalEscapes("\x1b]0;t\a\x1b[2Kok\x1b]8;;x\x1b\\ \x1b(Bq\x9b\x1b[31\nb\x1b"),
            "ok q\x9b\nb");
}

TEST(CompilerMessageParse, SummaryReadsBackAsTheSameMessage) {
  // A message written the compiler's way parses back to itself, whatever
  // the path, place, kind and text.
  std::mt19937 rng(21);
  const char* paths[] = {"/a/s.pwn", "s.pwn", "/b c/(d)/e.inc", "C:\\x y\\z.pwn", "\xE9.pwn"};
  const char* texts[] = {"", "x", "found \"(1) : error 2: y\"", "a(b) : c", " lead"};
  for (int i = 0; i < 500; ++i) {
    TCompilerMessage m;
    m.FileName = paths[rng() % 5];
    m.Line = static_cast<int>(rng() % 100000);
    m.LastLine = m.Line + static_cast<int>(rng() % 3 == 0 ? rng() % 50 : 0);
    m.Kind = static_cast<TCompilerMessageKind>(rng() % 3);
    m.Number = static_cast<int>(rng() % 1000);
    m.Text = texts[rng() % 5];
    std::string place = std::to_string(m.Line);
    if (m.LastLine != m.Line) place += " -- " + std::to_string(m.LastLine);
    std::string line = m.FileName + "(" + place + ") : " + CompilerMessageSummary(m);
    if (rng() % 2) line += "\r";
    std::optional<TCompilerMessage> back = ParseCompilerMessage(line);
    ASSERT_TRUE(back.has_value()) << line;
    EXPECT_EQ(*back, m) << line;
  }
}

TEST(CompilerMessagePath, RelativePathsLieInTheScriptsFolder) {
  struct Case {
    const char* file;
    const char* dir;
    const char* path;
  } cases[] = {
      {"/home/u/a.inc", "/gm/", "/home/u/a.inc"},
      {"s.pwn", "/gm/", "/gm/s.pwn"},
      {"s.pwn", "/gm", "/gm/s.pwn"},
      {"inc/a.inc", "/my gm/", "/my gm/inc/a.inc"},
      {"s.pwn", "", "s.pwn"},
      {"C:\\gm\\s.pwn", "/gm/", "C:\\gm\\s.pwn"},
      {"c:/gm/s.pwn", "/gm/", "c:/gm/s.pwn"},
      {"\\\\server\\s.pwn", "/gm/", "\\\\server\\s.pwn"},
      {"C:s.pwn", "/gm/", "/gm/C:s.pwn"},  // a drive without a root is no absolute path
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveMessagePath(c.file, c.dir), c.path) << c.file;
}
