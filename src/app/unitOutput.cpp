#include "app/unitOutput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <optional>

#include "appcore/CompilerMessages.h"
#include "base/SynCodePage.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

constexpr int kOuterWidth = 616;
constexpr int kOuterHeight = 355;
constexpr int kVkEscape = 27;

}  // namespace

QString CompilerLineText(std::string_view line) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
  if (!utf8.hasError()) return text;
  return QString::fromStdString(CodePage().ToUtf8(line));
}

const char* const kOutputCutNotice =
    "[The beginning of the compiler's output was cut: only its last 8 MB are shown.]";

QString CompilerOutputText(const std::string& bytes) {
  QString text;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    size_t next = end == std::string::npos ? bytes.size() : end + 1;
    size_t lineEnd = end == std::string::npos ? bytes.size() : end;
    if (lineEnd > start && bytes[lineEnd - 1] == '\r' && end != std::string::npos) --lineEnd;
    text += CompilerLineText(std::string_view(bytes).substr(start, lineEnd - start));
    if (end != std::string::npos) text += '\n';
    start = next;
  }
  return text;
}

std::vector<int> CompilerOutputBlockLines(const std::string& bytes) {
  std::vector<int> blocks;
  int line = 0;
  size_t start = 0;
  for (;;) {
    size_t end = bytes.find('\n', start);
    size_t lineEnd = end == std::string::npos ? bytes.size() : end;
    if (lineEnd > start && bytes[lineEnd - 1] == '\r' && end != std::string::npos) --lineEnd;
    QString text = CompilerLineText(std::string_view(bytes).substr(start, lineEnd - start));
    int count = 1 + static_cast<int>(text.count('\r') + text.count(QChar::ParagraphSeparator));
    blocks.insert(blocks.end(), count, line);
    if (end == std::string::npos) break;
    ++line;
    start = end + 1;
  }
  return blocks;
}

TfmOutput::TfmOutput(QWidget* owner, TCompileJob job)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      job_(std::move(job)) {
  setObjectName("fmOutput");
  setWindowTitle("PAWN Compiler Output");
  setSizeGripEnabled(false);

  moOutput = new QPlainTextEdit(this);
  moOutput->setObjectName("moOutput");
  moOutput->setReadOnly(true);
  // Read-only, but the text can still be walked and copied from the keyboard.
  moOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  moOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
  moOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  moOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font("Courier New", 10);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  moOutput->setFont(font);
  QPalette palette = moOutput->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  moOutput->setPalette(palette);
  moOutput->installEventFilter(this);
  moOutput->viewport()->installEventFilter(this);
  // The pointer shows which lines are messages a double click leads to.
  moOutput->viewport()->setMouseTracking(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(moOutput);
  resize(kOuterWidth, kOuterHeight);
}

void TfmOutput::PlaceOverOwner() {
  // The outer size includes the frame. The window is placed before it is
  // framed, so it borrows the owner's frame sizes, which the window manager
  // gives both alike.
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  QSize frame(0, 0);
  if (owner && owner->isVisible()) frame = owner->frameGeometry().size() - owner->geometry().size();
  frame = frame.expandedTo(QSize(0, 0)).boundedTo(QSize(kOuterWidth / 2, kOuterHeight / 2));
  resize(kOuterWidth - frame.width(), kOuterHeight - frame.height());
  if (owner) {
    QPoint center = owner->frameGeometry().center();
    move(center.x() - kOuterWidth / 2, center.y() - kOuterHeight / 2);
  }
}

void TfmOutput::setVisible(bool visible) {
  // Placed before it is mapped, so it first appears where it belongs.
  if (visible && !placed_) {
    placed_ = true;
    PlaceOverOwner();
  }
  QDialog::setVisible(visible);
}

void TfmOutput::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  // The compile starts once the window is up, from the event loop, so the
  // window is painted before the compiler runs.
  QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TfmOutput::FormActivate() {
  if (activated_) return;
  activated_ = true;
  busy_ = true;
  struct BusyEnd {
    TfmOutput* form;
    ~BusyEnd() {
      form->busy_ = false;
      // A close asked for during the compile is carried out now.
      if (form->closeRequested_) QTimer::singleShot(0, form, [f = form] { f->reject(); });
    }
  } busyEnd{this};

  // The compiler runs while the window shows what it does and stays
  // responsive; its output replaces the first line when it ends.
  struct TWindowPrograms : TCompilePrograms {
    TfmOutput* form;
    explicit TWindowPrograms(TfmOutput* f) : form(f) {}
    std::optional<TSynProcessOutput> RunCompiler(const TSynProcessRun& run) override {
      form->moOutput->setPlainText(QString::fromStdString(CompileStartStatus(form->job_)));
      QApplication::setOverrideCursor(Qt::BusyCursor);
      std::optional<TSynProcessOutput> output = RunCollectingOutput(run, &form->compiler_);
      // Colours meant for a terminal would show as stray characters here.
      if (output) output->Text = StripTerminalEscapes(output->Text);
      QApplication::restoreOverrideCursor();
      QString text;
      if (output && output->Cut) text = QString(kOutputCutNotice) + '\n';
      if (output) text += CompilerOutputText(output->Text);
      form->moOutput->setPlainText(text);
      return output;
    }
    void Launch(const std::string& program, const std::string& params,
                const std::string& workingDirectory) override {
      LaunchDetached(program, params, workingDirectory);
    }
  } programs(this);
  result_ = RunCompileJob(job_, programs);
  MapMessageBlocks();
  job_.RunAfterCompile = false;
}

void TfmOutput::StopCompiler() { compiler_.Stop(); }

void TfmOutput::reject() {
  if (busy_) {
    if (asking_ || closeRequested_) return;
    if (!Confirm) {
      closeRequested_ = true;
      return;
    }
    asking_ = true;
    bool stop = Confirm("Stop the compiler?");
    asking_ = false;
    // Yes ends the compiler and then the window; No leaves both running,
    // and a later close asks again. The compiler may have ended meanwhile.
    if (!stop) return;
    closeRequested_ = true;
    if (busy_)
      StopCompiler();
    else
      QDialog::reject();
    return;
  }
  QDialog::reject();
}

bool TfmOutput::FormKeyDown(int key, Qt::KeyboardModifiers) {
  if (key != kVkEscape) return false;
  close();
  return true;
}

void TfmOutput::MapMessageBlocks() {
  blockMessages_.clear();
  if (!result_.Output) return;
  const std::vector<TCompilerMessage>& messages = result_.Messages;
  std::vector<int> messageOfLine;
  for (int i = 0; i < static_cast<int>(messages.size()); ++i) {
    messageOfLine.resize(messages[i].OutputLine + 1, -1);
    messageOfLine[messages[i].OutputLine] = i;
  }
  if (result_.Output->Cut) blockMessages_.push_back(-1);
  for (int line : CompilerOutputBlockLines(result_.Output->Text))
    blockMessages_.push_back(line < static_cast<int>(messageOfLine.size()) ? messageOfLine[line]
                                                                           : -1);
}

int TfmOutput::MessageAtBlock(int block) const {
  if (block < 0 || block >= static_cast<int>(blockMessages_.size())) return -1;
  return blockMessages_[block];
}

bool TfmOutput::ChooseMessage(int block) {
  int message = MessageAtBlock(block);
  if (message < 0 || busy_ || !OnMessageChosen) return false;
  if (OnMessageChosen(message)) {
    chosen_ = message;
    accept();
  }
  return true;
}

bool TfmOutput::eventFilter(QObject* watched, QEvent* event) {
  if (watched == moOutput && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && FormKeyDown(kVkEscape, key->modifiers())) return true;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        ChooseMessage(moOutput->textCursor().blockNumber()))
      return true;
  }
  if (watched == moOutput->viewport() && event->type() == QEvent::MouseMove) {
    QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    bool message = MessageAtBlock(moOutput->cursorForPosition(at).blockNumber()) >= 0;
    moOutput->viewport()->setCursor(message ? Qt::PointingHandCursor : Qt::IBeamCursor);
  }
  if (watched == moOutput->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton &&
        ChooseMessage(moOutput->cursorForPosition(mouse->position().toPoint()).blockNumber()))
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ludra
