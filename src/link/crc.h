#pragma once

#include <cstddef>
#include <cstdint>

namespace vrs {

// CRC-8/SMBUS of the frames: poly 0x07, MSB first, init 0, no final XOR.
uint8_t Crc8(const uint8_t *data, size_t count);
// Reflected CRC-32 table (0xEDB88320) with initial value 0 and no final XOR:
// not the common CRC-32.  Always starts from 0.
uint32_t Crc32(const uint8_t *data, size_t count);
// One step of CRC-16/KERMIT (reflected 0x1021); the caller starts with 0.
uint16_t Crc16KermitUpdate(uint16_t crc, uint8_t byte);

} // namespace vrs
