// Writing Windows bitmap files: a BITMAPINFOHEADER, the colour table, uncompressed rows.
#include <cstring>

#include "gdi/bmp.h"

namespace zorbalin {

namespace {

void Put16(std::vector<std::uint8_t>& Out, std::uint32_t V) {
    Out.push_back(std::uint8_t(V));
    Out.push_back(std::uint8_t(V >> 8));
}
void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
    Put16(Out, V & 0xFFFF);
    Put16(Out, V >> 16);
}

std::uint32_t ColorCount(const BITMAPINFOHEADER& H) {
    if (H.biBitCount > 8)
        return 0;
    return H.biClrUsed ? H.biClrUsed : (1u << H.biBitCount);
}

void AppendInfo(const TDibImage& Image, std::vector<std::uint8_t>& Out) {
    const BITMAPINFOHEADER& h = Image.Info.bmiHeader;
    std::uint32_t colors = ColorCount(h);
    Put32(Out, 40);
    Put32(Out, static_cast<std::uint32_t>(h.biWidth));
    Put32(Out, static_cast<std::uint32_t>(h.biHeight));
    Put16(Out, 1);
    Put16(Out, h.biBitCount);
    Put32(Out, BI_RGB);
    Put32(Out, static_cast<std::uint32_t>(Image.Bits.size()));
    Put32(Out, 3780); // 96 pixels per inch
    Put32(Out, 3780);
    Put32(Out, colors);
    Put32(Out, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        const RGBQUAD& c = Image.Info.bmiColors[i];
        Out.insert(Out.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
    }
    Out.insert(Out.end(), Image.Bits.begin(), Image.Bits.end());
}

} // namespace

std::vector<std::uint8_t> EncodePackedDib(const TDibImage& Image) {
    std::vector<std::uint8_t> out;
    AppendInfo(Image, out);
    return out;
}

std::vector<std::uint8_t> EncodeBmp(const TDibImage& Image) {
    std::vector<std::uint8_t> out{'B', 'M'};
    std::uint32_t colors = ColorCount(Image.Info.bmiHeader);
    std::uint32_t offset = 14 + 40 + 4 * colors;
    Put32(out, static_cast<std::uint32_t>(offset + Image.Bits.size()));
    Put32(out, 0);
    Put32(out, offset);
    AppendInfo(Image, out);
    return out;
}

} // namespace zorbalin
