#include "appcore/CompileTarget.h"

#include <algorithm>
#include <filesystem>

#include "platform/ProgramDirectory.h"

namespace ludra {

namespace {

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

bool Reaches(const TOpenScript& script, const std::string& normalPath) {
  return std::any_of(script.Reached.begin(), script.Reached.end(),
                     [&](const std::string& file) { return Normal(file) == normalPath; });
}

}  // namespace

std::vector<std::string> ReachedFiles(const TIncludeTree::TWalk& walk) {
  std::vector<std::string> paths;
  paths.reserve(walk.Files.size());
  for (const TIncludeTree::TFilePtr& file : walk.Files) paths.push_back(file->Path);
  return paths;
}

TCompileTarget ChooseCompileTarget(const std::string& activePath,
                                   const std::vector<TOpenScript>& scripts) {
  const std::string active = Normal(activePath);
  std::vector<const TOpenScript*> includers;
  for (const TOpenScript& script : scripts)
    if (!activePath.empty() && Normal(script.Path) != active && Reaches(script, active))
      includers.push_back(&script);
  // The first that none of the others includes; in a cycle, the first.
  for (const TOpenScript* candidate : includers) {
    const std::string own = Normal(candidate->Path);
    if (std::none_of(includers.begin(), includers.end(), [&](const TOpenScript* other) {
          return other != candidate && Reaches(*other, own);
        }))
      return {candidate->Path, activePath};
  }
  if (!includers.empty()) return {includers.front()->Path, activePath};
  return {activePath, {}};
}

std::string CompileTargetStatus(const TCompileTarget& target) {
  std::string text = "Compiling '" + ExtractFileName(target.Path) + "'";
  if (!target.Included.empty()) text += " (includes '" + ExtractFileName(target.Included) + "')";
  return text + "...";
}

}  // namespace ludra
