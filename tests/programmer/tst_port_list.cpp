#include "programmer/port_list.h"

#include <QtTest>

using namespace vrs;

using Ports = std::vector<PortRecord>;
Q_DECLARE_METATYPE(Ports)
Q_DECLARE_METATYPE(vrs::PortNaming)

namespace {

PortRecord Vrs(const char *name)
{
    PortRecord p;
    p.name = QString::fromLatin1(name);
    p.path = QStringLiteral("/dev/") + p.name;
    p.hasUsbIds = true;
    p.vendorId = kVrsUsbVendorId;
    p.productId = kVrsUsbProductId;
    return p;
}

PortRecord Usb(const char *name, quint16 vid, quint16 pid)
{
    PortRecord p = Vrs(name);
    p.vendorId = vid;
    p.productId = pid;
    return p;
}

// A port without USB identifiers: a built-in UART, Bluetooth, ...
PortRecord Plain(const char *name)
{
    PortRecord p;
    p.name = QString::fromLatin1(name);
    p.path = QStringLiteral("/dev/") + p.name;
    return p;
}

} // namespace

class TstPortList : public QObject {
    Q_OBJECT

private slots:
    void listing_data()
    {
        QTest::addColumn<Ports>("found");
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<PortNaming>("naming");
        QTest::addColumn<QStringList>("expected");

        const PortNaming win = PortNaming::Windows();
        const PortNaming posix = PortNaming::Posix();

        QTest::addRow("sorted by number, not text")
            << Ports{Vrs("COM10"), Vrs("COM3"), Vrs("COM4")} << false << win
            << QStringList{"COM3", "COM4", "COM10"};
        QTest::addRow("filter keeps only the VRS identifiers")
            << Ports{Usb("COM5", 0x0403, 0x6001), Vrs("COM7")} << false << win
            << QStringList{"COM7"};
        QTest::addRow("show all lists foreign ports too")
            << Ports{Usb("COM5", 0x0403, 0x6001), Vrs("COM7")} << true << win
            << QStringList{"COM5", "COM7"};
        QTest::addRow("vendor alone is not enough")
            << Ports{Usb("COM1", kVrsUsbVendorId, 0x0001), Usb("COM2", 0x0001, kVrsUsbProductId)}
            << false << win << QStringList{};
        QTest::addRow("ports without identifiers are filtered out")
            << Ports{Plain("COM1"), Vrs("COM2")} << false << win << QStringList{"COM2"};
        QTest::addRow("windows without filter lists only COM names")
            << Ports{Plain("LPT1"), Plain("COM1")} << true << win << QStringList{"COM1"};
        QTest::addRow("windows filter lists a matching device whatever its name")
            << Ports{Vrs("LPT1")} << false << win << QStringList{"LPT1"};
        QTest::addRow("windows names in upper case")
            << Ports{Vrs("com12"), Vrs("Com2")} << false << win << QStringList{"COM2", "COM12"};
        QTest::addRow("posix names keep their case")
            << Ports{Vrs("ttyUSB0")} << false << posix << QStringList{"ttyUSB0"};
        QTest::addRow("posix without filter lists every port")
            << Ports{Plain("ttyS0"), Vrs("ttyACM0")} << true << posix
            << QStringList{"ttyACM0", "ttyS0"};
        QTest::addRow("posix numbers sort within their prefix")
            << Ports{Vrs("ttyUSB10"), Vrs("ttyACM1"), Vrs("ttyUSB2"), Vrs("ttyACM0"), Vrs("ttyUSB1")}
            << false << posix << QStringList{"ttyACM0", "ttyACM1", "ttyUSB1", "ttyUSB2", "ttyUSB10"};
        QTest::addRow("simulated ports named by path")
            << Ports{Vrs("/dev/pts/12"), Vrs("ttyUSB0"), Vrs("/dev/pts/3")} << false << posix
            << QStringList{"/dev/pts/3", "/dev/pts/12", "ttyUSB0"};
        QTest::addRow("name without number sorts first in its prefix")
            << Ports{Vrs("ttyX1"), Vrs("ttyX")} << false << posix << QStringList{"ttyX", "ttyX1"};
        QTest::addRow("same name once")
            << Ports{Vrs("COM3"), Vrs("com3")} << false << win << QStringList{"COM3"};
        QTest::addRow("nameless port is left out")
            << Ports{Vrs(""), Vrs("COM1")} << false << win << QStringList{"COM1"};
        QTest::addRow("nothing found") << Ports{} << true << posix << QStringList{};
    }

    void listing()
    {
        QFETCH(Ports, found);
        QFETCH(bool, showAll);
        QFETCH(PortNaming, naming);
        QFETCH(QStringList, expected);
        const PortList list = BuildPortList(found, showAll, QString(), naming);
        QCOMPARE(list.Names(), expected);
        QCOMPARE(list.IsEmpty(), expected.isEmpty());
    }

    void keepsRecordDetails()
    {
        PortRecord p = Vrs("ttyACM0");
        p.description = QStringLiteral("VRS-5");
        p.serialNumber = QStringLiteral("00042");
        const PortList list = BuildPortList({p}, false, QString(), PortNaming::Posix());
        QCOMPARE(list.ports.size(), size_t(1));
        QCOMPARE(list.ports[0].path, QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(list.ports[0].serialNumber, QStringLiteral("00042"));
    }

    void rememberedPort_data()
    {
        QTest::addColumn<Ports>("found");
        QTest::addColumn<PortNaming>("naming");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("rememberedAfter");

        const Ports three{Vrs("COM10"), Vrs("COM3"), Vrs("COM4")};
        QTest::addRow("first refresh takes the first port")
            << three << PortNaming::Windows() << QString() << 0 << QStringLiteral("COM3");
        QTest::addRow("remembered port selected again")
            << three << PortNaming::Windows() << QStringLiteral("COM10") << 2 << QStringLiteral("COM10");
        QTest::addRow("vanished port replaced by the first")
            << three << PortNaming::Windows() << QStringLiteral("COM7") << 0 << QStringLiteral("COM3");
        QTest::addRow("windows match ignores case")
            << three << PortNaming::Windows() << QStringLiteral("com4") << 1 << QStringLiteral("COM4");
        QTest::addRow("same number, other prefix is another port")
            << Ports{Vrs("ttyACM0"), Vrs("ttyUSB0")} << PortNaming::Posix() << QStringLiteral("ttyUSB0")
            << 1 << QStringLiteral("ttyUSB0");
        QTest::addRow("posix match keeps case")
            << Ports{Vrs("ttyACM0"), Vrs("ttyUSB0")} << PortNaming::Posix() << QStringLiteral("ttyusb0")
            << 0 << QStringLiteral("ttyACM0");
        QTest::addRow("empty list keeps the remembered port")
            << Ports{} << PortNaming::Windows() << QStringLiteral("COM4") << -1 << QStringLiteral("COM4");
    }

    void rememberedPort()
    {
        QFETCH(Ports, found);
        QFETCH(PortNaming, naming);
        QFETCH(QString, remembered);
        QFETCH(int, selected);
        QFETCH(QString, rememberedAfter);
        const PortList list = BuildPortList(found, false, remembered, naming);
        QCOMPARE(list.selected, selected);
        QCOMPARE(list.remembered, rememberedAfter);
        QCOMPARE(list.SelectedName(), selected < 0 ? QString() : rememberedAfter);
    }

    void portNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addRow("COM3") << "COM3" << 3;
        QTest::addRow("COM256") << "COM256" << 256;
        QTest::addRow("ttyACM1") << "ttyACM1" << 1;
        QTest::addRow("pts path") << "/dev/pts/17" << 17;
        QTest::addRow("no number") << "LPT" << -1;
        QTest::addRow("empty") << "" << -1;
        QTest::addRow("digits beyond int") << "COM99999999999" << INT_MAX;
    }

    void portNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(PortNumber(name), number);
    }
};

QTEST_GUILESS_MAIN(TstPortList)
#include "tst_port_list.moc"
