#pragma once
#include <QIcon>

namespace ludra {

// The tool bar's images in button order: New, Open, Save, Find, Find Next,
// Find Prev, Replace, Compile, Compile/Run, Help Topics. The desktop's icon
// theme provides them where it has them; otherwise the program draws its own.
QIcon ToolbarImage(int index);

}  // namespace ludra
