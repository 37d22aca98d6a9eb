// TFont: the font description and its platform font.
#include "toolkit/font.h"

#include <algorithm>
#include <cmath>

#include "toolkit/exception.h"

namespace zorbalin {

TFont::TFont() : FName("MS Sans Serif"), FHeight(-11), FColor(clWindowText) {}

TFont::TFont(const TFont& other)
    : TPersistent(other), FName(other.FName), FHeight(other.FHeight), FStyle(other.FStyle),
      FColor(other.FColor) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

TFont::~TFont() = default;

void TFont::Assign(const TFont& source) {
    if (&source == this)
        return;
    bool stale = FName != source.FName || FHeight != source.FHeight || FStyle != source.FStyle;
    FName = source.FName;
    FHeight = source.FHeight;
    FStyle = source.FStyle;
    FColor = source.FColor;
    Changed(stale);
}

void TFont::Assign(TPersistent* source) {
    auto* font = dynamic_cast<TFont*>(source);
    if (!font)
        RaiseAssignError(source, this);
    Assign(*font);
}

void TFont::SetName(const std::string& name) {
    if (name == FName)
        return;
    FName = name;
    Changed(true);
}

void TFont::SetHeight(int height) {
    if (height == FHeight)
        return;
    FHeight = height;
    Changed(true);
}

int TFont::Size() const {
    return static_cast<int>(std::lround(-static_cast<double>(FHeight) * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void TFont::SetStyle(TFontStyles style) {
    if (style == FStyle)
        return;
    FStyle = style;
    Changed(true);
}

void TFont::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
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

void TFont::Changed(bool handleStale) {
    if (handleStale)
        FHandle.Reset();
    if (OnChange)
        OnChange(this);
}

} // namespace zorbalin
