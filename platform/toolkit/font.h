// TFont: the toolkit's description of a font (family, height, style, colour) and the platform
// font made from it on demand.
#pragma once

#include <string>

#include "gdi/owners.h"
#include "toolkit/classes.h"
#include "toolkit/colors.h"

namespace zorbalin {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned; // a set of TFontStyle bits

class TFont : public TPersistent {
  public:
    // "MS Sans Serif", 8 points (height -11 pixels), no style, colour clWindowText.
    TFont();
    TFont(const TFont& Other);
    TFont& operator=(const TFont& Other);
    ~TFont() override;

    // Copies name, height, style and colour from a TFont; anything else raises
    // "Cannot assign a %s to a %s".
    void Assign(TPersistent* Source);
    void Assign(const TFont& Source);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Name);
    // Pixels: negative for the character (em) height, positive for the cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Height);
    // Points at 96 pixels per inch: Height = -round(Size * 96 / 72).
    int Size() const;
    void SetSize(int Points);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Style);
    TColor Color() const { return FColor; }
    void SetColor(TColor Color);

    // The platform font for name, height and style, made on first use and kept until one of
    // them changes. Owned by the TFont.
    HFONT Handle();

    TNotifyEvent OnChange;

  private:
    void Changed(bool HandleStale);

    std::string FName;
    int FHeight;
    TFontStyles FStyle = 0;
    TColor FColor;
    TFontOwner FHandle;
};

} // namespace zorbalin
