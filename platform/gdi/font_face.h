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
struct Glyph {
    int advance = 0; // pixels to the next pen position
    int left = 0;    // coverage column 0 lies this far right of the pen
    int top = 0;     // coverage row 0 lies this far above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // width * height, 0 = none, 255 = full ink
};

class FontFace {
  public:
    // The face for a font request, shared by every font asking for the same file, size and
    // weight; null when no font at all can be loaded.
    static std::shared_ptr<FontFace> Resolve(const LOGFONTA& request);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const Glyph& GlyphFor(char32_t codepoint);
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int Height() const { return ascent_ + descent_; }
    int EmPixels() const { return em_; }
    int AverageWidth() const { return averageWidth_; }
    int MaxAdvance() const { return maxAdvance_; }
    bool Bold() const { return bold_; }

  private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    std::unordered_map<char32_t, Glyph> glyphs_;
    int ascent_ = 0;
    int descent_ = 0;
    int em_ = 0;
    int averageWidth_ = 0;
    int maxAdvance_ = 0;
    bool bold_ = false;
};

// Decodes UTF-8; malformed bytes give U+FFFD, one per byte.
std::u32string DecodeUtf8(const char* text, std::size_t length);

} // namespace zorbalin
