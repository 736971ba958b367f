#include "highlight/SynEditHighlighter.h"

#include <algorithm>
#include <typeinfo>

#include "base/SynCodePage.h"
#include "base/SynExceptions.h"

namespace ludra {

TSynCharSet TSynWordBreakCharsDefault() { return SynCharSet("!\"'()*+,-./:;=?[\\]^{|}"); }

// --- TSynHighlighterAttributes ---

TSynHighlighterAttributes::TSynHighlighterAttributes(std::string name) : name_(std::move(name)) {}

void TSynHighlighterAttributes::Changed() {
  if (OnChange) OnChange(this);
}

void TSynHighlighterAttributes::SetBackground(TColor value) {
  if (background_ == value) return;
  background_ = value;
  Changed();
}

void TSynHighlighterAttributes::SetForeground(TColor value) {
  if (foreground_ == value) return;
  foreground_ = value;
  Changed();
}

void TSynHighlighterAttributes::SetStyle(TFontStyles value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TSynHighlighterAttributes::Assign(const TSynHighlighterAttributes& source) {
  if (&source == this) return;
  name_ = source.name_;
  bool changed = background_ != source.background_ || foreground_ != source.foreground_ ||
                 style_ != source.style_;
  background_ = source.background_;
  foreground_ = source.foreground_;
  style_ = source.style_;
  if (changed) Changed();
}

void TSynHighlighterAttributes::InternalSaveDefaultValues() {
  backgroundDefault_ = background_;
  foregroundDefault_ = foreground_;
  styleDefault_ = style_;
}

// --- TSynCustomHighlighter ---

namespace {

// The attribute list is ordered like a sorted string list: case-insensitively.
int CompareNames(std::string_view a, std::string_view b) {
  const TCodePage& cp = CodePage();
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = cp.UpperCase(static_cast<unsigned char>(a[i]));
    unsigned char cb = cp.UpperCase(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

TSynCustomHighlighter::TSynCustomHighlighter() : wordBreakChars_(TSynWordBreakCharsDefault()) {}

TSynCustomHighlighter::~TSynCustomHighlighter() {
  freeHooks_.Notify(this);
  changeHooks_.clear();
  for (auto& entry : attributes_) entry.second->OnChange = nullptr;
}

int TSynCustomHighlighter::AttributeCount() const { return static_cast<int>(attributes_.size()); }

TSynHighlighterAttributes* TSynCustomHighlighter::AttributeAt(int index) const {
  if (index < 0 || index >= AttributeCount()) return nullptr;
  return attributes_[static_cast<size_t>(index)].second.get();
}

std::string TSynCustomHighlighter::DefaultFilter() const { return defaultFilter_; }

TSynCharSet TSynCustomHighlighter::IdentifierChars() const { return SynCharRange(33, 255); }

std::string TSynCustomHighlighter::SampleSource() const { return std::string(); }

bool TSynCustomHighlighter::IsFilterStored() const { return true; }

void TSynCustomHighlighter::SetDefaultFilter(const std::string& value) { defaultFilter_ = value; }

void TSynCustomHighlighter::SetSampleSource(const std::string&) {}

void TSynCustomHighlighter::SetWordBreakChars(const TSynCharSet& value) { wordBreakChars_ = value; }

TSynHighlighterCapabilities TSynCustomHighlighter::Capabilities() const { return {hcRegistry}; }

std::string TSynCustomHighlighter::LanguageName() const { return "<Unknown>"; }

TSynRange TSynCustomHighlighter::GetRangeState() const { return 0; }

bool TSynCustomHighlighter::UseUserSettings(int) { return false; }

bool TSynCustomHighlighter::TokenIsFreeText() const {
  TSynHighlighterAttributes* attribute = TokenAttribute();
  return attribute && (attribute == DefaultAttribute(0) || attribute == DefaultAttribute(3));
}

void TSynCustomHighlighter::SetRangeState(TSynRange) {}

void TSynCustomHighlighter::ResetRangeState() {}

void TSynCustomHighlighter::AddAttribute(std::unique_ptr<TSynHighlighterAttributes> attribute) {
  const std::string& name = attribute->Name();
  auto pos = std::lower_bound(
      attributes_.begin(), attributes_.end(), name,
      [](const auto& entry, const std::string& key) { return CompareNames(entry.first, key) < 0; });
  if (pos != attributes_.end() && CompareNames(pos->first, name) == 0)
    throw EListError("String list does not allow duplicates");
  std::string key = name;
  attributes_.emplace(pos, std::move(key), std::move(attribute));
}

void TSynCustomHighlighter::ScanToLineEnd() { ScanRestOfLine(); }

bool TSynCustomHighlighter::GetScanPoint(int position, TSynScanPoint& point) {
  (void)position;
  (void)point;
  return false;
}

void TSynCustomHighlighter::StartLineAt(std::string_view text, int lineIndex,
                                        const TSynScanPoint& point) {
  (void)point;
  StartLine(text, lineIndex);
}

void TSynCustomHighlighter::ScanRestOfLine() {
  while (!AtLineEnd()) NextToken();
}

void TSynCustomHighlighter::HookAttrChangeEvent(const void* owner, TSynNotifyEvent handler) {
  changeHooks_.push_back({owner, std::move(handler)});
}

void TSynCustomHighlighter::UnhookAttrChangeEvent(const void* owner) {
  auto pos = std::find_if(changeHooks_.begin(), changeHooks_.end(),
                          [owner](const Hook& h) { return h.owner == owner; });
  if (pos != changeHooks_.end()) changeHooks_.erase(pos);
}

void TSynCustomHighlighter::FreeNotification(const void* owner,
                                             std::function<void(TSynCustomHighlighter*)> handler) {
  freeHooks_.Set(owner, std::move(handler));
}

void TSynCustomHighlighter::RemoveFreeNotification(const void* owner) { freeHooks_.Remove(owner); }

void TSynCustomHighlighter::HighlightChanged(TSynPersistent* sender) {
  if (loading_) return;
  // Handlers may hook or unhook while the chain runs.
  std::vector<Hook> hooks = changeHooks_;
  for (auto& hook : hooks)
    if (hook.handler) hook.handler(sender);
}

void TSynCustomHighlighter::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  HighlightChanged(nullptr);
}

void TSynCustomHighlighter::EndLoading() {
  loading_ = false;
  HighlightChanged(nullptr);
}

void TSynCustomHighlighter::Assign(const TSynCustomHighlighter& source) {
  if (&source == this) return;
  for (auto& entry : attributes_) {
    for (const auto& other : source.attributes_) {
      if (other.first == entry.first) {
        entry.second->Assign(*other.second);
        break;
      }
    }
  }
  if (typeid(source) == typeid(*this)) SetSampleSource(source.SampleSource());
  SetWordBreakChars(source.WordBreakChars());
  SetDefaultFilter(source.DefaultFilter());
  SetEnabled(source.Enabled());
}

void TSynCustomHighlighter::FinishConstruction() {
  for (auto& entry : attributes_) {
    entry.second->OnChange = [this](TSynHighlighterAttributes* a) { HighlightChanged(a); };
    entry.second->InternalSaveDefaultValues();
  }
}

}  // namespace ludra
