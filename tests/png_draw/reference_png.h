// A small PNG reader for the drawing tests, written apart from the program's
// own reader so that expected pixels do not come from the code under test.
// Non-interlaced images only; samples are kept as they are in the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbalin::testing {

struct TReferencePng {
    std::uint32_t Width = 0, Height = 0;
    int BitDepth = 0, ColourType = 0;
    std::uint32_t Gamma = 0;                          // gAMA value, 0 when absent
    std::vector<std::array<std::uint8_t, 3>> Palette; // file bytes, no gamma
    std::vector<std::uint8_t> Transparency;           // tRNS data as in the file
    bool HasTransparency = false;
    // Samples per pixel, row by row from the top: 1 (grey, index), 2 (grey,
    // alpha), 3 (RGB) or 4 (RGBA); 16-bit samples are kept whole.
    std::vector<std::uint16_t> Samples;

    int Channels() const;
    std::uint16_t Sample(std::uint32_t x, std::uint32_t y, int channel) const {
        return Samples[(static_cast<std::size_t>(y) * Width + x) * Channels() + channel];
    }
};

// Reads a file; returns false for anything it does not handle.
bool ReadReferencePng(const std::string& path, TReferencePng& png);

// The gamma table the program builds from a gAMA value (identity for 0).
std::array<std::uint8_t, 256> ReferenceGammaTable(std::uint32_t gamma);

} // namespace zorbalin::testing
