// Logical palettes, the halftone palette and the default colour tables.
#include <algorithm>

#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

namespace gdi_detail {

const PALETTEENTRY* HalftoneEntries() {
    static const auto table = [] {
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
    return table.data();
}

int DefaultColorTable(int bitCount, RGBQUAD* table) {
    auto put = [&](int i, BYTE r, BYTE g, BYTE b) { table[i] = RGBQUAD{b, g, r, 0}; };
    switch (bitCount) {
    case 1:
        put(0, 0, 0, 0);
        put(1, 255, 255, 255);
        return 2;
    case 4: {
        static const BYTE vga[16][3] = {
            {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
            {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
            {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
            {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (int i = 0; i < 16; ++i)
            put(i, vga[i][0], vga[i][1], vga[i][2]);
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

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0 || palette->palNumEntries > 1024)
        return nullptr;
    auto* result = new TGdiPalette();
    // The entries run past the declared one-element array, as the format intends.
    const PALETTEENTRY* first = palette->palPalEntry;
    result->entries.assign(first, first + palette->palNumEntries);
    return result;
}

HPALETTE CreateHalftonePalette(HDC) {
    auto* result = new TGdiPalette();
    const PALETTEENTRY* e = gdi_detail::HalftoneEntries();
    result->entries.assign(e, e + 256);
    return result;
}

BOOL ResizePalette(HPALETTE palette, UINT entries) {
    if (!palette || entries == 0 || entries > 1024)
        return FALSE;
    palette->entries.resize(entries, PALETTEENTRY{});
    return TRUE;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    if (!palette)
        return 0;
    UINT size = static_cast<UINT>(palette->entries.size());
    if (!entries)
        return size;
    if (start >= size)
        return 0;
    UINT n = std::min(count, size - start);
    std::copy_n(palette->entries.begin() + start, n, entries);
    return n;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
    if (!palette || !entries)
        return 0;
    UINT size = static_cast<UINT>(palette->entries.size());
    if (start >= size)
        return 0;
    UINT n = std::min(count, size - start);
    std::copy_n(entries, n, palette->entries.begin() + start);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    if (!palette || palette->entries.empty())
        return CLR_INVALID;
    UINT best = 0;
    long bestDistance = -1;
    for (UINT i = 0; i < palette->entries.size(); ++i) {
        const PALETTEENTRY& e = palette->entries[i];
        long dr = long(e.peRed) - GetRValue(color);
        long dg = long(e.peGreen) - GetGValue(color);
        long db = long(e.peBlue) - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) { // strictly less: the lowest index wins ties
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace zorbalin
