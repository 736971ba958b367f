#pragma once
// How a component attached to editors (the completion engine) follows them:
// one listener interface, added to an editor once and removed by the same
// pointer. It sees keys and characters before the editor translates them
// (newest listener first; setting the key to 0 consumes it, and a key sent
// to the editor from inside a listener is not shown to the listeners
// again), every command before and after it runs (oldest first; handled
// cancels it before, and reports it done after), and the editor going.
#include <cstdint>

#include "base/SynEditTypes.h"
#include "base/SynHandlerList.h"
#include "editor/SynEditKeyConst.h"

namespace ludra {

class TCustomSynEdit;

// Mouse buttons and cursor identities.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
using TCursor = int;
inline constexpr TCursor crDefault = 0, crArrow = -2, crIBeam = -4, crDrag = -12, crMultiDrag = -16;

class TSynEditListener {
 public:
  virtual void KeyDownHook(TCustomSynEdit* sender, uint16_t& key, TShiftState shift) {
    (void)sender, (void)key, (void)shift;
  }
  virtual void KeyPressHook(TCustomSynEdit* sender, char& key) { (void)sender, (void)key; }
  virtual void CommandHook(TCustomSynEdit* sender, bool afterProcessing, bool& handled,
                           TSynEditorCommand& command, char& aChar, void* data) {
    (void)sender, (void)afterProcessing, (void)handled, (void)command, (void)aChar, (void)data;
  }
  // The editor is being destroyed; the listener is already removed.
  virtual void EditorDestroyed(TCustomSynEdit* sender) { (void)sender; }

 protected:
  ~TSynEditListener() = default;
};

using TSynEditListeners = TSynHandlerList<TSynEditListener*, THandlerOrder::OldestFirst,
                                          THandlerRemoval::AllEqual, THandlerAdding::Unique>;

}  // namespace ludra
