#include "ntrv_device.h"

#include <QRandomGenerator>

namespace vrs {

namespace {

QString addressError(const QString &text, const QString &group)
{
    return QStringLiteral("Группа \"%1\" адреса \"%2\" не является числом").arg(group, text);
}

template <typename Address>
bool setAddress(Address &field, const QString &text, QString *error,
                AddressParse (*parse)(const QString &, Address *, QString *))
{
    Address parsed{};
    QString badGroup;
    switch (parse(text, &parsed, &badGroup)) {
    case AddressParse::Parsed:
        field = parsed;
        return true;
    case AddressParse::WrongGroupCount:
        return true;
    case AddressParse::BadNumber:
        break;
    }
    if (error)
        *error = addressError(text, badGroup);
    return false;
}

} // namespace

NtrvDevice::NtrvDevice()
{
    ClearTable();
    SetControllerCount(1);
    ResetNetwork();
}

void NtrvDevice::ClearTable()
{
    m_table.fill(kUnwired);
}

void NtrvDevice::ResetNetwork()
{
    m_features = 0;
    m_port = kDefaultServerPort;
    m_networkFlags = 0;
    m_mac.fill(0);
    m_ip.fill(0);
    m_gate.fill(0);
    m_mask.fill(255);
}

void NtrvDevice::SetControllerCount(int n)
{
    const quint8 count = quint8(n & 0xFF);
    if (count == 0 || count == m_controllerCount)
        return;
    if (count < m_controllerCount) {
        // Any port may watch any output, so every port is looked at, not
        // only those numbered like the removed outputs.
        const int firstRemoved = kOutputsPerController * count;
        for (quint8 &c : m_table)
            if (c != kUnwired && c >= firstRemoved)
                c = kUnwired;
    }
    m_controllerCount = count;
}

void NtrvDevice::SetPortCount(int n)
{
    const quint8 count = quint8(n & 0xFF);
    if (count == 0 || count == m_portCount)
        return;
    for (int p = count; p < m_portCount; ++p)
        SetWire(p, kUnwired);
    m_portCount = count;
}

quint8 NtrvDevice::Wire(int p) const
{
    return p >= 0 && p < kMaxPorts ? m_table[size_t(p)] : kUnwired;
}

void NtrvDevice::SetWire(int p, quint8 c)
{
    if (p >= 0 && p < kMaxPorts)
        m_table[size_t(p)] = c;
}

int NtrvDevice::PortOfChannel(int c) const
{
    if (c < 0)
        return -1;
    const int ports = qMin(int(m_portCount), kMaxPorts);
    for (int p = 0; p < ports; ++p)
        if (m_table[size_t(p)] == c)
            return p;
    return -1;
}

const QStringList &NtrvDevice::OutputNames()
{
    static const QStringList names = [] {
        QStringList list = QStringLiteral(
            "1к, 1ж, 1з, 2к, 2ж, 2з, 3к, 3ж, 3з, 4к, 4ж, 4з, 5к, 5ж, 5з, 6к, 6ж, 6з, "
            "7к, 7ж, 7з, 8к, 8ж, 8з, 9к, 9ж, 9з, 10к, 10ж, 10з, 11з, 12з").split(QLatin1Char(','));
        for (QString &name : list)
            name = name.trimmed();
        return list;
    }();
    return names;
}

QStringList NtrvDevice::ChannelNames(int controller) const
{
    if (controller < 0 || controller >= m_controllerCount)
        return {};
    return OutputNames();
}

NtrvLamp NtrvDevice::OutputLamp(int i)
{
    // Directions 1 … 10 have all three lamps; 11 and 12 only green.
    if (i >= 30)
        return NtrvLamp::Green;
    static const NtrvLamp cycle[] = {NtrvLamp::Red, NtrvLamp::Yellow, NtrvLamp::Green};
    return cycle[qMax(i, 0) % 3];
}

QString NtrvDevice::ChannelText(int c) const
{
    if (c < 0 || c >= ChannelCount())
        return QString();
    const QString &name = OutputNames()[c % kOutputsPerController];
    if (m_controllerCount < 2)
        return name;
    return QStringLiteral("(%1) %2").arg(c / kOutputsPerController + 1).arg(name);
}

void NtrvDevice::setBit(quint32 &flags, quint32 bit, bool on)
{
    flags = on ? (flags | bit) : (flags & ~bit);
}

void NtrvDevice::SetEthernet(bool on) { setBit(m_features, nfEthernet, on); }
void NtrvDevice::SetServer(bool on) { setBit(m_features, nfServer, on); }
void NtrvDevice::SetDhcp(bool on) { setBit(m_networkFlags, nnfDhcp, on); }
void NtrvDevice::SetPing(bool on) { setBit(m_networkFlags, nnfPing, on); }

bool NtrvDevice::SetMacText(const QString &text, QString *error)
{
    return setAddress(m_mac, text, error, &ParseMac);
}

bool NtrvDevice::SetIpText(const QString &text, QString *error)
{
    return setAddress(m_ip, text, error, &ParseIp4);
}

bool NtrvDevice::SetMaskText(const QString &text, QString *error)
{
    return setAddress(m_mask, text, error, &ParseIp4);
}

bool NtrvDevice::SetGateText(const QString &text, QString *error)
{
    return setAddress(m_gate, text, error, &ParseIp4);
}

void NtrvDevice::NewRandomMac()
{
    NewRandomMac(*QRandomGenerator::global());
}

void NtrvDevice::NewRandomMac(QRandomGenerator &rng)
{
    m_mac = RandomMac(rng);
}

} // namespace vrs
