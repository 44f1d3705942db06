#include "link/crc.h"

#include <array>

namespace vrs {

namespace {

constexpr std::array<uint8_t, 256> MakeCrc8Table()
{
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? ((crc << 1) ^ 0x07) : (crc << 1);
        table[i] = uint8_t(crc);
    }
    return table;
}

constexpr std::array<uint32_t, 256> MakeCrc32Table()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? ((crc >> 1) ^ 0xEDB88320u) : (crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> MakeKermitTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? ((crc >> 1) ^ 0x8408) : (crc >> 1);
        table[i] = uint16_t(crc);
    }
    return table;
}

constexpr auto kCrc8Table = MakeCrc8Table();
constexpr auto kCrc32Table = MakeCrc32Table();
constexpr auto kKermitTable = MakeKermitTable();

static_assert(kCrc32Table[1] == 0x77073096u, "reflected CRC-32 table");
static_assert(kKermitTable[1] == 0x1189, "reflected 0x1021 table");

} // namespace

uint8_t Crc8(const uint8_t *data, size_t count)
{
    uint8_t crc = 0;
    for (size_t i = 0; i < count; ++i)
        crc = kCrc8Table[crc ^ data[i]];
    return crc;
}

uint32_t Crc32(const uint8_t *data, size_t count)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < count; ++i)
        crc = kCrc32Table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint16_t Crc16KermitUpdate(uint16_t crc, uint8_t byte)
{
    return uint16_t((crc >> 8) ^ kKermitTable[(crc ^ byte) & 0xFF]);
}

} // namespace vrs
