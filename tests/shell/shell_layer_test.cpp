#include "fake_opener.h"
#include "shell/path_search.h"
#include "shell/shell_execute.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zorbalin {
namespace {

using testing::TFakeOpener;

class ShellLayerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testing::BecomeSubreaper(); }
    void TearDown() override { testing::ReapAllChildren(); }

    std::string MakeFile(const std::string& Name, mode_t Mode) {
        const std::string Path = Opener.Folder() + "/" + Name;
        std::ofstream(Path) << "#!/bin/sh\n";
        ::chmod(Path.c_str(), Mode);
        Created.push_back(Path);
        return Path;
    }
    void TearDownFiles() {
        for (const auto& Path : Created)
            ::unlink(Path.c_str());
    }
    ~ShellLayerTest() override { TearDownFiles(); }

    TFakeOpener Opener;
    std::vector<std::string> Created;
};

TEST_F(ShellLayerTest, ProgramSearchFollowsPathAndSkipsWhatCannotRun) {
    ::mkdir((Opener.Folder() + "/a").c_str(), 0755);
    ::mkdir((Opener.Folder() + "/b").c_str(), 0755);
    MakeFile("a/tool", 0644); // not executable: skipped
    const std::string Runnable = MakeFile("b/tool", 0755);
    MakeFile("b/folder-named", 0755);
    ::setenv("PATH", (":" + Opener.Folder() + "/a::" + Opener.Folder() + "/b").c_str(), 1);
    EXPECT_EQ(FindProgramOnPath("tool"), Runnable);
    EXPECT_EQ(FindProgramOnPath("missing"), "");
    EXPECT_EQ(FindProgramOnPath(""), "");
    EXPECT_EQ(FindProgramOnPath(Runnable), Runnable); // a path is taken as it is
    EXPECT_EQ(FindProgramOnPath(Opener.Folder() + "/a/tool"), "");

    // Empty entries would mean the current folder; a program there is not picked.
    char Saved[4096];
    ASSERT_NE(::getcwd(Saved, sizeof Saved), nullptr);
    ASSERT_EQ(::chdir((Opener.Folder() + "/b").c_str()), 0);
    ::setenv("PATH", ":", 1);
    EXPECT_EQ(FindProgramOnPath("tool"), "");
    ASSERT_EQ(::chdir(Saved), 0);
    ::rmdir((Opener.Folder() + "/a").c_str());
    TearDownFiles();
    Created.clear();
    ::rmdir((Opener.Folder() + "/b").c_str());
}

TEST_F(ShellLayerTest, EmptyDocumentIsFileNotFoundAndStartsNothing) {
    TShellExecuteInfo Request;
    Request.Verb = "open";
    const TSpawnResult Result = ShellExecuteEx(Request);
    EXPECT_EQ(Result.Code, SE_ERR_FNF);
    EXPECT_FALSE(Result.Process.IsValid());
    EXPECT_TRUE(Opener.Runs().empty());
}

TEST_F(ShellLayerTest, DocumentStartingWithADashIsNotTakenForAnOption) {
    TShellExecuteInfo Request;
    Request.File = "--help";
    TSpawnResult Result = ShellExecuteEx(Request); // empty verb: "open"
    ASSERT_EQ(Result.Code, SE_OK);
    Result.Process.WaitForExit();
    const auto Runs = Opener.WaitForRuns(1);
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_EQ(Runs[0].Arguments, std::vector<std::string>{"./--help"});
}

TEST_F(ShellLayerTest, ProgramThatCannotRunGivesItsReason) {
    const std::string NotExecutable = MakeFile("plain", 0644);
    EXPECT_EQ(SpawnDetached(NotExecutable, {"plain"}, "").Code, SE_ERR_ACCESSDENIED);
    EXPECT_EQ(SpawnDetached(Opener.Folder() + "/gone", {"gone"}, "").Code, SE_ERR_FNF);
    const std::string Garbage = Opener.Folder() + "/garbage";
    std::ofstream(Garbage) << '\x7f' << "ELF but not really";
    ::chmod(Garbage.c_str(), 0755);
    Created.push_back(Garbage);
    EXPECT_EQ(SpawnDetached(Garbage, {"garbage"}, "").Code, SE_ERR_NOASSOC);
}

TEST_F(ShellLayerTest, ProcessHandleSeesTheEndOfARealProcess) {
    TSpawnResult Result = SpawnDetached("/bin/sleep", {"sleep", "0.2"}, "");
    ASSERT_EQ(Result.Code, SE_OK);
    ASSERT_TRUE(Result.Process.IsValid());
    EXPECT_FALSE(Result.Process.HasExited());
    Result.Process.WaitForExit();
    EXPECT_TRUE(Result.Process.HasExited());
    Result.Process.Release();
    EXPECT_EQ(Result.Process.Pid(), 0);
    EXPECT_TRUE(Result.Process.HasExited()); // nothing left to wait for
}

TEST(ExploreFolder, FolderPartKeepsItsSlashAndDefaultsToTheCurrentFolder) {
    EXPECT_EQ(ExploreFolderOf("/home/player/games/zorbalin"), "/home/player/games/");
    EXPECT_EQ(ExploreFolderOf("/home/player/games/"), "/home/player/games/");
    EXPECT_EQ(ExploreFolderOf("/zorbalin"), "/");
    EXPECT_EQ(ExploreFolderOf("notes.txt"), "./");
    EXPECT_EQ(ExploreFolderOf(""), "./");
}

} // namespace
} // namespace zorbalin
