#include "appsettings/settings.h"
#include "shell/main_window.h"
#include "shell/settings_dialog.h"
#include "shell/window_placement.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vrs;

namespace {

// Answers the next modal settings dialog: types the values given (empty
// text: leave as is) and presses the button.
void AnswerSettingsDialog(const QString &delay, const QString &tries, bool ok)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<TfmSettings *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto type = [](QSpinBox *edit, const QString &text) {
            if (text.isEmpty())
                return;
            edit->findChild<QLineEdit *>()->selectAll();
            QTest::keyClicks(edit->findChild<QLineEdit *>(), text);
        };
        type(dialog->IntervalDelayEdit(), delay);
        type(dialog->TryCountEdit(), tries);
        dialog->findChild<QPushButton *>(ok ? QStringLiteral("btnOk") : QStringLiteral("btnCancel"))
            ->click();
    });
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void dialogWritesOnlyOnChange_data();
    void dialogWritesOnlyOnChange();
    void dialogShowsCurrentValues();
    void buttonsStepWithinRange_data();
    void buttonsStepWithinRange();
    void closingMainWindowSavesSettingsAndPlacement();
    void placementRestored();
    void unreadablePlacementIsIgnored_data();
    void unreadablePlacementIsIgnored();

private:
    QString Path(const QString &name) const { return dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir;
};

void TestSettings::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSettings::dialogWritesOnlyOnChange_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("tries");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("storedDelay");
    QTest::addColumn<int>("storedTries");
    QTest::addRow("try count changed") << "" << "7" << true << true << 1000 << 7;
    QTest::addRow("nothing changed") << "" << "" << true << false << 1000 << 5;
    QTest::addRow("same value typed") << "1000" << "5" << true << false << 1000 << 5;
    QTest::addRow("cancelled") << "2000" << "9" << false << false << 1000 << 5;
    QTest::addRow("delay beyond the buttons' range") << "20000" << "" << true << true << 20000 << 5;
    // Only what the setting can hold is taken: no digit past 65535.
    QTest::addRow("delay past 16 bits") << "70000" << "" << true << true << 7000 << 5;
}

void TestSettings::dialogWritesOnlyOnChange()
{
    QFETCH(QString, delay);
    QFETCH(QString, tries);
    QFETCH(bool, ok);
    QFETCH(bool, written);
    QFETCH(int, storedDelay);
    QFETCH(int, storedTries);
    TSettings settings(Path(QStringLiteral("app.xml")));
    AnswerSettingsDialog(delay, tries, ok);
    QCOMPARE(EditSettings(nullptr, settings), written);
    QCOMPARE(QFile::exists(settings.FileName()), written);
    QCOMPARE(int(settings.ComIntervalDelay()), storedDelay);
    QCOMPARE(int(settings.ComConnectTryCount()), storedTries);
    if (written) {
        TSettings reread(settings.FileName());
        QCOMPARE(int(reread.ComIntervalDelay()), storedDelay);
        QCOMPARE(int(reread.ComConnectTryCount()), storedTries);
    }
}

void TestSettings::dialogShowsCurrentValues()
{
    TSettings settings(Path(QStringLiteral("app.xml")));
    settings.SetComIntervalDelay(2500);
    settings.SetComConnectTryCount(3);
    int delay = 0, tries = 0;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TfmSettings *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Настройки"));
        delay = dialog->IntervalDelayEdit()->value();
        tries = dialog->TryCountEdit()->value();
        dialog->reject();
    });
    EditSettings(nullptr, settings);
    QCOMPARE(delay, 2500);
    QCOMPARE(tries, 3);
}

void TestSettings::buttonsStepWithinRange_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("expected");
    QTest::addRow("inside") << 1000 << 1 << 1001;
    QTest::addRow("at the top") << 10000 << 1 << 10000;
    QTest::addRow("typed above, step down") << 20000 << -1 << 10000;
    QTest::addRow("typed below, step up") << 10 << 1 << 150;
}

void TestSettings::buttonsStepWithinRange()
{
    QFETCH(int, start);
    QFETCH(int, steps);
    QFETCH(int, expected);
    TStepRangeSpinBox edit(150, 10000);
    edit.setRange(0, 65535);
    edit.setValue(start);
    edit.stepBy(steps);
    QCOMPARE(edit.value(), expected);
}

void TestSettings::closingMainWindowSavesSettingsAndPlacement()
{
    const QString settingsFile = Path(QStringLiteral("app.xml"));
    const QString placementFile = Path(QStringLiteral("ViewSchema.xml"));
    {
        TfmMain w(std::make_unique<TSettings>(settingsFile));
        w.SetPlacementFile(placementFile);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(800, 600);
        w.close();
    }
    // Written on exit even though nothing changed.
    QVERIFY(QFile::exists(settingsFile));
    QFile placement(placementFile);
    QVERIFY(placement.open(QIODevice::ReadOnly));
    const QByteArray xml = placement.readAll();
    QVERIFY2(xml.contains("<Configuration>"), xml.constData());
    QVERIFY(xml.contains("<TfmMain>"));
    QVERIFY(xml.contains("<Width>800</Width>"));
}

void TestSettings::placementRestored()
{
    const QString placementFile = Path(QStringLiteral("ViewSchema.xml"));
    {
        QWidget window;
        window.setGeometry(40, 50, 640, 480);
        QVERIFY(TWindowPlacement(placementFile, QStringLiteral("TfmMain")).Save(&window));
    }
    TfmMain w(std::make_unique<TSettings>(Path(QStringLiteral("app.xml")), false));
    w.SetPlacementFile(placementFile);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(640, 480));
}

void TestSettings::unreadablePlacementIsIgnored_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addRow("not XML") << QByteArray("garbage <<<");
    QTest::addRow("other root") << QByteArray("<Other><TfmMain><Width>10</Width><Height>10</Height></TfmMain></Other>");
    QTest::addRow("zero size") << QByteArray("<Configuration><TfmMain><Width>0</Width><Height>0</Height></TfmMain></Configuration>");
}

void TestSettings::unreadablePlacementIsIgnored()
{
    QFETCH(QByteArray, content);
    const QString placementFile = Path(QStringLiteral("ViewSchema.xml"));
    QFile file(placementFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QWidget window;
    window.resize(300, 200);
    TWindowPlacement(placementFile, QStringLiteral("TfmMain")).Restore(&window);
    QCOMPARE(window.size(), QSize(300, 200));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
