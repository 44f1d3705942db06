#include "config/json.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace vrs;

class TestJsonPrint : public QObject {
    Q_OBJECT
private slots:
    void readableFileLayout();
    void layouts_data();
    void layouts();
    void strings_data();
    void strings();
    void numbers_data();
    void numbers();
};

// The ZMT document as a configuration file holds it, byte for byte.
void TestJsonPrint::readableFileLayout()
{
    JsonValue zmt = JsonValue::object();
    zmt.add("en", true);
    zmt.add("name", "");
    zmt.add("id", 1);
    zmt.add("app_id", 1);
    zmt.add("psw", "");
    zmt.add("psw_def", false);
    JsonValue root = JsonValue::object();
    root.add("whmeter", zmt);

    const QByteArray expected = "{\r\n"
                                "\t\"whmeter\": {\r\n"
                                "\t\t\"en\": true,\r\n"
                                "\t\t\"name\": \"\",\r\n"
                                "\t\t\"id\": 1,\r\n"
                                "\t\t\"app_id\": 1,\r\n"
                                "\t\t\"psw\": \"\",\r\n"
                                "\t\t\"psw_def\": false\r\n"
                                "\t}\r\n"
                                "}";
    QCOMPARE(PrintReadable(root), expected);
    QCOMPARE(PrintCompact(root),
             QByteArray(R"({"whmeter":{"en":true,"name":"","id":1,"app_id":1,"psw":"","psw_def":false}})"));
}

void TestJsonPrint::layouts_data()
{
    QTest::addColumn<JsonValue>("value");
    QTest::addColumn<QByteArray>("readable");
    QTest::addColumn<QByteArray>("compact");

    QTest::addRow("empty object") << JsonValue::object() << QByteArray("{}") << QByteArray("{}");
    QTest::addRow("empty list") << JsonValue::array() << QByteArray("[]") << QByteArray("[]");
    QTest::addRow("scalar root") << JsonValue(1) << QByteArray("1") << QByteArray("1");
    QTest::addRow("null") << JsonValue() << QByteArray("null") << QByteArray("null");

    JsonValue list = JsonValue::array();
    list.append(1);
    list.append(JsonValue::object());
    JsonValue inner = JsonValue::object();
    inner.add("a", JsonValue::array());
    inner.add("b", "x");
    list.append(inner);
    JsonValue root = JsonValue::object();
    root.add("list", list);
    root.add("n", JsonValue());
    QTest::addRow("lists and objects nested")
        << root
        << QByteArray("{\r\n"
                      "\t\"list\": [\r\n"
                      "\t\t1,\r\n"
                      "\t\t{},\r\n"
                      "\t\t{\r\n"
                      "\t\t\t\"a\": [],\r\n"
                      "\t\t\t\"b\": \"x\"\r\n"
                      "\t\t}\r\n"
                      "\t],\r\n"
                      "\t\"n\": null\r\n"
                      "}")
        << QByteArray(R"({"list":[1,{},{"a":[],"b":"x"}],"n":null})");

    JsonValue dup = JsonValue::object();
    dup.add("k", 1);
    dup.add("k", 2);
    QTest::addRow("members in insertion order, duplicates kept")
        << dup << QByteArray("{\r\n\t\"k\": 1,\r\n\t\"k\": 2\r\n}") << QByteArray(R"({"k":1,"k":2})");
}

void TestJsonPrint::layouts()
{
    QFETCH(JsonValue, value);
    QFETCH(QByteArray, readable);
    QFETCH(QByteArray, compact);
    QCOMPARE(PrintReadable(value), readable);
    QCOMPARE(PrintCompact(value), compact);
}

void TestJsonPrint::strings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("printed");

    QTest::addRow("solidus unescaped") << QStringLiteral("a/b") << QByteArray(R"("a/b")");
    QTest::addRow("quote and backslash") << QStringLiteral("\"\\") << QByteArray(R"("\"\\")");
    QTest::addRow("named controls") << QStringLiteral("\b\t\n\f\r") << QByteArray(R"("\b\t\n\f\r")");
    QTest::addRow("escape as upper-case hex") << QStringLiteral("\x1b") << QByteArray(R"("\u001B")");
    QTest::addRow("other controls") << QString(QChar(0)) + QChar(1) + QChar(0x0B) + QChar(0x1F)
                                    << QByteArray(R"("\u0000\u0001\u000B\u001F")");
    QTest::addRow("DEL unchanged") << QStringLiteral("\x7f") << QByteArray("\"\x7f\"");
    QTest::addRow("Cyrillic raw UTF-8") << QStringLiteral("Ж") << QByteArray("\"\xD0\x96\"");
    QTest::addRow("outside Windows-1251") << QStringLiteral("€ 日本")
                                          << QByteArray("\"\xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC\"");
    QTest::addRow("surrogate pair") << QString::fromUtf8("\xF0\x9F\x98\x80")
                                    << QByteArray("\"\xF0\x9F\x98\x80\"");
    QTest::addRow("lone surrogate") << QString(QChar(0xD800)) + "x" << QByteArray("\"\xEF\xBF\xBDx\"");
}

void TestJsonPrint::strings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, printed);
    QCOMPARE(PrintCompact(JsonValue(text)), printed);
    JsonValue root = JsonValue::object();
    root.add(text, text);
    QCOMPARE(PrintCompact(root), "{" + printed + ":" + printed + "}");
}

// General format, 15 significant digits.  Plain notation while the decimal
// exponent lies in [-5, 14]; beyond that "E" with no "+" and no leading zeros.
void TestJsonPrint::numbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("printed");
    const double inf = std::numeric_limits<double>::infinity();

    QTest::addRow("zero") << 0.0 << QByteArray("0");
    QTest::addRow("negative zero") << -0.0 << QByteArray("0");
    QTest::addRow("integer") << 150.0 << QByteArray("150");
    QTest::addRow("thousand") << 1000.0 << QByteArray("1000");
    QTest::addRow("negative integer") << -42.0 << QByteArray("-42");
    QTest::addRow("fraction") << 0.5 << QByteArray("0.5");
    QTest::addRow("negative fraction") << -12.25 << QByteArray("-12.25");
    QTest::addRow("0.1") << 0.1 << QByteArray("0.1");
    QTest::addRow("rounded sum") << 0.1 + 0.2 << QByteArray("0.3");
    QTest::addRow("one third") << 1.0 / 3 << QByteArray("0.333333333333333");
    QTest::addRow("two thirds") << 2.0 / 3 << QByteArray("0.666666666666667");
    QTest::addRow("15 digits") << 999999999999999.0 << QByteArray("999999999999999");
    QTest::addRow("1E14 plain") << 1e14 << QByteArray("100000000000000");
    QTest::addRow("1E15 exponent") << 1e15 << QByteArray("1E15");
    QTest::addRow("16 digits") << 1234567890123456.0 << QByteArray("1.23456789012346E15");
    QTest::addRow("1E20") << 1e20 << QByteArray("1E20");
    QTest::addRow("-2.5E100") << -2.5e100 << QByteArray("-2.5E100");
    QTest::addRow("largest") << 1.7976931348623157e308 << QByteArray("1.79769313486232E308");
    QTest::addRow("fraction 15 digits") << 12345.6789012345 << QByteArray("12345.6789012345");
    QTest::addRow("fraction rounded") << 123456789012345.67 << QByteArray("123456789012346");
    QTest::addRow("0.0001 plain") << 0.0001 << QByteArray("0.0001");
    QTest::addRow("0.00012 plain") << 0.00012 << QByteArray("0.00012");
    QTest::addRow("1E-5 exponent") << 0.00001 << QByteArray("1E-5");
    QTest::addRow("1.5E-7") << 1.5e-7 << QByteArray("1.5E-7");
    QTest::addRow("-1E-300") << -1e-300 << QByteArray("-1E-300");
    QTest::addRow("NaN has no JSON form") << std::nan("") << QByteArray("null");
    QTest::addRow("infinity has no JSON form") << inf << QByteArray("null");
    QTest::addRow("minus infinity") << -inf << QByteArray("null");
}

void TestJsonPrint::numbers()
{
    QFETCH(double, value);
    QFETCH(QByteArray, printed);
    QCOMPARE(PrintCompact(JsonValue(value)), printed);
    QCOMPARE(PrintReadable(JsonValue(value)), printed);
}

QTEST_APPLESS_MAIN(TestJsonPrint)
#include "tst_config_json_print.moc"
