// Memory that reads as zeros without having been written. Large blocks are fresh
// anonymous pages from the system, which are zero already: a page costs resident
// memory only when something is written to it, so a picture that claims a large
// size but is never filled in costs next to nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zorbalin {

// A zero-filled block of `bytes` bytes (at least one byte is taken for 0), or
// null when the memory cannot be had. Give it back with FreeZeroed only.
void* AllocateZeroed(std::size_t Bytes);
void FreeZeroed(void* Block) noexcept;

// Says that every byte of `block` (from AllocateZeroed) is about to be written.
// A large block is then filled through 2 MiB pages, which costs a tenth of the
// hundreds of 4 KiB page faults it would take otherwise; smaller blocks stay as
// they are. Only a hint: the contents do not change.
void ExpectWholeWrite(void* Block) noexcept;

struct TZeroedFree {
    void operator()(std::uint8_t* Block) const noexcept { FreeZeroed(Block); }
};
// An owned zero-filled byte block.
using TZeroedBytes = std::unique_ptr<std::uint8_t[], TZeroedFree>;

inline TZeroedBytes AllocateZeroedBytes(std::size_t Bytes) {
    return TZeroedBytes(static_cast<std::uint8_t*>(AllocateZeroed(Bytes)));
}

} // namespace zorbalin
