#pragma once

#include "terminal_prompt.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vrs::ctl {

// The command line of a device command.
struct DeviceArgs {
    QString port;                 // --port: a name from the port list or a device path
    std::optional<int> tries;     // --tries: connection attempts for this run
    std::optional<int> delayMs;   // --delay: pause between attempts for this run
    TerminalPrompt::Preset answer = TerminalPrompt::Preset::None;
    QString type;                 // --type
    QString output;               // -o
    QStringList files;            // the rest
};

// Options each command takes besides --port, --tries and --delay.
enum DeviceOption { kOptAnswer = 1, kOptType = 2, kOptOutput = 4 };

// False for a wrong command line (unknown or repeated option, missing or
// malformed value, --yes with --no); the caller then shows the usage.
// A message says what was wrong where the usage alone would not.
bool parseDeviceArgs(const QStringList &args, int allowed, DeviceArgs *out);

} // namespace vrs::ctl
