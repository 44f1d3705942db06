#include "command.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vrs::ctl;

namespace {

const Command kCommands[] = {
    {"decode", "FILE", "write the decoded text of a .vr5 file to standard output", cmdDecode},
    {"encode", "IN OUT", "write the JSON object in IN as the .vr5 file OUT", cmdEncode},
    {"print", "--readable|--compact IN", "print the JSON object in IN in a layout", cmdPrint},
    {"rebuild", "[--compact] FILE", "load a .vr5 file or JSON text as its document and print it as saved",
     cmdRebuild},
    {"new", "[--force] plm|ntrv|zmt OUT", "write a new default configuration as the .vr5 file OUT", cmdNew},
    {"ports", "[--all]", "list the serial ports the programmer offers (--all: every port)", cmdPorts},
    {"info", "--port P", "connect and print the device's serial number and packet size", cmdInfo},
    {"read", "--port P --type plm|ntrv|zmt [-o OUT] [--yes|--no]",
     "read the device's configuration into OUT (.vr5) or to standard output", cmdRead},
    {"write", "--port P [--yes|--no] FILE", "write a .vr5 file or JSON text into the device's set", cmdWrite},
    {"flash", "--port P [--yes|--no] FILE.vff", "write a firmware image into the device", cmdFlash},
};

QByteArray usage()
{
    QByteArray text = "Usage: vrs5ctl COMMAND ARGS...\n"
                      "       vrs5ctl --help\n\nCommands:\n";
    for (const Command &c : kCommands) {
        const QByteArray line = QByteArray("  ") + c.name + ' ' + c.synopsis;
        text += line.leftJustified(34);
        text += line.size() >= 34 ? QByteArray("\n") + QByteArray(35, ' ') : QByteArray(" ");
        text += QByteArray(c.summary) + '\n';
    }
    text += "\nIN and FILE of the file commands, and FILE of write, may be \"-\" for standard input.\n"
            "\n"
            "Device commands (info, read, write, flash):\n"
            "  --port P     a port name from \"vrs5ctl ports --all\" or a device path\n"
            "  --tries N    connection attempts for this run (default: the configurator's\n"
            "               settings, else 5); also how many times a device that does not\n"
            "               answer the packet-size query (not in its loader) is tried again\n"
            "  --delay MS   pause between attempts for this run (default: settings, else 1000)\n"
            "  --yes, --no  answer every question of the flow; without them the questions\n"
            "               are asked on the terminal, and answered no when there is none\n"
            "Status lines go to standard error, with a percentage when it is a terminal.\n"
            "\n"
            "Exit status:\n"
            "  decode, encode, print, rebuild, new: 0 done, 1 wrong arguments,\n"
            "    2 unreadable or invalid input, or the output could not be written.\n"
            "  ports, info, read, write, flash: 0 done, 1 wrong arguments or failed\n"
            "    (no port found, no connection, the job failed or was declined,\n"
            "    nothing to read, a file refused before the device was touched).\n";
    return text;
}

int usageError(const QString &message)
{
    if (!message.isEmpty())
        fail(message);
    std::fputs(usage().constData(), stderr);
    return kExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError(QString());
    if (args.contains(QLatin1String("--help")) || args[0] == QLatin1String("-h")) {
        std::fputs(usage().constData(), stdout);
        return kExitOk;
    }
    const QString name = args.takeFirst();
    for (const Command &c : kCommands) {
        if (name != QLatin1String(c.name))
            continue;
        const int code = c.run(args);
        if (code == kShowUsage)
            return usageError(QStringLiteral("usage: vrs5ctl %1 %2").arg(c.name, c.synopsis));
        return code;
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(name));
}
