#include "imaging/png_header.h"

#include "imaging/png_convert.h"
#include "imaging/png_io.h"
#include "imaging/pngpicture.h"

namespace zorbalin {

THeaderFields ParseHeaderFields(const uint8_t* body) {
    THeaderFields f;
    f.Width = ReadBigEndian32(body);
    f.Height = ReadBigEndian32(body + 4);
    f.BitDepth = body[8];
    f.ColourType = body[9];
    f.CompressionMethod = body[10];
    f.FilterMethod = body[11];
    f.InterlaceMethod = body[12];
    return f;
}

void CheckHeader(const THeaderFields& f) {
    if (f.Width > kMaxImageSide || f.Height > kMaxImageSide)
        throw EPNGSizeExceeds();
    if (f.CompressionMethod != 0)
        throw EPNGUnknownCompression();
    if (f.InterlaceMethod > 1)
        throw EPNGUnknownInterlace();
    // A pair without a conversion would leave the decoder nothing to do with the
    // rows; refusing it here means no row is ever fetched for it.
    if (!IsValidFormat(f.ColourType, f.BitDepth))
        throw EPngInvalidIHDR();
}

bool TChunkIHDR::ReadBody(TStream& stream, const TChunkType& type, uint32_t length) {
    TChunk::ReadBody(stream, type, length);
    if (BodySize() < 13)
        throw EPngInvalidIHDR();
    const THeaderFields f = ParseHeaderFields(Body());
    CheckHeader(f);
    ImageWidth = f.Width;
    ImageHeight = f.Height;
    BitDepth = f.BitDepth;
    ColourType = f.ColourType;
    CompressionMethod = f.CompressionMethod;
    FilterMethod = f.FilterMethod;
    InterlaceMethod = f.InterlaceMethod;
    Owner()->Interlacing = InterlaceMethod;
    PrepareStorage();
    return true;
}

} // namespace zorbalin
