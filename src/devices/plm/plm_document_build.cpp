#include "devices/plm/plm_document.h"

namespace vrs::plmdoc {

namespace {

JsonValue server(const TServerEndpoint &endpoint)
{
    JsonValue o = JsonValue::object();
    o.add("fix", endpoint.Fixed);
    o.add("url", QStringLiteral("%1:%2").arg(endpoint.Address).arg(endpoint.Port));
    return o;
}

JsonValue regs(const TRegServerList &list)
{
    JsonValue a = JsonValue::array();
    for (const TRegServer &r : list) {
        JsonValue o = JsonValue::object();
        o.add("ip", FormatIPv4(r.Address));
        o.add("port", int(r.Port));
        o.add("script", r.Url);
        a.append(std::move(o));
    }
    return a;
}

JsonValue gprs(const TPLMValues &v)
{
    const TGprsSettings &g = v.Gprs;
    JsonValue o = JsonValue::object();
    o.add("en", g.Enabled);
    o.add("prior", v.Priority.Gprs() ? 1 : 0);
    o.add("apn", g.Apn);
    o.add("pin", g.Pin);
    o.add("user", g.Login);
    o.add("psw", g.Password);
    o.add("server", server(g.Server));
    o.add("regs", regs(g.RegServers));
    return o;
}

JsonValue eth(const TPLMValues &v)
{
    const TEthernetSettings &e = v.Ethernet;
    JsonValue o = JsonValue::object();
    o.add("en", e.Enabled);
    o.add("prior", v.Priority.Ethernet() ? 1 : 0);
    o.add("ping", e.Ping);
    o.add("dhcp", e.Dhcp);
    o.add("mac", e.Mac);
    o.add("ip", e.Ip);
    o.add("gate", e.Gateway);
    o.add("mask", e.Mask);
    o.add("server", server(e.Server));
    o.add("regs", regs(e.RegServers));
    return o;
}

JsonValue so(const TPLMValues &v)
{
    JsonValue o = JsonValue::object();
    o.add("en", v.SO.Enabled);
    o.add("name", v.SO.Name);
    o.add("id", int(v.Ids.Value(IdKind::Own, IdModule::SO)));
    o.add("du_time", int(v.SO.RetentionTime));
    o.add("phase_change_messages", v.SO.SendPhaseChanges);
    JsonValue a = JsonValue::array();
    a.append(std::move(o));
    return a;
}

JsonValue bods(const TSensorsSettings &sensors)
{
    JsonValue a = JsonValue::array();
    for (int i = 0; i < sensors.BODCount(); ++i) {
        const TBOD *bod = sensors.BOD(i);
        JsonValue lanes = JsonValue::array();
        for (int j = 0; j < bod->SensorCount(); ++j) {
            const TSensor *s = bod->Sensor(j);
            JsonValue lane = JsonValue::object();
            lane.add("num", qint64(s->Number()) + 1);
            // Position in "dirs" from 1; 0 for none.
            lane.add("dir", sensors.IndexOfDirection(s->Direction()) + 1);
            lanes.append(std::move(lane));
        }
        JsonValue o = JsonValue::object();
        o.add("name", bod->Name());
        o.add("num", bod->Number());
        o.add("lanes", std::move(lanes));
        a.append(std::move(o));
    }
    return a;
}

JsonValue det(const TPLMValues &v, const TSensorsSettings &sensors)
{
    JsonValue dirs = JsonValue::array();
    for (int i = 0; i < sensors.DirectionCount(); ++i) {
        JsonValue d = JsonValue::object();
        d.add("name", sensors.Direction(i)->Name());
        dirs.append(std::move(d));
    }
    JsonValue o = JsonValue::object();
    o.add("en", v.Detector.Enabled);
    o.add("name", v.Detector.Name);
    o.add("id", int(v.Ids.Value(IdKind::Own, IdModule::KD)));
    o.add("app_id", int(v.Ids.Value(IdKind::Application, IdModule::KD)));
    o.add("dirs", std::move(dirs));
    o.add("bods", bods(sensors));
    return o;
}

} // namespace

JsonValue Build(const TPLMValues &v, const TSensorsSettings &sensors)
{
    const TGeneralSettings &g = v.General;
    JsonValue a = JsonValue::object();
    a.add("en", true);
    a.add("name", g.ObjectTitle);
    a.add("sid", g.SID);
    a.add("oid", g.OID);
    a.add("id", int(v.Ids.Value(IdKind::Own, IdModule::PLM)));
    a.add("utcs_id", int(v.Ids.Value(IdKind::Application, IdModule::SO)));
    a.add("time_interval", int(g.TimeCorrectionInterval));
    a.add("time_source", int(g.ClockSource));
    a.add("tmax", int(g.MaxConnectionTime));
    a.add("door", g.DoorSensor);
    a.add("gprs", gprs(v));
    a.add("eth", eth(v));
    a.add("so", so(v));
    a.add("det", det(v, sensors));
    return a;
}

} // namespace vrs::plmdoc
