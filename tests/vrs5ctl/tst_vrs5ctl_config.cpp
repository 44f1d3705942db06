// vrs5ctl rebuild and new: a file goes through the document of its type
// exactly as the program opens and saves it.
#include "ctl_process.h"
#include "test_folder.h"

#include "config/config_file.h"
#include "config/json.h"

#include <QtTest>

using namespace vrs;

namespace {

const QByteArray kZmt = R"({"whmeter":{"en":false,"name":"Щит 1","id":7,"app_id":3,"psw":"x","psw_def":true}})";

JsonValue parsed(const QByteArray &text)
{
    return *Parse(text);
}

} // namespace

class TestVrs5ctlConfig : public QObject, protected TestFolder {
    Q_OBJECT
private slots:
    void initTestCase();
    void rebuild_data();
    void rebuild();
    void newWritesADefaultDocument_data();
    void newWritesADefaultDocument();
    void newKeepsAnExistingFile();
};

void TestVrs5ctlConfig::initTestCase()
{
    QVERIFY(m_dir.isValid());
    put("zmt.vr5", EncodeConfigText(parsed(kZmt)));
    put("zmt.json", kZmt);
    put("partial.json", R"({"whmeter":{"psw":"p","id":7,"extra":1}})");
    put("ntrv-in-zmt.json", R"({"whmeter":{"id":2},"comment":"x"})");
    put("unknown.json", R"({"foo":1})");
    put("list.json", "[1, 2]");
    put("garbage.bin", "\x01\x02 not a configuration");
    put("wrong-member.json", R"({"whmeter":5})");
    put("unknown.vr5", EncodeConfigText(parsed(R"({"foo":{}})")));
}

// "@name" is a file in the test folder.  Failures print one line naming
// the file and write nothing on standard output.
void TestVrs5ctlConfig::rebuild_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("error");

    QTest::addRow(".vr5 file, readable") << QStringList{"rebuild", "@zmt.vr5"} << QByteArray() << 0
                                         << PrintReadable(parsed(kZmt)) << "";
    QTest::addRow("JSON text, compact") << QStringList{"rebuild", "--compact", "@zmt.json"} << QByteArray() << 0
                                        << kZmt << "";
    QTest::addRow("JSON on stdin") << QStringList{"rebuild", "-", "--compact"} << kZmt << 0 << kZmt << "";
    // Missing values take the defaults of a new document, unknown ones go.
    QTest::addRow("partial document")
        << QStringList{"rebuild", "--compact", "@partial.json"} << QByteArray() << 0
        << QByteArray(R"({"whmeter":{"en":false,"name":"","id":7,"app_id":1,"psw":"p","psw_def":false}})") << "";
    QTest::addRow("other root members dropped")
        << QStringList{"rebuild", "--compact", "@ntrv-in-zmt.json"} << QByteArray() << 0
        << QByteArray(R"({"whmeter":{"en":false,"name":"","id":2,"app_id":1,"psw":"","psw_def":false}})") << "";

    QTest::addRow("unknown root key") << QStringList{"rebuild", "@unknown.json"} << QByteArray() << 2
                                      << QByteArray() << "не является файлом конфигурации: в нём нет настроек";
    QTest::addRow("unknown root key in .vr5") << QStringList{"rebuild", "@unknown.vr5"} << QByteArray() << 2
                                              << QByteArray() << "unknown.vr5";
    QTest::addRow("JSON array") << QStringList{"rebuild", "@list.json"} << QByteArray() << 2 << QByteArray()
                                << "текст JSON не является объектом";
    QTest::addRow("neither file nor JSON") << QStringList{"rebuild", "@garbage.bin"} << QByteArray() << 2
                                           << QByteArray() << "не является файлом конфигурации или текстом JSON";
    QTest::addRow("document refuses the content") << QStringList{"rebuild", "@wrong-member.json"} << QByteArray()
                                                  << 2 << QByteArray() << "(ЗМТ)";
    QTest::addRow("missing file") << QStringList{"rebuild", "@missing.vr5"} << QByteArray() << 2 << QByteArray()
                                  << "missing.vr5: cannot open";
    QTest::addRow("no file") << QStringList{"rebuild", "--compact"} << QByteArray() << 1 << QByteArray()
                             << "usage: vrs5ctl rebuild";
    QTest::addRow("two files") << QStringList{"rebuild", "@zmt.json", "@zmt.vr5"} << QByteArray() << 1
                               << QByteArray() << "usage: vrs5ctl rebuild";
    QTest::addRow("unknown option") << QStringList{"rebuild", "--pretty", "@zmt.json"} << QByteArray() << 1
                                    << QByteArray() << "usage: vrs5ctl rebuild";
}

void TestVrs5ctlConfig::rebuild()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    QFETCH(QString, error);
    for (QString &arg : args)
        if (arg.startsWith('@'))
            arg = path(arg.mid(1));

    const CtlRun run = CtlRun::Start(args, input);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, output);
    QVERIFY2(run.err.contains(error), qPrintable(run.err));
    if (exitCode == 2)
        QCOMPARE(run.err.count('\n'), 1);
}

void TestVrs5ctlConfig::newWritesADefaultDocument_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("rootKey");
    QTest::addRow("plm") << "plm" << "asudd";
    QTest::addRow("ntrv") << "ntrv" << "ntrv";
    QTest::addRow("zmt") << "zmt" << "whmeter";
}

// A new file opens again as a document of its type and saves unchanged.
void TestVrs5ctlConfig::newWritesADefaultDocument()
{
    QFETCH(QString, type);
    QFETCH(QString, rootKey);
    const QString out = path("new-" + type + ".vr5");
    const CtlRun made = CtlRun::Start({"new", type, out});
    QVERIFY(!made.crashed);
    QCOMPARE(made.exitCode, 0);
    QVERIFY2(made.err.isEmpty(), qPrintable(made.err));

    JsonValue root;
    QString error;
    QVERIFY2(ReadConfigFile(out, &root, &error), qPrintable(error));
    QCOMPARE(RootKeyOf(RecognizeDeviceType(root)), rootKey);
    const CtlRun again = CtlRun::Start({"rebuild", out});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(again.out, PrintReadable(root));
}

void TestVrs5ctlConfig::newKeepsAnExistingFile()
{
    const QString out = path("kept.vr5");
    put("kept.vr5", "edited");
    const CtlRun refused = CtlRun::Start({"new", "zmt", out});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.contains("--force"), qPrintable(refused.err));
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("edited"));
    file.close();

    QCOMPARE(CtlRun::Start({"new", "--force", "zmt", out}).exitCode, 0);
    JsonValue root;
    QVERIFY(ReadConfigFile(out, &root, nullptr));

    QCOMPARE(CtlRun::Start({"new", "vrs", path("vrs.vr5")}).exitCode, 1);
    QVERIFY(!QFile::exists(path("vrs.vr5")));
}

QTEST_GUILESS_MAIN(TestVrs5ctlConfig)
#include "tst_vrs5ctl_config.moc"
