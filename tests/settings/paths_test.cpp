#include "app/Seged.h"
#include "app/settings.h"
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
class Paths : public ::testing::Test {
  protected:
    TTempFolder folder;
    TScopedEnv home{"HOME", folder / "home"};
    TScopedEnv configHome{"XDG_CONFIG_HOME", folder / "config"};
};

TEST_F(Paths, AppDirIsTheFolderOfTheRunningProgramWithoutTrailingSlash) {
    std::string expected = std::filesystem::canonical(SETTINGS_TESTS_DIR).string();
    EXPECT_EQ(GetAppDir(), expected);
}

TEST_F(Paths, ApplicationDataFolderFollowsTheEnvironment) {
    EXPECT_EQ(GetCommonAppDataDir(), folder / "config");
    EXPECT_EQ(GetSpecialFolder(CSIDL_COMMON_APPDATA), folder / "config");
    {
        TScopedEnv trailing("XDG_CONFIG_HOME", folder / "config//");
        EXPECT_EQ(GetCommonAppDataDir(), folder / "config");
    }
    {
        TScopedEnv relative("XDG_CONFIG_HOME", std::string("relative/config"));
        EXPECT_EQ(GetCommonAppDataDir(), folder / "home/.config");
    }
    {
        TScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(GetCommonAppDataDir(), folder / "home/.config");
        TScopedEnv rootHome("HOME", std::string("/"));
        EXPECT_EQ(GetCommonAppDataDir(), "/.config");
    }
}

TEST_F(Paths, WithoutHomeTheApplicationDataFolderComesFromThePasswordDatabase) {
    TScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    TScopedEnv noHome("HOME", std::nullopt);
    std::string found = GetCommonAppDataDir();
    // Either the database's home + "/.config", or nothing when it has none.
    if (!found.empty()) {
        EXPECT_EQ(found.front(), '/');
        EXPECT_EQ(found.substr(found.size() - 8), "/.config");
        EXPECT_EQ(found.find(folder.Path()), std::string::npos);
    }
}

TEST_F(Paths, OtherSpecialFoldersAreUnknown) {
    EXPECT_EQ(GetSpecialFolder(0), "");
    EXPECT_EQ(GetSpecialFolder(26), "");
}

TEST_F(Paths, SettingsGoToTheApplicationDataFolderUnlessTheInstallationIsPortable) {
    const std::string app = folder / "app";
    std::filesystem::create_directory(app);
    TSegedPaths installed = ResolveSegedPaths(app, folder / "config");
    EXPECT_EQ(installed.AppDir, app);
    EXPECT_EQ(installed.DataDir, folder / "config/ZorbaLin");
    EXPECT_EQ(installed.IniPath, folder / "config/ZorbaLin/ZorbaLin.ini");
    EXPECT_FALSE(std::filesystem::exists(folder / "config")); // not created here

    // A folder of that name does not make the installation portable.
    std::filesystem::create_directory(app + "/ZorbaLin.ini");
    EXPECT_EQ(ResolveSegedPaths(app, folder / "config").DataDir, folder / "config/ZorbaLin");
    std::filesystem::remove(app + "/ZorbaLin.ini");

    WriteFile(app + "/ZorbaLin.ini", ""); // even an empty file
    TSegedPaths portable = ResolveSegedPaths(app, folder / "config");
    EXPECT_EQ(portable.DataDir, app);
    EXPECT_EQ(portable.IniPath, app + "/ZorbaLin.ini");

    // The file name keeps its letter case: another spelling is another file.
    std::filesystem::remove(app + "/ZorbaLin.ini");
    WriteFile(app + "/zorbalin.ini", "");
    EXPECT_EQ(ResolveSegedPaths(app, folder / "config").DataDir, folder / "config/ZorbaLin");
}

TEST_F(Paths, UnknownApplicationDataFolderOrRootInstallationLandInTheRootFolder) {
    EXPECT_EQ(ResolveSegedPaths(folder / "app", "").IniPath, "/ZorbaLin/ZorbaLin.ini");
    // An executable in the root folder has "" as AppDir; its portable file is "/ZorbaLin.ini".
    TSegedPaths root = ResolveSegedPaths("", folder / "config");
    EXPECT_EQ(root.AppDir, "");
    EXPECT_EQ(root.IniPath, std::filesystem::exists("/ZorbaLin.ini")
                                ? "/ZorbaLin.ini"
                                : folder / "config/ZorbaLin/ZorbaLin.ini");
}

TEST_F(Paths, DataFolderIsCreatedWithItsParents) {
    const std::string dataDir = folder / "a/b/c/ZorbaLin";
    EXPECT_TRUE(CreateDataDir(dataDir));
    EXPECT_TRUE(std::filesystem::is_directory(dataDir));
    EXPECT_TRUE(CreateDataDir(dataDir)); // already there

    WriteFile(folder / "file", "");
    EXPECT_FALSE(CreateDataDir(folder / "file"));
    EXPECT_FALSE(CreateDataDir(folder / "file/ZorbaLin"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "file"));
}

TEST_F(Paths, FirstRunUsesTheConfigFolderAndWritesTheThreeKeys) {
    // What the main window does: fix the paths, create the folder, read, later write.
    InitSeged();
    EXPECT_EQ(AppDir(), GetAppDir());
    EXPECT_EQ(DataDir(), folder / "config/ZorbaLin");
    EXPECT_EQ(IniPath(), folder / "config/ZorbaLin/ZorbaLin.ini");
    {
        TScopedEnv moved("XDG_CONFIG_HOME", folder / "elsewhere");
        EXPECT_EQ(IniPath(), folder / "config/ZorbaLin/ZorbaLin.ini"); // fixed for the process
    }
    EXPECT_TRUE(CreateDataDir(DataDir()));
    TSettings settings = ReadSettings(IniPath());
    EXPECT_EQ(settings.SavedLeft, 10);
    EXPECT_EQ(settings.SavedTop, 10);
    EXPECT_EQ(settings.ColourCount, 4);
    WriteSettings(IniPath(), settings.SavedLeft, settings.SavedTop, 3);
    EXPECT_EQ(ReadFile(IniPath()), "[Screen]\nLeft=10\nTop=10\n\n[Game]\nHard=3\n");
    EXPECT_EQ(ReadSettings(IniPath()).ColourCount, 3);
    EXPECT_FALSE(std::filesystem::exists(folder / "home"));
}

} // namespace
} // namespace zorbalin
