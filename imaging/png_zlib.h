// RAII owners of zlib streams: whatever path a decoder or encoder leaves by, the
// stream is ended and its memory returned.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorbalin {

class TInflater {
  public:
    TInflater(); // raises EPNGZLIBError when zlib cannot start
    ~TInflater();
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    z_stream& Stream() { return FStream; }

  private:
    z_stream FStream{};
};

class TDeflater {
  public:
    explicit TDeflater(int Level); // raises EPNGZLIBError when zlib cannot start
    ~TDeflater();
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;

    z_stream& Stream() { return FStream; }

  private:
    z_stream FStream{};
};

// Inflates a zlib stream held in memory (compressed texts) into at most `limit`
// bytes. Returns true at the end of the stream or when the limit is reached (the
// result then holds the first `limit` bytes); false on a corrupt or truncated
// stream, and `result` then holds nothing useful.
bool InflateBlock(const uint8_t* Data, size_t Size, std::vector<uint8_t>& Result, size_t Limit);

// Deflates a whole block at `level` into one zlib stream.
std::vector<uint8_t> DeflateBlock(const uint8_t* Data, size_t Size, int Level);

} // namespace zorbalin
