#include "programmer/prog_settings_paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace vrs {

namespace {

QString WithSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

const QString kFileName = QStringLiteral("bprog.ini");

} // namespace

QString GetAppDataFolder()
{
    return WithSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString GetExeFolder()
{
    if (QCoreApplication::instance())
        return WithSeparator(QCoreApplication::applicationDirPath());
    return WithSeparator(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

bool IsDirectory(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString LocateProgSettingsFile(const QString &appDataFolder, const QString &exeFolder)
{
    const QString userFolder = appDataFolder.isEmpty()
                                   ? QString()
                                   : WithSeparator(appDataFolder) + QStringLiteral("Veltrona LTD/VRS");
    if (IsDirectory(userFolder))
        return userFolder + QLatin1Char('/') + kFileName;

    const QString besideProgram = WithSeparator(exeFolder) + kFileName;
    const QFileInfo file(besideProgram);
    const bool writable = QFileInfo(exeFolder).isWritable() || (file.exists() && file.isWritable());
    if (writable || userFolder.isEmpty())
        return besideProgram;
    return userFolder + QLatin1Char('/') + kFileName;
}

} // namespace vrs
