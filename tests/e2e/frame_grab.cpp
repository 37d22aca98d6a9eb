// Takes a window's picture from the X server again and again for a while, every INTERVAL
// milliseconds as a display refreshes (16: about 60 a second), and writes each picture that
// differs from the one before as a PPM file named after the milliseconds since the first: the
// frames a player would have seen. The end-to-end test and the screenshot script look at the
// motion of a click with it.
//
//   e2e_frame_grab WINDOW MILLISECONDS FOLDER INTERVAL
//
// WINDOW is the X window id (decimal or 0x hexadecimal); the files are FOLDER/frame-NNNNN.ppm.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

struct TImageDeleter {
    void operator()(XImage* Image) const { XDestroyImage(Image); }
};

// The window's pixels as RGB bytes, or nothing when the window cannot be read.
bool Grab(Display* XDisplay, Window Target, int Width, int Height, std::vector<uint8_t>& Rgb) {
    std::unique_ptr<XImage, TImageDeleter> image(
        XGetImage(XDisplay, Target, 0, 0, static_cast<unsigned>(Width),
                  static_cast<unsigned>(Height), AllPlanes, ZPixmap));
    if (!image)
        return false;
    Rgb.resize(static_cast<size_t>(Width) * Height * 3);
    size_t at = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const unsigned long pixel = XGetPixel(image.get(), x, y);
            Rgb[at++] = static_cast<uint8_t>(pixel >> 16 & 0xFF);
            Rgb[at++] = static_cast<uint8_t>(pixel >> 8 & 0xFF);
            Rgb[at++] = static_cast<uint8_t>(pixel & 0xFF);
        }
    return true;
}

bool WritePpm(const std::string& Path, int Width, int Height, const std::vector<uint8_t>& Rgb) {
    std::FILE* file = std::fopen(Path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", Width, Height);
    const bool written = std::fwrite(Rgb.data(), 1, Rgb.size(), file) == Rgb.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int Argc, char** Argv) {
    if (Argc != 5) {
        std::fprintf(stderr, "usage: e2e_frame_grab WINDOW MILLISECONDS FOLDER INTERVAL\n");
        return 2;
    }
    const long interval = std::strtol(Argv[4], nullptr, 10);
    const Window target = std::strtoul(Argv[1], nullptr, 0);
    const long duration = std::strtol(Argv[2], nullptr, 10);
    const std::string folder = Argv[3];
    Display* display = XOpenDisplay(nullptr);
    if (!display || target == 0 || duration <= 0 || duration > 60000 || interval < 1 ||
        interval > 1000) {
        std::fprintf(stderr, "e2e_frame_grab: no display, window or time to grab\n");
        return 2;
    }
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, target, &attributes)) {
        std::fprintf(stderr, "e2e_frame_grab: no window %s\n", Argv[1]);
        return 2;
    }
    std::vector<uint8_t> last, now;
    const TClock::time_point start = TClock::now();
    int frames = 0;
    for (long tick = 0;; ++tick) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(tick * interval));
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
        if (elapsed > duration)
            break;
        if (!Grab(display, target, attributes.width, attributes.height, now))
            break;
        if (now == last)
            continue;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%05ld.ppm", static_cast<long>(elapsed));
        if (!WritePpm(folder + name, attributes.width, attributes.height, now)) {
            std::fprintf(stderr, "e2e_frame_grab: cannot write into %s\n", folder.c_str());
            return 1;
        }
        ++frames;
        last.swap(now);
    }
    XCloseDisplay(display);
    return frames > 0 ? 0 : 1;
}
