#include "transport/comm32.h"
#include "transport/comms_error.h"
#include "transport/port_path.h"

#include "line_probe.h"
#include "pty_pair.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <sys/resource.h>

#include <memory>

using namespace vrs;

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

QString OpenError(TComm32 &port)
{
    try {
        port.Open();
    } catch (const ECommsError &e) {
        return e.Message();
    }
    return QString();
}

double CpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestComm32 : public QObject {
    Q_OBJECT

private slots:
    void portPath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addRow("COM3") << "//./COM3" << "/dev/ttyS2";
        QTest::addRow("COM1 bare") << "COM1" << "/dev/ttyS0";
        QTest::addRow("lower case com") << "//./com12" << "/dev/ttyS11";
        QTest::addRow("Windows prefix") << "\\\\.\\COM4" << "/dev/ttyS3";
        QTest::addRow("device path") << "/dev/ttyUSB0" << "/dev/ttyUSB0";
        QTest::addRow("prefixed device path") << "//.//dev/pts/7" << "/dev/pts/7";
        QTest::addRow("bare device name") << "//./ttyACM1" << "/dev/ttyACM1";
        QTest::addRow("COM0 is no COM port") << "//./COM0" << "/dev/COM0";
        QTest::addRow("COM with letters") << "//./COMX" << "/dev/COMX";
        QTest::addRow("empty") << "" << "";
        QTest::addRow("prefix only") << "//./" << "";
    }
    void portPath()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(DevicePathForPortName(name), path);
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::addRow("no such device") << "missing" << "Невозможно открыть порт!";
        QTest::addRow("empty name") << "empty" << "Невозможно открыть порт!";
        QTest::addRow("regular file") << "file" << "Задан не COM-порт";
        QTest::addRow("directory") << "directory" << "Задан не COM-порт";
        QTest::addRow("character device, no terminal") << "null" << "Задан не COM-порт";
    }
    void openErrors()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QTemporaryFile file;
        QVERIFY(dir.isValid() && file.open());
        TComm32 port;
        if (kind == "missing")
            port.SetPortName(dir.filePath("ttyNone"));
        else if (kind == "empty")
            port.SetPortName(QString());
        else if (kind == "file")
            port.SetPortName(file.fileName());
        else if (kind == "directory")
            port.SetPortName(dir.path());
        else
            port.SetPortName("/dev/null");
        QCOMPARE(OpenError(port), message);
        QVERIFY(!port.Connected());
        QVERIFY(!port.Write(reinterpret_cast<const uint8_t *>("x"), 1));
    }

    void openTwiceKeepsFirstOpening()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        QCOMPARE(OpenError(port), QString("Заданный порт уже открыт!"));
        QVERIFY(port.Connected());
        QVERIFY(port.Write(reinterpret_cast<const uint8_t *>("ok"), 2));
        QCOMPARE(pty.Read(2), QByteArray("ok"));
    }

    void lineSetting_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addRow("connection rate 10417") << 10417;
        QTest::addRow("idle rate 115200") << 115200;
        QTest::addRow("9600") << 9600;
    }
    void lineSetting()
    {
        QFETCH(int, baud);
        PtyPair pty;
        QVERIFY(pty.IsValid());
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        port.SetBaudRate(baud);
        port.SetParity(CommParity::None);
        port.SetFlowControl(CommFlowControl::None);
        QVERIFY(port.Open());
        LineSetting line = ProbeLine(pty.SlaveFd());
        QVERIFY(line.ok);
        QCOMPARE(line.speed, unsigned(baud));
        QCOMPARE(line.dataBits, 8);
        QVERIFY(!line.parity);
        QVERIFY(!line.twoStopBits);
        QVERIFY(!line.hardwareFlow);
        QVERIFY(!line.softwareFlow);

        // Switching while open takes effect at once.
        port.SetBaudRate(57600);
        line = ProbeLine(pty.SlaveFd());
        QCOMPARE(line.speed, 57600u);
        QCOMPARE(port.BaudRate(), 57600);
    }

    // Pseudo-terminals refuse the modem-line ioctls; that must not count
    // as a failure of the port.
    void modemLinesOnPseudoTerminal()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        port.SetLine(CommLine::SetRts);
        port.SetLine(CommLine::ClearDtr);
        QVERIFY(port.Connected());
        QVERIFY(port.Write(reinterpret_cast<const uint8_t *>("abc"), 3));
        QCOMPARE(pty.Read(3), QByteArray("abc"));
        QVERIFY(pty.Write("xyz"));
        QByteArray got;
        port.SetOnReceiveData([&](const uint8_t *d, size_t n) { got.append(reinterpret_cast<const char *>(d), qsizetype(n)); });
        QTRY_COMPARE(got, QByteArray("xyz"));
    }

    void closedPort()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        port.Close();
        QVERIFY(!port.Connected());
        QVERIFY(!port.Write(reinterpret_cast<const uint8_t *>("x"), 1));
        QVERIFY(port.Open());
        port.Close();
        port.Close();
        QVERIFY(!port.Connected());
        QVERIFY(!port.Write(reinterpret_cast<const uint8_t *>("x"), 1));
        QTest::qWait(20);
        QVERIFY(pty.ReadAvailable().isEmpty());
        // Closing lets go of the device: it opens again.
        QVERIFY(port.Open());
        QVERIFY(port.Connected());
    }

    void burstArrivesWholeAndInOrder()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        QByteArray got;
        size_t largest = 0;
        port.SetOnReceiveData([&](const uint8_t *d, size_t n) {
            largest = std::max(largest, n);
            got.append(reinterpret_cast<const char *>(d), qsizetype(n));
        });
        const QByteArray sent = Pattern(100000);
        for (qsizetype at = 0; at < sent.size(); at += 7000)
            QVERIFY(pty.Write(sent.mid(at, 7000)));
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), sent.size(), 5000);
        QVERIFY(got == sent);
        QVERIFY(largest <= TComm32::kMaxChunk);
    }

    void writeLargeBlockWithoutWaiting()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        const QByteArray sent = Pattern(65535);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(port.Write(reinterpret_cast<const uint8_t *>(sent.constData()), size_t(sent.size())));
        // More than a pseudo-terminal buffers: the call must return before the
        // device has read it.
        QVERIFY(timer.elapsed() < 100);
        QCOMPARE(pty.Read(sent.size(), 5000), sent);
    }

    // A handler that spins the event loop (as the programmer window does)
    // must not be entered again; bytes arriving meanwhile follow in order.
    void nestedEventLoopInHandler()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        QByteArray got;
        int depth = 0;
        int deepest = 0;
        bool first = true;
        port.SetOnReceiveData([&](const uint8_t *d, size_t n) {
            ++depth;
            deepest = std::max(deepest, depth);
            got.append(reinterpret_cast<const char *>(d), qsizetype(n));
            if (first) {
                first = false;
                pty.Write("BBBB");
                QTest::qWait(60);
            }
            --depth;
        });
        QVERIFY(pty.Write("AAAA"));
        QTRY_COMPARE(got, QByteArray("AAAABBBB"));
        QCOMPARE(deepest, 1);
    }

    void destroyedInsideHandler()
    {
        PtyPair pty;
        auto port = std::make_unique<TComm32>();
        port->SetPortName(pty.SlavePath());
        QVERIFY(port->Open());
        int calls = 0;
        port->SetOnReceiveData([&](const uint8_t *, size_t) {
            ++calls;
            port.reset();
        });
        QVERIFY(pty.Write("abc"));
        QTRY_VERIFY(!port);
        QVERIFY(pty.Write("more"));
        QTest::qWait(50);
        QCOMPARE(calls, 1);
    }

    void closedInsideHandler()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        int calls = 0;
        port.SetOnReceiveData([&](const uint8_t *, size_t) {
            ++calls;
            port.Close();
        });
        QVERIFY(pty.Write("abc"));
        QTRY_VERIFY(!port.Connected());
        QVERIFY(pty.Write("more"));
        QTest::qWait(50);
        QCOMPARE(calls, 1);
    }

    // The device end going away must neither spin the event loop on an
    // ever-ready descriptor nor make the port look closed.
    void deviceGoneWhileOpen()
    {
        PtyPair pty;
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
        int calls = 0;
        port.SetOnReceiveData([&](const uint8_t *, size_t) { ++calls; });
        pty.CloseMaster();
        const double before = CpuSeconds();
        QTest::qWait(300);
        QVERIFY2(CpuSeconds() - before < 0.04, "event loop kept busy by a dead port");
        QVERIFY(port.Connected());
        QVERIFY(!port.Write(reinterpret_cast<const uint8_t *>("x"), 1));
        QCOMPARE(calls, 0);
        port.Close();
        QVERIFY(!port.Connected());
    }
};

QTEST_GUILESS_MAIN(TestComm32)
#include "tst_comm32.moc"
