#include "imaging/png_header.h"

#include "imaging/png_convert.h"
#include "imaging/png_io.h"
#include "imaging/pngpicture.h"

namespace zorbalin {

THeaderFields ParseHeaderFields(const uint8_t* Body) {
    THeaderFields f;
    f.ImageWidth = ReadBigEndian32(Body);
    f.ImageHeight = ReadBigEndian32(Body + 4);
    f.BitDepth = Body[8];
    f.ColourType = static_cast<TColourType>(Body[9]);
    f.CompressionMethod = Body[10];
    f.FilterMethod = Body[11];
    f.InterlaceMethod = Body[12];
    return f;
}

void WriteHeaderFields(const THeaderFields& F, uint8_t* Body) {
    WriteBigEndian32(Body, F.ImageWidth);
    WriteBigEndian32(Body + 4, F.ImageHeight);
    Body[8] = F.BitDepth;
    Body[9] = static_cast<uint8_t>(F.ColourType);
    Body[10] = F.CompressionMethod;
    Body[11] = F.FilterMethod;
    Body[12] = F.InterlaceMethod;
}

void CheckHeader(const THeaderFields& F) {
    if (F.ImageWidth > kMaxImageSide || F.ImageHeight > kMaxImageSide)
        throw EPNGSizeExceeds();
    if (F.CompressionMethod != 0)
        throw EPNGUnknownCompression();
    if (F.InterlaceMethod > 1)
        throw EPNGUnknownInterlace();
    // A pair without a conversion would leave the decoder nothing to do with the
    // rows; refusing it here means no row is ever fetched for it.
    if (!IsValidFormat(F.ColourType, F.BitDepth))
        throw EPngInvalidIHDR();
}

bool TChunkIHDR::ReadBody(TStream& Stream, const TChunkType& Type, uint32_t Length) {
    TChunk::ReadBody(Stream, Type, Length);
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
