// Code completion over 2,000, 6,000 and 20,000 entries of the kinds the
// catalog holds (natives, functions, #define constants and macros, globals
// and constants), made by the catalog: opening the list (filter, size, paint
// through the Qt canvas) and narrowing it by one typed character (refilter,
// the character typed into the editor, paint). The baseline is the least
// any list must do: a case-blind prefix test over the same insert texts and
// the eight visible rows drawn as plain text.
#include <strings.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "BenchUtil.h"
#include "appcore/FunctionCatalog.h"
#include "completion/SynCompletionProposal.h"
#include "qt/SynEditWidget.h"

namespace ludra {
namespace {

// A window that paints nowhere: the frame is painted by the benchmark.
class TBenchWindow : public TSynProposalWindow {
 public:
  void SetBounds(const TRect&) override {}
  void ShowWindow(bool) override {}
  void HideWindow() override {}
  void FocusWindow() override {}
  void Invalidate() override {}
  TRect WorkArea() const override { return {0, 0, 1920, 1080}; }
  TSynCanvas& MeasureCanvas() override { return canvas; }
  TSynQtCanvas canvas;
};

class TBenchHost : public TSynProposalHost {
 public:
  std::unique_ptr<TSynProposalWindow> CreateProposalWindow(
      TSynBaseCompletionProposalForm&) override {
    return std::make_unique<TBenchWindow>();
  }
  std::unique_ptr<TSynTimer> CreateTimer() override { return clock.CreateTimer(); }
  TPoint ClientToScreen(TCustomSynEdit&, TPoint p) override { return p; }
  TPoint MouseScreenPosition() override { return {}; }
  bool ApplicationActive() override { return true; }
  TSynManualClock clock;
};

class TBenchEditor : public TCustomSynEdit {
 public:
  bool Focused() const override { return true; }
};

std::vector<std::string> Names(int count) {
  static const char* const prefixes[] = {"Get", "Set",  "Player", "Vehicle", "Create", "Destroy",
                                         "Is",  "Text", "Object", "Send",    "Show",   "Hide"};
  std::vector<std::string> names;
  std::mt19937 rng(17);
  for (int i = 0; i < count; ++i)
    names.push_back(std::string(prefixes[rng() % std::size(prefixes)]) + "Thing" +
                    std::to_string(i));
  return names;
}

struct TBenchCompletion {
  explicit TBenchCompletion(int count) : image(262, 200, QImage::Format_RGB32), painter(&image) {
    engine.SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText,
                       scoUseBuiltInTimer, scoEndCharCompletion, scoCompleteWithTab,
                       scoCompleteWithEnter});
    engine.SetWidth(262);
    engine.Columns().Add().BiggestWord = kWidestKindWord;
    // The items as the catalog makes them, of every kind.
    std::string header;
    int k = 0;
    for (const std::string& n : Names(count)) {
      switch (k++ % 6) {
        case 0:
        case 1:
          header += "native " + n + "(playerid, Float:x, Float:y, const name[]);\n";
          break;
        case 2:
          header += "#define " + n + " (0x00FF00FF)\n";
          break;
        case 3:
          header += "#define " + n + "(%0,%1) ((%0)+(%1))\n";
          break;
        case 4:
          header += k % 12 == 5 ? "const " + n + " = 5;\n" : "new " + n + ";\n";
          break;
        default:
          header += "stock " + n + "(a, b = 2) { return a + b; }\n";
          break;
      }
    }
    auto file = std::make_shared<TFileDeclarations>(ReadDeclarations(header));
    catalog = std::make_unique<TFunctionCatalog>(
        std::vector<TCatalogSection>{{"bench.inc", "bench.inc", false, file}});
    for (const TCatalogItem& item : catalog->Items()) {
      engine.ItemList().Add(CompletionItemText(item));
      engine.InsertList().Add(item.Name);
    }
    engine.SetEditor(&editor);
    canvas.SetPainter(&painter, QApplication::palette());
  }
  void Paint() {
    engine.Form().Paint(canvas);
    benchmark::ClobberMemory();
  }
  std::unique_ptr<TFunctionCatalog> catalog;
  TBenchHost host;
  TSynCompletionProposal engine{host};
  TBenchEditor editor;
  QImage image;
  QPainter painter;
  TSynQtCanvas canvas;
};

void BM_OpenList(benchmark::State& state) {
  TBenchCompletion b(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    b.engine.ActivateFor(&b.editor);
    b.Paint();
    b.engine.HideProposal();
  }
  state.counters["rows"] = b.engine.Form().MatchedCount();
}
BENCHMARK(BM_OpenList)->Arg(2000)->Arg(6000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// One iteration narrows by one character and widens again with Backspace,
// each with its painted frame: two keys.
void BM_NarrowByOneChar(benchmark::State& state) {
  TBenchCompletion b(static_cast<int>(state.range(0)));
  b.editor.SetText("");
  b.engine.ActivateFor(&b.editor);
  int narrowed = 0;
  for (auto _ : state) {
    char c = 'S';
    b.engine.Form().KeyPress(c);
    b.Paint();
    narrowed = b.engine.Form().MatchedCount();
    uint16_t key = VK_BACK;
    b.engine.Form().KeyDown(key, {});
    b.Paint();
  }
  state.counters["rows_after_key"] = narrowed;
  state.counters["keys"] = benchmark::Counter(static_cast<double>(state.iterations()) * 2);
}
BENCHMARK(BM_NarrowByOneChar)->Arg(2000)->Arg(6000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_Baseline_PrefixScanAndPlainRows(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<std::string> names = Names(count);
  QImage image(262, 200, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setFont(TSynQtCanvas::ToQFont(TSynFont{"MS Sans Serif", 8, 0, {}, clWindowText}, {}));
  for (auto _ : state) {
    std::vector<int> matched;
    for (int i = 0; i < count; ++i)
      if (strncasecmp(names[static_cast<size_t>(i)].c_str(), "S", 1) == 0) matched.push_back(i);
    painter.fillRect(image.rect(), Qt::white);
    for (size_t r = 0; r < 8 && r < matched.size(); ++r)
      painter.drawText(QPoint(2, static_cast<int>(r) * 16 + 12),
                       QString::fromStdString(names[static_cast<size_t>(matched[r])]));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Baseline_PrefixScanAndPlainRows)
    ->Arg(2000)
    ->Arg(6000)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_OpenList/2000", "BM_Baseline_PrefixScanAndPlainRows/2000"},
       {"BM_NarrowByOneChar/2000", "BM_Baseline_PrefixScanAndPlainRows/2000"},
       {"BM_OpenList/6000", "BM_Baseline_PrefixScanAndPlainRows/6000"},
       {"BM_NarrowByOneChar/6000", "BM_Baseline_PrefixScanAndPlainRows/6000"},
       {"BM_OpenList/20000", "BM_Baseline_PrefixScanAndPlainRows/20000"},
       {"BM_NarrowByOneChar/20000", "BM_Baseline_PrefixScanAndPlainRows/20000"}});
}
