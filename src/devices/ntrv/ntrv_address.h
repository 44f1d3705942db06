#pragma once

#include <QString>
#include <array>

class QRandomGenerator;

namespace vrs {

using MacAddress = std::array<quint8, 6>;
using Ip4Address = std::array<quint8, 4>;

// "00:1A:2B:3C:4D:5E": two upper-case hexadecimal digits a byte.
QString MacText(const MacAddress &mac);
// "192.168.0.10".
QString Ip4Text(const Ip4Address &ip);

enum class AddressParse {
    Parsed,          // every group taken (its lowest 8 bits)
    WrongGroupCount, // not 6 (MAC) or 4 groups: the text is to be ignored
    BadNumber        // a group is not a number: nothing is to be taken
};

// The groups are hexadecimal for a MAC and decimal for the others.  *out is
// written only when the result is Parsed; *badGroup receives the group that
// is not a number.
AddressParse ParseMac(const QString &text, MacAddress *out, QString *badGroup = nullptr);
AddressParse ParseIp4(const QString &text, Ip4Address *out, QString *badGroup = nullptr);

// A locally administered unicast address; no byte is ever 255.
MacAddress RandomMac(QRandomGenerator &rng);

} // namespace vrs
