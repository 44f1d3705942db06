// vrs5ctl's device commands against simulated devices run as programs: what
// the tool reports and returns, and what the device holds afterwards.
#include "ctl_process.h"
#include "test_folder.h"
#include "../programmer/firmware_builder.h"

#include "config/config_file.h"
#include "config/json.h"
#include "link/crc.h"

#include <QJsonArray>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace vrs;

namespace {

const QByteArray kAsudd = R"({"a":1})";
const QByteArray kZmt = R"({"en":false,"name":"Щит 1","id":7,"app_id":3,"psw":"x","psw_def":true})";
const QByteArray kStoredSet = "{\"asudd\":" + kAsudd + ",\"whmeter\":" + kZmt + "}";
const QByteArray kNewZmt = R"({"en":true,"name":"new","id":9,"app_id":4,"psw":"","psw_def":false})";

// Quick connection settings, so that a failing connect is over soon.
const QStringList kQuick = {"--tries", "2", "--delay", "50"};

QList<int> commandCodes(const QJsonObject &dump, const QString &outcome = QStringLiteral("answered"))
{
    QList<int> codes;
    for (const QJsonValue &c : dump["commands"].toArray())
        if (c.toObject()["outcome"].toString() == outcome)
            codes << c.toObject()["code"].toInt();
    return codes;
}

QStringList deviceArgs(const QString &command, const QString &port, const QStringList &rest)
{
    return QStringList{command, "--port", port} + kQuick + rest;
}

} // namespace

class TestVrs5ctlDevice : public QObject, protected TestFolder {
    Q_OBJECT
private slots:
    void initTestCase();
    void read_data();
    void read();
    void readIntoAFile();
    void writeMergesIntoTheStoredSet_data();
    void writeMergesIntoTheStoredSet();
    void writeRefusesABadFileBeforeConnecting_data();
    void writeRefusesABadFileBeforeConnecting();
    void questionsOfTheFlows_data();
    void questionsOfTheFlows();
    void terminalAsksAndShowsProgress_data();
    void terminalAsksAndShowsProgress();
    void flash_data();
    void flash();
    void info();
    void connectionFailures_data();
    void connectionFailures();
    void interruptDisconnectsAndFails();
    void portsListsRegisteredDevices();
    void wrongCommandLines_data();
    void wrongCommandLines();
};

void TestVrs5ctlDevice::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QByteArray zmtDoc = "{\"whmeter\":" + kNewZmt + "}";
    put("zmt.json", zmtDoc);
    put("zmt.vr5", EncodeConfigText(*Parse(zmtDoc)));
    put("unknown.json", R"({"foo":1})");
    put("refused.json", R"({"whmeter":5})");
}

// The member is picked as the main window's read does: PLM falls back to
// NTRV and ZMT, NTRV to ZMT, ZMT takes only its own.
void TestVrs5ctlDevice::read_data()
{
    QTest::addColumn<QStringList>("device");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("member");   // the "whmeter" member printed, when exit 0
    QTest::addColumn<QString>("error");

    const QStringList stored{"--config-text", QString::fromUtf8(kStoredSet)};
    const QStringList zmtOnly{"--config-text", QString::fromUtf8("{\"whmeter\":" + kZmt + "}")};
    QTest::addRow("own member") << stored << "zmt" << 0 << kZmt << "";
    QTest::addRow("plm falls back to zmt") << zmtOnly << "plm" << 0 << kZmt << "прочитаны настройки ЗМТ";
    QTest::addRow("ntrv falls back to zmt") << zmtOnly << "ntrv" << 0 << kZmt << "прочитаны настройки ЗМТ";
    QTest::addRow("zmt does not take plm") << QStringList{"--config-text", R"({"asudd":{}})"} << "zmt" << 1
                                           << QByteArray() << "нет настроек ЗМТ";
    QTest::addRow("erased area") << QStringList{"--erased"} << "zmt" << 1 << QByteArray()
                                 << "Отсутствует файл конфигурации в устройстве";
    QTest::addRow("empty text") << QStringList{"--config-text", ""} << "zmt" << 1 << QByteArray()
                                << "В устройстве нет конфигурации";
    QTest::addRow("not an object") << QStringList{"--config-text", "[1,2]"} << "zmt" << 1 << QByteArray()
                                   << "не является объектом JSON";
    QTest::addRow("member the document refuses") << QStringList{"--config-text", R"({"whmeter":5})"} << "zmt"
                                                 << 1 << QByteArray() << "не загружаются";
}

void TestVrs5ctlDevice::read()
{
    QFETCH(QStringList, device);
    QFETCH(QString, type);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, member);
    QFETCH(QString, error);

    SimProcess sim(device);
    QVERIFY(!sim.Path().isEmpty());
    const CtlRun run = CtlRun::Start(deviceArgs("read", sim.Path(), {"--type", type}));
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
    QVERIFY2(run.err.contains("Запуск: Чтение конфигурации..."), qPrintable(run.err));
    // Not a terminal: no percentage drawn over the lines.
    QVERIFY(!run.err.contains('\r'));
    if (exitCode != 0) {
        QVERIFY(run.out.isEmpty());
        return;
    }
    // The document as the program would save it: readable layout, one member.
    QCOMPARE(run.out, PrintReadable(*Parse("{\"whmeter\":" + member + "}")));
}

void TestVrs5ctlDevice::readIntoAFile()
{
    SimProcess sim({"--config-text", QString::fromUtf8(kStoredSet)});
    const QString out = path("read.vr5");
    const CtlRun run = CtlRun::Start(deviceArgs("read", sim.Path(), {"--type", "zmt", "-o", out}));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    JsonValue root;
    QVERIFY(ReadConfigFile(out, &root, nullptr));
    QCOMPARE(PrintCompact(root), "{\"whmeter\":" + kZmt + "}");
}

void TestVrs5ctlDevice::writeMergesIntoTheStoredSet_data()
{
    QTest::addColumn<QString>("file");
    QTest::addRow(".vr5 file") << "zmt.vr5";
    QTest::addRow("JSON text") << "zmt.json";
}

void TestVrs5ctlDevice::writeMergesIntoTheStoredSet()
{
    QFETCH(QString, file);
    SimProcess sim({"--config-text", QString::fromUtf8(kStoredSet)}, path("merge.json"));
    const CtlRun run = CtlRun::Start(deviceArgs("write", sim.Path(), {path(file)}));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("Готово: Верификация конфигурации."), qPrintable(run.err));
    const QJsonObject dump = sim.Dump();
    QCOMPARE(dump["config"].toObject()["check"].toString(), "good");
    // The other member stays; the written one comes last.
    QCOMPARE(dump["config"].toObject()["text"].toString().toUtf8(),
             "{\"asudd\":" + kAsudd + ",\"whmeter\":" + kNewZmt + "}");
}

void TestVrs5ctlDevice::writeRefusesABadFileBeforeConnecting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");
    QTest::addRow("no known member") << "unknown.json" << "не является файлом конфигурации";
    QTest::addRow("document refuses it") << "refused.json" << "(ЗМТ)";
    QTest::addRow("missing") << "missing.vr5" << "cannot open";
}

void TestVrs5ctlDevice::writeRefusesABadFileBeforeConnecting()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    SimProcess sim({"--config-text", QString::fromUtf8(kStoredSet)}, path("refuse.json"));
    const CtlRun run = CtlRun::Start(deviceArgs("write", sim.Path(), {path(file)}));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
    QVERIFY(!run.err.contains("Подключение"));
    const QJsonObject dump = sim.Dump();
    QVERIFY(dump["commands"].toArray().isEmpty());
    QCOMPARE(dump["config"].toObject()["text"].toString().toUtf8(), kStoredSet);
}

// Every question is answered by --yes or --no; with neither and no terminal
// the answer is no.
void TestVrs5ctlDevice::questionsOfTheFlows_data()
{
    QTest::addColumn<QStringList>("device");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stored");   // the text afterwards; empty: unchanged

    const QStringList badCrc{"--config-text", QString::fromUtf8(kStoredSet), "--config-bad-crc"};
    const QString merged = QString::fromUtf8("{\"asudd\":" + kAsudd + ",\"whmeter\":" + kNewZmt + "}");
    const QString alone = QString::fromUtf8("{\"whmeter\":" + kNewZmt + "}");
    QTest::addRow("read, CRC mismatch, yes") << badCrc << "read" << "--yes" << 0 << "";
    QTest::addRow("read, CRC mismatch, no") << badCrc << "read" << "--no" << 1 << "";
    QTest::addRow("read, CRC mismatch, nobody to ask") << badCrc << "read" << "" << 1 << "";
    QTest::addRow("write, CRC mismatch, yes merges") << badCrc << "write" << "--yes" << 0 << merged;
    QTest::addRow("write, CRC mismatch, no") << badCrc << "write" << "--no" << 1 << "";
    QTest::addRow("write, erased, yes writes it alone") << QStringList{"--erased"} << "write" << "--yes" << 0
                                                        << alone;
    QTest::addRow("write, erased, nobody to ask") << QStringList{"--erased"} << "write" << "" << 1 << "";
}

void TestVrs5ctlDevice::questionsOfTheFlows()
{
    QFETCH(QStringList, device);
    QFETCH(QString, command);
    QFETCH(QString, answer);
    QFETCH(int, exitCode);
    QFETCH(QString, stored);

    SimProcess sim(device, path("questions.json"));
    QStringList rest = command == "read" ? QStringList{"--type", "zmt"} : QStringList{path("zmt.json")};
    if (!answer.isEmpty())
        rest << answer;
    const CtlRun run = CtlRun::Start(deviceArgs(command, sim.Path(), rest));
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    // The question and its answer stay in the record of the run.
    const QString said = answer == "--yes" ? "→ да (--yes)" : answer == "--no" ? "→ нет (--no)" : "нет терминала";
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    if (command == "read")
        QCOMPARE(run.out.isEmpty(), exitCode != 0);

    const QJsonObject dump = sim.Dump();
    QCOMPARE(commandCodes(dump).contains(7), !stored.isEmpty());
    if (!stored.isEmpty())
        QCOMPARE(dump["config"].toObject()["text"].toString(), stored);
}

// On a terminal the question waits for a typed answer, asking again for one
// it does not understand, and the percentage is redrawn in place.  Ctrl-C
// while it waits ends the run at once.
void TestVrs5ctlDevice::terminalAsksAndShowsProgress_data()
{
    QTest::addColumn<bool>("interrupt");
    QTest::addRow("answered") << false;
    QTest::addRow("interrupted") << true;
}

void TestVrs5ctlDevice::terminalAsksAndShowsProgress()
{
    QFETCH(bool, interrupt);
    const QByteArray big = "{\"whmeter\":{\"name\":\"" + QByteArray(6000, 'n') + "\"}}";
    SimProcess sim({"--config-text", QString::fromUtf8(big), "--config-bad-crc"});
    int master = -1;
    int slave = -1;
    QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QProcess p;
    // The terminal becomes the tool's controlling terminal, standard input
    // and standard error; standard output stays a pipe for the document.
    p.setChildProcessModifier([slave] {
        ::setsid();
        ::ioctl(slave, TIOCSCTTY, 0);
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDERR_FILENO);
    });
    p.start(VRS5CTL_PATH, deviceArgs("read", sim.Path(), {"--type", "zmt"}));
    QVERIFY(p.waitForStarted());
    ::close(slave);
    QByteArray screen;
    auto waitFor = [&](const QByteArray &text) {
        return QTest::qWaitFor([&] {
            char buffer[4096];
            ssize_t n;
            while ((n = ::read(master, buffer, sizeof buffer)) > 0)
                screen.append(buffer, int(n));
            return screen.contains(text);
        }, 15000);
    };
    QVERIFY2(waitFor("[y/N] "), screen.constData());
    if (interrupt) {
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(5000));
        waitFor("Прервано.");
        ::close(master);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(screen.contains("→ нет (прервано)") && screen.contains("Отключено."), screen.constData());
        QVERIFY(p.readAllStandardOutput().isEmpty());
        return;
    }
    QVERIFY(::write(master, "maybe\n", 6) == 6);
    QVERIFY2(waitFor("Ответьте y (да) или n (нет): "), screen.constData());
    QVERIFY(::write(master, "y\n", 2) == 2);
    QVERIFY(p.waitForFinished(15000));
    waitFor("Отключено.");
    ::close(master);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("\"whmeter\""));
    // Image of 4 + text + 4 bytes, read in 1024-byte chunks.
    const QString shown = QString::fromUtf8(screen);
    const QRegularExpression percent(QStringLiteral("\r +\\d+% \\(\\d+/%1\\)").arg(big.size() + 8));
    QVERIFY2(shown.count(percent) >= 3, screen.constData());
    QVERIFY(screen.contains("Контрольная сумма файла конфигурации не воспадает!"));
}

void TestVrs5ctlDevice::flash_data()
{
    QTest::addColumn<bool>("validFile");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::addRow("one block") << true << 1 << 0 << "Прошивка успешно записана.";
    QTest::addRow("two blocks") << true << 2 << 0 << "Прошивка успешно записана.";
    QTest::addRow("no blocks") << true << 0 << 1 << "Нет блоков данных для записи";
    QTest::addRow("damaged file") << false << 1 << 1 << "file CRC error";
}

void TestVrs5ctlDevice::flash()
{
    QFETCH(bool, validFile);
    QFETCH(int, blocks);
    QFETCH(int, exitCode);
    QFETCH(QString, error);

    FirmwareBuilder fw;
    for (int i = 0; i < blocks; ++i) {
        const QByteArray data(2500 + 300 * i, char('A' + i));
        fw.blocks.push_back({uint32_t(0x08000000 + 0x10000 * i), data,
                             Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))});
    }
    QByteArray image = fw.Build();
    if (!validFile)
        image[image.size() - 1] = char(image[image.size() - 1] ^ 0x55);
    put("image.vff", image);

    SimProcess sim({"--packet-size", "1024"}, path("flash.json"));
    const CtlRun run = CtlRun::Start(deviceArgs("flash", sim.Path(), {path("image.vff")}));
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));

    const QJsonObject dump = sim.Dump();
    if (!validFile) {
        QVERIFY(!run.err.contains("Подключение"));
        QVERIFY(dump["commands"].toArray().isEmpty());
        return;
    }
    const QJsonArray memory = dump["firmware"].toArray();
    QCOMPARE(memory.size(), blocks);
    for (int i = 0; i < blocks; ++i) {
        const QJsonObject range = memory[i].toObject();
        QCOMPARE(uint32_t(range["address"].toDouble()), fw.blocks[size_t(i)].address);
        QCOMPARE(QByteArray::fromHex(range["data"].toString().toLatin1()), fw.blocks[size_t(i)].data);
    }
    if (blocks > 0)
        QCOMPARE(uint32_t(dump["executionPoint"].toDouble()), 0x08000000u);
    else
        QVERIFY(dump["executionPoint"].isNull());
}

void TestVrs5ctlDevice::info()
{
    SimProcess sim({"--serial", "ВРС 12", "--packet-size", "4096"}, path("info.json"));
    const CtlRun run = CtlRun::Start(deviceArgs("info", sim.Path(), {}));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("serial=ВРС 12\npacket-size=4096\n"));
    QVERIFY2(run.err.contains("Отключено."), qPrintable(run.err));
    // Only the set-up: nothing read or written.
    QCOMPARE(commandCodes(sim.Dump()), (QList<int>{6, 3}));
}

void TestVrs5ctlDevice::connectionFailures_data()
{
    QTest::addColumn<QStringList>("device");   // empty: no device at all
    QTest::addColumn<QString>("error");
    QTest::addRow("no such port") << QStringList() << "Не удалось подключиться к порту";
    QTest::addRow("device outside its loader") << QStringList{"--no-packet-size"} << "режиме загрузчика";
    QTest::addRow("device that never speaks") << QStringList{"--ready-interval", "1000000"} << "не отвечает";
}

void TestVrs5ctlDevice::connectionFailures()
{
    QFETCH(QStringList, device);
    QFETCH(QString, error);
    std::unique_ptr<SimProcess> sim;
    QString port = path("no-such-port");
    if (!device.isEmpty()) {
        sim = std::make_unique<SimProcess>(device);
        port = sim->Path();
    }
    const CtlRun run = CtlRun::Start(deviceArgs("info", port, {}), QByteArray(), 90000);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
}

// Ctrl-C during a run still ends it through the disconnection, with a
// failure code rather than a kill.
void TestVrs5ctlDevice::interruptDisconnectsAndFails()
{
    SimProcess sim({"--ready-interval", "1000000"});
    QProcess p;
    p.start(VRS5CTL_PATH, deviceArgs("info", sim.Path(), {}));
    QVERIFY(p.waitForStarted());
    p.closeWriteChannel();
    QVERIFY(QTest::qWaitFor([&] { return p.readAllStandardError().contains("Подключение..."); }, 5000));
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains("Отключено.") && err.contains("Прервано."), qPrintable(err));
}

void TestVrs5ctlDevice::portsListsRegisteredDevices()
{
    const CtlRun none = CtlRun::Start({"ports"});
    QCOMPARE(none.exitCode, 1);
    QVERIFY2(none.err.contains("Нет доступных COM-портов!"), qPrintable(none.err));

    SimProcess sim({"--register"});
    QVERIFY(!sim.Path().isEmpty());
    for (const QStringList &args : {QStringList{"ports"}, QStringList{"ports", "--all"}}) {
        const CtlRun run = CtlRun::Start(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.split('\n').contains(
                     (sim.Path() + '\t' + sim.Path() + "\tVRS-5 simulated device").toUtf8()),
                 run.out.constData());
    }
    const CtlRun unknown = CtlRun::Start(deviceArgs("info", "ttyNOSUCHPORT", {}));
    QCOMPARE(unknown.exitCode, 1);
    QVERIFY2(unknown.err.contains("Порт «ttyNOSUCHPORT» не найден"), qPrintable(unknown.err));
}

void TestVrs5ctlDevice::wrongCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addRow("no port") << QStringList{"info"};
    QTest::addRow("read without type") << QStringList{"read", "--port", "/dev/null"};
    QTest::addRow("read unknown type") << QStringList{"read", "--port", "/dev/null", "--type", "vrs"};
    QTest::addRow("yes and no") << QStringList{"write", "--port", "/dev/null", "--yes", "--no", "f.json"};
    QTest::addRow("write without file") << QStringList{"write", "--port", "/dev/null"};
    QTest::addRow("zero tries") << QStringList{"info", "--port", "/dev/null", "--tries", "0"};
    QTest::addRow("delay not a number") << QStringList{"info", "--port", "/dev/null", "--delay", "soon"};
    QTest::addRow("ports with a port") << QStringList{"ports", "--port", "/dev/null"};
}

void TestVrs5ctlDevice::wrongCommandLines()
{
    QFETCH(QStringList, args);
    const CtlRun run = CtlRun::Start(args);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("usage: vrs5ctl " + args.first()), qPrintable(run.err));
    QVERIFY(!run.err.contains("Подключение"));
}

QTEST_GUILESS_MAIN(TestVrs5ctlDevice)
#include "tst_vrs5ctl_device.moc"
