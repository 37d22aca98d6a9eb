#include "imaging/png_zlib.h"

#include "imaging/pngtexts.h"

#include <algorithm>
#include <cstdint>

namespace zorbalin {

TInflater::TInflater() {
    const int status = inflateInit(&FStream);
    if (status != Z_OK)
        throw EPNGZLIBError(status);
}

TInflater::~TInflater() {
    inflateEnd(&FStream);
}

TDeflater::TDeflater(int Level) {
    if (Level < Z_NO_COMPRESSION || Level > Z_BEST_COMPRESSION)
        Level = Z_DEFAULT_COMPRESSION;
    const int status = deflateInit(&FStream, Level);
    if (status != Z_OK)
        throw EPNGZLIBError(status);
}

TDeflater::~TDeflater() {
    deflateEnd(&FStream);
}

bool InflateBlock(const uint8_t* Data, size_t Size, std::vector<uint8_t>& Result, size_t Limit) {
    Result.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(Data);
    stream.avail_in = static_cast<uInt>(Size);
    // The output grows in doubling steps straight into the result, so a long
    // text costs a few large inflate calls, not one per small window.
    constexpr size_t kFirstStep = 64 * 1024;
    size_t produced = 0;
    int status = Z_OK;
    // Z_BUF_ERROR here means the input ran out before the stream's end: a
    // truncated text, which counts as a failure like any corrupt data.
    while (status == Z_OK && produced < Limit) {
        if (produced == Result.size())
            Result.resize(std::min(Limit, std::max(kFirstStep, 2 * produced)));
        const size_t room = std::min<size_t>(Result.size() - produced, UINT32_MAX);
        stream.next_out = Result.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        status = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
    }
    inflateEnd(&stream);
    Result.resize(produced);
    // Reaching the limit keeps what fits; the rest of the stream is not looked at.
    return status == Z_STREAM_END || (status == Z_OK && produced == Limit);
}

std::vector<uint8_t> DeflateBlock(const uint8_t* Data, size_t Size, int Level) {
    TDeflater deflater(Level);
    z_stream& stream = deflater.Stream();
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(Size)));
    stream.next_in = const_cast<Bytef*>(Data);
    stream.avail_in = static_cast<uInt>(Size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    if (status != Z_STREAM_END)
        throw EPNGZLIBError(status);
    out.resize(stream.total_out);
    return out;
}

} // namespace zorbalin
