// Painting the far end of long lines: the highlighter resumes near the
// visible columns instead of scanning every line from its start, and what is
// drawn is the same as with whole-line scans.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynCanvas.h"

namespace ludra::test {
namespace {

using TOp = TSynRecordingCanvas::TOp;

// Counts the bytes each line scan starts with.
class TCountingCppSyn : public TSynCppSyn {
 public:
  void StartLine(std::string_view text, int lineIndex) override {
    scanned += text.size();
    TSynCppSyn::StartLine(text, lineIndex);
  }
  void StartLineAt(std::string_view text, int lineIndex, const TSynScanPoint& point) override {
    scanned += text.size() - static_cast<size_t>(point.Position);
    TSynCppSyn::StartLineAt(text, lineIndex, point);
  }
  size_t scanned = 0;
};

// The same rules, but it never offers a place to resume: every line is
// scanned from its start, as before there were points.
class TWholeLineCppSyn : public TSynCppSyn {
 public:
  bool GetScanPoint(int, TSynScanPoint&) override { return false; }
};

struct TLongLineEditor : THeadlessSynEdit {
  explicit TLongLineEditor(TSynCppSyn& hl) {
    hl.KeyAttri()->SetForeground(clBlue);
    hl.CommentAttri()->SetForeground(clGreen);
    hl.StringAttri()->SetForeground(clRed);
    hl.NumberAttri()->SetForeground(clPurple);
    SetHighlighter(&hl);
    SetOptions(MainWindowOptions + TSynEditorOptions{eoAutoSizeMaxScrollWidth});
    focused = true;
  }
  std::vector<TOp> PaintAll() {
    canvas.Clear();
    Paint(canvas, {0, 0, clientWidth, clientHeight});
    return canvas.Ops;
  }
  TSynRecordingCanvas canvas;
};

std::string RandomCode(std::mt19937& rng, size_t size) {
  static const char* kPieces[] = {"for (i = 0; i < 10; i++) ",
                                  "\"a string\" ",
                                  "/* c */ ",
                                  "x = 0x1F + 07 + 1.5e3; ",
                                  "'c' ",
                                  "/* open ",
                                  " close */ ",
                                  "name ",
                                  "\"",
                                  "\t",
                                  "#if ",
                                  "// "};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::string text;
  while (text.size() < size) text += kPieces[pick(rng)];
  text.resize(size);
  return text;
}

TEST(PaintLongLineTest, RepaintingTheEndOfALongLineDoesNotRescanItFromItsStart) {
  TCountingCppSyn hl;
  TLongLineEditor e(hl);
  std::mt19937 rng(10);
  const size_t size = 1 << 20;
  e.SetText("// above\n" + RandomCode(rng, size));
  e.SetCaretPos({static_cast<int>(size) + 1, 2});
  e.PaintAll();  // the first paint may scan the whole line once
  ASSERT_GT(e.FirstVisibleColumn(), static_cast<int>(size) - 100);
  for (int blink = 0; blink < 5; ++blink) {
    hl.scanned = 0;
    e.PaintAll();
    EXPECT_LT(hl.scanned, 64u * 1024u) << "paint " << blink;
  }
}

TEST(PaintLongLineTest, WhatIsDrawnMatchesWholeLineScansAcrossEditsAndScrolling) {
  std::mt19937 rng(7);
  TSynCppSyn hl;
  TWholeLineCppSyn reference;
  TLongLineEditor e(hl), r(reference);
  std::string text;
  for (int line = 0; line < 3; ++line) text += RandomCode(rng, 100000 + line * 7777) + "\n";
  text += "int a; /* short line that opens a comment\n" + RandomCode(rng, 90000);
  e.SetText(text);
  r.SetText(text);
  std::uniform_int_distribution<int> column(1, 120000);
  for (int step = 0; step < 40; ++step) {
    SCOPED_TRACE(step);
    if (step % 3 == 1) {
      // An edit somewhere in a long line, typed in both editors.
      TBufferCoord at{column(rng) % 90000 + 1, 1 + step % 5};
      for (TLongLineEditor* ed : {&e, &r}) {
        ed->SetCaretPos(at);
        ed->RunCommand(ecChar, step % 2 ? '"' : '/', nullptr);
        ed->RunCommand(ecChar, '*', nullptr);
      }
    }
    int first = column(rng);
    e.SetFirstVisibleColumn(first);
    r.SetFirstVisibleColumn(first);
    ASSERT_EQ(e.FirstVisibleColumn(), r.FirstVisibleColumn());
    ASSERT_EQ(e.Lines().Text(), r.Lines().Text());
    std::vector<TOp> got = e.PaintAll(), want = r.PaintAll();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Text, want[i].Text) << i;
      EXPECT_EQ(got[i].X, want[i].X) << i;
      EXPECT_EQ(got[i].Y, want[i].Y) << i;
      EXPECT_EQ(got[i].Fg, want[i].Fg) << i;
      EXPECT_EQ(got[i].Bg, want[i].Bg) << i;
      EXPECT_EQ(got[i].Style, want[i].Style) << i;
    }
  }
}

// A long line with tabs keeps its expanded text and the columns of its
// characters between paints. After every kind of change the editor draws and
// places the caret as a new editor given the same text does.
TEST(PaintLongLineTest, LongTabbedLinesDrawAndPlaceTheCaretAsAFreshEditorAfterChanges) {
  std::mt19937 rng(14);
  TSynCppSyn hl, freshHl;
  TLongLineEditor e(hl);
  std::string text = RandomCode(rng, 70000) + "\n\tshort\n" + RandomCode(rng, 50000);
  e.SetText(text);
  std::uniform_int_distribution<int> column(1, 70000);
  for (int step = 0; step < 24; ++step) {
    SCOPED_TRACE(step);
    const int line = step % 3 == 2 ? 3 : 1;
    switch (step % 4) {
      case 1: {  // a character typed over another: the length stays
        TBufferCoord at{column(rng) % 50000 + 1, line};
        e.SetCaretPos({at.Char + 1, line});
        e.SetSelFrom(at);
        e.SetSelTo({at.Char + 1, line});
        e.RunCommand(ecChar, step % 2 ? '\t' : 'x', nullptr);
        break;
      }
      case 2: {  // the buffer changed directly, to a text of the same length
        std::string changed = e.Lines().Get(line - 1);
        std::shuffle(changed.begin(), changed.begin() + 40000, rng);
        e.Lines().Put(line - 1, changed);
        break;
      }
      case 3:
        e.SetTabWidth(step % 8 == 3 ? 8 : 4);
        break;
      default:
        break;
    }
    TBufferCoord caret{column(rng), line};
    e.SetCaretPos(caret);
    TLongLineEditor fresh(freshHl);
    fresh.SetTabWidth(e.TabWidth());
    fresh.SetText(e.Lines().Text());
    fresh.SetCaretPos(caret);
    fresh.SetFirstVisibleColumn(e.FirstVisibleColumn());
    ASSERT_EQ(e.FirstVisibleColumn(), fresh.FirstVisibleColumn());
    for (int probe = 0; probe < 20; ++probe) {
      TBufferCoord at{column(rng), 1 + probe % 3};
      ASSERT_EQ(e.BufferToDisplay(at).Column, fresh.BufferToDisplay(at).Column) << at.Char;
    }
    std::vector<TOp> got = e.PaintAll(), want = fresh.PaintAll();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Text, want[i].Text) << i;
      EXPECT_EQ(got[i].X, want[i].X) << i;
      EXPECT_EQ(got[i].Fg, want[i].Fg) << i;
    }
  }
}

}  // namespace
}  // namespace ludra::test
