#pragma once
// Search and replace as a component of the editing control: finds, replaces
// or replaces all occurrences of a pattern in the scope the flags give,
// changing the text only through the editing component. It reaches the
// control through a small host: showing an occurrence, moving the caret,
// asking before a replacement, and the paint lock.
#include <string>

#include "base/SynEditTypes.h"
#include "editor/SynEditCaret.h"
#include "editor/SynEditOptions.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

class TSynEditing;
class TSynProgressSink;

class TSynSearchReplace {
 public:
  class THost {
   public:
    virtual bool ReadOnly() const = 0;
    // Selects start..end and scrolls it into view from the left, the caret
    // at its end (at its start when backwards), with one notice.
    virtual void ShowOccurrence(const TBufferCoord& start, const TBufferCoord& end,
                                bool backwards) = 0;
    virtual void MoveCaret(const TBufferCoord& pos, bool show) = 0;
    virtual void SetSelTo(const TBufferCoord& pos) = 0;
    // Asked before each replacement while prompting; raReplace without a prompt.
    virtual TSynReplaceAction AskReplace(const std::string& aSearch, const std::string& aReplace,
                                         int line, int column) = 0;
    virtual void PaintTransient(TTransientType type) = 0;
    virtual void BeginPaintLock() = 0;
    virtual void EndPaintLock() = 0;

   protected:
    ~THost() = default;
  };

  // Without a progress sink a replace-all runs to its end.
  TSynSearchReplace(TSynEditSearchCustom& engine, TSynEditing& editing,
                    const TSynCaretSelection& caret, const TSynEditorOptions& options, THost& host,
                    TSynProgressSink* progressSink);

  // Returns the number of occurrences visited.
  int Run(const std::string& aSearch, const std::string& aReplace, TSynSearchFlags options);

 private:
  TSynEditSearchCustom& engine_;
  TSynEditing& editing_;
  const TSynCaretSelection& caret_;
  const TSynEditorOptions& options_;
  THost& host_;
  TSynProgressSink* progressSink_;
};

}  // namespace ludra
