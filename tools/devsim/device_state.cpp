#include "device_state.h"

#include "link/crc.h"
#include "link/frame.h"

namespace vrs::devsim {

namespace {

const uint8_t *Bytes(const QByteArray &data)
{
    return reinterpret_cast<const uint8_t *>(data.constData());
}

void AppendU32(QByteArray &out, uint32_t value)
{
    uint8_t bytes[4];
    WriteU32(bytes, value);
    out.append(reinterpret_cast<const char *>(bytes), 4);
}

// Fields of a request that may be cut short: missing bytes read as 0 so that
// the answer can still echo what was there.
uint32_t FieldU32(const uint8_t *data, size_t count, size_t offset)
{
    uint8_t bytes[4] = {};
    for (size_t i = 0; i < 4 && offset + i < count; ++i)
        bytes[i] = data[offset + i];
    return ReadU32(bytes);
}

QByteArray RangeAnswer(uint32_t address, uint32_t size, int8_t status)
{
    QByteArray out;
    AppendU32(out, address);
    AppendU32(out, size);
    out.append(char(status));
    return out;
}

constexpr uint64_t kAddressSpace = uint64_t(1) << 32;

bool FitsBelow(uint32_t address, uint32_t size, uint64_t limit)
{
    return uint64_t(address) + uint64_t(size) <= limit;
}

} // namespace

QString DeviceState::CommandName(uint8_t command)
{
    switch (command) {
    case kCmdReady: return QStringLiteral("ready");
    case kCmdWriteFirmware: return QStringLiteral("write-firmware");
    case kCmdVerifyBlock: return QStringLiteral("verify-block");
    case kCmdPacketSize: return QStringLiteral("packet-size");
    case kCmdExecutionPoint: return QStringLiteral("execution-point");
    case kCmdSerial: return QStringLiteral("serial");
    case kCmdWriteConfig: return QStringLiteral("write-config");
    case kCmdVerifyConfig: return QStringLiteral("verify-config");
    case kCmdReadConfig: return QStringLiteral("read-config");
    default: return QStringLiteral("unknown");
    }
}

CommandRecord DeviceState::Describe(uint8_t command, const uint8_t *data, size_t count)
{
    CommandRecord record;
    record.code = command;
    switch (command) {
    case kCmdWriteFirmware:
    case kCmdWriteConfig:
    case kCmdVerifyBlock:
    case kCmdReadConfig:
        record.address = FieldU32(data, count, 0);
        record.size = FieldU32(data, count, 4);
        break;
    case kCmdExecutionPoint:
        if (count >= 4)
            record.address = ReadU32(data);
        break;
    default:
        break;
    }
    return record;
}

void DeviceState::StoreConfigText(const QByteArray &text, bool goodCrc)
{
    QByteArray image;
    AppendU32(image, uint32_t(text.size()));
    image.append(text);
    uint32_t crc = Crc32(Bytes(text), size_t(text.size()));
    if (!goodCrc)
        crc = ~crc;
    AppendU32(image, crc);
    m_config.Clear();
    m_config.Write(0, image);
}

ConfigInfo DeviceState::InspectConfig() const
{
    ConfigInfo info;
    const QByteArray head = m_config.Read(0, 4);
    info.length = ReadU32(Bytes(head));
    if (info.length == kConfigErasedLength) {
        info.check = kConfigErased;
        info.image = head;
        return info;
    }
    if (info.length >= kConfigMaxLength) {
        info.check = kConfigBadLength;
        info.image = head;
        return info;
    }
    info.image = m_config.Read(0, info.length + 8);
    info.text = info.image.mid(4, qsizetype(info.length));
    info.storedCrc = ReadU32(Bytes(info.image) + 4 + info.length);
    info.computedCrc = Crc32(Bytes(info.text), size_t(info.text.size()));
    info.check = info.storedCrc == info.computedCrc ? kConfigGood : kConfigBadCrc;
    return info;
}

QByteArray DeviceState::WriteAnswer(SparseMemory &memory, uint64_t limit, const uint8_t *data,
                                    size_t count, CommandRecord *record)
{
    const uint32_t address = FieldU32(data, count, 0);
    const uint32_t size = FieldU32(data, count, 4);
    record->address = address;
    record->size = size;
    int8_t status = kStatusOk;
    if (count < 8 || count - 8 < size)
        status = kStatusMalformed;
    else if (!FitsBelow(address, size, limit))
        status = kStatusOutOfRange;
    else
        memory.Write(address, QByteArray(reinterpret_cast<const char *>(data + 8), qsizetype(size)));
    record->status = status;
    return RangeAnswer(address, size, status);
}

std::optional<QByteArray> DeviceState::Execute(uint8_t command, const uint8_t *data, size_t count,
                                               CommandRecord *record)
{
    CommandRecord scratch;
    if (!record)
        record = &scratch;
    record->code = command;

    switch (command) {
    case kCmdWriteFirmware:
        return WriteAnswer(m_firmware, kAddressSpace, data, count, record);

    case kCmdWriteConfig:
        return WriteAnswer(m_config, kConfigAreaSize, data, count, record);

    case kCmdVerifyBlock: {
        const uint32_t address = FieldU32(data, count, 0);
        const uint32_t size = FieldU32(data, count, 4);
        const uint32_t expected = FieldU32(data, count, 8);
        record->address = address;
        record->size = size;
        int8_t status = kStatusOk;
        if (count < 12) {
            status = kStatusMalformed;
        } else if (!FitsBelow(address, size, kAddressSpace)) {
            status = kStatusOutOfRange;
        } else {
            const QByteArray block = m_firmware.Read(address, size);
            if (Crc32(Bytes(block), size_t(block.size())) != expected)
                status = kStatusMismatch;
        }
        record->status = status;
        return RangeAnswer(address, size, status);
    }

    case kCmdPacketSize: {
        if (!m_packetSize)
            return std::nullopt;
        QByteArray out;
        AppendU32(out, *m_packetSize);
        return out;
    }

    case kCmdExecutionPoint: {
        int8_t status = kStatusOk;
        if (count < 4) {
            status = kStatusMalformed;
        } else {
            m_entryPoint = ReadU32(data);
            record->address = *m_entryPoint;
        }
        record->status = status;
        return QByteArray(1, char(status));
    }

    case kCmdSerial: {
        if (m_serial.isEmpty())
            return QByteArray(1, char(0xFF));
        QByteArray out = m_serial;
        out.append('\0');
        return out;
    }

    case kCmdVerifyConfig: {
        const int8_t status = InspectConfig().check;
        record->status = status;
        return QByteArray(1, char(status));
    }

    case kCmdReadConfig: {
        const uint32_t address = FieldU32(data, count, 0);
        const uint32_t size = FieldU32(data, count, 4);
        record->address = address;
        record->size = size;
        int8_t status = kStatusOk;
        if (count < 8)
            status = kStatusMalformed;
        else if (size > kMaxReadChunk)
            status = kStatusTooLarge;
        else if (!FitsBelow(address, size, kAddressSpace))
            status = kStatusOutOfRange;
        record->status = status;
        QByteArray out = RangeAnswer(address, size, status);
        if (status == kStatusOk)
            out.append(m_config.Read(address, size));
        return out;
    }

    default:
        return std::nullopt;
    }
}

} // namespace vrs::devsim
