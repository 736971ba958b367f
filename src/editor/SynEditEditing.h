#pragma once
// The editing component: the rules that change the lines, the selection and the
// caret together and record what they did for undo. It stores a line through
// the trimming rule, joins lines, reads and replaces the selection in its
// three modes, and keeps both histories, the undo block and the blanks
// trimming took, which go into the block as their own deletion. The control
// it belongs to moves the caret and holds the paint lock (THost).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/SynBracket.h"
#include "base/SynEditTypes.h"
#include "buffer/SynEditUndo.h"
#include "editor/SynEditCaret.h"
#include "editor/SynEditOptions.h"

namespace ludra {

class TSynEditStringList;

class TSynEditing {
 public:
  // What the component asks of its control: the caret moved within its limits
  // (scrolled into view, with its notices), and the paint lock of a step.
  class THost {
   public:
    virtual void MoveCaret(const TBufferCoord& pos) = 0;
    virtual void BeginPaintLock() = 0;
    virtual void EndPaintLock() = 0;

   protected:
    ~THost() = default;
  };

  // Where an insertion starts and ends.
  struct TInsertedRange {
    TBufferCoord Start;
    TBufferCoord End;
  };

  // The lines, the caret and selection, the options and the tab width are
  // the control's; the component keeps references to them.
  TSynEditing(TSynEditStringList& lines, TSynCaretSelection& caret, TSynEditorOptions& options,
              const int& tabWidth, THost& host);
  ~TSynEditing();
  TSynEditing(const TSynEditing&) = delete;
  TSynEditing& operator=(const TSynEditing&) = delete;

  TSynEditStringList& Lines() { return lines_; }
  const TSynEditStringList& Lines() const { return lines_; }
  TSynEditUndoList& UndoList() { return *undoList_; }
  TSynEditUndoList& RedoList() { return *redoList_; }
  const TSynEditUndoList& UndoList() const { return *undoList_; }
  const TSynEditUndoList& RedoList() const { return *redoList_; }

  // The length of line (1-based) in bytes; 0 for a line that is not there.
  int LineLength(int line) const;
  // Leading characters 1..32 of a line (a tab counting the tab width when
  // expandTabs); 0 without eoAutoIndent.
  int LeadingWhitespaceCount(std::string_view line, bool expandTabs) const;
  // Blanks (and tabs unless eoTabsToSpaces) reaching width columns.
  std::string IndentationString(int width) const;

  // Stores a line through the trimming rule of eoTrimTrailingSpaces.
  void StoreLine(int index, const std::string& text);
  // Lines index .. index + count (0-based) become one line holding text,
  // stored through the storing rule when store is set. The lines before the
  // last one are the ones removed, so the marks of every joined line end on
  // the joined line.
  void JoinLines(int index, int count, const std::string& text, bool store);

  // The selected text; withPadding pads column lines to the block width.
  std::string SelectedText(bool withPadding) const;
  // The replace primitive: deletes the selection in the current mode and
  // inserts value at the caret in the given mode. Records nothing itself
  // except, when addToUndoList is set, the pieces of a column insertion
  // (under pieceKind). Returns where the inserted text starts and ends.
  TInsertedRange ReplaceSelection(TSynSelectionMode mode, std::string_view value,
                                  bool addToUndoList = false, TSynChangeKind pieceKind = ckInsert);
  // Records the deletion of the selection, without column padding, so undo
  // puts back exactly it.
  void RecordSelectionDeletion();
  // Records the blanks stores have trimmed since the last flush.
  void FlushTrimRecords();

  // One undo step around several recordings; closing the outermost block
  // also records the trimmed blanks.
  void BeginUndoBlock();
  void EndUndoBlock();
  int UndoBlockDepth() const { return undoBlockDepth_; }
  [[nodiscard]] auto OpenUndoBlock() {
    return Bracket([this] { BeginUndoBlock(); }, [this] { EndUndoBlock(); });
  }
  // One undo step under one paint lock; the lock is released even when
  // closing the block fails.
  [[nodiscard]] auto EditStep() {
    return Bracket(
        [this] {
          host_.BeginPaintLock();
          BeginUndoBlock();
        },
        [this] {
          auto lock = TBracket([this] { host_.EndPaintLock(); });
          EndUndoBlock();
        });
  }
  // While a history is replayed, lines are stored as recorded, never trimmed.
  [[nodiscard]] auto Replaying() {
    return Bracket([this] { ++replaying_; }, [this] { --replaying_; });
  }

  // Throws std::logic_error when the block nesting, the trim records or a
  // history is broken.
  void Check() const;

 private:
  void DeleteSelectionPrimitive();
  TInsertedRange InsertNormal(std::string_view value);
  TInsertedRange InsertByLines(std::string_view value);
  TInsertedRange InsertColumn(std::string_view value, bool addToUndoList, TSynChangeKind pieceKind);
  [[nodiscard]] auto LockPaint() {
    return Bracket([this] { host_.BeginPaintLock(); }, [this] { host_.EndPaintLock(); });
  }

  TSynEditStringList& lines_;
  TSynCaretSelection& caret_;
  TSynEditorOptions& options_;
  const int& tabWidth_;
  THost& host_;
  std::unique_ptr<TSynEditUndoList> undoList_ = std::make_unique<TSynEditUndoList>();
  std::unique_ptr<TSynEditUndoList> redoList_ = std::make_unique<TSynEditUndoList>();
  // Trailing blanks a store trimmed away, to be recorded as their own
  // deletion right after the change that stored the line.
  struct TTrimRecord {
    TBufferCoord Start;
    TBufferCoord End;
    std::string Text;
  };
  std::vector<TTrimRecord> pendingTrims_;
  int undoBlockDepth_ = 0;
  int replaying_ = 0;
};

}  // namespace ludra
