#include "config_file.h"

#include "codec.h"
#include "json.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vrs {

namespace {

QString shownName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

std::optional<JsonValue> DecodeConfigText(const QByteArray &fileBytes)
{
    std::optional<JsonValue> root = Parse(DecodeConfig(fileBytes, kConfigKey));
    if (!root || !root->isObject())
        return std::nullopt;
    return root;
}

QByteArray EncodeConfigText(const JsonValue &root)
{
    return EncodeConfig(PrintReadable(root), kConfigKey);
}

bool ReadConfigFile(const QString &path, JsonValue *root, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Не удалось открыть файл «%1»: %2")
                            .arg(shownName(path), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("Не удалось прочитать файл «%1»: %2")
                            .arg(shownName(path), file.errorString()));
        return false;
    }
    std::optional<JsonValue> decoded = DecodeConfigText(bytes);
    if (!decoded) {
        setError(error, QStringLiteral("Файл «%1» не является файлом конфигурации")
                            .arg(shownName(path)));
        return false;
    }
    if (root)
        *root = std::move(*decoded);
    return true;
}

bool WriteConfigFile(const QString &path, const JsonValue &root, QString *error)
{
    const QByteArray bytes = EncodeConfigText(root);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("Не удалось создать файл «%1»: %2")
                            .arg(shownName(path), file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, QStringLiteral("Не удалось записать файл «%1»: %2")
                            .arg(shownName(path), file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

namespace {

struct RootKey {
    DeviceType type;
    const char *key;
};

// The recognition order.
constexpr RootKey kRootKeys[] = {
    {dtPLM, "asudd"},
    {dtNTRV, "ntrv"},
    {dtZMT, "whmeter"},
};

} // namespace

DeviceType RecognizeDeviceType(const JsonValue &root, DeviceType start)
{
    if (!root.isObject())
        return dtNone;
    size_t first = 0;
    if (start == dtNTRV)
        first = 1;
    else if (start == dtZMT)
        first = 2;
    for (size_t i = first; i < std::size(kRootKeys); ++i)
        if (root.find(QLatin1String(kRootKeys[i].key)))
            return kRootKeys[i].type;
    return dtNone;
}

QString RootKeyOf(DeviceType type)
{
    for (const RootKey &k : kRootKeys)
        if (k.type == type)
            return QLatin1String(k.key);
    return QString();
}

} // namespace vrs
