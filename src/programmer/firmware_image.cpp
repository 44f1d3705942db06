#include "firmware_image.h"

#include "link/crc.h"
#include "link/log_sink.h"

#include <cstring>

namespace vrs {

namespace {

const QString kCorrupt = QStringLiteral("Файл поврежден или не является файлом прошивки: ");

// Little-endian reads with the bounds checked: a table whose count field runs
// past the end of the file must end the load with a message, not read beyond it.
bool ReadU32(const QByteArray &bytes, quint64 offset, uint32_t *value)
{
    if (offset + 4 > quint64(bytes.size()))
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.constData()) + offset;
    *value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return true;
}

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString ReadError()
{
    return kCorrupt + QStringLiteral("unexpected end of file");
}

} // namespace

uint32_t FirmwareImage::ExecutionPoint() const
{
    if (executions.size() == 1)
        return executions.front();
    return blocks.empty() ? 0 : blocks.front().address;
}

QByteArray FirmwareImage::BlockData(size_t index) const
{
    const FirmwareBlock &b = blocks.at(index);
    return bytes.mid(qsizetype(b.dataOffset), qsizetype(b.length));
}

bool ParseFirmwareImage(const QByteArray &bytes, FirmwareImage *image, QString *error)
{
    const quint64 size = quint64(bytes.size());
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());

    if (size < 3)
        return Fail(error, kCorrupt + QStringLiteral("file CRC error."));
    uint16_t crc = 0;
    for (quint64 i = 0; i + 2 < size; ++i)
        crc = Crc16KermitUpdate(crc, data[i]);
    const uint16_t stored = uint16_t(data[size - 2] | data[size - 1] << 8);
    if (crc != stored)
        return Fail(error, kCorrupt + QStringLiteral("file CRC error."));

    if (size <= 18)
        return Fail(error, kCorrupt + QStringLiteral("invalid size (%1)").arg(size));

    static const uint8_t kSignature[4] = {0xFA, 0xCE, 0x20, 0x35};
    if (memcmp(data + 4, kSignature, 4) != 0)
        return Fail(error, kCorrupt + QStringLiteral("invalid signature (%1)").arg(BytesToHex(data + 4, 4)));

    const uint16_t version = uint16_t(data[8] | data[9] << 8);
    if (version > 2)
        return Fail(error, QStringLiteral("Файл более новой версии. Для его использования необходимо обновить программатор."));
    if (version == 1)
        return Fail(error, QStringLiteral("Версия формата файла 1. Для работы с ним необходимо использовать конфигуратор ВРС."));

    uint32_t blocksOffset = 0, execOffset = 0;
    ReadU32(bytes, 10, &blocksOffset);
    ReadU32(bytes, 14, &execOffset);

    FirmwareImage result;
    result.bytes = bytes;

    if (blocksOffset >= size)
        return Fail(error, QStringLiteral("Blocks table pointer out of size"));
    uint32_t blockCount = 0;
    if (!ReadU32(bytes, blocksOffset, &blockCount))
        return Fail(error, ReadError());
    if (blockCount > 0) {
        const quint64 tableEnd = quint64(blocksOffset) + 4 + 17ull * blockCount;
        if (tableEnd >= size)
            return Fail(error, QStringLiteral("Blocks table out of size"));
        result.blocks.resize(blockCount);
        for (uint32_t i = 0; i < blockCount; ++i) {
            const quint64 rec = quint64(blocksOffset) + 4 + 17ull * i;
            FirmwareBlock &b = result.blocks[i];
            ReadU32(bytes, rec + 1, &b.dataOffset);
            ReadU32(bytes, rec + 5, &b.address);
            ReadU32(bytes, rec + 9, &b.length);
            ReadU32(bytes, rec + 13, &b.checksum);
        }
        for (uint32_t i = 0; i < blockCount; ++i) {
            const FirmwareBlock &b = result.blocks[i];
            if (quint64(b.dataOffset) + b.length >= size)
                return Fail(error, QStringLiteral("Block %1 out of size").arg(i));
        }
    }

    if (execOffset >= size)
        return Fail(error, QStringLiteral("Executions table pointer out of size"));
    uint32_t execCount = 0;
    if (!ReadU32(bytes, execOffset, &execCount))
        return Fail(error, ReadError());
    if (execCount > 0) {
        const quint64 tableEnd = quint64(execOffset) + 4 + 4ull * execCount;
        if (tableEnd >= size)
            return Fail(error, QStringLiteral("Executions table out of size"));
        if (execCount > 1)
            return Fail(error, QStringLiteral("В файле больше одной точки входа в программу - неизвестно, какую из них записывать."));
        uint32_t address = 0;
        ReadU32(bytes, quint64(execOffset) + 4, &address);
        result.executions.push_back(address);
    }

    if (image)
        *image = std::move(result);
    return true;
}

} // namespace vrs
