#pragma once
// The exchangeable search-engine interface: the editor hands one line at a
// time to an engine and asks for every occurrence in it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/SynHandlerList.h"
#include "base/SynSet.h"

namespace ludra {

enum TSynSearchOption : uint8_t {
  sfMatchCase = 0,
  sfWholeWord = 1,
  sfBackwards = 2,
  sfEntireScope = 3,
  sfSelectedOnly = 4,
  sfReplace = 5,
  sfReplaceAll = 6,
  sfPrompt = 7
};
using TSynSearchFlags = TSet<TSynSearchOption>;

enum TSynReplaceAction : uint8_t { raCancel = 0, raSkip = 1, raReplace = 2, raReplaceAll = 3 };

class TSynEditSearchCustom {
 public:
  TSynEditSearchCustom() = default;
  TSynEditSearchCustom(const TSynEditSearchCustom&) = delete;
  TSynEditSearchCustom& operator=(const TSynEditSearchCustom&) = delete;
  // Tells the attached editors, which hold the engine by reference.
  virtual ~TSynEditSearchCustom() { freeHooks_.Notify(this); }
  // Calls handler when the engine is destroyed; one handler per owner.
  void FreeNotification(const void* owner, std::function<void(TSynEditSearchCustom*)> handler) {
    freeHooks_.Set(owner, std::move(handler));
  }
  void RemoveFreeNotification(const void* owner) { freeHooks_.Remove(owner); }
  virtual std::string Pattern() const = 0;
  virtual void SetPattern(const std::string& value) = 0;
  // Length and 1-based position of the i-th occurrence (i from 0) found by
  // the last FindAllInLine.
  virtual int MatchLength(int index) const = 0;
  virtual int MatchPosition(int index) const = 0;
  virtual int MatchCount() const = 0;
  virtual void SetSearchOptions(TSynSearchFlags options) = 0;
  // Finds every occurrence in one line, left to right and never overlapping.
  virtual int FindAllInLine(const std::string& line) = 0;
  // The text that replaces one found occurrence.
  virtual std::string ReplacementText(const std::string& matched,
                                      const std::string& replaceWith) = 0;

 private:
  TSynFreeNotifications<TSynEditSearchCustom> freeHooks_;
};

}  // namespace ludra
