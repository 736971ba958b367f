#pragma once
// The highlighter framework: colour attributes, and the abstract highlighter
// that splits one line at a time into tokens and reports the state left open
// at the end of the line (the editor stores that state per line).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/SynCharSet.h"
#include "base/SynColor.h"
#include "base/SynEditTypes.h"
#include "base/SynHandlerList.h"
#include "base/SynSet.h"

namespace ludra {

// Base of everything that can be the sender of a highlight change: the
// highlighter itself or one of its attributes. Handlers tell them apart with
// dynamic_cast.
class TSynPersistent {
 public:
  virtual ~TSynPersistent() = default;
};

using TSynNotifyEvent = std::function<void(TSynPersistent* sender)>;

class TSynHighlighterAttributes : public TSynPersistent {
 public:
  explicit TSynHighlighterAttributes(std::string name);
  TSynHighlighterAttributes(const TSynHighlighterAttributes&) = delete;
  TSynHighlighterAttributes& operator=(const TSynHighlighterAttributes&) = delete;

  const std::string& Name() const { return name_; }
  TColor Background() const { return background_; }
  void SetBackground(TColor value);
  TColor Foreground() const { return foreground_; }
  void SetForeground(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);

  // Takes the name and the three values; OnChange fires once when any value changed.
  void Assign(const TSynHighlighterAttributes& source);
  // The current values become the defaults.
  void InternalSaveDefaultValues();
  TColor BackgroundDefault() const { return backgroundDefault_; }
  TColor ForegroundDefault() const { return foregroundDefault_; }
  TFontStyles StyleDefault() const { return styleDefault_; }
  // A value is written out only when it differs from its default.
  bool IsBackgroundStored() const { return background_ != backgroundDefault_; }
  bool IsForegroundStored() const { return foreground_ != foregroundDefault_; }
  bool IsStyleStored() const { return style_ != styleDefault_; }

  std::function<void(TSynHighlighterAttributes* sender)> OnChange;

 private:
  void Changed();

  std::string name_;
  TColor background_ = clNone;
  TColor backgroundDefault_ = clNone;
  TColor foreground_ = clNone;
  TColor foregroundDefault_ = clNone;
  TFontStyles style_;
  TFontStyles styleDefault_;
};

enum TSynHighlighterCapability : uint8_t { hcUserSettings, hcRegistry };

// A place inside a line where a scan can resume: a position inside a token,
// with what the scanner needs to go on from there (the token's end and kind,
// the state after it, and one value of the highlighter's own).
struct TSynScanPoint {
  int Position = 0;  // 0-based
  int TokenEnd = 0;
  int TokenKind = 0;
  TSynRange State = 0;
  int Extra = 0;
};
using TSynHighlighterCapabilities = TSet<TSynHighlighterCapability>;

class TSynCustomHighlighter : public TSynPersistent {
 public:
  TSynCustomHighlighter();
  // Tells every registered owner of the destruction first, then frees the attributes.
  ~TSynCustomHighlighter() override;
  TSynCustomHighlighter(const TSynCustomHighlighter&) = delete;
  TSynCustomHighlighter& operator=(const TSynCustomHighlighter&) = delete;

  // The overridable operations, in slot order.
  virtual int AttributeCount() const;
  // In name order; nullptr outside 0..AttributeCount()-1.
  virtual TSynHighlighterAttributes* AttributeAt(int index) const;
  // 0 comment, 1 identifier, 2 reserved word, 3 string, 4 whitespace, 5 symbol.
  virtual TSynHighlighterAttributes* DefaultAttribute(int index) const = 0;
  virtual std::string DefaultFilter() const;
  virtual TSynCharSet IdentifierChars() const;
  virtual std::string SampleSource() const;
  virtual bool IsFilterStored() const;
  virtual void SetDefaultFilter(const std::string& value);
  virtual void SetSampleSource(const std::string& value);
  virtual void SetWordBreakChars(const TSynCharSet& value);
  virtual TSynHighlighterCapabilities Capabilities() const;
  virtual std::string LanguageName() const;
  virtual bool AtLineEnd() const = 0;
  virtual TSynRange GetRangeState() const;
  virtual std::string TokenText() const = 0;
  // nullptr for a token painted with the editor's own font and colours.
  virtual TSynHighlighterAttributes* TokenAttribute() const = 0;
  virtual int TokenKind() const = 0;
  // 0-based index of the current token in the line.
  virtual int TokenStart() const = 0;
  // The current token is text rather than code (a comment or a string):
  // completion offers nothing there. By the comment and string attributes.
  virtual bool TokenIsFreeText() const;
  virtual bool UseUserSettings(int settingIndex);
  virtual void NextToken() = 0;
  // Starts scanning a line (lineIndex 0-based) and scans its first token. The
  // text is copied, so the caller need not keep it alive. The range state is
  // left as set before (SetRangeState / ResetRangeState).
  virtual void StartLine(std::string_view text, int lineIndex) = 0;
  // A place to resume the scan later at `position`, which must lie inside
  // the current token; false when it does not, or when this highlighter
  // cannot resume inside a line.
  virtual bool GetScanPoint(int position, TSynScanPoint& point);
  // Starts scanning the line at a point GetScanPoint gave for the same text
  // and starting state: the first token is the one the point lies in, cut
  // to begin at the point, and the tokens after it are those of a scan from
  // the line start. A highlighter without points starts at the line start.
  virtual void StartLineAt(std::string_view text, int lineIndex, const TSynScanPoint& point);
  virtual void SetRangeState(TSynRange value);
  virtual void ResetRangeState();

  void AddAttribute(std::unique_ptr<TSynHighlighterAttributes> attribute);
  // Runs NextToken until AtLineEnd.
  void ScanToLineEnd();

  // The change chain: an editor hooks a handler under its own address and
  // unhooks it when it detaches. Handlers get the highlighter (rescan), an
  // attribute or nullptr (repaint) as sender.
  void HookAttrChangeEvent(const void* owner, TSynNotifyEvent handler);
  void UnhookAttrChangeEvent(const void* owner);
  // Called with the highlighter when it is destroyed, so an owner can drop its
  // reference; removed again with RemoveFreeNotification.
  void FreeNotification(const void* owner, std::function<void(TSynCustomHighlighter*)> handler);
  void RemoveFreeNotification(const void* owner);
  void HighlightChanged(TSynPersistent* sender);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const TSynCharSet& WordBreakChars() const { return wordBreakChars_; }

  // Reading stored property values: no change notices meanwhile, one at the end.
  void BeginLoading() { loading_ = true; }
  void EndLoading();
  bool Loading() const { return loading_; }

  // Copies the attributes of the same names, the sample text (same class
  // only), the word-break characters, DefaultFilter and Enabled.
  void Assign(const TSynCustomHighlighter& source);

 protected:
  // ScanToLineEnd's loop; a highlighter whose NextToken and AtLineEnd are
  // final may run it without virtual calls.
  virtual void ScanRestOfLine();
  // The end of a concrete highlighter's construction: attribute changes go to
  // HighlightChanged, and the current values become the defaults.
  void FinishConstruction();

 private:
  struct Hook {
    const void* owner;
    TSynNotifyEvent handler;
  };

  std::vector<std::pair<std::string, std::unique_ptr<TSynHighlighterAttributes>>> attributes_;
  std::vector<Hook> changeHooks_;
  TSynFreeNotifications<TSynCustomHighlighter> freeHooks_;
  std::string defaultFilter_;
  TSynCharSet wordBreakChars_;
  bool enabled_ = true;
  bool loading_ = false;
};

// The word-break characters a highlighter starts with.
TSynCharSet TSynWordBreakCharsDefault();

}  // namespace ludra
