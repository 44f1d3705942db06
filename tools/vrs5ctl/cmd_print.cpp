#include "command.h"

#include "config/json.h"

namespace vrs::ctl {

// Exactly the bytes the printer gives, with no line break added, so that
// the output can be compared with files and device texts.
int cmdPrint(const QStringList &args)
{
    QString mode;
    QString input;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--readable") || arg == QLatin1String("--compact")) {
            if (!mode.isEmpty())
                return kShowUsage;
            mode = arg;
        } else if (arg.startsWith(QLatin1String("--")) || !input.isNull()) {
            return kShowUsage;
        } else {
            input = arg;
        }
    }
    if (mode.isEmpty() || input.isNull())
        return kShowUsage;
    JsonValue root;
    if (!readJsonObject(input, &root))
        return kExitFailed;
    const QByteArray text = mode == QLatin1String("--readable") ? PrintReadable(root) : PrintCompact(root);
    return writeStdout(text) ? kExitOk : kExitFailed;
}

} // namespace vrs::ctl
