#include "app/windows/pebble_pictures.h"

#include "toolkit/graphics.h"
#include "toolkit/stream.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zorbalin {

namespace {

// A digest of the whole stream from its start: its size and a hash of its bytes,
// enough to tell a changed pebble file from the one decoded before.
std::uint64_t DigestOf(TStream& Stream) {
    std::vector<char> piece(64 * 1024);
    std::uint64_t digest = 0x9E3779B97F4A7C15u;
    std::uint64_t size = 0;
    for (;;) {
        const int64_t got = Stream.Read(piece.data(), static_cast<int64_t>(piece.size()));
        if (got <= 0)
            break;
        size += static_cast<std::uint64_t>(got);
        const std::size_t hash = std::hash<std::string_view>()(
            std::string_view(piece.data(), static_cast<std::size_t>(got)));
        digest = (digest ^ hash) * 0x100000001B3u;
    }
    return digest ^ size;
}

} // namespace

std::shared_ptr<TGraphic> TPebblePictures::Picture(const std::string& Path) {
    TEntry& entry = FEntries[Path];
    if (entry.Operation != FOperation) {
        entry.Operation = FOperation;
        entry.Failure = nullptr;
        try {
            Read(Path, entry);
        } catch (...) {
            entry.Failure = std::current_exception();
            entry.Picture.reset();
        }
    }
    if (entry.Failure)
        std::rethrow_exception(entry.Failure);
    return entry.Picture;
}

void TPebblePictures::Read(const std::string& Path, TEntry& Entry) {
    std::unique_ptr<TGraphic> fresh = TPicture::NewGraphicFor(Path);
    TFileStream file(Path, kFmOpenRead);
    const std::uint64_t digest = DigestOf(file);
    if (Entry.Picture && digest == Entry.Digest)
        return; // unchanged: the cells keep sharing the picture decoded before
    file.SetPosition(0);
    fresh->LoadFromStream(file);
    Entry.Picture = std::move(fresh);
    Entry.Digest = digest;
}

} // namespace zorbalin
