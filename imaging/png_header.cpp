#include "imaging/png_header.h"

#include "imaging/png_convert.h"
#include "imaging/png_io.h"
#include "imaging/pngpicture.h"

namespace zorbalin {

THeaderFields ParseHeaderFields(const uint8_t* body) {
    THeaderFields f;
    f.ImageWidth = ReadBigEndian32(body);
    f.ImageHeight = ReadBigEndian32(body + 4);
    f.BitDepth = body[8];
    f.ColourType = body[9];
    f.CompressionMethod = body[10];
    f.FilterMethod = body[11];
    f.InterlaceMethod = body[12];
    return f;
}

void WriteHeaderFields(const THeaderFields& f, uint8_t* body) {
    WriteBigEndian32(body, f.ImageWidth);
    WriteBigEndian32(body + 4, f.ImageHeight);
    body[8] = f.BitDepth;
    body[9] = f.ColourType;
    body[10] = f.CompressionMethod;
    body[11] = f.FilterMethod;
    body[12] = f.InterlaceMethod;
}

void CheckHeader(const THeaderFields& f) {
    if (f.ImageWidth > kMaxImageSide || f.ImageHeight > kMaxImageSide)
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
    if (BodySize() < kHeaderFieldsSize)
        throw EPngInvalidIHDR();
    const THeaderFields f = ParseHeaderFields(Body());
    CheckHeader(f);
    Fields() = f;
    Owner()->Interlacing = InterlaceMethod;
    PrepareStorage();
    return true;
}

} // namespace zorbalin
