#pragma once

#include "programmer/prog_settings_base.h"

#include <cstdint>

namespace vrs {

// Section "MainForm": the programmer window's placement, which the program
// only carries over from run to run, and the two settings it uses.
class TMainFormSettings : public TSettingsBase {
public:
    void LoadFromIni(const TIniDocument &ini) override;
    void SaveToIni(TIniDocument &ini) const override;
    QString SectionName() const override { return QStringLiteral("MainForm"); }

    bool Maximized() const { return m_maximized; }
    int32_t Top() const { return m_top; }
    int32_t Height() const { return m_height; }
    int32_t Left() const { return m_left; }
    int32_t Width() const { return m_width; }
    uint8_t ConnectType() const { return m_connectType; }
    // Whether WriteLog adds lines to the log.
    bool Log() const { return m_log; }
    void SetLog(bool value) { Assign(m_log, value); }
    bool AutoUpdateDevList() const { return m_autoUpdateDevList; }
    // Folder of the last firmware file, with a trailing separator.
    QString LastDir() const { return m_lastDir; }
    void SetLastDir(const QString &value) { Assign(m_lastDir, value); }

private:
    bool m_maximized = false;
    int32_t m_top = -1;
    int32_t m_height = -1;
    int32_t m_left = -1;
    int32_t m_width = -1;
    uint8_t m_connectType = 0;
    bool m_log = true;
    bool m_autoUpdateDevList = true;
    QString m_lastDir;
};

// Section "USB": carried over from run to run, not used by the program.
class TUSBSettings : public TSettingsBase {
public:
    void LoadFromIni(const TIniDocument &ini) override;
    void SaveToIni(TIniDocument &ini) const override;
    QString SectionName() const override { return QStringLiteral("USB"); }

    uint16_t Timeout() const { return m_timeout; }
    uint16_t VID() const { return m_vid; }
    uint16_t PID() const { return m_pid; }

private:
    uint16_t m_timeout = 5000;
    uint16_t m_vid = 4098;
    uint16_t m_pid = 26214;
};

} // namespace vrs
