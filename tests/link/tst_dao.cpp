#include "link/com_provider.h"
#include "link/dao.h"
#include "link/log_sink.h"
#include "transport/comm32.h"

#include "../transport/line_probe.h"
#include "tst_collector_device.h"
#include "tst_dao_fake_port.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vrs;

namespace {

class RecordingSink : public LogSink {
public:
    void WriteLog(const QString &text) override { lines << text; }
    QStringList lines;
};

// A link with its callbacks recorded in one list, in the order they came.
struct LinkProbe {
    explicit LinkProbe(TDAO &link)
    {
        link.SetOnStateChange([this](TDAO *, TLinkState s) { events << QString("state %1").arg(int(s)); });
        link.SetOnLog([this](QObject *sender, const QString &text) {
            events << "log " + text;
            senders << sender;
        });
        link.SetOnFrame([this](const uint8_t *frame, size_t size) {
            events << QString("frame %1").arg(int(FrameCommand(frame)));
            frames << QByteArray(reinterpret_cast<const char *>(frame), qsizetype(size));
        });
    }
    QStringList events;
    QList<QObject *> senders;
    QList<QByteArray> frames;
};

std::unique_ptr<TDAO> SerialLink()
{
    return std::make_unique<TDAO>(&TComProvider::Create);
}

std::unique_ptr<TDAO> FakeLink(const std::shared_ptr<FakePortScript> &script)
{
    return std::make_unique<TDAO>([script](TDAO *owner) {
        return std::make_unique<TComProvider>(owner, std::make_unique<FakePort>(script));
    });
}

FakePort *PortOf(TDAO &link)
{
    return static_cast<FakePort *>(static_cast<TComProvider *>(link.Provider())->Port());
}

} // namespace

class TestDao : public QObject {
    Q_OBJECT

private slots:
    void init() { ComBaudRate = kConnectBaudRate; }

    void connectionName_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("display");
        QTest::addRow("bare COM name") << "COM3" << "//./COM3" << "COM3";
        QTest::addRow("full COM address") << "//./COM3" << "//./COM3" << "COM3";
        QTest::addRow("device path") << "/dev/ttyUSB0" << "/dev/ttyUSB0" << "ttyUSB0";
        QTest::addRow("bare device name") << "ttyACM0" << "//./ttyACM0" << "ttyACM0";
        QTest::addRow("empty") << "" << "" << "";
    }
    void connectionName()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        QFETCH(QString, display);
        auto link = SerialLink();
        link->SetConnectionName(given);
        QCOMPARE(link->Provider()->GetConnectionName(), stored);
        QCOMPARE(link->Provider()->GetDisplayName(), display);
    }

    void portName()
    {
        auto link = SerialLink();
        link->Provider()->SetPortName("COM5");
        QCOMPARE(link->Provider()->GetConnectionName(), QString("//./COM5"));
        QCOMPARE(link->Provider()->GetDisplayName(), QString("COM5"));
    }

    void connectRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("logLine");
        QTest::addRow("no such port")
            << "missing" << "Не удалось подключиться к устройству: Ошибка подключения к COM999: Невозможно открыть порт!";
        QTest::addRow("not a serial port")
            << "file" << "Не удалось подключиться к устройству: Ошибка подключения к notaport: Задан не COM-порт";
        QTest::addRow("open returns false")
            << "false" << "Не удалось подключиться к устройству: Не удалось подключиться к COM4";
    }
    void connectRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, logLine);
        QTemporaryDir dir;
        QFile file(dir.filePath("notaport"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        auto script = std::make_shared<FakePortScript>();
        script->openResult = false;
        auto link = kind == "false" ? FakeLink(script) : SerialLink();
        LinkProbe probe(*link);
        link->SetConnectionName(kind == "missing" ? "//./COM999" : kind == "file" ? file.fileName() : "COM4");
        QVERIFY(!link->Connect());
        QCOMPARE(probe.events, QStringList({"state 0", "state 3", "log " + logLine}));
        QCOMPARE(probe.senders.value(0), link.get());
        QCOMPARE(link->State(), lsDisconnected);
    }

    // Something other than a port failure must not leave the link
    // "connecting" with nothing under it.
    void unexpectedErrorWhileConnecting()
    {
        auto script = std::make_shared<FakePortScript>();
        script->openThrowsOther = true;
        auto link = FakeLink(script);
        LinkProbe probe(*link);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, link->Connect());
        QCOMPARE(link->State(), lsDisconnected);
        QCOMPARE(probe.events, QStringList({"state 0", "state 3"}));
    }

    void connectOpensPortAsTheDeviceExpects()
    {
        auto script = std::make_shared<FakePortScript>();
        auto link = FakeLink(script);
        link->SetConnectionName("COM7");
        ComBaudRate = 10417;
        QVERIFY(link->Connect());
        QCOMPARE(script->calls,
                 QStringList({"parity", "baud 10417", "open //./COM7", "rts on", "dtr off", "receiver set"}));
        QCOMPARE(link->State(), lsConnecting);

        script->calls.clear();
        link->Disconnect();
        QCOMPARE(script->calls, QStringList({"receiver cleared", "rts off", "dtr off", "purge output",
                                             "purge input", "close"}));
        QCOMPARE(link->State(), lsDisconnected);
    }

    void connectOverPseudoTerminal()
    {
        PtyPair pty;
        QVERIFY(pty.IsValid());
        auto link = SerialLink();
        LinkProbe probe(*link);
        link->SetConnectionName(pty.SlavePath());
        QVERIFY(link->Connect());
        QCOMPARE(ProbeLine(pty.SlaveFd()).speed, 10417u);
        QCOMPARE(link->State(), lsConnecting);
        // Already connecting: nothing more happens.
        QVERIFY(link->Connect());
        QCOMPARE(probe.events, QStringList({"state 0"}));

        // The first bytes make the link connected before their frame is
        // handed on.
        pty.Write(ScriptedDevice::Ready());
        QTRY_COMPARE(probe.events, QStringList({"state 0", "state 1", "frame 0"}));
        QVERIFY(link->Connect());
        QCOMPARE(probe.events.size(), 3);

        link->Disconnect();
        QCOMPARE(probe.events, QStringList({"state 0", "state 1", "frame 0", "state 2", "state 3"}));
        link->Disconnect();
        QCOMPARE(probe.events.size(), 5);
    }

    void disconnectedLinkStaysQuiet()
    {
        auto script = std::make_shared<FakePortScript>();
        auto link = FakeLink(script);
        LinkProbe probe(*link);
        link->Disconnect();
        QVERIFY(probe.events.isEmpty());
        QVERIFY(!script->calls.contains("close"));
    }

    // A port that fails to close is reported, and still let go of: a port
    // left open could never be opened again.
    void closeErrorIsLoggedAndPortReleased()
    {
        auto script = std::make_shared<FakePortScript>();
        script->closeError = "нет порта";
        auto link = FakeLink(script);
        LinkProbe probe(*link);
        QVERIFY(link->Connect());
        link->Disconnect();
        QCOMPARE(probe.events, QStringList({"state 0", "state 2", "log Ошибка отключения COM-порта: нет порта",
                                            "state 3"}));
        QVERIFY(!PortOf(*link)->Connected());
        QVERIFY(link->Connect());
    }

    void trafficLog()
    {
        PtyPair pty;
        RecordingSink sink;
        auto link = SerialLink();
        LinkProbe probe(*link);
        link->SetTrafficLog(&sink);
        link->SetConnectionName(pty.SlavePath());

        // Nothing goes out, and nothing is logged, while closed.
        link->Send(kReadyFrame, sizeof kReadyFrame);
        QVERIFY(sink.lines.isEmpty());

        QVERIFY(link->Connect());
        link->Send(kReadyFrame, sizeof kReadyFrame);
        QCOMPARE(sink.lines, QStringList({"PC:  5A A5 55 AA 01 00 00 00 00 B6 "}));
        QCOMPARE(pty.Read(10), ScriptedDevice::Ready());

        pty.Write(QByteArray("\x01\xFF", 2));
        QTRY_COMPARE(sink.lines.size(), 2);
        QCOMPARE(sink.lines.at(1), QString("Dev: 01 FF "));
    }

    // Bytes of a frame cut short by a disconnection never join bytes that
    // arrive after the next connection.
    void staleBytesNeverFormAFrame()
    {
        PtyPair pty;
        auto link = SerialLink();
        LinkProbe probe(*link);
        link->SetConnectionName(pty.SlavePath());
        const QByteArray frame = ScriptedDevice::Frame(3, ScriptedDevice::U32(512));
        QVERIFY(link->Connect());
        pty.Write(frame.left(6));
        QTRY_COMPARE(link->FillLevel(), 6);
        link->Disconnect();

        QVERIFY(link->Connect());
        pty.Write(frame.mid(6));
        QTRY_COMPARE(link->FillLevel(), int(frame.size()));
        QTest::qWait(20);
        QVERIFY(probe.frames.isEmpty());

        pty.Write(frame);
        QTRY_COMPARE(probe.frames.size(), 1);
        QCOMPARE(probe.frames.at(0), frame);
    }

    void destroyedFromItsOwnFrameHandler()
    {
        PtyPair pty;
        auto link = SerialLink();
        link->SetConnectionName(pty.SlavePath());
        int frames = 0;
        link->SetOnFrame([&](const uint8_t *, size_t) {
            ++frames;
            link.reset();
        });
        QVERIFY(link->Connect());
        pty.Write(ScriptedDevice::Ready() + ScriptedDevice::Ready());
        QTRY_VERIFY(!link);
        pty.Write(ScriptedDevice::Ready());
        QTest::qWait(30);
        QCOMPARE(frames, 1);
        // The port was released with the link.
        TComm32 port;
        port.SetPortName(pty.SlavePath());
        QVERIFY(port.Open());
    }

    void destroyingTheLinkClosesThePort()
    {
        auto script = std::make_shared<FakePortScript>();
        auto link = FakeLink(script);
        QVERIFY(link->Connect());
        script->calls.clear();
        link.reset();
        QCOMPARE(script->calls.first(), QString("receiver cleared"));
        QVERIFY(script->calls.contains("close"));
        QCOMPARE(script->calls.last(), QString("destroyed"));
    }
};

QTEST_GUILESS_MAIN(TestDao)
#include "tst_dao.moc"
