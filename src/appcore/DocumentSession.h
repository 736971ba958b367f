#pragma once
// The open documents of the main window, without the window. A session is
// one open file: its name and path, modified state, code page and line ends
// (its buffer's), bookmarks and caret (its editor's) and the marks of the
// compiler's messages. The sessions are the rules of many open files:
// opening a file already open switches to it, Save As never writes over a
// file another document holds, Close asks about that document only, and
// Exit asks once for each modified one.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appcore/CompilerMessageList.h"
#include "appcore/DocumentPrompts.h"
#include "editor/SynEdit.h"

namespace ludra {

// The name of a new document that was never saved.
inline constexpr char kUntitled[] = "Untitled";

// The file a name means now: a relative name is taken against the current
// directory at the moment it is given, so later changes of the current
// directory never move the document.
std::string ResolvePath(const std::string& fileName);

// The window title for a document name ("" for none).
std::string WindowTitle(const std::string& fileName);

// What tells that another program changed a file: its identity, size and
// modification time (absent: the file is not there).
struct TFileStamp {
  bool Exists = false;
  uint64_t Device = 0, Inode = 0;
  int64_t Size = 0, MTime = 0;  // MTime in nanoseconds
  bool operator==(const TFileStamp&) const = default;
  static TFileStamp Of(const std::string& path);
};

class TDocumentSession {
 public:
  // The session owns its editor, which holds the text; fileName is
  // kUntitled or the name as given, path the file it was resolved to.
  TDocumentSession(std::unique_ptr<TCustomSynEdit> editor, std::string fileName, std::string path);
  ~TDocumentSession();
  TDocumentSession(const TDocumentSession&) = delete;
  TDocumentSession& operator=(const TDocumentSession&) = delete;

  TCustomSynEdit& Editor() const { return *editor_; }
  // kUntitled, or the name as opened (a command-line name stays relative);
  // captions show it.
  const std::string& FileName() const { return fileName_; }
  // The file, resolved when it was opened or saved; empty while untitled.
  // Saving and compiling use it.
  const std::string& Path() const { return path_; }
  bool Untitled() const { return path_.empty(); }
  // The form every name of that file shares (SameFileKey), empty while
  // untitled.
  const std::string& Key() const { return key_; }
  // The name part of FileName, as tabs and messages show it.
  std::string ShortName() const;

  // Set by every change the editor records, cleared by a load or save.
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  // The page of the document's bytes (its buffer's).
  const TCodePage& CodePage() const { return editor_->Lines().CodePage(); }
  void SetCodePage(const TCodePage* page);
  TSynLineEndStyle LineEnds() const { return editor_->Lines().LineEndStyle(); }
  int CaretLine() const { return editor_->CaretLine(); }

  // The last compile's messages as this document's gutter shows them.
  TCompilerMessageList& Messages() { return *messages_; }

  // Writes the lines to path and takes that name (a failed write raises and
  // changes nothing); the session is then unmodified.
  void SaveAs(const std::string& fileName, const std::string& path);
  // The file as the document last read, wrote or accepted it.
  const TFileStamp& Stamp() const { return stamp_; }
  // Takes the file as it is now as the one the document knows.
  void TakeStamp() { stamp_ = TFileStamp::Of(path_); }
  // Reads the file again, the caret kept on its line (a failed read raises
  // and changes nothing); the session is then unmodified.
  void Reload();

  // Raised after each change the editor records.
  std::function<void(TDocumentSession&)> OnChange;

 private:
  std::unique_ptr<TCustomSynEdit> editor_;
  std::unique_ptr<TCompilerMessageList> messages_;
  std::string fileName_, path_, key_;
  TFileStamp stamp_;
  bool modified_ = false;
};

class TDocumentSessions {
 public:
  // Makes the editor of a new document (the window: a widget in a new tab).
  using TEditorFactory = std::function<std::unique_ptr<TCustomSynEdit>()>;
  TDocumentSessions(TEditorFactory makeEditor, TDocumentPrompts& prompts);
  ~TDocumentSessions();

  int Count() const { return static_cast<int>(sessions_.size()); }
  TDocumentSession& At(int index) const { return *sessions_.at(static_cast<size_t>(index)); }
  // The document the commands act on; nullptr when none is open.
  TDocumentSession* Active() const;
  int ActiveIndex() const { return active_; }
  void Activate(int index);
  int IndexOf(const TDocumentSession& session) const;
  // The open document of that file (however it is named), or -1.
  int Find(const std::string& fileName) const;
  // The window title: the active document's name part + " - Ludra", or
  // "Ludra" with none open.
  std::string Title() const;

  // New pages get this code page (nullptr: the process's).
  void SetDefaultCodePage(const TCodePage* page) { defaultPage_ = page; }

  // A new untitled document after the active one, made active; its text is
  // the template when that file exists (a template that cannot be read is
  // reported by the raised error, the document stays, empty).
  TDocumentSession& New(const std::string& templateFile);
  // Switches to the document of that file when one is open; else reads the
  // file into a new document after the active one, which an unmodified
  // untitled active document makes way for. A file that cannot be read
  // raises and changes nothing. fileName is kept as given.
  TDocumentSession& Open(const std::string& fileName);
  // Whether Open switched to a document already open.
  bool OpenSwitched() const { return switched_; }

  // Save and Save As; false when nothing was stored (the dialog was
  // cancelled, the overwrite question answered No, or the file is another
  // open document's). A failed write raises; the document stays modified.
  bool Save(TDocumentSession& session);
  bool SaveAs(TDocumentSession& session);
  // The modified-document prompt for one document; false when the command
  // that asks must stop (Cancel, or a Yes whose save stored nothing).
  bool QuerySave(TDocumentSession& session);
  // Asks about that document only, then closes it; the one after it (else
  // before it) becomes active. False when it stays open.
  bool Close(TDocumentSession& session);
  // A document's file as another program left it, looked at when the
  // document comes on view or the window comes forward: an unmodified
  // document reads the changed file again; a modified one asks first (No
  // keeps the text, and the question comes again only after the next
  // change); a file gone or renamed leaves the document modified, so it is
  // saved again or dropped knowingly. True when anything was done or asked.
  bool CheckDisk(TDocumentSession& session);
  // Exit's question: each modified document in turn is made active and
  // asked about (Yes saves, No drops its changes). Cancel, or a save that
  // stores nothing, ends the asking with every document still open: false.
  bool QueryExit();

  // Raised after the active document changed (also to none).
  std::function<void()> OnActivate;
  // Raised after a document got its file: loaded, or saved under a name.
  std::function<void(TDocumentSession&)> OnFileUsed;
  // Raised after each change a document's editor records.
  std::function<void(TDocumentSession&)> OnChange;
  // Raised before a document and its editor go.
  std::function<void(TDocumentSession&)> OnClosing;
  // The status texts of the commands.
  std::function<void(const std::string&)> OnStatusText;

 private:
  TDocumentSession& Add(std::unique_ptr<TCustomSynEdit> editor, const std::string& fileName,
                        const std::string& path);
  void Remove(int index);
  void SetActive(int index);
  void Status(const std::string& text);

  TEditorFactory makeEditor_;
  TDocumentPrompts& prompts_;
  std::vector<std::unique_ptr<TDocumentSession>> sessions_;
  int active_ = -1;
  const TCodePage* defaultPage_ = nullptr;
  bool switched_ = false;
};

}  // namespace ludra
