#include "config/json.h"
#include "devices/zmt/zmt_model.h"

#include <QtTest>

using namespace vrs;

namespace {

JsonValue parsed(const char *text)
{
    std::optional<JsonValue> v = Parse(QByteArray(text));
    if (!v)
        qFatal("fixture does not parse: %s", text);
    return *v;
}

// A document that differs from a new one in every setting.
ZmtModel editedModel()
{
    ZmtModel m;
    m.setEnabled(false);
    m.setName(QStringLiteral("Щит №2 \"Север\"\t/1"));
    m.setOwnId(65535);
    m.setAppId(0);
    m.setPassword(QStringLiteral("пароль\\1"));
    m.setDefaultPassword(true);
    return m;
}

} // namespace

class TestZmtModel : public QObject {
    Q_OBJECT
private slots:
    void newDocumentPrintsTheFileExample();
    void roundTripThroughText_data();
    void roundTripThroughText();
    void emptyObjectClearsAllButIdentifiers();
    void convertsMemberValues_data();
    void convertsMemberValues();
    void rejectsAndKeepsTheDocument_data();
    void rejectsAndKeepsTheDocument();
    void identifierLookupByKind();
};

void TestZmtModel::newDocumentPrintsTheFileExample()
{
    const QByteArray expected =
        "{\r\n"
        "\t\"whmeter\": {\r\n"
        "\t\t\"en\": true,\r\n"
        "\t\t\"name\": \"\",\r\n"
        "\t\t\"id\": 1,\r\n"
        "\t\t\"app_id\": 1,\r\n"
        "\t\t\"psw\": \"\",\r\n"
        "\t\t\"psw_def\": false\r\n"
        "\t}\r\n"
        "}";
    QCOMPARE(PrintReadable(ZmtModel().BuildJSON()), expected);
    QCOMPARE(PrintCompact(editedModel().BuildJSON()),
             QByteArray("{\"whmeter\":{\"en\":false,\"name\":\"Щит №2 \\\"Север\\\"\\t/1\","
                        "\"id\":65535,\"app_id\":0,\"psw\":\"пароль\\\\1\",\"psw_def\":true}}"));
}

void TestZmtModel::roundTripThroughText_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("readable");
    QTest::addRow("new, readable") << false << true;
    QTest::addRow("edited, readable") << true << true;
    QTest::addRow("edited, compact") << true << false;
}

void TestZmtModel::roundTripThroughText()
{
    QFETCH(bool, edited);
    QFETCH(bool, readable);
    const ZmtModel source = edited ? editedModel() : ZmtModel();
    const QByteArray text = readable ? PrintReadable(source.BuildJSON())
                                     : PrintCompact(source.BuildJSON());
    std::optional<JsonValue> root = Parse(text);
    QVERIFY(root);

    // Loaded over a document that holds other values, so nothing can pass
    // by merely being left alone.
    ZmtModel target = edited ? ZmtModel() : editedModel();
    QString message;
    QVERIFY2(target.LoadJSON(*root, &message), qPrintable(message));
    QCOMPARE(target.BuildJSON(), source.BuildJSON());
    QCOMPARE(readable ? PrintReadable(target.BuildJSON()) : PrintCompact(target.BuildJSON()),
             text);
}

void TestZmtModel::emptyObjectClearsAllButIdentifiers()
{
    ZmtModel m = editedModel();
    m.setEnabled(true);
    QString message;
    QVERIFY(m.LoadJSON(parsed("{\"whmeter\": {}}"), &message));
    QCOMPARE(m.enabled(), false);
    QCOMPARE(m.name(), QString());
    QCOMPARE(m.password(), QString());
    QCOMPARE(m.defaultPassword(), false);
    QCOMPARE(m.ownId(), quint16(65535));
    QCOMPARE(m.appId(), quint16(0));
}

void TestZmtModel::convertsMemberValues_data()
{
    QTest::addColumn<QByteArray>("members");
    QTest::addColumn<QByteArray>("expected");
    // The whole object as written back, so each row shows every setting.
    QTest::addRow("id keeps low 16 bits")
        << QByteArray("\"en\":true,\"id\":65537,\"app_id\":131071")
        << QByteArray("{\"en\":true,\"name\":\"\",\"id\":1,\"app_id\":65535,\"psw\":\"\",\"psw_def\":false}");
    QTest::addRow("negative id")
        << QByteArray("\"id\":-1,\"app_id\":-65536")
        << QByteArray("{\"en\":false,\"name\":\"\",\"id\":65535,\"app_id\":0,\"psw\":\"\",\"psw_def\":false}");
    QTest::addRow("fractions round to even")
        << QByteArray("\"id\":2.5,\"app_id\":3.5")
        << QByteArray("{\"en\":false,\"name\":\"\",\"id\":2,\"app_id\":4,\"psw\":\"\",\"psw_def\":false}");
    QTest::addRow("numbers as booleans")
        << QByteArray("\"en\":2,\"psw_def\":0")
        << QByteArray("{\"en\":true,\"name\":\"\",\"id\":7,\"app_id\":8,\"psw\":\"\",\"psw_def\":false}");
    QTest::addRow("texts as booleans and numbers")
        << QByteArray("\"en\":\"TRUE\",\"psw_def\":\"1\",\"id\":\" 300 \",\"app_id\":\"1e3\"")
        << QByteArray("{\"en\":true,\"name\":\"\",\"id\":300,\"app_id\":1000,\"psw\":\"\",\"psw_def\":true}");
    QTest::addRow("numbers and booleans as texts")
        << QByteArray("\"name\":1.5,\"psw\":true")
        << QByteArray("{\"en\":false,\"name\":\"1.5\",\"id\":7,\"app_id\":8,\"psw\":\"True\",\"psw_def\":false}");
}

void TestZmtModel::convertsMemberValues()
{
    QFETCH(QByteArray, members);
    QFETCH(QByteArray, expected);
    ZmtModel m;
    m.setOwnId(7);
    m.setAppId(8);
    QString message;
    QVERIFY2(m.LoadJSON(parsed("{\"whmeter\":{" + members + "}}"), &message),
             qPrintable(message));
    QCOMPARE(PrintCompact(*m.BuildJSON().find(QStringLiteral("whmeter"))), expected);
}

void TestZmtModel::rejectsAndKeepsTheDocument_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("message");
    QTest::addRow("other device type")
        << QByteArray("{\"ntrv\":{\"vrs_count\":1}}") << QStringLiteral("Некорректная конфигурация");
    QTest::addRow("root not an object")
        << QByteArray("[{\"whmeter\":{}}]") << QStringLiteral("Некорректная конфигурация");
    QTest::addRow("settings not an object")
        << QByteArray("{\"whmeter\":5}")
        << QStringLiteral("Некорректная конфигурация: ключ \"whmeter\" должен содержать объект, а содержит 5");
    // The bad member comes after good ones: they must not be taken either.
    QTest::addRow("id not a number")
        << QByteArray("{\"whmeter\":{\"en\":false,\"name\":\"X\",\"id\":\"abc\"}}")
        << QStringLiteral("Некорректная конфигурация: значение \"abc\" ключа \"id\" не является целым числом");
    QTest::addRow("huge id")
        << QByteArray("{\"whmeter\":{\"id\":1e300}}")
        << QStringLiteral("Некорректная конфигурация: значение 1E300 ключа \"id\" не является целым числом");
    QTest::addRow("en null")
        << QByteArray("{\"whmeter\":{\"en\":null}}")
        << QStringLiteral("Некорректная конфигурация: значение null ключа \"en\" не является логическим");
    QTest::addRow("psw_def text")
        << QByteArray("{\"whmeter\":{\"psw_def\":\"да\"}}")
        << QStringLiteral("Некорректная конфигурация: значение \"да\" ключа \"psw_def\" не является логическим");
    QTest::addRow("name object")
        << QByteArray("{\"whmeter\":{\"name\":{\"a\":1}}}")
        << QStringLiteral("Некорректная конфигурация: значение {\"a\":1} ключа \"name\" не является строкой");
    QTest::addRow("app_id list")
        << QByteArray("{\"whmeter\":{\"psw\":\"x\",\"app_id\":[1]}}")
        << QStringLiteral("Некорректная конфигурация: значение [1] ключа \"app_id\" не является целым числом");
}

void TestZmtModel::rejectsAndKeepsTheDocument()
{
    QFETCH(QByteArray, root);
    QFETCH(QString, message);
    ZmtModel m = editedModel();
    const JsonValue before = m.BuildJSON();
    QString actual = QStringLiteral("unset");
    QVERIFY(!m.LoadJSON(parsed(root.constData()), &actual));
    QCOMPARE(actual, message);
    QCOMPARE(m.BuildJSON(), before);
}

void TestZmtModel::identifierLookupByKind()
{
    ZmtModel m;
    QCOMPARE(m.identifiers().size(), size_t(2));
    QCOMPARE(m.identifiers()[0].kind, quint8(zikOwnId));
    QCOMPARE(m.identifiers()[1].name, QStringLiteral("ЗМТ"));
    // The window edits by tree position; the schema reads by kind.
    m.setIdentifierValue(1, 255);
    m.setIdentifierValue(2, 9); // no such row: ignored
    QCOMPARE(m.appId(), quint16(255));
    QCOMPARE(ZmtModel::hexText(m.appId()), QStringLiteral("FF"));
    QCOMPARE(m.BuildJSON().find(QStringLiteral("whmeter"))->find(QStringLiteral("app_id"))->number(), 255.0);
}

QTEST_GUILESS_MAIN(TestZmtModel)
#include "tst_zmt_model.moc"
