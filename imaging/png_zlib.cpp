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

TDeflater::TDeflater(int level) {
    if (level < Z_NO_COMPRESSION || level > Z_BEST_COMPRESSION)
        level = Z_DEFAULT_COMPRESSION;
    const int status = deflateInit(&FStream, level);
    if (status != Z_OK)
        throw EPNGZLIBError(status);
}

TDeflater::~TDeflater() {
    deflateEnd(&FStream);
}

bool InflateBlock(const uint8_t* data, size_t size, std::vector<uint8_t>& result, size_t limit) {
    result.clear();
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    // The output grows in doubling steps straight into the result, so a long
    // text costs a few large inflate calls, not one per small window.
    constexpr size_t kFirstStep = 64 * 1024;
    size_t produced = 0;
    int status = Z_OK;
    // Z_BUF_ERROR here means the input ran out before the stream's end: a
    // truncated text, which counts as a failure like any corrupt data.
    while (status == Z_OK && produced < limit) {
        if (produced == result.size())
            result.resize(std::min(limit, std::max(kFirstStep, 2 * produced)));
        const size_t room = std::min<size_t>(result.size() - produced, UINT32_MAX);
        stream.next_out = result.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        status = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
    }
    inflateEnd(&stream);
    result.resize(produced);
    // Reaching the limit keeps what fits; the rest of the stream is not looked at.
    return status == Z_STREAM_END || (status == Z_OK && produced == limit);
}

std::vector<uint8_t> DeflateBlock(const uint8_t* data, size_t size, int level) {
    TDeflater deflater(level);
    z_stream& stream = deflater.Stream();
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    if (status != Z_STREAM_END)
        throw EPNGZLIBError(status);
    out.resize(stream.total_out);
    return out;
}

} // namespace zorbalin
