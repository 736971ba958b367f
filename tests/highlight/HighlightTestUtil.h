#pragma once
// Scanning helpers shared by the highlighter tests: scan a line or a whole
// document the way the editor does, check the token invariants on the way,
// and render the result as a readable listing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/SynHighlighterCpp.h"

namespace ludra::test {

struct Token {
  int kind;
  int start;
  std::string text;
  friend bool operator==(const Token&, const Token&) = default;
};

struct LineScan {
  std::vector<Token> tokens;
  TSynRange endState = 0;
  friend bool operator==(const LineScan&, const LineScan&) = default;
};

inline const char* KindName(int kind) {
  static const char* const names[] = {"Asm",     "Comment", "Directive", "Identifier", "Keyword",
                                      "End",     "Number",  "Space",     "String",     "Symbol",
                                      "Invalid", "Char",    "Float",     "Hex",        "Octal"};
  return kind >= 0 && kind < 15 ? names[kind] : "?";
}

// Scans one line (the range state already seeded) and checks that the tokens
// cover the line exactly, in order, that every call advances (the only empty
// token being a directive cut short by a comment), and that the scan ends.
inline LineScan ScanLine(TSynCustomHighlighter& hl, std::string_view line, int index) {
  LineScan scan;
  hl.StartLine(line, index);
  int expected = 0;
  size_t calls = 0;
  const size_t limit = 2 * line.size() + 4;
  while (!hl.AtLineEnd()) {
    int start = hl.TokenStart();
    std::string text = hl.TokenText();
    int kind = hl.TokenKind();
    EXPECT_EQ(start, expected) << "gap or overlap in line " << index << ": " << line;
    EXPECT_LE(start + text.size(), line.size()) << "token past the line end: " << line;
    if (start >= 0 && start + text.size() <= line.size()) {
      EXPECT_EQ(text, line.substr(static_cast<size_t>(start), text.size()));
    }
    if (text.empty()) {
      EXPECT_EQ(kind, tokDirective) << "empty token in line " << index << ": " << line;
    }
    EXPECT_NE(kind, tokAsm);
    EXPECT_NE(hl.TokenAttribute(), nullptr);
    scan.tokens.push_back({kind, start, text});
    expected = start + static_cast<int>(text.size());
    hl.NextToken();
    if (++calls > limit) {
      ADD_FAILURE() << "scanner does not reach the line end: " << line;
      break;
    }
  }
  EXPECT_EQ(expected, static_cast<int>(line.size())) << "tokens stop short: " << line;
  EXPECT_EQ(hl.TokenStart(), static_cast<int>(line.size()));
  EXPECT_EQ(hl.TokenKind(), tokEnd);
  EXPECT_EQ(hl.TokenAttribute(), nullptr);
  EXPECT_EQ(hl.TokenText(), "");
  scan.endState = hl.GetRangeState();
  return scan;
}

// The editor's full scan: state reset, then every line seeded by the one before.
inline std::vector<LineScan> ScanDocument(TSynCustomHighlighter& hl,
                                          const std::vector<std::string>& lines) {
  std::vector<LineScan> result;
  hl.ResetRangeState();
  for (size_t i = 0; i < lines.size(); ++i)
    result.push_back(ScanLine(hl, lines[i], static_cast<int>(i)));
  return result;
}

// Bytes outside printable ASCII appear as \xNN so the listing stays plain text.
inline std::string Printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out;
}

inline std::string Listing(const std::vector<LineScan>& scans) {
  std::string out;
  for (size_t i = 0; i < scans.size(); ++i) {
    out += "line " + std::to_string(i + 1) + "\n";
    for (const Token& t : scans[i].tokens)
      out += "  " + std::string(KindName(t.kind)) + " \"" + Printable(t.text) + "\"\n";
    out += "  -> state " + std::to_string(scans[i].endState) + "\n";
  }
  return out;
}

// The tokens of one line as "Kind:text" pieces, for compact table tests.
inline std::vector<std::string> Pieces(const LineScan& scan) {
  std::vector<std::string> out;
  for (const Token& t : scan.tokens) out.push_back(std::string(KindName(t.kind)) + ":" + t.text);
  return out;
}

}  // namespace ludra::test
