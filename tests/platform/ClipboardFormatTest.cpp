#include <gtest/gtest.h>

#include <string>

#include "base/SynExceptions.h"
#include "platform/SynClipboard.h"
#include "platform/SynMemoryClipboard.h"

namespace ludra {
namespace {

using namespace std::string_literals;

TEST(ClipboardFormat, EncodeIsModeByteTextAndZero) {
  EXPECT_EQ(EncodeClipboardBlock(smNormal, "ab"),
            "\x00"
            "ab\x00"s);
  EXPECT_EQ(EncodeClipboardBlock(smLine, "x\r\n"),
            "\x01"
            "x\r\n\x00"s);
  EXPECT_EQ(EncodeClipboardBlock(smColumn, ""), "\x02\x00"s);
}

TEST(ClipboardFormat, RoundTripKeepsModeAndBytes) {
  const std::string texts[] = {"", "a", "line 1\r\nline 2\r\n",
                               "\x80\xE9\xFF"
                               "\t end  ",
                               std::string(100000, 'x')};
  for (TSynSelectionMode mode : {smNormal, smLine, smColumn}) {
    for (const std::string& text : texts) {
      auto block = DecodeClipboardBlock(EncodeClipboardBlock(mode, text));
      ASSERT_TRUE(block.has_value());
      EXPECT_EQ(block->Mode, mode);
      EXPECT_EQ(block->Text, text);
    }
  }
}

TEST(ClipboardFormat, DecodeOfForeignData) {
  struct Case {
    const char* name;
    std::string data;
    bool valid;
    TSynSelectionMode mode;
    std::string text;
  };
  const Case cases[] = {
      {"empty", "", false, smNormal, ""},
      {"unknown mode byte",
       "\x03"
       "text\x00"s,
       false, smNormal, ""},
      {"high mode byte",
       "\xFF"
       "text\x00"s,
       false, smNormal, ""},
      {"mode byte only", "\x01", true, smLine, ""},
      {"missing zero",
       "\x02"
       "abc",
       true, smColumn, "abc"},
      {"a NUL inside the text stays",
       "\x00"
       "ab\x00"
       "cd\x00"s,
       true, smNormal, "ab\0cd"s},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto block = DecodeClipboardBlock(c.data);
    ASSERT_EQ(block.has_value(), c.valid);
    if (!block) continue;
    EXPECT_EQ(block->Mode, c.mode);
    EXPECT_EQ(block->Text, c.text);
  }
}

TEST(ClipboardFormat, PasteContentPrefersAWellFormedBlock) {
  TSynMemoryClipboard clip;
  EXPECT_FALSE(clip.HasText());
  EXPECT_FALSE(clip.PasteContent().has_value());

  clip.SetText("one\r\n", smLine);
  ASSERT_TRUE(clip.HasText());
  EXPECT_EQ(clip.PlainText(), "one\r\n");
  auto content = clip.PasteContent();
  ASSERT_TRUE(content.has_value());
  EXPECT_TRUE(content->FromBlock);
  EXPECT_EQ(content->Mode, smLine);
  EXPECT_EQ(content->Text, "one\r\n");

  // Another program's copy drops the block: plain text, no mode.
  clip.SetPlainText("other");
  content = clip.PasteContent();
  ASSERT_TRUE(content.has_value());
  EXPECT_FALSE(content->FromBlock);
  EXPECT_EQ(content->Text, "other");

  // A block's text wins over differing plain text.
  clip.SetBlockData(EncodeClipboardBlock(smColumn, "ab\r\ncd"));
  content = clip.PasteContent();
  EXPECT_TRUE(content->FromBlock);
  EXPECT_EQ(content->Mode, smColumn);
  EXPECT_EQ(content->Text, "ab\r\ncd");

  // A malformed block falls back to the plain text.
  clip.SetBlockData(
      "\x07"
      "junk");
  content = clip.PasteContent();
  EXPECT_FALSE(content->FromBlock);
  EXPECT_EQ(content->Text, "other");

  // A block alone is enough to paste.
  clip.Clear();
  EXPECT_FALSE(clip.HasText());
  clip.SetBlockData(EncodeClipboardBlock(smNormal, "x"));
  EXPECT_TRUE(clip.HasText());
  EXPECT_EQ(clip.PasteContent()->Text, "x");
}

TEST(ClipboardFormat, MemoryClipboardFailures) {
  TSynMemoryClipboard clip;
  clip.SetText("kept", smNormal);
  clip.SetFailing(true);
  try {
    clip.SetText("new", smLine);
    FAIL() << "no error";
  } catch (const ESynEditError& e) {
    EXPECT_STREQ(e.what(), "Clipboard copy operation failed");
  }
  EXPECT_EQ(clip.PlainText(), "kept");
  EXPECT_EQ(clip.WriteCount(), 1);
  try {
    clip.PasteContent();
    FAIL() << "no error";
  } catch (const ESynEditError& e) {
    EXPECT_STREQ(e.what(), "Clipboard paste operation failed.");
  }
  clip.SetFailing(false);
  EXPECT_EQ(clip.PasteContent()->Text, "kept");
}

}  // namespace
}  // namespace ludra
