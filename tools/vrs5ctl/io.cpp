#include "command.h"

#include "config/json.h"

#include <QFile>
#include <cstdio>

namespace vrs::ctl {

QString displayName(const QString &path)
{
    return path == QLatin1String("-") ? QStringLiteral("<stdin>") : path;
}

void fail(const QString &message)
{
    std::fprintf(stderr, "vrs5ctl: %s\n", message.toLocal8Bit().constData());
}

void note(const QString &message)
{
    fail(message);
}

void fail(const QString &file, const QString &reason)
{
    fail(displayName(file) + QStringLiteral(": ") + reason);
}

bool readInput(const QString &path, QByteArray *bytes)
{
    QFile file;
    bool opened = false;
    if (path == QLatin1String("-")) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        fail(path, QStringLiteral("cannot open: ") + file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(path, QStringLiteral("cannot read: ") + file.errorString());
        return false;
    }
    return true;
}

bool readJsonObject(const QString &path, JsonValue *out)
{
    QByteArray text;
    if (!readInput(path, &text))
        return false;
    std::optional<JsonValue> value = Parse(text);
    if (!value) {
        fail(path, QStringLiteral("not valid JSON"));
        return false;
    }
    if (!value->isObject()) {
        fail(path, QStringLiteral("JSON text is not an object"));
        return false;
    }
    *out = std::move(*value);
    return true;
}

bool writeStdout(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0) {
        fail(QStringLiteral("cannot write to standard output"));
        return false;
    }
    return true;
}

} // namespace vrs::ctl
