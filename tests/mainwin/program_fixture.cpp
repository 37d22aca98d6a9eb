#include "program_fixture.h"

#include "app/program/program.h"
#include "strings/translate.h"
#include "toolkit/image.h"

#include <cstdlib>
#include <filesystem>

namespace zorbalin::testing {

namespace fs = std::filesystem;

bool FileExists(const std::string& Path) {
    return fs::is_regular_file(Path);
}

namespace {

void PutLE(std::string& Out, std::uint32_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i)
        Out.push_back(static_cast<char>(Value >> (8 * i) & 0xFF));
}

} // namespace

void WriteSolidBitmap(const std::string& Path, int Width, int Height, std::uint32_t Rgb) {
    const int stride = (Width * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * Height);
    std::string bmp = "BM";
    PutLE(bmp, 54 + pixelBytes, 4);
    PutLE(bmp, 0, 4);
    PutLE(bmp, 54, 4);
    PutLE(bmp, 40, 4);
    PutLE(bmp, static_cast<std::uint32_t>(Width), 4);
    PutLE(bmp, static_cast<std::uint32_t>(Height), 4);
    PutLE(bmp, 1, 2);
    PutLE(bmp, 24, 2);
    PutLE(bmp, 0, 4);
    PutLE(bmp, pixelBytes, 4);
    PutLE(bmp, 2835, 4);
    PutLE(bmp, 2835, 4);
    PutLE(bmp, 0, 4);
    PutLE(bmp, 0, 4);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x)
            PutLE(bmp, Rgb, 3); // B, G, R in that byte order
        bmp.append(static_cast<std::size_t>(stride - Width * 3), '\0');
    }
    WriteFile(Path, bmp);
}

ProgramTest::ProgramTest() {
    // The user's scale and language must not reach the tests.
    unsetenv("ZORBALIN_SCALE");
    unsetenv("ZORBALIN_LANG");
    const std::string appDir = FTemp.Path() + "/program";
    fs::create_directories(appDir + "/Ico");
    for (int colour = 1; colour <= 5; ++colour) {
        const std::string name = "/Ico/" + std::to_string(colour) + ".bmp";
        fs::copy_file(ZORBALIN_ASSETS_DIR + name, appDir + name);
    }
    // The catalogues beside the program, as in the build tree.
    fs::create_directory_symlink(ZORBALIN_LOCALE_DIR, appDir + "/locale");
    fs::create_directories(FTemp.Path() + "/config");
    FPaths = ResolveSegedPaths(appDir, FTemp.Path() + "/config");
    FScreen.OnIdle = [this] {
        if (FNextStep < FSteps.size())
            FSteps[FNextStep++]();
    };
}

ProgramTest::~ProgramTest() {
    FScreen.OnIdle = nullptr;
    FApp.reset();
    UseCatalogue(nullptr);
}

void ProgramTest::Start() {
    // The paths are taken now: a test may have changed them (portable settings file).
    SetProgramPaths(FPaths);
    FApp = std::make_unique<TApplication>(FScreen);
    StartProgram(*FApp);
    ASSERT_NE(frm_Main, nullptr);
    // Most tests look at the board right after a click: they run with every step drawn at once.
    if (!FKeepMotion)
        frm_Main->SetMotion(false);
    frm_Main->Show();
    Pump();
}

void ProgramTest::SettleMotion() {
    for (int frame = 0; frame < 100 && frm_Main->Motion().Running(); ++frame) {
        FScreen.AdvanceTime(kFrameTime);
        Pump();
    }
    ASSERT_FALSE(frm_Main->Motion().Running()) << "the motion did not end by its time";
}

void ProgramTest::CloseByButton() {
    ClickAt(OnMain(644, 24));
}

void ProgramTest::Press(TPoint P, TMouseButton Button) {
    FScreen.MouseDown(P.X, P.Y, Button);
    Pump();
}

void ProgramTest::Move(TPoint P) {
    FScreen.MouseMove(P.X, P.Y);
    Pump();
}

void ProgramTest::Release(TPoint P, TMouseButton Button) {
    FScreen.MouseUp(P.X, P.Y, Button);
    Pump();
}

void ProgramTest::ClickAt(TPoint P) {
    FScreen.Click(P.X, P.Y);
    Pump();
}

void ProgramTest::HandleQueuedInput() {
    while (FScreen.QueuedEvents() > 0)
        FApp->HandleMessage();
}

void ProgramTest::WriteSettingsFile(int Left, int Top, int Hard) {
    fs::create_directories(FPaths.DataDir);
    WriteFile(FPaths.IniPath, "[Screen]\nLeft=" + std::to_string(Left) +
                                  "\nTop=" + std::to_string(Top) +
                                  "\n[Game]\nHard=" + std::to_string(Hard) + "\n");
}

TPoint ProgramTest::OnMain(int X, int Y) const {
    return frm_Main->ClientToScreen({X, Y});
}

TPoint ProgramTest::CellCentre(int Col, int Row) const {
    const TCellBox box = HomeBox(Col, Row);
    return OnMain(box.Left + box.Width / 2, box.Top + box.Height / 2);
}

int ProgramTest::VisibleCells() const {
    int count = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (Cell(col, row) && Cell(col, row)->Visible())
                ++count;
    return count;
}

void ProgramTest::ShowPosition(const TBoard& Position) {
    frm_Main->Game().LoadPosition(Position);
    frm_Main->PNGButton2Click(nullptr);
    Pump();
}

TBoard ProgramTest::MakeBoard(const std::function<std::int32_t(int, int)>& Pattern) {
    TBoard board;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            board.At(col, row).Colour = Pattern(col, row);
    return board;
}

TBoard ProgramTest::CheckerBoard() {
    // Three colours in a pattern where no two neighbours match.
    return MakeBoard([](int Col, int Row) { return 1 + (Col + 2 * Row) % 3; });
}

THeadlessWindow* ProgramTest::MainWindow() const {
    return static_cast<THeadlessWindow*>(frm_Main->Window());
}

std::vector<std::string> ProgramTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : const_cast<THeadlessBackend&>(FScreen).MessageBoxes())
        texts.push_back(box.Text);
    return texts;
}

void ProgramTest::WhenIdle(std::vector<std::function<void()>> Steps) {
    FSteps = std::move(Steps);
    FNextStep = 0;
}

} // namespace zorbalin::testing
