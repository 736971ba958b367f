#pragma once
// The completion engine: attaches to editors through their key-down and
// key-press chains and their command hooks, and offers at the caret either a
// list of proposals to insert (ctCode) or a passive hint (ctHint, ctParams).
// It opens on its short-cut or, after a trigger character, on its timer,
// asks the application through OnExecute what to show, filters the list as
// the user types and inserts the chosen item as one undo step.
//
// Use from a main window (the Qt host makes the pop-up window and the timer):
//
//   scpCode = std::make_unique<TSynQtCompletionProposal>();   // qt/ host
//   scpCode->SetEditor(moCode);                                // hooks moCode
//   scpCode->SetOptions({scoLimitToMatchedText, scoUseInsertList, ...});
//   scpCode->ItemList().Add("native \\column{}\\style{+B}print\\style{-B}(...)");
//   scpCode->InsertList().Add("print");
//   scpCode->OnExecute = [](SynCompletionType kind, TSynBaseCompletionProposal* sender,
//                           std::string& input, int& x, int& y, bool& canExecute) { ... };
//
// Either side may go first: a destroyed editor is detached, and a destroyed
// engine unhooks itself from every editor.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "completion/SynCompletionProposalForm.h"
#include "platform/SynTimer.h"

namespace ludra {

// The desktop services of an engine. The Qt host implements them; tests give
// a fake with a manual clock and a recording window.
class TSynProposalHost {
 public:
  virtual ~TSynProposalHost() = default;
  // The engine's pop-up window, made once by the engine's constructor.
  virtual std::unique_ptr<TSynProposalWindow> CreateProposalWindow(
      TSynBaseCompletionProposalForm& form) = 0;
  virtual std::unique_ptr<TSynTimer> CreateTimer() = 0;
  // An editor's client point on the screen.
  virtual TPoint ClientToScreen(TCustomSynEdit& editor, TPoint point) = 0;
  virtual TPoint MouseScreenPosition() = 0;
  // One of the application's windows is the active one.
  virtual bool ApplicationActive() = 0;
  // Lets pending window events run.
  virtual void ProcessMessages() {}
  // Gives the window that holds the editor the activation when it is visible.
  virtual void FocusOwnerWindow(TCustomSynEdit& editor) { (void)editor; }
};

// Holds the pop-up and every list, colour and layout setting.
class TSynBaseCompletionProposal {
 public:
  explicit TSynBaseCompletionProposal(TSynProposalHost& host);
  virtual ~TSynBaseCompletionProposal();
  TSynBaseCompletionProposal(const TSynBaseCompletionProposal&) = delete;
  TSynBaseCompletionProposal& operator=(const TSynBaseCompletionProposal&) = delete;

  TSynProposalHost& Host() { return host_; }
  TSynBaseCompletionProposalForm& Form() { return *form_; }

  SynCompletionType DefaultType() const { return defaultType_; }
  void SetDefaultType(SynCompletionType value) { defaultType_ = value; }
  TSynCompletionOptions Options() const { return form_->Options(); }
  virtual void SetOptions(TSynCompletionOptions value);
  TStringList& ItemList() { return form_->ItemList(); }
  void SetItemList(const TStrings& value) { form_->SetItemList(value); }
  TStringList& InsertList() { return form_->InsertList(); }
  void SetInsertList(const TStrings& value) { form_->SetInsertList(value); }
  int NbLinesInWindow() const { return form_->NbLinesInWindow(); }
  void SetNbLinesInWindow(int value) { form_->SetNbLinesInWindow(value); }
  int Width() const { return form_->Width(); }
  void SetWidth(int value) { form_->SetWidth(value); }
  const std::string& EndOfTokenChr() const { return endOfTokenChr_; }
  void SetEndOfTokenChr(const std::string& value) { endOfTokenChr_ = value; }
  TColor ClSelect() const { return form_->ClSelect(); }
  void SetClSelect(TColor value) { form_->SetClSelect(value); }
  TColor ClSelectedText() const { return form_->ClSelectedText(); }
  void SetClSelectedText(TColor value) { form_->SetClSelectedText(value); }
  TColor ClBackground() const { return form_->ClBackground(); }
  void SetClBackground(TColor value) { form_->SetClBackground(value); }
  TColor ClTitleBackground() const { return form_->ClTitleBackground(); }
  void SetClTitleBackground(TColor value) { form_->SetClTitleBackground(value); }
  const std::string& Title() const { return form_->Title(); }
  void SetTitle(const std::string& value) { form_->SetTitle(value); }
  const TSynFont& Font() const { return form_->Font(); }
  void SetFont(const TSynFont& value) { form_->SetFont(value); }
  const TSynFont& TitleFont() const { return form_->TitleFont(); }
  void SetTitleFont(const TSynFont& value) { form_->SetTitleFont(value); }
  const TProposalColumns& Columns() const { return form_->Columns(); }
  TProposalColumns& Columns() { return form_->Columns(); }
  void SetColumns(const TProposalColumns& value) { form_->SetColumns(value); }
  bool Resizeable() const { return form_->Resizeable(); }
  void SetResizeable(bool value) { form_->SetResizeable(value); }
  int ItemHeight() const { return form_->ItemHeight(); }
  void SetItemHeight(int value) { form_->SetItemHeight(value); }
  const TProposalImages* Images() const { return form_->Images(); }
  void SetImages(const TProposalImages* value) { form_->SetImages(value); }
  int Margin() const { return form_->Margin(); }
  void SetMargin(int value) { form_->SetMargin(value); }
  // The parameter a ctParams hint shows in bold (the pop-up's).
  int CurrentIndex() const { return form_->CurrentIndex(); }
  void SetCurrentIndex(int value) { form_->SetCurrentIndex(value); }

  // The word before the caret at the latest opening, for OnExecute.
  const std::string& PrecedingWord() const { return precedingWord_; }
  bool Visible() const { return form_->Visible(); }

  // Shows the pop-up of a kind with currentInput as the typed word, its
  // top-left corner at screen point (x, y); OnExecute may refuse.
  virtual void Execute(std::string currentInput, int x, int y, SynCompletionType kind);
  void Execute(std::string currentInput, int x, int y) {
    Execute(std::move(currentInput), x, y, defaultType_);
  }
  // Cancels a shown ctParams hint; the base has nothing to cancel.
  virtual void CancelParamsHint() {}

  TCompletionExecute OnExecute;
  TCodeCompletionEvent OnCodeCompletion;
  TAfterCodeCompletionEvent OnAfterCodeCompletion;
  TCompletionNotifyEvent OnCancelled;
  // An opening the user asked for (the short-cut, ActivateFor) found nothing
  // to list, so nothing is shown.
  TCompletionNotifyEvent OnNoMatch;
  TCompletionChange OnChange;
  TProposalFormNotifyEvent OnShow;
  TProposalFormNotifyEvent OnClose;
  TSynBaseCompletionProposalPaintItem OnPaintItem;
  TSynBaseCompletionProposalMeasureItem OnMeasureItem;
  // Kept for the application; nothing raises it.
  TCompletionParameter OnParameterToken;

 protected:
  // The command hook; the base does nothing with commands.
  virtual void HookedEditorCommand(TCustomSynEdit* sender, bool afterProcessing, bool& handled,
                                   TSynEditorCommand& command, char& aChar, void* data) {
    (void)sender, (void)afterProcessing, (void)handled, (void)command, (void)aChar, (void)data;
  }
  // Line height of the editor the pop-up opens for (placement above a line).
  int AnchorLineHeight() const;

  TSynProposalHost& host_;
  std::unique_ptr<TSynBaseCompletionProposalForm> form_;
  SynCompletionType defaultType_ = ctCode;
  std::string endOfTokenChr_ = "()[]. ";
  std::string precedingWord_;
  bool canExecute_ = false;
  // The opening under way was asked for; a list opened by a trigger
  // character or after a pause changes no text until the user chooses.
  bool asked_ = true;
};

class TSynCompletionProposal : public TSynBaseCompletionProposal, private TSynEditListener {
 public:
  explicit TSynCompletionProposal(TSynProposalHost& host);
  ~TSynCompletionProposal() override;

  void SetOptions(TSynCompletionOptions value) override;

  // The editor served; setting it detaches the previous one.
  TCustomSynEdit* Editor() const { return editor_; }
  void SetEditor(TCustomSynEdit* value);
  // Hooks an editor (once); DetachEditor is false when it was not hooked.
  void AttachEditor(TCustomSynEdit* editor);
  bool DetachEditor(TCustomSynEdit* editor);
  void AddEditor(TCustomSynEdit* editor) { AttachEditor(editor); }
  bool RemoveEditor(TCustomSynEdit* editor) { return DetachEditor(editor); }
  const std::vector<TCustomSynEdit*>& AttachedEditors() const { return attachedEditors_; }

  // Key chord that opens at once (virtual-key code plus scShift, scCtrl,
  // scAlt); 0 for none.
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value) { shortCut_ = value; }
  const std::string& TriggerChars() const { return triggerChars_; }
  void SetTriggerChars(const std::string& value) { triggerChars_ = value; }
  int TimerInterval() const { return timerInterval_; }
  void SetTimerInterval(int value);
  // The trigger timer (only with scoUseBuiltInTimer).
  TSynTimer* Timer() const { return timer_.get(); }

  // Opens for an editor at its caret (for ctHint at the mouse pointer), as
  // the user asked.
  virtual void ActivateFor(TCustomSynEdit* editor);
  void Execute(std::string currentInput, int x, int y, SynCompletionType kind) override;
  using TSynBaseCompletionProposal::Execute;
  // Inserts the selected item into the pop-up's editor.
  void AcceptItem(TShiftState shift, char endToken);
  // Hides the pop-up and raises OnCancelled.
  void CancelProposal();
  void CancelCompletion() { CancelProposal(); }
  // Stops the timer and hides the pop-up, without OnCancelled.
  void HideProposal();
  void CancelParamsHint() override;

  bool SwallowNextKey() const { return swallowNextKey_; }
  int TokenStartChar() const { return tokenStartChar_; }

 protected:
  void HookedEditorCommand(TCustomSynEdit* sender, bool afterProcessing, bool& handled,
                           TSynEditorCommand& command, char& aChar, void* data) override;

 private:
  // What the attached editors report.
  void KeyDownHook(TCustomSynEdit* sender, uint16_t& key, TShiftState shift) override;
  void KeyPressHook(TCustomSynEdit* sender, char& key) override;
  void CommandHook(TCustomSynEdit* sender, bool afterProcessing, bool& handled,
                   TSynEditorCommand& command, char& aChar, void* data) override;
  void EditorDestroyed(TCustomSynEdit* gone) override;
  void EditorKeyDown(TCustomSynEdit* sender, uint16_t& key, TShiftState shift);
  void EditorKeyPress(TCustomSynEdit* sender, char& key);
  void TimerTick();
  // ActivateFor, asked or opened by itself (after a pause, or a "." typed
  // into the list).
  void Open(TCustomSynEdit* editor, bool asked);
  // A trigger character just typed before the caret may open: not in a
  // comment or literal, nor as the point of a number.
  bool TriggerOpens(TCustomSynEdit& editor) const;
  void CancelAndRefocus();
  void CharTyped(char key);
  void Unhook(TCustomSynEdit* editor);
  void RebuildTokenBreakChars(TCustomSynEdit& editor);
  std::string ComputePrecedingWord(const std::string& line, int caretChar) const;

  TCustomSynEdit* editor_ = nullptr;
  std::vector<TCustomSynEdit*> attachedEditors_;
  TShortCut shortCut_ = scCtrl | VK_SPACE;
  std::string triggerChars_ = ".";
  int timerInterval_ = 1000;
  std::unique_ptr<TSynTimer> timer_;
  bool swallowNextKey_ = false;
  int tokenStartChar_ = 1;
};

}  // namespace ludra
