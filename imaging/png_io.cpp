#include "imaging/png_io.h"

namespace zorbalin {

int64_t StreamRead(TStream& stream, void* buffer, int64_t count) {
    return count > 0 ? stream.Read(buffer, count) : 0;
}

int64_t StreamPosition(TStream& stream) {
    return stream.Position();
}

int64_t StreamRemaining(TStream& stream) {
    const int64_t left = stream.Size() - stream.Position();
    return left > 0 ? left : 0;
}

void StreamSkip(TStream& stream, int64_t count) {
    stream.Seek(count, soFromCurrent);
}

void StreamWrite(TStream& stream, const void* data, int64_t count) {
    if (count > 0)
        stream.WriteBuffer(data, count);
}

bool StreamReadBigEndian32(TStream& stream, uint32_t& value) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    const bool complete = stream.Read(bytes, 4) == 4;
    value = ReadBigEndian32(bytes);
    return complete;
}

} // namespace zorbalin
