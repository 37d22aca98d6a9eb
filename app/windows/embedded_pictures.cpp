#include "app/windows/embedded_pictures.h"

#include "assets/embedded_assets.h"
#include "imaging/pngpicture.h"
#include "toolkit/exception.h"

#include <string>

namespace zorbalin {

std::unique_ptr<TPNGObject> EmbeddedPicture(std::string_view Name) {
    const auto [data, size] = EmbeddedAsset(Name);
    if (!data)
        throw Exception("The picture " + std::string(Name) + " is not built into the program");
    auto picture = std::make_unique<TPNGObject>();
    LoadPNGFromMemory(*picture, data, size);
    return picture;
}

TArgbImage EmbeddedArgb(std::string_view Name) {
    const auto picture = EmbeddedPicture(Name);
    TArgbImage image;
    image.Width = picture->Width();
    image.Height = picture->Height();
    image.Pixels.reserve(static_cast<std::size_t>(image.Width) * image.Height);
    for (int y = 0; y < image.Height; ++y) {
        const std::uint8_t* alpha = picture->AlphaRow(static_cast<std::uint32_t>(y));
        for (int x = 0; x < image.Width; ++x) {
            // TColor is 0x00BBGGRR.
            const auto colour = static_cast<std::uint32_t>(picture->GetPixel(x, y));
            const std::uint32_t a = alpha ? alpha[x] : 0xFFu;
            image.Pixels.push_back(a << 24 | (colour & 0xFFu) << 16 | (colour & 0xFF00u) |
                                   (colour >> 16 & 0xFFu));
        }
    }
    return image;
}

} // namespace zorbalin
