#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string>

#include "qt/SynQtClipboard.h"

namespace ludra {
namespace {

using namespace std::string_literals;

class QtClipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(QGuiApplication::instance(), nullptr);
    System()->clear();
  }
  static QClipboard* System() { return QGuiApplication::clipboard(); }
  // Puts mime data as another program would.
  static void PutForeign(const QString* text, const QByteArray* block) {
    auto* data = new QMimeData;
    if (text) data->setText(*text);
    if (block) data->setData(TSynQtClipboard::BlockFormat(), *block);
    System()->setMimeData(data);
  }
  TSynQtClipboard clip;
};

TEST_F(QtClipboard, CopyPastesBackInItsMode) {
  const std::string texts[] = {"word", "whole line\r\n", "ab\r\ncd\r\nef", "  padded  \r\n  ",
                               "abc\0def\r\n\0"s};
  for (TSynSelectionMode mode : {smNormal, smLine, smColumn}) {
    for (const std::string& text : texts) {
      clip.SetText(text, mode);
      ASSERT_TRUE(clip.HasText());
      auto content = clip.PasteContent();
      ASSERT_TRUE(content.has_value());
      EXPECT_TRUE(content->FromBlock);
      EXPECT_EQ(content->Mode, mode);
      EXPECT_EQ(content->Text, text);
      EXPECT_EQ(clip.PlainText(), text);
    }
  }
}

TEST_F(QtClipboard, SystemSeesUnicodeTextAndTheNamedBlock) {
  // Windows-1252 bytes: euro sign, e acute, y diaeresis.
  const std::string text = "\x80 caf\xE9 \xFF";
  clip.SetText(text, smColumn);
  const QMimeData* data = System()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(System()->text(), QString::fromUtf8(u8"\u20AC caf\u00E9 \u00FF"));
  ASSERT_TRUE(data->formats().contains(QStringLiteral("SynEdit Control Block Type")));
  QByteArray block = data->data(QStringLiteral("SynEdit Control Block Type"));
  EXPECT_EQ(std::string(block.constData(), static_cast<size_t>(block.size())),
            "\x02"s + text + '\0');
  // Read back, both keep the bytes.
  EXPECT_EQ(clip.PlainText(), text);
  EXPECT_EQ(clip.PasteContent()->Text, text);
}

TEST_F(QtClipboard, PlainTextFromAnotherProgram) {
  const QString text = QString::fromUtf8(u8"na\u00EFve \u2713\nnext");
  PutForeign(&text, nullptr);
  ASSERT_TRUE(clip.HasText());
  EXPECT_FALSE(clip.BlockData().has_value());
  auto content = clip.PasteContent();
  ASSERT_TRUE(content.has_value());
  EXPECT_FALSE(content->FromBlock);
  // Characters outside the code page become '?'.
  EXPECT_EQ(content->Text, "na\xEFve ?\nnext");
}

TEST_F(QtClipboard, BlockAndPlainTextCombinations) {
  const QString plain = QStringLiteral("plain");
  struct Case {
    const char* name;
    bool withText;
    std::string block;
    bool pastes;  // an empty block alone is announced but gives nothing
    bool fromBlock;
    TSynSelectionMode mode;
    std::string pasted;
  };
  const Case cases[] = {
      {"block alone", false,
       "\x01"
       "lines\r\n\x00"s,
       true, true, smLine, "lines\r\n"},
      {"block differs from text", true,
       "\x02"
       "col\x00"s,
       true, true, smColumn, "col"},
      {"malformed block", true,
       "\x09"
       "bad\x00"s,
       true, false, smNormal, "plain"},
      {"empty block", true, "", true, false, smNormal, "plain"},
      {"empty block alone", false, "", false, false, smNormal, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QByteArray block(c.block.data(), static_cast<qsizetype>(c.block.size()));
    PutForeign(c.withText ? &plain : nullptr, &block);
    EXPECT_TRUE(clip.HasText());
    auto content = clip.PasteContent();
    ASSERT_EQ(content.has_value(), c.pastes);
    if (!content) continue;
    EXPECT_EQ(content->FromBlock, c.fromBlock);
    EXPECT_EQ(content->Mode, c.mode);
    EXPECT_EQ(content->Text, c.pasted);
  }
}

TEST_F(QtClipboard, EmptyClipboardHasNothingToPaste) {
  EXPECT_FALSE(clip.HasText());
  EXPECT_FALSE(clip.PlainText().has_value());
  EXPECT_FALSE(clip.BlockData().has_value());
  EXPECT_FALSE(clip.PasteContent().has_value());
}

TEST_F(QtClipboard, ANewCopyReplacesTheOldBlock) {
  clip.SetText("first\r\n", smLine);
  System()->setText(QStringLiteral("second"));  // another program copies
  auto content = clip.PasteContent();
  ASSERT_TRUE(content.has_value());
  EXPECT_FALSE(content->FromBlock);
  EXPECT_EQ(content->Text, "second");
}

}  // namespace
}  // namespace ludra
