#pragma once
// The messages of the last compile as the editor shows them: each line of
// the document that a message is about carries one mark in the editor's
// mark list (an error mark when any message there is an error, else a
// warning mark), so the messages follow inserted and deleted lines the way
// bookmarks do, at no cost while typing.
#include <string>
#include <vector>

#include "appcore/CompilerMessages.h"
#include "editor/SynEdit.h"

namespace ludra {

// Puts the caret at the start of the text of a line (kept inside the
// document) without selecting anything, bringing it into view in the middle
// when it was out of it.
void GoToLine(TCustomSynEdit& editor, int line);

class TCompilerMessageList {
 public:
  // Gives the editor the mark images (see MarkImages).
  explicit TCompilerMessageList(TCustomSynEdit& editor);
  TCompilerMessageList(const TCompilerMessageList&) = delete;
  TCompilerMessageList& operator=(const TCompilerMessageList&) = delete;

  // The bookmark glyphs 0..9, then the error and the warning glyph. The
  // bookmarks look as they do without images, and a message mark stands
  // beside a bookmark on the same line.
  static const std::vector<TSynGlyph>& MarkImages();
  static constexpr int kErrorImage = 10;
  static constexpr int kWarningImage = 11;

  // Replaces the messages with those of a compile of scriptPath (the
  // absolute path the compiler was given, which the document is); relative
  // file names are taken in its folder.
  void Assign(std::vector<TCompilerMessage> messages, const std::string& scriptPath);
  // Forgets the messages and takes their marks out of the gutter.
  void Clear();

  int Count() const { return static_cast<int>(messages_.size()); }
  const TCompilerMessage& Items(int index) const { return messages_.at(index).Message; }
  // The file a message names.
  const std::string& PathOf(int index) const { return messages_.at(index).Path; }
  // Whether a message is about the document (rather than an include file).
  bool InDocument(int index) const { return messages_.at(index).Mark >= 0; }
  // How many messages are about the document.
  int DocumentCount() const { return documentCount_; }

  // The lines a message about the document stands on now: they have
  // followed the edits since the compile and lie inside the document.
  struct TLines {
    int First = 0;
    int Last = 0;
  };
  TLines LinesOf(int index) const;

  // Goes to a message's first line (GoToLine) and marks it; false (nothing
  // done) for a message about another file. The message becomes the
  // current one.
  bool Show(int index);

  // The line the caret was taken to is marked in this colour until the
  // caret moves (CaretMoved) or the text changes (Unmark): the next key
  // then types at the caret, and no selection is there to replace.
  static constexpr TColor kMarkColor = 0xC0FFFF;  // a pale yellow
  void MarkCaretLine();
  void CaretMoved();
  void Unmark();
  bool Marked() const { return marked_; }

  // The message after (before) the current one that is about the document,
  // going round at the end; -1 when no message is. It becomes current.
  int Next();
  int Previous();
  int Current() const { return current_; }

  // The messages marked on a document line, in the compiler's order.
  std::vector<int> MessagesOnLine(int line) const;

  // Checks the counts, the current message, and that every mark still in
  // the editor's list shows the image of the worst message on it.
  void Check() const;

 private:
  struct TEntry {
    TCompilerMessage Message;
    std::string Path;
    int Mark = -1;  // index into marks_, -1 for another file
  };
  // A mark of ours, or nullptr when the editor has dropped it meanwhile.
  TSynEditMark* LiveMark(int mark) const;
  // LiveMark of every mark at once.
  std::vector<TSynEditMark*> LiveMarks() const;
  static bool IsOurs(const TSynEditMark* mark);
  int Step(int direction);

  TCustomSynEdit& editor_;
  std::vector<TEntry> messages_;
  std::vector<TSynEditMark*> marks_;
  int documentCount_ = 0;
  int current_ = -1;
  bool marked_ = false;
  TBufferCoord markedCaret_;
};

}  // namespace ludra
