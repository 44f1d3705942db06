#include "programmer/port_discovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <csignal>

#ifndef Q_OS_WIN
#include <sys/types.h>
#include <signal.h>
#endif

namespace vrs {

namespace {

QString &RememberedPortStore()
{
    static QString name;
    return name;
}

std::optional<quint16> ParseHexId(const QByteArray &text)
{
    QByteArray digits = text.trimmed();
    if (digits.startsWith("0x") || digits.startsWith("0X"))
        digits.remove(0, 2);
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return quint16(value);
}

// A registry file left behind by a simulator that died: its pty path may
// already belong to somebody else's terminal.
bool ProcessIsGone(const QString &fileBaseName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fileBaseName);
    return false;
#else
    bool ok = false;
    const qint64 pid = fileBaseName.toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
#endif
}

} // namespace

QString SimulatedPortRegistryDir()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/vrs5-devsim");
}

std::optional<PortRecord> ParseSimulatedPort(const QByteArray &text)
{
    PortRecord port;
    std::optional<quint16> vid;
    std::optional<quint16> pid;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            return std::nullopt;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if (key == "path")
            port.path = QString::fromUtf8(value);
        else if (key == "vid")
            vid = ParseHexId(value);
        else if (key == "pid")
            pid = ParseHexId(value);
        else if (key == "description")
            port.description = QString::fromUtf8(value);
        else if (key == "serial")
            port.serialNumber = QString::fromUtf8(value);
        // Other keys are for newer simulators.
    }
    if (port.path.isEmpty() || !vid || !pid)
        return std::nullopt;
    port.name = port.path;
    port.hasUsbIds = true;
    port.vendorId = *vid;
    port.productId = *pid;
    return port;
}

std::vector<PortRecord> ReadSimulatedPorts(const QString &dir)
{
    std::vector<PortRecord> ports;
    // An empty QDir is the working folder, which announces nothing.
    if (dir.isEmpty())
        return ports;
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("*.port")}, QDir::Files, QDir::Name);
    for (const QFileInfo &info : files) {
        if (ProcessIsGone(info.completeBaseName()))
            continue;
        QFile file(info.filePath());
        // A simulator's file is a few lines; anything large is not one.
        if (info.size() > 4096 || !file.open(QIODevice::ReadOnly))
            continue;
        std::optional<PortRecord> port = ParseSimulatedPort(file.readAll());
        if (port && QFileInfo::exists(port->path))
            ports.push_back(std::move(*port));
    }
    return ports;
}

std::vector<PortRecord> SystemPorts()
{
    std::vector<PortRecord> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortRecord port;
        port.name = info.portName();
        port.path = info.systemLocation();
        port.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        port.description = info.description();
        port.serialNumber = info.serialNumber();
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<PortRecord> DiscoverPorts()
{
    std::vector<PortRecord> ports = SystemPorts();
    for (PortRecord &simulated : ReadSimulatedPorts()) {
        const QString location = QFileInfo(simulated.path).canonicalFilePath();
        const bool known = std::any_of(ports.begin(), ports.end(), [&](const PortRecord &p) {
            return QFileInfo(p.path).canonicalFilePath() == location;
        });
        if (!known)
            ports.push_back(std::move(simulated));
    }
    return ports;
}

PortList RefreshPortList(bool showAll, const QString &remembered)
{
    return BuildPortList(DiscoverPorts(), showAll, remembered);
}

PortList RefreshPortList(bool showAll)
{
    PortList list = RefreshPortList(showAll, RememberedPortName());
    SetRememberedPortName(list.remembered);
    return list;
}

QString RememberedPortName()
{
    return RememberedPortStore();
}

void SetRememberedPortName(const QString &name)
{
    RememberedPortStore() = name;
}

} // namespace vrs
