#include "ntrv_address.h"

#include <QRandomGenerator>
#include <QStringList>

namespace vrs {

namespace {

template <size_t N>
AddressParse parseGroups(const QString &text, QChar separator, int base,
                         std::array<quint8, N> *out, QString *badGroup)
{
    const QStringList groups = text.split(separator);
    if (groups.size() != int(N))
        return AddressParse::WrongGroupCount;
    std::array<quint8, N> bytes{};
    for (size_t i = 0; i < N; ++i) {
        bool ok = false;
        const qint64 value = groups[int(i)].trimmed().toLongLong(&ok, base);
        if (!ok) {
            if (badGroup)
                *badGroup = groups[int(i)];
            return AddressParse::BadNumber;
        }
        bytes[i] = quint8(value & 0xFF);
    }
    *out = bytes;
    return AddressParse::Parsed;
}

} // namespace

QString MacText(const MacAddress &mac)
{
    QStringList groups;
    for (quint8 b : mac)
        groups << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return groups.join(QLatin1Char(':'));
}

QString Ip4Text(const Ip4Address &ip)
{
    QStringList groups;
    for (quint8 b : ip)
        groups << QString::number(b);
    return groups.join(QLatin1Char('.'));
}

AddressParse ParseMac(const QString &text, MacAddress *out, QString *badGroup)
{
    return parseGroups(text, QLatin1Char(':'), 16, out, badGroup);
}

AddressParse ParseIp4(const QString &text, Ip4Address *out, QString *badGroup)
{
    return parseGroups(text, QLatin1Char('.'), 10, out, badGroup);
}

MacAddress RandomMac(QRandomGenerator &rng)
{
    MacAddress mac{};
    // Bytes come from 0 … 254, like the addresses earlier versions made.
    for (quint8 &b : mac)
        b = quint8(rng.bounded(255));
    mac[0] = quint8((mac[0] & ~0x01) | 0x02);
    return mac;
}

} // namespace vrs
