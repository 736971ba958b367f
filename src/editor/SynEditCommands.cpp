// The command pipeline: keys and characters to commands, the events and
// hooks around every command, and the dispatch of built-in commands to their
// families. Also line breaks, modes, bookmarks and the other small commands.
#include <algorithm>
#include <cstring>

#include "editor/SynEditCommandsInternal.h"
#include "editor/SynEditComponentHost.h"

namespace ludra {

namespace {

// Keys go to the newest listener first, over a snapshot (a listener may
// remove itself); f answers false to stop.
template <typename F>
void NewestFirst(const TSynEditListeners& listeners, F&& f) {
  std::vector<TSynEditListener*> snapshot;
  for (int i = 0; i < listeners.Count(); ++i) snapshot.push_back(listeners.Get(i));
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
    if (!f(*it)) return;
}

}  // namespace

// --- Keys -----------------------------------------------------------------------

std::unique_ptr<TSynEditKeyStrokes> TCustomSynEdit::DefaultKeystrokes() {
  auto keys = std::make_unique<TSynEditKeyStrokes>();
  keys->ResetDefaults();
  return keys;
}

TSynEditorCommand TCustomSynEdit::TranslateKeyCode(uint16_t key, TShiftState shift) {
  // Mouse-button and double-click members never take part in a binding.
  shift *= TShiftState{ssShift, ssAlt, ssCtrl};
  int i = -1;
  if (pendingKey_ != 0) i = keystrokes_->FindKeycode2(pendingKey_, pendingShift_, key, shift);
  if (i < 0) i = keystrokes_->FindKeycode(key, shift);
  TSynEditorCommand command =
      i >= 0 ? keystrokes_->Items(i).Command() : static_cast<TSynEditorCommand>(ecNone);
  if (command != ecNone || key < 30 || key > 145) {
    pendingKey_ = 0;
    pendingShift_ = {};
  } else {
    pendingKey_ = key;
    pendingShift_ = shift;
  }
  return command;
}

void TCustomSynEdit::KeyDown(uint16_t& key, TShiftState shift) {
  if (!keyDownHooked_) {
    auto hooked = Preserve(keyDownHooked_);
    keyDownHooked_ = true;
    NewestFirst(listeners_, [&](TSynEditListener* l) {
      if (key == 0) return false;
      l->KeyDownHook(this, key, shift);
      return true;
    });
  }
  if (key == 0) {
    // A consumed key ends a pending two-key binding like any key below 30.
    pendingKey_ = 0;
    pendingShift_ = {};
    state_ -= TSynStateFlags{sfIgnoreNextChar};
    return;
  }
  TSynEditorCommand command = TranslateKeyCode(key, shift);
  if (command != ecNone) {
    key = 0;
    state_ += TSynStateFlags{sfIgnoreNextChar};
    RunCommand(command, '\0', nullptr);
  } else {
    state_ -= TSynStateFlags{sfIgnoreNextChar};
  }
}

void TCustomSynEdit::KeyPress(char& key) {
  if (imeCharsToSkip_ > 0) {
    --imeCharsToSkip_;
    return;
  }
  if (state_.Contains(sfIgnoreNextChar)) {
    // The character of a key that already became a command (Tab, Enter).
    state_ -= TSynStateFlags{sfIgnoreNextChar};
    return;
  }
  if (!keyPressHooked_) {
    auto hooked = Preserve(keyPressHooked_);
    keyPressHooked_ = true;
    NewestFirst(listeners_, [&](TSynEditListener* l) {
      if (key == 0) return false;
      l->KeyPressHook(this, key);
      return true;
    });
  }
  RunCommand(ecChar, key, nullptr);
}

// --- Command pipeline --------------------------------------------------------------

void TCustomSynEdit::NotifyHookedCommandHandlers(bool afterProcessing, TSynEditorCommand& command,
                                                 char& aChar, void* data) {
  bool handled = false;
  listeners_.Call([&](TSynEditListener* l) {
    l->CommandHook(this, afterProcessing, handled, command, aChar, data);
  });
  if (handled) command = ecNone;
}

void TCustomSynEdit::RunCommand(TSynEditorCommand command, char aChar, void* data) {
  if (command != ecNone) NotifyHookedCommandHandlers(false, command, aChar, data);
  if (command != ecNone && command < ecUserFirst) ApplyCommand(command, aChar, data);
  if (command != ecNone) NotifyHookedCommandHandlers(true, command, aChar, data);
}

void TCustomSynEdit::ApplyCommand(TSynEditorCommand command, char aChar, void* data) {
  static constexpr TSynCommandFamily families[] = {
      CaretCommand, ViewCommand, TypingCommand, DeleteCommand, BlockCommand,
  };
  TCommandContext context(*this);
  auto lock = LockPaint();
  for (TSynCommandFamily family : families)
    if (family(context, command, aChar, data)) return;
  ControlCommand(command, data);
}

// --- Bookmarks -----------------------------------------------------------------------

TSynEditMark* TCustomSynEdit::Bookmark(int number) const {
  return number >= 0 && number <= 9 ? bookmarks_[number] : nullptr;
}

void TCustomSynEdit::PlaceBookmark(int number, int aChar, int line) {
  if (number < 0 || number > 9) return;
  if (line < 1 || line > std::max(1, lines_->Count())) return;
  auto mark = std::make_unique<TSynEditMark>(this);
  mark->SetLine(line);
  mark->SetChar(aChar);
  mark->SetImageIndex(number);
  mark->SetBookmarkNumber(number);
  mark->SetVisible(true);
  mark->SetInternalImage(BookmarkImages() == nullptr);
  if (bookmarks_[number]) DropBookmark(number);
  bookmarks_[number] = mark.get();
  marks_->Add(std::move(mark));
}

void TCustomSynEdit::DropBookmark(int number) {
  if (number < 0 || number > 9 || !bookmarks_[number]) return;
  TSynEditMark* mark = bookmarks_[number];
  bookmarks_[number] = nullptr;
  marks_->Remove(mark);
}

void TCustomSynEdit::JumpToBookmark(int number) {
  if (number < 0 || number > 9 || !bookmarks_[number]) return;
  TSynEditMark* mark = bookmarks_[number];
  if (mark->Line() > lines_->Count()) return;
  auto lock = LockPaint();
  InternalSetCaretPos({mark->Char(), mark->Line()}, false);
  EnsureCaretVisible(true);
  if (HasSelection()) InvalidateSelection();
  caret_.Collapse();
}

// --- Modes, bookmarks, clipboard, undo, help ------------------------------------------

bool TCustomSynEdit::ControlCommand(TSynEditorCommand command, void* data) {
  if (command >= ecGotoMarker0 && command <= ecGotoMarker9) {
    if (BookMarkOptions().EnableKeys) JumpToBookmark(command - ecGotoMarker0);
    return true;
  }
  if (command >= ecSetMarker0 && command <= ecSetMarker9) {
    if (!BookMarkOptions().EnableKeys) return true;
    int n = command - ecSetMarker0;
    TBufferCoord p = data ? *static_cast<const TBufferCoord*>(data) : CaretPos();
    if (TSynEditMark* old = Bookmark(n)) {
      // Pressed on the bookmark's own line it only removes the bookmark.
      int oldLine = old->Line();
      DropBookmark(n);
      if (p.Line != oldLine) PlaceBookmark(n, p.Char, p.Line);
    } else {
      PlaceBookmark(n, p.Char, p.Line);
    }
    return true;
  }
  switch (command) {
    case ecInsertMode:
      SetInsertMode(true);
      return true;
    case ecOverwriteMode:
      SetInsertMode(false);
      return true;
    case ecToggleMode:
      SetInsertMode(!InsertMode());
      return true;
    case ecNormalSelect:
      SetSelectionMode(smNormal);
      // Column ends may lie past line ends; a normal selection may not.
      caret_.SelFrom = LimitSelectionPoint(caret_.SelFrom);
      caret_.SelTo = LimitSelectionPoint(caret_.SelTo);
      return true;
    case ecColumnSelect:
      SetSelectionMode(smColumn);
      return true;
    case ecLineSelect:
      SetSelectionMode(smLine);
      return true;
    case ecSelectAll:
      SelectWholeText();
      return true;
    case ecCopy:
      CopySelection();
      return true;
    case ecCut:
      CutSelection();
      return true;
    case ecPaste:
      PasteClipboard();
      return true;
    case ecUndo:
      Undo();
      return true;
    case ecRedo:
      Redo();
      return true;
    case ecLineBreak:
    case ecInsertLine:
      if (ReadOnly()) return true;
      editing_->BreakLine(command == ecInsertLine);
      EnsureCaretVisible();
      return true;
    case ecClearAll:
      if (ReadOnly()) return true;
      // Not undoable: clearing the buffer empties both histories.
      for (TSynEditMark*& b : bookmarks_) b = nullptr;
      marks_->Clear();
      lines_->Clear();
      SetContentModified(false);
      return true;
    default:
      return false;
  }
}

}  // namespace ludra
