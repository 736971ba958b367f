#pragma once
// The proposal window's logic: the list of a code completion (filtered as the
// user types, with a selection, a scroll bar, a title and a keyboard of its
// own) or the passive box of a hint. It paints through the canvas and reaches
// its desktop window only through TSynProposalWindow, so the whole behaviour
// runs without a display; the Qt host forwards its events to the entry
// points below.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/SynStrings.h"
#include "completion/SynCompletionProposalMarkup.h"
#include "editor/SynEdit.h"
#include "editor/SynEditKeyConst.h"
#include "highlight/SynEditHighlighter.h"
#include "platform/SynCanvas.h"

namespace ludra {

class TSynBaseCompletionProposal;
class TSynBaseCompletionProposalForm;

// The kind of a pop-up (stored as one byte).
enum SynCompletionType : uint8_t { ctCode, ctHint, ctParams };

enum TSynCompletionOption : uint8_t {
  scoAnsiStrings,
  scoCaseSensitive,
  scoLimitToMatchedText,
  scoTitleIsCentered,
  scoUseInsertList,
  scoUsePrettyText,
  scoUseBuiltInTimer,
  scoEndCharCompletion,
  scoConsiderWordBreakChars,
  scoCompleteWithTab,
  scoCompleteWithEnter
};
using TSynCompletionOptions = TSet<TSynCompletionOption>;  // bit n = member n

inline constexpr TSynCompletionOptions DefaultProposalOptions = {
    scoLimitToMatchedText, scoEndCharCompletion, scoCompleteWithTab, scoCompleteWithEnter};

// Events (the first argument is the sender; answers come back by reference).
using TCompletionExecute =
    std::function<void(SynCompletionType kind, TSynBaseCompletionProposal* sender,
                       std::string& currentInput, int& x, int& y, bool& canExecute)>;
using TCodeCompletionEvent =
    std::function<void(TSynBaseCompletionProposal* sender, std::string& value, TShiftState shift,
                       int index, char endToken)>;
using TAfterCodeCompletionEvent =
    std::function<void(TSynBaseCompletionProposal* sender, const std::string& value,
                       TShiftState shift, int index, char endToken)>;
using TCompletionNotifyEvent = std::function<void(TSynBaseCompletionProposal* sender)>;
using TCompletionChange = std::function<void(TSynBaseCompletionProposal* sender, int aIndex)>;
using TProposalFormNotifyEvent = std::function<void(TSynBaseCompletionProposalForm* sender)>;
using TSynBaseCompletionProposalPaintItem =
    std::function<void(TSynBaseCompletionProposalForm* sender, int index, bool& customDraw,
                       const TRect& rect, TSynCanvas& canvas)>;
using TSynBaseCompletionProposalMeasureItem = std::function<void(
    TSynBaseCompletionProposal* sender, int index, TSynCanvas& canvas, int& width)>;
using TCompletionParameter =
    std::function<void(TSynBaseCompletionProposal* sender, int currentIndex, int level,
                       int& indexToDisplay, char key, std::string& displayString)>;

// The vertical scroll bar of a list, as the window shows it.
struct TProposalScrollBar {
  bool Visible = false;
  bool Enabled = false;
  int Max = 0;
  int LargeChange = 1;
  int Position = 0;
  friend bool operator==(const TProposalScrollBar&, const TProposalScrollBar&) = default;
};

// The desktop side of a proposal window. Coordinates are screen pixels for
// the window and client pixels inside it.
class TSynProposalWindow {
 public:
  virtual ~TSynProposalWindow() = default;
  // The kind or Resizeable changed: the window's frame changes with them.
  virtual void RecreateWindow() {}
  // Outer bounds.
  virtual void SetBounds(const TRect& bounds) = 0;
  // Shows the window; a list takes the keyboard focus (activate), a hint
  // never does.
  virtual void ShowWindow(bool activate) = 0;
  virtual void HideWindow() = 0;
  // Gives the shown window the keyboard focus again.
  virtual void FocusWindow() = 0;
  virtual void Invalidate() = 0;
  // The form's ScrollBar() changed.
  virtual void ScrollBarChanged() {}
  // The screen's work area (the screen without docks and panels).
  virtual TRect WorkArea() const = 0;
  virtual int SizingFrameHeight() const { return 4; }
  virtual int ScrollBarWidth() const { return 16; }
  // Lines per wheel notch; -1 means a page.
  virtual int WheelScrollLines() const { return 3; }
  // A canvas for measuring fonts and texts outside painting.
  virtual TSynCanvas& MeasureCanvas() = 0;
};

class TSynBaseCompletionProposalForm : public TCustomSynEdit::TFocusTarget {
 public:
  // The engine is the owner: the sender of its events, and the one that
  // accepts and cancels through the connections below.
  explicit TSynBaseCompletionProposalForm(TSynBaseCompletionProposal* owner);
  ~TSynBaseCompletionProposalForm() override;
  TSynBaseCompletionProposalForm(const TSynBaseCompletionProposalForm&) = delete;
  TSynBaseCompletionProposalForm& operator=(const TSynBaseCompletionProposalForm&) = delete;

  TSynBaseCompletionProposal* Owner() const { return owner_; }
  TSynProposalWindow& Window() { return *window_; }
  // The desktop window, given once right after construction.
  void SetWindow(std::unique_ptr<TSynProposalWindow> value) { window_ = std::move(value); }

  // --- One showing ---------------------------------------------------------
  TCustomSynEdit* CurrentEditor() const { return currentEditor_; }
  void SetCurrentEditor(TCustomSynEdit* value) { currentEditor_ = value; }
  SynCompletionType ShownKind() const { return shownKind_; }
  void SetShownKind(SynCompletionType value);
  const std::string& CurrentInput() const { return currentInput_; }
  // Filters (code lists only) and moves the selection.
  void SetCurrentInput(const std::string& value);
  TSynCharSet& TokenBreakChars() { return tokenBreakChars_; }
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  // Moves the selection by n rows, not past the first or the last.
  void MoveLine(int n);
  // The parameter a ctParams hint shows in bold.
  int CurrentIndex() const { return currentIndex_; }
  void SetCurrentIndex(int value);
  // Whether the user chose in the list: asked for it, moved the selection,
  // clicked a row or typed characters it narrowed on. Until then the list
  // changes no text.
  bool Chosen() const { return chosen_; }
  void SetChosen(bool value) { chosen_ = value; }
  // No item matches the typed word.
  bool NothingMatches() const { return !anyMatch_; }

  // --- Items ---------------------------------------------------------------
  // Display texts; the application may change them directly (the shown rows
  // follow at the next opening or with SetItemList).
  TStringList& ItemList() { return itemList_; }
  void SetItemList(const TStrings& value);
  TStringList& InsertList() { return insertList_; }
  void SetInsertList(const TStrings& value);
  // The rows shown: their count, their text and their index in ItemList.
  int MatchedCount() const { return static_cast<int>(matched_.size()); }
  std::string MatchedItem(int row) const;
  int MatchedIndex(int row) const;
  // Shows every item again (a new showing starts so).
  void ResetMatchedItems();
  // The index the events report for a row: its ItemList index when the list
  // is limited to the matched items, else the row.
  int ReportedIndex(int row) const;
  // Whether an item matches the typed word under the options.
  bool ItemMatches(int itemIndex, const std::string& input) const;

  // --- Settings ------------------------------------------------------------
  TSynCompletionOptions Options() const { return options_; }
  void SetOptions(TSynCompletionOptions value);
  TColor ClSelect() const { return clSelect_; }
  void SetClSelect(TColor value);
  TColor ClSelectedText() const { return clSelectedText_; }
  void SetClSelectedText(TColor value);
  TColor ClBackground() const { return clBackground_; }
  void SetClBackground(TColor value);
  TColor ClTitleBackground() const { return clTitleBackground_; }
  void SetClTitleBackground(TColor value);
  const TSynFont& Font() const { return font_; }
  void SetFont(const TSynFont& value);
  const TSynFont& TitleFont() const { return titleFont_; }
  void SetTitleFont(const TSynFont& value);
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  bool Resizeable() const { return resizeable_; }
  void SetResizeable(bool value);
  const TProposalImages* Images() const { return images_; }
  void SetImages(const TProposalImages* value);
  const TProposalColumns& Columns() const { return columns_; }
  TProposalColumns& Columns() { return columns_; }
  void SetColumns(const TProposalColumns& value);
  // Visible rows and pixel width of a code list; a user's resizing is kept.
  int NbLinesInWindow() const { return nbLinesInWindow_; }
  void SetNbLinesInWindow(int value);
  int Width() const { return width_; }
  void SetWidth(int value);

  // --- Geometry --------------------------------------------------------------
  // Row height: ItemHeight, or the height of a text in Font.
  int RowHeight();
  int FontHeight();
  // 0 without a title.
  int TitleHeight();
  int ClientWidth() const { return bounds_.Right - bounds_.Left - 2 * FrameWidth(); }
  int ClientHeight() const { return bounds_.Bottom - bounds_.Top - 2 * FrameWidth(); }
  // The frame a code list has around its client area (hints paint their own).
  int FrameWidth() const;
  const TRect& Bounds() const { return bounds_; }
  // Computes size and place for showing at screen point (x, y) below a line
  // of lineHeight pixels, and moves the window there.
  void PlaceAt(int x, int y, int lineHeight);
  const TProposalScrollBar& ScrollBar() const { return scrollBar_; }
  // Refreshes the scroll bar from the rows.
  void UpdateScrollBar();
  void SetScrollBarVisible(bool value);
  // First visible row.
  int Position() const { return scrollBar_.Position; }
  // The bar moved to position (by the user or to show the selection).
  void SetPosition(int value);

  // --- Showing ---------------------------------------------------------------
  bool Visible() const { return visible_; }
  // Shows the window (a list takes the focus); OnShow is raised.
  void Show(bool activate);
  // Hides it: the editor's caret flag and the list's size are given back and
  // OnClose is raised.
  void Hide();
  bool Active() const { return active_; }

  // --- Entry points of the window --------------------------------------------
  void Paint(TSynCanvas& canvas);
  // A key (with the first character it types, or #0) that the shown list
  // leaves to the editor: one it has no use for (a function key, a chord),
  // any key but Escape when nothing matches, and, until the user chose,
  // Enter, Tab and the characters that end a word. The window closes the
  // list with Cancel and hands the key on as if the list had not been there.
  bool PassesToEditor(uint16_t key, TShiftState shift, char ch) const;
  void Cancel() {
    if (OnCancel) OnCancel();
  }
  // Runs a command in the editor for the list (a character typed into it,
  // Backspace, the arrows); Forwarding tells the editor's hooks meanwhile.
  void RunEditorCommand(TSynEditorCommand command, char aChar = '\0');
  bool Forwarding() const { return forwarding_ > 0; }
  void KeyDown(uint16_t& key, TShiftState shift);
  void KeyPress(char& key);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick();
  void MouseWheel(int wheelDelta, TShiftState shift);
  // A scroll action on the bar, ending at position.
  void ScrollBarScrolled(int position);
  // The proposed outer size of a resize; changed to what is allowed.
  void CanResize(int& width, int& height);
  void Resized(const TRect& bounds);
  // The window gained or lost the activation.
  void Activated();
  void Deactivated();
  // The focus redirect of the editor: the editor's SetFocus gives the focus
  // to the open list.
  void SetFocus() override;

  // The connections back into the engine: accept (shift state, end-token
  // character, #0 for Enter, Tab, a double click or a space), cancel, and a
  // character typed into the list that goes on to the editor.
  std::function<void(TShiftState shift, char endToken)> OnAccept;
  std::function<void()> OnCancel;
  std::function<void(char key)> OnCharTyped;

 private:
  void Changed();
  void FontsChanged();
  void PaintList(TSynCanvas& canvas);
  void PaintHint(TSynCanvas& canvas);
  int HintWidth(TSynCanvas& canvas);
  void Filter();
  // Refilters with one more character; a list narrowed to nothing closes.
  void Narrow(char c);

  TSynBaseCompletionProposal* owner_;
  std::unique_ptr<TSynProposalWindow> window_;
  TCustomSynEdit* currentEditor_ = nullptr;
  SynCompletionType shownKind_ = ctCode;
  std::string currentInput_;
  TSynCharSet tokenBreakChars_;
  int selectedIndex_ = 0;
  int currentIndex_ = 0;
  bool chosen_ = true;
  bool anyMatch_ = true;
  int forwarding_ = 0;
  TStringList itemList_;
  TStringList insertList_;
  std::vector<int> matched_;

  TSynCompletionOptions options_ = DefaultProposalOptions;
  TColor clSelect_ = clHighlight;
  TColor clSelectedText_ = clHighlightText;
  TColor clBackground_ = clWindow;
  TColor clTitleBackground_ = clBtnFace;
  TSynFont font_;
  TSynFont titleFont_;
  std::string title_;
  int itemHeight_ = 0;
  int margin_ = 2;
  bool resizeable_ = true;
  const TProposalImages* images_ = nullptr;
  TProposalColumns columns_;
  int nbLinesInWindow_ = 8;
  int width_ = 260;

  int fontHeight_ = 0;  // 0: measure again
  int titleFontHeight_ = 0;
  TRect bounds_;
  TProposalScrollBar scrollBar_;
  int wheelRemainder_ = 0;
  bool visible_ = false;
  bool active_ = false;
  bool savedKeepCaretShown_ = false;
};

// A hint longer than this shows its first parameters and "..." for the
// rest, so an absurd declaration costs little at each keystroke.
inline constexpr size_t HintTextCap = 32768;
// The parts a parameter hint shows: the comma-text parts of item, up to the cap.
std::vector<std::string> HintParts(const std::string& item);
// The displayed line of a parameter hint: the hint parts of item joined by
// blanks, the part at index (0-based) wrapped in a bold toggle.
std::string MarkCurrentParameter(const std::string& item, int index);
// The comma-text split: parts separated by commas or blanks, double quotes
// around a part that holds them, a doubled quote inside quotes is one quote.
std::vector<std::string> SplitCommaText(const std::string& text);

}  // namespace ludra
