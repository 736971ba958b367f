#include "completion/SynCompletionProposal.h"

#include <algorithm>
#include <cctype>

#include "base/SynBracket.h"

namespace ludra {

namespace {

// The word that ends before character `end` of the line starts with a digit:
// a number literal, whose "." is a decimal point and opens no list.
bool NumberBefore(std::string_view line, int end) {
  size_t stop = static_cast<size_t>(std::clamp(end - 1, 0, static_cast<int>(line.size())));
  size_t start = stop;
  while (start > 0 &&
         (std::isalnum(static_cast<unsigned char>(line[start - 1])) || line[start - 1] == '_'))
    --start;
  return start < stop && std::isdigit(static_cast<unsigned char>(line[start]));
}

}  // namespace

// --- The base engine ------------------------------------------------------------

TSynBaseCompletionProposal::TSynBaseCompletionProposal(TSynProposalHost& host) : host_(host) {
  form_ = std::make_unique<TSynBaseCompletionProposalForm>(this);
  // The window is made after the form exists, so the host may keep a
  // reference to the form.
  form_->SetWindow(host_.CreateProposalWindow(*form_));
}

TSynBaseCompletionProposal::~TSynBaseCompletionProposal() = default;

void TSynBaseCompletionProposal::SetOptions(TSynCompletionOptions value) {
  form_->SetOptions(value);
}

int TSynBaseCompletionProposal::AnchorLineHeight() const {
  TCustomSynEdit* editor = form_->CurrentEditor();
  return editor ? editor->RowHeight() : 0;
}

void TSynBaseCompletionProposal::Execute(std::string currentInput, int x, int y,
                                         SynCompletionType kind) {
  TSynBaseCompletionProposalForm& form = *form_;
  form.SetShownKind(kind);
  canExecute_ = true;
  if (OnExecute) OnExecute(kind, this, currentInput, x, y, canExecute_);
  if (!canExecute_ || form.ItemList().Count() == 0) {
    // A parameter hint goes as soon as the application has nothing to show.
    if (form.Visible() && kind == ctParams) form.Hide();
    if (canExecute_ && kind == ctCode && asked_ && OnNoMatch) OnNoMatch(this);
    return;
  }
  form.ResetMatchedItems();
  if (kind == ctCode) {
    form.SetCurrentInput(currentInput);
    // A list of nothing would only hold the keys.
    if (form.NothingMatches()) {
      if (form.Visible()) form.Hide();
      if (asked_ && OnNoMatch) OnNoMatch(this);
      return;
    }
    form.SetChosen(asked_);
    form.SetScrollBarVisible(true);
    form.UpdateScrollBar();
    form.PlaceAt(x, y, AnchorLineHeight());
    if (!form.Options().Contains(scoLimitToMatchedText)) form.SetPosition(form.SelectedIndex());
    form.Show(true);
  } else {
    form.SetCurrentInput(currentInput);
    form.SetScrollBarVisible(false);
    form.PlaceAt(x, y, AnchorLineHeight());
    form.Show(false);
  }
}

// --- The engine with editor hooks ---------------------------------------------------

TSynCompletionProposal::TSynCompletionProposal(TSynProposalHost& host)
    : TSynBaseCompletionProposal(host) {
  TSynBaseCompletionProposalForm& form = *form_;
  form.OnAccept = [this](TShiftState shift, char endToken) { AcceptItem(shift, endToken); };
  form.OnCancel = [this] { CancelAndRefocus(); };
  form.OnCharTyped = [this](char key) { CharTyped(key); };
}

TSynCompletionProposal::~TSynCompletionProposal() {
  form_->Hide();
  form_->SetCurrentEditor(nullptr);
  editor_ = nullptr;
  while (!attachedEditors_.empty()) DetachEditor(attachedEditors_.back());
}

void TSynCompletionProposal::SetOptions(TSynCompletionOptions value) {
  TSynBaseCompletionProposal::SetOptions(value);
  if (value.Contains(scoUseBuiltInTimer)) {
    if (!timer_) {
      timer_ = host_.CreateTimer();
      if (timer_) {
        timer_->SetEnabled(false);
        timer_->SetInterval(timerInterval_);
        timer_->OnTimer = [this] { TimerTick(); };
      }
    }
  } else {
    timer_.reset();
  }
}

void TSynCompletionProposal::SetTimerInterval(int value) {
  timerInterval_ = value;
  if (timer_) timer_->SetInterval(value);
}

// --- Editors ---------------------------------------------------------------------------

void TSynCompletionProposal::SetEditor(TCustomSynEdit* value) {
  if (value == editor_) return;
  if (editor_) DetachEditor(editor_);
  editor_ = value;
  if (editor_) AttachEditor(editor_);
}

void TSynCompletionProposal::AttachEditor(TCustomSynEdit* editor) {
  if (!editor) return;
  if (std::find(attachedEditors_.begin(), attachedEditors_.end(), editor) != attachedEditors_.end())
    return;
  attachedEditors_.push_back(editor);
  editor->AddListener(this);
}

void TSynCompletionProposal::EditorDestroyed(TCustomSynEdit* gone) {
  // The editor is going: forget it without calling back into it.
  if (form_->CurrentEditor() == gone) {
    form_->SetCurrentEditor(nullptr);
    form_->Hide();
  }
  std::erase(attachedEditors_, gone);
  if (editor_ == gone) editor_ = nullptr;
}

void TSynCompletionProposal::Unhook(TCustomSynEdit* editor) { editor->RemoveListener(this); }

bool TSynCompletionProposal::DetachEditor(TCustomSynEdit* editor) {
  auto it = std::find(attachedEditors_.begin(), attachedEditors_.end(), editor);
  if (it == attachedEditors_.end()) return false;
  attachedEditors_.erase(it);
  if (form_->CurrentEditor() == editor) {
    if (form_->Visible()) CancelProposal();
    form_->SetCurrentEditor(nullptr);
  }
  Unhook(editor);
  if (editor_ == editor) editor_ = nullptr;
  return true;
}

// --- Opening -------------------------------------------------------------------------------

void TSynCompletionProposal::RebuildTokenBreakChars(TCustomSynEdit& editor) {
  TSynCharSet& set = form_->TokenBreakChars();
  set.Clear();
  if (Options().Contains(scoConsiderWordBreakChars)) {
    if (editor.Highlighter())
      set |= editor.Highlighter()->WordBreakChars();
    else
      for (unsigned char c : std::string_view("!\"'()*+,-./:;=?[\\]^{|}")) set.Include(c);
  }
  for (unsigned char c : endOfTokenChr_) set.Include(c);
}

std::string TSynCompletionProposal::ComputePrecedingWord(const std::string& line,
                                                         int caretChar) const {
  int i = caretChar - 1;
  if (i <= 0 || i > static_cast<int>(line.size()) || line.empty()) return {};
  TSynCharSet set = form_->TokenBreakChars();
  // One break character right before the caret (the "(" of a call) is skipped.
  if (set.Contains(static_cast<unsigned char>(line[static_cast<size_t>(i - 1)]))) --i;
  set.Include('\t');
  set.Include(' ');
  int end = i;
  while (i > 0 && !set.Contains(static_cast<unsigned char>(line[static_cast<size_t>(i - 1)]))) --i;
  return line.substr(static_cast<size_t>(i), static_cast<size_t>(end - i));
}

void TSynCompletionProposal::ActivateFor(TCustomSynEdit* editor) { Open(editor, true); }

void TSynCompletionProposal::Open(TCustomSynEdit* editor, bool asked) {
  if (!editor ||
      std::find(attachedEditors_.begin(), attachedEditors_.end(), editor) == attachedEditors_.end())
    return;
  if (defaultType_ == ctCode && editor->ReadOnly()) return;
  TPoint p;
  if (defaultType_ == ctHint) {
    p = host_.MouseScreenPosition();
  } else {
    TPoint client = editor->RowColumnToPixels(editor->BufferToDisplay(editor->CaretPos()));
    p = host_.ClientToScreen(*editor, client);
    p.Y += editor->RowHeight();
  }
  form_->SetCurrentEditor(editor);
  RebuildTokenBreakChars(*editor);
  std::string line = editor->LineAtCaret();
  int caretChar = editor->CaretChar();
  precedingWord_ = ComputePrecedingWord(line, caretChar);
  // The word being typed: back from the caret over characters above the
  // blank that do not break a token.
  std::string word;
  int i = caretChar - 1;
  if (static_cast<int>(line.size()) >= i) {
    const TSynCharSet& set = form_->TokenBreakChars();
    while (i > 0) {
      auto c = static_cast<unsigned char>(line[static_cast<size_t>(i - 1)]);
      if (c <= 32 || set.Contains(c)) break;
      --i;
    }
    tokenStartChar_ = i + 1;
    word = line.substr(static_cast<size_t>(i), static_cast<size_t>(caretChar - 1 - i));
  } else {
    tokenStartChar_ = caretChar;
  }
  asked_ = asked;
  auto reset = TBracket([this] { asked_ = true; });
  Execute(word, p.X, p.Y, defaultType_);
  swallowNextKey_ = defaultType_ == ctCode && canExecute_;
}

bool TSynCompletionProposal::TriggerOpens(TCustomSynEdit& editor) const {
  const int at = editor.CaretChar() - 1;
  return !NumberBefore(editor.LineAtCaret(), at) && !editor.InFreeText({at, editor.CaretLine()});
}

void TSynCompletionProposal::Execute(std::string currentInput, int x, int y,
                                     SynCompletionType kind) {
  TSynBaseCompletionProposal::Execute(std::move(currentInput), x, y, kind);
  if (timer_) timer_->SetEnabled(false);
}

// --- Accepting and closing ----------------------------------------------------------------

void TSynCompletionProposal::AcceptItem(TShiftState shift, char endToken) {
  TSynBaseCompletionProposalForm& form = *form_;
  TCustomSynEdit* editor = form.CurrentEditor();
  if (!editor) return;
  std::string value;
  int reported = -1;
  editor->BeginPaintLock();
  editor->BeginUndoBlock();
  try {
    int line = editor->CaretLine();
    editor->SetSelFrom({tokenStartChar_, line});
    if (endToken != '\0')
      editor->SetSelTo(editor->CaretPos());
    else
      editor->SetSelTo(editor->WordEnd(editor->CaretPos()));
    int p = form.SelectedIndex();
    TSynCompletionOptions options = Options();
    bool keep = endToken != '\0' && !options.Contains(scoEndCharCompletion);
    if (!options.Contains(scoUseInsertList)) {
      keep = keep || p < 0 || p >= form.MatchedCount();
      if (!keep) value = form.MatchedItem(p);
    } else {
      int k = options.Contains(scoLimitToMatchedText) ? form.MatchedIndex(p) : p;
      keep = keep || k < 0 || k >= form.InsertList().Count() ||
             (options.Contains(scoLimitToMatchedText) && (p < 0 || p >= form.MatchedCount()));
      if (!keep) value = form.InsertList().Get(k);
    }
    if (keep) value = editor->SelectedText();
    reported = form.ReportedIndex(p);
    if (OnCodeCompletion) OnCodeCompletion(this, value, shift, reported, endToken);
    if (editor->SelectedText() != value) editor->SetSelectedText(value);
    HideProposal();
    host_.FocusOwnerWindow(*editor);
    editor->SetFocus();
    editor->EnsureCaretVisible();
    editor->SetCaretPos(editor->SelLast());
    editor->SetSelFrom(editor->CaretPos());
  } catch (...) {
    editor->EndUndoBlock();
    editor->EndPaintLock();
    throw;
  }
  editor->EndUndoBlock();
  editor->EndPaintLock();
  if (OnAfterCodeCompletion) OnAfterCodeCompletion(this, value, shift, reported, endToken);
}

void TSynCompletionProposal::HideProposal() {
  if (timer_) timer_->SetEnabled(false);
  swallowNextKey_ = false;
  if (form_->Visible()) form_->Hide();
}

void TSynCompletionProposal::CancelProposal() {
  HideProposal();
  if (OnCancelled) OnCancelled(this);
}

void TSynCompletionProposal::CancelParamsHint() {
  if (form_->Visible() && form_->ShownKind() == ctParams) CancelProposal();
}

void TSynCompletionProposal::CancelAndRefocus() {
  swallowNextKey_ = false;
  if (timer_) timer_->SetEnabled(false);
  form_->Hide();
  if (TCustomSynEdit* editor = form_->CurrentEditor()) {
    host_.FocusOwnerWindow(*editor);
    editor->SetFocus();
  }
  if (OnCancelled) OnCancelled(this);
}

void TSynCompletionProposal::CharTyped(char key) {
  TCustomSynEdit* editor = form_->CurrentEditor();
  if (!editor) return;
  form_->RunEditorCommand(ecChar, key);
  host_.ProcessMessages();
  // Accepting closed the list; a trigger character opens it again at once.
  editor = form_->CurrentEditor();
  if (triggerChars_.find(key) != std::string::npos && !form_->Visible() && editor &&
      TriggerOpens(*editor))
    Open(editor, false);
}

// --- Hooks -----------------------------------------------------------------------------------

void TSynCompletionProposal::KeyDownHook(TCustomSynEdit* sender, uint16_t& key, TShiftState shift) {
  EditorKeyDown(sender, key, shift);
}

void TSynCompletionProposal::KeyPressHook(TCustomSynEdit* sender, char& key) {
  EditorKeyPress(sender, key);
}

void TSynCompletionProposal::CommandHook(TCustomSynEdit* sender, bool afterProcessing,
                                         bool& handled, TSynEditorCommand& command, char& aChar,
                                         void* data) {
  HookedEditorCommand(sender, afterProcessing, handled, command, aChar, data);
}

void TSynCompletionProposal::EditorKeyDown(TCustomSynEdit* sender, uint16_t& key,
                                           TShiftState shift) {
  if (defaultType_ == ctCode && sender->ReadOnly()) return;
  // The character of a chord that opened a list comes before the next key.
  swallowNextKey_ = false;
  if (shortCut_ == scNone) return;
  // Only the modifier keys take part in the comparison.
  TShiftState keys = shift * TShiftState{ssShift, ssCtrl, ssAlt};
  if (ludra::ShortCut(key, keys) != shortCut_) return;
  form_->SetCurrentEditor(sender);
  key = 0;
  ActivateFor(sender);
}

void TSynCompletionProposal::EditorKeyPress(TCustomSynEdit* sender, char& key) {
  if (swallowNextKey_) {
    // The character of the chord that opened the list (or found nothing to
    // list): a chord without one lets the next key-down clear the flag.
    swallowNextKey_ = false;
    key = '\0';
    return;
  }
  if (!timer_) return;
  if (key != '\0' && triggerChars_.find(key) != std::string::npos) {
    form_->SetCurrentEditor(sender);
    timer_->SetEnabled(true);
  } else {
    timer_->SetEnabled(false);
  }
}

void TSynCompletionProposal::HookedEditorCommand(TCustomSynEdit* sender, bool afterProcessing,
                                                 bool& handled, TSynEditorCommand& command,
                                                 char& aChar, void* data) {
  (void)handled, (void)data;
  if (!afterProcessing) return;
  TSynBaseCompletionProposalForm& form = *form_;
  if (form.Visible()) {
    switch (form.ShownKind()) {
      case ctHint:
        CancelProposal();
        break;
      case ctParams:
        if (command == ecFocusGained || command == ecFocusLost ||
            (command == ecChar && aChar == '\x1b'))
          CancelProposal();
        else
          ActivateFor(sender);
        break;
      case ctCode:
        // A key that reached the editor rather than the list (typed before
        // the list had the focus) closes it, as if it had not been there; a
        // swallowed character leaves an empty ecChar behind.
        if (!form.Forwarding() && command != ecFocusGained && command != ecFocusLost &&
            command != ecNone && !(command == ecChar && aChar == '\0'))
          CancelAndRefocus();
        break;
    }
    return;
  }
  if (!timer_ || !timer_->Enabled()) return;
  const bool trigger =
      command == ecChar && aChar != '\0' && triggerChars_.find(aChar) != std::string::npos;
  if (!trigger || !TriggerOpens(*sender)) timer_->SetEnabled(false);
}

void TSynCompletionProposal::TimerTick() {
  if (timer_) timer_->SetEnabled(false);
  TCustomSynEdit* editor = form_->CurrentEditor();
  // Only into the editor being typed in: a dialog that came up meanwhile
  // keeps the keys typed into it.
  if (host_.ApplicationActive() && editor && editor->Focused()) {
    Open(editor, false);
    swallowNextKey_ = false;
  } else if (form_->Visible()) {
    form_->Hide();
  }
}

}  // namespace ludra
