#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace vrs {

// A registration server the device asks for the address of its server.
struct TRegServer {
    static constexpr int kMaxUrlLength = 255;

    // 0.0.0.0, port 80, no request URL: the entry the window's "+" appends.
    TRegServer() = default;
    // A longer request URL is cut to kMaxUrlLength characters.
    TRegServer(quint32 address, quint16 port, const QString &url);

    // IPv4, the first octet of the dotted form in the most significant byte.
    quint32 Address = 0;
    quint16 Port = 80;
    // Host name followed by the path of the registration script.
    QString Url;

    bool operator==(const TRegServer &other) const
    {
        return Address == other.Address && Port == other.Port && Url == other.Url;
    }
    bool operator!=(const TRegServer &other) const { return !(*this == other); }
};

using TRegServerList = QList<TRegServer>;

// The list every new configuration starts with in each channel, and what the
// window's "Default" button restores.
TRegServerList DefaultRegServers();

// "a.b.c.d", first octet first.
QString FormatIPv4(quint32 address);

} // namespace vrs
