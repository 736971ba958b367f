#include "completion/SynCompletionProposalForm.h"

#include <algorithm>

#include "base/SynBracket.h"
#include "base/SynCodePage.h"
#include "completion/SynCompletionProposal.h"

namespace ludra {

namespace {

TSynFont DefaultProposalFont(bool bold) {
  TSynFont f;
  f.Name = "MS Sans Serif";
  f.Size = 8;
  f.Color = bold ? clBtnText : clWindowText;
  if (bold) f.Style = {fsBold};
  return f;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

// --- Parameter hints ---------------------------------------------------------

std::vector<std::string> SplitCommaText(const std::string& text) {
  std::vector<std::string> parts;
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  size_t i = 0, n = text.size();
  while (i < n && blank(text[i])) ++i;
  while (i < n) {
    std::string part;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            part += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        part += text[i++];
      }
    } else {
      while (i<n&& static_cast<unsigned char>(text[i])> ' ' && text[i] != ',') part += text[i++];
    }
    parts.push_back(std::move(part));
    while (i < n && blank(text[i])) ++i;
    if (i < n && text[i] == ',') {
      if (i + 1 == n) parts.emplace_back();
      do ++i;
      while (i < n && blank(text[i]));
    }
  }
  return parts;
}

std::vector<std::string> HintParts(const std::string& item) {
  if (item.size() <= HintTextCap) return SplitCommaText(item);
  // Cut at a blank or comma where one is near, so the last part shown is whole.
  size_t cut = item.find_last_of(", ", HintTextCap);
  if (cut == std::string::npos || cut < HintTextCap / 2) cut = HintTextCap;
  std::vector<std::string> parts = SplitCommaText(item.substr(0, cut));
  parts.emplace_back("...");
  return parts;
}

std::string MarkCurrentParameter(const std::string& item, int index) {
  std::vector<std::string> parts = HintParts(item);
  std::string line;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) line += ' ';
    if (static_cast<int>(i) == index)
      line += "\\style{~B}" + parts[i] + "\\style{~B}";
    else
      line += parts[i];
  }
  return line;
}

// --- The form ------------------------------------------------------------------

TSynBaseCompletionProposalForm::TSynBaseCompletionProposalForm(TSynBaseCompletionProposal* owner)
    : owner_(owner), font_(DefaultProposalFont(false)), titleFont_(DefaultProposalFont(true)) {}

TSynBaseCompletionProposalForm::~TSynBaseCompletionProposalForm() {
  if (currentEditor_ && active_) currentEditor_->RemoveFocusControl(this);
}

void TSynBaseCompletionProposalForm::Changed() {
  if (visible_) window_->Invalidate();
}

void TSynBaseCompletionProposalForm::SetShownKind(SynCompletionType value) {
  if (value == shownKind_) return;
  shownKind_ = value;
  window_->RecreateWindow();
}

void TSynBaseCompletionProposalForm::SetCurrentIndex(int value) {
  if (value == currentIndex_) return;
  currentIndex_ = value;
  Changed();
}

// --- Items and matching ----------------------------------------------------------

void TSynBaseCompletionProposalForm::SetItemList(const TStrings& value) {
  itemList_.Clear();
  for (int i = 0; i < value.Count(); ++i) itemList_.Add(value.Get(i));
  ResetMatchedItems();
  SetCurrentInput(currentInput_);
  // The bar follows the selected row.
  if (scrollBar_.Visible) SetPosition(selectedIndex_);
  Changed();
}

void TSynBaseCompletionProposalForm::SetInsertList(const TStrings& value) {
  insertList_.Clear();
  for (int i = 0; i < value.Count(); ++i) insertList_.Add(value.Get(i));
}

void TSynBaseCompletionProposalForm::ResetMatchedItems() {
  matched_.resize(static_cast<size_t>(itemList_.Count()));
  for (int i = 0; i < itemList_.Count(); ++i) matched_[static_cast<size_t>(i)] = i;
}

std::string TSynBaseCompletionProposalForm::MatchedItem(int row) const {
  int index = MatchedIndex(row);
  return index >= 0 ? itemList_.Get(index) : std::string();
}

int TSynBaseCompletionProposalForm::MatchedIndex(int row) const {
  if (row < 0 || row >= MatchedCount()) return -1;
  return matched_[static_cast<size_t>(row)];
}

int TSynBaseCompletionProposalForm::ReportedIndex(int row) const {
  if (options_.Contains(scoLimitToMatchedText)) return MatchedIndex(row);
  return row;
}

bool TSynBaseCompletionProposalForm::ItemMatches(int itemIndex, const std::string& input) const {
  if (input.empty()) return true;
  std::string text;
  if (options_.Contains(scoUseInsertList)) {
    text = insertList_.Get(itemIndex);
  } else {
    text = itemList_.Get(itemIndex);
    if (options_.Contains(scoUsePrettyText) && text.find('\\') != std::string::npos)
      text = StripMarkup(text);
  }
  if (text.size() < input.size()) return false;
  bool caseSensitive = options_.Contains(scoCaseSensitive);
  if (caseSensitive) return text.compare(0, input.size(), input) == 0;
  if (options_.Contains(scoAnsiStrings)) {
    // The code page's own case mapping, for the letters beyond ASCII.
    const TCodePage& page = CodePage();
    for (size_t i = 0; i < input.size(); ++i)
      if (page.UpperCase(static_cast<unsigned char>(text[i])) !=
          page.UpperCase(static_cast<unsigned char>(input[i])))
        return false;
    return true;
  }
  for (size_t i = 0; i < input.size(); ++i)
    if (FoldAscii(text[i]) != FoldAscii(input[i])) return false;
  return true;
}

void TSynBaseCompletionProposalForm::SetCurrentInput(const std::string& value) {
  currentInput_ = value;
  if (shownKind_ != ctCode) return;
  Filter();
}

void TSynBaseCompletionProposalForm::Filter() {
  if (options_.Contains(scoLimitToMatchedText)) {
    matched_.clear();
    for (int i = 0; i < itemList_.Count(); ++i)
      if (ItemMatches(i, currentInput_)) matched_.push_back(i);
    anyMatch_ = !matched_.empty();
    UpdateScrollBar();
    SetSelectedIndex(0);
  } else {
    if (MatchedCount() != itemList_.Count()) ResetMatchedItems();
    int first = -1;
    for (int i = 0; i < itemList_.Count() && first < 0; ++i)
      if (ItemMatches(i, currentInput_)) first = i;
    anyMatch_ = first >= 0;
    SetSelectedIndex(std::max(first, 0));
  }
  Changed();
}

void TSynBaseCompletionProposalForm::Narrow(char c) {
  SetCurrentInput(currentInput_ + c);
  if (NothingMatches()) {
    if (visible_) Cancel();
  } else {
    chosen_ = true;
  }
}

// --- Selection and scrolling ------------------------------------------------------

void TSynBaseCompletionProposalForm::SetSelectedIndex(int value) {
  if (value == selectedIndex_) return;
  if (value <= 0 && selectedIndex_ == 0) return;
  if (value > MatchedCount() - 1) return;
  if (value < 0) value = 0;
  selectedIndex_ = value;
  int visibleRows = std::max(nbLinesInWindow_, 1);
  if (selectedIndex_ < Position())
    SetPosition(selectedIndex_);
  else if (selectedIndex_ >= Position() + visibleRows)
    SetPosition(selectedIndex_ - visibleRows + 1);
  if (visible_ && shownKind_ == ctCode && owner_->OnChange)
    owner_->OnChange(owner_, ReportedIndex(selectedIndex_));
  Changed();
}

void TSynBaseCompletionProposalForm::MoveLine(int n) {
  int last = MatchedCount() - 1;
  if (last < 0) return;
  SetSelectedIndex(std::clamp(selectedIndex_ + n, 0, last));
}

void TSynBaseCompletionProposalForm::UpdateScrollBar() {
  int rows = MatchedCount();
  int visibleRows = std::max(nbLinesInWindow_, 1);
  TProposalScrollBar bar = scrollBar_;
  if (rows < visibleRows) {
    bar.Max = 0;
    bar.Enabled = false;
  } else {
    bar.Max = rows - visibleRows;
    bar.LargeChange = visibleRows;
    bar.Enabled = bar.Max > 0;
  }
  bar.Position = std::clamp(bar.Position, 0, bar.Max);
  if (bar == scrollBar_) return;
  scrollBar_ = bar;
  window_->ScrollBarChanged();
}

void TSynBaseCompletionProposalForm::SetScrollBarVisible(bool value) {
  if (value == scrollBar_.Visible) return;
  scrollBar_.Visible = value;
  window_->ScrollBarChanged();
}

void TSynBaseCompletionProposalForm::SetPosition(int value) {
  value = std::clamp(value, 0, scrollBar_.Max);
  if (value != scrollBar_.Position) {
    scrollBar_.Position = value;
    window_->ScrollBarChanged();
    Changed();
  }
  // The selection stays inside the view.
  int visibleRows = std::max(nbLinesInWindow_, 1);
  if (MatchedCount() == 0) return;
  if (selectedIndex_ < value)
    SetSelectedIndex(value);
  else if (selectedIndex_ >= value + visibleRows)
    SetSelectedIndex(value + visibleRows - 1);
}

void TSynBaseCompletionProposalForm::ScrollBarScrolled(int position) {
  SetPosition(position);
  if (currentEditor_) {
    // Taking the focus through the editor gives it back to this list; the
    // caret flag is toggled so the editor's caret is made again.
    currentEditor_->TakeFocus();
    currentEditor_->SetKeepCaretShown(false);
    currentEditor_->SetKeepCaretShown(true);
  }
  Changed();
}

// --- Settings ----------------------------------------------------------------------

void TSynBaseCompletionProposalForm::SetOptions(TSynCompletionOptions value) {
  if (value == options_) return;
  options_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetClSelect(TColor value) {
  if (value == clSelect_) return;
  clSelect_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetClSelectedText(TColor value) {
  if (value == clSelectedText_) return;
  clSelectedText_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetClBackground(TColor value) {
  if (value == clBackground_) return;
  clBackground_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetClTitleBackground(TColor value) {
  if (value == clTitleBackground_) return;
  clTitleBackground_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::FontsChanged() {
  fontHeight_ = 0;
  titleFontHeight_ = 0;
  Changed();
}

void TSynBaseCompletionProposalForm::SetFont(const TSynFont& value) {
  if (value == font_) return;
  font_ = value;
  FontsChanged();
}

void TSynBaseCompletionProposalForm::SetTitleFont(const TSynFont& value) {
  if (value == titleFont_) return;
  titleFont_ = value;
  FontsChanged();
}

void TSynBaseCompletionProposalForm::SetTitle(const std::string& value) {
  if (value == title_) return;
  title_ = value;
  FontsChanged();
}

void TSynBaseCompletionProposalForm::SetItemHeight(int value) {
  if (value == itemHeight_) return;
  itemHeight_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetMargin(int value) {
  if (value == margin_) return;
  margin_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetResizeable(bool value) {
  if (value == resizeable_) return;
  resizeable_ = value;
  window_->RecreateWindow();
}

void TSynBaseCompletionProposalForm::SetImages(const TProposalImages* value) {
  if (value == images_) return;
  images_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetColumns(const TProposalColumns& value) {
  if (value == columns_) return;
  columns_ = value;
  Changed();
}

void TSynBaseCompletionProposalForm::SetNbLinesInWindow(int value) {
  value = std::max(value, 1);
  if (value == nbLinesInWindow_) return;
  nbLinesInWindow_ = value;
  UpdateScrollBar();
  Changed();
}

void TSynBaseCompletionProposalForm::SetWidth(int value) { width_ = value; }

// --- Geometry ------------------------------------------------------------------------

int TSynBaseCompletionProposalForm::FontHeight() {
  if (fontHeight_ <= 0) {
    TSynCanvas& canvas = window_->MeasureCanvas();
    canvas.SetFont(font_);
    fontHeight_ = std::max(canvas.TextHeight(font_.Style), 1);
  }
  return fontHeight_;
}

int TSynBaseCompletionProposalForm::RowHeight() {
  return itemHeight_ > 0 ? itemHeight_ : FontHeight();
}

int TSynBaseCompletionProposalForm::TitleHeight() {
  if (title_.empty()) return 0;
  if (titleFontHeight_ <= 0) {
    TSynCanvas& canvas = window_->MeasureCanvas();
    canvas.SetFont(titleFont_);
    titleFontHeight_ = std::max(canvas.TextHeight(titleFont_.Style), 1);
  }
  return titleFontHeight_ + 4;
}

int TSynBaseCompletionProposalForm::FrameWidth() const {
  return shownKind_ == ctCode ? window_->SizingFrameHeight() : 0;
}

int TSynBaseCompletionProposalForm::HintWidth(TSynCanvas& canvas) {
  int widest = 0;
  for (int i = 0; i < itemList_.Count(); ++i) {
    std::string item = itemList_.Get(i);
    int w;
    if (shownKind_ == ctParams) {
      // Wide enough for the bold part at any position: the line without a
      // bold part, widened by the most that making one part bold adds.
      // Measuring the line once per part would be quadratic. The parts are
      // split from the item as painting splits it: stripped of its mark-up
      // first, an escaped backslash would be read as mark-up once more and
      // the hint measured too narrow.
      std::vector<std::string> parts = HintParts(item);
      std::string line;
      int extra = 0;
      for (size_t j = 0; j < parts.size(); ++j) {
        if (j > 0) line += ' ';
        line += parts[j];
        int bold = MeasureFormattedText(canvas, font_, "\\style{~B}" + parts[j], nullptr, images_) -
                   MeasureFormattedText(canvas, font_, parts[j], nullptr, images_);
        extra = std::max(extra, bold);
      }
      w = MeasureFormattedText(canvas, font_, line, nullptr, images_) + extra;
      if (owner_->OnMeasureItem) owner_->OnMeasureItem(owner_, i, canvas, w);
    } else {
      w = MeasureFormattedText(canvas, font_, item, nullptr, images_);
    }
    widest = std::max(widest, w);
  }
  return widest;
}

void TSynBaseCompletionProposalForm::PlaceAt(int x, int y, int lineHeight) {
  int w, h;
  if (shownKind_ == ctCode) {
    w = width_;
    h = RowHeight() * nbLinesInWindow_ + TitleHeight() + 2 * window_->SizingFrameHeight();
  } else {
    w = HintWidth(window_->MeasureCanvas()) + 2 * margin_ + 2;
    h = itemList_.Count() * RowHeight() + 2 + 2 * margin_;
  }
  TRect area = window_->WorkArea();
  if (x + w > area.Right) x = std::max(area.Right - w - 5, area.Left);
  // Near the bottom the window goes above the line instead.
  if (y + h > area.Bottom) y = std::max(y - h - lineHeight - 2, area.Top);
  bounds_ = {x, y, x + w, y + h};
  window_->SetBounds(bounds_);
}

void TSynBaseCompletionProposalForm::CanResize(int& width, int& height) {
  if (shownKind_ != ctCode || !resizeable_) {
    width = bounds_.Right - bounds_.Left;
    height = bounds_.Bottom - bounds_.Top;
    return;
  }
  int frame = FrameWidth();
  int rowHeight = RowHeight();
  int rows = std::max((height - 2 * frame - TitleHeight()) / rowHeight, 1);
  height = rows * rowHeight + TitleHeight() + 2 * frame;
  width = std::max(width, window_->ScrollBarWidth() + 2 * window_->SizingFrameHeight());
}

void TSynBaseCompletionProposalForm::Resized(const TRect& bounds) {
  bounds_ = bounds;
  if (shownKind_ == ctCode) {
    int rows = std::max((ClientHeight() - TitleHeight()) / RowHeight(), 1);
    if (rows != nbLinesInWindow_) {
      nbLinesInWindow_ = rows;
      UpdateScrollBar();
      // A taller view may leave the selection where it is; keep it shown.
      SetPosition(Position());
    }
  }
  Changed();
}

// --- Showing ------------------------------------------------------------------------

void TSynBaseCompletionProposalForm::Show(bool activate) {
  // A hint shown again after each key keeps the flag it found first.
  if (currentEditor_ && !visible_) {
    savedKeepCaretShown_ = currentEditor_->KeepCaretShown();
    currentEditor_->SetKeepCaretShown(currentEditor_->Focused());
  }
  bool wasVisible = visible_;
  visible_ = true;
  window_->ShowWindow(activate);
  window_->Invalidate();
  if (!wasVisible && owner_->OnShow) owner_->OnShow(this);
}

void TSynBaseCompletionProposalForm::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (active_) {
    active_ = false;
    if (currentEditor_) currentEditor_->RemoveFocusControl(this);
  }
  window_->HideWindow();
  if (currentEditor_) currentEditor_->SetKeepCaretShown(savedKeepCaretShown_);
  // The next list opens with the size the user gave this one.
  if (shownKind_ == ctCode && !bounds_.IsEmpty()) width_ = bounds_.Right - bounds_.Left;
  if (owner_->OnClose) owner_->OnClose(this);
}

void TSynBaseCompletionProposalForm::Activated() {
  if (active_ || !visible_) return;
  active_ = true;
  if (currentEditor_) currentEditor_->AddFocusControl(this);
}

void TSynBaseCompletionProposalForm::Deactivated() {
  if (!active_) return;
  active_ = false;
  if (currentEditor_) currentEditor_->RemoveFocusControl(this);
  Hide();
}

void TSynBaseCompletionProposalForm::SetFocus() {
  if (visible_) window_->FocusWindow();
}

// --- Painting -------------------------------------------------------------------------

void TSynBaseCompletionProposalForm::Paint(TSynCanvas& canvas) {
  if (shownKind_ == ctCode)
    PaintList(canvas);
  else
    PaintHint(canvas);
}

void TSynBaseCompletionProposalForm::PaintList(TSynCanvas& canvas) {
  int titleHeight = TitleHeight();
  int rowHeight = RowHeight();
  int fontHeight = FontHeight();
  int width = ClientWidth() - (scrollBar_.Visible ? window_->ScrollBarWidth() : 0);
  int height = ClientHeight() - titleHeight;
  // The list area, drawn from its own origin below the title.
  TRect area{0, titleHeight, width, titleHeight + height};
  canvas.FillRect(area, clBackground_);
  canvas.DrawLine(area.Left, area.Top, area.Right, area.Top, clBtnFace);
  canvas.DrawLine(area.Left, area.Bottom - 1, area.Right, area.Bottom - 1, clBtnFace);
  canvas.DrawLine(area.Left, area.Top, area.Left, area.Bottom, clBtnFace);
  canvas.DrawLine(area.Right - 1, area.Top, area.Right - 1, area.Bottom, clBtnFace);
  int rows = std::min(nbLinesInWindow_, MatchedCount() - Position());
  for (int r = 0; r < rows; ++r) {
    int row = Position() + r;
    int top = titleHeight + r * rowHeight;
    TRect rowRect{0, top, width, top + rowHeight};
    bool selected = row == selectedIndex_;
    TSynFont font = font_;
    if (selected) {
      canvas.FillRect(rowRect, clSelect_);
      font.Color = clSelectedText_;
    }
    bool customDraw = false;
    if (owner_->OnPaintItem) {
      canvas.SetFont(font);
      owner_->OnPaintItem(this, ReportedIndex(row), customDraw, rowRect, canvas);
    }
    if (customDraw) continue;
    std::string item = MatchedItem(row);
    TRect textRect =
        IntersectRect({margin_, top + (rowHeight - fontHeight) / 2, width, top + rowHeight}, area);
    if (textRect.IsEmpty()) continue;
    if (options_.Contains(scoUsePrettyText)) {
      DrawFormattedText(canvas, textRect, font, item, selected, &columns_, images_);
    } else {
      canvas.SetFont(font);
      canvas.DrawText(margin_, top, IntersectRect(rowRect, area), item, font.Style, font.Color);
    }
  }
  canvas.SetFont(font_);
  if (titleHeight > 0) {
    int stripWidth = ClientWidth();
    canvas.FillRect({0, 0, stripWidth, titleHeight}, clTitleBackground_);
    canvas.DrawLine(0, titleHeight - 1, stripWidth, titleHeight - 1, clBtnShadow);
    canvas.SetFont(titleFont_);
    int x = 2;
    if (options_.Contains(scoTitleIsCentered))
      x = std::max((stripWidth - canvas.TextWidth(title_, titleFont_.Style)) / 2, 2);
    canvas.DrawText(x, 2, {0, 0, stripWidth, titleHeight - 1}, title_, titleFont_.Style,
                    titleFont_.Color);
    canvas.SetFont(font_);
  }
}

void TSynBaseCompletionProposalForm::PaintHint(TSynCanvas& canvas) {
  int width = ClientWidth();
  int height = ClientHeight();
  int rowHeight = RowHeight();
  int fontHeight = FontHeight();
  canvas.FillRect({0, 0, width, height}, clBackground_);
  // A raised one-pixel frame.
  canvas.DrawLine(0, 0, width, 0, clBtnHighlight);
  canvas.DrawLine(0, 0, 0, height, clBtnHighlight);
  canvas.DrawLine(0, height - 1, width, height - 1, cl3DDkShadow);
  canvas.DrawLine(width - 1, 0, width - 1, height, cl3DDkShadow);
  TRect inner{1, 1, width - 1, height - 1};
  for (int c = 0; c < itemList_.Count(); ++c) {
    int top = c * rowHeight + margin_;
    if (top >= height) break;  // only the lines that show are drawn
    TRect rect{margin_ + 1, top + (rowHeight - fontHeight) / 2, width - 1,
               (c + 1) * rowHeight + margin_};
    bool customDraw = false;
    if (owner_->OnPaintItem) {
      canvas.SetFont(font_);
      owner_->OnPaintItem(this, c, customDraw, rect, canvas);
    }
    if (customDraw) continue;
    std::string line = itemList_.Get(c);
    if (shownKind_ == ctParams) line = MarkCurrentParameter(line, currentIndex_);
    TRect clip = IntersectRect(rect, inner);
    if (!clip.IsEmpty()) DrawFormattedText(canvas, clip, font_, line, false, nullptr, images_);
  }
  canvas.SetFont(font_);
}

// --- Keyboard and mouse -----------------------------------------------------------------

void TSynBaseCompletionProposalForm::RunEditorCommand(TSynEditorCommand command, char aChar) {
  if (!currentEditor_) return;
  ++forwarding_;
  auto done = TBracket([this] { --forwarding_; });
  currentEditor_->RunCommand(command, aChar, nullptr);
}

bool TSynBaseCompletionProposalForm::PassesToEditor(uint16_t key, TShiftState shift,
                                                    char ch) const {
  if (!visible_ || shownKind_ != ctCode) return false;
  const bool chord = shift.Contains(ssCtrl) || shift.Contains(ssAlt);
  switch (key) {
    case VK_ESCAPE:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
      return false;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
      return NothingMatches();
    case VK_BACK:
    case VK_DELETE:
      return chord || NothingMatches();
    case VK_TAB:
    case VK_RETURN:
      return chord || !chosen_ || NothingMatches();
    default:
      break;
  }
  if (NothingMatches() || chord || (key >= VK_F1 && key <= VK_F1 + 23)) return true;
  auto code = static_cast<unsigned char>(ch);
  return !chosen_ && code >= 32 && code <= 122 && tokenBreakChars_.Contains(code);
}

void TSynBaseCompletionProposalForm::KeyDown(uint16_t& key, TShiftState shift) {
  bool anyShift = shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt);
  auto backOrLeft = [&](TSynEditorCommand command) {
    if (currentInput_.empty()) {
      RunEditorCommand(command);
      Cancel();
    } else {
      SetCurrentInput(currentInput_.substr(0, currentInput_.size() - 1));
      RunEditorCommand(command);
    }
  };
  switch (key) {
    case VK_BACK:
      if (!anyShift) backOrLeft(ecDeleteLastChar);
      break;
    case VK_TAB:
    case VK_RETURN:
      if (options_.Contains(key == VK_TAB ? scoCompleteWithTab : scoCompleteWithEnter) && OnAccept)
        OnAccept(shift, '\0');
      break;
    case VK_ESCAPE:
      Cancel();
      break;
    case VK_PRIOR:
      chosen_ = true;
      MoveLine(-nbLinesInWindow_);
      break;
    case VK_NEXT:
      chosen_ = true;
      MoveLine(nbLinesInWindow_);
      break;
    case VK_HOME:
      chosen_ = true;
      SetSelectedIndex(0);
      break;
    case VK_END:
      chosen_ = true;
      SetSelectedIndex(MatchedCount() - 1);
      break;
    case VK_UP:
      chosen_ = true;
      if (shift.Contains(ssCtrl))
        SetSelectedIndex(0);
      else
        MoveLine(-1);
      break;
    case VK_DOWN:
      chosen_ = true;
      if (shift.Contains(ssCtrl))
        SetSelectedIndex(MatchedCount() - 1);
      else
        MoveLine(1);
      break;
    case VK_LEFT:
      backOrLeft(ecLeft);
      break;
    case VK_RIGHT:
      if (currentEditor_) {
        std::string line = currentEditor_->LineAtCaret();
        int i = currentEditor_->CaretChar();
        char c =
            i >= 1 && i <= static_cast<int>(line.size()) ? line[static_cast<size_t>(i - 1)] : ' ';
        // The caret moves first: a list narrowed to nothing closes after it.
        const bool ends =
            c == '\t' || c == ' ' || tokenBreakChars_.Contains(static_cast<unsigned char>(c));
        if (ends) Cancel();
        RunEditorCommand(ecRight);
        if (!ends) Narrow(c);
      }
      break;
    case VK_DELETE:
      RunEditorCommand(ecDeleteChar);
      break;
    default:
      break;
  }
  Changed();
}

void TSynBaseCompletionProposalForm::KeyPress(char& key) {
  auto code = static_cast<unsigned char>(key);
  if (key == '\b') {
    if (OnCharTyped) OnCharTyped(key);
  } else if (key == '\r' || key == '\x1b') {
    // Handled as keys.
  } else if (code >= 32 && code <= 122) {
    if (tokenBreakChars_.Contains(code)) {
      if (OnAccept) OnAccept({}, key == ' ' ? '\0' : key);
      SetCurrentInput(currentInput_ + key);
      if (OnCharTyped) OnCharTyped(key);
    } else {
      // Typed first, so that a list narrowed to nothing leaves the character.
      if (OnCharTyped) OnCharTyped(key);
      Narrow(key);
    }
  } else {
    RunEditorCommand(ecChar, key);
    Cancel();
  }
}

void TSynBaseCompletionProposalForm::MouseDown(TMouseButton button, TShiftState shift, int x,
                                               int y) {
  (void)button, (void)shift, (void)x;
  chosen_ = true;
  SetSelectedIndex((y - TitleHeight()) / RowHeight() + Position());
}

void TSynBaseCompletionProposalForm::DblClick() {
  if (OnAccept) OnAccept({}, '\0');
}

void TSynBaseCompletionProposalForm::MouseWheel(int wheelDelta, TShiftState shift) {
  wheelRemainder_ += wheelDelta;
  int notches = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (notches == 0) return;
  chosen_ = true;
  int visibleRows = std::max(nbLinesInWindow_, 1);
  int lines = visibleRows;
  if (!shift.Contains(ssCtrl)) {
    lines = window_->WheelScrollLines();
    if (lines < 0 || lines > visibleRows) lines = visibleRows;
  }
  // Past either end the wheel stops at the first or the last row.
  int target = selectedIndex_ - notches * lines;
  SetSelectedIndex(std::min(target, MatchedCount() - 1));
}

}  // namespace ludra
