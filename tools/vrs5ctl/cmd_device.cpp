// The device commands: the programmer's flows, run from the command line.
#include "command.h"
#include "device_session.h"

#include "config/config_file.h"
#include "config/json.h"
#include "programmer/firmware_image.h"
#include "programmer/port_discovery.h"

#include <QFile>

namespace vrs::ctl {

int cmdPorts(const QStringList &args)
{
    bool all = false;
    for (const QString &arg : args) {
        if (arg != QLatin1String("--all") || all)
            return kShowUsage;
        all = true;
    }
    const PortList list = RefreshPortList(all, QString());
    if (list.IsEmpty()) {
        fail(QString::fromUtf8(kNoPortsText)
             + (all ? QString() : QStringLiteral(" (--all покажет порты любых устройств)")));
        return kExitDeviceFailed;
    }
    QByteArray text;
    for (const PortRecord &port : list.ports)
        text += (port.name + QLatin1Char('\t') + port.path + QLatin1Char('\t') + port.description).toUtf8() + '\n';
    return writeStdout(text) ? kExitOk : kExitDeviceFailed;
}

int cmdInfo(const QStringList &args)
{
    DeviceArgs a;
    if (!parseDeviceArgs(args, 0, &a) || !a.files.isEmpty())
        return kShowUsage;
    QString port;
    if (!resolvePort(a.port, &port))
        return kExitDeviceFailed;
    // Write mode, so that the set-up asks for the packet size.
    DeviceSession session(a, port, dtNone, pmWriteConfig);
    QByteArray text;
    // Taken while connected: a disconnection empties the serial number.
    const bool ok = session.Run([&] {
        ProgrammerController &ctl = session.Controller();
        text = "serial=" + ctl.SerialNumber().toUtf8() + "\npacket-size="
            + QByteArray::number(ctl.Collector().MaxPacketSize()) + '\n';
        session.Finish(true);
        return true;
    });
    return ok && writeStdout(text) ? kExitOk : kExitDeviceFailed;
}

int cmdRead(const QStringList &args)
{
    DeviceArgs a;
    if (!parseDeviceArgs(args, kOptAnswer | kOptType | kOptOutput, &a) || !a.files.isEmpty())
        return kShowUsage;
    const DeviceType wanted = deviceTypeFromName(a.type);
    if (wanted == dtNone)
        return kShowUsage;
    QString port;
    if (!resolvePort(a.port, &port))
        return kExitDeviceFailed;
    DeviceSession session(a, port, wanted, pmReadConfig);
    if (!session.Run([&] {
            session.Controller().RunTransfer();
            return true;
        }))
        return kExitDeviceFailed;

    const QByteArray answer = session.Controller().Result();
    if (answer.isEmpty()) {
        fail(QStringLiteral("В устройстве нет конфигурации."));
        return kExitDeviceFailed;
    }
    const std::optional<JsonValue> set = Parse(answer);
    if (!set || !set->isObject()) {
        fail(QStringLiteral("Конфигурация, прочитанная из устройства, повреждена: она не является объектом JSON."));
        return kExitDeviceFailed;
    }
    // As the main window's read: a PLM read takes an NTRV or ZMT member when
    // the device has no PLM one, an NTRV read a ZMT member.
    const DeviceType found = RecognizeDeviceType(*set, wanted);
    if (found == dtNone) {
        fail(QStringLiteral("В конфигурации устройства нет настроек %1.").arg(deviceTypeTitle(wanted)));
        return kExitDeviceFailed;
    }
    if (found != wanted)
        note(QStringLiteral("В устройстве нет настроек %1; прочитаны настройки %2.")
                 .arg(deviceTypeTitle(wanted), deviceTypeTitle(found)));
    JsonValue root;
    QString message;
    if (!loadDocument(found, *set, &root, &message)) {
        fail(QStringLiteral("Настройки %1 из устройства не загружаются: %2").arg(deviceTypeTitle(found), message));
        return kExitDeviceFailed;
    }
    if (a.output.isEmpty())
        return writeStdout(PrintReadable(root)) ? kExitOk : kExitDeviceFailed;
    QString error;
    if (!WriteConfigFile(a.output, root, &error)) {
        fail(error);
        return kExitDeviceFailed;
    }
    return kExitOk;
}

int cmdWrite(const QStringList &args)
{
    DeviceArgs a;
    if (!parseDeviceArgs(args, kOptAnswer, &a) || a.files.size() != 1)
        return kShowUsage;
    const QString &file = a.files.first();
    // The file is checked whole before the device is touched.
    JsonValue root;
    JsonValue rebuilt;
    DeviceType type = dtNone;
    if (!readConfigInput(file, &root) || !rebuildDocument(file, root, dtNone, &type, &rebuilt))
        return kExitDeviceFailed;
    QString port;
    if (!resolvePort(a.port, &port))
        return kExitDeviceFailed;
    DeviceSession session(a, port, type, pmWriteConfig, PrintCompact(rebuilt));
    return session.Run([&] {
        session.Controller().RunTransfer();
        return true;
    }) ? kExitOk : kExitDeviceFailed;
}

int cmdFlash(const QStringList &args)
{
    DeviceArgs a;
    if (!parseDeviceArgs(args, kOptAnswer, &a) || a.files.size() != 1 || a.files.first() == QLatin1String("-"))
        return kShowUsage;
    const QString &file = a.files.first();
    // A file that fails its checks is refused before connecting, so the
    // device is not even woken up for it.
    {
        QByteArray bytes;
        if (!readInput(file, &bytes))
            return kExitDeviceFailed;
        FirmwareImage image;
        QString error;
        if (!ParseFirmwareImage(bytes, &image, &error)) {
            fail(file, error);
            return kExitDeviceFailed;
        }
    }
    QString port;
    if (!resolvePort(a.port, &port))
        return kExitDeviceFailed;
    DeviceSession session(a, port, dtNone, pmFirmware);
    return session.Run([&] {
        QString error;
        return session.Controller().LoadFirmwareFile(file, &error);
    }) ? kExitOk : kExitDeviceFailed;
}

} // namespace vrs::ctl
