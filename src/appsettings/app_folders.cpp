#include "appsettings/app_folders.h"

#include "appsettings/settings_error.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vrs {

QString EnsureProgramFolder(const QString &baseFolder, const QString &programName)
{
    QString folder = QDir::cleanPath(baseFolder + QStringLiteral("/Veltrona Ltd/") + programName);
    folder += QLatin1Char('/');
    // An empty base would turn into a path below the file-system root, which
    // is never what the user's folder means.
    if (baseFolder.isEmpty() || programName.isEmpty() || !QDir().mkpath(folder)
        || !QFileInfo(folder).isDir())
        throw ESettingsError(QStringLiteral("Can not get app data path: ") + folder);
    return folder;
}

QString AppSettingsFolder(const QString &programName)
{
    return EnsureProgramFolder(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), programName);
}

QString AppSettingsFileName(const QString &folder, const QString &programName)
{
    QString name = folder;
    if (!name.isEmpty() && !name.endsWith(QLatin1Char('/')))
        name += QLatin1Char('/');
    return name + programName + QStringLiteral(".xml");
}

} // namespace vrs
