// "bprog.ini": what a run reads, what it leaves behind, and where the file is.

#include "programmer/prog_settings.h"
#include "programmer/prog_settings_ini.h"
#include "programmer/prog_settings_paths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace vrs;

namespace {

const QByteArray kDefaults = "[MainForm]\n"
                             "Left=-1\nTop=-1\nWidth=-1\nHeight=-1\nMaximized=0\n"
                             "ConnectType=0\nLog=1\nAutoUpdateDevList=1\nLastDir=\n"
                             "\n"
                             "[USB]\nTimeout=5000\nVID=4098\nPID=26214\n";

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// One run of the program over the file: load, change nothing, save at end.
QByteArray RunOver(const QByteArray &before)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("bprog.ini");
    if (!before.isNull())
        WriteAll(name, before);
    { TProgSettings settings(name); }
    return ReadAll(name);
}

QString Field(const TProgSettings &s, const QString &key)
{
    const TMainFormSettings &m = s.MainForm();
    const TUSBSettings &u = s.USB();
    if (key == "Maximized") return QString::number(m.Maximized());
    if (key == "Top") return QString::number(m.Top());
    if (key == "Height") return QString::number(m.Height());
    if (key == "Left") return QString::number(m.Left());
    if (key == "Width") return QString::number(m.Width());
    if (key == "ConnectType") return QString::number(m.ConnectType());
    if (key == "Log") return QString::number(m.Log());
    if (key == "AutoUpdateDevList") return QString::number(m.AutoUpdateDevList());
    if (key == "LastDir") return m.LastDir();
    if (key == "Timeout") return QString::number(u.Timeout());
    if (key == "VID") return QString::number(u.VID());
    if (key == "PID") return QString::number(u.PID());
    return "<no such key>";
}

} // namespace

class TestProgSettings : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void values_data();
    void values();
    void changesReachTheFile();
    void changeMark();
    void editsByOthersDuringRunSurvive();
    void location_data();
    void location();
    void defaultLookupUsesUserConfigFolder();
};

void TestProgSettings::roundTrip_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::addRow("no file: all twelve keys at their defaults") << QByteArray() << kDefaults;
    QTest::addRow("empty file") << QByteArray("") << kDefaults;
    QTest::addRow("others' sections, keys and comments kept in place")
        << QByteArray("; written by hand\n"
                      "[Tools]\nEditor=vi\n\n"
                      "[MainForm]\nLog=0\nTheme=dark\nTop=40\n\n"
                      "; the end\n[Zeta]\nA=1\n")
        << QByteArray("; written by hand\n"
                      "[Tools]\nEditor=vi\n\n"
                      "[MainForm]\nLog=0\nTheme=dark\nTop=40\n"
                      "Left=-1\nWidth=-1\nHeight=-1\nMaximized=0\nConnectType=0\n"
                      "AutoUpdateDevList=1\nLastDir=\n\n"
                      "; the end\n[Zeta]\nA=1\n\n"
                      "[USB]\nTimeout=5000\nVID=4098\nPID=26214\n");
    QTest::addRow("names in another case keep their spelling")
        << QByteArray("[usb]\r\npid=1\r\nvid=2\r\ntimeout=3\r\n")
        << QByteArray("[usb]\r\npid=1\r\nvid=2\r\ntimeout=3\r\n\r\n"
                      "[MainForm]\r\nLeft=-1\r\nTop=-1\r\nWidth=-1\r\nHeight=-1\r\n"
                      "Maximized=0\r\nConnectType=0\r\nLog=1\r\nAutoUpdateDevList=1\r\n"
                      "LastDir=\r\n");
    QTest::addRow("bad values rewritten with defaults, neighbours untouched")
        << QByteArray("[USB]\nVID=0x10000\nNote = keep  me \nPID=abc\n")
        << QByteArray("[USB]\nVID=4098\nNote = keep  me \nPID=26214\nTimeout=5000\n\n")
               + kDefaults.left(kDefaults.indexOf("\n\n") + 1);
    QTest::addRow("bytes that are no UTF-8 in others' lines kept")
        << QByteArray("[Paths]\nOld=C:\\\xCF\xF0\xEE\xE3\n")
        << QByteArray("[Paths]\nOld=C:\\\xCF\xF0\xEE\xE3\n\n") + kDefaults;
}

void TestProgSettings::roundTrip()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(RunOver(before), after);
}

void TestProgSettings::values_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::addRow("integer") << QByteArray("[MainForm]\nTop=120") << "Top" << "120";
    QTest::addRow("negative") << QByteArray("[MainForm]\nLeft=-300") << "Left" << "-300";
    QTest::addRow("hexadecimal") << QByteArray("[USB]\nVID=0x28E9") << "VID" << "10473";
    QTest::addRow("Pascal hexadecimal") << QByteArray("[USB]\nPID=$18A") << "PID" << "394";
    QTest::addRow("no number") << QByteArray("[MainForm]\nWidth=wide") << "Width" << "-1";
    QTest::addRow("empty number") << QByteArray("[MainForm]\nHeight=") << "Height" << "-1";
    QTest::addRow("above 16 bits") << QByteArray("[USB]\nTimeout=65536") << "Timeout" << "5000";
    QTest::addRow("negative byte") << QByteArray("[MainForm]\nConnectType=-1") << "ConnectType"
                                   << "0";
    QTest::addRow("above 32 bits") << QByteArray("[MainForm]\nTop=4294967296") << "Top" << "-1";
    QTest::addRow("boolean 0") << QByteArray("[MainForm]\nLog=0") << "Log" << "0";
    QTest::addRow("boolean other number") << QByteArray("[MainForm]\nMaximized=2") << "Maximized"
                                          << "1";
    QTest::addRow("boolean no number keeps default")
        << QByteArray("[MainForm]\nMaximized=yes\nAutoUpdateDevList=off") << "Maximized" << "0";
    QTest::addRow("key in another section") << QByteArray("[USB]\nLog=0") << "Log" << "1";
    QTest::addRow("first of two sections")
        << QByteArray("[MainForm]\nTop=1\n[MainForm]\nTop=2") << "Top" << "1";
    QTest::addRow("folder with blanks and Cyrillic")
        << QByteArray("[MainForm]\nLastDir= /home/инженер/прошивки/ ") << "LastDir"
        << "/home/инженер/прошивки/";
}

void TestProgSettings::values()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, key);
    QFETCH(QString, value);

    QTemporaryDir dir;
    const QString name = dir.filePath("bprog.ini");
    WriteAll(name, ini);
    TProgSettings settings(name);
    QCOMPARE(Field(settings, key), value);
}

void TestProgSettings::changesReachTheFile()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("bprog.ini");
    {
        TProgSettings settings(name);
        settings.MainForm().SetLog(false);
        settings.MainForm().SetLastDir(QStringLiteral("/srv/прошивки/"));
    }
    TProgSettings again(name);
    QCOMPARE(again.MainForm().Log(), false);
    QCOMPARE(again.MainForm().LastDir(), QStringLiteral("/srv/прошивки/"));
}

void TestProgSettings::changeMark()
{
    QTemporaryDir dir;
    TProgSettings settings(dir.filePath("bprog.ini"));
    int events = 0;
    settings.MainForm().SetOnChange([&](TSettingsBase *) { ++events; });
    QVERIFY(!settings.IsChanged());

    settings.MainForm().SetLog(true);   // already on
    QVERIFY(!settings.MainForm().IsChanged());
    QCOMPARE(events, 0);

    settings.MainForm().SetLastDir("/tmp/");
    QVERIFY(settings.MainForm().IsChanged());
    QCOMPARE(events, 1);
    QVERIFY(settings.Save());
    QVERIFY(!settings.MainForm().IsChanged());
    QVERIFY(!settings.IsChanged());
}

void TestProgSettings::editsByOthersDuringRunSurvive()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("bprog.ini");
    {
        TProgSettings settings(name);
        WriteAll(name, "[Other]\nAddedMeanwhile=1\n");
        settings.MainForm().SetLastDir("/fw/");
    }
    const QByteArray after = ReadAll(name);
    QVERIFY2(after.startsWith("[Other]\nAddedMeanwhile=1\n\n[MainForm]\n"), after.constData());
    QVERIFY(after.contains("LastDir=/fw/\n"));
}

void TestProgSettings::location_data()
{
    QTest::addColumn<bool>("userFolderExists");
    QTest::addColumn<QString>("programFolder");   // below the temporary folder
    QTest::addColumn<bool>("readOnlyProgramFolder");
    QTest::addColumn<QString>("expected");        // below the temporary folder

    QTest::addRow("user folder exists") << true << "bin" << false
                                        << "config/Veltrona LTD/VRS/bprog.ini";
    QTest::addRow("no user folder: next to the program") << false << "bin" << false
                                                         << "bin/bprog.ini";
    QTest::addRow("program folder gone: user folder made")
        << false << "gone" << false << "config/Veltrona LTD/VRS/bprog.ini";
    QTest::addRow("read-only program folder: user folder made")
        << false << "bin" << true << "config/Veltrona LTD/VRS/bprog.ini";
}

void TestProgSettings::location()
{
    QFETCH(bool, userFolderExists);
    QFETCH(QString, programFolder);
    QFETCH(bool, readOnlyProgramFolder);
    QFETCH(QString, expected);

    if (readOnlyProgramFolder && ::geteuid() == 0)
        QSKIP("folder permissions do not bind the superuser");

    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    QDir().mkpath(root + "config");
    QDir().mkpath(root + "bin");
    if (userFolderExists)
        QDir().mkpath(root + "config/Veltrona LTD/VRS");
    if (readOnlyProgramFolder)
        QFile::setPermissions(root + "bin", QFile::ReadOwner | QFile::ExeOwner);

    const QString name = LocateProgSettingsFile(root + "config/", root + programFolder + "/");
    QCOMPARE(name, root + expected);
    {
        TProgSettings settings(name);
        settings.MainForm().SetLastDir("/fw/");
    }
    QVERIFY(ReadAll(root + expected).contains("LastDir=/fw/\n"));
    QFile::setPermissions(root + "bin", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestProgSettings::defaultLookupUsesUserConfigFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QVERIFY(QDir().mkpath(config + "/Veltrona LTD/VRS"));
    QCOMPARE(GetAppDataFolder(), config + "/");
    const QString expected = config + "/Veltrona LTD/VRS/bprog.ini";
    {
        TProgSettings settings;
        QCOMPARE(settings.FileName(), expected);
        QCOMPARE(TProgSettings::Instance(), &settings);
    }
    QCOMPARE(TProgSettings::Instance(), nullptr);
    QCOMPARE(ReadAll(expected), kDefaults);
    QDir(config + "/Veltrona LTD").removeRecursively();
}

QTEST_GUILESS_MAIN(TestProgSettings)
#include "tst_progsettings.moc"
