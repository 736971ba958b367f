#include "appcore/SearchOptions.h"

#include <algorithm>

#include "base/SynCodePage.h"

namespace ludra {

void AddToHistory(std::vector<std::string>& items, const std::string& text) {
  if (text.empty()) return;
  const TCodePage& page = CodePage();
  const std::string key = page.LowerCase(text);
  auto same = std::find_if(items.begin(), items.end(),
                           [&](const std::string& item) { return page.LowerCase(item) == key; });
  if (same != items.end()) items.erase(same);
  items.insert(items.begin(), text);
}

std::string JoinHistory(const std::vector<std::string>& items) {
  std::string result;
  const size_t n = std::min(items.size(), static_cast<size_t>(kSearchHistoryMax));
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) result += "\r\n";
    result += items[i];
  }
  return result;
}

std::vector<std::string> SplitHistory(const std::string& history) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < history.size()) {
    size_t end = history.find_first_of("\r\n", start);
    if (end == std::string::npos) end = history.size();
    lines.push_back(history.substr(start, end - start));
    // CR LF, a lone CR or a lone LF ends a line.
    if (end < history.size() && history[end] == '\r' && end + 1 < history.size() &&
        history[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}

TSynSearchFlags SearchRunFlags(bool replace, bool backward, bool fromCaret,
                               const TSearchOptions& options) {
  TSynSearchFlags flags;
  if (replace) flags.Include(sfReplace).Include(sfReplaceAll).Include(sfPrompt);
  if (backward) flags.Include(sfBackwards);
  if (options.OptMatchCase) flags.Include(sfMatchCase);
  if (!fromCaret) flags.Include(sfEntireScope);
  if (options.OptSelectionOnly) flags.Include(sfSelectedOnly);
  if (options.OptWholeWords) flags.Include(sfWholeWord);
  return flags;
}

std::string ConfirmReplaceText(const std::string& search) {
  return "Replace this occurence of \"" + search + "\"?";
}

TRect ConfirmDialogBounds(const TRect& area, int x, int y1, int y2, int width, int height) {
  const int w = area.Right - area.Left;
  const int h = area.Bottom - area.Top;
  if (w <= width)
    x = area.Left - (width - w) / 2;
  else if (x + width > area.Right)
    x = area.Right - width;
  // Two thirds of the height, rounded to the nearest pixel.
  const int lowerThird = area.Top + (h * 2 + (h >= 0 ? 1 : -1)) / 3;
  const int y = y2 > lowerThird ? y1 - height - 4 : y2 + 4;
  return {x, y, x + width, y + height};
}

}  // namespace ludra
