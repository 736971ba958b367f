#pragma once
// Replacing a file so that readers see either the old contents or the new,
// never a half-written file: the settings file and the desktop association
// files are written this way.
#include <string>

namespace ludra {

// Writes data to a fresh file beside fileName, flushes it and renames it over
// fileName. Symbolic links are followed (also to a target that does not exist
// yet), so the link itself stays in place; an existing file keeps its
// permissions. False when any step is refused: the old file is then as it was.
bool ReplaceFileAtomically(const std::string& fileName, const std::string& data);

// Makes the folder and its missing parents, private to the user; true when
// it is (now) a folder.
bool MakeFolders(const std::string& dir);

}  // namespace ludra
