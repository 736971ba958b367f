// Randomized sessions of line breaks, joins and multi-line edits at places
// far apart in a document of many record blocks, with undo and redo,
// compared line by line with a plain vector of strings after every step;
// marks and bookmarks stay on the lines holding their text.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/HeadlessSynEdit.h"

namespace ludra::test {
namespace {

using TLines = std::vector<std::string>;

TLines EditorLines(const TCustomSynEdit& e) {
  TLines v;
  for (int i = 0; i < e.Lines().Count(); ++i) v.push_back(e.Lines().Get(i));
  return v;
}

// Empty when both are equal, else the first line where they differ.
std::string FirstDifference(const TLines& got, const TLines& want) {
  if (got == want) return {};
  size_t k = 0;
  while (k < got.size() && k < want.size() && got[k] == want[k]) ++k;
  auto at = [k](const TLines& v) { return k < v.size() ? "\"" + v[k] + "\"" : "none"; };
  return "line " + std::to_string(k + 1) + ": " + at(got) + " instead of " + at(want) + " (" +
         std::to_string(got.size()) + " lines, " + std::to_string(want.size()) + " wanted)";
}

// The model's own edits: (1-based) position, text with CR LF breaks.
void ModelInsert(TLines& m, TBufferCoord at, const std::string& text) {
  std::string& line = m[static_cast<size_t>(at.Line - 1)];
  std::string tail = line.substr(static_cast<size_t>(at.Char - 1));
  line.resize(static_cast<size_t>(at.Char - 1));
  size_t p = 0, row = static_cast<size_t>(at.Line - 1);
  for (;;) {
    size_t e = text.find("\r\n", p);
    m[row] += text.substr(p, e == std::string::npos ? std::string::npos : e - p);
    if (e == std::string::npos) break;
    m.insert(m.begin() + static_cast<std::ptrdiff_t>(++row), std::string());
    p = e + 2;
  }
  m[row] += tail;
}

void ModelDelete(TLines& m, TBufferCoord from, TBufferCoord to) {
  std::string head =
      m[static_cast<size_t>(from.Line - 1)].substr(0, static_cast<size_t>(from.Char - 1));
  std::string tail = m[static_cast<size_t>(to.Line - 1)].substr(static_cast<size_t>(to.Char - 1));
  m.erase(m.begin() + from.Line, m.begin() + to.Line);
  m[static_cast<size_t>(from.Line - 1)] = head + tail;
}

// tracked counts the marks whose text was still whole at the end.
void RunSession(bool wrap, unsigned seed, int& tracked) {
  std::mt19937 rng(seed);
  THeadlessSynEdit e;
  e.clientWidth = 32 + 24 * 10;  // 24 columns: most lines wrap
  e.SetOptions(e.Options() - TSynEditorOptions{eoGroupUndo});
  e.SetMaxUndo(100000);
  std::string text;
  TLines model;
  for (int i = 0; i < 3000; ++i) {
    model.push_back("<" + std::to_string(i) + ">" + std::string(static_cast<size_t>(i % 40), 'x'));
    text += model.back() + "\r\n";
  }
  e.Lines().LoadFromBytes(text);
  e.SetWordWrap(wrap);
  std::vector<TSynEditMark*> marks;
  std::vector<std::string> tags;
  // Ten bookmarks and twenty plain marks on lines all over the document,
  // each known by the tag its line starts with.
  for (int k = 0; k < 30; ++k) {
    int line = 1 + static_cast<int>(rng() % model.size());
    if (k < 10) {
      e.PlaceBookmark(k, 1, line);
      marks.push_back(e.Bookmark(k));
    } else {
      auto m = std::make_unique<TSynEditMark>(&e);
      m->SetLine(line);
      marks.push_back(m.get());
      e.Marks().Add(std::move(m));
    }
    tags.push_back("<" + std::to_string(line - 1) + ">");
  }
  // Every state reached, so undo and redo can be compared against it.
  std::vector<TLines> states{model};
  size_t current = 0;
  // A third of the edits land on or next to a marked line.
  auto randomLine = [&] {
    int count = static_cast<int>(model.size());
    if (!marks.empty() && rng() % 3 == 0) {
      int near = marks[rng() % marks.size()]->Line() + static_cast<int>(rng() % 3) - 1;
      return std::clamp(near, 1, count);
    }
    return std::uniform_int_distribution<int>(1, count)(rng);
  };
  auto lineLength = [&](int line) {
    return static_cast<int>(model[static_cast<size_t>(line - 1)].size());
  };
  for (int step = 0; step < 200; ++step) {
    unsigned op = rng() % 10;
    if (op < 7) {
      int line = randomLine();
      if (op < 3) {
        // Enter inside or at the end of a line.
        TBufferCoord at{std::uniform_int_distribution<int>(1, lineLength(line) + 1)(rng), line};
        e.SetCaretPos(at);
        e.SetSelectedText("\r\n");
        ModelInsert(model, at, "\r\n");
      } else if (op < 5) {
        // Backspace at a line start: join it to the line above.
        if (line == 1) continue;
        TBufferCoord from{lineLength(line - 1) + 1, line - 1}, to{1, line};
        e.SetCaretAndSelection(to, from, to);
        e.DeleteSelection();
        ModelDelete(model, from, to);
      } else if (op < 6 && rng() % 2) {
        // A few characters typed inside a line: its rows change in place,
        // or it gains or loses one.
        TBufferCoord at{std::uniform_int_distribution<int>(1, lineLength(line) + 1)(rng), line};
        // (ends in a letter: blanks typed at a line end are trimmed)
        std::string typed(rng() % 12, rng() % 3 ? 'y' : ' ');
        typed += 'y';
        e.SetCaretPos(at);
        e.SetSelectedText(typed);
        ModelInsert(model, at, typed);
      } else if (op < 6) {
        TBufferCoord at{std::uniform_int_distribution<int>(1, lineLength(line) + 1)(rng), line};
        std::string block = "a\r\n" + std::string(static_cast<size_t>(rng() % 60), 'b') + "\r\nc";
        e.SetCaretPos(at);
        e.SetSelectedText(block);
        ModelInsert(model, at, block);
      } else {
        int last = std::min(static_cast<int>(model.size()), line + static_cast<int>(rng() % 5));
        TBufferCoord from{std::uniform_int_distribution<int>(1, lineLength(line) + 1)(rng), line};
        TBufferCoord to{std::uniform_int_distribution<int>(1, lineLength(last) + 1)(rng), last};
        if (to < from) std::swap(from, to);
        e.SetCaretAndSelection(to, from, to);
        e.DeleteSelection();
        ModelDelete(model, from, to);
      }
      states.resize(current + 1);
      states.push_back(model);
      ++current;
    } else if (op < 9) {
      if (current == 0) continue;
      e.Undo();
      model = states[--current];
    } else {
      if (current + 1 >= states.size()) continue;
      e.Redo();
      model = states[++current];
    }
    ASSERT_NO_THROW(e.Check()) << "step " << step;
    // Lines and rows map onto each other, probed at random.
    for (int probe = 0; probe < 8; ++probe) {
      int line = randomLine();
      ASSERT_EQ(e.RowToLine(e.LineToRow(line)), line) << "step " << step;
      int row = std::uniform_int_distribution<int>(1, e.DisplayRowCount())(rng);
      int owner = e.RowToLine(row);
      ASSERT_LE(e.LineToRow(owner), row) << "step " << step;
      ASSERT_GT(e.LineToRow(owner + 1), row) << "step " << step;
    }
    ASSERT_EQ(FirstDifference(EditorLines(e), model), "") << "step " << step << ", edit " << op;
    // While a mark's tag is in the document exactly once, the mark is on
    // its line. Once the tag is cut or doubled, or its line joined to
    // another (undoing the join splits the line without its marks), the
    // mark is only kept inside the document.
    std::string all;
    for (const std::string& line : model) all += line + "\n";
    for (size_t k = 0; k < marks.size(); ++k) {
      int on = marks[k]->Line();
      ASSERT_GE(on, 1);
      ASSERT_LE(on, static_cast<int>(model.size()));
      if (tags[k].empty()) continue;
      size_t at = all.find(tags[k]);
      if (at == std::string::npos || all.find(tags[k], at + 1) != std::string::npos) {
        tags[k].clear();
        continue;
      }
      const std::string& text = model[static_cast<size_t>(on - 1)];
      ASSERT_NE(text.find(tags[k]), std::string::npos)
          << "step " << step << ", edit " << op << ": mark " << k << " of " << tags[k]
          << " on line " << on;
      if (text.compare(0, tags[k].size(), tags[k]) != 0) tags[k].clear();
    }
  }
  for (const std::string& t : tags) tracked += !t.empty();
}

TEST(LineBreakSession, FarApartEditsWithUndoAndRedoMatchAPlainVector) {
  for (bool wrap : {false, true}) {
    for (unsigned seed : {5u, 6u}) {
      SCOPED_TRACE(std::string(wrap ? "wrap" : "no wrap") + ", seed " + std::to_string(seed));
      int tracked = 0;
      RunSession(wrap, seed, tracked);
      if (HasFatalFailure()) return;
      EXPECT_GE(tracked, 10);
    }
  }
}

}  // namespace
}  // namespace ludra::test
