#include "device_args.h"

#include "command.h"

namespace vrs::ctl {

namespace {

bool parseNumber(const QString &name, const QString &text, int minimum, int maximum, std::optional<int> *out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum) {
        fail(QStringLiteral("%1: ожидается целое число от %2 до %3, задано «%4»")
                 .arg(name).arg(minimum).arg(maximum).arg(text));
        return false;
    }
    *out = value;
    return true;
}

} // namespace

bool parseDeviceArgs(const QStringList &args, int allowed, DeviceArgs *out)
{
    QStringList seen;
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        bool hasValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            value = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name = name.left(name.indexOf(QLatin1Char('=')));
            hasValue = true;
        }
        if (name == QLatin1String("-") || !name.startsWith(QLatin1Char('-'))) {
            out->files << name;
            continue;
        }
        if (seen.contains(name))
            return false;
        seen << name;

        const bool takesValue = name == QLatin1String("--port") || name == QLatin1String("--tries")
            || name == QLatin1String("--delay") || (name == QLatin1String("--type") && (allowed & kOptType))
            || (name == QLatin1String("-o") && (allowed & kOptOutput));
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
        } else if (!takesValue && hasValue) {
            return false;
        }

        if (name == QLatin1String("--port")) {
            if (value.isEmpty())
                return false;
            out->port = value;
        } else if (name == QLatin1String("--tries")) {
            if (!parseNumber(name, value, 1, 255, &out->tries))
                return false;
        } else if (name == QLatin1String("--delay")) {
            if (!parseNumber(name, value, 0, 65535, &out->delayMs))
                return false;
        } else if ((allowed & kOptAnswer) && (name == QLatin1String("--yes") || name == QLatin1String("--no"))) {
            if (out->answer != TerminalPrompt::Preset::None)
                return false;
            out->answer = name == QLatin1String("--yes") ? TerminalPrompt::Preset::Yes : TerminalPrompt::Preset::No;
        } else if (name == QLatin1String("--type") && (allowed & kOptType)) {
            out->type = value;
        } else if (name == QLatin1String("-o") && (allowed & kOptOutput)) {
            if (value.isEmpty())
                return false;
            out->output = value;
        } else {
            return false;
        }
    }
    if (out->port.isEmpty()) {
        fail(QStringLiteral("не указан порт (--port)"));
        return false;
    }
    return true;
}

} // namespace vrs::ctl
