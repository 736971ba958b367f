#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "appcore/DocComment.h"
#include "appcore/IncludeScanner.h"
#include "platform/Unprivileged.h"

using namespace ludra;

namespace {

std::vector<std::string> Items(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
  return out;
}

}  // namespace

TEST(NativeLine, NamesTextsAndListRowsFollowTheDeclaration) {
  struct Case {
    const char* line;
    const char* completion;
    const char* params;
    const char* hint;
    const char* listName;  // nullptr: not listed
  } cases[] = {
      {"native Beep(freq, ms);", "Beep", "freq, ms", R"("freq,","ms")", "Beep"},
      {"native Float:halve(Float:value);", "halve", "Float:value", R"("Float:value")", "halve"},
      {"native Float: halve(Float:value);", "halve", "Float:value", R"("Float:value")", "halve"},
      {"native FLOAT:File:x();", "File:x", "", R"("/* No parameters expected */")", "File:x"},
      {"native Bool:Float:x();", "Float:x", "", R"("/* No parameters expected */")", "Float:x"},
      {"native File:fopen(const name[]);", "fopen", "const name[]", R"("const name[]")", "fopen"},
      {"native bool: ok(a,b,c)", "ok", "a,b,c", R"("a,","b,","c")", "ok"},
      {"native Text:make(a);", "make", "a", R"("a")", "make"},
      {"native Text: make(a);", "make", "a", R"("a")", "make"},
      {"native PlayerText3D:Attach(id, Float:x = 0.0)", "Attach", "id, Float:x = 0.0",
       R"("id,","Float:x = 0.0")", "Attach"},
      {"native Font(const face[] = \"Arial, Bold\", const f[] = \",\", c = '\\,')", "Font",
       "const face[] = \"Arial, Bold\", const f[] = \",\", c = '\\,'",
       R"("const face[] = ""Arial, Bold"",","const f[] = "","",","c = '\\,'")", "Font"},
      {"native printf(const format[], {Float,_}:...);", "printf", "const format[], {Float,_}:...",
       R"("const format[],","{Float,_}:...")", "printf"},
      {"native m(const a[][] = {{1,2},{3,4}}, b = (1), c[] = \")\")", "m",
       "const a[][] = {{1,2},{3,4}}, b = (1), c[] = \")\"",
       R"x("const a[][] = {{1,2},{3,4}},","b = (1),","c[] = "")""")x", "m"},
      {"native 9x:y();", "9x:y", "", R"("/* No parameters expected */")", "y"},
      {"native g( );", "g", " ", R"("/* No parameters expected */")", "g"},
      {"native operator+(Float:a, b);", "operator+", "Float:a, b", R"("Float:a,","b")", nullptr},
      {"native Float:operator*(Float:a);", "operator*", "Float:a", R"("Float:a")", nullptr},
      // Two blanks: field 2 is empty, the name keeps a leading blank.
      {"native  beep();", " beep", "", R"("/* No parameters expected */")", ""},
      {"  \t native Beep(a);  \t", "Beep", "a", R"("a")", "Beep"},
      {"native foo;", "", "", R"("/* No parameters expected */")", ""},
      {"native f)x(", "f)x", "", R"("/* No parameters expected */")", "f)x"},
      {"native f)", "", "native f", R"("native f")", ""},
      {"native f(,a);", "f", ",a", "", "f"},
      {"native f(a,,b);", "f", "a,,b", R"("a")", "f"},
      {"native f(a, b, c) = 3;", "f", "a, b, c", R"("a,","b,","c")", "f"},
      {"native", "", "", R"("/* No parameters expected */")", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<TNativeDeclaration> d = ParseNativeLine(c.line);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->CompletionName, c.completion);
    EXPECT_EQ(d->ParamText, c.params);
    EXPECT_EQ(d->HintString, c.hint);
    EXPECT_EQ(d->ItemText, std::string("native \\column{}\\style{+B}") + c.completion +
                               "\\style{-B}(" + c.params + ")");
    if (c.listName)
      EXPECT_EQ(d->ListName, std::optional<std::string>(c.listName));
    else
      EXPECT_FALSE(d->ListName);
  }
  EXPECT_EQ(ParseNativeLine("native Float: halve(x);")->RawName, "Float: halve");
}

TEST(NativeLine, OnlyTheExactWordNativeAsFirstFieldCounts) {
  for (const char* line : {"Native beep();", "native\tbeep();", "NATIVE beep();", "natives x();",
                           "// native beep();", "stock native();", "", "   ", "nativ"})
    EXPECT_FALSE(ParseNativeLine(line)) << line;
}

TEST(IncludeFile, RowsHeadingsAndListsOfTwoFiles) {
  TIncludeScan scan;
  AddIncludeFile(scan, "a.inc", "/* a */\nnative A();\n");
  AddIncludeFile(scan, "b.inc",
                 "native B(x, y);\r\nnative operator*(x);\rforward C();\nnative  c();");
  EXPECT_EQ(scan.Rows, (std::vector<std::string>{" ", " // a.inc", " ", "A", " ", " ", " // b.inc",
                                                 " ", "B", ""}));
  EXPECT_EQ(Items(scan.InfoList),
            (std::vector<std::string>{"", "Functions from file: a.inc", "", "[a.inc]  native A();",
                                      "", "", "Functions from file: b.inc", "",
                                      "[b.inc]  native B(x, y);", "[b.inc]  native  c();"}));
  EXPECT_EQ(Items(scan.NameList), (std::vector<std::string>{"A", "B", "operator*", " c"}));
  EXPECT_EQ(Items(scan.InsertList), Items(scan.NameList));
  EXPECT_EQ(Items(scan.ParamList),
            (std::vector<std::string>{R"("/* No parameters expected */")", R"("x,","y")", R"("x")",
                                      R"("/* No parameters expected */")"}));
  ASSERT_EQ(scan.ItemList.Count(), 4);
  EXPECT_EQ(scan.ItemList[1], "native \\column{}\\style{+B}B\\style{-B}(x, y)");
  EXPECT_EQ(scan.FileCount, 2);
}

TEST(IncludeFile, NulBytesLongLinesAndLineEndsDoNotDisturbTheScan) {
  std::string text = "native A(a);\r";
  text += std::string("// \0 nul\0", 9) + "\r\n";
  text += std::string("native \0B(b);\n", 14);  // the NUL is part of the name
  text += std::string(1 << 20, 'x') + "\n";
  text += "native " + std::string(1 << 20, 'y') + "(q);\n";
  text += "\n\r\r\n\nnative C(c)";
  TIncludeScan scan;
  AddIncludeFile(scan, "x.inc", text);
  ASSERT_EQ(scan.NameList.Count(), 4);
  EXPECT_EQ(scan.NameList[0], "A");
  EXPECT_EQ(scan.NameList[1], std::string("\0B", 2));
  EXPECT_EQ(scan.NameList[2].size(), size_t(1) << 20);
  EXPECT_EQ(scan.NameList[3], "C");
  EXPECT_EQ(scan.ParamList[3], R"("c")");
}

TEST(IncludeFile, DocCommentsLongDeclarationsAndOneEntryPerDeclaration) {
  TIncludeScan scan;
  AddIncludeFile(scan, "a.inc",
                 "/// <summary>Creates a text draw.</summary>\n"
                 "/// <param name=\"x\">Left edge &amp; more</param>\n"
                 "native Text:TextDrawCreate(Float:x, Float:y,\r\n"
                 "                           const text[]);\n"
                 "/** Prints a line. */\n"
                 "native print(const s[]);\n"
                 "native print(const s[]);\n"
                 "/// orphan\n\n"
                 "native NoDoc();\n");
  AddIncludeFile(scan, "b.inc",
                 "/// <summary>Another print</summary>\nnative print(const  s[]);\n"
                 "native printf(const f[], {Float,_}:...);\n/** never closed\nnative Last();\n");
  EXPECT_EQ(Items(scan.NameList),
            (std::vector<std::string>{"TextDrawCreate", "print", "NoDoc", "printf", "Last"}));
  EXPECT_EQ(scan.ParamList[0], R"("Float:x,","Float:y,","const text[]")");
  // The function list keeps a row per declaration and file.
  EXPECT_EQ(scan.Rows, (std::vector<std::string>{" ", " // a.inc", " ", "TextDrawCreate", "print",
                                                 "print", "NoDoc", " ", " ", " // b.inc", " ",
                                                 "print", "printf", "Last"}));
  EXPECT_EQ(scan.InfoList[3],
            "[a.inc]  native Text:TextDrawCreate(Float:x, Float:y, const text[]);");
  auto doc = [&scan](int index) {
    return index < 0 ? std::string() : scan.Docs[static_cast<size_t>(index)];
  };
  EXPECT_EQ(DocSummary(doc(scan.NameDocs[0])), "Creates a text draw.");
  EXPECT_EQ(PlainText(ParseDocComment(doc(scan.NameDocs[0])).Param("x")->Text), "Left edge & more");
  EXPECT_EQ(DocSummary(doc(scan.NameDocs[1])), "Prints a line.");
  EXPECT_EQ(DocSummary(doc(scan.RowDocs[11])), "Another print");
  for (int row : {5, 6, 13}) EXPECT_EQ(scan.RowDocs[static_cast<size_t>(row)], -1) << row;
  EXPECT_EQ(scan.NameDocs[4], -1);
}

TEST(InsertCall, NameAndParenthesesGoInAtTheCaret) {
  struct Case {
    const char* line;
    int caret;
    const char* row;
    const char* want;
    int wantCaret;
  } cases[] = {
      {"ab", 3, "Beep", "abBeep()", 8}, {"ab", 1, "Beep", "Beep()ab", 6},
      {"ab", 2, "Beep", "aBeep()b", 7}, {"ab", 10, "Beep", "abBeep()", 15},
      {"", 1, "x", "x()", 3},           {"\tq", 2, "f", "\tf()q", 4},
  };
  for (const Case& c : cases) {
    std::optional<TCallInsertion> r = InsertCall(c.line, c.caret, c.row);
    ASSERT_TRUE(r) << c.line;
    EXPECT_EQ(r->Line, c.want);
    EXPECT_EQ(r->CaretChar, c.wantCaret);
  }
  for (const char* row : {"", " ", " // a.inc"}) EXPECT_FALSE(InsertCall("ab", 1, row)) << row;
}

class IncludeFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-inc-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    chmod(root_.c_str(), 0755);
    folder_ = root_ + "/include";
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
  }
  void Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ + "/" + name, std::ios::binary) << text;
  }
  // The headings of the scan, in order.
  static std::vector<std::string> Headings(const TIncludeScan& scan) {
    std::vector<std::string> out;
    for (const std::string& row : scan.Rows)
      if (row.rfind(" // ", 0) == 0) out.push_back(row.substr(4));
    return out;
  }
  std::string root_, folder_;
};

TEST_F(IncludeFolderTest, MissingFolderGivesAnEmptyScanWithoutErrors) {
  TIncludeScan scan = ScanIncludeFolder(folder_);
  EXPECT_TRUE(scan.Rows.empty());
  EXPECT_EQ(scan.NameList.Count(), 0);
  EXPECT_TRUE(scan.Errors.empty());
  std::ofstream(folder_) << "a file where the folder should be";
  EXPECT_TRUE(ScanIncludeFolder(folder_).Errors.empty());
}

TEST_F(IncludeFolderTest, FilesComeInNameOrderAndOnlyIncFiles) {
  for (const char* name : {"zeta.inc", "alpha.inc", "Mid.inc", "mid.inc", "UPPER.INC", "notes.txt",
                           "alpha.inc.bak", "inc", "a_b.inc"})
    Write(name, std::string("native F_") + name + "();\n");
  TIncludeScan scan = ScanIncludeFolder(folder_);
  EXPECT_EQ(Headings(scan), (std::vector<std::string>{"a_b.inc", "alpha.inc", "Mid.inc", "mid.inc",
                                                      "UPPER.INC", "zeta.inc"}));
  EXPECT_EQ(scan.NameList.Count(), 6);
  EXPECT_EQ(scan.FileCount, 6);
  EXPECT_TRUE(scan.Errors.empty());
}

TEST_F(IncludeFolderTest, FolderNamedIncIsReportedAndSkipped) {
  Write("a.inc", "native A();\n");
  std::filesystem::create_directories(folder_ + "/x.inc");
  Write("b.inc", "native B();\n");
  TIncludeScan scan = ScanIncludeFolder(folder_);
  ASSERT_EQ(scan.Errors.size(), 1u);
  EXPECT_EQ(scan.Errors[0], "Cannot open file \"" + folder_ + "/x.inc\". Is a directory");
  EXPECT_EQ(scan.NameList.Count(), 2);
  EXPECT_EQ(scan.FileCount, 2);
  // The first file that was read opens the list without a leading blank row.
  EXPECT_EQ(scan.Rows[0], " ");
  EXPECT_EQ(scan.Rows[1].substr(0, 4), " // ");
}

TEST_F(IncludeFolderTest, UnreadableFileIsReportedAndTheOthersAreScanned) {
  Write("a.inc", "native A();\n");
  Write("secret.inc", "native S();\n");
  Write("b.inc", "native B();\n");
  chmod((folder_ + "/secret.inc").c_str(), 0);
  std::string folder = folder_;
  EXPECT_TRUE(RunUnprivileged([folder] {
    TIncludeScan scan = ScanIncludeFolder(folder);
    return scan.Errors == std::vector<std::string>{"Cannot open file \"" + folder +
                                                   "/secret.inc\". Permission denied"} &&
           scan.NameList.Count() == 2 && scan.NameList.IndexOf("S") < 0;
  }));
}

TEST_F(IncludeFolderTest, UnlistableFolderIsReported) {
  Write("a.inc", "native A();\n");
  chmod(folder_.c_str(), 0);
  std::string folder = folder_;
  EXPECT_TRUE(RunUnprivileged([folder] {
    TIncludeScan scan = ScanIncludeFolder(folder);
    return scan.Rows.empty() &&
           scan.Errors ==
               std::vector<std::string>{"Cannot read folder \"" + folder + "\". Permission denied"};
  }));
}

TEST_F(IncludeFolderTest, SpecialFilesAreReportedAndSkippedWithoutWaiting) {
  Write("a.inc", "native A();\n");
  // Read, a FIFO without a writer would hold up the start-up for good.
  ASSERT_EQ(mkfifo((folder_ + "/pipe.inc").c_str(), 0600), 0);
  TIncludeScan scan = ScanIncludeFolder(folder_);
  ASSERT_EQ(scan.Errors.size(), 1u);
  EXPECT_EQ(scan.Errors[0], "Cannot open file \"" + folder_ + "/pipe.inc\". Not a regular file");
  EXPECT_EQ(scan.NameList.Count(), 1);
}

TEST_F(IncludeFolderTest, EndlessFilesOfNoStatedSizeAreReportedAndTheOthersKept) {
  Write("a.inc", "native A();\n");
  Write("c.inc", "native C();\n");
  // Stated as empty, it reads on through the whole address space.
  std::filesystem::create_symlink("/proc/self/pagemap", folder_ + "/b.inc");
  TIncludeScan scan = ScanIncludeFolder(folder_);
  ASSERT_EQ(scan.Errors.size(), 1u);
  EXPECT_EQ(scan.Errors[0], "Cannot read file \"" + folder_ + "/b.inc\". File too large");
  EXPECT_EQ(scan.NameList.Count(), 2);
}

TEST_F(IncludeFolderTest, FilesAreReadWholeAtEverySize) {
  // Sizes around the first buffer (the stated size and one byte more) and
  // around the 4096-byte start for files that state no size.
  for (size_t size : {0u, 1u, 2u, 4095u, 4096u, 4097u, 8193u, 100000u}) {
    std::string text(size, 'x');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 23);
    Write("f.inc", text);
    EXPECT_EQ(ReadIncludeFile(folder_ + "/f.inc"), text) << size;
  }
  // A regular file that states a size of 0 yet holds more text than one
  // read gives is read to its end: the stack's mapping comes near the end.
  std::string maps = ReadIncludeFile("/proc/self/smaps");
  EXPECT_GT(maps.size(), 4096u);
  EXPECT_NE(maps.find("[stack]"), std::string::npos);
  EXPECT_EQ(maps.back(), '\n');
}
