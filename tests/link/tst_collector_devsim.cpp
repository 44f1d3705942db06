#include "link/com_provider.h"
#include "link/crc.h"
#include "link/task_collector.h"
#include "link/tasks.h"

#include "devsim/sim_device.h"

#include "../transport/pty_pair.h"

#include <QProcess>
#include <QTest>

#include <optional>

using namespace vrs;
using vrs::devsim::DeviceOptions;
using vrs::devsim::SimDevice;

Q_DECLARE_METATYPE(vrs::devsim::DeviceOptions)

namespace {

// A configuration image as the device stores it: length, text, CRC-32.
QByteArray ConfigImage(int total)
{
    QByteArray text(total - 8, Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('a' + (i * 31 + i / 97) % 26);
    QByteArray image(4, '\0');
    WriteU32(reinterpret_cast<uint8_t *>(image.data()), uint32_t(text.size()));
    image += text;
    QByteArray crc(4, '\0');
    WriteU32(reinterpret_cast<uint8_t *>(crc.data()),
             Crc32(reinterpret_cast<const uint8_t *>(text.constData()), size_t(text.size())));
    return image + crc;
}

// Runs the host side against a device: everything the collector reports is
// kept, every task is run to its end.
struct Host {
    TTaskCollector collector;
    QStringList log;

    explicit Host(const QString &port)
    {
        collector.SetPortNameSource([port] { return port; });
        collector.SetOnLog([this](QObject *, const QString &text) { log << text; });
    }

    bool Connect()
    {
        ComBaudRate = kConnectBaudRate;
        collector.Connect();
        return WaitUntil([&] { return collector.LinkState() == lsConnected; }, 3000);
    }

    // Adds the task and waits for its end; take() copies its results.
    template <class Task, class Take>
    TaskState Run(std::unique_ptr<Task> task, Take take, int timeoutMs = 20000)
    {
        std::optional<TaskState> end;
        collector.AddTask(std::move(task), [&](TProgTask *t, TaskState state, QString &) {
            if (state == tsDone)
                take(static_cast<Task *>(t));
            if (state == tsDone || state == tsFailed)
                end = state;
        });
        if (!WaitUntil([&] { return end.has_value(); }, timeoutMs))
            return tsWaiting;
        return *end;
    }

    // Serial number and packet size, as the programmer sets a link up.
    bool SetUp(QByteArray *serial)
    {
        if (Run(std::make_unique<TGetSerialTask>(), [&](TGetSerialTask *t) { *serial = t->SerialNumber(); })
            != tsDone)
            return false;
        uint32_t packet = 0;
        if (Run(std::make_unique<TGetPackMaxSizeTask>(), [&](TGetPackMaxSizeTask *t) { packet = t->PacketSize(); })
            != tsDone)
            return false;
        collector.SetMaxPacketSize(packet);
        return true;
    }
};

} // namespace

class TestCollectorDevsim : public QObject {
    Q_OBJECT

private slots:
    void writeAndReadBack_data()
    {
        QTest::addColumn<DeviceOptions>("options");
        QTest::addColumn<int>("size");
        QTest::addColumn<uint>("chunk");
        // The image is stored in the device beforehand, not written: the
        // simulated device receives frames of at most 16384 bytes, less than
        // the largest write request (16393).
        QTest::addColumn<bool>("preload");

        DeviceOptions base;
        base.readyIntervalMs = 5;
        base.packetSize = 4096;

        DeviceOptions o = base;
        o.packetSize = 1024;
        QTest::addRow("clean, 1024-byte packets") << o << 16 * 1024 << 1024u << false;
        QTest::addRow("64 KiB in 4096-byte packets") << base << 64 * 1024 << 4096u << false;
        o = base;
        o.dropEvery = 4;
        QTest::addRow("every 4th request lost") << o << 64 * 1024 << 4096u << false;
        o = base;
        o.junkBytes = 7;
        QTest::addRow("junk before every frame") << o << 64 * 1024 << 4096u << false;
        o = base;
        o.splitSize = 700;
        o.splitPauseMs = 2;
        QTest::addRow("frames in pieces") << o << 64 * 1024 << 4096u << false;
        o = base;
        o.answerDelayMs = 30;
        QTest::addRow("slow answers") << o << 16 * 1024 << 4096u << false;
        o = base;
        o.packetSize = 0;
        QTest::addRow("packet size 0") << o << 8 * 1024 << 1024u << false;
        o = base;
        o.packetSize = 65536;
        QTest::addRow("packet size above a frame, read") << o << 64 * 1024 << 16365u << true;
    }
    void writeAndReadBack()
    {
        QFETCH(DeviceOptions, options);
        QFETCH(int, size);
        QFETCH(uint, chunk);
        QFETCH(bool, preload);
        const QByteArray image = ConfigImage(size);
        if (preload)
            options.configText = image.mid(4, image.size() - 8);
        SimDevice device(options);
        QString error;
        QVERIFY2(device.Start(&error), qPrintable(error));
        Host host(device.PortPath());
        QVERIFY(host.Connect());

        QByteArray serial;
        QVERIFY2(host.SetUp(&serial), qPrintable(host.log.join('\n')));
        QCOMPARE(serial, QByteArray("SIM00001"));

        uint32_t largestWrite = 0;
        if (!preload) {
            QCOMPARE(host.Run(std::make_unique<TWriteTask>(
                              7, reinterpret_cast<const uint8_t *>(image.constData()), uint32_t(image.size()), 0,
                              host.collector.MaxPacketSize(), "запись конфигурации",
                              [&](TProgTask *t, uint32_t, uint32_t, uint32_t) {
                                  largestWrite = std::max(largestWrite, static_cast<TWriteTask *>(t)->ChunkSize());
                              }),
                          [](TWriteTask *) {}),
                 tsDone);
            QCOMPARE(largestWrite, std::min(chunk, uint32_t(size)));
        }

        QByteArray read;
        uint32_t readChunk = 0;
        QCOMPARE(host.Run(std::make_unique<TReadTask>(9, 0, host.collector.MaxPacketSize(), "чтение конфигурации"),
                          [&](TReadTask *t) {
                              read = t->Buffer();
                              readChunk = t->MaxChunk();
                          }),
                 tsDone);
        QVERIFY(read == image);
        QCOMPARE(readChunk, std::min<uint>(chunk, kMaxReadChunk));

        QCOMPARE(host.Run(std::make_unique<TVerifyConfTask>(), [](TVerifyConfTask *) {}), tsDone);
        QVERIFY(device.State().InspectConfig().check == devsim::kConfigGood);
        QVERIFY(!host.log.join('\n').contains("Ошибка"));
    }

    // A device that falls silent mid-transfer: the task runs out of time,
    // then the watchdog gives up on the link.
    void deviceFallsSilent()
    {
        DeviceOptions options;
        options.readyIntervalMs = 5;
        options.silentAfter = 6;
        SimDevice device(options);
        QString error;
        QVERIFY2(device.Start(&error), qPrintable(error));
        Host host(device.PortPath());
        host.collector.SetAnswerTimeoutScale(0.05);
        host.collector.SetLinkTimeout(600);
        QVERIFY(host.Connect());

        const QByteArray image = ConfigImage(32 * 1024);
        QCOMPARE(host.Run(std::make_unique<TWriteTask>(7, reinterpret_cast<const uint8_t *>(image.constData()),
                                                       uint32_t(image.size()), 0, 1024, "запись конфигурации"),
                          [](TWriteTask *) {}),
                 tsFailed);
        QVERIFY(host.log.contains("Ошибка: истекло время ожидания ответа на команду (запись конфигурации)."));
        QVERIFY(WaitUntil([&] { return host.collector.LinkState() == lsDisconnected; }, 3000));
        QCOMPARE(host.log.last(), QString("Timeout - нет связи либо поток данных неопознан"));
    }

    // A device outside its loader never answers the packet-size query.
    void packetSizeUnanswered()
    {
        DeviceOptions options;
        options.readyIntervalMs = 5;
        options.packetSize.reset();
        SimDevice device(options);
        QString error;
        QVERIFY2(device.Start(&error), qPrintable(error));
        Host host(device.PortPath());
        QVERIFY(host.Connect());
        QCOMPARE(host.Run(std::make_unique<TGetPackMaxSizeTask>(), [](TGetPackMaxSizeTask *) {}), tsFailed);
        QCOMPARE(host.log.last(),
                 QString("Ошибка: истекло время ожидания ответа на команду (запрос максимального размера пакета)."));
    }

    // The device program in a process of its own, the host reconnecting.
    void separateDeviceProcess()
    {
        QProcess device;
        device.start(VRS5_DEVSIM_EXE, {"--ready-interval", "5", "--serial", "ПРОЦ-7"});
        QVERIFY(device.waitForStarted(3000));
        QVERIFY(device.waitForReadyRead(3000));
        const QString port = QString::fromLocal8Bit(device.readLine()).trimmed();
        QVERIFY(port.startsWith("/dev/"));

        Host host(port);
        for (int round = 0; round < 2; ++round) {
            QVERIFY(host.Connect());
            QByteArray serial;
            QVERIFY(host.SetUp(&serial));
            QCOMPARE(QString::fromUtf8(serial), QString("ПРОЦ-7"));
            host.collector.Disconnect();
            QCOMPARE(host.collector.LinkState(), lsDisconnected);
        }
        device.terminate();
        QVERIFY(device.waitForFinished(3000));
        QCOMPARE(device.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCollectorDevsim)
#include "tst_collector_devsim.moc"
