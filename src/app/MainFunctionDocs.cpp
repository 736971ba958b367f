// Doc comments where the user looks for them (under the parameter hint and
// beside the completion list), the hint kept inside the screen, and the
// filter box above the function list.
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/DocPanel.h"
#include "app/Main.h"
#include "appcore/DocComment.h"
#include "appcore/HintText.h"
#include "appcore/ParamHintScanner.h"
#include "base/SynCodePage.h"
#include "completion/SynCompletionProposalMarkup.h"

namespace ludra {

namespace {

// Keys of the filter box that act on the list below it.
class TFilterKeys : public QObject {
 public:
  TFilterKeys(QObject* parent, std::function<bool(int)> onKey)
      : QObject(parent), onKey_(std::move(onKey)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && onKey_(static_cast<QKeyEvent*>(event)->key()))
      return true;
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(int)> onKey_;
};

bool IsNameRow(const std::string& text) { return !text.empty() && text[0] != ' '; }

}  // namespace

int TfmMain::HintTextWidth(std::string_view text) const {
  QFontMetrics metrics(TSynQtCanvas::ToQFont(scpParams->Font(), {fsBold}));
  return metrics.horizontalAdvance(QString::fromStdString(CodePage().ToUtf8(text)));
}

int TfmMain::HintMaxWidth() const {
  QScreen* screen = moCode->screen() ? moCode->screen() : QGuiApplication::primaryScreen();
  int area = screen ? screen->availableGeometry().width() : 1024;
  // The frame, the margins and the five pixels kept from the edge.
  return std::max(area - 2 * scpParams->Margin() - 16, 120);
}

THintLine TfmMain::FitHintToScreen(const std::string& hint, int index) const {
  return FitHint(
      hint, index, [this](std::string_view line) { return HintTextWidth(line); }, HintMaxWidth());
}

TDocLayout TfmMain::DocLayout(int maxWidth, int maxLines) const {
  TDocLayout layout;
  layout.CodeFont = moCode->Font().Name;
  layout.MaxWidth = maxWidth;
  layout.MaxLines = maxLines;
  // One canvas for all the measuring: it keeps its fonts.
  auto canvas = std::make_shared<TSynQtCanvas>();
  layout.Width = [canvas, font = scpParams->Font()](std::string_view markup) {
    return MeasureFormattedText(*canvas, font, markup, nullptr, nullptr);
  };
  return layout;
}

std::vector<std::string> TfmMain::HintDocMarkup(const std::string& doc,
                                                const std::string& currentParam) const {
  return HintDocLines(ParseDocComment(doc), currentParam,
                      DocLayout(std::min(HintMaxWidth(), 520), 8));
}

TParamHint TfmMain::ScanCallAtCaret(const TCustomSynEdit& editor) const {
  // The caret's line and those above it, as far back as a call is looked for.
  const TSynEditStringList& lines = editor.Lines();
  int caretLine = editor.CaretLine() - 1;
  int first = std::max(0, caretLine - HintLinesBack);
  std::vector<std::string_view> views;
  for (int i = first; i <= caretLine; ++i)
    views.push_back(i < lines.Count() ? lines.GetView(i) : std::string_view());
  return ScanParamHint(views, editor.CaretChar(), [this](std::string_view name) {
    return catalog_ ? catalog_->CallableIndex(name) : -1;
  });
}

void TfmMain::ConnectCompletionDocs() {
  // Hint lines after the first are doc text, as mark-up made of its
  // escaped text: drawn without the hint's parameter splitting.
  scpParams->OnPaintItem = [this](TSynBaseCompletionProposalForm*, int index, bool& customDraw,
                                  const TRect& rect, TSynCanvas& canvas) {
    if (index < 1 || index >= scpParams->ItemList().Count()) return;
    customDraw = true;
    TRect clip = rect;
    clip.Right -= 1;
    DrawFormattedText(canvas, clip, scpParams->Font(), scpParams->ItemList()[index], false, nullptr,
                      nullptr);
  };
  scpParams->OnMeasureItem = [this](TSynBaseCompletionProposal*, int index, TSynCanvas& canvas,
                                    int& width) {
    if (index < 1 || index >= scpParams->ItemList().Count()) return;
    width = MeasureFormattedText(canvas, scpParams->Font(), scpParams->ItemList()[index], nullptr,
                                 nullptr);
  };

  // The selected proposal's doc comment in a panel beside the list,
  // brought up to date after the list is painted.
  pnCompletionDoc = new TDocPanel(this);
  scpCode->OnPaintItem = [this](TSynBaseCompletionProposalForm* form, int index, bool&,
                                const TRect&, TSynCanvas&) {
    if (form->MatchedIndex(form->SelectedIndex()) != index || index == completionDocIndex_) return;
    completionDocIndex_ = index;
    QTimer::singleShot(0, this, [this] { Guarded([this] { ShowCompletionDoc(); }); });
  };
  scpCode->OnClose = [this](TSynBaseCompletionProposalForm*) {
    completionDocIndex_ = -1;
    pnCompletionDoc->hide();
    // Items of a catalog built while the list was open come in now.
    QTimer::singleShot(0, this, [this] { Guarded([this] { ApplyCompletionItems(); }); });
  };
}

void TfmMain::ShowCompletionDoc() {
  TSynBaseCompletionProposalForm& form = scpCode->Form();
  int index = form.MatchedIndex(form.SelectedIndex());
  std::vector<std::string> lines;
  std::string_view raw =
      completionCatalog_ && index >= 0 &&
              static_cast<size_t>(index) < completionCatalog_->Items().size()
          ? completionCatalog_->Items()[static_cast<size_t>(index)].Doc
          : std::string_view();
  if (scpCode->Visible() && !raw.empty()) lines = PanelDocLines(ParseDocComment(raw), DocLayout(360, 24));
  if (lines.empty()) {
    pnCompletionDoc->hide();
    return;
  }
  pnCompletionDoc->SetLines(std::move(lines), scpParams->Font(), moCode->Font().Name);
  const TRect& list = form.Bounds();
  QScreen* screen = moCode->screen();
  QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
  int x = list.Right + 2;
  if (x + pnCompletionDoc->width() > area.right()) x = list.Left - pnCompletionDoc->width() - 2;
  pnCompletionDoc->move(std::max(x, area.left()), list.Top);
  pnCompletionDoc->show();
}

void TfmMain::CreateFunctionFilter() {
  pnFunctions = new QWidget();
  pnFunctions->setObjectName("pnFunctions");
  auto* layout = new QVBoxLayout(pnFunctions);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  edFunctionFilter = new QLineEdit();
  edFunctionFilter->setObjectName("edFunctionFilter");
  edFunctionFilter->setPlaceholderText("Filter (Ctrl+Shift+F)");
  spLitter->replaceWidget(spLitter->indexOf(lbFunctions), pnFunctions);
  layout->addWidget(edFunctionFilter);
  layout->addWidget(lbFunctions);
  connect(edFunctionFilter, &QLineEdit::textChanged, this,
          [this] { Guarded([this] { ApplyFunctionFilter(); }); });
  auto* focus = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this);
  connect(focus, &QShortcut::activated, this, [this] {
    if (!pnFunctions->isVisible()) return;
    edFunctionFilter->setFocus();
    edFunctionFilter->selectAll();
  });
  edFunctionFilter->installEventFilter(new TFilterKeys(edFunctionFilter, [this](int key) {
    bool handled = false;
    Guarded([&] { handled = FunctionFilterKey(key); });
    return handled;
  }));
}

bool TfmMain::FunctionFilterKey(int key) {
  if (key == Qt::Key_Escape) {
    if (edFunctionFilter->text().isEmpty())
      moCode->setFocus();
    else
      edFunctionFilter->clear();
    return true;
  }
  int step = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
  bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!step && !enter) return false;
  // The next shown name in the direction of the arrow; Enter takes the
  // selected one, or the first shown.
  int count = FunctionRows->Count();
  int row = lbFunctions->currentIndex().row();
  bool usable = row >= 0 && row < count && !lbFunctions->isRowHidden(row) &&
                IsNameRow(FunctionRows->Text(row));
  if (step || !usable) {
    int from = usable ? row + step : step < 0 ? count - 1 : 0;
    int dir = step ? step : 1;
    for (int r = from; r >= 0 && r < count; r += dir)
      if (!lbFunctions->isRowHidden(r) && IsNameRow(FunctionRows->Text(r))) {
        lbFunctions->setCurrentIndex(FunctionRows->index(r));
        usable = true;
        break;
      }
  }
  if (enter && usable) {
    // What a double click does: a native's call, a function's definition.
    lbFunctionsDblClick(lbFunctions);
    ScriptFunctionDblClick();
  }
  return true;
}

void TfmMain::ApplyFunctionFilter() {
  if (!edFunctionFilter) return;
  const TCodePage& page = CodePage();
  std::string wanted = page.UpperCase(page.FromUtf8(edFunctionFilter->text().toStdString()));
  int count = FunctionRows->Count();
  if (wanted.empty() && !filtered_) return;
  filtered_ = !wanted.empty();
  lbFunctions->setUpdatesEnabled(false);
  // Matching names, and the heading of each file that has one.
  int heading = -1;
  bool headingShown = false;
  for (int r = 0; r < count; ++r) {
    const std::string& text = FunctionRows->Text(r);
    bool show;
    if (text.starts_with(" // ")) {
      heading = r;
      headingShown = false;
      show = false;
    } else if (!IsNameRow(text)) {
      show = !filtered_;
    } else {
      show = !filtered_ || page.UpperCase(text).find(wanted) != std::string::npos;
      if (show && filtered_ && heading >= 0 && !headingShown) {
        lbFunctions->setRowHidden(heading, false);
        headingShown = true;
      }
    }
    if (text.starts_with(" // ")) show = !filtered_;
    lbFunctions->setRowHidden(r, !show);
  }
  lbFunctions->setUpdatesEnabled(true);
}

}  // namespace ludra
