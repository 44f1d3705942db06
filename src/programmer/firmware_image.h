#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace vrs {

struct FirmwareBlock {
    uint32_t dataOffset = 0;  // where the block's bytes start in the file
    uint32_t address = 0;     // where they go in the device
    uint32_t length = 0;
    uint32_t checksum = 0;    // handed to the device's verify command unchanged
};

// A checked ".vff" firmware image.
struct FirmwareImage {
    QByteArray bytes;
    std::vector<FirmwareBlock> blocks;
    std::vector<uint32_t> executions;  // 0 or 1 entries

    // The single execution address, or the first block's address without one.
    uint32_t ExecutionPoint() const;
    QByteArray BlockData(size_t index) const;
};

// Runs every check of a firmware file in order.  On failure returns false and
// *error holds the message to show; nothing of the file may then be flashed.
bool ParseFirmwareImage(const QByteArray &bytes, FirmwareImage *image, QString *error);

} // namespace vrs
