#include "assets/embedded_assets.h"

#include <algorithm>

namespace zorbalin {

std::pair<const unsigned char*, std::size_t> EmbeddedAsset(std::string_view name) {
    std::size_t count = 0;
    const EmbeddedAssetEntry* first = EmbeddedAssetTable(count);
    const EmbeddedAssetEntry* last = first + count;
    const EmbeddedAssetEntry* found = std::lower_bound(
        first, last, name,
        [](const EmbeddedAssetEntry& entry, std::string_view key) { return entry.name < key; });
    if (found == last || found->name != name)
        return {nullptr, 0};
    return {found->data, found->size};
}

} // namespace zorbalin
