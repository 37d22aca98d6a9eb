#pragma once
// The artwork compiled into the program, read into PNG pictures the way every
// picture of the windows is read: through TPNGObject's stream loader.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zorbalin {

class TPNGObject;

// The embedded PNG file of that name, decoded. Throws Exception when the
// program was built without it (a build fault) or it cannot be decoded.
std::unique_ptr<TPNGObject> EmbeddedPicture(std::string_view Name);

// A picture as 0xAARRGGBB pixels, top-down, for the program icon.
struct TArgbImage {
    std::vector<std::uint32_t> Pixels;
    int Width = 0;
    int Height = 0;
};
TArgbImage EmbeddedArgb(std::string_view Name);

} // namespace zorbalin
