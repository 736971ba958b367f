// Dragging selected text within one editor and between two, dropped files,
// and the method chains.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/SynMethodChain.h"
#include "editor/MouseEditor.h"

namespace ludra::test {
namespace {

using B = TBufferCoord;

// Drops at the left edge of a character's cell.
void DropAt(TMouseSynEdit& target, TCustomSynEdit* source, B at, TShiftState shift = {}) {
  target.DragDrop(source, TMouseSynEdit::X(at.Char), TMouseSynEdit::Y(at.Line), shift);
}

TEST(MouseDragDropTest, DropsWithinOneEditor) {
  struct Case {
    const char* name;
    B drop;
    TShiftState shift;
    std::string text;
    std::string selected;
    B caret;
  } cases[] = {
      // "one two three four", "two " selected (5..9).
      {"move after, same line", {15, 1}, {}, "one three two four", "two ", {11, 1}},
      {"move before", {1, 1}, {}, "two one three four", "two ", {1, 1}},
      {"plain drop at the end does nothing", {9, 1}, {}, "one two three four", "two ", {9, 1}},
      {"ctrl at the end duplicates", {9, 1}, {ssCtrl}, "one two two three four", "two ", {9, 1}},
      {"ctrl at the start duplicates", {5, 1}, {ssCtrl}, "one two two three four", "two ", {5, 1}},
      {"plain at the start does nothing", {5, 1}, {}, "one two three four", "two ", {5, 1}},
      {"inside does nothing", {7, 1}, {ssCtrl}, "one two three four", "two ", {7, 1}},
      {"move to the next line", {3, 2}, {}, "one three four\r\nxytwo  z", "two ", {3, 2}},
  };
  for (const Case& c : cases) {
    TMouseSynEdit e;
    e.SetText("one two three four\r\nxy z");
    e.SetCaretAndSelection({9, 1}, {5, 1}, {9, 1});
    DropAt(e, &e, c.drop, c.shift);
    EXPECT_EQ(e.Text(), c.text + (c.drop.Line == 1 ? "\r\nxy z" : "")) << c.name;
    EXPECT_EQ(e.SelectedText(), c.selected) << c.name;
    EXPECT_EQ(e.CaretPos(), c.caret) << c.name;
    e.Check();
  }
}

TEST(MouseDragDropTest, MoveBehindAMultiLineBlockKeepsPointingAtTheSameText) {
  TMouseSynEdit e;
  e.SetText("aaBB\r\nCCCC\r\nDDee ff\r\ngg");
  e.SetCaretAndSelection({3, 3}, {3, 1}, {3, 3});  // "BB\r\nCCCC\r\nDD"
  DropAt(e, &e, {6, 3});                           // before "ff"
  EXPECT_EQ(e.Text(), "aaee BB\r\nCCCC\r\nDDff\r\ngg");
  EXPECT_EQ(e.SelectedText(), "BB\r\nCCCC\r\nDD");
  EXPECT_EQ(e.CaretPos(), (B{6, 1}));
  // And once more, onto a later line.
  e.SetCaretAndSelection({5, 1}, {3, 1}, {5, 1});  // "ee"
  DropAt(e, &e, {2, 4});
  EXPECT_EQ(e.Text(), "aa BB\r\nCCCC\r\nDDff\r\ngeeg");
  EXPECT_EQ(e.CaretPos(), (B{2, 4}));
}

TEST(MouseDragDropTest, DropIsUndoneAndRedoneInOneStep) {
  TMouseSynEdit e;
  // The main window's options; the pixel helpers keep the default gutter.
  e.SetOptions(MainWindowOptions);
  e.SetText("one two three\r\nfour");
  e.SetCaretAndSelection({8, 1}, {5, 1}, {8, 1});
  DropAt(e, &e, {5, 2});
  ASSERT_EQ(e.Text(), "one  three\r\nfourtwo");
  e.Undo();
  EXPECT_EQ(e.Text(), "one two three\r\nfour");
  e.Redo();
  EXPECT_EQ(e.Text(), "one  three\r\nfourtwo");
  e.Undo();
  EXPECT_EQ(e.Text(), "one two three\r\nfour");
  EXPECT_FALSE(e.CanUndo());
  e.Check();
}

TEST(MouseDragDropTest, DropsFromAnotherEditor) {
  struct Case {
    TShiftState shift;
    std::string target;
    std::string source;
  } cases[] = {
      {{}, "xyabcz", "abc def"},  // copy by default
      {{ssShift}, "xyabcz", " def"},
      {{ssCtrl}, "xyabcz", "abc def"},
  };
  for (const Case& c : cases) {
    TMouseSynEdit source, target;
    source.SetText("abc def");
    source.SetCaretAndSelection({4, 1}, {1, 1}, {4, 1});
    target.SetText("xyz");
    DropAt(target, &source, {3, 1}, c.shift);
    EXPECT_EQ(target.Text(), c.target);
    EXPECT_EQ(source.Text(), c.source);
    EXPECT_EQ(target.SelectedText(), "abc");
    EXPECT_EQ(target.CaretPos(), (B{3, 1}));
    // Each editor undoes its own part in one step.
    target.Undo();
    EXPECT_EQ(target.Text(), "xyz");
    source.Undo();
    EXPECT_EQ(source.Text(), "abc def");
  }
}

TEST(MouseDragDropTest, ReadOnlyTargetOrEmptySourceChangesNothing) {
  TMouseSynEdit source, target;
  source.SetText("abc");
  target.SetText("xyz");
  DropAt(target, &source, {2, 1});  // nothing selected
  source.SetCaretAndSelection({4, 1}, {1, 1}, {4, 1});
  target.SetReadOnly(true);
  DropAt(target, &source, {2, 1});
  EXPECT_EQ(target.Text(), "xyz");
  bool accept = false;
  TCursor cursor = crDefault;
  target.DragOver(&source, 50, 5, TCustomSynEdit::dsDragMove, {}, accept, cursor);
  EXPECT_FALSE(accept);
}

TEST(MouseDragDropTest, DragOverMovesTheCaretAndPicksTheCursor) {
  TMouseSynEdit source, target;
  source.SetText("abc");
  target.SetText("xyz\r\nuvw");
  bool accept = false;
  TCursor cursor = crDefault;
  target.DragOver(&source, TMouseSynEdit::X(3), TMouseSynEdit::Y(2), TCustomSynEdit::dsDragMove, {},
                  accept, cursor);
  EXPECT_TRUE(accept);
  EXPECT_EQ(cursor, crDrag);
  EXPECT_EQ(target.CaretPos(), (B{3, 2}));
  target.DragOver(&source, TMouseSynEdit::X(2), TMouseSynEdit::Y(1), TCustomSynEdit::dsDragMove,
                  {ssCtrl}, accept, cursor);
  EXPECT_EQ(cursor, crMultiDrag);
  EXPECT_EQ(target.CaretPos(), (B{2, 1}));
}

TEST(MouseDragDropTest, DragWithinTheSourceScrollsAndReturnsOnLeaving) {
  TSynManualClock clock;
  TMouseSynEdit e(&clock);
  e.SetText(NumberedLines(100));
  e.SetCaretAndSelection({5, 2}, {1, 2}, {5, 2});
  e.Press(TMouseSynEdit::X(2), TMouseSynEdit::Y(2));
  e.Move(TMouseSynEdit::X(2), TMouseSynEdit::Y(5));
  ASSERT_TRUE(e.Dragging());
  bool accept = false;
  TCursor cursor = crDefault;
  e.DragOver(&e, TMouseSynEdit::X(4), 25 * 20 + 3, TCustomSynEdit::dsDragMove, {}, accept, cursor);
  EXPECT_EQ(e.CaretLine(), 25);  // limited to the visible rows
  EXPECT_TRUE(e.AutoScrollActive());
  clock.Advance(100);
  EXPECT_EQ(e.TopRow(), 2);
  e.DragOver(&e, TMouseSynEdit::X(4), 25 * 20 + 3, TCustomSynEdit::dsDragLeave, {}, accept, cursor);
  EXPECT_FALSE(e.AutoScrollActive());
  e.EndDrag();
  EXPECT_FALSE(e.Dragging());
  EXPECT_EQ(e.SelectedText(), "line");  // the selection survives a cancelled drag
}

TEST(MouseDragDropTest, DroppedFilesReachTheEventOnlyWithTheOption) {
  TMouseSynEdit e;
  std::vector<std::string> got;
  TPoint at;
  e.OnDropFiles = [&](TCustomSynEdit*, int x, int y, const TStrings& files) {
    at = {x, y};
    for (int i = 0; i < files.Count(); ++i) got.push_back(files.Get(i));
  };
  std::string longName = "/tmp/" + std::string(300, 'n') + ".pwn";
  e.DropFiles(10, 20, {"/a.pwn", longName});
  EXPECT_TRUE(got.empty());
  e.SetOptions(e.Options() + TSynEditorOptions{eoDropFiles});
  e.DropFiles(10, 20, {"/a.pwn", longName});
  EXPECT_EQ(got, (std::vector<std::string>{"/a.pwn", longName}));  // long names stay whole
  EXPECT_EQ(at, (TPoint{10, 20}));
}

// --- Method chains ---------------------------------------------------------------

struct TEntry {
  std::vector<std::string>* log;
  std::string name;
  bool fail = false;
  static void Notify(void* o, void* sender) {
    auto* e = static_cast<TEntry*>(o);
    e->log->push_back(e->name + (sender ? "+" : "-"));
    if (e->fail) throw std::runtime_error(e->name + " failed");
  }
};

TEST(MouseDragDropTest, NotifyChainFiresOldestFirstWithItsSender) {
  std::vector<std::string> log;
  int sender = 0;
  TSynNotifyEventChain chain(&sender);
  TEntry a{&log, "a"}, b{&log, "b"};
  chain.Add(&TEntry::Notify, &a);
  chain.Add(&TEntry::Notify, &b);
  chain.Add(&TEntry::Notify, &a);
  chain.Fire();
  EXPECT_EQ(log, (std::vector<std::string>{"a+", "b+", "a+"}));
  chain.Remove(&TEntry::Notify, &a);  // every matching entry
  EXPECT_EQ(chain.Count(), 1);
}

TEST(MouseDragDropTest, ChainExceptionHandlerDecidesWhetherToGoOn) {
  struct Case {
    bool handler;
    bool doContinue;
    bool handlerThrows;
    std::vector<std::string> log;
    std::string error;
  } cases[] = {
      {false, true, false, {"a-", "b-"}, "b failed"},
      {true, true, false, {"a-", "b-", "c-"}, ""},
      {true, false, false, {"a-", "b-"}, ""},
      {true,
       true,
       true,
       {"a-", "b-"},
       "TSynNotifyEventChain.DoHandleException : MUST NOT occur any kind of exception in "
       "ExceptionHandler"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    TSynNotifyEventChain chain;
    TEntry a{&log, "a"}, b{&log, "b", true}, d{&log, "c"};
    chain.Add(&TEntry::Notify, &a);
    chain.Add(&TEntry::Notify, &b);
    chain.Add(&TEntry::Notify, &d);
    std::string seen;
    if (c.handler)
      chain.OnException = [&](auto*, const std::exception& error, bool& go) {
        seen = error.what();
        if (c.handlerThrows) throw std::runtime_error("again");
        go = c.doContinue;
      };
    std::string error;
    try {
      chain.Fire();
    } catch (const std::exception& ex) {
      error = ex.what();
    }
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(error, c.error);
    if (c.handler) {
      EXPECT_EQ(seen, "b failed");
    }
  }
}

}  // namespace
}  // namespace ludra::test
