#include "Main.h"

namespace ludra {

TfmMain::TfmMain(const std::string& programDir, QWidget* parent)
    : QMainWindow(parent), shCpp(std::make_unique<TSynCppSyn>()), programDir_(programDir) {
  setObjectName("fmMain");
  setWindowTitle("Ludra");
  resize(744, 432);

  shCpp->CommentAttri()->SetForeground(RGB(0, 128, 0));
  shCpp->DirecAttri()->SetForeground(clBlue);
  shCpp->IdentifierAttri()->SetForeground(clBlack);
  shCpp->KeyAttri()->SetForeground(clBlue);
  shCpp->KeyAttri()->SetStyle({});
  for (TSynHighlighterAttributes* a :
       {shCpp->NumberAttri(), shCpp->FloatAttri(), shCpp->HexAttri(), shCpp->StringAttri()})
    a->SetForeground(RGB(0, 0, 128));
  shCpp->AsmAttri()->SetStyle({fsBold});

  moCode = new TSynEdit(this);
  moCode->setObjectName("moCode");
  moCode->SetColor(clWhite);
  TSynFont font;
  font.Color = clBlack;
  moCode->SetFont(font);
  moCode->SetTabWidth(4);
  moCode->SetWantTabs(true);
  moCode->SetOptions({eoAutoIndent, eoDragDropEditing, eoGroupUndo, eoShowScrollHint,
                      eoSmartTabDelete, eoTabIndent, eoTrimTrailingSpaces});
  moCode->SelectedColor().SetBackground(RGB(10, 36, 106));
  moCode->SelectedColor().SetForeground(clWhite);
  TSynGutter& gutter = moCode->Gutter();
  gutter.SetAutoSize(true);
  gutter.SetColor(RGB(212, 208, 200));
  TSynFont gutterFont;
  gutterFont.Size = 8;
  gutterFont.Color = clBlack;
  gutter.SetFont(gutterFont);
  gutter.SetLeftOffset(4);
  gutter.SetRightOffset(4);
  gutter.SetWidth(42);
  moCode->SetHighlighter(shCpp.get());
  setCentralWidget(moCode);
  moCode->setFocus();
}

void TfmMain::LoadScript(const std::string& fileName) {
  moCode->Lines().LoadFromFile(fileName);
  moCode->Gutter().SetShowLineNumbers(true);
}

}  // namespace ludra
