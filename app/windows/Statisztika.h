#pragma once
// Statisztika ("statistics"): the borderless window with the player's record
// for 3, 4 and 5 colours side by side, the par of the deal on the board when
// the machine has found it, and a bar chart of the last results of the
// current number of colours. In the style of the result window: dragged by
// its picture, closed by its cross or by Esc.
#include "app/settings/stats.h"
#include "app/windows/window_drag.h"
#include "game/deal_number.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/label.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zorbalin {

class TPNGButton;
class TStatsTable;
class TResultChart;

constexpr int kStatsClientWidth = 400;
constexpr int kStatsClientHeight = 330;

// What the window tells of the deal on the board.
struct TParInfo {
    bool Searching = false;          // the machine is still looking
    std::optional<std::int32_t> Par; // the fewest pebbles it found
    TDealNumber Deal = 0;            // its number; 0 for a position not dealt by number
};

class Tfrm_Statisztika : public TForm {
  public:
    explicit Tfrm_Statisztika(TComponent* Owner);
    ~Tfrm_Statisztika() override;

    TImage* Image1;
    TLabel* s1;          // "Statisztika"
    TStatsTable* Table;  // the figures, one column per number of colours
    TLabel* DealLabel;   // this deal's number and colours
    TLabel* ParLabel;    // this deal's par
    TLabel* ChartLabel;  // what the chart shows
    TResultChart* Chart; // the last results of the current number of colours
    TPNGButton* PNGButton8;

    // Fills the window; ColourCount (3, 4 or 5), the colours of the deal on the
    // board, picks the column shown brighter and the results charted.
    void SetFigures(const TStats& Stats, std::int32_t ColourCount, const TParInfo& Par);

    bool IsDragging() const { return FDrag.Dragging; }

    // Esc closes the window as its cross does.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

    void SpeedButton1Click(TObject* Sender);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  private:
    TLabel* NewLabel(const char* Name, int Top, int Height, int FontHeight, TColor Colour);

    TWindowDrag FDrag;
};

// The statistics window while it runs; null otherwise.
extern Tfrm_Statisztika* frm_Statisztika;

// Creates the statistics window, shows it modally and destroys it when the
// player has closed it.
void ShowStatisticsWindow(const TStats& Stats, std::int32_t ColourCount, const TParInfo& Par);

// The texts of the window, Hungarian, as they are shown.
// A figure of the table: Row 0 deals finished, 1 fewest left, 2 mean left,
// 3 deals with at most ten left, 4 boards cleared; "–" where nothing counts yet.
std::string StatsFigureText(const TColourStats& Stats, int Row);
std::string ParText(const TParInfo& Par);
// "Leosztás száma: 123 (4 szín)"; empty for Deal 0.
std::string DealText(TDealNumber Deal, std::int32_t ColourCount);

} // namespace zorbalin
