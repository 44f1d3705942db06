#include "device_options.h"

#include <QCommandLineParser>
#include <QFile>

namespace vrs::devsim {

namespace {

// One row per option, in the order the help text lists them.  A row with
// an empty value name is a plain switch.
struct OptionDeclaration {
    const char *name;
    const char *valueName;
    const char *description;
};

const OptionDeclaration kOptions[] = {
    {"serial", "TEXT",
     "Serial number the device reports (default SIM00001). "
     "An empty text: the device has none and answers 0xFF."},
    {"packet-size", "N", "Packet size answered to the packet-size query (default 1024)."},
    {"no-packet-size", "",
     "Never answer the packet-size query, like a device outside its loader."},
    {"config-json", "FILE",
     "Store the bytes of FILE as configuration text, in an image with a correct CRC-32."},
    {"config-text", "TEXT", "As --config-json, with the text given on the command line."},
    {"config-bad-crc", "", "Store the preloaded configuration with a wrong CRC-32."},
    {"erased", "", "Start with an erased configuration area (the default)."},
    {"ready-interval", "MS",
     "Quiet time in ms after which the device sends a ready frame, "
     "once the host has replied to the last one (default 20)."},
    {"baud", "N", "Pace the device's output at N baud, 10 bits per byte (default: unpaced)."},
    {"answer-delay", "MS", "Wait MS before sending each answer (default 0)."},
    {"drop-every", "N", "Fault: leave every Nth request unanswered, as if lost on the line."},
    {"drop", "LIST",
     "Fault: leave the requests with these 1-based numbers unanswered "
     "(comma-separated list; may be repeated)."},
    {"junk", "N", "Fault: send N junk bytes before every frame."},
    {"split", "N", "Fault: send every frame in pieces of N bytes."},
    {"split-pause", "MS", "Pause in ms between the pieces of --split (default 0)."},
    {"silent-after", "N",
     "Fault: after answering N requests send nothing more, not even ready frames."},
    {"answer-repeats", "",
     "Fault: answer every request, also a repeat that crossed a ready frame and more "
     "than one request per ready frame."},
    {"dump", "FILE",
     "Write the device's memory and command log as JSON to FILE at exit "
     "(also on SIGTERM and SIGINT) and on SIGUSR1."},
    {"register", "",
     "List the terminal in the port registry ($XDG_RUNTIME_DIR/vrs5-devsim/<pid>.port) "
     "until exit."},
    {"verbose", "", "Log every request and its outcome to stderr."},
};

struct IntOption {
    const char *name;
    int minimum;
    int *target;
};

bool ParseInt(const QString &text, int minimum, int *value)
{
    bool ok = false;
    const int parsed = text.toInt(&ok, 0);
    if (!ok || parsed < minimum)
        return false;
    *value = parsed;
    return true;
}

bool ParseU32(const QString &text, uint32_t *value)
{
    bool ok = false;
    const qulonglong parsed = text.toULongLong(&ok, 0);
    if (!ok || parsed > UINT32_MAX)
        return false;
    *value = uint32_t(parsed);
    return true;
}

} // namespace

ParseResult ParseDeviceOptions(const QStringList &arguments, DeviceOptions *options,
                               QString *text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated VRS-5 family device on a pseudo-terminal.\n"
        "Prints the path of the terminal to open on its first output line, then\n"
        "drives the exchange with ready frames and answers every protocol command\n"
        "from its own memory."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    QList<QCommandLineOption> declared{help};
    for (const OptionDeclaration &option : kOptions)
        declared << QCommandLineOption(QString::fromLatin1(option.name),
                                       QString::fromUtf8(option.description),
                                       QString::fromLatin1(option.valueName));
    parser.addOptions(declared);

    if (!parser.parse(arguments)) {
        *text = parser.errorText();
        return ParseResult::Error;
    }
    if (parser.isSet(help)) {
        *text = parser.helpText();
        return ParseResult::Help;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *text = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return ParseResult::Error;
    }

    // The options have no variables of their own: they go by their names in kOptions.
    const auto isSet = [&parser](const char *name) {
        return parser.isSet(QString::fromLatin1(name));
    };
    const auto value = [&parser](const char *name) {
        return parser.value(QString::fromLatin1(name));
    };
    const auto values = [&parser](const char *name) {
        return parser.values(QString::fromLatin1(name));
    };

    DeviceOptions o;
    auto fail = [text](const QString &message) {
        *text = message;
        return ParseResult::Error;
    };

    if (isSet("serial"))
        o.serial = value("serial").toUtf8();
    if (isSet("packet-size") && isSet("no-packet-size"))
        return fail(QStringLiteral("--packet-size and --no-packet-size exclude each other"));
    if (isSet("packet-size")) {
        uint32_t size = 0;
        if (!ParseU32(value("packet-size"), &size))
            return fail(QStringLiteral("--packet-size needs an unsigned 32-bit number"));
        o.packetSize = size;
    }
    if (isSet("no-packet-size"))
        o.packetSize.reset();

    const int configSources = int(isSet("config-json")) + int(isSet("config-text"))
                              + int(isSet("erased"));
    if (configSources > 1)
        return fail(QStringLiteral("Give only one of --config-json, --config-text, --erased"));
    if (isSet("config-json")) {
        QFile file(value("config-json"));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Cannot read %1: %2").arg(file.fileName(), file.errorString()));
        o.configText = file.readAll();
    }
    if (isSet("config-text"))
        o.configText = value("config-text").toUtf8();
    if (o.configText && uint64_t(o.configText->size()) >= 0x300000u)
        return fail(QStringLiteral("The configuration text must be shorter than 3145728 bytes"));
    o.configBadCrc = isSet("config-bad-crc");
    if (o.configBadCrc && !o.configText)
        return fail(QStringLiteral("--config-bad-crc needs --config-json or --config-text"));

    const IntOption ints[] = {
        {"ready-interval", 1, &o.readyIntervalMs}, {"baud", 1, &o.baud},
        {"answer-delay", 0, &o.answerDelayMs},     {"drop-every", 1, &o.dropEvery},
        {"junk", 0, &o.junkBytes},                 {"split", 1, &o.splitSize},
        {"split-pause", 0, &o.splitPauseMs},       {"silent-after", 1, &o.silentAfter},
    };
    for (const IntOption &option : ints) {
        if (isSet(option.name) && !ParseInt(value(option.name), option.minimum, option.target))
            return fail(QStringLiteral("--%1 needs a whole number of at least %2")
                            .arg(QString::fromLatin1(option.name))
                            .arg(option.minimum));
    }
    if (isSet("split-pause") && !isSet("split"))
        return fail(QStringLiteral("--split-pause needs --split"));

    for (const QString &list : values("drop")) {
        for (const QString &item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int number = 0;
            if (!ParseInt(item.trimmed(), 1, &number))
                return fail(QStringLiteral("--drop needs 1-based request numbers, not \"%1\"").arg(item));
            o.dropList.insert(number);
        }
    }

    o.answerRepeats = isSet("answer-repeats");
    o.dumpFile = value("dump");
    o.registerPort = isSet("register");
    o.verbose = isSet("verbose");
    *options = o;
    return ParseResult::Ok;
}

} // namespace vrs::devsim
