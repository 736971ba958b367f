#include "editor/SynEditKeyCmds.h"

#include <algorithm>

namespace ludra {

TShortCut ShortCut(uint16_t key, TShiftState shift) {
  TShortCut s = key & 0xFF;
  if (shift.Contains(ssShift)) s |= scShift;
  if (shift.Contains(ssCtrl)) s |= scCtrl;
  if (shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

namespace {

std::string KeyName(uint16_t key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) return "Num " + std::to_string(key - VK_NUMPAD0);
  switch (key) {
    case VK_BACK:
      return "BkSp";
    case VK_TAB:
      return "Tab";
    case VK_RETURN:
      return "Enter";
    case VK_ESCAPE:
      return "Esc";
    case VK_SPACE:
      return "Space";
    case VK_PRIOR:
      return "PgUp";
    case VK_NEXT:
      return "PgDn";
    case VK_END:
      return "End";
    case VK_HOME:
      return "Home";
    case VK_LEFT:
      return "Left";
    case VK_UP:
      return "Up";
    case VK_RIGHT:
      return "Right";
    case VK_DOWN:
      return "Down";
    case VK_INSERT:
      return "Ins";
    case VK_DELETE:
      return "Del";
    default:
      return key ? "#" + std::to_string(key) : std::string();
  }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string prefix;
  if (shortCut & scShift) prefix += "Shift+";
  if (shortCut & scCtrl) prefix += "Ctrl+";
  if (shortCut & scAlt) prefix += "Alt+";
  return prefix + name;
}

#define EC(name) \
  { name, #name }

const std::vector<std::pair<TSynEditorCommand, const char*>>& EditorCommandNames() {
  static const std::vector<std::pair<TSynEditorCommand, const char*>> names = {
      EC(ecNone),
      EC(ecLeft),
      EC(ecRight),
      EC(ecUp),
      EC(ecDown),
      EC(ecWordLeft),
      EC(ecWordRight),
      EC(ecLineStart),
      EC(ecLineEnd),
      EC(ecPageUp),
      EC(ecPageDown),
      EC(ecPageLeft),
      EC(ecPageRight),
      EC(ecPageTop),
      EC(ecPageBottom),
      EC(ecEditorTop),
      EC(ecEditorBottom),
      EC(ecGotoXY),
      EC(ecSelLeft),
      EC(ecSelRight),
      EC(ecSelUp),
      EC(ecSelDown),
      EC(ecSelWordLeft),
      EC(ecSelWordRight),
      EC(ecSelLineStart),
      EC(ecSelLineEnd),
      EC(ecSelPageUp),
      EC(ecSelPageDown),
      EC(ecSelPageLeft),
      EC(ecSelPageRight),
      EC(ecSelPageTop),
      EC(ecSelPageBottom),
      EC(ecSelEditorTop),
      EC(ecSelEditorBottom),
      EC(ecSelGotoXY),
      EC(ecSelectAll),
      EC(ecMatchBracket),
      EC(ecAutoCompletion),
      EC(ecUserFirst),
      EC(ecContextHelp),
      EC(ecGotoMarker0),
      EC(ecGotoMarker1),
      EC(ecGotoMarker2),
      EC(ecGotoMarker3),
      EC(ecGotoMarker4),
      EC(ecGotoMarker5),
      EC(ecGotoMarker6),
      EC(ecGotoMarker7),
      EC(ecGotoMarker8),
      EC(ecGotoMarker9),
      EC(ecSetMarker0),
      EC(ecSetMarker1),
      EC(ecSetMarker2),
      EC(ecSetMarker3),
      EC(ecSetMarker4),
      EC(ecSetMarker5),
      EC(ecSetMarker6),
      EC(ecSetMarker7),
      EC(ecSetMarker8),
      EC(ecSetMarker9),
      EC(ecDeleteLastChar),
      EC(ecDeleteChar),
      EC(ecDeleteWord),
      EC(ecDeleteLastWord),
      EC(ecDeleteBOL),
      EC(ecDeleteEOL),
      EC(ecDeleteLine),
      EC(ecClearAll),
      EC(ecLineBreak),
      EC(ecInsertLine),
      EC(ecChar),
      EC(ecImeStr),
      EC(ecUndo),
      EC(ecRedo),
      EC(ecCut),
      EC(ecCopy),
      EC(ecPaste),
      EC(ecScrollUp),
      EC(ecScrollDown),
      EC(ecScrollLeft),
      EC(ecScrollRight),
      EC(ecInsertMode),
      EC(ecOverwriteMode),
      EC(ecToggleMode),
      EC(ecNormalSelect),
      EC(ecColumnSelect),
      EC(ecLineSelect),
      EC(ecBlockIndent),
      EC(ecBlockUnindent),
      EC(ecTab),
      EC(ecShiftTab),
      EC(ecUpperCase),
      EC(ecLowerCase),
      EC(ecToggleCase),
      EC(ecTitleCase),
      EC(ecUpperCaseBlock),
      EC(ecLowerCaseBlock),
      EC(ecToggleCaseBlock),
      EC(ecString)};
  return names;
}

#undef EC

std::string EditorCommandToIdent(TSynEditorCommand command) {
  for (const auto& [c, name] : EditorCommandNames())
    if (c == command) return name;
  return std::to_string(command);
}

bool IdentToEditorCommand(const std::string& ident, TSynEditorCommand& command) {
  for (const auto& [c, name] : EditorCommandNames())
    if (ident == name) {
      command = c;
      return true;
    }
  return false;
}

void TSynEditKeyStroke::CheckUnique(TShortCut first, TShortCut second) const {
  if (!owner_ || first == scNone) return;
  int found = owner_->FindShortcut2(first, second);
  if (found >= 0 && &owner_->Items(found) != this) throw EKeyException("Shortcut already exists");
}

void TSynEditKeyStroke::SetKey(uint16_t value) {
  if (value == key_) return;
  CheckUnique(ludra::ShortCut(value, shift_), ShortCut2());
  key_ = value;
}

void TSynEditKeyStroke::SetShift(TShiftState value) {
  if (value == shift_) return;
  CheckUnique(ludra::ShortCut(key_, value), ShortCut2());
  shift_ = value;
}

void TSynEditKeyStroke::SetKey2(uint16_t value) {
  if (value == key2_) return;
  CheckUnique(ShortCut(), value ? ludra::ShortCut(value, shift2_) : scNone);
  key2_ = value;
}

void TSynEditKeyStroke::SetShift2(TShiftState value) {
  if (value == shift2_) return;
  CheckUnique(ShortCut(), key2_ ? ludra::ShortCut(key2_, value) : scNone);
  shift2_ = value;
}

void TSynEditKeyStroke::SetShortCut(TShortCut value) {
  uint16_t key;
  TShiftState shift;
  ShortCutToKey(value, key, shift);
  if (key == key_ && shift == shift_) return;
  CheckUnique(value, ShortCut2());
  key_ = key;
  shift_ = shift;
}

void TSynEditKeyStroke::SetShortCut2(TShortCut value) {
  uint16_t key;
  TShiftState shift;
  ShortCutToKey(value, key, shift);
  if (key == key2_ && shift == shift2_) return;
  CheckUnique(ShortCut(), value);
  key2_ = key;
  shift2_ = shift;
}

std::string TSynEditKeyStroke::DisplayName() const {
  std::string name = EditorCommandToIdent(command_) + " - " + ShortCutToText(ShortCut());
  if (ShortCut() != scNone) name += " " + ShortCutToText(ShortCut2());
  return name.empty() ? "TSynEditKeyStroke" : name;
}

void TSynEditKeyStroke::Assign(const TSynEditKeyStroke& other) {
  key_ = other.key_;
  shift_ = other.shift_;
  key2_ = other.key2_;
  shift2_ = other.shift2_;
  command_ = other.command_;
}

TSynEditKeyStroke& TSynEditKeyStrokes::Add() {
  items_.push_back(std::make_unique<TSynEditKeyStroke>(this));
  return *items_.back();
}

void TSynEditKeyStrokes::AddKey(TSynEditorCommand command, uint16_t key, TShiftState shift,
                                uint16_t key2, TShiftState shift2) {
  // The whole pair is checked at once; setting the parts one by one would
  // pass through pairs that other bindings own.
  if (FindShortcut2(ShortCut(key, shift), key2 ? ShortCut(key2, shift2) : scNone) >= 0)
    throw EKeyException("Shortcut already exists");
  TSynEditKeyStroke& k = Add();
  k.key_ = key;
  k.shift_ = shift;
  k.key2_ = key2;
  k.shift2_ = shift2;
  k.command_ = command;
}

void TSynEditKeyStrokes::Delete(int index) { items_.erase(items_.begin() + index); }

int TSynEditKeyStrokes::FindKeycode(uint16_t code, TShiftState shift) const {
  for (int i = 0; i < Count(); ++i) {
    const auto& k = *items_[i];
    if (k.key_ == code && k.shift_ == shift && k.key2_ == 0) return i;
  }
  return -1;
}

int TSynEditKeyStrokes::FindKeycode2(uint16_t code1, TShiftState shift1, uint16_t code2,
                                     TShiftState shift2) const {
  for (int i = 0; i < Count(); ++i) {
    const auto& k = *items_[i];
    if (k.key_ == code1 && k.shift_ == shift1 && k.key2_ == code2 && k.shift2_ == shift2) return i;
  }
  return -1;
}

int TSynEditKeyStrokes::FindShortcut(TShortCut shortCut) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i]->ShortCut() == shortCut) return i;
  return -1;
}

int TSynEditKeyStrokes::FindShortcut2(TShortCut shortCut, TShortCut shortCut2) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i]->ShortCut() == shortCut && items_[i]->ShortCut2() == shortCut2) return i;
  return -1;
}

int TSynEditKeyStrokes::FindCommand(TSynEditorCommand command) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i]->Command() == command) return i;
  return -1;
}

void TSynEditKeyStrokes::ResetDefaults() {
  Clear();
  const TShiftState none{}, shift{ssShift}, ctrl{ssCtrl}, ctrlShift{ssCtrl, ssShift}, alt{ssAlt},
      altShift{ssAlt, ssShift};
  AddKey(ecUp, VK_UP, none);
  AddKey(ecSelUp, VK_UP, shift);
  AddKey(ecScrollUp, VK_UP, ctrl);
  AddKey(ecDown, VK_DOWN, none);
  AddKey(ecSelDown, VK_DOWN, shift);
  AddKey(ecScrollDown, VK_DOWN, ctrl);
  AddKey(ecLeft, VK_LEFT, none);
  AddKey(ecSelLeft, VK_LEFT, shift);
  AddKey(ecWordLeft, VK_LEFT, ctrl);
  AddKey(ecSelWordLeft, VK_LEFT, ctrlShift);
  AddKey(ecRight, VK_RIGHT, none);
  AddKey(ecSelRight, VK_RIGHT, shift);
  AddKey(ecWordRight, VK_RIGHT, ctrl);
  AddKey(ecSelWordRight, VK_RIGHT, ctrlShift);
  AddKey(ecPageDown, VK_NEXT, none);
  AddKey(ecSelPageDown, VK_NEXT, shift);
  AddKey(ecPageBottom, VK_NEXT, ctrl);
  AddKey(ecSelPageBottom, VK_NEXT, ctrlShift);
  AddKey(ecPageUp, VK_PRIOR, none);
  AddKey(ecSelPageUp, VK_PRIOR, shift);
  AddKey(ecPageTop, VK_PRIOR, ctrl);
  AddKey(ecSelPageTop, VK_PRIOR, ctrlShift);
  AddKey(ecLineStart, VK_HOME, none);
  AddKey(ecSelLineStart, VK_HOME, shift);
  AddKey(ecEditorTop, VK_HOME, ctrl);
  AddKey(ecSelEditorTop, VK_HOME, ctrlShift);
  AddKey(ecLineEnd, VK_END, none);
  AddKey(ecSelLineEnd, VK_END, shift);
  AddKey(ecEditorBottom, VK_END, ctrl);
  AddKey(ecSelEditorBottom, VK_END, ctrlShift);
  AddKey(ecToggleMode, VK_INSERT, none);
  AddKey(ecCopy, VK_INSERT, ctrl);
  AddKey(ecCut, VK_DELETE, shift);
  AddKey(ecPaste, VK_INSERT, shift);
  AddKey(ecDeleteChar, VK_DELETE, none);
  AddKey(ecDeleteLastChar, VK_BACK, none);
  AddKey(ecDeleteLastChar, VK_BACK, shift);
  AddKey(ecDeleteLastWord, VK_BACK, ctrl);
  AddKey(ecUndo, VK_BACK, alt);
  AddKey(ecRedo, VK_BACK, altShift);
  AddKey(ecLineBreak, VK_RETURN, none);
  AddKey(ecLineBreak, VK_RETURN, shift);
  AddKey(ecTab, VK_TAB, none);
  AddKey(ecShiftTab, VK_TAB, shift);
  AddKey(ecContextHelp, VK_F1, none);
  AddKey(ecSelectAll, 'A', ctrl);
  AddKey(ecCopy, 'C', ctrl);
  AddKey(ecPaste, 'V', ctrl);
  AddKey(ecCut, 'X', ctrl);
  AddKey(ecBlockIndent, 'I', ctrlShift);
  AddKey(ecBlockUnindent, 'U', ctrlShift);
  AddKey(ecLineBreak, 'M', ctrl);
  AddKey(ecInsertLine, 'N', ctrl);
  AddKey(ecDeleteWord, 'T', ctrl);
  AddKey(ecDeleteLine, 'Y', ctrl);
  AddKey(ecDeleteEOL, 'Y', ctrlShift);
  AddKey(ecUndo, 'Z', ctrl);
  AddKey(ecRedo, 'Z', ctrlShift);
  for (int i = 0; i <= 9; ++i) AddKey(ecGotoMarker0 + i, '0' + i, ctrl);
  for (int i = 0; i <= 9; ++i) AddKey(ecSetMarker0 + i, '0' + i, ctrlShift);
  AddKey(ecNormalSelect, 'N', ctrlShift);
  AddKey(ecColumnSelect, 'C', ctrlShift);
  AddKey(ecLineSelect, 'L', ctrlShift);
  AddKey(ecMatchBracket, 'B', ctrlShift);
}

void TSynEditKeyStrokes::Assign(const TSynEditKeyStrokes& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.items_) Add().Assign(*item);
}

std::vector<TSynEditKeyStrokes::Binding> TSynEditKeyStrokes::Bindings() const {
  std::vector<Binding> v;
  for (const auto& k : items_) v.push_back({k->ShortCut(), k->ShortCut2(), k->Command()});
  return v;
}

std::vector<TSynEditKeyStrokes::Binding> TSynEditKeyStrokes::RemovedKeystrokes() const {
  TSynEditKeyStrokes defaults;
  defaults.ResetDefaults();
  std::vector<Binding> mine = Bindings(), removed;
  for (const Binding& b : defaults.Bindings())
    if (std::find(mine.begin(), mine.end(), b) == mine.end()) removed.push_back(b);
  return removed;
}

std::vector<TSynEditKeyStrokes::Binding> TSynEditKeyStrokes::AddedKeystrokes() const {
  TSynEditKeyStrokes defaults;
  defaults.ResetDefaults();
  std::vector<Binding> base = defaults.Bindings(), added;
  for (const Binding& b : Bindings())
    if (std::find(base.begin(), base.end(), b) == base.end()) added.push_back(b);
  return added;
}

void TSynEditKeyStrokes::ReadRemovedKeystrokes(const std::vector<Binding>& removed) {
  for (const Binding& b : removed)
    for (int i = 0; i < Count(); ++i)
      if (items_[i]->ShortCut() == b.ShortCut && items_[i]->ShortCut2() == b.ShortCut2 &&
          items_[i]->Command() == b.Command) {
        Delete(i);
        break;
      }
}

void TSynEditKeyStrokes::ReadAddedKeystrokes(const std::vector<Binding>& added) {
  for (const Binding& b : added) {
    uint16_t key, key2;
    TShiftState shift, shift2;
    ShortCutToKey(b.ShortCut, key, shift);
    ShortCutToKey(b.ShortCut2, key2, shift2);
    AddKey(b.Command, key, shift, key2, shift2);
  }
}

}  // namespace ludra
