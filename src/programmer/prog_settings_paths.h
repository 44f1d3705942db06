#pragma once

#include <QString>

namespace vrs {

// The user's configuration folder with a trailing separator, or an empty
// text when the platform names none.
QString GetAppDataFolder();
// The folder of the running program file, with a trailing separator.
QString GetExeFolder();
bool IsDirectory(const QString &path);

// Where "bprog.ini" lives, looked up once at start:
// 1. "<user configuration folder>/Veltrona LTD/VRS/bprog.ini" if that
//    folder exists (it is never created for this test);
// 2. otherwise next to the program file, if the program's folder (or a
//    file already there) can be written;
// 3. otherwise the user's folder of step 1 all the same (created when the
//    settings are saved), so that an installed program keeps its settings.
QString LocateProgSettingsFile(const QString &appDataFolder, const QString &exeFolder);

} // namespace vrs
