#include "config/json.h"
#include "devices/ntrv/ntrv_model.h"

#include <QtTest>

using namespace vrs;

namespace {

JsonValue parsed(const QByteArray &text)
{
    std::optional<JsonValue> v = Parse(text);
    if (!v)
        qFatal("fixture does not parse: %s", text.constData());
    return *v;
}

QByteArray compactObject(const NtrvModel &m)
{
    return PrintCompact(*m.BuildJSON().find(QStringLiteral("ntrv")));
}

// A document that differs from a new one in every value the schema holds.
NtrvModel editedModel()
{
    NtrvModel m;
    NtrvDevice &d = m.device();
    d.SetControllerCount(2);
    d.SetPortCount(40);
    d.SetWire(0, 0);
    d.SetWire(2, 37);
    d.SetWire(33, 31);
    d.SetWire(39, 63);
    d.SetEthernet(true);
    d.SetServer(true);
    d.SetPing(true);
    d.SetDhcp(true);
    d.SetMac(MacAddress{0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0xFE});
    d.SetIp(Ip4Address{192, 168, 0, 10});
    d.SetGate(Ip4Address{192, 168, 0, 1});
    d.SetMask(Ip4Address{255, 255, 255, 0});
    d.SetPort(65535);
    return m;
}

} // namespace

class TestNtrvModel : public QObject {
    Q_OBJECT
private slots:
    void newModelWritesDefaults();
    void tableEncoding_data();
    void tableEncoding();
    void roundTripThroughText_data();
    void roundTripThroughText();
    void missingMembers();
    void loadedValues_data();
    void loadedValues();
    void rejectsAndKeepsTheDocument_data();
    void rejectsAndKeepsTheDocument();
    void removedControllerIsNotWritten();
};

void TestNtrvModel::newModelWritesDefaults()
{
    NtrvModel m;
    QCOMPARE(PrintCompact(m.BuildJSON()),
             QByteArray("{\"ntrv\":{\"vrs_count\":1,\"output_count\":8,\"table\":[],"
                        "\"eth\":{\"ping\":false,\"dhcp\":false,\"mac\":\"00:00:00:00:00:00\","
                        "\"ip\":\"0.0.0.0\",\"gate\":\"0.0.0.0\",\"mask\":\"255.255.255.255\"},"
                        "\"server\":{\"port\":1024}}}"));
    // Features off, yet both objects are there.
    QCOMPARE(m.device().Features(), 0u);
}

void TestNtrvModel::tableEncoding_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QByteArray>("entry");
    QTest::addRow("c=5, port 3") << 2 << 5 << QByteArray("{\"block\":1,\"k_out\":6,\"d_out\":3}");
    QTest::addRow("c=37") << 2 << 37 << QByteArray("{\"block\":2,\"k_out\":6,\"d_out\":3}");
    QTest::addRow("c=31") << 0 << 31 << QByteArray("{\"block\":1,\"k_out\":32,\"d_out\":1}");
    QTest::addRow("c=32") << 0 << 32 << QByteArray("{\"block\":2,\"k_out\":1,\"d_out\":1}");
    QTest::addRow("c=0, port 64") << 63 << 0 << QByteArray("{\"block\":1,\"k_out\":1,\"d_out\":64}");
}

void TestNtrvModel::tableEncoding()
{
    QFETCH(int, port);
    QFETCH(int, channel);
    QFETCH(QByteArray, entry);
    NtrvModel m;
    m.device().SetControllerCount(2);
    m.device().SetPortCount(64);
    m.device().SetWire(port, quint8(channel));
    const JsonValue root = m.BuildJSON();
    QCOMPARE(PrintCompact(*root.find(QStringLiteral("ntrv"))->find(QStringLiteral("table"))),
             "[" + entry + "]");

    NtrvModel loaded;
    QString message;
    QVERIFY2(loaded.LoadJSON(root, &message), qPrintable(message));
    QCOMPARE(loaded.device().Wire(port), quint8(channel));
    QCOMPARE(loaded.device().PortOfChannel(channel), port);
}

void TestNtrvModel::roundTripThroughText_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("readable");
    QTest::addRow("new, readable") << false << true;
    QTest::addRow("edited, readable") << true << true;
    QTest::addRow("edited, compact") << true << false;
}

void TestNtrvModel::roundTripThroughText()
{
    QFETCH(bool, edited);
    QFETCH(bool, readable);
    const NtrvModel source = edited ? editedModel() : NtrvModel();
    const QByteArray text = readable ? PrintReadable(source.BuildJSON())
                                     : PrintCompact(source.BuildJSON());
    NtrvModel target = edited ? NtrvModel() : editedModel();
    QString message;
    QVERIFY2(target.LoadJSON(parsed(text), &message), qPrintable(message));
    QCOMPARE(readable ? PrintReadable(target.BuildJSON()) : PrintCompact(target.BuildJSON()),
             text);
    // Both objects are always there, so loading turns both features on.
    QCOMPARE(target.device().Features(), quint32(nfEthernet | nfServer));
}

void TestNtrvModel::missingMembers()
{
    NtrvModel m = editedModel();
    QString message;
    QVERIFY(m.LoadJSON(parsed("{\"ntrv\":{}}"), &message));
    const NtrvDevice &d = m.device();
    QCOMPARE(d.ControllerCount(), 1);
    QCOMPARE(d.PortCount(), 8);
    QCOMPARE(d.Features(), 0u);
    // Without "eth" and "server" the addresses and the port stay.
    QCOMPARE(compactObject(m),
             QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[],"
                        "\"eth\":{\"ping\":true,\"dhcp\":true,\"mac\":\"02:1A:2B:3C:4D:FE\","
                        "\"ip\":\"192.168.0.10\",\"gate\":\"192.168.0.1\",\"mask\":\"255.255.255.0\"},"
                        "\"server\":{\"port\":65535}}"));

    // An empty "eth" clears the flags but not the addresses.
    QVERIFY(m.LoadJSON(parsed("{\"ntrv\":{\"eth\":{},\"server\":{}}}"), &message));
    QCOMPARE(d.Features(), quint32(nfEthernet | nfServer));
    QCOMPARE(d.NetworkFlags(), 0u);
    QCOMPARE(d.IpText(), QStringLiteral("192.168.0.10"));
    QCOMPARE(d.Port(), quint16(65535));
}

void TestNtrvModel::loadedValues_data()
{
    QTest::addColumn<QByteArray>("members");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray tail = ",\"eth\":{\"ping\":false,\"dhcp\":false,\"mac\":\"00:00:00:00:00:00\","
                            "\"ip\":\"0.0.0.0\",\"gate\":\"0.0.0.0\",\"mask\":\"255.255.255.255\"},"
                            "\"server\":{\"port\":1024}}";
    QTest::addRow("incomplete and foreign table elements skipped")
        << QByteArray("\"output_count\":8,\"table\":[{\"block\":1,\"k_out\":2},7,[1,2,3],"
                      "{\"block\":1,\"k_out\":1,\"d_out\":70},{\"block\":1,\"k_out\":1,\"d_out\":0},"
                      "{\"d_out\":4,\"k_out\":\"3\",\"block\":1}]")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[{\"block\":1,\"k_out\":3,\"d_out\":4}]")
               + tail;
    QTest::addRow("table written in port order")
        << QByteArray("\"output_count\":8,\"table\":[{\"block\":1,\"k_out\":9,\"d_out\":8},"
                      "{\"block\":1,\"k_out\":5,\"d_out\":2}]")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[{\"block\":1,\"k_out\":5,\"d_out\":2},"
                      "{\"block\":1,\"k_out\":9,\"d_out\":8}]") + tail;
    // Files may hold outputs of controllers beyond the count; they are kept
    // as they are, each value cut to a byte.
    QTest::addRow("block 0 wraps to a byte")
        << QByteArray("\"table\":[{\"block\":0,\"k_out\":1,\"d_out\":1}]")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[{\"block\":8,\"k_out\":1,\"d_out\":1}]")
               + tail;
    QTest::addRow("wired beyond the port count is not written")
        << QByteArray("\"output_count\":2,\"table\":[{\"block\":1,\"k_out\":1,\"d_out\":3}]")
        << QByteArray("{\"vrs_count\":1,\"output_count\":2,\"table\":[]") + tail;
    QTest::addRow("counts are bytes")
        << QByteArray("\"vrs_count\":258,\"output_count\":300")
        << QByteArray("{\"vrs_count\":2,\"output_count\":44,\"table\":[]") + tail;
    QTest::addRow("zero counts keep the document's")
        << QByteArray("\"vrs_count\":0,\"output_count\":0")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[]") + tail;
    QTest::addRow("server port keeps low 16 bits")
        << QByteArray("\"server\":{\"port\":65537}")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[]") + tail.left(tail.size() - 6)
               + "1}}";
    QTest::addRow("address of three groups ignored")
        << QByteArray("\"eth\":{\"ping\":1,\"mac\":\"00:11:22\",\"ip\":\"10.0.0.300\",\"mask\":12}")
        << QByteArray("{\"vrs_count\":1,\"output_count\":8,\"table\":[],\"eth\":{\"ping\":true,\"dhcp\":false,"
                      "\"mac\":\"00:00:00:00:00:00\",\"ip\":\"10.0.0.44\",\"gate\":\"0.0.0.0\","
                      "\"mask\":\"255.255.255.255\"},\"server\":{\"port\":1024}}");
}

void TestNtrvModel::loadedValues()
{
    QFETCH(QByteArray, members);
    QFETCH(QByteArray, expected);
    NtrvModel m;
    QString message;
    QVERIFY2(m.LoadJSON(parsed("{\"ntrv\":{" + members + "}}"), &message), qPrintable(message));
    QCOMPARE(compactObject(m), expected);
}

void TestNtrvModel::rejectsAndKeepsTheDocument_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("message");
    QTest::addRow("other device type")
        << QByteArray("{\"whmeter\":{\"en\":true}}") << QStringLiteral("Некорректная конфигурация");
    QTest::addRow("settings a list")
        << QByteArray("{\"ntrv\":[]}")
        << QStringLiteral("Некорректная конфигурация: ключ \"ntrv\" должен содержать объект, а содержит []");
    // Each bad value comes after members that would change the document.
    QTest::addRow("table an object")
        << QByteArray("{\"ntrv\":{\"vrs_count\":1,\"output_count\":3,\"table\":{}}}")
        << QStringLiteral("Некорректная конфигурация: ключ \"table\" должен содержать список, а содержит {}");
    QTest::addRow("table element value")
        << QByteArray("{\"ntrv\":{\"output_count\":3,\"table\":[{\"block\":1,\"k_out\":1,\"d_out\":1},"
                      "{\"block\":1,\"k_out\":\"x\",\"d_out\":2}]}}")
        << QStringLiteral("Некорректная конфигурация: значение \"x\" ключа \"table[1].k_out\" не является целым числом");
    QTest::addRow("eth a number")
        << QByteArray("{\"ntrv\":{\"vrs_count\":1,\"eth\":5}}")
        << QStringLiteral("Некорректная конфигурация: ключ \"eth\" должен содержать объект, а содержит 5");
    QTest::addRow("ping null")
        << QByteArray("{\"ntrv\":{\"eth\":{\"ping\":null}}}")
        << QStringLiteral("Некорректная конфигурация: значение null ключа \"ping\" не является логическим");
    QTest::addRow("bad ip after good mac")
        << QByteArray("{\"ntrv\":{\"eth\":{\"mac\":\"02:00:00:00:00:01\",\"ip\":\"10.0.x.1\"}}}")
        << QStringLiteral("Некорректная конфигурация: значение \"10.0.x.1\" ключа \"ip\" не является адресом "
                          "(Группа \"x\" адреса \"10.0.x.1\" не является числом)");
    QTest::addRow("mac an object")
        << QByteArray("{\"ntrv\":{\"eth\":{\"mac\":{}}}}")
        << QStringLiteral("Некорректная конфигурация: значение {} ключа \"mac\" не является строкой");
    QTest::addRow("server a text")
        << QByteArray("{\"ntrv\":{\"eth\":{},\"server\":\"x\"}}")
        << QStringLiteral("Некорректная конфигурация: ключ \"server\" должен содержать объект, а содержит \"x\"");
    QTest::addRow("server port a list")
        << QByteArray("{\"ntrv\":{\"eth\":{},\"server\":{\"port\":[80]}}}")
        << QStringLiteral("Некорректная конфигурация: значение [80] ключа \"port\" не является целым числом");
}

void TestNtrvModel::rejectsAndKeepsTheDocument()
{
    QFETCH(QByteArray, root);
    QFETCH(QString, message);
    NtrvModel m = editedModel();
    m.device().SetServer(false);
    const QByteArray before = compactObject(m);
    QString actual;
    QVERIFY(!m.LoadJSON(parsed(root), &actual));
    QCOMPARE(actual, message);
    QCOMPARE(compactObject(m), before);
    QCOMPARE(m.device().Features(), quint32(nfEthernet));
}

void TestNtrvModel::removedControllerIsNotWritten()
{
    NtrvModel m = editedModel();
    m.device().SetControllerCount(1);
    QCOMPARE(PrintCompact(*m.BuildJSON().find(QStringLiteral("ntrv"))->find(QStringLiteral("table"))),
             QByteArray("[{\"block\":1,\"k_out\":1,\"d_out\":1},{\"block\":1,\"k_out\":32,\"d_out\":34}]"));
}

QTEST_GUILESS_MAIN(TestNtrvModel)
#include "tst_ntrv_model.moc"
