#include "shell_fakes.h"

#include "appsettings/settings.h"
#include "config/codec.h"
#include "config/config_file.h"
#include "config/json.h"
#include "devices/zmt/gui/zmt_window.h"
#include "shell/doc_tab_bar.h"
#include "shell/main_window.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace vrs;

namespace {

JsonValue ZmtRoot(const QString &name, int id)
{
    JsonValue body = JsonValue::object();
    body.add(QStringLiteral("en"), true);
    body.add(QStringLiteral("name"), name);
    body.add(QStringLiteral("id"), id);
    body.add(QStringLiteral("app_id"), 1);
    body.add(QStringLiteral("psw"), QString());
    body.add(QStringLiteral("psw_def"), false);
    JsonValue root = JsonValue::object();
    root.add(QStringLiteral("whmeter"), body);
    return root;
}

JsonValue ObjectWith(const QString &key)
{
    JsonValue root = JsonValue::object();
    root.add(key, JsonValue::object());
    return root;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithNoDocument();
    void actionTexts_data();
    void actionTexts();
    void tabPanelShownOnlyWithTwoDocuments();
    void newDocumentAlwaysOpensAnotherWindow();
    void saveAndOpenRoundTrip();
    void openReloadsOpenDocumentInPlace();
    void openRejectedFileShowsError_data();
    void openRejectedFileShowsError();
    void documentRejectingContentStaysOpen();
    void failedSaveReportsError();
    void tabMouse_data();
    void tabMouse();
    void closeAllResetsDeviceType();
    void deviceRead_data();
    void deviceRead();
    void deviceWriteAndFirmwarePassTypeModeAndJson();
    void windowReadReplacesOnlyItsOwnContent();
    void configFileExtension_data();
    void configFileExtension();
    void captionChangeReachesTabAndTitle();
    void hintsGoToFirstStatusPanel();
    void windowMenuListsDocuments();
    void aboutBoxShowsVersionAndDate();
    void withoutProgrammerNothingIsTransferred();

private:
    TfmConfZMT *NewZmt();
    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    QWidget *TabPanel() const { return w->findChild<QWidget *>(QStringLiteral("pTabs")); }
    QString DocName(TfmConfZMT *doc) const { return doc->Model().name(); }
    QString Path(const QString &name) const { return dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir;
    TfmMain *w = nullptr;
    ScriptedPrompt *prompt = nullptr;
    ScriptedFileDialogs *dialogs = nullptr;
    RecordingLauncher *launcher = nullptr;
};

void TestMainWindow::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    w = new TfmMain(std::make_unique<TSettings>(Path(QStringLiteral("settings.xml"))));
    auto p = std::make_unique<ScriptedPrompt>();
    prompt = p.get();
    w->SetPrompt(std::move(p));
    auto d = std::make_unique<ScriptedFileDialogs>();
    dialogs = d.get();
    w->SetFileDialogs(std::move(d));
    auto l = std::make_unique<RecordingLauncher>();
    launcher = l.get();
    w->SetProgrammerLauncher(std::move(l));
    w->RegisterDocumentType(dtZMT, [] { return new TfmConfZMT; });
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestMainWindow::cleanup()
{
    delete w;
    w = nullptr;
    dir.reset();
}

TfmConfZMT *TestMainWindow::NewZmt()
{
    Action("actNewZMT")->trigger();
    return qobject_cast<TfmConfZMT *>(w->ActiveDocument());
}

void TestMainWindow::startsWithNoDocument()
{
    QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор ВРС-5"));
    QCOMPARE(w->deviceType(), dtNone);
    QVERIFY(!TabPanel()->isVisibleTo(w));
    QVERIFY(!Action("actSaveAs")->isEnabled());
    QVERIFY(!Action("actCloseAll")->isEnabled());
    for (const char *write : {"actDevConfPLMWrite", "actDevConfNTRVWrite", "actDevConfZMTWrite"})
        QVERIFY2(!Action(write)->isEnabled(), write);
    for (const char *always : {"actDevConfPLMRead", "actDevConfZMTRead", "actDevRefirmware",
                               "actOpen", "actNewZMT"})
        QVERIFY2(Action(always)->isEnabled(), always);

    // VRS has no documents: its entries are there and disabled everywhere.
    QVERIFY(!Action("actNewVRS")->isEnabled());
    QVERIFY(!Action("actNewVRSCopy")->isEnabled());
    QVERIFY(Action("actNewZMTCopy")->isEnabled());
    auto *vrsMenu = w->findChild<QMenu *>(QStringLiteral("mniDevVRS"));
    QVERIFY(vrsMenu && !vrsMenu->menuAction()->isEnabled());

    // Open and save show pictures only.
    for (const char *name : {"btnOpen", "btnSave"}) {
        auto *button = w->findChild<QToolButton *>(QLatin1String(name));
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!button->icon().isNull());
    }
    auto *version = w->findChild<QLabel *>(QStringLiteral("sbMainPanel2"));
    QVERIFY(version->text().startsWith(QStringLiteral("Версия: ")));
    QCOMPARE(version->text().count(QLatin1Char('.')), 3);
}

void TestMainWindow::actionTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addRow("new VRS") << "actNewVRS" << "ВРС-5" << "Новая конфигурация ВРС - 5" << QKeySequence();
    QTest::addRow("new PLM") << "actNewPLM" << "ПЛМ-3" << "Новая конфигурация ПЛМ-3" << QKeySequence();
    QTest::addRow("new NTRV") << "actNewNTRV" << "НТРВ-3" << "" << QKeySequence();
    QTest::addRow("new ZMT") << "actNewZMT" << "ЗМТ" << "Новая конфигурация" << QKeySequence();
    QTest::addRow("open") << "actOpen" << "Открыть конфигурацию..." << "Открыть конфигурацию" << QKeySequence();
    QTest::addRow("save") << "actSaveAs" << "Сохранить конфигурацию как..." << "Сохранить конфигурацию" << QKeySequence();
    QTest::addRow("close all") << "actCloseAll" << "Закрыть все" << "Закрыть все" << QKeySequence(QStringLiteral("Ctrl+W"));
    QTest::addRow("exit") << "actExit" << "Выход" << "Выход из программы" << QKeySequence();
    QTest::addRow("settings") << "actSettings" << "Настройки" << "Настройки" << QKeySequence();
    QTest::addRow("about") << "actShowAbout" << "О программе" << "О программе" << QKeySequence(Qt::Key_F1);
    QTest::addRow("write ZMT") << "actDevConfZMTWrite" << "Записать конфигурацию" << "" << QKeySequence();
    QTest::addRow("read PLM") << "actDevConfPLMRead" << "Прочитать конфигурацию" << "" << QKeySequence();
    QTest::addRow("firmware") << "actDevRefirmware" << "Обновить прошивку" << "" << QKeySequence();
    QTest::addRow("cascade") << "actWindowCascade" << "Каскадом" << "Каскадом" << QKeySequence();
    QTest::addRow("tile h") << "actWindowTileHorizontal" << "Выровнять горизонтально" << "Выровнять горизонтально" << QKeySequence();
    QTest::addRow("close window") << "actWindowClose" << "Закрыть окно" << "Закрыть окно" << QKeySequence();
}

void TestMainWindow::actionTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QKeySequence, shortcut);
    QAction *action = w->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->statusTip(), hint);
    QCOMPARE(action->shortcut(), shortcut);
}

void TestMainWindow::tabPanelShownOnlyWithTwoDocuments()
{
    TfmConfZMT *first = NewZmt();
    QVERIFY(first);
    QVERIFY(!TabPanel()->isVisibleTo(w));
    TfmConfZMT *second = NewZmt();
    QVERIFY(second && second != first);
    QVERIFY(TabPanel()->isVisibleTo(w));
    QCOMPARE(w->tabBar()->count(), 2);
    first->close();
    QVERIFY(!TabPanel()->isVisibleTo(w));
    QCOMPARE(w->tabBar()->count(), 1);
    QCOMPARE(w->tabBar()->WindowAt(0), second);
}

void TestMainWindow::newDocumentAlwaysOpensAnotherWindow()
{
    NewZmt();
    NewZmt();
    QCOMPARE(w->Documents().size(), 2);
    QCOMPARE(w->deviceType(), dtZMT);
    QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор ВРС - 5 - Контроллер электросчетчиков"));
    QVERIFY(Action("actDevConfZMTWrite")->isEnabled());
    QVERIFY(!Action("actDevConfPLMWrite")->isEnabled());
    QVERIFY(Action("actSaveAs")->isEnabled());
}

void TestMainWindow::saveAndOpenRoundTrip()
{
    TfmConfZMT *doc = NewZmt();
    doc->findChild<QLineEdit *>(QStringLiteral("edName"))->setText(QStringLiteral("Счётчик №1"));
    const JsonValue built = *doc->BuildJSON();

    dialogs->saveName = Path(QStringLiteral("meter.vr5"));
    Action("actSaveAs")->trigger();
    QVERIFY(prompt->shown.isEmpty());
    JsonValue stored;
    QVERIFY(ReadConfigFile(dialogs->saveName, &stored, nullptr));
    QCOMPARE(stored, built);

    Action("actCloseAll")->trigger();
    QVERIFY(w->Documents().isEmpty());
    dialogs->openName = dialogs->saveName;
    Action("actOpen")->trigger();
    QVERIFY(prompt->shown.isEmpty());
    QCOMPARE(w->Documents().size(), 1);
    auto *opened = qobject_cast<TfmConfZMT *>(w->Documents().first());
    QVERIFY(opened);
    QCOMPARE(DocName(opened), QStringLiteral("Счётчик №1"));
    QCOMPARE(opened->findChild<QLineEdit *>(QStringLiteral("edName"))->text(),
             QStringLiteral("Счётчик №1"));
    QVERIFY(opened->LoadedRoot().has_value());
    QCOMPARE(*opened->LoadedRoot(), built);
    QCOMPARE(w->deviceType(), dtZMT);
}

void TestMainWindow::openReloadsOpenDocumentInPlace()
{
    TfmConfZMT *older = NewZmt();
    TfmConfZMT *active = NewZmt();
    QCOMPARE(w->ActiveDocument(), active);
    const QString file = Path(QStringLiteral("b.vr5"));
    QVERIFY(WriteConfigFile(file, ZmtRoot(QStringLiteral("B"), 7), nullptr));

    dialogs->openName = file;
    Action("actOpen")->trigger();
    QVERIFY(prompt->shown.isEmpty());
    QCOMPARE(w->Documents().size(), 2);
    QCOMPARE(DocName(active), QStringLiteral("B"));
    QCOMPARE(active->Model().ownId(), quint16(7));
    QCOMPARE(DocName(older), QString());
}

void TestMainWindow::openRejectedFileShowsError_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::addRow("missing file") << QByteArray() << false;
    QTest::addRow("empty file") << QByteArray() << true;
    QTest::addRow("not encoded") << QByteArray("{\"whmeter\": {}}") << true;
    QTest::addRow("list, not object") << EncodeConfig("[1, 2]", kConfigKey) << true;
    QTest::addRow("no known key") << EncodeConfigText(ObjectWith(QStringLiteral("vrs"))) << true;
}

void TestMainWindow::openRejectedFileShowsError()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    const QString file = Path(QStringLiteral("bad.vr5"));
    if (exists) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    dialogs->openName = file;
    Action("actOpen")->trigger();
    QCOMPARE(prompt->shown.size(), 1);
    QCOMPARE(prompt->shown.first().kind, Prompt::Kind::Error);
    QVERIFY2(prompt->shown.first().text.contains(QStringLiteral("bad.vr5")),
             qPrintable(prompt->shown.first().text));
    QVERIFY(w->Documents().isEmpty());
    QCOMPARE(w->deviceType(), dtNone);
}

void TestMainWindow::documentRejectingContentStaysOpen()
{
    JsonValue root = ObjectWith(QStringLiteral("whmeter"));
    root.find(QStringLiteral("whmeter"))->add(QStringLiteral("id"), QStringLiteral("abc"));
    QVERIFY(w->LoadDocument(root, dtNone));
    QCOMPARE(prompt->shown.size(), 1);
    QCOMPARE(prompt->shown.first().kind, Prompt::Kind::Error);
    QCOMPARE(w->Documents().size(), 1);
    QVERIFY(!w->Documents().first()->LoadedRoot().has_value());
}

void TestMainWindow::failedSaveReportsError()
{
    NewZmt();
    dialogs->saveName = Path(QStringLiteral("no-such-folder/meter.vr5"));
    Action("actSaveAs")->trigger();
    QCOMPARE(prompt->shown.size(), 1);
    QCOMPARE(prompt->shown.first().kind, Prompt::Kind::Error);
    QVERIFY(!QFile::exists(dialogs->saveName));
    QCOMPARE(w->Documents().size(), 1);
}

void TestMainWindow::tabMouse_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("closes");
    QTest::addRow("double click") << "double" << true;
    QTest::addRow("close box") << "box" << true;
    QTest::addRow("click on text") << "text" << false;
}

void TestMainWindow::tabMouse()
{
    QFETCH(QString, gesture);
    QFETCH(bool, closes);
    TfmConfZMT *first = NewZmt();
    TfmConfZMT *second = NewZmt();
    QPointer<TfmConfZMT> watched(first);
    TDocTabBar *bar = w->tabBar();
    QCOMPARE(w->ActiveDocument(), second);

    const QRect tab = bar->tabRect(0);
    const QPoint onText(tab.left() + 30, tab.center().y());
    if (gesture == QLatin1String("double")) {
        QTest::mouseDClick(bar, Qt::LeftButton, {}, onText);
    } else if (gesture == QLatin1String("box")) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->CloseBoxRect(0).center());
    } else {
        QTest::mouseClick(bar, Qt::LeftButton, {}, onText);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (closes) {
        QVERIFY(watched.isNull());
        QCOMPARE(bar->count(), 1);
        QCOMPARE(bar->WindowAt(0), second);
    } else {
        QVERIFY(!watched.isNull());
        QCOMPARE(bar->count(), 2);
        QCOMPARE(w->ActiveDocument(), first);
        QCOMPARE(bar->currentIndex(), 0);
    }
}

void TestMainWindow::closeAllResetsDeviceType()
{
    NewZmt();
    NewZmt();
    QCOMPARE(w->deviceType(), dtZMT);
    Action("actCloseAll")->trigger();
    QCOMPARE(w->deviceType(), dtNone);
    QVERIFY(w->Documents().isEmpty());
    QCOMPARE(w->tabBar()->count(), 0);
    QVERIFY(!Action("actDevConfZMTWrite")->isEnabled());
    QVERIFY(!Action("actSaveAs")->isEnabled());
    QVERIFY(!Action("actCloseAll")->isEnabled());
    QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор ВРС-5"));
}

void TestMainWindow::deviceRead_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("type");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<int>("documents");
    QTest::addColumn<bool>("error");
    const QByteArray zmt = PrintCompact(ZmtRoot(QStringLiteral("dev"), 9));
    QTest::addRow("ZMT read") << "actDevConfZMTRead" << int(dtZMT) << QVariant(zmt) << 1 << false;
    // A PLM read falls back to the other members of the device's set.
    QTest::addRow("PLM read, ZMT member") << "actDevConfPLMRead" << int(dtPLM) << QVariant(zmt) << 1 << false;
    QTest::addRow("ZMT read, PLM member only")
        << "actDevConfZMTRead" << int(dtZMT)
        << QVariant(PrintCompact(ObjectWith(QStringLiteral("asudd")))) << 0 << true;
    QTest::addRow("nothing read") << "actDevConfZMTRead" << int(dtZMT) << QVariant() << 0 << false;
    QTest::addRow("not an object") << "actDevConfZMTRead" << int(dtZMT) << QVariant(QByteArray("[1]")) << 0 << true;
    QTest::addRow("damaged text") << "actDevConfZMTRead" << int(dtZMT) << QVariant(QByteArray("{\"whm")) << 0 << true;
}

void TestMainWindow::deviceRead()
{
    QFETCH(QString, action);
    QFETCH(int, type);
    QFETCH(QVariant, answer);
    QFETCH(int, documents);
    QFETCH(bool, error);
    if (answer.isValid())
        launcher->answer = answer.toByteArray();
    w->findChild<QAction *>(action)->trigger();

    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(int(launcher->calls.first().type), type);
    QCOMPARE(launcher->calls.first().mode, pmReadConfig);
    QVERIFY(launcher->calls.first().json.isEmpty());
    QCOMPARE(w->Documents().size(), documents);
    QCOMPARE(prompt->shown.size(), error ? 1 : 0);
    if (documents) {
        auto *doc = qobject_cast<TfmConfZMT *>(w->Documents().first());
        QCOMPARE(doc->Model().ownId(), quint16(9));
        QCOMPARE(w->deviceType(), dtZMT);

        // Reading again reloads the same document.
        w->findChild<QAction *>(action)->trigger();
        QCOMPARE(w->Documents().size(), 1);
    }
}

void TestMainWindow::deviceWriteAndFirmwarePassTypeModeAndJson()
{
    TfmConfZMT *doc = NewZmt();
    Action("actDevConfZMTWrite")->trigger();
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].type, dtZMT);
    QCOMPARE(launcher->calls[0].mode, pmWriteConfig);
    QCOMPARE(launcher->calls[0].json, PrintCompact(*doc->BuildJSON()));
    QVERIFY(launcher->calls[0].json.startsWith("{\"whmeter\":{\"en\":true,"));

    // The write goes by the current device type: after a read for another
    // type it does nothing, even through the ZMT entry.
    launcher->answer = std::nullopt;
    Action("actDevConfPLMRead")->trigger();
    QCOMPARE(w->deviceType(), dtPLM);
    QVERIFY(!Action("actDevConfZMTWrite")->isEnabled());
    Action("actDevConfZMTWrite")->trigger();
    QCOMPARE(launcher->calls.size(), 2);

    Action("actDevRefirmware")->trigger();
    QCOMPARE(launcher->calls.size(), 3);
    QCOMPARE(launcher->calls[2].type, dtNone);
    QCOMPARE(launcher->calls[2].mode, pmFirmware);
    QVERIFY(launcher->calls[2].json.isEmpty());
}

void TestMainWindow::windowReadReplacesOnlyItsOwnContent()
{
    TfmConfZMT *first = NewZmt();
    TfmConfZMT *second = NewZmt();
    launcher->answer = PrintCompact(ZmtRoot(QStringLiteral("from device"), 5));
    first->findChild<QPushButton *>(QStringLiteral("btnRead"))->click();
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls.first().type, dtZMT);
    QCOMPARE(launcher->calls.first().mode, pmReadConfig);
    QCOMPARE(DocName(first), QStringLiteral("from device"));
    QCOMPARE(DocName(second), QString());
    QCOMPARE(w->Documents().size(), 2);

    // A configuration the window rejects leaves it as it was, with a message.
    launcher->answer = PrintCompact(ObjectWith(QStringLiteral("ntrv")));
    first->findChild<QPushButton *>(QStringLiteral("btnRead"))->click();
    QCOMPARE(prompt->shown.size(), 1);
    QCOMPARE(prompt->shown.first().text, QStringLiteral("Некорректная конфигурация"));
    QCOMPARE(DocName(first), QStringLiteral("from device"));

    second->findChild<QPushButton *>(QStringLiteral("btnWrite"))->click();
    QCOMPARE(launcher->calls.last().mode, pmWriteConfig);
    QCOMPARE(launcher->calls.last().json, PrintCompact(*second->BuildJSON()));
}

void TestMainWindow::configFileExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::addRow("no extension") << "/tmp/meter" << "/tmp/meter.vr5";
    QTest::addRow("own extension") << "/tmp/meter.vr5" << "/tmp/meter.vr5";
    QTest::addRow("other extension") << "/tmp/meter.txt" << "/tmp/meter.txt";
    QTest::addRow("dot in folder only") << "/tmp/a.b/meter" << "/tmp/a.b/meter.vr5";
}

void TestMainWindow::configFileExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QCOMPARE(WithConfigExtension(typed), saved);
}

void TestMainWindow::captionChangeReachesTabAndTitle()
{
    TfmConfZMT *first = NewZmt();
    TfmConfZMT *second = NewZmt();
    first->setWindowTitle(QStringLiteral("Первый"));
    QCOMPARE(w->tabBar()->tabText(0), QStringLiteral("Первый"));
    // The title follows the active document, which is the other one.
    QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор ВРС - 5 - Контроллер электросчетчиков"));
    second->setWindowTitle(QStringLiteral("Второй"));
    QCOMPARE(w->tabBar()->tabText(1), QStringLiteral("Второй"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор ВРС - 5 - Второй"));
}

void TestMainWindow::hintsGoToFirstStatusPanel()
{
    auto *panel = w->findChild<QLabel *>(QStringLiteral("sbMainPanel0"));
    auto *open = w->findChild<QToolButton *>(QStringLiteral("btnOpen"));
    QStatusTipEvent tip(open->statusTip());
    QCoreApplication::sendEvent(open, &tip);
    QCOMPARE(panel->text(), QStringLiteral("Открыть конфигурацию"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("sbMainPanel2"))->text().left(8),
             QStringLiteral("Версия: "));

    NewZmt();
    NewZmt();
    TDocTabBar *bar = w->tabBar();
    QTest::mouseMove(bar, bar->tabRect(0).center());
    QTRY_COMPARE(panel->text(), QStringLiteral("Контроллер электросчетчиков"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar, &leave);
    QCOMPARE(panel->text(), QString());
}

void TestMainWindow::windowMenuListsDocuments()
{
    TfmConfZMT *first = NewZmt();
    NewZmt();
    first->setWindowTitle(QStringLiteral("Первый"));
    auto *menu = w->findChild<QMenu *>(QStringLiteral("mniWindows"));
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QStringList entries;
    QAction *firstEntry = nullptr;
    const QList<QAction *> actions = menu->actions();
    for (QAction *a : actions)
        if (a->isCheckable()) {
            entries << a->text();
            if (!firstEntry)
                firstEntry = a;
        }
    QCOMPARE(entries, QStringList({QStringLiteral("&1 Первый"),
                                   QStringLiteral("&2 Контроллер электросчетчиков")}));
    QVERIFY(!firstEntry->isChecked());
    firstEntry->trigger();
    QCOMPARE(w->ActiveDocument(), first);

    // Listing again does not pile up entries.
    QMetaObject::invokeMethod(menu, "aboutToShow");
    int count = 0;
    for (QAction *a : menu->actions())
        count += a->isCheckable() ? 1 : 0;
    QCOMPARE(count, 2);
}

void TestMainWindow::aboutBoxShowsVersionAndDate()
{
    QString version;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QVERIFY(box);
        version = box->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
        box->close();
    });
    Action("actShowAbout")->trigger();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+ \\(\\d{8}\\)$"))
                 .match(version).hasMatch(),
             qPrintable(version));
    QVERIFY(prompt->shown.isEmpty());
}

void TestMainWindow::withoutProgrammerNothingIsTransferred()
{
    TfmMain bare(std::make_unique<TSettings>(Path(QStringLiteral("bare.xml")), false));
    auto p = std::make_unique<ScriptedPrompt>();
    ScriptedPrompt *told = p.get();
    bare.SetPrompt(std::move(p));
    bare.findChild<QAction *>(QStringLiteral("actDevConfZMTRead"))->trigger();
    QCOMPARE(told->shown.size(), 1);
    QCOMPARE(told->shown.first().kind, Prompt::Kind::Information);
    QVERIFY(bare.Documents().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
