#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "platform/SynProgress.h"
#include "search/SynEditRegexSearch.h"
#include "search/SynEditSearch.h"
#include "search/SynRegExpr.h"

using namespace ludra;
using ludra::test::THeadlessSynEdit;

namespace {

// Records the transient-paint notices, which bracket every search.
class TSearchEditor : public THeadlessSynEdit {
 public:
  void DoOnPaintTransient(TTransientType type) override { transients.push_back(type); }
  std::vector<TTransientType> transients;
};

enum class Kind { Plain, Regex };

std::unique_ptr<TSynEditSearchCustom> MakeEngine(Kind kind) {
  if (kind == Kind::Plain) return std::make_unique<TSynEditSearch>();
  return std::make_unique<TSynEditRegexSearch>();
}

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
  return s;
}

struct Sel {
  TBufferCoord first, last, caret;
  bool operator==(const Sel&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Sel& s) {
  return os << "[" << s.first.Char << "," << s.first.Line << " .. " << s.last.Char << ","
            << s.last.Line << " caret " << s.caret.Char << "," << s.caret.Line << "]";
}

Sel SelOf(const TCustomSynEdit& e) { return {e.SelFirst(), e.SelLast(), e.CaretPos()}; }

// Runs each behaviour that both engines share once per engine; a search text
// without regex specials means the same to both.
class SearchReplaceTest : public ::testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    engine = MakeEngine(GetParam());
    e.SetSearchEngine(engine.get());
  }
  void Load(const std::vector<std::string>& lines) { e.SetText(Join(lines)); }
  // Answers the prompt from a script and records where it asked.
  void Answer(std::vector<TSynReplaceAction> answers) {
    script = std::move(answers);
    e.OnReplaceText = [this](TCustomSynEdit*, const std::string& search, const std::string& replace,
                             int line, int column, TSynReplaceAction& action) {
      EXPECT_EQ(action, raCancel);
      asked.push_back({search + "/" + replace, column, line});
      if (asked.size() <= script.size()) action = script[asked.size() - 1];
    };
  }
  struct Asked {
    std::string texts;
    int column, line;
    bool operator==(const Asked&) const = default;
  };

  std::unique_ptr<TSynEditSearchCustom> engine;
  TSearchEditor e;
  std::vector<TSynReplaceAction> script;
  std::vector<Asked> asked;
};

TEST_P(SearchReplaceTest, ConsecutiveFindsWalkTheOccurrencesWithoutWrapping) {
  struct Case {
    const char* name;
    TBufferCoord caret;
    TSynSearchFlags flags;
    std::vector<Sel> want;  // one find per entry; the last finds nothing
  } cases[] = {
      {"forwards",
       {1, 1},
       {},
       {{{1, 1}, {6, 1}, {6, 1}},
        {{12, 1}, {17, 1}, {17, 1}},
        {{7, 2}, {12, 2}, {12, 2}},
        {{7, 2}, {12, 2}, {12, 2}}}},
      {"forwards from the caret",
       {3, 1},
       {},
       {{{12, 1}, {17, 1}, {17, 1}}, {{7, 2}, {12, 2}, {12, 2}}, {{7, 2}, {12, 2}, {12, 2}}}},
      {"backwards",
       {5, 3},
       {sfBackwards},
       {{{7, 2}, {12, 2}, {7, 2}},
        {{12, 1}, {17, 1}, {12, 1}},
        {{1, 1}, {6, 1}, {1, 1}},
        {{1, 1}, {6, 1}, {1, 1}}}},
      {"backwards before the caret",
       {14, 1},
       {sfBackwards},
       {{{1, 1}, {6, 1}, {1, 1}}, {{1, 1}, {6, 1}, {1, 1}}}},
  };
  for (const auto& c : cases) {
    Load({"alpha beta alpha", "gamma alpha", "beta"});
    e.SetCaretPos(c.caret);
    for (size_t i = 0; i < c.want.size(); ++i) {
      bool last = i + 1 == c.want.size();
      EXPECT_EQ(e.SearchAndReplace("alpha", "", c.flags), last ? 0 : 1) << c.name << " " << i;
      EXPECT_EQ(SelOf(e), c.want[i]) << c.name << " " << i;
    }
    // The whole scope ignores the caret.
    c.flags.Contains(sfBackwards) ? e.SetCaretPos({1, 1}) : e.SetCaretPos({5, 3});
    EXPECT_EQ(e.SearchAndReplace("alpha", "", c.flags + TSynSearchFlags{sfEntireScope}), 1)
        << c.name;
  }
}

TEST_P(SearchReplaceTest, ScopeOfASelection) {
  struct Case {
    const char* name;
    TSynSelectionMode mode;
    TBufferCoord from, to;
    TSynSearchFlags flags;
    int want;
    std::vector<std::string> text;
  } cases[] = {
      // An occurrence straddling the end of the selection is outside.
      {"inside one line", smNormal, {3, 1}, {8, 1}, {}, 1, {"ab X ab", "ab ab ab", "xab ab"}},
      {"inside one line backwards",
       smNormal,
       {8, 1},
       {3, 1},
       {sfBackwards},
       1,
       {"ab X ab", "ab ab ab", "xab ab"}},
      {"across lines", smNormal, {4, 1}, {3, 2}, {}, 3, {"ab X X", "X ab ab", "xab ab"}},
      // Lines from the start of the first to the end of the last.
      {"line mode", smLine, {5, 2}, {2, 3}, {}, 5, {"ab ab ab", "X X X", "xX X"}},
      // Only occurrences within the columns, on every line.
      {"column mode", smColumn, {3, 1}, {7, 3}, {}, 3, {"ab X ab", "ab X ab", "xab X"}},
      {"column mode reversed",
       smColumn,
       {7, 1},
       {3, 3},
       {sfBackwards},
       3,
       {"ab X ab", "ab X ab", "xab X"}},
      // The caret and sfEntireScope play no part.
      {"entire scope",
       smNormal,
       {4, 2},
       {9, 2},
       {sfEntireScope},
       2,
       {"ab ab ab", "ab X X", "xab ab"}},
  };
  for (const auto& c : cases) {
    Load({"ab ab ab", "ab ab ab", "xab ab"});
    e.SetSelectionMode(c.mode);
    e.SetCaretAndSelection(c.to, c.from, c.to);
    EXPECT_EQ(
        e.SearchAndReplace("ab", "X", c.flags + TSynSearchFlags{sfSelectedOnly, sfReplaceAll}),
        c.want)
        << c.name;
    EXPECT_EQ(e.Text(), Join(c.text)) << c.name;
  }
}

TEST_P(SearchReplaceTest, WithoutASelectionTheScopeIsPlainTextInEveryMode) {
  // Each find selects its occurrence; searching on from the caret must not
  // test by columns (hiding occurrences) or pass the whole caret line.
  for (TSynSelectionMode mode : {smNormal, smLine, smColumn}) {
    Load({"ab ab", "xxxxx ab", "ab"});
    e.SetSelectionMode(mode);
    e.SetCaretPos({3, 1});
    std::vector<TBufferCoord> found;
    while (e.SearchAndReplace("ab", "", {}) == 1) {
      found.push_back(e.SelFirst());
      ASSERT_LT(found.size(), 5u) << int(mode);
    }
    EXPECT_EQ(found, (std::vector<TBufferCoord>{{4, 1}, {7, 2}, {1, 3}})) << int(mode);
  }
}

TEST_P(SearchReplaceTest, ReplaceAllShiftsWithinTheLine) {
  struct Case {
    std::string replace;
    TSynSearchFlags flags;
    std::vector<std::string> want;
  } cases[] = {
      {"xyz", {sfEntireScope}, {"xyz xyz xyz", "-xyz-"}},
      {"q", {sfEntireScope}, {"q q q", "-q-"}},
      {"", {sfEntireScope}, {"", "--"}},  // the blanks left are trailing ones

      {"xyz", {sfEntireScope, sfBackwards}, {"xyz xyz xyz", "-xyz-"}},
      {"q", {sfEntireScope, sfBackwards}, {"q q q", "-q-"}},
      {"abab", {sfEntireScope}, {"abab abab abab", "-abab-"}},  // the new text is not searched
  };
  for (const auto& c : cases) {
    Load({"ab ab ab", "-ab-"});
    e.SetCaretPos({2, 2});
    EXPECT_EQ(e.SearchAndReplace("ab", c.replace, c.flags + TSynSearchFlags{sfReplaceAll}), 4)
        << c.replace;
    EXPECT_EQ(e.Text(), Join(c.want)) << c.replace;
    // Without prompting the whole run is one undo step.
    e.Undo();
    EXPECT_EQ(e.Text(), Join({"ab ab ab", "-ab-"})) << c.replace;
    EXPECT_FALSE(e.CanUndo()) << c.replace;
  }
}

TEST_P(SearchReplaceTest, ReplaceAllInASelectionGrowsItsEnd) {
  struct Case {
    std::string replace;
    std::string want;
    Sel sel;
  } cases[] = {
      {"xyz", "xyz xyz xyz ab", {{12, 1}, {13, 1}, {12, 1}}},
      {"q", "q q q ab", {{6, 1}, {7, 1}, {6, 1}}},
  };
  for (const auto& c : cases) {
    Load({"ab ab ab ab"});
    e.SetCaretAndSelection({10, 1}, {1, 1}, {10, 1});
    EXPECT_EQ(e.SearchAndReplace("ab", c.replace, {sfSelectedOnly, sfReplaceAll}), 3);
    EXPECT_EQ(e.Text(), c.want);
    // What is left of the scope stays selected.
    EXPECT_EQ(SelOf(e), c.sel) << c.replace;
  }
}

TEST_P(SearchReplaceTest, SingleReplaceTakesTheNextOccurrenceAsOneStep) {
  Load({"ab ab", "ab"});
  e.SetCaretPos({2, 1});
  EXPECT_EQ(e.SearchAndReplace("ab", "xyz", {sfReplace}), 1);
  EXPECT_EQ(e.Text(), Join({"ab xyz", "ab"}));
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{7, 1}));
  EXPECT_EQ(e.SearchAndReplace("ab", "xyz", {sfReplace}), 1);
  EXPECT_EQ(e.Text(), Join({"ab xyz", "xyz"}));
  EXPECT_EQ(e.SearchAndReplace("ab", "xyz", {sfReplace}), 0);
  e.Undo();
  EXPECT_EQ(e.Text(), Join({"ab xyz", "ab"}));
  e.Undo();
  EXPECT_EQ(e.Text(), Join({"ab ab", "ab"}));
}

TEST_P(SearchReplaceTest, BackwardReplaceDoesNotMeetItsOwnText) {
  Load({"a a"});
  e.SetCaretPos({4, 1});
  for (int i = 0; i < 3; ++i) e.SearchAndReplace("a", "ba", {sfReplace, sfBackwards});
  EXPECT_EQ(e.Text(), "ba ba");
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));
}

TEST_P(SearchReplaceTest, PromptAnswers) {
  struct Case {
    const char* name;
    std::vector<TSynReplaceAction> answers;
    TSynSearchFlags flags;
    int want;
    std::vector<std::string> text;
    std::vector<Asked> asked;
    int undoSteps;  // Undo calls back to the original text
  } cases[] = {
      {"skip, skip, all",
       {raSkip, raSkip, raReplaceAll},
       {sfReplaceAll},
       5,
       {"ab ab xyz", "xyz xyz"},
       {{"ab/xyz", 1, 1}, {"ab/xyz", 4, 1}, {"ab/xyz", 7, 1}},
       1},
      {"replace, replace, all",
       {raReplace, raReplace, raReplaceAll},
       {sfReplaceAll},
       5,
       {"xyz xyz xyz", "xyz xyz"},
       {{"ab/xyz", 1, 1}, {"ab/xyz", 5, 1}, {"ab/xyz", 9, 1}},
       3},
      {"replace, cancel",
       {raReplace, raCancel},
       {sfReplaceAll},
       2,
       {"xyz ab ab", "ab ab"},
       {{"ab/xyz", 1, 1}, {"ab/xyz", 5, 1}},
       1},
      {"a handler that leaves the answer cancels",
       {},
       {sfReplaceAll},
       1,
       {"ab ab ab", "ab ab"},
       {{"ab/xyz", 1, 1}},
       0},
      {"single replace skipped",
       {raSkip},
       {sfReplace},
       1,
       {"ab ab ab", "ab ab"},
       {{"ab/xyz", 1, 1}},
       0},
      {"backwards",
       {raReplace, raSkip, raReplaceAll},
       {sfReplaceAll, sfBackwards},
       5,
       {"xyz xyz xyz", "ab xyz"},
       {{"ab/xyz", 4, 2}, {"ab/xyz", 1, 2}, {"ab/xyz", 7, 1}},
       2},
  };
  for (const auto& c : cases) {
    Load({"ab ab ab", "ab ab"});
    e.ClearUndo();
    asked.clear();
    Answer(c.answers);
    e.SetCaretPos({1, 1});
    EXPECT_EQ(e.SearchAndReplace("ab", "xyz", c.flags + TSynSearchFlags{sfPrompt, sfEntireScope}),
              c.want)
        << c.name;
    EXPECT_EQ(e.Text(), Join(c.text)) << c.name;
    EXPECT_EQ(asked, c.asked) << c.name;
    EXPECT_EQ(e.PaintLockCount(), 0) << c.name;
    for (int i = 0; i < c.undoSteps; ++i) {
      EXPECT_TRUE(e.CanUndo()) << c.name;
      e.Undo();
    }
    EXPECT_FALSE(e.CanUndo()) << c.name;
    EXPECT_EQ(e.Text(), Join({"ab ab ab", "ab ab"})) << c.name;
  }
}

TEST_P(SearchReplaceTest, ReplacementsWithLineBreaksKeepTheirPlaces) {
  // The rest of the line moves to a later line; the occurrences still to
  // come on it and the scope's end move along.
  for (TSynSearchFlags direction : {TSynSearchFlags{}, TSynSearchFlags{sfBackwards}}) {
    Load({"ab ab", "ab", "-"});
    EXPECT_EQ(e.SearchAndReplace("ab", "1\r\n2",
                                 direction + TSynSearchFlags{sfReplaceAll, sfEntireScope}),
              3);
    EXPECT_EQ(e.Text(), Join({"1", "2 1", "2", "1", "2", "-"}));
    e.Undo();
    EXPECT_EQ(e.Text(), Join({"ab ab", "ab", "-"}));
  }
}

TEST_P(SearchReplaceTest, ReplaceAllOnALongLineStoresItAFewTimes) {
  std::string line, replaced;
  for (int i = 0; i < 1000; ++i) line += "ab c ", replaced += "xyz c ";
  Load({"first", line + "end", "last"});
  int stores = 0;
  auto forward = e.Lines().OnLineChanged;
  e.Lines().OnLineChanged = [&](TSynEditStringList* sender, int index, int count) {
    stores += count;
    forward(sender, index, count);
  };
  EXPECT_EQ(e.SearchAndReplace("ab", "xyz", {sfReplaceAll, sfEntireScope}), 1000);
  EXPECT_EQ(e.Lines().Get(1), replaced + "end");
  // The first and the last occurrence and the stretch between them, each
  // deleted and inserted: not two stores per occurrence.
  EXPECT_LE(stores, 6);
  stores = 0;
  e.Undo();
  EXPECT_EQ(e.Lines().Get(1), line + "end");
  EXPECT_FALSE(e.CanUndo());
  EXPECT_LE(stores, 6);
  stores = 0;
  e.Redo();
  EXPECT_EQ(e.Lines().Get(1), replaced + "end");
  EXPECT_LE(stores, 6);
  e.Check();
}

// Replace-all against the same replacements made one by one (each answered
// at a prompt, each its own undo step): the same text, count, caret,
// selection and view, and one undo and one redo give what undoing and
// redoing every step gives.
TEST_P(SearchReplaceTest, ReplaceAllMatchesReplacingOneByOne) {
  std::mt19937 rng(GetParam() == Kind::Plain ? 71 : 72);
  const char* tokens[] = {"ab", "a", "b", " ", "\t", "x", "abab", "  "};
  const char* searches[2][3] = {{"ab", "a", "b a"}, {"a+b?", "(a)(b)", "b|x"}};
  const char* replaces[] = {"", "X", "xyz", "ab", " ", "$1-"};
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  int stretches = 0;  // trials where replace-all recorded fewer changes
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<std::string> lines(1 + pick(5));
    for (auto& l : lines)
      for (int t = pick(60); t > 0; --t) l += tokens[pick(8)];
    TSynEditorOptions options[] = {e.Options(), test::MainWindowOptions,
                                   test::MainWindowOptions + TSynEditorOptions{eoScrollPastEol}};
    TSynEditorOptions opts = options[pick(3)];
    TSynSelectionMode mode = static_cast<TSynSelectionMode>(pick(3));
    auto randomPos = [&] {
      int y = 1 + pick(static_cast<int>(lines.size()));
      return TBufferCoord{1 + pick(static_cast<int>(lines[y - 1].size()) + 1), y};
    };
    TBufferCoord from = randomPos(), to = randomPos();
    TSynSearchFlags flags{sfReplaceAll};
    if (pick(2)) flags.Include(sfEntireScope);
    if (pick(2)) flags.Include(sfSelectedOnly);
    if (pick(5) == 0) flags.Include(sfBackwards);
    std::string search = searches[GetParam() == Kind::Plain ? 0 : 1][pick(3)];
    std::string replace = replaces[pick(6)];
    std::string what = "trial " + std::to_string(trial) + " /" + search + "/" + replace +
                       "/ mode " + std::to_string(mode) + " flags " +
                       std::to_string(flags.Contains(sfEntireScope)) +
                       std::to_string(flags.Contains(sfSelectedOnly)) +
                       std::to_string(flags.Contains(sfBackwards)) + " opts " +
                       std::to_string(opts.Contains(eoTrimTrailingSpaces));

    TSearchEditor a, b;
    auto engineA = MakeEngine(GetParam()), engineB = MakeEngine(GetParam());
    a.SetSearchEngine(engineA.get());
    b.SetSearchEngine(engineB.get());
    b.OnReplaceText = [](TCustomSynEdit*, const std::string&, const std::string&, int, int,
                         TSynReplaceAction& action) { action = raReplace; };
    for (TSearchEditor* ed : {&a, &b}) {
      ed->SetOptions(opts);
      ed->SetText(Join(lines));
      ed->SetSelectionMode(mode);
      ed->SetCaretAndSelection(to, from, to);
      ed->ClearUndo();
    }
    const std::string original = a.Text();
    int n = a.SearchAndReplace(search, replace, flags);
    what += " n " + std::to_string(n);
    ASSERT_EQ(n, b.SearchAndReplace(search, replace, flags + TSynSearchFlags{sfPrompt})) << what;
    ASSERT_EQ(a.Text(), b.Text()) << what;
    ASSERT_EQ(SelOf(a), SelOf(b)) << what;
    ASSERT_EQ(a.TopRow(), b.TopRow()) << what;
    ASSERT_EQ(a.FirstVisibleColumn(), b.FirstVisibleColumn()) << what;
    ASSERT_NO_THROW(a.Check()) << what;
    if (n == 0) continue;
    if (a.Editing().UndoList().ItemCount() < b.Editing().UndoList().ItemCount()) ++stretches;
    a.Undo();
    ASSERT_FALSE(a.CanUndo()) << what;
    while (b.CanUndo()) b.Undo();
    ASSERT_EQ(a.Text(), original) << what;
    ASSERT_EQ(b.Text(), original) << what;
    ASSERT_EQ(SelOf(a), SelOf(b)) << what;
    ASSERT_NO_THROW(a.Check()) << what;
    a.Redo();
    ASSERT_FALSE(a.CanRedo()) << what;
    while (b.CanRedo()) b.Redo();
    ASSERT_EQ(a.Text(), b.Text()) << what;
    ASSERT_EQ(SelOf(a), SelOf(b)) << what;
    ASSERT_NO_THROW(a.Check()) << what;
  }
  EXPECT_GT(stretches, 50);
}

TEST_P(SearchReplaceTest, ReplacesWhereNothingCanBeSelected) {
  Load({"ab ab"});
  TSynEditorOptions options = e.Options();
  options.Include(eoNoSelection);
  e.SetOptions(options);
  EXPECT_EQ(e.SearchAndReplace("ab", "c", {sfReplaceAll}), 2);
  EXPECT_EQ(e.Text(), "c c");
}

TEST_P(SearchReplaceTest, PromptWithoutAHandlerReplaces) {
  Load({"ab ab"});
  EXPECT_EQ(e.SearchAndReplace("ab", "c", {sfReplaceAll, sfPrompt}), 2);
  EXPECT_EQ(e.Text(), "c c");
}

TEST_P(SearchReplaceTest, FindShowsTheOccurrence) {
  std::vector<std::string> lines(200, "line");
  lines[149] = "    needle";
  Load(lines);
  e.SetFirstVisibleColumn(1);
  EXPECT_EQ(e.SearchAndReplace("needle", "", {}), 1);
  // Centred: 25 visible rows.
  EXPECT_EQ(e.TopRow(), 150 - 13 + 1);
  EXPECT_EQ(e.SelFirst(), (TBufferCoord{5, 150}));
  EXPECT_EQ(e.transients.front(), ttBefore);
  EXPECT_EQ(e.transients.back(), ttAfter);
}

TEST_P(SearchReplaceTest, NothingHappensWithoutAnEngineOrASearchText) {
  Load({"ab ab"});
  e.SetCaretAndSelection({3, 1}, {2, 1}, {3, 1});
  e.transients.clear();
  EXPECT_EQ(e.SearchAndReplace("", "x", {sfReplaceAll, sfEntireScope}), 0);
  e.SetSearchEngine(nullptr);
  try {
    e.SearchAndReplace("ab", "x", {sfReplaceAll});
    ADD_FAILURE() << "no error";
  } catch (const ESynEditError& error) {
    EXPECT_STREQ(error.what(), "No search engine has been assigned");
  }
  EXPECT_EQ(e.Text(), "ab ab");
  EXPECT_EQ(SelOf(e), (Sel{{2, 1}, {3, 1}, {3, 1}}));
  EXPECT_FALSE(e.CanUndo());
  EXPECT_TRUE(e.transients.empty());
}

TEST_P(SearchReplaceTest, ReplacesOnlyTheOccurrenceInLineMode) {
  Load({"one ab two", "ab"});
  e.SetSelectionMode(smLine);
  EXPECT_EQ(e.SearchAndReplace("ab", "c", {sfReplaceAll, sfEntireScope}), 2);
  EXPECT_EQ(e.Text(), Join({"one c two", "c"}));
  EXPECT_EQ(e.SelectionMode(), smLine);
}

INSTANTIATE_TEST_SUITE_P(BothEngines, SearchReplaceTest,
                         ::testing::Values(Kind::Plain, Kind::Regex), [](const auto& info) {
                           return info.param == Kind::Plain ? "Plain" : "Regex";
                         });

TEST(SearchReplaceEngines, WholeWordAndGroupReferences) {
  struct Case {
    bool regex;
    std::string search, replace;
    TSynSearchFlags flags;
    int want;
    std::string text;
  } cases[] = {
      {false, "id", "ID", {sfWholeWord}, 2, "ID idx ID my_id"},
      {true, "id", "ID", {sfWholeWord}, 4, "ID IDx ID my_ID"},  // not read by this engine
      {true, "(\\d+)px", "$1em", {}, 2, "id 12em idx 3em my_id"},
      {true, "([a-z]+)_([a-z]+)", "$2_$1", {}, 1, "id 12px idx 3px id_my"},
      {false, "ID", "x", {sfMatchCase}, 0, "id idx id my_id"},
      {false, "ID", "x", {}, 4, "x xx x my_x"},
  };
  for (const auto& c : cases) {
    TSynEditSearch plain;
    TSynEditRegexSearch regex;
    THeadlessSynEdit e;
    e.SetSearchEngine(c.regex ? static_cast<TSynEditSearchCustom*>(&regex) : &plain);
    e.SetText(c.search.starts_with("(") ? "id 12px idx 3px my_id" : "id idx id my_id");
    EXPECT_EQ(e.SearchAndReplace(c.search, c.replace, c.flags + TSynSearchFlags{sfReplaceAll}),
              c.want)
        << c.search;
    EXPECT_EQ(e.Text(), c.text) << c.search;
  }
}

TEST(SearchReplaceEngines, ACompileErrorClosesTheBrackets) {
  TSynEditRegexSearch regex;
  TSearchEditor e;
  e.SetSearchEngine(&regex);
  e.SetText("ab (ab");
  EXPECT_THROW(e.SearchAndReplace("(ab", "x", {sfReplaceAll}), ERegExpr);
  EXPECT_EQ(e.PaintLockCount(), 0);
  ASSERT_FALSE(e.transients.empty());
  EXPECT_EQ(e.transients.back(), ttAfter);
  EXPECT_EQ(e.Editing().UndoList().BlockCount(), 0);
  // The editor goes on working with a good pattern.
  EXPECT_EQ(e.SearchAndReplace("\\(ab", "x", {sfReplaceAll, sfEntireScope}), 1);
  EXPECT_EQ(e.Text(), "ab x");
  EXPECT_EQ(e.Editing().UndoList().BlockCount(), 0);
}

// A clock that moves by step at every look; the run is stopped at report
// stopAt (0: never).
struct TSteppingSink : TSynProgressSink {
  long long step, now = 0;
  size_t stopAt;
  std::vector<int> percents;
  int hidden = 0;
  long long Now() override { return now += step; }
  bool Progress(TSynProgressKind, int percent) override {
    return percents.push_back(percent), percents.size() == stopAt;
  }
  void Done() override { ++hidden; }
};

TEST(SearchReplaceEngines, LongReplaceAllShowsProgressAndStopsAsOneUndoStep) {
  const std::vector<std::string> lines(100, "ab ab");
  for (auto [step, stopAt, backwards] :
       {std::tuple{0, 1u, false}, {40, 0u, false}, {40, 3u, false}, {40, 3u, true}}) {
    TSynEditSearch plain;
    THeadlessSynEdit e;
    TSteppingSink sink;
    sink.step = step, sink.stopAt = stopAt;
    e.SetSearchEngine(&plain);
    e.SetProgressSink(&sink);
    e.SetText(Join(lines));
    TSynSearchFlags flags{sfReplaceAll, sfEntireScope};
    if (backwards) flags.Include(sfBackwards);
    int n = e.SearchAndReplace("ab", "x", flags);
    std::string text = e.Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), 'x'), n);
    EXPECT_EQ(sink.percents.empty(), step == 0);
    EXPECT_EQ(sink.hidden, step == 0 ? 0 : 1);
    EXPECT_TRUE(std::is_sorted(sink.percents.begin(), sink.percents.end()));
    // Stopped, the replacements made so far begin where the run began.
    EXPECT_EQ(n == 200, step == 0 || stopAt == 0) << n;
    EXPECT_EQ(e.Lines().Get(backwards ? 99 : 0), "x x");
    e.Undo();
    EXPECT_EQ(e.Text(), Join(lines));
    EXPECT_FALSE(e.CanUndo());
  }
}

TEST(SearchReplaceEngines, EditorForgetsADestroyedEngine) {
  THeadlessSynEdit e;
  auto plain = std::make_unique<TSynEditSearch>();
  TSynEditSearch other;
  e.SetSearchEngine(plain.get());
  EXPECT_EQ(e.SearchEngine(), plain.get());
  plain.reset();
  EXPECT_EQ(e.SearchEngine(), nullptr);
  // A replaced engine no longer reaches the editor.
  auto third = std::make_unique<TSynEditSearch>();
  e.SetSearchEngine(third.get());
  e.SetSearchEngine(&other);
  third.reset();
  EXPECT_EQ(e.SearchEngine(), &other);
  // An editor destroyed first unhooks itself.
  auto editor = std::make_unique<THeadlessSynEdit>();
  editor->SetSearchEngine(&other);
  editor.reset();
}

}  // namespace
