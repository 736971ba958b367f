// A handler that throws in the middle of a command: whatever notice it
// answers (a status change, a change, a repaint, a scroll, the caret), the
// paint lock, the undo block and the buffer's update bracket come back to
// zero, the editor's invariants hold, and the editor keeps working.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "editor/EditorKeys.h"
#include "editor/MouseEditor.h"
#include "highlight/SynHighlighterCpp.h"
#include "search/SynEditSearch.h"

namespace ludra::test {
namespace {

struct TInjectedFault : std::runtime_error {
  TInjectedFault() : std::runtime_error("handler failed") {}
};

// Every notice the editor gives its window and its handlers counts; the
// one numbered failAt throws.
class TFaultySynEdit : public TMouseSynEdit {
 public:
  explicit TFaultySynEdit(TSynClipboard* clipboard) : TMouseSynEdit(nullptr, clipboard) {
    OnStatusChange = [this](TCustomSynEdit*, TSynStatusChanges) { Notice(); };
    OnChange = [this](TCustomSynEdit*) { Notice(); };
  }
  void InvalidateRect(const TRect& r) override {
    THeadlessSynEdit::InvalidateRect(r);
    Notice();
  }
  void ScrollWindow(int dx, int dy) override {
    THeadlessSynEdit::ScrollWindow(dx, dy);
    Notice();
  }
  void SetScrollBar(TSynScrollBarKind bar, const TSynScrollBarInfo& info) override {
    THeadlessSynEdit::SetScrollBar(bar, info);
    Notice();
  }
  void SetSystemCaret(int x, int y, bool visible) override {
    THeadlessSynEdit::SetSystemCaret(x, y, visible);
    Notice();
  }
  void Notice() {
    if (++notices == failAt) throw TInjectedFault();
  }
  int notices = 0;
  int failAt = 0;  // 0: never
};

struct TAction {
  const char* name;
  std::function<void(TFaultySynEdit& e)> run;
};

void Command(TCustomSynEdit& e, TSynEditorCommand command, char ch = 0, void* data = nullptr) {
  e.RunCommand(command, ch, data);
}

const std::string kText =
    "int main()\n{\n\tif (a) {   \n\t\tb = 1; /* x */\n\t}\n    x = \"a(b\";\n\n}";

// One action of every command family, and the entry points that run
// commands of their own (search and replace, drag and drop, the mouse).
const TAction kActions[] = {
    {"caret: select down", [](TFaultySynEdit& e) { Command(e, ecSelDown); }},
    {"caret: editor bottom", [](TFaultySynEdit& e) { Command(e, ecEditorBottom); }},
    {"view: scroll down", [](TFaultySynEdit& e) { Command(e, ecScrollDown); }},
    {"view: match bracket",
     [](TFaultySynEdit& e) {
       e.SetCaretPos({5, 3});
       Command(e, ecMatchBracket);
     }},
    {"typing: character", [](TFaultySynEdit& e) { Command(e, ecChar, 'q'); }},
    {"typing: over a selection",
     [](TFaultySynEdit& e) {
       Command(e, ecSelDown);
       Command(e, ecChar, '(');
     }},
    {"typing: tab", [](TFaultySynEdit& e) { Command(e, ecTab); }},
    {"typing: input method",
     [](TFaultySynEdit& e) {
       char text[] = "abc";
       Command(e, ecImeStr, 0, text);
     }},
    {"delete: backspace", [](TFaultySynEdit& e) { Command(e, ecDeleteLastChar); }},
    {"delete: word", [](TFaultySynEdit& e) { Command(e, ecDeleteWord); }},
    {"delete: line", [](TFaultySynEdit& e) { Command(e, ecDeleteLine); }},
    {"block: indent",
     [](TFaultySynEdit& e) {
       Command(e, ecSelDown);
       Command(e, ecBlockIndent);
     }},
    {"block: unindent",
     [](TFaultySynEdit& e) {
       Command(e, ecSelDown);
       Command(e, ecBlockUnindent);
     }},
    {"block: upper case", [](TFaultySynEdit& e) { Command(e, ecUpperCase); }},
    {"other: line break", [](TFaultySynEdit& e) { Command(e, ecLineBreak); }},
    {"other: cut and paste",
     [](TFaultySynEdit& e) {
       Command(e, ecSelDown);
       Command(e, ecCut);
       Command(e, ecPaste);
     }},
    {"other: undo and redo",
     [](TFaultySynEdit& e) {
       Command(e, ecUndo);
       Command(e, ecRedo);
     }},
    {"other: select all", [](TFaultySynEdit& e) { Command(e, ecSelectAll); }},
    {"replace all",
     [](TFaultySynEdit& e) {
       TSynEditSearch engine;
       e.SetSearchEngine(&engine);
       e.SearchAndReplace("a", "xy", {sfReplaceAll, sfEntireScope});
     }},
    {"drag and drop",
     [](TFaultySynEdit& e) {
       e.SetCaretAndSelection({1, 2}, {1, 1}, {4, 1});
       e.DragDrop(&e, TMouseSynEdit::X(2), TMouseSynEdit::Y(4), {});
     }},
    {"mouse: drag a selection",
     [](TFaultySynEdit& e) {
       e.Press(TMouseSynEdit::X(2), TMouseSynEdit::Y(1));
       e.MouseMove({ssLeft}, TMouseSynEdit::X(5), TMouseSynEdit::Y(3));
       e.MouseUp(mbLeft, {}, TMouseSynEdit::X(5), TMouseSynEdit::Y(3));
     }},
};

// Puts the editor into the state every run starts from: text, an undo
// step to undo, the caret inside the text.
void Prepare(TFaultySynEdit& e) {
  UseMainWindowSettings(e);
  e.clientHeight = 5 * 20;  // five rows: the text scrolls
  e.SizeChanged();
  e.SetText(kText);
  e.SetCaretPos({2, 3});
  Command(e, ecChar, 'z');
  Command(e, ecUndo);
  Command(e, ecRedo);
  e.SetCaretPos({3, 4});
}

TEST(ThrowingHandler, EveryBracketClosesAndTheEditorStaysSound) {
  TSynCppSyn highlighter;
  for (const TAction& action : kActions) {
    SCOPED_TRACE(action.name);
    int faults = 0;
    // The k-th notice of the action fails, for every k until the action
    // gives fewer notices than that.
    for (int failAt = 1;; ++failAt) {
      SCOPED_TRACE("failing notice " + std::to_string(failAt));
      TSynMemoryClipboard clipboard;
      TFaultySynEdit e(&clipboard);
      e.SetHighlighter(&highlighter);
      Prepare(e);
      e.notices = 0;
      e.failAt = failAt;
      bool failed = false;
      try {
        action.run(e);
      } catch (const TInjectedFault&) {
        failed = true;
      }
      e.failAt = 0;
      EXPECT_EQ(e.PaintLockCount(), 0);
      EXPECT_EQ(e.UndoBlockDepth(), 0);
      EXPECT_EQ(e.Editing().UndoList().BlockCount(), 0);
      EXPECT_EQ(e.Lines().UpdateCount(), 0);
      EXPECT_NO_THROW(e.Check());
      if (!failed) break;
      ++faults;
      // Still an editor: it edits, undoes and redoes soundly.
      Command(e, ecChar, 'w');
      Command(e, ecLineBreak);
      Command(e, ecUndo);
      Command(e, ecRedo);
      EXPECT_EQ(e.PaintLockCount(), 0);
      EXPECT_NO_THROW(e.Check());
      if (HasFailure()) return;  // one failing notice tells enough
    }
    EXPECT_GT(faults, 0) << "the action gave no notice to fail";
  }
}

}  // namespace
}  // namespace ludra::test
