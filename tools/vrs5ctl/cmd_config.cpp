#include "command.h"

#include "config/config_file.h"
#include "config/json.h"
#include "devices/device_factory.h"

#include <QFileInfo>

namespace vrs::ctl {

// What the program would save after opening the file: a quick way to see
// whether a hand-edited or old file still loads, and what becomes of it.
int cmdRebuild(const QStringList &args)
{
    bool compact = false;
    QString input;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--compact") && !compact)
            compact = true;
        else if ((arg.startsWith(QLatin1String("--")) || !input.isNull()))
            return kShowUsage;
        else
            input = arg;
    }
    if (input.isNull())
        return kShowUsage;
    JsonValue root;
    JsonValue rebuilt;
    DeviceType type = dtNone;
    if (!readConfigInput(input, &root) || !rebuildDocument(input, root, dtNone, &type, &rebuilt))
        return kExitFailed;
    return writeStdout(compact ? PrintCompact(rebuilt) : PrintReadable(rebuilt)) ? kExitOk : kExitFailed;
}

int cmdNew(const QStringList &args)
{
    bool force = false;
    QStringList rest;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--force"))
            force = true;
        else if (arg.startsWith(QLatin1String("--")))
            return kShowUsage;
        else
            rest << arg;
    }
    if (rest.size() != 2)
        return kShowUsage;
    const DeviceType type = deviceTypeFromName(rest[0]);
    if (type == dtNone)
        return kShowUsage;
    const QString &out = rest[1];
    // A new default document over an edited one would lose the edits.
    if (!force && QFileInfo::exists(out)) {
        fail(out, QStringLiteral("файл уже существует; --force перезапишет его"));
        return kExitFailed;
    }
    QString error;
    if (!WriteConfigFile(out, CreateDeviceModel(type)->BuildJSON(), &error)) {
        fail(error);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace vrs::ctl
