#pragma once
// The handler chains through which other components (the completion engine)
// see keys and characters before the editor translates them, and the hooked
// command handlers that see every command before and after it runs.
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "base/SynBracket.h"
#include "base/SynEditTypes.h"
#include "base/SynHandlerList.h"
#include "editor/SynEditKeyConst.h"

namespace ludra {

class TCustomSynEdit;

// A handler is a (procedure, object) pair, so that it can be removed again by
// the same pair.
using TKeyDownProc = void (*)(void* object, TCustomSynEdit* sender, uint16_t& key,
                              TShiftState shift);
using TKeyPressProc = void (*)(void* object, TCustomSynEdit* sender, char& key);
// Mouse buttons and cursor identities shared with the mouse chains.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
using TCursor = int;
inline constexpr TCursor crDefault = 0, crArrow = -2, crIBeam = -4, crDrag = -12, crMultiDrag = -16;
using TMouseProc = void (*)(void* object, TCustomSynEdit* sender, TMouseButton button,
                            TShiftState shift, int x, int y);
using TMouseCursorProc = void (*)(void* object, TCustomSynEdit* sender,
                                  const TBufferCoord& aLineCharPos, TCursor& aCursor);
using THookedCommandProc = void (*)(void* object, TCustomSynEdit* sender, bool afterProcessing,
                                    bool& handled, TSynEditorCommand& command, char& aChar,
                                    void* data, void* handlerData);

template <typename Proc>
struct TSynMethod {
  Proc Code = nullptr;
  void* Data = nullptr;
  friend bool operator==(const TSynMethod&, const TSynMethod&) = default;
};

// Handlers run newest first; a removal takes the newest equal entry only.
// A nested run of the same chain (a handler sending a key to the editor) is
// ignored.
template <typename Proc>
class THandlerList {
 public:
  void Add(Proc code, void* data) { items_.Add({code, data}); }
  void Remove(Proc code, void* data) { items_.Remove({code, data}); }
  int Count() const { return items_.Count(); }
  const TSynMethod<Proc>& Get(int index) const { return items_.Get(index); }

  // Stops once a handler sets the key to 0.
  template <typename Key, typename... Args>
  void ExecuteUntilZero(TCustomSynEdit* sender, Key& key, Args... args) {
    if (running_) return;
    auto keepRunning = Preserve(running_);
    running_ = true;
    items_.Call([&](const TSynMethod<Proc>& m) {
      if (key == 0) return false;
      m.Code(m.Data, sender, key, args...);
      return true;
    });
  }

  // Every handler runs (the mouse chains never stop early).
  template <typename... Args>
  void ExecuteAll(TCustomSynEdit* sender, Args&&... args) {
    if (running_) return;
    auto keepRunning = Preserve(running_);
    running_ = true;
    items_.Call([&](const TSynMethod<Proc>& m) { m.Code(m.Data, sender, args...); });
  }

 private:
  TSynHandlerList<TSynMethod<Proc>, THandlerOrder::NewestFirst, THandlerRemoval::NewestEqual>
      items_;
  bool running_ = false;
};

class TSynEditKbdHandler {
 public:
  THandlerList<TKeyDownProc>& KeyDownHandlers() { return keyDown_; }
  THandlerList<TKeyDownProc>& KeyUpHandlers() { return keyUp_; }
  THandlerList<TKeyPressProc>& KeyPressHandlers() { return keyPress_; }
  void ExecuteKeyDown(TCustomSynEdit* sender, uint16_t& key, TShiftState shift) {
    keyDown_.ExecuteUntilZero(sender, key, shift);
  }
  void ExecuteKeyUp(TCustomSynEdit* sender, uint16_t& key, TShiftState shift) {
    keyUp_.ExecuteUntilZero(sender, key, shift);
  }
  void ExecuteKeyPress(TCustomSynEdit* sender, char& key) {
    keyPress_.ExecuteUntilZero(sender, key);
  }
  THandlerList<TMouseProc>& MouseDownHandlers() { return mouseDown_; }
  THandlerList<TMouseProc>& MouseUpHandlers() { return mouseUp_; }
  THandlerList<TMouseCursorProc>& MouseCursorHandlers() { return mouseCursor_; }
  void ExecuteMouseDown(TCustomSynEdit* sender, TMouseButton button, TShiftState shift, int x,
                        int y) {
    mouseDown_.ExecuteAll(sender, button, shift, x, y);
  }
  void ExecuteMouseUp(TCustomSynEdit* sender, TMouseButton button, TShiftState shift, int x,
                      int y) {
    mouseUp_.ExecuteAll(sender, button, shift, x, y);
  }
  void ExecuteMouseCursor(TCustomSynEdit* sender, const TBufferCoord& pos, TCursor& cursor) {
    mouseCursor_.ExecuteAll(sender, pos, cursor);
  }

 private:
  THandlerList<TKeyDownProc> keyDown_;
  THandlerList<TKeyDownProc> keyUp_;
  THandlerList<TKeyPressProc> keyPress_;
  THandlerList<TMouseProc> mouseDown_;
  THandlerList<TMouseProc> mouseUp_;
  THandlerList<TMouseCursorProc> mouseCursor_;
};

struct THookedCommandHandlerEntry {
  THookedCommandProc Handler = nullptr;
  void* Object = nullptr;
  void* HandlerData = nullptr;
  // One entry per (handler, object): the data does not tell entries apart.
  struct TSameHandler {
    bool operator()(const THookedCommandHandlerEntry& a,
                    const THookedCommandHandlerEntry& b) const {
      return a.Handler == b.Handler && a.Object == b.Object;
    }
  };
};
// Called oldest first; a handler is registered once per object.
using THookedCommandHandlerList =
    TSynHandlerList<THookedCommandHandlerEntry, THandlerOrder::OldestFirst,
                    THandlerRemoval::AllEqual, THandlerAdding::Unique,
                    THookedCommandHandlerEntry::TSameHandler>;

}  // namespace ludra
