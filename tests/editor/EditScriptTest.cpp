// Random edit scripts through the real commands (typing, paste, block
// indent, replace-all, drag, undo, redo) against a plain list of lines
// edited by hand: after every step the text matches, the step's undo gives
// the text before it and its redo the text after, and Check() holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "search/SynEditSearch.h"

namespace ludra::test {
namespace {

using TLines = std::vector<std::string>;

std::string Join(const TLines& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
  return s;
}

// The reference's own edit: [from, to) replaced by text (lines split at CR LF).
void Replace(TLines& lines, TBufferCoord from, TBufferCoord to, const std::string& text) {
  std::string tail = lines[to.Line - 1].substr(to.Char - 1);
  std::string head = lines[from.Line - 1].substr(0, from.Char - 1);
  lines.erase(lines.begin() + from.Line, lines.begin() + to.Line);
  TLines pieces{head};
  for (char c : text) {
    if (c == '\n') pieces.emplace_back();
    if (c != '\r' && c != '\n') pieces.back() += c;
  }
  pieces.back() += tail;
  lines[from.Line - 1] = pieces[0];
  lines.insert(lines.begin() + from.Line, pieces.begin() + 1, pieces.end());
}

std::string Slice(const TLines& lines, TBufferCoord from, TBufferCoord to) {
  std::string s = lines[from.Line - 1].substr(from.Char - 1);
  if (from.Line == to.Line) return s.substr(0, to.Char - from.Char);
  for (int l = from.Line + 1; l < to.Line; ++l) s += "\r\n" + lines[l - 1];
  return s + "\r\n" + lines[to.Line - 1].substr(0, to.Char - 1);
}

std::string RandomText(std::mt19937& rng) {
  static const char* pieces[] = {"a", "b", "x", " ", "ab", "\r\n", "{", "ba"};
  std::string s;
  for (int n = 1 + rng() % 5; n > 0; --n) s += pieces[rng() % 8];
  return s;
}

class TScript {
 public:
  explicit TScript(unsigned seed) : rng_(seed), e_(&clipboard_) {
    e_.SetOptions({eoDragDropEditing, eoTabsToSpaces});
    e_.SetTabWidth(4);
    e_.SetMaxUndo(100000);
    e_.SetSearchEngine(&engine_);
    std::string text;
    for (int n = 1 + rng_() % 6; n > 0; --n) text += RandomText(rng_);
    e_.SetText(text);
    history_.push_back(Split(e_.Text()));
  }

  // One random step; answers what it did.
  std::string Step() {
    TLines now = history_[at_];
    TBufferCoord a = Pos(now), b = Pos(now);
    TBufferCoord first = std::min(a, b), last = std::max(a, b);
    std::string did;
    bool recorded = false;  // a step even where the text comes out the same
    switch (rng_() % 9) {
      case 0: {  // a typed character, over a selection too
        char c = "ab{}x"[rng_() % 5];
        e_.SetCaretAndSelection(b, a, b);
        e_.RunCommand(ecChar, c, nullptr);
        Replace(now, first, last, std::string(1, c));
        did = "type";
        recorded = true;
        break;
      }
      case 1:  // Enter, without auto-indent a plain split
        e_.SetCaretPos(a);
        e_.RunCommand(ecLineBreak, 0, nullptr);
        Replace(now, a, a, "\r\n");
        did = "enter";
        break;
      case 2:  // Backspace
        e_.SetCaretPos(a);
        e_.RunCommand(ecDeleteLastChar, 0, nullptr);
        if (a.Char > 1)
          Replace(now, {a.Char - 1, a.Line}, a, "");
        else if (a.Line > 1)
          Replace(now, {static_cast<int>(now[a.Line - 2].size()) + 1, a.Line - 1}, a, "");
        did = "backspace";
        break;
      case 3: {
        std::string text = RandomText(rng_);
        clipboard_.SetPlainText(text);
        e_.SetCaretAndSelection(b, a, b);
        e_.PasteClipboard();
        Replace(now, first, last, text);
        did = "paste";
        recorded = true;
        break;
      }
      case 4:
      case 5: {  // block indent and unindent by four blanks
        bool indent = rng_() % 2;
        e_.SetCaretAndSelection(b, a, b);
        e_.RunCommand(indent ? ecBlockIndent : ecBlockUnindent, 0, nullptr);
        int end = last.Char == 1 && last.Line > first.Line ? last.Line - 1 : last.Line;
        for (int l = first.Line; a != b && l <= end; ++l) {
          std::string& s = now[l - 1];
          if (indent)
            s.insert(0, 4, ' ');
          else
            s.erase(0, std::min<size_t>(4, s.find_first_not_of(' ')));
        }
        did = indent ? "indent" : "unindent";
        break;
      }
      case 6: {
        static const char* patterns[] = {"a", "ab", " ", "x"};
        static const char* replacements[] = {"", "Q", "ba", "x x"};
        std::string p = patterns[rng_() % 4], r = replacements[rng_() % 4];
        e_.SearchAndReplace(p, r, {sfReplaceAll, sfEntireScope, sfMatchCase});
        for (std::string& s : now)
          for (size_t i = s.find(p); i != std::string::npos; i = s.find(p, i + r.size()))
            s.replace(i, p.size(), r);
        did = "replace " + p + " by " + r;
        break;
      }
      case 7: {  // a selection dragged elsewhere in the editor
        TBufferCoord to = Pos(now);
        e_.SetCaretAndSelection(b, a, b);
        e_.SetTopRow(to.Line);
        e_.SetFirstVisibleColumn(std::max(1, to.Char - 40));
        TPoint px = e_.RowColumnToPixels(e_.BufferToDisplay(to));
        e_.DragDrop(&e_, px.X, px.Y, {});
        if (first < last && (to < first || last < to)) {
          std::string moved = Slice(now, first, last);
          Replace(now, first, last, "");
          if (last < to) {
            if (to.Line == last.Line) to.Char = first.Char + (to.Char - last.Char);
            to.Line -= last.Line - first.Line;
          }
          Replace(now, to, to, moved);
          recorded = true;
        }
        did = "drag";
        break;
      }
      default:  // undo or redo, against the reference's own history
        if (rng_() % 2) {
          e_.Undo();
          if (at_ > 0) --at_;
          return "undo";
        }
        e_.Redo();
        if (at_ + 1 < history_.size()) ++at_;
        return "redo";
    }
    if (recorded || now != history_[at_]) {
      history_.resize(++at_);
      history_.push_back(now);
    }
    return did;
  }

  // The text, the last step's undo round trip and the invariants.
  void Verify(const std::string& step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(e_.Text(), Join(history_[at_]));
    ASSERT_NO_THROW(e_.Check());
    EXPECT_EQ(e_.CanUndo(), at_ > 0);
    if (at_ == 0 || step == "undo" || step == "redo") return;
    e_.Undo();
    ASSERT_EQ(e_.Text(), Join(history_[at_ - 1]));
    ASSERT_NO_THROW(e_.Check());
    e_.Redo();
    ASSERT_EQ(e_.Text(), Join(history_[at_]));
  }

 private:
  static TLines Split(const std::string& text) {
    TLines lines{std::string()};
    Replace(lines, {1, 1}, {1, 1}, text);
    return lines;
  }
  TBufferCoord Pos(const TLines& lines) {
    int line = 1 + static_cast<int>(rng_() % lines.size());
    return {1 + static_cast<int>(rng_() % (lines[line - 1].size() + 1)), line};
  }

  std::mt19937 rng_;
  TSynMemoryClipboard clipboard_;
  TSynEditSearch engine_;
  THeadlessSynEdit e_;
  std::vector<TLines> history_;
  size_t at_ = 0;
};

TEST(EditScriptTest, EveryStepMatchesThePlainTextAndUndoesExactly) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TScript script(seed);
    for (int step = 0; step < 300; ++step) {
      std::string did = script.Step();
      script.Verify("step " + std::to_string(step) + ": " + did);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace ludra::test
