#pragma once
// Marks: glyphs attached to buffer lines, shown in the gutter. A bookmark is a
// mark with a number 0..9 that the user sets and jumps to with keys.
#include <functional>
#include <memory>
#include <vector>

namespace ludra {

class TCustomSynEdit;
class TSynEditMarkList;

// What marks ask of the editor that shows them: a repaint of gutter rows
// (lines first..last, 1-based; -1, -1 for all) and the line count.
class TSynMarkHost {
 public:
  virtual void InvalidateGutterLines(int first, int last) = 0;
  virtual int LineCount() const = 0;

 protected:
  ~TSynMarkHost() = default;
};

class TSynEditMark {
 public:
  explicit TSynEditMark(TCustomSynEdit* owner = nullptr) : owner_(owner) {}

  int Line() const { return line_; }
  void SetLine(int value);
  int Char() const { return char_; }
  void SetChar(int value) { char_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int BookmarkNumber() const { return bookmarkNumber_; }
  void SetBookmarkNumber(int value) { bookmarkNumber_ = value; }
  bool IsBookmark() const { return bookmarkNumber_ >= 0; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool InternalImage() const { return internalImage_; }
  void SetInternalImage(bool value);
  // The owner while the mark is in that editor's mark list, else none.
  TCustomSynEdit* Owner() const;

 private:
  friend class TSynEditMarkList;
  void Repaint(int line) const;
  TCustomSynEdit* owner_;
  TSynEditMarkList* list_ = nullptr;
  int line_ = 0;
  int char_ = 0;
  int imageIndex_ = 0;
  int bookmarkNumber_ = -1;
  bool visible_ = false;
  bool internalImage_ = false;
};

class TSynEditMarkList {
 public:
  explicit TSynEditMarkList(TCustomSynEdit* owner, TSynMarkHost* host = nullptr)
      : owner_(owner), host_(host) {}
  TSynEditMarkList(const TSynEditMarkList&) = delete;
  TSynEditMarkList& operator=(const TSynEditMarkList&) = delete;
  ~TSynEditMarkList();

  int Count() const { return static_cast<int>(items_.size()); }
  TSynEditMark* Items(int index) const { return items_.at(index).get(); }
  // Takes ownership.
  void Add(std::unique_ptr<TSynEditMark> mark);
  // Removes and destroys the mark (nothing when it is not in the list).
  void Remove(TSynEditMark* mark);
  void Clear();
  // The marks on one line, at most 16, in list order.
  std::vector<TSynEditMark*> GetMarksForLine(int line) const;
  TCustomSynEdit* Owner() const { return owner_; }
  TSynMarkHost* Host() const { return host_; }

  // Marks follow their lines: n lines inserted at line (1-based), or n lines
  // removed starting at line.
  void LinesInserted(int line, int count);
  void LinesDeleted(int line, int count);

  // Raised when a mark is added or removed.
  std::function<void(TSynEditMarkList* sender)> OnChange;

 private:
  void Changed();
  TCustomSynEdit* owner_;
  TSynMarkHost* host_;
  std::vector<std::unique_ptr<TSynEditMark>> items_;
};

// Bookmark settings of an editor.
struct TSynBookMarkOpt {
  bool EnableKeys = true;
  bool GlyphsVisible = true;
  int LeftMargin = 2;
  int Xoffset = 12;
};

}  // namespace ludra
