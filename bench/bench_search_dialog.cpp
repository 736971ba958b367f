// Replace from the main window through its dialogs: the Replace dialog
// confirmed with "player" -> "participant", the first confirmation answered
// "Yes to all", over 100,000 occurrences in a 1,000,000-line script; and the
// one Undo that takes it back. Baselines in the same run: the same
// replacements on a plain vector of lines, and the editor's own replace-all
// without prompting.
#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>

#include "BenchUtil.h"
#include "app/Main.h"
#include "app/dlgReplaceText.h"
#include "search/SynEditSearch.h"

namespace ludra {
namespace {

namespace fs = std::filesystem;

constexpr int kLines = 1000000;
constexpr int kOccurrences = 100000;
const char kSearch[] = "player";
const char kReplace[] = "participant";

// Every tenth line holds one occurrence.
std::string LineText(int i) {
  if (i % 10 == 0) return "\tif (IsConnected(player)) SetScore(" + std::to_string(i) + ");";
  return "\tnew value_" + std::to_string(i) + " = call(x, y); // note";
}

const std::string& Document() {
  static const std::string text = [] {
    std::string s;
    for (int i = 0; i < kLines; ++i) s += LineText(i) + "\n";
    return s;
  }();
  return text;
}

const std::string& ScriptFile() {
  static const std::string name = [] {
    std::string dir = (fs::temp_directory_path() / "ludra-bench-search").string();
    fs::remove_all(dir);
    fs::create_directories(dir + "/program");
    std::ofstream(dir + "/big.pwn", std::ios::binary) << Document();
    return dir + "/big.pwn";
  }();
  return name;
}

// Confirms the Replace dialog with the texts and answers the first
// confirmation with Yes to all, as the user's clicks would.
class TAnsweringDialogs : public TQtDialogs {
 public:
  int Confirmations = 0;
  TModalResult ShowModal(QDialog& dialog) override {
    TModalResult result = mrCancel;
    if (auto* replace = dynamic_cast<TTextReplaceDialog*>(&dialog)) {
      SetComboText(replace->cbSearchText, kSearch);
      SetComboText(replace->cbReplaceText, kReplace);
      result = mrOk;
    } else if (dynamic_cast<TConfirmReplaceDialog*>(&dialog)) {
      ++Confirmations;
      result = mrYesToAll;
    }
    dialog.done(result);
    return result;
  }
  void Beep() override {}
};

struct TWindow {
  TAnsweringDialogs* dialogs;
  std::unique_ptr<TfmMain> window;
  TWindow() {
    auto d = std::make_unique<TAnsweringDialogs>();
    dialogs = d.get();
    window = std::make_unique<TfmMain>(fs::path(ScriptFile()).parent_path().string() + "/program",
                                       std::vector<std::string>{ScriptFile()}, std::move(d));
    window->show();
    while (window->StartPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
};

bool Replaced(benchmark::State& state, TWindow& w) {
  const TSynEditStringList& lines = w.window->moCode->Lines();
  if (w.dialogs->Confirmations != 1 || lines.Count() != kLines ||
      lines.Get(0) != "\tif (IsConnected(participant)) SetScore(0);" ||
      lines.Get(kLines - 10).find(kReplace) == std::string::npos) {
    state.SkipWithError("the replace did not replace every occurrence after one question");
    return false;
  }
  return true;
}

void BM_DialogReplaceYesToAll(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<TWindow>();
    state.ResumeTiming();
    w->window->tbReplace->trigger();
    state.PauseTiming();
    bool ok = Replaced(state, *w);
    w.reset();
    state.ResumeTiming();
    if (!ok) return;
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

void BM_DialogReplaceUndo(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<TWindow>();
    w->window->tbReplace->trigger();
    if (!Replaced(state, *w)) return;
    state.ResumeTiming();
    w->window->miUndo->trigger();
    state.PauseTiming();
    const TSynEditStringList& lines = w->window->moCode->Lines();
    bool restored = !w->window->moCode->CanUndo() && lines.Count() == kLines &&
                    lines.Get(0) == LineText(0) && lines.Get(kLines - 10) == LineText(kLines - 10);
    w.reset();
    state.ResumeTiming();
    if (!restored) {
      state.SkipWithError("one undo did not restore the text");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

// The editor's replace-all without a prompt, on the same text.
void BM_Baseline_EditorReplaceAll(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TSynEditSearch engine;
    auto editor = std::make_unique<TCustomSynEdit>();
    editor->SetSearchEngine(&engine);
    editor->Lines().LoadFromBytes(std::string(Document()));
    state.ResumeTiming();
    int n = editor->SearchAndReplace(kSearch, kReplace, {sfReplaceAll, sfEntireScope});
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
    if (n != kOccurrences) {
      state.SkipWithError("wrong number of replacements");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kOccurrences);
}

// The same replacements on a vector of strings, with no editor around.
void BM_Baseline_PlainVectorReplace(benchmark::State& state) {
  bench::PlainVectorReplace(state, kLines, LineText, kSearch, kReplace, kOccurrences);
}

BENCHMARK(BM_Baseline_PlainVectorReplace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_EditorReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DialogReplaceYesToAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DialogReplaceUndo)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace ludra

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return ludra::bench::RunWithRatios(
      argc, argv,
      {{"BM_DialogReplaceYesToAll", "BM_Baseline_PlainVectorReplace"},
       {"BM_DialogReplaceYesToAll", "BM_Baseline_EditorReplaceAll"},
       {"BM_DialogReplaceUndo", "BM_Baseline_PlainVectorReplace"}});
}
