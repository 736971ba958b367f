// Feeds random lines and starting states to the C-family highlighter and
// checks what every caller relies on: the tokens cover each line exactly, in
// order, the scan reaches the line end, kinds and attributes agree, only the
// five real states come out, and a line scanned again from its stored seed
// gives the same tokens, also when resumed at a token boundary inside it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/SynHighlighterCpp.h"

using namespace ludra;

namespace {

void Fail(const char* what, std::string_view line) {
  std::fprintf(stderr, "highlight invariant broken: %s (line of %zu bytes)\n", what, line.size());
  std::abort();
}

struct Tok {
  int kind;
  int start;
  int length;
};

TSynHighlighterAttributes* AttributeOf(const TSynCppSyn& hl, int kind) {
  switch (kind) {
    case tokComment:
      return hl.CommentAttri();
    case tokDirective:
      return hl.DirecAttri();
    case tokIdentifier:
      return hl.IdentifierAttri();
    case tokKeyword:
      return hl.KeyAttri();
    case tokNumber:
      return hl.NumberAttri();
    case tokSpace:
      return hl.SpaceAttri();
    case tokString:
      return hl.StringAttri();
    case tokSymbol:
      return hl.SymbolAttri();
    case tokInvalid:
      return hl.InvalidAttri();
    case tokChar:
      return hl.CharAttri();
    case tokFloat:
      return hl.FloatAttri();
    case tokHex:
      return hl.HexAttri();
    case tokOctal:
      return hl.OctalAttri();
    default:
      return nullptr;
  }
}

std::vector<Tok> Scan(TSynCppSyn& hl, std::string_view line, int index) {
  std::vector<Tok> toks;
  hl.StartLine(line, index);
  int expected = 0;
  size_t calls = 0;
  while (!hl.AtLineEnd()) {
    int start = hl.TokenStart();
    int kind = hl.TokenKind();
    std::string text = hl.TokenText();
    if (start != expected) Fail("gap or overlap", line);
    if (start + text.size() > line.size()) Fail("token past the line end", line);
    if (line.substr(static_cast<size_t>(start), text.size()) != text) Fail("token text", line);
    if (text.empty() && kind != tokDirective) Fail("empty token", line);
    if (kind < 0 || kind > tokOctal || kind == tokAsm || kind == tokEnd) Fail("kind", line);
    if (hl.TokenAttribute() != AttributeOf(hl, kind)) Fail("attribute", line);
    toks.push_back({kind, start, static_cast<int>(text.size())});
    expected = start + static_cast<int>(text.size());
    hl.NextToken();
    if (++calls > 2 * line.size() + 2) Fail("scan does not end", line);
  }
  if (expected != static_cast<int>(line.size())) Fail("tokens stop short", line);
  if (hl.TokenStart() != static_cast<int>(line.size()) || hl.TokenAttribute() != nullptr)
    Fail("line end token", line);
  TSynRange s = hl.GetRangeState();
  if (s != rsNone && s != rsInComment && s != rsInDirectiveComment && s != rsStringContinues &&
      s != rsDirectiveContinues)
    Fail("end state", line);
  return toks;
}

bool SameTokens(const std::vector<Tok>& a, const std::vector<Tok>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].kind != b[i].kind || a[i].start != b[i].start || a[i].length != b[i].length)
      return false;
  return true;
}

// Resuming at scan points taken inside the tokens of a line gives the token
// the point lies in, cut there, and then the rest of the line's tokens.
void CheckScanPoints(TSynCppSyn& hl, TSynCppSyn& resumed, std::string_view line, int index,
                     TSynRange seed, const std::vector<Tok>& whole) {
  hl.SetRangeState(seed);
  hl.StartLine(line, index);
  hl.ScanToLineEnd();
  const TSynRange endState = hl.GetRangeState();
  hl.SetRangeState(seed);
  hl.StartLine(line, index);
  for (size_t current = 0; !hl.AtLineEnd() && current < 64; ++current, hl.NextToken()) {
    const Tok& t = whole[current];
    for (int pos : {t.start, t.start + t.length / 2}) {
      TSynScanPoint point;
      if (!hl.GetScanPoint(pos, point)) {
        if (t.length > 0) Fail("no scan point inside a token", line);
        continue;
      }
      if (point.TokenEnd != t.start + t.length) Fail("scan point's token end", line);
      resumed.SetRangeState(rsNone);
      resumed.StartLineAt(line, index, point);
      if (resumed.TokenStart() != pos || resumed.TokenKind() != t.kind ||
          resumed.GetRangeState() != hl.GetRangeState())
        Fail("resumed token differs", line);
      resumed.NextToken();
      for (size_t k = current + 1; k < whole.size(); ++k) {
        if (resumed.AtLineEnd() || resumed.TokenStart() != whole[k].start ||
            resumed.TokenKind() != whole[k].kind)
          Fail("resumed scan differs", line);
        resumed.NextToken();
      }
      if (!resumed.AtLineEnd() || resumed.GetRangeState() != endState)
        Fail("resumed scan ends differently", line);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TSynCppSyn chain;
  static TSynCppSyn single;
  if (size == 0) return 0;
  // The first byte picks the starting state: the real ones and a few others.
  static const TSynRange kStates[] = {
      rsNone, rsInComment, rsInDirectiveComment, rsStringContinues, rsDirectiveContinues, 2, 9, -1};
  TSynRange start = kStates[data[0] % 8];
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  std::vector<std::string_view> lines;
  size_t from = 0;
  for (;;) {
    size_t eol = text.find('\n', from);
    if (eol == std::string_view::npos) {
      lines.push_back(text.substr(from));
      break;
    }
    lines.push_back(text.substr(from, eol - from));
    from = eol + 1;
  }

  std::vector<TSynRange> seeds;
  std::vector<std::vector<Tok>> scans;
  chain.SetRangeState(start);
  for (size_t i = 0; i < lines.size(); ++i) {
    seeds.push_back(chain.GetRangeState());
    scans.push_back(Scan(chain, lines[i], static_cast<int>(i)));
  }
  // Painting scans single lines from their stored seeds, in any order.
  for (size_t i = lines.size(); i-- > 0;) {
    single.SetRangeState(seeds[i]);
    if (!SameTokens(Scan(single, lines[i], static_cast<int>(i)), scans[i]))
      Fail("rescan from the stored seed differs", lines[i]);
  }
  static TSynCppSyn pointed, resumed;
  for (size_t i = 0; i < lines.size(); ++i)
    CheckScanPoints(pointed, resumed, lines[i], static_cast<int>(i), seeds[i], scans[i]);
  return 0;
}
