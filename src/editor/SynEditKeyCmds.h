#pragma once
// Editor commands and the key-binding table.
#include <memory>
#include <string>
#include <vector>

#include "base/SynEditTypes.h"
#include "base/SynExceptions.h"
#include "editor/SynEditKeyConst.h"

namespace ludra {

// Command numbers. A selecting caret move is its move's number + 100.
enum : TSynEditorCommand {
  ecNone = 0,
  ecLeft = 1,
  ecRight = 2,
  ecUp = 3,
  ecDown = 4,
  ecWordLeft = 5,
  ecWordRight = 6,
  ecLineStart = 7,
  ecLineEnd = 8,
  ecPageUp = 9,
  ecPageDown = 10,
  ecPageLeft = 11,
  ecPageRight = 12,
  ecPageTop = 13,
  ecPageBottom = 14,
  ecEditorTop = 15,
  ecEditorBottom = 16,
  ecGotoXY = 17,
  ecSelection = 100,
  ecSelLeft = 101,
  ecSelRight = 102,
  ecSelUp = 103,
  ecSelDown = 104,
  ecSelWordLeft = 105,
  ecSelWordRight = 106,
  ecSelLineStart = 107,
  ecSelLineEnd = 108,
  ecSelPageUp = 109,
  ecSelPageDown = 110,
  ecSelPageLeft = 111,
  ecSelPageRight = 112,
  ecSelPageTop = 113,
  ecSelPageBottom = 114,
  ecSelEditorTop = 115,
  ecSelEditorBottom = 116,
  ecSelGotoXY = 117,
  ecSelectAll = 199,
  ecCopy = 201,
  ecScrollUp = 211,
  ecScrollDown = 212,
  ecScrollLeft = 213,
  ecScrollRight = 214,
  ecInsertMode = 221,
  ecOverwriteMode = 222,
  ecToggleMode = 223,
  ecNormalSelect = 231,
  ecColumnSelect = 232,
  ecLineSelect = 233,
  ecMatchBracket = 250,
  ecGotoMarker0 = 301,
  ecGotoMarker1,
  ecGotoMarker2,
  ecGotoMarker3,
  ecGotoMarker4,
  ecGotoMarker5,
  ecGotoMarker6,
  ecGotoMarker7,
  ecGotoMarker8,
  ecGotoMarker9,
  ecSetMarker0 = 351,
  ecSetMarker1,
  ecSetMarker2,
  ecSetMarker3,
  ecSetMarker4,
  ecSetMarker5,
  ecSetMarker6,
  ecSetMarker7,
  ecSetMarker8,
  ecSetMarker9,
  ecContextHelp = 490,
  ecDeleteLastChar = 501,
  ecDeleteChar = 502,
  ecDeleteWord = 503,
  ecDeleteLastWord = 504,
  ecDeleteBOL = 505,
  ecDeleteEOL = 506,
  ecDeleteLine = 507,
  ecClearAll = 508,
  ecLineBreak = 509,
  ecInsertLine = 510,
  ecChar = 511,
  ecImeStr = 550,
  ecUndo = 601,
  ecRedo = 602,
  ecCut = 603,
  ecPaste = 604,
  ecBlockIndent = 610,
  ecBlockUnindent = 611,
  ecTab = 612,
  ecShiftTab = 613,
  ecUpperCase = 620,
  ecLowerCase = 621,
  ecToggleCase = 622,
  ecTitleCase = 623,
  ecUpperCaseBlock = 625,
  ecLowerCaseBlock = 626,
  ecToggleCaseBlock = 627,
  ecString = 630,
  ecAutoCompletion = 650,
  ecUserFirst = 1001,
  // Focus changes reach the command pipeline as these (window side).
  ecFocusGained = 700,
  ecFocusLost = 701
};

// The registered name of a command ("ecLineBreak"), or its decimal number.
std::string EditorCommandToIdent(TSynEditorCommand command);
// The command of a name, or false when the name is unknown.
bool IdentToEditorCommand(const std::string& ident, TSynEditorCommand& command);
// The name table in its registration order.
const std::vector<std::pair<TSynEditorCommand, const char*>>& EditorCommandNames();

class EKeyException : public Exception {
 public:
  using Exception::Exception;
};

class TSynEditKeyStrokes;

class TSynEditKeyStroke {
 public:
  explicit TSynEditKeyStroke(TSynEditKeyStrokes* owner = nullptr) : owner_(owner) {}

  uint16_t Key() const { return key_; }
  TShiftState Shift() const { return shift_; }
  uint16_t Key2() const { return key2_; }
  TShiftState Shift2() const { return shift2_; }
  TSynEditorCommand Command() const { return command_; }
  void SetCommand(TSynEditorCommand value) { command_ = value; }
  // Setting a key so that another binding of the table has the same pair of
  // shortcuts raises "Shortcut already exists".
  void SetKey(uint16_t value);
  void SetShift(TShiftState value);
  void SetKey2(uint16_t value);
  void SetShift2(TShiftState value);
  TShortCut ShortCut() const { return ludra::ShortCut(key_, shift_); }
  TShortCut ShortCut2() const { return key2_ ? ludra::ShortCut(key2_, shift2_) : scNone; }
  void SetShortCut(TShortCut value);
  void SetShortCut2(TShortCut value);
  std::string DisplayName() const;

 private:
  friend class TSynEditKeyStrokes;
  void Assign(const TSynEditKeyStroke& other);
  void CheckUnique(TShortCut first, TShortCut second) const;
  TSynEditKeyStrokes* owner_;
  uint16_t key_ = 0;
  TShiftState shift_;
  uint16_t key2_ = 0;
  TShiftState shift2_;
  TSynEditorCommand command_ = ecNone;
};

class TSynEditKeyStrokes {
 public:
  TSynEditKeyStrokes() = default;
  TSynEditKeyStrokes(const TSynEditKeyStrokes&) = delete;
  TSynEditKeyStrokes& operator=(const TSynEditKeyStrokes&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TSynEditKeyStroke& Items(int index) { return *items_.at(index); }
  const TSynEditKeyStroke& Items(int index) const { return *items_.at(index); }
  // A new, empty binding at the end.
  TSynEditKeyStroke& Add();
  void AddKey(TSynEditorCommand command, uint16_t key, TShiftState shift, uint16_t key2 = 0,
              TShiftState shift2 = {});
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Index of the binding for a key and shift with no second key, or -1.
  int FindKeycode(uint16_t code, TShiftState shift) const;
  // Index of the binding for a first key and shift followed by a second, or -1.
  int FindKeycode2(uint16_t code1, TShiftState shift1, uint16_t code2, TShiftState shift2) const;
  int FindShortcut(TShortCut shortCut) const;
  int FindShortcut2(TShortCut shortCut, TShortCut shortCut2) const;
  int FindCommand(TSynEditorCommand command) const;
  void ResetDefaults();
  void Assign(const TSynEditKeyStrokes& source);

  // The stored form keeps only the differences from the defaults.
  struct Binding {
    TShortCut ShortCut;
    TShortCut ShortCut2;
    TSynEditorCommand Command;
    friend bool operator==(const Binding&, const Binding&) = default;
  };
  std::vector<Binding> RemovedKeystrokes() const;
  std::vector<Binding> AddedKeystrokes() const;
  void ReadRemovedKeystrokes(const std::vector<Binding>& removed);
  void ReadAddedKeystrokes(const std::vector<Binding>& added);

 private:
  std::vector<Binding> Bindings() const;
  std::vector<std::unique_ptr<TSynEditKeyStroke>> items_;
};

}  // namespace ludra
