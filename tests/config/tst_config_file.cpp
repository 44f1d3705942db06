#include "config/codec.h"
#include "config/config_file.h"
#include "config/json.h"

#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace vrs;

namespace {

JsonValue rootWith(const QStringList &keys)
{
    JsonValue root = JsonValue::object();
    for (const QString &key : keys)
        root.add(key, JsonValue::object());
    return root;
}

JsonValue zmtRoot(const QString &name)
{
    JsonValue zmt = JsonValue::object();
    zmt.add("en", true);
    zmt.add("name", name);
    zmt.add("id", 1);
    JsonValue root = JsonValue::object();
    root.add("whmeter", zmt);
    return root;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Makes writes beyond a few kilobytes fail with EFBIG, which holds even for
// root, unlike folder permissions.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void recognize_data();
    void recognize();
    void rootKeys();
    void writeThenRead();
    void decodeText_data();
    void decodeText();
    void readErrors_data();
    void readErrors();
    void saveIntoMissingFolder();
    void failedSaveKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

void TestConfigFile::recognize_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("type");

    QTest::addRow("asudd") << QStringList{"asudd"} << int(dtNone) << int(dtPLM);
    QTest::addRow("ntrv") << QStringList{"ntrv"} << int(dtNone) << int(dtNTRV);
    QTest::addRow("whmeter") << QStringList{"whmeter"} << int(dtNone) << int(dtZMT);
    QTest::addRow("ntrv and asudd open as PLM") << QStringList{"ntrv", "asudd"} << int(dtNone) << int(dtPLM);
    QTest::addRow("whmeter and ntrv open as NTRV") << QStringList{"whmeter", "ntrv"} << int(dtNone) << int(dtNTRV);
    QTest::addRow("other keys ignored") << QStringList{"x", "whmeter"} << int(dtNone) << int(dtZMT);
    QTest::addRow("no key") << QStringList{"x"} << int(dtNone) << int(dtNone);
    QTest::addRow("empty") << QStringList{} << int(dtNone) << int(dtNone);
    QTest::addRow("case matters") << QStringList{"ASUDD", "Ntrv"} << int(dtNone) << int(dtNone);
    QTest::addRow("VRS starts at asudd") << QStringList{"asudd"} << int(dtVRS) << int(dtPLM);
    QTest::addRow("PLM starts at asudd") << QStringList{"ntrv", "asudd"} << int(dtPLM) << int(dtPLM);
    QTest::addRow("NTRV device is never PLM") << QStringList{"ntrv", "asudd"} << int(dtNTRV) << int(dtNTRV);
    QTest::addRow("NTRV device, only asudd") << QStringList{"asudd"} << int(dtNTRV) << int(dtNone);
    QTest::addRow("NTRV device, whmeter") << QStringList{"whmeter"} << int(dtNTRV) << int(dtZMT);
    QTest::addRow("ZMT device, only ZMT") << QStringList{"asudd", "ntrv"} << int(dtZMT) << int(dtNone);
    QTest::addRow("ZMT device") << QStringList{"asudd", "whmeter"} << int(dtZMT) << int(dtZMT);
}

void TestConfigFile::recognize()
{
    QFETCH(QStringList, keys);
    QFETCH(int, start);
    QFETCH(int, type);
    QCOMPARE(int(RecognizeDeviceType(rootWith(keys), DeviceType(start))), type);
}

void TestConfigFile::rootKeys()
{
    QCOMPARE(RootKeyOf(dtPLM), QStringLiteral("asudd"));
    QCOMPARE(RootKeyOf(dtNTRV), QStringLiteral("ntrv"));
    QCOMPARE(RootKeyOf(dtZMT), QStringLiteral("whmeter"));
    QVERIFY(RootKeyOf(dtVRS).isEmpty());
    QVERIFY(RootKeyOf(dtNone).isEmpty());
    QCOMPARE(RecognizeDeviceType(JsonValue::array()), dtNone);
}

void TestConfigFile::writeThenRead()
{
    const QString path = m_dir.filePath("zmt.vr5");
    const JsonValue root = zmtRoot(QStringLiteral("Счётчик №1 — 日本"));
    QString error;
    QVERIFY2(WriteConfigFile(path, root, &error), qPrintable(error));

    const QByteArray file = readAll(path);
    QCOMPARE(file, EncodeConfig(PrintReadable(root), 38117));
    for (char c : file)
        QVERIFY(std::isalnum(uchar(c)) || c == '+' || c == '/');

    JsonValue back;
    QVERIFY2(ReadConfigFile(path, &back, &error), qPrintable(error));
    QCOMPARE(back, root);
    QCOMPARE(RecognizeDeviceType(back), dtZMT);
}

void TestConfigFile::decodeText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("opens");
    const auto encode = [](const char *text) { return EncodeConfig(text, kConfigKey); };
    QTest::addRow("object") << encode(R"({"ntrv":{}})") << true;
    QTest::addRow("with byte-order mark") << encode("\xEF\xBB\xBF{\"ntrv\":{}}") << true;
    QTest::addRow("empty file") << QByteArray() << false;
    QTest::addRow("list is not a configuration") << encode("[1]") << false;
    QTest::addRow("string is not a configuration") << encode(R"("asudd")") << false;
    QTest::addRow("other key") << encode(R"({"ntrv":{}})").replace(0, 1, "A") << false;
    QTest::addRow("plain JSON is not a file") << QByteArray(R"({"ntrv":{}})") << false;
    QTest::addRow("line breaks inserted") << encode(R"({"ntrv":{}})").insert(4, "\r\n") << false;
}

void TestConfigFile::decodeText()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, opens);
    QCOMPARE(bool(DecodeConfigText(file)), opens);
}

void TestConfigFile::readErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::addRow("missing") << "missing.vr5" << QByteArray() << "Не удалось открыть файл";
    QTest::addRow("empty") << "empty.vr5" << QByteArray("") << "не является файлом конфигурации";
    QTest::addRow("garbage") << "garbage.vr5" << QByteArray("hello world") << "не является файлом конфигурации";
    QTest::addRow("folder") << "." << QByteArray() << "Не удалось";
}

void TestConfigFile::readErrors()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = m_dir.filePath(name);
    if (!content.isNull())
        writeAll(path, content);
    JsonValue root = rootWith({"kept"});
    QString error;
    QVERIFY(!ReadConfigFile(path, &root, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(root, rootWith({"kept"}));
}

void TestConfigFile::saveIntoMissingFolder()
{
    const QString path = m_dir.filePath("no/such/folder/x.vr5");
    QString error;
    QVERIFY(!WriteConfigFile(path, zmtRoot("x"), &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TestConfigFile::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.vr5");
    QString error;
    QVERIFY(WriteConfigFile(path, zmtRoot("old"), &error));
    const QByteArray old = readAll(path);
    QVERIFY(old.size() < 1024);

    const JsonValue big = zmtRoot(QString(100000, QChar('x')));
    {
        FileSizeLimit limit(4096);
        if (!limit.ok())
            QSKIP("cannot limit the file size here");
        QVERIFY(!WriteConfigFile(path, big, &error));
    }
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.vr5"});
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_config_file.moc"
