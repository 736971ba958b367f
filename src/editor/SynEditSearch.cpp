// The control's side of search and replace: the engine it is given, the
// prompt, and the component that runs a search (SynEditSearchReplace.cpp).
#include "base/SynExceptions.h"
#include "editor/SynEditComponentHost.h"
#include "editor/SynEditSearchReplace.h"

namespace ludra {

void TCustomSynEdit::SetSearchEngine(TSynEditSearchCustom* value) {
  if (value == searchEngine_) return;
  if (searchEngine_) searchEngine_->RemoveFreeNotification(this);
  searchEngine_ = value;
  if (searchEngine_)
    searchEngine_->FreeNotification(this,
                                    [this](TSynEditSearchCustom*) { searchEngine_ = nullptr; });
}

TSynReplaceAction TCustomSynEdit::DoOnReplaceText(const std::string& aSearch,
                                                  const std::string& aReplace, int line,
                                                  int column) {
  // A handler that leaves the answer alone cancels.
  TSynReplaceAction action = raCancel;
  if (OnReplaceText) OnReplaceText(this, aSearch, aReplace, line, column, action);
  return action;
}

int TCustomSynEdit::SearchAndReplace(const std::string& aSearch, const std::string& aReplace,
                                     TSynSearchFlags options) {
  if (!searchEngine_) throw ESynEditError(SNoSearchEngine);
  TSynSearchReplace search(*searchEngine_, *editing_, caret_, options_, *host_, progressSink_);
  return search.Run(aSearch, aReplace, options);
}

}  // namespace ludra
