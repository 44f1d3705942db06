#pragma once

#include <QString>

class QRandomGenerator;

namespace vrs {

// A random individual, locally administered MAC address as the device takes
// it: six upper-case hexadecimal pairs joined by "-", e.g. "02-1F-A0-33-5C-E9".
QString RandomMacText(QRandomGenerator &generator);
// The same from the system-seeded global generator.
QString RandomMacText();

} // namespace vrs
