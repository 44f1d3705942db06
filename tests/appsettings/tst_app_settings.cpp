#include "appsettings/app_folders.h"
#include "appsettings/settings.h"
#include "appsettings/settings_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace vrs;

class TstAppSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;

    QString Path(const QString &name) const { return FDir.filePath(name); }

    void WriteFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(Path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static QByteArray ReadFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QVERIFY(FDir.isValid()); }

    void missingFileGivesDefaults()
    {
        TSettings s(Path("absent.xml"));
        QCOMPARE(s.ComIntervalDelay(), quint16(1000));
        QCOMPARE(s.ComConnectTryCount(), quint8(5));
        QVERIFY(!s.Modified());
        QVERIFY(!QFile::exists(Path("absent.xml")));
    }

    void defaultFileIsExact()
    {
        const QString name = Path("defaults.xml");
        TSettings s(name);
        s.Save();
        const QByteArray stars(35, '*');
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
            "<!--\r\n" + stars + "\r\n*\r\n*  DON'T MODIFY THIS FILE\r\n*\r\n" + stars + "\r\n-->\r\n"
            "<Root ComIntervalDelay=\"1000\" ComConnectTryCount=\"5\"/>\r\n";
        QCOMPARE(ReadFile(name), expected);
    }

    void roundTrip()
    {
        const QString name = Path("round.xml");
        {
            TSettings s(name);
            s.SetComIntervalDelay(250);
            s.SetComConnectTryCount(7);
            QVERIFY(s.Modified());
            s.Save();
            QVERIFY(!s.Modified());
        }
        TSettings again(name);
        QCOMPARE(again.ComIntervalDelay(), quint16(250));
        QCOMPARE(again.ComConnectTryCount(), quint8(7));
        QVERIFY(!again.Modified());
    }

    void modifiedOnlyOnRealChange()
    {
        TSettings s(Path("unused.xml"), false);
        s.SetComIntervalDelay(1000);
        s.SetComConnectTryCount(5);
        QVERIFY(!s.Modified());
        s.SetComConnectTryCount(6);
        QVERIFY(s.Modified());
        // Setting the old value back does not undo the mark.
        s.SetComConnectTryCount(5);
        QVERIFY(s.Modified());
        s.Load();
        QVERIFY(!s.Modified());
    }

    void loadTakesKnownAttributes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("tries");

        QTest::addRow("both") << QByteArray("<Root ComIntervalDelay=\"300\" ComConnectTryCount=\"9\"/>")
                              << 300 << 9;
        QTest::addRow("only delay keeps default count")
            << QByteArray("<?xml version=\"1.0\"?><Root ComIntervalDelay=\"42\"/>") << 42 << 5;
        QTest::addRow("unknown attributes ignored")
            << QByteArray("<Root Foo=\"x\" ComConnectTryCount=\"3\"/>") << 1000 << 3;
        QTest::addRow("any root name") << QByteArray("<Settings ComIntervalDelay=\"7\"/>") << 7 << 5;
        QTest::addRow("child element attributes ignored")
            << QByteArray("<Root><Root ComIntervalDelay=\"9\"/></Root>") << 1000 << 5;
        QTest::addRow("out of range in file is clamped")
            << QByteArray("<Root ComIntervalDelay=\"70000\" ComConnectTryCount=\"-3\"/>") << 65535 << 0;
    }

    void loadTakesKnownAttributes()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, delay);
        QFETCH(int, tries);
        WriteFile("load.xml", content);
        TSettings s(Path("load.xml"));
        QCOMPARE(int(s.ComIntervalDelay()), delay);
        QCOMPARE(int(s.ComConnectTryCount()), tries);
    }

    void malformedFileRaisesAndKeepsValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("empty") << QByteArray();
        QTest::addRow("not xml") << QByteArray("ComIntervalDelay=300");
        QTest::addRow("truncated") << QByteArray("<?xml version=\"1.0\"?>\r\n<Root ComIntervalDelay=\"300\"");
        QTest::addRow("unclosed root") << QByteArray("<Root ComIntervalDelay=\"300\">");
        QTest::addRow("two roots") << QByteArray("<Root ComIntervalDelay=\"300\"/><Root/>");
        QTest::addRow("not a number") << QByteArray("<Root ComIntervalDelay=\"abc\"/>");
        QTest::addRow("comment only") << QByteArray("<?xml version=\"1.0\"?><!-- x -->");
    }

    void malformedFileRaisesAndKeepsValues()
    {
        QFETCH(QByteArray, content);
        WriteFile("broken.xml", content);
        TSettings s(Path("broken.xml"), false);
        s.SetComIntervalDelay(123);
        s.SetComConnectTryCount(4);
        try {
            s.Load();
            QFAIL("a broken file was taken as valid");
        } catch (const ESettingsError &e) {
            QVERIFY2(e.Message().contains(Path("broken.xml")), qPrintable(e.Message()));
        }
        QCOMPARE(s.ComIntervalDelay(), quint16(123));
        QCOMPARE(s.ComConnectTryCount(), quint8(4));
        QVERIFY_THROWS_EXCEPTION(ESettingsError, TSettings(Path("broken.xml")));
    }

    void typedValuesAreClamped_data()
    {
        QTest::addColumn<qint64>("typedDelay");
        QTest::addColumn<qint64>("typedTries");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("tries");
        QTest::addRow("in range") << qint64(150) << qint64(100) << 150 << 100;
        QTest::addRow("upper bounds") << qint64(65535) << qint64(255) << 65535 << 255;
        QTest::addRow("just above") << qint64(65536) << qint64(256) << 65535 << 255;
        QTest::addRow("70000 is not 4464") << qint64(70000) << qint64(300) << 65535 << 255;
        QTest::addRow("negative") << qint64(-1) << qint64(-1) << 0 << 0;
        QTest::addRow("huge") << (qint64(1) << 40) << (qint64(1) << 40) << 65535 << 255;
    }

    void typedValuesAreClamped()
    {
        QFETCH(qint64, typedDelay);
        QFETCH(qint64, typedTries);
        QFETCH(int, delay);
        QFETCH(int, tries);
        TSettings s(Path("unused.xml"), false);
        s.SetComIntervalDelay(typedDelay);
        s.SetComConnectTryCount(typedTries);
        QCOMPARE(int(s.ComIntervalDelay()), delay);
        QCOMPARE(int(s.ComConnectTryCount()), tries);
    }

    void saveReplacesFileAndFailureKeepsModified()
    {
        const QString name = Path("replace.xml");
        WriteFile("replace.xml", "<Root ComIntervalDelay=\"1\" Extra=\"x\"/><!-- old -->");
        TSettings s(name);
        s.SetComConnectTryCount(8);
        s.Save();
        QVERIFY(!ReadFile(name).contains("Extra"));
        QVERIFY(ReadFile(name).contains("ComIntervalDelay=\"1\" ComConnectTryCount=\"8\""));

        TSettings lost(Path("no-such-dir/x.xml"), false);
        lost.SetComIntervalDelay(2);
        QVERIFY_THROWS_EXCEPTION(ESettingsError, lost.Save());
        QVERIFY(lost.Modified());
    }

    void folderIsCreatedBelowUserConfig()
    {
        const QString folder = AppSettingsFolder(QStringLiteral("tst-program"));
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QCOMPARE(folder, config + QStringLiteral("/Veltrona Ltd/tst-program/"));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(AppSettingsFileName(folder, QStringLiteral("tst-program")),
                 folder + QStringLiteral("tst-program.xml"));
        // Asking again for an existing folder is fine.
        QCOMPARE(AppSettingsFolder(QStringLiteral("tst-program")), folder);
    }

    void folderBlockedByFileRaises()
    {
        WriteFile("blocker", "x");
        try {
            EnsureProgramFolder(Path("blocker"), QStringLiteral("prog"));
            QFAIL("no error for a folder that cannot be created");
        } catch (const ESettingsError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Can not get app data path: ")
                                      + Path("blocker") + QStringLiteral("/Veltrona Ltd/prog/"));
        }
    }

    void folderInReadOnlyParentRaises()
    {
        if (::geteuid() == 0)
            QSKIP("root ignores folder permissions");
        const QString locked = Path("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY_THROWS_EXCEPTION(ESettingsError, EnsureProgramFolder(locked, QStringLiteral("prog")));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TstAppSettings)
#include "tst_app_settings.moc"
