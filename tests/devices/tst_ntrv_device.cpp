#include "devices/ntrv/ntrv_device.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vrs;

namespace {

// Ports 0 … 7 wired to outputs 10 … 17.
NtrvDevice eightWiredPorts()
{
    NtrvDevice d;
    d.SetPortCount(8);
    for (int p = 0; p < 8; ++p)
        d.SetWire(p, quint8(10 + p));
    return d;
}

} // namespace

class TestNtrvDevice : public QObject {
    Q_OBJECT
private slots:
    void newDeviceDefaults();
    void portCountChanges();
    void loweringControllersUnwiresTheirOutputsOnEveryPort();
    void portOfChannelSearchesPortsInUse();
    void channelText_data();
    void channelText();
    void outputNamesAndLamps();
    void addressTexts_data();
    void addressTexts();
    void randomMacIsLocalUnicastWithoutFF();
    void resetNetworkKeepsWiring();
};

void TestNtrvDevice::newDeviceDefaults()
{
    NtrvDevice d;
    QCOMPARE(d.ControllerCount(), 1);
    QCOMPARE(d.ChannelCount(), 32);
    QCOMPARE(d.PortCount(), 0);
    QCOMPARE(d.Port(), quint16(1024));
    QCOMPARE(d.MaskText(), QStringLiteral("255.255.255.255"));
    QCOMPARE(d.MacText(), QStringLiteral("00:00:00:00:00:00"));
    QCOMPARE(d.Features(), 0u);
    for (int p = -1; p <= 64; ++p)
        QCOMPARE(d.Wire(p), NtrvDevice::kUnwired);
}

void TestNtrvDevice::portCountChanges()
{
    NtrvDevice d = eightWiredPorts();
    d.SetPortCount(0);
    QCOMPARE(d.PortCount(), 8);

    d.SetPortCount(4);
    QCOMPARE(d.PortCount(), 4);
    for (int p = 0; p < 4; ++p)
        QCOMPARE(d.Wire(p), quint8(10 + p));
    for (int p = 4; p < 8; ++p)
        QCOMPARE(d.Wire(p), NtrvDevice::kUnwired);

    d.SetPortCount(8);
    for (int p = 4; p < 8; ++p)
        QCOMPARE(d.Wire(p), NtrvDevice::kUnwired);

    // A byte: 300 is 44 ports, and dropping from 200 must not write past 64.
    d.SetPortCount(300);
    QCOMPARE(d.PortCount(), 44);
    d.SetPortCount(200);
    d.SetWire(63, 1);
    d.SetPortCount(1);
    QCOMPARE(d.Wire(63), NtrvDevice::kUnwired);
    QCOMPARE(d.Wire(0), quint8(10));
}

void TestNtrvDevice::loweringControllersUnwiresTheirOutputsOnEveryPort()
{
    NtrvDevice d;
    d.SetControllerCount(2);
    d.SetPortCount(64);
    d.SetWire(0, 33);  // controller 2, on a port of the first 32
    d.SetWire(5, 5);
    d.SetWire(40, 1);  // controller 1, on a port of the second 32
    d.SetWire(63, 63); // controller 2
    d.SetWire(20, 200); // beyond any controller, as a file may hold

    d.SetControllerCount(0);
    d.SetControllerCount(2);
    QCOMPARE(d.Wire(0), quint8(33));

    d.SetControllerCount(1);
    QCOMPARE(d.ControllerCount(), 1);
    QCOMPARE(d.Wire(0), NtrvDevice::kUnwired);
    QCOMPARE(d.Wire(63), NtrvDevice::kUnwired);
    QCOMPARE(d.Wire(20), NtrvDevice::kUnwired);
    QCOMPARE(d.Wire(5), quint8(5));
    QCOMPARE(d.Wire(40), quint8(1));
    QCOMPARE(d.PortOfChannel(33), -1);
    QCOMPARE(d.ChannelNames(1), QStringList());
}

void TestNtrvDevice::portOfChannelSearchesPortsInUse()
{
    NtrvDevice d;
    d.SetPortCount(40);
    d.SetWire(35, 2);
    d.SetWire(6, 9);
    d.SetWire(3, 9);
    d.SetWire(50, 4); // not in use
    QCOMPARE(d.PortOfChannel(2), 35);
    QCOMPARE(d.PortOfChannel(9), 3);
    QCOMPARE(d.PortOfChannel(4), -1);
    QCOMPARE(d.PortOfChannel(-1), -1);
    QCOMPARE(d.PortOfChannel(0), -1);
}

void TestNtrvDevice::channelText_data()
{
    QTest::addColumn<int>("controllers");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("text");
    QTest::addRow("one controller") << 1 << 5 << QStringLiteral("2з");
    QTest::addRow("two controllers, first") << 2 << 2 << QStringLiteral("(1) 1з");
    QTest::addRow("two controllers, second") << 2 << 37 << QStringLiteral("(2) 2з");
    QTest::addRow("last output") << 2 << 63 << QStringLiteral("(2) 12з");
    QTest::addRow("absent controller") << 1 << 40 << QString();
    QTest::addRow("unwired") << 2 << 255 << QString();
}

void TestNtrvDevice::channelText()
{
    QFETCH(int, controllers);
    QFETCH(int, channel);
    QFETCH(QString, text);
    NtrvDevice d;
    d.SetControllerCount(controllers);
    d.SetPortCount(1);
    QCOMPARE(d.ChannelText(channel), text);
    d.SetWire(0, quint8(channel));
    QCOMPARE(d.PortText(0), text);
}

void TestNtrvDevice::outputNamesAndLamps()
{
    const QStringList names = NtrvDevice::OutputNames();
    QCOMPARE(names.size(), 32);
    QCOMPARE(names.first(), QStringLiteral("1к"));
    QCOMPARE(names.mid(27), (QStringList{QStringLiteral("10к"), QStringLiteral("10ж"),
                                          QStringLiteral("10з"), QStringLiteral("11з"),
                                          QStringLiteral("12з")}));
    NtrvDevice d;
    d.SetControllerCount(2);
    QCOMPARE(d.ChannelNames(1), names);
    QCOMPARE(d.ChannelNames(2), QStringList());

    QCOMPARE(NtrvDevice::OutputLamp(0), NtrvLamp::Red);
    QCOMPARE(NtrvDevice::OutputLamp(1), NtrvLamp::Yellow);
    QCOMPARE(NtrvDevice::OutputLamp(2), NtrvLamp::Green);
    QCOMPARE(NtrvDevice::OutputLamp(27), NtrvLamp::Red);
    QCOMPARE(NtrvDevice::OutputLamp(30), NtrvLamp::Green);
    QCOMPARE(NtrvDevice::OutputLamp(31), NtrvLamp::Green);
}

void TestNtrvDevice::addressTexts_data()
{
    QTest::addColumn<bool>("mac");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("stored");
    QTest::addRow("mac lower case") << true << QStringLiteral("00:1a:2B:3c:4D:5e") << true << QStringLiteral("00:1A:2B:3C:4D:5E");
    QTest::addRow("mac low byte of a long group") << true << QStringLiteral("01:02:03:04:05:1FF") << true << QStringLiteral("01:02:03:04:05:FF");
    QTest::addRow("mac of three groups") << true << QStringLiteral("00:11:22") << true << QStringLiteral("02:00:00:00:00:01");
    QTest::addRow("mac empty") << true << QStringLiteral("") << true << QStringLiteral("02:00:00:00:00:01");
    // Nothing is taken from a text with a bad group, not even the groups
    // before it.
    QTest::addRow("mac bad group") << true << QStringLiteral("0A:GG:22:33:44:55") << false << QStringLiteral("02:00:00:00:00:01");
    QTest::addRow("mac empty group") << true << QStringLiteral("0A::22:33:44:55") << false << QStringLiteral("02:00:00:00:00:01");
    QTest::addRow("ip") << false << QStringLiteral("192.168.0.10") << true << QStringLiteral("192.168.0.10");
    QTest::addRow("ip low byte") << false << QStringLiteral("192.168.0.300") << true << QStringLiteral("192.168.0.44");
    QTest::addRow("ip of three groups") << false << QStringLiteral("10.0.0") << true << QStringLiteral("10.1.2.3");
    QTest::addRow("ip of five groups") << false << QStringLiteral("10.0.0.1.2") << true << QStringLiteral("10.1.2.3");
    QTest::addRow("ip bad group") << false << QStringLiteral("11.0.x.1") << false << QStringLiteral("10.1.2.3");
    QTest::addRow("ip hex is no decimal") << false << QStringLiteral("11.0.A.1") << false << QStringLiteral("10.1.2.3");
}

void TestNtrvDevice::addressTexts()
{
    QFETCH(bool, mac);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, stored);
    NtrvDevice d;
    d.SetMac(MacAddress{2, 0, 0, 0, 0, 1});
    d.SetIp(Ip4Address{10, 1, 2, 3});
    QString error;
    QCOMPARE(mac ? d.SetMacText(text, &error) : d.SetIpText(text, &error), ok);
    QCOMPARE(mac ? d.MacText() : d.IpText(), stored);
    QCOMPARE(error.isEmpty(), ok);
    if (!ok)
        QVERIFY2(error.contains(text), qPrintable(error));
}

void TestNtrvDevice::randomMacIsLocalUnicastWithoutFF()
{
    QRandomGenerator rng(20240611);
    NtrvDevice d;
    int lowest = 255, highest = 0;
    for (int i = 0; i < 2000; ++i) {
        d.NewRandomMac(rng);
        const MacAddress mac = d.Mac();
        QCOMPARE(mac[0] & 0x03, 0x02);
        for (size_t b = 1; b < mac.size(); ++b) {
            lowest = qMin(lowest, int(mac[b]));
            highest = qMax(highest, int(mac[b]));
        }
    }
    QCOMPARE(lowest, 0);
    QCOMPARE(highest, 254);
}

void TestNtrvDevice::resetNetworkKeepsWiring()
{
    NtrvDevice d = eightWiredPorts();
    d.SetControllerCount(2);
    d.SetEthernet(true);
    d.SetServer(true);
    d.SetDhcp(true);
    d.SetPing(true);
    d.SetPort(80);
    d.SetGate(Ip4Address{1, 2, 3, 4});
    d.SetMask(Ip4Address{255, 0, 0, 0});
    d.NewRandomMac();
    d.ResetNetwork();
    QCOMPARE(d.Features(), 0u);
    QCOMPARE(d.NetworkFlags(), 0u);
    QCOMPARE(d.Port(), quint16(1024));
    QCOMPARE(d.MacText(), QStringLiteral("00:00:00:00:00:00"));
    QCOMPARE(d.GateText(), QStringLiteral("0.0.0.0"));
    QCOMPARE(d.MaskText(), QStringLiteral("255.255.255.255"));
    QCOMPARE(d.ControllerCount(), 2);
    QCOMPARE(d.PortCount(), 8);
    QCOMPARE(d.Wire(7), quint8(17));
}

QTEST_GUILESS_MAIN(TestNtrvDevice)
#include "tst_ntrv_device.moc"
