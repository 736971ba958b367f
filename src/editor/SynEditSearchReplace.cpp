// Search and replace: hands each line of the scope to the search engine,
// shows every occurrence it visits and replaces it through the editing
// component when asked to. A replace-all without prompts is one undo step,
// reports its progress and can be stopped between two replacements.
#include "editor/SynEditSearchReplace.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/SynBracket.h"
#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditEditing.h"
#include "platform/SynProgress.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

TSynSearchReplace::TSynSearchReplace(TSynEditSearchCustom& engine, TSynEditing& editing,
                                     const TSynCaretSelection& caret,
                                     const TSynEditorOptions& options, THost& host,
                                     TSynProgressSink* progressSink)
    : engine_(engine),
      editing_(editing),
      caret_(caret),
      options_(options),
      host_(host),
      progressSink_(progressSink) {}

int TSynSearchReplace::Run(const std::string& aSearch, const std::string& aReplace,
                           TSynSearchFlags options) {
  if (aSearch.empty()) return 0;
  if (!caret_.HasSelection()) options.Exclude(sfSelectedOnly);
  const bool backwards = options.Contains(sfBackwards);
  const bool selectedOnly = options.Contains(sfSelectedOnly);
  const bool replace = options.Contains(sfReplace) || options.Contains(sfReplaceAll);

  TBufferCoord scopeFirst, scopeLast;
  if (selectedOnly) {
    scopeFirst = caret_.First();
    scopeLast = caret_.Last();
    if (caret_.Mode == smLine) {
      scopeFirst.Char = 1;
      scopeLast.Char = editing_.LineLength(scopeLast.Line) + 1;
    } else if (caret_.Mode == smColumn && scopeFirst.Char > scopeLast.Char) {
      std::swap(scopeFirst.Char, scopeLast.Char);
    }
  } else {
    int count = editing_.Lines().Count();
    scopeFirst = {1, 1};
    scopeLast = {editing_.LineLength(count) + 1, count};
    if (!options.Contains(sfEntireScope)) (backwards ? scopeLast : scopeFirst) = caret_.CaretPos();
  }
  // The column and line tests describe a selected block. A scope that runs
  // from the caret or over the whole text is a stretch of text in any mode:
  // testing it by columns would hide occurrences, and passing everything in
  // line mode would find the occurrence before the caret again and again.
  const TSynSelectionMode rangeMode = selectedOnly ? caret_.Mode : smNormal;
  auto inRange = [&](int line, int pos, int len) {
    switch (rangeMode) {
      case smLine:
        return true;
      case smColumn:
        return scopeLast.Char <= scopeFirst.Char ||
               (pos >= scopeFirst.Char && pos + len <= scopeLast.Char);
      default:
        return !(line == scopeFirst.Line && pos < scopeFirst.Char) &&
               !(line == scopeLast.Line && pos + len > scopeLast.Char);
    }
  };

  TSynEditSearchCustom& engine = engine_;
  engine.SetSearchOptions(options);
  engine.SetPattern(aSearch);
  int result = 0;
  bool replaceAll = options.Contains(sfReplaceAll);
  bool prompt = options.Contains(sfPrompt);
  bool blockOpen = false;
  // Paces a replace-all that runs without asking; it is declared before
  // the closing bracket, so its window goes after the repaint.
  std::optional<TSynProgressGate> progress;
  host_.PaintTransient(ttBefore);
  if (replaceAll) {
    host_.BeginPaintLock();
    if (!prompt) {
      editing_.BeginUndoBlock();
      blockOpen = true;
      progress.emplace(progressSink_);
    }
  }
  // A replace-all (or a prompt answered "all") holds the paint lock and one
  // undo block to the end, however the search ends.
  auto close = TBracket([&] {
    auto transient = TBracket([this] { host_.PaintTransient(ttAfter); });
    auto block = TBracket([&] {
      if (blockOpen) editing_.EndUndoBlock();
    });
    if (replaceAll) host_.EndPaintLock();
  });

  // Only the occurrence is replaced, whatever the selection shows: in line
  // mode it is whole lines, with eoNoSelection nothing.
  auto replaceOccurrence = [&](int line, int pos, int len, const std::string& text) {
    if (host_.ReadOnly()) return;
    auto step = editing_.EditStep();
    editing_.ReplaceRange({pos, line}, {pos + len, line}, smNormal, text, smNormal, ckInsert);
  };

  // Forwards the rest of the line now starts at the caret; a replacement
  // with line breaks moves it to a later line.
  auto afterReplacement = [&](int& line, int pos, int len, int& lineShift) {
    TBufferCoord after = caret_.CaretPos();
    int lastReplaceLength = after.Char - pos;
    int shift = lastReplaceLength - len;
    int lineDelta = after.Line - line;
    if (shift == 0 && lineDelta == 0) return;
    lineShift += shift;
    // A column scope ends at a column, not at a place in the text.
    bool growEnd = line == scopeLast.Line && caret_.Mode != smColumn;
    scopeLast.Line += lineDelta;
    if (growEnd) {
      scopeLast.Char += shift;
      host_.SetSelTo(scopeLast);
    }
    line = after.Line;
  };

  // Forwards in a replace-all without prompts, the occurrences after match
  // first up to the line's last one in the scope are replaced as one stretch
  // of the line: a line with thousands of occurrences is stored and recorded
  // a few times rather than twice per occurrence. Text, count, scope and undo
  // step come out as one by one would make them; the line's first and last
  // occurrences still go one by one, so caret, selection and what undo
  // restores are theirs. Fills where the stretch lies in the line as it is
  // and what replaces it; answers the number of matches taken (0: none).
  struct TStretch {
    int Pos = 0;
    int Len = 0;
    std::string Text;
  };
  auto planStretch = [&](int line, int first, int lastMatch, int lineShift,
                         TStretch& stretch) -> int {
    // Whether an occurrence is in the scope must not depend on the lengths
    // of the replacements before it on the line: true unless a column decides.
    if (rangeMode == smColumn ||
        (line == scopeLast.Line && rangeMode == smNormal && caret_.Mode == smColumn))
      return 0;
    std::string_view now = editing_.Lines().GetView(line - 1);
    const int lineLength = static_cast<int>(now.size());
    const bool trim = options_.Contains(eoTrimTrailingSpaces);
    // Blanks at the end are kept by deletions and trimmed by the first
    // insertion; the stretch would trim them where one by one might not.
    if (trim && lineLength > 0 && (now.back() == ' ' || now.back() == '\t')) return 0;
    struct TMatch {
      int pos;  // in the line as it is now
      int len;
      bool inRange;
    };
    std::vector<TMatch> matches;
    int lastInRange = -1, prevEnd = 1;
    for (int j = first; j <= lastMatch; ++j) {
      int pos = engine.MatchPosition(j) + lineShift;
      int len = engine.MatchLength(j);
      if (pos < prevEnd || pos - 1 + len > lineLength) break;
      prevEnd = pos + len;
      bool in = inRange(line, pos, len);
      if (in) lastInRange = static_cast<int>(matches.size());
      matches.push_back({pos, len, in});
    }
    // The stretch ends before the last occurrence, and with trimming before
    // one that reaches the line's end (its blanks would be trimmed).
    int taken = 0, count = 0;
    for (; taken < lastInRange; ++taken) {
      const TMatch& m = matches[taken];
      if (!m.inRange) continue;
      if (trim && m.pos - 1 + m.len >= lineLength) break;
      ++count;
    }
    if (count < 2) return 0;
    while (!matches[taken - 1].inRange) --taken;
    int from = 0;
    while (!matches[from].inRange) ++from;
    stretch.Pos = matches[from].pos;
    stretch.Len = matches[taken - 1].pos + matches[taken - 1].len - stretch.Pos;
    stretch.Text.clear();
    for (int t = from, at = stretch.Pos; t < taken; ++t) {
      const TMatch& m = matches[t];
      if (!m.inRange) continue;
      stretch.Text += now.substr(at - 1, m.pos - at);
      stretch.Text += engine.ReplacementText(std::string(now.substr(m.pos - 1, m.len)), aReplace);
      at = m.pos + m.len;
    }
    result += count;
    return taken;
  };

  const int step = backwards ? -1 : 1;
  // True when the user stopped the replace-all; checked between
  // occurrences, so every replacement is whole.
  auto stopRequested = [&](int line) {
    if (!progress) return false;
    long long total = scopeLast.Line - scopeFirst.Line + 1;
    long long done = backwards ? scopeLast.Line - line : line - scopeFirst.Line;
    return progress->Step(done, total);
  };
  bool done = false;
  for (int line = backwards ? scopeLast.Line : scopeFirst.Line;
       !done && line >= scopeFirst.Line && line <= scopeLast.Line; line += step) {
    if (stopRequested(line)) break;
    int k = engine.FindAllInLine(editing_.Lines().Get(line - 1));
    const int foundLine = line;
    int lineShift = 0;
    for (int i = backwards ? engine.MatchCount() - 1 : 0; k > 0; --k, i += step) {
      int pos = engine.MatchPosition(i) + lineShift;
      int len = engine.MatchLength(i);
      if (!inRange(line, pos, len)) continue;
      if (stopRequested(line)) {
        done = true;
        break;
      }
      ++result;
      // One notice for the whole move; the detour over the line start
      // scrolls the occurrence into view from the left.
      host_.ShowOccurrence({pos, line}, {pos + len, line}, backwards);
      if (!replace) {
        done = true;
        break;
      }
      TSynReplaceAction action = raReplace;
      if (prompt) action = host_.AskReplace(aSearch, aReplace, line, pos);
      if (action == raCancel) {
        done = true;
        break;
      }
      if (action == raSkip) {
        // Forwards the caret stays after the skipped occurrence.
      } else {
        if (action == raReplaceAll) {
          if (!replaceAll) {
            replaceAll = true;
            host_.BeginPaintLock();
          }
          prompt = false;
          if (!blockOpen) {
            editing_.BeginUndoBlock();
            blockOpen = true;
          }
          if (!progress) progress.emplace(progressSink_);
        }
        std::string matched(editing_.Lines().GetView(line - 1).substr(pos - 1, len));
        std::string text = engine.ReplacementText(matched, aReplace);
        replaceOccurrence(line, pos, len, text);
        if (backwards) {
          // Before the replacement, so that the next backward search does
          // not meet the new text.
          host_.MoveCaret({pos, line}, true);
        } else {
          afterReplacement(line, pos, len, lineShift);
          TStretch stretch;
          int taken = replaceAll && !prompt && line == foundLine && k > 2
                          ? planStretch(line, i + 1, i + k - 1, lineShift, stretch)
                          : 0;
          if (taken > 0) {
            replaceOccurrence(line, stretch.Pos, stretch.Len, stretch.Text);
            afterReplacement(line, stretch.Pos, stretch.Len, lineShift);
            i += taken;
            k -= taken;
          }
        }
      }
      if (!replaceAll) {
        done = true;
        break;
      }
    }
  }
  return result;
}

}  // namespace ludra
