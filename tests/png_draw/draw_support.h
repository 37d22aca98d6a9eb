// Test-side tools for the drawing tests: pictures of any format built from their samples
// (through the shared PNG builder, unfiltered rows), and a 32-bit canvas whose pixels can be
// read back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/drawing_surface.h"
#include "toolkit/canvas.h"

namespace zorbalin {
class TPNGObject;
}

namespace zorbalin::testing {

using TBytes = std::vector<std::uint8_t>;

struct TTestImage {
    std::uint32_t Width = 0, Height = 0;
    int BitDepth = 8, ColourType = 6;
    // Samples row by row from the top, channel by channel, each as its full
    // value (16-bit samples whole, sub-byte samples unpacked).
    std::vector<std::uint16_t> Samples;
    TBytes Palette;      // PLTE data, written when not empty
    TBytes Transparency; // tRNS data, written when HasTransparency
    bool HasTransparency = false;
    std::uint32_t Gamma = 0; // gAMA value, written when not 0
};

TBytes EncodeTestPng(const TTestImage& Image);
// A picture loaded from the encoded image.
std::unique_ptr<TPNGObject> LoadTestPng(const TTestImage& Image);
// A big-endian 16-bit sample as two tRNS bytes.
void AppendSample(TBytes& Data, std::uint16_t Sample);

// A width x height 32-bit top-down canvas filled with one colour.
class TTestCanvas {
  public:
    TTestCanvas(int Width, int Height, COLORREF Fill);
    TTestCanvas(const TTestCanvas&) = delete;
    TTestCanvas& operator=(const TTestCanvas&) = delete;

    TCanvas& Canvas() { return *FCanvas; }
    HDC DC() const { return FSurface.DC(); }
    // The pixel's colour as RGB (red in the low byte).
    COLORREF Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, COLORREF Colour);
    // The blue, green, red bytes of every pixel, for whole-canvas comparisons.
    std::vector<std::uint32_t> Pixels() const;
    int Width() const { return FSurface.Width(); }
    int Height() const { return FSurface.Height(); }

  private:
    TDrawingSurface FSurface;
    std::unique_ptr<TCanvas> FCanvas;
};

} // namespace zorbalin::testing
