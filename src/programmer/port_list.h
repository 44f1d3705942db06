#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

namespace vrs {

// The USB identifiers of the VRS-5 family's serial interface.
inline constexpr quint16 kVrsUsbVendorId = 0x28E9;
inline constexpr quint16 kVrsUsbProductId = 0x018A;

// Shown in the status line when the refresh finds nothing to offer.
inline constexpr const char *kNoPortsText = "Нет доступных COM-портов!";

// One serial port as the platform reports it.
struct PortRecord {
    QString name;        // what the user sees and the port is opened by: "COM3", "ttyUSB0"
    QString path;        // where it lives: "/dev/ttyUSB0"
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString description;
    QString serialNumber;
};

// How the platform spells port names.  Windows names are case-insensitive
// and shown in upper case, and only "COM" names are serial ports there; POSIX
// names keep their case because "ttyusb0" would not open.
struct PortNaming {
    bool caseInsensitive = false;
    QString requiredMarker; // empty: every port the platform lists is a serial port

    static PortNaming Windows() { return {true, QStringLiteral("COM")}; }
    static PortNaming Posix() { return {false, QString()}; }
    static PortNaming Native();
};

// The ports to offer, in the order to show them, and which one to select.
struct PortList {
    std::vector<PortRecord> ports;
    int selected = -1;   // index into ports, -1 when the list is empty
    QString remembered;  // the port to select next time

    QStringList Names() const;
    QString SelectedName() const;
    bool IsEmpty() const { return ports.empty(); }
};

// The number a port name ends in ("COM10" -> 10, "ttyACM1" -> 1,
// "/dev/pts/3" -> 3), or -1 when it ends in no digits.
int PortNumber(const QString &name);

// Ports are ordered by the text before their number, then by the number,
// so COM3 < COM4 < COM10 and ttyACM1 < ttyUSB0 < ttyUSB2.
bool PortNameLess(const QString &a, const QString &b);

// Builds the list from what the platform found.  Unless showAll is set only
// ports with the VRS-5 USB identifiers are kept.  The remembered port is
// selected when it is still present; otherwise the first port is selected
// and becomes the remembered one.  With nothing found, the remembered port
// is kept for a later refresh.
PortList BuildPortList(const std::vector<PortRecord> &found, bool showAll,
                       const QString &remembered, const PortNaming &naming = PortNaming::Native());

} // namespace vrs
