// Reading an integer out of the desktop's settings block.
#include "toolkit/xsettings.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbalin {
namespace {

// A settings block as a settings manager writes it, in either byte order.
class TBlockWriter {
  public:
    explicit TBlockWriter(bool BigEndian) : FBigEndian(BigEndian) {
        Block.push_back(static_cast<char>(BigEndian ? 1 : 0));
        Block.append(3, '\0');
        Card(4, 7); // serial
        Card(4, 0); // the count, set by each setting
    }
    void Integer(const std::string& Name, uint32_t Value) {
        Head(0, Name);
        Card(4, Value);
    }
    void Text(const std::string& Name, const std::string& Value) {
        Head(1, Name);
        Card(4, static_cast<uint32_t>(Value.size()));
        Padded(Value);
    }
    void Colour(const std::string& Name) {
        Head(2, Name);
        Block.append(8, '\x7f');
    }
    std::string Block;

  private:
    void Head(char Type, const std::string& Name) {
        ++FCount;
        const std::string count = Number(4, FCount);
        Block.replace(8, 4, count);
        Block.push_back(Type);
        Block.push_back('\0');
        Card(2, static_cast<uint32_t>(Name.size()));
        Padded(Name);
        Card(4, 3); // last-change serial
    }
    std::string Number(int Bytes, uint32_t Value) const {
        std::string out;
        for (int i = 0; i < Bytes; ++i) {
            const int shift = 8 * (FBigEndian ? Bytes - 1 - i : i);
            out.push_back(static_cast<char>(Value >> shift & 0xFF));
        }
        return out;
    }
    void Card(int Bytes, uint32_t Value) { Block += Number(Bytes, Value); }
    void Padded(const std::string& Text) {
        Block += Text;
        Block.append((4 - Text.size() % 4) % 4, '\0');
    }
    bool FBigEndian;
    uint32_t FCount = 0;
};

TEST(XSettings, FindsAnIntegerBehindOtherSettingsInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        TBlockWriter writer(bigEndian);
        writer.Text("Net/ThemeName", "Adwaita");
        writer.Colour("Gtk/Color");
        writer.Integer("Gtk/EnableAnimations", 0);
        writer.Integer("Xft/DPI", 98304);
        EXPECT_EQ(XSettingsInteger(writer.Block, "Gtk/EnableAnimations"), 0) << bigEndian;
        EXPECT_EQ(XSettingsInteger(writer.Block, "Xft/DPI"), 98304) << bigEndian;
        EXPECT_EQ(XSettingsInteger(writer.Block, "Net/ThemeName"), std::nullopt) << bigEndian;
        EXPECT_EQ(XSettingsInteger(writer.Block, "Gtk/Missing"), std::nullopt) << bigEndian;
    }
}

TEST(XSettings, ADamagedOrShortBlockGivesNothing) {
    TBlockWriter writer(false);
    writer.Text("Net/ThemeName", "Adwaita");
    writer.Integer("Gtk/EnableAnimations", 1);
    const std::string whole = writer.Block;
    ASSERT_EQ(XSettingsInteger(whole, "Gtk/EnableAnimations"), 1);
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_EQ(XSettingsInteger(whole.substr(0, length), "Gtk/EnableAnimations"), std::nullopt)
            << length;
    std::string badOrder = whole;
    badOrder[0] = 'B';
    EXPECT_EQ(XSettingsInteger(badOrder, "Gtk/EnableAnimations"), std::nullopt);
    std::string longName = whole;
    longName[14] = '\xff'; // the first name's length, far past the end
    EXPECT_EQ(XSettingsInteger(longName, "Gtk/EnableAnimations"), std::nullopt);
}

} // namespace
} // namespace zorbalin
