// The main window's and the ZMT window's device commands, end to end: the
// real programmer window over the simulated device.
#include "firmware_builder.h"
#include "progwin_bench.h"

#include "appsettings/settings.h"
#include "config/json.h"
#include "devices/zmt/gui/zmt_window.h"
#include "link/crc.h"
#include "programmer/prog_settings.h"
#include "shell/main_window.h"

#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace vrs;

namespace {

const QByteArray kPlmMember = R"({"asudd":{"a":1}})";

QString DeviceName(const ListedDevice &dev)
{
    const std::optional<JsonValue> set = Parse(dev.device->State().InspectConfig().text);
    if (!set || !set->find(QStringLiteral("whmeter")))
        return QStringLiteral("<none>");
    return set->find(QStringLiteral("whmeter"))->find(QStringLiteral("name"))->string();
}

} // namespace

class TstDeviceCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void writeFromTheMainWindowKeepsOtherMembers();
    void readFromTheMainWindowOpensOrReloads();
    void readButtonOfTheZmtWindowReplacesItsContent();
    void crcMismatchAnsweredNoLeavesTheDocument();
    void firmwareFromTheMainWindow();

private:
    TfmConfZMT *NewZmt(const QString &name);
    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }

    std::unique_ptr<TProgSettings> m_progSettings;
    std::unique_ptr<QTemporaryDir> dir;
    TfmMain *w = nullptr;
    ProgrammerWindowLauncher *launcher = nullptr;
    LauncherUser user;
};

void TstDeviceCommands::initTestCase()
{
    m_progSettings = std::make_unique<TProgSettings>(QDir::home().filePath(QStringLiteral("bprog.ini")));
}

void TstDeviceCommands::init()
{
    dir = std::make_unique<QTemporaryDir>();
    w = new TfmMain(std::make_unique<TSettings>(dir->filePath(QStringLiteral("settings.xml"))));
    w->SetPrompt(std::make_unique<ScriptedPrompt>());
    auto l = std::make_unique<ProgrammerWindowLauncher>(w, &w->settings());
    launcher = l.get();
    user = LauncherUser();
    user.Attach(*launcher);
    w->SetProgrammerLauncher(std::move(l));
    w->RegisterDocumentType(dtZMT, [] { return new TfmConfZMT; });
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TstDeviceCommands::cleanup()
{
    delete w;
    w = nullptr;
}

TfmConfZMT *TstDeviceCommands::NewZmt(const QString &name)
{
    Action("actNewZMT")->trigger();
    auto *doc = qobject_cast<TfmConfZMT *>(w->ActiveDocument());
    doc->findChild<QLineEdit *>(QStringLiteral("edName"))->setText(name);
    return doc;
}

void TstDeviceCommands::writeFromTheMainWindowKeepsOtherMembers()
{
    ListedDevice dev(WithConfig(kPlmMember));
    NewZmt(QStringLiteral("Подстанция 3"));
    QVERIFY(Action("actDevConfZMTWrite")->isEnabled());
    Action("actDevConfZMTWrite")->trigger();
    QVERIFY(user.jobEnded);
    QCOMPARE(DeviceName(dev), QStringLiteral("Подстанция 3"));
    const std::optional<JsonValue> set = Parse(dev.device->State().InspectConfig().text);
    QCOMPARE(set->keys(), (std::vector<QString>{QStringLiteral("asudd"), QStringLiteral("whmeter")}));
}

void TstDeviceCommands::readFromTheMainWindowOpensOrReloads()
{
    ListedDevice dev(WithConfig(R"({"whmeter":{"en":true,"name":"С прибора","id":77,"app_id":5}})"));
    // A PLM read falls back to the ZMT member of the set and opens a ZMT document.
    Action("actDevConfPLMRead")->trigger();
    QCOMPARE(w->Documents().size(), 1);
    auto *doc = qobject_cast<TfmConfZMT *>(w->Documents().first());
    QVERIFY(doc);
    QCOMPARE(doc->Model().name(), QStringLiteral("С прибора"));
    QCOMPARE(doc->Model().ownId(), quint16(77));

    // A ZMT read reloads the open ZMT document instead of opening another.
    doc->findChild<QLineEdit *>(QStringLiteral("edName"))->setText(QStringLiteral("правка"));
    Action("actDevConfZMTRead")->trigger();
    QCOMPARE(w->Documents().size(), 1);
    QCOMPARE(doc->Model().name(), QStringLiteral("С прибора"));
}

void TstDeviceCommands::readButtonOfTheZmtWindowReplacesItsContent()
{
    ListedDevice dev(WithConfig(R"({"whmeter":{"name":"Прочитано","id":9}})"));
    TfmConfZMT *first = NewZmt(QStringLiteral("первый"));
    TfmConfZMT *second = NewZmt(QStringLiteral("второй"));
    first->findChild<QPushButton *>(QStringLiteral("btnRead"))->click();
    QCOMPARE(first->Model().name(), QStringLiteral("Прочитано"));
    QCOMPARE(second->Model().name(), QStringLiteral("второй"));

    second->findChild<QPushButton *>(QStringLiteral("btnWrite"))->click();
    QCOMPARE(DeviceName(dev), QStringLiteral("второй"));
}

void TstDeviceCommands::crcMismatchAnsweredNoLeavesTheDocument()
{
    ListedDevice dev(WithConfig(R"({"whmeter":{"name":"испорчено"}})", false));
    TfmConfZMT *doc = NewZmt(QStringLiteral("как было"));
    user.prompt.answers = {false};
    doc->findChild<QPushButton *>(QStringLiteral("btnRead"))->click();
    QCOMPARE(user.prompt.questions.size(), 1);
    QCOMPARE(doc->Model().name(), QStringLiteral("как было"));
}

void TstDeviceCommands::firmwareFromTheMainWindow()
{
    ListedDevice dev(devsim::DeviceOptions{});
    FirmwareBuilder fw;
    const QByteArray data(2500, '\x3C');
    fw.blocks.push_back({0x08010000, data, Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))});
    const QString file = dir->filePath(QStringLiteral("image.vff"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(fw.Build());
    out.close();
    user.dialogs.firmwareName = file;
    Action("actDevRefirmware")->trigger();
    QVERIFY(user.jobEnded);
    QCOMPARE(dev.device->State().Firmware().Read(0x08010000, uint32_t(data.size())), data);
    QCOMPARE(dev.device->State().ExecutionPoint().value_or(0), 0x08010000u);
}

QTEST_MAIN(TstDeviceCommands)
#include "tst_device_commands.moc"
