// The programmer controller against the simulated device on a pseudo-
// terminal: real serial port, link, collector and tasks end to end.
#include "firmware_builder.h"
#include "scripted_prompt.h"

#include "devsim/sim_device.h"
#include "link/crc.h"
#include "programmer/programmer_controller.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace vrs;
using devsim::DeviceOptions;
using devsim::SimDevice;

namespace {

// One device and one programmer session over it.
struct Session {
    std::unique_ptr<SimDevice> device;
    ScriptedPrompt prompt;
    QStringList statuses;   // outlives the controller, which reports while it closes
    std::unique_ptr<ProgrammerController> ctl;

    Session(const DeviceOptions &options, DeviceType type, ProgrammerMode mode,
            const QByteArray &document = {})
        : device(std::make_unique<SimDevice>(options))
    {
        QString error;
        if (!device->Start(&error))
            qFatal("simulated device: %s", qPrintable(error));
        ctl = std::make_unique<ProgrammerController>(type, mode, document, &prompt);
        ProgrammerController::Timing timing;
        timing.connectTries = 3;
        timing.connectDelayMs = 20;
        timing.loaderRetryMs = 100;
        timing.jobDelayMs = 10;
        ctl->SetTiming(timing);
        ctl->SetPortName(device->PortPath());
        QObject::connect(ctl.get(), &ProgrammerController::statusChanged,
                         [this](const QString &s) { statuses << s; });
    }

    bool SetUp()
    {
        ctl->Connect();
        return QTest::qWaitFor([this] { return ctl->CommandEnabled(); }, 10000);
    }

    // Runs the job and waits for its end; returns whether it succeeded.
    bool Run(const std::function<void()> &start, int timeoutMs = 20000)
    {
        QSignalSpy finished(ctl.get(), &ProgrammerController::jobFinished);
        start();
        if (!QTest::qWaitFor([&] { return !finished.isEmpty(); }, timeoutMs))
            return false;
        // Let the collector finish its last lines.
        QTest::qWait(30);
        return finished.first().first().toBool();
    }

    QList<int> CommandCodes(const QString &outcome = QStringLiteral("answered")) const
    {
        QList<int> codes;
        for (const auto &c : device->Commands())
            if (c.outcome == outcome)
                codes << c.code;
        return codes;
    }
    QString StoredText() const { return QString::fromUtf8(device->State().InspectConfig().text); }
};

// Command codes as text, so a failed comparison shows the whole sequence.
QString Codes(const QList<int> &codes)
{
    QStringList parts;
    for (int c : codes)
        parts << QString::number(c);
    return parts.join(u' ');
}

DeviceOptions WithConfig(const QByteArray &text, bool goodCrc = true)
{
    DeviceOptions o;
    o.configText = text;
    o.configBadCrc = !goodCrc;
    return o;
}

const QByteArray kStoredSet = R"({"asudd":{"a":1},"whmeter":{"w":2}})";

} // namespace

class TstProgrammerController : public QObject {
    Q_OBJECT
private slots:
    void readHandsBackTheStoredSet();
    void readOfAnErasedAreaFails();
    void crcMismatchAsksTheUser_data();
    void crcMismatchAsksTheUser();
    void writeMergesIntoTheStoredSet_data();
    void writeMergesIntoTheStoredSet();
    void writeAfterAFailedRead_data();
    void writeAfterAFailedRead();
    void failedVerificationOffersARewrite();
    void largeConfigurationInManyChunks();
    void flashing_data();
    void flashing();
    void failedBlockStopsTheFlash();
    void badFirmwareFileTouchesNothing();
    void loaderRetryWhenPacketSizeIsNotAnswered();
    void failedConnectAllowsANewOne();
    void lostLinkIsSetUpAgainOnReconnect();
    void readModeUsesDefaultChunksWithoutPacketSizeQuery();
    void disconnectDuringAJobEndsIt();
};

void TstProgrammerController::readHandsBackTheStoredSet()
{
    Session s(WithConfig(kStoredSet), dtPLM, pmReadConfig);
    QVERIFY(s.SetUp());
    QCOMPARE(s.ctl->SerialNumber(), QStringLiteral("SIM00001"));
    QVERIFY(s.Run([&] { s.ctl->RunTransfer(); }));
    QCOMPARE(s.ctl->Result(), kStoredSet);
    QVERIFY(s.prompt.questions.isEmpty());
    QVERIFY(s.statuses.contains(QStringLiteral("Готово: Чтение конфигурации.")));
}

void TstProgrammerController::readOfAnErasedAreaFails()
{
    Session s(DeviceOptions(), dtZMT, pmReadConfig);
    QVERIFY(s.SetUp());
    QVERIFY(!s.Run([&] { s.ctl->RunTransfer(); }));
    QVERIFY(s.ctl->Result().isEmpty());
    QVERIFY(s.prompt.questions.isEmpty());
    QVERIFY2(s.ctl->LastStatus().startsWith(QStringLiteral("Не удалось прочитать файл. Ошибка: ")), qPrintable(s.ctl->LastStatus()));
    QVERIFY(s.ctl->LastStatus().contains(QStringLiteral("Отсутствует файл конфигурации в устройстве")));
}

void TstProgrammerController::crcMismatchAsksTheUser_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addRow("yes") << true;
    QTest::addRow("no") << false;
}

void TstProgrammerController::crcMismatchAsksTheUser()
{
    QFETCH(bool, answer);
    Session s(WithConfig(kStoredSet, false), dtPLM, pmReadConfig);
    s.prompt.answers = {answer};
    QVERIFY(s.SetUp());
    QCOMPARE(s.Run([&] { s.ctl->RunTransfer(); }), answer);
    QCOMPARE(s.prompt.questions,
             QStringList{QStringLiteral("Контрольная сумма файла конфигурации не воспадает!\r\nПродолжить")});
    QVERIFY(s.statuses.contains(QStringLiteral("Ошибка проверки CRC")));
    QCOMPARE(s.ctl->Result(), answer ? kStoredSet : QByteArray());
}

void TstProgrammerController::writeMergesIntoTheStoredSet_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("stored");
    QTest::addRow("replaces its own member") << int(dtPLM) << QByteArray(R"({"asudd":{"b":3}})")
                                             << R"({"whmeter":{"w":2},"asudd":{"b":3}})";
    QTest::addRow("adds a new member") << int(dtNTRV) << QByteArray(R"({"ntrv":{"n":4}})")
                                       << R"({"asudd":{"a":1},"whmeter":{"w":2},"ntrv":{"n":4}})";
}

void TstProgrammerController::writeMergesIntoTheStoredSet()
{
    QFETCH(int, type);
    QFETCH(QByteArray, document);
    QFETCH(QString, stored);
    Session s(WithConfig(kStoredSet), DeviceType(type), pmWriteConfig, document);
    QVERIFY(s.SetUp());
    QVERIFY(s.Run([&] { s.ctl->RunTransfer(); }));
    QCOMPARE(s.StoredText(), stored);
    QCOMPARE(Codes(s.CommandCodes().mid(2)), QStringLiteral("9 7 8"));
    QVERIFY(s.statuses.contains(QStringLiteral("Конфигурация успещно записана. Готово: Запись конфигурации.")));
    QVERIFY(s.prompt.questions.isEmpty());
}

void TstProgrammerController::writeAfterAFailedRead_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addRow("yes writes the document alone") << true;
    QTest::addRow("no writes nothing") << false;
}

void TstProgrammerController::writeAfterAFailedRead()
{
    QFETCH(bool, answer);
    const QByteArray document = R"({"whmeter":{"en":true}})";
    Session s(DeviceOptions(), dtZMT, pmWriteConfig, document);
    s.prompt.answers = {answer};
    QVERIFY(s.SetUp());
    QCOMPARE(s.Run([&] { s.ctl->RunTransfer(); }), answer);
    QCOMPARE(s.prompt.questions.size(), 1);
    QVERIFY(s.prompt.questions.first().startsWith(QStringLiteral("Записанная конфигурация повреждена!")));
    QCOMPARE(s.CommandCodes().contains(7), answer);
    QCOMPARE(s.StoredText(), answer ? QString::fromUtf8(document) : QString());
}

void TstProgrammerController::failedVerificationOffersARewrite()
{
    Session s(WithConfig(kStoredSet), dtZMT, pmWriteConfig, R"({"whmeter":{"w":9}})");
    s.prompt.answers = {true};
    // Spoil the image right after the first write, as a flaky memory would.
    bool spoiled = false;
    connect(s.device.get(), &SimDevice::requestHandled, this, [&](const devsim::CommandRecord &r) {
        if (r.code == 7 && !spoiled) {
            spoiled = true;
            s.device->State().ConfigArea().Write(6, "#");
        }
    });
    QVERIFY(s.SetUp());
    QVERIFY(s.Run([&] { s.ctl->RunTransfer(); }));
    QCOMPARE(s.prompt.questions, QStringList{QStringLiteral("Ошибка верификации конфигурации!\r\nПовторить запись?")});
    // The rewrite sends the merged set again without reading first.
    QCOMPARE(Codes(s.CommandCodes().mid(2)), QStringLiteral("9 7 8 7 8"));
    QCOMPARE(s.StoredText(), QStringLiteral(R"({"asudd":{"a":1},"whmeter":{"w":9}})"));
}

void TstProgrammerController::largeConfigurationInManyChunks()
{
    QByteArray big = "{\"asudd\":{\"pad\":\"" + QByteArray(64 * 1024, 'x') + "\"}}";
    DeviceOptions options = WithConfig(big);
    options.packetSize = 4096;
    Session s(options, dtZMT, pmWriteConfig, R"({"whmeter":{"w":1}})");
    QVERIFY(s.SetUp());
    QSignalSpy progress(s.ctl.get(), &ProgrammerController::progressChanged);
    QVERIFY(s.Run([&] { s.ctl->RunTransfer(); }, 60000));
    QCOMPARE(s.StoredText(), QString::fromUtf8(big.left(big.size() - 1)) + QStringLiteral(",\"whmeter\":{\"w\":1}}"));
    QVERIFY(progress.size() > 16);
}

void TstProgrammerController::flashing_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<bool>("withEntry");
    QTest::addRow("one block") << 1 << false;
    QTest::addRow("three blocks and an entry") << 3 << true;
}

void TstProgrammerController::flashing()
{
    QFETCH(int, blocks);
    QFETCH(bool, withEntry);
    FirmwareBuilder fw;
    for (int i = 0; i < blocks; ++i) {
        QByteArray data(3000 + i * 100, char('A' + i));
        fw.blocks.push_back({uint32_t(0x08000000 + 0x10000 * i), data,
                             Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))});
    }
    if (withEntry)
        fw.executions = {0x08000200};
    DeviceOptions options;
    options.packetSize = 1024;
    Session s(options, dtNone, pmFirmware);
    QVERIFY(s.SetUp());
    QString error;
    QVERIFY(s.Run([&] { QVERIFY(s.ctl->LoadFirmware(fw.Build(), &error)); }, 60000));

    QList<int> expected;
    for (int i = 0; i < blocks; ++i) {
        const int chunks = (fw.blocks[size_t(i)].data.size() + 1023) / 1024;
        for (int c = 0; c < chunks; ++c)
            expected << 1;
        expected << 2;
    }
    expected << 4;
    QCOMPARE(Codes(s.CommandCodes().mid(2)), Codes(expected));
    for (const auto &b : fw.blocks)
        QCOMPARE(s.device->State().Firmware().Read(b.address, uint32_t(b.data.size())), b.data);
    QCOMPARE(s.device->State().ExecutionPoint().value_or(0), withEntry ? 0x08000200u : 0x08000000u);
    QCOMPARE(s.statuses.count(QStringLiteral("Прошивка успешно записана.")), 1);
    QCOMPARE(s.statuses.count(QStringLiteral("Файл успешно прочитан: блоков %1, точек вызова %2")
                                  .arg(blocks).arg(withEntry ? 1 : 0)), 1);
}

void TstProgrammerController::failedBlockStopsTheFlash()
{
    FirmwareBuilder fw;
    for (int i = 0; i < 3; ++i) {
        QByteArray data(500, char('a' + i));
        const uint32_t crc = Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
        fw.blocks.push_back({uint32_t(0x1000 * (i + 1)), data, i == 1 ? crc ^ 1 : crc});
    }
    Session s(DeviceOptions(), dtNone, pmFirmware);
    QVERIFY(s.SetUp());
    QVERIFY(!s.Run([&] { QVERIFY(s.ctl->LoadFirmware(fw.Build(), nullptr)); }));
    QTest::qWait(200);
    QCOMPARE(Codes(s.CommandCodes().mid(2)), QStringLiteral("1 2 1 2"));
    QVERIFY(!s.device->State().ExecutionPoint().has_value());
    QVERIFY(!s.statuses.contains(QStringLiteral("Прошивка успешно записана.")));
    QVERIFY(s.ctl->CommandEnabled());
}

void TstProgrammerController::badFirmwareFileTouchesNothing()
{
    Session s(DeviceOptions(), dtNone, pmFirmware);
    QVERIFY(s.SetUp());
    QString error;
    QVERIFY(!s.ctl->LoadFirmware(QByteArray(40, '\x01'), &error));
    QCOMPARE(error, QStringLiteral("Файл поврежден или не является файлом прошивки: file CRC error."));
    QCOMPARE(s.ctl->LastStatus(), error);
    QTest::qWait(100);
    QCOMPARE(Codes(s.CommandCodes()), QStringLiteral("6 3"));
}

void TstProgrammerController::loaderRetryWhenPacketSizeIsNotAnswered()
{
    DeviceOptions options;
    options.packetSize.reset();
    Session s(options, dtNone, pmFirmware);
    QSignalSpy retries(s.ctl.get(), &ProgrammerController::loaderRetryStarted);
    s.ctl->Connect();
    QVERIFY(QTest::qWaitFor([&] { return retries.size() >= 2; }, 10000));
    QVERIFY(!s.ctl->CommandEnabled());
    const QString failure = QStringLiteral("Подключиться не удалось. Возможно устройство не в режиме загрузчика. ");
    QVERIFY(std::any_of(s.statuses.begin(), s.statuses.end(), [&](const QString &t) { return t.startsWith(failure); }));
    QVERIFY(s.statuses.contains(QStringLiteral("Enable writting")));
    // The serial number is read once: the set-up mark stays clear, so only
    // the packet size is asked again... and the serial with it.
    QVERIFY(s.CommandCodes(QStringLiteral("unanswered")).count(3) >= 2);
    s.ctl->Disconnect();
    const int seen = retries.size();
    QTest::qWait(400);
    QCOMPARE(retries.size(), seen);
    QCOMPARE(s.ctl->LinkState(), lsDisconnected);
}

void TstProgrammerController::failedConnectAllowsANewOne()
{
    ScriptedPrompt prompt;
    ProgrammerController ctl(dtZMT, pmReadConfig, {}, &prompt);
    ProgrammerController::Timing timing;
    timing.connectTries = 3;
    timing.connectDelayMs = 30;
    ctl.SetTiming(timing);
    ctl.SetPortName(QStringLiteral("/dev/nonexistent-port-for-test"));
    QStringList statuses;
    connect(&ctl, &ProgrammerController::statusChanged, this, [&](const QString &t) { statuses << t; });
    QSignalSpy failed(&ctl, &ProgrammerController::connectFailed);
    QElapsedTimer clock;
    clock.start();
    ctl.Connect();
    QVERIFY(QTest::qWaitFor([&] { return !failed.isEmpty(); }, 5000));
    QVERIFY(clock.elapsed() >= 60);   // two pauses between three attempts
    QCOMPARE(statuses.count(QStringLiteral("Подключение...")), 3);
    QVERIFY(ctl.ConnectEnabled());
    QVERIFY(!ctl.IsConnecting());
}

void TstProgrammerController::lostLinkIsSetUpAgainOnReconnect()
{
    DeviceOptions mute;
    mute.silentAfter = 2;   // answers the set-up, then falls silent
    Session s(mute, dtZMT, pmWriteConfig, R"({"whmeter":{}})");
    s.ctl->Collector().SetLinkTimeout(300);
    QVERIFY(s.SetUp());
    QVERIFY(QTest::qWaitFor([&] { return s.ctl->LinkState() == lsDisconnected; }, 5000));
    QVERIFY(s.statuses.contains(QStringLiteral("Переподключение...")));
    QVERIFY(!s.ctl->CommandEnabled());

    DeviceOptions second;
    second.serial = "SECOND";
    SimDevice other(second);
    QVERIFY(other.Start(nullptr));
    s.ctl->SetPortName(other.PortPath());
    QVERIFY(s.ctl->ConnectEnabled());
    s.ctl->Connect();
    QVERIFY(QTest::qWaitFor([&] { return s.ctl->CommandEnabled(); }, 10000));
    QCOMPARE(s.ctl->SerialNumber(), QStringLiteral("SECOND"));
}

void TstProgrammerController::readModeUsesDefaultChunksWithoutPacketSizeQuery()
{
    DeviceOptions options = WithConfig(QByteArray(3000, ' ') + kStoredSet);
    options.packetSize = 4096;
    Session s(options, dtPLM, pmReadConfig);
    QVERIFY(s.SetUp());
    QVERIFY(s.Run([&] { s.ctl->RunTransfer(); }));
    QVERIFY(!s.CommandCodes().contains(3));
    for (const auto &c : s.device->Commands())
        if (c.code == 9)
            QVERIFY(c.size.value_or(0) <= 1024);
}

void TstProgrammerController::disconnectDuringAJobEndsIt()
{
    DeviceOptions options = WithConfig(kStoredSet);
    options.baud = 10417;   // slow enough to be caught in the middle
    Session s(options, dtZMT, pmWriteConfig, "{\"whmeter\":{\"pad\":\"" + QByteArray(8000, 'p') + "\"}}");
    QVERIFY(s.SetUp());
    QSignalSpy finished(s.ctl.get(), &ProgrammerController::jobFinished);
    s.ctl->RunTransfer();
    QVERIFY(QTest::qWaitFor([&] { return s.CommandCodes().contains(7); }, 20000));
    s.ctl->Disconnect();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!s.ctl->QueueBusy());
    QVERIFY(s.ctl->PageEnabled());

    // Nothing of the broken job is left to run on the next connection.
    const int writes = s.CommandCodes().count(7);
    QVERIFY(s.SetUp());
    QTest::qWait(300);
    QCOMPARE(s.CommandCodes().count(7), writes);
    QCOMPARE(finished.size(), 1);
}

QTEST_MAIN(TstProgrammerController)
#include "tst_programmer_controller.moc"
