#pragma once
// The main window: menus, tool bar, editor, function list, status bar, the
// settings file and the document commands. Handlers carry the names of the
// components they serve (miSaveClick serves the Save item and button).
#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/FunctionListModel.h"
#include "app/LudraDialogs.h"
#include "app/dlgConfirmReplace.h"
#include "appcore/CatalogWorker.h"
#include "appcore/CompilerMessageList.h"
#include "appcore/FunctionCatalog.h"
#include "appcore/HintText.h"
#include "appcore/ParamHintScanner.h"
#include "appcore/RecentFiles.h"
#include "appcore/SearchOptions.h"
#include "base/SynStrings.h"
#include "completion/SynCompletionProposal.h"
#include "highlight/SynHighlighterCpp.h"
#include "platform/ProgramFiles.h"
#include "platform/SynProfileFile.h"
#include "qt/SynEditWidget.h"
#include "qt/SynQtProgress.h"
#include "search/SynEditRegexSearch.h"
#include "search/SynEditSearch.h"

class QAction;
class QHelpEvent;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QSplitter;
class QStatusBar;
class QToolBar;

namespace ludra {

class TDocPanel;
class TfmOutput;
struct TCompileJob;
struct TCompileResult;

class TfmMain : public QMainWindow {
  Q_OBJECT
 public:
  // programDir holds settings.ini, new.pwn, the help file, the include folder
  // and the compiler; params are the command-line arguments after the program
  // name (only the first is looked at). Without dialogs the Qt ones are used.
  // The completion engines' trigger timers run on triggerClock when one is
  // given (tests advance it by hand), else on Qt's timers.
  explicit TfmMain(const std::string& programDir, const std::vector<std::string>& params = {},
                   std::unique_ptr<TLudraDialogs> dialogs = nullptr, QWidget* parent = nullptr,
                   TSynManualClock* triggerClock = nullptr);
  ~TfmMain() override;

  const std::string& ProgramDir() const { return programDir_; }
  // What start-up leaves for the first idle moment after the first frame:
  // the file association, the include folder's scan and the script named
  // on the command line, and the function catalog they start to build.
  // FinishStart does what is left now (a document opened earlier keeps its
  // place, and the command line's script is not opened over it).
  bool StartPending() const;
  void FinishStart();
  TLudraDialogs& Dialogs() { return *dialogs_; }
  // settings.ini beside the program, or the user's own when the program
  // folder cannot take it (chosen once, at start); every use reads or
  // writes the file afresh.
  TProfileFile Settings() const;

  // --- Application state --------------------------------------------------------
  // Empty: no document; "Untitled": a new document never saved; else its path.
  std::string CurrentFileName;
  bool DocumentModified = false;
  std::string CopyDir, ExeFile, Params;
  bool RunAfterCompile = false;

  // --- Reporting ----------------------------------------------------------------
  void SetStatusText(const std::string& text);
  // "Error: " + text in the status bar, then an error box with the text.
  void ShowError(const std::string& text);
  // The text of status panel 0 (messages) or 1 (caret position).
  std::string StatusText(int panel) const;
  // A status text for a moment: the one before comes back unless another
  // was set meanwhile.
  void ShowPassingStatus(const std::string& text);
  // Runs a command; an error it raises is reported (caption "Ludra") and the
  // command stops there, so no exception reaches Qt's event loop.
  template <class F>
  void Guarded(F&& command);
  void ReportException(const std::string& message);

  // --- Components -----------------------------------------------------------------
  std::unique_ptr<TSynCppSyn> shCpp;
  std::unique_ptr<TSynEditSearch> SynEditSearch;
  std::unique_ptr<TSynEditRegexSearch> SynEditRegexSearch;
  TSynEdit* moCode = nullptr;
  // Desktop services of the two completion engines; made before them and
  // destroyed after them.
  std::unique_ptr<TSynProposalHost> ProposalHost;
  // Code completion of everything the catalog holds and the parameter hint
  // of a call.
  std::unique_ptr<TSynCompletionProposal> scpCode, scpParams;
  QListView* lbFunctions = nullptr;
  // The list with the filter box above it.
  QWidget* pnFunctions = nullptr;
  QLineEdit* edFunctionFilter = nullptr;
  // The selected proposal's doc comment beside the completion list.
  TDocPanel* pnCompletionDoc = nullptr;
  // The list's rows (owned by the list).
  TFunctionListModel* FunctionRows = nullptr;
  QSplitter* spLitter = nullptr;
  QStatusBar* sbMain = nullptr;
  QToolBar* tbMain = nullptr;
  QAction *tbNew = nullptr, *tbOpen = nullptr, *tbSave = nullptr, *tbFind = nullptr,
          *tbFindNext = nullptr, *tbFindPrev = nullptr, *tbReplace = nullptr, *tbCompile = nullptr,
          *tbCompileRun = nullptr, *tbHelpTopics = nullptr;
  QMenu* miReopen = nullptr;
  QMenu* miCodePage = nullptr;
  QMenu *miFile = nullptr, *miEdit = nullptr, *miBuild = nullptr, *miOptions = nullptr,
        *miHelp = nullptr;
  QAction *miNew = nullptr, *miOpen = nullptr, *miClose = nullptr, *miSave = nullptr,
          *miSaveAs = nullptr, *miExit = nullptr;
  QAction *miUndo = nullptr, *miRedo = nullptr, *miCut = nullptr, *miCopy = nullptr,
          *miPaste = nullptr, *miDelete = nullptr, *miFind = nullptr, *miFindNext = nullptr,
          *miFindPrev = nullptr, *miReplace = nullptr, *miGoto = nullptr, *miSelectAll = nullptr;
  QAction *miCompile = nullptr, *miCompileRun = nullptr, *miRunOptions = nullptr;
  QAction *miNextMessage = nullptr, *miPrevMessage = nullptr;
  QAction *miFont = nullptr, *miShowFunctionList = nullptr, *miAssoc = nullptr,
          *miRestoreSession = nullptr;
  QAction *miHelpTopics = nullptr, *miAbout = nullptr;
  QMenu* pmMain = nullptr;
  QAction *piUndo = nullptr, *piCut = nullptr, *piCopy = nullptr, *piPaste = nullptr,
          *piDelete = nullptr, *piSelectAll = nullptr;

  // --- Handlers ---------------------------------------------------------------------
  void FormCreate(QObject* sender);
  void FormCloseQuery(QObject* sender, bool& canClose);
  void FormClose(QObject* sender);
  void FormResize(QObject* sender);
  void moCodeChange(TCustomSynEdit* sender);
  void moCodeStatusChange(TCustomSynEdit* sender, TSynStatusChanges changes);
  // Enabled rules, run when a menu opens and before one of its shortcuts.
  void miFileClick(QObject* sender);
  void miEditClick(QObject* sender);
  void miBuildClick(QObject* sender);
  void pmMainPopup(QObject* sender);

  void miNewClick(QObject* sender);
  void miOpenClick(QObject* sender);
  void miSaveClick(QObject* sender);
  void miSaveAsClick(QObject* sender);
  void miCloseClick(QObject* sender);
  void miExitClick(QObject* sender);
  void miUndoClick(QObject* sender);
  void miRedoClick(QObject* sender);
  void miCutClick(QObject* sender);
  void miCopyClick(QObject* sender);
  void miPasteClick(QObject* sender);
  void miDeleteClick(QObject* sender);
  void miSelectAllClick(QObject* sender);
  void miGotoClick(QObject* sender);
  void miFontClick(QObject* sender);
  void miShowFunctionListClick(QObject* sender);
  void miHelpTopicsClick(QObject* sender);
  void miAboutClick(QObject* sender);
  // Find and replace (MainSearch.cpp).
  void actSearchExecute(QObject* sender);
  void actSearchNextExecute(QObject* sender);
  void actSearchPrevExecute(QObject* sender);
  void actSearchReplaceExecute(QObject* sender);
  void moCodeReplaceText(TCustomSynEdit* sender, const std::string& aSearch,
                         const std::string& aReplace, int line, int column,
                         TSynReplaceAction& action);
  // The file association (MainAssoc.cpp).
  void miAssocClick(QObject* sender);
  // Compiling and run options (MainCompile.cpp).
  void miCompileClick(QObject* sender);
  void miCompileRunClick(QObject* sender);
  void miRunOptionsClick(QObject* sender);
  // A compile's end once its output window has closed: the error when the
  // compiler could not run, the status text, the messages.
  void ApplyCompileResult(const TCompileJob& job, const TCompileResult& result);
  // The compiler's messages (MainMessages.cpp). The last compile's
  // messages; those about the document mark its lines in the gutter. They
  // are cleared by the next compile and by opening another document.
  std::unique_ptr<TCompilerMessageList> CompilerMessages;
  void CompilerMessagesArrived(std::vector<TCompilerMessage> messages,
                               const std::string& scriptPath);
  // A message chosen in the output window: one about the document goes to
  // its lines; one about another file is named in the status bar, and the
  // file is opened at its line if the user agrees. True when the output
  // window is to close.
  bool CompilerMessageChosen(int index);
  // F8 and Shift+F8: the next or previous message about the document, its
  // text in the status bar.
  void miNextMessageClick(QObject* sender);
  void miPrevMessageClick(QObject* sender);
  // The tool tip of a point of the editor's window: the messages of a
  // marked line under the gutter, one a line; empty elsewhere.
  QString GutterHint(const QPoint& pos) const;

  // Writes "General" "FileAssoc", then registers the *.pwn association with
  // the desktop or removes it (only when it names this program).
  void MakeAssoc(bool associate);
  // The program file the association runs: the program directory's
  // executable.
  std::string ProgramFile() const;
  // Function list (MainFunctions.cpp): the catalog's callables by file; a
  // click shows a row's status text, a double click inserts a call (or, for
  // the script's own functions, goes to the definition).
  void ScanIncludes();
  void lbFunctionsClick(QObject* sender);
  // Doc comments and the filter box (MainFunctionDocs.cpp).
  void ConnectCompletionDocs();
  void ShowCompletionDoc();
  void CreateFunctionFilter();
  // Shows the names containing the filter's text (case ignored) and the
  // headings of their files; all rows when it is empty.
  void ApplyFunctionFilter();
  // Escape, Enter and the arrows in the filter box; true when used.
  bool FunctionFilterKey(int key);
  // The hint fitted to the screen's width, and a raw doc comment's lines
  // under it (mark-up) for the parameter being typed.
  THintLine FitHintToScreen(const std::string& hint, int index) const;
  std::vector<std::string> HintDocMarkup(const std::string& doc,
                                         const std::string& currentParam) const;
  // Doc text laid out in the proposal font, code in the editor's face.
  TDocLayout DocLayout(int maxWidth, int maxLines) const;
  int HintTextWidth(std::string_view text) const;
  int HintMaxWidth() const;
  // The call the caret of an editor stands in (the lines above included).
  TParamHint ScanCallAtCaret(const TCustomSynEdit& editor) const;
  // Names the included files that could not be read (none hides it).
  void ShowIncludeNote(const std::vector<std::string>& errors);
  QLabel* lblIncludeNote = nullptr;
  void lbFunctionsDblClick(QObject* sender);
  // Finds the native called at the caret and the parameter being typed.
  void scpParamsExecute(SynCompletionType kind, TSynBaseCompletionProposal* sender,
                        std::string& currentInput, int& x, int& y, bool& canExecute);
  // Moves or hides the parameter hint after the caret or the view moved.
  void FollowCaretWithHint(TSynStatusChanges changes);
  // Where the caret and the view stood when the hint was last placed.
  struct THintPlace {
    TBufferCoord Caret;
    int TopRow = 0, LeftColumn = 0;
    bool operator==(const THintPlace&) const = default;
  } hintPlace_;
  // File > Reopen (MainRecent.cpp): opening or saving a script puts it
  // first; choosing an entry opens it as Open does.
  void miReopenItemClick(int index);
  // Options > Code Page (MainCodePage.cpp): shows, types and case-converts
  // the document's bytes in another page; the bytes stay as they are.
  void miCodePageItemClick(int number);
  // Puts the page in use (the default for a number not on offer) and shows
  // everything drawn from document bytes anew.
  void ApplyCodePage(int number);
  // The function catalog (MainCatalog.cpp): the include folder, the files
  // the script includes and the script, built on a thread of its own. What
  // the function list, completion and the hints show.
  const std::shared_ptr<const TFunctionCatalog>& Catalog() const { return catalog_; }
  // The include folders the catalog reads and the compiler is given, in order.
  const std::vector<std::string>& IncludeFolders() const { return includeFolders_; }
  // Builds the catalog anew from the document as it is now; the result is
  // shown when it is ready.
  void RebuildCatalog();
  // Rebuilds a second after the last call (the last change of the text).
  void ScheduleCatalog();
  // Waits for the build under way and shows its result.
  void WaitForCatalog();
  // A double click on a function of the script puts the caret at its definition.
  void ScriptFunctionDblClick();
  const TRecentFiles& RecentFiles() const { return recentFiles_; }
  // Opens a script as the command line does: the name is kept verbatim.
  void LoadScript(const std::string& fileName);
  // The files a later start handed over (app/RunningWindow.h): the window
  // comes forward and opens the first that exists as Open does, after the
  // modified-document prompt; while a dialog is open they wait for it.
  void FilesHandedOver(const std::vector<std::string>& files);
  // The session (MainSession.cpp): the document open at exit and its caret
  // line are stored; a start with no file named opens it again when
  // "General" "RestoreSession" is on, a file gone meanwhile noted in the
  // status bar.
  void StoreSession();
  void RestoreSession();
  // Options > Restore Session at Start: writes the check mark Qt has set (a
  // refused write puts it back).
  void miRestoreSessionClick(QObject* sender);
  // The document's file, resolved once when it was opened or saved (a
  // relative name against the current directory of that moment); saving
  // and compiling use it, the caption shows CurrentFileName as given.
  std::string DocumentPath() const;

  // Opens the Find or Replace dialog; OK stores the choices and searches.
  void ShowSearchDialog(bool replace);
  // Searches (or replaces) with the remembered choices.
  void RunSearch(bool replace, bool backward);
  // The remembered find and replace choices, for as long as the program runs.
  TSearchOptions SearchOptions;
  // Whether the next search starts at the caret rather than at the start
  // (or end) of the document.
  bool SearchFromCaret = false;
  // A selected-text-only search: the selection it runs in and the last
  // occurrence it found there, so F3 goes on within the user's selection.
  struct TSearchRange {
    TBufferCoord First, Last, HitFirst, HitLast;
  };
  std::optional<TSearchRange> SearchRange;
  // The replace confirmation: made at start-up, released after every search
  // run, made again when a replace asks.
  std::unique_ptr<TConfirmReplaceDialog> ReplaceConfirmDialog;
  void CreateReplaceConfirmDialog();
  // Shows a long replace-all, undo or redo and lets the user stop it.
  std::unique_ptr<TSynQtProgress> EditProgress;
  // The answers of one replace run: occurrences asked about, Yes answers,
  // and which question (1-based) was answered "Yes to all" (0: none).
  struct TReplaceAnswers {
    int Asked = 0, Yes = 0, AllAt = 0;
  } replaceAnswers_;

  // The modified-document prompt; false when the command must stop.
  // dropped, when given, is set when the user answered No.
  bool QuerySaveChanges(bool* dropped = nullptr);
  // The function list's width, also while it is hidden.
  int FunctionListWidth() const;
  void SetFunctionListWidth(int value);
  // The window's client area below the menu bar.
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateEditor();
  void CreateStatusBar();
  void ConnectFunctionList();
  void CreateCompletion(TSynManualClock* triggerClock);
  void CreateReopenMenu();
  void CreateCodePageMenu();
  void ConnectCatalog();
  // Shows a finished build: the list's rows, completion's items, the notes.
  void TakeCatalog();
  void ApplyCatalog(TCatalogBuild build);
  // Completion's lists, put in when the list is not open.
  void ApplyCompletionItems();
  void RebuildReopenMenu();
  void LoadRecentFiles(const TProfileFile& ini);
  void AddRecentFile(const std::string& path);
  // Writes the list; a refused write is reported once, the list stays.
  void StoreRecentFiles();
  void ConfigureHighlighter();
  // Puts the window into the state of an open document (new or loaded).
  void DocumentOpened();
  // Loads the lines first, so a file that cannot be read leaves everything as it was.
  void LoadDocument(const std::string& fileName);
  void SetDocumentName(const std::string& fileName, const std::string& path);
  void SetDocumentButtons(bool enabled);
  void SetSaveEnabled(bool enabled);
  void UpdateCaption();
  // Goes to a message's lines and shows its text in the status bar.
  void ShowCompilerMessage(int index);
  // The messages of a marked gutter line as a tool tip; false elsewhere.
  bool GutterToolTip(QHelpEvent& event);
  // Runs the enabled rule of the menu whose shortcut the key event is.
  void RunShortcutRule(const QKeyEvent& event);

  std::string programDir_;
  TSettingsLocation settings_;
  std::unique_ptr<TLudraDialogs> dialogs_;
  std::vector<std::string> params_;
  std::string documentName_, documentPath_;
  QLabel* statusPanels_[2] = {};
  int functionListWidth_ = 185;
  bool placed_ = false;
  bool includesPending_ = false, scriptPending_ = false, startPosted_ = false;
  bool sessionPending_ = false;
  bool closing_ = false;
  // Exit was answered No: the close it starts asks nothing more.
  bool changesDropped_ = false;
  // The output window while a compile runs in it.
  TfmOutput* fmOutput_ = nullptr;
  bool closeAfterCompile_ = false;
  TRecentFiles recentFiles_;
  bool recentWriteReported_ = false;
  std::unique_ptr<TSynTimer> catalogTimer_;
  std::vector<std::string> includeFolders_;
  std::shared_ptr<const TFunctionCatalog> catalog_;
  // The catalog completion's lists came from, and lists still to be put
  // in while the list is open.
  std::shared_ptr<const TFunctionCatalog> completionCatalog_;
  std::optional<TCatalogBuild> pendingCompletion_;
  bool folderErrorsReported_ = false;
  // Last: it is stopped before the rest of the window goes.
  std::unique_ptr<TCatalogWorker> catalogWorker_;
  int completionDocIndex_ = -1;
  std::unique_ptr<TSynTimer> statusTimer_;
  std::string passingStatus_, statusBefore_;
  bool filtered_ = false;
};

template <class F>
void TfmMain::Guarded(F&& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ReportException(e.what());
  }
}

}  // namespace ludra
