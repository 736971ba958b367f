#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "appcore/IncludeTree.h"

using namespace ludra;

TEST(IncludeDirective, FormsTheCompilerReads) {
  struct Case {
    const char* line;
    const char* name;  // nullptr: no directive
    bool angle, tried;
  } cases[] = {
      {"#include <core>", "core", true, false},
      {"  #  include \"lib/x.inc\" // why", "lib/x.inc", false, false},
      {"\t#tryinclude <opt>", "opt", true, true},
      {"#include bare // c", "bare", false, false},
      {"#includes <x>", nullptr, false, false},
      {"// #include <x>", nullptr, false, false},
      {"#include \"open", nullptr, false, false},
      {"#include", nullptr, false, false},
      {"#define include <x>", nullptr, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<TIncludeDirective> d = IncludeDirective(c.line);
    ASSERT_EQ(d.has_value(), c.name != nullptr);
    if (!d) continue;
    EXPECT_EQ(d->Name, c.name);
    EXPECT_EQ(d->Angle, c.angle);
    EXPECT_EQ(d->Try, c.tried);
  }
}

class IncludeTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-tree-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/script");
    std::filesystem::create_directories(root_ + "/include/sub");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(root_ + "/" + name, std::ios::binary) << text;
  }
  TIncludeTree::TWalk Walk(TIncludeTree& tree) {
    return tree.Walk({{"a", false, false}, {"gone", true, true}}, root_ + "/script",
                     root_ + "/include");
  }
  static std::vector<std::string> Headings(const TIncludeTree::TWalk& walk) {
    std::vector<std::string> out;
    for (const auto& f : walk.Files) out.push_back(f->Heading + (f->Listed ? "*" : ""));
    return out;
  }
  std::string root_;
};

TEST_F(IncludeTreeTest, WalksOnceThroughCyclesAndReportsWhatItCannotRead) {
  // The script's folder comes before the include folder.
  Write("script/a.inc", "#include \"b\"\n#include <std>\nnative A(x);\n");
  Write("include/a.inc", "native WrongA();\n");
  Write("script/b.inc",
        "#include \"a\"\n#include \"missing\"\n#include \"pipe\"\n"
        "/// <summary>Helps.</summary>\nstock Helper(a, b = 2)\n{\n}\nnative print(const s[]);\n");
  Write("include/std.inc", "#include <sub/deep>\nnative print(const s[]);\n");
  Write("include/sub/deep.inc", "#include <std>\nnative Deep();\n");
  ASSERT_EQ(mkfifo((root_ + "/script/pipe.inc").c_str(), 0600), 0);

  TIncludeTree tree;
  TIncludeTree::TWalk walk = Walk(tree);
  EXPECT_EQ(Headings(walk),
            (std::vector<std::string>{"a.inc", "b.inc", "std.inc*", "sub/deep.inc"}));
  EXPECT_EQ(walk.Errors, (std::vector<std::string>{"Include file \"missing\" not found",
                                                   "Cannot open file \"" + root_ +
                                                       "/script/pipe.inc\". Not a regular file"}));
  EXPECT_TRUE(walk.Changed);

  // The start-up scan knows print already; std.inc is listed there.
  TIncludeScan known;
  AddIncludeFile(known, "std.inc", "native print(const s[]);\n");
  TIncludeScan lists = CombineTree(walk, &known.EntryKeys);
  std::vector<std::string> names;
  for (int k = 0; k < lists.NameList.Count(); ++k) names.push_back(lists.NameList.Get(k));
  EXPECT_EQ(names, (std::vector<std::string>{"A", "Helper", "Deep"}));
  EXPECT_EQ(lists.ParamList.Get(1), R"("a,","b = 2")");
  EXPECT_EQ(lists.ItemList.Get(1), "stock \\column{}\\style{+B}Helper\\style{-B}(a, b = 2)");
  EXPECT_EQ(DocSummary(lists.Docs[static_cast<size_t>(lists.NameDocs[1])]), "Helps.");
  EXPECT_EQ(lists.Rows, (std::vector<std::string>{" ", " // a.inc", " ", "A", " ", " ", " // b.inc",
                                                  " ", "print", "Helper", " ", " ",
                                                  " // sub/deep.inc", " ", "Deep"}));
  EXPECT_EQ(lists.InfoList.Get(9), "[b.inc]  stock Helper(a, b = 2)");

  // Nothing changed: nothing is read again.
  TIncludeTree::TWalk again = Walk(tree);
  EXPECT_FALSE(again.Changed);
  EXPECT_EQ(again.Files[0], walk.Files[0]);

  // A file that changes size is read again.
  Write("script/b.inc", "native B2();\n");
  again = Walk(tree);
  EXPECT_TRUE(again.Changed);
  EXPECT_EQ(Headings(again),
            (std::vector<std::string>{"a.inc", "b.inc", "std.inc*", "sub/deep.inc"}));
  EXPECT_TRUE(again.Errors.empty());
  EXPECT_EQ(again.Files[1]->Scan.NameList.Get(0), "B2");
}

TEST_F(IncludeTreeTest, BinaryAndUntitledScripts) {
  // Bytes of every value, and no script folder: only the include folder.
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 37 % 256);
  Write("include/bin.inc", binary + "\nnative AfterBinary();\n");
  Write("script/bin.inc", "native NotSeen();\n");
  TIncludeTree tree;
  TIncludeTree::TWalk walk = tree.Walk({{"bin", true, false}}, "", root_ + "/include");
  ASSERT_EQ(walk.Files.size(), 1u);
  EXPECT_GE(walk.Files[0]->Scan.NameList.IndexOf("AfterBinary"), 0);
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
        tree.Walk({{"big", false, false}, {"wrap", false, false}, {"a", false, false}},
                  root_ + "/script", root_ + "/include");
    EXPECT_EQ(Headings(walk), (std::vector<std::string>{"big.inc", "b.inc", "a.inc", "wrap.inc"}));
    EXPECT_EQ(walk.Files[0]->Scan.NameList.Get(0), before.at("big.inc"));
    EXPECT_EQ(walk.Files[2]->Scan.NameList.Get(0), before.at("a.inc"));
    EXPECT_EQ(CombineTree(walk, nullptr).FileCount, 4);
  }
  // A file above the size limit is skipped with a note, its includes too.
  tree.OnRead = nullptr;
  std::filesystem::resize_file(root_ + "/script/big.inc", TIncludeTree::kMaxFileBytes + 1);
  TIncludeTree::TWalk walk = tree.Walk({{"big", false, false}}, root_ + "/script", "");
  EXPECT_TRUE(walk.Files.empty());
  EXPECT_EQ(walk.Errors, (std::vector<std::string>{"Include file \"" + root_ +
                                                   "/script/big.inc\" skipped: it is larger "
                                                   "than 16 MB"}));
}
