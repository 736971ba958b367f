// Painting the text area: each visible row token by token in fixed cells,
// tokens of equal appearance joined into runs, the selection cut out of the
// runs, then the fill after the text and the right edge.
#include <algorithm>
#include <climits>

#include "base/SynStrUtils.h"
#include "buffer/SynEditTextBuffer.h"
#include "editor/SynEditPainter.h"
#include "editor/SynEditScanPoints.h"
#include "highlight/SynEditHighlighter.h"

namespace ludra {

namespace {

constexpr char kSpaceGlyph = '\xB7';    // middle dot
constexpr char kTabGlyph = '\xBB';      // right guillemet
constexpr char kLineEndGlyph = '\xB6';  // pilcrow

struct TToken {
  int Column;  // first display column
  int End;     // one past the last
  TFontStyles Style;
  TColor Fg;
  TColor Bg;
};

}  // namespace

void TSynPainter::PaintTextLines(TSynCanvas& canvas, const TRect& clip, int firstRow, int lastRow,
                                 int firstColumn, int lastColumn, const TSynViewport& v) {
  TheTextDrawer& d = *TextDrawer;
  const int cw = v.CellWidth, rh = v.RowHeight, origin = v.TextOrigin();
  const int textLeft = v.GutterPixels + 2;
  const int left = std::max(clip.Left, v.GutterPixels);
  const bool showSpecial = src_.Options().Contains(eoShowSpecialChars);
  const bool specialDefaultFg = src_.Options().Contains(eoSpecialLineDefaultFg);
  // Characters advance by the editor's cell, the largest of the styles in use.
  d.SetBaseFont(&Font);
  d.SetCharExtra(0);
  d.SetCharExtra(cw - d.CellWidth());

  const int edgeX = RightEdge * cw + origin;
  const bool edge = RightEdge > 0 && edgeX >= clip.Left && edgeX < clip.Right;

  if (clip.Left < textLeft) canvas.FillRect({left, clip.Top, textLeft, clip.Bottom}, Color);

  // The selection in display terms; a column block spans the display
  // columns of its two ends.
  bool showSel = src_.Caret().HasSelection() && !(HideSelection && !src_.Focused());
  TDisplayCoord selStart, selEnd;
  if (showSel) {
    if (src_.Caret().Mode == smColumn) {
      TDisplayCoord a = src_.BufferToColumns(src_.Caret().SelFrom),
                    b = src_.BufferToColumns(src_.Caret().SelTo);
      selStart = {std::min(a.Column, b.Column), std::min(a.Row, b.Row)};
      selEnd = {std::max(a.Column, b.Column), std::max(a.Row, b.Row)};
    } else {
      selStart = src_.BufferToColumns(src_.Caret().First());
      selEnd = src_.BufferToColumns(src_.Caret().Last());
    }
    showSel = selEnd.Row >= firstRow && selStart.Row <= lastRow;
  }

  TSynCustomHighlighter* hl = src_.Highlighter();
  TSynHighlighterAttributes* wsAttr = hl ? hl->DefaultAttribute(4) : nullptr;
  TSynHighlighterAttributes* commentAttr = hl ? hl->DefaultAttribute(0) : nullptr;

  const int rowsEnd = std::min(lastRow, src_.Lines().Count());
  std::string shown, expanded;
  std::vector<TToken> tokens;
  std::vector<int> evenTabs;  // columns of the cell left of an even tab span's middle
  for (int row = firstRow; row <= rowsEnd; ++row) {
    const int line = row;
    const int y = (row - v.TopRow) * rh;
    // A line without tabs is painted as it is stored, without a copy.
    src_.ExpandedLineLength(line - 1);  // finds out whether it has tabs
    const bool hasTabs = !src_.Lines().LineFlags(line - 1).Contains(lfHasNoTabs);
    std::string_view text = src_.Lines().GetView(line - 1);
    if (hasTabs && text.size() >= static_cast<size_t>(TSynScanPoints::kMinLineLength)) {
      // A long line is expanded once, not for every caret blink.
      text = src_.ScanPoints().ExpandedLine(text, line - 1,
                                            [&] { return src_.ExpandedLine(line - 1); });
    } else if (hasTabs) {
      expanded = src_.ExpandedLine(line - 1);
      text = expanded;
    }
    const int len = static_cast<int>(text.size());

    const bool activeLine = src_.ActiveLineColor() != clNone && line == src_.Caret().CaretLine;
    TColor fg = Font.Color;
    TColor bg = activeLine                                 ? src_.ActiveLineColor()
                : wsAttr && wsAttr->Background() != clNone ? wsAttr->Background()
                                                           : Color;
    bool special = false;
    TColor specialFg = fg, specialBg = bg;
    src_.SpecialLineColors(line, special, specialFg, specialBg);
    // A special line shows its selection with its own colours exchanged.
    const TColor selFg = special ? specialBg : SelectedColor->Foreground();
    const TColor selBg = special ? specialFg : SelectedColor->Background();
    const TColor lineBg = special ? specialBg : bg;

    // Selected display columns of this row: [selA, selB).
    int selA = INT_MAX, selB = INT_MAX;
    if (showSel && line >= selStart.Row && line <= selEnd.Row) {
      if (src_.Caret().Mode == smLine) {
        selA = 1;
      } else if (src_.Caret().Mode == smColumn) {
        selA = selStart.Column;
        selB = selEnd.Column;
      } else {
        selA = line == selStart.Row ? selStart.Column : 1;
        selB = line == selEnd.Row ? selEnd.Column : INT_MAX;
      }
      if (selA >= selB) selA = selB = INT_MAX;
    }
    const bool wholeRow = selA <= firstColumn && selB > lastColumn;

    // What the visible cells show (from column shownFrom on): tab filler as
    // blanks, or the visible whitespace. Only the visible part is copied, so
    // a very long line costs no more here than a short one.
    const int shownFrom = std::min(firstColumn, len + 1);
    shown.assign(text.substr(
        static_cast<size_t>(shownFrom - 1),
        static_cast<size_t>(std::max(std::min(len, lastColumn + 1) - shownFrom + 1, 0))));
    evenTabs.clear();
    for (char& c : shown)
      if (c == '\t')
        c = ' ';
      else if (showSpecial && c == ' ')
        c = kSpaceGlyph;
    if (showSpecial && hasTabs) {
      std::string_view raw = src_.Lines().GetView(line - 1);
      int column = 0;
      for (char c : raw) {
        int w = c == '\t' ? src_.TabWidth() - column % src_.TabWidth() : 1;
        if (c == '\t') {
          // The middle cell; an even span puts the glyph half a cell further right.
          int middle = column + w / 2 + 1;  // 1-based column
          if (w % 2 == 0)
            evenTabs.push_back(middle - 1);
          else if (middle >= shownFrom && middle - shownFrom < static_cast<int>(shown.size()))
            shown[middle - shownFrom] = kTabGlyph;
        }
        column += w;
        if (column > lastColumn) break;
      }
    }

    // Tokens of the visible columns.
    tokens.clear();
    TSynHighlighterAttributes* lastAttr = nullptr;
    const int visibleEnd = std::min(len, lastColumn) + 1;
    if (hl) {
      // The line-end glyph takes the colours of the line's last token.
      const bool needLast = showSpecial && len + 1 >= firstColumn && len + 1 <= lastColumn;
      if (line == 1) hl->ResetRangeState();
      TSynRange startState = line == 1 ? hl->GetRangeState() : src_.Lines().LineRange(line - 2);
      // A long line is scanned from a point near the first visible column.
      src_.ScanPoints().StartLine(*hl, text, line - 1, startState, firstColumn - 1);
      while (!hl->AtLineEnd()) {
        int start = hl->TokenStart() + 1;
        TSynHighlighterAttributes* attr = hl->TokenAttribute();
        if (start >= visibleEnd && !needLast) break;
        hl->NextToken();
        int end = hl->AtLineEnd() ? len + 1 : hl->TokenStart() + 1;
        lastAttr = attr;
        int s = std::max(start, firstColumn), e = std::min(end, visibleEnd);
        if (s >= e) continue;
        // The editor font's own style (bold, italic) goes with every token's.
        TToken t{s, e, Font.Style, fg, bg};
        if (attr) {
          t.Style += attr->Style();
          if (attr->Background() != clNone && !activeLine) t.Bg = attr->Background();
          if (attr->Foreground() != clNone) t.Fg = attr->Foreground();
        }
        tokens.push_back(t);
      }
    } else if (firstColumn < visibleEnd) {
      tokens.push_back({firstColumn, visibleEnd, Font.Style, fg, bg});
    }

    TFontStyles lastStyle;
    auto drawRun = [&](const TToken& run) {
      TColor runFg = run.Fg, runBg = run.Bg;
      if (special) {
        runBg = specialBg;
        if (!specialDefaultFg) runFg = specialFg;
      }
      d.SetStyle(run.Style);
      lastStyle = run.Style;
      int cuts[4] = {run.Column, std::clamp(selA, run.Column, run.End),
                     std::clamp(selB, run.Column, run.End), run.End};
      for (int i = 0; i < 3; ++i) {
        int a = cuts[i], b = cuts[i + 1];
        if (a >= b) continue;
        bool selected = i == 1;
        d.SetForeColor(selected ? selFg : runFg);
        d.SetBackColor(selected ? selBg : runBg);
        int x = (a - 1) * cw + origin;
        TRect cells{std::max(x, textLeft), y, x + (b - a) * cw, y + rh};
        d.ExtTextOut(x, y, cells, std::string_view(shown).substr(a - shownFrom, b - a));
        for (int column : evenTabs)
          if (column >= a && column < b) {
            int gx = (column - 1) * cw + origin + cw / 2;
            d.ExtTextOut(gx, y, {std::max(gx, textLeft), y, gx + cw, y + rh},
                         std::string_view(&kTabGlyph, 1));
          }
      }
    };
    if (!tokens.empty()) {
      TToken run = tokens[0];
      const bool sameColours = (special && !specialDefaultFg) || wholeRow;
      for (size_t i = 1; i < tokens.size(); ++i) {
        const TToken& t = tokens[i];
        bool blank = IsBlank(std::string_view(text).substr(t.Column - 1, t.End - t.Column));
        bool sameStyle = t.Style == run.Style || (blank && !t.Style.Contains(fsUnderline) &&
                                                  !run.Style.Contains(fsUnderline));
        if (sameStyle && t.Column == run.End &&
            (sameColours || (t.Bg == run.Bg && (t.Fg == run.Fg || blank)))) {
          run.End = t.End;
        } else {
          drawRun(run);
          run = t;
        }
      }
      drawRun(run);
    }

    // After the text: the line-end glyph, then the selected and plain fill.
    int fillColumn = std::max(len + 1, firstColumn);
    int fillX = (fillColumn - 1) * cw + origin;
    if (showSpecial && len + 1 >= firstColumn && len + 1 <= lastColumn) {
      TSynHighlighterAttributes* attr =
          lastAttr == commentAttr && commentAttr ? commentAttr : wsAttr;
      bool selected = len + 1 >= selA && len + 1 < selB;
      d.SetStyle({});
      d.SetForeColor(selected                               ? selFg
                     : special && !specialDefaultFg         ? specialFg
                     : attr && attr->Foreground() != clNone ? attr->Foreground()
                                                            : fg);
      d.SetBackColor(selected                               ? selBg
                     : special                              ? specialBg
                     : attr && attr->Background() != clNone ? attr->Background()
                                                            : bg);
      d.ExtTextOut(fillX, y, {std::max(fillX, textLeft), y, fillX + cw, y + rh},
                   std::string_view(&kLineEndGlyph, 1));
      ++fillColumn;
      fillX += cw;
    } else if (len + 1 > firstColumn && !(lastStyle * TFontStyles{fsBold, fsItalic}).Empty()) {
      // Keep the overhang of the last italic or bold glyph.
      fillX += d.Measure(canvas, lastStyle).Overhang;
    }
    fillX = std::max(fillX, left);
    if (fillX < clip.Right) {
      int a = std::max(selA, fillColumn), b = selB;
      int ax = a == INT_MAX ? INT_MAX : (a - 1) * cw + origin;
      int bx = b == INT_MAX ? INT_MAX : (b - 1) * cw + origin;
      ax = std::clamp(ax, fillX, clip.Right);
      bx = std::clamp(bx, ax, clip.Right);
      if (ax > fillX) canvas.FillRect({fillX, y, ax, y + rh}, lineBg);
      if (bx > ax) canvas.FillRect({ax, y, bx, y + rh}, selBg);
      if (clip.Right > bx) canvas.FillRect({bx, y, clip.Right, y + rh}, lineBg);
    }
    if (edge) canvas.DrawLine(edgeX, y, edgeX, y + rh, RightEdgeColor);
  }

  int below = (std::max(rowsEnd, firstRow - 1) + 1 - v.TopRow) * rh;
  if (below < clip.Bottom) {
    canvas.FillRect({left, below, clip.Right, clip.Bottom}, Color);
    if (edge) canvas.DrawLine(edgeX, below, edgeX, clip.Bottom, RightEdgeColor);
  }
}

}  // namespace ludra
