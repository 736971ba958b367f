#include <gtest/gtest.h>

#include "appcore/DocText.h"

using namespace ludra;

namespace {

// A readable form of styled text: *bold*, _italic_, `code`, paragraphs
// joined by " | ", list items after "• ".
std::string Describe(const TDocText& text) {
  std::string out;
  for (const TDocParagraph& p : text) {
    if (!out.empty()) out += " | ";
    if (p.Bullet) out += "\x95 ";
    for (const TDocRun& run : p.Runs) {
      std::string marks = std::string(run.Style.Contains(dsBold) ? "*" : "") +
                          (run.Style.Contains(dsItalic) ? "_" : "") +
                          (run.Style.Contains(dsCode) ? "`" : "");
      out += marks + run.Text + std::string(marks.rbegin(), marks.rend());
    }
  }
  return out;
}

std::string Describe(const TDocComment& doc) {
  std::string out;
  auto add = [&out](const std::string& label, const TDocText& text) {
    if (!text.empty()) out += (out.empty() ? "" : "; ") + label + Describe(text);
  };
  add("S: ", doc.Summary);
  for (const TDocParam& p : doc.Params)
    out += (out.empty() ? "P " : "; P ") + p.Name + ": " + Describe(p.Text);
  add("R: ", doc.Returns);
  add("M: ", doc.Remarks);
  for (const std::string& name : doc.SeeAlso) out += (out.empty() ? "A: " : "; A: ") + name;
  return out;
}

}  // namespace

TEST(DocText, MarkupIsRenderedNotShown) {
  const std::pair<const char*, const char*> cases[] = {
      {"/// <summary>Sets <b>bold</b>, <i>it</i>, <c>c</c> and <code>x</code>.</summary>",
       "S: Sets *bold*, _it_, `c` and `x`."},
      {"/// <summary>See <a href=\"https://example.org/w?a=1&amp;b\">the "
       "<b>wiki</b></a>.</summary>",
       "S: See the *wiki*."},
      {"/// <summary>One<br/>two<br />three<p/>four<p>five</p>six</summary>",
       "S: One | two | three | four | five | six"},
      {"/** <summary>Modes:\n * <ul>\n *   <li>one</li>\n *   <li><b>two</b>\n * </ul>\n"
       " * </summary> */",
       "S: Modes: | \x95 one | \x95 *two*"},
      {"/// <summary>s</summary>\n/// <seealso name=\"GetPos\"/>\n"
       "/// <seealso cref=\"M:SetPos\" /><seealso>Third &amp; last</seealso>"
       "<seealso name=\"N\">ignored</seealso>",
       "S: s; A: GetPos; A: SetPos; A: Third & last; A: N"},
      {"/// <returns><b><c>1</c></b> on success</returns>\n/// <remarks>Slow.</remarks>",
       "R: *`1`* on success; M: Slow."},
      // Entities are text, never tags.
      {"/// <summary>\n///   Sets a &lt;b&gt; value.\n/// </summary>\n"
       "/// <param name=\"v\">The &quot;value&quot;</param>",
       "S: Sets a <b> value.; P v: The \"value\""},
      {"/// &#65;&#x42;&#9731;&bogus; &amp", "S: AB?&bogus; &amp"},
      // Unknown tags go, their text stays; text outside the sections of a
      // comment that has them belongs to none (an empty summary stays empty).
      {"/** <library>x_object</library>\n * <summary></summary>\n * <param name=\"v\">V</param> */",
       "P v: V"},
      {"/// <summary>A <unknown x=\"1\">kept</unknown> word</summary>", "S: A kept word"},
      {"/// <PARAM name='v'>x</PARAM> loose", "P v: x"},
      // Without sections the whole comment is the summary.
      {"/** Plain text\n * over two lines\n */", "S: Plain text over two lines"},
      {"/// <b>bold</b> and <paramref name='v'/>", "S: *bold* and `v`"},
      {"/*----*//** <summary>After a rule</summary> */", "S: After a rule"},
      {"/** <summary>Unterminated", "S: Unterminated"},
      {"/// <param name=\"\">Values to format.</param>", "P : Values to format."},
      // Code keeps its line breaks; a stray '<' and unbalanced tags are text.
      {"/// <code>a = 1;\n/// b(2);</code>", "S: `a = 1;` | `b(2);`"},
      {"/// a < b and x<3 or x<y", "S: a < b and x<3 or x<y"},
      {"/// </b>text<b>bold", "S: text*bold*"},
      {"/// C:\\path\\{x}", "S: C:\\path\\{x}"},
      {"", ""},
  };
  for (const auto& [raw, want] : cases) EXPECT_EQ(Describe(ParseDocComment(raw)), want) << raw;
}

TEST(DocText, VariadicParameterAndStatusText) {
  TDocComment doc = ParseDocComment("/// <param name=\"\">More.</param><param name='x'>X</param>");
  ASSERT_NE(doc.Param("..."), nullptr);
  EXPECT_EQ(PlainText(doc.Param("...")->Text), "More.");
  EXPECT_EQ(PlainText(doc.Param("x")->Text), "X");
  EXPECT_EQ(doc.Param("y"), nullptr);
  // The status bar: plain text on one line, a long summary cut at a blank.
  EXPECT_EQ(DocSummary("/// <summary><b>Sets</b> it.<br/><ul><li>a</li></ul></summary>"),
            "Sets it. \x95 a");
  EXPECT_EQ(DocSummary("/// one two three four", 12), "one two\x85");
}

TEST(DocText, HugeCommentsCostNoMoreThanTheCap) {
  // 10 MB of tags that never close, and of plain words.
  for (const std::string unit : {"<summary><b>x", "word ", "<", "&amp;"}) {
    std::string raw = unit;
    while (raw.size() < 10u << 20) raw += raw;
    raw = "/**" + raw;
    TDocComment doc = ParseDocComment(raw);
    EXPECT_TRUE(doc.Truncated) << unit;
    EXPECT_LE(PlainText(doc.Summary).size(), DocTextCap) << unit;
    std::string summary = DocSummary(raw);
    EXPECT_LE(summary.size(), 301u) << unit;
    EXPECT_EQ(summary.back(), '\x85') << unit;
  }
}
