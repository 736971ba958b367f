// The item mark-up: parsing, stripping, drawing and measuring with columns.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "completion/SynCompletionProposalMarkup.h"

namespace ludra::test {
namespace {

// A readable form of a chunk list: text as is, commands in brackets.
std::string Describe(const TFormatChunkList& chunks) {
  std::string s;
  for (const TFormatChunk& c : chunks) {
    switch (c.Kind) {
      case fkText:
        s += "'" + c.Text + "'";
        break;
      case fkColor:
        s += "[color " + std::to_string(c.Color) + "]";
        break;
      case fkStyle:
        s += std::string("[") +
             (c.Action == saOn    ? "+"
              : c.Action == saOff ? "-"
                                  : "~") +
             "BIUS"[c.Style] + "]";
        break;
      case fkColumn:
        s += "[column]";
        break;
      case fkHSpace:
        s += "[hspace " + std::to_string(c.Value) + "]";
        break;
      case fkImage:
        s += "[image " + std::to_string(c.Value) + "]";
        break;
      case fkFont:
        s += "[font " + c.Text + "]";
        break;
    }
  }
  return s;
}

TEST(MarkupParseTest, ChunksOfEveryCommandAndTheBrokenOnes) {
  struct Case {
    const char* text;
    const char* chunks;
    bool valid;
  } cases[] = {
      {"plain", "'plain'", true},
      {"", "", true},
      {R"(\style{+B}abc\style{-B}def)", "[+B]'abc'[-B]'def'", true},
      {R"(\style{~b}x\STYLE{~B})", "[~B]'x'[~B]", true},
      {R"(\style{+i}\style{-u}\style{~S})", "[+I][-U][~S]", true},
      {R"(a\\b)", R"('a\b')", true},
      {R"(\\\\)", R"('\\')", true},
      {R"(\\style{+B})", R"('\style{+B}')", true},
      {R"(native \column{}\style{+B}name)", "'native '[column][+B]'name'", true},
      {R"(\color{clRed}r\color{$FF0000}b\color{0x00FF00}g\color{255})",
       "[color 255]'r'[color 16711680]'b'[color 65280]'g'[color 255]", true},
      {R"(\color{clwindow})", "[color 4278190085]", true},
      {R"(\hspace{12}\image{3}\hspace{-2})", "[hspace 12][image 3][hspace -2]", true},
      {R"(\font{Courier New}x\FONT{})", "[font Courier New]'x'[font ]", true},
      // Invalid commands drop only themselves.
      {R"(a\foo{1}b)", "'a''b'", false},
      {R"(a\style{B}b)", "'a''b'", false},
      {R"(\style{+X}\style{+BB}\style{})", "", false},
      {R"(\column{x}c)", "'c'", false},
      {R"(\hspace{}\hspace{1a}\image{x}\hspace{99999999999})", "", false},
      {R"(\color{clNoSuchColour}\color{$}\color{12z})", "", false},
      // Text ending inside a command ends the list there.
      {R"(ab\style{+B)", "'ab'", true},
      {R"(ab\style)", "'ab'", true},
      {R"(ab\)", "'ab'", true},
      // The name runs to the next brace, the argument to the next closing one.
      {R"(\style{+B\style{-B}}x)", "'}x'", false},
  };
  for (const Case& c : cases) {
    TFormatChunkList chunks;
    bool valid = ParseFormatChunks(c.text, {}, chunks);
    EXPECT_EQ(Describe(chunks), c.chunks) << c.text;
    EXPECT_EQ(valid, c.valid) << c.text;
  }
}

TEST(MarkupParseTest, SkippedKindsProduceNoChunk) {
  TFormatChunkList chunks;
  EXPECT_TRUE(
      ParseFormatChunks(R"(\color{clRed}a\style{+B}b\column{})", {fkColor, fkColumn}, chunks));
  EXPECT_EQ(Describe(chunks), "'a'[+B]'b'");
}

TEST(MarkupParseTest, StripMarkupKeepsOnlyText) {
  EXPECT_EQ(StripMarkup(R"(native \column{}\style{+B}print\style{-B}(const string[]))"),
            "native print(const string[])");
  EXPECT_EQ(StripMarkup(R"(a\\b\foo{}c\image{1})"), R"(a\bc)");
  EXPECT_EQ(StripMarkup(R"(x\color{clRed)"), "x");
}

// Random texts made of mark-up pieces: the parser never fails to stop, and
// stripping is the concatenation of what drawing shows, and measuring
// ends where drawing ends.
TEST(MarkupParseTest, RandomMarkupStripsToTheDrawnText) {
  const char* pieces[] = {"a",        "bc",       "\\",         "\\\\", "{",
                          "}",        "\\style{", "+B}",        "~i}",  "\\column{}",
                          "\\color{", "clRed}",   "\\image{",   "2}",   "\\hspace{3}",
                          "\\foo{x}", " ",        "\\style{-U}"};
  std::mt19937 rng(17);
  TSynRecordingCanvas canvas;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) text += pieces[rng() % std::size(pieces)];
    std::string stripped = StripMarkup(text);
    canvas.Clear();
    int end =
        DrawFormattedText(canvas, {0, 0, 1 << 20, 20}, TSynFont(), text, false, nullptr, nullptr);
    std::string drawn;
    for (const auto& op : canvas.Texts()) drawn += op.Text;
    ASSERT_EQ(drawn, stripped) << text;
    ASSERT_EQ(MeasureFormattedText(canvas, TSynFont(), text, nullptr, nullptr), end) << text;
  }
}

TEST(MarkupDrawTest, BoldRunsTogglesAndColours) {
  TSynRecordingCanvas canvas;
  canvas.BoldCellWidth = 12;
  TSynFont font;
  font.Color = clWindowText;
  int end = DrawFormattedText(canvas, {5, 2, 500, 22}, font,
                              R"(\style{+B}abc\style{-B}def\style{~B}x\style{~B}y\color{clRed}z)",
                              false, nullptr, nullptr);
  auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 5u);
  struct Run {
    const char* text;
    int x;
    bool bold;
    TColor fg;
  } expected[] = {{"abc", 5, true, clWindowText},
                  {"def", 5 + 36, false, clWindowText},
                  {"x", 5 + 36 + 30, true, clWindowText},
                  {"y", 5 + 36 + 30 + 12, false, clWindowText},
                  {"z", 5 + 36 + 30 + 12 + 10, false, clRed}};
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].Text, expected[i].text);
    EXPECT_EQ(texts[i].X, expected[i].x) << i;
    EXPECT_EQ(texts[i].Y, 2);
    EXPECT_EQ(texts[i].Style.Contains(fsBold), expected[i].bold) << i;
    EXPECT_EQ(texts[i].Fg, expected[i].fg) << i;
    EXPECT_EQ(texts[i].Bg, clNone);
  }
  EXPECT_EQ(end, 5 + 36 + 30 + 12 + 10 + 10);
}

TEST(MarkupDrawTest, FontCommandsChangeTheFaceUntilTheFirstReturns) {
  TSynRecordingCanvas canvas;
  TSynFont font;
  font.Name = "Sans";
  DrawFormattedText(canvas, {0, 0, 500, 20}, font, R"(a\font{Mono}b\font{}c\font{Mono}d)", false,
                    nullptr, nullptr);
  std::string faces;
  for (const auto& op : canvas.Texts()) faces += op.Text + "=" + op.FontName + " ";
  EXPECT_EQ(faces, "a=Sans b=Mono c=Sans d=Mono ");
  EXPECT_EQ(canvas.Font().Name, "Sans");
}

TEST(MarkupDrawTest, SelectedRowIgnoresColourCommands) {
  TSynRecordingCanvas canvas;
  TSynFont font;
  font.Color = clHighlightText;
  DrawFormattedText(canvas, {0, 0, 500, 20}, font, R"(\color{clRed}a\color{clBlue}b)", true,
                    nullptr, nullptr);
  for (const auto& op : canvas.Texts()) EXPECT_EQ(op.Fg, clHighlightText) << op.Text;
}

TEST(MarkupDrawTest, ColumnsAlignOnTheBiggestWord) {
  TSynRecordingCanvas canvas;
  canvas.BoldCellWidth = 14;
  TProposalColumns columns;
  columns.Add().BiggestWord = "native";
  // The first column's width is "native " in the style it was entered with.
  DrawFormattedText(canvas, {3, 0, 1000, 20}, TSynFont(), R"(nat \column{}\style{+B}name)", false,
                    &columns, nullptr);
  auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].Text, "name");
  EXPECT_EQ(texts[1].X, 3 + 7 * 10);
  EXPECT_TRUE(texts[1].Style.Contains(fsBold));

  // A second column starts in its default style; columns beyond the last
  // are ignored.
  columns.Add().DefaultFontStyle = {fsItalic};
  columns[1].BiggestWord = "ab";
  canvas.Clear();
  int width = MeasureFormattedText(canvas, TSynFont(), R"(x\column{}y\column{}z\column{}w)",
                                   &columns, nullptr);
  EXPECT_EQ(width, 7 * 10 + 3 * 10 + 1 * 10 + 1 * 10);
  canvas.Clear();
  DrawFormattedText(canvas, {0, 0, 1000, 20}, TSynFont(), R"(x\column{}y\column{}z)", false,
                    &columns, nullptr);
  texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(texts[1].Style.Contains(fsItalic));
  EXPECT_EQ(texts[2].X, 70 + 30);
}

TEST(MarkupDrawTest, ImagesSpacesAndTheRightEdge) {
  TSynRecordingCanvas canvas;
  TProposalImages images(2);
  images[1].Width = 16;
  images[1].Height = 16;
  images[1].Pixels.assign(256, clRed);
  int end = DrawFormattedText(canvas, {0, 0, 1000, 20}, TSynFont(),
                              R"(\image{1}a\hspace{4}b\image{7})", false, nullptr, &images);
  ASSERT_EQ(canvas.Ops.size(), 3u);
  EXPECT_EQ(canvas.Ops[0].Kind, TSynRecordingCanvas::opGlyph);
  EXPECT_EQ(canvas.Ops[1].X, 16);
  EXPECT_EQ(canvas.Ops[2].X, 16 + 10 + 4);
  EXPECT_EQ(end, 40);
  // Without an image list an image draws nothing and takes no room.
  EXPECT_EQ(MeasureFormattedText(canvas, TSynFont(), R"(\image{1}a)", nullptr, nullptr), 10);

  // Drawing stops once the pen is past the right edge.
  canvas.Clear();
  DrawFormattedText(canvas, {0, 0, 25, 20}, TSynFont(), R"(abc\style{+B}def)", false, nullptr,
                    nullptr);
  ASSERT_EQ(canvas.Texts().size(), 1u);
}

TEST(MarkupDrawTest, HugeSpacesDoNotOverflow) {
  TSynRecordingCanvas canvas;
  std::string text;
  for (int i = 0; i < 10; ++i) text += R"(\hspace{2147483647})";
  EXPECT_EQ(MeasureFormattedText(canvas, TSynFont(), text, nullptr, nullptr), INT_MAX);
  text.clear();
  for (int i = 0; i < 10; ++i) text += R"(\hspace{-2147483648})";
  EXPECT_EQ(MeasureFormattedText(canvas, TSynFont(), text, nullptr, nullptr), INT_MIN);
}

}  // namespace
}  // namespace ludra::test
