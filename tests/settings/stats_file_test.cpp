#include "app/settings/atomic_file.h"
#include "app/settings/file_lock.h"
#include "app/settings/ini_file.h"
#include "app/settings/stats.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <sys/stat.h>
#include <thread>

namespace zorbalin {
namespace {

using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

TEST(StatsFile, ResultsAreAddedReadBackAndForeignLinesKept) {
    TTempFolder folder;
    const std::string ini = folder / "ZorbaLin.ini";
    WriteFile(ini,
              "; mine\r\n[Screen]\r\nLeft=5\r\n[Stats]\r\nTheme=dark\r\n\r\n[Other]\r\nx=1\r\n");

    RecordResult(ini, 4, 12);
    RecordResult(ini, 4, 0);
    RecordResult(ini, 4, 7);
    TStats stats = ReadStats(ini);
    for (int i = 0; i < 20; ++i)
        stats.For(3).Record(i);
    WriteStats(ini, stats);
    stats = ReadStats(ini);

    const TColourStats& four = stats.For(4);
    EXPECT_EQ(four.Finished, 3);
    EXPECT_EQ(four.Best, 0);
    EXPECT_DOUBLE_EQ(four.Mean(), 19.0 / 3);
    EXPECT_EQ(four.Praised, 2);
    EXPECT_EQ(four.Cleared, 1);
    EXPECT_EQ(four.Recent, (std::vector<std::int32_t>{12, 0, 7}));
    EXPECT_EQ(stats.For(5).Finished, 0);
    EXPECT_EQ(stats.For(5).Best, -1);
    // The oldest of 21 results has gone.
    RecordResult(ini, 3, 50);
    const TColourStats three = ReadStats(ini).For(3);
    ASSERT_EQ(three.Recent.size(), kRecentResults);
    EXPECT_EQ(three.Recent.front(), 1);
    EXPECT_EQ(three.Recent.back(), 50);
    EXPECT_EQ(three.Finished, 21);

    const std::string text = ReadFile(ini);
    EXPECT_EQ(text.rfind("; mine\r\n[Screen]\r\nLeft=5\r\n[Stats]\r\nTheme=dark\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("Recent4=12,0,7\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n[Other]\r\nx=1\r\n"), std::string::npos) << text;
}

TEST(StatsFile, FiguresThatMakeNoSenseReadAsNothingRecorded) {
    TTempFolder folder;
    const std::string ini = folder / "ZorbaLin.ini";
    WriteFile(ini, "[Stats]\nFinished3=-4\nBest3=2\n"
                   "Finished4=2\nBest4=999\nTotal4=99999\nPraised4=7\nCleared4=5\n"
                   "Recent4=3,x,-1,163,0x0A,,4\n"
                   "Finished5=abc\nRecent5=1,2\n");
    const TStats stats = ReadStats(ini);
    EXPECT_EQ(stats.For(3).Finished, 0);
    EXPECT_EQ(stats.For(3).Best, -1);
    const TColourStats& four = stats.For(4);
    EXPECT_EQ(four.Best, -1);
    EXPECT_EQ(four.Total, 2 * 162);
    EXPECT_EQ(four.Praised, 2);
    EXPECT_EQ(four.Cleared, 2);
    EXPECT_EQ(four.Recent, (std::vector<std::int32_t>{3, 10, 4}));
    EXPECT_TRUE(stats.For(5).Recent.empty());
    EXPECT_THROW(stats.For(6), std::out_of_range);

    // The figures go through the settings writer: a read-only file is refused.
    ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
    EXPECT_THROW(RecordResult(ini, 4, 3), EIniWriteError);
}

// Another copy of the game holds the lock, replaces the file meanwhile, and
// lets go: the result recorded here counts the other copy's game too.
TEST(StatsFile, ResultWaitsForTheLockOfAnotherCopyAndKeepsItsGames) {
    TTempFolder folder;
    const std::string ini = folder / "ZorbaLin.ini";
    WriteFile(ini, "[Stats]\nFinished4=1\n");
    std::thread recorder;
    {
        const TFileLock otherCopy(ini);
        ASSERT_TRUE(otherCopy.Held());
        recorder = std::thread([&] { RecordResult(ini, 4, 5); });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(ReplaceFileContent(ini, "[Stats]\nFinished4=7\n", 0644));
    }
    recorder.join();
    EXPECT_EQ(ReadStats(ini).For(4).Finished, 8);

    // A copy that never lets go delays a result by a second, but loses it not.
    const TFileLock stuck(ini);
    const auto start = std::chrono::steady_clock::now();
    RecordResult(ini, 4, 5);
    EXPECT_GE(std::chrono::steady_clock::now() - start, TFileLock::kPatience);
    EXPECT_EQ(ReadStats(ini).For(4).Finished, 9);
}

TEST(StatsFile, ByteOrderMarkHidesNoGamesAndAddsNoSecondSection) {
    TTempFolder folder;
    const std::string ini = folder / "ZorbaLin.ini";
    WriteFile(ini, "\xEF\xBB\xBF[Stats]\nFinished4=3\nBest4=2\n");
    EXPECT_EQ(ReadStats(ini).For(4).Finished, 3);
    RecordResult(ini, 4, 9);
    const std::string text = ReadFile(ini);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF[Stats]\nFinished4=4\nBest4=2\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[Stats]", 4), std::string::npos) << text;
}

TEST(StatsFile, CountsAreSixtyFourBitAndStopAtTheLargestWithoutLosingTheResult) {
    TTempFolder folder;
    const std::string ini = folder / "ZorbaLin.ini";
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    WriteFile(ini, "[Stats]\nFinished4=2147483647\nFinished5=9223372036854775807\n"
                   "Praised5=9223372036854775807\nTotal5=9223372036854775807\n");
    RecordResult(ini, 4, 3);
    RecordResult(ini, 5, 0);
    const TStats stats = ReadStats(ini);
    EXPECT_EQ(stats.For(4).Finished, 2147483648);
    EXPECT_EQ(stats.For(4).Best, 3);
    const TColourStats& five = stats.For(5);
    EXPECT_EQ(five.Finished, kLargest);
    EXPECT_EQ(five.Praised, kLargest);
    EXPECT_EQ(five.Total, kLargest);
    EXPECT_EQ(five.Best, 0);
    EXPECT_EQ(five.Recent, std::vector<std::int32_t>{0});
}

} // namespace
} // namespace zorbalin
