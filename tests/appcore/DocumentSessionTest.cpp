#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "appcore/DocumentSession.h"
#include "editor/HeadlessSynEdit.h"
#include "editor/SynEditKeyCmds.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

// Answers in order; every question asked is kept.
struct TScriptedPrompts : TDocumentPrompts {
  std::deque<TModalResult> answers;
  std::deque<std::optional<std::string>> names;
  std::vector<std::string> asked;
  TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons) override {
    asked.push_back(text);
    if (answers.empty()) ADD_FAILURE() << "unexpected question: " << text;
    TModalResult a = answers.empty() ? mrCancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  std::optional<std::string> SaveFileName(const std::string&, const std::string&) override {
    asked.push_back("save dialog");
    std::optional<std::string> n = names.empty() ? std::nullopt : names.front();
    if (!names.empty()) names.pop_front();
    return n;
  }
};

class DocumentSessionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ludra-sessions-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    docs_.OnStatusText = [this](const std::string& text) { status_ = text; };
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name, const std::string& text = "main() {}\n") {
    std::ofstream(dir_ + "/" + name) << text;
    return dir_ + "/" + name;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Type(TDocumentSession& s, const std::string& text) {
    s.Editor().SetCaretPos({1, 1});
    for (char c : text) s.Editor().RunCommand(ecChar, c, nullptr);
  }
  // The open documents' names, the active one starred.
  std::string Names() const {
    std::string out;
    for (int i = 0; i < docs_.Count(); ++i)
      out += (i ? " " : "") + std::string(i == docs_.ActiveIndex() ? "*" : "") +
             docs_.At(i).ShortName();
    return out;
  }

  std::string dir_, status_;
  TScriptedPrompts prompts_;
  TDocumentSessions docs_{[] { return std::make_unique<test::THeadlessSynEdit>(); }, prompts_};
};

}  // namespace

TEST_F(DocumentSessionsTest, OpenSwitchesToAFileAlreadyOpenUnderAnyName) {
  std::string a = File("a.pwn"), b = File("b.pwn");
  fs::create_symlink(dir_, dir_ + "/link");
  EXPECT_EQ(docs_.Title(), "Ludra");
  docs_.SetDefaultCodePage(FindCodePage(1251));
  docs_.Open(a);
  docs_.Open(b).SetCodePage(FindCodePage(1250));
  EXPECT_EQ(docs_.At(0).CodePage().Number(), 1251);  // each document its own page
  EXPECT_EQ(docs_.At(1).CodePage().Number(), 1250);
  EXPECT_EQ(Names(), "a.pwn *b.pwn");
  EXPECT_EQ(docs_.Title(), "b.pwn - Ludra");
  for (const std::string& name : {a, dir_ + "/link/a.pwn", dir_ + "/./a.pwn"}) {
    docs_.Activate(1);
    EXPECT_EQ(&docs_.Open(name), &docs_.At(0)) << name;
    EXPECT_TRUE(docs_.OpenSwitched());
    EXPECT_EQ(Names(), "*a.pwn b.pwn") << name;
  }
  // A file that cannot be read changes nothing.
  EXPECT_ANY_THROW(docs_.Open(dir_ + "/missing.pwn"));
  EXPECT_EQ(Names(), "*a.pwn b.pwn");
  EXPECT_TRUE(prompts_.asked.empty());
}

TEST_F(DocumentSessionsTest, AnUntouchedNewDocumentMakesWayForAnOpenedFile) {
  std::string tpl = File("new.pwn", "// template\n"), a = File("a.pwn"), b = File("b.pwn");
  docs_.New(tpl);
  EXPECT_EQ(docs_.Active()->Editor().Lines().Get(0), "// template");
  EXPECT_EQ(status_, "New file created.");
  docs_.Open(a);
  EXPECT_EQ(Names(), "*a.pwn");
  // A typed-in one stays, and the file opens beside it.
  Type(docs_.New(tpl), "x");
  docs_.Open(b);
  EXPECT_EQ(Names(), "a.pwn Untitled *b.pwn");
  EXPECT_TRUE(docs_.At(1).Modified());
}

TEST_F(DocumentSessionsTest, SaveAsNeverWritesOverAFileAnotherDocumentHolds) {
  std::string a = File("a.pwn", "old a\n"), other = File("other.pwn", "other\n");
  docs_.Open(a);
  TDocumentSession& b = docs_.New("");
  Type(b, "b");
  prompts_.names = {a, other};
  prompts_.answers = {mrOk, mrNo};
  EXPECT_FALSE(docs_.Save(b));  // onto the open a.pwn: one warning
  ASSERT_EQ(prompts_.asked.size(), 2u);
  EXPECT_EQ(prompts_.asked[1],
            "'a.pwn' is open in another tab. Close that tab first, or save under another name.");
  EXPECT_FALSE(docs_.SaveAs(b));  // onto other.pwn: the overwrite question, No
  EXPECT_EQ(prompts_.asked[3], "File exists. Overwrite?");
  EXPECT_EQ(Read(a), "old a\n");
  EXPECT_EQ(Read(other), "other\n");
  EXPECT_TRUE(b.Untitled());
  EXPECT_TRUE(b.Modified());

  prompts_.names = {dir_ + "/b.pwn"};
  EXPECT_TRUE(docs_.Save(b));
  EXPECT_EQ(Read(dir_ + "/b.pwn"), "b\r\n");
  EXPECT_FALSE(b.Modified());
  EXPECT_EQ(docs_.Title(), "b.pwn - Ludra");
  EXPECT_EQ(status_, "File saved as 'b.pwn'.");
  EXPECT_EQ(docs_.Find(dir_ + "/b.pwn"), 1);
}

TEST_F(DocumentSessionsTest, CloseAsksAboutThatDocumentOnly) {
  std::string a = File("a.pwn"), b = File("b.pwn"), c = File("c.pwn");
  for (const std::string& f : {a, b, c}) Type(docs_.Open(f), "x");
  docs_.Activate(0);
  prompts_.answers = {mrCancel, mrNo};
  EXPECT_FALSE(docs_.Close(docs_.At(1)));  // Cancel: it stays, on view
  EXPECT_EQ(Names(), "a.pwn *b.pwn c.pwn");
  EXPECT_TRUE(docs_.Close(docs_.At(1)));  // No: the changes go
  EXPECT_EQ(prompts_.asked, std::vector<std::string>(2, "File modified. Save changes?\n\n" + b));
  EXPECT_EQ(Names(), "a.pwn *c.pwn");  // the one after it
  EXPECT_EQ(status_, "File 'b.pwn' closed.");
  prompts_.answers = {mrYes};
  EXPECT_TRUE(docs_.Close(docs_.At(1)));
  EXPECT_EQ(Read(c), "xmain() {}\n");  // its line ends kept
  EXPECT_EQ(Names(), "*a.pwn");        // the one before it
  prompts_.answers = {mrNo};
  EXPECT_TRUE(docs_.Close(*docs_.Active()));
  EXPECT_EQ(prompts_.asked.back(), "File modified. Save changes?");  // the only one: no name
  EXPECT_EQ(docs_.Active(), nullptr);
  EXPECT_EQ(docs_.Title(), "Ludra");
}

// Exit with a.pwn and c.pwn modified and an untitled document after them
// (modified in the last rows): the answers given, whether the program may
// end, how many questions and dialogs came, and which files were saved.
TEST_F(DocumentSessionsTest, ExitAsksOnceForEachModifiedDocument) {
  struct TRow {
    std::vector<TModalResult> answers;
    bool untitledModified;
    std::optional<std::string> saveName;  // for the untitled one
    bool exits;
    size_t asked;
    bool aSaved, cSaved;
  } rows[] = {
      {{mrNo, mrNo}, false, {}, true, 2, false, false},
      {{mrYes, mrYes}, false, {}, true, 2, true, true},
      {{mrYes, mrCancel}, false, {}, false, 2, true, false},
      {{mrCancel}, false, {}, false, 1, false, false},
      {{mrNo, mrYes, mrYes}, true, std::nullopt, false, 4, false, true},  // Save As cancelled
      {{mrNo, mrNo, mrYes}, true, "u.pwn", true, 4, false, false},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.answers));
    TScriptedPrompts prompts;
    TDocumentSessions docs([] { return std::make_unique<test::THeadlessSynEdit>(); }, prompts);
    std::string a = File("a.pwn"), c = File("c.pwn");
    Type(docs.Open(a), "x");
    Type(docs.Open(c), "x");
    TDocumentSession& u = docs.New("");
    if (row.untitledModified) Type(u, "x");
    docs.Activate(0);
    prompts.answers.assign(row.answers.begin(), row.answers.end());
    prompts.names = {row.saveName ? std::optional(dir_ + "/" + *row.saveName) : std::nullopt};
    EXPECT_EQ(docs.QueryExit(), row.exits);
    EXPECT_EQ(prompts.asked.size(), row.asked);
    EXPECT_EQ(docs.Count(), 3);
    EXPECT_EQ(Read(a)[0] == 'x', row.aSaved);
    EXPECT_EQ(Read(c)[0] == 'x', row.cSaved);
    EXPECT_EQ(fs::exists(dir_ + "/u.pwn"), row.exits && row.untitledModified);
  }
}

// Another program changes or removes an open document's file.
TEST_F(DocumentSessionsTest, FilesChangedOnDiskAreReloadedOrAskedAbout) {
  std::string a = File("a.pwn", "one\ntwo\nthree\n"), b = File("b.pwn", "b\n");
  TDocumentSession& sa = docs_.Open(a);
  TDocumentSession& sb = docs_.Open(b);
  sa.Editor().SetCaretPos({1, 3});
  EXPECT_FALSE(docs_.CheckDisk(sa));
  File("a.pwn", "one\nTWO\n");  // unmodified: read again, the caret kept in the text
  EXPECT_TRUE(docs_.CheckDisk(sa));
  EXPECT_EQ(sa.Editor().Lines().Get(1), "TWO");
  EXPECT_EQ(sa.CaretLine(), 2);
  EXPECT_EQ(status_, "File 'a.pwn' was changed by another program and has been reloaded.");

  Type(sa, "x");  // modified: asked; No keeps the text and asks no more for this change
  File("a.pwn", "changed again\n");
  prompts_.answers = {mrNo, mrYes};
  EXPECT_TRUE(docs_.CheckDisk(sa));
  EXPECT_FALSE(docs_.CheckDisk(sa));
  EXPECT_EQ(sa.Editor().Lines().Get(0), "xone");
  File("a.pwn", "third time\n");
  EXPECT_TRUE(docs_.CheckDisk(sa));  // Yes: read again
  EXPECT_EQ(prompts_.asked,
            std::vector<std::string>(
                2, "'a.pwn' was changed by another program. Reload it and lose your changes?"));
  EXPECT_EQ(sa.Editor().Lines().Get(0), "third time");
  EXPECT_FALSE(sa.Modified());

  fs::rename(b, dir_ + "/renamed.pwn");  // gone: the text stays, to be saved again
  EXPECT_TRUE(docs_.CheckDisk(sb));
  EXPECT_TRUE(sb.Modified());
  EXPECT_EQ(status_, "File 'b.pwn' is no longer on disk; Save writes it again.");
  EXPECT_FALSE(docs_.CheckDisk(sb));
  EXPECT_TRUE(docs_.Save(sb));
  EXPECT_EQ(Read(b), "b\n");
  EXPECT_FALSE(docs_.CheckDisk(sb));
}
