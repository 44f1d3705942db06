#include "programmer/port_discovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vrs;

class TstPortDiscovery : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;

    // Stands in for a pseudo-terminal: only its existence matters.
    QString FDevice;

    static void WriteFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
        f.write(bytes);
    }

    static QByteArray Announcement(const QString &path)
    {
        return "path=" + path.toUtf8() + "\nvid=28E9\npid=018A\n"
               "description=VRS-5 simulated device\nserial=00017\n";
    }

    static QString OwnPidFile(const QString &dir)
    {
        return dir + QStringLiteral("/%1.port").arg(QCoreApplication::applicationPid());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        FDevice = FDir.filePath(QStringLiteral("pts-7"));
        WriteFile(FDevice, QByteArray());
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");

        QTest::addRow("as the simulator writes it") << Announcement("/dev/pts/4") << true << 0x28E9 << 0x018A;
        QTest::addRow("crlf, blanks and 0x prefix")
            << QByteArray("path = /dev/pts/4\r\nvid=0x28e9\r\npid= 18a \r\n") << true << 0x28E9 << 0x018A;
        QTest::addRow("other identifiers kept for the filter")
            << QByteArray("path=/dev/pts/4\nvid=0403\npid=6001\n") << true << 0x0403 << 0x6001;
        QTest::addRow("unknown keys ignored")
            << QByteArray("path=/dev/pts/4\nvid=28E9\npid=018A\nbaud=10417\n") << true << 0x28E9 << 0x018A;
        QTest::addRow("no path") << QByteArray("vid=28E9\npid=018A\n") << false << 0 << 0;
        QTest::addRow("empty path") << QByteArray("path=\nvid=28E9\npid=018A\n") << false << 0 << 0;
        QTest::addRow("no vid") << QByteArray("path=/dev/pts/4\npid=018A\n") << false << 0 << 0;
        QTest::addRow("vid not hex") << QByteArray("path=/dev/pts/4\nvid=28G9\npid=018A\n") << false << 0 << 0;
        QTest::addRow("pid beyond 16 bits") << QByteArray("path=/dev/pts/4\nvid=28E9\npid=1018A\n") << false << 0 << 0;
        QTest::addRow("line without key") << QByteArray("/dev/pts/4\nvid=28E9\npid=018A\n") << false << 0 << 0;
        QTest::addRow("binary garbage") << QByteArray("\x00\xff\x13garbage\x01", 12) << false << 0 << 0;
        QTest::addRow("empty") << QByteArray() << false << 0 << 0;
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(int, vid);
        QFETCH(int, pid);
        const std::optional<PortRecord> port = ParseSimulatedPort(text);
        QCOMPARE(port.has_value(), valid);
        if (!valid)
            return;
        QCOMPARE(port->name, QStringLiteral("/dev/pts/4"));
        QCOMPARE(port->path, QStringLiteral("/dev/pts/4"));
        QVERIFY(port->hasUsbIds);
        QCOMPARE(int(port->vendorId), vid);
        QCOMPARE(int(port->productId), pid);
    }

    void registryKeepsOnlyLiveDevices()
    {
        QTemporaryDir reg;
        QVERIFY(reg.isValid());
        WriteFile(OwnPidFile(reg.path()), Announcement(FDevice));
        WriteFile(reg.filePath("1.port"), "garbage without equals sign\n");
        WriteFile(reg.filePath("notes.txt"), Announcement(FDevice));
        WriteFile(reg.filePath("stale.port"), Announcement(FDir.filePath("pts-gone")));
        // A file named after a finished simulator, its device path still present.
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForStarted());
        const qint64 deadPid = finished.processId();
        QVERIFY(finished.waitForFinished());
        QVERIFY(deadPid > 0);
        WriteFile(reg.filePath(QStringLiteral("%1.port").arg(deadPid)), Announcement(FDevice));

        const std::vector<PortRecord> ports = ReadSimulatedPorts(reg.path());
        QCOMPARE(ports.size(), size_t(1));
        QCOMPARE(ports[0].name, FDevice);
        QCOMPARE(ports[0].description, QStringLiteral("VRS-5 simulated device"));
        QCOMPARE(ports[0].serialNumber, QStringLiteral("00017"));
    }

    void missingRegistryIsEmpty()
    {
        QVERIFY(ReadSimulatedPorts(FDir.filePath("no-registry")).empty());

        // No registry folder must not mean the working folder.
        QTemporaryDir cwd;
        WriteFile(OwnPidFile(cwd.path()), Announcement(FDevice));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        const bool empty = ReadSimulatedPorts(QString()).empty();
        QDir::setCurrent(before);
        QVERIFY(empty);
    }

    // A registered simulator shows up in the programmer's list like a real
    // device, and stays selected on the next refresh of the run.
    void simulatedDeviceInRefresh()
    {
        const QString dir = SimulatedPortRegistryDir();
        QVERIFY(QDir().mkpath(dir));
        const QString file = OwnPidFile(dir);
        WriteFile(file, Announcement(FDevice));

        SetRememberedPortName(QString());
        PortList list = RefreshPortList(false);
        QFile::remove(file);
        QVERIFY2(list.Names().contains(FDevice), qPrintable(list.Names().join(", ")));
        QCOMPARE(list.SelectedName(), list.Names().first());
        QCOMPARE(RememberedPortName(), list.Names().first());

        SetRememberedPortName(FDevice);
        WriteFile(file, Announcement(FDevice));
        list = RefreshPortList(false);
        QFile::remove(file);
        QCOMPARE(list.SelectedName(), FDevice);
        QCOMPARE(RememberedPortName(), FDevice);
    }
};

QTEST_GUILESS_MAIN(TstPortDiscovery)
#include "tst_port_discovery.moc"
