#include "link/com_provider.h"
#include "link/task_collector.h"
#include "link/task_query.h"
#include "link/task_transfer.h"

#include "tst_collector_rig.h"
#include "tst_dao_fake_port.h"

#include <QElapsedTimer>
#include <QTest>

using namespace vrs;

class TestCollector : public QObject {
    Q_OBJECT

private slots:
    void init() { ComBaudRate = kConnectBaudRate; }

    void readyFrameEchoedWhenIdle()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        QCOMPARE(rig.device.Frames(), QList<QByteArray>({ScriptedDevice::Ready()}));
        QVERIFY(rig.device.Junk().isEmpty());
        // A frame that is neither ready nor awaited is left unanswered.
        rig.device.SendFrame(3, ScriptedDevice::U32(1));
        QTest::qWait(80);
        QCOMPARE(rig.device.Count(), 1);
        // A ready frame carrying data gets the plain ready frame back, not
        // its first ten bytes, which would be no frame at all.
        rig.device.SendFrame(0, "xyz");
        QVERIFY(rig.device.WaitForFrames(2));
        QCOMPARE(rig.device.Frames().at(1), ScriptedDevice::Ready());
        QVERIFY(rig.device.Junk().isEmpty());
    }

    void firstRequestAfterSendDelay()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.events.clear();
        QElapsedTimer timer;
        timer.start();
        rig.Add("проба");
        QCOMPARE(rig.events, QStringList({"queue start", "task проба 1", "log Запуск: проба..."}));
        QVERIFY(rig.device.WaitForFrames(2));
        QVERIFY2(timer.elapsed() >= 45, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(rig.device.Frames().at(1), ScriptedDevice::Frame(5, QByteArray(1, 5)));
    }

    void readyFrameSendsRequestAtOnce()
    {
        CollectorRig rig;
        rig.collector.SetSendDelay(5000);
        QVERIFY(rig.ConnectAndGreet());
        ProbeTask *task = rig.Add("проба");
        rig.device.SendReady();
        QVERIFY(rig.device.WaitForFrames(2, 1000));
        QCOMPARE(rig.device.Frames().at(1), ScriptedDevice::Frame(5, QByteArray(1, 5)));
        QCOMPARE(task->Attempts(), 1u);
    }

    // Every ready frame while the answer is awaited repeats the request;
    // a frame that does not settle the task after more than five requests
    // fails it.
    void attemptLimit_data()
    {
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("fails");
        QTest::addRow("five requests") << 5 << false;
        QTest::addRow("six requests") << 6 << true;
    }
    void attemptLimit()
    {
        QFETCH(int, requests);
        QFETCH(bool, fails);
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        ProbeTask *task = rig.Add("проба");
        QVERIFY(rig.device.WaitForFrames(2));
        for (int i = 1; i < requests; ++i) {
            rig.device.SendReady();
            QVERIFY(rig.device.WaitForFrames(2 + i));
        }
        QCOMPARE(rig.device.Count(5), requests);
        for (const QByteArray &frame : rig.device.Frames().mid(1))
            QCOMPARE(frame, rig.device.Frames().at(1));
        QCOMPARE(task->Attempts(), uint32_t(requests));

        rig.device.SendFrame(0x33, QByteArray(1, 0));
        const QString failure = "log Ошибка: истекло количество попыток выполнить команду (проба).";
        if (fails) {
            QVERIFY(rig.WaitFor(failure));
            QVERIFY(rig.events.contains("task проба 2"));
        } else {
            QTest::qWait(50);
            QVERIFY(!rig.events.contains(failure));
            QCOMPARE(task->State(), tsRunning);
        }
    }

    void answerTimeout_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("expectedMs");
        QTest::addColumn<QString>("caption");
        QTest::addRow("packet size query, 100 ms") << "packet" << 1.0 << 100
                                                   << "запрос максимального размера пакета";
        QTest::addRow("ordinary task, 6000 ms scaled down") << "probe" << 0.01 << 60 << "проба";
    }
    void answerTimeout()
    {
        QFETCH(QString, kind);
        QFETCH(double, scale);
        QFETCH(int, expectedMs);
        QFETCH(QString, caption);
        CollectorRig rig;
        rig.collector.SetAnswerTimeoutScale(scale);
        QVERIFY(rig.ConnectAndGreet());
        QElapsedTimer timer;
        timer.start();
        if (kind == "packet")
            rig.collector.AddTask(std::make_unique<TGetPackMaxSizeTask>(), rig.Track());
        else
            rig.Add(caption);
        const QString failure = "log Ошибка: истекло время ожидания ответа на команду (" + caption + ").";
        QVERIFY(rig.WaitFor(failure));
        // Coarse timers may fire up to 5 % early.
        QVERIFY2(timer.elapsed() >= expectedMs * 0.94 && timer.elapsed() < expectedMs + 400,
                 qPrintable(QString::number(timer.elapsed())));
        QVERIFY(rig.events.contains("queue finish"));
    }

    // The time-out runs from the start and from every confirmed chunk;
    // requests repeated at ready frames do not extend it.
    void timeoutRestartsWithEachChunk()
    {
        CollectorRig rig;
        rig.collector.SetAnswerTimeoutScale(300.0 / 6000);
        QVERIFY(rig.ConnectAndGreet());
        int chunks = 0;
        rig.device.onFrame = [&](const QByteArray &frame) {
            if (uint8_t(frame.at(8)) != 5)
                return;
            const char status = ++chunks < 5 ? char(0xEE) : char(0);
            QTimer::singleShot(80, &rig.collector, [&rig, status] {
                rig.device.SendFrame(5, QByteArray(1, status));
                rig.device.SendReady();
            });
        };
        rig.Add("куски");
        QVERIFY2(rig.WaitFor("log Готово: куски."), qPrintable(rig.events.join('|')));
        QCOMPARE(chunks, 5);

        rig.device.onFrame = nullptr;
        QElapsedTimer timer;
        timer.start();
        rig.Add("молчание");
        QTimer ready;
        QObject::connect(&ready, &QTimer::timeout, [&] { rig.device.SendReady(); });
        ready.start(30);
        QVERIFY(rig.WaitFor("log Ошибка: истекло время ожидания ответа на команду (молчание)."));
        QVERIFY(timer.elapsed() < 1000);
    }

    void multiChunkWriteWithRealTask()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        QByteArray stored;
        rig.device.onFrame = [&](const QByteArray &frame) {
            if (uint8_t(frame.at(8)) != 7)
                return;
            const QByteArray data = frame.mid(9, frame.size() - 10);
            stored += data.mid(8);
            rig.device.SendFrame(7, data.left(8) + QByteArray(1, 0));
            rig.device.SendReady();
        };
        QByteArray source(2500, Qt::Uninitialized);
        for (int i = 0; i < source.size(); ++i)
            source[i] = char(i * 13);
        QList<uint32_t> positions;
        rig.collector.AddTask(std::make_unique<TWriteTask>(
                                  7, reinterpret_cast<const uint8_t *>(source.constData()), uint32_t(source.size()),
                                  0, rig.collector.MaxPacketSize(), "запись",
                                  [&](TProgTask *, uint32_t, uint32_t position, uint32_t) { positions << position; }),
                              rig.Track());
        QVERIFY(rig.WaitFor("log Готово: запись."));
        QCOMPARE(positions, QList<uint32_t>({0, 1024, 2048}));
        QVERIFY(stored == source);
    }

    void twoTasksBackToBack()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.AnswerRequests();
        rig.events.clear();
        rig.Add("A");
        rig.Add("B");
        QVERIFY(rig.WaitFor("destroyed B"));
        QCOMPARE(rig.events, QStringList({"queue start", "task A 1", "log Запуск: A...",
                                          "task A 3", "log Готово: A.",
                                          "task B 1", "log Запуск: B...", "destroyed A",
                                          "task B 3", "log Готово: B.", "queue finish", "destroyed B"}));
        for (QObject *sender : rig.logSenders)
            QCOMPARE(sender, &rig.collector);
    }

    void taskAddedFromCallbackStartsAfterTheFinishLine()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.AnswerRequests();
        rig.events.clear();
        auto task = std::make_unique<ProbeTask>(5, "A", rig.events);
        rig.collector.AddTask(std::move(task), [&](TProgTask *t, TaskState state, QString &) {
            rig.events << QString("task A %1").arg(int(state));
            if (state == tsDone)
                rig.Add("C");
            // Not started yet: the finishing task's line comes first.
            QCOMPARE(rig.collector.CurrentTask(), t);
        });
        QVERIFY(rig.WaitFor("destroyed C"));
        QCOMPARE(rig.events, QStringList({"queue start", "task A 1", "log Запуск: A...",
                                          "task A 3", "log Готово: A.",
                                          "task C 1", "log Запуск: C...", "destroyed A",
                                          "task C 3", "log Готово: C.", "queue finish", "destroyed C"}));
    }

    void callbackRewritesTheLogLine()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.AnswerRequests(0xFE);
        rig.events.clear();
        rig.collector.AddTask(std::make_unique<ProbeTask>(5, "A", rig.events),
                              [](TProgTask *, TaskState state, QString &text) {
                                  if (state == tsRunning)
                                      text.clear();
                                  else
                                      text = "Не вышло. " + text;
                              });
        QVERIFY(rig.WaitFor("destroyed A"));
        QCOMPARE(rig.events, QStringList({"queue start", "log Не вышло. Ошибка: статус -2 (A).",
                                          "queue finish", "destroyed A"}));
    }

    void taskWaitsForTheLink()
    {
        CollectorRig rig;
        rig.collector.SetAnswerTimeoutScale(0.005);
        rig.AnswerRequests();
        rig.Add("A");
        QTest::qWait(100);
        QVERIFY(!rig.events.contains("task A 2"));
        QCOMPARE(rig.device.Count(), 0);
        rig.collector.Connect();
        rig.device.SendReady();
        QVERIFY(rig.WaitFor("log Готово: A."));
        QCOMPARE(rig.device.Frames().first(), ScriptedDevice::Frame(5, QByteArray(1, 5)));
    }

    void disconnectDropsTasksSilently()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.Add("A");
        rig.Add("B");
        QVERIFY(rig.device.WaitForFrames(2));
        rig.events.clear();
        rig.collector.Disconnect();
        QCOMPARE(rig.events, QStringList({"destroyed A", "destroyed B", "link 2", "link 3"}));
        QCOMPARE(rig.collector.QueueCount(), 0);
        QCOMPARE(rig.collector.CurrentTask(), nullptr);
        QCOMPARE(ComBaudRate, kIdleBaudRate);

        // A fresh start reports a busy queue again.
        ComBaudRate = kConnectBaudRate;
        QVERIFY(rig.ConnectAndGreet());
        rig.events.clear();
        rig.Add("C");
        QCOMPARE(rig.events.first(), QString("queue start"));
    }

    // A task's own callback may end the connection: the task lives until
    // the callback has returned.
    void disconnectFromTaskCallback()
    {
        CollectorRig rig;
        QVERIFY(rig.ConnectAndGreet());
        rig.AnswerRequests(1);
        rig.events.clear();
        rig.collector.AddTask(std::make_unique<ProbeTask>(5, "A", rig.events),
                              [&](TProgTask *task, TaskState state, QString &) {
                                  if (state != tsFailed)
                                      return;
                                  rig.collector.Disconnect();
                                  rig.events << "after disconnect " + task->Caption();
                              });
        rig.Add("B");
        QVERIFY(rig.WaitFor("destroyed A"));
        QTest::qWait(20);
        QCOMPARE(rig.events.indexOf("after disconnect A") < rig.events.indexOf("destroyed A"), true);
        QVERIFY(rig.events.contains("destroyed B"));
        QVERIFY(!rig.events.contains("task B 1"));
        QCOMPARE(rig.collector.LinkState(), lsDisconnected);
    }

    void watchdog()
    {
        CollectorRig rig;
        rig.collector.SetLinkTimeout(150);
        QVERIFY(rig.ConnectAndGreet());
        // Frames keep the link alive.
        QTimer ready;
        QObject::connect(&ready, &QTimer::timeout, [&] { rig.device.SendReady(); });
        ready.start(40);
        QTest::qWait(400);
        QCOMPARE(rig.collector.LinkState(), lsConnected);
        ready.stop();
        rig.events.clear();
        QVERIFY(rig.WaitFor("link 3", 1000));
        QCOMPARE(rig.events, QStringList({"log Timeout - нет связи либо поток данных неопознан",
                                          "link 2", "link 3"}));
        QCOMPARE(ComBaudRate, kIdleBaudRate);
    }

    void watchdogWhileConnecting()
    {
        CollectorRig rig;
        rig.collector.SetLinkTimeout(100);
        rig.collector.Connect();
        QCOMPARE(rig.collector.LinkState(), lsConnecting);
        QVERIFY(rig.WaitFor("link 3", 1000));
        QVERIFY(rig.events.contains("log Timeout - нет связи либо поток данных неопознан"));
    }

    // The owner resets the link when it lost it without asking (the
    // watchdog): the old link goes while its disconnection is reported.
    void resetLinkAfterLoss()
    {
        CollectorRig rig;
        rig.collector.SetLinkTimeout(100);
        TDAO *first = nullptr;
        rig.collector.SetOnLinkStateChange([&](QObject *, TLinkState state) {
            rig.events << QString("link %1").arg(int(state));
            if (state == lsDisconnected)
                rig.collector.ResetLink();
        });
        QVERIFY(rig.ConnectAndGreet());
        first = rig.collector.Link();
        QVERIFY(rig.WaitFor("link 3", 1000));
        QVERIFY(rig.collector.Link() != first);
        QCOMPARE(rig.collector.LinkState(), lsDisconnected);
        ComBaudRate = kConnectBaudRate;
        QVERIFY(rig.ConnectAndGreet());
    }

    // Replacing the link from inside the handling of its own frame.
    void resetLinkWhileHandlingAFrame()
    {
        CollectorRig rig;
        rig.collector.SetOnLinkStateChange([&](QObject *, TLinkState state) {
            if (state == lsConnected)
                rig.collector.ResetLink();
        });
        rig.collector.Connect();
        rig.device.Send(ScriptedDevice::Ready() + ScriptedDevice::Ready());
        QTest::qWait(50);
        QCOMPARE(rig.collector.LinkState(), lsDisconnected);
        QCOMPARE(rig.device.Count(), 0);
    }

    void connectRefusedIsLoggedByTheLink()
    {
        CollectorRig rig;
        rig.collector.SetPortNameSource([] { return QString("COM999"); });
        rig.collector.Connect();
        QCOMPARE(rig.events, QStringList({"link 0", "link 3",
                                          "log Не удалось подключиться к устройству: Ошибка подключения к COM999: "
                                          "Невозможно открыть порт!"}));
        QCOMPARE(rig.logSenders, QList<QObject *>({rig.collector.Link()}));
    }

    // The port opens at the connection rate and is switched to the idle rate
    // before it is closed; the port name is asked for when connecting.
    void baudRateAroundAConnection()
    {
        auto script = std::make_shared<FakePortScript>();
        TTaskCollector collector([script](TDAO *owner) {
            return std::make_unique<TComProvider>(owner, std::make_unique<FakePort>(script));
        });
        QString port = "COM1";
        collector.SetPortNameSource([&] { return port; });
        port = "COM8";
        collector.Connect();
        QCOMPARE(script->calls.mid(0, 3), QStringList({"parity", "baud 10417", "open //./COM8"}));
        script->calls.clear();
        collector.Disconnect();
        QCOMPARE(ComBaudRate, kIdleBaudRate);
        const qsizetype baud = script->calls.indexOf("baud 115200");
        QVERIFY(baud >= 0 && baud < script->calls.indexOf("close"));
    }

    void maxPacketSize_data()
    {
        QTest::addColumn<uint>("given");
        QTest::addColumn<uint>("kept");
        QTest::addRow("above a frame") << 20000u << 16393u;
        QTest::addRow("at the bound") << 16393u << 16393u;
        QTest::addRow("small") << 512u << 512u;
    }
    void maxPacketSize()
    {
        QFETCH(uint, given);
        QFETCH(uint, kept);
        TTaskCollector collector;
        QCOMPARE(collector.MaxPacketSize(), 1024u);
        collector.SetMaxPacketSize(given);
        QCOMPARE(collector.MaxPacketSize(), kept);
    }
};

QTEST_GUILESS_MAIN(TestCollector)
#include "tst_collector.moc"
