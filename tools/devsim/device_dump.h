#pragma once

#include <QJsonObject>
#include <QString>

namespace vrs::devsim {

class SimDevice;

// What the device ends up holding and the requests it received, as the JSON
// object documented in README.md.
QJsonObject DumpDevice(const SimDevice &device);
// Writes the dump atomically (a reader never sees half a file).
bool WriteDump(const SimDevice &device, const QString &fileName, QString *error);

} // namespace vrs::devsim
