#pragma once

#include "devices/ntrv/ntrv_address.h"

#include <QString>
#include <QStringList>
#include <array>

class QRandomGenerator;

namespace vrs {

enum NtrvFeature : quint32 { nfEthernet = 0x1, nfServer = 0x2 };
enum NtrvNetworkFlag : quint32 { nnfDhcp = 0x1, nnfPing = 0x2 };

// The lamp of a controller output, for its picture in the output menu.
enum class NtrvLamp { Red, Yellow, Green };

// A video-recording controller: which traffic-light controller output each of
// its ports watches, and its network settings.
//
// Outputs are numbered across all controllers: output c is output
// (c mod 32) + 1 of controller (c div 32) + 1.  A port's wiring entry is its
// output, or kUnwired.
class NtrvDevice {
public:
    static constexpr int kMaxPorts = 64;
    static constexpr int kOutputsPerController = 32;
    static constexpr quint8 kUnwired = 255;
    static constexpr quint16 kDefaultServerPort = 1024;

    // One controller, no ports in use, nothing wired, network reset.
    NtrvDevice();

    void ClearTable();
    // Features, server port, flags and addresses back to their defaults; the
    // counts and the wiring stay.
    void ResetNetwork();

    // Counts are bytes: larger values keep their lowest 8 bits.  Zero and the
    // current count change nothing.  Lowering the controller count unwires
    // every port that watched an output of a removed controller.
    void SetControllerCount(int n);
    int ControllerCount() const { return m_controllerCount; }
    int ChannelCount() const { return kOutputsPerController * m_controllerCount; }
    // Lowering the port count unwires the ports no longer in use.
    void SetPortCount(int n);
    int PortCount() const { return m_portCount; }

    // Port index p is 0 … 63; others read as unwired and are not stored.
    quint8 Wire(int p) const;
    void SetWire(int p, quint8 c);
    // The first port in use that watches output c, or -1.
    int PortOfChannel(int c) const;

    // The names of the 32 outputs of controller `controller` (0-based);
    // empty for a controller that is not there.
    QStringList ChannelNames(int controller) const;
    // The 32 output names every controller has.
    static const QStringList &OutputNames();
    // The lamp of output i (0 … 31) of a controller.
    static NtrvLamp OutputLamp(int i);
    // Output c as the port grid shows it: its name, preceded by "(k) " when
    // there are two or more controllers; empty when c is not an output of a
    // present controller.
    QString ChannelText(int c) const;
    // The grid text of port p.
    QString PortText(int p) const { return ChannelText(Wire(p)); }

    quint32 Features() const { return m_features; }
    bool Ethernet() const { return m_features & nfEthernet; }
    void SetEthernet(bool on);
    bool Server() const { return m_features & nfServer; }
    void SetServer(bool on);
    quint32 NetworkFlags() const { return m_networkFlags; }
    bool Dhcp() const { return m_networkFlags & nnfDhcp; }
    void SetDhcp(bool on);
    bool Ping() const { return m_networkFlags & nnfPing; }
    void SetPing(bool on);

    quint16 Port() const { return m_port; }
    void SetPort(quint16 port) { m_port = port; }

    const MacAddress &Mac() const { return m_mac; }
    void SetMac(const MacAddress &mac) { m_mac = mac; }
    const Ip4Address &Ip() const { return m_ip; }
    void SetIp(const Ip4Address &ip) { m_ip = ip; }
    const Ip4Address &Mask() const { return m_mask; }
    void SetMask(const Ip4Address &mask) { m_mask = mask; }
    const Ip4Address &Gate() const { return m_gate; }
    void SetGate(const Ip4Address &gate) { m_gate = gate; }

    QString MacText() const { return vrs::MacText(m_mac); }
    QString IpText() const { return Ip4Text(m_ip); }
    QString MaskText() const { return Ip4Text(m_mask); }
    QString GateText() const { return Ip4Text(m_gate); }
    // A text with the wrong number of groups is ignored and counts as
    // success.  A group that is not a number leaves the field as it was,
    // returns false and puts the reason into *error.
    bool SetMacText(const QString &text, QString *error = nullptr);
    bool SetIpText(const QString &text, QString *error = nullptr);
    bool SetMaskText(const QString &text, QString *error = nullptr);
    bool SetGateText(const QString &text, QString *error = nullptr);

    // A new random, locally administered unicast MAC address.
    void NewRandomMac();
    void NewRandomMac(QRandomGenerator &rng);

private:
    static void setBit(quint32 &flags, quint32 bit, bool on);

    quint32 m_features = 0;
    quint16 m_port = kDefaultServerPort;
    quint32 m_networkFlags = 0;
    MacAddress m_mac{};
    Ip4Address m_ip{};
    Ip4Address m_mask{255, 255, 255, 255};
    Ip4Address m_gate{};
    quint8 m_controllerCount = 0;
    quint8 m_portCount = 0;
    std::array<quint8, kMaxPorts> m_table{};
};

} // namespace vrs
