#include "assets/embedded_assets.h"

#include <algorithm>

namespace zorbalin {

std::pair<const unsigned char*, std::size_t> EmbeddedAsset(std::string_view name) {
    std::size_t count = 0;
    const TEmbeddedAssetEntry* first = EmbeddedAssetTable(count);
    const TEmbeddedAssetEntry* last = first + count;
    const TEmbeddedAssetEntry* found = std::lower_bound(
        first, last, name,
        [](const TEmbeddedAssetEntry& entry, std::string_view key) { return entry.Name < key; });
    if (found == last || found->Name != name)
        return {nullptr, 0};
    return {found->Data, found->Size};
}

} // namespace zorbalin
