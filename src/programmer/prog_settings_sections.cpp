#include "programmer/prog_settings_sections.h"

#include "programmer/prog_settings_ini.h"

#include <limits>

namespace vrs {

namespace {

// A number outside the field's range is as unreadable as no number.
template <typename T>
T ReadRanged(const TIniDocument &ini, const QString &section, const char *key, T def)
{
    const qint64 value = ini.ReadInteger(section, QLatin1String(key), def);
    if (value < qint64(std::numeric_limits<T>::min()) || value > qint64(std::numeric_limits<T>::max()))
        return def;
    return T(value);
}

} // namespace

void TMainFormSettings::LoadFromIni(const TIniDocument &ini)
{
    const QString s = SectionName();
    m_maximized = ini.ReadBool(s, QStringLiteral("Maximized"), false);
    m_top = ReadRanged<int32_t>(ini, s, "Top", -1);
    m_height = ReadRanged<int32_t>(ini, s, "Height", -1);
    m_left = ReadRanged<int32_t>(ini, s, "Left", -1);
    m_width = ReadRanged<int32_t>(ini, s, "Width", -1);
    m_connectType = ReadRanged<uint8_t>(ini, s, "ConnectType", 0);
    m_log = ini.ReadBool(s, QStringLiteral("Log"), true);
    m_autoUpdateDevList = ini.ReadBool(s, QStringLiteral("AutoUpdateDevList"), true);
    m_lastDir = ini.ReadString(s, QStringLiteral("LastDir"), QString());
}

void TMainFormSettings::SaveToIni(TIniDocument &ini) const
{
    const QString s = SectionName();
    ini.WriteInteger(s, QStringLiteral("Left"), m_left);
    ini.WriteInteger(s, QStringLiteral("Top"), m_top);
    ini.WriteInteger(s, QStringLiteral("Width"), m_width);
    ini.WriteInteger(s, QStringLiteral("Height"), m_height);
    ini.WriteBool(s, QStringLiteral("Maximized"), m_maximized);
    ini.WriteInteger(s, QStringLiteral("ConnectType"), m_connectType);
    ini.WriteBool(s, QStringLiteral("Log"), m_log);
    ini.WriteBool(s, QStringLiteral("AutoUpdateDevList"), m_autoUpdateDevList);
    ini.SetValue(s, QStringLiteral("LastDir"), m_lastDir);
}

void TUSBSettings::LoadFromIni(const TIniDocument &ini)
{
    const QString s = SectionName();
    m_timeout = ReadRanged<uint16_t>(ini, s, "Timeout", 5000);
    m_vid = ReadRanged<uint16_t>(ini, s, "VID", 4098);
    m_pid = ReadRanged<uint16_t>(ini, s, "PID", 26214);
}

void TUSBSettings::SaveToIni(TIniDocument &ini) const
{
    const QString s = SectionName();
    ini.WriteInteger(s, QStringLiteral("Timeout"), m_timeout);
    ini.WriteInteger(s, QStringLiteral("VID"), m_vid);
    ini.WriteInteger(s, QStringLiteral("PID"), m_pid);
}

} // namespace vrs
