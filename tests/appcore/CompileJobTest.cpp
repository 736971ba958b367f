#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "appcore/CompileJob.h"

using namespace ludra;
namespace fs = std::filesystem;

namespace {

// A folder with a blank in its name, removed at the end.
struct TTempDir {
  std::string path;
  TTempDir() {
    char pattern[] = "/tmp/ludra job XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TTempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// Stands in for the compiler and the launched program: records what it was
// asked and writes the compiled file when told to.
struct TFakePrograms : TCompilePrograms {
  bool starts = true, writesOutput = true, stopped = false;
  std::vector<TSynProcessRun> runs;
  std::vector<std::vector<std::string>> launches;
  std::optional<TSynProcessOutput> RunCompiler(const TSynProcessRun& run) override {
    runs.push_back(run);
    if (!starts) return std::nullopt;
    if (writesOutput) std::ofstream(CompilerOutputPath(run.Arguments.back())) << "AMX";
    TSynProcessOutput output;
    output.Text = "compiler says\ngm.pwn(4) : error 017: undefined symbol \"x\"\n";
    output.Stopped = stopped;
    return output;
  }
  void Launch(const std::string& program, const std::string& params,
              const std::string& workingDirectory) override {
    launches.push_back({program, params, workingDirectory});
  }
};

}  // namespace

TEST(CompilerOutputPath, TheExtensionOfTheNamePartBecomesAmx) {
  struct Case {
    const char* script;
    const char* output;
  } cases[] = {
      {"/gm/a.pwn", "/gm/a.amx"}, {"/gm/a.b.pwn", "/gm/a.b.amx"},
      {"/gm/a", "/gm/a.amx"},     {"/g.m/a", "/g.m/a.amx"},
      {"a.pwn", "a.amx"},         {"/gm/a.", "/gm/a.amx"},
      {"/gm/.pwn", "/gm/.amx"},   {"/a b/g m.pwn", "/a b/g m.amx"},
  };
  for (const auto& c : cases) EXPECT_EQ(CompilerOutputPath(c.script), c.output) << c.script;
}

TEST(CompileJob, TheCompilerRunsFromTheProgramFolderInTheScriptFolder) {
  TCompileJob job;
  job.ProgramDir = "/opt/ludra";
  job.FileName = "/home/u/my scripts/gm.pwn";
  TSynProcessRun run = CompilerRun(job);
  EXPECT_EQ(run.Program, "/opt/ludra/pawncc");
  EXPECT_EQ(run.Arguments, (std::vector<std::string>{"-;+", "-(+", "/home/u/my scripts/gm.pwn"}));
  EXPECT_EQ(run.WorkingDirectory, "/home/u/my scripts/");
  EXPECT_EQ(run.LibraryDirectory, "/opt/ludra");
  job.ProgramDir = "/opt/ludra/";
  EXPECT_EQ(CompilerRun(job).Program, "/opt/ludra/pawncc");
  // The include folders the function list reads, in its order.
  job.IncludeFolders = {"/opt/ludra/include", "/home/u/my inc"};
  EXPECT_EQ(CompilerRun(job).Arguments,
            (std::vector<std::string>{"-;+", "-(+", "-i/opt/ludra/include", "-i/home/u/my inc",
                                      "/home/u/my scripts/gm.pwn"}));

  // A relative script is named by its absolute path and run in its folder.
  job.FileName = "sub/gm.pwn";
  run = CompilerRun(job);
  const std::string absolute = (fs::current_path() / "sub/gm.pwn").lexically_normal().string();
  EXPECT_EQ(run.Arguments.back(), absolute);
  EXPECT_EQ(run.WorkingDirectory, absolute.substr(0, absolute.size() - 6));
}

// Each way a compile can end, with and without Compile/Run: the status
// texts in order, the error, the copy and the launch.
TEST(CompileJob, TheOutcomeDecidesStatusCopyAndLaunch) {
  struct {
    const char* what;
    bool starts, writesOutput, stopped, runAfter;
    const char* finalStatus;
    bool error, copied, launched;
  } cases[] = {
      {"compiled", true, true, false, false, "File 'g m.pwn' has been compiled to 'g m.amx'.",
       false, false, false},
      {"compiled and run", true, true, false, true,
       "File 'g m.pwn' has been compiled to 'g m.amx'.", false, true, true},
      {"no compiled file", true, false, false, true, "Unable to compile 'g m.pwn'.", false, false,
       false},
      {"stopped", true, true, true, true, "Unable to compile 'g m.pwn'.", false, false, false},
      {"cannot start", false, false, false, true, "Unable to compile 'g m.pwn'.", true, false,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TTempDir scripts, copies;
    TFakePrograms programs;
    programs.starts = c.starts;
    programs.writesOutput = c.writesOutput;
    programs.stopped = c.stopped;
    TCompileJob job;
    job.ProgramDir = "/opt/ludra";
    job.FileName = scripts.path + "/g m.pwn";
    job.RunAfterCompile = c.runAfter;
    job.CopyDir = copies.path + "/";
    job.ExeFile = "/srv/game/server";
    job.Params = "-x 'a b'";

    TCompileResult result = RunCompileJob(job, programs);

    ASSERT_EQ(programs.runs.size(), 1u);
    EXPECT_EQ(result.Output.has_value(), c.starts);
    EXPECT_EQ(result.ScriptPath, job.FileName);
    EXPECT_EQ(CompileStartStatus(job), "Compiling 'g m.pwn'...");
    EXPECT_EQ(CompileEndStatus(job, result), c.finalStatus);
    EXPECT_EQ(result.Error, c.error ? SUnableToExecuteCompiler : "");
    // The messages come read from the output, with their output line.
    ASSERT_EQ(result.Messages.size(), c.starts ? 1u : 0u);
    if (c.starts) {
      EXPECT_EQ(result.Messages[0].OutputLine, 1);
    }
    EXPECT_EQ(fs::exists(copies.path + "/g m.amx"), c.copied);
    if (c.launched)
      EXPECT_EQ(
          programs.launches,
          (std::vector<std::vector<std::string>>{{"/srv/game/server", "-x 'a b'", "/srv/game/"}}));
    else
      EXPECT_TRUE(programs.launches.empty());
  }
}
