// Zeroed blocks on both sides of the heap / mapping boundary and of a huge page:
// zero when handed out, every byte writable, aligned as malloc aligns, and a
// whole-write hint that leaves the contents alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gdi/zeroed_memory.h"

namespace zorbalin {
namespace {

TEST(ZeroedMemory, BlocksReadZeroHoldEveryByteAndSurviveTheWholeWriteHint) {
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    for (std::size_t bytes :
         {std::size_t(0), std::size_t(1), std::size_t(256 * 1024 - 17), std::size_t(256 * 1024),
          kHuge / 4, kHuge - 16, kHuge, kHuge + 1, 5 * kHuge / 2 + 3}) {
        const std::size_t usable = std::max<std::size_t>(bytes, 1);
        TZeroedBytes block = AllocateZeroedBytes(bytes);
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.get()) % 16, 0u) << bytes;
        EXPECT_TRUE(std::all_of(block.get(), block.get() + usable, [](uint8_t b) {
            return b == 0;
        })) << bytes;
        std::memset(block.get(), 0xA5, usable);
        ExpectWholeWrite(block.get());
        EXPECT_TRUE(std::all_of(block.get(), block.get() + usable, [](uint8_t b) {
            return b == 0xA5;
        })) << bytes;
    }
    ExpectWholeWrite(nullptr); // no block: nothing to do
}

} // namespace
} // namespace zorbalin
