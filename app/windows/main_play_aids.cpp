// What the main window offers beyond the buttons: undo and redo, the hint, the
// par of each deal, the statistics of finished games with their window, and
// the context menu that reaches every command with the mouse.
#include "app/settings/Seged.h"
#include "app/settings/kept_game.h"
#include "app/settings/program_paths.h"
#include "app/settings/stats.h"
#include "app/windows/Main.h"
#include "game/click_between.h"
#include "game/solver.h"
#include "strings/translate.h"
#include "toolkit/application.h"

namespace zorbalin {

namespace {

int PebblesLeft(const TBoard& Board) {
    int count = 0;
    for (int col = 1; col <= kColumnCount; ++col)
        for (int row = 1; row <= kRowCount; ++row)
            if (Board.IsFilled(col, row))
                ++count;
    return count;
}

} // namespace

// ---- Undo and redo --------------------------------------------------------------------------

void Tfrm_Main::aVisszavonExecute(TObject*) {
    FinishMotion();
    const TBoard undone = FGame.Board();
    TCellPictures::TOperation operation(FCells);
    if (FGame.CanUndo()) {
        FGame.Undo();
        // The ring goes back to the group the undone click removed: that is where the player
        // was.
        if (std::optional<TCellPosition> click = ClickBetween(FGame.Board(), undone))
            FFocus.AimAt(click->Col, click->Row, FGame.Board());
        return;
    }
    // Right after a new deal or a replay: the game it left comes back.
    if (FGame.UndoDeal()) {
        FResultRecorded = FLeftRecorded;
        FPar.Start(FGame.SavedBoard());
    }
}

void Tfrm_Main::aMegisExecute(TObject*) {
    FinishMotion();
    TCellPictures::TOperation operation(FCells);
    FGame.Redo();
}

// ---- Hint and par ----------------------------------------------------------------------------

void Tfrm_Main::aTippExecute(TObject*) {
    std::optional<TCellPosition> first = TSolver().Hint(FGame.Board());
    if (!first)
        return;
    // The ring goes to the hinted pebble, so that Enter plays it.
    FFocus.AimAt(first->Col, first->Row, FGame.Board());
    FFocus.Show(FGame.Board());
    UpdateFocusRing();
    BlinkGroup(FGame.GroupAt(first->Col, first->Row));
}

void Tfrm_Main::BlinkGroup(const TGroupKeys& Group) {
    // Hidden and shown again through the board's own notifications, each state drawn at once
    // and held for a moment; the board itself does not change. The player's next key or click
    // ends the blink at once, with the group shown, and then does what it does.
    FinishMotion();
    TCellPictures::TOperation operation(FCells);
    for (int change = 1; change < 2 * kHintBlinks; ++change) {
        ShowGroup(Group, change % 2 == 0);
        UpdateNow();
        if (gApplication && gApplication->WaitForPlayer(kHintBlinkTime))
            break;
    }
    ShowGroup(Group, true);
}

void Tfrm_Main::ShowGroup(const TGroupKeys& Group, bool Shown) {
    for (const std::string& key : Group) {
        const int col = std::stoi(GetField("i", key, 1));
        const int row = std::stoi(GetField("i", key, 2));
        if (Shown)
            ShowPebble(col, row, FGame.Board().Colour(col, row));
        else
            HidePebble(col, row);
    }
}

// ---- Statistics ------------------------------------------------------------------------------

void Tfrm_Main::LeavingGame() {
    // Mirrors TGame::KeepLeftGame: a game without a step does not replace the one left before it.
    if (FGame.CanUndo() || FGame.CanRedo() || !FGame.CanUndoDeal())
        FLeftRecorded = FResultRecorded;
}

void Tfrm_Main::GameStarted(bool NewDeal) {
    FResultRecorded = false;
    // A replay keeps the par its deal has, or is being given.
    if (NewDeal || (!FPar.Searching() && !FPar.Par()))
        FPar.Start(FGame.SavedBoard());
}

void Tfrm_Main::RecordResult() {
    // A game counts once, at its first end: ends reached again after an undo, or by a click on
    // a pebble left over, are the same game.
    if (FResultRecorded)
        return;
    FResultRecorded = true;
    // The kept game goes with the result in one write, saying it was counted: however the
    // program ends from here on, the game comes back counted or uncounted with the statistics.
    const std::vector<TIniValue> kept = KeptGameValuesNow();
    try {
        zorbalin::RecordResult(ProgramPaths().IniPath, FGame.DealColourCount(),
                               PebblesLeft(FGame.Board()), kept);
        FKeptText = IniValuesText(kept);
    } catch (const std::exception& e) {
        // The player still learns the result; the error box tells why it was not kept.
        if (gApplication)
            gApplication->ShowException(e);
    }
}

void Tfrm_Main::aStatisztikaExecute(TObject*) {
    ShowStatisticsWindow(ReadStats(ProgramPaths().IniPath), FGame.DealColourCount(),
                         TParInfo{FPar.Searching(), FPar.Par(), FGame.DealNumber()});
}

// ---- The context menu ------------------------------------------------------------------------

TMenuItem* Tfrm_Main::NewMenuItem(const char* Caption, TAction* Action) {
    TMenuItem* item = PopupMenu1->Add(Tr(Caption), Action);
    FCaptionSources.emplace_back(item, Caption);
    return item;
}

void Tfrm_Main::CreatePopupMenu() {
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    NewMenuItem(TrMark("Visszavonás"), aVisszavon);
    NewMenuItem(TrMark("Mégis"), aMegis);
    NewMenuItem(TrMark("Tipp"), aTipp);
    NewMenuItem(TrMark("Statisztika"), aStatisztika);
    PopupMenu1->AddLine();
    NewMenuItem(TrMark("Új játék"), aUj);
    NewMenuItem(TrMark("Újrajátszás"), aUjrajatszas);
    NewMenuItem(TrMark("Leosztás száma…"), aLeosztas);
    CsakMegoldhatoItem = PopupMenu1->Add(Tr("Csak megoldható leosztás"), "",
                                         [this](TObject* Sender) { CsakMegoldhatoClick(Sender); });
    FCaptionSources.emplace_back(CsakMegoldhatoItem, TrMark("Csak megoldható leosztás"));
    NewMenuItem(TrMark("Beállítások"), aBeallit);
    FolytatasItem = PopupMenu1->Add(Tr("Folytatás induláskor"), "",
                                    [this](TObject* Sender) { FolytatasItemClick(Sender); });
    FCaptionSources.emplace_back(FolytatasItem, TrMark("Folytatás induláskor"));
    FAnimationItem = PopupMenu1->Add(Tr("Animáció"), "",
                                     [this](TObject* Sender) { AnimationItemClick(Sender); });
    FCaptionSources.emplace_back(FAnimationItem, TrMark("Animáció"));
    NewMenuItem(TrMark("Névjegy"), aNevjegy);
    PopupMenu1->AddLine();
    CreateLanguageMenu();
    PopupMenu1->OnPopup = [this](TObject* Sender) { PopupMenu1Popup(Sender); };
    PopupMenu = PopupMenu1;
}

TPoint Tfrm_Main::ContextMenuPlace() const {
    // Beside the focus ring when it is shown (the keyboard player's eyes are there), else at the
    // pointer when it is over the window, else at the board's top-left corner.
    TPoint cursor = ScreenToClient(GetCursorPos());
    TPoint at =
        ClientRect().Contains(cursor) ? cursor : TPoint{HomeBox(1, 1).Left, HomeBox(1, 1).Top};
    if (FFocus.Visible() && !FRingBox.IsEmpty())
        at = {FRingBox.Right, FRingBox.Top};
    return at;
}

void Tfrm_Main::aHelyiMenuExecute(TObject*) {
    TPoint screen = ClientToScreen(ContextMenuPlace());
    PopupMenu1->Popup(screen.X, screen.Y);
}

void Tfrm_Main::PopupMenu1Popup(TObject*) {
    PopupMenu1->ItemOf(aVisszavon)->Enabled = FGame.CanUndo() || FGame.CanUndoDeal();
    PopupMenu1->ItemOf(aMegis)->Enabled = FGame.CanRedo();
    PopupMenu1->ItemOf(aTipp)->Enabled = FGame.HasMovesLeft();
    FolytatasItem->Checked = FSettings.Resume;
    FAnimationItem->Checked = FMotionOn;
    CsakMegoldhatoItem->Checked = FClearable;
}

} // namespace zorbalin
