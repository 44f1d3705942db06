#include "command.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vrs::ctl;

namespace {

const Command kCommands[] = {
    {"decode", "FILE", "write the decoded text of a .vr5 file to standard output", cmdDecode},
    {"encode", "IN OUT", "write the JSON object in IN as the .vr5 file OUT", cmdEncode},
    {"print", "--readable|--compact IN", "print the JSON object in IN in a layout", cmdPrint},
};

QByteArray usage()
{
    QByteArray text = "Usage: vrs5ctl COMMAND ARGS...\n"
                      "       vrs5ctl --help\n\nCommands:\n";
    for (const Command &c : kCommands) {
        QByteArray line = QByteArray("  ") + c.name + ' ' + c.synopsis;
        text += line.leftJustified(34) + ' ' + c.summary + '\n';
    }
    text += "\nIN and FILE may be \"-\" for standard input.\n"
            "Exit status: 0 done, 1 wrong arguments, 2 unreadable or invalid input,\n"
            "or the output could not be written.\n";
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
        if (code == kExitUsage)
            return usageError(QStringLiteral("usage: vrs5ctl %1 %2").arg(c.name, c.synopsis));
        return code;
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(name));
}
