#pragma once

#include "devices/plm/reg_server.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace vrs {

// Typing limits of the window's edits; loaded texts are taken whole.
constexpr int kMaxPlmTextLength = 100;
constexpr int kMaxPinLength = 4;
constexpr int kMaxMacLength = 17;
constexpr int kMaxIPv4TextLength = 15;

// Where the device corrects its clock from; the numbers are the document's.
enum class TimeSource : qint8 { None = -1, Node = 0, SOApplication = 1 };

enum class IdKind : quint8 { Own = 0, Application = 1 };
enum class IdModule : quint8 { PLM = 0, SO = 1, KD = 2 };

struct TIdentifier {
    IdKind Kind;
    IdModule Module;
    quint16 Value;
};

// The five identifiers, in the order the window's tree lists them.
class TIdentifiers {
public:
    static constexpr int kCount = 5;

    TIdentifiers() { Reset(); }
    // 2001, 1, 4001 (own PLM, СО, КД), 65023, 65009 (application СО, КД).
    void Reset();

    const std::array<TIdentifier, kCount> &Items() const { return m_items; }
    // 0 for a kind and module that have no identifier (own PLM is the only
    // PLM identifier).
    quint16 Value(IdKind kind, IdModule module) const;
    // False, and nothing changes, for such a pair.
    bool SetValue(IdKind kind, IdModule module, quint16 value);

    bool operator==(const TIdentifiers &other) const;
    bool operator!=(const TIdentifiers &other) const { return !(*this == other); }

private:
    std::array<TIdentifier, kCount> m_items;
};

// One flag per channel, at most one of them set: setting one clears the
// other, clearing one leaves the other, so both may be clear.
class TPriorityProtocol {
public:
    bool Gprs() const { return m_gprs; }
    bool Ethernet() const { return m_ethernet; }
    void SetGprs(bool on);
    void SetEthernet(bool on);

    bool operator==(const TPriorityProtocol &o) const
    {
        return m_gprs == o.m_gprs && m_ethernet == o.m_ethernet;
    }
    bool operator!=(const TPriorityProtocol &o) const { return !(*this == o); }

private:
    bool m_gprs = false;
    bool m_ethernet = true;
};

// The control centre's server as a channel reaches it.
struct TServerEndpoint {
    QString Address;  // IP address or host name
    quint16 Port = 1; // 1..65535
    // The registration servers are not asked for the server's address.
    bool Fixed = false;

    bool operator==(const TServerEndpoint &o) const
    {
        return Address == o.Address && Port == o.Port && Fixed == o.Fixed;
    }
};

struct TGeneralSettings {
    QString ObjectTitle;
    QString SID;
    QString OID;
    // For the four times and sizes 0 means the device's own default.
    quint16 MinConnectionTime = 0;      // ms; the document has no key for it
    quint16 MaxConnectionTime = 0;      // s
    quint16 TimeCorrectionInterval = 0; // min
    quint16 MaxPackageSize = 0;         // bytes; the document has no key for it
    TimeSource ClockSource = TimeSource::Node;
    bool DoorSensor = false;

    bool operator==(const TGeneralSettings &o) const;
};

struct TGprsSettings {
    bool Enabled = false;
    QString Pin;
    QString Apn;
    QString Login;
    QString Password;
    TServerEndpoint Server;
    TRegServerList RegServers = DefaultRegServers();

    bool operator==(const TGprsSettings &o) const;
};

struct TEthernetSettings {
    bool Enabled = false;
    bool Ping = false;
    bool Dhcp = false;
    QString Mac;
    QString Ip;
    QString Gateway;
    QString Mask;
    TServerEndpoint Server;
    TRegServerList RegServers = DefaultRegServers();

    // The device's own address, gateway and mask count only without DHCP.
    bool StaticAddressUsed() const { return !Dhcp; }

    bool operator==(const TEthernetSettings &o) const;
};

// The traffic-light object ("СО / КНО").
struct TSOSettings {
    bool Enabled = false;
    QString Name = QStringLiteral("Светофорный объект АСУДД-ВТ");
    // How long dispatcher control holds after the server's last packet, s.
    quint16 RetentionTime = 0;
    bool SendPhaseChanges = false;

    bool operator==(const TSOSettings &o) const;
};

// The detector controller ("КД"); its directions and BODs are the sensors
// model beside these values.
struct TDetectorSettings {
    bool Enabled = false;
    QString Name = QStringLiteral("Контроллер детекторов АСУДД-ВТ");

    bool operator==(const TDetectorSettings &o) const
    {
        return Enabled == o.Enabled && Name == o.Name;
    }
};

// Every plain value of a PLM configuration; copied whole so that a load can
// work on a copy and keep the original until it succeeds.
struct TPLMValues {
    TGeneralSettings General;
    TIdentifiers Ids;
    TPriorityProtocol Priority;
    TGprsSettings Gprs;
    TEthernetSettings Ethernet;
    TSOSettings SO;
    TDetectorSettings Detector;

    bool operator==(const TPLMValues &o) const;
    bool operator!=(const TPLMValues &o) const { return !(*this == o); }
};

} // namespace vrs
