#include "strings/translate.h"

#include "strings/catalogue.h"

#include <vector>

namespace zorbalin {

namespace {

std::shared_ptr<const TCatalogue>& CatalogueInUse() {
    static std::shared_ptr<const TCatalogue> catalogue;
    return catalogue;
}

} // namespace

void UseCatalogue(std::shared_ptr<const TCatalogue> Catalogue) {
    CatalogueInUse() = std::move(Catalogue);
}

std::string Tr(const char* Hungarian) {
    const std::shared_ptr<const TCatalogue>& catalogue = CatalogueInUse();
    const std::string* translation = catalogue ? catalogue->Find(Hungarian) : nullptr;
    return translation ? *translation : std::string(Hungarian);
}

std::string TrN(const char* One, const char* Other, unsigned long N) {
    const std::shared_ptr<const TCatalogue>& catalogue = CatalogueInUse();
    const std::string* translation = catalogue ? catalogue->FindPlural(One, Other, N) : nullptr;
    if (translation)
        return *translation;
    return N == 1 ? One : Other;
}

std::string FormatText(const std::string& Pattern, std::initializer_list<std::string> Args) {
    const std::vector<std::string> values(Args);
    std::string text;
    text.reserve(Pattern.size());
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        const char next = i + 1 < Pattern.size() ? Pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (Pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            text += values[index];
            ++i;
        } else {
            text += Pattern[i];
        }
    }
    return text;
}

} // namespace zorbalin
