#include "app/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "app/LudraApplication.h"
#include "app/MainImages.h"
#include "app/unitOutput.h"
#include "appcore/MainWindowSettings.h"
#include "appcore/SavedSession.h"
#include "platform/FileAssociation.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

// The smallest client area and editor width a stored geometry can ask for.
constexpr int kMinClientWidth = 200;
constexpr int kMinClientHeight = 120;
constexpr int kMinEditorWidth = 50;

// `value` within [low, high] (low wins when the range is empty), computed
// without overflow for any stored number.
int ClampTo(int64_t value, int64_t low, int64_t high) {
  return static_cast<int>(std::max(low, std::min(value, high)));
}

QFont FunctionListFont(const TSynFont& font) {
  QFont result(QString::fromStdString(font.Name));
  if (font.Size > 0) result.setPointSize(font.Size);
  result.setBold(true);
  // The editor asks for its face with the same hint, so the substitutes for
  // a family that is only an alias are looked up once for both.
  result.setStyleHint(QFont::TypeWriter);
  return result;
}

}  // namespace

TfmMain::TfmMain(const std::string& programDir, const std::vector<std::string>& params,
                 std::unique_ptr<TLudraDialogs> dialogs, QWidget* parent,
                 TSynManualClock* triggerClock)
    : QMainWindow(parent),
      shCpp(std::make_unique<TSynCppSyn>()),
      SynEditSearch(std::make_unique<TSynEditSearch>()),
      SynEditRegexSearch(std::make_unique<TSynEditRegexSearch>()),
      programDir_(programDir),
      settings_(SettingsLocation(programDir, UserDesktopDirs().ConfigHome)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<TQtDialogs>()),
      params_(params) {
  setObjectName("fmMain");
  setWindowTitle("Ludra");
  setFont(FormFont());
  ConfigureHighlighter();
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateEditor();
  CompilerMessages = std::make_unique<TCompilerMessageList>(*moCode);
  CreateStatusBar();
  ConnectFunctionList();
  ConnectCatalog();
  CreateCompletion(triggerClock);
  setMinimumSize(292, 154 + menuBar()->sizeHint().height());
  SetClientSize(744, 432);
  // Menu shortcuts run their menu's enabled rule first; the key reaches the
  // focus widget as a shortcut override before the shortcut map is asked.
  qApp->installEventFilter(this);
  // The replace confirmation is made when a replace first asks (and let go
  // after the run), not at start-up.
  Guarded([this] { FormCreate(this); });
}

TfmMain::~TfmMain() {
  // No build may tell a window that is going of its end.
  catalogWorker_.reset();
  qApp->removeEventFilter(this);
  // The editor goes before the highlighter and search engines it refers to.
  delete moCode;
  moCode = nullptr;
}

TProfileFile TfmMain::Settings() const {
  return TProfileFile(settings_.FileName, settings_.PerUser);
}

// --- Construction ----------------------------------------------------------------

void TfmMain::ConfigureHighlighter() { ApplyMainWindowColors(*shCpp); }

void TfmMain::CreateActions() {
  auto item = [this](const char* name, const char* caption, QKeySequence shortcut,
                     void (TfmMain::*handler)(QObject*)) {
    auto* action = new QAction(QString::fromLatin1(caption), this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this,
            [this, action, handler] { Guarded([&] { (this->*handler)(action); }); });
    return action;
  };
  miNew = item("miNew", "&New", QKeySequence(Qt::CTRL | Qt::Key_N), &TfmMain::miNewClick);
  miOpen = item("miOpen", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), &TfmMain::miOpenClick);
  miClose = item("miClose", "&Close", {}, &TfmMain::miCloseClick);
  miSave = item("miSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), &TfmMain::miSaveClick);
  miSaveAs = item("miSaveAs", "Save &As...", {}, &TfmMain::miSaveAsClick);
  miExit = item("miExit", "E&xit", {}, &TfmMain::miExitClick);
  miUndo = item("miUndo", "&Undo", {}, &TfmMain::miUndoClick);
  // Ctrl+Y stays the editor's delete-line key.
  miRedo = item("miRedo", "&Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                &TfmMain::miRedoClick);
  miCut = item("miCut", "Cu&t", {}, &TfmMain::miCutClick);
  miCopy = item("miCopy", "&Copy", {}, &TfmMain::miCopyClick);
  miPaste = item("miPaste", "&Paste", {}, &TfmMain::miPasteClick);
  miDelete = item("miDelete", "&Delete", {}, &TfmMain::miDeleteClick);
  miFind =
      item("miFind", "&Find...", QKeySequence(Qt::CTRL | Qt::Key_F), &TfmMain::actSearchExecute);
  miFindNext =
      item("miFindNext", "Find &Next", QKeySequence(Qt::Key_F3), &TfmMain::actSearchNextExecute);
  miFindPrev =
      item("miFindPrev", "Find Pre&v", QKeySequence(Qt::Key_F4), &TfmMain::actSearchPrevExecute);
  miReplace = item("miReplace", "R&eplace...", QKeySequence(Qt::CTRL | Qt::Key_H),
                   &TfmMain::actSearchReplaceExecute);
  miGoto = item("miGoto", "&Go to...", QKeySequence(Qt::CTRL | Qt::Key_G), &TfmMain::miGotoClick);
  miSelectAll = item("miSelectAll", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A),
                     &TfmMain::miSelectAllClick);
  miCompile = item("miCompile", "&Compile", QKeySequence(Qt::Key_F5), &TfmMain::miCompileClick);
  miCompileRun =
      item("miCompileRun", "Compile/&Run", QKeySequence(Qt::Key_F6), &TfmMain::miCompileRunClick);
  miRunOptions = item("miRunOptions", "Run &Options", {}, &TfmMain::miRunOptionsClick);
  miNextMessage = item("miNextMessage", "&Next Message", QKeySequence(Qt::Key_F8),
                       &TfmMain::miNextMessageClick);
  miPrevMessage = item("miPrevMessage", "&Previous Message", QKeySequence(Qt::SHIFT | Qt::Key_F8),
                       &TfmMain::miPrevMessageClick);
  // Enabled by the Build menu's rule once a compile has left messages.
  miNextMessage->setEnabled(false);
  miPrevMessage->setEnabled(false);
  miFont = item("miFont", "&Font", {}, &TfmMain::miFontClick);
  miShowFunctionList =
      item("miShowFunctionList", "&Show Function List", {}, &TfmMain::miShowFunctionListClick);
  miAssoc = item("miAssoc", "&Associate with *.pwn files", {}, &TfmMain::miAssocClick);
  miHelpTopics =
      item("miHelpTopics", "&Help Topics", QKeySequence(Qt::Key_F1), &TfmMain::miHelpTopicsClick);
  miAbout = item("miAbout", "&About Ludra", {}, &TfmMain::miAboutClick);
  miRestoreSession =
      item("miRestoreSession", "&Restore Session at Start", {}, &TfmMain::miRestoreSessionClick);
  miRestoreSession->setCheckable(true);
  // The handlers of the check items toggle the mark themselves; Qt has
  // already toggled it when triggered fires, so that is undone first (this
  // connection was made after the handler's, so it is made again before it).
  for (QAction* check : {miShowFunctionList, miAssoc}) {
    check->setCheckable(true);
    auto handler =
        check == miShowFunctionList ? &TfmMain::miShowFunctionListClick : &TfmMain::miAssocClick;
    disconnect(check, &QAction::triggered, this, nullptr);
    connect(check, &QAction::triggered, this, [this, check, handler](bool checked) {
      {
        const QSignalBlocker block(check);
        check->setChecked(!checked);
      }
      Guarded([&] { (this->*handler)(check); });
    });
  }

  // The context menu runs the handlers itself: the main-menu actions may be
  // disabled by the Edit rule while the context menu's own items are enabled.
  piUndo = item("piUndo", "&Undo", {}, &TfmMain::miUndoClick);
  piCut = item("piCut", "Cu&t", {}, &TfmMain::miCutClick);
  piCopy = item("piCopy", "&Copy", {}, &TfmMain::miCopyClick);
  piPaste = item("piPaste", "&Paste", {}, &TfmMain::miPasteClick);
  piDelete = item("piDelete", "&Delete", {}, &TfmMain::miDeleteClick);
  piSelectAll = item("piSelectAll", "Select &All", {}, &TfmMain::miSelectAllClick);
}

void TfmMain::CreateMenus() {
  menuBar()->setObjectName("mmMenu");
  auto menu = [this](const char* name, const char* caption, std::initializer_list<QAction*> items,
                     void (TfmMain::*rule)(QObject*)) {
    QMenu* m = menuBar()->addMenu(QString::fromLatin1(caption));
    m->setObjectName(name);
    for (QAction* a : items) {
      if (a)
        m->addAction(a);
      else
        m->addSeparator();
    }
    if (rule)
      connect(m, &QMenu::aboutToShow, this,
              [this, m, rule] { Guarded([&] { (this->*rule)(m); }); });
    return m;
  };
  miFile =
      menu("miFile", "&File", {miNew, miOpen, miClose, nullptr, miSave, miSaveAs, nullptr, miExit},
           &TfmMain::miFileClick);
  miEdit = menu("miEdit", "&Edit",
                {miUndo, miRedo, nullptr, miCut, miCopy, miPaste, miDelete, nullptr, miFind,
                 miFindNext, miFindPrev, miReplace, miGoto, nullptr, miSelectAll},
                &TfmMain::miEditClick);
  CreateReopenMenu();
  miBuild =
      menu("miBuild", "&Build",
           {miCompile, miCompileRun, nullptr, miNextMessage, miPrevMessage, nullptr, miRunOptions},
           &TfmMain::miBuildClick);
  miOptions = menu("miOptions", "&Options", {miFont, miShowFunctionList, miAssoc, miRestoreSession},
                   nullptr);
  CreateCodePageMenu();
  miHelp = menu("miHelp", "&Help", {miHelpTopics, nullptr, miAbout}, nullptr);

  pmMain = new QMenu(this);
  pmMain->setObjectName("pmMain");
  pmMain->addActions({piUndo});
  pmMain->addSeparator();
  pmMain->addActions({piCut, piCopy, piPaste, piDelete});
  pmMain->addSeparator();
  pmMain->addAction(piSelectAll);
}

void TfmMain::CreateToolBar() {
  tbMain = addToolBar("tbMain");
  tbMain->setObjectName("tbMain");
  tbMain->setMovable(false);
  tbMain->setFloatable(false);
  tbMain->setIconSize(QSize(16, 16));
  tbMain->setContextMenuPolicy(Qt::PreventContextMenu);
  tbMain->setContentsMargins(4, 0, 0, 0);
  tbMain->toggleViewAction()->setVisible(false);
  auto button = [this](const char* name, const char* hint, int image,
                       void (TfmMain::*handler)(QObject*)) {
    auto* action = new QAction(ToolbarImage(image), QString::fromLatin1(hint), this);
    action->setObjectName(name);
    action->setToolTip(QString::fromLatin1(hint));
    connect(action, &QAction::triggered, this,
            [this, action, handler] { Guarded([&] { (this->*handler)(action); }); });
    tbMain->addAction(action);
    if (QWidget* w = tbMain->widgetForAction(action)) w->setFixedSize(23, 22);
    return action;
  };
  tbNew = button("tbNew", "New", 0, &TfmMain::miNewClick);
  tbOpen = button("tbOpen", "Open", 1, &TfmMain::miOpenClick);
  tbSave = button("tbSave", "Save", 2, &TfmMain::miSaveClick);
  tbMain->addSeparator();
  tbFind = button("tbFind", "Find", 3, &TfmMain::actSearchExecute);
  tbFindNext = button("tbFindNext", "Find Next", 4, &TfmMain::actSearchNextExecute);
  tbFindPrev = button("tbFindPrev", "Find Prev", 5, &TfmMain::actSearchPrevExecute);
  tbReplace = button("tbReplace", "Replace", 6, &TfmMain::actSearchReplaceExecute);
  tbMain->addSeparator();
  tbCompile = button("tbCompile", "Compile", 7, &TfmMain::miCompileClick);
  tbCompileRun = button("tbCompileRun", "Compile/Run", 8, &TfmMain::miCompileRunClick);
  tbMain->addSeparator();
  tbHelpTopics = button("tbHelpTopics", "Help Topics", 9, &TfmMain::miHelpTopicsClick);
  SetSaveEnabled(false);
  SetDocumentButtons(false);
}

void TfmMain::CreateEditor() {
  moCode = new TSynEdit();
  moCode->setObjectName("moCode");
  ApplyMainWindowEditorSettings(*moCode);
  moCode->SetHighlighter(shCpp.get());
  moCode->SetSearchEngine(SynEditSearch.get());
  EditProgress = std::make_unique<TSynQtProgress>(this);
  moCode->SetProgressSink(EditProgress.get());
  moCode->OnChange = [this](TCustomSynEdit* sender) { moCodeChange(sender); };
  moCode->OnStatusChange = [this](TCustomSynEdit* sender, TSynStatusChanges changes) {
    moCodeStatusChange(sender, changes);
  };
  moCode->OnReplaceText = [this](TCustomSynEdit* sender, const std::string& aSearch,
                                 const std::string& aReplace, int line, int column,
                                 TSynReplaceAction& action) {
    moCodeReplaceText(sender, aSearch, aReplace, line, column, action);
  };
  moCode->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(moCode, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    Guarded([this] { pmMainPopup(pmMain); });
    pmMain->popup(moCode->viewport()->mapToGlobal(pos));
  });
  moCode->setEnabled(false);

  lbFunctions = new QListView();
  FunctionRows = new TFunctionListModel(lbFunctions);
  lbFunctions->setModel(FunctionRows);
  lbFunctions->setObjectName("lbFunctions");
  lbFunctions->setFrameShape(QFrame::NoFrame);
  lbFunctions->setFont(FunctionListFont(moCode->Font()));
  lbFunctions->setEnabled(false);

  spLitter = new QSplitter(Qt::Horizontal);
  spLitter->setObjectName("spLitter");
  spLitter->setHandleWidth(5);
  spLitter->setChildrenCollapsible(false);
  spLitter->addWidget(moCode);
  spLitter->addWidget(lbFunctions);
  // A wider window widens the editor; the list keeps its width.
  spLitter->setStretchFactor(0, 1);
  spLitter->setStretchFactor(1, 0);
  connect(spLitter, &QSplitter::splitterMoved, this,
          [this] { functionListWidth_ = lbFunctions->width(); });
  setCentralWidget(spLitter);
  CreateFunctionFilter();
  SetFunctionListWidth(185);
}

void TfmMain::CreateStatusBar() {
  sbMain = statusBar();
  sbMain->setObjectName("sbMain");
  sbMain->setMinimumHeight(19);
  for (int i = 0; i < 2; ++i) {
    QLabel* panel = new QLabel();
    statusPanels_[i] = panel;
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    panel->setIndent(2);
    // Sized by the font in use before the bar lays out its row (an empty
    // label asks for no height): descenders and underscores show.
    panel->setMinimumHeight(panel->fontMetrics().height() + 2 * panel->frameWidth());
    sbMain->addWidget(panel, i);
  }
  // The caret panel holds a seven-digit line and a five-digit column.
  QLabel* caret = statusPanels_[1];
  caret->setText("Ln: 9999999   Col: 99999");
  caret->setMinimumWidth(std::max(50, caret->sizeHint().width()));
  caret->clear();
}

// --- Reporting ---------------------------------------------------------------------

void TfmMain::SetStatusText(const std::string& text) {
  statusPanels_[0]->setText(MessageText(text));
}

void TfmMain::ShowError(const std::string& text) {
  SetStatusText("Error: " + text);
  dialogs_->MessageDlg(this, text, mtError, mbOK);
}

std::string TfmMain::StatusText(int panel) const {
  return statusPanels_[panel]->text().toStdString();
}

void TfmMain::ReportException(const std::string& message) {
  dialogs_->ReportError(this, ErrorReportText(message));
}

// --- Start-up, geometry and closing ------------------------------------------------------

void TfmMain::FormCreate(QObject* sender) {
  (void)sender;
  TSynFont font = moCode->Font();
  font.Style = {};
  moCode->SetFont(font);

  // The start-up settings are read from one reading of the file.
  TProfileFile ini = Settings();
  ini.Hold();
  CopyDir = ini.ReadString("RunOpts", "CopyDir", "");
  ExeFile = ini.ReadString("RunOpts", "ExeFile", "");
  Params = ini.ReadString("RunOpts", "Params", "");
  font.Name = ini.ReadString("Display", "Font_Name", "Courier New");
  font.Size = ini.ReadInteger("Display", "Font_Size", 10);
  moCode->SetFont(font);
  lbFunctions->setFont(FunctionListFont(moCode->Font()));
  miAssoc->setChecked(ini.ReadBool("General", "FileAssoc", true));
  bool showList = ini.ReadBool("Display", "ShowFuncList", true);
  miShowFunctionList->setChecked(showList);
  pnFunctions->setVisible(showList);
  // The stored geometry is kept to what the screen can show: a hand-edited
  // or stale file must not open the window off-screen or larger than the
  // screen, nor make the function list wider than the window.
  QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  int menuHeight = menuBar()->sizeHint().height();
  int width =
      ClampTo(ini.ReadInteger("Display", "WindowW", ClientWidth()), kMinClientWidth, area.width());
  int height = ClampTo(ini.ReadInteger("Display", "WindowH", ClientHeight()), kMinClientHeight,
                       area.height() - menuHeight);
  int left = ClampTo(ini.ReadInteger("Display", "WindowX", x()), area.left(),
                     static_cast<int64_t>(area.left()) + area.width() - width);
  int top = ClampTo(ini.ReadInteger("Display", "WindowY", y()), area.top(),
                    static_cast<int64_t>(area.top()) + area.height() - height - menuHeight);
  move(left, top);
  SetClientSize(width, height);
  SetFunctionListWidth(ini.ReadInteger("Display", "Splitter", FunctionListWidth()));
  if (ini.ReadBool("Display", "WindowMax", false))
    setWindowState(windowState() | Qt::WindowMaximized);

  LoadRecentFiles(ini);
  ApplyCodePage(ini.ReadInteger("Display", "CodePage", 1252));

  SetStatusText("Ludra is ready.");
  // The file association, the include folder's natives and the script named
  // on the command line come in at the first idle moment after the window's
  // first frame.
  includesPending_ = true;
  scriptPending_ = !params_.empty();
  miRestoreSession->setChecked(RestoreSessionEnabled(ini));
  sessionPending_ = params_.empty() && miRestoreSession->isChecked();
}

void TfmMain::FinishStart() {
  if (includesPending_) {
    includesPending_ = false;
    // A program folder or desktop directory the user cannot write to must
    // not cost the rest of the start-up: the refused write is reported and
    // the later steps still run (the script named on the command line opens).
    Guarded([this] { MakeAssoc(miAssoc->isChecked()); });
    Guarded([this] { ScanIncludes(); });
    // Its icon is made when the button is turned on, and the box is empty until typed into.
    edFunctionFilter->setClearButtonEnabled(true);
  }
  if (sessionPending_) {
    sessionPending_ = false;
    Guarded([this] { RestoreSession(); });
  }
  if (!scriptPending_) return;
  scriptPending_ = false;
  std::error_code ec;
  if (std::filesystem::is_regular_file(params_[0], ec)) LoadScript(params_[0]);
}

int TfmMain::ClientWidth() const { return width(); }

// The menu bar is part of a Qt window, not of its frame: it is left out so
// the stored size means the same area as the client size it was taken from.
int TfmMain::ClientHeight() const { return height() - menuBar()->sizeHint().height(); }

void TfmMain::SetClientSize(int width, int height) {
  resize(width, height + menuBar()->sizeHint().height());
}

int TfmMain::FunctionListWidth() const {
  return lbFunctions->isVisible() ? lbFunctions->width() : functionListWidth_;
}

void TfmMain::SetFunctionListWidth(int value) {
  int total = spLitter->width() > 0 && spLitter->isVisible() ? spLitter->width() : ClientWidth();
  // The list stays narrower than the window, leaving the editor some room.
  value =
      ClampTo(value, 0, static_cast<int64_t>(total) - spLitter->handleWidth() - kMinEditorWidth);
  functionListWidth_ = value;
  spLitter->setSizes({std::max(0, total - value - spLitter->handleWidth()), value});
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  SetFunctionListWidth(functionListWidth_);
  if (isMaximized() || isFullScreen()) return;
  // Opens centred on the screen with the stored size, the frame included
  // in what the screen must hold.
  if (QScreen* s = screen()) {
    QRect area = s->availableGeometry();
    QSize frameExtra = frameGeometry().size() - size();
    QSize fits = size().boundedTo(area.size() - frameExtra);
    if (fits != size()) resize(fits.expandedTo(minimumSizeHint()));
    QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2,
         area.y() + (area.height() - frame.height()) / 2);
  }
}

void TfmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Guarded([this] { FormResize(this); });
}

void TfmMain::FormResize(QObject* sender) {
  (void)sender;
  // The caret panel keeps its room when the font makes it wider.
  const int caretRoom = std::max(120, statusPanels_[1]->minimumWidth() + 20);
  statusPanels_[0]->setFixedWidth(std::max(0, ClientWidth() - caretRoom));
}

void TfmMain::closeEvent(QCloseEvent* event) {
  // Closing the program during a compile ends the compiler; the close goes
  // on once the compile step has unwound.
  if (fmOutput_) {
    closeAfterCompile_ = true;
    fmOutput_->StopCompiler();
    fmOutput_->done(QDialog::Rejected);
    event->ignore();
    return;
  }
  bool canClose = false;
  Guarded([&] { FormCloseQuery(this, canClose); });
  if (!canClose) {
    event->ignore();
    return;
  }
  // A settings file that cannot be written is reported, but must not keep
  // the program from ending.
  Guarded([this] { FormClose(this); });
  event->accept();
}

void TfmMain::FormCloseQuery(QObject* sender, bool& canClose) {
  (void)sender;
  canClose = false;
  if (!changesDropped_ && !QuerySaveChanges()) return;
  canClose = true;
}

void TfmMain::FormClose(QObject* sender) {
  (void)sender;
  TProfileFile ini = Settings();
  bool maximized = isMaximized();
  ini.WriteBool("Display", "WindowMax", maximized);
  // The stored geometry is the restored window's, not the maximized one's.
  QPoint frameOffset = geometry().topLeft() - pos();
  QRect normal = maximized ? normalGeometry() : geometry();
  if (maximized) {
    setWindowState(windowState() & ~Qt::WindowMaximized);
    QApplication::processEvents();
    if (!isMaximized()) normal = geometry();
  }
  int listWidth = FunctionListWidth();
  ini.WriteInteger("Display", "WindowX", normal.x() - frameOffset.x());
  ini.WriteInteger("Display", "WindowY", normal.y() - frameOffset.y());
  ini.WriteInteger("Display", "WindowW", normal.width());
  ini.WriteInteger("Display", "WindowH", normal.height() - (height() - ClientHeight()));
  ini.WriteInteger("Display", "Splitter", listWidth);
  StoreSession();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  // The first frame is painted while the window's first expose or update
  // request is handled; what is posted now runs once it is on the screen.
  if (StartPending() && !startPosted_ && watched == windowHandle() &&
      (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest) &&
      windowHandle()->isExposed()) {
    startPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this] { FinishStart(); }, Qt::QueuedConnection);
  }
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this)
    RunShortcutRule(*static_cast<QKeyEvent*>(event));
  if (event->type() == QEvent::ToolTip && watched == moCode->viewport()) {
    bool shown = false;
    Guarded([&] { shown = GutterToolTip(*static_cast<QHelpEvent*>(event)); });
    if (!shown) QToolTip::hideText();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfmMain::RunShortcutRule(const QKeyEvent& event) {
  QKeySequence pressed(event.keyCombination());
  auto matches = [&](QMenu* menu) {
    for (QAction* a : menu->actions())
      if (!a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
    return false;
  };
  if (matches(miFile)) Guarded([this] { miFileClick(miFile); });
  if (matches(miEdit)) Guarded([this] { miEditClick(miEdit); });
  if (matches(miBuild)) Guarded([this] { miBuildClick(miBuild); });
}

// --- Enabled rules -------------------------------------------------------------------

void TfmMain::miFileClick(QObject* sender) {
  (void)sender;
  bool open = !CurrentFileName.empty();
  for (QAction* a : {miClose, miSave, miSaveAs}) a->setEnabled(open);
}

void TfmMain::miEditClick(QObject* sender) {
  (void)sender;
  bool open = !CurrentFileName.empty();
  for (QAction* a : {miUndo, miRedo, miCut, miCopy, miPaste, miDelete, miFind, miFindNext,
                     miFindPrev, miReplace, miGoto, miSelectAll})
    a->setEnabled(open);
}

void TfmMain::miBuildClick(QObject* sender) {
  (void)sender;
  bool open = !CurrentFileName.empty();
  for (QAction* a : {miCompile, miCompileRun}) a->setEnabled(open);
  bool messages = CompilerMessages->DocumentCount() > 0;
  for (QAction* a : {miNextMessage, miPrevMessage}) a->setEnabled(messages);
}

void TfmMain::pmMainPopup(QObject* sender) {
  (void)sender;
  bool open = !CurrentFileName.empty();
  for (QAction* a : {piUndo, piCut, piCopy, piPaste, piDelete, piSelectAll}) a->setEnabled(open);
}

// --- Editor and window commands ---------------------------------------------------------

void TfmMain::moCodeStatusChange(TCustomSynEdit* sender, TSynStatusChanges changes) {
  (void)sender;
  FollowCaretWithHint(changes);
  if (changes.Contains(scCaretX) || changes.Contains(scCaretY)) CompilerMessages->CaretMoved();
  statusPanels_[1]->setText(
      QString("Ln: %1   Col: %2").arg(moCode->CaretLine()).arg(moCode->CaretChar()));
}

void TfmMain::miUndoClick(QObject* sender) {
  (void)sender;
  moCode->Undo();
}

void TfmMain::miRedoClick(QObject* sender) {
  (void)sender;
  moCode->Redo();
}

void TfmMain::miCutClick(QObject* sender) {
  (void)sender;
  moCode->CutSelection();
}

void TfmMain::miCopyClick(QObject* sender) {
  (void)sender;
  moCode->CopySelection();
}

void TfmMain::miPasteClick(QObject* sender) {
  (void)sender;
  moCode->PasteClipboard();
}

void TfmMain::miDeleteClick(QObject* sender) {
  (void)sender;
  moCode->DeleteSelection();
}

void TfmMain::miSelectAllClick(QObject* sender) {
  (void)sender;
  moCode->SelectWholeText();
}

void TfmMain::miGotoClick(QObject* sender) {
  (void)sender;
  std::optional<std::string> text =
      dialogs_->InputQuery(this, "Go to...", "Enter line number:", "0");
  if (!text) return;
  moCode->SetCaretChar(0);
  moCode->SetCaretLine(ProfileStrToIntDef(*text, 0));
}

void TfmMain::miFontClick(QObject* sender) {
  (void)sender;
  if (std::optional<TSynFont> chosen = dialogs_->ChooseFont(this, moCode->Font())) {
    TSynFont font = moCode->Font();
    font.Name = chosen->Name;
    font.Size = chosen->Size;
    font.Style = chosen->Style;
    moCode->SetFont(font);
    lbFunctions->setFont(FunctionListFont(moCode->Font()));
  }
  TProfileFile ini = Settings();
  ini.WriteString("Display", "Font_Name", moCode->Font().Name);
  ini.WriteInteger("Display", "Font_Size", moCode->Font().Size);
}

void TfmMain::miShowFunctionListClick(QObject* sender) {
  (void)sender;
  bool show = !miShowFunctionList->isChecked();
  miShowFunctionList->setChecked(show);
  if (!show && lbFunctions->isVisible()) functionListWidth_ = lbFunctions->width();
  pnFunctions->setVisible(show);
  if (show) SetFunctionListWidth(functionListWidth_);
  Settings().WriteBool("Display", "ShowFuncList", show);
}

void TfmMain::miHelpTopicsClick(QObject* sender) {
  (void)sender;
  // Without the manual nothing would open: the user learns where it belongs.
  const std::string manual = programDir_ + "/pawn-lang.pdf";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(manual, ec)) {
    ShowError("Help file '" + manual + "' not found.");
    return;
  }
  dialogs_->OpenDocument("pawn-lang.pdf", programDir_);
}

void TfmMain::miAboutClick(QObject* sender) {
  (void)sender;
  const std::string credits =
      "Ludra\nVersion 1.0\n\n"
      "A small editor for PAWN scripts that sits beside the compiler and its "
      "include folder. Its editing control, highlighter, search engines and "
      "completion were written for this program; the windows are drawn with Qt.";
  // Where the settings went is not obvious when the program folder is not the user's.
  dialogs_->AboutBox(this, "About Ludra", credits + "\n\nSettings: " + settings_.FileName);
}

}  // namespace ludra
