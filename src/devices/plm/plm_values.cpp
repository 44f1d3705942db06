#include "devices/plm/plm_values.h"

namespace vrs {

void TIdentifiers::Reset()
{
    m_items = {{
        {IdKind::Own, IdModule::PLM, 2001},
        {IdKind::Own, IdModule::SO, 1},
        {IdKind::Own, IdModule::KD, 4001},
        {IdKind::Application, IdModule::SO, 65023},
        {IdKind::Application, IdModule::KD, 65009},
    }};
}

quint16 TIdentifiers::Value(IdKind kind, IdModule module) const
{
    for (const TIdentifier &id : m_items)
        if (id.Kind == kind && id.Module == module)
            return id.Value;
    return 0;
}

bool TIdentifiers::SetValue(IdKind kind, IdModule module, quint16 value)
{
    for (TIdentifier &id : m_items) {
        if (id.Kind == kind && id.Module == module) {
            id.Value = value;
            return true;
        }
    }
    return false;
}

bool TIdentifiers::operator==(const TIdentifiers &other) const
{
    for (int i = 0; i < kCount; ++i) {
        const TIdentifier &a = m_items[size_t(i)];
        const TIdentifier &b = other.m_items[size_t(i)];
        if (a.Kind != b.Kind || a.Module != b.Module || a.Value != b.Value)
            return false;
    }
    return true;
}

void TPriorityProtocol::SetGprs(bool on)
{
    m_gprs = on;
    if (on)
        m_ethernet = false;
}

void TPriorityProtocol::SetEthernet(bool on)
{
    m_ethernet = on;
    if (on)
        m_gprs = false;
}

bool TGeneralSettings::operator==(const TGeneralSettings &o) const
{
    return ObjectTitle == o.ObjectTitle && SID == o.SID && OID == o.OID
           && MinConnectionTime == o.MinConnectionTime && MaxConnectionTime == o.MaxConnectionTime
           && TimeCorrectionInterval == o.TimeCorrectionInterval
           && MaxPackageSize == o.MaxPackageSize && ClockSource == o.ClockSource
           && DoorSensor == o.DoorSensor;
}

bool TGprsSettings::operator==(const TGprsSettings &o) const
{
    return Enabled == o.Enabled && Pin == o.Pin && Apn == o.Apn && Login == o.Login
           && Password == o.Password && Server == o.Server && RegServers == o.RegServers;
}

bool TEthernetSettings::operator==(const TEthernetSettings &o) const
{
    return Enabled == o.Enabled && Ping == o.Ping && Dhcp == o.Dhcp && Mac == o.Mac
           && Ip == o.Ip && Gateway == o.Gateway && Mask == o.Mask && Server == o.Server
           && RegServers == o.RegServers;
}

bool TSOSettings::operator==(const TSOSettings &o) const
{
    return Enabled == o.Enabled && Name == o.Name && RetentionTime == o.RetentionTime
           && SendPhaseChanges == o.SendPhaseChanges;
}

bool TPLMValues::operator==(const TPLMValues &o) const
{
    return General == o.General && Ids == o.Ids && Priority == o.Priority && Gprs == o.Gprs
           && Ethernet == o.Ethernet && SO == o.SO && Detector == o.Detector;
}

} // namespace vrs
