// Search and replace: the editor hands each line of the scope to the
// attached search engine, selects and shows every occurrence it visits and
// replaces it when asked to.
#include <utility>

#include "SynEdit.h"
#include "SynExceptions.h"

namespace ludra {

void TCustomSynEdit::SetSearchEngine(TSynEditSearchCustom* value) {
  if (value == searchEngine_) return;
  if (searchEngine_) searchEngine_->RemoveFreeNotification(this);
  searchEngine_ = value;
  if (searchEngine_)
    searchEngine_->FreeNotification(this,
                                    [this](TSynEditSearchCustom*) { searchEngine_ = nullptr; });
}

TSynReplaceAction TCustomSynEdit::DoOnReplaceText(const std::string& aSearch,
                                                  const std::string& aReplace, int line,
                                                  int column) {
  // A handler that leaves the answer alone cancels.
  TSynReplaceAction action = raCancel;
  if (OnReplaceText) OnReplaceText(this, aSearch, aReplace, line, column, action);
  return action;
}

int TCustomSynEdit::SearchAndReplace(const std::string& aSearch, const std::string& aReplace,
                                     TSynSearchFlags options) {
  if (!searchEngine_) throw ESynEditError(SNoSearchEngine);
  if (aSearch.empty()) return 0;
  if (!HasSelection()) options.Exclude(sfSelectedOnly);
  const bool backwards = options.Contains(sfBackwards);
  const bool selectedOnly = options.Contains(sfSelectedOnly);
  const bool replace = options.Contains(sfReplace) || options.Contains(sfReplaceAll);

  TBufferCoord scopeFirst, scopeLast;
  if (selectedOnly) {
    scopeFirst = SelFirst();
    scopeLast = SelLast();
    if (selectionMode_ == smLine) {
      scopeFirst.Char = 1;
      scopeLast.Char = LineLength(scopeLast.Line) + 1;
    } else if (selectionMode_ == smColumn && scopeFirst.Char > scopeLast.Char) {
      std::swap(scopeFirst.Char, scopeLast.Char);
    }
  } else {
    int count = lines_->Count();
    scopeFirst = {1, 1};
    scopeLast = {LineLength(count) + 1, count};
    if (!options.Contains(sfEntireScope)) (backwards ? scopeLast : scopeFirst) = CaretPos();
  }
  // The column and line tests describe a selected block. A scope that runs
  // from the caret or over the whole text is a stretch of text in any mode:
  // testing it by columns would hide occurrences, and passing everything in
  // line mode would find the occurrence before the caret again and again.
  const TSynSelectionMode rangeMode = selectedOnly ? selectionMode_ : smNormal;
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

  TSynEditSearchCustom& engine = *searchEngine_;
  engine.SetSearchOptions(options);
  engine.SetPattern(aSearch);
  int result = 0;
  bool replaceAll = options.Contains(sfReplaceAll);
  bool prompt = options.Contains(sfPrompt);
  bool blockOpen = false;
  DoOnPaintTransient(ttBefore);
  if (replaceAll) {
    BeginPaintLock();
    if (!prompt) {
      BeginUndoBlock();
      blockOpen = true;
    }
  }
  auto close = [&] {
    if (replaceAll) EndPaintLock();
    if (blockOpen) EndUndoBlock();
    DoOnPaintTransient(ttAfter);
  };

  try {
    const int step = backwards ? -1 : 1;
    bool done = false;
    for (int line = backwards ? scopeLast.Line : scopeFirst.Line;
         !done && line >= scopeFirst.Line && line <= scopeLast.Line; line += step) {
      int k = engine.FindAllInLine(lines_->Get(line - 1));
      int lineShift = 0;
      for (int i = backwards ? engine.MatchCount() - 1 : 0; k > 0; --k, i += step) {
        int pos = engine.MatchPosition(i) + lineShift;
        int len = engine.MatchLength(i);
        if (!inRange(line, pos, len)) continue;
        ++result;
        // One notice for the whole move; the detour over the line start
        // scrolls the occurrence into view from the left.
        WithPaintLock(*this, [&] {
          SetSelFrom({pos, line});
          InternalSetCaretPos({1, line}, false);
          EnsureCaretVisible(true);
          SetSelTo({pos + len, line});
          InternalSetCaretPos({pos + len, line});
          if (backwards) InternalSetCaretPos(SelFirst());
        });
        if (!replace) {
          done = true;
          break;
        }
        TSynReplaceAction action = raReplace;
        if (prompt && OnReplaceText) action = DoOnReplaceText(aSearch, aReplace, line, pos);
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
              BeginPaintLock();
            }
            prompt = false;
            if (!blockOpen) {
              BeginUndoBlock();
              blockOpen = true;
            }
          }
          std::string matched(lines_->GetView(line - 1).substr(pos - 1, len));
          std::string text = engine.ReplacementText(matched, aReplace);
          // Only the occurrence is replaced, whatever the selection shows:
          // in line mode it is whole lines, with eoNoSelection nothing.
          TSynSelectionMode mode = selectionMode_;
          selectionMode_ = smNormal;
          selFrom_ = {pos, line};
          selTo_ = {pos + len, line};
          try {
            SetSelectedText(text);
          } catch (...) {
            selectionMode_ = mode;
            throw;
          }
          selectionMode_ = mode;
          TBufferCoord after = CaretPos();
          if (backwards) {
            // Before the replacement, so that the next backward search does
            // not meet the new text.
            InternalSetCaretPos({pos, line});
          } else {
            // The rest of the line now starts at the caret; a replacement
            // with line breaks moves it to a later line.
            int lastReplaceLength = after.Char - pos;
            int shift = lastReplaceLength - len;
            int lineDelta = after.Line - line;
            if (shift != 0 || lineDelta != 0) {
              lineShift += shift;
              // A column scope ends at a column, not at a place in the text.
              bool growEnd = line == scopeLast.Line && selectionMode_ != smColumn;
              scopeLast.Line += lineDelta;
              if (growEnd) {
                scopeLast.Char += shift;
                SetSelTo(scopeLast);
              }
              line = after.Line;
            }
          }
        }
        if (!replaceAll) {
          done = true;
          break;
        }
      }
    }
  } catch (...) {
    close();
    throw;
  }
  close();
  return result;
}

}  // namespace ludra
