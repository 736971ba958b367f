#pragma once
// Small parts the editor owns for painting: the selection colours, the
// gutter settings and the built-in bookmark glyphs.
#include <functional>
#include <string>

#include "base/SynColor.h"
#include "platform/SynCanvas.h"

namespace ludra {

class TSynSelectedColor {
 public:
  TColor Background() const { return background_; }
  void SetBackground(TColor value);
  TColor Foreground() const { return foreground_; }
  void SetForeground(TColor value);
  std::function<void(TSynSelectedColor* sender)> OnChange;

 private:
  TColor background_ = clHighlight;
  TColor foreground_ = clHighlightText;
};

enum TSynGutterBorderStyle : uint8_t { gbsNone, gbsMiddle, gbsRight };

class TSynGutter {
 public:
  TSynGutter();

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TSynGutterBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TSynGutterBorderStyle value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int DigitCount() const { return digitCount_; }
  void SetDigitCount(int value);
  const TSynFont& Font() const { return font_; }
  void SetFont(const TSynFont& value);
  bool LeadingZeros() const { return leadingZeros_; }
  void SetLeadingZeros(bool value);
  int LeftOffset() const { return leftOffset_; }
  void SetLeftOffset(int value);
  int RightOffset() const { return rightOffset_; }
  void SetRightOffset(int value);
  bool ShowLineNumbers() const { return showLineNumbers_; }
  void SetShowLineNumbers(bool value);
  bool UseFontStyle() const { return useFontStyle_; }
  void SetUseFontStyle(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int Width() const { return width_; }
  void SetWidth(int value);
  bool ZeroStart() const { return zeroStart_; }
  void SetZeroStart(bool value);

  // The digits the numbers use: with AutoSize, wide enough for the line
  // count (count - 1 with ZeroStart), never below DigitCount.
  int AutoSizeDigitCount() const { return autoSizeDigitCount_; }
  void UpdateDigitCount(int lineCount);
  // The pixel width the gutter takes; line numbers size it by the editor's cell.
  int RealGutterWidth(int cellWidth) const;
  // Line number text, right-aligned in the digit field.
  std::string FormatLineNumber(int line) const;

  std::function<void(TSynGutter* sender)> OnChange;

 private:
  void Changed();
  bool autoSize_ = false;
  TSynGutterBorderStyle borderStyle_ = gbsMiddle;
  TColor color_ = clBtnFace;
  int digitCount_ = 4;
  TSynFont font_;
  bool leadingZeros_ = false;
  int leftOffset_ = 16;
  int rightOffset_ = 2;
  bool showLineNumbers_ = false;
  bool useFontStyle_ = true;
  bool visible_ = true;
  int width_ = 30;
  bool zeroStart_ = false;
  int autoSizeDigitCount_ = 4;
};

enum TSynScrollHintFormat : uint8_t { shfTopLineOnly, shfTopToBottom };

// The built-in glyphs of bookmarks 0..9, 11 x 14 pixels each; index outside
// 0..9 gives nullptr.
const TSynGlyph* InternalBookmarkGlyph(int index);
inline constexpr int kInternalGlyphWidth = 11;
inline constexpr int kInternalGlyphHeight = 14;

}  // namespace ludra
