#include "app/settings/ini_file.h"
#include "app/settings/settings.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zorbalin {
namespace {

using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

class SettingsFileTest : public ::testing::Test {
  protected:
    std::string IniPath() const { return FFolder / "ZorbaLin.ini"; }

    static std::string NameOf(const std::string& Path) {
        return std::filesystem::path(Path).filename().string();
    }

    // Every name in the folder, so that a leftover temporary file shows.
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(FFolder.Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    int32_t ColoursFor(const std::string& Hard) {
        WriteFile(IniPath(), "[Game]\nHard=" + Hard + "\n");
        return ReadSettings(IniPath()).ColourCount;
    }

    TTempFolder FFolder;
};

TEST_F(SettingsFileTest, MissingOrEmptyFileGivesTheDefaults) {
    TSettings missing = ReadSettings(IniPath());
    EXPECT_EQ(missing.SavedLeft, 10);
    EXPECT_EQ(missing.SavedTop, 10);
    EXPECT_EQ(missing.ColourCount, 4);

    WriteFile(IniPath(), "");
    TSettings empty = ReadSettings(IniPath());
    EXPECT_EQ(empty.SavedLeft, 10);
    EXPECT_EQ(empty.SavedTop, 10);
    EXPECT_EQ(empty.ColourCount, 4);

    // A folder where the file should be reads as no file.
    std::filesystem::create_directories(FFolder / "dir/ZorbaLin.ini");
    EXPECT_EQ(ReadSettings(FFolder / "dir/ZorbaLin.ini").ColourCount, 4);
}

TEST_F(SettingsFileTest, ColourCountOutsideThreeToFiveOrNotANumberGivesFour) {
    EXPECT_EQ(ColoursFor("7"), 4);
    EXPECT_EQ(ColoursFor("2"), 4);
    EXPECT_EQ(ColoursFor("abc"), 4);
    EXPECT_EQ(ColoursFor("5x"), 4);
    EXPECT_EQ(ColoursFor("-5"), 4);
    EXPECT_EQ(ColoursFor("0x5"), 5);
    EXPECT_EQ(ColoursFor("$5"), 5);
    EXPECT_EQ(ColoursFor("5"), 5);
    EXPECT_EQ(ColoursFor("3"), 3);
}

TEST_F(SettingsFileTest, PositionIsTakenAsItIsEvenOffScreen) {
    WriteFile(IniPath(), "[Screen]\nLeft=-2000\nTop=99999\n");
    TSettings settings = ReadSettings(IniPath());
    EXPECT_EQ(settings.SavedLeft, -2000);
    EXPECT_EQ(settings.SavedTop, 99999);
    EXPECT_EQ(settings.ColourCount, 4);
}

TEST_F(SettingsFileTest, FirstWriteCreatesScreenThenGame) {
    WriteSettings(IniPath(), 120, -30, 3);
    EXPECT_EQ(ReadFile(IniPath()), "[Screen]\nLeft=120\nTop=-30\n\n[Game]\nHard=3\n");
    TSettings settings = ReadSettings(IniPath());
    EXPECT_EQ(settings.SavedLeft, 120);
    EXPECT_EQ(settings.SavedTop, -30);
    EXPECT_EQ(settings.ColourCount, 3);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"ZorbaLin.ini"});
}

TEST_F(SettingsFileTest, WriteKeepsForeignLinesCommentsAndCrLf) {
    WriteFile(IniPath(),
              "; kept\r\n[Screen]\r\nLeft = 1\r\nColour=blue\r\n\r\n[Mine]\r\nHard=9\r\n");
    WriteSettings(IniPath(), 300, 200, 5);
    EXPECT_EQ(
        ReadFile(IniPath()),
        "; kept\r\n[Screen]\r\nLeft = 300\r\nColour=blue\r\nTop=200\r\n\r\n[Mine]\r\nHard=9\r\n"
        "\r\n[Game]\r\nHard=5\r\n");
}

TEST_F(SettingsFileTest, WriteKeepsThePermissionsAndTheGroupOfTheFile) {
    WriteFile(IniPath(), "[Game]\nHard=3\n");
    ASSERT_EQ(::chmod(IniPath().c_str(), 0640), 0);
    // Only root may give the file a group it does not belong to.
    const gid_t group = ::geteuid() == 0 ? 60 : ::getegid();
    ASSERT_EQ(::chown(IniPath().c_str(), static_cast<uid_t>(-1), group), 0);
    WriteSettings(IniPath(), 1, 2, 4);
    struct stat info;
    ASSERT_EQ(::stat(IniPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_gid, group);
}

TEST_F(SettingsFileTest, ByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    WriteFile(IniPath(), "\xEF\xBB\xBF[Game]\r\nHard=5\r\n");
    EXPECT_EQ(ReadSettings(IniPath()).ColourCount, 5);
    WriteSettings(IniPath(), 1, 2, 3);
    EXPECT_EQ(ReadFile(IniPath()),
              "\xEF\xBB\xBF[Game]\r\nHard=3\r\n\r\n[Screen]\r\nLeft=1\r\nTop=2\r\n");
}

TEST_F(SettingsFileTest, ReadOnlyFileIsRefusedWithTheExactMessageAndLeftAlone) {
    const std::string content = "[Game]\nHard=3\n";
    WriteFile(IniPath(), content);
    ASSERT_EQ(::chmod(IniPath().c_str(), 0444), 0);
    try {
        WriteSettings(IniPath(), 1, 2, 5);
        FAIL() << "a read-only settings file was written";
    } catch (const EIniWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + IniPath()).c_str());
    }
    EXPECT_EQ(ReadFile(IniPath()), content);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"ZorbaLin.ini"});
}

TEST_F(SettingsFileTest, FileOfAnotherUserIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const std::string content = "[Screen]\nLeft=5\n";
    WriteFile(IniPath(), content);
    ASSERT_EQ(::chmod(IniPath().c_str(), 0666), 0);
    ASSERT_EQ(::chown(IniPath().c_str(), 65534, 65534), 0);
    EXPECT_THROW(WriteSettings(IniPath(), 1, 2, 5), EIniWriteError);
    EXPECT_EQ(ReadFile(IniPath()), content);
}

TEST_F(SettingsFileTest, MissingFolderIsRefusedAndNotCreated) {
    const std::string path = FFolder / "absent/ZorbaLin.ini";
    EXPECT_THROW(
        {
            try {
                WriteSettings(path, 1, 2, 5);
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), ("Unable to write to " + path).c_str());
                throw;
            }
        },
        EIniWriteError);
    EXPECT_FALSE(std::filesystem::exists(FFolder / "absent"));
}

// A user's own file in a folder the user may not write (a portable install in
// a shared folder) is rewritten in place; what the folder alone cannot give
// (a new file) and what the file refuses are still refused.
TEST_F(SettingsFileTest, FolderThatRefusesNewFilesKeepsAWritableFileWritable) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    WriteFile(IniPath(), "; mine\n[Game]\nHard=3\n");
    WriteFile(FFolder / "other.ini", "[Game]\nHard=3\n");
    ASSERT_EQ(::chmod((FFolder / "other.ini").c_str(), 0444), 0);
    struct stat before;
    ASSERT_EQ(::stat(IniPath().c_str(), &before), 0);
    ASSERT_EQ(::chmod(FFolder.Path().c_str(), 0555), 0);

    WriteSettings(IniPath(), 1, 2, 5);
    EXPECT_EQ(ReadFile(IniPath()), "; mine\n[Game]\nHard=5\n\n[Screen]\nLeft=1\nTop=2\n");
    WriteSettings(IniPath(), 3, 4, 4); // shorter than before: the rest is cut off
    EXPECT_EQ(ReadFile(IniPath()), "; mine\n[Game]\nHard=4\n\n[Screen]\nLeft=3\nTop=4\n");
    struct stat after;
    ASSERT_EQ(::stat(IniPath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    EXPECT_THROW(WriteSettings(FFolder / "new.ini", 1, 2, 5), EIniWriteError);
    EXPECT_THROW(WriteSettings(FFolder / "other.ini", 1, 2, 5), EIniWriteError);
    ::chmod(FFolder.Path().c_str(), 0755);
    EXPECT_EQ(ReadFile(FFolder / "other.ini"), "[Game]\nHard=3\n");
    EXPECT_EQ(FolderEntries().size(), 2u);
}

// Saves run in a child that is killed at a random moment, again and again.
// The file must always hold one whole save (Left = i, Top = -i, Hard
// = 3 + i % 3 of one i), and the temporary files of the killed writers must
// not pile up.
TEST_F(SettingsFileTest, KilledSavesLeaveOneWholeSaveAndNoTemporaryFiles) {
    WriteSettings(IniPath(), 0, 0, 3);
    std::srand(static_cast<unsigned>(::getpid()));
    for (int trial = 0; trial < 25; ++trial) {
        pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (int32_t i = 1;; ++i) {
                try {
                    WriteSettings(IniPath(), i, -i, 3 + i % 3);
                } catch (...) {
                    ::_exit(1);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(500 + std::rand() % 4000));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed";
        TSettings saved = ReadSettings(IniPath());
        ASSERT_EQ(saved.SavedTop, -saved.SavedLeft) << ReadFile(IniPath());
        ASSERT_EQ(saved.ColourCount, 3 + saved.SavedLeft % 3) << ReadFile(IniPath());
    }
    // The next save clears what the killed ones left, but not the file of a
    // writer that is still running.
    const std::string running = IniPath() + ".tmp" + std::to_string(::getppid()) + "-0";
    WriteFile(running, "");
    WriteSettings(IniPath(), 1, -1, 4);
    std::vector<std::string> names = FolderEntries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ZorbaLin.ini", NameOf(running)}));
}

TEST_F(SettingsFileTest, UnreadableFileIsNotReplacedByOneWithoutItsContent) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    WriteFile(IniPath(), "; precious\n[Game]\nHard=3\n");
    ASSERT_EQ(::chmod(IniPath().c_str(), 0200), 0);
    EXPECT_THROW(WriteSettings(IniPath(), 1, 2, 5), EIniWriteError);
    ::chmod(IniPath().c_str(), 0600);
    EXPECT_EQ(ReadFile(IniPath()), "; precious\n[Game]\nHard=3\n");
}

TEST_F(SettingsFileTest, SymbolicLinkIsWrittenThrough) {
    std::filesystem::create_directory(FFolder / "real");
    const std::string real = FFolder / "real/settings.ini";
    WriteFile(real, "[Game]\nHard=3\n");
    std::filesystem::create_symlink(real, IniPath());
    WriteSettings(IniPath(), 7, 8, 5);
    EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
    EXPECT_EQ(ReadFile(real), "[Game]\nHard=5\n\n[Screen]\nLeft=7\nTop=8\n");
}

TEST_F(SettingsFileTest, IniFileReadsEveryCallAfresh) {
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Game", "Hard", 4), 4);
    ini.WriteInteger("Game", "Hard", 3);
    EXPECT_EQ(ini.ReadInteger("Game", "Hard", 4), 3);
    WriteFile(IniPath(), "[Game]\nHard=5\n"); // another instance closes
    EXPECT_EQ(ini.ReadInteger("Game", "Hard", 4), 5);
    ini.WriteInteger("Screen", "Left", 1);
    EXPECT_EQ(ReadFile(IniPath()), "[Game]\nHard=5\n\n[Screen]\nLeft=1\n");
}

// A settings file of more than kMaxIniFileSize bytes is never loaded: reading
// gives the defaults and writing is refused, so the file is not truncated to
// what could be read. The files are sparse, so the test costs no disk space.
TEST_F(SettingsFileTest, OversizedFileReadsAsDefaultsAndIsNotWritten) {
    const std::string content = "[Game]\nHard=3\n";
    WriteFile(IniPath(), content);
    ASSERT_EQ(::truncate(IniPath().c_str(), kMaxIniFileSize), 0);
    EXPECT_EQ(ReadSettings(IniPath()).ColourCount, 3) << "a file of exactly the limit is read";

    ASSERT_EQ(::truncate(IniPath().c_str(), kMaxIniFileSize + 1), 0);
    EXPECT_EQ(ReadSettings(IniPath()).ColourCount, 4);
    try {
        WriteSettings(IniPath(), 1, 2, 5);
        FAIL() << "an oversized settings file was replaced";
    } catch (const EIniWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + IniPath()).c_str());
    }
    EXPECT_EQ(std::filesystem::file_size(IniPath()), kMaxIniFileSize + 1);
    EXPECT_EQ(ReadFile(IniPath()).compare(0, content.size(), content), 0);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"ZorbaLin.ini"});
}

// Nor may a write make the file larger than the limit: it would read as
// defaults from then on. (A small limit stands in for the real one.)
TEST_F(SettingsFileTest, WriteThatWouldPassTheSizeLimitIsRefusedBeforeWriting) {
    const std::string content = "[Game]\nHard=3\n"; // 14 bytes
    WriteFile(IniPath(), content);
    TIniFile(IniPath(), 32).WriteValues({IniInteger("Game", "Hard", 5), IniInteger("A", "B", 1)});
    EXPECT_EQ(ReadFile(IniPath()), "[Game]\nHard=5\n\n[A]\nB=1\n") << "23 bytes fit";
    EXPECT_THROW(TIniFile(IniPath(), 32).WriteInteger("A", "Long", 12345), EIniWriteError);
    EXPECT_EQ(ReadFile(IniPath()), "[Game]\nHard=5\n\n[A]\nB=1\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"ZorbaLin.ini"});
}

} // namespace
} // namespace zorbalin
