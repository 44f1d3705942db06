#include "ntrv_schema.h"

#include "devices/json_read.h"

namespace vrs {

namespace {

const QString kBlock = QStringLiteral("block");
const QString kOutput = QStringLiteral("k_out");
const QString kPort = QStringLiteral("d_out");

JsonValue buildTable(const NtrvDevice &device)
{
    JsonValue table = JsonValue::array();
    for (int p = 0; p < device.PortCount(); ++p) {
        const int c = device.Wire(p);
        if (c == NtrvDevice::kUnwired)
            continue;
        const int n = c + 1;
        const int per = NtrvDevice::kOutputsPerController;
        JsonValue entry = JsonValue::object();
        entry.add(kBlock, ((n + per - 1) / per) % 16);
        entry.add(kOutput, (n - 1) % per + 1);
        entry.add(kPort, p + 1);
        table.append(std::move(entry));
    }
    return table;
}

void loadTable(const JsonValue &table, NtrvDevice &device)
{
    for (size_t i = 0; i < table.size(); ++i) {
        const JsonValue &entry = table.items()[i];
        if (!entry.isObject() || !entry.find(kBlock) || !entry.find(kOutput) || !entry.find(kPort))
            continue;
        const QString at = QStringLiteral("table[%1].").arg(i);
        const qint64 block = *ReadInteger(entry, kBlock, at + kBlock);
        const qint64 output = *ReadInteger(entry, kOutput, at + kOutput);
        const qint64 port = *ReadInteger(entry, kPort, at + kPort);
        if (port < 1 || port > NtrvDevice::kMaxPorts)
            continue;
        // Unsigned, so that any stored numbers wrap instead of overflowing;
        // only the lowest byte is kept anyway.
        const quint64 c = (quint64(output) - 1) + (quint64(block) - 1) * NtrvDevice::kOutputsPerController;
        device.SetWire(int(port - 1), quint8(c & 0xFF));
    }
}

void loadAddress(const JsonValue &eth, const QString &key, NtrvDevice &device,
                 bool (NtrvDevice::*set)(const QString &, QString *))
{
    const std::optional<QString> text = ReadText(eth, key);
    if (!text)
        return;
    QString reason;
    if (!(device.*set)(*text, &reason))
        throw LoadFailure{QStringLiteral("Некорректная конфигурация: значение \"%1\" ключа \"%2\" "
                                         "не является адресом (%3)")
                              .arg(*text, key, reason)};
}

} // namespace

JsonValue BuildNtrvObject(const NtrvDevice &device)
{
    JsonValue eth = JsonValue::object();
    eth.add(QStringLiteral("ping"), device.Ping());
    eth.add(QStringLiteral("dhcp"), device.Dhcp());
    eth.add(QStringLiteral("mac"), device.MacText());
    eth.add(QStringLiteral("ip"), device.IpText());
    eth.add(QStringLiteral("gate"), device.GateText());
    eth.add(QStringLiteral("mask"), device.MaskText());

    JsonValue server = JsonValue::object();
    server.add(QStringLiteral("port"), unsigned(device.Port()));

    JsonValue object = JsonValue::object();
    object.add(QStringLiteral("vrs_count"), device.ControllerCount());
    object.add(QStringLiteral("output_count"), device.PortCount());
    object.add(QStringLiteral("table"), buildTable(device));
    // Written with the features on or off; a load takes the presence of
    // each object as its feature switched on.
    object.add(QStringLiteral("eth"), std::move(eth));
    object.add(QStringLiteral("server"), std::move(server));
    return object;
}

void LoadNtrvObject(const JsonValue &object, NtrvDevice &device)
{
    // Counts are bytes on the device.
    device.SetControllerCount(int(ReadInteger(object, QStringLiteral("vrs_count")).value_or(1) & 0xFF));
    device.SetPortCount(int(ReadInteger(object, QStringLiteral("output_count")).value_or(8) & 0xFF));

    device.ClearTable();
    if (const JsonValue *table = ReadList(object, QStringLiteral("table")))
        loadTable(*table, device);

    if (const JsonValue *eth = ReadObject(object, QStringLiteral("eth"))) {
        device.SetEthernet(true);
        device.SetPing(ReadBool(*eth, QStringLiteral("ping")).value_or(false));
        device.SetDhcp(ReadBool(*eth, QStringLiteral("dhcp")).value_or(false));
        loadAddress(*eth, QStringLiteral("mac"), device, &NtrvDevice::SetMacText);
        loadAddress(*eth, QStringLiteral("ip"), device, &NtrvDevice::SetIpText);
        loadAddress(*eth, QStringLiteral("gate"), device, &NtrvDevice::SetGateText);
        loadAddress(*eth, QStringLiteral("mask"), device, &NtrvDevice::SetMaskText);
    } else {
        device.SetEthernet(false);
    }

    if (const JsonValue *server = ReadObject(object, QStringLiteral("server"))) {
        device.SetServer(true);
        if (auto port = ReadInteger(*server, QStringLiteral("port")))
            device.SetPort(quint16(*port));
    } else {
        device.SetServer(false);
    }
}

} // namespace vrs
