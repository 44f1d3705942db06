// The programmer's log: its lines, the Log switch, and which log the free
// WriteLog reaches.

#include "link/frame.h"
#include "link/log_sink.h"
#include "programmer/prog_log.h"
#include "programmer/prog_settings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vrs;

class TestProgLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lines_data();
    void lines();
    void trafficFollowsTheSwitch_data();
    void trafficFollowsTheSwitch();
    void freeWriteLogReachesNewestLog();
    void clearAndSave();
    void tickCountIsMilliseconds();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TProgSettings> m_settings;
};

void TestProgLog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<TProgSettings>(m_dir->filePath("bprog.ini"));
}

void TestProgLog::cleanup()
{
    m_settings.reset();
    m_dir.reset();
}

void TestProgLog::lines_data()
{
    QTest::addColumn<bool>("logOn");
    QTest::addColumn<int>("tick");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("status line") << true << 987 << "Подключено" << QStringList{"[987] Подключено"};
    QTest::addRow("switched off") << false << 987 << "Подключено" << QStringList{};
    QTest::addRow("tick count past 2^31 prints negative")
        << true << -2147483000 << "x" << QStringList{"[-2147483000] x"};
    QTest::addRow("placeholders in the text stay")
        << true << 5 << "%1 %2 100%" << QStringList{"[5] %1 %2 100%"};
    QTest::addRow("empty text") << true << 1 << "" << QStringList{"[1] "};
}

void TestProgLog::lines()
{
    QFETCH(bool, logOn);
    QFETCH(int, tick);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);

    m_settings->MainForm().SetLog(logOn);
    TProgLog log;
    log.SetTickSource([tick] { return int32_t(tick); });
    QSignalSpy added(&log, &TProgLog::lineAdded);
    log.WriteLog(text);
    QCOMPARE(log.Lines(), expected);
    QCOMPARE(added.size(), expected.size());
    if (!expected.isEmpty())
        QCOMPARE(added.first().first().toString(), expected.first());
}

void TestProgLog::trafficFollowsTheSwitch_data()
{
    QTest::addColumn<bool>("logOn");
    QTest::addColumn<QStringList>("expected");
    QTest::addRow("on") << true << QStringList{"[7] Dev: 0A FF "};
    QTest::addRow("off") << false << QStringList{};
}

// The link logs the bytes it receives into the log as a LogSink; unticking
// "Вести лог" silences that too.
void TestProgLog::trafficFollowsTheSwitch()
{
    QFETCH(bool, logOn);
    QFETCH(QStringList, expected);

    m_settings->MainForm().SetLog(logOn);
    TProgLog log;
    log.SetTickSource([] { return int32_t(7); });
    FrameReceiver receiver;
    receiver.setHandler([](const uint8_t *, size_t) {});
    receiver.setLogSink(&log);
    const uint8_t bytes[] = {0x0A, 0xFF};
    receiver.Receive(bytes, sizeof bytes);
    QCOMPARE(log.Lines(), expected);
}

void TestProgLog::freeWriteLogReachesNewestLog()
{
    WriteLog("nobody listens");   // no log window: nothing, and no crash
    QCOMPARE(TProgLog::Current(), nullptr);

    auto first = std::make_unique<TProgLog>();
    auto second = std::make_unique<TProgLog>();
    WriteLog("to the second");
    QCOMPARE(first->Lines().size(), 0);
    QCOMPARE(second->Lines().size(), 1);

    // Destroyed out of order: the survivor is current, no dangling log.
    first.reset();
    WriteLog("still the second");
    QCOMPARE(second->Lines().size(), 2);
    second.reset();
    QCOMPARE(TProgLog::Current(), nullptr);
    WriteLog("nobody again");
}

void TestProgLog::clearAndSave()
{
    TProgLog log;
    int tick = 0;
    log.SetTickSource([&tick] { return int32_t(++tick); });
    log.WriteLog("Подключено");
    log.WriteLog("Dev: 5A A5 ");

    const QString name = m_dir->filePath("log.txt");
    QString error;
    QVERIFY2(log.SaveToFile(name, &error), qPrintable(error));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), "[1] Подключено\n[2] Dev: 5A A5 \n");

    QVERIFY(!log.SaveToFile(m_dir->filePath("no/such/folder/log.txt"), &error));
    QVERIFY(!error.isEmpty());

    QSignalSpy cleared(&log, &TProgLog::cleared);
    log.Clear();
    QCOMPARE(log.Lines().size(), 0);
    QCOMPARE(cleared.size(), 1);
}

void TestProgLog::tickCountIsMilliseconds()
{
    const int32_t before = TickCount();
    QElapsedTimer clock;
    clock.start();
    QTest::qSleep(100);
    const int64_t ticks = int64_t(uint32_t(TickCount()) - uint32_t(before));
    QVERIFY2(ticks >= 100 && ticks <= clock.elapsed() + 5, qPrintable(QString::number(ticks)));
}

QTEST_GUILESS_MAIN(TestProgLog)
#include "tst_proglog.moc"
