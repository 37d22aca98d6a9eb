// A font face at one pixel size, found through fontconfig and rendered by FreeType, with the
// glyphs it has drawn kept for reuse. Internal to the graphics layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gdi/types.h"

namespace zorbalin {

// One rendered glyph: an 8-bit coverage map placed relative to the pen on the baseline.
struct TGlyph {
    int Advance = 0; // pixels to the next pen position
    int left = 0;    // coverage column 0 lies this far right of the pen
    int top = 0;     // coverage row 0 lies this far above the baseline
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Coverage; // width * height, 0 = none, 255 = full ink
};

class TFontFace {
  public:
    // The face for a font request, shared by every font asking for the same file, size and
    // weight; null when no font at all can be loaded.
    static std::shared_ptr<TFontFace> Resolve(const LOGFONTA& Request);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    const TGlyph& GlyphFor(char32_t Codepoint);
    int Ascent() const { return FAscent; }
    int Descent() const { return FDescent; }
    int Height() const { return FAscent + FDescent; }
    int EmPixels() const { return FEm; }
    int AverageWidth() const { return FAverageWidth; }
    int MaxAdvance() const { return FMaxAdvance; }
    bool Bold() const { return FBold; }

  private:
    struct TImpl;
    explicit TFontFace(std::unique_ptr<TImpl> Impl);

    std::unique_ptr<TImpl> FImpl;
    std::unordered_map<char32_t, TGlyph> FGlyphs;
    int FAscent = 0;
    int FDescent = 0;
    int FEm = 0;
    int FAverageWidth = 0;
    int FMaxAdvance = 0;
    bool FBold = false;
};

// Decodes UTF-8; malformed bytes give U+FFFD, one per byte.
std::u32string DecodeUtf8(const char* Text, std::size_t Length);

} // namespace zorbalin
