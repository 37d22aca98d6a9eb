#include "fake_opener.h"
#include "shell/path_search.h"
#include "shell/shell_execute.h"
#include "shell/unique_fd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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
        const std::string path = FOpener.Folder() + "/" + Name;
        std::ofstream(path) << "#!/bin/sh\n";
        ::chmod(path.c_str(), Mode);
        FCreated.push_back(path);
        return path;
    }
    void TearDownFiles() {
        for (const auto& path : FCreated)
            ::unlink(path.c_str());
    }
    ~ShellLayerTest() override { TearDownFiles(); }

    TFakeOpener FOpener;
    std::vector<std::string> FCreated;
};

// An error path closes its descriptor on the way out and must still be able to say why it
// failed; a writer must see a close that failed.
TEST(UniqueFd, ClosingKeepsErrnoAndAFailedCloseIsReported) {
    TUniqueFd held(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(held.IsOpen());
    ::close(held.Get()); // behind the owner's back, so that its own close fails with EBADF
    errno = ENOENT;
    held.Reset();
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(held.IsOpen());

    TUniqueFd written(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(written.IsOpen());
    EXPECT_TRUE(written.Close());
    EXPECT_FALSE(written.IsOpen());
    EXPECT_FALSE(written.Close()); // nothing left to close
}

TEST_F(ShellLayerTest, ProgramSearchFollowsPathAndSkipsWhatCannotRun) {
    ::mkdir((FOpener.Folder() + "/a").c_str(), 0755);
    ::mkdir((FOpener.Folder() + "/b").c_str(), 0755);
    MakeFile("a/tool", 0644); // not executable: skipped
    const std::string runnable = MakeFile("b/tool", 0755);
    MakeFile("b/folder-named", 0755);
    ::setenv("PATH", (":" + FOpener.Folder() + "/a::" + FOpener.Folder() + "/b").c_str(), 1);
    EXPECT_EQ(FindProgramOnPath("tool"), runnable);
    EXPECT_EQ(FindProgramOnPath("missing"), "");
    EXPECT_EQ(FindProgramOnPath(""), "");
    EXPECT_EQ(FindProgramOnPath(runnable), runnable); // a path is taken as it is
    EXPECT_EQ(FindProgramOnPath(FOpener.Folder() + "/a/tool"), "");

    // Empty entries would mean the current folder; a program there is not picked.
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(::chdir((FOpener.Folder() + "/b").c_str()), 0);
    ::setenv("PATH", ":", 1);
    EXPECT_EQ(FindProgramOnPath("tool"), "");
    ASSERT_EQ(::chdir(saved), 0);
    ::rmdir((FOpener.Folder() + "/a").c_str());
    TearDownFiles();
    FCreated.clear();
    ::rmdir((FOpener.Folder() + "/b").c_str());
}

TEST_F(ShellLayerTest, EmptyDocumentIsFileNotFoundAndStartsNothing) {
    TShellExecuteInfo request;
    request.Verb = "open";
    const TSpawnResult result = ShellExecuteEx(request);
    EXPECT_EQ(result.Code, SE_ERR_FNF);
    EXPECT_FALSE(result.Process.IsValid());
    EXPECT_TRUE(FOpener.Runs().empty());
}

TEST_F(ShellLayerTest, DocumentStartingWithADashIsNotTakenForAnOption) {
    TShellExecuteInfo request;
    request.File = "--help";
    TSpawnResult result = ShellExecuteEx(request); // empty verb: "open"
    ASSERT_EQ(result.Code, SE_OK);
    result.Process.WaitForExit();
    const auto runs = FOpener.WaitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Arguments, std::vector<std::string>{"./--help"});
}

TEST_F(ShellLayerTest, ProgramThatCannotRunGivesItsReason) {
    const std::string notExecutable = MakeFile("plain", 0644);
    EXPECT_EQ(SpawnDetached(notExecutable, {"plain"}, "").Code, SE_ERR_ACCESSDENIED);
    EXPECT_EQ(SpawnDetached(FOpener.Folder() + "/gone", {"gone"}, "").Code, SE_ERR_FNF);
    const std::string garbage = FOpener.Folder() + "/garbage";
    std::ofstream(garbage) << '\x7f' << "ELF but not really";
    ::chmod(garbage.c_str(), 0755);
    FCreated.push_back(garbage);
    EXPECT_EQ(SpawnDetached(garbage, {"garbage"}, "").Code, SE_ERR_NOASSOC);
}

TEST_F(ShellLayerTest, ProcessHandleSeesTheEndOfARealProcess) {
    TSpawnResult result = SpawnDetached("/bin/sleep", {"sleep", "0.2"}, "");
    ASSERT_EQ(result.Code, SE_OK);
    ASSERT_TRUE(result.Process.IsValid());
    EXPECT_FALSE(result.Process.HasExited());
    result.Process.WaitForExit();
    EXPECT_TRUE(result.Process.HasExited());
    result.Process.Release();
    EXPECT_EQ(result.Process.Pid(), 0);
    EXPECT_TRUE(result.Process.HasExited()); // nothing left to wait for
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
