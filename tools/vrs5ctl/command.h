#pragma once

#include "config/device_type.h"
#include "config/json_value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vrs::ctl {

// Exit codes.  The file commands keep 2 for bad input so that scripts can
// tell it from a wrong command line; the device commands use 1 for every
// failure, as a run against a device fails for many reasons at once.
enum ExitCode { kExitOk = 0, kExitUsage = 1, kExitFailed = 2, kExitDeviceFailed = 1 };
// Returned by a handler for a wrong command line: main prints the usage and
// exits with kExitUsage.  Kept apart from the exit codes because a device
// command's failure and a usage error share the number 1.
constexpr int kShowUsage = -1;

// One sub-command.  A handler gets the arguments after the command name and
// returns the exit code or kShowUsage.
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
int cmdRebuild(const QStringList &args);
int cmdNew(const QStringList &args);
int cmdPorts(const QStringList &args);
int cmdInfo(const QStringList &args);
int cmdRead(const QStringList &args);
int cmdWrite(const QStringList &args);
int cmdFlash(const QStringList &args);

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
// Prints "vrs5ctl: <message>" on standard error for a run that goes on.
void note(const QString &message);
QString displayName(const QString &path);

// Configuration documents (config_input.cpp).

// The root object of a ".vr5" file or of a JSON text: the file is decoded
// first, and only when that gives no object are its bytes read as JSON.
// On failure prints one line naming the file.
bool readConfigInput(const QString &path, JsonValue *root);
// Recognises the document type of a root object as opening a file does,
// loads it into a new document of that type and builds it again, so the
// result is what the program itself would save or send.  On failure prints
// the reason naming the file and returns false.
bool rebuildDocument(const QString &path, const JsonValue &root, DeviceType start,
                     DeviceType *type, JsonValue *rebuilt);
// Loads a root object into a new document of the type and builds it again;
// false with the document's message when the document refuses it.
bool loadDocument(DeviceType type, const JsonValue &root, JsonValue *rebuilt, QString *message);
// "plm", "ntrv", "zmt" to the device type; dtNone for anything else.
DeviceType deviceTypeFromName(const QString &name);
// The name a service engineer knows the type by: "ПЛМ-3", "НТРВ-3", "ЗМТ".
QString deviceTypeTitle(DeviceType type);

} // namespace vrs::ctl
