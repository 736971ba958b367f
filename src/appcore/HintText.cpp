#include "appcore/HintText.h"

#include "appcore/PawnDeclarations.h"
#include "base/SynCodePage.h"
#include "completion/SynCompletionProposalForm.h"

namespace ludra {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The line the hint window shows for these parameters.
std::string Shown(const std::vector<std::string>& parts, size_t first, size_t last) {
  std::string line;
  for (size_t i = first; i < last; ++i) line += (i > first ? " " : "") + parts[i];
  return line;
}

std::string Quoted(const std::vector<std::string>& parts) {
  std::string hint;
  for (size_t i = 0; i < parts.size(); ++i) {
    hint += i > 0 ? ",\"" : "\"";
    for (char c : parts[i]) {
      if (c == '"') hint += '"';
      hint += c;
    }
    hint += '"';
  }
  return hint;
}

}  // namespace

std::string ParamName(std::string_view param) {
  std::string_view s = Trim(param);
  if (s.starts_with("const ") || s.starts_with("const\t")) s = Trim(s.substr(6));
  if (s.starts_with("&")) s = Trim(s.substr(1));
  if (s.starts_with("{")) {
    size_t close = s.find("}:");
    if (close != std::string_view::npos) s = Trim(s.substr(close + 2));
  }
  s = DropLeadingTag(s);
  if (s.starts_with("...")) return "...";
  size_t end = 0;
  while (end < s.size() &&
         (CodePage().IsIdentChar(static_cast<unsigned char>(s[end])) || s[end] == '@'))
    ++end;
  return std::string(s.substr(0, end));
}

std::vector<std::string> HintParameters(std::string_view hint) {
  return SplitCommaText(std::string(hint));
}

int ParameterOfArgument(std::string_view hint, int argument) {
  std::vector<std::string> parts = HintParameters(hint);
  int last = static_cast<int>(parts.size()) - 1;
  return argument > last && last >= 0 && ParamName(parts.back()) == "..." ? last : argument;
}

THintLine FitHint(std::string_view hint, int index,
                  const std::function<int(std::string_view)>& width, int maxWidth) {
  std::vector<std::string> parts = HintParameters(hint);
  if (parts.empty() || width(Shown(parts, 0, parts.size())) <= maxWidth)
    return {std::string(hint), index};
  const std::string ellipsis = Ellipsis();
  size_t n = parts.size();
  size_t current = index < 0 ? 0 : std::min(static_cast<size_t>(index), n - 1);
  size_t first = current, last = current + 1;
  auto fits = [&](size_t a, size_t b) {
    std::string line =
        (a > 0 ? ellipsis + " " : "") + Shown(parts, a, b) + (b < n ? " " + ellipsis : "");
    return width(line) <= maxWidth;
  };
  // Widen to the right, then to the left, while the line still fits.
  for (bool grew = true; grew;) {
    grew = false;
    if (last < n && fits(first, last + 1)) ++last, grew = true;
    if (first > 0 && fits(first - 1, last)) --first, grew = true;
  }
  std::vector<std::string> shown;
  if (first > 0) shown.push_back(ellipsis);
  shown.insert(shown.end(), parts.begin() + static_cast<long>(first),
               parts.begin() + static_cast<long>(last));
  if (last < n) shown.push_back(ellipsis);
  int shownIndex = index < 0 || index >= static_cast<int>(n)
                       ? index
                       : index - static_cast<int>(first) + (first > 0 ? 1 : 0);
  return {Quoted(shown), shownIndex};
}

namespace {

// One word of a paragraph: its pieces in their styles (a word may change
// style inside, as in <b>Set</b>Pos).
using TDocWord = std::vector<TDocRun>;

std::vector<TDocWord> Words(const std::vector<TDocRun>& runs) {
  std::vector<TDocWord> words;
  bool open = false;  // the last word may go on in the next run
  for (const TDocRun& run : runs) {
    for (size_t p = 0; p < run.Text.size();) {
      if (run.Text[p] == ' ') {
        open = false;
        ++p;
        continue;
      }
      size_t end = run.Text.find(' ', p);
      if (end == std::string::npos) end = run.Text.size();
      if (!open) words.emplace_back();
      words.back().push_back({run.Text.substr(p, end - p), run.Style});
      open = end == run.Text.size();
      p = end;
    }
  }
  return words;
}

// Lays paragraphs out into lines of mark-up within a budget of lines.
class TDocLines {
 public:
  TDocLines(const TDocLayout& layout, int budget)
      : layout_(layout), budget_(budget), space_(layout.Width(" ")) {}

  // A paragraph, its first line after label (bold), a list item's after a
  // bullet and its further lines indented to match. False once the budget
  // is spent, the last line then ending in "…".
  bool Add(const TDocParagraph& paragraph, const std::string& label = {}) {
    if (full_) return false;
    std::vector<TDocRun> line;
    if (paragraph.Bullet && !label.empty()) {
      // A list begins on the line after its label.
      if (!Emit({{std::string(Trim(label)), {dsBold}}}, 0)) return false;
    } else if (!label.empty()) {
      line.push_back({label, {dsBold}});
    }
    if (paragraph.Bullet) line.push_back({DocBullet() + " ", {}});
    int indent = paragraph.Bullet ? Measure(line) : 0;
    int width = Measure(line);
    bool fresh = true;  // nothing but a bullet or a label on the line yet
    int lineIndent = 0;
    for (const TDocWord& word : Words(paragraph.Runs)) {
      int w = Measure(word);
      if (!fresh && width + space_ + w > layout_.MaxWidth) {
        if (!Emit(line, lineIndent)) return false;
        line.clear();
        width = lineIndent = indent;
        fresh = true;
      }
      if (!fresh) {
        // The blank between two words in the styles both share.
        TDocStyles shared = line.back().Style * word.front().Style;
        if (shared == line.back().Style)
          line.back().Text += ' ';
        else
          line.push_back({" ", shared});
        width += space_;
      }
      line.insert(line.end(), word.begin(), word.end());
      width += w;
      fresh = false;
    }
    return Emit(line, lineIndent);
  }

  // Ends the last line with "…": there was more to show.
  void MarkCut() {
    if (!full_ && !lines_.empty()) lines_.back() += Ellipsis();
    full_ = true;
  }
  int Count() const { return static_cast<int>(lines_.size()); }
  std::vector<std::string> Take() { return std::move(lines_); }

 private:
  int Measure(const std::vector<TDocRun>& runs) const {
    return layout_.Width(DocMarkup(runs, layout_.CodeFont));
  }
  bool Emit(const std::vector<TDocRun>& line, int indent) {
    if (Count() >= budget_) {
      MarkCut();
      return false;
    }
    std::string markup = indent > 0 ? "\\hspace{" + std::to_string(indent) + "}" : "";
    lines_.push_back(markup + DocMarkup(line, layout_.CodeFont));
    return true;
  }

  const TDocLayout& layout_;
  int budget_;
  int space_;
  bool full_ = false;
  std::vector<std::string> lines_;
};

}  // namespace

std::string DocMarkup(const std::vector<TDocRun>& runs, std::string_view codeFont) {
  std::string face;
  for (char c : codeFont)
    if (c != '}' && c != '\\') face += c;
  std::string out;
  TDocStyles style;
  auto toggle = [&](TDocStyle s, TDocStyles want, const char* on, const char* off) {
    if (want.Contains(s) == style.Contains(s)) return;
    out += want.Contains(s) ? on : off;
  };
  for (const TDocRun& run : runs) {
    if (run.Text.empty()) continue;
    toggle(dsBold, run.Style, "\\style{+B}", "\\style{-B}");
    toggle(dsItalic, run.Style, "\\style{+I}", "\\style{-I}");
    toggle(dsCode, run.Style, ("\\font{" + face + "}").c_str(), "\\font{}");
    style = run.Style;
    for (char c : run.Text) {
      if (c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

std::vector<std::string> HintDocLines(const TDocComment& doc, std::string_view currentParam,
                                      const TDocLayout& layout) {
  std::string name = ParamName(currentParam);
  const TDocParam* param = name.empty() ? nullptr : doc.Param(name);
  // The parameter's text takes up to three lines; the summary the rest.
  TDocLines paramLines(layout, std::min(3, layout.MaxLines));
  for (size_t i = 0; param && i < param->Text.size(); ++i)
    if (!paramLines.Add(param->Text[i], i == 0 ? name + ": " : std::string())) break;
  TDocLines lines(layout, layout.MaxLines - paramLines.Count());
  for (const TDocParagraph& p : doc.Summary)
    if (!lines.Add(p)) break;
  std::vector<std::string> all = lines.Take();
  for (std::string& line : paramLines.Take()) all.push_back(std::move(line));
  return all;
}

std::vector<std::string> PanelDocLines(const TDocComment& doc, const TDocLayout& layout) {
  TDocLines lines(layout, layout.MaxLines);
  auto section = [&lines](const TDocText& text, const std::string& label) {
    for (size_t i = 0; i < text.size(); ++i)
      if (!lines.Add(text[i], i == 0 ? label : std::string())) return false;
    return true;
  };
  bool room = section(doc.Summary, "");
  for (size_t i = 0; room && i < doc.Params.size(); ++i) {
    const TDocParam& p = doc.Params[i];
    room = section(p.Text, (p.Name.empty() ? "..." : p.Name) + ": ");
  }
  if (room) room = section(doc.Returns, "Returns: ");
  if (room) room = section(doc.Remarks, "Remarks: ");
  if (room && !doc.SeeAlso.empty()) {
    TDocParagraph see;
    for (size_t i = 0; i < doc.SeeAlso.size(); ++i) {
      see.Runs.push_back({doc.SeeAlso[i], {dsCode}});
      if (i + 1 < doc.SeeAlso.size()) see.Runs.push_back({", ", {}});
    }
    room = lines.Add(see, "See also: ");
  }
  if (room && doc.Truncated) lines.MarkCut();
  return lines.Take();
}

}  // namespace ludra
