#include <gtest/gtest.h>

#include <random>

#include "appcore/DefinitionScanner.h"
#include "base/SynCodePage.h"

using namespace ludra;

namespace {

// "name@line" for each function found, joined by blanks.
std::string Found(std::string_view text) {
  std::string out;
  for (const TScriptFunction& f : ScanDefinitions(text))
    out += (out.empty() ? "" : " ") + f.Name + "@" + std::to_string(f.Line);
  return out;
}

}  // namespace

TEST(DefinitionScanner, TakesTheDefinitionsOfAScript) {
  struct Case {
    const char* text;
    const char* want;
  } cases[] = {
      {"main()\n{\n}\n", "main@1"},
      {"public OnGameModeInit()\n{", "OnGameModeInit@1"},
      {"stock Float:halve(Float:v) {", "halve@1"},
      {"stock Float: halve(Float:v)\n{", "halve@1"},  // a blank after the tag
      {"static bool:flag ()\n{", "flag@1"},           // blanks before "("
      {"static stock helper(a)\n{", "helper@1"},      // two storage words
      {"forward OnTimer(id);", "OnTimer@1"},
      {"Text:make(a){}", "make@1"},
      {"@hidden()\n{", "@hidden@1"},
      {"\tindented()\n indented2()", ""},  // not at character 1
      {"stock\nsplit(a)\n{", "split@2"},   // the name's own line counts
      {"split\n(a)", ""},                  // "(" on the next line
      {"stock Float:operator+(Float:a, b)\n{\nstock operator(a)\n{", ""},  // operators
      {"native beep(freq);\nnew x(3);", ""},                               // natives and variables
      {"if (a)\nwhile(b)\nreturn(c)\nsizeof(d)", ""},
      {"stock 9lives()\n{", ""},
      {"// foo()\n/* bar()\nbaz()\n*/ qux()\nquux() /* */\n{", "quux@5"},
      {"a() /* open\nb()\n still */ {\nc() {", "a@1 c@4"},
      {"x = \"\n\"y()\"\nz()\n{", "z@3"},                         // a string ends with its line
      {"new s[] = \"abc\\\nhidden()\";\nshown()\n{", "shown@3"},  // continued by a backslash
      {"new s[] = \"/*\";\nafter()\n{", "after@2"},               // comment marks inside strings
      {"new c = '\"';\nafter()\n{", "after@2"},
      {"first(){}\r\nsecond(){}\rthird()\n{", "first@1 second@2 third@3"},
  };
  for (const Case& c : cases) EXPECT_EQ(Found(c.text), c.want) << c.text;
}

TEST(DefinitionScanner, CallsAndPrototypesAreNoDefinitions) {
  struct Case {
    const char* text;
    const char* want;
  } cases[] = {
      {"printf(\"a, b\");\nfoo(a, b);\nSetTimer(\"x\", 10, 0);", ""},
      {"foo(a, b)\nbar(c)\n{", "bar@2"},  // the next code is another header
      {"foo(a)\n\n  /* note */\n\n{", "foo@1"},
      {"foo(a) // why\n{", "foo@1"},
      {"foo(a) /* why */ {", "foo@1"},
      {"foo(a) /* a comment\n over lines */\n{", "foo@1"},
      {"foo(a)\nreturn 1;\n{", ""},
      {"foo(a) = 3;\n{", ""},
      {"foo(\")\") {", "foo@1"},
      {"foo(a\n", ""},                             // the text ends inside the list
      {"foo(1, {\n}\nbar(a,\n  b\n) {", "bar@3"},  // an unclosed call before a header
      {"forward foo(a);\nnative bar(b);\n{", "foo@1"},
      {"main()", ""},  // no body yet
  };
  for (const Case& c : cases) EXPECT_EQ(Found(c.text), c.want) << c.text;
}

TEST(DefinitionScanner, KeepsEachNameOnceAndLeadsToTheDefinition) {
  std::vector<TScriptFunction> fs = ScanDefinitions(
      "forward OnTimer(id);\nforward Other();\npublic OnTimer(id)\n{\n}\nOther(a, "
      "b)\n{\n}\nOther(c) {}\n");
  ASSERT_EQ(fs.size(), 2u);
  EXPECT_EQ(fs[0].Name, "OnTimer");
  EXPECT_EQ(fs[0].Line, 3);
  EXPECT_EQ(fs[0].Text, "public OnTimer(id)");
  EXPECT_FALSE(fs[0].Forward);
  EXPECT_EQ(fs[1].Name, "Other");
  EXPECT_EQ(fs[1].Line, 6);
  EXPECT_EQ(fs[1].ParamText, "a, b");
  // Only a forward line: it is the target.
  fs = ScanDefinitions("forward Lonely(x, y);  \n");
  ASSERT_EQ(fs.size(), 1u);
  EXPECT_TRUE(fs[0].Forward);
  EXPECT_EQ(fs[0].Text, "forward Lonely(x, y);");
  EXPECT_EQ(fs[0].ParamText, "x, y");
  // Parameters continued on the next lines, the body after a comment line.
  fs = ScanDefinitions(
      "/// <summary>Long.</summary>\nlong(a, // first\n  const s[] = \")\",\n b)\n// c\n{");
  ASSERT_EQ(fs.size(), 1u);
  EXPECT_EQ(fs[0].ParamText, "a, const s[] = \")\", b");
  EXPECT_EQ(DocSummary(fs[0].Doc), "Long.");
}

TEST(DefinitionScanner, NamesInTheCodePagesLetters) {
  SetCodePage(FindCodePage(1251));
  // "\xD7\xE8\xF1\xEB\xEE" is a Cyrillic word with the letter 215 in it.
  EXPECT_EQ(Found("stock \xD7\xE8\xF1\xEB\xEE(a) {"), "\xD7\xE8\xF1\xEB\xEE@1");
  SetCodePage(nullptr);
  // On the Western page 215 is the multiplication sign.
  EXPECT_EQ(Found("stock \xD7\xE8\xF1\xEB\xEE(a) {"), "");
}

TEST(DefinitionScanner, LineByLineMatchesTheWholeTextOnRandomScripts) {
  const char* pieces[] = {"stock ", "f(",   ")", "/*", "*/", "//",       "\"",     "\\", "'",
                          "\n",     "\r\n", "g", " ",  "\t", "forward ", "Float:", "x"};
  std::mt19937 rng(22);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += pieces[rng() % std::size(pieces)];
    TDefinitionScanner scanner;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == '\n') {
        std::string line = text.substr(start, i - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (i < text.size() || !line.empty()) scanner.AddLine(line);
        start = i + 1;
      }
    }
    std::vector<TScriptFunction> whole = ScanDefinitions(text);
    ASSERT_EQ(whole.size(), scanner.Functions().size()) << text;
    for (size_t k = 0; k < whole.size(); ++k) {
      EXPECT_EQ(whole[k].Name, scanner.Functions()[k].Name);
      EXPECT_EQ(whole[k].Line, scanner.Functions()[k].Line);
      // Every target line holds the name.
      EXPECT_NE(whole[k].Text.find(whole[k].Name), std::string::npos) << whole[k].Text;
    }
  }
}
