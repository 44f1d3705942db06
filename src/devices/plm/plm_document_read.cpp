#include "devices/plm/plm_document.h"
#include "devices/plm/plm_fields.h"

#include <algorithm>

namespace vrs::plmdoc {

namespace {

// Identifiers and "regs" ports keep their low 16 bits, as devices wrap them.
quint16 low16(qint64 n)
{
    return quint16(quint64(n) & 0xFFFF);
}

quint16 clamp16(qint64 n)
{
    return quint16(std::clamp<qint64>(n, 0, 65535));
}

void setId(TPLMValues &v, IdKind kind, IdModule module, const std::optional<qint64> &n)
{
    if (n)
        v.Ids.SetValue(kind, module, low16(*n));
}

// "address:port", split at the first colon; without one the whole text is
// the port and the address is empty.
void readUrl(const Fields &server, TServerEndpoint &endpoint)
{
    const std::optional<QString> url = server.Text("url");
    if (!url)
        return;
    const qsizetype colon = url->indexOf(QLatin1Char(':'));
    const QString portText = colon < 0 ? *url : url->mid(colon + 1);
    const std::optional<qint64> port = ParseDecimal(portText);
    if (!port)
        Fail(QStringLiteral("порт \"%1\" в значении %2 ключа \"%3\" не является десятичным целым числом")
                 .arg(portText, Describe(*server.Find("url")), server.PathOf("url")));
    endpoint.Address = colon < 0 ? QString() : url->left(colon);
    endpoint.Port = std::max<quint16>(low16(*port), 1);
}

// Four dot-separated decimal parts, first part first, each keeping its low
// 8 bits; any other number of parts is 0.0.0.0.
quint32 readRegAddress(const Fields &reg)
{
    const std::optional<QString> ip = reg.Text("ip");
    if (!ip)
        return 0;
    const QStringList parts = ip->split(QLatin1Char('.'));
    if (parts.size() != 4)
        return 0;
    quint32 address = 0;
    for (const QString &part : parts) {
        const std::optional<qint64> n = ParseDecimal(part);
        if (!n)
            Fail(QStringLiteral("часть адреса \"%1\" в значении %2 ключа \"%3\" не является десятичным целым числом")
                     .arg(part, Describe(*reg.Find("ip")), reg.PathOf("ip")));
        address = address << 8 | quint32(quint64(*n) & 0xFF);
    }
    return address;
}

// GPRS drops an entry without "script"; Ethernet keeps it with an empty
// request URL.  The two channels have always differed here, and documents
// written for either may rely on it.
void readRegs(const Fields &channel, TRegServerList &list, bool keepWithoutScript)
{
    const JsonValue *array = channel.Array("regs");
    if (!array)
        return;
    list.clear();
    for (size_t i = 0; i < array->size(); ++i) {
        const std::optional<Fields> reg = ElementObject(channel, "regs", *array, i);
        if (!reg)
            continue;
        const std::optional<QString> script = reg->Text("script");
        if (!script && !keepWithoutScript)
            continue;
        const std::optional<qint64> port = reg->Integer("port");
        const quint16 p = port ? low16(*port) : 80;
        list.append(TRegServer(readRegAddress(*reg), p, script.value_or(QString())));
    }
}

void readServer(const Fields &channel, TServerEndpoint &endpoint)
{
    const std::optional<Fields> server = channel.Object("server");
    if (!server)
        return;
    if (const auto fix = server->Bool("fix"))
        endpoint.Fixed = *fix;
    readUrl(*server, endpoint);
}

void readText(const Fields &f, const QString &key, QString &field)
{
    if (const auto t = f.Text(key))
        field = *t;
}

void readBool(const Fields &f, const QString &key, bool &field)
{
    if (const auto b = f.Bool(key))
        field = *b;
}

void readGprs(const Fields &root, TPLMValues &v)
{
    TGprsSettings &g = v.Gprs;
    const std::optional<Fields> o = root.Object("gprs");
    if (!o) {
        g.Enabled = false;
        return;
    }
    g.Enabled = o->Bool("en").value_or(false);
    if (const auto prior = o->Integer("prior"))
        v.Priority.SetGprs(*prior > 0);
    readText(*o, "apn", g.Apn);
    readText(*o, "pin", g.Pin);
    readText(*o, "user", g.Login);
    readText(*o, "psw", g.Password);
    readServer(*o, g.Server);
    readRegs(*o, g.RegServers, false);
}

void readEth(const Fields &root, TPLMValues &v)
{
    TEthernetSettings &e = v.Ethernet;
    const std::optional<Fields> o = root.Object("eth");
    if (!o) {
        e.Enabled = false;
        return;
    }
    e.Enabled = o->Bool("en").value_or(false);
    if (const auto prior = o->Integer("prior"))
        v.Priority.SetEthernet(*prior > 0);
    readBool(*o, "ping", e.Ping);
    readBool(*o, "dhcp", e.Dhcp);
    readText(*o, "mac", e.Mac);
    readText(*o, "ip", e.Ip);
    readText(*o, "gate", e.Gateway);
    readText(*o, "mask", e.Mask);
    readServer(*o, e.Server);
    readRegs(*o, e.RegServers, true);
}

// Every element is applied to the one traffic-light object: the last wins.
void readSO(const Fields &root, TPLMValues &v)
{
    const JsonValue *array = root.Array("so");
    if (!array) {
        v.SO.Enabled = false;
        return;
    }
    for (size_t i = 0; i < array->size(); ++i) {
        const std::optional<Fields> o = ElementObject(root, "so", *array, i);
        if (!o)
            continue;
        v.SO.Enabled = o->Bool("en").value_or(false);
        setId(v, IdKind::Own, IdModule::SO, o->Integer("id"));
        if (const auto t = o->Integer("du_time"))
            v.SO.RetentionTime = clamp16(*t);
        v.SO.Name = o->Text("name").value_or(QString());
        v.SO.SendPhaseChanges = o->Bool("phase_change_messages").value_or(false);
    }
}

void readLanes(const Fields &bodFields, TBOD &bod, const TSensorsSettings &sensors)
{
    const JsonValue *array = bodFields.Array("lanes");
    if (!array)
        return;
    for (size_t i = 0; i < array->size(); ++i) {
        const std::optional<Fields> o = ElementObject(bodFields, "lanes", *array, i);
        if (!o)
            continue;
        TSensor *sensor = bod.AddSensor();
        if (const auto num = o->Int32("num", -1))
            sensor->SetNumber(*num);
        const std::optional<qint64> dir = o->Integer("dir");
        if (!dir || *dir <= 0)
            continue;
        if (*dir > sensors.DirectionCount())
            Fail(QStringLiteral("значение %1 ключа \"%2\" больше числа направлений в \"dirs\" (%3)")
                     .arg(Describe(*o->Find("dir")), o->PathOf("dir"))
                     .arg(sensors.DirectionCount()));
        sensor->SetDirection(sensors.Direction(int(*dir - 1)));
    }
}

void readDet(const Fields &root, TPLMValues &v, TSensorsSettings &sensors, bool *sensorsRead)
{
    *sensorsRead = false;
    const std::optional<Fields> o = root.Object("det");
    if (!o) {
        v.Detector.Enabled = false;
        return;
    }
    v.Detector.Enabled = o->Bool("en").value_or(false);
    v.Detector.Name = o->Text("name").value_or(QString());
    setId(v, IdKind::Own, IdModule::KD, o->Integer("id"));
    setId(v, IdKind::Application, IdModule::KD, o->Integer("app_id"));
    *sensorsRead = true;

    // All directions first, so that every "dir" refers to the new list.
    if (const JsonValue *dirs = o->Array("dirs")) {
        for (size_t i = 0; i < dirs->size(); ++i) {
            const std::optional<Fields> d = ElementObject(*o, "dirs", *dirs, i);
            if (!d)
                continue;
            TSensorTrend *direction = sensors.AddDirection();
            if (const auto name = d->Text("name"))
                direction->SetName(*name);
        }
    }
    if (const JsonValue *bods = o->Array("bods")) {
        for (size_t i = 0; i < bods->size(); ++i) {
            const std::optional<Fields> b = ElementObject(*o, "bods", *bods, i);
            if (!b)
                continue;
            TBOD *bod = sensors.AddBOD();
            if (const auto num = b->Int32("num"))
                bod->SetNumber(*num);
            if (const auto name = b->Text("name"))
                bod->SetName(*name);
            readLanes(*b, *bod, sensors);
        }
    }
}

} // namespace

void Read(const JsonValue &asudd, TPLMValues &v, TSensorsSettings &sensors, bool *sensorsRead)
{
    *sensorsRead = false;
    if (!asudd.isObject())
        Fail(QStringLiteral("ключ \"asudd\" должен содержать объект, а содержит %1").arg(Describe(asudd)));
    const Fields root(asudd, QStringLiteral("asudd"));

    // Identifiers the document leaves out fall back to their defaults, not
    // to what the previous document had.
    v.Ids.Reset();

    TGeneralSettings &g = v.General;
    readText(root, "name", g.ObjectTitle);
    readText(root, "sid", g.SID);
    readText(root, "oid", g.OID);
    setId(v, IdKind::Own, IdModule::PLM, root.Integer("id"));
    setId(v, IdKind::Application, IdModule::SO, root.Integer("utcs_id"));
    if (const auto n = root.Integer("time_interval"))
        g.TimeCorrectionInterval = clamp16(*n);
    if (const auto n = root.Integer("time_source"))
        g.ClockSource = *n == 0 ? TimeSource::Node : *n == 1 ? TimeSource::SOApplication : TimeSource::None;
    if (const auto n = root.Integer("tmax"))
        g.MaxConnectionTime = clamp16(*n);
    readBool(root, "door", g.DoorSensor);

    // GPRS before Ethernet: a positive "prior" in both leaves Ethernet first.
    readGprs(root, v);
    readEth(root, v);
    readSO(root, v);
    readDet(root, v, sensors, sensorsRead);
}

} // namespace vrs::plmdoc
