#include "config/codec.h"
#include "config/json.h"

#include <QtTest>

using namespace vrs;

namespace {

const QByteArray kDocument = "\xEF\xBB\xBF { \"whmeter\": {\"en\": true, \"name\": \"\xD0\x96/\", \"id\": 1,} }";
const QByteArray kReadable = "{\r\n\t\"whmeter\": {\r\n\t\t\"en\": true,\r\n\t\t\"name\": \"\xD0\x96/\",\r\n"
                             "\t\t\"id\": 1\r\n\t}\r\n}";
const QByteArray kCompact = "{\"whmeter\":{\"en\":true,\"name\":\"\xD0\x96/\",\"id\":1}}";

} // namespace

class TestVrs5ctl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void run_data();
    void run();
    void encodeWritesConfigFile();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestVrs5ctl::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QList<QPair<QString, QByteArray>> files = {
        {"doc.json", kDocument},
        {"list.json", "[1, 2]"},
        {"broken.json", "{\"a\": 1"},
        {"doc.vr5", EncodeConfig(kReadable, 38117)},
        {"garbage.vr5", "not base64 at all"},
    };
    for (const auto &f : files) {
        QFile file(path(f.first));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(f.second);
    }
}

// Arguments may name files in the test folder as "@name"; "stdout" is
// compared whole, "stderr" only checked to contain the text.
void TestVrs5ctl::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("error");

    QTest::addRow("help") << QStringList{"--help"} << QByteArray() << 0 << QByteArray() << "";
    QTest::addRow("command help") << QStringList{"decode", "--help"} << QByteArray() << 0 << QByteArray() << "";
    QTest::addRow("no command") << QStringList{} << QByteArray() << 1 << QByteArray() << "Usage:";
    QTest::addRow("unknown command") << QStringList{"frobnicate"} << QByteArray() << 1 << QByteArray()
                                     << "frobnicate";
    QTest::addRow("decode without file") << QStringList{"decode"} << QByteArray() << 1 << QByteArray()
                                         << "usage: vrs5ctl decode";
    QTest::addRow("encode one argument") << QStringList{"encode", "@doc.json"} << QByteArray() << 1
                                         << QByteArray() << "usage: vrs5ctl encode";
    QTest::addRow("print without layout") << QStringList{"print", "@doc.json"} << QByteArray() << 1
                                          << QByteArray() << "usage: vrs5ctl print";
    QTest::addRow("print two layouts") << QStringList{"print", "--compact", "--readable", "@doc.json"}
                                       << QByteArray() << 1 << QByteArray() << "usage";
    QTest::addRow("print unknown option") << QStringList{"print", "--pretty", "@doc.json"} << QByteArray()
                                          << 1 << QByteArray() << "usage";

    QTest::addRow("decode") << QStringList{"decode", "@doc.vr5"} << QByteArray() << 0 << kReadable << "";
    QTest::addRow("decode stdin") << QStringList{"decode", "-"} << EncodeConfig(kReadable, 38117) << 0
                                  << kReadable << "";
    QTest::addRow("decode any bytes") << QStringList{"decode", "@garbage.vr5"} << QByteArray() << 0
                                      << DecodeConfig("not base64 at all", 38117) << "";
    QTest::addRow("decode missing file") << QStringList{"decode", "@missing.vr5"} << QByteArray() << 2
                                         << QByteArray() << "missing.vr5: cannot open";
    QTest::addRow("print readable") << QStringList{"print", "--readable", "@doc.json"} << QByteArray() << 0
                                    << kReadable << "";
    QTest::addRow("print compact stdin") << QStringList{"print", "--compact", "-"} << kDocument << 0
                                         << kCompact << "";
    QTest::addRow("print layout after file") << QStringList{"print", "@doc.json", "--compact"} << QByteArray()
                                             << 0 << kCompact << "";
    QTest::addRow("print list") << QStringList{"print", "--compact", "@list.json"} << QByteArray() << 2
                                << QByteArray() << "list.json: JSON text is not an object";
    QTest::addRow("print broken") << QStringList{"print", "--compact", "@broken.json"} << QByteArray() << 2
                                  << QByteArray() << "broken.json: not valid JSON";
    QTest::addRow("print empty stdin") << QStringList{"print", "--compact", "-"} << QByteArray() << 2
                                       << QByteArray() << "<stdin>: not valid JSON";
    QTest::addRow("print missing") << QStringList{"print", "--readable", "@missing.json"} << QByteArray() << 2
                                   << QByteArray() << "missing.json";
    QTest::addRow("encode broken") << QStringList{"encode", "@broken.json", "@out-broken.vr5"} << QByteArray()
                                   << 2 << QByteArray() << "broken.json";
    QTest::addRow("encode list") << QStringList{"encode", "@list.json", "@out-list.vr5"} << QByteArray() << 2
                                 << QByteArray() << "list.json";
    QTest::addRow("encode into missing folder")
        << QStringList{"encode", "@doc.json", "@no/folder/out.vr5"} << QByteArray() << 2 << QByteArray()
        << "out.vr5";
}

void TestVrs5ctl::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    QFETCH(QString, error);

    QStringList outputs;
    for (QString &arg : args) {
        if (arg.startsWith('@'))
            arg = path(arg.mid(1));
        if (arg.endsWith(".vr5") && arg.contains("out"))
            outputs << arg;
    }
    QProcess p;
    p.start(VRS5CTL_PATH, args);
    QVERIFY(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    const QByteArray out = p.readAllStandardOutput();
    const QString err = QString::fromUtf8(p.readAllStandardError());

    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    if (exitCode == 0 && args.contains("--help"))
        QVERIFY(out.startsWith("Usage: vrs5ctl"));
    else
        QCOMPARE(out, output);
    QVERIFY2(err.contains(error), qPrintable(err));
    if (exitCode == 2)
        QCOMPARE(err.count('\n'), 1);
    if (exitCode == 0)
        QVERIFY2(err.isEmpty(), qPrintable(err));
    for (const QString &file : outputs)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
}

// The tool writes exactly what the program's save writes.
void TestVrs5ctl::encodeWritesConfigFile()
{
    const QString out = path("written.vr5");
    QProcess p;
    p.start(VRS5CTL_PATH, {"encode", path("doc.json"), out});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), EncodeConfig(kReadable, 38117));
}

QTEST_GUILESS_MAIN(TestVrs5ctl)
#include "tst_vrs5ctl.moc"
