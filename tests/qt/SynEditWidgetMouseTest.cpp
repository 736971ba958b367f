// The widget hands mouse, wheel and drop events to the control: a drag
// selects, a double-click selects a word, the wheel scrolls, the cursor
// follows the selection.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "platform/SynMemoryClipboard.h"
#include "qt/SynEditWidget.h"

namespace ludra {
namespace {

class TMouseWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e.resize(500, 300);
    e.show();
    QApplication::processEvents();
    e.SetText("first line here\r\nsecond word_two line\r\nthird");
  }

  // The viewport point at the left border of a character cell, mid-row.
  QPoint Cell(int aChar, int line) {
    TPoint p = e.RowColumnToPixels(e.BufferToDisplay({aChar, line}));
    return QPoint(p.X + 1, p.Y + e.RowHeight() / 2);
  }

  void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
            Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QPointF local(at);
    QMouseEvent ev(type, local, e.viewport()->mapToGlobal(local), button, buttons, mods);
    QApplication::sendEvent(e.viewport(), &ev);
  }

  TSynMemoryClipboard clipboard;
  TSynEdit e{nullptr, &clipboard};
};

TEST_F(TMouseWidgetTest, DragSelectsFromPressToRelease) {
  Send(QEvent::MouseButtonPress, Cell(7, 1), Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseMove, Cell(4, 2), Qt::NoButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, Cell(4, 2), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(e.SelectedText(), "line here\r\nsec");
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{4, 2}));
  // A plain move afterwards changes nothing.
  Send(QEvent::MouseMove, Cell(1, 3), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(e.SelectedText(), "line here\r\nsec");
}

TEST_F(TMouseWidgetTest, ShiftClickExtendsTheSelection) {
  Send(QEvent::MouseButtonPress, Cell(2, 1), Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, Cell(2, 1), Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseButtonPress, Cell(6, 1), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  Send(QEvent::MouseButtonRelease, Cell(6, 1), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
  EXPECT_EQ(e.SelectedText(), "irst");
}

TEST_F(TMouseWidgetTest, DoubleClickSelectsTheWordUnderThePointer) {
  QPoint at = Cell(10, 2);  // inside "word_two"
  Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(e.SelectedText(), "word_two");
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{16, 2}));
}

TEST_F(TMouseWidgetTest, CursorIsAnArrowOverTheSelection) {
  e.SetCaretAndSelection({6, 1}, {1, 1}, {6, 1});
  Send(QEvent::MouseMove, Cell(3, 1), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(e.viewport()->cursor().shape(), Qt::ArrowCursor);
  Send(QEvent::MouseMove, Cell(9, 1), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(e.viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(TMouseWidgetTest, WheelScrollsByTheDesktopLinesPerNotch) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line\r\n";
  e.SetText(text);
  int scrolled = 0;
  e.OnScroll = [&](TCustomSynEdit*, TSynScrollBarKind) { ++scrolled; };
  QPointF at(Cell(2, 1));
  QWheelEvent ev(at, e.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(e.viewport(), &ev);
  int lines = QApplication::wheelScrollLines();
  if (lines < 0 || lines > e.VisibleRows()) lines = e.VisibleRows();
  EXPECT_EQ(e.TopRow(), 1 + lines);
  EXPECT_EQ(scrolled, 1);
  EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));
}

TEST_F(TMouseWidgetTest, DroppedFilesArriveWithTheOption) {
  std::vector<std::string> got;
  e.OnDropFiles = [&](TCustomSynEdit*, int, int, const TStrings& files) {
    for (int i = 0; i < files.Count(); ++i) got.push_back(files.Get(i));
  };
  e.SetOptions(e.Options() + TSynEditorOptions{eoDropFiles});
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/tmp/a.pwn"), QUrl::fromLocalFile("/tmp/b c.inc")});
  // Qt delivers a drop to the widget that accepted the drag's entry.
  QDragEnterEvent enter(Cell(1, 1), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(e.viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(Cell(1, 1)), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(e.viewport(), &drop);
  EXPECT_EQ(got, (std::vector<std::string>{"/tmp/a.pwn", "/tmp/b c.inc"}));
}

TEST_F(TMouseWidgetTest, TextDroppedFromAnotherEditorIsCopied) {
  TSynEdit source{nullptr, &clipboard};
  source.SetText("abc def");
  source.SetCaretAndSelection({4, 1}, {1, 1}, {4, 1});
  {
    // Only the editors' own drags are taken; plain text from elsewhere is refused.
    QMimeData plain;
    plain.setText("zzz");
    QDragEnterEvent enter(Cell(1, 1), Qt::CopyAction, &plain, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(e.viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
  }
  e.DragDrop(&source, Cell(7, 1).x(), Cell(7, 1).y(), {});
  EXPECT_EQ(e.LineAtCaret(), "first abcline here");
  EXPECT_EQ(source.Text(), "abc def");
}

}  // namespace
}  // namespace ludra
