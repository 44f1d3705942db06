#include "command.h"

#include "config/config_file.h"
#include "config/json.h"
#include "devices/device_factory.h"

#include <QDir>

namespace vrs::ctl {

namespace {

QString shown(const QString &path)
{
    return path == QLatin1String("-") ? displayName(path) : QDir::toNativeSeparators(path);
}

} // namespace

bool readConfigInput(const QString &path, JsonValue *root)
{
    QByteArray bytes;
    if (!readInput(path, &bytes))
        return false;
    if (std::optional<JsonValue> decoded = DecodeConfigText(bytes)) {
        *root = std::move(*decoded);
        return true;
    }
    std::optional<JsonValue> parsed = Parse(bytes);
    if (!parsed) {
        fail(QStringLiteral("Файл «%1» не является файлом конфигурации или текстом JSON").arg(shown(path)));
        return false;
    }
    if (!parsed->isObject()) {
        fail(QStringLiteral("Файл «%1» не является файлом конфигурации: текст JSON не является объектом")
                 .arg(shown(path)));
        return false;
    }
    *root = std::move(*parsed);
    return true;
}

bool rebuildDocument(const QString &path, const JsonValue &root, DeviceType start, DeviceType *type,
                     JsonValue *rebuilt)
{
    const DeviceType found = RecognizeDeviceType(root, start);
    if (found == dtNone) {
        fail(QStringLiteral("Файл «%1» не является файлом конфигурации: в нём нет настроек "
                            "ПЛМ-3, НТРВ-3 или ЗМТ.")
                 .arg(shown(path)));
        return false;
    }
    QString message;
    if (!loadDocument(found, root, rebuilt, &message)) {
        fail(QStringLiteral("Файл «%1» (%2): %3").arg(shown(path), deviceTypeTitle(found), message));
        return false;
    }
    *type = found;
    return true;
}

bool loadDocument(DeviceType type, const JsonValue &root, JsonValue *rebuilt, QString *message)
{
    std::unique_ptr<DeviceModel> model = CreateDeviceModel(type);
    if (!model) {
        *message = QStringLiteral("тип устройства не поддерживается");
        return false;
    }
    if (!model->LoadJSON(root, message)) {
        if (message->isEmpty())
            *message = QStringLiteral("Некорректная конфигурация");
        return false;
    }
    *rebuilt = model->BuildJSON();
    return true;
}

DeviceType deviceTypeFromName(const QString &name)
{
    if (name == QLatin1String("plm"))
        return dtPLM;
    if (name == QLatin1String("ntrv"))
        return dtNTRV;
    if (name == QLatin1String("zmt"))
        return dtZMT;
    return dtNone;
}

QString deviceTypeTitle(DeviceType type)
{
    switch (type) {
    case dtPLM: return QStringLiteral("ПЛМ-3");
    case dtNTRV: return QStringLiteral("НТРВ-3");
    case dtZMT: return QStringLiteral("ЗМТ");
    default: return QString();
    }
}

} // namespace vrs::ctl
