#pragma once

#include "link/crc.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// Builds ".vff" files for tests: header, data, blocks table, executions
// table and the CRC-16 trailer, with knobs to break each part.
struct FirmwareBuilder {
    struct Block {
        uint32_t address;
        QByteArray data;
        uint32_t checksum;
    };
    std::vector<Block> blocks;
    std::vector<uint32_t> executions;
    uint16_t version = 2;
    QByteArray signature = QByteArray::fromHex("FACE2035");

    static void Put32(QByteArray &b, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i)));
    }
    static void Set32(QByteArray &b, int at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char(v >> (8 * i));
    }
    static QByteArray WithCrc(QByteArray body)
    {
        uint16_t crc = 0;
        for (char c : body)
            crc = vrs::Crc16KermitUpdate(crc, uint8_t(c));
        body.append(char(crc & 0xFF));
        body.append(char(crc >> 8));
        return body;
    }

    // The file without its CRC trailer, so a test can still poke at it.
    QByteArray Body() const
    {
        QByteArray b(4, '\0');
        b.append(signature);
        b.append(char(version & 0xFF));
        b.append(char(version >> 8));
        Put32(b, 0);  // blocks table offset, set below
        Put32(b, 0);  // executions table offset, set below
        std::vector<uint32_t> offsets;
        for (const Block &blk : blocks) {
            offsets.push_back(uint32_t(b.size()));
            b.append(blk.data);
        }
        Set32(b, 10, uint32_t(b.size()));
        Put32(b, uint32_t(blocks.size()));
        for (size_t i = 0; i < blocks.size(); ++i) {
            b.append('\0');
            Put32(b, offsets[i]);
            Put32(b, blocks[i].address);
            Put32(b, uint32_t(blocks[i].data.size()));
            Put32(b, blocks[i].checksum);
        }
        Set32(b, 14, uint32_t(b.size()));
        Put32(b, uint32_t(executions.size()));
        for (uint32_t e : executions)
            Put32(b, e);
        return b;
    }

    QByteArray Build() const { return WithCrc(Body()); }
};
