#include "config/json.h"
#include "devices/plm/plm_config.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace vrs;

namespace {

JsonValue parsed(const QString &text)
{
    std::optional<JsonValue> v = Parse(text.toUtf8());
    if (!v)
        qFatal("test document does not parse: %s", qPrintable(text));
    return *v;
}

QString compact(const JsonValue &v)
{
    return QString::fromUtf8(PrintCompact(v));
}

// The member at "a/b/0/c" of a built document, below "asudd".
const JsonValue *at(const JsonValue &root, const QString &path)
{
    const JsonValue *v = root.find("asudd");
    for (const QString &part : path.split('/')) {
        if (!v)
            return nullptr;
        bool isIndex = false;
        const int index = part.toInt(&isIndex);
        if (isIndex)
            v = v->isArray() && size_t(index) < v->size() ? &v->items()[size_t(index)] : nullptr;
        else
            v = v->find(part);
    }
    return v;
}

// A configuration in which every value differs from a new one.
void populate(TPLMConfig &c)
{
    TGeneralSettings &g = c.General();
    g.ObjectTitle = "Перекрёсток \"Север\"\t№1";
    g.SID = "sid-1";
    g.OID = "oid/2";
    g.MinConnectionTime = 150;
    g.MaxConnectionTime = 65535;
    g.TimeCorrectionInterval = 60;
    g.MaxPackageSize = 1024;
    g.ClockSource = TimeSource::None;
    g.DoorSensor = true;

    TIdentifiers &ids = c.Identifiers();
    ids.SetValue(IdKind::Own, IdModule::PLM, 65535);
    ids.SetValue(IdKind::Own, IdModule::SO, 2);
    ids.SetValue(IdKind::Own, IdModule::KD, 0);
    ids.SetValue(IdKind::Application, IdModule::SO, 7);
    ids.SetValue(IdKind::Application, IdModule::KD, 8);
    c.Priority().SetGprs(true);

    TGprsSettings &gp = c.Gprs();
    gp.Enabled = true;
    gp.Pin = "1234";
    gp.Apn = "internet.example";
    gp.Login = "user";
    gp.Password = "p\\w";
    gp.Server = {"centre.example.org", 65535, true};
    gp.RegServers = {TRegServer(0x0A000001, 8080, "r.example/cgi-bin/svc.cgi")};

    TEthernetSettings &e = c.Ethernet();
    e.Enabled = true;
    e.Ping = true;
    e.Dhcp = true;
    e.Mac = "0A-1B-2C-3D-4E-5F";
    e.Ip = "198.51.100.7";
    e.Gateway = "198.51.100.1";
    e.Mask = "255.255.255.0";
    e.Server = {"203.0.113.5", 9000, false};
    e.RegServers = {TRegServer(0xFFFFFFFF, 0, ""), TRegServer(0, 1, "x")};

    c.SO() = {true, "СО-1", 300, true};
    c.Detector() = {true, "КД-1"};

    TSensorsSettings &s = c.Sensors();
    TSensorTrend *north = s.AddDirection();
    north->SetName("Север");
    s.AddDirection()->SetName("");
    TBOD *b = s.AddBOD();
    b->SetNumber(31);
    b->SetName("Въезд");
    b->SetDistance(-120);
    b->AddSensor()->SetDirection(north);
    b->AddSensor()->SetNumber(7);
    TBOD *odd = s.AddBOD();
    odd->SetNumber(40);  // as a document may carry it
    odd->AddSensor()->SetNumber(12);
}

const char kNewConfig[] =
    R"({"asudd":{"en":true,"name":"","sid":"","oid":"","id":2001,"utcs_id":65023,)"
    R"("time_interval":0,"time_source":0,"tmax":0,"door":false,)"
    R"("gprs":{"en":false,"prior":0,"apn":"","pin":"","user":"","psw":"",)"
    R"("server":{"fix":false,"url":":1"},"regs":[)"
    R"({"ip":"192.0.2.1","port":80,"script":"reg1.example.com/cgi-bin/svc.cgi"},)"
    R"({"ip":"192.0.2.2","port":80,"script":"reg2.example.com/cgi-bin/svc.cgi"}]},)"
    R"("eth":{"en":false,"prior":1,"ping":false,"dhcp":false,"mac":"02-00-00-00-00-01",)"
    R"("ip":"","gate":"","mask":"","server":{"fix":false,"url":":1"},"regs":[)"
    R"({"ip":"192.0.2.1","port":80,"script":"reg1.example.com/cgi-bin/svc.cgi"},)"
    R"({"ip":"192.0.2.2","port":80,"script":"reg2.example.com/cgi-bin/svc.cgi"}]},)"
    R"("so":[{"en":false,"name":"Светофорный объект АСУДД-ВТ","id":1,"du_time":0,)"
    R"("phase_change_messages":false}],)"
    R"("det":{"en":false,"name":"Контроллер детекторов АСУДД-ВТ","id":4001,"app_id":65009,)"
    R"("dirs":[],"bods":[]}}})";

} // namespace

class TestPlmConfig : public QObject {
    Q_OBJECT

private slots:
    void newConfiguration();
    void randomMac_data();
    void randomMac();
    void roundTrip();
    void emptyAsuddSwitchesModulesOff();
    void missingAsudd_data();
    void missingAsudd();
    void loadRules_data();
    void loadRules();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void loadKeepsSensorsHandler();
};

void TestPlmConfig::newConfiguration()
{
    QRandomGenerator generator(1);
    TPLMConfig c(generator);
    QCOMPARE(c.deviceType(), dtPLM);
    QCOMPARE(c.rootKey(), QString("asudd"));
    c.Ethernet().Mac = "02-00-00-00-00-01";
    QCOMPARE(compact(c.BuildJSON()), QString::fromUtf8(kNewConfig));
}

void TestPlmConfig::randomMac_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 77u, 4096u, 0xFFFFFFFFu})
        QTest::addRow("seed %u", seed) << seed;
}

void TestPlmConfig::randomMac()
{
    QFETCH(quint32, seed);
    QRandomGenerator generator(seed);
    const QString mac = TPLMConfig(generator).Ethernet().Mac;
    QVERIFY2(QRegularExpression("^([0-9A-F]{2}-){5}[0-9A-F]{2}$").match(mac).hasMatch(),
             qPrintable(mac));
    const int first = mac.left(2).toInt(nullptr, 16);
    QCOMPARE(first & 0x01, 0);  // individual
    QCOMPARE(first & 0x02, 2);  // locally administered
}

void TestPlmConfig::roundTrip()
{
    TPLMConfig original;
    populate(original);
    const QByteArray readable = PrintReadable(original.BuildJSON());

    TPLMConfig loaded;
    QString message;
    QVERIFY2(loaded.LoadJSON(parsed(QString::fromUtf8(readable)), &message), qPrintable(message));
    QCOMPARE(PrintReadable(loaded.BuildJSON()), readable);

    // The same through the compact form devices exchange.
    TPLMConfig fromDevice;
    QVERIFY(fromDevice.LoadJSON(*Parse(PrintCompact(original.BuildJSON())), &message));
    QCOMPARE(PrintReadable(fromDevice.BuildJSON()), readable);

    // Only what the document has no key for is lost.
    TPLMValues expected = original.Values();
    expected.General.MinConnectionTime = 0;
    expected.General.MaxPackageSize = 0;
    QVERIFY(loaded.Values() == expected);
    QCOMPARE(loaded.Sensors().BOD(0)->Distance(), qint16(0));
    QCOMPARE(loaded.Sensors().BOD(0)->Sensor(0)->Direction(), loaded.Sensors().Direction(0));
    QCOMPARE(loaded.Sensors().BOD(1)->Sensor(0)->Number(), 12);
}

void TestPlmConfig::emptyAsuddSwitchesModulesOff()
{
    TPLMConfig c;
    populate(c);
    TPLMValues expected = c.Values();
    const QString sensorsBefore = compact(*at(c.BuildJSON(), "det/bods"));

    QString message;
    QVERIFY(c.LoadJSON(parsed(R"({"asudd": {}})"), &message));

    expected.Gprs.Enabled = false;
    expected.Ethernet.Enabled = false;
    expected.SO.Enabled = false;
    expected.Detector.Enabled = false;
    expected.Ids.Reset();  // identifiers a document leaves out are defaults
    QVERIFY(c.Values() == expected);
    QCOMPARE(compact(*at(c.BuildJSON(), "det/bods")), sensorsBefore);
}

void TestPlmConfig::missingAsudd_data()
{
    QTest::addColumn<JsonValue>("root");
    QTest::addRow("no document") << JsonValue();
    QTest::addRow("empty root") << JsonValue::object();
    QTest::addRow("other type") << parsed(R"({"ntrv": {}})");
    QTest::addRow("array root") << parsed(R"([{"asudd": {}}])");
}

void TestPlmConfig::missingAsudd()
{
    QFETCH(JsonValue, root);
    TPLMConfig c;
    populate(c);
    const QString before = compact(c.BuildJSON());
    QString message;
    QVERIFY(!c.LoadJSON(root, &message));
    QCOMPARE(message, QString("Некорректная конфигурация"));
    QCOMPARE(compact(c.BuildJSON()), before);
}

// Each row loads its "asudd" objects one after another into a new
// configuration and then checks members of the rebuilt document.
void TestPlmConfig::loadRules_data()
{
    QTest::addColumn<QStringList>("documents");
    QTest::addColumn<QStringList>("checks");  // "path=json"

    QTest::addRow("both prior set: Ethernet wins")
        << QStringList{R"({"gprs":{"prior":1},"eth":{"prior":1}})"}
        << QStringList{"gprs/prior=0", "eth/prior=1"};
    QTest::addRow("both prior 0: neither")
        << QStringList{R"({"gprs":{"prior":0},"eth":{"prior":0}})"}
        << QStringList{"gprs/prior=0", "eth/prior=0"};
    QTest::addRow("GPRS prior only")
        << QStringList{R"({"gprs":{"prior":1}})"} << QStringList{"gprs/prior=1", "eth/prior=0"};
    QTest::addRow("negative prior clears")
        << QStringList{R"({"eth":{"prior":-1}})"} << QStringList{"gprs/prior=0", "eth/prior=0"};

    QTest::addRow("GPRS regs without script skipped")
        << QStringList{R"({"gprs":{"regs":[{"ip":"1.2.3.4"},{"ip":"5.6.7.8","script":"s"}]}})"}
        << QStringList{R"(gprs/regs=[{"ip":"5.6.7.8","port":80,"script":"s"}])"};
    QTest::addRow("Ethernet regs without script kept")
        << QStringList{R"({"eth":{"regs":[{"ip":"1.2.3.4"}]}})"}
        << QStringList{R"(eth/regs=[{"ip":"1.2.3.4","port":80,"script":""}])"};
    QTest::addRow("regs elements that are not objects skipped")
        << QStringList{R"({"eth":{"regs":[1,"x",null,{"script":"a"}]}})"}
        << QStringList{R"(eth/regs=[{"ip":"0.0.0.0","port":80,"script":"a"}])"};
    QTest::addRow("ip not of four parts")
        << QStringList{R"({"eth":{"regs":[{"ip":"1.2.3"},{"ip":"1.2.3.4.5"},{"ip":""}]}})"}
        << QStringList{R"(eth/regs=[{"ip":"0.0.0.0","port":80,"script":""},)"
                       R"({"ip":"0.0.0.0","port":80,"script":""},{"ip":"0.0.0.0","port":80,"script":""}])"};
    QTest::addRow("ip parts and port keep their low bits")
        << QStringList{R"({"gprs":{"regs":[{"ip":"257.2.3.-1","port":65617,"script":"s"}]}})"}
        << QStringList{R"(gprs/regs=[{"ip":"1.2.3.255","port":81,"script":"s"}])"};
    QTest::addRow("regs absent keeps the list, empty array empties it")
        << QStringList{R"({"gprs":{},"eth":{"regs":[]}})"}
        << QStringList{"gprs/regs/1/ip=\"192.0.2.2\"", "eth/regs=[]"};
    QTest::addRow("script cut to 255 characters")
        << QStringList{QString(R"({"gprs":{"regs":[{"script":"%1"}]}})").arg(QString(300, 'u'))}
        << QStringList{QString("gprs/regs/0/script=\"%1\"").arg(QString(255, 'u'))};

    QTest::addRow("url address and port")
        << QStringList{R"({"gprs":{"server":{"url":"srv.example:8080","fix":1}}})"}
        << QStringList{"gprs/server={\"fix\":true,\"url\":\"srv.example:8080\"}"};
    QTest::addRow("url of just a port")
        << QStringList{R"({"eth":{"server":{"url":"8080"}}})"} << QStringList{"eth/server/url=\":8080\""};
    QTest::addRow("url port 0 becomes 1")
        << QStringList{R"({"eth":{"server":{"url":"a:0"}}})"} << QStringList{"eth/server/url=\"a:1\""};
    QTest::addRow("url port cut to 16 bits")
        << QStringList{R"({"eth":{"server":{"url":"a:65616"}}})"} << QStringList{"eth/server/url=\"a:80\""};

    QTest::addRow("times clamped, identifiers cut")
        << QStringList{R"({"tmax":70000,"time_interval":-5,"id":65537,"utcs_id":-1,"so":[{"du_time":1e6}]})"}
        << QStringList{"tmax=65535", "time_interval=0", "id=1", "utcs_id=65535", "so/0/du_time=65535"};
    QTest::addRow("fractions round half to even")
        << QStringList{R"({"tmax":2.5,"time_interval":3.5,"id":0.49})"}
        << QStringList{"tmax=2", "time_interval=4", "id=0"};
    QTest::addRow("time_source other than 0 or 1 selects none")
        << QStringList{R"({"time_source":2})"} << QStringList{"time_source=-1"};
    QTest::addRow("lenient conversions")
        << QStringList{R"({"door":2,"name":12,"sid":true,"tmax":"300","eth":{"ping":"true","dhcp":0}})"}
        << QStringList{"door=true", "name=\"12\"", "sid=\"True\"", "tmax=300", "eth/ping=true",
                       "eth/dhcp=false"};
    QTest::addRow("identifiers reset by every load")
        << QStringList{R"({"id":7,"det":{"app_id":9}})", "{}"}
        << QStringList{"id=2001", "det/app_id=65009"};

    QTest::addRow("several so elements: the last wins")
        << QStringList{R"({"so":[{"en":true,"name":"A","id":5,"du_time":10,"phase_change_messages":true},)"
                       R"({"name":"B"},7]})"}
        << QStringList{R"(so=[{"en":false,"name":"B","id":5,"du_time":10,"phase_change_messages":false}])"};
    QTest::addRow("so empty array changes nothing")
        << QStringList{R"({"so":[{"en":true,"name":"X"}]})", R"({"so":[]})"}
        << QStringList{"so/0/en=true", "so/0/name=\"X\""};
    QTest::addRow("so absent switches it off")
        << QStringList{R"({"so":[{"en":true,"name":"X"}]})", "{}"}
        << QStringList{"so/0/en=false", "so/0/name=\"X\""};

    QTest::addRow("det absent keeps directions and BODs")
        << QStringList{R"({"det":{"en":true,"dirs":[{"name":"N"}],"bods":[{}]}})", "{}"}
        << QStringList{"det/en=false", R"(det/dirs=[{"name":"N"}])", "det/bods/0/num=0"};
    QTest::addRow("det without dirs and bods empties both")
        << QStringList{R"({"det":{"dirs":[{"name":"N"}],"bods":[{}]}})", R"({"det":{}})"}
        << QStringList{"det/dirs=[]", "det/bods=[]", "det/name=\"\""};
    QTest::addRow("lanes numbering and directions")
        << QStringList{R"({"det":{"dirs":[{"name":"N"},{},5],"bods":[)"
                       R"({"lanes":[{"num":3,"dir":2},{"dir":0},{"dir":-4},{}]}]}})"}
        << QStringList{R"(det/dirs=[{"name":"N"},{"name":"Новое направление"}])",
                       R"(det/bods/0/lanes=[{"num":3,"dir":2},{"num":1,"dir":0},{"num":2,"dir":0},)"
                       R"({"num":4,"dir":0}])"};
    QTest::addRow("BOD numbers: given, next free, out of range kept")
        << QStringList{R"({"det":{"bods":[{"num":1,"name":"a"},{},{"num":40},{}]}})"}
        << QStringList{"det/bods/0/num=1", "det/bods/0/name=\"a\"", "det/bods/1/num=0",
                       "det/bods/1/name=\"БОД\"", "det/bods/2/num=40", "det/bods/3/num=2"};
}

void TestPlmConfig::loadRules()
{
    QFETCH(QStringList, documents);
    QFETCH(QStringList, checks);
    TPLMConfig c;
    for (const QString &asudd : documents) {
        QString message;
        QVERIFY2(c.LoadJSON(parsed("{\"asudd\":" + asudd + "}"), &message), qPrintable(message));
    }
    const JsonValue built = c.BuildJSON();
    for (const QString &check : checks) {
        const qsizetype eq = check.indexOf('=');
        const QString path = check.left(eq);
        const JsonValue *actual = at(built, path);
        QVERIFY2(actual, qPrintable(path));
        QCOMPARE(compact(*actual), compact(parsed(check.mid(eq + 1))));
    }
}

void TestPlmConfig::failedLoadChangesNothing_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QStringList>("named");  // texts the message must name

    QTest::addRow("url port not decimal")
        << R"({"asudd":{"gprs":{"en":true,"apn":"new","server":{"url":"srv:80x"}}}})"
        << QStringList{"asudd.gprs.server.url", "80x"};
    QTest::addRow("url empty") << R"({"asudd":{"eth":{"server":{"url":""}}}})"
                               << QStringList{"asudd.eth.server.url", "\"\""};
    QTest::addRow("url with a second colon") << R"({"asudd":{"eth":{"server":{"url":"a:b:1"}}}})"
                                             << QStringList{"asudd.eth.server.url", "b:1"};
    QTest::addRow("ip part not decimal")
        << R"({"asudd":{"eth":{"regs":[{"script":"s"},{"ip":"1.2.x.4","script":"s"}]}}})"
        << QStringList{"asudd.eth.regs[1].ip", "1.2.x.4"};
    QTest::addRow("dir beyond the directions, after the sensors were rebuilt")
        << R"({"asudd":{"name":"changed","det":{"dirs":[{},{}],"bods":[{"lanes":[{"dir":1},{"dir":3}]}]}}})"
        << QStringList{"asudd.det.bods[0].lanes[1].dir", "3"};
    QTest::addRow("text of an array") << R"({"asudd":{"name":[1]}})" << QStringList{"asudd.name", "[1]"};
    QTest::addRow("number of a word") << R"({"asudd":{"tmax":"abc"}})" << QStringList{"asudd.tmax", "abc"};
    QTest::addRow("boolean of null") << R"({"asudd":{"so":[{"en":null}]}})"
                                     << QStringList{"asudd.so[0].en", "null"};
    QTest::addRow("number too large") << R"({"asudd":{"id":1e30}})" << QStringList{"asudd.id", "1E30"};
    QTest::addRow("lane number out of range")
        << R"({"asudd":{"det":{"bods":[{"lanes":[{"num":-2147483648}]}]}}})"
        << QStringList{"asudd.det.bods[0].lanes[0].num", "-2147483648"};
    QTest::addRow("asudd not an object") << R"({"asudd":5})" << QStringList{"\"asudd\"", "5"};
    QTest::addRow("gprs an array") << R"({"asudd":{"gprs":[]}})" << QStringList{"asudd.gprs", "объект"};
    QTest::addRow("server a text") << R"({"asudd":{"eth":{"server":"a:1"}}})"
                                   << QStringList{"asudd.eth.server", "\"a:1\""};
    QTest::addRow("so an object") << R"({"asudd":{"so":{}}})" << QStringList{"asudd.so", "массив"};
    QTest::addRow("regs an object") << R"({"asudd":{"gprs":{"regs":{}}}})" << QStringList{"asudd.gprs.regs"};
    QTest::addRow("lanes a number") << R"({"asudd":{"det":{"bods":[{"lanes":5}]}}})"
                                    << QStringList{"asudd.det.bods[0].lanes", "5"};
    QTest::addRow("dirs a text") << R"({"asudd":{"det":{"dirs":"N"}}})" << QStringList{"asudd.det.dirs"};
}

void TestPlmConfig::failedLoadChangesNothing()
{
    QFETCH(QString, document);
    QFETCH(QStringList, named);
    TPLMConfig c;
    populate(c);
    const TPLMValues values = c.Values();
    const QString before = compact(c.BuildJSON());
    const TBOD *bod = c.Sensors().BOD(0);
    int notices = 0;
    c.Sensors().SetOnChange([&](TSettingsObject *) { ++notices; });

    QString message;
    QVERIFY(!c.LoadJSON(parsed(document), &message));
    QVERIFY2(message.startsWith("Некорректная конфигурация: "), qPrintable(message));
    for (const QString &text : named)
        QVERIFY2(message.contains(text), qPrintable(message));
    QVERIFY(c.Values() == values);
    QCOMPARE(compact(c.BuildJSON()), before);
    QCOMPARE(c.Sensors().BOD(0), bod);
    QCOMPARE(notices, 0);
}

void TestPlmConfig::loadKeepsSensorsHandler()
{
    TPLMConfig c;
    populate(c);
    int notices = 0;
    c.Sensors().SetOnChange([&](TSettingsObject *) { ++notices; });

    QVERIFY(c.LoadJSON(parsed(R"({"asudd":{"det":{"dirs":[{}],"bods":[{"lanes":[{}]}]}}})"), nullptr));
    QCOMPARE(notices, 0);
    QCOMPARE(c.Sensors().BODCount(), 1);
    c.Sensors().BOD(0)->Sensor(0)->SetNumber(3);
    c.Sensors().Direction(0)->SetName("Юг");
    QCOMPARE(notices, 2);
}

QTEST_GUILESS_MAIN(TestPlmConfig)
#include "tst_plm_config.moc"
