#include "app/windows/Main.h"

#include "app/settings/Seged.h"
#include "app/settings/program_paths.h"
#include "app/shell_starter/site_address.h"
#include "app/windows/Beallit.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Leosztas.h"
#include "app/windows/Nevjegy.h"
#include "app/windows/background_text.h"
#include "app/windows/embedded_pictures.h"
#include "app/windows/start_options.h"
#include "app/windows/window_parts.h"
#include "app/windows/window_place.h"
#include "assets/embedded_assets.h"
#include "game/clearable_deal.h"
#include "imaging/pngbutton.h"
#include "imaging/pngpicture.h"
#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/bitmap.h"
#include "toolkit/font.h"

#include <utility>

namespace zorbalin {

Tfrm_Main* frm_Main = nullptr;

namespace {

// The title strip above the board, by which the player drags the window (logical pixels).
constexpr int kTopBandHeight = 63;

} // namespace

Tfrm_Main::Tfrm_Main(TComponent* Owner) : TForm(Owner), FGame(*this) {
    SetName("frm_Main");
    SetCaption("frm_Main");
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetClientSize(kMainClientWidth, kMainClientHeight);
    SetBounds(223, 198, Width(), Height());
    SetColor(kClBtnFace);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    CreateComponents();
    FCells.Attach(this, ProgramPaths().AppDir, [this](TObject* Sender) { Image1Click(Sender); });
    FCells.OnOperationEnd = [this] {
        BoardChanged();
        KeepGame();
    };
    FMotion.OnFinished = [this] { ShowPendingResult(); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

Tfrm_Main::~Tfrm_Main() {
    if (gApplication)
        gApplication->RemoveTicker(&FDealWatch);
    FDealer.Cancel();
    // The components go first, while the game and the cell table that their handlers use exist.
    DestroyComponents();
    if (frm_Main == this)
        frm_Main = nullptr;
}

TPNGButton* Tfrm_Main::NewButton(const char* Name, int Left, int Size, std::string_view Icon,
                                 void (Tfrm_Main::*Handler)(TObject*)) {
    auto* button = new TPNGButton(this);
    button->SetName(Name);
    button->SetBounds(Left, 12, Size, Size);
    button->SetButtonLayout(pbsImageAbove);
    button->SetButtonStyle(pbsNoFrame);
    button->ShowHint = true;
    button->OnClick = [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    button->SetParent(this);
    RunCreationStep([&] { button->SetImageNormal(EmbeddedPicture(Icon).get()); });
    return button;
}

void Tfrm_Main::CreateComponents() {
    Image1 = NewPanelPicture(this, kMainClientWidth, kMainClientHeight, asset::kMainBackground);
    ConnectDragHandlers(Image1, this);

    // Left to right on the screen: replay, new game, settings, about, news, home, minimise, close.
    PNGButton4 = NewButton("PNGButton4", 384, 37, asset::kButtonNewGame, &Tfrm_Main::aUjExecute);
    PNGButton3 = NewButton("PNGButton3", 480, 37, asset::kButtonAbout, &Tfrm_Main::aNevjegyExecute);
    PNGButton5 = NewButton("PNGButton5", 520, 37, asset::kButtonNews, &Tfrm_Main::aUjdonsagExecute);
    PNGButton6 = NewButton("PNGButton6", 560, 37, asset::kButtonHome, &Tfrm_Main::aHonlapExecute);
    PNGButton7 =
        NewButton("PNGButton7", 608, 25, asset::kButtonMinimise, &Tfrm_Main::aMinimizeExecute);
    PNGButton8 = NewButton("PNGButton8", 632, 25, asset::kButtonClose, &Tfrm_Main::aBezarExecute);
    PNGButton1 =
        NewButton("PNGButton1", 432, 37, asset::kButtonSettings, &Tfrm_Main::aBeallitExecute);
    PNGButton2 =
        NewButton("PNGButton2", 336, 37, asset::kButtonReplay, &Tfrm_Main::PNGButton2Click);

    CreateActions();
    ShellStarter1 = new TShellStarter(this);
    ShellStarter1->SetName("ShellStarter1");
    CreatePopupMenu();
    ShowTexts();
}

void Tfrm_Main::ShowTexts() {
    // A background of the player's own has no line to translate.
    const bool translated = MainBackgroundTranslated();
    if (!FOwnBackground && translated != FBackgroundTranslated) {
        RunCreationStep([this] { ShowMainBackground(*Image1); });
        FBackgroundTranslated = translated;
    }
    for (const auto& [action, hint] : FHintSources)
        action->SetHint(Tr(hint));
    for (const auto& [item, caption] : FCaptionSources)
        item->Caption = Tr(caption);
    // Each button's tooltip is the hint of the action it stands for.
    const std::pair<TPNGButton*, TAction*> hints[] = {
        {PNGButton2, aUjrajatszas}, {PNGButton4, aUj},       {PNGButton1, aBeallit},
        {PNGButton3, aNevjegy},     {PNGButton5, aUjdonsag}, {PNGButton6, aHonlap},
        {PNGButton7, aMinimize},    {PNGButton8, aBezar}};
    for (const auto& [button, action] : hints)
        button->SetHint(action->Hint());
}

// ---- Creation, showing, closing ---------------------------------------------------------------

void Tfrm_Main::FormCreate(TObject*) {
    CreateDataDir(ProgramPaths().DataDir);
    RunCreationStep([this] { LoadBackgroundFile(); });
    FSettings = ReadSettings(ProgramPaths().IniPath);
    FMotionOn = MotionWanted(FSettings.Animation, gApplication->Backend().DesktopAnimations());
    FLanguage = ChosenLanguage(ProgramPaths().IniPath);
    FClearable = FSettings.Clearable;
    const TStartOptions& asked = ProgramStartOptions();
    RunCreationStep([&] {
        // --colours counts as choosing them in the settings: kept when the window closes.
        FGame.SetColourCount(asked.ColourCount != 0 ? asked.ColourCount : FSettings.ColourCount);
    });
    RunCreationStep([&] {
        TCellPictures::TOperation operation(FCells);
        // A deal asked for on the command line comes before a kept game.
        if (asked.Deal != 0) {
            FGame.CreateBoard(asked.Deal);
            GameStarted(true);
        } else {
            StartFirstGame();
        }
    });
    if (gApplication)
        gApplication->AddTicker(&FDealWatch);
}

void Tfrm_Main::LoadBackgroundFile() {
    const std::string path = ProgramPaths().AppDir + "/Ico/hatter.bmp";
    if (!IsRegularFile(path))
        return;
    // Read it aside first: a broken file must leave the embedded background in place.
    TBitmap background;
    background.LoadFromFile(path);
    Image1->Picture()->Assign(&background);
    FOwnBackground = true;
}

void Tfrm_Main::FormShow(TObject*) {
    // Only the first showing places the window; a later one (after the task bar) keeps it.
    if (FPlacedOnce)
        return;
    FPlacedOnce = true;
    const TSettings defaults;
    const TPoint place =
        OpeningPlace({FSettings.SavedLeft, FSettings.SavedTop}, Width(), kTopBandHeight * Scale(),
                     gApplication->Backend().Monitors(), {defaults.SavedLeft, defaults.SavedTop});
    SetLeft(place.X);
    SetTop(place.Y);
}

void Tfrm_Main::FormClose(TObject*, TCloseAction&) {
    // The game's end is in the statistics already; a closing window does not open another.
    FPendingResult.reset();
    FMotion.Finish();
    // The par search stops first (within milliseconds), so that the save is the last thing a
    // close does and the process ends right after it.
    const bool searching = FPar.Searching();
    if (searching)
        FPar.Cancel();
    try {
        WriteSettings(ProgramPaths().IniPath, Left(), Top(), FGame.ColourCount());
    } catch (const EIniWriteError& error) {
        // The first refusal propagates: the toolkit keeps the window open and shows the error
        // box, so that the player can make room and close again. After that a close request
        // closes anyway (still trying to save), or the window could never be closed at all.
        if (!FSaveRefused) {
            FSaveRefused = true;
            if (searching) // the window stays: its deal is searched on
                FPar.Start(FGame.SavedBoard());
            throw;
        }
        gApplication->LogError(error.what());
    }
}

void Tfrm_Main::aBezarExecute(TObject*) {
    Close();
}

void Tfrm_Main::aMinimizeExecute(TObject*) {
    if (gApplication)
        gApplication->Minimize();
}

// ---- Game commands -----------------------------------------------------------------------------

void Tfrm_Main::aUjExecute(TObject*) {
    FinishMotion();
    if (FClearable) {
        // The board changes when the search has found its deal (TakeClearableDeal).
        FDealer.Start(FGame.ColourCount());
        return;
    }
    FDealer.Cancel();
    TCellPictures::TOperation operation(FCells);
    LeavingGame();
    FGame.aUjExecute();
    GameStarted(true);
}

bool Tfrm_Main::TakeClearableDeal() {
    if (!FDealer.Waiting())
        return false;
    // Not behind a dialog or the menu: the board changes where the player sees it.
    if (gApplication && gApplication->ModalForm())
        return true;
    const std::optional<TDealNumber> number = FDealer.Take();
    if (!number)
        return true;
    FinishMotion();
    TCellPictures::TOperation operation(FCells);
    LeavingGame();
    FGame.PlayDeal(*number);
    GameStarted(true);
    return false;
}

void Tfrm_Main::PNGButton2Click(TObject*) {
    FinishMotion();
    FDealer.Cancel(); // the replay is what the player asked for now
    TCellPictures::TOperation operation(FCells);
    LeavingGame();
    FGame.PNGButton2Click();
    GameStarted(false);
}

void Tfrm_Main::Image1Click(TObject* Sender) {
    const auto* picture = dynamic_cast<TComponent*>(Sender);
    if (!picture)
        return;
    FinishMotion();
    // The player's aim follows the click, so that the keys go on from the pebble played.
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (FCells.Cell(col, row) == picture && FGame.Board().IsFilled(col, row))
                FFocus.AimAt(col, row, FGame.Board());
    BeginRecording();
    try {
        TCellPictures::TOperation operation(FCells);
        FGame.ClickNamedCell(picture->Name());
    } catch (...) {
        FRecording = false;
        FPendingResult.reset();
        throw;
    }
    PlayRecordedMotion();
}

// ---- Dialogs and web pages ---------------------------------------------------------------------

void Tfrm_Main::aNevjegyExecute(TObject*) {
    frm_Nevjegy = TForm::Create<Tfrm_Nevjegy>(gApplication);
    frm_Nevjegy->ShowModal();
}

void Tfrm_Main::aBeallitExecute(TObject*) {
    std::int32_t count = FGame.ColourCount();
    ShowSettingsDialog(count);
    FGame.SetColourCount(count);
}

void Tfrm_Main::aLeosztasExecute(TObject*) {
    const std::optional<TDealNumber> number = ShowDealNumberDialog(FGame.DealNumber());
    if (!number)
        return;
    FDealer.Cancel(); // a typed number is dealt as it is, clearable or not
    FinishMotion();
    TCellPictures::TOperation operation(FCells);
    LeavingGame();
    FGame.PlayDeal(*number);
    GameStarted(true);
}

void Tfrm_Main::CsakMegoldhatoClick(TObject*) {
    const bool clearable = !FClearable;
    try {
        TIniFile(ProgramPaths().IniPath).WriteValues({ClearableValue(clearable)});
    } catch (const EIniWriteError& error) {
        if (gApplication)
            gApplication->ShowException(error);
        return;
    }
    FClearable = clearable;
}

void Tfrm_Main::aUjdonsagExecute(TObject*) {
    ShellStarter1->SetText(0, NewsPageAddress());
    ShellStarter1->Start();
}

void Tfrm_Main::aHonlapExecute(TObject*) {
    ShellStarter1->SetText(0, HomePageAddress());
    ShellStarter1->Start();
}

// ---- Dragging the window by its background -----------------------------------------------------

void Tfrm_Main::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    FDrag.MouseDown(*this, Button);
}

void Tfrm_Main::Image1MouseMove(TObject*, TShiftState, int, int) {
    FDrag.MouseMove(*this);
}

void Tfrm_Main::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    FDrag.MouseUp();
}

// ---- TBoardView --------------------------------------------------------------------------------

TPictureHandle Tfrm_Main::CreatePebble(int Col, int Row, std::int32_t Colour) {
    return FCells.Create(Col, Row, Colour);
}

void Tfrm_Main::ShowPebble(int Col, int Row, std::int32_t Colour) {
    if (FRecording)
        FRecorder.Show(Col, Row, Colour);
    FCells.Show(Col, Row, Colour);
}

void Tfrm_Main::HidePebble(int Col, int Row) {
    if (FRecording)
        FRecorder.Hide(Col, Row);
    FCells.Hide(Col, Row);
}

void Tfrm_Main::OffsetPebble(int Col, int Row, int DX, int DY) {
    // With the motion on, the slide is played after the click, all pebbles together.
    if (FRecording)
        FRecorder.Offset(Col, Row, DX, DY);
    else
        FCells.Offset(Col, Row, DX, DY);
}

void Tfrm_Main::ResetPebble(int Col, int Row) {
    FCells.Reset(Col, Row);
}

void Tfrm_Main::ShowResult(const std::string& Headline, const std::string& Message) {
    // A bitmap that failed during this click is told before the game's end is.
    FCells.ReportFailures();
    RecordResult();
    if (FRecording)
        FPendingResult = TResultText{Headline, Message};
    else
        ShowResultWindow(Headline, Message);
}

} // namespace zorbalin
