#include "device_options.h"

#include <QCommandLineParser>
#include <QFile>

namespace vrs::devsim {

namespace {

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
    const QCommandLineOption serial(
        QStringLiteral("serial"),
        QStringLiteral("Serial number the device reports (default SIM00001). "
                       "An empty text: the device has none and answers 0xFF."),
        QStringLiteral("TEXT"));
    const QCommandLineOption packetSize(
        QStringLiteral("packet-size"),
        QStringLiteral("Packet size answered to the packet-size query (default 1024)."),
        QStringLiteral("N"));
    const QCommandLineOption noPacketSize(
        QStringLiteral("no-packet-size"),
        QStringLiteral("Never answer the packet-size query, like a device outside its loader."));
    const QCommandLineOption configJson(
        QStringLiteral("config-json"),
        QStringLiteral("Store the bytes of FILE as configuration text, in an image with a "
                       "correct CRC-32."),
        QStringLiteral("FILE"));
    const QCommandLineOption configText(
        QStringLiteral("config-text"),
        QStringLiteral("As --config-json, with the text given on the command line."),
        QStringLiteral("TEXT"));
    const QCommandLineOption configBadCrc(
        QStringLiteral("config-bad-crc"),
        QStringLiteral("Store the preloaded configuration with a wrong CRC-32."));
    const QCommandLineOption erased(
        QStringLiteral("erased"),
        QStringLiteral("Start with an erased configuration area (the default)."));
    const QCommandLineOption readyInterval(
        QStringLiteral("ready-interval"),
        QStringLiteral("Quiet time in ms after which the device sends a ready frame, "
                       "once the host has replied to the last one (default 20)."),
        QStringLiteral("MS"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Pace the device's output at N baud, 10 bits per byte "
                       "(default: unpaced)."),
        QStringLiteral("N"));
    const QCommandLineOption answerDelay(
        QStringLiteral("answer-delay"),
        QStringLiteral("Wait MS before sending each answer (default 0)."),
        QStringLiteral("MS"));
    const QCommandLineOption dropEvery(
        QStringLiteral("drop-every"),
        QStringLiteral("Fault: leave every Nth request unanswered, as if lost on the line."),
        QStringLiteral("N"));
    const QCommandLineOption drop(
        QStringLiteral("drop"),
        QStringLiteral("Fault: leave the requests with these 1-based numbers unanswered "
                       "(comma-separated list; may be repeated)."),
        QStringLiteral("LIST"));
    const QCommandLineOption junk(
        QStringLiteral("junk"),
        QStringLiteral("Fault: send N junk bytes before every frame."),
        QStringLiteral("N"));
    const QCommandLineOption split(
        QStringLiteral("split"),
        QStringLiteral("Fault: send every frame in pieces of N bytes."),
        QStringLiteral("N"));
    const QCommandLineOption splitPause(
        QStringLiteral("split-pause"),
        QStringLiteral("Pause in ms between the pieces of --split (default 0)."),
        QStringLiteral("MS"));
    const QCommandLineOption silentAfter(
        QStringLiteral("silent-after"),
        QStringLiteral("Fault: after answering N requests send nothing more, not even "
                       "ready frames."),
        QStringLiteral("N"));
    const QCommandLineOption answerRepeats(
        QStringLiteral("answer-repeats"),
        QStringLiteral("Fault: answer every request, also a repeat that crossed a ready "
                       "frame and more than one request per ready frame."));
    const QCommandLineOption dump(
        QStringLiteral("dump"),
        QStringLiteral("Write the device's memory and command log as JSON to FILE at exit "
                       "(also on SIGTERM and SIGINT) and on SIGUSR1."),
        QStringLiteral("FILE"));
    const QCommandLineOption registerPort(
        QStringLiteral("register"),
        QStringLiteral("List the terminal in the port registry "
                       "($XDG_RUNTIME_DIR/vrs5-devsim/<pid>.port) until exit."));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Log every request and its outcome to stderr."));

    parser.addOptions({help, serial, packetSize, noPacketSize, configJson, configText,
                       configBadCrc, erased, readyInterval, baud, answerDelay, dropEvery,
                       drop, junk, split, splitPause, silentAfter, answerRepeats, dump,
                       registerPort, verbose});

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

    DeviceOptions o;
    auto fail = [text](const QString &message) {
        *text = message;
        return ParseResult::Error;
    };

    if (parser.isSet(serial))
        o.serial = parser.value(serial).toUtf8();
    if (parser.isSet(packetSize) && parser.isSet(noPacketSize))
        return fail(QStringLiteral("--packet-size and --no-packet-size exclude each other"));
    if (parser.isSet(packetSize)) {
        uint32_t value = 0;
        if (!ParseU32(parser.value(packetSize), &value))
            return fail(QStringLiteral("--packet-size needs an unsigned 32-bit number"));
        o.packetSize = value;
    }
    if (parser.isSet(noPacketSize))
        o.packetSize.reset();

    const int configSources = int(parser.isSet(configJson)) + int(parser.isSet(configText))
                              + int(parser.isSet(erased));
    if (configSources > 1)
        return fail(QStringLiteral("Give only one of --config-json, --config-text, --erased"));
    if (parser.isSet(configJson)) {
        QFile file(parser.value(configJson));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Cannot read %1: %2").arg(file.fileName(), file.errorString()));
        o.configText = file.readAll();
    }
    if (parser.isSet(configText))
        o.configText = parser.value(configText).toUtf8();
    if (o.configText && uint64_t(o.configText->size()) >= 0x300000u)
        return fail(QStringLiteral("The configuration text must be shorter than 3145728 bytes"));
    o.configBadCrc = parser.isSet(configBadCrc);
    if (o.configBadCrc && !o.configText)
        return fail(QStringLiteral("--config-bad-crc needs --config-json or --config-text"));

    const IntOption ints[] = {
        {"ready-interval", 1, &o.readyIntervalMs}, {"baud", 1, &o.baud},
        {"answer-delay", 0, &o.answerDelayMs},     {"drop-every", 1, &o.dropEvery},
        {"junk", 0, &o.junkBytes},                 {"split", 1, &o.splitSize},
        {"split-pause", 0, &o.splitPauseMs},       {"silent-after", 1, &o.silentAfter},
    };
    for (const IntOption &option : ints) {
        const QString name = QString::fromLatin1(option.name);
        if (parser.isSet(name) && !ParseInt(parser.value(name), option.minimum, option.target))
            return fail(QStringLiteral("--%1 needs a whole number of at least %2")
                            .arg(name)
                            .arg(option.minimum));
    }
    if (parser.isSet(splitPause) && !parser.isSet(split))
        return fail(QStringLiteral("--split-pause needs --split"));

    for (const QString &list : parser.values(drop)) {
        for (const QString &item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int number = 0;
            if (!ParseInt(item.trimmed(), 1, &number))
                return fail(QStringLiteral("--drop needs 1-based request numbers, not \"%1\"").arg(item));
            o.dropList.insert(number);
        }
    }

    o.answerRepeats = parser.isSet(answerRepeats);
    o.dumpFile = parser.value(dump);
    o.registerPort = parser.isSet(registerPort);
    o.verbose = parser.isSet(verbose);
    *options = o;
    return ParseResult::Ok;
}

} // namespace vrs::devsim
