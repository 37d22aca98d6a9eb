// The news and home-page buttons hand their addresses to the desktop's opener
// and go on at once, showing nothing of their own.
#include "program_fixture.h"

#include "app/shell_starter/site_address.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace zorbalin::testing {
namespace {

// Puts a fake "xdg-open" first on PATH for the test's lifetime; it appends its
// argument to a log file.
class TFakeOpenerOnPath {
  public:
    explicit TFakeOpenerOnPath(const std::string& Folder) : FLog(Folder + "/opened.log") {
        std::filesystem::create_directories(Folder + "/bin");
        const std::string script = Folder + "/bin/xdg-open";
        WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + FLog + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        FOldPath = path ? path : "";
        ::setenv("PATH", (Folder + "/bin:" + FOldPath).c_str(), 1);
    }
    ~TFakeOpenerOnPath() { ::setenv("PATH", FOldPath.c_str(), 1); }

    // The addresses opened so far, waiting up to two seconds for `Count` of them
    // (the opener runs detached).
    std::vector<std::string> Opened(std::size_t Count) const {
        std::vector<std::string> lines;
        for (int i = 0; i < 200; ++i) {
            lines.clear();
            std::istringstream text(FileExists(FLog) ? ReadFile(FLog) : "");
            for (std::string line; std::getline(text, line);)
                lines.push_back(line);
            if (lines.size() >= Count)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return lines;
    }

  private:
    std::string FLog;
    std::string FOldPath;
};

using WebPageTest = ProgramTest;

TEST_F(WebPageTest, NewsAndHomeButtonsOpenTheirAddressesAndShowNothing) {
    TFakeOpenerOnPath opener(FTemp.Path() + "/opener");
    Start();
    ClickAt(OnMain(538, 30)); // news
    FScreen.AdvanceTime(1000);
    ClickAt(OnMain(578, 30)); // home page
    std::vector<std::string> opened = opener.Opened(2);
    std::sort(opened.begin(), opened.end());
    std::vector<std::string> expected = {NewsPageAddress(), HomePageAddress()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
    for (const std::string& address : opened)
        EXPECT_NE(address.back(), '/') << address;
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(VisibleCells(), 162);
}

} // namespace
} // namespace zorbalin::testing
