// Random native lines against the rules spelled out plainly with the
// token helpers: the hint string, the list name and the completion item
// the scanner builds must be the same texts, whatever blanks, tags, empty
// parameters and stray brackets a line holds.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "appcore/IncludeScanner.h"
#include "base/SynStrUtils.h"

namespace ludra {
namespace {

// Every comma-separated piece up to the first empty one, quoted with its
// comma; the last one without.
std::string PlainHintString(const std::string& paramText) {
  if (paramText.empty()) return "\"/* No parameters expected */\"";
  std::string hint;
  for (int n = 1;; ++n) {
    std::string piece = GetToken(paramText, n, ",");
    if (piece.empty()) break;
    hint += (n == 1 ? "\"" : ",\"") + piece + ",\"";
  }
  if (hint.size() >= 2 && hint[hint.size() - 2] == ',')
    hint = hint.substr(0, hint.size() - 2) + "\"";
  return hint;
}

bool IsTag(std::string field) {
  for (char& c : field)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return field == "float:" || field == "file:" || field == "bool:";
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
    EXPECT_EQ(d->HintString, PlainHintString(d->ParamText)) << line;
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
    for (const std::string& line : used) {
      std::optional<TNativeDeclaration> d = ParseNativeLine(line);
      if (!d) continue;
      ASSERT_LT(i, scan.NameList.Count());
      EXPECT_EQ(scan.NameList.Get(i), d->CompletionName);
      EXPECT_EQ(scan.InsertList.Get(i), d->CompletionName);
      EXPECT_EQ(scan.ItemList.Get(i), d->ItemText);
      EXPECT_EQ(scan.ParamList.Get(i), d->HintString);
      ++i;
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
    // A second fill adds nothing.
    FillNativeLists(later);
    EXPECT_EQ(later.NameList.Count(), now.NameList.Count());
  }
}

}  // namespace
}  // namespace ludra
