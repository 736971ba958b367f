#pragma once
// The find and replace choices the main window remembers while the program
// runs, and the rules of its search dialogs that need no window: the history
// of typed texts, the search flags, where the confirmation dialog goes.
#include <string>
#include <vector>

#include "base/SynGeometry.h"
#include "search/SynEditSearchCustom.h"

namespace ludra {

// A history holds at most this many texts.
constexpr int kSearchHistoryMax = 10;

struct TSearchOptions {
  bool OptBackward = false;
  bool OptMatchCase = false;
  bool OptFromCaret = false;
  bool OptSelectionOnly = false;
  bool OptWholeWords = false;
  bool OptRegex = false;
  std::string LastSearchText;
  std::string LastReplaceText;
  // At most kSearchHistoryMax texts, one per line, joined with CR LF.
  std::string SearchHistory;
  std::string ReplaceHistory;
};

// Puts a confirmed text at the top of a history: an entry equal to it in
// any letter case leaves its place, so the text is listed once, spelled as
// typed now. An empty text changes nothing.
void AddToHistory(std::vector<std::string>& items, const std::string& text);
// The first kSearchHistoryMax items joined with CR LF (none after the last).
std::string JoinHistory(const std::vector<std::string>& items);
// The lines of a stored history.
std::vector<std::string> SplitHistory(const std::string& history);

// The editor's search flags for a search run from the main window; without
// fromCaret the whole document (or the selection) is searched.
TSynSearchFlags SearchRunFlags(bool replace, bool backward, bool fromCaret,
                               const TSearchOptions& options);

// The confirmation question for one occurrence.
std::string ConfirmReplaceText(const std::string& search);

// Where the replace confirmation goes, for a dialog of width x height, an
// occurrence whose first character's top-left corner is (x, y1) with its line
// ending at y2, inside the window's client area `area` (screen pixels):
// beside the occurrence, above its line in the lower third of the area and
// below it elsewhere, kept inside the area's right edge and centred over an
// area no wider than the dialog.
TRect ConfirmDialogBounds(const TRect& area, int x, int y1, int y2, int width, int height);

}  // namespace ludra
