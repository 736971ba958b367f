#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QKeyEvent>
#include <QScrollBar>
#include <QThread>
#include <cerrno>

#include "app/CompileTestSupport.h"
#include "app/unitOutput.h"
#include "qt/SynCompilerProcess.h"

using namespace ludra;
using namespace ludra::test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What one compile in the output window showed and reported.
struct Outcome {
  std::vector<std::string> statuses;
  std::vector<std::string> errors;
  std::string text;         // the output window's text once the compile ended
  bool stayedOpen = false;  // the window was still open after the compile
};

class CompileOutputTest : public QtAppFixture {
 protected:
  TCompileJob Job(const std::string& fileName) {
    TCompileJob job;
    job.ProgramDir = programDir;
    job.FileName = fileName;
    return job;
  }

  // The status texts and the error the main window shows for the result.
  void Record(const TCompileJob& job, const TfmOutput& fm) {
    outcome.statuses = {CompileStartStatus(job), CompileEndStatus(job, fm.Result())};
    if (!fm.Result().Error.empty()) outcome.errors.push_back(fm.Result().Error);
  }

  // Compiles in an output window and closes it once the compile has ended.
  Outcome& Compile(const TCompileJob& job) {
    TfmOutput fm(nullptr, job);
    DriveModal([&] { fm.exec(); },
               [&](QWidget* modal) {
                 if (modal != &fm || !fm.CompileDone()) return;
                 outcome.text = fm.moOutput->toPlainText().toStdString();
                 outcome.stayedOpen = fm.isVisible();
                 fm.close();
               });
    Record(job, fm);
    return outcome;
  }

  TempDir tmp;
  std::string programDir = tmp / "program dir";
  std::string scriptDir = tmp / "my scripts";
  std::string script = scriptDir + "/a b.pwn";
  Outcome outcome;

  void SetUp() override {
    QtAppFixture::SetUp();
    WriteFile(script, "main() {}\n");
  }
};

TEST_F(CompileOutputTest, CompilerRunsInTheScriptFolderWithTheFixedArgumentsAndItsLibraryPath) {
  InstallCompiler(programDir, kCompilerSucceeds);
  Compile(Job(script));
  std::vector<std::string> log = Lines(ReadFile(programDir + "/compiler.log"));
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[0], scriptDir);
  EXPECT_EQ(log[1], "3");  // blanks in the paths split nothing
  EXPECT_EQ(log[2], "-;+");
  EXPECT_EQ(log[3], "-(+");
  EXPECT_EQ(log[4], script);
  EXPECT_TRUE(log[5] == programDir || log[5].rfind(programDir + ":", 0) == 0) << log[5];
  EXPECT_EQ(outcome.text, "Pawn compiler\n1 Warning.\n");
  EXPECT_TRUE(outcome.stayedOpen);
  EXPECT_TRUE(outcome.errors.empty());
}

TEST_F(CompileOutputTest, StatusFollowsOnlyTheExistenceOfTheCompiledFile) {
  struct Case {
    const char* name;
    const char* compiler;
    bool staleAmx;  // a compiled file left from an earlier compile
    const char* text;
    const char* finalStatus;
  } cases[] = {
      {"success", kCompilerSucceeds, false, "Pawn compiler\n1 Warning.\n",
       "File 'a b.pwn' has been compiled to 'a b.amx'."},
      {"errors", kCompilerFails, false, "a.pwn(3) : error 017: undefined symbol \"x\"\n",
       "Unable to compile 'a b.pwn'."},
      {"errors, stale file", kCompilerFails, true, "a.pwn(3) : error 017: undefined symbol \"x\"\n",
       "File 'a b.pwn' has been compiled to 'a b.amx'."},
      {"silent success", ": > \"$AMX\"\n", false, "",
       "File 'a b.pwn' has been compiled to 'a b.amx'."},
      {"silent failure, exit 0", "exit 0\n", false, "", "Unable to compile 'a b.pwn'."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(scriptDir + "/a b.amx");
    if (c.staleAmx) WriteFile(scriptDir + "/a b.amx", "old");
    InstallCompiler(programDir, c.compiler);
    outcome = {};
    Compile(Job(script));
    EXPECT_EQ(outcome.text, c.text);
    ASSERT_EQ(outcome.statuses.size(), 2u);
    EXPECT_EQ(outcome.statuses[0], "Compiling 'a b.pwn'...");
    EXPECT_EQ(outcome.statuses[1], c.finalStatus);
    EXPECT_TRUE(outcome.errors.empty());
    EXPECT_TRUE(outcome.stayedOpen);
  }
}

TEST_F(CompileOutputTest, NulBytesAreDroppedAndTheTextAfterThemKept) {
  // More than one read's worth after the NUL, in several writes.
  InstallCompiler(programDir,
                  "printf 'before\\000after\\n'\n"
                  "i=0; while [ $i -lt 300 ]; do printf 'x'; i=$((i+1)); done\n"
                  "printf '\\000\\000end\\n' >&2\n");
  Compile(Job(script));
  EXPECT_EQ(outcome.text, "beforeafter\n" + std::string(300, 'x') + "end\n");
}

TEST_F(CompileOutputTest, ACompilerThatCannotStartIsReportedAndTheWindowStaysEmpty) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
  } cases[] = {
      {"missing", [] {}},
      {"not executable",
       [&] {
         WriteFile(programDir + "/pawncc", "#!/bin/sh\nfor last; do :; done\n: > \"${last%.*}.amx\"\n");
         chmod((programDir + "/pawncc").c_str(), 0644);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(programDir);
    std::filesystem::create_directories(programDir);
    c.prepare();
    outcome = {};
    Compile(Job(script));
    EXPECT_EQ(outcome.text, "");
    EXPECT_EQ(outcome.errors, std::vector<std::string>{"Unable to execute compiler..."});
    EXPECT_EQ(outcome.statuses.back(), "Unable to compile 'a b.pwn'.");
    EXPECT_FALSE(Exists(scriptDir + "/a b.amx"));
  }
}

TEST_F(CompileOutputTest, ARelativeScriptPathIsCompiledInItsOwnFolder) {
  InstallCompiler(programDir, kCompilerSucceeds);
  std::string cwd = std::filesystem::current_path();
  ASSERT_EQ(chdir(tmp.Path().c_str()), 0);
  Compile(Job("my scripts/a b.pwn"));
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  std::vector<std::string> log = Lines(ReadFile(programDir + "/compiler.log"));
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], scriptDir);
  EXPECT_EQ(log[4], script);
  EXPECT_EQ(outcome.statuses.back(), "File 'a b.pwn' has been compiled to 'a b.amx'.");
}

TEST_F(CompileOutputTest, WhileTheCompilerRunsTheWindowIsBusyAndACloseWaitsForTheCompileStep) {
  // The compiler waits until the test lets it go, so the test acts while it runs.
  InstallCompiler(programDir,
                  "printf 'working\\n'\n"
                  "while [ ! -e \"$(dirname \"$0\")/release\" ]; do sleep 0.01; done\n"
                  ": > \"$AMX\"\n");
  TfmOutput fm(nullptr, Job(script));
  bool sawBusy = false, openAfterCloseRequests = false, closedByItself = true;
  std::string busyText;
  DriveModal([&] { fm.exec(); },
             [&](QWidget* modal) {
               if (modal != &fm) return;
               if (fm.Busy() && !sawBusy) {
                 sawBusy = true;
                 busyText = fm.moOutput->toPlainText().toStdString();
                 QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                 QApplication::sendEvent(fm.moOutput, &escape);
                 fm.close();  // the close box
                 openAfterCloseRequests = fm.isVisible() && fm.Busy();
                 WriteFile(programDir + "/release", "");
               } else if (fm.CompileDone() && !sawBusy) {
                 closedByItself = false;  // never seen busy: end the test
                 fm.done(0);
               }
             });
  EXPECT_TRUE(sawBusy);
  EXPECT_EQ(busyText, "Compiling 'a b.pwn'...");
  EXPECT_TRUE(openAfterCloseRequests);
  EXPECT_TRUE(closedByItself);
  EXPECT_FALSE(fm.isVisible());
  // The compile step still finished: its text and status.
  EXPECT_EQ(fm.moOutput->toPlainText(), "working\n");
  Record(Job(script), fm);
  EXPECT_EQ(outcome.statuses.back(), "File 'a b.pwn' has been compiled to 'a b.amx'.");
}

// A compiler that never ends on its own: it records its process id (the
// shell execs, so the id stays the compiler's) and sleeps. The id file
// appears whole, by a rename: a compiler stopped between creating the file
// and writing it would leave it empty.
const char* kCompilerHangs =
    "printf 'hanging\\n'\n"
    "echo $$ > \"$(dirname \"$0\")/compiler.pid.new\"\n"
    "mv \"$(dirname \"$0\")/compiler.pid.new\" \"$(dirname \"$0\")/compiler.pid\"\n"
    ": > \"$AMX\"\n"
    "exec sleep 1000\n";

bool ProcessGone(const std::string& pidFile) {
  pid_t pid = static_cast<pid_t>(std::atoi(ReadFile(pidFile).c_str()));
  return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH;
}

TEST_F(CompileOutputTest, ClosingWhileACompilerHangsAsksAndYesEndsItNoKeepsIt) {
  struct Case {
    const char* name;
    bool answer;
    bool viaEscape;
  } cases[] = {
      {"Escape, Yes", true, true}, {"close box, Yes", true, false}, {"Escape, No", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallCompiler(programDir, kCompilerHangs);
    std::filesystem::remove(programDir + "/compiler.pid");
    outcome = {};
    std::vector<std::string> questions;
    TCompileJob job = Job(script);
    TfmOutput fm(nullptr, job);
    fm.Confirm = [&](const std::string& q) {
      questions.push_back(q);
      return c.answer;
    };
    bool asked = false, openAfterNo = false;
    DriveModal([&] { fm.exec(); },
               [&](QWidget* modal) {
                 if (modal != &fm) return;
                 if (fm.CompileDone()) {
                   if (!c.answer) fm.done(0);  // after a Yes the window closes by itself
                   return;
                 }
                 if (!fm.Busy() || !Exists(programDir + "/compiler.pid")) return;
                 if (!asked) {
                   asked = true;
                   if (c.viaEscape) {
                     QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                     QApplication::sendEvent(fm.moOutput, &escape);
                   } else {
                     fm.close();
                   }
                   if (c.answer) return;
                   openAfterNo = fm.isVisible() && fm.Busy();
                 }
                 fm.StopCompiler();  // ends the test's compile after a No
               });
    EXPECT_EQ(questions, std::vector<std::string>{"Stop the compiler?"});
    EXPECT_TRUE(ProcessGone(programDir + "/compiler.pid"));
    EXPECT_FALSE(fm.isVisible());
    if (!c.answer) {
      EXPECT_TRUE(openAfterNo);
    }
    // The output so far is shown; a stopped compile never counts as compiled,
    // even with a compiled file lying there.
    EXPECT_EQ(fm.moOutput->toPlainText(), "hanging\n");
    Record(job, fm);
    EXPECT_EQ(outcome.statuses.back(), "Unable to compile 'a b.pwn'.");
  }
}

TEST_F(CompileOutputTest, AFloodOfOutputKeepsOnlyItsLastEightMegabytesAndSaysSo) {
  // 9 MB of numbered lines, then a last line.
  InstallCompiler(programDir,
                  "seq 1 1100000 | sed 's/$/ flood line of the compiler/' | head -c 9437184\n"
                  "printf '\\nlast line\\n'\n");
  Compile(Job(script));
  const std::string notice = kOutputCutNotice;
  ASSERT_EQ(outcome.text.compare(0, notice.size() + 1, notice + "\n"), 0);
  std::string kept = outcome.text.substr(notice.size() + 1);
  EXPECT_LE(kept.size(), kMaxProcessOutput);
  EXPECT_GT(kept.size(), kMaxProcessOutput - 100);
  EXPECT_TRUE(kept.ends_with("flood line of the compiler\n\nlast line\n") ||
              kept.ends_with("\nlast line\n"));
  // It starts at a whole line.
  std::string first = kept.substr(0, kept.find('\n'));
  EXPECT_TRUE(first.ends_with(" flood line of the compiler")) << first;
  EXPECT_NE(first[0], ' ');
}

TEST_F(CompileOutputTest, CollectingKeepsTheEndOfALongOutputAndCanBeStopped) {
  WriteScript(tmp / "flood", "seq 1 200000\n");
  TSynProcessRun run;
  run.Program = tmp / "flood";
  auto all = RunCollectingOutput(run, nullptr, 1000);
  ASSERT_TRUE(all);
  EXPECT_TRUE(all->Cut);
  EXPECT_FALSE(all->Stopped);
  EXPECT_LE(all->Text.size(), 1000u);
  // Whole lines, the last ones.
  std::string expected;
  for (int i = std::atoi(all->Text.c_str()); i <= 200000; ++i) expected += std::to_string(i) + "\n";
  EXPECT_EQ(all->Text, expected);
  EXPECT_GT(all->Text.size(), 990u);

  auto small = RunCollectingOutput(run, nullptr, 2'000'000);
  ASSERT_TRUE(small);
  EXPECT_FALSE(small->Cut);
  EXPECT_TRUE(small->Text.starts_with("1\n2\n3\n"));

  // A compiler printing forever ends only when stopped.
  WriteScript(tmp / "forever", "exec yes 'more output'\n");
  run.Program = tmp / "forever";
  TSynProcessControl control;
  QTimer::singleShot(300, [&] { control.Stop(); });
  auto stopped = RunCollectingOutput(run, &control, 4096);
  ASSERT_TRUE(stopped);
  EXPECT_TRUE(stopped->Stopped);
  EXPECT_TRUE(stopped->Cut);
  EXPECT_LE(stopped->Text.size(), 4096u);
  EXPECT_FALSE(control.Running());
}

TEST_F(CompileOutputTest, WhatTheCompilersChildrenWriteAfterItEndedIsKept) {
  // The first child writes after the compiler is gone; the second keeps
  // the pipe open without writing, and is waited for only a short while.
  TSynProcessRun run;
  run.Program = tmp / "late";
  WriteScript(tmp / "late", "echo cc\necho error >&2\n(sleep 0.3; echo late) &\nsleep 5 &\n");
  auto late = RunCollectingOutput(run);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->Text, "cc\nerror\nlate\n");
}

TEST_F(CompileOutputTest, EscapeClosesTheWindowOnceTheCompileHasEnded) {
  InstallCompiler(programDir, kCompilerSucceeds);
  TfmOutput fm(nullptr, Job(script));
  bool sent = false;
  int result = -1;
  DriveModal([&] { result = fm.exec(); },
             [&](QWidget* modal) {
               if (modal != &fm || !fm.CompileDone() || sent) return;
               sent = true;
               QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
               QApplication::sendEvent(fm.moOutput, &escape);
             });
  EXPECT_TRUE(sent);
  EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(CompileOutputTest, CompileRunCopiesTheCompiledFileAndLaunchesTheProgramInItsFolder) {
  InstallCompiler(programDir, kCompilerSucceeds + std::string("printf 'new' > \"$AMX\"\n"));
  std::string copyDir = tmp / "copy dir/";
  WriteFile(copyDir + "a b.amx", "old");  // replaced
  std::string runDir = tmp / "run dir";
  WriteScript(
      runDir + "/server",
      "printf '%s\\n' \"$PWD\" \"$#\" \"$@\" > launched.tmp && mv launched.tmp launched.log\n");
  TCompileJob job = Job(script);
  job.RunAfterCompile = true;
  job.CopyDir = copyDir;
  job.ExeFile = runDir + "/server";
  job.Params = "-c \"my server.cfg\" 'x y' plain";
  Compile(job);
  EXPECT_EQ(ReadFile(copyDir + "a b.amx"), "new");
  // The program runs detached; wait for what it leaves.
  for (int i = 0; i < 2000 && !Exists(runDir + "/launched.log"); ++i) QThread::msleep(5);
  EXPECT_EQ(Lines(ReadFile(runDir + "/launched.log")),
            (std::vector<std::string>{runDir, "4", "-c", "my server.cfg", "x y", "plain"}));
}

TEST_F(CompileOutputTest, WithoutTheRunRequestOrWithoutACompiledFileNothingIsCopiedOrLaunched) {
  struct Case {
    const char* name;
    const char* compiler;
    bool runAfterCompile;
  } cases[] = {
      {"plain compile", kCompilerSucceeds, false},
      {"failed compile", kCompilerFails, true},
  };
  std::string runDir = tmp / "run dir";
  WriteScript(runDir + "/server", ": > launched.log\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(scriptDir + "/a b.amx");
    InstallCompiler(programDir, c.compiler);
    TCompileJob job = Job(script);
    job.RunAfterCompile = c.runAfterCompile;
    job.CopyDir = tmp / "copy dir/";
    job.ExeFile = runDir + "/server";
    Compile(job);
    EXPECT_FALSE(Exists(tmp / "copy dir/a b.amx"));
  }
  EXPECT_FALSE(Exists(runDir + "/launched.log"));
}

TEST_F(CompileOutputTest, TheWindowIsAReadOnlyMonospaceTextWithBothScrollBarsAndNoWrap) {
  TfmOutput fm(nullptr, Job(script));
  EXPECT_EQ(fm.windowTitle(), "PAWN Compiler Output");
  EXPECT_EQ(fm.size(), QSize(616, 355));  // no frame on this platform plugin
  EXPECT_TRUE(fm.moOutput->isReadOnly());
  EXPECT_EQ(fm.moOutput->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(fm.moOutput->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(fm.moOutput->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_TRUE(QFontInfo(fm.moOutput->font()).fixedPitch());
  EXPECT_EQ(fm.moOutput->font().pointSize(), 10);
  EXPECT_EQ(fm.moOutput->palette().color(QPalette::Base),
            fm.moOutput->palette().color(QPalette::Button));
}

TEST_F(CompileOutputTest, TheWindowIsCentredOverItsOwner) {
  QWidget owner;
  owner.setGeometry(100, 120, 900, 700);
  owner.show();
  TfmOutput fm(&owner, Job(script));
  QRect shown;
  DriveModal([&] { fm.exec(); },
             [&](QWidget* modal) {
               if (modal != &fm || !fm.CompileDone()) return;
               shown = fm.frameGeometry();
               fm.close();
             });
  EXPECT_EQ(shown.size(), QSize(616, 355));
  EXPECT_LE((shown.center() - owner.frameGeometry().center()).manhattanLength(), 2);
}

TEST(CompilerOutputText, LineEndsAndCharactersOfBothEncodings) {
  struct Case {
    std::string bytes;
    QString text;
  } cases[] = {
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\nb", "a\nb"},
      {"caf\xc3\xa9.pwn(1) : error\n", QString::fromUtf8("caf\xc3\xa9.pwn(1) : error\n")},
      {"x = \"\xe9\x80\";\n", QString::fromUtf8("x = \"\xc3\xa9\xe2\x82\xac\";\n")},
      {"lone\rcr", "lone\rcr"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CompilerOutputText(c.bytes), c.text) << c.bytes;
}

TEST(SplitShellWords, SplitsAsAShellWouldWithoutExpanding) {
  struct Case {
    const char* params;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"a  b\tc", {"a", "b", "c"}},
      {"-c \"my server.cfg\"", {"-c", "my server.cfg"}},
      {"'x y' 'it''s'", {"x y", "its"}},
      {"'a \"b\" \\c'", {"a \"b\" \\c"}},
      {"\"a \\\"b\\\" \\$HOME \\x\"", {"a \"b\" $HOME \\x"}},
      {"a\\ b c", {"a b", "c"}},
      {"\"\" ''", {"", ""}},
      {"$HOME *.amx ~", {"$HOME", "*.amx", "~"}},
      {"pre\"mid dle\"post", {"premid dlepost"}},
      {"a \\\n b", {"a", "b"}},
      {"'open quote", {"open quote"}},
      {"trailing\\", {"trailing\\"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitShellWords(c.params), c.words) << c.params;
}

}  // namespace
