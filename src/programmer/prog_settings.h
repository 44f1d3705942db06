#pragma once

#include "programmer/prog_settings_base.h"
#include "programmer/prog_settings_sections.h"

namespace vrs {

// The programmer's settings, kept in "bprog.ini": loaded when the object is
// created, written back (all keys, whether changed or not) when it goes
// away.  Keys and sections of others in the file survive.  One object lives
// for the whole program run; the first one created is the process-wide one.
class TProgSettings : public TSettingsBase {
public:
    // Looks the file up (LocateProgSettingsFile) and loads it.
    TProgSettings();
    // Uses the given file and loads it.
    explicit TProgSettings(const QString &fileName);
    ~TProgSettings() override;

    static TProgSettings *Instance();

    void LoadFromIni(const TIniDocument &ini) override;
    void SaveToIni(TIniDocument &ini) const override;
    QString SectionName() const override { return QStringLiteral("Main"); }

    TMainFormSettings &MainForm() { return m_mainForm; }
    const TMainFormSettings &MainForm() const { return m_mainForm; }
    TUSBSettings &USB() { return m_usb; }
    const TUSBSettings &USB() const { return m_usb; }
    QString FileName() const { return m_fileName; }

    // Reads the file again so that others' edits survive, writes all keys
    // and stores it.  A file that exists but cannot be read is left alone
    // rather than replaced by a file with our keys only.
    bool Save(QString *error = nullptr);

private:
    void Init();

    TMainFormSettings m_mainForm;
    TUSBSettings m_usb;
    QString m_fileName;
};

} // namespace vrs
