// The simulated device over its terminal, driven by raw frames as a host
// sends them.

#include "devsim/device_dump.h"
#include "devsim/sim_device.h"
#include "link/crc.h"
#include "pty_host.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vrs;
using namespace vrs::devsim;
using namespace vrs::devsim::test;

namespace {

struct Rig {
    std::unique_ptr<SimDevice> device;
    std::unique_ptr<PtyHost> host;

    QStringList Outcomes() const
    {
        QStringList out;
        for (const CommandRecord &record : device->Commands())
            out << record.outcome;
        return out;
    }
};

// Starts a device with the given command-line options and opens its port.
Rig StartRig(const QStringList &arguments = {})
{
    DeviceOptions options;
    QString text;
    if (ParseDeviceOptions(QStringList{"vrs5-devsim"} + arguments, &options, &text)
        != ParseResult::Ok)
        qFatal("bad test options: %s", qPrintable(text));
    Rig rig;
    rig.device = std::make_unique<SimDevice>(options);
    if (!rig.device->Start(&text))
        qFatal("device did not start: %s", qPrintable(text));
    rig.host = std::make_unique<PtyHost>(rig.device->PortPath());
    return rig;
}

QByteArray WriteRequest(uint8_t command, uint32_t address, const QByteArray &bytes)
{
    return Frame(command, U32(address) + U32(uint32_t(bytes.size())) + bytes);
}

QByteArray RangeAnswer(uint32_t address, uint32_t size, int8_t status)
{
    return U32(address) + U32(size) + QByteArray(1, char(status));
}

uint32_t Crc(const QByteArray &bytes)
{
    return Crc32(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

class TestDevsimExchange : public QObject {
    Q_OBJECT
private slots:
    void answersRequestAfterReady();
    void crossedRepeatOfChunk_data();
    void crossedRepeatOfChunk();
    void slowHostIsNotOutpaced();
    void chunkedWriteWithSlowHost_data();
    void chunkedWriteWithSlowHost();
    void requestWithoutFreshReadyWaits();
    void sameQueryLaterIsAnswered();
    void requestOutcomes_data();
    void requestOutcomes();
    void junkAndSplitFramesStillDecode();
    void pacedAtBaudRate();
    void noFloodWhileNobodyListens();
    void dumpShowsWhatDeviceHolds();
};

void TestDevsimExchange::answersRequestAfterReady()
{
    Rig rig = StartRig({"--serial", "ZMT-0042"});
    QVERIFY(rig.host->IsOpen());
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(Frame(6));
    QVERIFY(rig.host->WaitForAnswers(1));
    QCOMPARE(rig.host->answers[0].command, uint8_t(6));
    QCOMPARE(rig.host->answers[0].data, QByteArray("ZMT-0042\0", 9));
}

void TestDevsimExchange::crossedRepeatOfChunk_data()
{
    QTest::addColumn<bool>("naive");
    QTest::addColumn<int>("chunkOneAnswers");
    QTest::addRow("sound device") << false << 1;
    QTest::addRow("device answering repeats") << true << 2;
}

// The host sends a chunk unprompted 50 ms after the task starts; a ready
// frame of the device crosses it and the host sends the same chunk again.
// Only one confirmation may come back, or the host sees the first chunk
// confirmed while it already waits for the second.
void TestDevsimExchange::crossedRepeatOfChunk()
{
    QFETCH(bool, naive);
    QFETCH(int, chunkOneAnswers);

    Rig rig = StartRig(naive ? QStringList{"--answer-repeats"} : QStringList{});
    const QByteArray image = QByteArray("firmware block, two chunks").repeated(4);
    const QByteArray first = image.left(64);
    const QByteArray second = image.mid(64);
    const uint32_t base = 0x08000000;

    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(WriteRequest(1, base, first));
    rig.host->Send(WriteRequest(1, base, first));
    QVERIFY(rig.host->WaitForAnswers(1));
    QTest::qWait(60);
    QCOMPARE(rig.host->answers.size(), chunkOneAnswers);

    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(WriteRequest(1, base + 64, second));
    QVERIFY(rig.host->WaitForAnswers(chunkOneAnswers + 1));
    for (int i = 0; i < chunkOneAnswers; ++i)
        QCOMPARE(rig.host->answers[i].data, RangeAnswer(base, 64, 0));
    QCOMPARE(rig.host->answers.last().data, RangeAnswer(base + 64, uint32_t(second.size()), 0));
    QCOMPARE(rig.device->State().Firmware().Read(base, uint32_t(image.size())), image);
    if (!naive)
        QCOMPARE(rig.Outcomes(), (QStringList{"answered", "ignored-repeat", "answered"}));
}

// Each ready frame sent while the host's reply is on its way would bring
// one more copy of the host's request.
void TestDevsimExchange::slowHostIsNotOutpaced()
{
    Rig rig = StartRig({"--ready-interval", "5"});
    QVERIFY(rig.host->WaitForReady());
    const int ready = rig.host->readyCount;
    QTest::qWait(60);
    QCOMPARE(rig.host->readyCount, ready);
    rig.host->Send(Frame(6));
    QVERIFY(rig.host->WaitForAnswers(1));
    QVERIFY(rig.host->WaitForReady());   // and the exchange goes on
}

void TestDevsimExchange::chunkedWriteWithSlowHost_data()
{
    QTest::addColumn<int>("latencyMs");
    QTest::addRow("prompt host") << 0;
    QTest::addRow("host slower than the ready interval") << 25;
}

// A host like the programmer's: every ready frame is answered with the
// current chunk, after some latency in its writer; the task's first request
// also goes out unprompted and crosses a ready frame.
void TestDevsimExchange::chunkedWriteWithSlowHost()
{
    QFETCH(int, latencyMs);
    Rig rig = StartRig({"--ready-interval", "5"});
    QByteArray image(5000, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + i / 251);
    const int chunk = 1024;
    int offset = 0;
    QStringList failures;

    auto request = [&] {
        return WriteRequest(7, uint32_t(offset), image.mid(offset, chunk));
    };
    // Replies still on their way when the test ends go with this object,
    // not into the next test's host.
    QObject pending;
    rig.host->onReady = [&] {
        const QByteArray bytes = offset < image.size() ? request() : ReadyFrame();
        QTimer::singleShot(latencyMs, Qt::PreciseTimer, &pending, [&, bytes] { rig.host->Send(bytes); });
    };
    rig.host->onAnswer = [&](const DeviceFrame &answer) {
        const int size = std::min(chunk, int(image.size()) - offset);
        if (answer.data != RangeAnswer(uint32_t(offset), uint32_t(size), 0))
            failures << QString::fromLatin1(answer.data.toHex(' '));
        offset += size;
    };
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(request());
    QVERIFY(QTest::qWaitFor([&] { return offset >= image.size(); }, 10000));
    QTest::qWait(100);
    QCOMPARE(failures, QStringList());
    QCOMPARE(rig.host->answers.size(), 5);
    QCOMPARE(rig.device->State().ConfigArea().Read(0, uint32_t(image.size())), image);
}

void TestDevsimExchange::requestWithoutFreshReadyWaits()
{
    Rig rig = StartRig({"--ready-interval", "150"});
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(Frame(6));
    QVERIFY(rig.host->WaitForAnswers(1));
    // The next task's first request, sent before the device asked again.
    const QByteArray verify = Frame(8);
    rig.host->Send(verify);
    QTest::qWait(50);
    QCOMPARE(rig.host->answers.size(), 1);
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(verify);
    QVERIFY(rig.host->WaitForAnswers(2));
    QCOMPARE(rig.host->answers[1].data, QByteArray(1, char(1)));   // erased area
    QCOMPARE(rig.Outcomes(), (QStringList{"answered", "ignored-no-ready", "answered"}));
}

// A repeat is only the copy that follows the answered request at once; the
// same query asked again later (a reconnection) is a new request.
void TestDevsimExchange::sameQueryLaterIsAnswered()
{
    Rig rig = StartRig();
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(Frame(3));
    QVERIFY(rig.host->WaitForAnswers(1));
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(ReadyFrame());
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(Frame(3));
    QVERIFY(rig.host->WaitForAnswers(2));
    QCOMPARE(rig.host->answers[1].data, U32(1024));
}

void TestDevsimExchange::requestOutcomes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QStringList>("outcomes");

    QTest::addRow("first request lost") << QStringList{"--drop", "1"} << QList<int>{6, 6}
                                        << QStringList{"dropped", "answered"};
    QTest::addRow("every second lost")
        << QStringList{"--drop-every", "2"} << QList<int>{6, 3, 6, 3}
        << QStringList{"answered", "dropped", "answered", "dropped"};
    QTest::addRow("silent after one answer") << QStringList{"--silent-after", "1"}
                                             << QList<int>{6, 3} << QStringList{"answered", "silent"};
    QTest::addRow("outside the loader") << QStringList{"--no-packet-size"} << QList<int>{3, 6}
                                        << QStringList{"unanswered", "answered"};
    QTest::addRow("unknown command") << QStringList{} << QList<int>{5, 6}
                                     << QStringList{"unanswered", "answered"};
}

void TestDevsimExchange::requestOutcomes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<int>, commands);
    QFETCH(QStringList, outcomes);

    Rig rig = StartRig(arguments);
    for (int command : commands) {
        rig.host->WaitForReady(300);   // a silent device sends none
        const int seen = rig.device->Commands().size();
        rig.host->Send(Frame(uint8_t(command)));
        QVERIFY(QTest::qWaitFor([&] { return rig.device->Commands().size() > seen; }, 2000));
        QTest::qWait(30);
    }
    QCOMPARE(rig.Outcomes(), outcomes);
    QCOMPARE(rig.host->answers.size(), int(outcomes.count("answered")));
    if (rig.device->IsSilent()) {
        const int ready = rig.host->readyCount;
        QTest::qWait(200);
        QCOMPARE(rig.host->readyCount, ready);
    }
}

void TestDevsimExchange::junkAndSplitFramesStillDecode()
{
    Rig rig = StartRig({"--junk", "5", "--split", "3", "--split-pause", "5",
                        "--silent-after", "1", "--serial", "SN"});
    QVERIFY(rig.host->WaitForReady());
    rig.host->Send(Frame(6));
    QVERIFY(rig.host->WaitForAnswers(1));
    QTest::qWait(100);
    QCOMPARE(rig.host->answers[0].data, QByteArray("SN\0", 3));
    // Every frame came with its junk, and in more reads than frames.
    const int frames = rig.host->readyCount + 1;
    QCOMPARE(rig.host->raw.size(), 10 * rig.host->readyCount + 13 + 5 * frames);
    QVERIFY2(rig.host->chunksRead > frames, qPrintable(QString::number(rig.host->chunksRead)));
}

void TestDevsimExchange::pacedAtBaudRate()
{
    Rig rig = StartRig({"--baud", "9600"});
    QVERIFY(rig.host->WaitForReady(1000));
    QElapsedTimer clock;
    clock.start();
    rig.host->Send(Frame(9, U32(0) + U32(200)));
    QVERIFY(rig.host->WaitForAnswers(1, 3000));
    // 219 bytes at 960 bytes per second.
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 200 && elapsed < 1000, qPrintable(QString::number(elapsed)));
    QCOMPARE(rig.host->answers[0].data.size(), 209);
}

void TestDevsimExchange::noFloodWhileNobodyListens()
{
    Rig rig = StartRig();
    rig.host.reset();
    QTest::qWait(200);   // ten ready intervals with nobody reading
    rig.host = std::make_unique<PtyHost>(rig.device->PortPath());
    QVERIFY(rig.host->WaitForReady());
    QVERIFY2(rig.host->raw.size() <= 20, qPrintable(QString::number(rig.host->raw.size())));
    rig.host->Send(Frame(3));
    QVERIFY(rig.host->WaitForAnswers(1));
}

void TestDevsimExchange::dumpShowsWhatDeviceHolds()
{
    Rig rig = StartRig({"--config-text", R"({"asudd":{}})"});
    const QByteArray text = R"({"asudd":{},"ntrv":{"x":1}})";
    const QByteArray image = U32(uint32_t(text.size())) + text + U32(Crc(text));
    const QByteArray block("\x01\x02\x03\x04", 4);
    const QList<QByteArray> requests{WriteRequest(7, 0, image), WriteRequest(1, 0x100, block),
                                     Frame(4, U32(0x100))};
    for (const QByteArray &request : requests) {
        QVERIFY(rig.host->WaitForReady());
        const int seen = rig.host->answers.size();
        rig.host->Send(request);
        QVERIFY(rig.host->WaitForAnswers(seen + 1));
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("dump.json");
    QString error;
    QVERIFY2(WriteDump(*rig.device, file, &error), qPrintable(error));
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QJsonObject dump = QJsonDocument::fromJson(in.readAll()).object();

    const QJsonObject config = dump["config"].toObject();
    QCOMPARE(config["check"].toString(), "good");
    QCOMPARE(config["text"].toString().toUtf8(), text);
    QCOMPARE(config["image"].toString(), QString::fromLatin1(image.toHex().toUpper()));
    const QJsonArray firmware = dump["firmware"].toArray();
    QCOMPARE(firmware.size(), 1);
    QCOMPARE(firmware[0]["address"].toInteger(), 0x100);
    QCOMPARE(firmware[0]["data"].toString(), "01020304");
    QCOMPARE(firmware[0]["crc32"].toInteger(), qint64(Crc(block)));
    QCOMPARE(dump["executionPoint"].toInteger(), 0x100);
    QCOMPARE(dump["port"].toString(), rig.device->PortPath());

    QStringList names;
    for (const QJsonValue &command : dump["commands"].toArray())
        names << command["name"].toString() + ":" + command["outcome"].toString();
    QCOMPARE(names, (QStringList{"write-config:answered", "write-firmware:answered",
                                 "execution-point:answered"}));
}

QTEST_GUILESS_MAIN(TestDevsimExchange)
#include "tst_devsim_exchange.moc"
