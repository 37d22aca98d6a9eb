#include "strings/catalogue.h"
#include "strings/translate.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace zorbalin {
namespace {

std::string EnglishCatalogueBytes() {
    std::ifstream file(ZORBALIN_LOCALE_DIR "/en/LC_MESSAGES/zorbalin.mo", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(Catalogue, TheEnglishCatalogueTranslatesTextsAndCounts) {
    std::optional<TCatalogue> english = TCatalogue::Parse(EnglishCatalogueBytes());
    ASSERT_TRUE(english);
    UseCatalogue(std::make_shared<const TCatalogue>(std::move(*english)));
    EXPECT_EQ(Tr("Új játék"), "New game");
    EXPECT_EQ(Tr("Nincs ilyen szöveg"), "Nincs ilyen szöveg") << "no entry: the Hungarian";
    const char* left = "Már csak %1 kavics maradt.";
    EXPECT_EQ(FormatText(TrN(left, left, 1), {"1"}), "Only 1 pebble is left.");
    EXPECT_EQ(FormatText(TrN(left, left, 7), {"7"}), "Only 7 pebbles are left.");
    UseCatalogue(nullptr);
    EXPECT_EQ(Tr("Új játék"), "Új játék");
    EXPECT_EQ(TrN(left, left, 7), left);
}

TEST(Catalogue, DamagedBytesAreNoCatalogue) {
    const std::string bytes = EnglishCatalogueBytes();
    ASSERT_TRUE(TCatalogue::Parse(bytes));
    // Cut anywhere inside the tables or the strings, every read stays within the bytes.
    for (std::size_t size = 0; size < bytes.size(); size += 7)
        TCatalogue::Parse(std::string_view(bytes).substr(0, size));
    EXPECT_FALSE(TCatalogue::Parse(bytes.substr(0, bytes.size() / 2)));
    EXPECT_FALSE(TCatalogue::Parse("not a catalogue, just some text of the right size"));
    std::string counted = bytes;
    counted[8] = counted[9] = counted[10] = counted[11] = '\xff'; // 4 billion entries
    EXPECT_FALSE(TCatalogue::Parse(counted));
}

} // namespace
} // namespace zorbalin
