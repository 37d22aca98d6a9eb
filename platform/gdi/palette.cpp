// Logical palettes, the halftone palette and the default colour tables.
#include <algorithm>

#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

namespace gdi_detail {

const PALETTEENTRY* HalftoneEntries() {
    static const auto kTable = [] {
        std::vector<PALETTEENTRY> entries;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    entries.push_back({BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
        // Greys between the cube's levels, so that grey pictures keep their shades.
        for (int i = 1; entries.size() < 256; ++i) {
            BYTE v = BYTE(i * 255 / 41);
            entries.push_back({v, v, v, 0});
        }
        return entries;
    }();
    return kTable.data();
}

int DefaultColorTable(int BitCount, RGBQUAD* Table) {
    auto put = [&](int I, BYTE R, BYTE G, BYTE B) { Table[I] = RGBQUAD{B, G, R, 0}; };
    switch (BitCount) {
    case 1:
        put(0, 0, 0, 0);
        put(1, 255, 255, 255);
        return 2;
    case 4: {
        static const BYTE kVga[16][3] = {
            {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (int i = 0; i < 16; ++i)
            put(i, kVga[i][0], kVga[i][1], kVga[i][2]);
        return 16;
    }
    case 8: {
        const PALETTEENTRY* e = HalftoneEntries();
        for (int i = 0; i < 256; ++i)
            put(i, e[i].peRed, e[i].peGreen, e[i].peBlue);
        return 256;
    }
    default:
        return 0;
    }
}

} // namespace gdi_detail

HPALETTE CreatePalette(const LOGPALETTE* Palette) {
    if (!Palette || Palette->palNumEntries == 0 || Palette->palNumEntries > 1024)
        return nullptr;
    auto* result = new TGdiPalette();
    // The entries run past the declared one-element array, as the format intends.
    const PALETTEENTRY* first = Palette->palPalEntry;
    result->Entries.assign(first, first + Palette->palNumEntries);
    return result;
}

HPALETTE CreateHalftonePalette(HDC) {
    auto* result = new TGdiPalette();
    const PALETTEENTRY* e = gdi_detail::HalftoneEntries();
    result->Entries.assign(e, e + 256);
    return result;
}

BOOL ResizePalette(HPALETTE Palette, UINT Entries) {
    if (!Palette || Entries == 0 || Entries > 1024)
        return FALSE;
    Palette->Entries.resize(Entries, PALETTEENTRY{});
    return TRUE;
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries) {
    if (!Palette)
        return 0;
    UINT size = static_cast<UINT>(Palette->Entries.size());
    if (!Entries)
        return size;
    if (Start >= size)
        return 0;
    UINT n = std::min(Count, size - Start);
    std::copy_n(Palette->Entries.begin() + Start, n, Entries);
    return n;
}

UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries) {
    if (!Palette || !Entries)
        return 0;
    UINT size = static_cast<UINT>(Palette->Entries.size());
    if (Start >= size)
        return 0;
    UINT n = std::min(Count, size - Start);
    std::copy_n(Entries, n, Palette->Entries.begin() + Start);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color) {
    if (!Palette || Palette->Entries.empty())
        return CLR_INVALID;
    UINT best = 0;
    long bestDistance = -1;
    for (UINT i = 0; i < Palette->Entries.size(); ++i) {
        const PALETTEENTRY& e = Palette->Entries[i];
        long dr = long(e.peRed) - GetRValue(Color);
        long dg = long(e.peGreen) - GetGValue(Color);
        long db = long(e.peBlue) - GetBValue(Color);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) { // strictly less: the lowest index wins ties
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace zorbalin
