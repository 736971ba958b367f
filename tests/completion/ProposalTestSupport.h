#pragma once
// A completion engine on a headless editor: a fake desktop with a manual
// clock, a recording canvas and a window that records what it was asked.
#include <memory>
#include <string>

#include "completion/SynCompletionProposal.h"
#include "completion/SynLazyProposalWindow.h"
#include "editor/EditorKeys.h"

namespace ludra::test {

// Counts the characters it is asked to measure.
class TCountingCanvas : public TSynRecordingCanvas {
 public:
  int TextWidth(std::string_view text, TFontStyles style) override {
    measured += text.size();
    return TSynRecordingCanvas::TextWidth(text, style);
  }
  size_t measured = 0;
};

class TFakeProposalWindow : public TSynProposalWindow {
 public:
  explicit TFakeProposalWindow(TSynBaseCompletionProposalForm& form) : form_(form) {}
  void RecreateWindow() override { ++recreations; }
  void SetBounds(const TRect& value) override { bounds = value; }
  void ShowWindow(bool activate) override {
    shown = true;
    // A list takes the activation at once, as the desktop gives it.
    if (activate) form_.Activated();
  }
  void HideWindow() override { shown = false; }
  void FocusWindow() override { ++focusRequests; }
  void Invalidate() override { ++invalidations; }
  void ScrollBarChanged() override { bar = form_.ScrollBar(); }
  TRect WorkArea() const override { return workArea; }
  int WheelScrollLines() const override { return wheelLines; }
  TSynCanvas& MeasureCanvas() override { return canvas; }

  TCountingCanvas canvas;
  TRect bounds;
  // The scroll bar as the form last gave it.
  TProposalScrollBar bar;
  TRect workArea{0, 0, 1024, 768};
  int wheelLines = 3;
  bool shown = false;
  int recreations = 0;
  int focusRequests = 0;
  int invalidations = 0;

 private:
  TSynBaseCompletionProposalForm& form_;
};

class TFakeProposalHost : public TSynProposalHost {
 public:
  std::unique_ptr<TSynProposalWindow> CreateProposalWindow(
      TSynBaseCompletionProposalForm& form) override {
    if (lazy) {
      return std::make_unique<TSynLazyProposalWindow>([this, &form] {
        auto w = std::make_unique<TFakeProposalWindow>(form);
        window = w.get();
        return w;
      });
    }
    auto w = std::make_unique<TFakeProposalWindow>(form);
    window = w.get();
    return w;
  }
  std::unique_ptr<TSynTimer> CreateTimer() override { return clock.CreateTimer(); }
  TPoint ClientToScreen(TCustomSynEdit&, TPoint p) override {
    return {p.X + editorOrigin.X, p.Y + editorOrigin.Y};
  }
  TPoint MouseScreenPosition() override { return mouse; }
  bool ApplicationActive() override { return active; }
  void ProcessMessages() override { ++processed; }
  void FocusOwnerWindow(TCustomSynEdit&) override { ++ownerFocused; }

  TSynManualClock clock;
  TFakeProposalWindow* window = nullptr;
  // Windows are made when first needed (window stays null until then).
  bool lazy = false;
  TPoint editorOrigin{100, 50};
  TPoint mouse{300, 200};
  bool active = true;
  int processed = 0;
  int ownerFocused = 0;
};

// An editor that takes the focus when asked.
class TFocusEditor : public THeadlessSynEdit {
 public:
  explicit TFocusEditor(TSynClipboard* clipboard = nullptr) : THeadlessSynEdit(clipboard) {}
  using TCustomSynEdit::Clipboard;
  void SetFocus() override {
    focused = true;
    ++focusCalls;
  }
  int focusCalls = 0;
};

// The engine as the main window sets up its code list, on one editor.
struct TProposalFixture {
  explicit TProposalFixture(SynCompletionType kind = ctCode, bool lazyWindow = false) {
    host.lazy = lazyWindow;
    editor.focused = true;
    engine = std::make_unique<TSynCompletionProposal>(host);
    engine->SetDefaultType(kind);
    if (kind == ctCode) {
      engine->SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText,
                          scoUseBuiltInTimer, scoEndCharCompletion, scoCompleteWithTab,
                          scoCompleteWithEnter});
      engine->SetWidth(262);
      engine->Columns().Add().BiggestWord = "native";
    } else {
      engine->SetOptions({scoLimitToMatchedText, scoUsePrettyText, scoUseBuiltInTimer});
      engine->SetTriggerChars("(");
      engine->SetTimerInterval(1200);
      engine->SetShortCut(0);
    }
    engine->SetEditor(&editor);
  }
  ~TProposalFixture() { engine.reset(); }

  void AddNative(const std::string& name, const std::string& params) {
    engine->ItemList().Add("native \\column{}\\style{+B}" + name + "\\style{-B}(" + params + ")");
    engine->InsertList().Add(name);
  }
  TSynBaseCompletionProposalForm& form() { return engine->Form(); }
  TFakeProposalWindow& window() { return *host.window; }
  bool ListOpen() { return form().Visible() && window().shown; }

  // Keys go where the focus is: to an active list, else to the editor. A
  // key the list leaves alone closes it and goes to the editor, as the
  // window hands it on.
  void Key(uint16_t key, TShiftState shift = {}, char ch = 0) {
    if (form().Active() && form().PassesToEditor(key, shift, ch)) {
      form().Cancel();
      Press(editor, key, shift, ch);
    } else if (form().Active()) {
      uint16_t k = key;
      form().KeyDown(k, shift);
      if (ch != 0) {
        char c = ch;
        form().KeyPress(c);
      }
    } else {
      Press(editor, key, shift, ch);
    }
  }
  void TypeText(const std::string& text) {
    for (char c : text) {
      if (form().Active())
        Key(0, {}, c);
      else
        Type(editor, std::string(1, c));
    }
  }

  TFakeProposalHost host;
  TSynMemoryClipboard clipboard;
  TFocusEditor editor{&clipboard};
  std::unique_ptr<TSynCompletionProposal> engine;
};

}  // namespace ludra::test
