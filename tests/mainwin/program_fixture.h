#pragma once
// The whole program on the headless backend: a private program folder with
// its own Ico/ pictures, a private configuration folder, the application and
// the main window created by the real start-up, shown at its saved place.
#include "app/settings/Seged.h"
#include "app/windows/Main.h"
#include "backend/headless/headless_backend.h"
#include "game/board.h"
#include "tests/support/temp_folder.h"
#include "toolkit/application.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorbalin::testing {

bool FileExists(const std::string& Path);
// A 24-bit Windows bitmap of one colour (0x00RRGGBB).
void WriteSolidBitmap(const std::string& Path, int Width, int Height, std::uint32_t Rgb);

class ProgramTest : public ::testing::Test {
  protected:
    ProgramTest();
    ~ProgramTest() override;

    // Runs the start-up on the headless screen and shows the main window; the motion of a click
    // is off unless FKeepMotion is set before.
    void Start();
    // Lets the motion of the last click play to its end, frame by frame.
    void SettleMotion();
    // Ends the program as the close button does.
    void CloseByButton();

    // What the settings file holds, or "" when there is none.
    std::string SettingsText() const {
        return FileExists(FPaths.IniPath) ? ReadFile(FPaths.IniPath) : "";
    }
    void WriteSettingsFile(int Left, int Top, int Hard);

    // Screen coordinates of a main-window client point.
    TPoint OnMain(int X, int Y) const;
    // The centre of a cell's home box, on the screen.
    TPoint CellCentre(int Col, int Row) const;
    TImage* Cell(int Col, int Row) const { return frm_Main->Cells().Cell(Col, Row); }
    int VisibleCells() const;

  public:
    // A board where no two neighbours share a colour.
    static TBoard CheckerBoard();

  protected:
    // Puts a position on the board, as the replay shows it.
    void ShowPosition(const TBoard& Position);
    // A board of one colour per column pattern: colour = Pattern(Col, Row).
    static TBoard MakeBoard(const std::function<std::int32_t(int, int)>& Pattern);

    THeadlessWindow* MainWindow() const;
    std::vector<std::string> BoxTexts() const;

    // Runs the given input steps, one each time the program waits for input
    // (in modal loops too); a check may be a step as well.
    void WhenIdle(std::vector<std::function<void()>> Steps);
    void Pump() { FApp->ProcessMessages(); }
    // Injected input, each handled at once: the cursor position that the
    // program reads is the one of the last injected event.
    void Press(TPoint P, TMouseButton Button = TMouseButton::mbLeft);
    void Move(TPoint P);
    void Release(TPoint P, TMouseButton Button = TMouseButton::mbLeft);
    void ClickAt(TPoint P);
    // Handles the queued input without the ordinary repaint that follows.
    void HandleQueuedInput();

    TTempFolder FTemp;
    TSegedPaths FPaths;
    THeadlessBackend FScreen;
    std::unique_ptr<TApplication> FApp;
    bool FKeepMotion = false; // the motion as the settings and the desktop ask

  private:
    std::vector<std::function<void()>> FSteps;
    std::size_t FNextStep = 0;
};

} // namespace zorbalin::testing
