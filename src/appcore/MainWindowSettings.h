#pragma once
// How the main window sets up its editor and highlighter. The program, the
// headless test editor and the benchmarks all take them from here, so they
// measure and test the editor the user gets.
#include "editor/SynEdit.h"
#include "highlight/SynHighlighterCpp.h"

namespace ludra {

// The options of the main window's editor.
inline constexpr TSynEditorOptions MainWindowEditorOptions = {
    eoAutoIndent,     eoDragDropEditing, eoGroupUndo,         eoShowScrollHint,
    eoSmartTabDelete, eoTabIndent,       eoTrimTrailingSpaces};

// Gives the editor the main window's settings: white text area with black
// text, tab stops every 4 columns with the Tab key kept by the editor, the
// options above, the selection colours and the gutter (auto-sized, 42
// pixels, no line numbers).
void ApplyMainWindowEditorSettings(TCustomSynEdit& editor);

// The colours the main window gives its C-family highlighter: comments green
// and italic, directives and reserved words blue (not bold), numbers, floats,
// hexadecimal numbers and strings navy, identifiers black, assembler bold.
void ApplyMainWindowColors(TSynCppSyn& highlighter);

}  // namespace ludra
