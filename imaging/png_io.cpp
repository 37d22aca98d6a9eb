#include "imaging/png_io.h"

namespace zorbalin {

int64_t StreamRead(TStream& Stream, void* Buffer, int64_t Count) {
    return Count > 0 ? Stream.Read(Buffer, Count) : 0;
}

int64_t StreamPosition(TStream& Stream) {
    return Stream.Position();
}

int64_t StreamRemaining(TStream& Stream) {
    const int64_t left = Stream.Size() - Stream.Position();
    return left > 0 ? left : 0;
}

void StreamSkip(TStream& Stream, int64_t Count) {
    Stream.Seek(Count, soFromCurrent);
}

void StreamWrite(TStream& Stream, const void* Data, int64_t Count) {
    if (Count > 0)
        Stream.WriteBuffer(Data, Count);
}

bool StreamReadBigEndian32(TStream& Stream, uint32_t& Value) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    const bool complete = Stream.Read(bytes, 4) == 4;
    Value = ReadBigEndian32(bytes);
    return complete;
}

} // namespace zorbalin
