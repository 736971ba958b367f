// Random native lines against the rules spelled out plainly with the
// token helpers: the hint string, the list name and the completion item
// the scanner builds must be the same texts, whatever blanks, tags, empty
// parameters and stray brackets a line holds.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "appcore/IncludeScanner.h"
#include "appcore/ParamHintScanner.h"
#include "base/SynStrUtils.h"
#include "completion/SynCompletionProposalForm.h"

namespace ludra {
namespace {

// What a hint string shows, without blanks: its quoted items with the
// doubled backslashes made single again.
std::string HintWithoutBlanks(const std::string& hint) {
  std::string out;
  for (const std::string& part : SplitCommaText(hint))
    for (size_t i = 0; i < part.size(); ++i) {
      if (part[i] == '\\' && i + 1 < part.size()) ++i;
      if (static_cast<unsigned char>(part[i]) > ' ' || part[i] == '\0') out += part[i];
    }
  return out;
}

std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (char c : s)
    if (static_cast<unsigned char>(c) > ' ' || c == '\0') out += c;
  return out;
}

// An identifier followed by a colon.
bool IsTag(const std::string& field) {
  if (field.size() < 2 || field.back() != ':' || (field[0] >= '0' && field[0] <= '9')) return false;
  for (size_t i = 0; i + 1 < field.size(); ++i)
    if (!IsHintIdentifierChar(static_cast<unsigned char>(field[i]))) return false;
  return true;
}

// Blank-separated field 2 (3 after a tag), up to "(", after the last tag colon.
std::optional<std::string> PlainListName(const std::string& s) {
  std::string field = Tkn(s, 2);
  if (IsTag(field)) field = Tkn(s, 3);
  size_t open = field.find('(');
  std::string name = open == std::string::npos ? "" : field.substr(0, open);
  size_t colon = name.find(':');
  if (colon != std::string::npos) name = name.substr(colon + 1);
  if (name.find("operator") != std::string::npos) return std::nullopt;
  return name;
}

TEST(NativeLineRandom, TextsFollowThePlainRules) {
  const std::vector<std::string> pieces = {
      " ",     "  ",      "\t",    "Float:", "float: ", "File:", "bool: ", "operator",
      "(",     ")",       ",",     ",,",     "a",       "Name",  ":",      "x[]",
      "= 0.0", "\"s,t\"", "const", "&ref",   "{}",      "...",   "\xE9",   ";"};
  std::mt19937 rng(1418);
  int natives = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string line = rng() % 8 == 0 ? "" : "native ";
    for (int n = static_cast<int>(rng() % 12); n > 0; --n) line += pieces[rng() % pieces.size()];
    std::optional<TNativeDeclaration> d = ParseNativeLine(line);
    if (!d) continue;
    ++natives;
    const std::string s(TrimLine(line));
    // The hint shows the parameters as declared, none lost or garbled: all
    // of them, or those before an empty one.
    std::string params = WithoutBlanks(d->ParamText), shown = HintWithoutBlanks(d->HintString);
    if (params.empty())
      EXPECT_EQ(d->HintString, "\"/* No parameters expected */\"") << line;
    else
      EXPECT_TRUE(shown == params || (params.starts_with(shown) && params[shown.size()] == ','))
          << line << " -> " << d->HintString;
    EXPECT_EQ(d->ListName, PlainListName(s)) << line;
    EXPECT_EQ(d->ItemText, "native \\column{}\\style{+B}" + d->CompletionName + "\\style{-B}(" +
                               d->ParamText + ")")
        << line;
  }
  EXPECT_GT(natives, 3000);
}

// A file's lists hold, native by native, what its lines parse to.
TEST(NativeLineRandom, FileListsHoldEachParsedNative) {
  std::mt19937 rng(18);
  const std::vector<std::string> lines = {
      "native Beep(freq, ms);", "native Float:halve(Float:x)", "native  two(a,b)",
      "forward x();",           "native operator+(a, b);",     "native bool: ok(,x)",
      "  native\tTab(a)",       "native Text:make(const s[])", "native nothing()"};
  for (int round = 0; round < 50; ++round) {
    std::string text;
    std::vector<std::string> used;
    for (int n = static_cast<int>(rng() % 20); n > 0; --n) {
      used.push_back(lines[rng() % lines.size()]);
      text += used.back() + (rng() % 2 ? "\r\n" : "\n");
    }
    TIncludeScan scan;
    AddIncludeFile(scan, "f.inc", text);
    int i = 0, row = 3;
    std::set<std::string> seen;
    for (const std::string& line : used) {
      std::optional<TNativeDeclaration> d = ParseNativeLine(line);
      if (!d) continue;
      // A declaration met before gives no second entry, only its row.
      if (seen.insert(d->CompletionName + "|" + d->HintString).second) {
        ASSERT_LT(i, scan.NameList.Count());
        EXPECT_EQ(scan.NameList.Get(i), d->CompletionName);
        EXPECT_EQ(scan.InsertList.Get(i), d->CompletionName);
        EXPECT_EQ(scan.ItemList.Get(i), d->ItemText);
        EXPECT_EQ(scan.ParamList.Get(i), d->HintString);
        ++i;
      }
      if (!d->ListName) continue;
      ASSERT_LT(row, static_cast<int>(scan.Rows.size()));
      EXPECT_EQ(scan.Rows[row], *d->ListName);
      EXPECT_EQ(scan.InfoList.Get(row), "[f.inc]  " + std::string(TrimLine(line)));
      ++row;
    }
    EXPECT_EQ(scan.NameList.Count(), i);
    EXPECT_EQ(static_cast<int>(scan.Rows.size()), row);
  }
}

// A scan that keeps the native lines and fills the lists later ends with the
// same lists as one that fills them at once, whatever lines and line ends.
TEST(NativeLineRandom, ListsFilledLaterEqualThoseFilledAtOnce) {
  const std::vector<std::string> lines = {"native Beep(freq, ms);",
                                          "native Float:halve(Float:x)",
                                          "  native  two(a,b)  ",
                                          "forward x();",
                                          "native operator+(a, b);",
                                          "native bool: ok(,x)",
                                          "\tnative\tTab(a)",
                                          "native",
                                          "native Text:make(const s[])",
                                          "Native N();",
                                          "native nothing()",
                                          "/// doc",
                                          "/** doc */",
                                          "native long(a,",
                                          "  b);",
                                          "native \xE9t\xE9(\"a,b\", c)",
                                          "",
                                          "native x(y",
                                          "   "};
  const std::vector<std::string> ends = {"\n", "\r\n", "\r"};
  auto items = [](const TStringList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
    return out;
  };
  std::mt19937 rng(1818);
  for (int round = 0; round < 200; ++round) {
    TIncludeScan now, later;
    for (int file = static_cast<int>(rng() % 4); file >= 0; --file) {
      std::string text;
      for (int n = static_cast<int>(rng() % 30); n > 0; --n)
        text += lines[rng() % lines.size()] + ends[rng() % ends.size()];
      if (rng() % 2) text += lines[rng() % lines.size()];  // no end on the last line
      std::string name = "f" + std::to_string(file) + ".inc";
      AddIncludeFile(now, name, text);
      AddIncludeFile(later, name, text, TNativeListFill::Later);
    }
    EXPECT_TRUE(now.NativeLines.empty());
    EXPECT_EQ(later.NameList.Count(), 0);
    EXPECT_EQ(later.Rows, now.Rows);
    EXPECT_EQ(items(later.InfoList), items(now.InfoList));
    FillNativeLists(later);
    EXPECT_TRUE(later.NativeLines.empty());
    EXPECT_EQ(items(later.ItemList), items(now.ItemList)) << round;
    EXPECT_EQ(items(later.InsertList), items(now.InsertList)) << round;
    EXPECT_EQ(items(later.NameList), items(now.NameList)) << round;
    EXPECT_EQ(items(later.ParamList), items(now.ParamList)) << round;
    EXPECT_EQ(later.NameDocs, now.NameDocs) << round;
    // A second fill adds nothing.
    FillNativeLists(later);
    EXPECT_EQ(later.NameList.Count(), now.NameList.Count());
  }
}

}  // namespace
}  // namespace ludra
