#include "app/shell_starter/ShellStarter.h"
#include "app/shell_starter/site_address.h"
#include "fake_opener.h"
#include "shell/unique_fd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zorbalin {
namespace {

using testing::TFakeOpener;

class ShellStarterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { testing::BecomeSubreaper(); }
    void TearDown() override { testing::ReapAllChildren(); }

    // Records the timer requests and the events in the order they come.
    void RecordEverything() {
        FStarter.SetTimerHook([this](TShellStarterTimer Timer, int IntervalMs) {
            FLog.push_back((Timer == stFinishPoll ? "poll " : "schedule ") +
                           std::to_string(IntervalMs));
        });
        FStarter.OnBeforeStart = [this](TObject* Sender) {
            FLog.push_back(Sender == &FStarter ? "before" : "?");
        };
        FStarter.OnAfterStart = [this](TObject* Sender) {
            FLog.push_back(Sender == &FStarter ? "after" : "?");
        };
        FStarter.OnError = [this] {
            FLog.push_back("error " + std::to_string(FStarter.ErrorCode()));
        };
    }

    TFakeOpener FOpener;
    TShellStarter FStarter;
    std::vector<std::string> FLog;
};

TEST_F(ShellStarterTest, NewsPagePressedTwiceQuicklyOpensItTwice) {
    FStarter.SetText(0, NewsPageAddress());
    FStarter.Start();
    const pid_t first = FStarter.ProcessHandle();
    FStarter.SetText(0, NewsPageAddress());
    FStarter.Start();
    const pid_t second = FStarter.ProcessHandle();

    const auto runs = FOpener.WaitForRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    for (const auto& run : runs)
        EXPECT_EQ(run.Arguments, std::vector<std::string>{NewsPageAddress()});
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    // The two openers run side by side, so their records may come in either order.
    EXPECT_TRUE((runs[0].Pid == first && runs[1].Pid == second) ||
                (runs[0].Pid == second && runs[1].Pid == first));
    EXPECT_EQ(FStarter.ErrorCode(), 0);
}

TEST_F(ShellStarterTest, HomePageGoesToTheOpenerWithoutTrailingSlash) {
    FStarter.SetCommand(HomePageAddress());
    FStarter.Start();
    const auto runs = FOpener.WaitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].Arguments.size(), 1u);
    const std::string& address = runs[0].Arguments[0];
    EXPECT_EQ(address, "https://" + SiteHost());
    EXPECT_NE(address.back(), '/');
}

TEST(SiteAddress, NewsPageIsTheHomePageWithItsPathAndQuery) {
    const std::string host = SiteHost();
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.find('/'), std::string::npos);
    EXPECT_EQ(HomePageAddress(), "https://" + host);
    EXPECT_EQ(NewsPageAddress(), "https://" + host + "/prg.php?prg=4");
}

TEST_F(ShellStarterTest, MissingOpenerChangesNothingAndRaisesNothing) {
    FOpener.HideOpener();
    RecordEverything();
    FStarter.OnFinished = [this](TObject*) { FLog.push_back("finished"); };
    FStarter.SetCommand(NewsPageAddress());
    EXPECT_NO_THROW(FStarter.Start());
    EXPECT_EQ(FStarter.ErrorCode(), SE_ERR_NOASSOC);
    EXPECT_EQ(FStarter.ProcessHandle(), 0);
    EXPECT_EQ(FStarter.Command(), NewsPageAddress());
    EXPECT_FALSE(FStarter.TimerEnabled(stFinishPoll));
    EXPECT_EQ(FLog, (std::vector<std::string>{"before", "error 31", "after"}));

    // Without any handler, as the main window uses it, a failed start is silent.
    TShellStarter plain;
    plain.SetCommand(HomePageAddress());
    EXPECT_NO_THROW(plain.Start());
    EXPECT_EQ(plain.ErrorCode(), SE_ERR_NOASSOC);
}

TEST_F(ShellStarterTest, VerbsWithoutAnOpenerFailWithNoAssociation) {
    RecordEverything();
    FStarter.SetCommand("/tmp/document.txt");
    for (TShellStarterOperation verb : {smPrint, smEdit, smProperties}) {
        FLog.clear();
        FStarter.SetStartOperation(verb);
        FStarter.Start();
        EXPECT_EQ(FLog, (std::vector<std::string>{"before", "error 31", "after"}))
            << ShellVerb(verb);
        EXPECT_EQ(FStarter.ProcessHandle(), 0);
    }
    // A later success keeps the code of the last failure; only the open ran.
    FStarter.SetStartOperation(smOpen);
    FStarter.SetWait(true);
    FStarter.Start();
    EXPECT_EQ(FStarter.ErrorCode(), SE_ERR_NOASSOC);
    EXPECT_EQ(FOpener.Runs().size(), 1u);
}

TEST_F(ShellStarterTest, ExploreOpensTheFolderPartOfTheCommandAlone) {
    FStarter.SetStartOperation(smExplore);
    FStarter.SetCommand("/tmp/some folder/game.txt");
    FStarter.SetParameters("--ignored");
    FStarter.SetDefaultDir("/no/such/folder"); // not used by explore, so no failure
    FStarter.SetWait(true);
    FStarter.Start();
    FStarter.SetCommand("game.txt");
    FStarter.Start();

    const auto runs = FOpener.WaitForRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Arguments, std::vector<std::string>{"/tmp/some folder/"});
    EXPECT_EQ(runs[1].Arguments, std::vector<std::string>{"./"});
    EXPECT_EQ(FStarter.ErrorCode(), 0);
}

TEST_F(ShellStarterTest, MissingWorkingFolderIsPathNotFound) {
    RecordEverything();
    FStarter.SetCommand(HomePageAddress());
    FStarter.SetDefaultDir("/no/such/folder");
    FStarter.Start();
    EXPECT_EQ(FLog, (std::vector<std::string>{"before", "error 3", "after"}));
    EXPECT_EQ(FStarter.ProcessHandle(), 0);

    FStarter.SetDefaultDir(FOpener.Folder());
    FStarter.SetWait(true);
    FStarter.Start();
    const auto runs = FOpener.WaitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].WorkDir, FOpener.Folder());
}

TEST_F(ShellStarterTest, OpenerRunsDetachedWithOutputDiscardedAndNoFilesOfOurs) {
    // A descriptor without close-on-exec, as a library of the game might leave one.
    const std::string marker = FOpener.Folder() + "/marker";
    TUniqueFd leaky(::open(marker.c_str(), O_CREAT | O_WRONLY, 0600));
    ASSERT_TRUE(leaky.IsOpen());
    FStarter.SetCommand(HomePageAddress());
    FStarter.SetWait(true);
    FStarter.Start();
    leaky.Reset();
    ::unlink(marker.c_str());

    const auto runs = FOpener.WaitForRuns(1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].StandardOutput, "/dev/null");
    EXPECT_EQ(runs[0].Session, runs[0].Pid) << "not in a session of its own";
    EXPECT_NE(runs[0].Session, ::getsid(0));
    for (const std::string& file : runs[0].OpenFiles)
        EXPECT_EQ(file.find("marker"), std::string::npos) << file;
}

TEST_F(ShellStarterTest, WaitBlocksUntilTheStartedProcessHasEnded) {
    FOpener.SetSleep("0.3");
    FStarter.SetWait(true);
    FStarter.SetCommand(HomePageAddress());
    FStarter.Start();
    // The fake writes its record only after its pause, so it must be there now.
    EXPECT_EQ(FOpener.Runs().size(), 1u);
}

TEST_F(ShellStarterTest, OnFinishedComesOnceThroughThePollAfterTheProcessEnds) {
    FOpener.SetSleep("0.3");
    RecordEverything();
    int finished = 0;
    FStarter.OnFinished = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &FStarter);
        ++finished;
    };
    FStarter.SetCommand(HomePageAddress());
    FStarter.Start();
    EXPECT_EQ(FLog, (std::vector<std::string>{"before", "poll 500", "after"}));
    const pid_t started = FStarter.ProcessHandle();
    ASSERT_GT(started, 0);

    FStarter.PollFinished(); // still in its pause
    EXPECT_EQ(finished, 0);
    EXPECT_EQ(FStarter.ProcessHandle(), started);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (finished == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        FStarter.PollFinished();
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(FOpener.Runs().size(), 1u);
    EXPECT_EQ(FStarter.ProcessHandle(), 0);
    EXPECT_FALSE(FStarter.TimerEnabled(stFinishPoll));
    EXPECT_EQ(FLog.back(), "poll 0");
    FStarter.PollFinished();
    EXPECT_EQ(finished, 1);
}

TEST_F(ShellStarterTest, LeavesNoChildOfItsOwnBehind) {
    FStarter.SetWait(true);
    FStarter.SetCommand(HomePageAddress());
    FStarter.Start();
    const pid_t started = FStarter.ProcessHandle();
    ASSERT_GT(started, 0);
    // The opener came back to us only because this test is the subreaper; the
    // intermediate process was reaped by the starter already.
    int status = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), started);
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

int OpenDescriptorCount() {
    int count = 0;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir("/proc/self/fd"), &::closedir);
    while (folder && ::readdir(folder.get()))
        ++count;
    return count;
}

TEST_F(ShellStarterTest, EachStartReleasesTheHandleOfThePreviousOne) {
    FStarter.SetWait(true);
    FStarter.SetCommand(HomePageAddress());
    FStarter.Start();
    const int before = OpenDescriptorCount();
    for (int round = 0; round < 10; ++round)
        FStarter.Start();
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_EQ(FOpener.WaitForRuns(11).size(), 11u);
}

TEST_F(ShellStarterTest, ScheduledStartRunsOnceAtItsSecond) {
    RecordEverything();
    const TShellDateTime at{2030, 5, 17, 12, 0, 30};
    FStarter.SetCommand(HomePageAddress());
    FStarter.SetStartTime(at);
    FStarter.ScheduleTick(at); // AutoStart still off
    FStarter.SetAutoStart(true);
    TShellDateTime before = at;
    before.Second = 29;
    FStarter.ScheduleTick(before);
    FStarter.ScheduleTick(at);
    FStarter.ScheduleTick(at); // a second tick within the same second
    FStarter.SetAutoStart(false);
    EXPECT_EQ(FLog, (std::vector<std::string>{"schedule 1000", "before", "after", "schedule 0"}));
    EXPECT_EQ(FOpener.WaitForRuns(1).size(), 1u);
}

TEST_F(ShellStarterTest, DestructionStopsTheTimersItRuns) {
    std::vector<std::string> requests;
    {
        TShellStarter owned;
        owned.SetTimerHook([&](TShellStarterTimer Timer, int IntervalMs) {
            requests.push_back(std::to_string(Timer) + ":" + std::to_string(IntervalMs));
        });
        owned.OnFinished = [](TObject*) {};
        owned.SetCommand(HomePageAddress());
        owned.SetAutoStart(true);
        owned.Start();
    }
    EXPECT_EQ(requests, (std::vector<std::string>{"1:1000", "0:500", "0:0", "1:0"}));
}

TEST(ShellStarterOwnership, TheOwnerDestroysItAndItsTimersStop) {
    std::vector<int> intervals;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* owned = new TShellStarter(owner.get());
    owned->SetName("ShellStarter1");
    owned->SetTimerHook(
        [&](TShellStarterTimer, int IntervalMs) { intervals.push_back(IntervalMs); });
    owned->SetAutoStart(true);
    EXPECT_EQ(owner->FindComponent("ShellStarter1"), owned);
    owner.reset();
    EXPECT_EQ(intervals, (std::vector<int>{kScheduleIntervalMs, 0}));
}

TEST(ShellStarterTexts, SharedSetterStoresByIndex) {
    TShellStarter starter;
    starter.SetText(0, "a");
    starter.SetText(1, "b");
    starter.SetText(2, "c");
    EXPECT_EQ(starter.Command(), "a");
    EXPECT_EQ(starter.Parameters(), "b");
    EXPECT_EQ(starter.DefaultDir(), "c");
    EXPECT_THROW(starter.SetText(3, "d"), std::out_of_range);
    EXPECT_THROW(starter.SetText(-1, "d"), std::out_of_range);
}

TEST(ShellStarterTables, FailureCodesAreExactlyTheShellErrors) {
    for (int code : {2, 3, 5, 8, 26, 27, 28, 29, 30, 31, 32})
        EXPECT_TRUE(IsShellFailure(code)) << code;
    for (int code : {0, 1, 4, 6, 7, 9, 25, 33, 42})
        EXPECT_FALSE(IsShellFailure(code)) << code;
}

} // namespace
} // namespace zorbalin
