// TFont: the font description and its platform font.
#include "toolkit/font.h"

#include <algorithm>
#include <cmath>

#include "toolkit/exception.h"

namespace zorbalin {

TFont::TFont() : FName("MS Sans Serif"), FHeight(-11), FColor(kClWindowText) {}

TFont::TFont(const TFont& Other)
    : TPersistent(Other), FName(Other.FName), FHeight(Other.FHeight), FStyle(Other.FStyle),
      FColor(Other.FColor) {}

TFont& TFont::operator=(const TFont& Other) {
    Assign(Other);
    return *this;
}

TFont::~TFont() = default;

void TFont::Assign(const TFont& Source) {
    if (&Source == this)
        return;
    bool stale = FName != Source.FName || FHeight != Source.FHeight || FStyle != Source.FStyle;
    FName = Source.FName;
    FHeight = Source.FHeight;
    FStyle = Source.FStyle;
    FColor = Source.FColor;
    Changed(stale);
}

void TFont::Assign(TPersistent* Source) {
    auto* font = dynamic_cast<TFont*>(Source);
    if (!font)
        RaiseAssignError(Source, this);
    Assign(*font);
}

void TFont::SetName(const std::string& Name) {
    if (Name == FName)
        return;
    FName = Name;
    Changed(true);
}

void TFont::SetHeight(int Height) {
    if (Height == FHeight)
        return;
    FHeight = Height;
    Changed(true);
}

int TFont::Size() const {
    return static_cast<int>(std::lround(-static_cast<double>(FHeight) * 72.0 / 96.0));
}

void TFont::SetSize(int Points) {
    SetHeight(-static_cast<int>(std::lround(Points * 96.0 / 72.0)));
}

void TFont::SetStyle(TFontStyles Style) {
    if (Style == FStyle)
        return;
    FStyle = Style;
    Changed(true);
}

void TFont::SetColor(TColor Color) {
    if (Color == FColor)
        return;
    FColor = Color;
    Changed(false);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTA request;
        request.lfHeight = FHeight;
        request.lfWeight = (FStyle & fsBold) ? 700 : 400;
        request.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        request.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        request.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
        std::copy_n(FName.data(), n, request.lfFaceName);
        request.lfFaceName[n] = '\0';
        FHandle.Reset(CreateFontIndirectA(&request));
    }
    return FHandle.Get();
}

void TFont::Changed(bool HandleStale) {
    if (HandleStale)
        FHandle.Reset();
    if (OnChange)
        OnChange(this);
}

} // namespace zorbalin
