#include "app/settings/Seged.h"
#include "app/settings/settings.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zorbalin {
namespace {

using testing::ReadFile;
using testing::TScopedEnv;
using testing::TTempFolder;
using testing::WriteFile;

// Every test here runs with a home folder of its own.
class PathsTest : public ::testing::Test {
  protected:
    TTempFolder FFolder;
    TScopedEnv FHome{"HOME", FFolder / "home"};
    TScopedEnv FConfigHome{"XDG_CONFIG_HOME", FFolder / "config"};
};

TEST_F(PathsTest, AppDirIsTheFolderOfTheRunningProgramWithoutTrailingSlash) {
    std::string expected = std::filesystem::canonical(SETTINGS_TESTS_DIR).string();
    EXPECT_EQ(GetAppDir(), expected);
}

TEST_F(PathsTest, ApplicationDataFolderFollowsTheEnvironment) {
    EXPECT_EQ(GetCommonAppDataDir(), FFolder / "config");
    EXPECT_EQ(GetSpecialFolder(CSIDL_COMMON_APPDATA), FFolder / "config");
    {
        TScopedEnv trailing("XDG_CONFIG_HOME", FFolder / "config//");
        EXPECT_EQ(GetCommonAppDataDir(), FFolder / "config");
    }
    {
        TScopedEnv relative("XDG_CONFIG_HOME", std::string("relative/config"));
        EXPECT_EQ(GetCommonAppDataDir(), FFolder / "home/.config");
    }
    {
        TScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(GetCommonAppDataDir(), FFolder / "home/.config");
        TScopedEnv rootHome("HOME", std::string("/"));
        EXPECT_EQ(GetCommonAppDataDir(), "/.config");
    }
}

TEST_F(PathsTest, WithoutHomeTheApplicationDataFolderComesFromThePasswordDatabase) {
    TScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    TScopedEnv noHome("HOME", std::nullopt);
    std::string found = GetCommonAppDataDir();
    // Either the database's home + "/.config", or nothing when it has none.
    if (!found.empty()) {
        EXPECT_EQ(found.front(), '/');
        EXPECT_EQ(found.substr(found.size() - 8), "/.config");
        EXPECT_EQ(found.find(FFolder.Path()), std::string::npos);
    }
}

TEST_F(PathsTest, OtherSpecialFoldersAreUnknown) {
    EXPECT_EQ(GetSpecialFolder(0), "");
    EXPECT_EQ(GetSpecialFolder(26), "");
}

TEST_F(PathsTest, SettingsGoToTheApplicationDataFolderUnlessTheInstallationIsPortable) {
    const std::string app = FFolder / "app";
    std::filesystem::create_directory(app);
    TSegedPaths installed = ResolveSegedPaths(app, FFolder / "config");
    EXPECT_EQ(installed.AppDir, app);
    EXPECT_EQ(installed.DataDir, FFolder / "config/ZorbaLin");
    EXPECT_EQ(installed.IniPath, FFolder / "config/ZorbaLin/ZorbaLin.ini");
    EXPECT_FALSE(std::filesystem::exists(FFolder / "config")); // not created here

    // A folder of that name does not make the installation portable.
    std::filesystem::create_directory(app + "/ZorbaLin.ini");
    EXPECT_EQ(ResolveSegedPaths(app, FFolder / "config").DataDir, FFolder / "config/ZorbaLin");
    std::filesystem::remove(app + "/ZorbaLin.ini");

    WriteFile(app + "/ZorbaLin.ini", ""); // even an empty file
    TSegedPaths portable = ResolveSegedPaths(app, FFolder / "config");
    EXPECT_EQ(portable.DataDir, app);
    EXPECT_EQ(portable.IniPath, app + "/ZorbaLin.ini");

    // The file name keeps its letter case: another spelling is another file.
    std::filesystem::remove(app + "/ZorbaLin.ini");
    WriteFile(app + "/zorbalin.ini", "");
    EXPECT_EQ(ResolveSegedPaths(app, FFolder / "config").DataDir, FFolder / "config/ZorbaLin");
}

TEST_F(PathsTest, UnknownApplicationDataFolderOrRootInstallationLandInTheRootFolder) {
    EXPECT_EQ(ResolveSegedPaths(FFolder / "app", "").IniPath, "/ZorbaLin/ZorbaLin.ini");
    // An executable in the root folder has "" as AppDir; its portable file is "/ZorbaLin.ini".
    TSegedPaths root = ResolveSegedPaths("", FFolder / "config");
    EXPECT_EQ(root.AppDir, "");
    EXPECT_EQ(root.IniPath, std::filesystem::exists("/ZorbaLin.ini")
                                ? "/ZorbaLin.ini"
                                : FFolder / "config/ZorbaLin/ZorbaLin.ini");
}

TEST_F(PathsTest, DataFolderIsCreatedWithItsParents) {
    const std::string dataDir = FFolder / "a/b/c/ZorbaLin";
    EXPECT_TRUE(CreateDataDir(dataDir));
    EXPECT_TRUE(std::filesystem::is_directory(dataDir));
    EXPECT_TRUE(CreateDataDir(dataDir)); // already there

    WriteFile(FFolder / "file", "");
    EXPECT_FALSE(CreateDataDir(FFolder / "file"));
    EXPECT_FALSE(CreateDataDir(FFolder / "file/ZorbaLin"));
    EXPECT_TRUE(std::filesystem::is_regular_file(FFolder / "file"));
}

TEST_F(PathsTest, FirstRunUsesTheConfigFolderAndWritesTheThreeKeys) {
    // What the main window does: fix the paths, create the folder, read, later write.
    InitSeged();
    EXPECT_EQ(AppDir(), GetAppDir());
    EXPECT_EQ(DataDir(), FFolder / "config/ZorbaLin");
    EXPECT_EQ(IniPath(), FFolder / "config/ZorbaLin/ZorbaLin.ini");
    {
        TScopedEnv moved("XDG_CONFIG_HOME", FFolder / "elsewhere");
        EXPECT_EQ(IniPath(), FFolder / "config/ZorbaLin/ZorbaLin.ini"); // fixed for the process
    }
    EXPECT_TRUE(CreateDataDir(DataDir()));
    TSettings settings = ReadSettings(IniPath());
    EXPECT_EQ(settings.SavedLeft, 10);
    EXPECT_EQ(settings.SavedTop, 10);
    EXPECT_EQ(settings.ColourCount, 4);
    WriteSettings(IniPath(), settings.SavedLeft, settings.SavedTop, 3);
    EXPECT_EQ(ReadFile(IniPath()), "[Screen]\nLeft=10\nTop=10\n\n[Game]\nHard=3\n");
    EXPECT_EQ(ReadSettings(IniPath()).ColourCount, 3);
    EXPECT_FALSE(std::filesystem::exists(FFolder / "home"));
}

} // namespace
} // namespace zorbalin
