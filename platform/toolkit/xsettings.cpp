#include "toolkit/xsettings.h"

#include <cstddef>

namespace zorbalin {

namespace {

// The block's kinds of value.
constexpr uint8_t kIntegerSetting = 0;
constexpr uint8_t kStringSetting = 1;
constexpr uint8_t kColourSetting = 2;

// Reads the block front to back; every read is checked against its end, so that a damaged
// block ends the reading instead of reaching past it.
class TBlockReader {
  public:
    TBlockReader(std::string_view Block, bool BigEndian) : FBlock(Block), FBigEndian(BigEndian) {}

    bool Skip(size_t Count) {
        if (Count > FBlock.size() - FPos)
            return false;
        FPos += Count;
        return true;
    }
    // Skips a length padded to the next multiple of four.
    bool SkipPadded(size_t Count) { return Skip(Count) && Skip((4 - Count % 4) % 4); }
    bool Byte(uint8_t& Value) {
        if (FPos >= FBlock.size())
            return false;
        Value = static_cast<uint8_t>(FBlock[FPos++]);
        return true;
    }
    bool Card16(uint32_t& Value) { return Number(2, Value); }
    bool Card32(uint32_t& Value) { return Number(4, Value); }
    bool Text(size_t Count, std::string_view& Value) {
        if (Count > FBlock.size() - FPos)
            return false;
        Value = FBlock.substr(FPos, Count);
        return SkipPadded(Count);
    }

  private:
    bool Number(size_t Bytes, uint32_t& Value) {
        if (Bytes > FBlock.size() - FPos)
            return false;
        Value = 0;
        for (size_t i = 0; i < Bytes; ++i) {
            const auto byte = static_cast<uint8_t>(FBlock[FPos + (FBigEndian ? i : Bytes - 1 - i)]);
            Value = Value << 8 | byte;
        }
        FPos += Bytes;
        return true;
    }

    std::string_view FBlock;
    bool FBigEndian;
    size_t FPos = 0;
};

// Skips the value of a setting of this type; false for a type the block may not hold.
bool SkipValue(TBlockReader& Reader, uint8_t Type) {
    uint32_t length = 0;
    switch (Type) {
    case kIntegerSetting:
        return Reader.Skip(4);
    case kStringSetting:
        return Reader.Card32(length) && Reader.SkipPadded(length);
    case kColourSetting:
        return Reader.Skip(8);
    default:
        return false;
    }
}

} // namespace

std::optional<int32_t> XSettingsInteger(std::string_view Block, std::string_view Name) {
    if (Block.empty())
        return std::nullopt;
    // The first byte is the byte order: 0 for least significant first, 1 for most.
    const auto order = static_cast<uint8_t>(Block[0]);
    if (order > 1)
        return std::nullopt;
    TBlockReader reader(Block, order == 1);
    uint32_t count = 0;
    if (!reader.Skip(4) || !reader.Skip(4) || !reader.Card32(count)) // order, serial, count
        return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t type = 0;
        uint32_t nameLength = 0;
        std::string_view name;
        if (!reader.Byte(type) || !reader.Skip(1) || !reader.Card16(nameLength) ||
            !reader.Text(nameLength, name) || !reader.Skip(4)) // last-change serial
            return std::nullopt;
        if (name == Name && type == kIntegerSetting) {
            uint32_t value = 0;
            if (!reader.Card32(value))
                return std::nullopt;
            return static_cast<int32_t>(value);
        }
        if (!SkipValue(reader, type))
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace zorbalin
