// Find and replace: the dialogs, the remembered choices, the search runs and
// the confirmation asked before each replacement.
#include <memory>
#include <string>

#include "app/Main.h"
#include "app/dlgReplaceText.h"
#include "app/dlgSearchText.h"
#include "base/SynBracket.h"

namespace ludra {

void TfmMain::actSearchExecute(QObject* sender) {
  (void)sender;
  ShowSearchDialog(false);
}

void TfmMain::actSearchReplaceExecute(QObject* sender) {
  (void)sender;
  ShowSearchDialog(true);
}

void TfmMain::actSearchNextExecute(QObject* sender) {
  (void)sender;
  RunSearch(false, false);
}

void TfmMain::actSearchPrevExecute(QObject* sender) {
  (void)sender;
  RunSearch(false, true);
}

void TfmMain::CreateReplaceConfirmDialog() {
  ReplaceConfirmDialog = std::make_unique<TConfirmReplaceDialog>(this);
}

void TfmMain::ShowSearchDialog(bool replace) {
  SetStatusText("");
  TSearchOptions& o = SearchOptions;
  std::unique_ptr<TTextSearchDialog> dialog;
  TTextReplaceDialog* replaceDialog = nullptr;
  if (replace) {
    auto owned = std::make_unique<TTextReplaceDialog>(this);
    replaceDialog = owned.get();
    dialog = std::move(owned);
  } else {
    dialog = std::make_unique<TTextSearchDialog>(this);
  }
  dialog->SetSearchDirection(o.OptBackward ? 1 : 0);
  dialog->cbSearchCaseSensitive->setChecked(o.OptMatchCase);
  dialog->cbSearchFromCursor->setChecked(o.OptFromCaret);
  dialog->cbSearchSelectedOnly->setChecked(o.OptSelectionOnly);
  SetComboItems(dialog->cbSearchText, SplitHistory(o.SearchHistory));
  SetComboText(dialog->cbSearchText, o.LastSearchText);
  if (replaceDialog) {
    SetComboItems(replaceDialog->cbReplaceText, SplitHistory(o.ReplaceHistory));
    SetComboText(replaceDialog->cbReplaceText, o.LastReplaceText);
  }
  dialog->cbSearchWholeWords->setChecked(o.OptWholeWords);
  // The regular-expression box starts cleared at every opening.

  if (dialogs_->ShowModal(*dialog) != mrOk) return;
  o.OptBackward = dialog->SearchDirection() == 1;
  o.OptMatchCase = dialog->cbSearchCaseSensitive->isChecked();
  o.OptFromCaret = dialog->cbSearchFromCursor->isChecked();
  o.OptSelectionOnly = dialog->cbSearchSelectedOnly->isChecked();
  o.OptWholeWords = dialog->cbSearchWholeWords->isChecked();
  o.OptRegex = dialog->cbRegularExpression->isChecked();
  o.LastSearchText = ComboText(dialog->cbSearchText);
  o.SearchHistory = JoinHistory(ComboItems(dialog->cbSearchText));
  if (replaceDialog) {
    o.LastReplaceText = ComboText(replaceDialog->cbReplaceText);
    o.ReplaceHistory = JoinHistory(ComboItems(replaceDialog->cbReplaceText));
  }
  SearchFromCaret = o.OptFromCaret;
  SearchRange.reset();
  if (!o.LastSearchText.empty()) {
    RunSearch(replace, o.OptBackward);
    SearchFromCaret = true;
  }
}

void TfmMain::RunSearch(bool replace, bool backward) {
  SetStatusText("");
  const TSearchOptions& o = SearchOptions;
  TSynSearchFlags flags = SearchRunFlags(replace, backward, SearchFromCaret, o);
  moCode->SetSearchEngine(o.OptRegex ? static_cast<TSynEditSearchCustom*>(SynEditRegexSearch.get())
                                     : SynEditSearch.get());
  // The confirmation goes with the run, also with one that a bad pattern
  // ended.
  struct TRelease {
    std::unique_ptr<TConfirmReplaceDialog>& dialog;
    ~TRelease() { dialog.reset(); }
  } release{ReplaceConfirmDialog};
  // A search in the selected text runs in the selection the user made, also
  // after an occurrence was selected: F3 goes on after it (Shift+F3 before
  // it) within that selection. (A column block is left to the editor: no
  // one selection is its rest.)
  const TSynSelectionMode mode = moCode->SelectionMode();
  const bool inSelection = o.OptSelectionOnly && !replace && mode != smColumn;
  bool continued = false;
  if (inSelection) {
    TBufferCoord first = moCode->SelFirst(), last = moCode->SelLast();
    continued = SearchRange && moCode->HasSelection() && first == SearchRange->HitFirst &&
                last == SearchRange->HitLast;
    if (!continued) {
      SearchRange.reset();
      if (mode == smLine) {
        first.Char = 1;
        last.Char = moCode->LineLength(last.Line) + 1;
      }
      if (moCode->HasSelection()) SearchRange = TSearchRange{first, last, first, last};
    }
    if (continued) {
      TSearchRange& r = *SearchRange;
      const TBufferCoord from = backward ? r.First : r.HitLast;
      const TBufferCoord to = backward ? r.HitFirst : r.Last;
      if (!(from < to)) {
        dialogs_->Beep();
        SetStatusText("Text not found.");
        return;
      }
      moCode->SetSelectionMode(smNormal);
      moCode->SetCaretAndSelection(backward ? from : to, from, to);
    }
  } else {
    SearchRange.reset();
  }
  auto restoreMode = TBracket([&] { moCode->SetSelectionMode(mode); });
  EditProgress->Reset();
  replaceAnswers_ = {};
  int n = moCode->SearchAndReplace(o.LastSearchText, o.LastReplaceText, flags);
  if (EditProgress->Stopped()) {
    // What was replaced stays, and one Undo takes it back.
    SetStatusText("Replace stopped.");
    return;
  }
  if (replace && n > 0) {
    // Every occurrence counted is asked about until "Yes to all"; the rest
    // are replaced without asking.
    const TReplaceAnswers& a = replaceAnswers_;
    const int replaced = a.Yes + (a.AllAt > 0 ? 1 + n - a.AllAt : 0);
    SetStatusText("Replaced " + std::to_string(replaced) +
                  (replaced == 1 ? " occurrence." : " occurrences."));
  }
  if (inSelection && SearchRange) {
    if (n > 0) {
      SearchRange->HitFirst = moCode->SelFirst();
      SearchRange->HitLast = moCode->SelLast();
    } else if (continued) {
      // The last occurrence stays selected, so F3 keeps answering so.
      moCode->SetCaretAndSelection(SearchRange->HitLast, SearchRange->HitFirst,
                                   SearchRange->HitLast);
      dialogs_->Beep();
      SetStatusText("Text not found.");
      return;
    }
  }
  if (n == 0) {
    dialogs_->Beep();
    SetStatusText("Text not found.");
    if (backward)
      moCode->SetSelTo(moCode->SelFirst());
    else
      moCode->SetSelFrom(moCode->SelLast());
    moCode->SetCaretPos(moCode->SelFirst());
  }
}

void TfmMain::moCodeReplaceText(TCustomSynEdit* sender, const std::string& aSearch,
                                const std::string& aReplace, int line, int column,
                                TSynReplaceAction& action) {
  (void)sender;
  ++replaceAnswers_.Asked;
  if (aSearch == aReplace) {
    action = raSkip;
    return;
  }
  TPoint p = moCode->RowColumnToPixels(moCode->BufferToDisplay({column, line}));
  QPoint at = moCode->viewport()->mapToGlobal(QPoint(p.X, p.Y));
  // The client area lies below the menu bar.
  QPoint client = mapToGlobal(QPoint(0, height() - ClientHeight()));
  TRect area{client.x(), client.y(), client.x() + ClientWidth(), client.y() + ClientHeight()};
  if (!ReplaceConfirmDialog) CreateReplaceConfirmDialog();
  ReplaceConfirmDialog->PositionNear(area, at.x(), at.y(), at.y() + moCode->RowHeight(), aSearch);
  switch (dialogs_->ShowModal(*ReplaceConfirmDialog)) {
    case mrYes:
      action = raReplace;
      ++replaceAnswers_.Yes;
      break;
    case mrNo:
      action = raSkip;
      break;
    case mrYesToAll:
      action = raReplaceAll;
      replaceAnswers_.AllAt = replaceAnswers_.Asked;
      break;
    default:
      action = raCancel;
      break;
  }
}

}  // namespace ludra
