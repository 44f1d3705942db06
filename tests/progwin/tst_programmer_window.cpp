// The programmer window over the simulated device: the buttons a user
// presses, what the window shows, and what reaches the device.
#include "firmware_builder.h"
#include "progwin_bench.h"

#include "config/json.h"
#include "devices/zmt/zmt_model.h"
#include "link/crc.h"
#include "programmer/gui/log_form.h"
#include "programmer/gui/programmer_window_launcher.h"
#include "programmer/port_list.h"
#include "programmer/prog_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace vrs;
using devsim::DeviceOptions;

namespace {

QByteArray ZmtDocument()
{
    ZmtModel model;
    model.setName(QStringLiteral("Счётчик 7"));
    model.setOwnId(0x1234);
    model.setAppId(0x42);
    return PrintCompact(model.BuildJSON());
}

} // namespace

class TstProgrammerWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void writeThenReadThroughTheLauncher();
    void crcMismatchOnRead_data();
    void crcMismatchOnRead();
    void flashingThroughTheOpenDialog();
    void firmwareFileNotFlashed_data();
    void firmwareFileNotFlashed();
    void loaderRetryWhenPacketSizeIsNotAnswered();
    void logFollowsItsSwitch();
    void closingWhileConnectedLetsThePortGo();
    void closingDuringAWriteAsks_data();
    void closingDuringAWriteAsks();
    void enablingFollowsTheConnection_data();
    void enablingFollowsTheConnection();
    void windowPerMode_data();
    void windowPerMode();

private:
    std::unique_ptr<TProgSettings> m_settings;
};

void TstProgrammerWindow::initTestCase()
{
    // The run's settings object, in the private home of the test.
    m_settings = std::make_unique<TProgSettings>(QDir::home().filePath(QStringLiteral("bprog.ini")));
    QCOMPARE(TProgSettings::Instance(), m_settings.get());
}

void TstProgrammerWindow::init()
{
    m_settings->MainForm().SetLog(true);
    m_settings->MainForm().SetLastDir(QString());
}

void TstProgrammerWindow::writeThenReadThroughTheLauncher()
{
    ListedDevice dev(WithConfig(R"({"asudd":{"a":1},"whmeter":{"old":true}})"));
    const QByteArray document = ZmtDocument();

    ProgrammerWindowLauncher launcher;
    LauncherUser writer;
    writer.Attach(launcher);
    QCOMPARE(launcher.Run(dtZMT, pmWriteConfig, document), std::nullopt);
    QVERIFY(writer.jobEnded);
    QVERIFY(writer.prompt.questions.isEmpty());
    QVERIFY(writer.statuses.contains(QStringLiteral("Готово: Верификация конфигурации.")));
    const QByteArray member = document.mid(document.indexOf(':') + 1).chopped(1);
    const QString expected = QStringLiteral(R"({"asudd":{"a":1},"whmeter":)") + QString::fromUtf8(member) + u'}';
    QCOMPARE(dev.StoredText(), expected);

    LauncherUser reader;
    reader.Attach(launcher);
    const std::optional<QByteArray> read = launcher.Run(dtZMT, pmReadConfig, {});
    QVERIFY(read.has_value());
    QCOMPARE(QString::fromUtf8(*read), expected);
    // A good read closes the window by itself.
    QVERIFY(!reader.closedByUser);
}

void TstProgrammerWindow::crcMismatchOnRead_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addRow("no: nothing comes back") << false;
    QTest::addRow("yes: the text comes back") << true;
}

void TstProgrammerWindow::crcMismatchOnRead()
{
    QFETCH(bool, answer);
    const QByteArray stored = R"({"whmeter":{"id":5}})";
    ListedDevice dev(WithConfig(stored, false));
    ProgrammerWindowLauncher launcher;
    LauncherUser user;
    user.prompt.answers = {answer};
    user.Attach(launcher);
    const std::optional<QByteArray> read = launcher.Run(dtZMT, pmReadConfig, {});
    QCOMPARE(user.prompt.questions,
             QStringList{QStringLiteral("Контрольная сумма файла конфигурации не воспадает!\r\nПродолжить")});
    QCOMPARE(read, answer ? std::optional<QByteArray>(stored) : std::nullopt);
    QCOMPARE(user.closedByUser, !answer);
}

void TstProgrammerWindow::flashingThroughTheOpenDialog()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    FirmwareBuilder fw;
    const QByteArray data(2500, 'F');
    fw.blocks.push_back({0x08004000, data, Crc32(reinterpret_cast<const uint8_t *>(data.constData()),
                                                 size_t(data.size()))});
    fw.executions = {0x08004100};
    const QString fileName = folder.filePath(QStringLiteral("image.vff"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(fw.Build());
    file.close();

    m_settings->MainForm().SetLastDir(QStringLiteral("/srv/firmware/"));
    Bench b(DeviceOptions(), dtNone, pmFirmware);
    b.dialogs.firmwareName = fileName;
    QVERIFY(b.Connect());
    QSignalSpy progress(b.window->pbMain, &QProgressBar::valueChanged);
    QVERIFY(b.RunCommand());

    QCOMPARE(b.dialogs.initialFolders, QStringList{QStringLiteral("/srv/firmware/")});
    QCOMPARE(m_settings->MainForm().LastDir(), folder.path() + u'/');
    QCOMPARE(b.device->State().Firmware().Read(0x08004000, uint32_t(data.size())), data);
    QCOMPARE(b.device->State().ExecutionPoint().value_or(0), 0x08004100u);
    QCOMPARE(b.window->statMain->currentMessage(), QStringLiteral("Прошивка успешно записана."));
    QVERIFY(progress.size() > 1);
    QVERIFY(b.prompt.messages.isEmpty());
    QVERIFY(b.window->btnCommand->isEnabled());
}

void TstProgrammerWindow::firmwareFileNotFlashed_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: the dialog is cancelled
    QTest::addColumn<QString>("message");
    QTest::addRow("dialog cancelled") << QByteArray() << QString();
    QTest::addRow("damaged file") << QByteArray(40, '\x01')
                                  << QStringLiteral("Файл поврежден или не является файлом прошивки: file CRC error.");
}

void TstProgrammerWindow::firmwareFileNotFlashed()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir folder;
    Bench b(DeviceOptions(), dtNone, pmFirmware);
    if (!content.isEmpty()) {
        b.dialogs.firmwareName = folder.filePath(QStringLiteral("bad.vff"));
        QFile file(b.dialogs.firmwareName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(b.Connect());
    const QString before = b.window->statMain->currentMessage();
    QTest::mouseClick(b.window->btnCommand, Qt::LeftButton);
    QTest::qWait(150);

    QCOMPARE(b.dialogs.initialFolders.size(), 1);
    if (message.isEmpty()) {
        QVERIFY(b.prompt.messages.isEmpty());
        QCOMPARE(b.window->statMain->currentMessage(), before);
        QCOMPARE(m_settings->MainForm().LastDir(), QString());
    } else {
        QCOMPARE(b.prompt.messages, QStringList{message});
        QCOMPARE(b.window->statMain->currentMessage(), message);
    }
    QVERIFY(!b.AnsweredCodes().contains(1));
    QVERIFY(!b.device->State().ExecutionPoint().has_value());
}

void TstProgrammerWindow::loaderRetryWhenPacketSizeIsNotAnswered()
{
    DeviceOptions options;
    options.packetSize.reset();
    Bench b(options, dtNone, pmFirmware);
    QStringList shown;
    connect(b.window->statMain, &QStatusBar::messageChanged, this, [&](const QString &t) { shown << t; });
    QTest::mouseClick(b.window->btnConnect, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return shown.contains(QStringLiteral("Enable writting")); }, 10000));
    QVERIFY(std::any_of(shown.begin(), shown.end(), [](const QString &t) {
        return t.startsWith(QStringLiteral("Подключиться не удалось. Возможно устройство не в режиме загрузчика. "));
    }));
    QVERIFY(!b.window->btnCommand->isEnabled());
    QVERIFY(b.prompt.messages.isEmpty());
    // The engineer can still end the retries.
    QVERIFY(QTest::qWaitFor([&] { return b.window->btnDisconnect->isEnabled(); }, 5000));
    QTest::mouseClick(b.window->btnDisconnect, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return b.ctl().LinkState() == lsDisconnected; }, 2000));
    shown.clear();
    QTest::qWait(300);
    QVERIFY(!shown.contains(QStringLiteral("Enable writting")));
}

void TstProgrammerWindow::logFollowsItsSwitch()
{
    Bench b(DeviceOptions(), dtZMT, pmWriteConfig, R"({"whmeter":{}})");
    TLogForm *form = b.window->LogForm();
    QVERIFY(form->chkDoLoggong->isChecked());
    QVERIFY(b.Connect());
    QTRY_VERIFY(form->Text().contains(QStringLiteral("] Подключено к \"%1\".").arg(b.device->PortPath())));
    const QString logged = form->Text();
    QVERIFY(logged.contains(QStringLiteral("] Dev: ")));
    QVERIFY(logged.contains(QStringLiteral("] PC:  ")));

    QTest::mouseClick(form->chkDoLoggong, Qt::LeftButton);
    QVERIFY(!m_settings->MainForm().Log());
    QTest::mouseClick(b.window->btnDisconnect, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return b.window->btnConnect->isEnabled(); }, 5000));
    QCOMPARE(b.window->statMain->currentMessage(), QStringLiteral("Отключено."));
    QTest::qWait(100);
    QCOMPARE(form->Text(), logged);

    QTest::mouseClick(form->chkDoLoggong, Qt::LeftButton);
    QVERIFY(m_settings->MainForm().Log());
    QVERIFY(b.Connect());
    QTRY_VERIFY(form->Text().size() > logged.size());
    QVERIFY(form->Text().mid(logged.size()).contains(QStringLiteral("] Подключение...")));
}

void TstProgrammerWindow::closingWhileConnectedLetsThePortGo()
{
    Bench b(DeviceOptions(), dtZMT, pmReadConfig);
    // The device keeps its own descriptor of the terminal.
    const int idle = OpenDescriptors(b.device->PortPath());
    QVERIFY(b.Connect());
    QVERIFY(OpenDescriptors(b.device->PortPath()) > idle);
    QTest::mouseClick(b.window->btnLogView, Qt::LeftButton);
    QVERIFY(b.window->LogForm()->isVisible());

    QVERIFY(b.window->close());
    QVERIFY(!b.window->isVisible());
    QVERIFY(!b.window->LogForm()->isVisible());
    QCOMPARE(b.ctl().LinkState(), lsDisconnected);
    QCOMPARE(OpenDescriptors(b.device->PortPath()), idle);
    const qsizetype requests = b.device->Commands().size();
    QTest::qWait(300);
    QCOMPARE(b.device->Commands().size(), requests);
    QVERIFY(b.prompt.questions.isEmpty());
}

void TstProgrammerWindow::closingDuringAWriteAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addRow("no: the write goes on") << false;
    QTest::addRow("yes: the window closes") << true;
}

void TstProgrammerWindow::closingDuringAWriteAsks()
{
    QFETCH(bool, answer);
    // A slow line and a large stored set keep the job running for a while.
    DeviceOptions options = WithConfig("{\"asudd\":{\"pad\":\"" + QByteArray(12000, 'x') + "\"}}");
    options.baud = 57600;
    Bench b(options, dtZMT, pmWriteConfig, R"({"whmeter":{"id":3}})");
    b.prompt.answers = {answer};
    const int idle = OpenDescriptors(b.device->PortPath());
    QVERIFY(b.Connect());
    QSignalSpy finished(&b.ctl(), &ProgrammerController::jobFinished);
    QTest::mouseClick(b.window->btnCommand, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return b.window->pbMain->value() > 0; }, 10000));

    b.window->close();
    QCOMPARE(b.prompt.questions.size(), 1);
    QCOMPARE(b.window->isVisible(), !answer);
    if (answer) {
        QCOMPARE(b.ctl().LinkState(), lsDisconnected);
        QCOMPARE(OpenDescriptors(b.device->PortPath()), idle);
        QVERIFY(!b.AnsweredCodes().contains(7));
    } else {
        QVERIFY(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 60000));
        QVERIFY(finished.first().first().toBool());
        QVERIFY(b.StoredText().endsWith(QStringLiteral(",\"whmeter\":{\"id\":3}}")));
    }
}

namespace {
enum Stage { NoPort, PortFound, SetUp, JobRunning, Disconnected };
}

void TstProgrammerWindow::enablingFollowsTheConnection_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<bool>("disconnect");
    QTest::addColumn<bool>("command");
    QTest::addColumn<bool>("page");
    QTest::addColumn<bool>("portList");
    QTest::addRow("no port found") << int(NoPort) << false << false << false << true << true;
    QTest::addRow("port found") << int(PortFound) << true << false << false << true << true;
    QTest::addRow("set up") << int(SetUp) << false << true << true << true << false;
    QTest::addRow("job running") << int(JobRunning) << false << true << false << false << false;
    QTest::addRow("disconnected") << int(Disconnected) << true << false << false << true << true;
}

void TstProgrammerWindow::enablingFollowsTheConnection()
{
    QFETCH(int, stage);
    DeviceOptions options = WithConfig("{\"asudd\":\"" + QByteArray(8000, 'y') + "\"}");
    options.baud = 57600;
    Bench b(options, dtPLM, pmWriteConfig, R"({"asudd":{}})", stage != NoPort);
    TMainProgFrm &w = *b.window;
    if (stage == NoPort) {
        QCOMPARE(w.cbbPort->count(), 0);
        QCOMPARE(w.statMain->currentMessage(), QString::fromUtf8(kNoPortsText));
    } else {
        QCOMPARE(w.cbbPort->currentText(), b.device->PortPath());
        QCOMPARE(w.SelectedPortName(), b.device->PortPath());
    }
    if (stage >= SetUp) {
        QVERIFY(b.Connect());
        QCOMPARE(w.edtSerialNumber->text(), QStringLiteral("SIM00001"));
    }
    if (stage == JobRunning) {
        QTest::mouseClick(w.btnCommand, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return w.pbMain->value() > 0; }, 10000));
    }
    if (stage == Disconnected) {
        QTest::mouseClick(w.btnDisconnect, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return b.ctl().LinkState() == lsDisconnected; }, 5000));
        QCOMPARE(w.edtSerialNumber->text(), QString());
    }
    QTEST(w.btnConnect->isEnabled(), "connect");
    QTEST(w.btnDisconnect->isEnabled(), "disconnect");
    QTEST(w.btnCommand->isEnabled(), "command");
    QTEST(w.pgcCon->isEnabled(), "page");
    QTEST(w.cbbPort->isEnabled(), "portList");
    QVERIFY(!w.edtSerialNumber->isEnabled());
}

void TstProgrammerWindow::windowPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("command");
    QTest::addRow("read") << int(pmReadConfig) << QStringLiteral("Считывание конфигурации") << QStringLiteral("Прочитать");
    QTest::addRow("write") << int(pmWriteConfig) << QStringLiteral("Запись конфигурации") << QStringLiteral("Записать");
    QTest::addRow("firmware") << int(pmFirmware) << QStringLiteral("Базовый программатор") << QStringLiteral("Обновить");
}

void TstProgrammerWindow::windowPerMode()
{
    QFETCH(int, mode);
    TMainProgFrm w(dtZMT, ProgrammerMode(mode), {});
    QTEST(w.windowTitle(), "caption");
    QTEST(w.btnCommand->text(), "command");
    QCOMPARE(w.size(), QSize(643, 324));
    QVERIFY(w.isModal());
    QVERIFY(!w.btnConnect->isEnabled());
}

QTEST_MAIN(TstProgrammerWindow)
#include "tst_programmer_window.moc"
