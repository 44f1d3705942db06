#include "programmer/prog_settings.h"

#include "programmer/prog_settings_ini.h"
#include "programmer/prog_settings_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QtDebug>

namespace vrs {

namespace {
TProgSettings *g_instance = nullptr;
}

TProgSettings::TProgSettings()
    : m_fileName(LocateProgSettingsFile(GetAppDataFolder(), GetExeFolder()))
{
    Init();
}

TProgSettings::TProgSettings(const QString &fileName) : m_fileName(fileName)
{
    Init();
}

void TProgSettings::Init()
{
    if (!g_instance)
        g_instance = this;
    m_mainForm.SetOnChange([this](TSettingsBase *) { NotifyChange(); });
    m_usb.SetOnChange([this](TSettingsBase *) { NotifyChange(); });

    TIniDocument ini;
    QString error;
    if (!ini.Load(m_fileName, &error))
        qWarning("Cannot read %s: %s", qPrintable(m_fileName), qPrintable(error));
    LoadFromIni(ini);
}

TProgSettings::~TProgSettings()
{
    QString error;
    if (!Save(&error))
        qWarning("Cannot save %s: %s", qPrintable(m_fileName), qPrintable(error));
    if (g_instance == this)
        g_instance = nullptr;
}

TProgSettings *TProgSettings::Instance()
{
    return g_instance;
}

void TProgSettings::LoadFromIni(const TIniDocument &ini)
{
    m_mainForm.LoadFromIni(ini);
    m_usb.LoadFromIni(ini);
    m_mainForm.ClearChanged();
    m_usb.ClearChanged();
    ClearChanged();
}

void TProgSettings::SaveToIni(TIniDocument &ini) const
{
    m_mainForm.SaveToIni(ini);
    m_usb.SaveToIni(ini);
}

bool TProgSettings::Save(QString *error)
{
    TIniDocument ini;
    if (!ini.Load(m_fileName, error))
        return false;
    SaveToIni(ini);
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    if (!ini.Save(m_fileName, error))
        return false;
    m_mainForm.ClearChanged();
    m_usb.ClearChanged();
    ClearChanged();
    return true;
}

} // namespace vrs
