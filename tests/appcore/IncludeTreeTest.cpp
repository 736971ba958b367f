#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "appcore/IncludeTree.h"
#include "platform/Unprivileged.h"

using namespace ludra;

class IncludeTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-tree-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    chmod(root_.c_str(), 0755);
    for (const char* folder : {"script/lib", "include/sub", "include2", "lib"})
      std::filesystem::create_directories(root_ + "/" + folder);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(root_ + "/include", std::filesystem::perms::all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_);
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(root_ + "/" + name, std::ios::binary) << text;
  }
  TIncludePaths Paths() const {
    return {root_ + "/script", {root_ + "/include", root_ + "/include2"}};
  }
  // The walk of a script with these directives, the include folder's own
  // files listed first.
  TIncludeTree::TWalk Walk(TIncludeTree& tree, const std::vector<TIncludeDirective>& script,
                           const std::vector<std::string>& listed = {}) {
    std::vector<std::string> paths;
    for (const std::string& name : listed) paths.push_back(root_ + "/include/" + name);
    return tree.Walk(paths, &script, Paths());
  }
  static std::vector<std::string> Headings(const TIncludeTree::TWalk& walk) {
    std::vector<std::string> out;
    for (const auto& f : walk.Files) out.push_back(f->Heading + (f->Listed ? "*" : ""));
    return out;
  }
  static std::string FirstName(const TIncludeTree::TFilePtr& file) {
    return file->Declarations.Entries.empty() ? "" : file->Declarations.Entries[0].Name;
  }
  std::string root_;
};

// Include name in, file chosen out: where the compiler looks, in its order.
TEST_F(IncludeTreeTest, NamesResolveWhereTheCompilerLooks) {
  // Each file declares where it lies.
  const std::map<std::string, std::string> files = {{"script/q.inc", "Script"},
                                                    {"lib/q.inc", "Includer"},
                                                    {"include/q.inc", "Include"},
                                                    {"include2/q.inc", "Include2"},
                                                    {"lib/only.inc", "IncluderOnly"},
                                                    {"include2/two.inc", "Second"},
                                                    {"include/game.core.inc", "Dots"},
                                                    {"include/sub/deep.inc", "Deep"},
                                                    {"include/x.p", "P"},
                                                    {"include/y.pawn", "Pawn"},
                                                    {"include/z", "Bare"},
                                                    {"include/z.inc", "NotBare"},
                                                    {"script/lib/m.pwn", "Module"},
                                                    {"include/dir.inc/a.inc", "InFolder"},
                                                    {"include/dir.inc.inc", "FolderPassedOver"}};
  for (const auto& [path, name] : files) {
    std::filesystem::create_directories(std::filesystem::path(root_ + "/" + path).parent_path());
    Write(path, "native " + name + "();\n");
  }
  struct Case {
    const char* directive;
    const char* declared;  // the first native of the file chosen; "" for none
  } cases[] = {
      {"#include \"q\"", "Script"},           // the folder the compiler runs in first
      {"#include q", "Script"},               // a bare name as a quoted one
      {"#include <q>", "Include"},            // <> only in the include folders
      {"#include \"only\"", "IncluderOnly"},  // then the including file's folder
      {"#include <only>", ""},
      {"#include <two>", "Second"},  // the include folders in order
      {"#include <game.core>", "Dots"},
      {"#include <sub\\deep>", "Deep"},
      {"#include <sub/deep.inc>", "Deep"},
      {"#include <x>", "P"},
      {"#include <y>", "Pawn"},
      {"#include <z>", "Bare"},  // as written before any extension
      {"#include \"lib\\m.pwn\"", "Module"},
      {"#include <dir.inc>", "FolderPassedOver"},
      {"#include \"../lib/only\"", "IncluderOnly"},
  };
  // The including file lies in lib/.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directive);
    Write("lib/includer.inc", std::string(c.directive) + "\n");
    TIncludeTree tree;
    TIncludeTree::TWalk walk = Walk(tree, {{root_ + "/lib/includer", false, false, 1}});
    ASSERT_FALSE(walk.Files.empty());
    std::string got = walk.Files.size() > 1 ? FirstName(walk.Files[1]) : "";
    EXPECT_EQ(got, c.declared);
    EXPECT_EQ(walk.Errors.empty(), *c.declared != 0);
  }
  // An absolute name is tried as it is, and in no include folder.
  EXPECT_EQ(IncludeCandidates({"/abs/x", false, false, 0}, root_ + "/lib/a.inc", Paths()),
            (std::vector<std::string>{"/abs/x"}));
  EXPECT_EQ(IncludeCandidates({"/abs/x", true, false, 0}, "", Paths()), std::vector<std::string>{});
}

TEST_F(IncludeTreeTest, WalksOnceThroughCyclesAndReportsWhatItCannotRead) {
  Write("script/a.inc", "#include \"b\"\n#include <std>\nnative A(x);\n");
  Write("script/b.inc",
        "#include \"a\"\n#include \"missing\"\n#tryinclude \"gone\"\n#tryinclude <sub>\n"
        "#include \"pipe\"\n/*\n#include <nope>\n*/\n#if 0\n#include <nope2>\n#endif\n"
        "native B();\n");
  Write("include/std.inc", "#include <sub/deep>\nnative print(const s[]);\n");
  Write("include/sub/deep.inc", "#include <std>\nnative Deep();\n");
  ASSERT_EQ(mkfifo((root_ + "/script/pipe.inc").c_str(), 0600), 0);

  TIncludeTree tree;
  TIncludeTree::TWalk walk = Walk(tree, {{"a", false, false, 1}}, {"std.inc"});
  EXPECT_EQ(Headings(walk),
            (std::vector<std::string>{"std.inc*", "a.inc", "b.inc", "sub/deep.inc"}));
  // #tryinclude is silent for a missing file and for a folder.
  EXPECT_EQ(walk.Errors, (std::vector<std::string>{"Include file \"missing\" not found",
                                                   "Cannot open file \"" + root_ +
                                                       "/script/pipe.inc\". Not a regular file"}));
  EXPECT_TRUE(walk.Changed);

  // Nothing changed: nothing is read again.
  int reads = 0;
  tree.OnRead = [&](const std::string&) { ++reads; };
  TIncludeTree::TWalk again = Walk(tree, {{"a", false, false, 1}}, {"std.inc"});
  EXPECT_FALSE(again.Changed);
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(again.Files[1], walk.Files[1]);

  // A file rewritten with the same size is read again: its time changed.
  Write("script/b.inc", "native C();\n");
  timeval times[2] = {{1, 0}, {1, 0}};
  ASSERT_EQ(utimes((root_ + "/script/b.inc").c_str(), times), 0);
  Walk(tree, {{"a", false, false, 1}}, {"std.inc"});
  reads = 0;
  Write("script/b.inc", "native D();\n");
  again = Walk(tree, {{"a", false, false, 1}}, {"std.inc"});
  EXPECT_EQ(reads, 1);
  EXPECT_TRUE(again.Changed);
  EXPECT_EQ(FirstName(again.Files[2]), "D");
  EXPECT_TRUE(again.Errors.empty());
}

TEST_F(IncludeTreeTest, ListedFilesComeFirstAndUnreadableOnesAreNamed) {
  Write("include/a.inc", "native A();\n");
  Write("include/secret.inc", "native S();\n");
  std::filesystem::create_directories(root_ + "/include/x.inc");
  std::filesystem::create_symlink("/proc/self/pagemap", root_ + "/include/b.inc");
  chmod((root_ + "/include/secret.inc").c_str(), 0);
  std::vector<std::string> errors;
  std::vector<std::string> names = ListIncludeFiles(root_ + "/include", errors);
  EXPECT_EQ(names, (std::vector<std::string>{"a.inc", "b.inc", "secret.inc", "x.inc"}));
  TIncludeTree tree;
  std::vector<std::string> paths;
  for (const char* name : {"a.inc", "b.inc", "x.inc"})
    paths.push_back(root_ + "/include/" + name);
  // Nothing is followed without a script.
  TIncludeTree::TWalk walk = tree.Walk(paths, nullptr, {});
  EXPECT_EQ(walk.Files.size(), 1u);
  EXPECT_EQ(walk.ListErrors,
            (std::vector<std::string>{
                "Cannot read file \"" + root_ + "/include/b.inc\". File too large",
                "Cannot open file \"" + root_ + "/include/x.inc\". Is a directory"}));
  std::string root = root_;
  EXPECT_TRUE(RunUnprivileged([root] {
    TIncludeTree tree;
    TIncludeTree::TWalk walk = tree.Walk({root + "/include/secret.inc"}, nullptr, {});
    return walk.Files.empty() &&
           walk.ListErrors == std::vector<std::string>{"Cannot open file \"" + root +
                                                       "/include/secret.inc\". Permission denied"};
  }));
  chmod((root_ + "/include").c_str(), 0);
  EXPECT_TRUE(RunUnprivileged([root] {
    std::vector<std::string> errors;
    return ListIncludeFiles(root + "/include", errors).empty() &&
           errors == std::vector<std::string>{"Cannot read folder \"" + root +
                                              "/include\". Permission denied"};
  }));
}

TEST_F(IncludeTreeTest, FilesChangingDuringAWalkAreReadAgainAtTheNext) {
  // big is included directly and through wrap; a and b include each other.
  Write("script/wrap.inc", "#include \"big\"\nnative Wrap();\n");
  Write("script/b.inc", "#include \"a\"\nnative B();\n");
  std::map<std::string, std::string> onDisk;  // the native each file declares now
  int generation = 0;
  auto rewrite = [&](const std::string& name) {
    onDisk[name] = name.substr(0, name.size() - 4) + std::to_string(++generation);
    Write("script/" + name, "#include \"b\"\nnative " + onDisk[name] + "(x);\n");
  };
  rewrite("big.inc");
  rewrite("a.inc");
  TIncludeTree tree;
  // Every file read changes at once, so a second look in the same walk
  // would find it changed.
  tree.OnRead = [&](const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    if (onDisk.count(name)) rewrite(name);
  };
  for (int round = 0; round < 3; ++round) {
    const std::map<std::string, std::string> before = onDisk;
    TIncludeTree::TWalk walk =
        Walk(tree, {{"big", false, false, 1}, {"wrap", false, false, 2}, {"a", false, false, 3}});
    EXPECT_EQ(Headings(walk), (std::vector<std::string>{"big.inc", "b.inc", "a.inc", "wrap.inc"}));
    EXPECT_EQ(FirstName(walk.Files[0]), before.at("big.inc"));
    EXPECT_EQ(FirstName(walk.Files[2]), before.at("a.inc"));
  }
  // A file above the size limit is skipped with a note, its includes too.
  tree.OnRead = nullptr;
  std::filesystem::resize_file(root_ + "/script/big.inc", TIncludeTree::kMaxFileBytes + 1);
  TIncludeTree::TWalk walk = Walk(tree, {{"big", false, false, 1}});
  EXPECT_TRUE(walk.Files.empty());
  EXPECT_EQ(walk.Errors, (std::vector<std::string>{"Include file \"" + root_ +
                                                   "/script/big.inc\" skipped: it is larger "
                                                   "than 16 MB"}));
}
