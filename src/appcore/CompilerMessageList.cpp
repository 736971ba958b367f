#include "appcore/CompilerMessageList.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <unordered_set>

#include "appcore/CompilerMessageGlyphs.h"
#include "editor/SynEditMarks.h"
#include "editor/SynEditMiscClasses.h"

namespace ludra {

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The same file: the same path once "." and ".." are resolved, or two
// names of one file (a link).
bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  if (fs::path(a).lexically_normal() == fs::path(b).lexically_normal()) return true;
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

void GoToLine(TCustomSynEdit& editor, int line) {
  line = std::clamp(line, 1, std::max(1, editor.Lines().Count()));
  const std::string text = editor.Lines().Count() >= line ? editor.Lines().Get(line - 1) : "";
  const size_t indent = text.find_first_not_of(" \t");
  const TBufferCoord start{static_cast<int>(indent == std::string::npos ? text.size() : indent) + 1,
                           line};
  // Placed first without scrolling, so a line out of view comes to the middle.
  editor.InternalSetCaretPos(start, false);
  editor.EnsureCaretVisible(true);
  editor.SetCaretAndSelection(start, start, start);
}

const std::vector<TSynGlyph>& TCompilerMessageList::MarkImages() {
  static const std::vector<TSynGlyph> images = [] {
    std::vector<TSynGlyph> list;
    for (int i = 0; i < 10; ++i) list.push_back(*InternalBookmarkGlyph(i));
    list.push_back(CompilerMessageGlyph(cmError));
    list.push_back(CompilerMessageGlyph(cmWarning));
    return list;
  }();
  return images;
}

TCompilerMessageList::TCompilerMessageList(TCustomSynEdit& editor) : editor_(editor) {
  editor_.SetBookmarkImages(&MarkImages());
}

void TCompilerMessageList::Assign(std::vector<TCompilerMessage> messages,
                                  const std::string& scriptPath) {
  Clear();
  const std::string folder = FolderOf(scriptPath);
  const int lineCount = std::max(1, editor_.Lines().Count());
  std::map<int, int> markOfLine;
  messages_.reserve(messages.size());
  for (TCompilerMessage& message : messages) {
    TEntry entry;
    entry.Path = ResolveMessagePath(message.FileName, folder);
    entry.Message = std::move(message);
    if (SameFile(entry.Path, scriptPath)) {
      // A line the compiler counts past the end (or 0) is taken as the
      // nearest line of the document.
      int line = std::clamp(entry.Message.Line, 1, lineCount);
      int image = entry.Message.Kind == cmWarning ? kWarningImage : kErrorImage;
      auto [it, added] = markOfLine.emplace(line, static_cast<int>(marks_.size()));
      if (added) {
        auto mark = std::make_unique<TSynEditMark>(&editor_);
        mark->SetLine(line);
        mark->SetChar(1);
        mark->SetImageIndex(image);
        mark->SetVisible(true);
        marks_.push_back(mark.get());
        editor_.Marks().Add(std::move(mark));
      } else if (image == kErrorImage) {
        marks_[it->second]->SetImageIndex(kErrorImage);  // an error outranks a warning
      }
      entry.Mark = it->second;
      ++documentCount_;
    }
    messages_.push_back(std::move(entry));
  }
}

void TCompilerMessageList::Clear() {
  for (TSynEditMark* mark : LiveMarks())
    if (mark) editor_.Marks().Remove(mark);
  marks_.clear();
  messages_.clear();
  documentCount_ = 0;
  current_ = -1;
  Unmark();
}

bool TCompilerMessageList::IsOurs(const TSynEditMark* mark) {
  return !mark->IsBookmark() &&
         (mark->ImageIndex() == kErrorImage || mark->ImageIndex() == kWarningImage);
}

TSynEditMark* TCompilerMessageList::LiveMark(int mark) const {
  // The editor may have cleared its marks (Clear All): only a mark still in
  // its list is ours; a bookmark made later at the same address is not.
  TSynEditMark* ours = marks_.at(mark);
  TSynEditMarkList& list = editor_.Marks();
  for (int i = 0; i < list.Count(); ++i)
    if (list.Items(i) == ours) return IsOurs(ours) ? ours : nullptr;
  return nullptr;
}

std::vector<TSynEditMark*> TCompilerMessageList::LiveMarks() const {
  std::unordered_set<const TSynEditMark*> inList;
  TSynEditMarkList& list = editor_.Marks();
  for (int i = 0; i < list.Count(); ++i) inList.insert(list.Items(i));
  std::vector<TSynEditMark*> live(marks_.size(), nullptr);
  for (size_t i = 0; i < marks_.size(); ++i)
    if (inList.count(marks_[i]) && IsOurs(marks_[i])) live[i] = marks_[i];
  return live;
}

TCompilerMessageList::TLines TCompilerMessageList::LinesOf(int index) const {
  const TEntry& entry = messages_.at(index);
  if (entry.Mark < 0) return {};
  const int lineCount = std::max(1, editor_.Lines().Count());
  const TSynEditMark* mark = LiveMark(entry.Mark);
  int first = std::clamp(mark ? mark->Line() : entry.Message.Line, 1, lineCount);
  int span = entry.Message.LastLine - std::max(entry.Message.Line, 1);
  int last = std::clamp(first + std::max(span, 0), first, lineCount);
  return {first, last};
}

bool TCompilerMessageList::Show(int index) {
  if (!InDocument(index)) return false;
  current_ = index;
  GoToLine(editor_, LinesOf(index).First);
  MarkCaretLine();
  return true;
}

void TCompilerMessageList::MarkCaretLine() {
  marked_ = true;
  markedCaret_ = editor_.CaretPos();
  editor_.SetActiveLineColor(kMarkColor);
}

void TCompilerMessageList::CaretMoved() {
  if (marked_ && editor_.CaretPos() != markedCaret_) Unmark();
}

void TCompilerMessageList::Unmark() {
  if (!marked_) return;
  marked_ = false;
  editor_.SetActiveLineColor(clNone);
}

int TCompilerMessageList::Step(int direction) {
  if (documentCount_ == 0) return -1;
  const int count = Count();
  int index = current_;
  if (index < 0) index = direction > 0 ? count - 1 : 0;
  for (int i = 0; i < count; ++i) {
    index = (index + direction + count) % count;
    if (InDocument(index)) return current_ = index;
  }
  return -1;
}

int TCompilerMessageList::Next() { return Step(1); }

int TCompilerMessageList::Previous() { return Step(-1); }

std::vector<int> TCompilerMessageList::MessagesOnLine(int line) const {
  std::vector<TSynEditMark*> live = LiveMarks();
  std::vector<int> found;
  for (int i = 0; i < Count(); ++i) {
    int mark = messages_[i].Mark;
    if (mark >= 0 && live[mark] && live[mark]->Line() == line) found.push_back(i);
  }
  return found;
}

void TCompilerMessageList::Check() const {
  std::vector<int> worst(marks_.size(), kWarningImage);
  int inDocument = 0;
  for (const TEntry& entry : messages_) {
    if (entry.Mark < 0) continue;
    ++inDocument;
    if (entry.Message.Kind != cmWarning) worst.at(entry.Mark) = kErrorImage;
  }
  if (inDocument != documentCount_) throw std::logic_error("message count");
  if (current_ >= 0 && !InDocument(current_)) throw std::logic_error("current message");
  std::vector<TSynEditMark*> live = LiveMarks();
  for (size_t mark = 0; mark < marks_.size(); ++mark)
    if (live[mark] && live[mark]->ImageIndex() != worst[mark]) throw std::logic_error("mark image");
}

}  // namespace ludra
