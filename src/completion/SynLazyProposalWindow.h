#pragma once
// A proposal window made when it is first needed: until then the form's
// changes of kind and scroll bar have nothing to update, and the window made
// later takes them from the form. A program whose pop-ups may never open
// does not build their desktop windows at start-up.
#include <functional>
#include <memory>
#include <utility>

#include "completion/SynCompletionProposalForm.h"

namespace ludra {

class TSynLazyProposalWindow : public TSynProposalWindow {
 public:
  using TFactory = std::function<std::unique_ptr<TSynProposalWindow>()>;
  explicit TSynLazyProposalWindow(TFactory make) : make_(std::move(make)) {}

  // The window, once made; null before.
  TSynProposalWindow* Made() const { return window_.get(); }

  void RecreateWindow() override {
    if (window_) window_->RecreateWindow();
  }
  void SetBounds(const TRect& bounds) override { Window().SetBounds(bounds); }
  void ShowWindow(bool activate) override { Window().ShowWindow(activate); }
  void HideWindow() override {
    if (window_) window_->HideWindow();
  }
  void FocusWindow() override {
    if (window_) window_->FocusWindow();
  }
  void Invalidate() override {
    if (window_) window_->Invalidate();
  }
  void ScrollBarChanged() override {
    if (window_) window_->ScrollBarChanged();
  }
  TRect WorkArea() const override { return Window().WorkArea(); }
  int SizingFrameHeight() const override { return Window().SizingFrameHeight(); }
  int ScrollBarWidth() const override { return Window().ScrollBarWidth(); }
  int WheelScrollLines() const override { return Window().WheelScrollLines(); }
  TSynCanvas& MeasureCanvas() override { return Window().MeasureCanvas(); }

 private:
  // Made on first use; it reads the form's kind itself and is given the
  // scroll bar the form holds by now.
  TSynProposalWindow& Window() const {
    if (!window_) {
      window_ = make_();
      window_->ScrollBarChanged();
    }
    return *window_;
  }

  TFactory make_;
  mutable std::unique_ptr<TSynProposalWindow> window_;
};

}  // namespace ludra
