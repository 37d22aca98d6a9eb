#include "gdi/zeroed_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <limits>

namespace zorbalin {
namespace {

// Below this size the heap serves the block (calloc); from it on the block is
// mapped on its own, and unmapped when freed.
constexpr std::size_t kMappedFrom = 256 * 1024;

// Every block starts with this header; the caller's bytes follow it, aligned as
// malloc would align them.
struct alignas(16) TBlockHeader {
    std::size_t Total; // bytes mapped, header included; 0 for a heap block
};

} // namespace

void* AllocateZeroed(std::size_t bytes) {
    if (bytes > std::numeric_limits<std::size_t>::max() / 2)
        return nullptr;
    const std::size_t total = sizeof(TBlockHeader) + (bytes ? bytes : 1);
    void* base = nullptr;
    if (total < kMappedFrom) {
        base = std::calloc(1, total);
        if (!base)
            return nullptr;
        static_cast<TBlockHeader*>(base)->Total = 0;
    } else {
        base = ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED)
            return nullptr;
        static_cast<TBlockHeader*>(base)->Total = total;
    }
    return static_cast<TBlockHeader*>(base) + 1;
}

void FreeZeroed(void* block) noexcept {
    if (!block)
        return;
    TBlockHeader* header = static_cast<TBlockHeader*>(block) - 1;
    if (header->Total == 0)
        std::free(header);
    else
        ::munmap(header, header->Total);
}

} // namespace zorbalin
