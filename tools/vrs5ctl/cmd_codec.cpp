#include "command.h"

#include "config/codec.h"
#include "config/config_file.h"

namespace vrs::ctl {

// The decoded text, byte for byte, even when it is not JSON: this is the
// tool for looking into a file that no longer opens.
int cmdDecode(const QStringList &args)
{
    if (args.size() != 1)
        return kShowUsage;
    QByteArray bytes;
    if (!readInput(args[0], &bytes))
        return kExitFailed;
    return writeStdout(DecodeConfig(bytes, kConfigKey)) ? kExitOk : kExitFailed;
}

int cmdEncode(const QStringList &args)
{
    if (args.size() != 2)
        return kShowUsage;
    JsonValue root;
    if (!readJsonObject(args[0], &root))
        return kExitFailed;
    QString error;
    if (!WriteConfigFile(args[1], root, &error)) {
        fail(error);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace vrs::ctl
