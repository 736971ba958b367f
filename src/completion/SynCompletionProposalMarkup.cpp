#include "completion/SynCompletionProposalMarkup.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace ludra {

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

// A decimal integer with an optional sign that fits an int.
bool ParseDecimal(std::string_view s, int& value) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

struct TColorName {
  const char* Name;
  TColor Color;
};

constexpr TColorName colorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clLtGray", clSilver},
    {"clDkGray", clGray},
    {"clMoneyGreen", RGB(192, 220, 192)},
    {"clSkyBlue", RGB(166, 202, 240)},
    {"clCream", RGB(255, 251, 240)},
    {"clMedGray", RGB(160, 160, 164)},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

bool ParseStyle(std::string_view arg, TFormatChunk& chunk) {
  if (arg.size() != 2) return false;
  switch (arg[0]) {
    case '+':
      chunk.Action = saOn;
      break;
    case '-':
      chunk.Action = saOff;
      break;
    case '~':
      chunk.Action = saToggle;
      break;
    default:
      return false;
  }
  switch (UpperAscii(arg[1])) {
    case 'B':
      chunk.Style = fsBold;
      break;
    case 'I':
      chunk.Style = fsItalic;
      break;
    case 'U':
      chunk.Style = fsUnderline;
      break;
    case 'S':
      chunk.Style = fsStrikeOut;
      break;
    default:
      return false;
  }
  return true;
}

// One command with its argument; false when it is not a valid one.
bool ParseCommand(std::string_view name, std::string_view arg, TFormatChunk& chunk) {
  if (SameTextAscii(name, "COLOR")) {
    chunk.Kind = fkColor;
    return StringToColor(arg, chunk.Color);
  }
  if (SameTextAscii(name, "COLUMN")) {
    chunk.Kind = fkColumn;
    return arg.empty();
  }
  if (SameTextAscii(name, "HSPACE")) {
    chunk.Kind = fkHSpace;
    return ParseDecimal(arg, chunk.Value);
  }
  if (SameTextAscii(name, "IMAGE")) {
    chunk.Kind = fkImage;
    return ParseDecimal(arg, chunk.Value);
  }
  if (SameTextAscii(name, "FONT")) {
    chunk.Kind = fkFont;
    chunk.Text = std::string(arg);
    return true;
  }
  if (SameTextAscii(name, "STYLE")) {
    chunk.Kind = fkStyle;
    return ParseStyle(arg, chunk);
  }
  return false;
}

}  // namespace

bool StringToColor(std::string_view text, TColor& color) {
  for (const TColorName& n : colorNames)
    if (SameTextAscii(text, n.Name)) {
      color = n.Color;
      return true;
    }
  std::string_view digits = text;
  int base = 10;
  bool negative = false;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  if (!digits.empty() && digits[0] == '$') {
    base = 16;
    digits.remove_prefix(1);
  } else if (digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && UpperAscii(c) >= 'A' && UpperAscii(c) <= 'F')
      d = UpperAscii(c) - 'A' + 10;
    else
      return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFu) return false;
  }
  // Colours are 32-bit values; a negative number is its two's complement.
  color =
      static_cast<TColor>(negative ? (0u - static_cast<uint32_t>(v)) : static_cast<uint32_t>(v));
  return true;
}

bool ParseFormatChunks(std::string_view text, TFormatChunkKinds skipped, TFormatChunkList& chunks) {
  chunks.clear();
  bool valid = true;
  std::string pending;
  auto flush = [&] {
    if (pending.empty()) return;
    TFormatChunk chunk;
    chunk.Kind = fkText;
    chunk.Text = std::move(pending);
    pending.clear();
    if (!skipped.Contains(fkText)) chunks.push_back(std::move(chunk));
  };
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c != '\\') {
      // The run up to the next backslash joins the pending text at once.
      size_t next = text.find('\\', i);
      if (next == std::string_view::npos) next = text.size();
      pending.append(text.substr(i, next - i));
      i = next;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      pending += '\\';
      i += 2;
      continue;
    }
    flush();
    size_t open = text.find('{', i + 1);
    if (open == std::string_view::npos) return valid;
    size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) return valid;
    TFormatChunk chunk;
    if (!ParseCommand(text.substr(i + 1, open - i - 1), text.substr(open + 1, close - open - 1),
                      chunk))
      valid = false;
    else if (!skipped.Contains(chunk.Kind))
      chunks.push_back(std::move(chunk));
    i = close + 1;
  }
  flush();
  return valid;
}

std::string StripMarkup(std::string_view text) {
  TFormatChunkList chunks;
  ParseFormatChunks(text, {fkColor, fkStyle, fkColumn, fkHSpace, fkImage, fkFont}, chunks);
  std::string result;
  for (const TFormatChunk& chunk : chunks) result += chunk.Text;
  return result;
}

namespace {

// The one walk behind drawing and measuring. x runs in 64 bits: a list of
// huge \hspace values must not wrap around.
long long RenderChunks(TSynCanvas& canvas, const TRect& rect, long long right, TSynFont font,
                       const TFormatChunkList& chunks, bool draw, const TProposalColumns* columns,
                       const TProposalImages* images) {
  canvas.SetFont(font);
  TFontStyles style = font.Style;
  TColor color = font.Color;
  int column = -1;
  TFontStyles columnStyle = style;
  if (columns && columns->Count() > 0) {
    column = 0;
    style = columnStyle = (*columns)[0].DefaultFontStyle;
  }
  long long x = rect.Left;
  long long columnStart = rect.Left;
  bool faceChanged = false;
  for (const TFormatChunk& chunk : chunks) {
    switch (chunk.Kind) {
      case fkText:
        if (draw && x < right)
          canvas.DrawText(static_cast<int>(x), rect.Top, rect, chunk.Text, style, color);
        x += canvas.TextWidth(chunk.Text, style);
        break;
      case fkColor:
        color = chunk.Color;
        break;
      case fkStyle:
        if (chunk.Action == saOn)
          style.Include(chunk.Style);
        else if (chunk.Action == saOff)
          style.Exclude(chunk.Style);
        else if (style.Contains(chunk.Style))
          style.Exclude(chunk.Style);
        else
          style.Include(chunk.Style);
        break;
      case fkColumn:
        if (column < 0) break;
        columnStart += canvas.TextWidth((*columns)[column].BiggestWord + " ", columnStyle);
        x = columnStart;
        if (++column < columns->Count())
          style = columnStyle = (*columns)[column].DefaultFontStyle;
        else
          column = -1;
        break;
      case fkHSpace:
        x += chunk.Value;
        break;
      case fkFont: {
        TSynFont face = font;
        if (!chunk.Text.empty()) face.Name = chunk.Text;
        canvas.SetFont(face);
        faceChanged = true;
        break;
      }
      case fkImage:
        if (!images || chunk.Value < 0 || chunk.Value >= static_cast<int>(images->size())) break;
        if (draw && x < right) {
          const TSynGlyph& glyph = (*images)[static_cast<size_t>(chunk.Value)];
          canvas.DrawGlyph(static_cast<int>(x), rect.Top, glyph, rect);
        }
        x += (*images)[static_cast<size_t>(chunk.Value)].Width;
        break;
    }
    if (x > right && (chunk.Kind == fkText || chunk.Kind == fkHSpace || chunk.Kind == fkImage))
      break;
  }
  if (faceChanged) canvas.SetFont(font);
  return x;
}

int ClampToInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

}  // namespace

int DrawFormattedText(TSynCanvas& canvas, const TRect& rect, const TSynFont& font,
                      std::string_view text, bool selected, const TProposalColumns* columns,
                      const TProposalImages* images) {
  TFormatChunkList chunks;
  ParseFormatChunks(text, selected ? TFormatChunkKinds{fkColor} : TFormatChunkKinds{}, chunks);
  return ClampToInt(RenderChunks(canvas, rect, rect.Right, font, chunks, true, columns, images));
}

int MeasureFormattedText(TSynCanvas& canvas, const TSynFont& font, std::string_view text,
                         const TProposalColumns* columns, const TProposalImages* images) {
  TFormatChunkList chunks;
  ParseFormatChunks(text, {fkColor}, chunks);
  return ClampToInt(RenderChunks(canvas, {0, 0, INT_MAX, INT_MAX}, LLONG_MAX, font, chunks, false,
                                 columns, images));
}

}  // namespace ludra
