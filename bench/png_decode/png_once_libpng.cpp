// bench_png_once_libpng FILE: a minimal libpng program that decodes a file once to
// RGBA with the simplified API; the yardstick of the whole-process comparison.
#include <png.h>

#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[1]))
        return 1;
    image.format = PNG_FORMAT_RGBA;
    std::unique_ptr<png_byte[]> pixels(new png_byte[PNG_IMAGE_SIZE(image)]);
    if (!png_image_finish_read(&image, nullptr, pixels.get(), 0, nullptr))
        return 1;
    return 0;
}
