#pragma once
// A compiled message catalogue (msgfmt's .mo file): the translations of the program's Hungarian
// texts into one language.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorbalin {

class TCatalogue {
  public:
    // The largest catalogue read: the program's runs to a few kilobytes.
    static constexpr std::size_t kMaxSize = 4u << 20;

    // The catalogue in Bytes, the content of a .mo file in either byte order; nothing when the
    // bytes are no catalogue, are damaged or exceed kMaxSize.
    static std::optional<TCatalogue> Parse(std::string_view Bytes);

    // The translation of Id; null when the catalogue has none (or an empty one, as msgfmt writes
    // an untranslated entry).
    const std::string* Find(const std::string& Id) const;

    // The translation of the text counted by N, given by its two Hungarian forms; null when the
    // catalogue has none. Both languages have two forms, the first for exactly one.
    const std::string* FindPlural(const std::string& One, const std::string& Other,
                                  unsigned long N) const;

    // A catalogue built in memory; a plural's forms are joined by '\0' in both the key and the
    // value, as in the file.
    void Add(std::string Id, std::string Translation);

    // Every message id, the header's empty id left out.
    std::vector<std::string> Ids() const;

  private:
    std::unordered_map<std::string, std::string> FEntries;
    std::unordered_map<std::string, std::vector<std::string>> FPlurals;
};

} // namespace zorbalin
