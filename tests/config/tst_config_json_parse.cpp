#include "config/json.h"

#include <QtTest>
#include <limits>

using namespace vrs;

class TestJsonParse : public QObject {
    Q_OBJECT
private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void nestingLimit();
    void roundTrip();
};

// Each accepted text is checked through its compact print, whose rules are
// tested on their own.
void TestJsonParse::accepted_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("compact");

    QTest::addRow("plain object") << QByteArray(R"({"id": 1})") << QByteArray(R"({"id":1})");
    QTest::addRow("byte-order mark") << QByteArray("\xEF\xBB\xBF{\"id\": 1}") << QByteArray(R"({"id":1})");
    QTest::addRow("any byte <= 32 is space")
        << QByteArray("\x01{\x00\"a\"\x1f:\x0b 1}", 12) << QByteArray(R"({"a":1})");
    QTest::addRow("commas optional") << QByteArray(R"({"a":1 "b":[1 2 3]})")
                                     << QByteArray(R"({"a":1,"b":[1,2,3]})");
    QTest::addRow("trailing commas") << QByteArray(R"({"a":[1,2,],"b":{},})")
                                     << QByteArray(R"({"a":[1,2],"b":{}})");
    QTest::addRow("text after the value") << QByteArray(R"({"a":1} garbage {)") << QByteArray(R"({"a":1})");
    QTest::addRow("scalar root") << QByteArray(" true ") << QByteArray("true");
    QTest::addRow("literals") << QByteArray("[true,false,null]") << QByteArray("[true,false,null]");
    QTest::addRow("empty containers") << QByteArray("[{},[],\"\"]") << QByteArray(R"([{},[],""])");
    QTest::addRow("empty key") << QByteArray(R"({"":0})") << QByteArray(R"({"":0})");
    QTest::addRow("duplicate keys kept") << QByteArray(R"({"k":1,"k":2})") << QByteArray(R"({"k":1,"k":2})");

    QTest::addRow("signed numbers") << QByteArray("[+5,-5,+0.5]") << QByteArray("[5,-5,0.5]");
    QTest::addRow("exponents") << QByteArray("[1e2,1E+2,25e-1,-1.5E3]") << QByteArray("[100,100,2.5,-1500]");
    QTest::addRow("leading zeros") << QByteArray("[007]") << QByteArray("[7]");
    QTest::addRow("largest double as printed") << QByteArray("[1.79769313486232E308,-1.79769313486232e308]")
                                               << QByteArray("[1.79769313486232E308,-1.79769313486232E308]");
    QTest::addRow("smallest double") << QByteArray("[4.94065645841247E-324]")
                                     << QByteArray("[4.94065645841247E-324]");
    QTest::addRow("below the smallest double") << QByteArray("[1e-400,-1e-400]") << QByteArray("[0,0]");

    QTest::addRow("named escapes") << QByteArray(R"(["\"\\\/\b\f\n\r\t"])")
                                   << QByteArray(R"(["\"\\/\b\f\n\r\t"])");
    QTest::addRow("apostrophe escape") << QByteArray(R"(["it\'s"])") << QByteArray(R"(["it's"])");
    QTest::addRow("unknown escape dropped") << QByteArray(R"(["a\qb\%c"])") << QByteArray(R"(["abc"])");
    QTest::addRow("unknown escape of a Cyrillic letter")
        << QByteArray("[\"a\\\xD0\x96" "b\"]") << QByteArray(R"(["ab"])");
    QTest::addRow("\\u escapes") << QByteArray(R"(["\u0416\u00e9\u001B"])")
                                 << QByteArray("[\"\xD0\x96\xC3\xA9\\u001B\"]");
    QTest::addRow("\\u surrogate pair") << QByteArray(R"(["\uD83D\uDE00"])")
                                        << QByteArray("[\"\xF0\x9F\x98\x80\"]");
    QTest::addRow("\\u lone surrogates") << QByteArray(R"(["\uD83Dx\uDE00"])")
                                         << QByteArray("[\"\xEF\xBF\xBDx\xEF\xBF\xBD\"]");
    QTest::addRow("raw UTF-8 and controls") << QByteArray("[\"\xD0\x96\t\"]")
                                            << QByteArray("[\"\xD0\x96\\t\"]");
    // Text that Windows-1251 cannot hold is kept.
    QTest::addRow("outside Windows-1251") << QByteArray("{\"\xE6\x97\xA5\":\"\xE2\x82\xAC\xE6\x97\xA5\"}")
                                          << QByteArray("{\"\xE6\x97\xA5\":\"\xE2\x82\xAC\xE6\x97\xA5\"}");
    QTest::addRow("escaped key") << QByteArray(R"({"a\tb":1})") << QByteArray(R"({"a\tb":1})");
}

void TestJsonParse::accepted()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, compact);
    const std::optional<JsonValue> v = Parse(text);
    QVERIFY(v);
    QCOMPARE(PrintCompact(*v), compact);
}

void TestJsonParse::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addRow("empty") << QByteArray();
    QTest::addRow("only space") << QByteArray(" \r\n\t");
    QTest::addRow("only byte-order mark") << QByteArray("\xEF\xBB\xBF");
    QTest::addRow("truncated object") << QByteArray(R"({"a":1)");
    QTest::addRow("truncated after key") << QByteArray(R"({"a")");
    QTest::addRow("truncated list") << QByteArray("[1,2");
    QTest::addRow("truncated string") << QByteArray(R"({"a":"xyz)");
    QTest::addRow("truncated escape") << QByteArray(R"(["a\)");
    QTest::addRow("short \\u") << QByteArray(R"(["\u12"])");
    QTest::addRow("bad hex in \\u") << QByteArray(R"(["\u12G4"])");
    QTest::addRow("bad literal") << QByteArray("[tru]");
    QTest::addRow("bad null") << QByteArray("nul");
    QTest::addRow("upper-case literal") << QByteArray("[True]");
    QTest::addRow("key not a string") << QByteArray("{a:1}");
    QTest::addRow("number as key") << QByteArray("{1:1}");
    QTest::addRow("missing colon") << QByteArray(R"({"a" 1})");
    QTest::addRow("missing value") << QByteArray(R"({"a":})");
    QTest::addRow("leading comma") << QByteArray("[,1]");
    QTest::addRow("double comma") << QByteArray("[1,,2]");
    QTest::addRow("comma only object") << QByteArray("{,}");
    QTest::addRow("bare sign") << QByteArray("[-]");
    QTest::addRow("fraction without digits") << QByteArray("[1.]");
    QTest::addRow("no integer part") << QByteArray("[.5]");
    QTest::addRow("exponent without digits") << QByteArray("[1e]");
    QTest::addRow("number too large") << QByteArray("[1e999]");
    QTest::addRow("just above the largest double") << QByteArray("[1.8e308]");
    QTest::addRow("mismatched bracket") << QByteArray(R"({"a":[1}})");
    QTest::addRow("bad item deep inside") << QByteArray(R"({"a":{"b":[1,2,{"c":x}]}})");
    QTest::addRow("byte-order mark not at start") << QByteArray(" \xEF\xBB\xBF{}");
}

void TestJsonParse::refused()
{
    QFETCH(QByteArray, text);
    QVERIFY(!Parse(text));
}

void TestJsonParse::nestingLimit()
{
    const auto nested = [](int depth) {
        return QByteArray(depth, '[') + QByteArray(depth, ']');
    };
    QVERIFY(Parse(nested(512)));
    QVERIFY(!Parse(nested(513)));
    QVERIFY(!Parse(QByteArray(1000000, '[')));
    QVERIFY(!Parse(QByteArray(500000, '{').replace("{", "{\"a\":")));
}

void TestJsonParse::roundTrip()
{
    JsonValue item = JsonValue::object();
    item.add("name", QStringLiteral("Перекрёсток \"Север\"/1\t€"));
    item.add("ip", "192.168.0.1");
    item.add("port", 8080);
    item.add("k", -0.125);
    item.add("small", 1.5e-7);
    item.add("big", 1e20);
    item.add("max", std::numeric_limits<double>::max());
    item.add("min", -std::numeric_limits<double>::denorm_min());
    item.add("on", true);
    item.add("none", JsonValue());
    JsonValue list = JsonValue::array();
    list.append(item);
    list.append(JsonValue::array());
    list.append(JsonValue::object());
    JsonValue root = JsonValue::object();
    root.add("asudd", list);

    std::optional<JsonValue> readable = Parse(PrintReadable(root));
    QVERIFY(readable);
    QCOMPARE(*readable, root);
    std::optional<JsonValue> compact = Parse(PrintCompact(root));
    QVERIFY(compact);
    QCOMPARE(*compact, root);
    QCOMPARE(readable->find("asudd")->items().front().find("name")->string(), item.find("name")->string());
}

QTEST_APPLESS_MAIN(TestJsonParse)
#include "tst_config_json_parse.moc"
