#pragma once
// The command families that ApplyCommand dispatches to. Each family answers
// true when it knew the command.
#include <string>

#include "editor/SynEdit.h"

namespace ludra {

struct TSynCommandExec {
  using TFamily = bool (*)(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);

  static bool CaretCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);
  static bool ViewCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);
  static bool DeleteCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);
  static bool TypingCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);
  static bool BlockCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);
  static bool OtherCommand(TCustomSynEdit& e, TSynEditorCommand command, char aChar, void* data);

  // Moves the caret; with select the selection runs from the anchor (the
  // position before the move when there was no selection) to the new caret.
  static void MoveCaretAndSelection(TCustomSynEdit& e, const TBufferCoord& before,
                                    const TBufferCoord& after, bool select);
  static void MoveCaretHorz(TCustomSynEdit& e, int dx, bool select);
  static void MoveCaretVert(TCustomSynEdit& e, int dy, bool select);

  // Replaces [from, to) with text as a normal-mode selection, recording
  // nothing; the selection mode is kept.
  static TCustomSynEdit::TInsertedRange ReplaceRange(TCustomSynEdit& e, const TBufferCoord& from,
                                                     const TBufferCoord& to, std::string_view text);
  // Fills a caret past the line end with blanks up to (not including) the
  // caret, recorded as added white space.
  static void FillGapToCaret(TCustomSynEdit& e, bool emptyLineIndent);
  // Deletes [from, to) of the caret line region, recorded as kind; with
  // caretToStart the caret goes to from, else it stays.
  static void DeleteRange(TCustomSynEdit& e, const TBufferCoord& from, const TBufferCoord& to,
                          TSynChangeKind kind);
  static void DeleteInStep(TCustomSynEdit& e, TSynEditorCommand command);
  static void DoBlockIndent(TCustomSynEdit& e);
  static void DoBlockUnindent(TCustomSynEdit& e);
  static bool TabActsOnBlock(TCustomSynEdit& e);
  static void ScrollRightAfterTyping(TCustomSynEdit& e);
};

}  // namespace ludra
