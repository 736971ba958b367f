#pragma once
// The editing component: the one place where the text changes. Its
// insertions, deletions and replacements change the lines, the trimming
// records and the undo history together; the command families, paste,
// drag-and-drop and search-and-replace call only these, and undo and redo
// replay the histories through the same code. It keeps both histories, the
// undo block and the blanks trimming took, which go into the block as their
// own deletion. The control it belongs to moves the caret and holds the
// paint lock (THost).
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
class TSynProgressGate;

class TSynEditing {
 public:
  // What the component asks of its control: the caret moved within its limits
  // (with its notices; scrolled into view unless show is false), the caret
  // and the selection set by the control's rules, those limits applied
  // again, the caret scrolled into view, and the paint lock of a step.
  class THost {
   public:
    virtual void MoveCaret(const TBufferCoord& pos, bool show) = 0;
    virtual void SetCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& from,
                                      const TBufferCoord& to) = 0;
    virtual void LimitCaretAndSelection() = 0;
    virtual void EnsureCaretVisible() = 0;
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

  // What a replay leaves for the modified flag: nothing to do, a step
  // stopped part way (never the saved text), or the flag follows the saved
  // point again.
  enum class TReplayEnd : uint8_t { Plain, Stopped, Resync };

  // The lines, the caret and selection, the options and the tab width are
  // the control's; the component keeps references to them.
  TSynEditing(TSynEditStringList& lines, TSynCaretSelection& caret, TSynEditorOptions& options,
              const int& tabWidth, THost& host);
  ~TSynEditing();
  TSynEditing(const TSynEditing&) = delete;
  TSynEditing& operator=(const TSynEditing&) = delete;

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

  // The selected text; withPadding pads column lines to the block width.
  std::string SelectedText(bool withPadding) const;

  // --- The changes of the text: nothing else changes the lines. Each stores
  // lines through the trimming rule, records itself in the undo history as
  // kind with the blanks trimming took right after it, leaves no selection
  // and moves the caret (after the inserted text, or to where the deleted
  // range started). A column range spans the columns between from and to
  // on their lines; its deletion leaves the caret on to's line. An empty
  // insertion or range changes and records nothing.
  // Inserts text at at: in smNormal it splits at line ends (at character 1
  // the line's text, and its marks, move down); smLine inserts whole lines
  // before at's line; smColumn puts each piece on the next line at at's
  // column, each recorded as kind. Blanks recorded as ckWhiteSpaceAdd stay:
  // the text typed next follows them.
  TInsertedRange Insert(const TBufferCoord& at, std::string_view text, TSynChangeKind kind,
                        TSynSelectionMode mode = smNormal);
  // Deletes [from, to) in mode, recorded with the removed text (without
  // column padding, so undo puts back exactly it).
  void DeleteRange(const TBufferCoord& from, const TBufferCoord& to, TSynChangeKind kind,
                   TSynSelectionMode mode = smNormal);
  // Deletes the range (recorded as deleteKind) and inserts text where it
  // was (a column block's replacement goes into its top-left corner),
  // inserted in insertMode and recorded as insertKind.
  TInsertedRange ReplaceRange(const TBufferCoord& from, const TBufferCoord& to,
                              TSynSelectionMode mode, std::string_view text,
                              TSynSelectionMode insertMode, TSynChangeKind insertKind,
                              TSynChangeKind deleteKind = ckDelete);
  // The selection (or nothing at the caret) replaced by text in the
  // selection's mode as one undo step; a column block's caret ends on its
  // last line.
  void SetSelectedText(std::string_view text);
  // ReplaceRange over the selection as it stands (or an insertion at the caret).
  TInsertedRange ReplaceSelection(std::string_view text, TSynSelectionMode insertMode,
                                  TSynChangeKind insertKind);
  // Two insertions with rules of their own. A line break at the caret (the
  // selection deleted first) with auto-indent, as one undo step; with
  // insertLine the caret stays. The text before the break goes through the
  // trimming rule, the indentation and the moved text do not.
  void BreakLine(bool insertLine);
  // Takes one indentation unit (a tab, or up to a tab width of blanks) off
  // each of the lines first.Line..endLine at column (1 outside column
  // mode), recorded with the block first..last, which undo selects. Answers
  // what came off each line; empty when no line had any.
  std::vector<int> Unindent(const TBufferCoord& first, const TBufferCoord& last,
                            TSynSelectionMode mode, int column, int endLine);
  // Records a mark that changes no text: the selection (ckSelection, and
  // ckIndent framing a block indent) or the caret (ckCaret) undo and redo
  // restore, or the begin and end of a paste.
  void MarkStep(TSynChangeKind kind, const TBufferCoord& first, const TBufferCoord& last,
                TSynSelectionMode mode);
  // Ends the current group of same-kind steps.
  void BreakGroup() { undoList_->AddBreak(); }

  // Undo (or redo with redo set) of the newest step, with eoGroupUndo also
  // the steps of the same kind before it. A large step asks progress between its
  // records whether to go on; stopped, what was replayed stays and the rest
  // of the step stays in its history.
  TReplayEnd Replay(bool redo, TSynProgressGate& progress);

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
  // The changes leave the view where it is until the returned bracket goes:
  // typing scrolls by its own rule afterwards.
  [[nodiscard]] auto WithoutScrolling() {
    return Bracket([this] { ++unscrolled_; }, [this] { --unscrolled_; });
  }

  // Throws std::logic_error when the block nesting, the trim records or a
  // history is broken.
  void Check() const;

 private:
  struct TReplay;

  // The text of [from, to) in mode.
  std::string TextOf(const TBufferCoord& from, const TBufferCoord& to, TSynSelectionMode mode,
                     bool withPadding) const;
  // Stores a line through the trimming rule of eoTrimTrailingSpaces.
  void StoreLine(int index, const std::string& text);
  // Lines index .. index + count (0-based) become one line holding text,
  // stored through the storing rule when store is set. The lines before the
  // last one are the ones removed, so the marks of every joined line end on
  // the joined line.
  void JoinLines(int index, int count, const std::string& text, bool store);
  // The change behind the operations above; ckNothing records nothing. The
  // replay uses it directly and records the reversal itself.
  TInsertedRange Change(const TBufferCoord& from, const TBufferCoord& to, TSynSelectionMode mode,
                        std::string_view text, TSynSelectionMode insertMode,
                        TSynChangeKind deleteKind, TSynChangeKind insertKind);
  void DeleteText(const TBufferCoord& from, const TBufferCoord& to, TSynSelectionMode mode,
                  bool storeJoined);
  // The selection (or the caret) replaced without a record, for the replay.
  TInsertedRange ReplaceSelectionUnrecorded(TSynSelectionMode insertMode, std::string_view text);
  TInsertedRange InsertNormal(const TBufferCoord& at, std::string_view value);
  TInsertedRange InsertByLines(const TBufferCoord& at, std::string_view value);
  TInsertedRange InsertColumn(const TBufferCoord& at, std::string_view value,
                              TSynChangeKind pieceKind);
  // Removes each segment's length at column from the lines from firstLine on.
  void RemoveSegments(int firstLine, int column, const std::vector<std::string>& segments);
  void Record(TSynChangeKind kind, const TBufferCoord& start, const TBufferCoord& end,
              const std::string& text, TSynSelectionMode mode);
  // Records the blanks stores have trimmed since the last flush.
  void FlushTrimRecords();
  void MoveCaret(const TBufferCoord& pos) { host_.MoveCaret(pos, unscrolled_ == 0); }
  [[nodiscard]] auto LockPaint() {
    return Bracket([this] { host_.BeginPaintLock(); }, [this] { host_.EndPaintLock(); });
  }
  // While a history is replayed, lines are stored as recorded, never trimmed.
  [[nodiscard]] auto Replaying() {
    return Bracket([this] { ++replaying_; }, [this] { --replaying_; });
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
  int unscrolled_ = 0;
  // Set while blanks are inserted that must not be trimmed.
  bool keepBlanks_ = false;
};

}  // namespace ludra
