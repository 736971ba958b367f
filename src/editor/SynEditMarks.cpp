#include "editor/SynEditMarks.h"

#include <algorithm>

namespace ludra {

TCustomSynEdit* TSynEditMark::Owner() const { return list_ ? owner_ : nullptr; }

void TSynEditMark::Repaint(int line) const {
  if (list_ && owner_ && list_->Host() && visible_ && line > 0)
    list_->Host()->InvalidateGutterLines(line, line);
}

void TSynEditMark::SetLine(int value) {
  if (value == line_) return;
  int old = line_;
  line_ = value;
  Repaint(old);
  Repaint(value);
}

void TSynEditMark::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Repaint(line_);
}

void TSynEditMark::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (list_ && owner_ && list_->Host() && line_ > 0)
    list_->Host()->InvalidateGutterLines(line_, line_);
}

void TSynEditMark::SetInternalImage(bool value) {
  if (value == internalImage_) return;
  internalImage_ = value;
  Repaint(line_);
}

TSynEditMarkList::~TSynEditMarkList() {
  for (auto& m : items_) m->list_ = nullptr;
}

void TSynEditMarkList::Add(std::unique_ptr<TSynEditMark> mark) {
  if (!mark) return;
  mark->list_ = this;
  if (!mark->owner_) mark->owner_ = owner_;
  items_.push_back(std::move(mark));
  Changed();
}

void TSynEditMarkList::Remove(TSynEditMark* mark) {
  auto it =
      std::find_if(items_.begin(), items_.end(),
                   [mark](const std::unique_ptr<TSynEditMark>& m) { return m.get() == mark; });
  if (it == items_.end()) return;
  (*it)->list_ = nullptr;
  items_.erase(it);
  Changed();
}

void TSynEditMarkList::Clear() {
  if (items_.empty()) return;
  for (auto& m : items_) m->list_ = nullptr;
  items_.clear();
  Changed();
}

std::vector<TSynEditMark*> TSynEditMarkList::GetMarksForLine(int line) const {
  std::vector<TSynEditMark*> result;
  for (const auto& m : items_) {
    if (m->Line() != line) continue;
    result.push_back(m.get());
    if (result.size() == 16) break;
  }
  return result;
}

void TSynEditMarkList::LinesInserted(int line, int count) {
  for (auto& m : items_)
    if (m->Line() >= line) m->SetLine(m->Line() + count);
}

void TSynEditMarkList::LinesDeleted(int line, int count) {
  for (auto& m : items_) {
    if (m->Line() >= line + count)
      m->SetLine(m->Line() - count);
    else if (m->Line() >= line)  // on a removed line: the line that took its place
      m->SetLine(std::max(1, std::min(line, host_ ? host_->LineCount() : line)));
  }
}

void TSynEditMarkList::Changed() {
  // The editor shows the marks in its gutter.
  if (host_) host_->InvalidateGutterLines(-1, -1);
  if (OnChange) OnChange(this);
}

}  // namespace ludra
