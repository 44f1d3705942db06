#include "appsettings/settings.h"

#include "appsettings/settings_error.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>
#include <optional>

namespace vrs {

namespace {

constexpr const char *kDelayAttr = "ComIntervalDelay";
constexpr const char *kTryCountAttr = "ComConnectTryCount";

template <typename T>
T ClampTo(qint64 value)
{
    return static_cast<T>(std::clamp<qint64>(value, 0, std::numeric_limits<T>::max()));
}

QString BrokenFileText(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Файл настроек \"%1\" повреждён: %2").arg(fileName, reason);
}

// A decimal attribute value, clamped like a typed one.  Hand-edited files
// with "70000" should not wrap to a tiny delay either.
template <typename T>
T ParseValue(const QString &fileName, const QXmlStreamAttributes &attrs, const char *name,
             T current)
{
    const QString key = QString::fromLatin1(name);
    if (!attrs.hasAttribute(key))
        return current;
    bool ok = false;
    const qint64 value = attrs.value(key).trimmed().toLongLong(&ok);
    if (!ok)
        throw ESettingsError(BrokenFileText(
            fileName, QStringLiteral("значение %1=\"%2\" не является числом")
                          .arg(key, attrs.value(key).toString())));
    return ClampTo<T>(value);
}

} // namespace

TSettings::TSettings(const QString &fileName, bool loadNow) : FFileName(fileName)
{
    if (loadNow)
        Load();
    FModified = false;
}

void TSettings::SetComIntervalDelay(qint64 value)
{
    const quint16 v = ClampTo<quint16>(value);
    if (v != FComIntervalDelay) {
        FComIntervalDelay = v;
        FModified = true;
    }
}

void TSettings::SetComConnectTryCount(qint64 value)
{
    const quint8 v = ClampTo<quint8>(value);
    if (v != FComConnectTryCount) {
        FComConnectTryCount = v;
        FModified = true;
    }
}

void TSettings::Load()
{
    FModified = false;
    QFile file(FFileName);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw ESettingsError(QStringLiteral("Не удалось открыть файл настроек \"%1\": %2")
                                 .arg(FFileName, file.errorString()));

    // Everything is parsed before anything is applied, so a broken file
    // leaves the settings as they were.
    QXmlStreamReader xml(&file);
    std::optional<quint16> delay;
    std::optional<quint8> tryCount;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && !delay) {
            const QXmlStreamAttributes attrs = xml.attributes();
            delay = ParseValue<quint16>(FFileName, attrs, kDelayAttr, FComIntervalDelay);
            tryCount = ParseValue<quint8>(FFileName, attrs, kTryCountAttr, FComConnectTryCount);
        }
    }
    if (xml.hasError())
        throw ESettingsError(BrokenFileText(FFileName, QStringLiteral("%1 (строка %2, столбец %3)")
                                                           .arg(xml.errorString())
                                                           .arg(xml.lineNumber())
                                                           .arg(xml.columnNumber())));
    if (!delay)
        throw ESettingsError(BrokenFileText(FFileName, QStringLiteral("нет корневого элемента")));
    FComIntervalDelay = *delay;
    FComConnectTryCount = *tryCount;
}

QByteArray TSettings::ToXml() const
{
    const QByteArray stars(35, '*');
    QByteArray out;
    out += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
    out += "<!--\r\n" + stars + "\r\n*\r\n*  DON'T MODIFY THIS FILE\r\n*\r\n" + stars + "\r\n-->\r\n";
    out += "<Root ";
    out += kDelayAttr;
    out += "=\"" + QByteArray::number(FComIntervalDelay) + "\" ";
    out += kTryCountAttr;
    out += "=\"" + QByteArray::number(FComConnectTryCount) + "\"/>\r\n";
    return out;
}

void TSettings::Save()
{
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(ToXml()) < 0 || !file.commit())
        throw ESettingsError(QStringLiteral("Не удалось записать файл настроек \"%1\": %2")
                                 .arg(FFileName, file.errorString()));
    // Only a file that really reached the disk counts as saved; after a
    // failure the changes are still pending.
    FModified = false;
}

} // namespace vrs
