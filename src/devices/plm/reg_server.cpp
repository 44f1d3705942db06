#include "devices/plm/reg_server.h"

namespace vrs {

namespace {

constexpr quint32 ipv4(quint8 a, quint8 b, quint8 c, quint8 d)
{
    return quint32(a) << 24 | quint32(b) << 16 | quint32(c) << 8 | d;
}

} // namespace

TRegServer::TRegServer(quint32 address, quint16 port, const QString &url)
    : Address(address), Port(port), Url(url.left(kMaxUrlLength))
{
}

TRegServerList DefaultRegServers()
{
    const QString script = QStringLiteral("/cgi-bin/svc.cgi");
    return {
        TRegServer(ipv4(192, 0, 2, 1), 80, QStringLiteral("reg1.example.com") + script),
        TRegServer(ipv4(192, 0, 2, 2), 80, QStringLiteral("reg2.example.com") + script),
    };
}

QString FormatIPv4(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24 & 0xFF)
        .arg(address >> 16 & 0xFF)
        .arg(address >> 8 & 0xFF)
        .arg(address & 0xFF);
}

} // namespace vrs
