#pragma once

#include <QString>

namespace vrs {

// The name the settings folder and file are called after.  The program file
// name on the original platform; kept fixed here so that renaming or running
// a build from elsewhere still finds the same settings.
inline constexpr const char *kProgramName = "vrs5-configurator";

// "<base>/Veltrona Ltd/<programName>/", created with its missing parents.
// Raises ESettingsError "Can not get app data path: <folder>" when the folder
// cannot be made.  The result ends with a separator.
QString EnsureProgramFolder(const QString &baseFolder, const QString &programName);

// The per-user settings folder: the user's configuration folder, then
// "Veltrona Ltd", then the program name; created when missing.
QString AppSettingsFolder(const QString &programName = QString::fromLatin1(kProgramName));

// "<folder><programName>.xml".
QString AppSettingsFileName(const QString &folder,
                            const QString &programName = QString::fromLatin1(kProgramName));

} // namespace vrs
