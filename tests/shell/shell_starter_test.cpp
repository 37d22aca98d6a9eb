#include "app/ShellStarter.h"
#include "app/site_address.h"
#include "fake_opener.h"

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
        Starter.SetTimerHook([this](TShellStarterTimer Timer, int IntervalMs) {
            Log.push_back((Timer == stFinishPoll ? "poll " : "schedule ") +
                          std::to_string(IntervalMs));
        });
        Starter.OnBeforeStart = [this](TObject* Sender) {
            Log.push_back(Sender == &Starter ? "before" : "?");
        };
        Starter.OnAfterStart = [this](TObject* Sender) {
            Log.push_back(Sender == &Starter ? "after" : "?");
        };
        Starter.OnError = [this] { Log.push_back("error " + std::to_string(Starter.ErrorCode())); };
    }

    TFakeOpener Opener;
    TShellStarter Starter;
    std::vector<std::string> Log;
};

TEST_F(ShellStarterTest, NewsPagePressedTwiceQuicklyOpensItTwice) {
    Starter.SetText(0, NewsPageAddress());
    Starter.Start();
    const pid_t First = Starter.ProcessHandle();
    Starter.SetText(0, NewsPageAddress());
    Starter.Start();
    const pid_t Second = Starter.ProcessHandle();

    const auto Runs = Opener.WaitForRuns(2);
    ASSERT_EQ(Runs.size(), 2u);
    for (const auto& Run : Runs)
        EXPECT_EQ(Run.Arguments, std::vector<std::string>{NewsPageAddress()});
    EXPECT_GT(First, 0);
    EXPECT_GT(Second, 0);
    EXPECT_NE(First, Second);
    // The two openers run side by side, so their records may come in either order.
    EXPECT_TRUE((Runs[0].Pid == First && Runs[1].Pid == Second) ||
                (Runs[0].Pid == Second && Runs[1].Pid == First));
    EXPECT_EQ(Starter.ErrorCode(), 0);
}

TEST_F(ShellStarterTest, HomePageGoesToTheOpenerWithoutTrailingSlash) {
    Starter.SetCommand(HomePageAddress());
    Starter.Start();
    const auto Runs = Opener.WaitForRuns(1);
    ASSERT_EQ(Runs.size(), 1u);
    ASSERT_EQ(Runs[0].Arguments.size(), 1u);
    const std::string& Address = Runs[0].Arguments[0];
    EXPECT_EQ(Address, "https://" + SiteHost());
    EXPECT_NE(Address.back(), '/');
}

TEST(SiteAddress, NewsPageIsTheHomePageWithItsPathAndQuery) {
    const std::string Host = SiteHost();
    ASSERT_FALSE(Host.empty());
    EXPECT_EQ(Host.find('/'), std::string::npos);
    EXPECT_EQ(HomePageAddress(), "https://" + Host);
    EXPECT_EQ(NewsPageAddress(), "https://" + Host + "/prg.php?prg=4");
}

TEST_F(ShellStarterTest, MissingOpenerChangesNothingAndRaisesNothing) {
    Opener.HideOpener();
    RecordEverything();
    Starter.OnFinished = [this](TObject*) { Log.push_back("finished"); };
    Starter.SetCommand(NewsPageAddress());
    EXPECT_NO_THROW(Starter.Start());
    EXPECT_EQ(Starter.ErrorCode(), SE_ERR_NOASSOC);
    EXPECT_EQ(Starter.ProcessHandle(), 0);
    EXPECT_EQ(Starter.Command(), NewsPageAddress());
    EXPECT_FALSE(Starter.TimerEnabled(stFinishPoll));
    EXPECT_EQ(Log, (std::vector<std::string>{"before", "error 31", "after"}));

    // Without any handler, as the main window uses it, a failed start is silent.
    TShellStarter Plain;
    Plain.SetCommand(HomePageAddress());
    EXPECT_NO_THROW(Plain.Start());
    EXPECT_EQ(Plain.ErrorCode(), SE_ERR_NOASSOC);
}

TEST_F(ShellStarterTest, VerbsWithoutAnOpenerFailWithNoAssociation) {
    RecordEverything();
    Starter.SetCommand("/tmp/document.txt");
    for (TShellStarterOperation Verb : {smPrint, smEdit, smProperties}) {
        Log.clear();
        Starter.SetStartOperation(Verb);
        Starter.Start();
        EXPECT_EQ(Log, (std::vector<std::string>{"before", "error 31", "after"}))
            << ShellVerb(Verb);
        EXPECT_EQ(Starter.ProcessHandle(), 0);
    }
    // A later success keeps the code of the last failure; only the open ran.
    Starter.SetStartOperation(smOpen);
    Starter.SetWait(true);
    Starter.Start();
    EXPECT_EQ(Starter.ErrorCode(), SE_ERR_NOASSOC);
    EXPECT_EQ(Opener.Runs().size(), 1u);
}

TEST_F(ShellStarterTest, ExploreOpensTheFolderPartOfTheCommandAlone) {
    Starter.SetStartOperation(smExplore);
    Starter.SetCommand("/tmp/some folder/game.txt");
    Starter.SetParameters("--ignored");
    Starter.SetDefaultDir("/no/such/folder"); // not used by explore, so no failure
    Starter.SetWait(true);
    Starter.Start();
    Starter.SetCommand("game.txt");
    Starter.Start();

    const auto Runs = Opener.WaitForRuns(2);
    ASSERT_EQ(Runs.size(), 2u);
    EXPECT_EQ(Runs[0].Arguments, std::vector<std::string>{"/tmp/some folder/"});
    EXPECT_EQ(Runs[1].Arguments, std::vector<std::string>{"./"});
    EXPECT_EQ(Starter.ErrorCode(), 0);
}

TEST_F(ShellStarterTest, MissingWorkingFolderIsPathNotFound) {
    RecordEverything();
    Starter.SetCommand(HomePageAddress());
    Starter.SetDefaultDir("/no/such/folder");
    Starter.Start();
    EXPECT_EQ(Log, (std::vector<std::string>{"before", "error 3", "after"}));
    EXPECT_EQ(Starter.ProcessHandle(), 0);

    Starter.SetDefaultDir(Opener.Folder());
    Starter.SetWait(true);
    Starter.Start();
    const auto Runs = Opener.WaitForRuns(1);
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_EQ(Runs[0].WorkDir, Opener.Folder());
}

TEST_F(ShellStarterTest, OpenerRunsDetachedWithOutputDiscardedAndNoFilesOfOurs) {
    // A descriptor without close-on-exec, as a library of the game might leave one.
    const std::string Marker = Opener.Folder() + "/marker";
    const int Leaky = ::open(Marker.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(Leaky, 0);
    Starter.SetCommand(HomePageAddress());
    Starter.SetWait(true);
    Starter.Start();
    ::close(Leaky);
    ::unlink(Marker.c_str());

    const auto Runs = Opener.WaitForRuns(1);
    ASSERT_EQ(Runs.size(), 1u);
    EXPECT_EQ(Runs[0].StandardOutput, "/dev/null");
    EXPECT_EQ(Runs[0].Session, Runs[0].Pid) << "not in a session of its own";
    EXPECT_NE(Runs[0].Session, ::getsid(0));
    for (const std::string& File : Runs[0].OpenFiles)
        EXPECT_EQ(File.find("marker"), std::string::npos) << File;
}

TEST_F(ShellStarterTest, WaitBlocksUntilTheStartedProcessHasEnded) {
    Opener.SetSleep("0.3");
    Starter.SetWait(true);
    Starter.SetCommand(HomePageAddress());
    Starter.Start();
    // The fake writes its record only after its pause, so it must be there now.
    EXPECT_EQ(Opener.Runs().size(), 1u);
}

TEST_F(ShellStarterTest, OnFinishedComesOnceThroughThePollAfterTheProcessEnds) {
    Opener.SetSleep("0.3");
    RecordEverything();
    int Finished = 0;
    Starter.OnFinished = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Starter);
        ++Finished;
    };
    Starter.SetCommand(HomePageAddress());
    Starter.Start();
    EXPECT_EQ(Log, (std::vector<std::string>{"before", "poll 500", "after"}));
    const pid_t Started = Starter.ProcessHandle();
    ASSERT_GT(Started, 0);

    Starter.PollFinished(); // still in its pause
    EXPECT_EQ(Finished, 0);
    EXPECT_EQ(Starter.ProcessHandle(), Started);

    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Finished == 0 && std::chrono::steady_clock::now() < Deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Starter.PollFinished();
    }
    EXPECT_EQ(Finished, 1);
    EXPECT_EQ(Opener.Runs().size(), 1u);
    EXPECT_EQ(Starter.ProcessHandle(), 0);
    EXPECT_FALSE(Starter.TimerEnabled(stFinishPoll));
    EXPECT_EQ(Log.back(), "poll 0");
    Starter.PollFinished();
    EXPECT_EQ(Finished, 1);
}

TEST_F(ShellStarterTest, LeavesNoChildOfItsOwnBehind) {
    Starter.SetWait(true);
    Starter.SetCommand(HomePageAddress());
    Starter.Start();
    const pid_t Started = Starter.ProcessHandle();
    ASSERT_GT(Started, 0);
    // The opener came back to us only because this test is the subreaper; the
    // intermediate process was reaped by the starter already.
    int Status = 0;
    EXPECT_EQ(::waitpid(-1, &Status, WNOHANG), Started);
    EXPECT_EQ(::waitpid(-1, &Status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

int OpenDescriptorCount() {
    int Count = 0;
    if (DIR* Folder = ::opendir("/proc/self/fd")) {
        while (::readdir(Folder))
            ++Count;
        ::closedir(Folder);
    }
    return Count;
}

TEST_F(ShellStarterTest, EachStartReleasesTheHandleOfThePreviousOne) {
    Starter.SetWait(true);
    Starter.SetCommand(HomePageAddress());
    Starter.Start();
    const int Before = OpenDescriptorCount();
    for (int Round = 0; Round < 10; ++Round)
        Starter.Start();
    EXPECT_EQ(OpenDescriptorCount(), Before);
    EXPECT_EQ(Opener.WaitForRuns(11).size(), 11u);
}

TEST_F(ShellStarterTest, ScheduledStartRunsOnceAtItsSecond) {
    RecordEverything();
    const TShellDateTime At{2030, 5, 17, 12, 0, 30};
    Starter.SetCommand(HomePageAddress());
    Starter.SetStartTime(At);
    Starter.ScheduleTick(At); // AutoStart still off
    Starter.SetAutoStart(true);
    TShellDateTime Before = At;
    Before.Second = 29;
    Starter.ScheduleTick(Before);
    Starter.ScheduleTick(At);
    Starter.ScheduleTick(At); // a second tick within the same second
    Starter.SetAutoStart(false);
    EXPECT_EQ(Log, (std::vector<std::string>{"schedule 1000", "before", "after", "schedule 0"}));
    EXPECT_EQ(Opener.WaitForRuns(1).size(), 1u);
}

TEST_F(ShellStarterTest, DestructionStopsTheTimersItRuns) {
    std::vector<std::string> Requests;
    {
        TShellStarter Owned;
        Owned.SetTimerHook([&](TShellStarterTimer Timer, int IntervalMs) {
            Requests.push_back(std::to_string(Timer) + ":" + std::to_string(IntervalMs));
        });
        Owned.OnFinished = [](TObject*) {};
        Owned.SetCommand(HomePageAddress());
        Owned.SetAutoStart(true);
        Owned.Start();
    }
    EXPECT_EQ(Requests, (std::vector<std::string>{"1:1000", "0:500", "0:0", "1:0"}));
}

TEST(ShellStarterOwnership, TheOwnerDestroysItAndItsTimersStop) {
    std::vector<int> Intervals;
    auto Owner = std::make_unique<TComponent>(nullptr);
    auto* Owned = new TShellStarter(Owner.get());
    Owned->SetName("ShellStarter1");
    Owned->SetTimerHook(
        [&](TShellStarterTimer, int IntervalMs) { Intervals.push_back(IntervalMs); });
    Owned->SetAutoStart(true);
    EXPECT_EQ(Owner->FindComponent("ShellStarter1"), Owned);
    Owner.reset();
    EXPECT_EQ(Intervals, (std::vector<int>{ScheduleIntervalMs, 0}));
}

TEST(ShellStarterTexts, SharedSetterStoresByIndex) {
    TShellStarter Starter;
    Starter.SetText(0, "a");
    Starter.SetText(1, "b");
    Starter.SetText(2, "c");
    EXPECT_EQ(Starter.Command(), "a");
    EXPECT_EQ(Starter.Parameters(), "b");
    EXPECT_EQ(Starter.DefaultDir(), "c");
    EXPECT_THROW(Starter.SetText(3, "d"), std::out_of_range);
    EXPECT_THROW(Starter.SetText(-1, "d"), std::out_of_range);
}

TEST(ShellStarterTables, FailureCodesAreExactlyTheShellErrors) {
    for (int Code : {2, 3, 5, 8, 26, 27, 28, 29, 30, 31, 32})
        EXPECT_TRUE(IsShellFailure(Code)) << Code;
    for (int Code : {0, 1, 4, 6, 7, 9, 25, 33, 42})
        EXPECT_FALSE(IsShellFailure(Code)) << Code;
}

} // namespace
} // namespace zorbalin
