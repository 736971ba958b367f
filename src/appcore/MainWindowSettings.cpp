#include "appcore/MainWindowSettings.h"

#include "editor/SynEditMiscClasses.h"

namespace ludra {

void ApplyMainWindowEditorSettings(TCustomSynEdit& editor) {
  editor.SetColor(clWhite);
  TSynFont font;
  font.Color = clBlack;
  editor.SetFont(font);
  editor.SetTabWidth(4);
  editor.SetWantTabs(true);
  editor.SetOptions(MainWindowEditorOptions);
  editor.SelectedColor().SetBackground(RGB(10, 36, 106));
  editor.SelectedColor().SetForeground(clWhite);
  TSynGutter& gutter = editor.Gutter();
  gutter.SetAutoSize(true);
  gutter.SetColor(RGB(212, 208, 200));
  TSynFont gutterFont;
  gutterFont.Size = 8;
  gutterFont.Color = clBlack;
  gutter.SetFont(gutterFont);
  gutter.SetLeftOffset(4);
  gutter.SetRightOffset(4);
  gutter.SetWidth(42);
  gutter.SetShowLineNumbers(false);
}

void ApplyMainWindowColors(TSynCppSyn& highlighter) {
  // Applied like stored form values: one change notice at the end.
  bool wasLoading = highlighter.Loading();
  highlighter.BeginLoading();
  highlighter.AsmAttri()->SetStyle({fsBold});
  highlighter.CommentAttri()->SetForeground(clGreen);
  highlighter.CommentAttri()->SetStyle({fsItalic});
  highlighter.IdentifierAttri()->SetForeground(clBlack);
  highlighter.KeyAttri()->SetForeground(clBlue);
  highlighter.KeyAttri()->SetStyle({});
  highlighter.NumberAttri()->SetForeground(clNavy);
  highlighter.FloatAttri()->SetForeground(clNavy);
  highlighter.HexAttri()->SetForeground(clNavy);
  highlighter.StringAttri()->SetForeground(clNavy);
  highlighter.DirecAttri()->SetForeground(clBlue);
  if (!wasLoading) highlighter.EndLoading();
}

}  // namespace ludra
