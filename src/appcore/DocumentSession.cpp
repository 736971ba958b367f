#include "appcore/DocumentSession.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "appcore/RecentFiles.h"
#include "platform/ProgramDirectory.h"

namespace ludra {

std::string ResolvePath(const std::string& fileName) {
  if (fileName.empty() || fileName[0] == '/') return fileName;
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  return ec ? fileName : (cwd / fileName).string();
}

std::string WindowTitle(const std::string& fileName) {
  return fileName.empty() ? std::string("Ludra") : ExtractFileName(fileName) + " - Ludra";
}

TFileStamp TFileStamp::Of(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return {};
  return {true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
          static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// --- One document ------------------------------------------------------------------------

TDocumentSession::TDocumentSession(std::unique_ptr<TCustomSynEdit> editor, std::string fileName,
                                   std::string path)
    : editor_(std::move(editor)),
      messages_(std::make_unique<TCompilerMessageList>(*editor_)),
      fileName_(std::move(fileName)),
      path_(std::move(path)),
      key_(path_.empty() ? std::string() : SameFileKey(path_)),
      stamp_(TFileStamp::Of(path_)) {
  editor_->OnChange = [this](TCustomSynEdit*) {
    modified_ = true;
    messages_->Unmark();
    if (OnChange) OnChange(*this);
  };
}

TDocumentSession::~TDocumentSession() {
  // The marks go before the editor that shows them.
  messages_.reset();
  editor_->OnChange = nullptr;
}

std::string TDocumentSession::ShortName() const { return ExtractFileName(fileName_); }

void TDocumentSession::SetCodePage(const TCodePage* page) {
  editor_->Lines().SetCodePage(page);
  editor_->InvalidateAll();
}

void TDocumentSession::SaveAs(const std::string& fileName, const std::string& path) {
  // Written before the name changes: a failed write leaves the document
  // under its old name, still modified.
  editor_->Lines().SaveToFile(path);
  fileName_ = fileName;
  path_ = path;
  key_ = SameFileKey(path);
  TakeStamp();
  modified_ = false;
}

void TDocumentSession::Reload() {
  const int line = editor_->CaretLine();
  editor_->Lines().LoadFromFile(path_);
  messages_->Clear();
  editor_->SetCaretPos({1, std::min(line, std::max(1, editor_->Lines().Count()))});
  TakeStamp();
  modified_ = false;
}

// --- The open documents ----------------------------------------------------------------------

TDocumentSessions::TDocumentSessions(TEditorFactory makeEditor, TDocumentPrompts& prompts)
    : makeEditor_(std::move(makeEditor)), prompts_(prompts) {}

TDocumentSessions::~TDocumentSessions() = default;

TDocumentSession* TDocumentSessions::Active() const {
  return active_ < 0 ? nullptr : sessions_[static_cast<size_t>(active_)].get();
}

void TDocumentSessions::Activate(int index) {
  if (index < -1 || index >= Count()) throw std::out_of_range("no such document");
  if (index != active_) SetActive(index);
}

void TDocumentSessions::SetActive(int index) {
  active_ = index;
  if (OnActivate) OnActivate();
}

int TDocumentSessions::IndexOf(const TDocumentSession& session) const {
  for (int i = 0; i < Count(); ++i)
    if (sessions_[static_cast<size_t>(i)].get() == &session) return i;
  return -1;
}

int TDocumentSessions::Find(const std::string& fileName) const {
  if (fileName.empty()) return -1;
  const std::string key = SameFileKey(ResolvePath(fileName));
  for (int i = 0; i < Count(); ++i)
    if (!At(i).Untitled() && At(i).Key() == key) return i;
  return -1;
}

std::string TDocumentSessions::Title() const {
  return WindowTitle(Active() ? Active()->FileName() : std::string());
}

void TDocumentSessions::Status(const std::string& text) {
  if (OnStatusText) OnStatusText(text);
}

TDocumentSession& TDocumentSessions::Add(std::unique_ptr<TCustomSynEdit> editor,
                                         const std::string& fileName, const std::string& path) {
  auto session = std::make_unique<TDocumentSession>(std::move(editor), fileName, path);
  session->OnChange = [this](TDocumentSession& changed) {
    if (OnChange) OnChange(changed);
  };
  const int index = active_ + 1;
  sessions_.insert(sessions_.begin() + index, std::move(session));
  SetActive(index);
  return At(index);
}

void TDocumentSessions::Remove(int index) {
  if (OnClosing) OnClosing(At(index));
  const bool wasActive = index == active_;
  sessions_.erase(sessions_.begin() + index);
  if (active_ > index) --active_;
  if (!wasActive) return;
  // The one after it (now at its place), else the one before it.
  SetActive(index < Count() ? index : Count() - 1);
}

TDocumentSession& TDocumentSessions::New(const std::string& templateFile) {
  std::unique_ptr<TCustomSynEdit> editor = makeEditor_();
  editor->Lines().SetCodePage(defaultPage_);
  TDocumentSession& session = Add(std::move(editor), kUntitled, std::string());
  Status("New file created.");
  std::error_code ec;
  if (!templateFile.empty() && std::filesystem::is_regular_file(templateFile, ec))
    session.Editor().Lines().LoadFromFile(templateFile);
  return session;
}

TDocumentSession& TDocumentSessions::Open(const std::string& fileName) {
  switched_ = false;
  if (int open = Find(fileName); open >= 0) {
    switched_ = true;
    Activate(open);
    return At(open);
  }
  const std::string path = ResolvePath(fileName);
  std::unique_ptr<TCustomSynEdit> editor = makeEditor_();
  editor->Lines().SetCodePage(defaultPage_);
  // Read before anything else changes: a file that cannot be read raises
  // here, and the new editor goes with it.
  editor->Lines().LoadFromFile(path);
  TDocumentSession* replaced = Active();
  if (replaced && !(replaced->Untitled() && !replaced->Modified())) replaced = nullptr;
  TDocumentSession& session = Add(std::move(editor), fileName, path);
  if (replaced) Remove(IndexOf(*replaced));
  if (OnFileUsed) OnFileUsed(session);
  return session;
}

bool TDocumentSessions::Save(TDocumentSession& session) {
  if (session.Untitled()) return SaveAs(session);
  session.Editor().Lines().SaveToFile(session.Path());
  session.TakeStamp();
  session.SetModified(false);
  Status("File '" + session.ShortName() + "' saved.");
  if (OnFileUsed) OnFileUsed(session);
  return true;
}

bool TDocumentSessions::SaveAs(TDocumentSession& session) {
  std::optional<std::string> fileName = prompts_.SaveFileName(session.ShortName(), "pwn");
  if (!fileName) return false;
  const std::string path = ResolvePath(*fileName);
  // Two documents of one file would overwrite each other's saves.
  if (int other = Find(path); other >= 0 && &At(other) != &session) {
    prompts_.MessageDlg("'" + ExtractFileName(*fileName) +
                            "' is open in another tab. Close that tab first, or save under "
                            "another name.",
                        mtInformation, mbOK);
    return false;
  }
  std::error_code ec;
  if (std::filesystem::exists(path, ec) &&
      prompts_.MessageDlg("File exists. Overwrite?", mtConfirmation, mbYesNo) != mrYes)
    return false;
  session.SaveAs(*fileName, path);
  Status("File saved as '" + ExtractFileName(*fileName) + "'.");
  if (OnFileUsed) OnFileUsed(session);
  if (&session == Active() && OnActivate) OnActivate();  // the title changed
  return true;
}

bool TDocumentSessions::QuerySave(TDocumentSession& session) {
  if (!session.Modified()) return true;
  // The document asked about is the one on view.
  Activate(IndexOf(session));
  std::string text = "File modified. Save changes?";
  if (Count() > 1) text += "\n\n" + session.FileName();
  switch (prompts_.MessageDlg(text, mtConfirmation, mbYesNoCancel)) {
    case mrYes:
      // A failed save raises and so stops the asking command too.
      return Save(session);
    case mrNo:
      return true;
    default:
      return false;
  }
}

bool TDocumentSessions::Close(TDocumentSession& session) {
  if (!QuerySave(session)) return false;
  Status(session.Untitled() ? std::string("Ludra is ready.")
                            : "File '" + session.ShortName() + "' closed.");
  Remove(IndexOf(session));
  return true;
}

bool TDocumentSessions::CheckDisk(TDocumentSession& session) {
  if (session.Untitled()) return false;
  const TFileStamp now = TFileStamp::Of(session.Path());
  if (now == session.Stamp()) return false;
  const std::string name = "'" + session.ShortName() + "'";
  if (!now.Exists) {
    session.TakeStamp();
    session.SetModified(true);
    if (OnChange) OnChange(session);
    Status("File " + name + " is no longer on disk; Save writes it again.");
    return true;
  }
  if (session.Modified()) {
    Activate(IndexOf(session));
    // Asked once for this change of the file.
    session.TakeStamp();
    if (prompts_.MessageDlg(name + " was changed by another program. Reload it and lose your "
                                   "changes?",
                            mtConfirmation, mbYesNo) != mrYes)
      return true;
  }
  session.Reload();
  Status("File " + name + " was changed by another program and has been reloaded.");
  return true;
}

bool TDocumentSessions::QueryExit() {
  for (int i = 0; i < Count(); ++i)
    if (!QuerySave(At(i))) return false;
  return true;
}

}  // namespace ludra
