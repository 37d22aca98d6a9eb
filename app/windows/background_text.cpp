#include "app/windows/background_text.h"

#include "app/windows/embedded_pictures.h"
#include "assets/embedded_assets.h"
#include "imaging/pngpicture.h"
#include "strings/translate.h"
#include "toolkit/bitmap.h"
#include "toolkit/font.h"

#include <algorithm>

namespace zorbalin {

namespace {

// The picture's foot band inside its frame, and the part of it that the Hungarian line covers
// (logical pixels of the 670 x 480 picture).
constexpr int kBandTop = 460;
constexpr int kBandBottom = 478;
constexpr int kLineLeft = 174;
constexpr int kLineRight = 496;
// A stretch of the band left of the line, bare texture, copied over the line.
constexpr int kTextureLeft = 20;
constexpr int kTextureRight = 170;
constexpr TColor kLineColour = RGB(234, 217, 178);

constexpr const char* kAdvice =
    TrMark("Kattints legalább két egyforma színű, szomszédos kavicsra!");

void CoverTheLine(TCanvas& Canvas) {
    for (int left = kLineLeft; left < kLineRight;) {
        const int width = std::min(kTextureRight - kTextureLeft, kLineRight - left);
        Canvas.CopyRect(Bounds(left, kBandTop, width, kBandBottom - kBandTop), Canvas,
                        Bounds(kTextureLeft, kBandTop, width, kBandBottom - kBandTop));
        left += width;
    }
}

void WriteTheLine(TCanvas& Canvas, const std::string& Text) {
    Canvas.Font().SetName("Tahoma");
    Canvas.Font().SetHeight(-11);
    Canvas.Font().SetStyle(fsItalic);
    Canvas.Font().SetColor(kLineColour);
    Canvas.Brush().SetStyle(bsClear);
    TRect line = Rect(kTextureLeft, kBandTop, 670 - kTextureLeft, kBandBottom);
    Canvas.DrawText(Text, line, taCenter, false, true);
}

} // namespace

bool MainBackgroundTranslated() {
    return Tr(kAdvice) != kAdvice;
}

void ShowMainBackground(TImage& Image) {
    const std::unique_ptr<TPNGObject> picture = EmbeddedPicture(asset::kMainBackground);
    const std::string advice = Tr(kAdvice);
    if (advice == kAdvice) {
        Image.Picture()->Assign(picture.get());
        return;
    }
    TBitmap background;
    background.SetPixelFormat(pf24bit);
    background.SetSize(picture->GetWidth(), picture->GetHeight());
    background.Canvas().Draw(0, 0, picture.get());
    CoverTheLine(background.Canvas());
    WriteTheLine(background.Canvas(), advice);
    Image.Picture()->Assign(&background);
}

} // namespace zorbalin
