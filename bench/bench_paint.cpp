// Painting benchmarks on the offscreen platform: a full 60 x 200 screen of
// highlighted code, and the time from a key press to the painted frame in a
// million-line document and on one 5 MB line. The baseline draws the same
// characters as plain text, one QPainter::drawText per row.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include "BenchUtil.h"
#include "appcore/MainWindowSettings.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/SynMemoryClipboard.h"
#include "qt/SynEditWidget.h"

namespace ludra {
namespace {

constexpr int kRows = 60;
constexpr int kColumns = 200;

// Counts the paint requests, to show that each key really reached the screen.
class TCountingSynEdit : public TSynEdit {
 public:
  using TSynEdit::TSynEdit;
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    TSynEdit::paintEvent(event);
  }
};

// An editor with the main window's look, sized to rows x columns of cells.
struct TBenchEditor {
  explicit TBenchEditor(const std::string& text) : editor(nullptr, &clipboard) {
    ApplyMainWindowColors(cpp);
    editor.SetHighlighter(&cpp);
    ApplyMainWindowEditorSettings(editor);
    editor.SetScrollBars(ssNone);
    editor.setFrameStyle(0);
    editor.resize(editor.GutterPixels() + 2 + kColumns * editor.CellWidth(),
                  kRows * editor.RowHeight());
    // The viewport takes its size when the widget is laid out on screen.
    editor.show();
    QApplication::processEvents();
    editor.SetText(text);
  }
  TSynMemoryClipboard clipboard;
  TSynCppSyn cpp;
  TCountingSynEdit editor;
};

std::string ScreenText() {
  std::string text = bench::MakeCLikeText(kRows * 220, 190);
  return text;
}

void BM_PaintFullFrame(benchmark::State& state) {
  TBenchEditor b(ScreenText());
  TSynEdit& e = b.editor;
  QImage image(e.ClientWidth(), e.ClientHeight(), QImage::Format_RGB32);
  QPainter painter(&image);
  TSynQtCanvas canvas(&painter, e.palette());
  for (auto _ : state) {
    e.Paint(canvas, {0, 0, e.ClientWidth(), e.ClientHeight()});
    benchmark::ClobberMemory();
  }
  state.counters["rows"] = e.VisibleRows();
  state.counters["columns"] = e.VisibleColumns();
}
BENCHMARK(BM_PaintFullFrame)->Unit(benchmark::kMillisecond);

void BM_Baseline_PlainDrawTextFrame(benchmark::State& state) {
  TBenchEditor b(ScreenText());
  TSynEdit& e = b.editor;
  QImage image(e.ClientWidth(), e.ClientHeight(), QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setFont(TSynQtCanvas::ToQFont(e.Font(), {}));
  std::vector<QString> rows;
  for (int i = 0; i < kRows && i < e.Lines().Count(); ++i)
    rows.push_back(QString::fromLatin1(e.Lines().ExpandedLine(i).substr(0, kColumns)));
  for (auto _ : state) {
    painter.fillRect(image.rect(), Qt::white);
    for (size_t i = 0; i < rows.size(); ++i)
      painter.drawText(QPoint(e.GutterPixels() + 2, static_cast<int>(i) * e.RowHeight() + 12),
                       rows[i]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Baseline_PlainDrawTextFrame)->Unit(benchmark::kMillisecond);

void SendKey(QWidget& w, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(&w, &release);
}

// One key and its painted frame per iteration: "x" typed, then Backspace, so
// the document stays the same.
void TypeAndPaint(benchmark::State& state, TCountingSynEdit& e) {
  e.show();
  e.setFocus();
  QApplication::processEvents();
  const int paintsBefore = e.paints;
  bool type = true;
  for (auto _ : state) {
    if (type)
      SendKey(e, Qt::Key_X, "x");
    else
      SendKey(e, Qt::Key_Backspace, "\b");
    QApplication::processEvents();
    type = !type;
  }
  state.counters["paints_per_key"] =
      static_cast<double>(e.paints - paintsBefore) / static_cast<double>(state.iterations());
}

void BM_KeyToFrame_MillionLines(benchmark::State& state) {
  std::string text = bench::MakeCLikeText(40u * 1000000u, 40);
  TBenchEditor b(text);
  b.editor.SetCaretPos({1, 1});
  state.counters["lines"] = b.editor.Lines().Count();
  TypeAndPaint(state, b.editor);
}
BENCHMARK(BM_KeyToFrame_MillionLines)->Unit(benchmark::kMillisecond);

std::string FiveMegabyteLine();

void BM_KeyToFrame_FiveMegabyteLine(benchmark::State& state) {
  std::string line = FiveMegabyteLine();
  TBenchEditor b(line);
  // Typing past MaxScrollWidth inserts nothing unless the width follows the text.
  b.editor.SetOptions(b.editor.Options() + TSynEditorOptions{eoAutoSizeMaxScrollWidth});
  b.editor.SetCaretPos({static_cast<int>(line.size()) + 1, 1});
  TypeAndPaint(state, b.editor);
}
BENCHMARK(BM_KeyToFrame_FiveMegabyteLine)->Unit(benchmark::kMillisecond);

std::string FiveMegabyteLine() {
  std::string line = bench::MakeCLikeText(5u << 20, 60);
  for (char& c : line)
    if (c == '\n') c = ' ';
  return line;
}

// One caret blink per iteration: the caret's cells are repainted, as the
// blink timer asks, with the caret at the end of `text`'s last line.
void CaretBlink(benchmark::State& state, const std::string& text) {
  TBenchEditor b(text);
  TCountingSynEdit& e = b.editor;
  e.SetOptions(e.Options() + TSynEditorOptions{eoAutoSizeMaxScrollWidth});
  e.activateWindow();
  e.setFocus();
  QApplication::processEvents();
  e.SetCaretPos(
      {static_cast<int>(e.Lines().Get(e.Lines().Count() - 1).size()) + 1, e.Lines().Count()});
  QApplication::processEvents();
  QRect caret = e.CaretRect();
  if (caret.isEmpty()) {
    state.SkipWithError("the caret is not shown");
    return;
  }
  const int paintsBefore = e.paints;
  for (auto _ : state) {
    e.viewport()->repaint(caret);
    benchmark::ClobberMemory();
  }
  state.counters["paints_per_blink"] =
      static_cast<double>(e.paints - paintsBefore) / static_cast<double>(state.iterations());
}

void BM_CaretBlink_FiveMegabyteLine(benchmark::State& state) {
  CaretBlink(state, FiveMegabyteLine());
}
BENCHMARK(BM_CaretBlink_FiveMegabyteLine)->Unit(benchmark::kMicrosecond);

void BM_Baseline_CaretBlinkShortLine(benchmark::State& state) {
  CaretBlink(state, "main() { return 0; } // a short line\n");
}
BENCHMARK(BM_Baseline_CaretBlinkShortLine)->Unit(benchmark::kMicrosecond);

void BM_Baseline_KeyToFrame_ShortLine(benchmark::State& state) {
  TBenchEditor b("main() { return 0; } // a short line");
  b.editor.SetCaretPos({37, 1});
  TypeAndPaint(state, b.editor);
}
BENCHMARK(BM_Baseline_KeyToFrame_ShortLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_PaintFullFrame", "BM_Baseline_PlainDrawTextFrame"},
       {"BM_KeyToFrame_MillionLines", "BM_Baseline_PlainDrawTextFrame"},
       {"BM_KeyToFrame_FiveMegabyteLine", "BM_Baseline_KeyToFrame_ShortLine"},
       {"BM_CaretBlink_FiveMegabyteLine", "BM_Baseline_CaretBlinkShortLine"}});
}
