#include "shell/program_version.h"

#include <QStringList>

#ifndef VRS_VERSION
#define VRS_VERSION "0.0.0"
#endif

namespace vrs {

QString ProgramVersion()
{
    QStringList parts = QString::fromLatin1(VRS_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
}

QString ProgramDescription()
{
    return QStringLiteral("Конфигуратор устройств ВРС-5, ПЛМ-3, НТРВ-3, ЗМТ");
}

QString ProductName()
{
    return QStringLiteral("Конфигуратор ВРС-5");
}

QString LegalCopyright()
{
    return QStringLiteral("© Veltrona Ltd");
}

QString ProgramComments()
{
    return QString();
}

} // namespace vrs
