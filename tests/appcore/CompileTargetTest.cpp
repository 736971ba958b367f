#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "appcore/CompileTarget.h"

using namespace ludra;

// A game mode: gm.pwn includes modules/house.pwn, which includes
// "../lib/util.inc" and <core>; tool.pwn includes only <core>. The open
// scripts' trees come from real walks over those files.
TEST(CompileTarget, AnIncludedFileCompilesTheScriptThatReachesIt) {
  char pattern[] = "/tmp/ludra-target-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  auto write = [&](const std::string& name, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + name).parent_path());
    std::ofstream(root + "/" + name) << text;
    return root + "/" + name;
  };
  const std::string gm = write("gm/gm.pwn", "#include \"modules/house.pwn\"\nmain(){}\n");
  const std::string house =
      write("gm/modules/house.pwn", "#include \"../lib/util.inc\"\n#include <core>\n");
  const std::string util = write("gm/lib/util.inc", "stock Util() {}\n");
  const std::string core = write("include/core.inc", "native print(const s[]);\n");
  const std::string tool = write("tool/tool.pwn", "#include <core>\n");
  const std::string lone = write("lone.inc", "\n");
  TIncludeTree tree;
  auto open = [&](const std::string& script) {
    std::ifstream in(script);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<TIncludeDirective> directives = ReadDeclarations(text).Includes;
    TIncludePaths paths{std::filesystem::path(script).parent_path(), {root + "/include"}};
    return TOpenScript{script, ReachedFiles(tree.Walk({}, &directives, paths))};
  };
  const TOpenScript oGm = open(gm), oHouse = open(house), oTool = open(tool);

  struct TRow {
    std::string active;
    std::vector<TOpenScript> scripts;
    std::string target, included;
  } rows[] = {
      {gm, {oHouse, oTool}, gm, ""},           // a script compiles itself
      {house, {oTool, oGm}, gm, house},        // a module: its main script
      {util, {oHouse, oGm, oTool}, gm, util},  // two levels down: the main script, not the module
      {util, {oHouse, oTool}, house, util},    // only the module open
      {core, {oTool, oGm}, tool, core},        // reached by both: the one preferred
      {lone, {oGm, oTool}, lone, ""},          // reached by none: itself
      {root + "/gm/./modules/house.pwn", {oGm}, gm, root + "/gm/./modules/house.pwn"},
      {"", {oGm}, "", ""},  // untitled
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.active);
    TCompileTarget target = ChooseCompileTarget(row.active, row.scripts);
    EXPECT_EQ(target.Path, row.target);
    EXPECT_EQ(target.Included, row.included);
  }
  EXPECT_EQ(CompileTargetStatus(ChooseCompileTarget(house, {oGm})),
            "Compiling 'gm.pwn' (includes 'house.pwn')...");
  EXPECT_EQ(CompileTargetStatus(ChooseCompileTarget(gm, {})), "Compiling 'gm.pwn'...");
  std::filesystem::remove_all(root);
}
