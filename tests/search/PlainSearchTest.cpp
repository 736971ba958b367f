#include <gtest/gtest.h>

#include <random>

#include "base/SynCodePage.h"
#include "search/SynEditSearch.h"

using namespace ludra;

namespace {

std::vector<int> FindAll(TSynEditSearch& engine, const std::string& line) {
  int count = engine.FindAllInLine(line);
  EXPECT_EQ(count, engine.MatchCount());
  std::vector<int> positions;
  for (int i = 0; i < count; ++i) positions.push_back(engine.MatchPosition(i));
  return positions;
}

TSynSearchFlags Flags(bool matchCase, bool wholeWord) {
  TSynSearchFlags flags;
  if (matchCase) flags.Include(sfMatchCase);
  if (wholeWord) flags.Include(sfWholeWord);
  return flags;
}

TEST(PlainSearch, FindsEveryOccurrenceOnce) {
  const std::string longPattern = [] {
    std::string s;
    for (int i = 0; i < 300; ++i) s += static_cast<char>('a' + i % 7);
    return s;
  }();
  struct Case {
    std::string pattern;
    std::string line;
    bool matchCase;
    bool wholeWord;
    std::vector<int> want;
  } cases[] = {
      {"aa", "aaaa", false, false, {1, 3}},  // no overlap
      {"aaa", "aaaa", false, false, {1}},
      {"abab", "abababab", true, false, {1, 5}},
      {"Name", "name NAME nAmE Name", false, false, {1, 6, 11, 16}},
      {"Name", "name NAME nAmE Name", true, false, {16}},
      {"NAME", "name", false, false, {1}},
      {"\xC9T\xC9", "\xE9t\xE9 \xC9T\xC9", false, false, {1, 5}},  // Latin-1 letters fold
      {"\xC9T\xC9", "\xE9t\xE9 \xC9T\xC9", true, false, {5}},
      {"id", "x = id;", false, true, {5}},
      {"id", "id = 1", false, true, {1}},
      {"id", "return id", false, true, {8}},
      {"id", "idx my_id id2 xid", false, true, {}},
      {"id", "idx my_id id2 xid", false, false, {1, 8, 11, 16}},
      {"id", "id id", false, true, {1, 4}},
      {"b", "a.b", false, true, {3}},
      {"caf", "caf\xE9 caf", false, true, {6}},  // a Latin-1 letter is a word character
      {"aa", "aaa aa", false, true, {5}},        // a rejected window does not hide later ones
      {"ID", "x id", false, true, {3}},          // the whole-word test ignores case
      {"b", std::string("a\0b\0", 4), true, true, {3}},
      {"abc", "abc", false, false, {1}},
      {"abc", "abc", false, true, {1}},
      {"xyz", "abcxyz", true, false, {4}},
      {"abcdef", "abc", false, false, {}},
      {"abc", "", false, false, {}},
      {longPattern, "x" + longPattern + " " + longPattern, true, false, {2, 303}},
      {longPattern, "x" + longPattern + " " + longPattern, false, true, {303}},
  };
  for (const auto& c : cases) {
    TSynEditSearch engine;
    engine.SetSearchOptions(Flags(c.matchCase, c.wholeWord));
    engine.SetPattern(c.pattern);
    EXPECT_EQ(FindAll(engine, c.line), c.want)
        << "'" << c.pattern.substr(0, 20) << "' in '" << c.line.substr(0, 40) << "'"
        << (c.matchCase ? " case" : "") << (c.wholeWord ? " word" : "");
    EXPECT_EQ(engine.MatchLength(0), static_cast<int>(c.pattern.size()));
  }
}

TEST(PlainSearch, TablesFollowPatternAndCaseChanges) {
  TSynEditSearch engine;  // case-insensitive, not whole words
  engine.SetPattern("Ab");
  EXPECT_EQ(FindAll(engine, "ab Ab abc"), (std::vector<int>{1, 4, 7}));
  engine.SetSearchOptions(Flags(true, false));
  EXPECT_EQ(FindAll(engine, "ab Ab"), (std::vector<int>{4}));
  engine.SetSearchOptions(Flags(true, true));
  EXPECT_EQ(FindAll(engine, "ab Abc Ab"), (std::vector<int>{8}));
  engine.SetPattern("Abc");
  engine.SetSearchOptions(Flags(false, false));
  EXPECT_EQ(FindAll(engine, "ab ABC"), (std::vector<int>{4}));
  // Flags the engine does not understand change nothing.
  engine.SetSearchOptions({sfBackwards, sfEntireScope, sfSelectedOnly, sfReplaceAll, sfPrompt});
  EXPECT_EQ(FindAll(engine, "ab ABC"), (std::vector<int>{4}));
}

// The editor sets options and pattern at the start of each search: the
// case folding and the word characters follow the code page from there.
TEST(PlainSearch, TablesFollowTheCodePageFromTheNextSearch) {
  TSynEditSearch engine;
  engine.SetSearchOptions(Flags(false, true));
  engine.SetPattern("\xE0");  // a letter in both pages, and its upper case
  EXPECT_EQ(FindAll(engine, "\xC0 x\xE0 \xE0"), (std::vector<int>{1, 6}));
  SetCodePage(FindCodePage(1251));
  engine.SetSearchOptions(Flags(false, true));
  engine.SetPattern("\xB8");  // Cyrillic yo: 0xA8 upper case, a letter
  EXPECT_EQ(FindAll(engine, "\xA8 \xB8\xE0 \xB8"), (std::vector<int>{1, 6}));
  SetCodePage(nullptr);
  engine.SetSearchOptions(Flags(false, true));
  EXPECT_EQ(FindAll(engine, "\xA8 \xB8\xE0 \xB8"), (std::vector<int>{6}));
}

TEST(PlainSearch, EmptyPatternIsAnErrorOnEverySearch) {
  TSynEditSearch engine;
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      engine.FindAllInLine("text");
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Pattern is empty");
    }
  }
  engine.SetPattern("x");
  EXPECT_EQ(engine.FindAllInLine("x"), 1);
  engine.SetPattern("");
  EXPECT_THROW(engine.FindAllInLine("x"), ESynEditSearch);
  EXPECT_EQ(engine.MatchCount(), 0);
}

TEST(PlainSearch, ResultsAccessorsReplacementAndFoundCount) {
  TSynEditSearch engine;
  engine.SetPattern("ab");
  EXPECT_EQ(engine.FindAllInLine("ab ab"), 2);
  for (int index : {-1, 2, 100}) EXPECT_EQ(engine.MatchPosition(index), 0) << index;
  EXPECT_EQ(engine.FindAllInLine("none"), 0);
  EXPECT_EQ(engine.MatchPosition(0), 0);
  EXPECT_EQ(engine.ReplacementText("ab", "$1 \\n"), "$1 \\n");
  EXPECT_EQ(engine.Pattern(), "ab");
  // The found count runs across lines until the pattern is set again.
  EXPECT_EQ(engine.FoundCount(), 2);
  engine.FindAllInLine("abab");
  EXPECT_EQ(engine.FoundCount(), 4);
  engine.SetPattern("ab");
  EXPECT_EQ(engine.FoundCount(), 0);
}

// A left-to-right scan of every position, as plain as it gets.
std::vector<int> NaiveFind(const std::string& pattern, const std::string& line, bool matchCase,
                           bool wholeWord) {
  const TCodePage& page = CodePage();
  auto fold = [&](char c) {
    auto b = static_cast<unsigned char>(c);
    return matchCase ? b : page.LowerCase(b);
  };
  auto delimiter = [&](char c) {
    auto b = static_cast<unsigned char>(c);
    return !(page.IsAlnum(b) || b == '_');
  };
  std::vector<int> found;
  size_t m = pattern.size();
  for (size_t p = 0; p + m <= line.size();) {
    bool match = true;
    for (size_t i = 0; i < m && match; ++i) match = fold(pattern[i]) == fold(line[p + i]);
    if (match && wholeWord)
      match =
          (p == 0 || delimiter(line[p - 1])) && (p + m == line.size() || delimiter(line[p + m]));
    if (match) {
      found.push_back(static_cast<int>(p + 1));
      p += m;
    } else {
      ++p;
    }
  }
  return found;
}

TEST(PlainSearch, AgreesWithANaiveScanOnRandomText) {
  // Lines up to 64 characters are filtered in one go, longer ones block by
  // block with a last block moved back to the line's end, long patterns in
  // short lines by the skip table: each must give the occurrences of the
  // plain scan. Nothing past the line's NUL may be read: some lines keep old
  // text, planted occurrences too, past their end, others spare capacity
  // that was never written (reading it is what valgrind reports).
  struct Config {
    std::string alphabet;
    int maxPattern, maxLine;
  } configs[] = {
      {"aAab_ .\xE9\xC9", 6, 40},
      {"aAab_ .\xE9\xC9", 6, 200},
      {std::string("aAbB_ 1\xFF\x9F\0", 10), 20, 120},
      {"ab", 70, 130},
      {"xyzXYZ \xDF", 3, 70},
  };
  std::mt19937 random(20261207);
  for (const Config& config : configs) {
    auto text = [&](int minLength, int maxLength) {
      std::string s(std::uniform_int_distribution<int>(minLength, maxLength)(random), ' ');
      for (char& c : s) c = config.alphabet[random() % config.alphabet.size()];
      return s;
    };
    TSynEditSearch engine;
    for (int round = 0; round < 10000; ++round) {
      bool matchCase = round % 2 != 0, wholeWord = round % 4 >= 2;
      std::string pattern = text(1, config.maxPattern);
      std::string line = text(0, config.maxLine);
      // Plant occurrences so that long patterns are found too.
      for (int k = random() % 3; k > 0 && line.size() >= pattern.size(); --k)
        line.replace(random() % (line.size() - pattern.size() + 1), pattern.size(), pattern);
      if (round % 3 == 0) {
        std::string stale = pattern + pattern + text(0, 80) + pattern;
        size_t size = line.size();
        line += stale;
        line.resize(size);
      } else if (round % 3 == 1) {
        line.reserve(line.size() + 1 + random() % 100);
      }
      engine.SetSearchOptions(Flags(matchCase, wholeWord));
      engine.SetPattern(pattern);
      ASSERT_EQ(FindAll(engine, line), NaiveFind(pattern, line, matchCase, wholeWord))
          << "'" << pattern << "' in '" << line << "'" << (matchCase ? " case" : "")
          << (wholeWord ? " word" : "");
    }
  }
}

}  // namespace
