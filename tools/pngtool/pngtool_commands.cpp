#include "pngtool_commands.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "gdi/drawing_surface.h"
#include "imaging/pngpicture.h"

namespace zorbalin {
namespace {

const char* KindName(TPNGTransparencyKind Kind) {
    switch (Kind) {
    case tkOpaque:
        return "opaque";
    case tkColourKey:
        return "colour key";
    case tkAlpha:
        return "alpha";
    }
    return "?";
}

// Binary PPM: the pixels' red, green and blue bytes, rows from the top.
void WritePpm(const TDrawingSurface& Surface, std::ostream& Out) {
    const int width = Surface.Width();
    Out << "P6\n" << width << ' ' << Surface.Height() << "\n255\n";
    std::vector<char> row(size_t(width) * 3);
    for (int y = 0; y < Surface.Height(); ++y) {
        const uint8_t* p = Surface.Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<char>(p[4 * x + 2]);
            row[3 * x + 1] = static_cast<char>(p[4 * x + 1]);
            row[3 * x + 2] = static_cast<char>(p[4 * x]);
        }
        Out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
}

} // namespace

int InfoCommand(const std::string& Path, std::ostream& Out) {
    TPNGObject picture;
    LoadPNGFromFile(picture, Path);
    const TChunkIHDR& h = picture.HeaderChunk();
    Out << "width: " << h.ImageWidth << "\n"
        << "height: " << h.ImageHeight << "\n"
        << "bit depth: " << int(h.BitDepth) << "\n"
        << "colour type: " << static_cast<int>(h.ColourType) << "\n"
        << "compression method: " << int(h.CompressionMethod) << "\n"
        << "filter method: " << int(h.FilterMethod) << "\n"
        << "interlace method: " << int(h.InterlaceMethod) << "\n";
    for (uint32_t i = 0; i < picture.Chunks.Count(); ++i) {
        const TChunk* chunk = picture.Chunks.Item(i);
        Out << std::string(chunk->ChunkType.begin(), chunk->ChunkType.end()) << ' '
            << chunk->BodySize() << "\n";
    }
    Out << "transparency: " << KindName(picture.TransparencyKind()) << "\n";
    return 0;
}

int DrawCommand(const std::string& In, const std::string& Out, const TDrawOptions& Options) {
    TPNGObject picture;
    LoadPNGFromFile(picture, In);
    const int width = Options.Width >= 0 ? Options.Width : picture.Width();
    const int height = Options.Height >= 0 ? Options.Height : picture.Height();
    TDrawingSurface surface(width, height);
    if (!surface)
        throw EPNGOutMemory();
    TCanvas canvas(surface.DC());
    const uint32_t bg = Options.Background;
    canvas.Brush().SetColor(
        static_cast<TColor>(RGB(uint8_t(bg >> 16), uint8_t(bg >> 8), uint8_t(bg))));
    canvas.FillRect(Rect(0, 0, width, height));
    picture.Draw(canvas, Rect(0, 0, width, height));
    std::ofstream file(Out, std::ios::binary);
    if (!file)
        throw EFCreateError("Cannot create file \"" + Out + "\".");
    WritePpm(surface, file);
    // The close writes the last buffered bytes: a full disk shows there.
    file.close();
    if (!file)
        throw EWriteError("Cannot write file \"" + Out + "\". " + std::strerror(errno));
    return 0;
}

int ResaveCommand(const std::string& In, const std::string& Out) {
    TPNGObject picture;
    LoadPNGFromFile(picture, In);
    TFileStream stream(Out, kFmCreate);
    picture.SaveToStream(stream);
    stream.Close();
    return 0;
}

} // namespace zorbalin
