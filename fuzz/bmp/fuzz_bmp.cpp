// Fuzz target for the BMP reader: any bytes must either decode into a picture whose size the
// file justifies, or be refused; a decoded picture must survive writing, reading back and
// drawing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/bmp.h"
#include "gdi/owners.h"

namespace {

using namespace zorbalin;

void Draw(const TDibImage& Image) {
    TDCOwner dc(CreateCompatibleDC(nullptr));
    TBitmapOwner target(CreateCompatibleBitmap(nullptr, 16, 16));
    TSelectionGuard selected(dc.Get(), target.Get());
    const BITMAPINFOHEADER& h = Image.Info.bmiHeader;
    StretchDIBits(dc.Get(), 0, 0, 16, 16, 0, 0, h.biWidth, h.biHeight, Image.Bits.data(),
                  &Image.Info, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TDibImage image;
    if (DecodeBmp(Data, Size, image) != TBmpError::None) {
        if (!image.Bits.empty())
            std::abort(); // a refused file leaves nothing behind
        return 0;
    }
    // What was allocated must be justified by the file: uncompressed pixels are in the file
    // (16-bit files may grow to 24 bits), compressed ones hold 256 pixels a byte at most.
    if (image.Bits.size() > Size * 256)
        std::abort();
    Draw(image);
    std::vector<std::uint8_t> file = EncodeBmp(image);
    TDibImage again;
    if (DecodeBmp(file.data(), file.size(), again) != TBmpError::None)
        std::abort();
    if (again.Bits != image.Bits)
        std::abort();
    if (Size > 14) {
        TDibImage packed;
        DecodePackedDib(Data + 14, Size - 14, packed);
    }
    return 0;
}
