#pragma once
// The gutter glyphs of compiler messages: a red disc with a white cross for
// an error, an orange triangle with an exclamation mark for a warning. Both
// differ in shape and colour from the yellow bookmark tags.
#include "appcore/CompilerMessages.h"
#include "platform/SynCanvas.h"

namespace ludra {

// The glyph of a message kind (a fatal error shows as an error). The glyphs
// are made once and live as long as the program.
const TSynGlyph& CompilerMessageGlyph(TCompilerMessageKind kind);

}  // namespace ludra
