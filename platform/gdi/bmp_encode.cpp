// Writing Windows bitmap files: a BITMAPINFOHEADER, the colour table, uncompressed rows.
#include <cstring>

#include "gdi/bmp.h"

namespace zorbalin {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t ColorCount(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8)
        return 0;
    return h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
}

void AppendInfo(const TDibImage& image, std::vector<std::uint8_t>& out) {
    const BITMAPINFOHEADER& h = image.info.bmiHeader;
    std::uint32_t colors = ColorCount(h);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(h.biWidth));
    Put32(out, static_cast<std::uint32_t>(h.biHeight));
    Put16(out, 1);
    Put16(out, h.biBitCount);
    Put32(out, BI_RGB);
    Put32(out, static_cast<std::uint32_t>(image.bits.size()));
    Put32(out, 3780); // 96 pixels per inch
    Put32(out, 3780);
    Put32(out, colors);
    Put32(out, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        const RGBQUAD& c = image.info.bmiColors[i];
        out.insert(out.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
    }
    out.insert(out.end(), image.bits.begin(), image.bits.end());
}

} // namespace

std::vector<std::uint8_t> EncodePackedDib(const TDibImage& image) {
    std::vector<std::uint8_t> out;
    AppendInfo(image, out);
    return out;
}

std::vector<std::uint8_t> EncodeBmp(const TDibImage& image) {
    std::vector<std::uint8_t> out{'B', 'M'};
    std::uint32_t colors = ColorCount(image.info.bmiHeader);
    std::uint32_t offset = 14 + 40 + 4 * colors;
    Put32(out, static_cast<std::uint32_t>(offset + image.bits.size()));
    Put32(out, 0);
    Put32(out, offset);
    AppendInfo(image, out);
    return out;
}

} // namespace zorbalin
