#pragma once

#include <QString>

namespace vrs {

// The device file behind a port name as the link stores it ("//./COM3").
//  - The "//./" (or "\\.\") prefix of the name is dropped.
//  - What is then a path ("/dev/ttyUSB0", "/dev/pts/5") is used as it is.
//  - "COMn" (any case, n >= 1) is the n-th legacy serial port, /dev/ttyS<n-1>,
//    the numbering Linux gives the PC's serial ports.
//  - Any other bare name ("ttyUSB0", "ttyACM1") is a device in /dev.
// An empty name gives an empty path.
QString DevicePathForPortName(const QString &portName);

} // namespace vrs
