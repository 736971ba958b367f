#pragma once
// The proposal pop-up on the desktop: a frameless tool window that stays on
// top, takes the focus for a code list and never for a hint. It only paints
// through the canvas and forwards keys, mouse, wheel, scroll bar and resizing
// to the form; the engine's timer, screen positions and focus changes come
// from the host below.
//
// A main window makes an engine for its editor in two calls:
//
//   scpCode = std::make_unique<TSynQtCompletionProposal>();
//   scpCode->SetEditor(moCode);
#include <QPoint>
#include <QScrollBar>
#include <QWidget>
#include <memory>

#include "completion/SynCompletionProposal.h"
#include "qt/SynEditWidget.h"

namespace ludra {

class TSynQtProposalWindow : public QWidget, public TSynProposalWindow {
  Q_OBJECT
 public:
  explicit TSynQtProposalWindow(TSynBaseCompletionProposalForm& form);
  ~TSynQtProposalWindow() override;

  void RecreateWindow() override;
  void SetBounds(const TRect& bounds) override;
  void ShowWindow(bool activate) override;
  void HideWindow() override;
  void FocusWindow() override;
  void Invalidate() override { update(); }
  void ScrollBarChanged() override;
  TRect WorkArea() const override;
  int SizingFrameHeight() const override { return 4; }
  int ScrollBarWidth() const override;
  int WheelScrollLines() const override;
  TSynCanvas& MeasureCanvas() override { return measureCanvas_; }

  QScrollBar* ScrollBarWidget() const { return scrollBar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override { return (void)next, false; }

 private:
  int Frame() const { return form_.FrameWidth(); }
  void LayoutScrollBar();
  // Which edges a press at p grabs for resizing (Qt::Edges bits), 0 for none.
  Qt::Edges ResizeEdgesAt(QPoint p) const;

  TSynBaseCompletionProposalForm& form_;
  QScrollBar* scrollBar_;
  TSynQtCanvas canvas_;
  TSynQtCanvas measureCanvas_;
  int updatingBar_ = 0;
  Qt::Edges resizing_;
  QPoint resizeStart_;
  QRect resizeGeometry_;
};

// The desktop services of an engine on Qt.
class TSynQtProposalHost : public TSynProposalHost {
 public:
  std::unique_ptr<TSynProposalWindow> CreateProposalWindow(
      TSynBaseCompletionProposalForm& form) override;
  std::unique_ptr<TSynTimer> CreateTimer() override;
  TPoint ClientToScreen(TCustomSynEdit& editor, TPoint point) override;
  TPoint MouseScreenPosition() override;
  bool ApplicationActive() override;
  void ProcessMessages() override;
  void FocusOwnerWindow(TCustomSynEdit& editor) override;
};

namespace detail {
struct TSynQtProposalHostHolder {
  TSynQtProposalHost QtHost;
};
}  // namespace detail

// An engine with its Qt host: the one a main window creates.
class TSynQtCompletionProposal : private detail::TSynQtProposalHostHolder,
                                 public TSynCompletionProposal {
 public:
  TSynQtCompletionProposal() : TSynCompletionProposal(QtHost) {}
  // The pop-up window (for tests and screenshots).
  TSynQtProposalWindow& Window() { return static_cast<TSynQtProposalWindow&>(Form().Window()); }
};

}  // namespace ludra
