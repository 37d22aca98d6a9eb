#include "app/windows/Statisztika.h"

#include "app/windows/window_parts.h"
#include "assets/embedded_assets.h"
#include "imaging/pngbutton.h"
#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/font.h"
#include "toolkit/graphic_control.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace zorbalin {

Tfrm_Statisztika* frm_Statisztika = nullptr;

namespace {

constexpr TColor kSand = RGB(246, 232, 194);
constexpr TColor kGold = RGB(255, 214, 90);
constexpr TColor kLine = RGB(150, 96, 70);
constexpr TColor kPraisedBar = RGB(240, 192, 74);
constexpr TColor kOtherBar = RGB(196, 120, 72);
constexpr TColor kClearedBar = RGB(130, 220, 130);

constexpr int kRowNames = 5;
const char* const kRowTitles[kRowNames] = {TrMark("Befejezett játékok"),
                                           TrMark("Legkevesebb maradt"), TrMark("Átlag"),
                                           TrMark("Legfeljebb 10 maradt"), TrMark("Tiszta tábla")};
constexpr int kTitleWidth = 172;
constexpr int kColumnWidth = 60;
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 21;
constexpr int kFigureFontHeight = 12;
constexpr int kSmallestFigureFontHeight = 7;
constexpr int kFigureMargin = 4;

void UseFont(TCanvas& Canvas, int Height, bool Bold, TColor Colour) {
    Canvas.Font().SetName("Tahoma");
    Canvas.Font().SetHeight(-Height);
    Canvas.Font().SetStyle(Bold ? fsBold : TFontStyles{});
    Canvas.Font().SetColor(Colour);
    Canvas.Brush().SetStyle(bsClear);
}

// The largest type, up to the table's own, in which `text` fits `width`: a
// count of many digits is shown whole in smaller type rather than cut.
int FittingFontHeight(TCanvas& Canvas, const std::string& Text, int Width, bool Bold) {
    int height = kFigureFontHeight;
    for (; height > kSmallestFigureFontHeight; --height) {
        UseFont(Canvas, height, Bold, kSand);
        if (Canvas.TextWidth(Text) <= Width)
            break;
    }
    return height;
}

void FillBox(TCanvas& Canvas, const TRect& Box, TColor Colour) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(Colour);
    Canvas.FillRect(Box);
}

// The heading of the column for Colours colours.
std::string ColoursText(std::int32_t Colours) {
    return FormatText(Tr("%1 szín"), {std::to_string(Colours)});
}

} // namespace

// The figures: a title column, then one column for each number of colours.
class TStatsTable : public TGraphicControl {
  public:
    explicit TStatsTable(TComponent* Owner) : TGraphicControl(Owner) { ControlStyle = 0; }

    TStats Stats;
    std::int32_t ColourCount = 4;

  protected:
    void Paint() override {
        TCanvas& canvas = *Canvas();
        for (std::int32_t colours = 3; colours <= 5; ++colours) {
            int left = kTitleWidth + (colours - 3) * kColumnWidth;
            bool current = colours == ColourCount;
            UseFont(canvas, 12, true, current ? kGold : kSand);
            TRect header = Bounds(left, 0, kColumnWidth, kHeaderHeight);
            canvas.DrawText(ColoursText(colours), header, taCenter, false, true);
            for (int row = 0; row < kRowNames; ++row) {
                const std::string figure = StatsFigureText(Stats.For(colours), row);
                const int room = kColumnWidth - kFigureMargin;
                UseFont(canvas, FittingFontHeight(canvas, figure, room, current), current,
                        current ? kGold : kSand);
                // Even the smallest type may not fit the cell: the figure then
                // reaches into the margins, whole.
                const int spill = std::max(0, canvas.TextWidth(figure) - room) / 2;
                TRect cell = Bounds(left - spill, kHeaderHeight + row * kRowHeight,
                                    kColumnWidth + 2 * spill, kRowHeight);
                canvas.DrawText(figure, cell, taCenter, false, true);
            }
        }
        UseFont(canvas, 12, false, kSand);
        for (int row = 0; row < kRowNames; ++row) {
            TRect title = Bounds(0, kHeaderHeight + row * kRowHeight, kTitleWidth, kRowHeight);
            canvas.DrawText(Tr(kRowTitles[row]), title, taLeftJustify, false, true);
        }
        FillBox(canvas, Rect(0, kHeaderHeight - 2, Width(), kHeaderHeight - 1), kLine);
    }
};

// The last results as bars, oldest on the left; a dotted line marks ten.
class TResultChart : public TGraphicControl {
  public:
    explicit TResultChart(TComponent* Owner) : TGraphicControl(Owner) { ControlStyle = 0; }

    std::vector<std::int32_t> Results;

  protected:
    void Paint() override {
        TCanvas& canvas = *Canvas();
        const int slot = Width() / static_cast<int>(kRecentResults);
        const int left = (Width() - slot * static_cast<int>(kRecentResults)) / 2;
        const int base = Height() - 16; // bars stand on it; the numbers go below
        const int tallest = base - 4;
        std::int32_t top = kPraisedAtMost + 2;
        for (std::int32_t result : Results)
            top = std::max(top, result);
        const auto heightOf = [&](std::int32_t Value) {
            return static_cast<int>(std::lround(static_cast<double>(Value) * tallest / top));
        };
        FillBox(canvas, Rect(0, base, Width(), base + 1), kLine);
        const int tenAt = base - heightOf(kPraisedAtMost);
        for (int x = 0; x < Width(); x += 4)
            FillBox(canvas, Rect(x, tenAt, x + 2, tenAt + 1), kSand);
        UseFont(canvas, 9, false, kSand);
        for (std::size_t i = 0; i < Results.size(); ++i) {
            const std::int32_t value = Results[i];
            const int x = left + static_cast<int>(i) * slot;
            const int height = std::max(heightOf(value), 2);
            const TColor colour = value == 0                ? kClearedBar
                                  : value <= kPraisedAtMost ? kPraisedBar
                                                            : kOtherBar;
            FillBox(canvas, Rect(x + 3, base - height, x + slot - 3, base), colour);
            UseFont(canvas, 9, false, kSand);
            TRect number = Bounds(x, base + 2, slot, 13);
            canvas.DrawText(std::to_string(value), number, taCenter, false, true);
        }
    }
};

std::string StatsFigureText(const TColourStats& Stats, int Row) {
    if (Stats.Finished == 0)
        return Row == 0 ? "0" : "–";
    switch (Row) {
    case 0:
        return std::to_string(Stats.Finished);
    case 1:
        // The fewest left can be lost from the file while the games are counted.
        return Stats.Best < 0 ? "–" : std::to_string(Stats.Best);
    case 2: {
        // One decimal, with the language's decimal sign.
        long tenths = std::lround(Stats.Mean() * 10);
        // TRANSLATORS: a mean with one decimal: %1 the whole part, %2 the tenths.
        return FormatText(Tr("%1,%2"), {std::to_string(tenths / 10), std::to_string(tenths % 10)});
    }
    case 3:
        return std::to_string(Stats.Praised);
    default:
        return std::to_string(Stats.Cleared);
    }
}

std::string ParText(const TParInfo& Par) {
    if (Par.Par)
        return FormatText(TrN("A gép legjobbja ennél a leosztásnál: %1 kavics.",
                              "A gép legjobbja ennél a leosztásnál: %1 kavics.",
                              static_cast<unsigned long>(*Par.Par)),
                          {std::to_string(*Par.Par)});
    if (Par.Searching)
        return Tr("A gép még keresi a leosztás legjobb megoldását...");
    return "";
}

std::string DealText(TDealNumber Deal, std::int32_t ColourCount) {
    if (Deal == 0)
        return "";
    return FormatText(Tr("Leosztás száma: %1 (%2 szín)"),
                      {std::to_string(Deal), std::to_string(ColourCount)});
}

Tfrm_Statisztika::Tfrm_Statisztika(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Statisztika");
    SetCaption(Tr("Statisztika"));
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetClientSize(kStatsClientWidth, kStatsClientHeight);
    WindowKind = TWindowKind::Dialog;
    Position = TPosition::poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    Image1 = NewPanelPicture(this, kStatsClientWidth, kStatsClientHeight, asset::kStatsPanel);
    ConnectDragHandlers(Image1, this);
    s1 = NewLabel("s1", 48, 22, -15, kClYellow);
    s1->Font()->SetName("Comic Sans MS");
    s1->Alignment = taCenter;
    s1->SetCaption(Tr("Statisztika"));

    Table = new TStatsTable(this);
    Table->SetName("Table");
    Table->SetBounds(24, 78, kTitleWidth + 3 * kColumnWidth, kHeaderHeight + 5 * kRowHeight);
    Table->SetParent(this);

    DealLabel = NewLabel("DealLabel", 208, 18, -12, kSand);
    ParLabel = NewLabel("ParLabel", 226, 18, -12, kGold);
    ChartLabel = NewLabel("ChartLabel", 248, 18, -12, kSand);
    Chart = new TResultChart(this);
    Chart->SetName("Chart");
    Chart->SetBounds(24, 266, 352, 54);
    Chart->SetParent(this);

    PNGButton8 = NewCrossButton(this, 363, [this](TObject* Sender) { SpeedButton1Click(Sender); });
}

Tfrm_Statisztika::~Tfrm_Statisztika() {
    DestroyComponents();
    if (frm_Statisztika == this)
        frm_Statisztika = nullptr;
}

TLabel* Tfrm_Statisztika::NewLabel(const char* Name, int Top, int Height, int FontHeight,
                                   TColor Colour) {
    auto* label = new TLabel(this);
    label->SetName(Name);
    label->SetBounds(24, Top, kStatsClientWidth - 48, Height);
    label->Transparent = true;
    label->SetParent(this);
    label->ParentFont = false;
    label->Font()->SetName("Tahoma");
    label->Font()->SetHeight(FontHeight);
    label->Font()->SetStyle(fsBold);
    label->Font()->SetColor(Colour);
    return label;
}

void Tfrm_Statisztika::SetFigures(const TStats& Stats, std::int32_t ColourCount,
                                  const TParInfo& Par) {
    Table->Stats = Stats;
    Table->ColourCount = ColourCount;
    Table->Invalidate();
    DealLabel->SetCaption(DealText(Par.Deal, ColourCount));
    ParLabel->SetCaption(ParText(Par));
    const TColourStats& current = Stats.For(ColourCount);
    const std::string colours = std::to_string(ColourCount);
    ChartLabel->SetCaption(
        current.Recent.empty()
            ? FormatText(Tr("Még nincs befejezett játék %1 színnel."), {colours})
            : FormatText(TrN("Az utolsó %1 eredmény, %2 szín:", "Az utolsó %1 eredmény, %2 szín:",
                             current.Recent.size()),
                         {std::to_string(current.Recent.size()), colours}));
    Chart->Results = current.Recent;
    Chart->Invalidate();
}

void Tfrm_Statisztika::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Shift == 0 && Key == vk::kEscape) {
        Key = 0;
        SpeedButton1Click(this);
    }
}

void Tfrm_Statisztika::SpeedButton1Click(TObject*) {
    SetModalResult(kMrOk);
}

void Tfrm_Statisztika::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    FDrag.MouseDown(*this, Button);
}

void Tfrm_Statisztika::Image1MouseMove(TObject*, TShiftState, int, int) {
    FDrag.MouseMove(*this);
}

void Tfrm_Statisztika::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    FDrag.MouseUp();
}

void ShowStatisticsWindow(const TStats& Stats, std::int32_t ColourCount, const TParInfo& Par) {
    std::unique_ptr<Tfrm_Statisztika> window(TForm::Create<Tfrm_Statisztika>(gApplication));
    frm_Statisztika = window.get();
    window->SetFigures(Stats, ColourCount, Par);
    window->ShowModal();
}

} // namespace zorbalin
