#include "device_dump.h"

#include "link/crc.h"
#include "sim_device.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace vrs::devsim {

namespace {

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QJsonValue Number(std::optional<uint32_t> value)
{
    return value ? QJsonValue(double(*value)) : QJsonValue(QJsonValue::Null);
}

QString CheckName(ConfigCheck check)
{
    switch (check) {
    case kConfigGood: return QStringLiteral("good");
    case kConfigErased: return QStringLiteral("erased");
    case kConfigBadLength: return QStringLiteral("bad-length");
    case kConfigBadCrc: return QStringLiteral("bad-crc");
    }
    return QString();
}

QJsonArray Segments(const SparseMemory &memory, bool withCrc)
{
    QJsonArray out;
    for (const auto &[address, data] : memory.Segments()) {
        QJsonObject segment{{QStringLiteral("address"), double(address)},
                            {QStringLiteral("size"), double(data.size())}};
        if (withCrc)
            segment[QStringLiteral("crc32")] = double(
                Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size())));
        segment[QStringLiteral("data")] = Hex(data);
        out.append(segment);
    }
    return out;
}

} // namespace

QJsonObject DumpDevice(const SimDevice &device)
{
    const DeviceState &state = device.State();
    const ConfigInfo info = state.InspectConfig();

    QJsonObject config{{QStringLiteral("check"), CheckName(info.check)},
                       {QStringLiteral("length"), double(info.length)},
                       {QStringLiteral("image"), Hex(info.image)}};
    if (info.check == kConfigGood || info.check == kConfigBadCrc) {
        config[QStringLiteral("storedCrc")] = double(info.storedCrc);
        config[QStringLiteral("computedCrc")] = double(info.computedCrc);
    }
    if (info.check == kConfigGood)
        config[QStringLiteral("text")] = QString::fromUtf8(info.text);

    QJsonArray commands;
    for (const CommandRecord &record : device.Commands()) {
        QJsonObject entry{{QStringLiteral("code"), int(record.code)},
                          {QStringLiteral("name"), DeviceState::CommandName(record.code)},
                          {QStringLiteral("outcome"), record.outcome}};
        if (record.address)
            entry[QStringLiteral("address")] = double(*record.address);
        if (record.size)
            entry[QStringLiteral("size")] = double(*record.size);
        if (record.status)
            entry[QStringLiteral("status")] = *record.status;
        commands.append(entry);
    }

    return QJsonObject{
        {QStringLiteral("port"), device.PortPath()},
        {QStringLiteral("serial"), QString::fromUtf8(state.Serial())},
        {QStringLiteral("packetSize"), Number(state.PacketSize())},
        {QStringLiteral("executionPoint"), Number(state.ExecutionPoint())},
        {QStringLiteral("config"), config},
        {QStringLiteral("configArea"), Segments(state.ConfigArea(), false)},
        {QStringLiteral("firmware"), Segments(state.Firmware(), true)},
        {QStringLiteral("commands"), commands},
    };
}

bool WriteDump(const SimDevice &device, const QString &fileName, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(QJsonDocument(DumpDevice(device)).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vrs::devsim
