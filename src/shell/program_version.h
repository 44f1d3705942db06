#pragma once

#include <QString>

namespace vrs {

// The program's version as major.minor.release.build.
QString ProgramVersion();

// What the original's version resource carried, for the about box.
QString ProgramDescription();
QString ProductName();
QString LegalCopyright();
QString ProgramComments();

} // namespace vrs
