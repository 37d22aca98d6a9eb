#include "app/windows/key_list_panel.h"

#include "strings/translate.h"
#include "toolkit/font.h"

#include <algorithm>
#include <utility>

namespace zorbalin {

namespace {

// The colours of the about panel's artwork.
constexpr TColor kFrameDark = 0x0024506E;   // #6e5024
constexpr TColor kSand = 0x0094C9E2;        // #e2c994
constexpr TColor kLeather = 0x00100C56;     // #560c10
constexpr TColor kLeatherEdge = 0x00346A8A; // #8a6a34
constexpr TColor kLightText = 0x00C2E8F6;   // #f6e8c2

constexpr int kFrame = 8;      // sandy border around the leather
constexpr int kMargin = 14;    // from the panel's edge to the text
constexpr int kColumnGap = 10; // between the keys and their description

} // namespace

TKeyListPanel::TKeyListPanel(TComponent* Owner) : TGraphicControl(Owner) {
    ControlStyle = 0;
}

void TKeyListPanel::SetLines(std::vector<TKeyLine> Lines) {
    FLines = std::move(Lines);
    Invalidate();
}

void TKeyListPanel::PaintPlate(TCanvas& Canvas) {
    const TRect box = ClientRect();
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(kSand);
    Canvas.FillRect(box);
    Canvas.Brush().SetColor(kFrameDark);
    Canvas.FrameRect(box);
    const TRect leather{kFrame, kFrame, box.Right - kFrame, box.Bottom - kFrame};
    Canvas.Brush().SetColor(kLeather);
    Canvas.FillRect(leather);
    Canvas.Brush().SetColor(kLeatherEdge);
    Canvas.FrameRect(leather);
}

int TKeyListPanel::KeyColumnWidth(TCanvas& Canvas) const {
    int widest = 0;
    for (const TKeyLine& line : FLines)
        widest = std::max(widest, Canvas.TextWidth(line.Keys));
    return std::min(widest + kColumnGap, (Width() - 2 * kMargin) / 2);
}

void TKeyListPanel::Paint() {
    TCanvas& canvas = *Canvas();
    PaintPlate(canvas);
    canvas.Brush().SetStyle(bsClear);
    const TFontStyles plain = canvas.Font().Style();
    canvas.Font().SetStyle(plain | fsBold);
    canvas.Font().SetColor(kSand);
    const int lineHeight = canvas.TextHeight("Ág") + 2;
    canvas.TextOut(kMargin, kMargin, Tr("Billentyűk"));
    const int keyColumn = KeyColumnWidth(canvas);
    const int right = Width() - kMargin, bottom = Height() - kFrame;
    int top = kMargin + lineHeight + lineHeight / 2;
    for (const TKeyLine& line : FLines) {
        if (top + lineHeight > bottom)
            break;
        canvas.Font().SetStyle(plain | fsBold);
        canvas.Font().SetColor(kSand);
        TRect keys{kMargin, top, kMargin + keyColumn, bottom};
        const int keysHeight = canvas.DrawText(line.Keys, keys, taLeftJustify, true);
        // A description too long for its column goes on over more lines.
        canvas.Font().SetStyle(plain);
        canvas.Font().SetColor(kLightText);
        TRect text{keys.Right, top, right, bottom};
        const int textHeight = canvas.DrawText(line.Text, text, taLeftJustify, true);
        top += std::max({keysHeight, textHeight, lineHeight});
    }
}

} // namespace zorbalin
