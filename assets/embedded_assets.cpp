#include "assets/embedded_assets.h"

#include <algorithm>

namespace zorbalin {

std::pair<const unsigned char*, std::size_t> EmbeddedAsset(std::string_view Name) {
    std::size_t count = 0;
    const TEmbeddedAssetEntry* first = EmbeddedAssetTable(count);
    const TEmbeddedAssetEntry* last = first + count;
    const TEmbeddedAssetEntry* found = std::lower_bound(
        first, last, Name,
        [](const TEmbeddedAssetEntry& Entry, std::string_view Key) { return Entry.Name < Key; });
    if (found == last || found->Name != Name)
        return {nullptr, 0};
    return {found->Data, found->Size};
}

} // namespace zorbalin
