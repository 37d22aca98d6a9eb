#include "strings/catalogue.h"

#include <cstdint>

namespace zorbalin {

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;
constexpr std::size_t kHeaderSize = 28;

// Reads the catalogue's 32-bit words in the byte order its magic number shows.
class TWordReader {
  public:
    explicit TWordReader(std::string_view Bytes) : FBytes(Bytes) {}

    bool SetOrder() {
        const std::optional<std::uint32_t> magic = Word(0);
        if (magic == kSwappedMagic)
            FSwapped = true;
        return magic == kMagic || magic == kSwappedMagic;
    }

    std::optional<std::uint32_t> Word(std::size_t Offset) const {
        if (Offset > FBytes.size() || FBytes.size() - Offset < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int shift = FSwapped ? 8 * (3 - i) : 8 * i;
            value |= std::uint32_t(static_cast<unsigned char>(FBytes[Offset + i])) << shift;
        }
        return value;
    }

    // The string whose length and offset stand at Entry of a string table.
    std::optional<std::string_view> String(std::size_t Entry) const {
        const std::optional<std::uint32_t> length = Word(Entry);
        const std::optional<std::uint32_t> offset = Word(Entry + 4);
        if (!length || !offset || *offset > FBytes.size() || FBytes.size() - *offset < *length)
            return std::nullopt;
        return FBytes.substr(*offset, *length);
    }

  private:
    std::string_view FBytes;
    bool FSwapped = false;
};

std::vector<std::string> SplitAtNul(const std::string& Text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = Text.find('\0', start);
        parts.push_back(Text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

std::optional<TCatalogue> TCatalogue::Parse(std::string_view Bytes) {
    TWordReader reader(Bytes);
    if (Bytes.size() > kMaxSize || Bytes.size() < kHeaderSize || !reader.SetOrder())
        return std::nullopt;
    const std::uint32_t count = *reader.Word(8);
    const std::uint32_t ids = *reader.Word(12);
    const std::uint32_t translations = *reader.Word(16);
    // Each entry takes 8 bytes in each table, so a count beyond the size is damage.
    if (count > Bytes.size() / 8)
        return std::nullopt;
    TCatalogue catalogue;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::optional<std::string_view> id = reader.String(std::size_t(ids) + 8 * i);
        const std::optional<std::string_view> text =
            reader.String(std::size_t(translations) + 8 * i);
        if (!id || !text)
            return std::nullopt;
        catalogue.Add(std::string(*id), std::string(*text));
    }
    return catalogue;
}

void TCatalogue::Add(std::string Id, std::string Translation) {
    if (Id.empty() || Translation.empty())
        return;
    if (Id.find('\0') != std::string::npos)
        FPlurals[std::move(Id)] = SplitAtNul(Translation);
    else
        FEntries[std::move(Id)] = std::move(Translation);
}

const std::string* TCatalogue::Find(const std::string& Id) const {
    const auto found = FEntries.find(Id);
    return found == FEntries.end() ? nullptr : &found->second;
}

const std::string* TCatalogue::FindPlural(const std::string& One, const std::string& Other,
                                          unsigned long N) const {
    const auto found = FPlurals.find(One + '\0' + Other);
    if (found == FPlurals.end())
        return nullptr;
    const std::vector<std::string>& forms = found->second;
    const std::size_t form = N == 1 ? 0 : forms.size() - 1;
    return forms[form].empty() ? nullptr : &forms[form];
}

std::vector<std::string> TCatalogue::Ids() const {
    std::vector<std::string> ids;
    for (const auto& entry : FEntries)
        ids.push_back(entry.first);
    for (const auto& entry : FPlurals)
        ids.push_back(entry.first);
    return ids;
}

} // namespace zorbalin
