#pragma once
// Main: the main window frm_Main, the whole visible game. A borderless 670 x 480
// window: the background picture Image1, eight image buttons along the top, and
// the 162 cell pictures in front of them. It implements TBoardView, so the game
// never touches a window itself, and keeps the window's place and the number of
// colours in the settings file.
#include "app/settings/language.h"
#include "app/settings/settings.h"
#include "app/shell_starter/ShellStarter.h"
#include "app/windows/Statisztika.h"
#include "app/windows/board_focus.h"
#include "app/windows/board_motion.h"
#include "app/windows/cell_pictures.h"
#include "app/windows/clearable_dealer.h"
#include "app/windows/key_list_panel.h"
#include "app/windows/motion_plan.h"
#include "app/windows/par_search.h"
#include "app/windows/window_drag.h"
#include "game/board_view.h"
#include "game/game.h"
#include "toolkit/action.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/popup_menu.h"
#include "toolkit/ticker.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorbalin {

class TPNGButton;

constexpr int kMainClientWidth = 670;
constexpr int kMainClientHeight = 480;

class Tfrm_Main : public TForm, public TBoardView {
  public:
    explicit Tfrm_Main(TComponent* Owner);
    ~Tfrm_Main() override;

    // Components, in the order of creation (later ones lie in front).
    TImage* Image1;
    TPNGButton* PNGButton4; // new game
    TPNGButton* PNGButton3; // about
    TPNGButton* PNGButton5; // news page
    TPNGButton* PNGButton6; // home page
    TPNGButton* PNGButton7; // minimise
    TPNGButton* PNGButton8; // close
    TPNGButton* PNGButton1; // settings
    TPNGButton* PNGButton2; // replay
    TActionList* ActionList1;
    TAction* aBezar;
    TAction* aUj;
    TAction* aUjdonsag;
    TAction* aHonlap;
    TAction* aNevjegy;
    TAction* aBeallit;
    TAction* aMinimize;
    TAction* aUjrajatszas; // replay, for its key and its hint
    TAction* aVisszavon;   // undo
    TAction* aMegis;       // redo
    TAction* aTipp;        // the hint
    TAction* aStatisztika; // the statistics window
    TAction* aHelyiMenu;   // the context menu from the keyboard
    TAction* aLeosztas;    // a deal chosen by its number
    TShellStarter* ShellStarter1;
    TPopupMenu* PopupMenu1;        // a right click anywhere on the window
    TMenuItem* FolytatasItem;      // the check item that keeps the game for the next start
    TMenuItem* CsakMegoldhatoItem; // the check item: new deals only boards the solver clears
    TPopupMenu* LanguageMenu;      // "Nyelv / Language" of the context menu

    TGame& Game() { return FGame; }
    const TCellPictures& Cells() const { return FCells; }
    bool IsDragging() const { return FDrag.Dragging; }
    // The hint's blink: the group goes and comes back this many times, each state held this long
    // unless the player presses a key or a button first.
    static constexpr int kHintBlinks = 3;
    static constexpr std::uint32_t kHintBlinkTime = 200; // milliseconds

    // Every key of the window with what it does, for the about window: the board's keys, then
    // the actions' keys in the order of the action list.
    std::vector<TKeyLine> KeyList() const;
    const TBoardFocus& Focus() const { return FFocus; }
    // New deals are only boards the solver clears (Clearable=1 in the settings).
    bool Clearable() const { return FClearable; }
    // A clearable deal is being looked for; the board changes when it is found.
    bool DealPending() const { return FDealer.Waiting(); }

    // The motion of a click's drops and column shifts (app/board_motion.h), when on: as the
    // settings file or the desktop asks at the start, switched with the context menu's
    // "Animáció". SetMotion switches it for this run only.
    bool MotionOn() const { return FMotionOn; }
    void SetMotion(bool On);
    const TBoardMotion& Motion() const { return FMotion; }
    TBoardMotion& Motion() { return FMotion; }
    // Shows the board's final look now (and the result window when the click ended the game).
    void FinishMotion() { FMotion.Finish(); }
    void AnimationItemClick(TObject* Sender);

    // The board's keys: arrows move the focus ring, Enter and Space click its pebble.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

    // Event handlers.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void aBezarExecute(TObject* Sender);
    void aUjExecute(TObject* Sender);
    void aUjdonsagExecute(TObject* Sender);
    void aHonlapExecute(TObject* Sender);
    void aNevjegyExecute(TObject* Sender);
    void aBeallitExecute(TObject* Sender);
    void aMinimizeExecute(TObject* Sender);
    void PNGButton2Click(TObject* Sender);
    void aVisszavonExecute(TObject* Sender);
    void aMegisExecute(TObject* Sender);
    void aStatisztikaExecute(TObject* Sender);
    void aTippExecute(TObject* Sender);
    void PopupMenu1Popup(TObject* Sender);
    void FolytatasItemClick(TObject* Sender);
    void aHelyiMenuExecute(TObject* Sender);
    void aLeosztasExecute(TObject* Sender);
    void CsakMegoldhatoClick(TObject* Sender);
    void aNyelvExecute(); // the languages' menu
    // Shows the program in Language and keeps it in the settings file.
    void ChooseLanguage(TLanguage Language);
    // Puts the hints, the buttons' tooltips and the menu's captions in the player's language.
    void ShowTexts();
    void Image1Click(TObject* Sender);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // TBoardView.
    TPictureHandle CreatePebble(int Col, int Row, std::int32_t Colour) override;
    void ShowPebble(int Col, int Row, std::int32_t Colour) override;
    void HidePebble(int Col, int Row) override;
    void OffsetPebble(int Col, int Row, int DX, int DY) override;
    void ResetPebble(int Col, int Row) override;
    void ShowResult(const std::string& Headline, const std::string& Message) override;

  protected:
    void MouseUsed(TPoint P, bool Pressed) override;
    // A press during the motion ends it; it is then handled as ever, unless the result window
    // the click was waiting to show takes it.
    bool InterceptPress() override;
    void PaintOverlay(HDC Dc) override;

  private:
    void CreateComponents();
    void CreateActions();
    TAction* NewAction(const char* Name, const char* Hint, void (Tfrm_Main::*Handler)(TObject*),
                       std::initializer_list<TShortCut> Keys);
    TPNGButton* NewButton(const char* Name, int Left, int Size, std::string_view Icon,
                          void (Tfrm_Main::*Handler)(TObject*));
    void LoadBackgroundFile();
    void ClickFocusedPebble();
    // After every game operation: the ring leaves a cell that emptied.
    void BoardChanged();
    // Invalidates where the ring was and where it is now.
    void UpdateFocusRing();
    void CreatePopupMenu();
    // Before a deal or a replay: what the game's UndoDeal will bring back beside the board.
    void LeavingGame();
    TMenuItem* NewMenuItem(const char* Caption, TAction* Action);
    void CreateLanguageMenu();
    // Where the context menus open, in client pixels.
    TPoint ContextMenuPlace() const;
    // A deal or a replay: a game whose result is not recorded yet.
    void GameStarted(bool NewDeal);
    // The first game: the kept one when the player asked for it and it plays back, else a deal.
    void StartFirstGame();
    // After every operation: the game in progress to the settings file, when it is kept.
    void KeepGame();
    std::vector<TIniValue> KeptGameValuesNow() const;
    void RecordResult();
    // Deals the clearable deal once its search has found it; true while it still looks.
    bool TakeClearableDeal();
    void BlinkGroup(const TGroupKeys& Group);
    // A click's notifications are recorded while the motion is on; when the click has run to
    // its end, the recorded moves play, and the result window waits for them.
    void BeginRecording();
    void PlayRecordedMotion();
    void ShowPendingResult();
    void ShowGroup(const TGroupKeys& Group, bool Shown);

    // The Hungarian texts of the actions' hints and the menu's captions, for ShowTexts.
    std::vector<std::pair<TAction*, const char*>> FHintSources;
    std::vector<std::pair<TMenuItem*, const char*>> FCaptionSources;

    TCellPictures FCells;
    TGame FGame;
    TSettings FSettings; // SavedLeft, SavedTop as read at creation
    bool FPlacedOnce = false;
    bool FResultRecorded = false; // this game's first end went into the statistics
    bool FLeftRecorded = false;   // the same for the game a new deal or a replay left
    std::string FKeptText;     // the kept game as last written, to skip writes that change nothing
    bool FKeepRefused = false; // a kept game could not be written and that was logged
    bool FSaveRefused = false; // a close could not save the settings and was told so
    TParSearch FPar;           // the par of the deal on the board
    bool FClearable = false;   // new deals only boards the solver clears
    TClearableDealer FDealer;  // the search for such a deal, beside the window
    // Takes the clearable deal in once its search has found it, while the window goes on.
    class TDealWatch : public TTicker {
      public:
        explicit TDealWatch(Tfrm_Main& Owner) : FOwner(Owner) {}
        int Tick(uint32_t) override { return FOwner.TakeClearableDeal() ? kLookAgain : -1; }

      private:
        static constexpr int kLookAgain = 15; // milliseconds
        Tfrm_Main& FOwner;
    };
    TDealWatch FDealWatch{*this};
    TLanguage FLanguage = TLanguage::Hungarian; // the texts' language
    bool FOwnBackground = false;                // Ico/hatter.bmp in place of the embedded picture
    bool FBackgroundTranslated = false;         // the embedded picture's foot line is not Hungarian

    TWindowDrag FDrag; // dragging the window by its background

    TBoardFocus FFocus;
    TMenuItem* FAnimationItem = nullptr;

    TMotionRecorder FRecorder;
    TBoardMotion FMotion{FCells};
    bool FMotionOn = true;
    bool FRecording = false; // a click runs with the motion on
    struct TResultText {
        std::string Headline, Message;
    };
    std::optional<TResultText> FPendingResult; // the end of the game, shown after the motion
    TRect FRingBox;                            // where the ring is drawn; empty while hidden
    TPoint FLastMouse;
    bool FMouseSeen = false;
};

// The main window while the program runs.
extern Tfrm_Main* frm_Main;

} // namespace zorbalin
