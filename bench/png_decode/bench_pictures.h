// The five pictures of the PNG decoding benchmarks, made in memory by the
// program's own writer with adaptive filtering (as image editors save them):
// (a) a 670 x 480 RGBA window background, (b) a 4000 x 3000 RGB photo-sized
// picture, (c) a 1024 x 1024 interlaced RGBA picture, (d) a 1024 x 768 16-bit
// RGBA picture and (e) a 1024 x 768 palette picture with a tRNS chunk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace benchpng {

using TBytes = std::vector<uint8_t>;

struct TBenchPicture {
    std::string Name;
    uint32_t Width = 0;
    uint32_t Height = 0;
    TBytes Png;        // the file
    TBytes Compressed; // its IDAT data joined: one zlib stream
    size_t FilteredBytes = 0;
};

constexpr int kPictureCount = 5;
// Made on first use, then kept.
const TBenchPicture& Picture(int Which);

} // namespace benchpng
