#pragma once

#include "config/json_value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vrs::ctl {

enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitFailed = 2 };

// One sub-command.  A handler gets the arguments after the command name and
// returns the exit code; returning kExitUsage makes main print the usage.
// To add a command, write its handler in a cmd_*.cpp file, declare it below
// and add a row to the table in main.cpp.
struct Command {
    const char *name;
    const char *synopsis;   // arguments, as shown in the usage text
    const char *summary;    // one line
    int (*run)(const QStringList &args);
};

int cmdDecode(const QStringList &args);
int cmdEncode(const QStringList &args);
int cmdPrint(const QStringList &args);

// Shared helpers (io.cpp).

// Reads a whole file, or standard input for "-".  On failure prints one
// line naming the file and returns false.
bool readInput(const QString &path, QByteArray *bytes);
// Reads a JSON text that must hold an object.
bool readJsonObject(const QString &path, JsonValue *out);
bool writeStdout(const QByteArray &bytes);
// Prints "vrs5ctl: <file>: <reason>" on standard error.
void fail(const QString &file, const QString &reason);
void fail(const QString &message);
QString displayName(const QString &path);

} // namespace vrs::ctl
