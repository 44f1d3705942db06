// The vrs5-devsim program: its first output line, the port registry entry,
// the dump on request and at the end, and its command-line errors.

#include "devsim/port_registry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestDevsimProcess : public QObject {
    Q_OBJECT
private slots:
    void registersDumpsAndCleansUp_data();
    void registersDumpsAndCleansUp();
    void commandLine_data();
    void commandLine();
};

void TestDevsimProcess::registersDumpsAndCleansUp_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addRow("SIGTERM") << int(SIGTERM);
    QTest::addRow("SIGINT") << int(SIGINT);
}

void TestDevsimProcess::registersDumpsAndCleansUp()
{
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    const QString dump = dir.filePath("device.json");

    QProcess device;
    device.start(DEVSIM_EXE, {"--register", "--serial", "PLM 7", "--config-text",
                              R"({"asudd":{}})", "--dump", dump});
    QVERIFY(device.waitForStarted());
    QVERIFY(device.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(device.readLine()).trimmed();
    QVERIFY2(path.startsWith("/dev/pts/"), qPrintable(path));
    QVERIFY(QFile::exists(path));

    const QString entry = vrs::devsim::PortRegistryEntry::Folder()
                          + QStringLiteral("/%1.port").arg(device.processId());
    QFile registry(entry);
    QVERIFY2(registry.open(QIODevice::ReadOnly), qPrintable(entry));
    QCOMPARE(registry.readAll(), "path=" + path.toUtf8()
                                     + "\nvid=28E9\npid=018A\ndescription=VRS-5 simulated device\n"
                                       "serial=PLM 7\n");
    registry.close();

    ::kill(pid_t(device.processId()), SIGUSR1);
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dump); }, 5000));
    QFile::remove(dump);

    ::kill(pid_t(device.processId()), signalNumber);
    QVERIFY(device.waitForFinished(5000));
    QCOMPARE(device.exitStatus(), QProcess::NormalExit);
    QCOMPARE(device.exitCode(), 0);
    QVERIFY(!QFile::exists(entry));

    QFile out(dump);
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QJsonObject state = QJsonDocument::fromJson(out.readAll()).object();
    QCOMPARE(state["serial"].toString(), "PLM 7");
    QCOMPARE(state["config"].toObject()["text"].toString(), R"({"asudd":{}})");
}

void TestDevsimProcess::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected");   // in stdout for 0, else in stderr

    QTest::addRow("help lists every option")
        << QStringList{"--help"} << 0
        << "--serial --packet-size --no-packet-size --config-json --config-text "
           "--config-bad-crc --erased --ready-interval --baud --answer-delay --drop-every "
           "--drop --junk --split --split-pause --silent-after --answer-repeats --dump "
           "--register --verbose";
    QTest::addRow("unknown option") << QStringList{"--frobnicate"} << 2 << "frobnicate";
    QTest::addRow("bad number") << QStringList{"--baud", "fast"} << 2 << "--baud";
}

void TestDevsimProcess::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);

    QProcess device;
    device.start(DEVSIM_EXE, arguments);
    QVERIFY(device.waitForFinished(5000));
    QCOMPARE(device.exitCode(), exitCode);
    const QString output = QString::fromLocal8Bit(exitCode == 0 ? device.readAllStandardOutput()
                                                                : device.readAllStandardError());
    for (const QString &word : expected.split(' '))
        QVERIFY2(output.contains(word), qPrintable(word));
}

QTEST_GUILESS_MAIN(TestDevsimProcess)
#include "tst_devsim_process.moc"
