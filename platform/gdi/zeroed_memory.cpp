#include "gdi/zeroed_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace zorbalin {
namespace {

// Below this size the heap serves the block (calloc); from it on the block is
// mapped on its own, and unmapped when freed.
constexpr std::size_t kMappedFrom = 256 * 1024;
// A mapped block starts on a huge-page boundary and its mapping runs to the next
// one after its end, so that all of it can be had in huge pages; its header sits
// alone in the small page before it. The unused tail is address space only.
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kSmallPage = 4096;
// From this size on a block about to be written in full is worth its huge pages:
// zeroing a whole 2 MiB page costs less than the small-page faults it replaces.
constexpr std::size_t kHugeWorthFrom = kHugePage / 4;

// Every block starts with this header; the caller's bytes follow it, aligned as
// malloc would align them.
struct alignas(16) TBlockHeader {
    std::size_t Total; // bytes mapped from the header's page on; 0 for a heap block
    std::size_t Bytes; // the caller's bytes
};

std::size_t RoundUp(std::size_t N, std::size_t To) {
    return (N + To - 1) / To * To;
}

TBlockHeader* HeaderOf(void* Block) {
    return static_cast<TBlockHeader*>(Block) - 1;
}

// Maps a block of `bytes` bytes at a huge-page boundary; null when it cannot.
void* MapBlock(std::size_t Bytes) {
    const std::size_t span = RoundUp(Bytes, kHugePage);
    const std::size_t reserved = span + kHugePage;
    void* p = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t data = RoundUp(start + kSmallPage, kHugePage);
    const std::uintptr_t first = data - kSmallPage;
    if (first > start)
        ::munmap(p, first - start);
    if (start + reserved > data + span)
        ::munmap(reinterpret_cast<void*>(data + span), start + reserved - (data + span));
    void* block = reinterpret_cast<void*>(data);
    HeaderOf(block)->Total = span + kSmallPage;
    HeaderOf(block)->Bytes = Bytes;
    return block;
}

} // namespace

void* AllocateZeroed(std::size_t Bytes) {
    if (Bytes > std::numeric_limits<std::size_t>::max() / 4)
        return nullptr;
    if (Bytes == 0)
        Bytes = 1;
    if (Bytes >= kMappedFrom)
        return MapBlock(Bytes);
    auto* header = static_cast<TBlockHeader*>(std::calloc(1, sizeof(TBlockHeader) + Bytes));
    if (!header)
        return nullptr;
    header->Bytes = Bytes;
    return header + 1;
}

void FreeZeroed(void* Block) noexcept {
    if (!Block)
        return;
    TBlockHeader* header = HeaderOf(Block);
    if (header->Total == 0)
        std::free(header);
    else
        ::munmap(static_cast<char*>(Block) - kSmallPage, header->Total);
}

void ExpectWholeWrite(void* Block) noexcept {
    if (!Block)
        return;
    const TBlockHeader* header = HeaderOf(Block);
    if (header->Total == 0 || header->Bytes < kHugeWorthFrom)
        return;
    ::madvise(Block, header->Total - kSmallPage, MADV_HUGEPAGE);
}

} // namespace zorbalin
