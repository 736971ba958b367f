// Measuring the cell: the font's own style at once, the bold and italic
// variants the highlighter uses before text is first painted, and nothing
// again for a change of colour alone.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editor/HeadlessSynEdit.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynCanvas.h"

namespace ludra::test {
namespace {

using TOp = TSynRecordingCanvas::TOp;

// Measures on its recording canvas as the window does, either leaving
// unknown variants for the first paint with text or measuring them all.
class TMeasuringEditor : public THeadlessSynEdit {
 public:
  explicit TMeasuringEditor(bool defer, int boldWidth = 10) : defer_(defer) {
    canvas.BoldCellWidth = boldWidth;
    canvas.CellHeight = 17;
    FontChanged();
  }
  void FontMetrics(int& cellWidth, int& cellHeight) const override {
    auto* self = const_cast<TMeasuringEditor*>(this);
    self->MeasureCellSize(self->canvas, cellWidth, cellHeight, defer_);
  }
  std::vector<TOp> PaintAll() {
    canvas.Clear();
    Paint(canvas, {0, 0, clientWidth, clientHeight});
    return canvas.Ops;
  }
  TSynRecordingCanvas canvas;

 private:
  bool defer_;
};

// Asm bold, comments italic, keywords plain: the main window's styles.
void UseStyles(TSynCppSyn& cpp) {
  cpp.AsmAttri()->SetStyle({fsBold});
  cpp.CommentAttri()->SetStyle({fsItalic});
  cpp.KeyAttri()->SetStyle({});
}

TEST(CellMeasureTest, BoldAndItalicWaitForTheFirstTextToPaint) {
  TMeasuringEditor e(true, 12);
  TSynCppSyn cpp;
  UseStyles(cpp);
  e.SetHighlighter(&cpp);
  EXPECT_EQ(e.CellWidth(), 10);  // the plain cell until the bold one is known
  EXPECT_EQ(e.RowHeight(), 17);
  EXPECT_TRUE(e.CellMeasurePending());
  const int measured = e.canvas.Measurements;
  // An empty editor paints without them.
  e.PaintAll();
  EXPECT_TRUE(e.CellMeasurePending());
  EXPECT_EQ(e.canvas.Measurements, measured);
  EXPECT_EQ(e.CellWidth(), 10);
  // Text to draw: both variants are measured and the wider bold cell is taken
  // before anything is drawn, so every run lies on the wider grid.
  e.SetText("asm { mov } // note\nint x;");
  e.invalidated.clear();
  std::vector<TOp> ops = e.PaintAll();
  EXPECT_FALSE(e.CellMeasurePending());
  EXPECT_EQ(e.canvas.Measurements, measured + 2);
  EXPECT_EQ(e.CellWidth(), 12);
  EXPECT_EQ(e.TextDrawer().BaseStyle(), TFontStyles{fsBold});
  EXPECT_EQ(e.VisibleColumns(), (e.clientWidth - e.GutterPixels() - 2) / 12);
  ASSERT_FALSE(e.invalidated.empty());
  EXPECT_EQ(e.invalidated.back(), (TRect{0, 0, e.clientWidth, e.clientHeight}));
  bool sawItalic = false;
  for (const TOp& op : e.canvas.Texts()) {
    EXPECT_EQ(op.CellWidth, 12) << op.Text;
    EXPECT_EQ((op.X - e.TextOrigin()) % 12, 0) << op.Text;
    sawItalic = sawItalic || (op.Style == TFontStyles{fsItalic} && op.Text == "// note");
  }
  EXPECT_TRUE(sawItalic);
  // Known now: a later font notice takes them without measuring again.
  e.FontChanged();
  EXPECT_FALSE(e.CellMeasurePending());
  EXPECT_EQ(e.canvas.Measurements, measured + 2);
  EXPECT_EQ(e.CellWidth(), 12);
}

TEST(CellMeasureTest, OnlyAChangeOfFaceSizeOrStyleMeasuresAgain) {
  struct TCase {
    const char* name;
    void (*change)(TSynFont&);
    bool measures;
  };
  const std::vector<TCase> cases = {
      {"colour", [](TSynFont& f) { f.Color = clRed; }, false},
      {"same font", [](TSynFont&) {}, false},
      {"size", [](TSynFont& f) { f.Size = 14; }, true},
      {"pixel height", [](TSynFont& f) { f.Height = 15; }, true},
      {"name", [](TSynFont& f) { f.Name = "Mono"; }, true},
      {"style", [](TSynFont& f) { f.Style = {fsItalic}; }, true},
  };
  for (const TCase& c : cases) {
    TMeasuringEditor e(false);
    const int before = e.canvas.Measurements;
    TSynFont font = e.Font();
    c.change(font);
    e.SetFont(font);
    EXPECT_EQ(e.canvas.Measurements > before, c.measures) << c.name;
    EXPECT_EQ(e.Font(), font) << c.name;
    // The drawer paints in the new colour all the same.
    e.SetText("x");
    e.PaintAll();
    ASSERT_FALSE(e.canvas.Texts().empty()) << c.name;
    EXPECT_EQ(e.canvas.Texts()[0].Fg, font.Color) << c.name;
    EXPECT_EQ(e.canvas.Font(), font) << c.name;
  }
}

TEST(CellMeasureTest, FontStockForgetsItsCellsOnlyForAnotherFace) {
  TheFontStock stock;
  TSynRecordingCanvas canvas;
  TSynFont font;
  stock.SetBaseFont(font);
  EXPECT_FALSE(stock.Measured({fsBold}));
  stock.Metrics(canvas, {fsBold});
  EXPECT_TRUE(stock.Measured({fsBold}));
  EXPECT_FALSE(stock.Measured({}));
  font.Color = clGreen;
  stock.SetBaseFont(font);
  EXPECT_TRUE(stock.Measured({fsBold}));
  EXPECT_EQ(stock.BaseFont().Color, clGreen);
  font.Size = 12;
  stock.SetBaseFont(font);
  EXPECT_FALSE(stock.Measured({fsBold}));
}

// An editor that measures late paints exactly what one that measured every
// variant at once paints, whatever the styles, the widths and word wrap.
TEST(CellMeasureTest, LateMeasurementPaintsWhatAFullOnePaints) {
  const std::string text =
      "#include <a_samp>\n"
      "asm { mov eax, 1 } /* block */ int x = 0x1F + 1.5;\n"
      "// a comment that runs on past the width of a narrow window, well past it\n"
      "\"string\" 'c' return x;";
  const std::vector<TFontStyles> styles = {{}, {fsBold}, {fsItalic}, {fsBold, fsItalic}};
  std::mt19937 rng(18);
  for (int round = 0; round < 60; ++round) {
    const int boldWidth = std::vector<int>{10, 11, 13}[rng() % 3];
    const TFontStyles fontStyle = styles[rng() % 2 == 0 ? 0 : rng() % styles.size()];
    const bool wrap = rng() % 2 == 0;
    TSynCppSyn cppLate, cppFull;
    for (int i = 0; i < cppLate.AttributeCount(); ++i) {
      TFontStyles s = rng() % 3 == 0 ? styles[rng() % styles.size()] : TFontStyles{};
      cppLate.AttributeAt(i)->SetStyle(s);
      cppFull.AttributeAt(i)->SetStyle(s);
    }
    TMeasuringEditor late(true, boldWidth), full(false, boldWidth);
    for (auto [e, cpp] : {std::pair{&late, &cppLate}, std::pair{&full, &cppFull}}) {
      e->clientWidth = 32 + 40 * 10;
      e->SizeChanged();
      TSynFont font = e->Font();
      font.Style = fontStyle;
      e->SetFont(font);
      e->SetHighlighter(cpp);
      e->SetWordWrap(wrap);
      e->SetText(text);
      e->PaintAll();
    }
    const std::string what = "round " + std::to_string(round);
    EXPECT_FALSE(late.CellMeasurePending()) << what;
    EXPECT_EQ(late.CellWidth(), full.CellWidth()) << what;
    EXPECT_EQ(late.RowHeight(), full.RowHeight()) << what;
    EXPECT_EQ(late.VisibleColumns(), full.VisibleColumns()) << what;
    EXPECT_EQ(late.TextDrawer().BaseStyle(), full.TextDrawer().BaseStyle()) << what;
    EXPECT_EQ(late.DisplayRowCount(), full.DisplayRowCount()) << what;
    std::vector<TOp> a = late.canvas.Texts(), b = full.canvas.Texts();
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].Text, b[i].Text) << what;
      EXPECT_EQ(a[i].X, b[i].X) << what << " " << a[i].Text;
      EXPECT_EQ(a[i].Y, b[i].Y) << what << " " << a[i].Text;
      EXPECT_EQ(a[i].Rect, b[i].Rect) << what << " " << a[i].Text;
      EXPECT_EQ(a[i].CellWidth, b[i].CellWidth) << what;
      EXPECT_EQ(a[i].Style, b[i].Style) << what;
      EXPECT_EQ(a[i].Fg, b[i].Fg) << what;
    }
    late.Check();
  }
}

}  // namespace
}  // namespace ludra::test
